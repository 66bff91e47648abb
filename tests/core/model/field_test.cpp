#include "core/model/field.h"

#include "core/model/fieldeditors.h"
#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

class FieldTest : public testing::Test {
protected:
    FakeDBInfo info;
    TZCustomDBStructure model;
    TDSTable* orders = nullptr;

    void SetUp() override
    {
        info.Connected = false;
        model.SetDatabaseInfo(&info);
        orders = AddTestTable(model, "Orders");
        orders->SetAlias("o");
    }
    TDSField* Add(TZFieldKind Kind, const QString& Expr, TDSTable* Table = nullptr)
    {
        return model.Fields()[model.AddField(Kind, Expr, Table, Expr)];
    }
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

// Names with blanks are quoted and qualified by the alias, a closing quote symbol inside doubled; a
// data field without a table is named by itself instead of failing.
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

// Parameters replace their text in list order, so an earlier "Name" takes ":NameX"; names are
// case-sensitive and a line without a name is skipped.
TEST_F(SQLEditorTest, ParametersAreSubstitutedInOrder)
{
    editor.SQL() = QStringList {"select Name from T", "where ID = :Name or Code = :NameX or X = :Other"};
    editor.SetParams({"Name=1", "NameX=2", "=3", "junk"});
    EXPECT_TRUE(editor.HasParam("NameX"));
    EXPECT_FALSE(editor.HasParam("name"));
    EXPECT_EQ(editor.GetSQLText(), "select Name from T\r\nwhere ID = 1 or Code = 1X or X = :Other\r\n");
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
