#include "wizard/fieldstree.h"

#include "platform/exceptionguard.h"
#include "wizard/wizardwindow.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace tesmera {

TFieldsTree::TFieldsTree(TMainForm* Form, QWidget* Parent) : QTreeWidget(Parent), FForm(Form)
{
    setHeaderHidden(true);
    setIndentation(19);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
}

void TFieldsTree::keyPressEvent(QKeyEvent* Event)
{
    bool consumed = false;
    platform::Guarded([&] { consumed = FForm->tvFieldsKeyDown(Event->key(), Event->modifiers()); });
    if (!consumed)
        QTreeWidget::keyPressEvent(Event);
}

void TFieldsTree::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::RightButton) {
        platform::Guarded([&] { FForm->tvFieldsMouseDown(Event->position().toPoint()); });
        return;
    }
    QTreeWidget::mousePressEvent(Event);
}

void TFieldsTree::dragMoveEvent(QDragMoveEvent* Event)
{
    QTreeWidget::dragMoveEvent(Event);
    const QTreeWidgetItem* target = itemAt(Event->position().toPoint());
    if (target && target == currentItem())
        Event->ignore();
    else
        Event->acceptProposedAction();
}

// The tree's own move would reorder nodes only; the window moves model and nodes together.
void TFieldsTree::dropEvent(QDropEvent* Event)
{
    QTreeWidgetItem* dragged = currentItem();
    QTreeWidgetItem* target = itemAt(Event->position().toPoint());
    Event->setDropAction(Qt::IgnoreAction);
    Event->accept();
    if (dragged && target != dragged)
        platform::Guarded([&] { FForm->tvFieldsDragDrop(dragged, target); });
}

}  // namespace tesmera
