#include "querypanel/controls/maskedit.h"

#include "platform/messagebox.h"
#include "querypanel/controls/dropdownedit.h"
#include "rtl/formatsettings.h"
#include "tests/querypanel/controls/hostwindow.h"

namespace {

// Masks stored with data models: the save-literals flag, the blank, "!", ">", "/" as the date
// separator and "\\" must read as they did where they were written.
TEST(MaskEdit, StoredMasksReadAsTheyWereWritten)
{
    const struct {
        const char* Mask;
        const char* Typed;
        const char* EditText;
        const char* Text;
    } cases[] = {
        {"(999) 000-0000;1;_", "5551234567", "(555) 123-4567", "(555) 123-4567"},
        {"(999) 000-0000;0;_", "5551234567", "(555) 123-4567", "5551234567"},
        {"!000-00;0;*", "12345", "123-45", "12345"},
        {"000-00;0;*", "12", "12*-**", "12"},
        {">LL-0", "ab7", "AB-7", "AB-7"},
        {"00/00", "1224", "12.24", "12.24"},
        {"\\N0_0", "12", "N1 2", "N1 2"},
    };
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().DateSeparator = '.';
    for (const auto& c : cases) {
        TMaskEdit edit;
        edit.SetEditMask(c.Mask);
        QTest::keyClicks(&edit, c.Typed);
        EXPECT_EQ(edit.EditText(), c.EditText) << c.Mask;
        EXPECT_EQ(edit.Text(), c.Text) << c.Mask;
    }
}

// An untouched empty editor must not refuse to close.
TEST(MaskEdit, OnlyAChangedIncompleteTextFailsValidation)
{
    TMaskEdit edit;
    edit.SetEditMask("000-00;1;_");
    EXPECT_NO_THROW(edit.ValidateEdit());
    QTest::keyClicks(&edit, "12");
    EXPECT_THROW(edit.ValidateEdit(), EDBEditError);
}

struct MaskFixture : ::testing::Test {
    HostWindow Host;
    TDropDownMaskEdit* Label = new TDropDownMaskEdit;

    void SetUp() override
    {
        Label->SetEditMask("000-00;0;_");
        Host.PlaceLabel(Label, {20, 40});
    }
    TMaskEdit* Editor() const { return Host.Window.findChild<TMaskEdit*>(); }
};

// Without UseFormattedValue the value is the plain text while the caption shows the mask's form.
TEST_F(MaskFixture, OpensEmptyAndStoresThePlainTextUnderTheFormattedCaption)
{
    Click(Label);
    EXPECT_EQ(Editor()->EditText(), "___-__");
    QTest::keyClicks(Editor(), "12345");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(Label->Value(), "12345");
    EXPECT_EQ(Label->Caption(), "123-45");

    Label->SetUseFormattedValue(true);
    Click(Label);
    EXPECT_EQ(Editor()->EditText(), "123-45");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(Label->Value(), "123-45");
}

// Guards against the refused value looping through focus changes, each showing the message again.
TEST_F(MaskFixture, ARefusedValueIsShownOnceAndKeepsTheEditorOpen)
{
    platform::ScriptedAnswers answers;
    Click(Label);
    QTest::keyClicks(Editor(), "12");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(answers.Asked().size(), 1u);
    EXPECT_TRUE(Label->Dropped());

    Host.Other->setFocus();
    EXPECT_EQ(answers.Asked().size(), 2u) << "one message for the one attempt to leave";
    EXPECT_TRUE(Editor()->isVisible());
    EXPECT_TRUE(Editor()->hasFocus()) << "the editor takes the focus back";
    EXPECT_TRUE(Host.Closes.isEmpty());

    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(answers.Asked().size(), 2u) << "Esc closes without validating";
    EXPECT_FALSE(Label->Dropped());
    EXPECT_EQ(Host.Closes, QStringList {"Discarded"});
    EXPECT_EQ(Label->Value(), "");
}

}  // namespace
