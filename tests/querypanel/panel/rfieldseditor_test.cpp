#include "platform/messagebox.h"
#include "querypanel/panel/rfieldseditor.h"
#include "querypanel/query/queryresult.h"
#include "tests/querypanel/panel/paneltesting.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

static void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

namespace {

// The rows of a grid as "number|caption|text".
QStringList Rows(const QTableWidget* Grid)
{
    QStringList rows;
    for (int row = 0; row < Grid->rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < 3; ++col)
            cells << (Grid->item(row, col) ? Grid->item(row, col)->text() : QString());
        rows << cells.join(u'|');
    }
    return rows;
}

QPoint CellCentre(const QTableWidget* Grid, int Row, int Col)
{
    return Grid->visualItemRect(Grid->item(Row, Col)).center();
}

// An editor over the fixture's panel (OrderID, Freight, OrderDate), shown as the panel shows it.
struct RFieldsEditorTest : PanelFixture, testing::Test {
    std::unique_ptr<TdlgRFieldsEditor> Editor;
    int HelpClicks = 0;

    TdlgRFieldsEditor& Open(int MaxFields, int Mode)
    {
        Editor = std::make_unique<TdlgRFieldsEditor>(Panel.get(), Model.get(), [this] { ++HelpClicks; });
        Editor->SetMode(Mode);
        Editor->SetMaxFields(MaxFields);
        Editor->SetResultFields(Panel->QResult()->ResultFields());
        Editor->show();
        Editor->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Editor.get()));
        return *Editor;
    }
    void Select(const QString& Caption)
    {
        Editor->tvAllFields->setCurrentItem(Editor->tvAllFields->findItems(Caption, Qt::MatchExactly)[0]);
    }
    // Opens the in-place editor on a cell, types Text and ends the edit with Enter.
    QString EditCell(int Row, int Col, const QString& Text)
    {
        QTableWidget* grid = Editor->sgRFields;
        grid->setCurrentCell(Row, Col);
        grid->editItem(grid->item(Row, Col));
        auto* edit = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
        const QString shown = edit ? edit->text() : QStringLiteral("<no editor>");
        if (edit) {
            edit->setText(Text);
            QTest::keyClick(edit, Qt::Key_Return);
            // The delegate commits what was typed from the event loop.
            QApplication::processEvents();
        }
        return shown;
    }
    const TRFieldList& Fields() const { return Editor->ResultFields(); }
};

// Captions come from the titles; an empty list starts in just-sorting state and the first field
// added leaves it; captions are made unique; LIST only with its mode bit.
TEST_F(RFieldsEditorTest, AddingFieldsFromTheTree)
{
    Panel->SetTitles({"[Result Fields Editor]", "ttlRFETitle=Spalten", "ttlFieldExprColName=Ausdruck"});
    TdlgRFieldsEditor& editor = Open(0, rfeShowSorting);
    EXPECT_EQ(editor.windowTitle(), "Spalten");
    EXPECT_EQ(editor.sgRFields->horizontalHeaderItem(2)->text(), "Ausdruck");
    EXPECT_EQ(editor.pmiAddField->text(), "as is");
    EXPECT_EQ(Rows(editor.sgRFields), QStringList {"||"});
    EXPECT_TRUE(Fields().JustSorting());
    EXPECT_FALSE(editor.pmiDelRField->isEnabled());
    EXPECT_FALSE(editor.pmiSortRField->isEnabled());
    EXPECT_TRUE(editor.pmiJustSorting->isEnabled());
    EXPECT_FALSE(editor.pmiList->isVisible());
    EXPECT_TRUE(editor.pnlSortedFields->isVisible());

    Select("OrderID");
    QTest::keyClick(editor.tvAllFields, Qt::Key_Space);
    EXPECT_FALSE(Fields().JustSorting());
    editor.pmiAddField->trigger();
    editor.pmiSum->trigger();
    EXPECT_EQ(Rows(editor.sgRFields),
        (QStringList {"1|OrderID|={OrderID}", "2|OrderID1|={OrderID}", "3|OrderID Sum|=SUM({OrderID})"}));
    EXPECT_EQ(editor.sgRFields->currentRow(), 2);
    EXPECT_TRUE(editor.pmiDelRField->isEnabled());
    EXPECT_FALSE(editor.pmiJustSorting->isEnabled());

    TdlgRFieldsEditor& withList = Open(0, rfeShowSorting | rfeShowList);
    EXPECT_TRUE(withList.pmiList->isVisible());
    Select("Freight");
    withList.pmiList->trigger();
    EXPECT_EQ(Fields()[0]->Caption(), "Freight List");
    EXPECT_EQ(Fields()[0]->Formula(), "LIST(@1)");
}

// The sub-query's editor: each add replaces the single field, OK waits for one, no sorting.
TEST_F(RFieldsEditorTest, MaximumOneKeepsASingleField)
{
    TdlgRFieldsEditor& editor = Open(1, 0);
    EXPECT_FALSE(editor.btOK->isEnabled());
    EXPECT_FALSE(editor.pnlSortedFields->isVisible());
    EXPECT_FALSE(editor.pmiSortRField->isVisible());
    Select("OrderID");
    editor.pmiAddField->trigger();
    Select("Freight");
    editor.pmiSum->trigger();
    ASSERT_EQ(Fields().Count(), 1);
    EXPECT_EQ(Fields()[0]->Caption(), "Freight Sum");
    EXPECT_EQ(Rows(editor.sgRFields), QStringList {"1|Freight Sum|=SUM({Freight})"});
    EXPECT_TRUE(editor.btOK->isEnabled());
}

// Sort positions stay 1..n in the order shown: a drag renumbers every row, a removal moves the
// rows below up; the result grid's drag moves the field in the list.
TEST_F(RFieldsEditorTest, SortingByDragAndMenu)
{
    TdlgRFieldsEditor& editor = Open(0, rfeShowSorting);
    for (const char* name : {"OrderID", "Freight", "OrderDate"}) {
        Select(name);
        editor.pmiAddField->trigger();
        editor.pmiSortRField->trigger();
    }
    QTableWidget* sort = editor.sgSortOrder;
    QTest::mousePress(sort->viewport(), Qt::LeftButton, {}, CellCentre(sort, 0, 0));
    QTest::mouseRelease(sort->viewport(), Qt::LeftButton, {}, CellCentre(sort, 2, 0));
    EXPECT_EQ(
        Rows(sort), (QStringList {"1|Freight|Ascending", "2|OrderDate|Ascending", "3|OrderID|Ascending"}));
    EXPECT_EQ(Fields()[1]->SortOrder(), 1);
    EXPECT_EQ(Fields()[2]->SortOrder(), 2);
    EXPECT_EQ(Fields()[0]->SortOrder(), 3);

    sort->setCurrentCell(1, 1);
    editor.miNotSorted->trigger();
    EXPECT_EQ(Rows(sort), (QStringList {"1|Freight|Ascending", "2|OrderID|Ascending"}));
    EXPECT_EQ(Fields()[0]->SortOrder(), 2);
    EXPECT_EQ(Fields()[2]->Sorting(), 0);
    EXPECT_EQ(Fields().Count(), 3);

    // Tab goes from the result grid to the sort grid and on to the buttons.
    sort->setCurrentCell(0, 1);
    editor.sgRFields->setFocus();
    QTest::keyClick(editor.sgRFields, Qt::Key_Tab);
    ASSERT_TRUE(sort->hasFocus());
    QTest::keyClick(sort, Qt::Key_Space);
    EXPECT_EQ(Fields()[1]->Sorting(), 2);
    EXPECT_EQ(Rows(sort)[0], "1|Freight|Descending");
    QTest::keyClick(sort, Qt::Key_Tab);
    EXPECT_TRUE(editor.btOK->hasFocus());

    QTableWidget* result = editor.sgRFields;
    QTest::mousePress(result->viewport(), Qt::LeftButton, {}, CellCentre(result, 2, 0));
    QTest::mouseRelease(result->viewport(), Qt::LeftButton, {}, CellCentre(result, 0, 0));
    EXPECT_EQ(Fields().GetCaptionsText(), "OrderDate, OrderID, Freight");
    EXPECT_EQ(Rows(result)[0], "1|OrderDate|={OrderDate}");
}

// Sorting only: the Add button makes fields that only sort, and a field no longer sorted goes.
TEST_F(RFieldsEditorTest, SortingOnlyFieldsLeaveWithTheirSort)
{
    TdlgRFieldsEditor& editor = Open(0, rfeSortingOnly);
    EXPECT_EQ(editor.Mode(), rfeSortingOnly | rfeShowSorting);
    EXPECT_FALSE(editor.pnlResultFields->isVisible());
    Select("Freight");
    editor.btAddResultField->click();
    Select("OrderID");
    editor.btAddResultField->click();
    EXPECT_TRUE(Fields().JustSorting());
    EXPECT_EQ(Rows(editor.sgSortOrder), (QStringList {"1|Freight|Ascending", "2|OrderID|Ascending"}));
    editor.sgSortOrder->setCurrentCell(0, 1);
    editor.miNotSorted->trigger();
    EXPECT_EQ(Fields().GetCaptionsText(), "OrderID");
    EXPECT_EQ(Rows(editor.sgSortOrder), QStringList {"1|OrderID|Ascending"});
    EXPECT_EQ(Fields()[0]->SortOrder(), 1);
}

// The in-place editor works on the raw formula and the grid shows the fields in braces; editing
// the caption leaves the formula alone and shows in the sort grid.
TEST_F(RFieldsEditorTest, EditingExpressionsAndArithmetic)
{
    TdlgRFieldsEditor& editor = Open(0, rfeShowSorting);
    Select("OrderID");
    editor.pmiAddField->trigger();
    editor.pmiSortRField->trigger();
    Select("Freight");
    editor.pmiAdd->trigger();
    EXPECT_EQ(Fields()[0]->Formula(), "@1 + @2");
    EXPECT_EQ(Rows(editor.sgRFields)[0], "1|OrderID|={OrderID} + {Freight}");

    EXPECT_EQ(EditCell(0, 2, "@2 * 3"), "@1 + @2");
    EXPECT_EQ(Fields()[0]->Formula(), "@1 * 3");
    ASSERT_EQ(Fields()[0]->Fields().Count(), 1);
    EXPECT_EQ(Rows(editor.sgRFields)[0], "1|OrderID|={Freight} * 3");

    EXPECT_EQ(EditCell(0, 1, "Weighted"), "OrderID");
    EXPECT_EQ(Fields()[0]->Caption(), "Weighted");
    EXPECT_EQ(Fields()[0]->Formula(), "@1 * 3");
    EXPECT_EQ(Rows(editor.sgSortOrder)[0], "1|Weighted|Ascending");

    TdlgRFieldsEditor& fixed = Open(0, rfeShowSorting | rfeFixedExpressions);
    Select("OrderID");
    fixed.pmiAddField->trigger();
    EXPECT_FALSE(fixed.pmiSum->isEnabled());
    EXPECT_FALSE(fixed.pmiAdd->isEnabled());
    EXPECT_FALSE(fixed.sgRFields->item(0, 2)->flags() & Qt::ItemIsEditable);
}

// The delete question takes the caption in its first "%s" only, whatever else the title holds;
// Ctrl+Delete asks nothing.
TEST_F(RFieldsEditorTest, DeletingFields)
{
    Panel->SetTitles({"[Result Fields Editor]", "ttlMgsDeleteField=Delete \"%s\" (%s, 100%d)?"});
    TdlgRFieldsEditor& editor = Open(0, rfeShowSorting);
    Select("OrderID");
    editor.pmiAddField->trigger();
    editor.pmiAddField->trigger();
    editor.sgRFields->setCurrentCell(0, 1);
    platform::ScriptedAnswers answers {platform::IDNO, platform::IDYES};
    editor.pmiDelRField->trigger();
    EXPECT_EQ(Fields().Count(), 2);
    editor.pmiDelRField->trigger();
    EXPECT_EQ(answers.AskedTexts(),
        (QStringList {"Delete \"OrderID\" (%s, 100%d)?", "Delete \"OrderID\" (%s, 100%d)?"}));
    EXPECT_EQ(Rows(editor.sgRFields), QStringList {"1|OrderID1|={OrderID}"});

    QTest::keyClick(editor.sgRFields, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Fields().Count(), 0);
    EXPECT_EQ(answers.Asked().size(), 2u);
    EXPECT_EQ(Rows(editor.sgRFields), QStringList {"||"});
}

// A column without an expression, or one naming a slot no field is bound to, would be handed to
// SQL as it is: OK refuses both and names the field.
TEST_F(RFieldsEditorTest, OKRefusesFieldsThatCannotBeWritten)
{
    TdlgRFieldsEditor& editor = Open(0, rfeShowSorting);
    Select("OrderID");
    editor.pmiAddField->trigger();
    editor.pmiNewRField->trigger();
    EXPECT_EQ(Rows(editor.sgRFields)[1], "2|NewField|=");
    platform::ScriptedAnswers answers {platform::IDOK, platform::IDOK};
    editor.btOK->click();
    EXPECT_TRUE(editor.isVisible());
    QTest::keyClick(editor.sgRFields, Qt::Key_Delete, Qt::ControlModifier);
    EditCell(0, 2, "@1 + @2");
    editor.btOK->click();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(answers.AskedTexts(),
        (QStringList {"The result field \"NewField\" has no expression.",
            "The expression of the result field \"OrderID\" names @2, which stands for no field."}));
    EditCell(0, 2, "@1 * 2");
    editor.btOK->click();
    EXPECT_EQ(editor.result(), QDialog::Accepted);
}

// The panel's entry: OK replaces its fields under one change, Cancel keeps them, Help reaches the
// panel's event, and without a model there is no editor.
TEST_F(RFieldsEditorTest, ThePanelEditsItsResultFields)
{
    int changes = 0;
    int helps = 0;
    Panel->OnChange = [&](TZQueryPanel*) { ++changes; };
    Panel->OnRFEHelpClick = [&](TZQueryPanel*) { ++helps; };
    const auto run = [](const std::function<void(TdlgRFieldsEditor&)>& Steps) {
        QTimer::singleShot(0, [Steps] {
            auto* editor = qobject_cast<TdlgRFieldsEditor*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            Steps(*editor);
        });
    };
    run([](TdlgRFieldsEditor& Editor) {
        EXPECT_TRUE(Editor.pnlSortedFields->isVisible());
        EXPECT_EQ(Editor.MaxFields(), 0);
        Editor.tvAllFields->setCurrentItem(Editor.tvAllFields->findItems("Freight", Qt::MatchExactly)[0]);
        Editor.pmiSum->trigger();
        Editor.btHelp->click();
        Editor.btOK->click();
    });
    EXPECT_TRUE(Panel->EditResultFields());
    EXPECT_EQ(Panel->QResult()->ResultFields().GetCaptionsText(), "Freight Sum");
    EXPECT_FALSE(Panel->QResult()->ResultFields().JustSorting());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(helps, 1);

    run([](TdlgRFieldsEditor& Editor) {
        Editor.pmiAddField->trigger();
        Editor.btCancel->click();
    });
    EXPECT_FALSE(Panel->ShowRFieldsEditor(0, rfeShowSorting));
    EXPECT_EQ(Panel->QResult()->ResultFields().GetCaptionsText(), "Freight Sum");
    EXPECT_EQ(changes, 1);

    TZQueryPanel bare;
    EXPECT_EQ(PanelErrorCode([&] { bare.EditResultFields(); }), 3);
}

}  // namespace
