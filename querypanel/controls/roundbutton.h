#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

// A small self-painted push button: a filled rounded (or square) rectangle with a centred caption that
// changes colour under the mouse and while pressed, flat or with a raised edge. It clicks only when
// the left button is released over it. The query panel's row buttons derive from it.
class TZRndBtn : public QWidget {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TZRndBtn* Sender)>;
    using TMouseEvent = std::function<void(
        TZRndBtn* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(TZRndBtn* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TZRndBtn(QWidget* Parent = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Pressed, the caption shifts and the edge sinks instead of the colours inverting.
    bool AllowPress() const { return FAllowPress; }
    void SetAllowPress(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool Value);
    const QColor& OverColor() const { return FOverColor; }
    void SetOverColor(const QColor& Value);
    const QColor& PressedColor() const { return FPressedColor; }
    void SetPressedColor(const QColor& Value);
    // Kept for forms that set it; the drawing does not use it. Values below -1 are ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    virtual void Click();

    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    enum class TState { Up, Down };

    void MouseDown(QMouseEvent* Event);
    void MouseEnter();
    void MouseLeave();
    // Brings the hover look in line with whether the mouse is over the button.
    void UpdateTracking(bool MouseOver);
    void AdjustSize();
    bool Inside(const QPoint& P) const;
    template <typename T>
    void Assign(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        update();
    }

    QString FCaption;
    bool FAutoSize = false;
    bool FAllowPress = false;
    bool FPressed = false;
    int FMargin = -1;
    bool FFlat = true;
    bool FRounded = true;
    bool FHover = false;
    QColor FPressedColor = Qt::black;
    QColor FOverColor = QColor(192, 192, 192);
    TState FState = TState::Up;
    int FShortcutId = 0;
};
