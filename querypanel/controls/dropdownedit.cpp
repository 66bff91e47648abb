#include "querypanel/controls/dropdownedit.h"

#include "core/base/zstrings.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/events.h"
#include "querypanel/controls/maskedit.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/stringlist.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>

using controls::Fire;

namespace {

// The in-place editors are plain single-line boxes over the label's place.
void PrepareLineEditor(QLineEdit* Editor, Qt::LayoutDirection Direction)
{
    Editor->hide();
    Editor->setStyleSheet("QLineEdit { border: 1px solid palette(shadow); padding: 0px; margin: 0px; }");
    Editor->setLayoutDirection(Direction);
}

}  // namespace

// --- TDropDownCustomEdit ---

void TDropDownCustomEdit::SetEditOption(int Index, bool Value)
{
    if (Value)
        FEditOptions |= 1 << Index;
    else
        FEditOptions &= ~(1 << Index);
}

void TDropDownCustomEdit::AttachEditor(QWidget* Editor)
{
    Editor->installEventFilter(this);
    // A picker's text is an inner line edit: double clicks land there.
    for (QLineEdit* inner : Editor->findChildren<QLineEdit*>())
        inner->installEventFilter(this);
}

bool TDropDownCustomEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    QWidget* editor = GetEditControl();
    if (!editor || (Watched != editor && Watched->parent() != editor))
        return TDropDownLabel::eventFilter(Watched, Event);
    switch (Event->type()) {
    case QEvent::KeyPress:
        if (Watched == editor) {
            // Enter and Esc never reach the editor, also when closing up fails.
            bool consumed = true;
            platform::Guarded([&] { consumed = EditKeyPress(static_cast<QKeyEvent*>(Event)); });
            return consumed;
        }
        break;
    case QEvent::FocusOut:
        if (Watched == editor && EndsEditing(Event) && !editor->isHidden())
            EditExit();
        break;
    case QEvent::MouseButtonDblClick:
        platform::Guarded([&] { EditDblClick(); });
        break;
    default:
        break;
    }
    return false;
}

void TDropDownCustomEdit::EditExit()
{
    // A value the editor refuses is reported once; the editor stays open with the focus, so the
    // user corrects it or leaves with Esc instead of meeting the same message on every focus change.
    QPointer<TDropDownCustomEdit> self(this);
    if (!platform::Guarded([this] { CloseUp(true); }) && self && GetDropDownVisible())
        GetEditControl()->setFocus(Qt::OtherFocusReason);
}

void TDropDownCustomEdit::EditDblClick()
{
    if (!OnEditDblClick)
        return;
    QPointer<TDropDownCustomEdit> self(this);
    QString text = GetEditText();
    Fire(OnEditDblClick, this, text);
    if (self)
        SetEditText(text);
}

bool TDropDownCustomEdit::EditKeyPress(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        CloseUp(true);
        return true;
    }
    if (Event->key() == Qt::Key_Escape) {
        CloseUp(false);
        return true;
    }
    const QString typed = Event->text();
    if (typed.isEmpty())
        return false;
    bool drop = false;
    const QChar ch = typed[0];
    // Control characters (Backspace, Delete, Tab, Ctrl+V) always pass; number types take digits and
    // the signs of lists and negative numbers, a float one decimal separator.
    if (FValueType != vtString && ch.isPrint() && !IsDigitChar(ch) && ch != '"' && ch != ',' && ch != '-') {
        const QChar separator = rtl::formatSettings().DecimalSeparator;
        drop = FValueType == vtInteger || ch != separator || GetEditText().contains(separator);
    }
    AdjustEditSize();
    AdjustEditPosition();
    return drop;
}

void TDropDownCustomEdit::DoDropDown()
{
    if (!GetEditControl())
        return;
    hide();
    ShowEditControl();
    AdjustEditSize();
    AdjustEditPosition();
    // Over the words that follow the label, which were placed after the editor was made.
    GetEditControl()->raise();
    GetEditControl()->setFocus(Qt::OtherFocusReason);
}

void TDropDownCustomEdit::HideDropDownControl()
{
    if (QWidget* editor = GetEditControl()) {
        // A hidden widget may keep the focus (the picker moves it between its own fields instead
        // of passing it on), and keys typed then would edit the invisible editor.
        if (editor->hasFocus() && parentWidget())
            parentWidget()->setFocus(Qt::OtherFocusReason);
        editor->hide();
    }
    show();
}

bool TDropDownCustomEdit::GetDropDownVisible()
{
    const QWidget* editor = GetEditControl();
    return editor && !editor->isHidden();
}

void TDropDownCustomEdit::BiDiModeChanged()
{
    TDropDownLabel::BiDiModeChanged();
    if (QWidget* editor = GetEditControl())
        editor->setLayoutDirection(layoutDirection());
}

void TDropDownCustomEdit::ValueChanged()
{
    if (AutoUpperCase())
        ReplaceValue(QLocale().toUpper(Value()));
    else if (AutoLowerCase())
        ReplaceValue(QLocale().toLower(Value()));
    TDropDownLabel::ValueChanged();
}

void TDropDownCustomEdit::AdjustEditSize()
{
    GetEditControl()->resize(
        fontMetrics().horizontalAdvance(GetEditText() + "W") + 6, fontMetrics().height());
}

void TDropDownCustomEdit::AdjustEditPosition()
{
    QWidget* editor = GetEditControl();
    const int left = editor->layoutDirection() == Qt::LeftToRight ? x() : x() + width() - editor->width();
    editor->move(left, y());
}

// --- TSilentEdit ---

void TSilentEdit::keyPressEvent(QKeyEvent* Event)
{
    QLineEdit::keyPressEvent(Event);
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter)
        Event->accept();
}

// --- TDropDownEdit ---

TDropDownEdit::~TDropDownEdit()
{
    DisposeControl(FEditor);
}

void TDropDownEdit::CreateDropDownControl()
{
    DisposeControl(FEditor);
    FEditor = new TSilentEdit(parentWidget());
    PrepareLineEditor(FEditor, layoutDirection());
    AttachEditor(FEditor);
}

void TDropDownEdit::AcceptValue()
{
    if (GetDropDownVisible())
        SetValue(FEditor->text());
}

void TDropDownEdit::ShowEditControl()
{
    FEditor->setText(Value());
    FEditor->selectAll();
    FEditor->show();
}

QWidget* TDropDownEdit::GetEditControl() const
{
    return FEditor;
}

QString TDropDownEdit::GetEditText() const
{
    return FEditor ? FEditor->text() : QString();
}

void TDropDownEdit::SetEditText(const QString& Text)
{
    FEditor->setText(Text);
}

// --- TDropDownMaskEdit ---

TDropDownMaskEdit::~TDropDownMaskEdit()
{
    DisposeControl(FEditor);
}

void TDropDownMaskEdit::CreateDropDownControl()
{
    DisposeControl(FEditor);
    FEditor = new TMaskEdit(parentWidget());
    PrepareLineEditor(FEditor, layoutDirection());
    AttachEditor(FEditor);
}

void TDropDownMaskEdit::AcceptValue()
{
    if (!GetDropDownVisible())
        return;
    FEditor->ValidateEdit();
    SetValue(FUseFormattedValue ? FEditor->EditText() : FEditor->Text());
    SetCaption(FEditor->EditText());
}

void TDropDownMaskEdit::ShowEditControl()
{
    FEditor->SetEditMask(FEditMask);
    // A label that shows no value opens an empty editor, whatever an earlier editing left in it.
    if (Caption() == EmptyCaption)
        FEditor->setText(QString());
    else
        FEditor->SetEditText(FUseFormattedValue ? Value() : Caption());
    FEditor->selectAll();
    FEditor->show();
}

QWidget* TDropDownMaskEdit::GetEditControl() const
{
    return FEditor;
}

QString TDropDownMaskEdit::GetEditText() const
{
    return FEditor ? FEditor->EditText() : QString();
}

void TDropDownMaskEdit::SetEditText(const QString& Text)
{
    FEditor->SetEditText(Text);
}

// --- TDropDownDateTimeEdit ---

TDropDownDateTimeEdit::~TDropDownDateTimeEdit()
{
    DisposeControl(FEditor);
}

QString TDropDownDateTimeEdit::DateFormat()
{
    QString format = ReplaceAllEx(rtl::formatSettings().ShortDateFormat, "mmmm", "mm", false);
    format = ReplaceAllEx(format, "mmm", "mm", false);
    if (CountChar(format, 'y') == 2)
        format = ReplaceAllEx(format, "yy", "yyyy", false);
    return format;
}

QString TDropDownDateTimeEdit::EditFormat(TDateTimeEditKind Kind)
{
    return Kind == ekDate ? DateFormat() : rtl::formatSettings().LongTimeFormat;
}

namespace {

// Read in the format the editor writes, which may hold literal text ("28.02.1997 г.") that the
// lenient readers cannot take; they still serve values written in the locale's own formats.
bool ReadStoredValue(TDateTimeEditKind Kind, const QString& Value, rtl::TDateTime& Read)
{
    return !Value.isEmpty()
        && (rtl::TryReadFormattedDateTime(TDropDownDateTimeEdit::EditFormat(Kind), Value, Read)
            || (Kind == ekDate ? rtl::TryStrToDateTime(Value, Read) : rtl::TryStrToTime(Value, Read)));
}

}  // namespace

QString TDropDownDateTimeEdit::EditText(TDateTimeEditKind Kind, const QString& Value)
{
    rtl::TDateTime value = 0;
    if (!ReadStoredValue(Kind, Value, value))
        value = Kind == ekDate ? rtl::Date() : rtl::Now();
    return rtl::FormatDateTime(EditFormat(Kind), value);
}

QString TDropDownDateTimeEdit::ReadTypedText(TDateTimeEditKind Kind, const QString& Text)
{
    rtl::TDateTime value = 0;
    if (!rtl::TryReadFormattedDateTime(EditFormat(Kind), Text, value))
        rtl::RaiseConvertError(Kind == ekDate ? rtl::ConvertError::Date : rtl::ConvertError::Time, Text);
    return rtl::FormatDateTime(EditFormat(Kind), value);
}

QStringList TDropDownDateTimeEdit::EditItems(TDateTimeEditKind Kind, const QString& Value)
{
    QStringList items;
    SplitCommaText(Value, items);
    // An item that is no date or time, a blank one too, is shown as it stands: made today's date,
    // it would be stored as one when another item is edited, where now the typed list is refused.
    rtl::TDateTime value = 0;
    for (QString& item : items)
        if (ReadStoredValue(Kind, item, value))
            item = rtl::FormatDateTime(EditFormat(Kind), value);
    return items;
}

QString TDropDownDateTimeEdit::EditListText(TDateTimeEditKind Kind, const QString& Value)
{
    // An empty list opens as an empty single value does: at today's date or the current time.
    return Value.trimmed().isEmpty() ? EditText(Kind, Value) : EditItems(Kind, Value).join(u", ");
}

QString TDropDownDateTimeEdit::ReadTypedList(TDateTimeEditKind Kind, const QString& Text)
{
    QStringList items;
    SplitCommaText(Text, items);
    // A text of no items is refused as an empty single value is.
    if (items.isEmpty())
        items << Text;
    for (QString& item : items)
        item = ReadTypedText(Kind, item);
    return rtl::StringList(items).CommaText();
}

void TDropDownDateTimeEdit::SetKind(TDateTimeEditKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    if (FEditor)
        UpdateEditorKind();
}

void TDropDownDateTimeEdit::UpdateEditorKind()
{
    FCalendarButton->setVisible(FKind == ekDate);
}

void TDropDownDateTimeEdit::CreateDropDownControl()
{
    DisposeControl(FEditor);
    FEditor = new TSilentEdit(parentWidget());
    PrepareLineEditor(FEditor, layoutDirection());
    FCalendarButton
        = FEditor->addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    connect(FCalendarButton, &QAction::triggered, this, &TDropDownDateTimeEdit::DropCalendar);
    AttachEditor(FEditor);
    UpdateEditorKind();
    FEditor->resize(FEditor->sizeHint());
}

bool TDropDownDateTimeEdit::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEditor && Event->type() == QEvent::KeyPress && FKind == ekDate) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        if (key->key() == Qt::Key_F4
            || (key->key() == Qt::Key_Down && key->modifiers().testFlag(Qt::AltModifier))) {
            DropCalendar();
            return true;
        }
    }
    return TDropDownCustomEdit::eventFilter(Watched, Event);
}

void TDropDownDateTimeEdit::DropCalendar()
{
    if (!GetDropDownVisible())
        return;
    if (!FCalendar) {
        FCalendar = new QCalendarWidget(FEditor);
        FCalendar->setWindowFlags(Qt::Popup);
        connect(FCalendar, &QCalendarWidget::clicked, this, &TDropDownDateTimeEdit::CalendarPicked);
        connect(FCalendar, &QCalendarWidget::activated, this, &TDropDownDateTimeEdit::CalendarPicked);
    }
    // At the date typed so far, else today.
    rtl::TDateTime typed = 0;
    FCalendar->setSelectedDate(rtl::TryReadFormattedDateTime(EditFormat(FKind), FEditor->text(), typed)
            ? rtl::ToQDateTime(typed).date()
            : QDate::currentDate());
    FCalendar->adjustSize();
    FCalendar->move(FEditor->mapToGlobal(QPoint(0, FEditor->height())));
    FCalendar->show();
    FCalendar->setFocus(Qt::PopupFocusReason);
}

void TDropDownDateTimeEdit::CalendarPicked(QDate Date)
{
    FCalendar->hide();
    rtl::TDateTime picked = 0;
    if (rtl::TryEncodeDate(Date.year(), Date.month(), Date.day(), picked))
        FEditor->setText(rtl::FormatDateTime(EditFormat(FKind), picked));
    FEditor->setFocus(Qt::PopupFocusReason);
}

void TDropDownDateTimeEdit::ShowEditControl()
{
    // A value that does not read as a date or time opens the editor at today's date or the current
    // time, instead of failing with the label already hidden; in the formats of the moment's locale.
    FOpenedText = FListValue ? EditListText(FKind, Value()) : EditText(FKind, Value());
    FEditor->setText(FOpenedText);
    FEditor->selectAll();
    FEditor->show();
}

QWidget* TDropDownDateTimeEdit::GetEditControl() const
{
    return FEditor;
}

QString TDropDownDateTimeEdit::GetEditText() const
{
    return FEditor ? FEditor->text() : QString();
}

void TDropDownDateTimeEdit::SetEditText(const QString& Text)
{
    // A text that comes back unchanged (a double-click handler that changed nothing) stays as typed,
    // for the reading on closing up; a handler's own text is read as the locale writes dates.
    if (Text != FEditor->text())
        FEditor->setText(rtl::FormatDateTime(EditFormat(FKind), rtl::StrToDateTime(Text)));
}

void TDropDownDateTimeEdit::AcceptValue()
{
    // Closing on the text of a value untouched keeps the value; an empty one takes what is shown.
    if (!GetDropDownVisible() || (!Value().isEmpty() && FEditor->text() == FOpenedText))
        return;
    const QString text
        = FListValue ? ReadTypedList(FKind, FEditor->text()) : ReadTypedText(FKind, FEditor->text());
    if (text == Value())
        return;
    SetValue(text);
    SetCaption(FListValue ? EditItems(FKind, text).join(u", ") : text);
}

void TDropDownDateTimeEdit::AdjustEditSize()
{
    // Room for one date and the calendar button at least; a list, or a locale's literal text
    // ("28.02.1997 г."), widens it.
    const int width = 10 * fontMetrics().horizontalAdvance('0') + 20;
    FEditor->resize(
        qMax(width, fontMetrics().horizontalAdvance(FEditor->text() + "W") + 32), FEditor->height());
}

void TDropDownDateTimeEdit::AdjustEditPosition()
{
    TDropDownCustomEdit::AdjustEditPosition();
    FEditor->move(FEditor->x(), y() - (FEditor->height() - height()) / 2);
}
