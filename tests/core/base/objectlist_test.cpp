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

void Watch(TZObjectList<Tracked>& list, Log& log)
{
    list.OnChange = [&](TZObjectList<Tracked>* sender) {
        EXPECT_EQ(sender, &list);
        log.push_back("change");
    };
    list.OnEmpty = [&](TZObjectList<Tracked>*) { log.push_back("empty"); };
}

// OnChange fires before OnEmpty, OnEmpty only when nothing is left; Delete hands the object
// back alive, DeleteAndFree frees it before the events; a bad index raises before anything changes.
TEST(ObjectList, ChangeComesFirstAndEmptyOnlyWhenNothingIsLeft)
{
    Log log;
    TZObjectList<Tracked> list;
    Watch(list, log);
    list.Clear();
    EXPECT_EQ(list.Add(new Tracked {&log, "a"}), 0);
    list.Insert(0, new Tracked {&log, "b"});
    Tracked* b = list[0];
    list.Delete(0);
    EXPECT_THROW(list.Delete(1), rtl::EListError);
    EXPECT_THROW(list.Insert(2, nullptr), rtl::EListError);
    EXPECT_THROW(list.SetItem(1, nullptr), rtl::EListError);
    list.DeleteAndFree(0);
    EXPECT_EQ(log, (Log {"change", "empty", "change", "change", "change", "free a", "change", "empty"}));
    EXPECT_EQ(b->Name, "b");
    delete b;
}

// SetItem used to drop the replaced object without freeing it; Extract, Remove and FreeObjects
// stay quiet and free nothing more than they say.
TEST(ObjectList, QuietOperationsFreeOnlyWhatTheyReplace)
{
    Log log;
    TZObjectList<Tracked> list;
    for (const char* name : {"a", "b", "c"})
        list.Add(new Tracked {&log, name});
    Watch(list, log);
    list.SetItem(0, list[0]);
    list.SetItem(0, new Tracked {&log, "d"});
    Tracked* b = list.Extract(list[1]);
    EXPECT_EQ(list.Remove(b), -1);
    EXPECT_EQ(log, (Log {"free a"}));
    list.FreeObjects();
    EXPECT_EQ(log, (Log {"free a", "free d", "free c"}));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], nullptr);
    delete b;
}

// Destroying frees everything and notifies once more, even when the objects remove themselves
// from the list while dying (which used to make the loop skip the next one).
TEST(ObjectList, DestroyingFreesObjectsThatRemoveThemselves)
{
    Log log;
    {
        TZObjectList<Tracked> list;
        for (const char* name : {"a", "b", "c"})
            list.Add(new Tracked {&log, name, &list});
        Watch(list, log);
    }
    EXPECT_EQ(log, (Log {"free a", "free b", "free c", "change", "empty"}));
}

}  // namespace
