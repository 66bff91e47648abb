#include "core/design/tablepicker.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "core/ui/fieldtree.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"
#include "rtl/strutils.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

void T_dlgDataModelEditor::CreateFieldsPage()
{
    pnlFieldsTools = NewToolPanel(pnlToolbar);
    sbAddDataField = NewToolButton(pnlFieldsTools, QStringLiteral("Add field"), QStringLiteral("Add field"));
    sbAddVirtualField
        = NewToolButton(pnlFieldsTools, QStringLiteral("Add virtual"), QStringLiteral("Add virtual field"));
    sbDeleteField
        = NewToolButton(pnlFieldsTools, QStringLiteral("Delete field"), QStringLiteral("Delete field"));
    sbAddGroup = NewToolButton(pnlFieldsTools, QStringLiteral("Add group"), QStringLiteral("Add group"));
    sbDeleteGroup
        = NewToolButton(pnlFieldsTools, QStringLiteral("Delete group"), QStringLiteral("Delete group"));

    QVBoxLayout* leftLayout = NewSplitPage(tsFields, splFields);
    QWidget* left = leftLayout->parentWidget();
    tvFields = new TFieldTreeView(left);
    tvFields->setHeaderHidden(true);
    tvFields->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    leftLayout->addWidget(tvFields, 1);
    chbRootFirst = new QCheckBox(QStringLiteral("Show root fields first"), left);
    leftLayout->addWidget(chbRootFirst);
    tvFields->viewport()->installEventFilter(this);

    pmFields = new QMenu(this);
    miAddDataField = pmFields->addAction(QStringLiteral("&Add Field"));
    miAddDataField->setShortcut(QKeySequence(Qt::Key_Insert));
    miAddVirtualField = pmFields->addAction(QStringLiteral("Add &Virtual Field"));
    miAddVirtualField->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Insert));
    miDeleteField = pmFields->addAction(QStringLiteral("&Delete Field"));
    pmFields->addSeparator();
    miAddGroup = pmFields->addAction(QStringLiteral("Add &Group"));
    miAddGroup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    miDeleteGroup = pmFields->addAction(QStringLiteral("De&lete Group"));
    miOrderGroupFields = pmFields->addAction(QStringLiteral("Order fields in group"));

    OnSignal(sbAddDataField, &QToolButton::clicked, &T_dlgDataModelEditor::AddField);
    OnSignal(miAddDataField, &QAction::triggered, &T_dlgDataModelEditor::AddField);
    OnSignal(sbAddVirtualField, &QToolButton::clicked, &T_dlgDataModelEditor::AddVirtualField);
    OnSignal(miAddVirtualField, &QAction::triggered, &T_dlgDataModelEditor::AddVirtualField);
    OnSignal(sbDeleteField, &QToolButton::clicked, &T_dlgDataModelEditor::DeleteField);
    OnSignal(miDeleteField, &QAction::triggered, &T_dlgDataModelEditor::DeleteField);
    OnSignal(sbAddGroup, &QToolButton::clicked, &T_dlgDataModelEditor::AddFieldGroup);
    OnSignal(miAddGroup, &QAction::triggered, &T_dlgDataModelEditor::AddFieldGroup);
    OnSignal(sbDeleteGroup, &QToolButton::clicked, &T_dlgDataModelEditor::DeleteFieldGroup);
    OnSignal(miDeleteGroup, &QAction::triggered, &T_dlgDataModelEditor::DeleteFieldGroup);
    OnSignal(miOrderGroupFields, &QAction::triggered, &T_dlgDataModelEditor::miOrderGroupFieldsClick);
    OnSignal(chbRootFirst, &QCheckBox::clicked, &T_dlgDataModelEditor::chbRootFirstClick);
    // The tree's signals are blocked whenever code changes it, so these come from the user.
    connect(tvFields, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem*, QTreeWidgetItem* Previous) {
            platform::Guarded([&] { tvFieldsChange(Previous); });
        });
    connect(tvFields, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* Node, int) {
        platform::Guarded([&] { tvFieldsEdited(Node, Node->text(0)); });
    });
    tvFields->OnKeyDown = [this](QKeyEvent* Event) { return tvFieldsKeyDown(Event); };
    tvFields->OnDragOver = [this](QPoint Position) { return FieldsDragOver(tvFields->itemAt(Position)); };
    tvFields->OnDragDrop = [this](QPoint Position) { FieldsDragDrop(tvFields->itemAt(Position)); };
}

bool T_dlgDataModelEditor::IsFieldNode(const QTreeWidgetItem* Node) const
{
    return NodeField(Node) != nullptr;
}

QTreeWidgetItem* T_dlgDataModelEditor::FindGroupNode(const TDSFieldGroup* Group) const
{
    for (int i = 0; i < tvFields->topLevelItemCount(); ++i) {
        if (NodeGroup(tvFields->topLevelItem(i)) == Group)
            return tvFields->topLevelItem(i);
    }
    return nullptr;
}

TDSFieldGroup* T_dlgDataModelEditor::GroupOrRoot(TDSFieldGroup* Group)
{
    return Group ? Group : FModel->RootGroup();
}

int T_dlgDataModelEditor::AbsoluteIndex(const QTreeWidgetItem* Node) const
{
    return int(FieldTreeNodes(tvFields).indexOf(const_cast<QTreeWidgetItem*>(Node)));
}

void T_dlgDataModelEditor::SelectNode(QTreeWidgetItem* Node)
{
    QTreeWidgetItem* previous = tvFields->currentItem();
    {
        const QSignalBlocker block(tvFields);
        tvFields->setCurrentItem(Node);
        if (!Node)
            tvFields->clearSelection();
    }
    tvFieldsChange(previous);
}

void T_dlgDataModelEditor::SelectNodeAt(int AbsoluteIndex)
{
    const QList<QTreeWidgetItem*> nodes = FieldTreeNodes(tvFields);
    if (nodes.isEmpty())
        SelectNode(nullptr);
    else
        SelectNode(nodes[std::clamp(AbsoluteIndex, 0, int(nodes.size()) - 1)]);
}

void T_dlgDataModelEditor::tvFieldsChange(QTreeWidgetItem* Previous)
{
    try {
        ShowField();
    } catch (...) {
        // The item shown keeps the selection, so what failed to commit can be corrected there.
        const QSignalBlocker block(tvFields);
        tvFields->setCurrentItem(Previous);
        throw;
    }
    UpdateFieldMenu();
}

QTreeWidgetItem* T_dlgDataModelEditor::AddChildFieldNode(QTreeWidgetItem* Parent, TDSField* Field)
{
    const QSignalBlocker block(tvFields);
    QTreeWidgetItem* node = NewFieldTreeNode(tvFields, Field->DisplayName(), Field, FieldImage);
    if (Parent)
        Parent->addChild(node);
    else
        tvFields->addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* T_dlgDataModelEditor::AddGroupNode(TDSFieldGroup* Group)
{
    // The tree lists the groups first, in the model's order.
    const QSignalBlocker block(tvFields);
    QTreeWidgetItem* node = NewFieldTreeNode(tvFields, Group->GroupName(), Group, GroupImage);
    tvFields->insertTopLevelItem(FModel->FieldGroups().IndexOf(Group), node);
    return node;
}

void T_dlgDataModelEditor::AddFieldNode(TDSField* Field)
{
    QTreeWidgetItem* selected = tvFields->currentItem();
    QTreeWidgetItem* parent = selected && IsFieldNode(selected) ? selected->parent() : selected;
    QTreeWidgetItem* node = AddChildFieldNode(parent, Field);
    SelectNode(node);
    if (pcFieldProps->currentWidget() == tsGeneral)
        edFldDisplayName->setFocus();
}

void T_dlgDataModelEditor::AddField()
{
    QStringList names;
    QString caption = FCurrentTable ? FCurrentTable->GetCaption() : QString();
    if (!SelectTableFields(FModel.get(), names, caption, lpfMultiSelect))
        return;
    TDSTable* table = FModel->FindTable(tlCaption, caption);
    if (!table)
        throw rtl::Exception(QStringLiteral("Choose the table whose fields are to be added"));
    TDSFieldGroup* group = GroupOrRoot(FCurrentGroup);
    for (const QString& name : names) {
        TDSField* field = FModel->Fields()[FModel->AddField(zfkData, name, table, name)];
        field->ResetOperators();
        field->SetGroup(group);
        AddFieldNode(field);
    }
}

void T_dlgDataModelEditor::AddVirtualField()
{
    TDSField* field
        = FModel->Fields()[FModel->AddField(zfkVirtual, QString(), nullptr, QStringLiteral("New Field"))];
    field->SetFieldType(ftString);
    field->ResetOperators();
    field->SetGroup(GroupOrRoot(FCurrentGroup));
    AddFieldNode(field);
}

void T_dlgDataModelEditor::DeleteField()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    TDSField* field = NodeField(node);
    if (!field || !FModel->Fields().Contains(field))
        return;
    if (ConfirmMessage(QStringLiteral("Delete field?")) != platform::IDYES)
        return;
    FCurrentField = nullptr;
    const int index = AbsoluteIndex(node);
    {
        const QSignalBlocker block(tvFields);
        delete node;
    }
    FModel->DeleteField(FModel->Fields().IndexOf(field));
    SelectNodeAt(index);
}

void T_dlgDataModelEditor::AddFieldGroup()
{
    auto* group = new TDSFieldGroup(FModel.get());
    group->SetGroupName(QStringLiteral("New Group"));
    FModel->FieldGroups().Add(group);
    QTreeWidgetItem* node = AddGroupNode(group);
    FillGroupsCombo();
    SelectNode(node);
    edGroupName->setFocus();
}

void T_dlgDataModelEditor::DeleteFieldGroup()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    TDSFieldGroup* group = NodeGroup(node);
    if (!group)
        return;
    if (ConfirmMessage(QStringLiteral("Delete group?")) != platform::IDYES)
        return;
    const int index = AbsoluteIndex(node);
    {
        const QSignalBlocker block(tvFields);
        delete node;
    }
    if (FCurrentGroup == group)
        FCurrentGroup = nullptr;
    if (FCurrentField && FCurrentField->Group() == group)
        FCurrentField = nullptr;
    FModel->DeleteFieldGroup(group);
    FillGroupsCombo();
    SelectNodeAt(index);
}

void T_dlgDataModelEditor::miOrderGroupFieldsClick()
{
    SortGroupNode(tvFields->currentItem());
}

void T_dlgDataModelEditor::chbRootFirstClick()
{
    FModel->SetRootFieldsFirst(chbRootFirst->isChecked());
}

void T_dlgDataModelEditor::tvFieldsEdited(QTreeWidgetItem* Node, const QString& Text)
{
    if (TDSField* field = NodeField(Node)) {
        if (field != FCurrentField)
            return;
        field->SetDisplayName(Text);
        edFldDisplayName->setText(Text);
    } else if (FCurrentGroup && FCurrentGroup != FModel->RootGroup() && NodeGroup(Node) == FCurrentGroup) {
        FCurrentGroup->SetGroupName(Text);
        edGroupName->setText(Text);
        FillGroupsCombo();
    }
}

bool T_dlgDataModelEditor::tvFieldsKeyDown(QKeyEvent* Event)
{
    QTreeWidgetItem* node = tvFields->currentItem();
    const Qt::KeyboardModifiers modifiers = Event->modifiers() & ~Qt::KeypadModifier;
    switch (Event->key()) {
    case Qt::Key_F2:
    case Qt::Key_Space:
        if (node && !IsFieldNode(node) && !tvFields->Editing()) {
            tvFields->editItem(node);
            return true;
        }
        return false;
    case Qt::Key_Insert:
        if (HasDatabaseInfo()) {
            if (modifiers & Qt::AltModifier)
                AddVirtualField();
            else
                AddField();
        }
        return true;
    case Qt::Key_Delete:
        if (modifiers != Qt::ControlModifier || !node)
            return false;
        if (IsFieldNode(node))
            DeleteField();
        else
            DeleteFieldGroup();
        return true;
    case Qt::Key_G:
        if (modifiers != Qt::ControlModifier)
            return false;
        AddFieldGroup();
        return true;
    default:
        return false;
    }
}

void T_dlgDataModelEditor::tvFieldsMouseDown(QPoint Position)
{
    SelectNode(tvFields->itemAt(Position));
    pmFields->popup(tvFields->viewport()->mapToGlobal(Position));
}

bool T_dlgDataModelEditor::FieldsDragOver(QTreeWidgetItem* Target) const
{
    return Target != tvFields->currentItem();
}

void T_dlgDataModelEditor::FieldsDragDrop(QTreeWidgetItem* Target)
{
    QTreeWidgetItem* dragged = tvFields->currentItem();
    if (!dragged || dragged == Target)
        return;
    if (IsFieldNode(dragged))
        MoveFieldNode(dragged, Target);
    else
        MoveGroupNode(dragged, Target);
}

void T_dlgDataModelEditor::MoveFieldNode(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target)
{
    TDSField* field = NodeField(Dragged);
    TDSFieldGroup* source = GroupOrRoot(field->Group());
    RemoveFieldFromGroup(source, source->IndexOf(field));
    {
        const QSignalBlocker block(tvFields);
        TakeFieldTreeNode(Dragged);
        // Indexes are taken after the removal, so a move forward lands where the tree shows it.
        if (TDSField* before = NodeField(Target)) {
            TDSFieldGroup* destination = GroupOrRoot(before->Group());
            InsertFieldInGroup(destination, destination->IndexOf(before), field);
            if (QTreeWidgetItem* parent = Target->parent())
                parent->insertChild(parent->indexOfChild(Target), Dragged);
            else
                tvFields->insertTopLevelItem(tvFields->indexOfTopLevelItem(Target), Dragged);
        } else if (TDSFieldGroup* group = NodeGroup(Target)) {
            InsertFieldInGroup(group, group->Count(), field);
            Target->addChild(Dragged);
        } else {
            InsertFieldInGroup(FModel->RootGroup(), FModel->RootGroup()->Count(), field);
            tvFields->addTopLevelItem(Dragged);
        }
        tvFields->setCurrentItem(Dragged);
    }
    ShowField();
}

void T_dlgDataModelEditor::MoveGroupNode(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target)
{
    TDSFieldGroupList& groups = FModel->FieldGroups();
    TDSFieldGroup* group = NodeGroup(Dragged);
    QTreeWidgetItem* targetGroup = IsFieldNode(Target) ? Target->parent() : Target;
    if (targetGroup == Dragged)
        return;
    const int oldPosition = groups.IndexOf(group);
    int newPosition = groups.Count() - 1;
    if (targetGroup) {
        // The group goes before the target group, as its node does.
        const int target = groups.IndexOf(NodeGroup(targetGroup));
        newPosition = oldPosition < target ? target - 1 : target;
    }
    groups.Move(oldPosition, newPosition);
    const QSignalBlocker block(tvFields);
    const bool expanded = Dragged->isExpanded();
    TakeFieldTreeNode(Dragged);
    tvFields->insertTopLevelItem(newPosition, Dragged);
    Dragged->setExpanded(expanded);
    tvFields->setCurrentItem(Dragged);
}

void T_dlgDataModelEditor::UpdateFieldButtons()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    miAddDataField->setEnabled(HasDatabaseInfo());
    sbAddDataField->setEnabled(HasDatabaseInfo());
    sbDeleteField->setEnabled(IsFieldNode(node));
    sbDeleteGroup->setEnabled(node && !IsFieldNode(node));
}

void T_dlgDataModelEditor::UpdateFieldMenu()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    const bool fieldNode = IsFieldNode(node);
    const bool groupNode = node && !fieldNode;
    miDeleteField->setEnabled(fieldNode);
    miDeleteGroup->setEnabled(groupNode);
    miOrderGroupFields->setEnabled(groupNode);
    const QKeySequence ctrlDel(Qt::CTRL | Qt::Key_Delete);
    miDeleteField->setShortcut(fieldNode ? ctrlDel : QKeySequence());
    miDeleteGroup->setShortcut(fieldNode ? QKeySequence() : ctrlDel);
}

void T_dlgDataModelEditor::FillGroupsCombo()
{
    const QSignalBlocker block(cbGroups);
    cbGroups->clear();
    cbGroups->addItem(
        QStringLiteral("<Root level>"), QVariant::fromValue(static_cast<void*>(FModel->RootGroup())));
    for (TDSFieldGroup* group : FModel->FieldGroups())
        cbGroups->addItem(group->GroupName(), QVariant::fromValue(static_cast<void*>(group)));
    const int index = cbGroups->findData(QVariant::fromValue(static_cast<void*>(FCurrentGroup)));
    cbGroups->setCurrentIndex(std::max(index, 0));
}
