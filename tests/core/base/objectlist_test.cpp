#include "core/base/objectlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Logs its own end, and can look itself up in a list while it dies.
struct Tracked {
    Log* Events;
    std::string Name;
    TZObjectList<Tracked>* Owner = nullptr;

    ~Tracked()
    {
        Events->push_back("free " + Name);
        if (Owner)
            Owner->Remove(this);
    }
};

class ObjectListTest : public testing::Test {
protected:
    Log log;
    TZObjectList<Tracked> list;

    void Fill(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            list.Add(new Tracked{&log, name});
        list.OnChange = [this](TZObjectList<Tracked>* sender) {
            EXPECT_EQ(sender, &list);
            log.push_back("change");
        };
        list.OnEmpty = [this](TZObjectList<Tracked>*) { log.push_back("empty"); };
    }
};

TEST_F(ObjectListTest, ChangeComesFirstAndEmptyOnlyWhenNothingIsLeft)
{
    Fill({});
    list.Clear();
    EXPECT_EQ(list.Add(new Tracked{&log, "a"}), 0);
    list.Insert(0, new Tracked{&log, "b"});
    Tracked* b = list[0];
    list.Delete(0);
    list.DeleteAndFree(0);
    EXPECT_EQ(log, (Log{"change", "empty", "change", "change", "change", "free a", "change", "empty"}));
    EXPECT_EQ(b->Name, "b");  // Delete hands the object to the caller alive
    delete b;
}

TEST_F(ObjectListTest, BadIndexRaisesBeforeAnythingChanges)
{
    Fill({"a"});
    EXPECT_THROW(list.Delete(1), rtl::EListError);
    EXPECT_THROW(list.DeleteAndFree(-1), rtl::EListError);
    EXPECT_THROW(list.GetItem(1), rtl::EListError);
    EXPECT_THROW(list.Insert(2, nullptr), rtl::EListError);
    EXPECT_THROW(list.SetItem(1, nullptr), rtl::EListError);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(list.Count(), 1);
}

// SetItem used to drop the replaced object without freeing it.
TEST_F(ObjectListTest, QuietOperationsFreeOnlyWhatTheyReplace)
{
    Fill({"a", "b", "c"});
    list.SetItem(0, list[0]);
    list.SetItem(0, new Tracked{&log, "d"});
    Tracked* b = list.Extract(list[1]);
    EXPECT_EQ(list.Remove(b), -1);
    EXPECT_EQ(log, (Log{"free a"}));
    list.FreeObjects();
    EXPECT_EQ(log, (Log{"free a", "free d", "free c"}));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], nullptr);
    delete b;
}

TEST_F(ObjectListTest, DestroyingFreesEverythingAndNotifiesOnceMore)
{
    {
        TZObjectList<Tracked> local;
        local.Add(new Tracked{&log, "a"});
        local.Add(new Tracked{&log, "b"});
        local.OnChange = [this](TZObjectList<Tracked>*) { log.push_back("change"); };
        local.OnEmpty = [this](TZObjectList<Tracked>*) { log.push_back("empty"); };
    }
    EXPECT_EQ(log, (Log{"free a", "free b", "change", "empty"}));
}

// An object removing itself from the list while dying must not make Clear skip the next one.
TEST_F(ObjectListTest, ClearSurvivesObjectsThatRemoveThemselves)
{
    Fill({"a", "b", "c"});
    for (Tracked* item : list)
        item->Owner = &list;
    list.Clear();
    EXPECT_EQ(log, (Log{"free a", "free b", "free c", "change", "empty"}));
}

}  // namespace
