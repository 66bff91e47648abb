#include "core/editor/editorcontrols.h"

#include "platform/exceptionguard.h"

#include <QButtonGroup>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QRadioButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString DragFormat = QStringLiteral("application/x-nuv-editor-row");

}  // namespace

int EditorTypeIndex(TFieldType Type)
{
    const auto* found = std::find(std::begin(EditorFieldTypes), std::end(EditorFieldTypes), Type);
    return found == std::end(EditorFieldTypes) ? -1 : int(found - std::begin(EditorFieldTypes));
}

QToolButton* NewToolButton(QWidget* Parent, const QString& Text, const QString& Hint)
{
    auto* button = new QToolButton(Parent);
    button->setText(Text);
    button->setToolTip(Hint);
    button->setAutoRaise(true);
    Parent->layout()->addWidget(button);
    return button;
}

QWidget* NewToolPanel(QWidget* Parent)
{
    auto* panel = new QWidget(Parent);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    return panel;
}

QVBoxLayout* NewSplitPage(QWidget* Page, QSplitter*& Splitter)
{
    auto* layout = new QVBoxLayout(Page);
    layout->setContentsMargins(2, 2, 2, 2);
    Splitter = new QSplitter(Qt::Horizontal, Page);
    layout->addWidget(Splitter);
    auto* left = new QWidget(Splitter);
    auto* column = new QVBoxLayout(left);
    column->setContentsMargins(0, 0, 0, 0);
    Splitter->addWidget(left);
    return column;
}

TRadioGroup::TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent)
    : QGroupBox(Caption, Parent), FButtons(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < Items.size(); ++i) {
        auto* button = new QRadioButton(Items[i], this);
        layout->addWidget(button);
        FButtons->addButton(button, i);
    }
    layout->addStretch();
    connect(FButtons, &QButtonGroup::idClicked, this, [this](int) {
        if (OnClick)
            platform::Guarded(OnClick);
    });
}

int TRadioGroup::ItemIndex() const
{
    return FButtons->checkedId();
}

void TRadioGroup::SetItemIndex(int Index)
{
    QAbstractButton* button = FButtons->button(Index);
    if (button) {
        button->setChecked(true);
        return;
    }
    // A group with exclusive buttons cannot uncheck its last one otherwise.
    FButtons->setExclusive(false);
    for (QAbstractButton* each : FButtons->buttons())
        each->setChecked(false);
    FButtons->setExclusive(true);
}

template <typename View>
THostedDragView<View>::THostedDragView(QWidget* Parent) : View(Parent)
{
    this->setDragEnabled(true);
    this->setAcceptDrops(true);
    this->setDragDropMode(QAbstractItemView::DragDrop);
}

template <typename View>
void THostedDragView<View>::startDrag(Qt::DropActions)
{
    if (OnStartDrag && !platform::Guarded(OnStartDrag))
        return;
    auto* data = new QMimeData;
    data->setData(DragFormat, QByteArray());
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // The host moves the items itself: the view never removes the dragged rows.
    drag->exec(Qt::MoveAction);
}

template <typename View>
void THostedDragView<View>::dragEnterEvent(QDragEnterEvent* Event)
{
    if (Event->source() == this && Event->mimeData()->hasFormat(DragFormat))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

template <typename View>
void THostedDragView<View>::dragMoveEvent(QDragMoveEvent* Event)
{
    if (Event->source() != this) {
        Event->ignore();
        return;
    }
    bool accept = true;
    if (OnDragOver)
        platform::Guarded([&] { accept = OnDragOver(Event->position().toPoint()); });
    if (accept)
        Event->acceptProposedAction();
    else
        Event->ignore();
}

template <typename View>
void THostedDragView<View>::dropEvent(QDropEvent* Event)
{
    if (Event->source() != this) {
        Event->ignore();
        return;
    }
    Event->setDropAction(Qt::IgnoreAction);
    Event->accept();
    if (OnDragDrop)
        platform::Guarded([&] { OnDragDrop(Event->position().toPoint()); });
}

template <typename View>
void THostedDragView<View>::keyPressEvent(QKeyEvent* Event)
{
    bool handled = false;
    if (OnKeyDown)
        platform::Guarded([&] { handled = OnKeyDown(Event); });
    if (handled)
        Event->accept();
    else
        View::keyPressEvent(Event);
}

template class THostedDragView<QTreeWidget>;
template class THostedDragView<QListWidget>;
