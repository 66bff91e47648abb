#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace platform;

namespace {

// Runs act on the box as soon as it is shown.
void WhenShown(std::function<void(QMessageBox*)> act)
{
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(box);
        }
    });
    timer->start(10);
}

// Escape as the keyboard gives it: to the focused button first, which passes it to the box.
void PressEscape(QMessageBox* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : box, &press);
}

// Without a GUI application no box can be shown and the harmless answer comes at once. With one,
// the flags choose the buttons and the icon and each button gives its own answer. Escape and the
// window's close button are Cancel where there is one. A question that only Yes or No answers
// ignores both: they answered No, so Escape on the save question threw the change away.
TEST(MessageBox, RealBoxes)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(AskYesNo("Delete everything?"), IDNO);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "platform_dialog_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    using B = QMessageBox;
    enum Act { Press, CloseWindow, Escape };
    const struct {
        int Flags;
        B::StandardButtons Buttons;
        B::Icon Icon;
        Act Action;
        B::StandardButton Click;  // the button pressed, or the one that ends a box left open
        int Answer;
        bool StaysOpen;
    } cases[] = {{MB_YESNO | MB_ICONQUESTION, B::Yes | B::No, B::Question, Press, B::Yes, IDYES, false},
        {MB_YESNOCANCEL | MB_ICONWARNING, B::Yes | B::No | B::Cancel, B::Warning, Press, B::No, IDNO, false},
        {MB_OKCANCEL | MB_ICONINFORMATION, B::Ok | B::Cancel, B::Information, Press, B::Cancel, IDCANCEL,
            false},
        {MB_OK | MB_ICONERROR, B::Ok, B::Critical, Press, B::Ok, IDOK, false},
        {MB_YESNO, B::Yes | B::No, B::NoIcon, CloseWindow, B::Yes, IDYES, true},
        {MB_YESNO | MB_ICONQUESTION, B::Yes | B::No, B::Question, Escape, B::No, IDNO, true},
        {MB_OKCANCEL, B::Ok | B::Cancel, B::NoIcon, CloseWindow, B::NoButton, IDCANCEL, false},
        {MB_OKCANCEL, B::Ok | B::Cancel, B::NoIcon, Escape, B::NoButton, IDCANCEL, false},
        {MB_YESNOCANCEL, B::Yes | B::No | B::Cancel, B::NoIcon, Escape, B::NoButton, IDCANCEL, false},
        {MB_OK, B::Ok, B::NoIcon, Escape, B::NoButton, IDOK, false}};
    for (const auto& c : cases) {
        QString shown;
        B::StandardButtons buttons;
        B::Icon icon = B::NoIcon;
        bool open = false;
        WhenShown([&](QMessageBox* box) {
            shown = box->windowTitle() + "|" + box->text();
            buttons = box->standardButtons();
            icon = box->icon();
            if (c.Action == Press)
                box->button(c.Click)->click();
            else if (c.Action == CloseWindow)
                box->close();
            else
                PressEscape(box);
            open = box->isVisible();
            if (open)
                box->button(c.Click)->click();
        });
        EXPECT_EQ(MessageBox("Question text", "Caption", c.Flags), c.Answer) << c.Flags;
        EXPECT_EQ(shown, "Caption|Question text");
        EXPECT_EQ(buttons, c.Buttons) << c.Flags;
        EXPECT_EQ(icon, c.Icon) << c.Flags;
        EXPECT_EQ(open, c.StaysOpen) << c.Flags << " " << c.Action;
    }
}

}  // namespace
