#include "querypanel/panel/filtercond.h"
#include "querypanel/query/queryresult.h"
#include "tests/querypanel/panel/paneltesting.h"

#include <gtest/gtest.h>

namespace {

// An active panel over root: 1. condition (unchecked), 2. "none" bracket with a condition, that
// counts its rebuilds (each is one deactivation and one activation).
struct RebuildFixture : PanelFixture {
    int Rebuilds = 0;
    int ActiveEvents = 0;

    RebuildFixture()
    {
        Panel->Root()->AppendSimpleCond()->SetChecked(false);
        TFilterBracket* bracket = Panel->Root()->AppendBracket();
        bracket->SetLinkType(fltNone);
        bracket->AppendSimpleCond();
        Panel->RenumberPaths(Panel->Root());
        Panel->Activate();
        Panel->OnActive = [this](TZQueryPanel*) { Rebuilds += ++ActiveEvents % 2 == 0; };
    }
};

TEST(AppearanceTest, SettersRebuildOnlyOnARealChange)
{
    RebuildFixture f;
    TQPAppearance& appearance = f.Panel->Appearance();
    appearance.SetFieldColor(appearance.FieldColor());
    appearance.SetStyle(appearance.Style());
    EXPECT_EQ(f.Rebuilds, 0);
    appearance.SetFieldColor(0x000000FF);
    EXPECT_EQ(f.Rebuilds, 1);
    appearance.SetLinkTypes({fltAll});
    EXPECT_EQ(f.Rebuilds, 2);
    EXPECT_EQ(f.Panel->Root()->LinkTypeLabel()->Items(), QStringList({"all"}));
}

TEST(AppearanceTest, AssigningRebuildsOnceAndKeepsAddRowColorAndLinkTypes)
{
    RebuildFixture f;
    f.Panel->Appearance().SetAddRowColor(0x00123456);
    f.Panel->Appearance().SetLinkTypes({fltAll, fltAny});
    f.Rebuilds = 0;
    f.ActiveEvents = 0;

    TQPAppearance other;
    other.SetFieldColor(0x000000FF);
    other.SetBoolOpColor(0x0000FF00);
    other.SetOptions({aoShowCheckBoxes});
    other.SetStyle(psAndOr);
    other.SetAddRowColor(0x00FFFFFF);
    f.Panel->SetAppearance(other);
    EXPECT_EQ(f.Rebuilds, 1);
    const TQPAppearance& result = f.Panel->Appearance();
    EXPECT_EQ(result.FieldColor(), 0x000000FFu);
    EXPECT_EQ(result.BoolOpColor(), 0x0000FF00u);
    EXPECT_EQ(result.Options(), TQPAppearanceOptions({aoShowCheckBoxes}));
    EXPECT_EQ(result.Style(), psAndOr);
    EXPECT_EQ(result.AddRowColor(), 0x00123456u);
    EXPECT_EQ(result.LinkTypes(), TFilterLinkTypes({fltAll, fltAny}));
}

TEST(AppearanceTest, AnInactivePanelTakesChangesAtItsNextActivation)
{
    PanelFixture f;
    int activeEvents = 0;
    f.Panel->OnActive = [&](TZQueryPanel*) { ++activeEvents; };
    f.Panel->Appearance().SetOptions({});
    EXPECT_EQ(activeEvents, 0);
    f.Panel->Activate();
    EXPECT_TRUE(f.Panel->AddRowLabel()->isHidden());
}

// A rebuild that lost the rows' state, or the rows themselves, changed the query the user made.
TEST(RelayoutTest, RebuildingKeepsTheQueryInNewControls)
{
    RebuildFixture f;
    TFilterRow* oldFirst = f.Panel->Root()->Rows(0);
    QWidget* oldButton = oldFirst->Button();
    f.Panel->SetModified(false);
    f.Panel->Appearance().SetOptions(
        f.Panel->Appearance().Options() + TQPAppearanceOptions({aoShowGroupName}));
    TFilterBracket* root = f.Panel->Root();
    ASSERT_EQ(root->Count(), 2);
    EXPECT_NE(root->Rows(0)->Button(), oldButton);
    EXPECT_FALSE(root->Rows(0)->Checked());
    EXPECT_FALSE(root->Rows(0)->CheckBox()->isChecked());
    auto* bracket = static_cast<TFilterBracket*>(root->Rows(1));
    EXPECT_EQ(bracket->LinkType(), fltNone);
    EXPECT_EQ(bracket->LinkTypeLabel()->Caption(), "none");
    EXPECT_EQ(bracket->Rows(0)->Path(), "2.1.");
    EXPECT_EQ(root->LinkType(), fltAll);
    EXPECT_TRUE(f.Panel->Active());
    EXPECT_FALSE(f.Panel->Modified());
}

TEST(RelayoutTest, ConditionsKeepFieldOperatorAndValue)
{
    PanelFixture f;
    auto* condition = static_cast<TSimpleCond*>(f.Panel->Root()->AppendSimpleCond());
    condition->SetField(f.Model->FindField(1, "Freight"));
    TDSOperator* op = condition->Field()->Operators().last();
    condition->SetOperator(op);
    condition->SetValue(1, "100");
    f.Panel->Activate();
    f.Panel->Appearance().SetStyle(psAndOr);
    auto* copy = dynamic_cast<TSimpleCond*>(f.Panel->Root()->Rows(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, condition);
    EXPECT_EQ(copy->Field(), f.Model->FindField(1, "Freight"));
    EXPECT_EQ(copy->Operator(), op);
    EXPECT_EQ(copy->ValueText(1), "100");
    EXPECT_EQ(f.Panel->CurrentRow(), copy);
}

// A failed rebuild left the panel with no rows or half of them.
TEST(RelayoutTest, AFailedRebuildRestoresTheRows)
{
    RebuildFixture f;
    TFilterBracket* root = f.Panel->Root();
    TFilterRow* first = root->Rows(0);
    f.Panel->SetTitle("ttlBracket", "no placeholder");
    EXPECT_EQ(
        PanelErrorCode([&] { f.Panel->Appearance().SetFieldColor(0x000000FF); }), qpeInvalidStringFormat);
    EXPECT_EQ(f.Panel->Root(), root);
    EXPECT_EQ(root->Rows(0), first);
    EXPECT_TRUE(f.Panel->Active());
    EXPECT_TRUE(first->Shown());
}

TEST(PanelPropertyTest, SyntaxReachesTheQueryResultAtOnce)
{
    TZQueryPanel panel;
    panel.SetSQLSyntax(ssOracle);
    EXPECT_EQ(panel.QResult()->SQLSyntax(), ssOracle);
    panel.SetSQLOptions({soQuoteAliases});
    EXPECT_EQ(panel.QResult()->SQLOptions(), TSQLOptions({soQuoteAliases}));
    EXPECT_EQ(panel.GetQuoteSymbol(1), '"');
    EXPECT_EQ(panel.GetQuoteSymbol(2), '"');
}

}  // namespace
