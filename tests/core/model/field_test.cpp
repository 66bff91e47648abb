#include "core/model/field.h"

#include "core/model/fieldeditors.h"
#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

class FieldTest : public ModelTest {
protected:
    TDSTable* orders = T("Orders");
    void SetUp() override { orders->SetAlias("o"); }
};

// Switching conditions on gives the operators that suit the field's type, not all of them.
TEST_F(FieldTest, SwitchedOnFieldGetsTheOperatorsOfItsType)
{
    TDSField* field = Add(zfkData, "Freight", orders);
    EXPECT_EQ(field->GetOperatorCount(), 0);
    field->SetFieldType(ftBoolean);
    field->SetUseInConditions(false);
    field->SetUseInConditions(true);
    QStringList names;
    for (const TDSOperator* op : field->Operators())
        names.append(op->Name());
    EXPECT_EQ(names, QStringList({"Equal", "NotEqual", "IsNull", "InList", "NotInList"}));
}

// Names with blanks are quoted and qualified by the alias (quoted when it is a keyword), a closing
// quote symbol inside doubled; a data field without a table is named by itself instead of failing.
TEST_F(FieldTest, SQLPiecesOfDataAndVirtualFields)
{
    TDSField* data = Add(zfkData, "Ship Name", orders);
    EXPECT_EQ(data->GetSQLExpr(), "o.\"Ship Name\"");
    EXPECT_EQ(data->GetFullName(), "Orders.Ship Name");
    orders->SetAlias("");
    EXPECT_EQ(data->GetSQLExpr(), "\"Ship Name\"");
    EXPECT_EQ(Add(zfkVirtual, "sum(o.Freight)")->GetSQLExpr(), "sum(o.Freight)");
    EXPECT_EQ(Add(zfkData, "Loose")->GetFullName(), "Loose");
    TSQLFormats formats;
    formats.SetQuoteSymbol1(u'[');
    formats.SetQuoteSymbol2(u']');
    model.SetSQLFormats(formats);
    orders->SetAlias("o");
    TDSField* odd = Add(zfkData, "a]b", orders);
    odd->SetQuoted(true);
    EXPECT_EQ(odd->GetSQLExpr(), "o.[a]]b]");
    orders->SetAlias("Order");
    EXPECT_EQ(odd->GetSQLExpr(), "[Order].[a]]b]");
}

// A value of a quoted type becomes one SQL literal: control characters stay inside the quotes,
// as a #nn code outside them is no SQL; other types take the text as it is.
TEST_F(FieldTest, ValuesOfQuotedTypesBecomeSQLLiterals)
{
    TDSField* field = Add(zfkData, "Note", orders);
    field->SetFieldType(ftString);
    const std::pair<const char*, const char*> rows[]
        = {{"it's", "'it''s'"}, {"a\r\nb", "'a\r\nb'"}, {"end\n", "'end\n'"}, {"C:\\", "'C:\\'"}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(field->QuoteValue(text), expected) << text;
    field->SetFieldType(ftInteger);
    EXPECT_EQ(field->QuoteValue("12"), "12");
}

// A plain search for an aggregate's name with "(": it matches inside a longer name and misses a
// blank before the parenthesis, and a column named like a function does not count.
TEST_F(FieldTest, IsAggregateLooksForFunctionCalls)
{
    const struct {
        const char* Expr;
        bool Aggregate;
    } cases[] = {{"checksum(x)", true}, {"COUNT(*)", true}, {"sum (x)", false}, {"o.Summary", false}};
    for (const auto& c : cases)
        EXPECT_EQ(Add(zfkVirtual, c.Expr)->IsAggregate(), c.Aggregate) << c.Expr;
}

// A field's Group and its group's members must agree after every move, and a freed group must
// leave no member pointing at it.
TEST_F(FieldTest, GroupsKeepTheirMembersGroupInStep)
{
    TDSField* a = Add(zfkData, "A", orders);
    TDSField* b = Add(zfkData, "B", orders);
    auto* group = new TDSFieldGroup(&model);
    group->SetGroupName("Money");
    model.FieldGroups().Add(group);
    a->SetGroup(group);
    InsertFieldInGroup(group, 99, b);
    EXPECT_EQ(group->IndexOf(b), 1);
    EXPECT_EQ(a->GetFullCaption(), "Money.A");
    RemoveFieldFromGroup(group, 1);
    EXPECT_EQ(b->Group(), nullptr);
    model.FieldGroups().DeleteAndFree(0);
    EXPECT_EQ(a->Group(), nullptr);
}

class SQLEditorTest : public testing::Test {
protected:
    FakeDBInfo info;
    TZCustomDBStructure model;
    TDSSQLEditor editor {&model};
};

// A parameter is a whole name after a colon in the query text itself: never inside a literal or a
// comment, never the first letters of a longer name; the longest name wins, names may hold blanks.
TEST_F(SQLEditorTest, ParametersReplaceWholeNamesOutsideLiteralsAndComments)
{
    const QStringList params {"Name=1", "NameX=2", "Order='x'", "Order Date='1/2/1998'", "=3", "junk"};
    const std::pair<QStringList, const char*> rows[] = {
        {{"where ID = :Name or Code = :NameX or X = :Other"}, "where ID = 1 or Code = 2 or X = :Other\r\n"},
        {{"where a = ':Name' -- :Name", "and b = :Name /* :Name */"},
            "where a = ':Name' -- :Name\r\nand b = 1 /* :Name */\r\n"},
        {{"where d = :Order Date and o = :Order and n = :name"},
            "where d = '1/2/1998' and o = 'x' and n = :name\r\n"},
        {{"where a = 'it''s :Name' and b=:Name"}, "where a = 'it''s :Name' and b=1\r\n"},
    };
    editor.SetParams(params);
    for (const auto& [sql, expected] : rows) {
        editor.SQL() = sql;
        EXPECT_EQ(editor.GetSQLText(), expected) << sql.join('|').toStdString();
    }
    editor.SQL() = QStringList {"select x from T where c = ':Name' or d = :NameX -- :Other"};
    EXPECT_TRUE(editor.HasParam("NameX"));
    EXPECT_FALSE(editor.HasParam("Name"));
    EXPECT_FALSE(editor.HasParam("Other"));
}

// A value goes into the query only as one whole SQL literal or a number, so no value can open or
// close a literal of the query or add SQL of its own; an empty value compares with nothing.
TEST_F(SQLEditorTest, ValuesMustBeLiteralsOrNumbers)
{
    editor.SQL() = QStringList {"select x from T where c = :P"};
    const std::pair<const char*, const char*> accepted[]
        = {{"'O''Hara'", "'O''Hara'"}, {"-12.5e3", "-12.5e3"}, {".5", ".5"}, {"''", "''"}, {"", "NULL"}};
    for (const auto& [value, expected] : accepted) {
        editor.SetParams({QString("P=") + value});
        EXPECT_EQ(editor.GetSQLText(), QString("select x from T where c = %1\r\n").arg(expected)) << value;
    }
    for (const char* value : {"1 or 1=1", "'a' or 'b'='b'", "'open", "x'", "1;drop table T", "USA"}) {
        editor.SetParams({QString("P=") + value});
        EXPECT_EQ(StructError([&] { editor.GetSQLText(); }).first, dseBadParamValue) << value;
    }
    editor.SetParams({"P=USA"});
    EXPECT_EQ(StructError([&] { editor.GetSQLText(); }).second,
        "The value USA of parameter P is neither a number nor an SQL string literal");
}

// New parameters make the answer stale: the editor closes and the next refresh asks again.
TEST_F(SQLEditorTest, RunsTheQueryThroughTheDatabaseInformation)
{
    EXPECT_THROW(editor.SetActive(true), EZDBStructError);
    model.SetDatabaseInfo(&info);
    info.SQLValues = QStringList {"1", "2"};
    info.SQLItems = QStringList {"one", "two"};
    editor.SQL() = QStringList {"select :P"};
    editor.SetParams({"P=7"});
    editor.SetActive(true);
    EXPECT_EQ(editor.Items(), QStringList({"one", "two"}));
    editor.SetParams({"P=8"});
    EXPECT_FALSE(editor.Active());
    editor.Refresh();
    EXPECT_EQ(info.SQLAsked, QStringList({"select 7\r\n", "select 8\r\n"}));
}

}  // namespace
