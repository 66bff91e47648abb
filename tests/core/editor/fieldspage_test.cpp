#include "tests/core/editor/editortest.h"

#include "core/model/fieldeditors.h"
#include "platform/messagebox.h"
#include "tests/support/tabkey.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using FieldsPageTest = EditorTest;

// A forward drag used to insert at the index taken before the dragged field left its group, so
// the model stored a different order than the tree showed.
TEST_F(FieldsPageTest, DraggingFieldsStoresTheOrderTheTreeShows)
{
    Open();
    TDSFieldGroup* sales = Copy()->FieldGroups()[0];
    Click("Freight");
    Editor->FieldsDragDrop(Node("ShipName"));
    EXPECT_EQ(Names(*sales), QStringList({"OrderDate", "Freight", "ShipName"}));
    EXPECT_EQ(Children(Node("Sales")), Names(*sales));

    // Onto empty space: the root group's end and the end of the top level.
    Editor->FieldsDragDrop(nullptr);
    EXPECT_EQ(Names(*Copy()->RootGroup()), QStringList({"CompanyName", "City", "Freight"}));
    EXPECT_EQ(TopLevel(), QStringList({"Sales", "CompanyName", "City", "Freight"}));
    EXPECT_EQ(Editor->CurrentField()->Group(), Copy()->RootGroup());

    // Onto a group node: its last field.
    Click("City");
    Editor->FieldsDragDrop(Node("Sales"));
    EXPECT_EQ(Names(*sales), QStringList({"OrderDate", "ShipName", "City"}));
    EXPECT_EQ(Children(Node("Sales")), Names(*sales));

    // Back to the root level through the group box, with the name typed but not yet committed.
    Editor->edFldDisplayName->setText("Town");
    Editor->FldDisplayNameChange();
    Editor->cbGroups->setCurrentIndex(0);
    emit Editor->cbGroups->activated(0);
    EXPECT_EQ(Names(*Copy()->RootGroup()), QStringList({"CompanyName", "Freight", "Town"}));
    EXPECT_EQ(TopLevel(), QStringList({"Sales", "CompanyName", "Freight", "Town"}));
    EXPECT_EQ(Editor->tvFields->currentItem()->text(0), "Town");
}

TEST_F(FieldsPageTest, GroupsKeepTheModelsOrderWhenAddedAndDragged)
{
    Open();
    // Only empty groups besides "Sales" once it is emptied: the new group goes last, as in the model.
    Click("Sales");
    platform::ScriptedAnswers answers {platform::IDYES};
    Editor->sbDeleteGroup->click();
    Editor->sbAddGroup->click();
    Editor->edGroupName->setText("First");
    Editor->edGroupNameChange();
    Editor->sbAddGroup->click();
    EXPECT_EQ(TopLevel(), QStringList({"First", "New Group", "CompanyName", "City"}));
    EXPECT_EQ(Copy()->FieldGroups()[0]->GroupName(), "First");
    Editor->sbAddGroup->click();
    Editor->edGroupName->setText("Third");
    Editor->edGroupNameChange();
    // The new name is committed when a field of the group is shown, and the field's group box
    // shows it.
    Editor->sbAddVirtualField->click();
    EXPECT_EQ(Editor->cbGroups->currentText(), "Third");

    // Dragged forward before a group, then onto a root field (behind every group).
    Click("First");
    Editor->FieldsDragDrop(Node("Third"));
    auto groupNames = [this] {
        QStringList names;
        for (const TDSFieldGroup* group : Copy()->FieldGroups())
            names.append(group->GroupName());
        return names;
    };
    EXPECT_EQ(groupNames(), QStringList({"New Group", "First", "Third"}));
    EXPECT_EQ(TopLevel().mid(0, 3), groupNames());
    Click("New Group");
    Editor->FieldsDragDrop(Node("City"));
    EXPECT_EQ(groupNames(), QStringList({"First", "Third", "New Group"}));
    EXPECT_EQ(TopLevel(), QStringList({"First", "Third", "New Group", "CompanyName", "City"}));
}

TEST_F(FieldsPageTest, SortingAGroupFollowsTheModelsCaseInsensitiveOrder)
{
    TDSFieldGroup* sales = Model.FieldGroups()[0];
    sales->GetItem(0)->SetDisplayName("b");
    sales->GetItem(1)->SetDisplayName("C");
    sales->GetItem(2)->SetDisplayName("a");
    Open();
    Click("Sales");
    Editor->miOrderGroupFieldsClick();
    EXPECT_EQ(Names(*Copy()->FieldGroups()[0]), QStringList({"a", "b", "C"}));
    EXPECT_EQ(Children(Node("Sales")), QStringList({"a", "b", "C"}));
}

TEST_F(FieldsPageTest, DeletingNodesSelectsTheNeighbourAndEmptyTreeHidesEverything)
{
    Open();
    Editor->pcMain->setCurrentIndex(1);
    platform::ScriptedAnswers answers;
    Click("City");
    answers.Push(platform::IDNO);
    Editor->sbDeleteField->click();
    EXPECT_EQ(Copy()->Fields().Count(), 5);
    answers.Push(platform::IDYES);
    Editor->sbDeleteField->click();
    EXPECT_EQ(Copy()->Fields().Count(), 4);
    EXPECT_EQ(Editor->tvFields->currentItem()->text(0), "CompanyName");
    EXPECT_EQ(Editor->CurrentField()->DisplayName(), "CompanyName");
    answers.Push(platform::IDYES);
    Editor->sbDeleteField->click();
    Click("Sales");
    answers.Push(platform::IDYES);
    Editor->sbDeleteGroup->click();
    EXPECT_EQ(Copy()->Fields().Count(), 0);
    EXPECT_EQ(Copy()->FieldGroups().Count(), 0);
    EXPECT_EQ(Editor->tvFields->currentItem(), nullptr);
    EXPECT_TRUE(Editor->pcFieldProps->isHidden());
    EXPECT_TRUE(Editor->pnlGroupProps->isHidden());
    EXPECT_TRUE(Editor->pnlFieldsTools->isHidden());
    EXPECT_EQ(Editor->CurrentGroup(), nullptr);
}

TEST_F(FieldsPageTest, InsertKeysNeedDatabaseInformation)
{
    Model.SetDatabaseInfo(nullptr);
    Open();
    Click("City");
    QTest::keyClick(Editor->tvFields, Qt::Key_Insert, Qt::AltModifier);
    EXPECT_EQ(Copy()->Fields().Count(), 5);
    EXPECT_FALSE(Editor->sbAddDataField->isEnabled());
    Editor->sbAddVirtualField->click();
    ASSERT_EQ(Copy()->Fields().Count(), 6);
    TDSField* added = Copy()->Fields()[5];
    EXPECT_EQ(added->DisplayName(), "New Field");
    EXPECT_EQ(added->Kind(), zfkVirtual);
    EXPECT_EQ(added->Group(), Copy()->RootGroup());
    EXPECT_EQ(Editor->tvFields->currentItem()->text(0), "New Field");
    EXPECT_EQ(Editor->CurrentField(), added);
    QTest::keyClick(Editor->tvFields, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Copy()->FieldGroups().Count(), 2);
}

// Tab typed a tab character into the memos and went from cell to cell in the values grid.
TEST_F(FieldsPageTest, TabLeavesTheMemosAndTheValuesGrid)
{
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Editor.get()));
    Editor->pcMain->setCurrentIndex(1);
    Editor->sbAddVirtualField->click();
    ExpectTabLeaves({Editor->memFldSQLExpr});
    Editor->pcFieldProps->setCurrentWidget(Editor->tsValueEditor);
    const std::pair<int, QWidget*> pages[] {
        {etList, Editor->sgEditorValues}, {etCustom, Editor->memCustomData}, {etSQL, Editor->mSQL}};
    for (const auto& [type, control] : pages) {
        Editor->cbValueEditorType->setCurrentIndex(type);
        Editor->ValueEditorTypeChange();
        ExpectTabLeaves({control});
    }
}

// A size that is no number used to be reported after the display name was written, and the
// tree went on to the other node.
TEST_F(FieldsPageTest, BadSizeCommitsNothingAndKeepsTheSelection)
{
    Open();
    Click("City");
    TDSField* city = Editor->CurrentField();
    Editor->edFldDisplayName->setText("Town");
    Editor->edFieldSize->setText("12x");
    platform::ScriptedAnswers answers {platform::IDOK};
    Click("Freight");
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_TRUE(answers.Asked()[0].Text.contains("'12x' is not a valid integer value"));
    EXPECT_EQ(city->DisplayName(), "City");
    EXPECT_EQ(city->FieldSize(), 30);
    EXPECT_EQ(Editor->tvFields->currentItem()->text(0), "City");
    EXPECT_EQ(Editor->CurrentField(), city);
    Editor->edFieldSize->setText("12");
    Click("Freight");
    EXPECT_EQ(city->DisplayName(), "Town");
    EXPECT_EQ(city->FieldSize(), 12);
}

TEST_F(FieldsPageTest, UnlistedTypeIsKeptAndATypeChangeResetsTheOperators)
{
    Model.Fields()[3]->SetFieldType(ftGuid);
    Open();
    Click("CompanyName");
    EXPECT_EQ(Editor->cbFieldType->currentIndex(), -1);
    Click("City");
    EXPECT_EQ(Copy()->Fields()[3]->FieldType(), ftGuid);

    TDSField* city = Editor->CurrentField();
    ASSERT_GE(city->IndexOfOperator(Copy()->OperatorByName("Contains")), 0);
    const int integer = Editor->cbFieldType->findText("ftInteger");
    Editor->cbFieldType->setCurrentIndex(integer);
    emit Editor->cbFieldType->activated(integer);
    EXPECT_EQ(city->FieldType(), ftInteger);
    EXPECT_EQ(city->IndexOfOperator(Copy()->OperatorByName("Contains")), -1);
    EXPECT_GE(city->IndexOfOperator(Copy()->OperatorByName("GreaterThan")), 0);
    EXPECT_EQ(Editor->lbFldOps->count(), city->GetOperatorCount());
}

TEST_F(FieldsPageTest, ValuesGridAlwaysEndsInOneEmptyRow)
{
    Open();
    Click("City");
    Editor->cbValueEditorType->setCurrentIndex(etList);
    Editor->ValueEditorTypeChange();
    QTableWidget* grid = Editor->sgEditorValues;
    ASSERT_EQ(grid->rowCount(), 1);
    auto type = [grid](int Row, int Column, const QString& Text) {
        auto* item = grid->item(Row, Column);
        if (!item)
            grid->setItem(Row, Column, new QTableWidgetItem(Text));
        else
            item->setText(Text);
    };
    type(0, 1, "NY");
    type(0, 2, "New York");
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), "1");
    type(1, 1, "LA");
    EXPECT_EQ(grid->rowCount(), 3);
    type(1, 1, "");
    EXPECT_EQ(grid->rowCount(), 2);
    type(1, 2, "Boston");
    type(2, 1, "SF");
    EXPECT_EQ(grid->rowCount(), 4);
    grid->setCurrentCell(1, 1);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(1, 0)->text(), "2");
    Click("Freight");
    const auto* editor = EditorOf<TDSListEditor>(*Copy()->Fields()[4]);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Values(), QStringList({"NY", "SF"}));
    EXPECT_EQ(editor->Items(), QStringList({"New York", ""}));
    Click("City");
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(2, 0)->text(), "");
}

TEST_F(FieldsPageTest, TextEditorMaskAndFieldOperatorOrder)
{
    TDSField* city = Model.Fields()[4];
    city->SetEditType(etText);
    static_cast<TDSTextEditor*>(city->Editor())->SetEditMask("000");
    Open();
    Click("City");
    EXPECT_EQ(Editor->rgEditorKind->ItemIndex(), 1);
    EXPECT_FALSE(Editor->pnlMaskParams->isHidden());
    EXPECT_TRUE(Editor->pnlSimpleParams->isHidden());

    TDSField* copy = Editor->CurrentField();
    const QString first = copy->GetOperator(0)->Name();
    const QString second = copy->GetOperator(1)->Name();
    Editor->lbFldOps->setCurrentRow(0);
    Editor->lbFldOps->OnStartDrag();
    Editor->lbFldOpsDragDrop(2);
    EXPECT_EQ(copy->GetOperator(2)->Name(), first);
    EXPECT_EQ(copy->GetOperator(0)->Name(), second);
    EXPECT_EQ(Editor->lbFldOps->item(2)->text(), first);
    EXPECT_EQ(Editor->lbFldOps->currentRow(), 2);
}
