#include "core/ui/fieldtree.h"

#include "core/model/dbstructure.h"
#include "platform/cursor.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

constexpr int GroupImage = 0;
constexpr int FieldImage = 1;

QTreeWidgetItem* NewNode(QTreeWidgetItem* Node, const QString& Caption, void* Item, int Image)
{
    Node->setText(0, Caption);
    Node->setData(0, FieldTreeItemRole, QVariant::fromValue(Item));
    Node->setData(0, FieldTreeImageRole, Image);
    return Node;
}

bool Shown(const TDSField* Field, bool OnlyResultFields)
{
    return !OnlyResultFields || Field->UIR();
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
    TreeView->clearSelection();
    TreeView->clear();
    auto addRootFields = [&] {
        for (TDSField* field : *Model->RootGroup()) {
            if (Shown(field, OnlyResultFields))
                NewNode(new QTreeWidgetItem(TreeView), field->DisplayName(), field, FieldImage);
        }
    };
    auto addGroups = [&] {
        for (TDSFieldGroup* group : Model->FieldGroups()) {
            QTreeWidgetItem* node
                = NewNode(new QTreeWidgetItem(TreeView), group->GroupName(), group, GroupImage);
            FillFieldNodes(group, node, OnlyResultFields);
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
    qDeleteAll(Node->takeChildren());
    for (TDSField* field : *FieldList) {
        if (Shown(field, OnlyResultFields))
            NewNode(new QTreeWidgetItem(Node), field->DisplayName(), field, FieldImage);
    }
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
