#include "querypanel/parser/sqlparser.h"

#include <gtest/gtest.h>

#include <QFile>

#include <ostream>

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// The WHERE tree as text: brackets as link[nodes], negated ones prefixed with "not ".
QString Tree(const TSQLConditionNode* node)
{
    if (auto* condition = dynamic_cast<const TSQLCondition*>(node))
        return condition->GetText() + (condition->HasSubQuery() ? " +sub" : "");
    auto* bracket = static_cast<const TSQLBracket*>(node);
    QStringList nodes;
    for (const TSQLConditionNode* child : bracket->Nodes()) {
        EXPECT_EQ(child->Parent(), bracket);
        nodes.append(Tree(child));
    }
    return (bracket->Not() ? "not " : "") + bracket->LinkType() + '[' + nodes.join(", ") + ']';
}

int CountConditions(const TSQLConditionNode* node)
{
    if (!dynamic_cast<const TSQLBracket*>(node))
        return 1;
    int count = 0;
    for (const TSQLConditionNode* child : static_cast<const TSQLBracket*>(node)->Nodes())
        count += CountConditions(child);
    return count;
}

struct Parsed {
    std::unique_ptr<TZSQLParser> Parser;
    const TZParserResult& Result() const { return Parser->Result(); }
};

Parsed Parse(const QString& sql)
{
    Parsed parsed {std::make_unique<TZSQLParser>()};
    parsed.Parser->SetSQL(sql.split('\n'));
    parsed.Parser->Parse();
    return parsed;
}

QString ParseError(const QString& sql)
{
    try {
        Parse(sql);
    } catch (const ESQLParserError& e) {
        return e.Message();
    }
    return "parsed";
}

TEST(SQLParser, SelectListFromJoinsAndOrderByNumber)
{
    const Parsed p = Parse("SELECT DISTINCT a.x AS X1, sum(b.y) FROM a INNER JOIN b ON a.id = b.id "
                           "WHERE a.x > 1 ORDER BY 2 DESC");
    const TZParserResult& r = p.Result();
    EXPECT_TRUE(r.Distinct());
    EXPECT_FALSE(r.SelectAll());
    ASSERT_EQ(r.ResultFields().Count(), 2);
    const TSQLResultField* first = r.ResultFields()[0];
    EXPECT_EQ(first->Expression(), "a.x");
    EXPECT_EQ(first->FieldName(), "x");
    EXPECT_EQ(first->Alias(), "X1");
    EXPECT_EQ(first->SortType(), 0);
    const TSQLResultField* second = r.ResultFields()[1];
    EXPECT_EQ(second->Expression(), "sum(b.y)");
    EXPECT_EQ(second->FieldName(), "sum(b.y)");
    EXPECT_EQ(second->SortType(), 2);
    EXPECT_EQ(second->SortOrder(), 1);
    ASSERT_EQ(r.Tables().Count(), 2);
    EXPECT_EQ(r.Tables()[0]->Alias(), "a");
    EXPECT_EQ(r.Tables()[1]->Name(), "b");
    EXPECT_EQ(Tree(r.Root()), "[a.x > 1]");
    EXPECT_EQ(r.Root()->Parent(), nullptr);
}

TEST(SQLParser, SelectListEntries)
{
    const Parsed p = Parse("select count(*) as n, a b, \"x y\" as \"Q\",\n  c.d.e , f(g,\nh) from t");
    const TSQLResultFieldList& fields = p.Result().ResultFields();
    ASSERT_EQ(fields.Count(), 5);
    const struct {
        QString Expression, FieldName, Alias;
    } expected[] = {{"count(*)", "count(*)", "n"}, {"a b", "a b", ""}, {"\"x y\"", "\"x y\"", "Q"},
        {"c.d.e", "d.e", ""}, {"f(g,\r\nh)", "f(g,\r\nh)", ""}};
    for (int i = 0; i < fields.Count(); ++i) {
        EXPECT_EQ(fields[i]->Expression(), expected[i].Expression);
        EXPECT_EQ(fields[i]->FieldName(), expected[i].FieldName);
        EXPECT_EQ(fields[i]->Alias(), expected[i].Alias);
    }
    EXPECT_EQ(fields.IndexOfAlias("q"), 2);
    EXPECT_EQ(fields.IndexOfExpression("A B"), 1);
}

TEST(SQLParser, FromTables)
{
    const struct {
        QString From;
        QStringList Tables;  // name:alias:join kind
    } rows[] = {
        {"from ((a inner join b on a.k = b.k) left outer join c on b.j = c.j)", {"a:a:0", "b:b:1", "c:c:2"}},
        {"from x, y z", {"x:x:0", "y:z:0"}},
        {"from db.dbo.t", {"db.dbo.t:db.dbo.t:0"}},
        {"from \"Order Details\" od right join p q on (od.id = q.id) full join r on r.a = q.a",
            {"Order Details:od:0", "p:q:3", "r:r:4"}},
        {"from t;", {"t:t:0"}},
        {"from (a, b c)", {"a:a:0", "b:c:0"}},
        {"from ((a join b on a.k = b.k)) where x = 1", {"a:a:0", "b:b:1"}},
        {"from a, b left join c on b.k = c.k", {"a:a:0", "b:b:0", "c:c:2"}},
        // Words of a quoted name in an ON condition used to end its operand: "Lost bracket".
        {"from \"Order Details\" inner join Orders on (\"Order Details\".OrderID = Orders.OrderID)",
            {"Order Details:Order Details:0", "Orders:Orders:1"}},
        {"from t having count(*) > 1", {"t:t:0"}},
    };
    for (const auto& row : rows) {
        const Parsed p = Parse("select * " + row.From);
        QStringList tables;
        for (const TSQLTable* table : p.Result().Tables())
            tables.append(table->Name() + ':' + table->Alias() + ':' + QString::number(table->JoinKind()));
        EXPECT_EQ(tables, row.Tables) << row.From.toStdString();
        EXPECT_TRUE(p.Result().SelectAll() && p.Result().ResultFields().AllFields());
    }
}

// Each join keeps its ON condition, as a tree and as written, and the words of the next join end the
// condition's last operand: "left outer join" after an ON without brackets used to be read into the
// operand, and the join after it as an inner one.
TEST(SQLParser, OnConditionsEndAtTheNextJoin)
{
    const struct {
        QString From;
        QStringList Joins;  // join kind:ON tree:ON text
    } rows[] = {
        {"from a join b on b.k = a.k left outer join c on c.k = a.k",
            {"1:[b.k = a.k]:b.k = a.k", "2:[c.k = a.k]:c.k = a.k"}},
        {"from a join b on (b.k = a.k) left outer join c on (c.k = a.k)",
            {"1:[b.k = a.k]:(b.k = a.k)", "2:[c.k = a.k]:(c.k = a.k)"}},
        {"from a inner join b on b.k = a.k right join c on c.k = a.k full outer join d on d.k = a.k inner "
         "join e on e.k = 'x'",
            {"1:[b.k = a.k]:b.k = a.k", "3:[c.k = a.k]:c.k = a.k", "4:[d.k = a.k]:d.k = a.k",
                "1:[e.k = 'x']:e.k = 'x'"}},
        {"from a join b on b.k = a.k and a.x = 1 left join c on c.k = a.k or 1 = 1",
            {"1:and[b.k = a.k, a.x = 1]:b.k = a.k and a.x = 1", "2:or[c.k = a.k, 1 = 1]:c.k = a.k or 1 = 1"}},
        // A function or a column named like a join word stays in the operand.
        {"from a join b on left(a.k, 2) = b.full right join c on c.left = b.k",
            {"1:[left(a.k, 2) = b.full]:left(a.k, 2) = b.full", "3:[c.left = b.k]:c.left = b.k"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.From.toStdString());
        const Parsed p = Parse("select * " + row.From + " where a.x = 2");
        QStringList joins;
        for (const TSQLTable* table : p.Result().Tables())
            if (table->On())
                joins.append(
                    QString::number(table->JoinKind()) + ':' + Tree(table->On()) + ':' + table->OnText());
        EXPECT_EQ(joins, row.Joins);
        EXPECT_EQ(Tree(p.Result().Root()), "[a.x = 2]");
    }
    // Joins the statement has no ON for are no joins it can read.
    for (const char* from :
        {"from a join b on a.k = b.k cross join c", "from a join b on a.k = b.k natural join c",
            "from a cross join b", "from a join b on a.k = b.k outer join c on c.k = a.k"}) {
        SCOPED_TRACE(from);
        EXPECT_TRUE(ParseError(QString("select * ") + from).startsWith("Wrong SQL statement"));
    }
}

TEST(SQLParser, WhereTrees)
{
    const struct {
        QString Where, Tree;
    } rows[] = {
        {"a = 1", "[a = 1]"},
        {"a = 1 and b = 2", "and[a = 1, b = 2]"},
        {"(a = 1 or b = 2) and c = 3", "and[or[a = 1, b = 2], c = 3]"},
        {"a = 1 AND (b = 2 OR c = 3)", "and[a = 1, or[b = 2, c = 3]]"},
        {"not (a = 1)", "[not(a = 1)]"},
        {"not a = 1", "[not(a = 1)]"},
        {"not not a = 1", "[a = 1]"},
        {"not (a != 1)", "[not(a != 1)]"},
        {"a between 1 and 5", "[a between 1 and 5]"},
        {"x = \"abc\" or y like 'a%'", "or[x = 'abc', y like 'a%']"},
        {"x in (select id from u where v = 1)", "[x in (select id from u where v = 1) +sub]"},
        {"not (a + b) = 3", "[not((a + b) = 3)]"},
        // The group under NOT keeps its negation; the query panel reads it as "none" or "not all".
        {"not (a = 1 or b = 2)", "not or[a = 1, b = 2]"},
        {"c = 3 and NOT (a = 1 and b = 2)", "and[c = 3, not and[a = 1, b = 2]]"},
        {"not (not (a = 1 or b = 2) and c = 3)", "not and[not or[a = 1, b = 2], c = 3]"},
        {"x not like 'a%' and y NOT IN (1, 2)", "and[not(x like 'a%'), not(y in (1, 2))]"},
        {"x not between 1 and 2", "[not(x between 1 and 2)]"},
        {"x is not null", "[x is not null]"},
        {"p = 'C:\\temp' -- a comment", "[p = 'C:\\temp']"},
        {"s = 'it''s'", "[s = 'it''s']"},
        // A literal reading like a delimiter or a link word used to end the operand.
        {"s = ';' and t in (';', 'or')", "and[s = ';', t in (';', 'or')]"},
        {"';' = s", "[';' = s]"},
    };
    for (const auto& row : rows) {
        const Parsed p = Parse("select * from t where " + row.Where);
        EXPECT_EQ(Tree(p.Result().Root()), row.Tree) << row.Where.toStdString();
    }
    EXPECT_EQ(Tree(Parse("select * from t").Result().Root()), "[]");
    EXPECT_EQ(Tree(Parse("select * from t").Result().Having()), "[]");
}

// HAVING is read like WHERE into a tree of its own; GROUP BY no longer swallows it, and its items
// are kept as written (they used to be dropped).
TEST(SQLParser, HavingTrees)
{
    const struct {
        QString Tail, Where, Having;
        QStringList GroupBy;
    } rows[] = {
        {"group by a having count(*) > 1", "[]", "[count(*) > 1]", {"a"}},
        {"where a = 1 group by a, b having ( SUM(t.x) > '1000' ) order by 1", "[a = 1]",
            "[SUM(t.x) > '1000']", {"a", "b"}},
        {"group by a having NOT ( sum(x) > 1 OR max(y) < 2 )", "[]", "not or[sum(x) > 1, max(y) < 2]", {"a"}},
        {"having sum(x) > 1 and (max(y) < 2 or min(z) = 3)", "[]",
            "and[sum(x) > 1, or[max(y) < 2, min(z) = 3]]", {}},
        {"where \"Order Details\".Quantity > 5 group by \"Order Details\".OrderID having sum(\"Order "
         "Details\".Quantity) > 9",
            "[\"Order Details\".Quantity > 5]", "[sum(\"Order Details\".Quantity) > 9]",
            {"\"Order Details\".OrderID"}},
        {"group by 2, upper(a, b), ( t.c ) order by 1", "[]", "[]", {"2", "upper(a, b)", "( t.c )"}},
        // A name in square brackets is one name, keywords and all.
        {"where [Order Details].Quantity > 5 group by [Order Details].OrderID",
            "[[Order Details].Quantity > 5]", "[]", {"[Order Details].OrderID"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Tail.toStdString());
        const Parsed p = Parse("select a, \"Order Details\".b from t " + row.Tail);
        EXPECT_EQ(p.Result().ResultFields()[1]->Expression(), "\"Order Details\".b");
        EXPECT_EQ(Tree(p.Result().Root()), row.Where);
        EXPECT_EQ(Tree(p.Result().Having()), row.Having);
        EXPECT_EQ(p.Result().Having()->Parent(), nullptr);
        EXPECT_EQ(p.Result().GroupBy(), row.GroupBy);
    }
}

TEST(SQLParser, OrderByNames)
{
    const Parsed all = Parse("select * from t where x in (1, 2) order by name, t.b desc");
    const TSQLResultFieldList& added = all.Result().ResultFields();
    ASSERT_EQ(added.Count(), 2);
    EXPECT_EQ(added[0]->Expression(), "name");
    EXPECT_EQ(added[0]->SortType(), 1);
    EXPECT_EQ(added[0]->SortOrder(), 1);
    EXPECT_EQ(added[1]->Expression(), "t.b");
    EXPECT_EQ(added[1]->SortType(), 2);
    EXPECT_EQ(added[1]->SortOrder(), 2);

    const Parsed named = Parse("select a.x as X1, \"b c\" from a group by a.x having count(*) > 1 "
                               "order by \"b c\" asc, x1");
    EXPECT_EQ(named.Result().ResultFields()[1]->SortOrder(), 1);
    EXPECT_EQ(named.Result().ResultFields()[0]->SortOrder(), 2);
    EXPECT_EQ(Tree(named.Result().Having()), "[count(*) > 1]");
    EXPECT_EQ(ParseError("select a as \"Q\" from t order by \"Q\""), "Wrong SQL statement\r\nLine:0");
}

TEST(SQLParser, Errors)
{
    const QString wrong = "Wrong SQL statement\r\nLine:";
    const QString lost = "Lost bracket\r\nLine:";
    const struct {
        QString Sql, Message;
    } rows[] = {
        {"", wrong + "0"},
        {"update t set a = 1", wrong + "0"},
        {"select a from t where (a = 1", lost + "0"},
        {"select a from t where (a + b) = 3", lost + "0"},
        {"select a from t where a between 1 or 5", wrong + "0"},
        {"select a from t order by 1, x", wrong + "0"},
        {"select a from t order by zz", wrong + "0"},
        {"select a\nfrom t\nwhere a =", wrong + "2"},
        {"select a from", wrong + "0"},
        {"select , a from t", wrong + "0"},
        {"select a from t where not", wrong + "0"},
        {"select a from t where = 1", wrong + "0"},
        {"select a from t where a = ;", wrong + "0"},
        {"select a from t order by", wrong + "0"},
        // Numbers naming no select-list entry used to fail with a list index error.
        {"select a from t order by 3", wrong + "0"},
        {"select * from t order by 1", wrong + "0"},
        // Text after the statement used to be ignored.
        {"select a from t; select b from u", wrong + "0"},
        {"select a from t union select b from u", wrong + "0"},
        {"select a from t where a = 1 order by a group by a", wrong + "0"},
        {"select a from t having count(*) > 1 group by a", wrong + "0"},
        {"select a from t group by a having", wrong + "0"},
        {"select a from t where \"b = 1", wrong + "0"},
        {"select a from t x y", wrong + "0"},
        // A link word used to end the condition silently.
        {"select a from t where a = 1 or", wrong + "0"},
        // The end of the text inside a bracket used to loop or go unnoticed.
        {"select count(x from t", lost + "0"},
        {"select a from t where x in (1, 2", lost + "0"},
        {"select a from t where not (a = 1 or b = 2", lost + "0"},
        // Brackets of the FROM clause used to be skipped without pairing.
        {"select a from (t", lost + "0"},
        {"select a from ((a inner join b on a.k = b.k)\nwhere a.x = 1", lost + "1"},
        {"select a from t)", lost + "0"},
        {"select a from (a inner join b on a.k = b.k)) where a.x = 1", lost + "0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseError(row.Sql), row.Message) << row.Sql.toStdString();
}

// Each nested group is a level of recursion: a deep enough text used to exhaust the stack. The
// deepest query's statement, its root's bracket and its condition's own brackets included, used to
// be refused as a wrong statement.
TEST(SQLParser, NestingIsLimited)
{
    const auto nested = [](int depth) {
        return "select * from t where " + QString(depth, '(') + "a = 1" + QString(depth, ')');
    };
    EXPECT_EQ(Tree(Parse(nested(MaxBracketDepth + 2)).Result().Root()), "[a = 1]");
    EXPECT_EQ(Tree(Parse(nested(TZSQLParser::MaxNesting)).Result().Root()), "[a = 1]");
    for (const int depth : {TZSQLParser::MaxNesting + 1, 100000})
        EXPECT_EQ(ParseError(nested(depth)), "SQL statement nested too deeply\r\nLine:0");
    EXPECT_EQ(ParseError("select * from t where " + QString(1000, 'x').replace("x", "not (") + "a = 1"),
        "SQL statement nested too deeply\r\nLine:0");
}

TEST(SQLParser, EveryBenchmarkStatementKeepsAllItsConditions)
{
    for (int n : {10, 100, 1000}) {
        QFile file(QStringLiteral(NUV_PARSER_TEST_DATA "/select-%1.sql").arg(n));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const Parsed p = Parse(QString::fromUtf8(file.readAll()).trimmed());
        EXPECT_EQ(CountConditions(p.Result().Root()), n);
        EXPECT_EQ(p.Result().Tables().Count(), 2);
    }
}

}  // namespace
