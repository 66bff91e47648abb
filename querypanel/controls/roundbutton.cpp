#include "querypanel/controls/roundbutton.h"

#include "platform/exceptionguard.h"
#include "querypanel/controls/events.h"

#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

using controls::Fire;

TZRndBtn::TZRndBtn(QWidget* Parent) : QWidget(Parent)
{
    setGeometry(0, 0, 25, 18);
    // Opaque until Flat is changed: the corners are filled with the parent's colour.
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
}

void TZRndBtn::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    if (FShortcutId != 0)
        releaseShortcut(FShortcutId);
    const QKeySequence accelerator = QKeySequence::mnemonic(Value);
    FShortcutId = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
    AdjustSize();
    update();
}

void TZRndBtn::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    AdjustSize();
}

void TZRndBtn::SetAllowPress(bool Value)
{
    Assign(FAllowPress, Value);
}

void TZRndBtn::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    // Flat buttons let the parent show at the rounded corners.
    setAutoFillBackground(!Value);
    update();
}

void TZRndBtn::SetRounded(bool Value)
{
    Assign(FRounded, Value);
}

void TZRndBtn::SetOverColor(const QColor& Value)
{
    Assign(FOverColor, Value);
}

void TZRndBtn::SetPressedColor(const QColor& Value)
{
    Assign(FPressedColor, Value);
}

void TZRndBtn::SetMargin(int Value)
{
    if (Value >= -1)
        Assign(FMargin, Value);
}

void TZRndBtn::Click()
{
    Fire(OnClick, this);
}

void TZRndBtn::AdjustSize()
{
    if (!FAutoSize)
        return;
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.horizontalAdvance(FCaption) + 10, metrics.height() + 1);
}

bool TZRndBtn::Inside(const QPoint& P) const
{
    return P.x() >= 0 && P.x() < width() && P.y() >= 0 && P.y() <= height();
}

void TZRndBtn::MouseEnter()
{
    if (FHover || !isEnabled())
        return;
    FHover = true;
    repaint();
}

void TZRndBtn::MouseLeave()
{
    if (!FHover || !isEnabled() || FPressed)
        return;
    FHover = false;
    update();
}

void TZRndBtn::UpdateTracking(bool MouseOver)
{
    if (!FFlat || !isEnabled())
        return;
    if (MouseOver)
        MouseEnter();
    else
        MouseLeave();
}

void TZRndBtn::MouseDown(QMouseEvent* Event)
{
    QPointer<TZRndBtn> self(this);
    const QPoint p = Event->position().toPoint();
    Fire(OnMouseDown, this, Event->button(), Event->modifiers(), p.x(), p.y());
    if (!self || Event->button() != Qt::LeftButton || !isEnabled())
        return;
    FState = TState::Down;
    repaint();
    FPressed = true;
}

void TZRndBtn::mousePressEvent(QMouseEvent* Event)
{
    platform::Guarded([&] { MouseDown(Event); });
}

void TZRndBtn::mouseDoubleClickEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        QPointer<TZRndBtn> self(this);
        Fire(OnDblClick, this);
        if (self)
            MouseDown(Event);
    });
}

void TZRndBtn::mouseMoveEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        QPointer<TZRndBtn> self(this);
        const QPoint p = Event->position().toPoint();
        Fire(OnMouseMove, this, Event->modifiers(), p.x(), p.y());
        if (!self || !FPressed)
            return;
        // Sliding off the button shows it released, sliding back shows it pressed.
        const TState state = Inside(p) ? TState::Down : TState::Up;
        if (state != FState) {
            FState = state;
            repaint();
        }
    });
}

void TZRndBtn::mouseReleaseEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        QPointer<TZRndBtn> self(this);
        const QPoint p = Event->position().toPoint();
        Fire(OnMouseUp, this, Event->button(), Event->modifiers(), p.x(), p.y());
        if (!self || !FPressed)
            return;
        FPressed = false;
        const bool inside = Inside(p);
        FState = TState::Up;
        FHover = false;
        // Repainted also after a release outside, which would otherwise keep the hover colour.
        repaint();
        if (inside) {
            Click();
            // The click may have freed the button (a menu command deleting the row).
            if (!self)
                return;
        }
        UpdateTracking(rect().contains(p));
    });
}

void TZRndBtn::enterEvent(QEnterEvent*)
{
    MouseEnter();
}

void TZRndBtn::leaveEvent(QEvent*)
{
    MouseLeave();
}

void TZRndBtn::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    switch (Event->type()) {
    case QEvent::EnabledChange:
        UpdateTracking(isVisible() && rect().contains(mapFromGlobal(QCursor::pos())));
        repaint();
        break;
    case QEvent::FontChange:
        AdjustSize();
        update();
        break;
    default:
        break;
    }
}

bool TZRndBtn::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut
        && static_cast<QShortcutEvent*>(Event)->shortcutId() == FShortcutId) {
        if (isEnabled())
            platform::Guarded([this] { Click(); });
        return true;
    }
    return QWidget::event(Event);
}

void TZRndBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight);
    painter.setRenderHint(QPainter::Antialiasing, FRounded);
    const bool down = FState == TState::Down;
    const int e = FRounded ? 3 * height() / 4 : 0;
    const int k = FRounded ? 2 : 1;
    const int m = FRounded ? e / 4 : 1;
    const qreal radius = e / 2.0;
    const QRectF outline(0.5, 0.5, width() - 1, height() - 1);

    painter.setPen(Qt::NoPen);
    painter.setBrush(down ? FPressedColor : FHover ? FOverColor : palette().color(backgroundRole()));
    painter.drawRoundedRect(QRectF(rect()), radius, radius);

    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics = fontMetrics();
    int x = (width() - metrics.horizontalAdvance(FCaption)) / 2;
    int y = (height() - metrics.height()) / 2;
    if (FAllowPress && down) {
        ++x;
        ++y;
    }
    painter.setPen(down && !FAllowPress ? QColor(Qt::white) : palette().color(foregroundRole()));
    painter.drawText(QRect(x, y, metrics.horizontalAdvance(FCaption) + 1, metrics.height()),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FCaption);

    if (!FAllowPress || (FFlat && !FHover)) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawRoundedRect(outline, radius, radius);
        return;
    }
    // A raised edge: light at the top left, dark at the bottom right; the reverse while pressed.
    painter.setClipRect(rect().translated(-1, -1));
    painter.setPen(down ? Qt::black : Qt::white);
    painter.drawRoundedRect(outline, radius, radius);
    painter.setClipRect(rect().translated(k, m));
    painter.setPen(down ? Qt::white : Qt::black);
    painter.drawRoundedRect(outline, radius, radius);
}
