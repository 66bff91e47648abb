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

// The SQL parser matches SQL text against these templates, and saved models name the operators.
TEST(DefaultOperatorTest, EveryDefaultOperatorExactly)
{
    const struct {
        const char* Name;
        const char* Caption;
        const char* SQLName;
        TFieldTypes Types;
        const char* ValFormat;
        TValueKind Kind;
    } golden[] = {
        {"Equal", "is equal to", "@f = '@1'", EqualityTypes, "", vkScalar},
        {"NotEqual", "is not equal to", "@f <> '@1'", EqualityTypes, "", vkScalar},
        {"LessThan", "is less than", "@f < '@1'", OrderingTypes, "", vkScalar},
        {"LessOrEqual", "is less than or equal to", "@f <= '@1'", OrderingTypes, "", vkScalar},
        {"GreaterThan", "is greater than", "@f >'@1'", OrderingTypes, "", vkScalar},
        {"GreaterOrEqual", "is greater than or equal to", "@f >= '@1'", OrderingTypes, "", vkScalar},
        {"IsNull", "is null", "@f is null", NullTestTypes, "", vkScalar},
        {"InList", "is in list", "@f in (@1)", EqualityTypes, "", vkList},
        {"NotInList", "is not in list", "NOT (@f in (@1))", EqualityTypes, "", vkList},
        {"StartsWith", "starts with", "@f like '@1%'", PatternTypes, "", vkScalar},
        {"NotStartsWith", "does not start with", "not(@f like '@1%')", PatternTypes, "", vkScalar},
        {"Contains", "contains", "@f like '%@1%'", PatternTypes, "", vkScalar},
        {"NotContains", "does not contain", "not(@f like '%@1%')", PatternTypes, "", vkScalar},
        {"Between", "is between", "@f between '@1' and '@2'", OrderingTypes, "and", vkScalar},
        {"NotBetween", "is not between", "NOT (@f between '@1' and '@2')", OrderingTypes, "and", vkScalar},
    };
    TZCustomDBStructure model;
    ASSERT_EQ(model.GetOperatorCount(), int(std::size(golden)));
    for (int i = 0; i < model.GetOperatorCount(); ++i) {
        const TDSOperator* op = model.GetOperator(i);
        const auto& g = golden[i];
        EXPECT_EQ(op->Name(), g.Name);
        EXPECT_EQ(op->DisplayName(), g.Caption) << g.Name;
        EXPECT_EQ(op->SQLName(), g.SQLName) << g.Name;
        EXPECT_EQ(op->AppliedTypes(), g.Types) << g.Name;
        EXPECT_EQ(op->ValFormat(), g.ValFormat) << g.Name;
        EXPECT_EQ(op->ValueKind(), g.Kind) << g.Name;
        EXPECT_EQ(model.DefOperators()[i], QString(g.Name) + "=" + g.Caption);
    }
}

// A family switched off must leave the fields' lists too; switched on again it comes back complete.
TEST(DefaultOperatorTest, SwitchingAFamilyOffAndOnAgain)
{
    TZCustomDBStructure model;
    FakeDBInfo info;
    info.Connected = false;
    model.SetDatabaseInfo(&info);
    TDSField* field = model.Fields()[model.AddField(zfkData, "Name", AddTestTable(model, "T"), "Name")];
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
