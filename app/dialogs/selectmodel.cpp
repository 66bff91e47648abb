#include "app/dialogs/selectmodel.h"

#include "app/dialogs/settingsstore.h"
#include "platform/exceptionguard.h"
#include "rtl/exception.h"
#include "rtl/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

constexpr int FolderRole = Qt::UserRole;

QString ModelNameOf(const QString& ModelFolder, const QString& FolderName)
{
    const QString settings = QDir(ModelFolder).filePath(QStringLiteral("dm_settings.ini"));
    try {
        return rtl::IniFile(settings).ReadString(
            QStringLiteral("options"), QStringLiteral("ModelName"), FolderName);
    } catch (const rtl::Exception&) {
        // An unreadable settings file lists the model as if it had none.
        return FolderName;
    }
}

// Rows in the order of the names, ignoring ASCII case; equal names keep the order found.
int SortedRow(const QListWidget& List, const QString& Name)
{
    int row = List.count();
    while (row > 0 && QString::compare(List.item(row - 1)->text(), Name, Qt::CaseInsensitive) > 0)
        --row;
    return row;
}

}  // namespace

QList<TModelEntry> FindDataModels(const QString& Dir)
{
    QList<TModelEntry> entries;
    const QDir models(AddBackslash(Dir) + QStringLiteral("dmodels"));
    const QStringList folders
        = models.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& folder : folders) {
        const QString path = models.filePath(folder);
        if (QFileInfo::exists(QDir(path).filePath(QStringLiteral("struct.dbs"))))
            entries.append({ModelNameOf(path, folder), folder});
    }
    return entries;
}

TdlgSelectDataModel::TdlgSelectDataModel(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("dlgSelectDataModel"));
    setWindowTitle(QStringLiteral("Select Data Model"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    lbModels = new QListWidget(this);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setDefault(true);
    btnOk->setEnabled(false);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(lbModels, &QListWidget::itemClicked, this,
        [this] { platform::Guarded([this] { lbModelsClick(); }); });
    connect(lbModels, &QListWidget::itemDoubleClicked, this,
        [this] { platform::Guarded([this] { lbModelsDblClick(); }); });
    connect(btnOk, &QPushButton::clicked, this, [this] {
        if (platform::Guarded([this] { btnOkClick(); }))
            accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Available Models:"), this));
    layout->addWidget(lbModels, 1);
    layout->addLayout(buttons);
    setFixedSize(397, 226);
}

void TdlgSelectDataModel::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous())
        platform::Guarded([this] { FormShow(); });
}

void TdlgSelectDataModel::FormShow()
{
    btnOk->setEnabled(false);
    lbModels->clear();
    FModelEntries = FindDataModels(AppDir);
    const QString current = AddBackslash(QueryDir).toLower();
    const QString models = AddBackslash(AppDir) + QStringLiteral("dmodels/");
    for (const TModelEntry& entry : std::as_const(FModelEntries)) {
        auto* item = new QListWidgetItem(entry.ModelName);
        item->setData(FolderRole, entry.Folder);
        lbModels->insertItem(SortedRow(*lbModels, entry.ModelName), item);
        if (AddBackslash(models + entry.Folder).toLower() == current)
            lbModels->setCurrentItem(item);
    }
}

void TdlgSelectDataModel::btnOkClick()
{
    const QList<QListWidgetItem*> selected = lbModels->selectedItems();
    if (selected.isEmpty())
        return;
    FSelectedFolder = selected.first()->data(FolderRole).toString();
}

void TdlgSelectDataModel::lbModelsClick()
{
    btnOk->setEnabled(lbModels->currentItem() != nullptr);
}

void TdlgSelectDataModel::lbModelsDblClick()
{
    lbModelsClick();
    btnOkClick();
    accept();
}
