#include "querypanel/query/queryerrors.h"
#include "tests/querypanel/query/querytesting.h"

#include <gtest/gtest.h>

using namespace querytesting;

namespace {

class ResultFieldsTest : public ::testing::Test {
protected:
    SampleModel S;
    FakePanel Panel {&S.Model};
    TRFieldList& Fields = Panel.Result.ResultFields();
    TDSField* Freight = S.Field(S.Orders, "Freight", ftFloat);
    TDSField* Country = S.Field(S.Orders, "ShipCountry", ftString);
};

// Aliases must be identifiers that are no keywords, or quoted; a wrong alias breaks the SELECT list
// or lets a caption inject SQL.
TEST_F(ResultFieldsTest, AliasesFromCaptionsAreIdentifiersOrQuoted)
{
    const struct {
        TSQLOptions Options;
        QString Caption;
        QString SQL;
    } cases[] = {
        {{soASCIIRFields}, "Total Amount", "Orders.Freight as TotalAmount"},
        {{}, "Total Amount", "Orders.Freight as Total_Amount"},
        {{soQuoteAliases}, "Total Amount", "Orders.Freight as \"Total Amount\""},
        {{soQuoteAliases}, "a\"b", "Orders.Freight as \"a\"\"b\""},
        {{soASCIIRFields}, "2 Total Sum", "Orders.Freight as TotalSum"},
        {{soASCIIRFields}, "Sum 2", "Orders.Freight as Sum2"},
        {{soASCIIRFields}, "%%", "Orders.Freight as C1"},
        {{}, "x) from y; --", "Orders.Freight as x_from_y_"},
        {{soASCIIRFields}, "Order", "Orders.Freight as \"Order\""},
        {{}, "group", "Orders.Freight as \"group\""},
        {{soASCIIRFields}, "Select!", "Orders.Freight as \"Select\""},
        {{}, "Values", "Orders.Freight as \"Values\""},
        {{soASCIIRFields}, "Orders", "Orders.Freight as Orders"},
    };
    for (const auto& c : cases) {
        Fields.Clear();
        Panel.Apply(c.Options, ssSQL2);
        Fields.AddField("@1", {Freight}, c.Caption);
        EXPECT_EQ(Fields[0]->GetSQLText(), c.SQL) << c.Caption.toStdString();
    }
}

// Repeated aliases make the statement ambiguous; an alias set by hand is quoted when it is no
// identifier.
TEST_F(ResultFieldsTest, AliasesStayUniqueAndSafe)
{
    Fields.AddField("@1", {Freight}, "Total Amount");
    TResultField* second = Fields.AddField("SUM(@1)", {Freight}, "Total Amount");
    EXPECT_EQ(second->Alias(), "TotalAmount1");
    second->SetAlias("NAME");
    second->SetAlias("Name");
    EXPECT_EQ(second->Alias(), "Name1");
    second->SetAlias("a b");
    EXPECT_EQ(second->GetSQLText(), "SUM(Orders.Freight) as \"a b\"");
}

// A LIST column counted as plain would land in GROUP BY.
// The field text alone (the panel's RFields property) is read by its count too: read up to a wrong
// count, it quietly gave the query other columns.
TEST_F(ResultFieldsTest, TheFieldTextHoldsTheSectionsItsCountPromises)
{
    const QString id = "Fields=" + QString::number(Freight->ID());
    const struct {
        const char* Count;
        int Sections;
        QString Message;
    } cases[] = {
        {"Count=2", 2, ""},
        {"Count=0", 0, ""},
        {"Count=1", 2, "Error in section RField2: Section [RField2] lies beyond Count=1 of [RFields]"},
        {"Count=3", 2, "Error in section RField3: Section [RField3] is missing"},
        {"Version=3.5", 1,
            "Error in section RField1: Section [RField1] lies beyond Count of [RFields], which is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Count);
        QStringList text {"[RFields]", c.Count, "JustSorting=0"};
        for (int n = 1; n <= c.Sections; ++n)
            text << "[RField" + QString::number(n) + "]"
                 << "Formula=@1" << id;
        QString message;
        try {
            Fields.LoadFromStrings(text);
        } catch (const EZQueryPanelError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message.toStdString(), c.Message.toStdString());
        EXPECT_EQ(Fields.Count(), c.Message.isEmpty() ? c.Sections : 0);
    }
}

TEST_F(ResultFieldsTest, AggregatesFollowTheModelRule)
{
    for (auto [formula, aggregate] : {std::pair {"list(@1)", true}, {"SUM(@1)", true}, {"checksum(@1)", true},
             {"sum (@1)", false}, {"summary(@1)", false}}) {
        std::unique_ptr<TResultField> field(Fields.CreateField(formula, {Country}, "x"));
        EXPECT_EQ(field->IsAggregate(), aggregate) << formula;
    }
}

// Slot numbers must survive dropping a field: a wrong renumbering binds the wrong column.
TEST_F(ResultFieldsTest, FormulaSlotsFollowTheirFields)
{
    TResultField* field = Fields.AddField("@1 + @2", {Freight, Country}, "x");
    field->SetFormula("@2 * 3");
    EXPECT_EQ(field->Formula(), "@1 * 3");
    ASSERT_EQ(field->Fields().Count(), 1);
    EXPECT_EQ(field->Fields()[0], Country);

    QList<TDSField*> eleven;
    QString formula;
    for (int i = 1; i <= 11; ++i) {
        eleven << (i == 11 ? Country : Freight);
        formula += (i > 1 ? "+@" : "@") + QString::number(i);
    }
    TResultField* wide = Fields.AddField(formula, eleven, "wide");
    EXPECT_TRUE(wide->GetExpression().endsWith("+Orders.Freight+Orders.ShipCountry"));
    wide->DeleteFieldSlot(0);
    EXPECT_EQ(wide->Fields().Count(), 10);
    EXPECT_TRUE(wide->Formula().endsWith("+@9+@10"));
}

TEST_F(ResultFieldsTest, SortOrderContinuesAfterTheLargest)
{
    TResultField* a = Fields.AddField("@1", {Freight}, "a");
    TResultField* b = Fields.AddField("@1", {Country}, "b");
    TResultField* c = Fields.AddField("@1", {Freight}, "c");
    a->SetSorting(1);
    b->SetSortOrder(4);
    b->SetSorting(1);
    c->SetSorting(2);
    EXPECT_EQ(c->SortOrder(), 5);
    c->SetSorting(0);
    EXPECT_EQ(c->SortOrder(), 5);
    EXPECT_EQ(Fields.GetSortedCount(), 2);
}

// Copying into a panel's list must tell the panel once, not once per field.
TEST_F(ResultFieldsTest, AssignCopiesFieldsAndNotifiesOnce)
{
    TRFieldList source(&S.Model);
    source.AddField("@1", {Freight}, "Freight");
    source.AddField("SUM(@1)", {Freight}, "Total");
    source[1]->SetSorting(2);
    Panel.ChangedCount = 0;
    Fields.Assign(source);
    EXPECT_EQ(Panel.ChangedCount, 1);
    ASSERT_EQ(Fields.Count(), 2);
    EXPECT_EQ(Fields[1]->GetSQLText(), "SUM(Orders.Freight) as Total");
    EXPECT_EQ(Fields[1]->SortOrder(), 1);
    EXPECT_EQ(Fields.GetCaptionsText(), "Freight, Total");
    Fields.Clear();
    EXPECT_EQ(Fields.GetCaptionsText(), "*");
}

TEST_F(ResultFieldsTest, ExpressionsReadFromSQLBindModelFields)
{
    TResultField* whole = Fields.AddFieldFromSQL("", "ORDERS.FREIGHT", 0, 0);
    EXPECT_EQ(whole->Formula(), "@1");
    EXPECT_EQ(whole->Caption(), "Freight");
    TResultField* part = Fields.AddFieldFromSQL("Sum", "sum(Orders.Freight)", 0, 0);
    EXPECT_EQ(part->Formula(), "sum(@1)");
    TResultField* unknown = Fields.AddFieldFromSQL("X", "Other.Column", 0, 0);
    EXPECT_EQ(unknown->Fields()[0], S.Model.PlaceholderField());
}

// Parameter names that repeat bind two values to one name.
TEST_F(ResultFieldsTest, ParameterNamesNeverRepeat)
{
    FakeNode* first = Panel.Root.Cond(Country, S.Op("Between"));
    FakeNode* second = Panel.Root.Cond(Freight, S.Op("Equal"));
    TSQLParam* p1 = Panel.Result.AddParam(first, 1);
    TSQLParam* p2 = Panel.Result.AddParam(first, 2);
    EXPECT_EQ(p1->Caption(), "Parameter ShipCountry 1");
    EXPECT_EQ(p2->Caption(), "Parameter ShipCountry 2");
    EXPECT_EQ(first->Caption(2), "Parameter ShipCountry 2");
    EXPECT_EQ(Panel.Result.AddParam(second, 1)->Name(), "Param3");
    Panel.Result.RemoveParam(p1);
    delete p1;
    EXPECT_EQ(Panel.Result.AddParam(second, 2)->Name(), "Param1");
    EXPECT_EQ(Panel.Result.AddParam(second, 2)->Name(), "Param4");
    Panel.Result.DeleteCondParams(second);
    EXPECT_EQ(Panel.Result.GetParamCount(), 1);
    Panel.Result.SetParamNumberBase(7);
    EXPECT_EQ(Panel.Result.AddParam(second, 1)->Name(), "Param8");
}

// Rows find their parameters through an index of the list, which taking a parameter out (no event)
// must not leave pointing at the wrong entry or at a freed one.
TEST_F(ResultFieldsTest, ARowFindsItsParameterAfterEveryChangeOfTheList)
{
    FakeNode* first = Panel.Root.Cond(Country, S.Op("Between"));
    FakeNode* second = Panel.Root.Cond(Freight, S.Op("Equal"));
    const TSQLParamList& params = Panel.Result.Params();
    TSQLParam* p1 = Panel.Result.AddParam(first, 1);
    TSQLParam* p2 = Panel.Result.AddParam(first, 2);
    TSQLParam* p3 = Panel.Result.AddParam(second, 1);
    EXPECT_EQ(params.FindParam(first, 2), p2);
    EXPECT_EQ(params.FindParam(second, 2), nullptr);
    Panel.Result.RemoveParam(p1);
    delete p1;
    EXPECT_EQ(params.FindParam(first, 1), nullptr);
    EXPECT_EQ(params.FindParam(first, 2), p2);
    EXPECT_EQ(params.FindParam(second, 1), p3);
    Panel.Result.DeleteCondParams(first);
    EXPECT_EQ(params.FindParam(first, 2), nullptr);
    EXPECT_EQ(params.FindParam(second, 1), p3);
    TSQLParam* p4 = Panel.Result.AddParam(first, 1);
    EXPECT_EQ(params.FindParam(first, 1), p4);
    Panel.Result.ClearParams();
    EXPECT_EQ(params.FindParam(first, 1), nullptr);
    EXPECT_EQ(params.FindParam(second, 1), nullptr);
}

TEST_F(ResultFieldsTest, ATableJoinsBehindTheTableItsLinkReaches)
{
    TRTableList tables;
    EXPECT_THROW(tables.AddTable(S.Customers, S.CustomersLink), EZQueryPanelError);
    EXPECT_EQ(tables.Count(), 0);
    tables.AddTable(S.Orders, nullptr);
    tables.AddTable(S.Employees, S.EmployeesLink);
    EXPECT_EQ(tables.AddTable(S.Customers, S.CustomersLink), 1);
    EXPECT_EQ(tables.FindByAlias("EMPLOYEES")->Table, S.Employees);
    EXPECT_EQ(tables.IndexOfTable(S.Employees), 2);
}

}  // namespace
