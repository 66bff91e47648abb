#include "querypanel/controls/dropdownlist.h"

#include <gtest/gtest.h>

namespace {

struct ListFixture : ::testing::Test {
    TDropDownList List;

    void SetUp() override { List.AddItems("", {"v0", "v1", "v2"}, {"Zero", "One", "Two"}); }
};

// A bad index must leave the choice alone; clearing the choice keeps the caption.
TEST_F(ListFixture, SelectingAnItemShowsItsCaptionAndStoresItsValue)
{
    List.SetItemIndex(2);
    EXPECT_THROW(List.SetItemIndex(3), EDDLabelError);
    EXPECT_THROW(List.SetItemIndex(-2), EDDLabelError);
    EXPECT_EQ(List.Value(), "v2");
    EXPECT_EQ(List.Caption(), "Two");
    List.SetItemIndex(-1);
    EXPECT_EQ(List.Value(), "");
    EXPECT_EQ(List.Caption(), "Two");
}

// An unknown value clears a selected item, but stays when none is selected.
TEST_F(ListFixture, AValueFindsItsItemIgnoringCase)
{
    List.SetValue("V1");
    EXPECT_EQ(List.ItemIndex(), 1);
    EXPECT_EQ(List.Value(), "v1");
    List.SetValue("unknown");
    EXPECT_EQ(List.Value(), "");
    EXPECT_EQ(List.Caption(), "One");
    List.SetValue("unknown");
    EXPECT_EQ(List.ItemIndex(), -1);
    EXPECT_EQ(List.Value(), "unknown");
}

TEST_F(ListFixture, ItemsGoIntoGroupsFoundIgnoringCase)
{
    List.AddItem("Orders", "o1", "Order date");
    List.AddItem("ORDERS", "o2", "Shipped");
    List.AddItem("Customers", "c1", "Name");
    ASSERT_EQ(List.Groups().Count(), 3);
    EXPECT_EQ(*List.Groups()[1], QList<int>({3, 4}));
    EXPECT_EQ(List.Groups().FindGroup("customers"), List.Groups()[2]);
    EXPECT_THROW(List.AddItems("X", {"only one"}, {"a", "b"}), rtl::EListError);
    EXPECT_EQ(List.Items().size(), 6) << "a short value list adds nothing";
    List.SetItemIndex(4);
    List.ClearItems();
    EXPECT_EQ(List.ItemIndex(), -1);
    EXPECT_EQ(List.Value(), "o2") << "clearing the items leaves the value";
}

}  // namespace
