#include "core/model/dbstructure.h"

#include "modeltesting.h"

#include <gtest/gtest.h>

namespace {

QStringList OperatorNames(const TZCustomDBStructure& Model)
{
    QStringList names;
    Model.GetOperatorNames(names);
    return names;
}

// The SQL parser matches SQL text against these templates, and saved models name the operators;
// a changed template or order breaks both.
TEST(DefaultOperatorTest, NamesAndTemplatesOfTheDefaultOperators)
{
    const QStringList golden {"Equal @f = '@1'", "NotEqual @f <> '@1'", "LessThan @f < '@1'",
        "LessOrEqual @f <= '@1'", "GreaterThan @f >'@1'", "GreaterOrEqual @f >= '@1'", "IsNull @f is null",
        "InList @f in (@1)", "NotInList NOT (@f in (@1))", "StartsWith @f like '@1%'",
        "NotStartsWith not(@f like '@1%')", "Contains @f like '%@1%'", "NotContains not(@f like '%@1%')",
        "Between @f between '@1' and '@2'", "NotBetween NOT (@f between '@1' and '@2')"};
    TZCustomDBStructure model;
    QStringList actual;
    for (const TDSOperator* op : model.Operators())
        actual.append(op->Name() + " " + op->SQLName());
    EXPECT_EQ(actual, golden);
    EXPECT_EQ(model.OperatorByName("InList")->ValueKind(), vkList);
    EXPECT_EQ(model.DefOperators()[4], "GreaterThan=is greater than");
}

using DefaultOperatorModelTest = ModelTest;

// A family switched off must leave the fields' lists too; switched on again it comes back complete.
TEST_F(DefaultOperatorModelTest, SwitchingAFamilyOffAndOnAgain)
{
    TDSField* field = Add(zfkData, "Name", T("T"));
    field->ResetOperators();
    model.SetExOperators(AllExOperators - TExOperators {xoBetween});
    EXPECT_EQ(field->GetOperatorCount(), 13);
    EXPECT_EQ(model.PlaceholderField()->GetOperatorCount(), 13);
    model.SetExOperators(AllExOperators);
    EXPECT_EQ(OperatorNames(model).mid(13), QStringList({"Between", "NotBetween"}));
}

// Translated captions come from the lines; a missing line leaves the caption empty until the
// lines are completed.
TEST(DefaultOperatorTest, CaptionsComeFromTheLines)
{
    TZCustomDBStructure model;
    QStringList lines = model.DefOperators();
    lines.removeAll("IsNull=is null");
    lines.replace(0, "Equal=ist gleich");
    model.SetDefOperators(lines);
    EXPECT_EQ(model.OperatorByName("Equal")->DisplayName(), "ist gleich");
    EXPECT_EQ(model.OperatorByName("IsNull")->DisplayName(), "");
    model.CompleteDefOperators();
    EXPECT_EQ(model.DefOperators().last(), "IsNull=is null");
}

// Adding the missing operators must not reset the ones a model changed; "EqualTo" is the old name
// of Equal, which older models still use.
TEST(DefaultOperatorTest, AddingOnlyMissingOperatorsKeepsThePresentOnes)
{
    TZCustomDBStructure model;
    model.OperatorByName("EqualTo")->SetSQLName("@f == @1");
    model.RemoveOperatorByName("Contains");
    model.AddDefaultOperators(true);
    EXPECT_EQ(model.GetOperatorCount(), 15);
    EXPECT_EQ(model.OperatorByName("equal")->SQLName(), "@f == @1");
    EXPECT_EQ(OperatorNames(model).last(), "Contains");
    EXPECT_EQ(model.IndexOfOperator("Like"), -1);
}

}  // namespace
