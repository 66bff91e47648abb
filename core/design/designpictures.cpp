#include "core/design/designpictures.h"

#include "core/design/designpanel.h"
#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "rtl/strutils.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

// The length of the stub from a window's edge to the bus of its side.
constexpr int StubLength = 8;
// How close to a line a point must be to lie on it.
constexpr int HitDistance = 4;
// The sizing border of a table window.
constexpr int FrameWidth = 3;
// Where a link end sits whose row is not in view: below the window's top, above its bottom.
constexpr int AboveRowsY = 10;
constexpr int BelowRowsY = 5;
constexpr int MinWindowWidth = 40;

const QString FieldPrefix = QStringLiteral("fld:");

}  // namespace

TZStructDesignPanel* PanelOf(const QWidget* Picture)
{
    for (QWidget* w = Picture->parentWidget(); w; w = w->parentWidget())
        if (auto* area = dynamic_cast<TZDesignArea*>(w))
            return area->Panel();
    return nullptr;
}

int TLinkNodes::IndexOfField(const QString& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(GetItem(i)->FieldName, Name))
            return i;
    return -1;
}

TLinkRep::TLinkRep()
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void TLinkRep::SetParent(QWidget* Area)
{
    setParent(Area);
    lower();
    Relocate();
}

void TLinkRep::SetLink(TDSLink* Link, TTableRep* TableRep1, TTableRep* TableRep2)
{
    FLink = Link;
    FTableRep1 = TableRep1;
    FTableRep2 = TableRep2;
    UpdateNodes();
}

namespace {

// The nodes of one side: one per distinct operand, at window W facing window O.
void BuildNodes(TLinkNodes& Nodes, const QStringList& Operands, const TTableRep* W, const TTableRep* O)
{
    int x = 0;
    int dir = -1;
    W->GetLinkNodeX(O, x, dir);
    for (const QString& operand : Operands) {
        const int index = Nodes.IndexOfField(operand);
        TLinkNode* node = index >= 0 ? Nodes[index] : Nodes[Nodes.Add(new TLinkNode {0, 0, -1, operand})];
        node->X = x;
        node->Dir = dir;
        node->Y = W->GetFieldNodeY(operand);
    }
}

QPoint BusPoint(const TLinkNode* Node)
{
    return {Node->X + StubLength * Node->Dir, Node->Y};
}

}  // namespace

void TLinkRep::UpdateNodes()
{
    FNodes1.Clear();
    FNodes2.Clear();
    if (FLink && FTableRep1 && FTableRep2) {
        BuildNodes(FNodes1, FLink->FldName1(), FTableRep1, FTableRep2);
        BuildNodes(FNodes2, FLink->FldName2(), FTableRep2, FTableRep1);
    }
    Relocate();
}

void TLinkRep::SetSelected(bool Value)
{
    if (FSelected == Value)
        return;
    FSelected = Value;
    update();
    if (Value)
        if (TZStructDesignPanel* panel = PanelOf(this))
            panel->SelectLink(this);
}

void TLinkRep::FollowCursor()
{
    if (FNodes2.Count() == 0)
        return;
    const QPoint cursor = parentWidget() ? parentWidget()->mapFromGlobal(QCursor::pos()) : QCursor::pos();
    FNodes2[0]->X = cursor.x();
    FNodes2[0]->Y = cursor.y();
    Relocate();
}

bool TLinkRep::IsPointOnLink(int X, int Y) const
{
    const int pairs = std::min(FNodes1.Count(), FNodes2.Count());
    for (int i = 0; i < pairs; ++i) {
        const QPoint p = BusPoint(FNodes1[i]);
        const QPoint q = BusPoint(FNodes2[i]);
        if (p.x() != q.x() && (X < std::min(p.x(), q.x()) || X > std::max(p.x(), q.x())))
            continue;
        if (p.y() != q.y() && (Y < std::min(p.y(), q.y()) || Y > std::max(p.y(), q.y())))
            continue;
        if (p.x() != q.x()) {
            const int y = p.y() + (q.y() - p.y()) * (X - p.x()) / (q.x() - p.x());
            if (y - HitDistance < Y && Y < y + HitDistance)
                return true;
        }
        if (p.y() != q.y()) {
            const int x = p.x() + (q.x() - p.x()) * (Y - p.y()) / (q.y() - p.y());
            if (x - HitDistance < X && X < x + HitDistance)
                return true;
        }
    }
    return false;
}

QRect TLinkRep::LinesBounds() const
{
    if (FNodes1.Count() == 0 || FNodes2.Count() == 0)
        return {};
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;
    int bottom = INT_MIN;
    for (const TLinkNodes* nodes : {&FNodes1, &FNodes2})
        for (const TLinkNode* node : *nodes)
            for (const QPoint point : {QPoint(node->X, node->Y), BusPoint(node)}) {
                left = std::min(left, point.x());
                top = std::min(top, point.y());
                right = std::max(right, point.x());
                bottom = std::max(bottom, point.y());
            }
    // Room for the wider pen of a selected link on every side.
    return QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-2, -2, 2, 2);
}

void TLinkRep::Relocate()
{
    const QRect bounds = LinesBounds();
    if (bounds.isEmpty()) {
        setGeometry(0, 0, 0, 0);
        return;
    }
    if (geometry() == bounds)
        update();
    else
        setGeometry(bounds);
}

void TLinkRep::paintEvent(QPaintEvent*)
{
    if (FNodes1.Count() == 0 || FNodes2.Count() == 0)
        return;
    QPainter painter(this);
    painter.translate(-pos());
    QPen pen(palette().color(QPalette::WindowText));
    pen.setWidth(FSelected ? 2 : 1);
    painter.setPen(pen);
    const TLinkNode* first1 = FNodes1.First();
    const TLinkNode* first2 = FNodes2.First();
    const int bus1 = BusPoint(first1).x();
    const int bus2 = BusPoint(first2).x();
    painter.drawLine(first1->X, first1->Y, bus1, first1->Y);
    for (int i = 1; i < FNodes1.Count(); ++i) {
        const TLinkNode* node = FNodes1[i];
        painter.drawLine(node->X, node->Y, bus1, node->Y);
        painter.drawLine(bus1, node->Y, bus1, first1->Y);
    }
    painter.drawLine(bus1, first1->Y, bus2, first2->Y);
    painter.drawLine(bus2, first2->Y, first2->X, first2->Y);
    for (int i = 1; i < FNodes2.Count(); ++i) {
        const TLinkNode* node = FNodes2[i];
        painter.drawLine(node->X, node->Y, bus2, node->Y);
        painter.drawLine(bus2, node->Y, bus2, first2->Y);
    }
}

int TLinkRepList::IndexOfLink(const TDSLink* Link) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Link() == Link)
            return i;
    return -1;
}

bool TLinkRepList::FindLinkAt(int X, int Y, TLinkRep*& Rep) const
{
    for (TLinkRep* rep : *this)
        if (rep->IsPointOnLink(X, Y)) {
            Rep = rep;
            return true;
        }
    Rep = nullptr;
    return false;
}

TTableRepListBox::TTableRepListBox(TTableRep* Window) : QListWidget(Window), FWindow(Window)
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
}

QString TTableRepListBox::SelectedText() const
{
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TTableRepListBox::SelectRowAt(const QPoint& Pos)
{
    if (QListWidgetItem* item = itemAt(Pos))
        setCurrentItem(item);
    else
        SelectNone();
}

void TTableRepListBox::SelectNone()
{
    setCurrentRow(-1);
    clearSelection();
}

void TTableRepListBox::mouseMoveEvent(QMouseEvent* Event)
{
    QListWidget::mouseMoveEvent(Event);
    const QPoint pos = Event->position().toPoint();
    platform::Guarded([&] {
        if (OnMouseMove)
            OnMouseMove(this, pos);
        FWindow->ForwardMouseMove(viewport(), Event->modifiers(), pos);
    });
}

void TTableRepListBox::mousePressEvent(QMouseEvent* Event)
{
    QListWidget::mousePressEvent(Event);
    platform::Guarded([&] { FWindow->DoTableClick(); });
}

void TTableRepListBox::focusInEvent(QFocusEvent* Event)
{
    QListWidget::focusInEvent(Event);
    platform::Guarded([&] { FWindow->DoEnter(); });
}

void TTableRepListBox::focusOutEvent(QFocusEvent* Event)
{
    QListWidget::focusOutEvent(Event);
    platform::Guarded([&] {
        if (OnExit)
            OnExit(this, QPoint());
    });
}

void TTableRepListBox::scrollContentsBy(int DX, int DY)
{
    QListWidget::scrollContentsBy(DX, DY);
    // Each link end follows its row, or sticks to the window's top or bottom while it is out of view.
    platform::Guarded([&] {
        if (TZStructDesignPanel* panel = PanelOf(FWindow))
            panel->RerouteLinks(FWindow);
    });
}

TTableRep::TTableRep() : FFieldList(new TTableRepListBox(this))
{
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFocusProxy(FFieldList);
    FCaptionHeight = fontMetrics().height() + 4;
    resize(110, 160);
    LayoutFieldList();
    hide();
}

TTableRep::~TTableRep()
{
    if (TZStructDesignPanel* panel = PanelOf(this))
        if (panel->SelectedTable() == this)
            panel->SelectTable(nullptr);
}

void TTableRep::SetTable(TDSTable* Table)
{
    if (Table == FTable)
        return;
    FTable = Table;
    FCaption = Table ? Table->GetCaption() : QString();
    if (Table) {
        const QRect place = Table->DsgnPos();
        move(place.left(), place.top());
        resize(place.width() > 0 ? place.width() : width(), place.height() > 0 ? place.height() : height());
        // A hidden window gets its size event only when shown; its links are routed before that.
        LayoutFieldList();
    }
    update();
    RefreshFields();
}

void TTableRep::LayoutFieldList()
{
    FFieldList->setGeometry(FrameWidth, FrameWidth + FCaptionHeight, width() - 2 * FrameWidth,
        height() - 2 * FrameWidth - FCaptionHeight);
}

void TTableRep::SetParent(QWidget* Area)
{
    setParent(Area);
    RefreshFields();
}

void TTableRep::RefreshFields()
{
    if (FTable && parentWidget())
        FillFields();
}

void TTableRep::FillFields()
{
    FFieldList->clear();
    TZDBInfo* info = FTable->Structure() ? FTable->Structure()->DatabaseInfo() : nullptr;
    try {
        if (info && info->IsConnected()) {
            QStringList names;
            WithTableDatabase(info, FTable, [&] {
                const TDBFieldList& fields = info->GetFields(FTable->GetOwnerName());
                for (int i = 0; i < fields.Count(); ++i)
                    names.append(fields.GetItem(i)->Name);
            });
            FFieldList->addItems(names);
            FFieldList->setEnabled(true);
            return;
        }
    } catch (const std::exception& e) {
        FFieldList->clear();
        FFieldList->addItems(
            {QStringLiteral("Error") + QStringLiteral("! :"), u'"' + QString::fromUtf8(e.what()) + u'"'});
        return;
    }
    FFieldList->addItem(QStringLiteral("<Not connected>"));
}

void TTableRep::SetSelected(bool Value)
{
    if (FSelected == Value)
        return;
    FSelected = Value;
    QPalette palette = FFieldList->palette();
    palette.setColor(
        QPalette::Base, QGuiApplication::palette().color(Value ? QPalette::ToolTipBase : QPalette::Base));
    FFieldList->setPalette(palette);
    update();
    if (!Value)
        return;
    FFieldList->setFocus();
    if (TZStructDesignPanel* panel = PanelOf(this))
        panel->SelectTable(this);
}

void TTableRep::DoTableClick()
{
    if (OnTableClick)
        OnTableClick(this);
}

void TTableRep::DoEnter()
{
    if (TZStructDesignPanel* panel = PanelOf(this))
        panel->SelectTable(this);
}

void TTableRep::ForwardMouseMove(QWidget* Sender, Qt::KeyboardModifiers Modifiers, const QPoint& Pos)
{
    if (TZStructDesignPanel* panel = PanelOf(this))
        panel->MouseMove(Sender, Modifiers, Pos);
}

void TTableRep::GetLinkNodeX(const TTableRep* Other, int& X, int& Dir) const
{
    if (x() + width() < Other->x()) {
        X = x() + width() + 1;
        Dir = 1;
    } else {
        X = x() - 1;
        Dir = -1;
    }
}

int TTableRep::GetFieldNodeY(const QString& FieldName) const
{
    // "fld:X" names the field X; "val:X" is a value and never a row.
    const QString name = FieldName.startsWith(FieldPrefix) ? FieldName.mid(FieldPrefix.size()) : FieldName;
    int row = -1;
    for (int i = 0; i < FFieldList->count() && row < 0; ++i)
        if (rtl::SameText(FFieldList->item(i)->text(), name))
            row = i;
    const int topRow = FFieldList->indexAt(QPoint(0, 0)).row();
    if (row < 0 || row < topRow)
        return y() + AboveRowsY;
    const QRect rect = FFieldList->visualItemRect(FFieldList->item(row));
    if (rect.top() + rect.height() > FFieldList->viewport()->height())
        return y() + height() - BelowRowsY;
    const QPoint middle(0, (rect.top() + rect.top() + rect.height()) / 2);
    return FFieldList->viewport()->mapTo(this, middle).y() + y();
}

QRect TTableRep::CaptionRect() const
{
    return {FrameWidth, FrameWidth, width() - 2 * FrameWidth, FCaptionHeight};
}

Qt::Edges TTableRep::EdgesAt(const QPoint& Pos) const
{
    Qt::Edges edges;
    if (Pos.x() < FrameWidth)
        edges |= Qt::LeftEdge;
    if (Pos.x() >= width() - FrameWidth)
        edges |= Qt::RightEdge;
    if (Pos.y() < FrameWidth)
        edges |= Qt::TopEdge;
    if (Pos.y() >= height() - FrameWidth)
        edges |= Qt::BottomEdge;
    return edges;
}

void TTableRep::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(1, 1, width() - 2, 1);
    painter.drawLine(1, 1, 1, height() - 2);
    const QRect caption = CaptionRect();
    painter.fillRect(caption, pal.color(FSelected ? QPalette::Highlight : QPalette::Mid));
    painter.setPen(pal.color(FSelected ? QPalette::HighlightedText : QPalette::WindowText));
    const QRect text = caption.adjusted(3, 0, -3, 0);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
        fontMetrics().elidedText(FCaption, Qt::ElideRight, text.width()));
}

void TTableRep::PlaceChanged()
{
    if (FTable)
        FTable->SetDsgnPos(geometry());
    platform::Guarded([&] {
        if (TZStructDesignPanel* panel = PanelOf(this))
            panel->TableMoved(this);
    });
}

void TTableRep::moveEvent(QMoveEvent* Event)
{
    QWidget::moveEvent(Event);
    // A window cannot be dragged before the content's origin.
    const QPoint place(std::max(x(), 0), std::max(y(), 0));
    if (place != pos())
        move(place);
    PlaceChanged();
}

void TTableRep::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    LayoutFieldList();
    PlaceChanged();
}

void TTableRep::mousePressEvent(QMouseEvent* Event)
{
    QWidget::mousePressEvent(Event);
    if (Event->button() != Qt::LeftButton)
        return;
    FDragEdges = EdgesAt(Event->position().toPoint());
    FDragging = FDragEdges || CaptionRect().contains(Event->position().toPoint());
    FDragFrom = Event->globalPosition().toPoint();
    FDragStart = geometry();
    FFieldList->setFocus();
}

void TTableRep::mouseMoveEvent(QMouseEvent* Event)
{
    QWidget::mouseMoveEvent(Event);
    if (FDragging) {
        const QPoint delta = Event->globalPosition().toPoint() - FDragFrom;
        QRect target = FDragStart;
        const int minHeight = FCaptionHeight + 4 * FrameWidth;
        if (!FDragEdges)
            target.translate(delta);
        if (FDragEdges & Qt::LeftEdge)
            target.setLeft(std::min(target.left() + delta.x(), target.right() - MinWindowWidth));
        if (FDragEdges & Qt::RightEdge)
            target.setRight(std::max(target.right() + delta.x(), target.left() + MinWindowWidth));
        if (FDragEdges & Qt::TopEdge)
            target.setTop(std::min(target.top() + delta.y(), target.bottom() - minHeight));
        if (FDragEdges & Qt::BottomEdge)
            target.setBottom(std::max(target.bottom() + delta.y(), target.top() + minHeight));
        setGeometry(target);
    } else {
        const Qt::Edges edges = EdgesAt(Event->position().toPoint());
        const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
        const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
        if (horizontal && vertical)
            setCursor(edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge)
                    ? Qt::SizeFDiagCursor
                    : Qt::SizeBDiagCursor);
        else if (horizontal)
            setCursor(Qt::SizeHorCursor);
        else if (vertical)
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
    }
    platform::Guarded([&] { ForwardMouseMove(this, Event->modifiers(), Event->position().toPoint()); });
}

void TTableRep::mouseReleaseEvent(QMouseEvent* Event)
{
    QWidget::mouseReleaseEvent(Event);
    FDragging = false;
}

int TTableRepList::IndexOfTable(const TDSTable* Table) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->Table() == Table)
            return i;
    return -1;
}

TTableRep* TTableRepList::FindByTable(const TDSTable* Table) const
{
    const int index = IndexOfTable(Table);
    return index >= 0 ? GetItem(index) : nullptr;
}

bool TTableRepList::IsPointInTable(int X, int Y) const
{
    return std::any_of(begin(), end(), [X, Y](const TTableRep* w) {
        return w->x() <= X && X <= w->x() + w->width() && w->y() <= Y && Y <= w->y() + w->height();
    });
}
