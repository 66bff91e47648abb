#include "querypanel/controls/dropdownlabel.h"

#include "platform/exceptionguard.h"
#include "querypanel/controls/events.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

using controls::Fire;

namespace {

constexpr int TextFlags = Qt::TextShowMnemonic | Qt::TextSingleLine;

QString Doubled(const QString& Caption)
{
    return QString(Caption).replace("&", "&&");
}

}  // namespace

QString ShownPart(const QString& Text)
{
    if (Text.size() <= MaxShownLength)
        return Text;
    const qsizetype length = Text[MaxShownLength - 1].isHighSurrogate() ? MaxShownLength - 1 : MaxShownLength;
    return Text.left(length) + QChar(0x2026);
}

TDropDownLabel::TDropDownLabel()
{
    SetCaption(EmptyCaption);
    setCursor(Qt::PointingHandCursor);
}

QString TDropDownLabel::Caption() const
{
    return QString(FText).replace("&&", "&");
}

void TDropDownLabel::SetCaption(const QString& Value)
{
    const QString text = Value.isEmpty() ? EmptyCaption : Doubled(Value);
    if (text == FText)
        return;
    FText = text;
    FShownText = Value.size() > MaxShownLength ? Doubled(ShownPart(Value)) : text;
    AdjustBounds();
    update();
}

void TDropDownLabel::SetValue(const QString& Value)
{
    if (Value == FValue)
        return;
    FValue = Value;
    ValueChanged();
}

void TDropDownLabel::ValueChanged()
{
    SetCaption(FValue);
}

void TDropDownLabel::SetFocusFrame(bool Value)
{
    if (Value == FFocusFrame)
        return;
    FFocusFrame = Value;
    update();
}

void TDropDownLabel::DropDown()
{
    if (FDropDownLocked)
        return;
    QPointer<TDropDownLabel> self(this);
    Fire(BeforeDropDown, this);
    if (!self)
        return;
    FDropped = true;
    try {
        DoDropDown();
    } catch (...) {
        // A drop-down that failed half-way must not leave the label hidden or stuck in the dropped
        // state, where the next click would only close up.
        if (self && FDropped) {
            FClosingUp = true;
            HideDropDownControl();
            FClosingUp = false;
            FDropped = false;
        }
        throw;
    }
    if (self && FDropped)
        Fire(AfterDropDown, this);
}

void TDropDownLabel::CloseUp(bool Accept)
{
    // Once per drop-down: hiding a focused editor, or a handler moving the focus, reports a focus
    // loss that would otherwise close up again and accept what was discarded.
    if (FClosingUp || !FDropped)
        return;
    QPointer<TDropDownLabel> self(this);
    FClosingUp = true;
    try {
        DoBeforeDropUp(Accept);
        if (self && Accept)
            AcceptValue();
        if (self)
            HideDropDownControl();
    } catch (...) {
        if (self)
            FClosingUp = false;
        throw;
    }
    if (!self)
        return;
    FClosingUp = false;
    if (parentWidget())
        parentWidget()->update();
    FDropped = false;
    DoAfterDropUp(Accept);
}

void TDropDownLabel::CloseDropDown(bool Accept)
{
    if (GetDropDownVisible())
        CloseUp(Accept);
}

void TDropDownLabel::DoDropDown()
{
    QPointer<TDropDownLabel> self(this);
    bool accept = true;
    FDropValue = FValue;
    Fire(OnCustomDropDown, this, FDropValue, accept);
    if (!self)
        return;
    CloseUp(accept);
    if (self)
        FDropValue.clear();
}

void TDropDownLabel::AcceptValue()
{
    if (!FDropValue.isEmpty())
        SetValue(FDropValue);
}

void TDropDownLabel::DoBeforeDropUp(bool& Accept)
{
    // Handlers may veto through Accept; what they write into the value is not used.
    QString value;
    Fire(BeforeDropUp, this, value, Accept);
}

void TDropDownLabel::DoAfterDropUp(bool Accepted)
{
    Fire(AfterDropUp, this, Accepted);
}

void TDropDownLabel::DoRightClick()
{
    Fire(OnRightClick, this);
}

int TDropDownLabel::GetGroupImageIndex(const QString& GroupName)
{
    int index = -1;
    Fire(OnGetGroupImageIndex, GroupName, index);
    return index;
}

int TDropDownLabel::GetItemImageIndex(const QString& GroupName, const QString& ItemName)
{
    int index = -1;
    Fire(OnGetItemImageIndex, GroupName, ItemName, index);
    return index;
}

bool TDropDownLabel::EndsEditing(const QEvent* Event)
{
    if (Event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(Event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
        && reason != Qt::MenuBarFocusReason;
}

void TDropDownLabel::DisposeControl(QWidget* Control)
{
    if (!Control)
        return;
    Control->removeEventFilter(this);
    for (QObject* child : Control->findChildren<QObject*>())
        child->removeEventFilter(this);
    Control->hide();
    Control->deleteLater();
}

void TDropDownLabel::Click(Qt::KeyboardModifiers Shift)
{
    QPointer<TDropDownLabel> self(this);
    Fire(OnClick, this);
    if (!self)
        return;
    if (Shift.testFlag(Qt::ControlModifier))
        Fire(OnAltClick, this);
    else if (FDropped)
        CloseUp(false);
    else
        DropDown();
}

void TDropDownLabel::AdjustBounds()
{
    resize(fontMetrics().size(TextFlags, FShownText));
}

void TDropDownLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(rect(),
        int(QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft | Qt::AlignTop)) | TextFlags,
        FShownText);
    if (FFocusFrame) {
        painter.setPen(QColor(0, 0, 128));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TDropDownLabel::mousePressEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        if (Event->button() == Qt::LeftButton)
            FClicked = true;
        else if (Event->button() == Qt::RightButton)
            DoRightClick();
    });
}

void TDropDownLabel::mouseReleaseEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        if (Event->button() != Qt::LeftButton || !FClicked)
            return;
        FClicked = false;
        if (rect().contains(Event->position().toPoint()))
            Click(Event->modifiers());
    });
}

void TDropDownLabel::mouseDoubleClickEvent(QMouseEvent* Event)
{
    platform::Guarded([&] {
        if (Event->button() == Qt::LeftButton)
            Fire(OnDblClick, this);
        else if (Event->button() == Qt::RightButton)
            DoRightClick();
    });
}

void TDropDownLabel::changeEvent(QEvent* Event)
{
    QWidget::changeEvent(Event);
    platform::Guarded([&] {
        switch (Event->type()) {
        case QEvent::ParentChange:
            if (parentWidget())
                CreateDropDownControl();
            break;
        case QEvent::FontChange:
            AdjustBounds();
            break;
        case QEvent::LayoutDirectionChange:
            BiDiModeChanged();
            break;
        default:
            break;
        }
    });
}
