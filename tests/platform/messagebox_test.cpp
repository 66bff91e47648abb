#include "platform/messagebox.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(ScriptedAnswers, AnswersInOrderThenHarmlesslyAndRecordsEveryBox)
{
    ScriptedAnswers script{IDYES, IDCANCEL};
    EXPECT_EQ(AskYesNo("Delete the table?"), IDYES);
    EXPECT_EQ(MessageBox("Save changes?", "Lumidex", MB_YESNOCANCEL | MB_ICONWARNING), IDCANCEL);
    // Past the script: No for a question, OK for anything else.
    EXPECT_EQ(MessageBox("Save?", "", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(MessageBox("Go on?", "", MB_OKCANCEL), IDOK);
    ShowError("Broken", "Oops");
    ShowInformation("Done");

    EXPECT_EQ(script.AskedTexts(),
        (QStringList{"Delete the table?", "Save changes?", "Save?", "Go on?", "Broken", "Done"}));
    EXPECT_EQ(script.Asked()[0].Flags, 36);  // Yes/No with the question icon
    EXPECT_EQ(script.Asked()[1].Caption, "Lumidex");
    EXPECT_EQ(script.Asked()[4].Flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(script.Asked()[4].Caption, "Oops");
    EXPECT_EQ(script.Asked()[5].Flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(script.Unanswered(), 4);

    script.Push(IDYES);
    EXPECT_EQ(AskYesNo("Remove?"), IDYES);
    EXPECT_EQ(script.Unanswered(), 4);
}

TEST(ScriptedAnswers, NewestAnswersAndAnyOrderOfDestructionUnlinks)
{
    ScriptedAnswers outer{IDYES};
    {
        ScriptedAnswers inner{IDNO};
        EXPECT_EQ(AskYesNo("inner"), IDNO);
    }
    EXPECT_EQ(AskYesNo("outer"), IDYES);

    // An older script going first must not take the newer one with it, nor stay reachable.
    auto older = std::make_unique<ScriptedAnswers>(std::initializer_list<int>{IDYES});
    ScriptedAnswers newer{IDNO};
    older.reset();
    EXPECT_EQ(AskYesNo("newest"), IDNO);
    EXPECT_EQ(newer.AskedTexts(), QStringList{"newest"});
    EXPECT_EQ(outer.AskedTexts(), QStringList{"outer"});
}

}  // namespace
