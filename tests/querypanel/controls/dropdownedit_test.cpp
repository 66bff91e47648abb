#include "querypanel/controls/dropdownedit.h"

#include "rtl/formatsettings.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QDateTimeEdit>
#include <QLineEdit>

#include <cstdlib>

namespace {

struct EditFixture : ::testing::Test {
    HostWindow Host;
    int AfterDropUps = 0;
    bool LastAccepted = false;

    template <typename T>
    T* Make(std::function<void(T*)> Setup = {})
    {
        auto* label = new T;
        if (Setup)
            Setup(label);
        label->AfterDropUp = [this](TDropDownLabel*, bool Accepted) {
            ++AfterDropUps;
            LastAccepted = Accepted;
        };
        return Host.Place(label, {20, 40});
    }
    // The open editor; closed ones stay hidden until their labels go.
    QLineEdit* LineEditor() const
    {
        for (QLineEdit* editor :
            Host.Window.findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!editor->isHidden())
                return editor;
        }
        return nullptr;
    }
};

TEST_F(EditFixture, KeysAreFilteredByTheValueType)
{
    struct Case {
        TValueType Type;
        const char* Typed;
        const char* Kept;
    };
    const Case cases[] = {
        {vtInteger, "12ab.-,\"3", "12-,\"3"},
        {vtFloat, "1.5.2x", "1.52"},
        {vtString, "ab.1", "ab.1"},
    };
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().DecimalSeparator = '.';
    for (const Case& c : cases) {
        auto* label = Make<TDropDownEdit>([&](TDropDownEdit* L) { L->SetValueType(c.Type); });
        Click(label);
        QLineEdit* editor = LineEditor();
        ASSERT_TRUE(editor && editor->hasFocus());
        QTest::keyClicks(editor, c.Typed);
        EXPECT_EQ(editor->text(), c.Kept) << c.Typed;
        delete label;
    }
}

TEST_F(EditFixture, FloatTakesTheLocaleDecimalSeparator)
{
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().DecimalSeparator = ',';
    auto* label = Make<TDropDownEdit>([](TDropDownEdit* L) { L->SetValueType(vtFloat); });
    Click(label);
    QTest::keyClicks(LineEditor(), "1.5,2");
    EXPECT_EQ(LineEditor()->text(), "15,2") << "the comma always passes; the dot is no separator here";
}

TEST_F(EditFixture, EnterAcceptsEscDiscardsAndEachClosesUpOnce)
{
    auto* label = Make<TDropDownEdit>();
    label->SetValue("old");
    Click(label);
    EXPECT_FALSE(label->isVisible());
    QTest::keyClicks(LineEditor(), "new");
    QTest::keyClick(LineEditor(), Qt::Key_Escape);
    EXPECT_EQ(label->Value(), "old");
    EXPECT_EQ(AfterDropUps, 1) << "hiding the focused editor must not close up a second time, accepting";
    EXPECT_FALSE(LastAccepted);
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->Dropped());

    Click(label);
    EXPECT_EQ(LineEditor()->text(), "old");
    QTest::keyClicks(LineEditor(), "new");
    QTest::keyClick(LineEditor(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "new");
    EXPECT_EQ(AfterDropUps, 2);
    EXPECT_TRUE(LastAccepted);
}

TEST_F(EditFixture, LosingTheFocusAccepts)
{
    auto* label = Make<TDropDownEdit>();
    Click(label);
    QTest::keyClicks(LineEditor(), "typed");
    Host.Other->setFocus();
    EXPECT_EQ(label->Value(), "typed");
    EXPECT_EQ(AfterDropUps, 1);
    EXPECT_TRUE(LastAccepted);
}

TEST_F(EditFixture, EditorSitsOnTheLabelAndGrowsWithItsText)
{
    auto* label = Make<TDropDownEdit>();
    label->SetValue("abc");
    Click(label);
    QLineEdit* editor = LineEditor();
    EXPECT_EQ(editor->pos(), label->pos());
    const QFontMetrics metrics = label->fontMetrics();
    EXPECT_EQ(editor->size(), QSize(metrics.horizontalAdvance("abcW") + 6, metrics.height()));
    QTest::keyClicks(editor, "defg");
    // Measured before each character went in.
    EXPECT_EQ(editor->width(), metrics.horizontalAdvance("defW") + 6);
    QTest::keyClick(editor, Qt::Key_Escape);

    auto* rightToLeft = Make<TDropDownEdit>([](TDropDownEdit* L) { L->SetBiDiMode(Qt::RightToLeft); });
    rightToLeft->move(100, 80);
    rightToLeft->SetValue("some text");
    Click(rightToLeft);
    EXPECT_EQ(LineEditor()->geometry().right(), rightToLeft->geometry().right());
}

TEST_F(EditFixture, CaseOptionsApplyToTheStoredValueUpperWinning)
{
    auto* label = Make<TDropDownEdit>([](TDropDownEdit* L) {
        L->SetAutoUpperCase(true);
        L->SetAutoLowerCase(true);
    });
    label->SetValue("Mixed");
    EXPECT_EQ(label->Value(), "MIXED");
    EXPECT_EQ(label->Caption(), "MIXED");
    label->SetAutoUpperCase(false);
    label->SetValue("Again");
    EXPECT_EQ(label->Value(), "again");
}

TEST_F(EditFixture, DoubleClickInTheEditorLetsAHandlerRewriteTheText)
{
    auto* label = Make<TDropDownEdit>();
    label->OnEditDblClick = [](TDropDownLabel*, QString& Value) { Value = "[" + Value + "]"; };
    label->SetValue("v");
    Click(label);
    QTest::mouseDClick(LineEditor(), Qt::LeftButton);
    EXPECT_EQ(LineEditor()->text(), "[v]");
}

// Guards against a use of freed memory when the handler that runs on Enter frees the label.
TEST_F(EditFixture, AHandlerMayFreeTheLabelOnEnter)
{
    QPointer<TDropDownEdit> label = Make<TDropDownEdit>();
    label->AfterDropUp = [](TDropDownLabel* Sender, bool) { delete Sender; };
    Click(label);
    QTest::keyClick(LineEditor(), Qt::Key_Return);
    EXPECT_TRUE(label.isNull());
}

TEST(DropDownDateTimeEdit, DateFormatHasNumericMonthsAndFourDigitYears)
{
    const std::pair<const char*, const char*> cases[] = {
        {"dd.mm.yy", "dd.mm.yyyy"},
        {"d-mmm-yyyy", "d-mm-yyyy"},
        {"d MMMM yy", "d mm yyyy"},
        {"m/d/yyyy", "m/d/yyyy"},
    };
    for (const auto& [locale, expected] : cases) {
        rtl::FormatSettingsScope scope;
        rtl::formatSettings().ShortDateFormat = locale;
        EXPECT_EQ(TDropDownDateTimeEdit::DateFormat(), expected) << locale;
    }
}

TEST_F(EditFixture, DateEditorYieldsFourDigitYears)
{
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().ShortDateFormat = "dd.mm.yy";
    rtl::formatSettings().DateSeparator = '.';
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    Click(label);
    auto* picker = Host.Window.findChild<QDateTimeEdit*>();
    ASSERT_TRUE(picker && picker->isVisible());
    EXPECT_EQ(picker->date(), QDate::currentDate()) << "an empty value opens at today";
    picker->setDate(QDate(2024, 3, 5));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(label->Value(), "05.03.2024");
    EXPECT_EQ(label->Caption(), "05.03.2024");
    Click(label);
    EXPECT_EQ(picker->date(), QDate(2024, 3, 5)) << "the value reads back";
}

TEST_F(EditFixture, TimeEditorOpensAtTheCurrentTime)
{
    auto* label = Make<TDropDownDateTimeEdit>();
    Click(label);
    auto* picker = Host.Window.findChild<QDateTimeEdit*>();
    EXPECT_LE(std::abs(picker->time().secsTo(QTime::currentTime())), 2);
    picker->setTime(QTime(13, 45, 10));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(label->Value(), rtl::TimeToStr(rtl::EncodeTime(13, 45, 10, 0)));
}

// Guards against the label staying hidden with Dropped stuck when its value is no date.
TEST_F(EditFixture, AnUnreadableDateOpensAtTodayAndClosesNormally)
{
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    label->SetValue("not a date");
    Click(label);
    auto* picker = Host.Window.findChild<QDateTimeEdit*>();
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->date(), QDate::currentDate());
    QTest::keyClick(picker, Qt::Key_Escape);
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->Dropped());
    EXPECT_EQ(label->Value(), "not a date");
}

}  // namespace
