#include "core/model/dbstructure.h"

#include "modeltesting.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class DBStructureTest : public ModelTest {
protected:
    int changes = 0;

    void SetUp() override
    {
        info.Connected = true;
        info.Columns["Orders"]
            = {{"OrderID", 4, ftInteger}, {"Picture", 0, ftBlob}, {"Ship Name", 40, ftString}};
        model.OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &model);
            ++changes;
        };
    }
    TDSField* AddData(const QString& Expr, TDSTable* Table) { return Add(zfkData, Expr, Table); }
};

// Saved queries name fields by ID: a new field follows the highest in use. A field the table lacks
// must not be left half-added in the model.
TEST_F(DBStructureTest, FieldIDsFollowTheHighestInUseAndAFailedAddLeavesTheModelUnchanged)
{
    TDSTable* orders = T("Orders");
    changes = 0;
    EXPECT_EQ(StructError([&] { AddData("Missing", orders); }),
        TStructError(dseNoFieldInTable, "Can not find field \"Missing\" in table \"Orders\""));
    EXPECT_EQ(model.Fields().Count() + model.RootGroup()->Count() + changes, 0);
    EXPECT_EQ(AddData("OrderID", orders)->ID(), 1);
    AddData("Ship Name", orders)->SetID(10);
    EXPECT_EQ(model.FieldByID(10), model.Fields()[1]);
    EXPECT_EQ(AddData("OrderID", orders)->ID(), 11);
    model.DeleteField(2);
    EXPECT_EQ(AddData("OrderID", orders)->ID(), 11);
    model.SetDatabaseInfo(nullptr);
    EXPECT_EQ(StructError([&] { AddData("OrderID", orders); }),
        TStructError(dseNoDatabaseInfo, "DatabaseInfo is not specified"));
    EXPECT_EQ(model.Fields().Count(), 3);
}

// Without a connection a data field is added as a quoted string of 30 characters; a blob cannot
// be shown in results.
TEST_F(DBStructureTest, DataFieldsTakeTypeAndSizeFromTheDatabase)
{
    TDSTable* orders = T("Orders");
    TDSField* id = AddData("orderid", orders);
    EXPECT_EQ(std::pair(id->FieldType(), id->FieldSize()), std::pair(ftInteger, 4));
    EXPECT_FALSE(AddData("Picture", orders)->UIR());
    info.Connected = false;
    TDSField* loose = AddData("Ship Name", orders);
    EXPECT_EQ(std::pair(loose->FieldType(), loose->FieldSize()), std::pair(ftString, 30));
    EXPECT_TRUE(loose->Quoted());
}

// The lookup indexes must follow renames and deletions.
TEST_F(DBStructureTest, FindTableByEveryKind)
{
    TDMOptions options;
    options.SetDefaultDBOwner("dbo");
    model.SetDMOptions(options);
    TDSTable* customers = T("Customers");
    customers->SetAlias("Cust");
    customers->SetDisplayName("Our clients");
    TDSTable* orders = T("Orders");
    const struct {
        int Kind;
        const char* Text;
        TDSTable* Found;
    } cases[] = {
        {0, "CUSTOMERS", customers},
        {1, "cust", customers},
        {2, "our CLIENTS", customers},
        {3, "customers - Cust", customers},
        {4, "customers cust", customers},
        {4, "Orders", orders},
        {5, "dbo.Customers", customers},
        {5, "Customers", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.FindTable(c.Kind, c.Text), c.Found) << c.Kind << " " << c.Text;
    customers->SetName("Clients");
    orders->SetAlias("Cust");
    EXPECT_EQ(model.FindTable(0, "clients"), customers);
    EXPECT_EQ(model.FindTable(1, "Cust"), customers);
    model.DeleteTable(0);
    EXPECT_EQ(model.FindTable(1, "Cust"), orders);
}

// The SQL text kind ignores blanks and quotes; the caption index follows renames.
TEST_F(DBStructureTest, FindFieldByEveryKind)
{
    TDSTable* orders = T("Orders");
    orders->SetAlias("o");
    TDSField* id = AddData("OrderID", orders);
    TDSField* name = AddData("Ship Name", orders);
    TDSField* calc = model.Fields()[model.AddField(zfkVirtual, "o.Freight * 2", nullptr, "Double freight")];
    const struct {
        int Kind;
        const char* Text;
        TDSField* Found;
    } cases[] = {
        {0, "orderid", id},
        {1, "DOUBLE FREIGHT", calc},
        {2, "orders.ship name", name},
        {3, "o.ShipName", nullptr},
        {3, "o.\"shipname\"", name},
        {3, "o.freight*2", calc},
    };
    for (const auto& c : cases)
        EXPECT_EQ(model.FindField(c.Kind, c.Text), c.Found) << c.Kind << " " << c.Text;
    id->SetDisplayName("Number");
    EXPECT_EQ(model.FindField(1, "number"), id);
}

// Clearing empties the model but keeps its operator settings: the default operators come back
// as the switched-on families and captions say, and custom operators go.
TEST_F(DBStructureTest, ClearUnderUpdateLockKeepsSettingsAndRestoresTheDefaultOperators)
{
    TDSTable* a = T("A");
    AddTestLink(model, a, T("B"));
    model.SetDefOperators({"Equal=equals"});
    model.SetExOperators({xoInList});
    model.AddOperator("Custom", "custom", EqualityTypes, "", "@f ~ @1");
    changes = 0;
    model.SetUpdateLock(true);
    model.Clear();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(model.GetTableCount() + model.GetLinkCount(), 0);
    EXPECT_EQ(model.GetOperatorCount(), 9);
    EXPECT_EQ(model.GetOperator(0)->DisplayName(), "equals");
    EXPECT_EQ(model.PlaceholderField()->GetOperatorCount(), 9);
}

// Handlers must never see a model that is half gone.
TEST_F(DBStructureTest, DestroyingTheModelFiresNoEvents)
{
    int events = 0;
    {
        auto doomed = std::make_unique<TZCustomDBStructure>();
        TDSTable* a = AddTestTable(*doomed, "A");
        AddTestLink(*doomed, a, AddTestTable(*doomed, "B"));
        doomed->FieldGroups().Add(new TDSFieldGroup(doomed.get()));
        doomed->Conditions().Add(new TDSCondition(doomed.get()));
        doomed->OnChange = [&](QObject*) { ++events; };
        doomed->FieldGroups().OnChange = [&](TZObjectList<TDSFieldGroup>*) { ++events; };
        doomed->Conditions().OnEmpty = [&](TZObjectList<TDSCondition>*) { ++events; };
    }
    EXPECT_EQ(events, 0);
}

// An empty table name format takes the information's template; a destroyed information is let go of.
TEST_F(DBStructureTest, DatabaseInformationFillsTheFormatAndIsLetGo)
{
    TZCustomDBStructure other;
    TSQLFormats formats;
    formats.SetFullTableName("");
    other.SetSQLFormats(formats);
    info.SetTableNameTemplate("OWNER.TABLE");
    other.SetDatabaseInfo(&info);
    EXPECT_EQ(other.SQLFormats().FullTableName(), "OWNER.TABLE");
    {
        FakeDBInfo shortLived;
        other.SetDatabaseInfo(&shortLived);
    }
    EXPECT_EQ(other.DatabaseInfo(), nullptr);
}

}  // namespace
