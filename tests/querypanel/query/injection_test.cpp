#include "core/base/zstrings.h"
#include "querypanel/parser/sqlparser.h"
#include "querypanel/query/queryerrors.h"
#include "tests/querypanel/query/querytesting.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace querytesting;

namespace {

void CollectConditions(const TSQLConditionNode* Node, QList<const TSQLCondition*>& Conditions)
{
    if (auto* bracket = const_cast<TSQLConditionNode*>(Node)->AsBracket()) {
        for (const TSQLConditionNode* child : bracket->Nodes())
            CollectConditions(child, Conditions);
        return;
    }
    Conditions << static_cast<const TSQLCondition*>(Node);
}

// Hostile values in every dialect: each statement either raises the typed error or stays one
// statement with one condition whose value is the literal text, on the parser and on SQLite.
class InjectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "injection");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(
            q.exec("CREATE TABLE Orders (OrderID INTEGER, CustomerID TEXT, ShipCountry TEXT, Shipped TEXT)"));
        for (const QString& country : Hostile())
            ASSERT_TRUE(
                q.exec("INSERT INTO Orders VALUES (1, 'c', " + SQLStringLiteral(country) + ", 'true')"));
        ASSERT_TRUE(q.exec("INSERT INTO Orders VALUES (2, 'c', 'Germany', 'false')"));
    }
    static void TearDownTestSuite()
    {
        QSqlDatabase::database("injection").close();
        QSqlDatabase::removeDatabase("injection");
    }
    static QStringList Hostile()
    {
        // Control characters other than NUL are text a literal holds.
        return {"O'Hara", "'; DROP TABLE Orders; --", "@2", "@f", ":Param1", "a\r\nb", "say \"hi\"", "[x]",
            "1' OR '1'='1", "x`y", "''", "a\tb", "a\x01"};
    }
    static int Count(const QString& SQL, const QStringList& Bound = {})
    {
        QSqlQuery q(QSqlDatabase::database("injection"));
        EXPECT_TRUE(q.prepare(SQL)) << SQL.toStdString() << q.lastError().text().toStdString();
        for (const QString& value : Bound)
            q.addBindValue(value);
        EXPECT_TRUE(q.exec()) << SQL.toStdString() << q.lastError().text().toStdString();
        return q.next() ? q.value(0).toInt() : -1;
    }

    SampleModel S;
    TDSField* ShipCountry = S.Field(S.Orders, "ShipCountry", ftString);
    TDSField* OrderID = S.Field(S.Orders, "OrderID", ftInteger);
    TDSField* Shipped = S.Field(S.Orders, "Shipped", ftBoolean);
};

TEST_F(InjectionTest, NoValueLeavesItsLiteral)
{
    struct Case {
        QString Operator;
        QString Value;
        QString HandWhere;  // the same rows by bound values
        QStringList Bound;
    };
    QList<Case> cases;
    for (const QString& value : Hostile()) {
        cases.append({"Equal", value, "ShipCountry = ?", {value}});
        cases.append({"Bare", value, "ShipCountry = ?", {value}});
        cases.append({"Like", value, "instr(ShipCountry, ?) > 0", {value}});
    }
    cases.append({"InList", "\"O'Hara\",\"x,y\" , say \"hi\"", "ShipCountry IN (?, ?, ?)",
        {"O'Hara", "x,y", "say \"hi\""}});
    cases.append({"InList", "'; DROP TABLE Orders; --,[x]", "ShipCountry IN (?, ?)",
        {"'; DROP TABLE Orders; --", "[x]"}});

    for (TSQLSyntax syntax : {ssSQL2, ssSQL1, ssOracle}) {
        for (const Case& c : cases) {
            FakePanel panel(&S.Model);
            panel.Apply(TSQLOptions {}, syntax);
            panel.Root.Cond(ShipCountry, S.Op(c.Operator), c.Value);
            const QStringList sql = panel.Build();
            const std::string label = (c.Operator + " " + c.Value).toStdString();

            TZSQLParser parser;
            parser.SetSQL(sql);
            ASSERT_NO_THROW(parser.Parse()) << label;
            QList<const TSQLCondition*> conditions;
            CollectConditions(parser.Result().Root(), conditions);
            ASSERT_EQ(conditions.size(), 1) << label;
            EXPECT_EQ(conditions[0]->LeftExpr(), "Orders.ShipCountry") << label;
            if (c.Operator == "Equal" || c.Operator == "Bare") {
                EXPECT_EQ(conditions[0]->RightExpr(), SQLStringLiteral(c.Value)) << label;
            }

            if (syntax != ssOracle) {
                EXPECT_EQ(Count("SELECT COUNT(*) FROM (" + sql.join("\r\n") + ")"),
                    Count("SELECT COUNT(*) FROM Orders WHERE " + c.HandWhere, c.Bound))
                    << label;
            }
        }
    }
}

// A NUL would end the statement where it stands, so no literal holds one.
TEST_F(InjectionTest, ValuesThatDoNotFitTheirTypeAreRefused)
{
    const QString nul = QString::fromUtf8("x\0' OR '1'='1", 14);
    const struct {
        TDSField* Field;
        const char* Operator;
        QString Value;
        bool Param = false;  // the value given for a parameter at Build
    } cases[] = {
        {OrderID, "Equal", "1 OR 1=1"},
        {OrderID, "Bare", "5; DROP TABLE x"},
        {OrderID, "InList", "1,2) OR (1=1"},
        {OrderID, "Like", "1%' OR '1'='1"},
        {Shipped, "Equal", "1' OR '1'='1"},
        {Shipped, "Bare", "true OR 1=1"},
        {ShipCountry, "Equal", nul},
        {ShipCountry, "Like", nul},
        {ShipCountry, "InList", "a," + nul},
        {ShipCountry, "Equal", nul, true},
    };
    for (TSQLSyntax syntax : {ssSQL2, ssSQL1, ssOracle}) {
        for (const auto& c : cases) {
            FakePanel panel(&S.Model);
            panel.Apply(DefaultSQLOptions, syntax);
            FakeNode* row = panel.Root.Cond(c.Field, S.Op(c.Operator), c.Param ? QString() : c.Value);
            const TParamValues values {{"param1", c.Value}};
            if (c.Param)
                row->SetParam(1, panel.Result.AddParam(row, 1));
            try {
                panel.Result.BuildQuery(c.Param ? &values : nullptr);
                ADD_FAILURE() << c.Value.toStdString();
            } catch (const EZQueryPanelError& e) {
                EXPECT_EQ(e.ErrorCode(), qpeBadValue) << c.Value.toStdString();
            }
        }
    }
}

}  // namespace
