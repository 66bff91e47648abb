#include "app/dialogs/modelsettings.h"
#include "app/dialogs/selectmodel.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownlist.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "tests/app/mainwindow/mainformtesting.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QTreeWidgetItem* FindNode(QTreeWidget* Tree, const QString& Caption)
{
    const QList<QTreeWidgetItem*> found = Tree->findItems(Caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// A virtual field, "New Field", confirmed with OK.
void AddVirtualField(T_dlgDataModelEditor& Editor)
{
    Editor.pcMain->setCurrentIndex(1);
    Editor.sbAddVirtualField->click();
    Editor.sbOK->click();
}

QByteArray FileBytes(const QString& Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Edit Model Structure... opens the registered editor on the open model; what is confirmed there
// reaches struct.dbs on disk and the panel's field chooser.
TEST_F(MainFormTest, EditedModelStructureReachesTheFileAndThePanel)
{
    RegisterDataModelEditor();
    Open();
    WithDialog<T_dlgDataModelEditor>(
        [](T_dlgDataModelEditor& Editor) {
            Editor.pcMain->setCurrentIndex(1);
            QTreeWidgetItem* company = FindNode(Editor.tvFields, "Company");
            ASSERT_NE(company, nullptr);
            Editor.tvFields->setCurrentItem(company);
            Editor.edFldDisplayName->selectAll();
            QTest::keyClicks(Editor.edFldDisplayName, "Customer company");
            Editor.sbAddVirtualField->click();
            Editor.sbOK->click();
        },
        [this] { Form->miEditStructure->trigger(); });
    TZCustomDBStructure::SetDataModelEditor(nullptr);

    const QString model = Read("dmodels/nwind/struct.dbs");
    EXPECT_TRUE(model.contains("Customer company")) << "the renamed field";
    EXPECT_TRUE(model.contains("New Field")) << "the virtual field";
    auto* row = static_cast<TSimpleCond*>(Form->QPanel->AddCondition(Form->QPanel->Root()));
    ASSERT_NE(row->FieldChooser(), nullptr);
    EXPECT_TRUE(row->FieldChooser()->Items().contains("Customer company"));
    EXPECT_TRUE(row->FieldChooser()->Items().contains("New Field"));
}

// A struct.dbs that cannot be read is replaced in memory by an empty model, which once went over
// the file on Edit Model Settings... and on Edit Model Structure... confirmed without a change.
TEST_F(MainFormTest, AnUnreadableModelFileIsWrittenOverOnlyByAModelMadeInTheEditor)
{
    const QString modelFile = Path("dmodels/nwind/struct.dbs");
    const QByteArray damaged = FileBytes(modelFile).left(9000);
    QFile::remove(modelFile);
    QFile file(modelFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
    file.close();
    RegisterDataModelEditor();
    platform::ScriptedAnswers answers {platform::IDOK};
    Open();
    ASSERT_EQ(answers.Asked().size(), 1u);

    WithDialog<TdlgModelSettings>(
        [](TdlgModelSettings& Dialog) {
            Dialog.edtModelName->setText("Renamed");
            Dialog.btOK->click();
        },
        [this] { Form->EditSettings1->trigger(); });
    EXPECT_TRUE(Read("dmodels/nwind/dm_settings.ini").contains("ModelName=Renamed\r\n"));
    EXPECT_EQ(FileBytes(modelFile), damaged);
    // Settings that could not be written are saved again on closing, still without the model.
    const QString settings = Path("dmodels/nwind/dm_settings.ini");
    ASSERT_TRUE(QFile::remove(settings) && QDir().mkdir(settings));
    {
        platform::ScriptedAnswers failed {platform::IDOK, platform::IDYES};
        WithDialog<TdlgModelSettings>(
            [](TdlgModelSettings& Dialog) {
                Dialog.edtModelName->setText("Again");
                Dialog.btOK->click();
            },
            [this] { Form->EditSettings1->trigger(); });
        ASSERT_TRUE(QDir().rmdir(settings));
        EXPECT_TRUE(Form->close());
        EXPECT_EQ(failed.AskedTexts().value(1), "Current data model was modified. Save?");
    }
    EXPECT_TRUE(Read("dmodels/nwind/dm_settings.ini").contains("ModelName=Again\r\n"));
    EXPECT_EQ(FileBytes(modelFile), damaged);
    {
        platform::ScriptedAnswers reopened {platform::IDOK};
        Open();
    }
    WithDialog<T_dlgDataModelEditor>([](T_dlgDataModelEditor& Editor) { Editor.sbOK->click(); },
        [this] { Form->miEditStructure->trigger(); });
    EXPECT_EQ(FileBytes(modelFile), damaged);

    WithDialog<T_dlgDataModelEditor>(AddVirtualField, [this] { Form->miEditStructure->trigger(); });
    TZCustomDBStructure::SetDataModelEditor(nullptr);
    EXPECT_TRUE(Read("dmodels/nwind/struct.dbs").contains("DisplayName=New Field\r\n"));
    EXPECT_EQ(answers.Asked().size(), 1u);
}

// A model edit whose struct.dbs could not be written stayed in memory only, and closing or
// switching the model dropped it without a question. A failed save on the question keeps the
// window open and the model current.
TEST_F(MainFormTest, AModelWhoseFileCannotBeWrittenIsAskedAboutUntilItIsWritten)
{
    ASSERT_TRUE(QDir().mkpath(Path("dmodels/other")));
    ASSERT_TRUE(QFile::copy(Path("dmodels/nwind/struct.dbs"), Path("dmodels/other/struct.dbs")));
    Write("dmodels/other/dm_settings.ini", "[Options]\r\nModelName=Other\r\n");
    const QString modelFile = Path("dmodels/nwind/struct.dbs");
    RegisterDataModelEditor();
    Open();
    const QString folder = QueryDir;
    const QString title = Form->windowTitle();
    ASSERT_TRUE(QFile::remove(modelFile) && QDir().mkdir(modelFile));
    platform::ScriptedAnswers answers {
        platform::IDOK, platform::IDYES, platform::IDOK, platform::IDYES, platform::IDOK, platform::IDYES};
    WithDialog<T_dlgDataModelEditor>(AddVirtualField, [this] { Form->miEditStructure->trigger(); });
    TZCustomDBStructure::SetDataModelEditor(nullptr);
    const auto edited
        = [this] { return Form->DBStructure->FindField(flDisplayName, "New Field") != nullptr; };
    ASSERT_TRUE(edited());

    WithDialog<TdlgSelectDataModel>(
        [](TdlgSelectDataModel& Dialog) {
            Dialog.lbModels->setCurrentItem(Dialog.lbModels->findItems("Other", Qt::MatchExactly).value(0));
            Dialog.lbModelsClick();
            Dialog.btnOk->click();
        },
        [this] { Form->SelectDataModel1->trigger(); });
    EXPECT_EQ(QueryDir.toStdString(), folder.toStdString());
    EXPECT_EQ(Form->windowTitle().toStdString(), title.toStdString());
    EXPECT_TRUE(edited());
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(edited());
    ASSERT_TRUE(QDir().rmdir(modelFile));
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Read("dmodels/nwind/struct.dbs").contains("DisplayName=New Field\r\n"));
    const QString question = "Current data model was modified. Save?";
    EXPECT_EQ(AskedTexts(answers, modelFile),
        QStringList({"failed", question, "failed", question, "failed", question}));
}
