#include "core/model/dbstructure.h"

#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

class JoinPathTest : public ModelTest {
protected:
    QStringList Path(const QString& From, const QString& To)
    {
        return Aliases(model.FindPath(From, To).Tables());
    }
    int Failure(const QString& From, const QString& To)
    {
        return StructError([&] { model.FindPath(From, To); }).first;
    }
};

// Links join both ways; of equally short chains the one over the earlier links wins.
TEST_F(JoinPathTest, FirstShortestChainInLinkOrderWins)
{
    TDSTable* a = T("A");
    TDSTable* b = T("B");
    TDSTable* c = T("C");
    TDSTable* d = T("D");
    AddTestLink(model, a, b);
    AddTestLink(model, b, d);
    AddTestLink(model, a, c);
    AddTestLink(model, c, d);
    EXPECT_EQ(Path("B", "A"), QStringList({"B", "A"}));
    EXPECT_EQ(Path("A", "D"), QStringList({"A", "B", "D"}));
    EXPECT_EQ(Path("D", "A"), QStringList({"D", "B", "A"}));
    TDSTable* e = T("E");
    AddTestLink(model, e, a);
    AddTestLink(model, d, e);
    EXPECT_EQ(Path("B", "E"), QStringList({"B", "A", "E"}));
    EXPECT_EQ(Path("C", "E"), QStringList({"C", "A", "E"}));
}

// A table reaches itself only over a self link, never by the empty path.
TEST_F(JoinPathTest, ToItselfOnlyOverALink)
{
    TDSTable* a = T("A");
    T("Lonely");
    EXPECT_EQ(Failure("Lonely", "Lonely"), dseNoPath);
    AddTestLink(model, a, a, "ParentID");
    EXPECT_EQ(Path("A", "A"), QStringList({"A", "A"}));
}

// A failed search must not leave a half-built path behind; tables are named by alias only.
TEST_F(JoinPathTest, FailuresKeepThePreviousAnswer)
{
    TDSTable* a = T("A");
    a->SetDisplayName("Alpha");
    AddTestLink(model, a, T("B"));
    T("C");
    Path("A", "B");
    EXPECT_EQ(Failure("Alpha", "B"), dseNoSuchTable);
    EXPECT_EQ(Failure("A", "C"), dseNoPath);
    EXPECT_EQ(Aliases(model.Path().Tables()), QStringList({"A", "B"}));
}

// A search that follows every simple chain through the dense part would not end here; marking
// tables as they are reached keeps it linear.
TEST_F(JoinPathTest, DenselyLinkedModelIsSearchedQuickly)
{
    QList<TDSTable*> cluster;
    for (int i = 0; i < 40; ++i)
        cluster.append(T(QString("T%1").arg(i)));
    for (int i = 0; i < 40; ++i) {
        for (int j = i + 1; j < 40; ++j)
            AddTestLink(model, cluster[i], cluster[j]);
    }
    TDSTable* previous = cluster.last();
    for (int i = 1; i <= 5; ++i) {
        TDSTable* next = T(QString("C%1").arg(i));
        AddTestLink(model, previous, next);
        previous = next;
    }
    EXPECT_EQ(Path("T0", "C5"), QStringList({"T0", "T39", "C1", "C2", "C3", "C4", "C5"}));
}

// References are found by alias, then by name, ignoring case; a prefix that names no table, and
// text inside quotes or comments, are no reference. Expressions are SQL: a backslash in a literal is
// an ordinary character, so it neither ends the scan nor hides what follows the literal. Found
// tables are added to what the lists hold.
TEST_F(JoinPathTest, ExpressionScanFindsAliasesThenNames)
{
    TDSTable* orders = T("Orders");
    orders->SetAlias("o");
    TDSTable* items = T("Items");
    const struct {
        const char* Expr;
        TDSTableList Tables;
        QStringList References;
    } cases[] = {
        {"o.Price * o.Qty", {orders, orders}, {"o.Price", "o.Qty"}},
        {"1.5 + x", {}, {}},
        {"Orders.Total + items.Count", {orders, items}, {"Orders.Total", "items.Count"}},
        {"sum(x.Price)\n - O.Tax", {orders}, {"O.Tax"}},
        {"'o.Price'", {}, {}},
        {"'C:\\' and Items.ID = 1", {items}, {"Items.ID"}},
        {"x like '%\\9%' -- o.Note\n or o.Qty = 'it''s'", {orders}, {"o.Qty"}},
    };
    for (const auto& c : cases) {
        TDSTableList tables {items};
        QStringList references {"kept"};
        ParseExprTables(&model, c.Expr, tables, &references);
        EXPECT_EQ(tables, TDSTableList {items} + c.Tables) << c.Expr;
        EXPECT_EQ(references, QStringList {"kept"} + c.References) << c.Expr;
    }
}

}  // namespace
