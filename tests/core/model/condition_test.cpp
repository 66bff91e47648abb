#include "core/model/condition.h"

#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

// A gap in the placeholders ends the count: "@3" without "@2" takes one value.
TEST(OperatorTest, ParamCountStopsAtTheFirstMissingPlaceholder)
{
    const struct {
        const char* Template;
        int Count;
    } cases[] = {
        {"@f is null", 0},
        {"@f in (@1)", 1},
        {"@f between '@1' and '@2'", 2},
        {"@f = @1 or @f = @3", 1},
        {"@2", 0},
    };
    for (const auto& c : cases) {
        TDSOperator op;
        op.SetSQLName(c.Template);
        EXPECT_EQ(op.GetParamCount(), c.Count) << c.Template;
    }
}

using ConditionTest = ModelTest;

// Every "@" is one value slot, with the text before it; text after the last slot is dropped.
TEST_F(ConditionTest, DisplayFormatMakesOneValuePerSlot)
{
    const struct {
        const char* Format;
        QStringList Texts;
        const char* Caption;
    } cases[] = {
        {"Orders of this year", {}, "Orders of this year"},
        {"@ and more", {""}, ""},
        {"Price from @ to @ euro", {"Price from ", " to "}, "Price from   to "},
    };
    for (const auto& c : cases) {
        TDSCondition condition(&model);
        condition.SetDisplayFormat(c.Format);
        QStringList texts;
        for (const TDSValue* value : condition.Values())
            texts.append(value->Text());
        EXPECT_EQ(texts, c.Texts) << c.Format;
        EXPECT_EQ(condition.GetCaption(), c.Caption) << c.Format;
    }
}

// Saved queries name conditions by ID: a stored ID is kept, a missing one follows the highest,
// and a deleted ID is not handed out again.
TEST_F(ConditionTest, ListGivesIdentifiersThatAreNeverReused)
{
    TDSConditionList& list = model.Conditions();
    QList<int> ids;
    for (int stored : {0, 7, 0}) {
        auto* condition = new TDSCondition(&model);
        condition->SetID(stored);
        list.Add(condition);
        ids.append(condition->ID());
    }
    EXPECT_EQ(ids, QList<int>({1, 7, 8}));
    list.DeleteAndFree(list.IndexOfID(8));
    auto* next = new TDSCondition(&model);
    list.Add(next);
    EXPECT_EQ(next->ID(), 9);
    EXPECT_EQ(model.ConditionByID(8), nullptr);
}

// A new expression is scanned into emptied lists: the tables of the old one would add joins to
// queries, or get the field deleted with a table it no longer uses.
TEST_F(ConditionTest, NewExpressionsForgetTheOldTables)
{
    TDSTable* orders = T("Orders");
    TDSTable* items = T("Items");
    TDSCondition condition(&model);
    condition.SetSQLExpr("Orders.Total > 100");
    condition.SetSQLExpr("Items.Qty > 1 and Items.Price > 2");
    EXPECT_EQ(condition.Tables(), TDSTableList({items, items}));

    TDSField* field = Add(zfkVirtual, "Orders.Price");
    EXPECT_EQ(field->Tables(), TDSTableList({orders}));
    field->SetExpression("Items.Price");
    EXPECT_EQ(field->Tables(), TDSTableList({items}));
    EXPECT_EQ(field->References(), QStringList({"Items.Price"}));
    model.DeleteTable(model.Tables().indexOf(orders));
    EXPECT_EQ(model.Fields().Count(), 1);
}

}  // namespace
