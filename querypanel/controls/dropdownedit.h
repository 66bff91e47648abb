#pragma once

#include "querypanel/controls/dropdownlabel.h"
#include "rtl/datetime.h"

#include <QLineEdit>

class QAction;
class QCalendarWidget;
class QKeyEvent;
class TMaskEdit;

enum TValueType { vtInteger, vtFloat, vtString };
enum TDateTimeEditKind { ekTime, ekDate };

// A drop-down label that edits its value in place: the label hides and an editor takes its place,
// closing up on Enter (accepting), Esc (discarding) or when it loses the focus (accepting). Typed
// characters are filtered by the value type, and the editor grows with its text.
class TDropDownCustomEdit : public TDropDownLabel {
    Q_OBJECT
public:
    TValueType ValueType() const { return FValueType; }
    void SetValueType(TValueType Value) { FValueType = Value; }
    bool AutoUpperCase() const { return GetEditOption(1); }
    void SetAutoUpperCase(bool Value) { SetEditOption(1, Value); }
    bool AutoLowerCase() const { return GetEditOption(2); }
    void SetAutoLowerCase(bool Value) { SetEditOption(2, Value); }

    TChangeValueEvent OnEditDblClick;

protected:
    virtual void EditExit();
    virtual void EditDblClick();
    virtual void AdjustEditSize();
    virtual void AdjustEditPosition();
    virtual void ShowEditControl() = 0;
    virtual QWidget* GetEditControl() const { return nullptr; }
    virtual QString GetEditText() const { return QString(); }
    virtual void SetEditText(const QString&) {}

    void DoDropDown() override;
    void HideDropDownControl() override;
    void ValueChanged() override;
    bool GetDropDownVisible() override;
    void BiDiModeChanged() override;

    // Hooks the editor's focus loss, keys and double clicks (also those of its inner line edit).
    void AttachEditor(QWidget* Editor);
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Answers whether the key was consumed.
    bool EditKeyPress(QKeyEvent* Event);
    bool GetEditOption(int Index) const { return FEditOptions & (1 << Index); }
    void SetEditOption(int Index, bool Value);

    TValueType FValueType = vtString;
    int FEditOptions = 0;
};

// A line edit that swallows the Enter its owner did not take, so it never reaches a default button.
class TSilentEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TSilentEdit(QWidget* Parent = nullptr) : QLineEdit(Parent) {}

protected:
    void keyPressEvent(QKeyEvent* Event) override;
};

// Edits the value as plain text.
class TDropDownEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    ~TDropDownEdit() override;

protected:
    void CreateDropDownControl() override;
    void AcceptValue() override;
    void ShowEditControl() override;
    QWidget* GetEditControl() const override;
    QString GetEditText() const override;
    void SetEditText(const QString& Text) override;

private:
    QPointer<TSilentEdit> FEditor;
};

// Edits the value through an edit mask; the value is the plain or the formatted text.
class TDropDownMaskEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    ~TDropDownMaskEdit() override;

    const QString& EditMask() const { return FEditMask; }
    void SetEditMask(const QString& Value) { FEditMask = Value; }
    bool UseFormattedValue() const { return FUseFormattedValue; }
    void SetUseFormattedValue(bool Value) { FUseFormattedValue = Value; }

protected:
    void CreateDropDownControl() override;
    void AcceptValue() override;
    void ShowEditControl() override;
    QWidget* GetEditControl() const override;
    QString GetEditText() const override;
    void SetEditText(const QString& Text) override;

private:
    QPointer<TMaskEdit> FEditor;
    QString FEditMask;
    bool FUseFormattedValue = false;
};

// Edits a date (numeric months, four-digit years) or a time as a text in the format it is shown in;
// a date one also drops down a calendar from the button at its end, or with Alt+Down or F4. A text
// that is no date or time of that format is refused with a message, and the editor stays open.
class TDropDownDateTimeEdit : public TDropDownCustomEdit {
    Q_OBJECT
public:
    ~TDropDownDateTimeEdit() override;

    TDateTimeEditKind Kind() const { return FKind; }
    void SetKind(TDateTimeEditKind Value);
    // Whether the value is a list of dates or times, held as a comma text and typed as items
    // separated by commas.
    void SetListValue(bool Value) { FListValue = Value; }

    // The locale's short date format with numeric months and a four-digit year.
    static QString DateFormat();
    // The format a date or a time is shown and typed in: DateFormat, or the locale's long time format.
    static QString EditFormat(TDateTimeEditKind Kind);
    // Value as the editor opens on it: in EditFormat, or today's date or the current time when it
    // does not read as one.
    static QString EditText(TDateTimeEditKind Kind, const QString& Value);
    // A typed text read as EditFormat shows it, written back in that format; any other text raises
    // the conversion error of a date or a time, since a lenient reading would make another value of it.
    static QString ReadTypedText(TDateTimeEditKind Kind, const QString& Text);
    // A list value's items as EditText shows each, separated by ", ", except that an item which is
    // no date or time (a blank one too) stays as it is; each item as the list label shows it.
    static QStringList EditItems(TDateTimeEditKind Kind, const QString& Value);
    static QString EditListText(TDateTimeEditKind Kind, const QString& Value);
    // A typed list read item by item as ReadTypedText reads one, as a comma text; an item that is
    // no date or time refuses the whole text with that item named.
    static QString ReadTypedList(TDateTimeEditKind Kind, const QString& Text);

protected:
    void CreateDropDownControl() override;
    void AcceptValue() override;
    void ShowEditControl() override;
    QWidget* GetEditControl() const override;
    QString GetEditText() const override;
    void SetEditText(const QString& Text) override;
    void AdjustEditSize() override;
    void AdjustEditPosition() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void UpdateEditorKind();
    void DropCalendar();
    void CalendarPicked(QDate Date);

    QPointer<TSilentEdit> FEditor;
    QPointer<QAction> FCalendarButton;
    QPointer<QCalendarWidget> FCalendar;
    // The text the editor opened with: closing on it untouched keeps a value as it was, also one the
    // editor cannot show whole (a time of day in a date editor).
    QString FOpenedText;
    TDateTimeEditKind FKind = ekTime;
    bool FListValue = false;
};
