#include "core/gate/dbgate.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

namespace {

QString GatePath(const QString& Name)
{
    return QStringLiteral(TEST_GATE_DIR "/") + Name;
}

// The test hooks of one test gate library, whose instance is the one the component loads. The
// library stays mapped like every gate, so the hooks stay valid whatever the component unloads.
struct GateRecord {
    void (*Reset)() = nullptr;
    const char* (*Log)() = nullptr;
    int (*Outstanding)() = nullptr;

    explicit GateRecord(const QString& Name)
    {
        QLibrary library(GatePath(Name + ".so"));
        library.setLoadHints(QLibrary::PreventUnloadHint);
        library.load();
        Reset = reinterpret_cast<void (*)()>(library.resolve("testgate_reset"));
        Log = reinterpret_cast<const char* (*)()>(library.resolve("testgate_log"));
        Outstanding = reinterpret_cast<int (*)()>(library.resolve("testgate_outstanding"));
        Reset();
    }
    // The calls since the last reset, one per line.
    QStringList Calls() const { return QString::fromUtf8(Log()).split('\n', Qt::SkipEmptyParts); }
};

QString MessageOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const EZDBGateError& e) {
        return e.Message();
    }
    return "no error";
}

// A gate over the complete test library, its record reset.
struct DBGateTest : ::testing::Test {
    GateRecord Record {"Complete"};
    TZDBGate Gate;
    DBGateTest() { Gate.SetDLLPath(GatePath("Complete.so")); }
};

}  // namespace

TEST(DBGateLoading, StoredDllNameAndFolderCaseResolveToTheLibrary)
{
    const QString upperFolder = QFileInfo(TEST_GATE_DIR).path() + "/GATES\\Complete.dll";
    for (const QString& path : {GatePath("Complete.dll"), GatePath("complete.DLL"), upperFolder}) {
        TZDBGate gate;
        gate.SetDLLPath(path);
        EXPECT_EQ(gate.GetDLLInfo(), "Test gate") << path.toStdString();
    }
}

TEST(DBGateLoading, FailuresNameTheLibraryOrTheMissingEntry)
{
    const QString missing = GatePath("Nothing.dll");
    const QString cases[][2] = {
        {"", "Can not load DLL \"\""},
        {missing, "Can not load DLL \"" + missing + "\""},
        {GatePath("NoShowResult.dll"), "Can not load function \"showresult\" from DLL"},
        {GatePath("NoCurrentDBName.dll"), "Can not load function \"getcurrentdbname\" from DLL"},
    };
    for (const auto& [path, message] : cases) {
        TZDBGate gate;
        gate.SetDLLPath(path);
        QStringList lines {"kept"};
        EXPECT_FALSE(gate.IsConnected());
        gate.SaveInfo(lines);
        EXPECT_EQ(lines, QStringList {"kept"});
        EXPECT_FALSE(gate.TryLoadGate());
        EXPECT_EQ(MessageOf([&] { gate.GetTables(lines); }), message) << path.toStdString();
        EXPECT_EQ(MessageOf([&] { gate.LoadGate(); }), message);
    }
}

// A missing gate used to be looked for again by every question, so reading a large model took many
// times as long as without database information. The library turns up only after the first try; a
// library that lacked an entry is not looked at again even with its file gone.
TEST(DBGateLoading, FailedLoadIsRememberedUntilConnectOrAnotherPath)
{
    const std::function<void(TZDBGate&, const QString&)> recoveries[] = {
        [](TZDBGate& gate, const QString&) { gate.Connect(); },
        [](TZDBGate& gate, const QString& path) {
            gate.SetDLLPath(GatePath("Complete.so"));
            gate.SetDLLPath(path);
        },
    };
    for (const auto& recover : recoveries) {
        QTemporaryDir folder;
        const QString path = folder.filePath("Late.so");
        TZDBGate gate;
        gate.SetDLLPath(path);
        EXPECT_FALSE(gate.IsConnected());
        ASSERT_TRUE(QFile::copy(GatePath("Complete.so"), path));
        EXPECT_FALSE(gate.IsConnected());
        gate.SetDLLPath(path);
        EXPECT_EQ(MessageOf([&] { gate.GetDLLInfo(); }), "Can not load DLL \"" + path + "\"");
        recover(gate, path);
        EXPECT_TRUE(gate.TryLoadGate());
        EXPECT_EQ(gate.GetDLLInfo(), "Test gate");
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("Partial.so");
    ASSERT_TRUE(QFile::copy(GatePath("NoShowResult.so"), path));
    TZDBGate gate;
    gate.SetDLLPath(path);
    EXPECT_FALSE(gate.TryLoadGate());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(MessageOf([&] { gate.LoadGate(); }), "Can not load function \"showresult\" from DLL");
}

// Every text the gate hands out through an out parameter must go back to it, after connecting once;
// a null one reads as empty, and the gate's own texts are not handed back.
TEST_F(DBGateTest, QuestionsConnectWhenNeededAndHandTheTextsBack)
{
    QStringList tables {"stale"}, values, items;
    Gate.GetTables(tables);
    EXPECT_EQ(tables, QStringList({"Customers", "Orders"}));
    Gate.GetSQLValues("SELECT ID, Name FROM T", values, items);
    EXPECT_EQ(values, QStringList({"1", "2"}));
    EXPECT_EQ(items, QStringList({"One", "Two"}));
    EXPECT_EQ(Record.Calls(),
        QStringList(
            {"getconnected", "connectbase", "getconnected", "tablesbydatabase", "disposetext:Customers",
                "getconnected", "getsqlvalues:SELECT ID, Name FROM T", "disposetext:1", "disposetext:One"}));
    EXPECT_EQ(Record.Outstanding(), 0);

    Record.Reset();
    QStringList names {"stale"};
    Gate.GetDatabaseNames(names);
    EXPECT_TRUE(names.isEmpty());
    Gate.SetCurrentDBName(u"Vendas São Paulo"_qs);
    EXPECT_EQ(Gate.GetCurrentDBName(), u"Vendas São Paulo"_qs);
    EXPECT_EQ(Record.Calls().last(), "getcurrentdbname");
    EXPECT_FALSE(Record.Calls().join(' ').contains("disposetext"));
}

// A gate that did not connect must not answer as if the database were empty, and its reason must
// reach the user.
TEST(DBGateQuestions, FailedConnectRaisesInsteadOfAnsweringNothing)
{
    GateRecord record("NoConnect");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("NoConnect.so"));
    QStringList tables {"stale"};
    EXPECT_EQ(MessageOf([&] { gate.GetTables(tables); }), "Can not connect to the database\nno server here");
    EXPECT_EQ(tables, QStringList {"stale"});
    EXPECT_EQ(
        record.Calls(), QStringList({"getconnected", "connectbase", "getconnected", "getconnecterror"}));
    EXPECT_THROW(gate.GetFields("Orders"), EZDBGateError);
    QWidget parent;
    EXPECT_THROW(gate.ShowResult(&parent, {"SELECT 1"}, {}), EZDBGateError);
    EXPECT_TRUE(parent.children().isEmpty());
}

// Fields of a table in one database must not answer for a table of the same name in another.
TEST_F(DBGateTest, FieldCacheFollowsTheDatabaseSetThroughTheGate)
{
    for (const char* db : {"north", "south", "south"}) {
        Gate.SetCurrentDBName(db);
        EXPECT_EQ(Gate.GetFields("Orders").GetItem(0)->Name, db + QString(".Orders"));
    }
    EXPECT_EQ(Record.Calls().filter("fieldsbytable:").size(), 2);
    EXPECT_EQ(Record.Outstanding(), 0);
}

TEST_F(DBGateTest, SamePathKeepsTheLibraryAnotherReleasesItAndItsWidgets)
{
    QWidget parent;
    EXPECT_EQ(Gate.ShowResult(&parent, {"SELECT Name", "FROM T"}, {"Name", "Sum"}), 7);
    Gate.RepaintResult();
    EXPECT_EQ(Record.Calls().mid(Record.Calls().size() - 2),
        QStringList({"showresult:SELECT Name|FROM T|/Name|Sum|", "repaintresult"}));
    QPointer<QWidget> page = Gate.ConnectDialogParented(&parent);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->parentWidget(), &parent);
    EXPECT_EQ(page->height(), 40);
    QPointer<QLabel> view = parent.findChild<QLabel*>();
    ASSERT_TRUE(view);

    Gate.SetDLLPath(GatePath("Complete.so"));
    EXPECT_TRUE(view && page);

    // The widgets run the library's code, so they go before the library does.
    Gate.SetDLLPath(GatePath("NoConnect.so"));
    EXPECT_FALSE(view || page);
    EXPECT_FALSE(Record.Calls().contains("disconnectbase"));

    // Widgets already gone are not touched.
    Gate.SetDLLPath(GatePath("Complete.so"));
    {
        QWidget shortLived;
        Gate.ShowResult(&shortLived, {"SELECT 1"}, {});
        Gate.ConnectDialogParented(&shortLived);
    }
    Gate.UnloadGate();
    EXPECT_EQ(Gate.GetDLLInfo(), "Test gate");
}

// Destroying a gate that was never used used to load its library just to ask whether it was
// connected.
TEST(DBGateLifetime, DestructionDisconnectsThenReleasesTheWidgetsAndAnUnusedGateLoadsNothing)
{
    GateRecord record("Complete");
    auto gate = std::make_unique<TZDBGate>();
    gate->SetDLLPath(GatePath("Complete.so"));
    gate.reset();
    EXPECT_TRUE(record.Calls().isEmpty());

    QWidget parent;
    gate = std::make_unique<TZDBGate>();
    gate->SetDLLPath(GatePath("Complete.so"));
    gate->ShowResult(&parent, {"SELECT 1"}, {});
    QPointer<QLabel> view = parent.findChild<QLabel*>();
    gate.reset();
    EXPECT_EQ(record.Calls().mid(record.Calls().size() - 2), QStringList({"getconnected", "disconnectbase"}));
    EXPECT_FALSE(view);
}

// Connection details must survive a gate that cannot be loaded, up to the next model save.
TEST(DBGateDetails, DetailsAreKeptUntilAGateLoadsAndThenHandedToIt)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Missing.dll"));
    const QStringList details {"Database=sales.sqlite", "User=ann"};
    QStringList lines = details, saved;
    gate.LoadInfo(lines);
    EXPECT_EQ(lines, details);
    gate.SaveInfo(saved);
    EXPECT_EQ(saved, details);

    gate.SetDLLPath(GatePath("Complete.so"));
    EXPECT_TRUE(gate.TryLoadGate());
    EXPECT_EQ(record.Calls(), QStringList {"loadinfo:Database=sales.sqlite|User=ann|"});
    saved.clear();
    gate.SaveInfo(saved);
    EXPECT_EQ(saved, details);
    EXPECT_EQ(record.Outstanding(), 0);

    // Handed over once: a reload of the library does not repeat it; a loaded gate takes new lines
    // at once, and they stay with the caller.
    record.Reset();
    gate.UnloadGate();
    QStringList next {"Database=b.sqlite"};
    gate.LoadInfo(next);
    EXPECT_EQ(next, QStringList {"Database=b.sqlite"});
    EXPECT_EQ(record.Calls(), QStringList {"loadinfo:Database=b.sqlite|"});
}
