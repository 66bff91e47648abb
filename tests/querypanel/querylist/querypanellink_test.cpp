#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "rtl/exception.h"
#include "tests/querypanel/panel/paneltesting.h"
#include "tests/querypanel/querylist/querylisttesting.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// A panel whose query text is the lines it last loaded, so the list's side is seen alone.
class TextPanel : public TZQueryPanel {
public:
    QStringList Loaded;
    int Loads = 0;

    void SaveToStrings(rtl::StringList& Lines) override { Lines = Loaded; }
    void LoadFromStrings(const rtl::StringList& Lines) override
    {
        Clear();
        Loaded = Lines;
        ++Loads;
    }
};

struct PanelListFixture {
    std::unique_ptr<TZDBStructure> Model = MakePanelModel();
    QueryFolder Folder {4};
    TZQueryFileBase Base;
    TextPanel Panel;
    int Changes = 0;

    PanelListFixture()
    {
        Panel.SetDbStruct(Model.get());
        Panel.OnChange = [this](TZQueryPanel*) { ++Changes; };
        Base.SetWorkDir(Folder.Dir.path());
        Base.Open();
        Panel.SetQueryBase(&Base);
    }
    QString CurrentText() const
    {
        rtl::StringList lines;
        Base.CurrentItem()->ReadData(lines);
        return lines.Text();
    }
};

// Renaming another query leaves the panel alone; a change of the current one modifies it.
TEST(PanelQueryListTest, ThePanelLoadsTheCurrentQueryUnmodifiedAndFollowsItsChanges)
{
    PanelListFixture f;
    EXPECT_EQ(f.Panel.Loads, 1);
    EXPECT_EQ(rtl::StringList(f.Panel.Loaded).Text(), f.CurrentText());
    EXPECT_EQ(f.Panel.QueryName(), f.Base.CurrentItem()->Name());
    f.Base.SetItemIndex(2);
    EXPECT_EQ(f.Panel.Loads, 2);
    EXPECT_EQ(f.Panel.QueryName(), f.Base.Items(2)->Name());
    EXPECT_FALSE(f.Panel.Modified());

    f.Changes = 0;
    f.Base.Items(1)->SetName("Other");
    EXPECT_FALSE(f.Panel.Modified());
    EXPECT_EQ(f.Changes, 0);
    f.Base.CurrentItem()->SetDescription("Late orders\r\nBy freight\r\n");
    EXPECT_TRUE(f.Panel.Modified());
    EXPECT_EQ(f.Panel.Description(), QStringList({"Late orders", "By freight"}));
    EXPECT_GT(f.Changes, 0);
}

// With the current query deleted, the query moving into its index was never loaded and the panel
// went on showing (and would have saved) nothing or the deleted one. Deleting the query just before
// the current one cleared the panel and loaded the current query again, losing its changes.
TEST(PanelQueryListTest, DeletingTheCurrentQueryLoadsTheNextOne)
{
    PanelListFixture f;
    f.Base.SetItemIndex(3);
    f.Panel.Loaded.append("[Row]");
    f.Panel.Changed();
    f.Base.Delete(2);
    EXPECT_EQ(f.Panel.Loads, 2);
    EXPECT_TRUE(f.Panel.Modified());
    EXPECT_EQ(f.Panel.Loaded.last(), "[Row]");
    EXPECT_EQ(f.Panel.QueryName(), f.Base.CurrentItem()->Name());
    f.Base.SetItemIndex(1);
    const QString next = f.Base.Items(2)->Name();
    f.Base.Delete(1);
    EXPECT_EQ(f.Panel.QueryName(), next);
    EXPECT_EQ(rtl::StringList(f.Panel.Loaded).Text(), f.CurrentText());
    EXPECT_FALSE(f.Panel.Modified());
    while (f.Base.Count() > 0)
        f.Base.Delete(f.Base.ItemIndex());
    EXPECT_EQ(f.Base.ItemIndex(), -1);
    EXPECT_FALSE(f.Panel.Modified());
}

TEST(PanelQueryListTest, SavingWritesThePanelsTextAndAFreedBaseIsForgotten)
{
    auto f = std::make_unique<PanelListFixture>();
    f->Panel.Loaded = QStringList({"[Main]", "QueryName=Saved", "[Row]", "RowCount=0"});
    f->Base.CurrentItem()->Save();
    EXPECT_EQ(f->CurrentText(), "[Main]\r\nQueryName=Saved\r\n[Row]\r\nRowCount=0\r\n");

    TextPanel panel;
    {
        TZQueryFileBase base;
        base.SetWorkDir(f->Folder.Dir.path());
        base.Open();
        panel.SetQueryBase(&base);
        EXPECT_EQ(panel.QueryBase(), &base);
    }
    EXPECT_EQ(panel.QueryBase(), nullptr);
    panel.LoadCurrentQuery();  // no base: nothing to load
    EXPECT_EQ(panel.Loads, 1);
}

// The folder listing read names and description lines the panel had escaped as they stood in the
// file, so a query called by a two-line name or a description with blank lines listed otherwise.
TEST(PanelQueryListTest, AQuerySavedByThePanelListsWithItsNameAndDescription)
{
    std::unique_ptr<TZDBStructure> model = MakePanelModel();
    QueryFolder folder(0);
    TZQueryFileBase base;
    base.SetWorkDir(folder.Dir.path());
    base.Open();
    TZQueryPanel panel;
    panel.SetDbStruct(model.get());
    panel.SetQueryBase(&base);

    auto owned = base.NewItem();
    static_cast<TZQueryFileItem*>(owned.get())->SetFileName("late.qry");
    owned->SetName("Late\r\norders");
    owned->SetDescription("[Shipped]\r\n\r\nby freight\r\n");
    base.SetItemIndex(base.AddItem(std::move(owned)));
    EXPECT_EQ(panel.QueryName(), "Late\r\norders");
    base.CurrentItem()->Save();
    // A save whose file could not be written marked the query saved all the same.
    panel.Changed();
    const QString path = folder.Path("late.qry");
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    EXPECT_THROW(base.CurrentItem()->Save(), rtl::EFileError);
    EXPECT_TRUE(panel.Modified());
    ASSERT_TRUE(QDir().rmdir(path));
    base.CurrentItem()->Save();
    EXPECT_FALSE(panel.Modified());

    base.Open();
    ASSERT_EQ(base.Count(), 1);
    EXPECT_EQ(base.Items(0)->Name(), "Late\r\norders");
    EXPECT_EQ(base.Items(0)->Description(), "[Shipped]\r\n\r\nby freight\r\n");
    EXPECT_EQ(panel.Description(), QStringList({"[Shipped]", "", "by freight"}));
    EXPECT_FALSE(panel.Modified());
}

}  // namespace
