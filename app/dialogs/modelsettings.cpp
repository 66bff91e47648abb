#include "app/dialogs/modelsettings.h"

#include "app/dialogs/settingsstore.h"
#include "core/gate/dbgate.h"
#include "platform/exceptionguard.h"
#include "platform/libraryloader.h"
#include "platform/messagebox.h"
#include "rtl/format.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int DesignWidth = 376;
constexpr int DesignHeight = 133;

QString GateFolder()
{
    return platform::ResolveFolder(AddBackslash(AppDir), QStringLiteral("DBGates"));
}

// The file-name part of a path written with either separator.
QString GateFileName(const QString& Path)
{
    QString path = Path;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QFileInfo(path).fileName();
}

// The library file a gate path stands for: its file-name part looked for in the gate folder, so
// a path can name no library from elsewhere. Empty when no file fits.
QString GateFile(const QString& Path)
{
    const QString name = GateFileName(Path);
    return name.isEmpty() ? QString() : platform::ResolveLibraryPath(GateFolder(), name);
}

// A name that would reach into or out of a folder.
bool IsPathLike(const QString& Name)
{
    return Name.contains(QLatin1Char('/')) || Name.contains(QLatin1Char('\\'))
        || Name.contains(QStringLiteral(".."));
}

// Reads a gate's description and lets the library go. The library is the same the main window's
// gate may hold connected, so it is released without the destructor's disconnect.
bool DescribeGate(TZDBGate& Gate, const QString& Path, QString& Description)
{
    Gate.SetDLLPath(Path);
    bool described = true;
    try {
        Description = Gate.GetDLLInfo();
    } catch (const EZDBGateError&) {
        described = false;
    }
    Gate.UnloadGate();
    return described;
}

}  // namespace

TdlgModelSettings::TdlgModelSettings(QWidget* Owner) : QDialog(Owner), FGate(std::make_unique<TZDBGate>())
{
    setObjectName(QStringLiteral("dlgModelSettings"));
    setWindowTitle(QStringLiteral("Model Settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    edtModelName = new QLineEdit(QStringLiteral("Data Model"), this);
    cbGates = new QComboBox(this);
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(0);
    Panel1->installEventFilter(this);
    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(cbGates, &QComboBox::activated, this, [this] { platform::Guarded([this] { cbGatesChange(); }); });
    connect(btOK, &QPushButton::clicked, this, [this] { platform::Guarded([this] { btOKClick(); }); });
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Data model name :"), this));
    layout->addWidget(edtModelName);
    layout->addWidget(
        new QLabel(QStringLiteral("Select database engine which will be used to access the database"), this));
    layout->addWidget(cbGates);
    layout->addWidget(Panel1);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(std::max(DesignWidth, layout->sizeHint().width()),
        std::max(DesignHeight, layout->sizeHint().height()));
    UpdateButtons();
}

TdlgModelSettings::~TdlgModelSettings()
{
    RemoveConnectPage();
    FGate->UnloadGate();
}

QString TdlgModelSettings::GatePath() const
{
    return FGate->DLLPath();
}

void TdlgModelSettings::SetGatePath(const QString& Path)
{
    if (Path != FGate->DLLPath())
        RemoveConnectPage();
    FGate->SetDLLPath(Path);
}

void TdlgModelSettings::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous())
        platform::Guarded([this] { FormShow(); });
}

bool TdlgModelSettings::eventFilter(QObject* Watched, QEvent* Event)
{
    // The page is the gate's; it is told to fit the panel again when the panel changes size.
    if (Watched == Panel1 && Event->type() == QEvent::Resize && FPage)
        platform::Guarded([this] { FGate->RepaintConnectDialog(); });
    return QDialog::eventFilter(Watched, Event);
}

void TdlgModelSettings::FormShow()
{
    edtModelName->setText(FModelName);
    FGatePaths.clear();
    FSkippedFiles.clear();
    const QSignalBlocker blocker(cbGates);
    cbGates->clear();

    const QString folder = GateFolder();
    const QString chosenFile = GateFile(FGate->DLLPath());
    int chosen = -1;
    TZDBGate lister;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.so"), QStringLiteral("*.dll")},
        QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        const QString path = folder + QLatin1Char('/') + file;
        QString description;
        if (!DescribeGate(lister, path, description)) {
            FSkippedFiles.append(file);
            continue;
        }
        // The handed-in file name is kept ("Fendal.dll" for "Fendal.so"), so the model's stored gate
        // name does not change.
        const bool isChosen
            = !chosenFile.isEmpty() && QDir::cleanPath(QFileInfo(path).absoluteFilePath()) == chosenFile;
        if (isChosen)
            chosen = int(FGatePaths.size());
        FGatePaths.append(isChosen ? folder + QLatin1Char('/') + GateFileName(FGate->DLLPath()) : path);
        cbGates->addItem(description.isEmpty() ? file : description);
    }
    if (!FSkippedFiles.isEmpty())
        platform::MessageBox(
            rtl::Format(QStringLiteral("These files in \"%s\" are no database gates and were left out:\n%s"),
                folder, FSkippedFiles.join(QLatin1Char('\n'))),
            QString(), platform::MB_OK | platform::MB_ICONWARNING);

    cbGates->setCurrentIndex(chosen);
    if (chosen >= 0)
        cbGatesChange();
    else
        ResizeForPage(0);
    UpdateButtons();
}

void TdlgModelSettings::cbGatesChange()
{
    const int index = cbGates->currentIndex();
    if (index < 0 || index >= FGatePaths.size())
        return;
    SetGatePath(FGatePaths[index]);
    ShowConnectPanel();
    UpdateButtons();
}

void TdlgModelSettings::btOKClick()
{
    const QString name = edtModelName->text();
    // The name also names the model's folder when a new model is saved. The name handed in is
    // taken back unchanged: the settings of an older version may hold any name.
    QString problem;
    if (name != FModelName && name.trimmed().isEmpty())
        problem = QStringLiteral("Enter a name for the data model.");
    else if (name != FModelName && IsPathLike(name))
        problem = rtl::Format(
            QStringLiteral("The data model name \"%s\" must not contain a folder separator or \"..\"."),
            name);
    if (!problem.isEmpty()) {
        platform::ShowError(problem);
        edtModelName->setFocus();
        return;
    }
    FModelName = name;
    accept();
}

void TdlgModelSettings::UpdateButtons()
{
    btOK->setEnabled(cbGates->currentIndex() >= 0);
}

void TdlgModelSettings::ShowConnectPanel()
{
    RemoveConnectPage();
    FPage = FGate->ConnectDialogParented(Panel1);
    ResizeForPage(FPage ? FPage->height() : 0);
    FGate->RepaintConnectDialog();
}

void TdlgModelSettings::RemoveConnectPage()
{
    delete FPage.data();
}

void TdlgModelSettings::ResizeForPage(int Height)
{
    Panel1->setFixedHeight(Height);
    setFixedHeight(height() + Height - FLastPageHeight);
    FLastPageHeight = Height;
    layout()->activate();
}
