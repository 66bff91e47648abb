#include "core/ui/fieldtree.h"

#include "modeltesting.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class FieldTreeTest : public ModelTest {
protected:
    QTreeWidget tree;
    TDSFieldGroup* money = nullptr;

    void SetUp() override
    {
        TDSTable* orders = T("Orders");
        for (const char* name : {"Number", "Freight", "Tax", "Picture"})
            model.AddField(zfkData, name, orders, name);
        model.Fields()[3]->SetUIR(false);
        money = new TDSFieldGroup(&model);
        money->SetGroupName("Money");
        model.FieldGroups().Add(money);
        model.Fields()[1]->SetGroup(money);
        model.Fields()[2]->SetGroup(money);
        model.Fields()[2]->SetUIR(false);
        auto* empty = new TDSFieldGroup(&model);
        empty->SetGroupName("Empty");
        model.FieldGroups().Add(empty);
    }

    // Captions of the nodes, children indented.
    QStringList Shape() const
    {
        QStringList lines;
        for (int i = 0; i < tree.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* node = tree.topLevelItem(i);
            lines.append(node->text(0));
            for (int j = 0; j < node->childCount(); ++j)
                lines.append("  " + node->child(j)->text(0));
        }
        return lines;
    }
};

// Fields hidden from results stay out of the tree; root fields go before or after the groups, and
// empty groups are shown. Nodes carry their group or field.
TEST_F(FieldTreeTest, GroupsAndRootFieldsInEitherOrder)
{
    FillFieldTree(&model, &tree, false, false);
    EXPECT_EQ(Shape(), QStringList({"Money", "  Freight", "  Tax", "Empty", "Number", "Picture"}));
    EXPECT_EQ(NodeGroup(tree.topLevelItem(0)), money);
    EXPECT_EQ(NodeField(tree.topLevelItem(0)->child(0)), model.Fields()[1]);
    FillFieldTree(&model, &tree, true, true);
    EXPECT_EQ(Shape(), QStringList({"Number", "Money", "  Freight", "Empty"}));
}

// Code that fills the tree must not run the handlers of user actions.
TEST_F(FieldTreeTest, FillingFiresNoSignalsAndLeavesPaintingOn)
{
    int fired = 0;
    QObject::connect(&tree, &QTreeWidget::currentItemChanged, [&] { ++fired; });
    FillFieldTree(&model, &tree, false, false);
    tree.setCurrentItem(tree.topLevelItem(0));
    fired = 0;
    FillFieldTree(&model, &tree, false, false);
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(tree.updatesEnabled());
}

}  // namespace
