#include "platform/messagebox.h"

#include "platform/exceptionguard.h"
#include "rtl/exception.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

// Past the script the harmless answer comes (No for a question, OK otherwise) and is counted, so
// a test cannot pass on a box it did not expect.
TEST(ScriptedAnswers, AnswersInOrderThenHarmlesslyAndRecordsEveryBox)
{
    ScriptedAnswers script {IDYES, IDCANCEL};
    EXPECT_EQ(AskYesNo("Delete the table?"), IDYES);
    EXPECT_EQ(MessageBox("Save changes?", "Lumidex", MB_YESNOCANCEL | MB_ICONWARNING), IDCANCEL);
    EXPECT_EQ(MessageBox("Save?", "", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBox("Go on?", "", MB_OKCANCEL), IDOK);
    ShowError("Broken", "Oops");
    EXPECT_EQ(script.AskedTexts(),
        (QStringList {"Delete the table?", "Save changes?", "Save?", "Go on?", "Broken"}));
    EXPECT_EQ(script.Asked()[0].Flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(script.Asked()[4].Caption, "Oops");
    EXPECT_EQ(script.Asked()[4].Flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(script.Unanswered(), 3);
}

// The newest script answers; an older one destroyed first must not unlink the newer one.
TEST(ScriptedAnswers, NewestAnswersAndAnyOrderOfDestructionUnlinks)
{
    ScriptedAnswers outer {IDYES};
    auto older = std::make_unique<ScriptedAnswers>(std::initializer_list<int> {IDYES});
    ScriptedAnswers newer {IDNO};
    older.reset();
    EXPECT_EQ(AskYesNo("newest"), IDNO);
    EXPECT_EQ(newer.AskedTexts(), QStringList {"newest"});
    EXPECT_TRUE(outer.Asked().empty());
}

// Guards against tests that pass on a box nobody saw: past every script, a question or an
// exception shown as an error fails the running test.
TEST(ScriptedAnswers, ABoxNoTestScriptedFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(AskYesNo("Delete the table?"), "Delete the table?");
    EXPECT_NONFATAL_FAILURE(Guarded([] { throw rtl::Exception("handler failed"); }), "handler failed");
}

}  // namespace
