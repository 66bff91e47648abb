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

TEST(Guarded, ShowsTheMessageOfWhatEscapesAndReportsFailure)
{
    ScriptedAnswers script;
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { throw rtl::Exception("Table \"Größe\" not found"); }));
    EXPECT_FALSE(Guarded([] { throw std::runtime_error("disk full"); }));
    EXPECT_FALSE(Guarded([] { throw 42; }));

    EXPECT_EQ(script.AskedTexts(),
        (QStringList{"Table \"Größe\" not found", "disk full", "An unexpected error occurred."}));
    for (const ScriptedAnswers::Box& box : script.Asked())
        EXPECT_EQ(box.Flags, MB_OK | MB_ICONERROR);
}

// An object whose handler fails on the events it is told to fail on.
class Thrower : public QObject {
public:
    static inline const QEvent::Type FailType = QEvent::Type(QEvent::User + 1);
    static inline const QEvent::Type CountType = QEvent::Type(QEvent::User + 2);
    int Handled = 0;

    bool event(QEvent* e) override
    {
        if (e->type() == FailType)
            throw rtl::Exception("handler failed");
        if (e->type() == CountType) {
            ++Handled;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(ApplicationNotify, ExceptionFromHandlerIsShownAndProgramGoesOn)
{
    ASSERT_NE(qobject_cast<Application*>(QCoreApplication::instance()), nullptr);
    ScriptedAnswers script;
    Thrower target;

    QEvent fail(Thrower::FailType);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &fail));
    EXPECT_EQ(script.AskedTexts(), QStringList{"handler failed"});

    // Through the event loop: the failing event does not stop the ones after it.
    QCoreApplication::postEvent(&target, new QEvent(Thrower::FailType));
    QCoreApplication::postEvent(&target, new QEvent(Thrower::CountType));
    QCoreApplication::postEvent(&target, new QEvent(Thrower::CountType));
    QCoreApplication::processEvents();

    EXPECT_EQ(target.Handled, 2);
    EXPECT_EQ(script.AskedTexts(), (QStringList{"handler failed", "handler failed"}));
}

}  // namespace
