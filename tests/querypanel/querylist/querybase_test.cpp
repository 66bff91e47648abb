#include "querypanel/querylist/querybase.h"
#include "rtl/textfile.h"
#include "tests/querypanel/querylist/querylisttesting.h"
#include "tests/rtl/fifoopener.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Records what the base tells it and answers SaveQuery with its Text when it has one.
class RecordingLink : public TZQueryBaseLink {
public:
    QStringList Log;
    std::optional<QStringList> Text;

    void ItemChanged(int Index) override { Log << QString("item %1").arg(Index); }
    void ActiveItemChanged() override { Log << QString("active %1").arg(QueryBase()->ItemIndex()); }
    void BaseChanged(uint8_t Kind, int Index) override { Log << QString("base %1 %2").arg(Kind).arg(Index); }
    bool SaveQuery(rtl::StringList& Lines) override
    {
        if (Text)
            Lines = *Text;
        return Text.has_value();
    }
};

struct OpenBase {
    QueryFolder Folder;
    TZQueryFileBase Base;
    RecordingLink Link;

    explicit OpenBase(int Count) : Folder(Count)
    {
        Base.SetWorkDir(Folder.Dir.path());
        Link.SetQueryBase(&Base);
        Base.Open();
        Link.Log.clear();
    }
    QString NameAt(int N) const { return Base.Items(N)->Name(); }
    QString PathOf(int N) const { return static_cast<TZQueryFileItem*>(Base.Items(N))->FilePath(); }
};

// The header gives the name and the description; a file without a name is listed by its path.
TEST(QueryBaseOpenTest, AnEmptyFolderListsNothingAndTheHeaderGivesNameAndDescription)
{
    QueryFolder folder(0);
    TZQueryFileBase base;
    RecordingLink link;
    link.SetQueryBase(&base);
    base.SetWorkDir(folder.Dir.path());
    base.Open();
    EXPECT_EQ(base.Count(), 0);
    EXPECT_EQ(base.ItemIndex(), -1);
    EXPECT_EQ(link.Log, QStringList({"base 0 -1"}));
    EXPECT_TRUE(base.Active());

    WriteQuery(
        folder.Dir.path(), "orders.qry", "Orders", "[Description]\nFirst line\n\nSecond line\n[Row]\n");
    rtl::WriteTextFile(folder.Path("a.b.qry"), "[Main]\nQueryName=\nVersion=3.5\n");
    base.Open();
    ASSERT_EQ(base.Count(), 2);
    const int orders = base.IndexOfName("orders");
    ASSERT_GE(orders, 0);
    EXPECT_EQ(base.Items(orders)->Description(), "First line\r\nSecond line\r\n");
    EXPECT_EQ(base.Items(1 - orders)->Name(), folder.Dir.path() + "/a");
    EXPECT_EQ(base.Items(1 - orders)->Description(), "");
}

// Opening an open base, or moving it to another folder, listed the items again beside the old ones,
// whose paths then pointed into the new folder.
TEST(QueryBaseOpenTest, ReopeningOrMovingTheFolderListsEachFileOnce)
{
    OpenBase b(3);
    b.Base.Open();
    EXPECT_EQ(b.Base.Count(), 3);
    EXPECT_EQ(b.Base.ItemIndex(), 0);

    QueryFolder other(1);
    b.Base.SetWorkDir(other.Dir.path());
    ASSERT_EQ(b.Base.Count(), 1);
    EXPECT_EQ(b.NameAt(0), "Query A");
    EXPECT_EQ(b.PathOf(0), other.Path("a.qry"));
    EXPECT_EQ(b.Base.WorkDir(), other.Dir.path() + "/");
    b.Base.SetWorkDir(other.Dir.path() + "/");
    EXPECT_EQ(b.Base.Count(), 1);
}

// A file that could not be read left the base loading, silencing every later notification, and the
// next Open listed the files read before it a second time. One bad file then ended the listing: the
// queries after it in the folder's order were never listed, and the list was left closed. A FIFO, a
// folder or a device named like a query was left out without a word.
TEST(QueryBaseOpenTest, AnUnreadableFileIsLeftOutAndReportedOnceAfterEveryOtherIsListed)
{
    QueryFolder folder(5);
    ASSERT_TRUE(QFile::link(folder.Path("gone"), folder.Path("aaa.qry")));
    ASSERT_TRUE(QFile::link(folder.Path("zzz.qry"), folder.Path("zzz.qry")));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.Path("fifo.qry")).constData(), 0600), 0);
    const FifoOpener writer(folder.Path("fifo.qry"));
    ASSERT_TRUE(QDir().mkdir(folder.Path("folder.qry")));
    ASSERT_TRUE(QFile::link("/dev/null", folder.Path("null.qry")));
    const QStringList unread = {"aaa.qry", "zzz.qry", "fifo.qry", "folder.qry", "null.qry"};
    TZQueryFileBase base;
    RecordingLink link;
    link.SetQueryBase(&base);
    base.SetWorkDir(folder.Dir.path());
    QString message;
    for (int open = 0; open < 2; ++open) {
        SCOPED_TRACE(open == 0 ? "first open" : "second open");
        link.Log.clear();
        try {
            base.Open();
            ADD_FAILURE() << "no error";
        } catch (const EZQueryBaseError& e) {
            EXPECT_EQ(e.ErrorCode(), qbeUnreadFiles);
            message = e.Message();
        }
        EXPECT_FALSE(base.Loading());
        EXPECT_TRUE(base.Active());
        ASSERT_EQ(base.Count(), 5);
        EXPECT_EQ(base.ItemIndex(), 0);
        EXPECT_TRUE(base.CurrentItem()->Name().startsWith("Query "));
        EXPECT_EQ(link.Log.mid(link.Log.size() - 2), QStringList({"base 0 -1", "active 0"}));
        for (const QString& name : unread)
            EXPECT_EQ(message.count(folder.Path(name)), 1) << message.toStdString();
    }
    // Nothing is written through the link that leads nowhere or over what is no query, by the query
    // list or by a new query.
    EXPECT_TRUE(QFileInfo(folder.Path("aaa.qry")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(folder.Path("gone")));
    link.Text = QStringList({"[Main]", "QueryName=New"});
    auto owned = base.NewItem();
    auto* item = static_cast<TZQueryFileItem*>(owned.get());
    base.AddItem(std::move(owned));
    for (const QString& name : unread) {
        item->SetFileName(name);
        EXPECT_EQ(QueryBaseErrorCode([&] { item->Save(); }), qbeFileTaken) << name.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(folder.Path("gone")));

    for (const QString& name : unread)
        ASSERT_TRUE(QFile::remove(folder.Path(name)) || QDir().rmdir(folder.Path(name)));
    link.Log.clear();
    base.Open();
    EXPECT_EQ(base.Count(), 5);
    EXPECT_EQ(link.Log.mid(link.Log.size() - 2), QStringList({"base 0 -1", "active 0"}));
}

// A FIFO named like a query hung the listing for ever; opening the folder and saving a query
// deleted the copies a user keeps beside the queries, taking "<file>." and six letters for the
// temporary of an interrupted save.
TEST(QueryBaseOpenTest, OnlyRegularFilesAreListedAndTheUsersCopiesStay)
{
    OpenBase b(1);
    ASSERT_EQ(mkfifo(QFile::encodeName(b.Folder.Path("pipe.qry")).constData(), 0600), 0);
    WriteQuery(b.Folder.Dir.path(), "german_orders.qry", "German orders");
    WriteQuery(b.Folder.Dir.path(), "orders_between_dates.qry", "Orders between dates");
    for (const char* name : {"a.qry.BackUp", "a.qry.XyZabc", "a.qry.backup", "a.qry.bak",
             "german_orders.qry.backup", "gone.qry.XyZabc", "orders_between_dates.qry.before"})
        rtl::WriteTextFile(b.Folder.Path(name), "kept");
    const FifoOpener writer(b.Folder.Path("pipe.qry"));
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Open(); }), qbeUnreadFiles);
    ASSERT_EQ(b.Base.Count(), 3);
    EXPECT_GE(b.Base.IndexOfName("Query A"), 0);
    b.Link.Text = QStringList({"[Main]", "QueryName=Saved"});
    for (int i = 0; i < b.Base.Count(); ++i)
        b.Base.Items(i)->Save();
    EXPECT_EQ(QDir(b.Folder.Dir.path()).entryList(QDir::Files, QDir::Name).join(u' '),
        "a.qry a.qry.BackUp a.qry.XyZabc a.qry.backup a.qry.bak german_orders.qry german_orders.qry.backup "
        "gone.qry.XyZabc orders_between_dates.qry orders_between_dates.qry.before");
}

// After the current item went, the one that took its place has the same index, so a plain
// SetItemIndex kept it unloaded; and deleting an earlier item left the index on another query.
TEST(QueryBaseDeleteTest, TheNextElseThePreviousItemBecomesCurrent)
{
    struct Case {
        int Count, Current, Deleted, NewIndex;
        QStringList Log;
    };
    const Case cases[] = {
        {4, 1, 1, 1, {"base 3 1", "active 1"}},
        {3, 2, 2, 1, {"base 3 2", "active 1"}},
        {1, 0, 0, -1, {"base 3 0"}},
        {4, 3, 0, 2, {"base 3 0"}},
        {4, 0, 2, 0, {"base 3 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.Count << " items, current " << c.Current << ", deleted " << c.Deleted);
        OpenBase b(c.Count);
        b.Base.SetItemIndex(c.Current);
        QStringList names;
        for (int i = 0; i < c.Count; ++i)
            names << b.NameAt(i);
        const QString deletedPath = b.PathOf(c.Deleted);
        b.Link.Log.clear();
        b.Base.Delete(c.Deleted);
        names.removeAt(c.Deleted);
        EXPECT_FALSE(QFileInfo::exists(deletedPath));
        ASSERT_EQ(b.Base.Count(), c.Count - 1);
        EXPECT_EQ(b.Base.ItemIndex(), c.NewIndex);
        if (c.NewIndex >= 0) {
            EXPECT_EQ(b.Base.CurrentItem()->Name(), names[c.NewIndex]);
        }
        EXPECT_EQ(b.Link.Log, c.Log);
    }
}

// A file that could not be deleted was dropped from the list all the same, hiding a query that
// still existed.
TEST(QueryBaseDeleteTest, AFileThatCannotBeDeletedRaisesAndKeepsTheItem)
{
    OpenBase b(2);
    ASSERT_TRUE(QDir().mkpath(b.Folder.Path("folder.qry")));
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Open(); }), qbeUnreadFiles);
    ASSERT_EQ(b.Base.Count(), 2);  // a folder is not a query
    const int a = b.Base.IndexOfName("Query A");
    ASSERT_TRUE(QFile::remove(b.PathOf(a)));
    ASSERT_TRUE(QDir().mkpath(b.PathOf(a) + "/inside"));
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Delete(a); }), qbeCannotDelete);
    EXPECT_EQ(b.Base.Count(), 2);
    EXPECT_EQ(b.Base.IndexOfName("Query A"), a);
}

// A change was reported at the index of the first item with that name, ignoring case.
TEST(QueryBaseItemTest, AChangeIsReportedAtTheItemsOwnIndex)
{
    QueryFolder folder(0);
    TZQueryFileBase base;
    RecordingLink link;
    link.SetQueryBase(&base);
    for (const char* name : {"Orders", "ORDERS"}) {
        auto item = std::make_unique<TZQueryFileItem>();
        item->SetName(name);
        base.AddItem(std::move(item));
    }
    link.Log.clear();
    base.Items(1)->SetName("ORDERS");
    EXPECT_TRUE(link.Log.isEmpty());
    base.Items(1)->SetName("Orders");
    base.Items(1)->SetDescription("Shipped\r\n");
    EXPECT_EQ(link.Log, QStringList({"item 1", "item 1"}));
    EXPECT_EQ(base.IndexOfName("orders"), 0);
}

TEST(QueryBaseItemTest, AnIndexOutsideTheListRaisesAndChangesNothing)
{
    OpenBase b(2);
    for (int bad : {-1, 2, 7}) {
        EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.SetItemIndex(bad); }), qbeIndexOutOfBounds);
        EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Delete(bad); }), qbeIndexOutOfBounds);
    }
    b.Base.SetItemIndex(0);
    EXPECT_EQ(b.Base.ItemIndex(), 0);
    EXPECT_EQ(b.Base.Count(), 2);
    EXPECT_TRUE(b.Link.Log.isEmpty());
}

// Saving with no link that answered wrote an empty file over the query.
TEST(QueryBaseSaveTest, SavingWithoutTextRaisesAndKeepsTheFile)
{
    OpenBase b(1);
    const QString before = rtl::ReadTextFile(b.PathOf(0));
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.CurrentItem()->Save(); }), qbeNoQueryText);
    EXPECT_EQ(rtl::ReadTextFile(b.PathOf(0)), before);

    b.Link.Text = QStringList({"[Main]", "QueryName=Query A", "[Row]", "RowCount=0"});
    b.Base.CurrentItem()->Save();
    rtl::StringList lines;
    b.Base.CurrentItem()->ReadData(lines);
    EXPECT_EQ(QStringList(lines), *b.Link.Text);

    TZQueryFileItem loose;
    EXPECT_EQ(QueryBaseErrorCode([&] { loose.Save(); }), qbeNoBase);
}

// A typed file name could reach outside the query folder or replace another query's file.
TEST(QueryBaseSaveTest, AFileNameStaysInTheFolderAndNeverTakesAnotherQuerysFile)
{
    OpenBase b(2);
    b.Link.Text = QStringList({"[Main]", "QueryName=New"});
    for (const char* bad : {"../x.qry", "sub/x.qry", "sub\\x.qry", ".."}) {
        TZQueryFileItem item;
        EXPECT_EQ(QueryBaseErrorCode([&] { item.SetFileName(bad); }), qbeBadFileName) << bad;
    }
    auto owned = b.Base.NewItem();
    auto* item = static_cast<TZQueryFileItem*>(owned.get());
    item->SetFileName("a.qry");  // not yet in the base: the save refuses it
    const int index = b.Base.AddItem(std::move(owned));
    const QString before = rtl::ReadTextFile(b.Folder.Path("a.qry"));
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Items(index)->Save(); }), qbeFileTaken);
    EXPECT_EQ(rtl::ReadTextFile(b.Folder.Path("a.qry")), before);
    EXPECT_EQ(QueryBaseErrorCode([&] { item->SetFileName("b.qry"); }), qbeFileTaken);

    b.Base.Delete(index);  // never saved: the file of that name is not its own
    EXPECT_TRUE(QFileInfo::exists(b.Folder.Path("a.qry")));

    owned = b.Base.NewItem();
    item = static_cast<TZQueryFileItem*>(owned.get());
    item->SetFileName("new.qry");
    b.Base.Items(b.Base.AddItem(std::move(owned)))->Save();
    EXPECT_EQ(rtl::ReadTextFile(b.Folder.Path("new.qry")), "[Main]\r\nQueryName=New\r\n");
    item->Save();  // its own file now
    const int unnamed = b.Base.AddItem(b.Base.NewItem());
    EXPECT_EQ(QueryBaseErrorCode([&] { b.Base.Items(unnamed)->Save(); }), qbeBadFileName);
}

// A query whose text could not be loaded was written over with what the links showed instead, the
// empty query. The item remembers the failure: nothing writes its file until it reads, and choosing
// it again reads it again, so a mended file loads.
TEST(QueryBaseSaveTest, AQueryThatCouldNotBeLoadedIsNotWrittenAndIsReadWhenChosenAgain)
{
    OpenBase b(2);
    b.Link.Text = QStringList({"[Main]", "QueryName=Empty"});
    TZQueryFileItem* item = b.Base.CurrentItem();
    const QString before = rtl::ReadTextFile(b.PathOf(0));
    EXPECT_THROW(
        item->LoadText([](const rtl::StringList&) { throw rtl::Exception("bad value"); }), rtl::Exception);
    EXPECT_TRUE(item->Unread());
    EXPECT_EQ(QueryBaseErrorCode([&] { item->Save(); }), qbeUnreadQuery);
    EXPECT_EQ(QueryBaseErrorCode([&] { item->RenameFile("moved.qry"); }), qbeUnreadQuery);
    EXPECT_EQ(item->FileName(), "a.qry");
    EXPECT_FALSE(QFileInfo::exists(b.Folder.Path("moved.qry")));
    EXPECT_EQ(rtl::ReadTextFile(b.PathOf(0)), before);
    b.Base.SetItemIndex(0);
    EXPECT_EQ(b.Link.Log, QStringList {"active 0"});

    item->LoadText([](const rtl::StringList&) {});
    EXPECT_FALSE(item->Unread());
    b.Link.Log.clear();
    b.Base.SetItemIndex(0);
    EXPECT_TRUE(b.Link.Log.isEmpty());
    item->Save();
    EXPECT_EQ(rtl::ReadTextFile(b.PathOf(0)), "[Main]\r\nQueryName=Empty\r\n");
}

// A freed base left its links pointing at it.
TEST(QueryBaseLinkTest, ADestroyedBaseDetachesItsLinks)
{
    RecordingLink first, second;
    {
        OpenBase b(1);
        first.SetQueryBase(&b.Base);
        second.SetQueryBase(&b.Base);
        second.SetQueryBase(&b.Base);
        EXPECT_EQ(b.Base.Links().size(), 3u);
    }
    EXPECT_EQ(first.QueryBase(), nullptr);
    EXPECT_EQ(second.QueryBase(), nullptr);
    TZQueryFileBase other;
    {
        RecordingLink shortLived;
        shortLived.SetQueryBase(&other);
    }
    EXPECT_TRUE(other.Links().empty());
}

}  // namespace
