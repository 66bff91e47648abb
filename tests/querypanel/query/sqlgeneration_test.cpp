#include "querypanel/query/queryerrors.h"
#include "rtl/formatsettings.h"
#include "tests/querypanel/query/querytesting.h"

#include <gtest/gtest.h>

using namespace querytesting;

namespace {

class SQLGenerationTest : public ::testing::Test {
public:
    SampleModel S;
    FakePanel Panel {&S.Model};
    TDSField* CompanyName = S.Field(S.Customers, "CompanyName", ftString, "Company Name");
    TDSField* Freight = S.Field(S.Orders, "Freight", ftFloat);
    TDSField* ShipCountry = S.Field(S.Orders, "ShipCountry", ftString);
    TDSField* OrderID = S.Field(S.Orders, "OrderID", ftInteger);
    TDSField* LastName = S.Field(S.Employees, "LastName", ftString);
    TDSField* FreightSum = S.Virtual("sum(Orders.Freight)", ftFloat, "Freight total");

    int ErrorCode(const std::function<void()>& Run)
    {
        try {
            Run();
        } catch (const EZQueryPanelError& e) {
            return e.ErrorCode();
        }
        return 0;
    }
    // A sorting-only field, as the result fields editor adds it under SELECT *.
    void SortOnly(TDSField* Field, uint8_t Sorting)
    {
        TRFieldList& fields = Panel.Result.ResultFields();
        fields.Add(fields.CreateField("@1", {Field}, Field->DisplayName()));
        fields[fields.Count() - 1]->SetSorting(Sorting);
    }
    // The WHERE text of one condition.
    QString ConditionText(TDSField* Field, const QString& Operator, const QString& V1, const QString& V2 = {})
    {
        Panel.Root.Cond(Field, S.Op(Operator), V1, V2);
        Panel.Build();
        return Panel.Result.WhereLines().value(1);
    }
};

// The documented example, line for line, in every dialect.
TEST_F(SQLGenerationTest, OrdersAndCustomersInThreeDialects)
{
    const QStringList head {"SELECT DISTINCT Customers.CompanyName, SUM(Orders.Freight) as FreightSum"};
    const QStringList tail {"(", "Orders.ShipCountry = 'Germany'", ")", "GROUP BY Customers.CompanyName"};
    const QStringList sql2 = head
        + QStringList {"FROM Orders", "     INNER JOIN Customers ON (Orders.CustomerID=Customers.CustomerID)",
            "WHERE"}
        + tail;
    const QStringList sql1 = head
        + QStringList {"FROM Orders, ", "     Customers", "WHERE",
            "   (Orders.CustomerID=Customers.CustomerID) AND"}
        + tail;
    TRFieldList& fields = Panel.Result.ResultFields();
    fields.AddField("@1", {CompanyName}, "Company Name");
    fields.AddField("SUM(@1)", {Freight}, "Freight Sum");
    Panel.Root.Cond(ShipCountry, S.Op("Equal"), "Germany");
    for (auto [syntax, expected] : {std::pair {ssSQL2, sql2}, {ssSQL1, sql1}, {ssOracle, sql1}}) {
        Panel.Apply(DefaultSQLOptions, syntax);
        EXPECT_EQ(Panel.Build(), expected) << int(syntax);
    }
}

TEST_F(SQLGenerationTest, SelectListAndJoins)
{
    EXPECT_EQ(Panel.Build(), QStringList({"SELECT DISTINCT *", "FROM Orders"}));

    Panel.Apply(DefaultSQLOptions + TSQLOptions {soBracketJoins}, ssSQL2);
    Panel.Root.Cond(CompanyName, S.Op("IsNull"));
    Panel.Root.Cond(LastName, S.Op("IsNull"));
    const QStringList sql = Panel.Build();
    EXPECT_EQ(sql.mid(1, 3).join("|"),
        "FROM (Orders|"
        "     RIGHT OUTER JOIN Employees ON (Employees.EmployeeID=Orders.EmployeeID))|"
        "     INNER JOIN Customers ON (Orders.CustomerID=Customers.CustomerID)");
}

// Rows that are disabled, or brackets that end up empty, must leave no stray link word or "(".
TEST_F(SQLGenerationTest, BracketsWriteOnlyWhatTheyHold)
{
    Panel.Root.Cond(OrderID, S.Op("Equal"), "1")->Disabled();
    EXPECT_EQ(Panel.Build(), QStringList({"SELECT DISTINCT *", "FROM Orders"}));

    Panel.Root.Cond(OrderID, S.Op("Equal"), "1");
    Panel.Root.Bracket(fltAny)->Cond(OrderID, S.Op("Equal"), "2")->Disabled();
    FakeNode* none = Panel.Root.Bracket(fltNone);
    none->Cond(OrderID, S.Op("Equal"), "3");
    none->Cond(OrderID, S.Op("Equal"), "4");
    Panel.Build();
    EXPECT_EQ(Panel.Result.WhereLines(),
        QStringList({"(", "Orders.OrderID = 1 AND", "NOT (", "Orders.OrderID = 3 OR", "Orders.OrderID = 4",
            ")", ")"}));
}

// HAVING needs GROUP BY, also when no result field is a total.
TEST_F(SQLGenerationTest, AggregateConditionsGoToHaving)
{
    Panel.Result.ResultFields().AddField("@1", {ShipCountry}, "Ship Country");
    Panel.Root.Cond(FreightSum, S.Op("Equal"), "5");
    Panel.Build();
    EXPECT_EQ(Panel.Result.HavingText(), "( sum(Orders.Freight) = 5 )");
    EXPECT_EQ(Panel.Result.GroupByText(), "Orders.ShipCountry");
    EXPECT_TRUE(Panel.Result.WhereLines().isEmpty());

    FakeNode* nested = Panel.Root.Bracket(fltAny);
    nested->Cond(FreightSum, S.Op("Equal"), "6");
    nested->Cond(FreightSum, S.Op("Equal"), "7");
    Panel.Build();
    EXPECT_EQ(Panel.Result.HavingText(),
        "( sum(Orders.Freight) = 5 AND ( sum(Orders.Freight) = 6 OR sum(Orders.Freight) = 7 ) )");
}

// Conditions that SQL cannot express as the panel reads them must fail, not change meaning.
TEST_F(SQLGenerationTest, UnwritableQueriesRaiseErrors)
{
    const struct {
        const char* Name;
        std::function<void(SQLGenerationTest&)> Setup;
        int Code;
    } cases[] = {
        {"total or plain under any",
            [](SQLGenerationTest& t) {
                t.Panel.Root = FakeNode(fltAny);
                t.Panel.Root.Cond(t.FreightSum, t.S.Op("Equal"), "5");
                t.Panel.Root.Cond(t.OrderID, t.S.Op("Equal"), "1");
            },
            qpeMixedAggregates},
        {"total inside a plain group",
            [](SQLGenerationTest& t) {
                FakeNode* b = t.Panel.Root.Bracket(fltAll);
                b->Cond(t.OrderID, t.S.Op("Equal"), "1");
                b->Cond(t.FreightSum, t.S.Op("Equal"), "5");
            },
            qpeNestedAggregate},
        {"total under select *",
            [](SQLGenerationTest& t) { t.Panel.Root.Cond(t.FreightSum, t.S.Op("Equal"), "5"); },
            qpeTotalsNeedResultFields},
        {"sorting by a total under select *", [](SQLGenerationTest& t) { t.SortOnly(t.FreightSum, 1); },
            qpeSortingByTotalsNeedsResultFields},
        {"sorting by a plain field, then by a total, under select *",
            [](SQLGenerationTest& t) {
                t.SortOnly(t.ShipCountry, 1);
                t.SortOnly(t.FreightSum, 2);
            },
            qpeSortingByTotalsNeedsResultFields},
        {"a NUL in a sub-query",
            [](SQLGenerationTest& t) {
                t.Panel.Root.Cond(t.Freight, t.S.Op("InSub"), QString::fromUtf8("select 1\0", 9));
            },
            qpeBadValue},
        {"no operator", [](SQLGenerationTest& t) { t.Panel.Root.Cond(t.OrderID, nullptr); },
            qpeIncompleteCondition},
        {"unrecognized field",
            [](SQLGenerationTest& t) {
                t.Panel.Root.Cond(t.S.Model.PlaceholderField(), t.S.Op("Equal"), "1");
            },
            qpeIncompleteCondition},
        // A result field over a field the model no longer has wrote "Unrecognized field as Freight".
        {"result field over an unrecognized field",
            [](SQLGenerationTest& t) {
                t.Panel.Result.ResultFields().AddField("@1", {t.S.Model.PlaceholderField()}, "Freight");
            },
            qpeResultFieldNotInModel},
        {"total over an unrecognized field",
            [](SQLGenerationTest& t) {
                t.Panel.Result.ResultFields().AddField("@1", {t.ShipCountry}, "Ship Country");
                t.Panel.Result.ResultFields().AddField("SUM(@1)", {t.S.Model.PlaceholderField()}, "Freight");
            },
            qpeResultFieldNotInModel},
        {"sorting by an unrecognized field under select *",
            [](SQLGenerationTest& t) { t.SortOnly(t.S.Model.PlaceholderField(), 1); },
            qpeResultFieldNotInModel},
        {"left join in SQL1",
            [](SQLGenerationTest& t) {
                t.Panel.Apply(DefaultSQLOptions, ssSQL1);
                t.Panel.Root.Cond(t.LastName, t.S.Op("IsNull"));
            },
            qpeJoinNotWritable},
        {"full join in Oracle",
            [](SQLGenerationTest& t) {
                t.S.EmployeesLink->SetLinkType(ltFull);
                t.Panel.Apply(DefaultSQLOptions, ssOracle);
                t.Panel.Root.Cond(t.LastName, t.S.Op("IsNull"));
            },
            qpeJoinNotWritable},
    };
    for (const auto& c : cases) {
        Panel.Root = FakeNode(fltAll);
        Panel.Result.ResultFields().Clear();
        Panel.Apply(DefaultSQLOptions, ssSQL2);
        S.EmployeesLink->SetLinkType(ltLeft);
        c.Setup(*this);
        EXPECT_EQ(ErrorCode([&] { Panel.Build(); }), c.Code) << c.Name;
        EXPECT_EQ(Panel.ProcessState(), qpIdle) << c.Name;
    }
    Panel.Root = FakeNode(fltAll);
    Panel.Root.Bracket(fltAll)->Cond(OrderID, nullptr);
    try {
        Panel.Build();
        FAIL();
    } catch (const EZQueryPanelError& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("Condition 1.1 ")) << e.what();
    }
    Panel.Root = FakeNode(fltAll);
    Panel.Result.ResultFields().AddField("@1", {S.Model.PlaceholderField()}, "Freight");
    try {
        Panel.Build();
        FAIL();
    } catch (const EZQueryPanelError& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("Result field Freight ")) << e.what();
    }
}

TEST_F(SQLGenerationTest, InactivePanelBuildsOnlyFromResultFields)
{
    Panel.IsActive = false;
    S.Model.SetDefaultMainTable(nullptr);
    Panel.Root.Cond(OrderID, S.Op("Equal"), "1");
    Panel.Result.BuildQuery();
    EXPECT_EQ(ErrorCode([&] { Panel.Result.GetSQL(); }), qpeNotBuilt);
    Panel.IsActive = true;
    S.Model.SetDefaultMainTable(nullptr);
    Panel.Root = FakeNode(fltAll);
    EXPECT_EQ(ErrorCode([&] { Panel.Build(); }), qpeNotEnoughInfo);
}

// soFilter drops the alias only when the whole query uses one table, whatever row comes first.
TEST_F(SQLGenerationTest, FilterNamesFollowAllTables)
{
    Panel.Apply(DefaultSQLOptions + TSQLOptions {soFilter}, ssSQL2);
    Panel.Root.Cond(OrderID, S.Op("Equal"), "1");
    Panel.Build();
    EXPECT_EQ(Panel.Result.WhereLines()[1], "OrderID = 1");
    Panel.Root.Cond(CompanyName, S.Op("IsNull"));
    Panel.Build();
    EXPECT_EQ(Panel.Result.WhereLines()[1], "Orders.OrderID = 1 AND");
}

// ORDER BY must name what SELECT defines: a column written without its alias (the alias being its
// column's name in other letters) is sorted by its expression, as the bare name may be another
// table's column too; an alias that is a keyword is quoted as SELECT quotes it, and one that is not
// ASCII is named as SELECT renames it.
TEST_F(SQLGenerationTest, OrderByNamesWhatSelectDefines)
{
    TRFieldList& fields = Panel.Result.ResultFields();
    TResultField* total = fields.AddField("SUM(@1)", {Freight}, "Freight Total");
    total->SetSorting(2);
    TResultField* id = fields.AddField("@1", {OrderID}, "orderid");
    id->SetSorting(1);
    TResultField* country = fields.AddField("@1", {ShipCountry}, "Order");
    country->SetSorting(1);
    const struct {
        TSQLOptions Options;
        bool JustSorting;
        QString Select;
        QString OrderBy;
        QString CountryCaption = "Order";
    } cases[] = {
        {DefaultSQLOptions, false,
            "SELECT DISTINCT SUM(Orders.Freight) as FreightTotal, Orders.OrderID, Orders.ShipCountry as "
            "\"Order\"",
            "1 DESC, 2 ASC, 3 ASC"},
        {{soSortByNames}, false,
            "SELECT SUM(Orders.Freight) as Freight_Total, Orders.OrderID, Orders.ShipCountry as \"Order\"",
            "Freight_Total DESC, Orders.OrderID ASC, \"Order\" ASC"},
        {{soSortByNames, soQuoteAliases}, false,
            "SELECT SUM(Orders.Freight) as \"Freight Total\", Orders.OrderID, Orders.ShipCountry as "
            "\"Order\"",
            "\"Freight Total\" DESC, Orders.OrderID ASC, \"Order\" ASC"},
        {{soSortByNames}, true, "SELECT *", "Orders.OrderID ASC, Orders.ShipCountry ASC"},
        {{soSortByNames, soQuoteAliases, soASCIIRFields}, false,
            "SELECT SUM(Orders.Freight) as \"Freight Total\", Orders.OrderID, Orders.ShipCountry as \"C3\"",
            "\"Freight Total\" DESC, Orders.OrderID ASC, \"C3\" ASC", "Größe"},
    };
    for (const auto& c : cases) {
        for (TSQLSyntax syntax : {ssSQL2, ssSQL1, ssOracle}) {
            // Under "*" a total cannot sort.
            total->SetSorting(c.JustSorting ? 0 : 2);
            country->SetCaption(c.CountryCaption);
            Panel.Apply(c.Options, syntax);
            fields.UpdateAliases();
            fields.SetJustSorting(c.JustSorting);
            const QStringList sql = Panel.Build();
            EXPECT_EQ(sql.first(), c.Select) << int(syntax);
            EXPECT_EQ(sql.last(), "ORDER BY " + c.OrderBy) << int(syntax);
        }
    }
}

// Every value is written by its type: text that does not fit raises the typed error instead.
TEST_F(SQLGenerationTest, ValuesAreWrittenByTheirType)
{
    TDSField* shipped = S.Field(S.Orders, "Shipped", ftBoolean);
    TDSField* orderDate = S.Field(S.Orders, "OrderDate", ftDate);
    TDSField* stamp = S.Field(S.Orders, "Stamp", ftDateTime);
    S.Operator("StartsWith", "@f like '@1%'");
    S.Operator("NotLike", "not(@F NOT LIKE '@1%')");
    const struct {
        TDSField* Field;
        const char* Operator;
        QString Value;
        TSQLSyntax Syntax;
        QString Text;
    } cases[] = {
        {ShipCountry, "Equal", "O'Hara", ssSQL2, "Orders.ShipCountry = 'O''Hara'"},
        {ShipCountry, "InList", "a,b", ssSQL2, "Orders.ShipCountry in ('a','b')"},
        {ShipCountry, "InList", "New York, \"x,y\" ,O'K", ssSQL2,
            "Orders.ShipCountry in ('New York','x,y','O''K')"},
        {OrderID, "InList", "1, 2", ssSQL2, "Orders.OrderID in (1,2)"},
        {OrderID, "Equal", "$1F", ssSQL2, "Orders.OrderID = 31"},
        {ShipCountry, "Like", "@2 @f :Param1", ssSQL2, "Orders.ShipCountry like '%@2 @f :Param1%'"},
        {ShipCountry, "Bare", "x' OR 1=1", ssSQL2, "Orders.ShipCountry = 'x'' OR 1=1'"},
        {shipped, "Equal", "", ssSQL2, "Orders.Shipped = 'false'"},
        {shipped, "Equal", "TRUE", ssSQL2, "Orders.Shipped = 'true'"},
        {orderDate, "Equal", "1/31/2004", ssSQL2, "Orders.OrderDate = '01/31/2004'"},
        {orderDate, "Equal", "1/31/2004", ssOracle, "Orders.OrderDate = TO_DATE('31-01-2004', 'dd-mm-yyyy')"},
        {stamp, "Equal", "1/31/2004 13:45", ssOracle,
            "Orders.Stamp = TO_DATE('31-01-2004 13:45:00', 'dd-mm-yyyy hh24:mi:ss')"},
        {Freight, "InSub", "select 1", ssSQL2, "Orders.Freight in (select 1)"},
        // A number in a pattern kept the template's apostrophes and dropped its "%": like 50.
        {Freight, "Like", "50", ssSQL2, "CAST(Orders.Freight AS VARCHAR(64)) like '%50%'"},
        {OrderID, "Like", "$1F", ssOracle, "CAST(Orders.OrderID AS VARCHAR(64)) like '%31%'"},
        {Freight, "StartsWith", "3.50", ssSQL1, "CAST(Orders.Freight AS VARCHAR(64)) like '3.5%'"},
        {OrderID, "NotLike", "7", ssSQL2, "not(CAST(Orders.OrderID AS VARCHAR(64)) NOT LIKE '7%')"},
    };
    for (const auto& c : cases) {
        Panel.Root = FakeNode(fltAll);
        Panel.Apply(DefaultSQLOptions, c.Syntax);
        EXPECT_EQ(ConditionText(c.Field, c.Operator, c.Value), c.Text) << c.Value.toStdString();
    }

    const struct {
        TDSField* Field;
        const char* Operator;
        QString Value;
        int Code;
    } bad[] = {
        {OrderID, "Equal", "1 OR 1=1", qpeBadValue},
        {OrderID, "InList", "1, 2); DROP TABLE x; --", qpeBadValue},
        {Freight, "Equal", "1e999", qpeBadValue},
        {shipped, "Equal", "1' OR '1'='1", qpeBadValue},
        {orderDate, "Equal", "", qpeValueRequired},
        {OrderID, "Equal", "", qpeValueRequired},
        {Freight, "Equal", " ", qpeValueRequired},
        {OrderID, "InList", "1,,2", qpeValueRequired},
        {orderDate, "Equal", "yesterday", qpeBadValue},
        {ShipCountry, "InList", "", qpeValueRequired},
        {Freight, "InSub", "", qpeValueRequired},
    };
    for (const auto& c : bad) {
        Panel.Root = FakeNode(fltAll);
        Panel.Apply(DefaultSQLOptions, ssSQL2);
        try {
            ConditionText(c.Field, c.Operator, c.Value);
            ADD_FAILURE() << c.Value.toStdString();
        } catch (const EZQueryPanelError& e) {
            EXPECT_EQ(e.ErrorCode(), c.Code) << c.Value.toStdString();
            EXPECT_TRUE(QString(e.what()).contains(c.Field->DisplayName())) << e.what();
        }
    }
}

// "@t" and "@m" name a table as FROM does, without hints: a template that gives the table an alias of
// its own gets the name alone, one that does not gets the table's alias too, so that "@f" in its
// sub-select names the sub-select's table; inside a literal they are the name, apostrophes doubled.
TEST_F(SQLGenerationTest, TemplatesNameTablesAsFromDoes)
{
    S.Orders->SetName("Open Order's");
    S.Orders->SetQuoted(true);
    S.Orders->SetHints("NOLOCK");
    const struct {
        const char* Template;
        QString Text;
    } cases[] = {
        {"@f in (select x.OrderID from @t x)",
            "Orders.OrderID in (select x.OrderID from \"Open Order's\" x)"},
        {"@f in (select o.OrderID from @t AS o)",
            "Orders.OrderID in (select o.OrderID from \"Open Order's\" AS o)"},
        {"@f = (select max(@f) from @t)",
            "Orders.OrderID = (select max(Orders.OrderID) from \"Open Order's\" Orders)"},
        {"@f in (select OrderID from @M where OrderID > 0)",
            "Orders.OrderID in (select OrderID from \"Open Order's\" Orders where OrderID > 0)"},
        {"'@t' <> '' and @f > 0", "'Open Order''s' <> '' and Orders.OrderID > 0"},
        {"@f > 0 and '@m' like '%'", "Orders.OrderID > 0 and 'Open Order''s' like '%'"},
    };
    for (const auto& c : cases) {
        Panel.Root = FakeNode(fltAll);
        S.Operator(c.Template, c.Template);
        EXPECT_EQ(ConditionText(OrderID, c.Template, {}), c.Text) << c.Template;
    }
}

TEST_F(SQLGenerationTest, DecimalsUseAPointWhateverTheLocale)
{
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().DecimalSeparator = u',';
    EXPECT_EQ(ConditionText(Freight, "Equal", "3,5"), "Orders.Freight = 3.5");
    EXPECT_EQ(rtl::formatSettings().DecimalSeparator, u',');
    EXPECT_EQ(TQueryResult::FormatSQLNumber(ftCurrency, "1234,5"), "1234.5");
}

TEST_F(SQLGenerationTest, ParametersLeaveTheirNameAndFormat)
{
    FakeNode* row = Panel.Root.Cond(ShipCountry, S.Op("Like"), "ignored");
    TSQLParam* param = Panel.Result.AddParam(row, 1);
    row->SetParam(1, param);
    Panel.Build();
    EXPECT_EQ(Panel.Result.WhereLines()[1], "Orders.ShipCountry like :Param1");
    EXPECT_EQ(param->VFormat(), "%@v%");
}

TEST_F(SQLGenerationTest, TemplateSpansFollowTheTemplatesQuotes)
{
    EXPECT_EQ(FindQuotedSpan("@f = '@1'", "@1"), "'@1'");
    EXPECT_EQ(FindQuotedSpan("@f like '%@1%'", "@1"), "'%@1%'");
    EXPECT_EQ(FindQuotedSpan("@f in (@1)", "@1"), "@1");
    // The quotes of another literal must not be taken for the placeholder's.
    EXPECT_EQ(FindQuotedSpan("@f in (@1) and x = 'a'", "@1"), "@1");
    EXPECT_EQ(FindQuotedSpan("'it''s' = '@1 ok'", "@1"), "'@1 ok'");
    EXPECT_EQ(FindQuotedSpan("@f = 'it''s @1'", "@1"), "'it''s @1'");
    EXPECT_EQ(FindQuotedSpan("@f", "@1"), "");
}

// The handler sees each condition once, after its text is made, and its text is used.
TEST_F(SQLGenerationTest, BuildSQLHandlerMayRewriteConditions)
{
    int calls = 0;
    Panel.OnBuildSQL = [&](TConditionNode*, QString& Text) {
        ++calls;
        Text = "1 = 1";
    };
    Panel.Result.ResultFields().AddField("@1", {OrderID}, "Order");
    Panel.Root.Cond(OrderID, S.Op("Equal"), "5");
    Panel.Root.Cond(FreightSum, S.Op("Equal"), "5");
    Panel.Build();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Panel.Result.WhereLines()[1], "1 = 1");
    EXPECT_EQ(Panel.Result.HavingText(), "( 1 = 1 )");
}

}  // namespace
