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
