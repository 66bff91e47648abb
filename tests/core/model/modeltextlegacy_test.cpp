#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"
#include "tests/support/testdata.h"

#include "modeltesting.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Texts of older versions in tests/data/models, each at the version from which the part it shows
// is read the newer way; the same text with a lower Version shows the older way.
class ModelTextLegacyTest : public ModelTest {
protected:
    static QStringList Text(const QString& File, const QString& Version = QString())
    {
        rtl::StringList lines;
        lines.SetText(rtl::ReadTextFile(TestDataPath("models/" + File)));
        if (!Version.isEmpty())
            lines.replaceInStrings(QRegularExpression("^Version=.*"), "Version=" + Version);
        return lines;
    }
    void Read(const QString& File, const QString& Version = QString())
    {
        model.LoadFromStrings(Text(File, Version));
    }
    TDSField* Field(int Index) const { return model.Fields()[Index]; }
    QString Caption(int Index) const
    {
        return Field(Index)->GetFullName() + " " + Field(Index)->DisplayName();
    }
    QStringList SQL(int Index) const { return EditorOf<TDSSQLEditor>(*Field(Index))->SQL(); }
    QStringList RootIDs() const
    {
        QStringList ids;
        for (const TDSField* field : *model.RootGroup())
            ids.append(QString::number(field->ID()));
        return ids;
    }
};

TEST_F(ModelTextLegacyTest, TextWithoutVersionIsVersion11)
{
    Read("v1_1.dbs");
    const TDSOperator* equal = model.GetOperator(0);
    EXPECT_EQ(
        equal->Name() + "|" + equal->DisplayName() + "|" + equal->SQLName(), "Equal|is equal to|@f = '@1'");
    EXPECT_TRUE(equal->AppliedTypes().IsEmpty());
    EXPECT_EQ(model.GetOperator(2)->SQLName(), "plain");
    // The table's section completes the table of its line instead of making a second one.
    EXPECT_EQ(Aliases(model.Tables()), QStringList({"C", "Orders"}));
    EXPECT_EQ(model.GetLink(0)->Table2()->Name(), "Orders");
    EXPECT_EQ(Caption(0), "Customers.CustomerID Customer ID");
    EXPECT_EQ(Field(0)->GetOperatorCount(), 2);
}

TEST_F(ModelTextLegacyTest, OperationSectionsFrom12)
{
    Read("v1_2.dbs");
    const TDSOperator* equal = model.GetOperator(0);
    // The caption of the old name's line is kept.
    EXPECT_EQ(equal->Name() + " " + equal->DisplayName(), "Equal equals");
    EXPECT_EQ(equal->AppliedTypes(), TFieldTypes({ftString, ftInteger}));
    EXPECT_EQ(model.GetOperator(1)->SQLName(), "@f > @1");
    EXPECT_EQ(Caption(0), "Customers.CompanyName Company");
}

TEST_F(ModelTextLegacyTest, FieldNameKeyFrom121)
{
    Read("v1_21.dbs");
    EXPECT_EQ(Field(0)->FieldExpr() + " " + Field(0)->DisplayName(), "CompanyName Customer name");
    Read("v1_21.dbs", "1.2");
    EXPECT_EQ(Field(0)->FieldExpr(), "Cust");
}

// Fields of these texts are made as the model adds data fields, which needs database information.
TEST_F(ModelTextLegacyTest, TableSectionsFrom14)
{
    for (const char* version : {"1.4", "1.5"}) {
        Read("v1_4.dbs", version);
        EXPECT_EQ(model.DefaultMainTable(), model.Tables()[0]);
        EXPECT_EQ(model.GetLink(0)->LinkType(), ltRight);
        EXPECT_EQ(Field(0)->GetSQLExpr() + " " + Field(0)->DisplayName(), "c.CustomerName Customer");
        EXPECT_TRUE(SQL(1).isEmpty());
    }
    TZCustomDBStructure alone;
    EXPECT_EQ(StructError([&] { alone.LoadFromStrings(Text("v1_4.dbs")); }).first, dseNoDatabaseInfo);
}

TEST_F(ModelTextLegacyTest, FieldSQLAndTextEditorFrom16)
{
    Read("v1_6.dbs");
    EXPECT_EQ(SQL(0), QStringList({"SELECT Country FROM Customers", "[Order Details]"}));
    const auto* editor = EditorOf<TDSTextEditor>(*Field(1));
    EXPECT_EQ(editor->DefValue() + " " + editor->EditMask(), "Paris >L");
    EXPECT_FALSE(Field(1)->UIC());
}

TEST_F(ModelTextLegacyTest, FieldSectionsFrom20)
{
    Read("v2_0.dbs");
    EXPECT_EQ(model.GetOperator(0)->AppliedTypes(), TFieldTypes({ftString, ftInteger}));
    const TDSField* country = model.FieldByID(4);
    EXPECT_EQ(EditorOf<TDSListEditor>(*country)->Items(), QStringList({"France", "United Kingdom"}));
    EXPECT_FALSE(country->UIR());
    EXPECT_EQ(model.FieldByID(9)->EditType(), 1);
    EXPECT_TRUE(model.FieldByID(9)->UIR());
}

TEST_F(ModelTextLegacyTest, OperatorSectionsFrom201)
{
    Read("v2_01.dbs");
    EXPECT_EQ(model.GetOperator(0)->Name(), "Equal");
    EXPECT_EQ(std::pair(model.GetOperator(1)->ValueKind(), model.GetOperator(1)->ExprType()),
        std::pair(vkList, ftInteger));
    Read("v2_01.dbs", "2.0");
    EXPECT_EQ(model.GetOperatorCount(), 0);
}

TEST_F(ModelTextLegacyTest, RootGroupFrom261)
{
    Read("v2_61.dbs");
    EXPECT_EQ(model.FieldGroups()[0]->GetItem(0), model.FieldByID(1));
    EXPECT_EQ(RootIDs(), QStringList({"3", "2"}));
    EXPECT_FALSE(model.RootFieldsFirst());
    Read("v2_61.dbs", "2.6");
    EXPECT_EQ(RootIDs(), QStringList({"2", "3"}));
}

TEST_F(ModelTextLegacyTest, RootFieldsFirstFrom262)
{
    Read("v2_62.dbs");
    EXPECT_TRUE(model.RootFieldsFirst());
    Read("v2_62.dbs", "2.61");
    EXPECT_FALSE(model.RootFieldsFirst());
}

TEST_F(ModelTextLegacyTest, ValueTypeFrom29AndGroupIDsFrom292)
{
    Read("v2_9.dbs");
    EXPECT_EQ(QList<TValueKind>({model.GetOperator(0)->ValueKind(), model.GetOperator(1)->ValueKind(),
                  model.GetOperator(2)->ValueKind()}),
        QList<TValueKind>({vkSubQuery, vkList, vkScalar}));
    EXPECT_EQ(model.FieldGroups()[0]->Count(), 1);
    Read("v2_92.dbs");
    EXPECT_EQ(model.FieldGroups()[0]->Count(), 1);
    Read("v2_92.dbs", "2.9199");
    EXPECT_EQ(model.FieldGroups()[0]->Count(), 0);
    EXPECT_EQ(RootIDs(), QStringList({"1"}));
}

TEST_F(ModelTextLegacyTest, EditTypesFrom30AndUIRFrom32)
{
    const struct {
        const char* File;
        const char* Version;
        int EditType;
        bool UIR;
        TValueKind Kind;
    } cases[] = {
        {"v3_0.dbs", nullptr, 1, false, vkScalar},
        {"v3_0.dbs", "2.95", 2, false, vkScalar},
        {"v3_2.dbs", nullptr, 1, true, vkList},
        {"v3_2.dbs", "2.95", 2, false, vkList},
        {"v3_2.dbs", "3.5", 1, true, vkScalar},
        // Versions compare in whole thousandths: this is 3.5, not a newer text.
        {"v3_2.dbs", "3.5009", 1, true, vkScalar},
    };
    for (const auto& c : cases) {
        Read(c.File, c.Version);
        EXPECT_EQ(std::pair(int(Field(0)->EditType()), Field(0)->UIR()), std::pair(c.EditType, c.UIR))
            << c.File << c.Version;
        EXPECT_EQ(model.GetOperatorCount() > 0 ? model.GetOperator(0)->ValueKind() : c.Kind, c.Kind)
            << c.File << c.Version;
    }
}

// Writing an old text converts it: the text written reads back to itself.
TEST_F(ModelTextLegacyTest, OldTextsAreWrittenAtTheCurrentVersion)
{
    const struct {
        const char* File;
        int Version;
    } files[] = {{"v1_1.dbs", 1100}, {"v1_2.dbs", 1200}, {"v1_21.dbs", 1210}, {"v1_4.dbs", 1400},
        {"v1_6.dbs", 1600}, {"v2_0.dbs", 2000}, {"v2_01.dbs", 2010}, {"v2_61.dbs", 2610}, {"v2_62.dbs", 2620},
        {"v2_9.dbs", 2900}, {"v2_92.dbs", 2920}, {"v3_0.dbs", 3000}, {"v3_2.dbs", 3200}};
    for (const auto& f : files) {
        Read(f.File);
        EXPECT_EQ(model.Version(), f.Version) << f.File;
        QStringList written, again;
        model.SaveToStrings(written);
        EXPECT_EQ(written[1], "Version=3.5") << f.File;
        model.LoadFromStrings(written);
        model.SaveToStrings(again);
        EXPECT_EQ(again, written) << f.File;
    }
}

}  // namespace
