#include "core/ui/fieldtree.h"

#include "core/model/dbstructure.h"
#include "platform/cursor.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

namespace {

// The pictures of the two kinds of node. Asked once per fill: the style makes a new icon on every
// call, which costs seconds over a large model.
struct TNodeIcons {
    QIcon Group;
    QIcon Field;

    explicit TNodeIcons(const QWidget* Tree)
        : Group(Style(Tree)->standardIcon(QStyle::SP_DirIcon)),
          Field(Style(Tree)->standardIcon(QStyle::SP_FileIcon))
    {
    }
    static const QStyle* Style(const QWidget* Tree) { return Tree ? Tree->style() : QApplication::style(); }
};

QTreeWidgetItem* NewNode(
    QTreeWidgetItem* Node, const TNodeIcons& Icons, const QString& Caption, void* Item, int Image)
{
    Node->setText(0, Caption);
    Node->setData(0, FieldTreeItemRole, QVariant::fromValue(Item));
    Node->setData(0, FieldTreeImageRole, Image);
    Node->setIcon(0, Image == GroupImage ? Icons.Group : Icons.Field);
    return Node;
}

bool Shown(const TDSField* Field, bool OnlyResultFields)
{
    return !OnlyResultFields || Field->UIR();
}

void FillNodes(
    const TDSFieldList* FieldList, QTreeWidgetItem* Node, bool OnlyResultFields, const TNodeIcons& Icons)
{
    qDeleteAll(Node->takeChildren());
    for (TDSField* field : *FieldList) {
        if (Shown(field, OnlyResultFields))
            NewNode(new QTreeWidgetItem(Node), Icons, field->DisplayName(), field, FieldImage);
    }
}

// Puts the tree's painting and signals back, also when filling fails.
class TBulkUpdate {
public:
    explicit TBulkUpdate(QTreeWidget* Tree) : FTree(Tree), FBlocker(Tree), FWasEnabled(Tree->updatesEnabled())
    {
        FTree->setUpdatesEnabled(false);
    }
    ~TBulkUpdate() { FTree->setUpdatesEnabled(FWasEnabled); }
    TBulkUpdate(const TBulkUpdate&) = delete;
    TBulkUpdate& operator=(const TBulkUpdate&) = delete;

private:
    QTreeWidget* FTree;
    QSignalBlocker FBlocker;
    bool FWasEnabled;
};

}  // namespace

void FillFieldTree(
    TZCustomDBStructure* Model, QTreeWidget* TreeView, bool OnlyResultFields, bool RootFieldsFirst)
{
    platform::HourglassCursor hourglass;
    TBulkUpdate update(TreeView);
    const TNodeIcons icons(TreeView);
    TreeView->clearSelection();
    TreeView->clear();
    auto addRootFields = [&] {
        for (TDSField* field : *Model->RootGroup()) {
            if (Shown(field, OnlyResultFields))
                NewNode(new QTreeWidgetItem(TreeView), icons, field->DisplayName(), field, FieldImage);
        }
    };
    auto addGroups = [&] {
        for (TDSFieldGroup* group : Model->FieldGroups()) {
            QTreeWidgetItem* node
                = NewNode(new QTreeWidgetItem(TreeView), icons, group->GroupName(), group, GroupImage);
            FillNodes(group, node, OnlyResultFields, icons);
        }
    };
    if (RootFieldsFirst) {
        addRootFields();
        addGroups();
    } else {
        addGroups();
        addRootFields();
    }
}

void FillFieldNodes(const TDSFieldList* FieldList, QTreeWidgetItem* Node, bool OnlyResultFields)
{
    FillNodes(FieldList, Node, OnlyResultFields, TNodeIcons(Node->treeWidget()));
}

QList<QTreeWidgetItem*> FieldTreeNodes(const QTreeWidget* Tree)
{
    QList<QTreeWidgetItem*> nodes;
    for (int i = 0; i < Tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = Tree->topLevelItem(i);
        nodes.append(node);
        for (int j = 0; j < node->childCount(); ++j)
            nodes.append(node->child(j));
    }
    return nodes;
}

void TakeFieldTreeNode(QTreeWidgetItem* Node)
{
    if (QTreeWidgetItem* parent = Node->parent())
        parent->removeChild(Node);
    else if (QTreeWidget* tree = Node->treeWidget())
        tree->takeTopLevelItem(tree->indexOfTopLevelItem(Node));
}

bool SortGroupNode(QTreeWidgetItem* Node)
{
    TDSFieldGroup* group = NodeGroup(Node);
    if (!group)
        return false;
    SortGroupFields(group);
    const QSignalBlocker block(Node->treeWidget());
    FillFieldNodes(group, Node, false);
    return true;
}

QTreeWidgetItem* NewFieldTreeNode(const QTreeWidget* Tree, const QString& Caption, void* Item, int Image)
{
    return NewNode(new QTreeWidgetItem, TNodeIcons(Tree), Caption, Item, Image);
}

TDSField* NodeField(const QTreeWidgetItem* Node)
{
    if (!Node || Node->data(0, FieldTreeImageRole).toInt() != FieldImage)
        return nullptr;
    return static_cast<TDSField*>(Node->data(0, FieldTreeItemRole).value<void*>());
}

TDSFieldGroup* NodeGroup(const QTreeWidgetItem* Node)
{
    if (!Node || Node->data(0, FieldTreeImageRole).toInt() != GroupImage)
        return nullptr;
    return static_cast<TDSFieldGroup*>(Node->data(0, FieldTreeItemRole).value<void*>());
}
