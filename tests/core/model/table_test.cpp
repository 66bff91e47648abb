#include "core/model/table.h"

#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

using TableTest = ModelTest;

// An alias with blanks would break the SQL; a rename must not change the alias that queries use.
TEST_F(TableTest, NameGivesAnEmptyAliasWithoutBlanks)
{
    TDSTable* table = T("Order Details");
    EXPECT_EQ(table->Alias(), "Order_Details");
    table->SetName("Details");
    table->SetAlias("O D");
    EXPECT_EQ(table->GetCaption(), "Details - O_D");
}

// The alias is written when it differs from the name (in case too); the database only in a
// multi-database model and when it is not the default one. A closing quote symbol in a quoted name
// is doubled, or the name would end early and the rest run as SQL. An alias that is no plain word
// (a keyword, a hyphen, a quote symbol) is quoted as well; one that comes quoted stays as it is.
TEST_F(TableTest, SQLNameFollowsQuotingDatabaseAliasAndHints)
{
    const struct {
        const char* Name;
        const char* Alias;
        bool Quoted;
        const char* DBName;
        bool MultiDB;
        const char* Template;
        const char* Hints;
        const char* Expected;
    } cases[] = {
        {"T", "T", false, "", false, "DB.OWNER.TABLE", "", "T"},
        {"T", "A", false, "", false, "DB.OWNER.TABLE", "NOLOCK", "T A WITH NOLOCK"},
        {"T", "t", false, "", false, "DB.OWNER.TABLE", "", "T t"},
        {"My T", "My_T", true, "", false, "DB.OWNER.TABLE", "", "[My T] My_T"},
        {"\"My T\"", "M", true, "", false, "DB.OWNER.TABLE", "", "\"My T\" M"},
        {"T", "T", false, "sales", true, "DB.OWNER.TABLE", "", "sales.dbo.T"},
        {"T", "T", false, "sales", true, "", "", "T"},
        {"T", "T", false, "main", true, "DB.OWNER.TABLE", "", "T"},
        {"T", "T", false, "sales", false, "DB.OWNER.TABLE", "", "T"},
        {"T", "T", true, "sales", true, "TABLE@DB", "", "[T]@sales"},
        {"a]b", "A", true, "", false, "DB.OWNER.TABLE", "", "[a]]b] A"},
        {"x]", "x]", true, "sales", true, "DB.TABLE", "", "sales.[x]]]"},
        {"T", "T-2", false, "", false, "", "", "T [T-2]"},
        {"T", "group", false, "", false, "", "", "T [group]"},
        {"T", "a]b", false, "", false, "", "", "T [a]]b]"},
        {"\"My T\"", "\"My_T\"", true, "", false, "", "", "\"My T\" \"My_T\""},
    };
    TSQLFormats formats;
    formats.SetQuoteSymbol1(u'[');
    formats.SetQuoteSymbol2(u']');
    TDMOptions options;
    options.SetDefaultDatabase("main");
    options.SetDefaultDBOwner("dbo");
    for (const auto& c : cases) {
        TZCustomDBStructure m;
        options.SetMultiDB(c.MultiDB);
        m.SetDMOptions(options);
        formats.SetFullTableName(c.Template);
        m.SetSQLFormats(formats);
        TDSTable* table = AddTestTable(m, c.Name);
        table->SetAlias(c.Alias);
        table->SetQuoted(c.Quoted);
        table->SetDBName(c.DBName);
        table->SetHints(c.Hints);
        EXPECT_EQ(table->GetSQLName(), c.Expected) << c.Name << " " << c.Template;
    }
}

// Names are put into the template once: a database or owner named with a placeholder word stays intact.
TEST_F(TableTest, FullTableNameFillsTheTemplateInOnePass)
{
    TDMOptions options;
    options.SetDefaultDBOwner("TABLE_OWNER");
    model.SetDMOptions(options);
    TDSTable* table = T("T");
    table->SetDBName("DBX");
    EXPECT_EQ(table->GetFullTableName("T"), "DBX.TABLE_OWNER.T");
}

// Mode 2 marks the outer side of a left or right join with "(+)"; otherwise the comparison is plain.
TEST_F(TableTest, JoinConditionInBothModes)
{
    TDSLink* link = AddTestLink(model, T("Orders"), T("Customers"), "CustomerID");
    const struct {
        TLinkType Type;
        int Mode;
        const char* Expected;
    } cases[] = {
        {ltInner, 1, "(Orders.CustomerID=Customers.CustomerID)"},
        {ltLeft, 1, "(Orders.CustomerID=Customers.CustomerID)"},
        {ltLeft, 2, "(Orders.CustomerID=Customers.CustomerID (+) )"},
        {ltRight, 2, "(Orders.CustomerID (+) =Customers.CustomerID)"},
        {ltFull, 2, "(Orders.CustomerID=Customers.CustomerID)"},
    };
    for (const auto& c : cases) {
        link->SetLinkType(c.Type);
        EXPECT_EQ(link->GetJoinCondition(c.Mode), c.Expected) << int(c.Type) << " " << c.Mode;
    }
    link->Table2()->SetAlias("Order");
    EXPECT_EQ(link->GetJoinCondition(1), "(Orders.CustomerID=\"Order\".CustomerID)");
}

// "val:" operands are constants and are never qualified or quoted; "fld:" is only a prefix; a quote
// symbol inside a quoted operand is doubled. A
// hand-edited model file can hold a link whose lists differ in length: a clear error, no crash.
TEST_F(TableTest, JoinOperandsTakeValuesFieldPrefixesAndQuotes)
{
    TDSLink* link = AddTestLink(model, T("A"), T("B"));
    link->SetFields1({"val:5", "fld:Code", "Kind"});
    link->SetFields2({"Qty", "Code", "Kind"});
    link->SetOperators({"=", "<>", ">="});
    EXPECT_EQ(link->GetJoinCondition(1), "(5=B.Qty) and (A.Code<>B.Code) and (A.Kind>=B.Kind)");
    link->SetQuoteFields(true);
    EXPECT_EQ(
        link->GetJoinCondition(1), "(5=B.\"Qty\") and (A.\"Code\"<>B.\"Code\") and (A.\"Kind\">=B.\"Kind\")");
    link->SetFields1({"a\"b"});
    link->SetFields2({"c\"\""});
    link->SetOperators({"="});
    EXPECT_EQ(link->GetJoinCondition(1), "(A.\"a\"\"b\"=B.\"c\"\"\"\"\")");
    link->SetFields1({"val:5", "fld:Code", "Kind"});
    link->SetFields2({"Qty", "Code"});
    EXPECT_EQ(StructError([&] { link->GetJoinCondition(1); }),
        TStructError(
            dseUnevenLink, "Link A.val:5,fld:Code,Kind->B.Qty,Code has field lists of unequal length"));
}

// Every link of a table has the table on one side; only the self link joins it to itself.
TEST_F(TableTest, FindLinkToTellsLinksApartByTheirOtherSide)
{
    TDSTable* a = T("A");
    TDSTable* b = T("B");
    TDSLink* ab = AddTestLink(model, a, b);
    EXPECT_EQ(a->FindLinkTo(a), nullptr);
    TDSLink* aa = AddTestLink(model, a, a, "Parent");
    EXPECT_EQ(QList<TDSLink*>({a->FindLinkTo(a), a->FindLinkTo(b), b->FindLinkTo(a), b->FindLinkTo(b)}),
        QList<TDSLink*>({aa, ab, ab, nullptr}));
}

// The table must leave every list that refers to it, and the model reports one change when all is done.
TEST_F(TableTest, DeletingATableLeavesNoReferenceBehind)
{
    TDSTable* a = T("A");
    TDSTable* b = T("B");
    TDSTable* c = T("C");
    AddTestLink(model, a, b);
    AddTestLink(model, b, c);
    model.AddField(zfkData, "Name", b, "Name");
    model.AddField(zfkData, "Name", a, "A name");
    model.AddField(zfkVirtual, "A.X + B.Y", nullptr, "Sum");
    auto* condition = new TDSCondition(&model);
    condition->SetSQLExpr("B.Total > A.Total");
    model.Conditions().Add(condition);
    model.FindPath("A", "C");
    model.SetDefaultMainTable(b);

    int changes = 0;
    bool consistent = true;
    model.OnChange = [&](QObject*) {
        ++changes;
        consistent = consistent && model.FindTable(0, "B") == nullptr && a->GetLinkCount() == 0;
    };
    model.DeleteTable(1);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(consistent);
    EXPECT_EQ(Aliases(model.Tables()), QStringList({"A", "C"}));
    EXPECT_EQ(c->GetLinkCount() + model.GetLinkCount(), 0);
    ASSERT_EQ(model.Fields().Count(), 1);
    EXPECT_EQ(model.Fields()[0]->DisplayName(), "A name");
    EXPECT_EQ(model.RootGroup()->Count(), 1);
    EXPECT_EQ(Aliases(condition->Tables()), QStringList({"A"}));
    EXPECT_EQ(Aliases(model.Path().Tables()), QStringList({"A", "C"}));
    EXPECT_EQ(model.DefaultMainTable(), nullptr);
}

}  // namespace
