#include "app/dialogs/modelsettings.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownlist.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "tests/app/mainwindow/mainformtesting.h"

#include <QLineEdit>
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
    WithDialog<T_dlgDataModelEditor>([](T_dlgDataModelEditor& Editor) { Editor.sbOK->click(); },
        [this] { Form->miEditStructure->trigger(); });
    EXPECT_EQ(FileBytes(modelFile), damaged);

    WithDialog<T_dlgDataModelEditor>(
        [](T_dlgDataModelEditor& Editor) {
            Editor.pcMain->setCurrentIndex(1);
            Editor.sbAddVirtualField->click();
            Editor.sbOK->click();
        },
        [this] { Form->miEditStructure->trigger(); });
    TZCustomDBStructure::SetDataModelEditor(nullptr);
    EXPECT_TRUE(Read("dmodels/nwind/struct.dbs").contains("DisplayName=New Field\r\n"));
    EXPECT_EQ(answers.Asked().size(), 1u);
}
