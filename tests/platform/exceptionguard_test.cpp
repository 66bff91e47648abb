#include "platform/application.h"
#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

// Whatever escapes, our exceptions, standard ones or anything else, is shown as an error.
TEST(Guarded, ShowsTheMessageOfWhatEscapesAndReportsFailure)
{
    ScriptedAnswers script;
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { throw rtl::Exception("Table \"Größe\" not found"); }));
    EXPECT_FALSE(Guarded([] { throw std::runtime_error("disk full"); }));
    EXPECT_FALSE(Guarded([] { throw 42; }));
    EXPECT_EQ(script.AskedTexts(),
        (QStringList {"Table \"Größe\" not found", "disk full", "An unexpected error occurred."}));
    EXPECT_EQ(script.Asked()[0].Flags, MB_OK | MB_ICONERROR);
}

// Fails on the user event, counts the one after it.
class Thrower : public QObject {
public:
    int Handled = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw rtl::Exception("handler failed");
        Handled += e->type() == QEvent::Type(QEvent::User + 1);
        return true;
    }
};

// An exception from an event handler must not end the program nor stop the events queued after it.
TEST(ApplicationNotify, ExceptionFromHandlerIsShownAndProgramGoesOn)
{
    ASSERT_NE(qobject_cast<Application*>(QCoreApplication::instance()), nullptr);
    ScriptedAnswers script;
    Thrower target;
    QEvent fail(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &fail));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::processEvents();
    EXPECT_EQ(target.Handled, 1);
    EXPECT_EQ(script.AskedTexts(), (QStringList {"handler failed", "handler failed"}));
}

}  // namespace
