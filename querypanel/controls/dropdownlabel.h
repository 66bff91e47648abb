#pragma once

#include "querypanel/controls/imagelist.h"
#include "rtl/exception.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// A failure of a drop-down label or chooser, such as an item index outside the list.
class EDDLabelError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// Laying out a text takes time in its length, at every measure and paint: a text longer than
// MaxShownLength, which reaches past any screen, is shown as its start with an ellipsis.
constexpr qsizetype MaxShownLength = 10000;
// Text itself, or its start (never half a character) and an ellipsis when it is longer.
QString ShownPart(const QString& Text);

// A transparent, clickable word of a sentence: shows a value as text ("_____" while there is none) and
// on a click drops down a control to change it, then closes up accepting or discarding the choice.
// The base drops down nothing itself and lets OnCustomDropDown supply the value (a dialog, say).
class TDropDownLabel : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TDropDownLabel* Sender)>;
    using TBeforeDropUpEvent = std::function<void(TDropDownLabel* Sender, QString& Value, bool& Accept)>;
    using TAfterDropUpEvent = std::function<void(TDropDownLabel* Sender, bool Accepted)>;
    using TAltClickEvent = std::function<void(TDropDownLabel* Sender)>;
    using TChangeValueEvent = std::function<void(TDropDownLabel* Sender, QString& Value)>;
    using TGetGroupImageIndexEvent = std::function<void(const QString& AGroupName, int& AImageIndex)>;
    using TGetItemImageIndexEvent
        = std::function<void(const QString& AGroupName, const QString& AItemName, int& AImageIndex)>;

    static inline const QString EmptyCaption = QStringLiteral("_____");

    // The drop-down control is made when the label gets a parent: set the properties it copies (the
    // bidirectional mode, a popup's item count) before setParent.
    TDropDownLabel();
    ~TDropDownLabel() override = default;

    // The caption as given; the shown text holds every "&" doubled, so none makes an accelerator, and
    // shows only the start of a caption far longer than any screen is wide.
    QString Caption() const;
    void SetCaption(const QString& Value);
    const QString& Text() const { return FText; }

    const QString& Value() const { return FValue; }
    void SetValue(const QString& Value);

    bool FocusFrame() const { return FFocusFrame; }
    void SetFocusFrame(bool Value);
    bool DropDownLocked() const { return FDropDownLocked; }
    void SetDropDownLocked(bool Value) { FDropDownLocked = Value; }
    bool Dropped() const { return FDropped; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    Qt::LayoutDirection BiDiMode() const { return layoutDirection(); }
    void SetBiDiMode(Qt::LayoutDirection Value) { setLayoutDirection(Value); }

    void DropDown();
    void CloseUp(bool Accept);
    // Closes only a drop-down that is open; rows use it to close every open one at once.
    void CloseDropDown(bool Accept);

    int GetGroupImageIndex(const QString& GroupName);
    int GetItemImageIndex(const QString& GroupName, const QString& ItemName);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent BeforeDropDown;
    TNotifyEvent AfterDropDown;
    TBeforeDropUpEvent BeforeDropUp;
    TAfterDropUpEvent AfterDropUp;
    TBeforeDropUpEvent OnCustomDropDown;
    TAltClickEvent OnAltClick;
    TNotifyEvent OnRightClick;
    TGetGroupImageIndexEvent OnGetGroupImageIndex;
    TGetItemImageIndexEvent OnGetItemImageIndex;

protected:
    virtual void CreateDropDownControl() {}
    virtual void DoDropDown();
    virtual void HideDropDownControl() {}
    virtual void AcceptValue();
    virtual void ValueChanged();
    virtual bool GetDropDownVisible() { return false; }
    virtual void BiDiModeChanged() {}

    virtual void DoBeforeDropUp(bool& Accept);
    virtual void DoAfterDropUp(bool Accepted);
    virtual void DoRightClick();

    // A focus loss that ends the editing in a drop-down control; one to a popup of the control itself
    // (a calendar, a context menu), to another active window or to the menu bar does not.
    static bool EndsEditing(const QEvent* Event);
    // Stores a corrected value without running ValueChanged again.
    void ReplaceValue(const QString& Value) { FValue = Value; }
    // The label owns its drop-down control although the control's parent is another widget; a
    // control may be in the middle of its own event when the label goes, so it is freed later.
    void DisposeControl(QWidget* Control);

    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    void Click(Qt::KeyboardModifiers Shift);
    void AdjustBounds();

    QString FText;
    // FText as measured and drawn: a caption too long for any screen is cut.
    QString FShownText;
    QString FValue;
    QString FDropValue;
    bool FFocusFrame = false;
    bool FDropDownLocked = false;
    bool FDropped = false;
    bool FClosingUp = false;
    bool FClicked = false;
    QPointer<TImageList> FImages;
};
