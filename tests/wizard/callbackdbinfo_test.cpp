#include "wizard/callbackdbinfo.h"

#include "core/dbinfo/fieldlist.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The program's side of the callbacks: fixed answers, with every text it hands out counted, so a
// test sees texts that never came back or came back twice.
struct FakeProgram {
    static inline int Outstanding = 0;
    static inline int Disposed = 0;
    static inline QString CurrentDB = QStringLiteral("north");
    static inline std::u16string CurrentDBText;
    static inline QStringList FieldRequests;
    static inline bool AnswerNull = false;

    static char* Text(const char* Lines)
    {
        if (AnswerNull)
            return nullptr;
        ++Outstanding;
        return strdup(Lines);
    }
    static char* DatabaseNames() { return Text("north\r\nsouth\r\n"); }
    static const char16_t* GetCurrentDB()
    {
        CurrentDBText = CurrentDB.toStdU16String();
        return AnswerNull ? nullptr : CurrentDBText.c_str();
    }
    static void SetCurrentDB(const char16_t* Name) { CurrentDB = QString::fromUtf16(Name); }
    static char* Tables() { return Text("Orders\r\nCustomers\r\n"); }
    static char* Fields(const char* Table)
    {
        FieldRequests.append(QString::fromUtf8(Table));
        const QByteArray text = "Count=1\r\nF1Name=" + CurrentDB.toUtf8() + "_" + Table
            + "\r\nF1Size=4\r\nF1Type=ftInteger\r\n";
        return Text(text.constData());
    }
    static char* Links() { return Text("Orders.CustomerID=Customers.CustomerID\r\n"); }
    static uint8_t Connected() { return 1; }
    static void Dispose(char* Text)
    {
        --Outstanding;
        ++Disposed;
        free(Text);
    }

    static TZCallbackDBInfo::TCallbacks Callbacks()
    {
        Outstanding = Disposed = 0;
        CurrentDB = QStringLiteral("north");
        FieldRequests.clear();
        AnswerNull = false;
        return {DatabaseNames, GetCurrentDB, SetCurrentDB, Tables, Fields, Links, Connected, Dispose};
    }
};

}  // namespace

TEST(CallbackDBInfo, QuestionsBeforeTheCallbacksAreSetRaiseButConnectedAnswersFalse)
{
    TZCallbackDBInfo info;
    QStringList lines;
    TDBFieldList fields;
    EXPECT_FALSE(info.IsConnected());
    try {
        info.GetTables(lines);
        FAIL() << "no error";
    } catch (const EZCallbackDBInfoError& e) {
        EXPECT_EQ(e.Message(), "Callback Data Model functions are not initialized");
    }
    EXPECT_THROW(info.GetFieldList("Orders", fields), EZCallbackDBInfoError);
    EXPECT_THROW(info.GetCurrentDBName(), EZCallbackDBInfoError);
    EXPECT_THROW(info.SetCurrentDBName("south"), EZCallbackDBInfoError);
}

// Every text the program answers goes back exactly once; a null answer is an empty list.
TEST(CallbackDBInfo, ListsComeFromTheCallbacksAndEveryTextGoesBack)
{
    TZCallbackDBInfo info;
    info.SetCallbacks(FakeProgram::Callbacks());
    QStringList lines;
    info.GetDatabaseNames(lines);
    EXPECT_EQ(lines, QStringList({"north", "south"}));
    info.GetTables(lines);
    EXPECT_EQ(lines, QStringList({"Orders", "Customers"}));
    info.GetLinks(lines);
    EXPECT_EQ(lines, QStringList({"Orders.CustomerID=Customers.CustomerID"}));
    TDBFieldList fields;
    info.GetFieldList("Orders", fields);
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields.GetItem(0)->Name, "north_Orders");
    EXPECT_EQ(fields.GetItem(0)->FieldType, ftInteger);
    EXPECT_TRUE(info.IsConnected());
    EXPECT_EQ(FakeProgram::Outstanding, 0);
    EXPECT_EQ(FakeProgram::Disposed, 4);

    FakeProgram::AnswerNull = true;
    info.GetTables(lines);
    info.GetFieldList("Orders", fields);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(fields.Count(), 0);
    EXPECT_EQ(info.GetCurrentDBName(), QString());
    EXPECT_EQ(FakeProgram::Disposed, 4);
}

// The current database lives in the program; a switch there or here must not let the cache answer
// a same-named table of the other database.
TEST(CallbackDBInfo, TheCurrentDatabaseIsTheProgramsAndSwitchingItEmptiesTheFieldCache)
{
    TZCallbackDBInfo info;
    info.SetCallbacks(FakeProgram::Callbacks());
    EXPECT_EQ(info.GetCurrentDBName(), "north");
    EXPECT_EQ(info.GetFields("Orders").GetItem(0)->Name, "north_Orders");
    info.SetCurrentDBName("south");
    EXPECT_EQ(FakeProgram::CurrentDB, "south");
    EXPECT_EQ(info.GetFields("Orders").GetItem(0)->Name, "south_Orders");
    FakeProgram::CurrentDB = QStringLiteral("north");
    EXPECT_EQ(info.GetCurrentDBName(), "north");
    EXPECT_EQ(info.GetFields("Orders").GetItem(0)->Name, "north_Orders");
    EXPECT_EQ(FakeProgram::FieldRequests, QStringList({"Orders", "Orders", "Orders"}));
}
