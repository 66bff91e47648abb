#pragma once

#include <QList>
#include <Qt>

class QTreeWidget;
class QTreeWidgetItem;
class TDSField;
class TDSFieldGroup;
class TDSFieldList;
class TZCustomDBStructure;

// Tree views of a model's field groups and fields: a node per named group (image 0) holding a node
// per field (image 1), and the fields of the root group as top-level nodes. A node carries its
// group or field and its image index in the roles below.
enum TFieldTreeRole { FieldTreeItemRole = Qt::UserRole, FieldTreeImageRole };
enum TFieldTreeImage { GroupImage = 0, FieldImage = 1 };

// A node of Tree for a group (Image 0) or a field (Image 1): caption, item, image index and the
// picture of its kind. Not yet in the tree.
QTreeWidgetItem* NewFieldTreeNode(const QTreeWidget* Tree, const QString& Caption, void* Item, int Image);
// Rebuilds the tree; OnlyResultFields leaves out the fields that may not be used in a result.
void FillFieldTree(
    TZCustomDBStructure* Model, QTreeWidget* TreeView, bool OnlyResultFields, bool RootFieldsFirst);
// Replaces Node's children by a node per field of FieldList.
void FillFieldNodes(const TDSFieldList* FieldList, QTreeWidgetItem* Node, bool OnlyResultFields);
// Sorts the fields of Node's group as the model compares names and shows them in that order,
// without signals of the tree; false when Node is no group node.
bool SortGroupNode(QTreeWidgetItem* Node);

// Every node in the order the tree shows them, children after their parent.
QList<QTreeWidgetItem*> FieldTreeNodes(const QTreeWidget* Tree);
// Takes Node out of its tree without freeing it; its children stay with it.
void TakeFieldTreeNode(QTreeWidgetItem* Node);

// The field or group of a node; null for a node of the other kind.
TDSField* NodeField(const QTreeWidgetItem* Node);
TDSFieldGroup* NodeGroup(const QTreeWidgetItem* Node);
