#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests run offscreen, never read or write the user's settings, and never wait on a
// message box: a box that no test scripted is answered (No/OK) and counted.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    platform::Application app(argc, argv);

    QTemporaryDir settings;
    platform::Registry::SetStorageFolder(settings.path());
    platform::ScriptedAnswers fallback;

    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
