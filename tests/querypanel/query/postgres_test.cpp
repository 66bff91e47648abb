#include "core/base/zstrings.h"
#include "tests/querypanel/query/psql.h"
#include "tests/querypanel/query/querytesting.h"

#include <gtest/gtest.h>

using namespace querytesting;

namespace {

// Runs the generated SQL2 statements on PostgreSQL, a strict engine, through psql in the throw-away
// cluster that pg_virtualenv starts around this program; without one the tests are skipped.
class PostgresTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!psql::HasCluster())
            return;
        QString script = "DROP TABLE IF EXISTS Orders, Customers, Employees;"
                         "CREATE TABLE Customers (CustomerID TEXT, CompanyName TEXT, Country TEXT);"
                         "CREATE TABLE Employees (EmployeeID INTEGER, LastName TEXT);"
                         "CREATE TABLE Orders (OrderID INTEGER, CustomerID TEXT, EmployeeID INTEGER,"
                         " ShipCountry TEXT, Freight FLOAT, OrderDate DATE);"
                         "INSERT INTO Customers VALUES ('A', 'Alfa', 'Germany'), ('B', 'O''Hara', 'UK'),"
                         " ('Z', 'Nobody', 'USA');"
                         "INSERT INTO Employees VALUES (1, 'Davolio'), (2, 'Fuller'), (9, 'Idle');";
        const char* countries[] = {"Germany", "UK", "O'Hara", "'; DROP TABLE Orders; --", "a\r\nb"};
        for (int i = 1; i <= 20; ++i)
            script += QString("INSERT INTO Orders VALUES (%1, '%2', %3, %4, %5, '1997-%6-15');")
                          .arg(i)
                          .arg(i % 4 == 0 ? "X"
                                  : i % 2 ? "A"
                                          : "B")
                          .arg(i % 3 + 1)
                          .arg(SQLStringLiteral(countries[i % 5]))
                          .arg(i * 1.5)
                          .arg(i % 12 + 1);
        bool ok = false;
        psql::Run(script, ok);
    }

    void SetUp() override
    {
        if (!psql::HasCluster())
            GTEST_SKIP() << "no PostgreSQL cluster (run under pg_virtualenv)";
    }

    SampleModel S;
    TDSField* CompanyName = S.Field(S.Customers, "CompanyName", ftString, "Company Name");
    TDSField* LastName = S.Field(S.Employees, "LastName", ftString, "Last Name");
    TDSField* ShipCountry = S.Field(S.Orders, "ShipCountry", ftString, "Ship Country");
    TDSField* Freight = S.Field(S.Orders, "Freight", ftFloat);
    TDSField* OrderID = S.Field(S.Orders, "OrderID", ftInteger);
    TDSField* OrderDate = S.Field(S.Orders, "OrderDate", ftDate, "Order Date");
};

TEST_F(PostgresTest, GeneratedStatementsRunWithTheExpectedRows)
{
    TSQLFormats formats = S.Model.SQLFormats();
    formats.SetDate("yyyy-mm-dd");
    S.Model.SetSQLFormats(formats);
    struct Case {
        const char* Name;
        std::function<void(FakePanel&)> Compose;
        QString Hand;
    };
    const Case cases[] = {
        {"equal with apostrophe", [&](FakePanel& p) { p.Root.Cond(ShipCountry, S.Op("Equal"), "O'Hara"); },
            "SELECT * FROM Orders WHERE ShipCountry = 'O''Hara'"},
        {"hostile value",
            [&](FakePanel& p) { p.Root.Cond(ShipCountry, S.Op("Bare"), "'; DROP TABLE Orders; --"); },
            "SELECT * FROM Orders WHERE ShipCountry = '''; DROP TABLE Orders; --'"},
        {"like", [&](FakePanel& p) { p.Root.Cond(ShipCountry, S.Op("Like"), "erm"); },
            "SELECT * FROM Orders WHERE ShipCountry LIKE '%erm%'"},
        // PostgreSQL has no LIKE on numbers, and a bare number dropped the pattern anyway.
        {"a number in a pattern", [&](FakePanel& p) { p.Root.Cond(Freight, S.Op("Like"), "5"); },
            "SELECT * FROM Orders WHERE CAST(Freight AS TEXT) LIKE '%5%'"},
        {"list and between",
            [&](FakePanel& p) {
                p.Root.Cond(OrderID, S.Op("InList"), "1, 2, 3, 4, 5, 6");
                p.Root.Cond(OrderDate, S.Op("Between"), "1/1/1997", "5/31/1997");
            },
            "SELECT * FROM Orders WHERE OrderID IN (1,2,3,4,5,6) AND OrderDate BETWEEN '1997-01-01' AND "
            "'1997-05-31'"},
        {"none of",
            [&](FakePanel& p) {
                p.Root = FakeNode(fltNone);
                p.Root.Cond(ShipCountry, S.Op("Equal"), "UK");
                p.Root.Cond(OrderID, S.Op("Equal"), "3");
            },
            "SELECT * FROM Orders WHERE NOT (ShipCountry = 'UK' OR OrderID = 3)"},
        {"inner join", [&](FakePanel& p) { p.Root.Cond(CompanyName, S.Op("IsNull")); },
            "SELECT Orders.*, Customers.* FROM Orders JOIN Customers USING (CustomerID) WHERE CompanyName IS "
            "NULL"},
        {"left join read from the other side", [&](FakePanel& p) { p.Root.Cond(LastName, S.Op("IsNull")); },
            "SELECT * FROM Orders RIGHT JOIN Employees USING (EmployeeID) WHERE LastName IS NULL"},
        {"full join",
            [&](FakePanel& p) {
                S.EmployeesLink->SetLinkType(ltFull);
                p.Root.Cond(LastName, S.Op("IsNull"));
            },
            "SELECT * FROM Orders FULL JOIN Employees USING (EmployeeID) WHERE LastName IS NULL"},
        {"totals with HAVING and sorting by names",
            [&](FakePanel& p) {
                p.Apply(DefaultSQLOptions + TSQLOptions {soSortByNames, soQuoteAliases}, ssSQL2);
                p.Result.ResultFields().AddField("@1", {CompanyName}, "Company Name")->SetSorting(1);
                p.Result.ResultFields().AddField("SUM(@1)", {Freight}, "Freight Sum")->SetSorting(2);
                p.Root.Cond(S.Virtual("sum(Orders.Freight)", ftFloat, "Total"), S.Op("Bare"), "75");
            },
            "SELECT CompanyName FROM Orders JOIN Customers USING (CustomerID) GROUP BY CompanyName"
            " HAVING SUM(Freight) = 75"},
        {"keyword aliases sorted by names",
            [&](FakePanel& p) {
                p.Apply(DefaultSQLOptions + TSQLOptions {soSortByNames}, ssSQL2);
                p.Result.ResultFields().AddField("@1", {ShipCountry}, "Order")->SetSorting(1);
                p.Result.ResultFields().AddField("@1", {CompanyName}, "Group")->SetSorting(2);
            },
            "SELECT DISTINCT ShipCountry, CompanyName FROM Orders JOIN Customers USING (CustomerID)"},
        {"a caption that is not ASCII sorted by names",
            [&](FakePanel& p) {
                p.Apply(DefaultSQLOptions + TSQLOptions {soSortByNames, soQuoteAliases}, ssSQL2);
                p.Result.ResultFields().AddField("@1", {ShipCountry}, "Größe")->SetSorting(1);
            },
            "SELECT DISTINCT ShipCountry FROM Orders"},
        {"a sorting-only field that does not sort",
            [&](FakePanel& p) {
                p.Result.ResultFields().AddField("@1", {CompanyName}, "Company Name");
                p.Result.ResultFields().AddField("@1", {OrderID}, "Order ID")->SetSorting(2);
                p.Result.ResultFields().SetJustSorting(true);
            },
            "SELECT * FROM Orders"},
        {"sorting by numbers",
            [&](FakePanel& p) {
                p.Result.ResultFields().AddField("@1", {ShipCountry}, "Ship Country")->SetSorting(2);
                p.Result.ResultFields().AddField("count(@1)", {OrderID}, "Orders")->SetSorting(1);
            },
            "SELECT ShipCountry FROM Orders GROUP BY ShipCountry"},
    };
    for (const Case& c : cases) {
        S.EmployeesLink->SetLinkType(ltLeft);
        FakePanel panel(&S.Model);
        c.Compose(panel);
        const QStringList sql = panel.Build();
        EXPECT_EQ(psql::Count(sql.join("\n")), psql::Count(c.Hand)) << c.Name << "\n"
                                                                    << sql.join("\n").toStdString();
    }
}

}  // namespace
