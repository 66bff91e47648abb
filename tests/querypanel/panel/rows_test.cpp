#include "tests/querypanel/panel/paneltesting.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Root with: 1. condition, 2. bracket holding 2.1. condition.
struct TreeFixture : PanelFixture {
    TFilterBracket* Root = Panel->Root();
    TestCond* First = AppendTestCond(Root);
    TFilterBracket* Bracket = Root->AppendBracket();
    TestCond* Inner = AppendTestCond(Bracket);

    void Renumber()
    {
        Panel->RenumberPaths(Root);
        Panel->ArrangeRows();
    }
};

QStringList Paths(TFilterBracket* Bracket)
{
    QStringList paths;
    for (int i = 0; i < Bracket->Count(); ++i) {
        paths.append(Bracket->Rows(i)->Path());
        if (Bracket->Rows(i)->IsBracketNode())
            paths.append(Paths(static_cast<TFilterBracket*>(Bracket->Rows(i))));
    }
    return paths;
}

// Rows placed from guessed heights overlap or drift apart with another font.
TEST(RowLayoutTest, PositionsFollowTheMeasuredButtonHeight)
{
    TreeFixture f;
    f.Panel->Activate();
    TFilterBtn* root = f.Root->Button();
    const int text = f.Panel->GetRowTextHeight();
    EXPECT_EQ(root->Caption(), "");
    EXPECT_EQ(root->width(), text);
    EXPECT_EQ(root->height(), text);

    ASSERT_EQ(f.Inner->Path(), "2.1.");
    EXPECT_EQ(f.Inner->Button()->Caption(), "2.1");
    EXPECT_EQ(f.Inner->DisplayIndex(), 3);
    const int height = f.Inner->Button()->height();
    EXPECT_EQ(f.Inner->Button()->pos(), QPoint(45, 5 + 3 * (height + 6)));
    EXPECT_EQ(f.Inner->CheckBox()->x(), 5);
    // The first element follows the button, the next one the first.
    QWidget* field = f.Inner->ElementAt(1);
    EXPECT_EQ(field->x(), 45 + f.Inner->Button()->width() + 5);
    EXPECT_EQ(f.Inner->ElementAt(3)->x(), field->x() + field->width() + 5);
    // The add-row label sits under the last row's button.
    EXPECT_EQ(f.Panel->AddRowLabel()->pos(), QPoint(45, f.Inner->Button()->y() + height + 3 + 2));
}

// A scrolled panel that kept drawing rows at their unscrolled places.
TEST(RowLayoutTest, ScrollingMovesTheRows)
{
    TreeFixture f;
    f.Panel->resize(200, 60);
    f.Panel->Activate();
    const int before = f.Inner->Button()->y();
    f.Panel->verticalScrollBar()->setValue(10);
    EXPECT_EQ(f.Inner->Button()->y(), before - f.Panel->verticalScrollBar()->value());
}

TEST(RowMoveTest, MoveOutOfTheOnlyRowReplacesTheBracket)
{
    TreeFixture f;
    f.Inner->MoveOut();
    f.Renumber();
    ASSERT_EQ(f.Root->Count(), 2);
    EXPECT_EQ(f.Root->Rows(0), f.First);
    EXPECT_EQ(f.Root->Rows(1), f.Inner);
    EXPECT_EQ(f.Inner->Parent(), f.Root);
    EXPECT_EQ(f.Inner->Path(), "2.");
}

TEST(RowMoveTest, MoveInMakesOrJoinsABracket)
{
    TreeFixture f;
    // The first row goes alone into a new "any" bracket at its old place.
    f.First->MoveIn();
    f.Renumber();
    auto* made = dynamic_cast<TFilterBracket*>(f.Root->Rows(0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->LinkType(), fltAny);
    EXPECT_EQ(made->Rows(0), f.First);
    EXPECT_EQ(Paths(f.Root), QStringList({"1.", "1.1.", "2.", "2.1."}));

    // A row after a bracket joins it at the end; the others keep their order.
    TestCond* last = AppendTestCond(f.Root);
    last->MoveIn();
    f.Renumber();
    ASSERT_EQ(f.Bracket->Count(), 2);
    EXPECT_EQ(f.Bracket->Rows(0), f.Inner);
    EXPECT_EQ(f.Bracket->Rows(1), last);
    // Within its new bracket it moves up, down and out.
    last->MoveUp();
    EXPECT_EQ(f.Bracket->Rows(0), last);
    last->MoveDown();
    EXPECT_EQ(f.Bracket->Rows(1), last);
    last->MoveOut();
    f.Renumber();
    EXPECT_EQ(f.Root->Rows(2), last);
    EXPECT_EQ(Paths(f.Root), QStringList({"1.", "1.1.", "2.", "2.1.", "3."}));
}

TEST(RowMoveTest, TheRootAndRowsOfTheRootDoNotMoveOut)
{
    TreeFixture f;
    f.Root->MoveOut();
    f.Root->MoveIn();
    f.First->MoveOut();
    EXPECT_EQ(f.Root->Count(), 2);
    EXPECT_EQ(f.Root->Rows(0), f.First);
}

// Checks that stop at one level leave brackets enabled whose every row is disabled.
TEST(RowCheckTest, CheckBoxesPropagateDownAndUp)
{
    TreeFixture f;
    TFilterBracket* deeper = f.Bracket->AppendBracket();
    TestCond* deepest = AppendTestCond(deeper);

    f.Bracket->SetChecked(false);
    EXPECT_FALSE(f.Inner->Checked());
    EXPECT_FALSE(deeper->Checked());
    EXPECT_FALSE(deepest->Checked());
    EXPECT_TRUE(f.Root->Checked());

    deepest->SetChecked(true);
    EXPECT_TRUE(deeper->Checked());
    EXPECT_TRUE(f.Bracket->Checked());
    EXPECT_FALSE(f.Inner->Checked());

    deepest->SetChecked(false);
    EXPECT_FALSE(deeper->Checked());
    EXPECT_FALSE(f.Bracket->Checked());
    // The widgets, made when the rows are shown, mirror the rows' state.
    EXPECT_FALSE(f.Bracket->HasControls());
    f.Panel->Activate();
    EXPECT_FALSE(f.Bracket->CheckBox()->isChecked());
    EXPECT_FALSE(deepest->ElementAt(1)->isEnabled());
}

// Freeing a bracket from inside its own removal used it after it was gone.
TEST(RowDeleteTest, EmptiedBracketsGoUpwardUnderNonEmptyBrackets)
{
    for (const bool nonEmpty : {true, false}) {
        TreeFixture f;
        TQPAppearanceOptions options = f.Panel->Appearance().Options();
        nonEmpty ? options.Include(aoNonEmptyBrackets) : options.Exclude(aoNonEmptyBrackets);
        f.Panel->Appearance().SetOptions(options);
        f.Bracket->RemoveRow(0, true);
        TFilterBracket* deeper = f.Bracket->AppendBracket();
        AppendTestCond(deeper);

        deeper->DeleteRow(0);
        EXPECT_EQ(f.Root->Count(), nonEmpty ? 1 : 2) << nonEmpty;
        EXPECT_EQ(f.Root->Rows(0), f.First);
    }
}

TEST(RowDeleteTest, MoveOutUnderNonEmptyBracketsFreesTheEmptyBracketOnce)
{
    TreeFixture f;
    TQPAppearanceOptions options = f.Panel->Appearance().Options();
    options.Include(aoNonEmptyBrackets);
    f.Panel->Appearance().SetOptions(options);
    f.Inner->MoveOut();
    ASSERT_EQ(f.Root->Count(), 2);
    EXPECT_EQ(f.Root->Rows(1), f.Inner);
}

// A bracket that failed half-way left its check box and button on the panel.
TEST(RowCreateTest, BracketTitleWithoutPlaceholderFailsBeforeMakingControls)
{
    PanelFixture f;
    f.Panel->SetTitle("ttlBracket", "of the following");
    const qsizetype controls = f.Panel->RowArea()->children().size();
    EXPECT_EQ(PanelErrorCode([&] { f.Panel->Root()->AppendBracket(); }), qpeInvalidStringFormat);
    EXPECT_EQ(f.Panel->RowArea()->children().size(), controls);
    EXPECT_EQ(f.Panel->Root()->Count(), 0);
}

TEST(RowCreateTest, ABracketTakesItsSentenceFromTheTitles)
{
    PanelFixture f;
    f.Panel->SetTitle("ttlBracket", "  where @  hold ");
    f.Panel->SetTitle("ttlAny", "some");
    TFilterBracket* bracket = f.Panel->Root()->AppendBracket();
    bracket->CreateControls();
    EXPECT_EQ(bracket->FirstLabel()->text(), "where");
    EXPECT_EQ(bracket->LinkTypeLabel()->Caption(), "some");
    EXPECT_EQ(bracket->LastLabel()->text(), "hold");
}

TEST(RowAggregateTest, ModesFollowTheFirstRowAndTheDepth)
{
    TreeFixture f;
    TFilterBracket* aggregates = f.Root->AppendBracket();
    AppendTestCond(aggregates, true);
    EXPECT_EQ(aggregates->AggregateMode(), 0);
    AppendTestCond(aggregates);
    EXPECT_EQ(aggregates->AggregateMode(), 2);
    AppendTestCond(f.Bracket);
    EXPECT_EQ(f.Bracket->AggregateMode(), 1);
    EXPECT_EQ(f.Bracket->AppendBracket()->AggregateMode(), 1);
    EXPECT_EQ(f.Root->AggregateMode(), 0);
    EXPECT_TRUE(aggregates->IsAggregate());
}

TEST(RowNumberTest, InAndOrStyleOnlyConditionsTakeLines)
{
    TreeFixture f;
    TestCond* last = AppendTestCond(f.Root);
    f.Panel->Appearance().SetStyle(psAndOr);
    f.Renumber();
    f.Panel->Activate();
    EXPECT_EQ(f.First->DisplayIndex(), 0);
    EXPECT_EQ(f.Inner->DisplayIndex(), 1);
    EXPECT_EQ(last->DisplayIndex(), 2);
    EXPECT_FALSE(f.Bracket->Shown());
    EXPECT_FALSE(f.Root->Shown());
    EXPECT_EQ(f.Panel->CurrentRow(), f.First);
    // A line held by a bracket of the root puts the new row in the bracket's place.
    EXPECT_EQ(f.Root->PositionForDisplayIndex(1), 1);
}

TEST(RowSelectTest, DeletingTheCurrentRowSelectsANeighbour)
{
    TreeFixture f;
    TestCond* last = AppendTestCond(f.Root);
    f.Renumber();
    f.Panel->Activate();
    // Lines: root 0, 1. 1, 2. 2, 2.1. 3, 3. 4.
    f.Panel->SetCurrentRow(f.First);
    f.Root->DeleteRow(0);
    f.Renumber();
    EXPECT_EQ(f.Panel->CurrentRow(), f.Bracket);

    f.Panel->SetCurrentRow(last);
    f.Root->DeleteRow(1);
    f.Renumber();
    EXPECT_EQ(f.Panel->CurrentRow(), f.Inner);

    // A current row inside a bracket that goes is never left selected.
    f.Root->DeleteRow(0);
    EXPECT_EQ(f.Panel->CurrentRow(), nullptr);
}

TEST(RowSelectTest, DeletingTheOnlyRowLeavesNoCurrentRow)
{
    PanelFixture f;
    TestCond* only = AppendTestCond(f.Panel->Root());
    f.Panel->Activate();
    f.Panel->SetCurrentRow(only);
    f.Panel->Root()->DeleteRow(0);
    EXPECT_EQ(f.Panel->CurrentRow(), nullptr);
}

// The documented reading of style psAndOr: condition, bracket holding a condition, condition.
TEST(ConditionRowTest, InAndOrStyleTheConditionsAreLinesZeroToTwo)
{
    PanelFixture f;
    f.Panel->Appearance().SetStyle(psAndOr);
    TFilterBracket* root = f.Panel->Root();
    TFilterRow* first = root->AppendSimpleCond();
    TFilterRow* inner = root->AppendBracket()->AppendSimpleCond();
    TFilterRow* last = root->AppendSimpleCond();
    f.Panel->RenumberPaths(root);
    f.Panel->Activate();
    EXPECT_EQ(first->DisplayIndex(), 0);
    EXPECT_EQ(inner->DisplayIndex(), 1);
    EXPECT_EQ(last->DisplayIndex(), 2);
    EXPECT_EQ(f.Panel->CurrentRow(), first);
    EXPECT_EQ(inner->Button()->y(), first->Button()->y() + first->Button()->height() + 6);
}

// A row inserted in the middle was scrolled past: the view went to the end.
TEST(ConditionRowTest, ANewRowIsSelectedAndScrolledIntoViewEvenInTheMiddle)
{
    PanelFixture f;
    // Scroll bars take their place only on a shown panel (offscreen).
    f.Panel->resize(300, 80);
    f.Panel->show();
    f.Panel->Activate();
    TFilterBracket* root = f.Panel->Root();
    for (int i = 0; i < 8; ++i)
        f.Panel->AddCondition(root);
    f.Panel->SelectRowByIndex(2);
    QTest::keyClick(f.Panel.get(), Qt::Key_Insert);
    TFilterRow* middle = f.Panel->CurrentRow();
    EXPECT_EQ(root->IndexOf(middle), 2);
    EXPECT_EQ(middle->DisplayIndex(), 3);
    EXPECT_EQ(middle->Path(), "3.");
    EXPECT_GT(f.Panel->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(f.Panel->viewport()->rect().contains(middle->Button()->geometry()));
}

TEST(ConditionRowTest, ABracketAddedUnderNonEmptyBracketsHoldsASelectedCondition)
{
    PanelFixture f;
    f.Panel->Activate();
    TFilterBracket* bracket = f.Panel->AddBracket(f.Panel->Root());
    ASSERT_EQ(bracket->Count(), 1);
    EXPECT_EQ(bracket->DisplayIndex(), 1);
    EXPECT_EQ(bracket->Rows(0)->DisplayIndex(), 2);
    EXPECT_EQ(f.Panel->CurrentRow(), bracket->Rows(0));
    EXPECT_EQ(bracket->LinkTypeLabel()->Caption(), "any");
}

TEST(ConditionRowTest, ChoosingABracketsLinkTypeSetsIt)
{
    PanelFixture f;
    f.Panel->Activate();
    TFilterBracket* bracket = f.Panel->AddBracket(f.Panel->Root());
    int changes = 0;
    f.Panel->OnChange = [&](TZQueryPanel*) { ++changes; };
    TDropDownPopup* chooser = bracket->LinkTypeLabel();
    chooser->BeforeDropDown(chooser);
    EXPECT_EQ(f.Panel->CurrentRow(), bracket);
    EXPECT_FALSE(f.Panel->ElementFrame());
    chooser->SetItemIndex(3);
    chooser->AfterDropUp(chooser, true);
    EXPECT_EQ(bracket->LinkType(), fltNotAll);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(f.Panel->ElementFrame());
}

}  // namespace
