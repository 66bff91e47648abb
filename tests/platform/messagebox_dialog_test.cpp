#include "platform/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace platform;

namespace {

// Real boxes, driven from a timer while they wait for the user.
class RealMessageBox : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "platform_dialog_tests";
        static char* argv[] = {name, nullptr};
        FApp = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { FApp.reset(); }

    // Runs act on the box as soon as it is shown.
    static void WhenShown(std::function<void(QMessageBox*)> act)
    {
        auto* timer = new QTimer(FApp.get());
        QObject::connect(timer, &QTimer::timeout, [timer, act] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer->stop();
                timer->deleteLater();
                act(box);
            }
        });
        timer->start(10);
    }

    static inline std::unique_ptr<QApplication> FApp;
};

struct BoxCase {
    int Flags;
    QMessageBox::StandardButtons Buttons;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButton Click;
    int Answer;
};

TEST_F(RealMessageBox, FlagsChooseButtonsAndIconAndButtonsGiveAnswers)
{
    const BoxCase cases[] = {
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
            QMessageBox::Yes, IDYES},
        {MB_YESNOCANCEL | MB_ICONWARNING, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::Warning, QMessageBox::No, IDNO},
        {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Information,
            QMessageBox::Cancel, IDCANCEL},
        {MB_OK | MB_ICONERROR, QMessageBox::Ok, QMessageBox::Critical, QMessageBox::Ok, IDOK},
        {MB_OK, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok, IDOK},
    };
    for (const BoxCase& c : cases) {
        QString text, title;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenShown([&](QMessageBox* box) {
            text = box->text();
            title = box->windowTitle();
            buttons = box->standardButtons();
            icon = box->icon();
            box->button(c.Click)->click();
        });
        EXPECT_EQ(MessageBox("Question text", "Caption", c.Flags), c.Answer) << c.Flags;
        EXPECT_EQ(text, "Question text");
        EXPECT_EQ(title, "Caption");
        EXPECT_EQ(buttons, c.Buttons) << c.Flags;
        EXPECT_EQ(icon, c.Icon) << c.Flags;
    }
}

TEST_F(RealMessageBox, ClosingTheWindowIsNeverYes)
{
    for (const auto& [flags, answer] : {std::pair{MB_YESNO, IDNO}, {MB_OKCANCEL, IDCANCEL}, {MB_OK, IDOK}}) {
        WhenShown([](QMessageBox* box) { box->close(); });
        EXPECT_EQ(MessageBox("Close me", "", flags), answer) << flags;
    }
}

TEST(MessageBoxWithoutGui, AnswersWithoutBlocking)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(AskYesNo("Delete everything?"), IDNO);
    EXPECT_EQ(MessageBox("Note", "", MB_OK), IDOK);
}

}  // namespace
