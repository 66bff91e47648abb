// The wizard library as the program binds it: Tesmera.so loaded by file name, its three entries
// driven with callbacks of a fake program.

#include "wizard/wizardapi.h"

#include <QApplication>
#include <QDialog>
#include <QLibrary>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

struct FakeProgram {
    static inline QByteArray ModelText;
    static inline QByteArray Received;
    static inline int SetCalls = 0;
    static inline int Outstanding = 0;

    static char* Text(const QByteArray& Lines)
    {
        ++Outstanding;
        return strdup(Lines.constData());
    }
    static char* GetModelText() { return Text(ModelText); }
    static void SetModelText(const char* Lines)
    {
        ++SetCalls;
        Received = Lines;
    }
    static char* DatabaseNames() { return nullptr; }
    static const char16_t* CurrentDB() { return u""; }
    static void SetCurrentDB(const char16_t*) {}
    static char* Tables() { return Text("ORDERS\r\n"); }
    static char* Fields(const char*)
    {
        return Text("Count=1\r\nF1Name=ID\r\nF1Size=4\r\nF1Type=ftInteger\r\n");
    }
    static char* Links() { return nullptr; }
    static uint8_t Connected() { return 1; }
    static void Dispose(char* Lines)
    {
        --Outstanding;
        free(Lines);
    }
    static void Reset(const QByteArray& Model)
    {
        ModelText = Model;
        Received.clear();
        SetCalls = Outstanding = 0;
    }
};

class WizardLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        FLibrary.setFileName(NUV_APP_DIR "/Tesmera.so");
        ASSERT_TRUE(FLibrary.load()) << FLibrary.errorString().toStdString();
        initwizard = reinterpret_cast<decltype(&::initwizard)>(FLibrary.resolve("initwizard"));
        runwizard = reinterpret_cast<decltype(&::runwizard)>(FLibrary.resolve("runwizard"));
        donewizard = reinterpret_cast<decltype(&::donewizard)>(FLibrary.resolve("donewizard"));
        ASSERT_TRUE(initwizard && runwizard && donewizard);
    }
    void TearDown() override { FLibrary.unload(); }

    void Init()
    {
        ASSERT_EQ(initwizard(FakeProgram::GetModelText, FakeProgram::SetModelText, FakeProgram::DatabaseNames,
                      FakeProgram::CurrentDB, FakeProgram::SetCurrentDB, FakeProgram::Tables,
                      FakeProgram::Fields, FakeProgram::Links, FakeProgram::Connected, FakeProgram::Dispose),
            1);
    }
    // Presses the wizard window's button once the window is up.
    static void PressWhenShown(const char* Name)
    {
        QTimer::singleShot(0, [Name] {
            auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (window)
                window->findChild<QPushButton*>(Name)->click();
            else
                PressWhenShown(Name);
        });
    }

    QLibrary FLibrary;
    decltype(&::initwizard) initwizard = nullptr;
    decltype(&::runwizard) runwizard = nullptr;
    decltype(&::donewizard) donewizard = nullptr;
};

}  // namespace

TEST_F(WizardLibrary, ExportsOnlyTheThreeEntries)
{
    EXPECT_EQ(FLibrary.resolve("_ZN7tesmera9TMainForm15TypesCompatibleE10TFieldTypeS1_"), nullptr);
    EXPECT_EQ(FLibrary.resolve("DecodeJpeg"), nullptr);
}

TEST_F(WizardLibrary, RunWithoutInitCallsNothingAndAnswersFalse)
{
    FakeProgram::Reset("[Main]\r\nVersion=3.5\r\n");
    EXPECT_EQ(runwizard(), 0);
    EXPECT_EQ(FakeProgram::SetCalls, 0);
    EXPECT_EQ(FakeProgram::Outstanding, 0);
}

TEST_F(WizardLibrary, CancelHandsNothingBackAndReturnsTheModelText)
{
    FakeProgram::Reset("[Main]\r\nVersion=3.5\r\n");
    Init();
    PressWhenShown("btnCancel");
    EXPECT_EQ(runwizard(), 0);
    EXPECT_EQ(FakeProgram::SetCalls, 0);
    EXPECT_EQ(FakeProgram::Outstanding, 0);
    EXPECT_EQ(donewizard(), 1);
}

// Finishing hands back the whole model text, tables picked in the wizard included.
TEST_F(WizardLibrary, FinishHandsBackTheWizardsModel)
{
    FakeProgram::Reset("[Main]\r\nVersion=3.5\r\n");
    Init();
    // Next on every page, picking every table where Next waits for one.
    std::function<void()> step = [&step] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (window) {
            auto* next = window->findChild<QPushButton*>("btnNext");
            if (!next->isEnabled())
                window->findChild<QPushButton*>("sbSelectAll")->click();
            next->click();
            if (!window->isVisible())
                return;
        }
        QTimer::singleShot(0, step);
    };
    QTimer::singleShot(0, step);
    EXPECT_EQ(runwizard(), 1);
    EXPECT_EQ(FakeProgram::SetCalls, 1);
    EXPECT_TRUE(FakeProgram::Received.contains("Version=3.5\r\n"));
    EXPECT_TRUE(FakeProgram::Received.contains("ORDERS"));
    EXPECT_EQ(FakeProgram::Outstanding, 0);
    EXPECT_EQ(donewizard(), 1);
}

TEST_F(WizardLibrary, ADamagedModelTextEndsTheRunWithFalse)
{
    FakeProgram::Reset("not a model text\r\n");
    Init();
    EXPECT_EQ(runwizard(), 0);
    EXPECT_EQ(FakeProgram::Outstanding, 0) << "the text goes back also when it cannot be read";
    EXPECT_EQ(donewizard(), 1);
}
