#include "core/gate/dbgate.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Readable failure output for texts and lists of texts.
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
class GateRecord {
public:
    explicit GateRecord(const QString& Name)
    {
        QLibrary library(GatePath(Name + ".so"));
        library.setLoadHints(QLibrary::PreventUnloadHint);
        library.load();
        FReset = reinterpret_cast<void (*)()>(library.resolve("testgate_reset"));
        FLog = reinterpret_cast<const char* (*)()>(library.resolve("testgate_log"));
        FOutstanding = reinterpret_cast<int (*)()>(library.resolve("testgate_outstanding"));
        Reset();
    }
    void Reset() { FReset(); }
    // The calls since the last reset, one per line.
    QStringList Calls() const { return QString::fromUtf8(FLog()).split('\n', Qt::SkipEmptyParts); }
    int Outstanding() const { return FOutstanding(); }

private:
    void (*FReset)() = nullptr;
    const char* (*FLog)() = nullptr;
    int (*FOutstanding)() = nullptr;
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

}  // namespace

TEST(DBGateLoading, StoredDllNameAndFolderCaseResolveToTheLibrary)
{
    GateRecord record("Complete");
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
    const struct {
        QString Path;
        QString Message;
    } cases[] = {
        {"", "Can not load DLL \"\""},
        {missing, "Can not load DLL \"" + missing + "\""},
        {GatePath("NoShowResult.dll"), "Can not load function \"showresult\" from DLL"},
        {GatePath("NoCurrentDBName.dll"), "Can not load function \"getcurrentdbname\" from DLL"},
    };
    for (const auto& c : cases) {
        TZDBGate gate;
        gate.SetDLLPath(c.Path);
        QStringList lines {"kept"};
        EXPECT_FALSE(gate.IsConnected());
        gate.SaveInfo(lines);
        EXPECT_EQ(lines, QStringList {"kept"});
        EXPECT_FALSE(gate.TryLoadGate());
        EXPECT_EQ(MessageOf([&] { gate.GetTables(lines); }), c.Message) << c.Path.toStdString();
        EXPECT_EQ(MessageOf([&] { gate.LoadGate(); }), c.Message);
    }
}

// A missing gate used to be looked for again by every question, so reading a large model took many
// times as long as without database information. The library turns up only after the first try.
TEST(DBGateLoading, FailedLoadIsRememberedUntilConnectOrAnotherPath)
{
    const struct {
        const char* Recovery;
        std::function<void(TZDBGate&, const QString&)> Recover;
    } cases[] = {
        {"connect", [](TZDBGate& gate, const QString&) { gate.Connect(); }},
        {"another path",
            [](TZDBGate& gate, const QString& path) {
                gate.SetDLLPath(GatePath("Complete.so"));
                gate.SetDLLPath(path);
            }},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString path = folder.filePath("Late.so");
        TZDBGate gate;
        gate.SetDLLPath(path);
        EXPECT_FALSE(gate.IsConnected());
        ASSERT_TRUE(QFile::copy(GatePath("Complete.so"), path));
        EXPECT_FALSE(gate.IsConnected()) << c.Recovery;
        gate.SetDLLPath(path);
        EXPECT_EQ(MessageOf([&] { gate.GetDLLInfo(); }), "Can not load DLL \"" + path + "\"");
        c.Recover(gate, path);
        EXPECT_TRUE(gate.TryLoadGate()) << c.Recovery;
        EXPECT_EQ(gate.GetDLLInfo(), "Test gate");
    }
}

// A library that lacked an entry is not looked at again: with its file gone, the message still
// names the entry.
TEST(DBGateLoading, MissingEntryIsRemembered)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Partial.so");
    ASSERT_TRUE(QFile::copy(GatePath("NoShowResult.so"), path));
    TZDBGate gate;
    gate.SetDLLPath(path);
    EXPECT_FALSE(gate.TryLoadGate());
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(MessageOf([&] { gate.LoadGate(); }), "Can not load function \"showresult\" from DLL");
}

// Every text the gate hands out through an out parameter must go back to it, after connecting once.
TEST(DBGateQuestions, ConnectsWhenNeededAndHandsTheTextsBack)
{
    const struct {
        std::function<QStringList(TZDBGate&)> Ask;
        QStringList Answer;
        QStringList Calls;
    } cases[] = {
        {[](TZDBGate& gate) {
             QStringList tables {"stale"};
             gate.GetTables(tables);
             return tables;
         },
            {"Customers", "Orders"}, {"tablesbydatabase", "disposetext:Customers"}},
        // The first text holds the values, the second the items.
        {[](TZDBGate& gate) {
             QStringList values, items;
             gate.GetSQLValues("SELECT ID, Name FROM T", values, items);
             return values + items;
         },
            {"1", "2", "One", "Two"},
            {"getsqlvalues:SELECT ID, Name FROM T", "disposetext:1", "disposetext:One"}},
    };
    for (const auto& c : cases) {
        GateRecord record("Complete");
        TZDBGate gate;
        gate.SetDLLPath(GatePath("Complete.so"));
        EXPECT_EQ(c.Ask(gate), c.Answer);
        EXPECT_EQ(record.Calls(), QStringList({"getconnected", "connectbase", "getconnected"}) + c.Calls);
        EXPECT_EQ(record.Outstanding(), 0);
    }
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

// Only texts handed out through out parameters go back; a null one reads as empty.
TEST(DBGateQuestions, NullAndGatesOwnTextsAreNotHandedBack)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Complete.so"));
    QStringList names {"stale"};
    gate.GetDatabaseNames(names);
    EXPECT_TRUE(names.isEmpty());
    gate.SetCurrentDBName(u"Vendas São Paulo"_qs);
    EXPECT_EQ(gate.GetCurrentDBName(), u"Vendas São Paulo"_qs);
    const QStringList calls = record.Calls();
    EXPECT_TRUE(calls.contains(u"setcurrentdbname:Vendas São Paulo"_qs));
    EXPECT_EQ(calls.last(), "getcurrentdbname");
    EXPECT_FALSE(calls.join(' ').contains("disposetext"));
}

// Fields of a table in one database must not answer for a table of the same name in another.
TEST(DBGateQuestions, FieldCacheFollowsTheDatabaseSetThroughTheGate)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Complete.so"));
    gate.SetCurrentDBName("north");
    EXPECT_EQ(gate.GetFields("Orders").GetItem(0)->Name, "north.Orders");
    gate.SetCurrentDBName("south");
    EXPECT_EQ(gate.GetFields("Orders").GetItem(0)->Name, "south.Orders");
    gate.SetCurrentDBName("south");
    gate.GetFields("Orders");
    EXPECT_EQ(record.Calls().filter("fieldsbytable:").size(), 2);
    EXPECT_EQ(record.Outstanding(), 0);
}

TEST(DBGateLifetime, SamePathKeepsTheLibraryAnotherReleasesItAndItsWidgets)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Complete.so"));
    QWidget parent;
    parent.resize(300, 200);
    EXPECT_EQ(gate.ShowResult(&parent, {"SELECT Name", "FROM T"}, {"Name", "Sum"}), 7);
    gate.RepaintResult();
    EXPECT_EQ(record.Calls().mid(record.Calls().size() - 2),
        QStringList({"showresult:SELECT Name|FROM T|/Name|Sum|", "repaintresult"}));
    QWidget* page = gate.ConnectDialogParented(&parent);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->parentWidget(), &parent);
    EXPECT_EQ(page->height(), 40);
    QPointer<QLabel> view = parent.findChild<QLabel*>();
    QPointer<QWidget> pagePointer = page;
    ASSERT_TRUE(view);

    gate.SetDLLPath(GatePath("Complete.so"));
    EXPECT_TRUE(view);
    EXPECT_TRUE(pagePointer);

    // The widgets run the library's code, so they go before the library does.
    gate.SetDLLPath(GatePath("NoConnect.so"));
    EXPECT_FALSE(view);
    EXPECT_FALSE(pagePointer);
    EXPECT_FALSE(record.Calls().contains("disconnectbase"));
}

TEST(DBGateLifetime, DestructionDisconnectsThenReleasesTheWidgets)
{
    GateRecord record("Complete");
    QWidget parent;
    auto gate = std::make_unique<TZDBGate>();
    gate->SetDLLPath(GatePath("Complete.so"));
    gate->ShowResult(&parent, {"SELECT 1"}, {});
    QPointer<QLabel> view = parent.findChild<QLabel*>();
    gate.reset();
    EXPECT_EQ(record.Calls().mid(record.Calls().size() - 2), QStringList({"getconnected", "disconnectbase"}));
    EXPECT_FALSE(view);
}

// Destroying a gate that was never used used to load its library just to ask whether it was
// connected.
TEST(DBGateLifetime, DestroyingAnUnusedGateLoadsNothing)
{
    GateRecord record("Complete");
    {
        TZDBGate gate;
        gate.SetDLLPath(GatePath("Complete.so"));
    }
    EXPECT_TRUE(record.Calls().isEmpty());
}

TEST(DBGateLifetime, WidgetsAlreadyGoneAreNotTouched)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Complete.so"));
    {
        QWidget parent;
        gate.ShowResult(&parent, {"SELECT 1"}, {});
        gate.ConnectDialogParented(&parent);
    }
    gate.UnloadGate();
    EXPECT_EQ(gate.GetDLLInfo(), "Test gate");
}

// Connection details must survive a gate that cannot be loaded, up to the next model save.
TEST(DBGateDetails, DetailsAreKeptUntilAGateLoadsAndThenHandedToIt)
{
    GateRecord record("Complete");
    TZDBGate gate;
    gate.SetDLLPath(GatePath("Missing.dll"));
    QStringList details {"Database=sales.sqlite", "User=ann"};
    gate.LoadInfo(details);
    EXPECT_EQ(details, QStringList({"Database=sales.sqlite", "User=ann"}));
    QStringList saved;
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
