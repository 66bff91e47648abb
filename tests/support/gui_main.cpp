#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests run offscreen, never read or write the user's settings, and never wait on a
// message box: a box that no test scripted is answered (No/OK) and fails the running test, so a
// question nobody expected or an exception shown as an error cannot pass unseen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);

    QTemporaryDir settings;
    platform::Registry::SetStorageFolder(settings.path());
    platform::ScriptedAnswers fallback;
    fallback.OnUnanswered = [](const platform::ScriptedAnswers::Box& Asked) {
        ADD_FAILURE() << "Message box that no test scripted: \"" << qPrintable(Asked.Caption) << "\" "
                      << qPrintable(Asked.Text);
    };

    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
