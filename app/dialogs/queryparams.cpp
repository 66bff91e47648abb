#include "app/dialogs/queryparams.h"

#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/format.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A file name that names a folder, or leaves the query folder, is refused.
bool IsPlainFileName(const QString& Name)
{
    return !Name.contains(QLatin1Char('/')) && !Name.contains(QLatin1Char('\\'))
        && !Name.contains(QStringLiteral(".."));
}

// A file of Folder whose name equals Name ignoring case, other than Own.
bool FileNameTaken(const QString& Folder, const QString& Name, const QString& Own)
{
    if (Folder.isEmpty() || Name.compare(Own, Qt::CaseInsensitive) == 0)
        return false;
    const QStringList files = QDir(Folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    return std::any_of(files.begin(), files.end(),
        [&Name](const QString& File) { return File.compare(Name, Qt::CaseInsensitive) == 0; });
}

}  // namespace

TdlgQueryParams::TdlgQueryParams(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("dlgQueryParams"));
    setWindowTitle(QStringLiteral("Query parameters"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    edQueryName = new QLineEdit(this);
    edFileName = new QLineEdit(this);
    memDescription = new QPlainTextEdit(this);
    memDescription->setTabChangesFocus(true);
    memDescription->setFixedHeight(memDescription->fontMetrics().lineSpacing() * 5);
    auto* fields = new QFormLayout;
    const auto addRow = [this, fields](const QString& Caption, QWidget* Control) {
        auto* label = new QLabel(Caption, this);
        label->setBuddy(Control);
        fields->addRow(label, Control);
    };
    addRow(QStringLiteral("Query &Name"), edQueryName);
    addRow(QStringLiteral("&File Name"), edFileName);
    addRow(QStringLiteral("&Description"), memDescription);

    auto* options = new QGroupBox(QStringLiteral("Query Options"), this);
    cbDistinctSelect = new QCheckBox(QStringLiteral("Use DISTINCT in SELECT clause"), options);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(cbDistinctSelect);

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(btOK, &QPushButton::clicked, this, [this] { platform::Guarded([this] { btOKClick(); }); });
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Only the user's typing moves the file name; code filling the name before showing does not.
    connect(edQueryName, &QLineEdit::textEdited, this, [this] { edQueryNameChange(); });
    connect(edFileName, &QLineEdit::textEdited, this, [this] { FFileNameFollows = false; });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(options);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    edQueryName->setFocus();
}

void TdlgQueryParams::LoadOptions(const TZQueryPanel& Panel)
{
    cbDistinctSelect->setChecked(Panel.SQLOptions().Contains(soSelectDistinct));
}

void TdlgQueryParams::SaveOptions(TZQueryPanel& Panel) const
{
    TSQLOptions options = Panel.SQLOptions();
    if (cbDistinctSelect->isChecked())
        options.Include(soSelectDistinct);
    else
        options.Exclude(soSelectDistinct);
    Panel.SetSQLOptions(options);
}

void TdlgQueryParams::SetFileNameCheck(const QString& Folder, const QString& OwnFileName)
{
    FFolder = Folder;
    FOwnFileName = OwnFileName;
}

void TdlgQueryParams::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous())
        platform::Guarded([this] { FormShow(); });
}

void TdlgQueryParams::FormShow()
{
    FFileNameFollows = edFileName->text().isEmpty();
    edQueryName->setFocus();
}

void TdlgQueryParams::edQueryNameChange()
{
    if (FFileNameFollows)
        edFileName->setText(edQueryName->text() + QStringLiteral(".qry"));
}

void TdlgQueryParams::btOKClick()
{
    const QString fileName = edFileName->text();
    QString problem;
    if (fileName.trimmed().isEmpty())
        problem = QStringLiteral("Enter the name of the query's file.");
    else if (!IsPlainFileName(fileName))
        problem = rtl::Format(
            QStringLiteral("The file name \"%s\" must not contain a folder separator or \"..\"."), fileName);
    else if (FileNameTaken(FFolder, fileName, FOwnFileName))
        problem = rtl::Format(QStringLiteral("A file named \"%s\" already exists."), fileName);
    if (!problem.isEmpty()) {
        platform::ShowError(problem);
        edFileName->setFocus();
        return;
    }
    accept();
}
