#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "rtl/inifile.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"
#include "tests/support/currentdir.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

namespace {

const QString AppDir = QStringLiteral(NUV_APP_DIR);
const QString ModelDir = AppDir + QStringLiteral("/dmodels/nwind/");

// The sample model the build wrote, opened as the program opens it: from the application folder,
// with the stand-in gate as its database information.
class SampleModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FAppDir.Entered());
        FGate.SetDLLPath(AppDir + QStringLiteral("/DBGates/Fendal.dll"));
        FModel.SetDatabaseInfo(&FGate);
        FModel.LoadFromFile(ModelDir + QStringLiteral("struct.dbs"));
    }
    // The first value of the one-column answer to SQL, through the gate.
    QString Ask(const QString& SQL)
    {
        QStringList values;
        QStringList items;
        FGate.GetSQLValues(SQL, values, items);
        return values.value(0);
    }

    CurrentDirScope FAppDir {AppDir};
    TZDBGate FGate;
    TZDBStructure FModel;
};

TEST_F(SampleModelTest, ReadsBackAsWrittenWithItsSettings)
{
    rtl::StringList file;
    file.SetText(rtl::ReadTextFile(ModelDir + QStringLiteral("struct.dbs")));
    QStringList written;
    FModel.SaveToStrings(written);
    // The connection line went to the gate and came back from it.
    EXPECT_EQ(written, file);
    EXPECT_EQ(FModel.DefaultMainTable(), FModel.FindTable(0, QStringLiteral("Orders")));
    EXPECT_GE(FModel.FieldGroups().Count(), 2);
    EXPECT_GE(FModel.Conditions().Count(), 1);

    rtl::IniFile settings(ModelDir + QStringLiteral("dm_settings.ini"));
    EXPECT_EQ(
        settings.ReadString(QStringLiteral("Options"), QStringLiteral("DllPath"), QString()), "Fendal.dll");
    EXPECT_FALSE(
        settings.ReadString(QStringLiteral("Options"), QStringLiteral("ModelName"), QString()).isEmpty());
}

// Every table, column, link, expression and condition of the model must work on the sample database.
TEST_F(SampleModelTest, EverythingItNamesIsInTheDatabase)
{
    for (const TDSTable* table : FModel.Tables()) {
        EXPECT_GT(FGate.GetFields(table->Name()).Count(), 0) << table->Name().toStdString();
        EXPECT_NE(table->DisplayName(), QString());
    }
    for (const TDSField* field : FModel.Fields()) {
        const QString from
            = field->Tables().isEmpty() ? QStringLiteral("Orders") : field->Tables()[0]->GetSQLName();
        if (field->Kind() == zfkData) {
            const TDBFieldInfo* column
                = FGate.GetFields(field->Tables()[0]->Name()).FindField(field->FieldExpr());
            ASSERT_NE(column, nullptr) << field->GetFullName().toStdString();
            EXPECT_EQ(column->FieldType, field->FieldType()) << field->GetFullName().toStdString();
        }
        const QString value
            = field->IsAggregate() ? field->GetSQLExpr() : "count(" + field->GetSQLExpr() + ")";
        EXPECT_FALSE(Ask("SELECT " + value + " FROM " + from).isEmpty())
            << field->DisplayName().toStdString();
        EXPECT_TRUE(field->UIC()) << field->DisplayName().toStdString();
    }
    for (const TDSLink* link : FModel.Links()) {
        const QString joined = Ask("SELECT count(*) FROM " + link->Table1()->GetSQLName() + " JOIN "
            + link->Table2()->GetSQLName() + " ON " + link->GetJoinCondition(1));
        EXPECT_GT(joined.toInt(), 0) << link->GetCaption().toStdString();
    }
    for (const TDSCondition* condition : FModel.Conditions()) {
        const QString sql = QString(condition->SQLExpr()).replace(QStringLiteral("@1"), QStringLiteral("0"));
        EXPECT_FALSE(Ask("SELECT count(*) FROM Orders WHERE " + sql).isEmpty()) << sql.toStdString();
    }
}

}  // namespace
