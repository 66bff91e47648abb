// The wizard's fields page: which fields the queries offer and how they are grouped. Every action
// changes the wizard's model and the tree together.

#include "core/dbinfo/dbinfo.h"
#include "core/design/designpanel.h"
#include "core/design/designpictures.h"
#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "core/model/field.h"
#include "core/model/table.h"
#include "core/ui/fieldtree.h"
#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "wizard/fieldstree.h"
#include "wizard/wizardwindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace tesmera {

namespace {

// A node as the tree fills them, with its caption open to in-place editing.
QTreeWidgetItem* NewNode(QTreeWidget* Tree, const QString& Caption, void* Item, int Image)
{
    QTreeWidgetItem* node = NewFieldTreeNode(Tree, Caption, Item, Image);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    return node;
}
const QString NewGroupName = QStringLiteral("New Group");

// Puts a taken Node right before Before, or at the end of Parent's children (the top level for a
// null Parent) when Before is null.
void PlaceNode(QTreeWidget* Tree, QTreeWidgetItem* Node, QTreeWidgetItem* Parent, QTreeWidgetItem* Before)
{
    if (Before)
        Parent = Before->parent();
    if (Parent)
        Parent->insertChild(Before ? Parent->indexOfChild(Before) : Parent->childCount(), Node);
    else
        Tree->insertTopLevelItem(
            Before ? Tree->indexOfTopLevelItem(Before) : Tree->topLevelItemCount(), Node);
}

QTreeWidgetItem* GroupNodeOf(QTreeWidget* Tree, const TDSFieldGroup* Group)
{
    for (int i = 0; i < Tree->topLevelItemCount(); ++i) {
        if (NodeGroup(Tree->topLevelItem(i)) == Group)
            return Tree->topLevelItem(i);
    }
    return nullptr;
}

}  // namespace

QWidget* TMainForm::NewFieldsPage()
{
    auto* page = new QWidget;
    tvFields = new TFieldsTree(this, page);
    connect(tvFields, &QTreeWidget::currentItemChanged, this, [this] {
        platform::Guarded([this] {
            ShowField();
            EnableFieldPopupItems();
        });
    });
    // Code fills the tree with its signals blocked, so a change here is the user's caption edit.
    connect(tvFields, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* Node, int Column) {
        platform::Guarded([&] { tvFieldsEdited(Node, Column); });
    });

    auto button = [&](const QString& Caption, void (TMainForm::*Handler)()) {
        auto* result = new QPushButton(Caption, page);
        connect(result, &QPushButton::clicked, this,
            [this, Handler] { platform::Guarded([&] { (this->*Handler)(); }); });
        return result;
    };
    sbAddDataField = button(QStringLiteral("&Add Field"), &TMainForm::sbAddDataFieldClick);
    sbAddVirtualField = button(QStringLiteral("Add &Virtual Field"), &TMainForm::sbAddVirtualFieldClick);
    sbDeleteField = button(QStringLiteral("&Delete Field"), &TMainForm::sbDeleteFieldClick);
    sbAddGroup = button(QStringLiteral("Add &Group"), &TMainForm::sbAddGroupClick);
    sbDeleteGroup = button(QStringLiteral("D&elete Group"), &TMainForm::sbDeleteGroupClick);

    pmFields = new QMenu(this);
    auto item = [&](const QString& Caption, const QKeySequence& Keys, void (TMainForm::*Handler)()) {
        QAction* action = pmFields->addAction(Caption);
        // The keys are the tree's; the menu only shows them.
        action->setShortcut(Keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this,
            [this, Handler] { platform::Guarded([&] { (this->*Handler)(); }); });
        return action;
    };
    miAddDataField
        = item(QStringLiteral("&Add Field"), QKeySequence(Qt::Key_Insert), &TMainForm::sbAddDataFieldClick);
    miAddVirtualField = item(QStringLiteral("Add &Virtual Field"), QKeySequence(Qt::ALT | Qt::Key_Insert),
        &TMainForm::sbAddVirtualFieldClick);
    miDeleteField = item(QStringLiteral("&Delete Field"), QKeySequence(), &TMainForm::sbDeleteFieldClick);
    pmFields->addSeparator();
    miAddGroup
        = item(QStringLiteral("Add &Group"), QKeySequence(Qt::CTRL | Qt::Key_G), &TMainForm::sbAddGroupClick);
    miDeleteGroup = item(QStringLiteral("De&lete Group"), QKeySequence(), &TMainForm::sbDeleteGroupClick);
    miOrderGroupFields
        = item(QStringLiteral("Order fields in group"), QKeySequence(), &TMainForm::miOrderGroupFieldsClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbAddDataField);
    buttons->addWidget(sbAddVirtualField);
    buttons->addWidget(sbDeleteField);
    buttons->addStretch();
    buttons->addWidget(sbAddGroup);
    buttons->addWidget(sbDeleteGroup);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(tvFields, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeader(QStringLiteral("Fields selection"),
        QStringLiteral("Please specify fields and groups which can be used in the queries"), page));
    layout->addLayout(body, 1);
    return page;
}

void TMainForm::tbsTab6Show()
{
    tbsTab5Show();
    if (FModel->Fields().Count() == 0 && FModel->FieldGroups().Count() == 0)
        MakeTableGroups();
    FillFields();
}

// One group per table, holding every column of the table, for a model that has no fields yet.
void TMainForm::MakeTableGroups()
{
    QStringList names;
    FModel->GetTableNames(tlName, names);
    names.removeDuplicates();
    for (const QString& name : names) {
        auto* group = new TDSFieldGroup(FModel);
        group->SetGroupName(name);
        FModel->FieldGroups().Add(group);
        TDSTable* table = FModel->FindTable(tlName, name);
        QStringList columns;
        WithTableDatabase(GetDBInfo(), table, [&] { GetDBInfo()->GetFieldNames(name, columns); });
        for (const QString& column : columns) {
            TDSField* field = FModel->Fields().GetItem(FModel->AddField(zfkData, column, table, column));
            field->ResetOperators();
            field->SetGroup(group);
        }
    }
}

void TMainForm::FillFields()
{
    FillFieldTree(FModel, tvFields, false, false);
    const QSignalBlocker blocker(tvFields);
    for (QTreeWidgetItem* node : FieldTreeNodes(tvFields))
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    ShowField();
    EnableFieldPopupItems();
}

void TMainForm::ShowField()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    FCurrentField = NodeField(node);
    FCurrentGroup = FCurrentField ? FCurrentField->Group() : NodeGroup(node);
    EnableFieldsControls();
}

void TMainForm::EnableFieldsControls()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    sbAddDataField->setEnabled(DatabaseConnected());
    sbDeleteField->setEnabled(NodeField(node) != nullptr);
    sbDeleteGroup->setEnabled(NodeGroup(node) != nullptr);
}

void TMainForm::EnableFieldPopupItems()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    const bool fieldNode = NodeField(node) != nullptr;
    const bool groupNode = NodeGroup(node) != nullptr;
    miDeleteField->setEnabled(fieldNode);
    miDeleteGroup->setEnabled(groupNode);
    miOrderGroupFields->setEnabled(groupNode);
    const QKeySequence deleteKeys(Qt::CTRL | Qt::Key_Delete);
    miDeleteField->setShortcut(fieldNode ? deleteKeys : QKeySequence());
    miDeleteGroup->setShortcut(fieldNode ? QKeySequence() : deleteKeys);
}

QTreeWidgetItem* TMainForm::AddFieldNodeTo(QTreeWidgetItem* ParentNode, TDSField* Field)
{
    const QSignalBlocker blocker(tvFields);
    QTreeWidgetItem* node = NewNode(tvFields, Field->DisplayName(), Field, FieldImage);
    PlaceNode(tvFields, node, ParentNode, nullptr);
    return node;
}

void TMainForm::AddFieldNode(TDSField* Field)
{
    QTreeWidgetItem* selected = tvFields->currentItem();
    QTreeWidgetItem* parent = NodeField(selected) ? selected->parent() : selected;
    tvFields->setCurrentItem(AddFieldNodeTo(parent, Field));
    ShowField();
}

void TMainForm::sbAddDataFieldClick()
{
    TdlgListPnl picker;
    QString selectedTable;
    if (zsdRelationsPanel->SelectedTable())
        selectedTable = zsdRelationsPanel->SelectedTable()->Table()->GetCaption();
    picker.SetupTableFields(FModel, selectedTable, lpfMultiSelect);
    picker.setWindowTitle(QStringLiteral("Fields list"));
    picker.lblGroups()->setText(QStringLiteral("Tables"));
    picker.pnlGroups()->setVisible(true);
    if (picker.exec() != QDialog::Accepted)
        return;
    TDSTable* table = FModel->FindTable(tlCaption, picker.cbGroups()->currentText());
    for (const QString& name : picker.Result()) {
        TDSField* field = FModel->Fields().GetItem(FModel->AddField(zfkData, name, table, name));
        field->ResetOperators();
        field->SetGroup(FCurrentGroup ? FCurrentGroup : FModel->RootGroup());
        AddFieldNode(field);
    }
}

void TMainForm::sbAddVirtualFieldClick()
{
    TDSField* field = FModel->Fields().GetItem(
        FModel->AddField(zfkVirtual, QString(), nullptr, QStringLiteral("New Field")));
    field->SetFieldType(ftString);
    field->ResetOperators();
    field->SetGroup(FCurrentGroup ? FCurrentGroup : FModel->RootGroup());
    AddFieldNode(field);
}

// The node now at the deleted node's place in the shown order becomes current, else the one before.
void TMainForm::SelectAfterDelete(int AbsoluteIndex)
{
    const QList<QTreeWidgetItem*> nodes = FieldTreeNodes(tvFields);
    if (nodes.isEmpty())
        tvFields->setCurrentItem(nullptr);
    else
        tvFields->setCurrentItem(nodes.at(std::min(AbsoluteIndex, int(nodes.size()) - 1)));
    ShowField();
    EnableFieldPopupItems();
}

void TMainForm::DeleteNode(QTreeWidgetItem* Node)
{
    const int index = int(FieldTreeNodes(tvFields).indexOf(Node));
    {
        const QSignalBlocker blocker(tvFields);
        delete Node;
    }
    SelectAfterDelete(index);
}

void TMainForm::sbDeleteFieldClick()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    TDSField* field = NodeField(node);
    if (!field || field != FCurrentField || !FModel->Fields().Contains(field))
        return;
    if (platform::MessageBox(QStringLiteral("Delete field?"), QStringLiteral("Tesmera"),
            platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    FCurrentField = nullptr;
    FModel->DeleteField(FModel->Fields().IndexOf(field));
    DeleteNode(node);
}

QTreeWidgetItem* TMainForm::FirstUngroupedFieldNode() const
{
    QTreeWidgetItem* first = nullptr;
    for (int i = tvFields->topLevelItemCount() - 1; i >= 0 && NodeField(tvFields->topLevelItem(i)); --i)
        first = tvFields->topLevelItem(i);
    return first;
}

void TMainForm::sbAddGroupClick()
{
    auto* group = new TDSFieldGroup(FModel);
    group->SetGroupName(NewGroupName);
    FModel->FieldGroups().Add(group);
    QTreeWidgetItem* node = NewNode(tvFields, NewGroupName, group, GroupImage);
    {
        const QSignalBlocker blocker(tvFields);
        PlaceNode(tvFields, node, nullptr, FirstUngroupedFieldNode());
    }
    tvFields->setCurrentItem(node);
}

void TMainForm::sbDeleteGroupClick()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    TDSFieldGroup* group = NodeGroup(node);
    if (!group)
        return;
    if (platform::MessageBox(QStringLiteral("Delete group?"), QStringLiteral("Tesmera"),
            platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    if (FCurrentGroup == group)
        FCurrentGroup = nullptr;
    FCurrentField = nullptr;
    FModel->DeleteFieldGroup(group);
    DeleteNode(node);
}

void TMainForm::miOrderGroupFieldsClick()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    if (!SortGroupNode(node))
        return;
    const QSignalBlocker blocker(tvFields);
    for (int i = 0; i < node->childCount(); ++i)
        node->child(i)->setFlags(node->child(i)->flags() | Qt::ItemIsEditable);
}

void TMainForm::tvFieldsEdited(QTreeWidgetItem* Node, int)
{
    const QString caption = Node->text(0);
    if (TDSField* field = NodeField(Node))
        field->SetDisplayName(caption);
    else if (TDSFieldGroup* group = NodeGroup(Node); group && group != FModel->RootGroup())
        group->SetGroupName(caption);
}

bool TMainForm::tvFieldsKeyDown(int Key, Qt::KeyboardModifiers Modifiers)
{
    QTreeWidgetItem* node = tvFields->currentItem();
    if ((Key == Qt::Key_F2 || Key == Qt::Key_Space) && NodeGroup(node) && !tvFields->Editing()) {
        tvFields->editItem(node);
        return true;
    }
    if (Key == Qt::Key_Insert) {
        if (DatabaseConnected()) {
            if (Modifiers & Qt::AltModifier)
                sbAddVirtualFieldClick();
            else
                sbAddDataFieldClick();
        }
        return true;
    }
    if (Key == Qt::Key_Delete && (Modifiers & Qt::ControlModifier)) {
        if (NodeField(node))
            sbDeleteFieldClick();
        else if (NodeGroup(node))
            sbDeleteGroupClick();
        return true;
    }
    if (Key == Qt::Key_G && (Modifiers & Qt::ControlModifier)) {
        sbAddGroupClick();
        return true;
    }
    return false;
}

void TMainForm::tvFieldsMouseDown(const QPoint& Pos)
{
    QTreeWidgetItem* node = tvFields->itemAt(Pos);
    tvFields->setCurrentItem(node);
    if (!node)
        tvFields->clearSelection();
    pmFields->popup(tvFields->viewport()->mapToGlobal(Pos));
}

void TMainForm::tvFieldsDragDrop(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target)
{
    const QSignalBlocker blocker(tvFields);
    TDSFieldGroup* root = FModel->RootGroup();
    if (TDSField* field = NodeField(Dragged)) {
        if (TDSField* before = NodeField(Target)) {
            TDSFieldGroup* group = before->Group() ? before->Group() : root;
            if (TDSFieldGroup* old = field->Group())
                RemoveFieldFromGroup(old, old->IndexOf(field));
            // Taken after the removal, so a forward drag lands right before the target.
            InsertFieldInGroup(group, group->IndexOf(before), field);
            TakeFieldTreeNode(Dragged);
            PlaceNode(tvFields, Dragged, nullptr, Target);
        } else if (TDSFieldGroup* group = NodeGroup(Target)) {
            field->SetGroup(group);
            TakeFieldTreeNode(Dragged);
            PlaceNode(tvFields, Dragged, Target, nullptr);
        } else {
            field->SetGroup(root);
            TakeFieldTreeNode(Dragged);
            PlaceNode(tvFields, Dragged, nullptr, nullptr);
        }
    } else if (TDSFieldGroup* group = NodeGroup(Dragged)) {
        TDSFieldGroupList& groups = FModel->FieldGroups();
        TDSFieldGroup* before = NodeGroup(Target);
        if (!before && Target && Target->parent())
            before = NodeGroup(Target->parent());
        if (before == group)
            return;
        const int from = groups.IndexOf(group);
        int to = before ? groups.IndexOf(before) : groups.Count() - 1;
        if (before && from < to)
            --to;
        groups.Move(from, to);
        TakeFieldTreeNode(Dragged);
        PlaceNode(
            tvFields, Dragged, nullptr, before ? GroupNodeOf(tvFields, before) : FirstUngroupedFieldNode());
    }
    tvFields->setCurrentItem(Dragged);
    ShowField();
    EnableFieldPopupItems();
}

}  // namespace tesmera
