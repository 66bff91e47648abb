#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// A shown, active window to put controls on, so that the mouse, the keys and the focus behave as on
// screen. A second focusable widget, Other, takes the focus away from an open editor.
struct HostWindow {
    QWidget Window;
    QWidget* Other;
    QStringList Closes;  // "Accepted" or "Discarded" for every close-up of a label placed here

    explicit HostWindow(QSize Size = QSize(400, 300)) : Other(new QWidget(&Window))
    {
        Window.resize(Size);
        Other->setFocusPolicy(Qt::StrongFocus);
        Other->setGeometry(300, 250, 20, 20);
        Window.show();
        QApplication::setActiveWindow(&Window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    // Controls get their parent after their properties, as the drop-down controls are made then.
    template <typename T>
    T* Place(T* Control, QPoint At)
    {
        Control->setParent(&Window);
        Control->move(At);
        Control->show();
        return Control;
    }
    template <typename T>
    T* PlaceLabel(T* Label, QPoint At)
    {
        Label->AfterDropUp
            = [this](auto*, bool Accepted) { Closes << (Accepted ? "Accepted" : "Discarded"); };
        return Place(Label, At);
    }
};

inline void Click(QWidget* Widget, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    QTest::mouseClick(Widget, Qt::LeftButton, Modifiers, Widget->rect().center());
}

// Runs Action on the popup that the next call opens, then closes whatever popup is left, so that a
// test never waits on an open menu.
inline void OnPopup(std::function<void(QWidget* Popup)> Action)
{
    QTimer::singleShot(0, [Action] {
        QWidget* popup = QApplication::activePopupWidget();
        EXPECT_NE(popup, nullptr);
        if (popup)
            Action(popup);
        while (QWidget* left = QApplication::activePopupWidget())
            left->close();
    });
}
