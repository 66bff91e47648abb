#include "core/dbinfo/dbinfo.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

namespace {

// Answers two fields per table, the first named after the current database, and records the
// tables it was asked for.
class RecordingDBInfo : public TZDBInfo {
public:
    QStringList FieldRequests;
    bool FailNext = false;

    void GetLinks(QStringList& Lines) override
    {
        Lines = QStringList {"Orders.CustomerID=Customers.CustomerID"};
    }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        FieldRequests.append(TableName);
        FieldList.Add(new TDBFieldInfo {GetCurrentDBName() + "." + TableName, 4, ftInteger});
        if (std::exchange(FailNext, false))
            throw std::runtime_error("connection lost");
        FieldList.Add(new TDBFieldInfo {"Name", 30, ftString});
    }
};

}  // namespace

// A cache keyed loosely (ignoring case) or never refreshed answers one table with another's fields.
TEST(DBInfoFieldCache, AsksOnlyWhenAnotherTableWasAskedForLast)
{
    RecordingDBInfo info;
    for (const char* table : {"Orders", "Orders", "Customers", "Orders", "orders"})
        info.GetFields(table);
    info.ClearFieldCache();
    EXPECT_EQ(info.GetFields("orders").GetItem(0)->Name, ".orders");
    EXPECT_EQ(info.FieldRequests, QStringList({"Orders", "Customers", "Orders", "orders", "orders"}));
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
    info.FailNext = true;
    EXPECT_THROW(info.GetFields("Orders"), std::runtime_error);
    EXPECT_EQ(info.GetFields("Orders").Count(), 2);
    EXPECT_EQ(info.FieldRequests.size(), 2);
}

// The texts cross the plug-in boundary: the host's links must be in them, the table name is
// UTF-8 and every line ends in CR LF.
TEST(DBInfoTexts, CarryTheHostsLinksAndUtf8Names)
{
    RecordingDBInfo info;
    info.OnLinksRequest = [](TZDBInfo*, QStringList& Links) { Links.append("extra"); };
    char* links = info.GetLinksText();
    char* fields = info.GetFieldsText("Pedidos de São");
    EXPECT_EQ(QString::fromUtf8(links), "Orders.CustomerID=Customers.CustomerID\r\nextra\r\n");
    EXPECT_TRUE(QString::fromUtf8(fields).startsWith(u"Count=2\r\nF1Name=.Pedidos de São\r\n"_qs));
    DisposeText(links);
    DisposeText(fields);
}
