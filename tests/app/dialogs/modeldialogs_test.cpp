#include "app/dialogs/modelsettings.h"
#include "app/dialogs/selectmodel.h"
#include "app/dialogs/settingsstore.h"
#include "core/gate/dbgate.h"
#include "platform/messagebox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString FendalLibrary = QStringLiteral(NUV_APP_DIR "/DBGates/Fendal.so");
const QString SampleDatabase = QStringLiteral(NUV_APP_DIR "/dmodels/nwind/nwind.sqlite");

void WriteFile(const QString& Path, const QByteArray& Content)
{
    QDir().mkpath(QFileInfo(Path).path());
    QFile file(Path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Content);
}

// An application folder of its own, made the program's AppDir for the test.
class AppFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        FSavedAppDir = AppDir;
        FSavedQueryDir = QueryDir;
        AppDir = AddBackslash(FDir.path());
    }
    void TearDown() override
    {
        AppDir = FSavedAppDir;
        QueryDir = FSavedQueryDir;
    }
    // The gate folder spelled in lower case, holding two copies of the stand-in gate and a file
    // that only looks like a library.
    QString MakeGates()
    {
        const QString folder = AppDir + QStringLiteral("dbgates");
        QDir().mkpath(folder);
        EXPECT_TRUE(QFile::copy(FendalLibrary, folder + QStringLiteral("/Fendal.so")));
        EXPECT_TRUE(QFile::copy(FendalLibrary, folder + QStringLiteral("/Second.so")));
        WriteFile(folder + QStringLiteral("/broken.so"), "not a library");
        WriteFile(folder + QStringLiteral("/readme.txt"), "gates");
        return folder;
    }

    QTemporaryDir FDir;
    QString FSavedAppDir;
    QString FSavedQueryDir;
};

}  // namespace

TEST_F(AppFolderTest, ModelSettingsListsGatesAndEmbedsTheChosenPage)
{
    const QString folder = MakeGates();
    const QString stored = AppDir + QStringLiteral("DBGates\\Fendal.dll");
    TdlgModelSettings dialog;
    const int baseHeight = dialog.height();
    dialog.SetGatePath(stored);
    dialog.SetModelName(QStringLiteral("Northwind"));

    platform::ScriptedAnswers answers {platform::IDOK};
    dialog.FormShow();
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_TRUE(answers.Asked()[0].Text.contains(QStringLiteral("broken.so")));
    EXPECT_EQ(dialog.SkippedFiles(), QStringList {QStringLiteral("broken.so")});
    EXPECT_EQ(dialog.edtModelName->text(), QStringLiteral("Northwind"));
    ASSERT_EQ(dialog.cbGates->count(), 2);
    EXPECT_TRUE(dialog.cbGates->itemText(0).startsWith(QStringLiteral("Fendal")));
    // The chosen entry keeps the stored file name, so the model's settings file does not change.
    EXPECT_EQ(dialog.GatePaths(),
        (QStringList {folder + QStringLiteral("/Fendal.dll"), folder + QStringLiteral("/Second.so")}));
    EXPECT_EQ(dialog.cbGates->currentIndex(), 0);
    EXPECT_TRUE(dialog.btOK->isEnabled());

    const QPointer<QWidget> firstPage = dialog.ConnectPage();
    ASSERT_TRUE(firstPage);
    EXPECT_EQ(firstPage->parentWidget(), dialog.Panel1);
    const int pageHeight = firstPage->height();
    EXPECT_GT(pageHeight, 0);
    EXPECT_EQ(dialog.LastPageHeight(), pageHeight);
    EXPECT_EQ(dialog.Panel1->height(), pageHeight);
    EXPECT_EQ(dialog.height(), baseHeight + pageHeight);

    // Another gate: the old page goes before the new one comes; the dialog grows only by the change.
    dialog.cbGates->setCurrentIndex(1);
    dialog.cbGatesChange();
    EXPECT_FALSE(firstPage);
    ASSERT_TRUE(dialog.ConnectPage());
    EXPECT_EQ(dialog.GatePath(), folder + QStringLiteral("/Second.so"));
    EXPECT_EQ(dialog.height(), baseHeight + dialog.ConnectPage()->height());

    // Showing again for the same gate replaces the page instead of stacking a second one.
    const QPointer<QWidget> secondPage = dialog.ConnectPage();
    dialog.ShowConnectPanel();
    EXPECT_FALSE(secondPage);
    EXPECT_EQ(dialog.Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);

    // A stored path that names another folder still means the file of the gate folder.
    dialog.SetGatePath(QStringLiteral("/elsewhere/second.SO"));
    platform::ScriptedAnswers again {platform::IDOK};
    dialog.FormShow();
    EXPECT_EQ(dialog.cbGates->currentIndex(), 1);
    EXPECT_EQ(dialog.GatePath(), folder + QStringLiteral("/second.SO"));
    EXPECT_TRUE(dialog.ConnectPage());
}

// The name also names a new model's folder: an empty or path-like one once made a folder
// elsewhere or none at all.
TEST_F(AppFolderTest, ModelSettingsRefusesEmptyAndPathLikeNames)
{
    TdlgModelSettings dialog;
    dialog.SetModelName(QStringLiteral("Old"));
    for (const char* name : {"", "  ", "../Sales", "Sales/2004", "Sales\\2004", ".."}) {
        platform::ScriptedAnswers answers {platform::IDOK};
        dialog.edtModelName->setText(QString::fromLatin1(name));
        dialog.btOKClick();
        EXPECT_EQ(answers.Asked().size(), 1u) << name;
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << name;
        EXPECT_EQ(dialog.ModelName(), QStringLiteral("Old"));
    }
    dialog.edtModelName->setText(QStringLiteral("Sales 2004"));
    dialog.btOKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ModelName(), QStringLiteral("Sales 2004"));
    // The settings of an older version may hold any name: the name handed in goes back unchanged,
    // where Edit Model Settings... > OK refused the model's own name.
    for (const char* name : {"Sales/2004", ""}) {
        dialog.setResult(QDialog::Rejected);
        dialog.SetModelName(QString::fromLatin1(name));
        dialog.edtModelName->setText(QString::fromLatin1(name));
        dialog.btOKClick();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << name;
    }
}

// Listing loaded every gate and let it go through the gate's destructor, which disconnected the
// same library under the main window's open model.
TEST_F(AppFolderTest, ListingGatesKeepsTheOpenModelConnected)
{
    MakeGates();
    // The gate listed last, which the listing's own gate holds when it is done.
    TZDBGate modelGate;
    modelGate.SetDLLPath(AppDir + QStringLiteral("DBGates/Second.dll"));
    QStringList details {QStringLiteral("Database=") + SampleDatabase};
    modelGate.LoadInfo(details);
    modelGate.Connect();
    ASSERT_TRUE(modelGate.IsConnected());
    {
        TdlgModelSettings dialog;
        dialog.SetGatePath(modelGate.DLLPath());
        platform::ScriptedAnswers answers {platform::IDOK};
        dialog.FormShow();
        EXPECT_TRUE(dialog.ConnectPage());
        EXPECT_TRUE(modelGate.IsConnected());
    }
    EXPECT_TRUE(modelGate.IsConnected());
}

TEST_F(AppFolderTest, ModelSettingsWithoutGatesKeepsOkDisabled)
{
    TdlgModelSettings dialog;
    dialog.SetGatePath(AppDir + QStringLiteral("DBGates/morlin.dll"));
    dialog.FormShow();
    EXPECT_EQ(dialog.cbGates->count(), 0);
    EXPECT_FALSE(dialog.btOK->isEnabled());
    EXPECT_FALSE(dialog.ConnectPage());
}

TEST_F(AppFolderTest, SelectDataModelKeepsFoldersApartAndSorted)
{
    const QString models = AppDir + QStringLiteral("dmodels/");
    const auto makeModel = [&models](const QString& Folder, const QByteArray& Settings) {
        WriteFile(models + Folder + QStringLiteral("/struct.dbs"), "[Main]\r\n");
        if (!Settings.isEmpty())
            WriteFile(models + Folder + QStringLiteral("/dm_settings.ini"), Settings);
    };
    makeModel(QStringLiteral("east"), "[Options]\r\nModelName=Sales\r\n");
    makeModel(QStringLiteral("west"), "[options]\r\nModelName=Sales\r\n");
    makeModel(QStringLiteral("zeta"), "[Options]\r\nModelName=alpha\r\n");
    makeModel(QStringLiteral("Nwind"), QByteArray());
    WriteFile(models + QStringLiteral("empty/dm_settings.ini"), "[Options]\r\nModelName=Empty\r\n");
    QueryDir = models + QStringLiteral("WEST");

    TdlgSelectDataModel dialog;
    dialog.FormShow();
    QStringList rows;
    for (int i = 0; i < dialog.lbModels->count(); ++i)
        rows << dialog.lbModels->item(i)->text();
    EXPECT_EQ(rows, (QStringList {"alpha", "Nwind", "Sales", "Sales"}));
    EXPECT_EQ(dialog.ModelEntries().size(), 4);
    ASSERT_TRUE(dialog.lbModels->currentItem());
    EXPECT_EQ(dialog.lbModels->currentRow(), 3);
    EXPECT_FALSE(dialog.btnOk->isEnabled());

    // The second of two equal names opens its own folder, not the first one found.
    for (const auto& [row, folder] : {std::pair {3, "west"}, std::pair {2, "east"}, std::pair {1, "Nwind"}}) {
        dialog.lbModels->setCurrentRow(row);
        dialog.lbModelsClick();
        EXPECT_TRUE(dialog.btnOk->isEnabled());
        dialog.btnOkClick();
        EXPECT_EQ(dialog.SelectedFolder(), QString::fromLatin1(folder));
    }
}
