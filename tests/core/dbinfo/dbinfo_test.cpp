#include "core/dbinfo/dbinfo.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Answers field requests from a table per database and records what it was asked.
class RecordingDBInfo : public TZDBInfo {
public:
    QStringList FieldRequests;
    int DatabaseChanges = 0;
    int FailuresLeft = 0;

    void DatabaseChanged() override { ++DatabaseChanges; }
    void GetLinks(QStringList& Lines) override
    {
        Lines = QStringList {"Orders.CustomerID=Customers.CustomerID"};
    }
    void GetTables(QStringList& Lines) override { Lines = QStringList {"Customers", "Orders"}; }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        FieldRequests.append(TableName);
        FieldList.Add(new TDBFieldInfo {GetCurrentDBName() + "." + TableName, 4, ftInteger});
        if (FailuresLeft > 0) {
            --FailuresLeft;
            throw std::runtime_error("connection lost");
        }
        FieldList.Add(new TDBFieldInfo {"Name", 30, ftString});
    }
};

QString TakeText(char* Text)
{
    const QString result = QString::fromUtf8(Text);
    DisposeText(Text);
    return result;
}

}  // namespace

TEST(DBInfoBase, AnswersNothingButIsConnectedAndConsumesLoadedLines)
{
    TZDBInfo info;
    const QStringList original {"Database=x", "User=y"};
    QStringList lines = original;
    QStringList values = original;
    QStringList items = original;

    info.GetTables(lines);
    info.GetLinks(lines);
    info.GetDatabaseNames(lines);
    info.SaveInfo(lines);
    info.GetTableList(lines);
    info.GetLinkList(lines);
    info.GetSQLValues("select 1", values, items);
    TDBFieldList fields;
    fields.Add(new TDBFieldInfo {"kept", 1, ftString});
    info.GetFieldList("T", fields);
    EXPECT_EQ(lines, original);
    EXPECT_EQ(values, original);
    EXPECT_EQ(items, original);
    EXPECT_EQ(fields.Count(), 1);
    EXPECT_TRUE(info.IsConnected());
    EXPECT_EQ(info.TableNameTemplate(), "DB.OWNER.TABLE");

    info.LoadInfo(lines);
    EXPECT_TRUE(lines.isEmpty());
}

TEST(DBInfoBase, CurrentDatabaseNameChangesOnlyWhenDifferent)
{
    RecordingDBInfo info;
    EXPECT_EQ(info.GetCurrentDBName(), "");
    info.SetCurrentDBName("");
    EXPECT_EQ(info.DatabaseChanges, 0);
    info.SetCurrentDBName(u"Vendas São Paulo"_qs);
    info.SetCurrentDBName(u"Vendas São Paulo"_qs);
    EXPECT_EQ(info.GetCurrentDBName(), u"Vendas São Paulo"_qs);
    EXPECT_EQ(info.DatabaseChanges, 1);
    info.SetCurrentDBName("vendas são paulo");
    EXPECT_EQ(info.DatabaseChanges, 2);
}

TEST(DBInfoFieldCache, AsksOnlyWhenAnotherTableWasAskedForLast)
{
    RecordingDBInfo info;
    TDBFieldList* first = &info.GetFields("Orders");
    EXPECT_EQ(&info.GetFields("Orders"), first);
    EXPECT_EQ(first->Count(), 2);
    info.GetFields("Customers");
    info.GetFields("Orders");
    info.GetFields("orders");  // table names compare case-sensitively
    EXPECT_EQ(info.FieldRequests, QStringList({"Orders", "Customers", "Orders", "orders"}));

    info.ClearFieldCache();
    info.GetFields("orders");
    EXPECT_EQ(info.FieldRequests.size(), 5);
}

// Tables of the same name in two databases must not answer each other's fields.
TEST(DBInfoFieldCache, IsEmptiedWhenTheCurrentDatabaseChanges)
{
    RecordingDBInfo info;
    info.SetCurrentDBName("north");
    EXPECT_EQ(info.GetFields("Orders").GetItem(0)->Name, "north.Orders");
    info.SetCurrentDBName("south");
    EXPECT_EQ(info.GetFields("Orders").GetItem(0)->Name, "south.Orders");
    info.SetCurrentDBName("south");
    info.GetFields("Orders");
    EXPECT_EQ(info.FieldRequests.size(), 2);
}

// A failed fetch must not leave a half-filled list that the next request takes for the answer.
TEST(DBInfoFieldCache, FailedFetchIsAskedAgain)
{
    RecordingDBInfo info;
    info.FailuresLeft = 1;
    EXPECT_THROW(info.GetFields("Orders"), std::runtime_error);
    EXPECT_EQ(info.GetFields("Orders").Count(), 2);
    EXPECT_EQ(info.FieldRequests.size(), 2);
}

TEST(DBInfoFieldCache, FieldNamesReplaceTheLinesInFieldOrder)
{
    RecordingDBInfo info;
    QStringList names {"stale"};
    info.GetFieldNames("Orders", names);
    EXPECT_EQ(names, QStringList({".Orders", "Name"}));
}

TEST(DBInfoLinks, RequestHandlerAddsAfterTheFetchedLinks)
{
    RecordingDBInfo info;
    TZDBInfo* sender = nullptr;
    info.OnLinksRequest = [&](TZDBInfo* Sender, QStringList& Links) {
        sender = Sender;
        Links.append("Orders.EmployeeID=Employees.EmployeeID");
    };
    QStringList links;
    info.GetLinkList(links);
    EXPECT_EQ(sender, &info);
    EXPECT_EQ(links,
        QStringList({"Orders.CustomerID=Customers.CustomerID", "Orders.EmployeeID=Employees.EmployeeID"}));
    // The plain question leaves the host out.
    info.GetLinks(links);
    EXPECT_EQ(links.size(), 1);
}

TEST(DBInfoTexts, GettersHandOutLinesWithCrLf)
{
    RecordingDBInfo info;
    info.OnLinksRequest = [](TZDBInfo*, QStringList& Links) { Links.append("extra"); };
    EXPECT_EQ(TakeText(info.GetTablesText()), "Customers\r\nOrders\r\n");
    EXPECT_EQ(TakeText(info.GetLinksText()), "Orders.CustomerID=Customers.CustomerID\r\nextra\r\n");
    EXPECT_EQ(TakeText(info.GetDatabaseNamesText()), "");
    EXPECT_EQ(TakeText(info.GetFieldsText("Pedidos de São")),
        u"Count=2\r\nF1Name=.Pedidos de São\r\nF1Size=4\r\nF1Type=ftInteger\r\n"
        u"F2Name=Name\r\nF2Size=30\r\nF2Type=ftString\r\n"_qs);
    EXPECT_EQ(info.FieldRequests, QStringList({u"Pedidos de São"_qs}));
}
