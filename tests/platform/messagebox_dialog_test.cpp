#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
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

// Without a GUI application no box can be shown and the harmless answer comes at once. With one,
// the flags choose the buttons and the icon, each button gives its own answer, and closing the
// window is Cancel where there is one and never Yes.
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
    const struct {
        int Flags;
        B::StandardButtons Buttons;
        B::Icon Icon;
        B::StandardButton Click;  // NoButton: close the window
        int Answer;
    } cases[] = {{MB_YESNO | MB_ICONQUESTION, B::Yes | B::No, B::Question, B::Yes, IDYES},
        {MB_YESNOCANCEL | MB_ICONWARNING, B::Yes | B::No | B::Cancel, B::Warning, B::No, IDNO},
        {MB_OKCANCEL | MB_ICONINFORMATION, B::Ok | B::Cancel, B::Information, B::Cancel, IDCANCEL},
        {MB_OK | MB_ICONERROR, B::Ok, B::Critical, B::Ok, IDOK},
        {MB_YESNO, B::Yes | B::No, B::NoIcon, B::NoButton, IDNO},
        {MB_OKCANCEL, B::Ok | B::Cancel, B::NoIcon, B::NoButton, IDCANCEL}};
    for (const auto& c : cases) {
        QString shown;
        B::StandardButtons buttons;
        B::Icon icon = B::NoIcon;
        WhenShown([&](QMessageBox* box) {
            shown = box->windowTitle() + "|" + box->text();
            buttons = box->standardButtons();
            icon = box->icon();
            c.Click == B::NoButton ? void(box->close()) : box->button(c.Click)->click();
        });
        EXPECT_EQ(MessageBox("Question text", "Caption", c.Flags), c.Answer) << c.Flags;
        EXPECT_EQ(shown, "Caption|Question text");
        EXPECT_EQ(buttons, c.Buttons) << c.Flags;
        EXPECT_EQ(icon, c.Icon) << c.Flags;
    }
}

}  // namespace
