#include "tests/core/editor/editortest.h"

#include "core/design/designpanel.h"
#include "core/design/tablepicker.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// Answers the table or field picker once it is shown.
void WhenPickerShown(const std::function<void(TdlgListPnl*)>& Steps)
{
    QTimer::singleShot(0, [Steps] {
        auto* picker = qobject_cast<TdlgListPnl*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        Steps(picker);
    });
}

}  // namespace

class TablesPageTest : public EditorTest {
protected:
    void Show(int Table)
    {
        Editor->DesignPanel->SelectTable(Editor->DesignPanel->FindTableRep(Copy()->Tables()[Table]));
    }
};

TEST_F(TablesPageTest, DefaultMainMovesOnlyWhenCheckedOnTheOtherTable)
{
    Open();
    Show(0);
    EXPECT_EQ(Editor->CurrentTable(), Copy()->Tables()[0]);
    EXPECT_EQ(Editor->edTblAlias->text(), "Customers");
    Editor->cbDefaultMain->setChecked(true);
    Show(1);
    EXPECT_FALSE(Editor->cbDefaultMain->isChecked());
    Show(0);
    EXPECT_EQ(Copy()->DefaultMainTable(), Copy()->Tables()[0]);
    Show(1);
    Editor->cbDefaultMain->setChecked(true);
    Editor->edTblHints->setCurrentIndex(Editor->edTblHints->findText("PAGLOCK "));
    Show(0);
    EXPECT_EQ(Copy()->DefaultMainTable(), Copy()->Tables()[1]);
    EXPECT_EQ(Copy()->Tables()[1]->Hints(), "PAGLOCK ");
    Editor->cbDefaultMain->setChecked(false);
    Editor->CommitAll();
    EXPECT_EQ(Copy()->DefaultMainTable(), Copy()->Tables()[1]);
}

TEST_F(TablesPageTest, AliasesStayUniqueAndNotEmpty)
{
    Open();
    Show(0);
    platform::ScriptedAnswers answers {platform::IDOK, platform::IDOK};
    for (const char* alias : {"orders", ""}) {
        Editor->edTblAlias->setText(alias);
        Show(1);
        EXPECT_EQ(Editor->CurrentTable(), Copy()->Tables()[0]);
        EXPECT_EQ(Editor->DesignPanel->SelectedTable()->Table(), Copy()->Tables()[0]);
        EXPECT_EQ(Copy()->Tables()[0]->Alias(), "Customers");
        EXPECT_EQ(Editor->edTblAlias->text(), alias);
    }
    EXPECT_EQ(answers.Asked().size(), 2u);
    Editor->edTblAlias->setText("Buyer list");
    Show(1);
    EXPECT_EQ(Copy()->Tables()[0]->Alias(), "Buyer_list");
    EXPECT_EQ(Editor->cbTablesList->itemText(0), "Customers - Buyer_list");

    // The same database table added again gets an alias of its own.
    WhenPickerShown([](TdlgListPnl* Picker) {
        Picker->memList()->setPlainText("Orders");
        Picker->OK()->click();
    });
    Editor->sbAddTable->click();
    ASSERT_EQ(Copy()->GetTableCount(), 3);
    EXPECT_EQ(Copy()->Tables()[2]->Alias(), "Orders1");
    EXPECT_EQ(Editor->CurrentTable(), Copy()->Tables()[2]);
    EXPECT_EQ(Editor->edTblAlias->text(), "Orders1");
    Editor->CommitAll();
    EXPECT_EQ(Copy()->Tables()[2]->Alias(), "Orders1");
}

TEST_F(TablesPageTest, DeletingTheOnlyTableLeavesNoCurrentTable)
{
    Model.DeleteTable(1);
    Open();
    Show(0);
    platform::ScriptedAnswers answers {platform::IDYES};
    Editor->sbDelTable->click();
    EXPECT_EQ(answers.AskedTexts(), QStringList {"Delete Table \"Customers\"?"});
    EXPECT_EQ(Copy()->GetTableCount(), 0);
    EXPECT_EQ(Editor->CurrentTable(), nullptr);
    EXPECT_FALSE(Editor->sbDelTable->isEnabled());
    EXPECT_EQ(Editor->cbTablesList->count(), 0);
    EXPECT_EQ(Editor->tvFields->topLevelItemCount(), 1) << "the fields of the table went with it";
    Editor->CommitAll();
}

// Deleting a table refills every page, which used to drop what was typed there and not yet shown
// elsewhere.
TEST_F(TablesPageTest, DeletingATableKeepsTheEditsPendingOnTheOtherPages)
{
    using TEditor = T_dlgDataModelEditor;
    const struct {
        std::function<void(TEditor&)> Type;
        std::function<QString(const TZCustomDBStructure&)> Stored;
    } cases[] = {
        {[](TEditor& E) {
             E.lbOperators->setCurrentRow(0);
             E.edOpDisplayName->setText("equals exactly");
         },
            [](const TZCustomDBStructure& M) { return M.GetOperator(0)->DisplayName(); }},
        {[this](TEditor& E) {
             Click("Freight");
             E.edFldDisplayName->setText("equals exactly");
         },
            [](const TZCustomDBStructure& M) { return M.FindField(flFieldExpr, "Freight")->DisplayName(); }},
        {[](TEditor& E) {
             E.sbAddCondition->click();
             E.edCondSQLExpr->setText("equals exactly");
         },
            [](const TZCustomDBStructure& M) { return M.Conditions()[0]->SQLExpr(); }},
    };
    for (const auto& c : cases) {
        Open();
        c.Type(*Editor);
        Show(0);
        platform::ScriptedAnswers answers {platform::IDYES};
        Editor->sbDelTable->click();
        ASSERT_EQ(Copy()->GetTableCount(), 1);
        EXPECT_EQ(c.Stored(*Copy()), "equals exactly");
    }
}

TEST_F(TablesPageTest, AddFieldWithoutAChosenTableIsRefused)
{
    Open();
    WhenPickerShown([](TdlgListPnl* Picker) {
        Picker->cbGroups()->setCurrentIndex(-1);
        Picker->memList()->setPlainText("Phone");
        Picker->OK()->click();
    });
    platform::ScriptedAnswers answers {platform::IDOK};
    Editor->sbAddDataField->click();
    EXPECT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Copy()->Fields().Count(), 5);

    Show(0);
    WhenPickerShown([](TdlgListPnl* Picker) {
        Picker->memList()->setPlainText("Phone\nFax");
        Picker->OK()->click();
    });
    Editor->sbAddDataField->click();
    ASSERT_EQ(Copy()->Fields().Count(), 7);
    EXPECT_EQ(Copy()->Fields()[6]->DisplayName(), "Fax");
    EXPECT_EQ(Copy()->Fields()[6]->Tables().value(0), Copy()->Tables()[0]);
    EXPECT_EQ(Editor->CurrentField(), Copy()->Fields()[6]);
    EXPECT_GT(Copy()->Fields()[6]->GetOperatorCount(), 0);
}
