#include "querypanel/controls/dropdownedit.h"

#include "rtl/formatsettings.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QDateTimeEdit>
#include <QLineEdit>

namespace {

struct EditFixture : ::testing::Test {
    HostWindow Host;

    template <typename T>
    T* Make(std::function<void(T*)> Setup = {})
    {
        auto* label = new T;
        if (Setup)
            Setup(label);
        return Host.PlaceLabel(label, {20, 40});
    }
    // The open editor; closed ones stay hidden until their labels go.
    QLineEdit* LineEditor() const
    {
        for (QLineEdit* editor : Host.Window.findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly))
            if (!editor->isHidden())
                return editor;
        return nullptr;
    }
    QDateTimeEdit* Picker() const { return Host.Window.findChild<QDateTimeEdit*>(); }
};

// Numbers must not take letters; the float editor takes the locale's separator only, and the
// comma always (it separates values of a list).
TEST_F(EditFixture, KeysAreFilteredByTheValueType)
{
    const struct {
        TValueType Type;
        char Separator;
        const char* Typed;
        const char* Kept;
    } cases[] = {
        {vtInteger, '.', "12ab.-,\"3", "12-,\"3"},
        {vtFloat, '.', "1.5.2x", "1.52"},
        {vtFloat, ',', "1.5,2", "15,2"},
        {vtString, '.', "ab.1", "ab.1"},
    };
    for (const auto& c : cases) {
        rtl::FormatSettingsScope scope;
        rtl::formatSettings().DecimalSeparator = c.Separator;
        auto* label = Make<TDropDownEdit>([&](TDropDownEdit* L) { L->SetValueType(c.Type); });
        Click(label);
        ASSERT_TRUE(LineEditor() && LineEditor()->hasFocus());
        QTest::keyClicks(LineEditor(), c.Typed);
        EXPECT_EQ(LineEditor()->text(), c.Kept) << c.Typed;
        delete label;
    }
}

// Hiding the focused editor must not close up a second time, and Esc never accepts.
TEST_F(EditFixture, EnterAndFocusLossAcceptEscDiscardsEachClosingUpOnce)
{
    auto* label = Make<TDropDownEdit>();
    label->SetValue("old");
    Click(label);
    EXPECT_FALSE(label->isVisible());
    QTest::keyClicks(LineEditor(), "new");
    QTest::keyClick(LineEditor(), Qt::Key_Escape);
    EXPECT_EQ(label->Value(), "old");
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->Dropped());

    Click(label);
    EXPECT_EQ(LineEditor()->text(), "old");
    QTest::keyClicks(LineEditor(), "new");
    QTest::keyClick(LineEditor(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "new");

    Click(label);
    QTest::keyClicks(LineEditor(), "later");
    Host.Other->setFocus();
    EXPECT_EQ(label->Value(), "later");
    EXPECT_EQ(Host.Closes, QStringList({"Discarded", "Accepted", "Accepted"}));
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

// Guards against a hidden editor keeping the keyboard focus: the next focus change (here the
// AfterDropUp handler taking it, as a query panel row does) closed up a second time and accepted
// what Esc had discarded, and keys typed afterwards edited the invisible editor. The picker keeps
// the focus on hiding as it steps between its own fields; the line editors do when nothing else can
// take it.
TEST(DropDownEditors, ClosingUpOnceGivesTheFocusBackAndAHiddenEditorNeverAccepts)
{
    const struct {
        const char* Name;
        std::function<TDropDownCustomEdit*()> Make;
        QString Value;
        std::function<void(QWidget* Editor)> Change;
    } editors[] = {
        {"line", [] { return new TDropDownEdit; }, "old",
            [](QWidget* Editor) { QTest::keyClicks(Editor, "new"); }},
        {"mask",
            [] {
                auto* label = new TDropDownMaskEdit;
                label->SetEditMask("00000;0;_");
                return label;
            },
            "12345", [](QWidget* Editor) { QTest::keyClicks(Editor, "9"); }},
        {"date",
            [] {
                auto* label = new TDropDownDateTimeEdit;
                label->SetKind(ekDate);
                return label;
            },
            "05.03.2024",
            [](QWidget* Editor) { static_cast<QDateTimeEdit*>(Editor)->setDate(QDate(2030, 1, 1)); }},
        {"time", [] { return new TDropDownDateTimeEdit; }, "10:20:30",
            [](QWidget* Editor) { static_cast<QDateTimeEdit*>(Editor)->setTime(QTime(11, 0, 0)); }},
    };
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().ShortDateFormat = "dd.mm.yyyy";
    rtl::formatSettings().DateSeparator = '.';
    rtl::formatSettings().LongTimeFormat = "hh:nn:ss";
    for (const auto& e : editors) {
        for (const bool handlerTakesFocus : {true, false}) {
            for (const bool otherTakesFocus : {true, false}) {
                const std::string name = std::string(e.Name)
                    + (handlerTakesFocus ? " focus-taking handler" : "")
                    + (otherTakesFocus ? "" : " nothing else focusable");
                HostWindow host;
                if (!otherTakesFocus)
                    host.Other->setFocusPolicy(Qt::NoFocus);
                TDropDownCustomEdit* label = e.Make();
                label->SetValue(e.Value);
                host.PlaceLabel(label, {20, 40});
                const auto record = label->AfterDropUp;
                label->AfterDropUp = [&](TDropDownLabel* Sender, bool Accepted) {
                    record(Sender, Accepted);
                    if (handlerTakesFocus)
                        Sender->parentWidget()->setFocus();
                };
                auto typeAfterwards = [&] {
                    if (QWidget* focused = QApplication::focusWidget())
                        QTest::keyClicks(focused, "7");
                    host.Other->setFocus();
                    host.Window.setFocus();
                };

                Click(label);
                QWidget* editor = QApplication::focusWidget();
                ASSERT_TRUE(editor && editor != &host.Window) << name;
                e.Change(editor);
                QTest::keyClick(editor, Qt::Key_Escape);
                EXPECT_TRUE(editor->isHidden()) << name;
                EXPECT_FALSE(editor->hasFocus()) << name;
                typeAfterwards();
                EXPECT_EQ(label->Value(), e.Value) << name;
                EXPECT_EQ(host.Closes, QStringList {"Discarded"}) << name;

                Click(label);
                ASSERT_EQ(QApplication::focusWidget(), editor) << name;
                QTest::keyClick(editor, Qt::Key_Return);
                const QString accepted = label->Value();
                EXPECT_FALSE(editor->hasFocus()) << name;
                typeAfterwards();
                EXPECT_EQ(label->Value(), accepted) << name;
                EXPECT_FALSE(label->Dropped()) << name;
                EXPECT_EQ(host.Closes, QStringList({"Discarded", "Accepted"})) << name;
            }
        }
    }
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

// A two-digit year in the stored value would read back as another century.
TEST_F(EditFixture, DateEditorYieldsFourDigitYearsAndReadsThemBack)
{
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().ShortDateFormat = "dd.mm.yy";
    rtl::formatSettings().DateSeparator = '.';
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    Click(label);
    ASSERT_TRUE(Picker() && Picker()->isVisible());
    Picker()->setDate(QDate(2024, 3, 5));
    QTest::keyClick(Picker(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "05.03.2024");
    Click(label);
    EXPECT_EQ(Picker()->date(), QDate(2024, 3, 5));
}

// Guards against the label staying hidden with Dropped stuck when its value is no date.
TEST_F(EditFixture, AnUnreadableDateOpensAtTodayAndClosesNormally)
{
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    label->SetValue("not a date");
    Click(label);
    EXPECT_TRUE(Picker()->isVisible());
    EXPECT_EQ(Picker()->date(), QDate::currentDate());
    QTest::keyClick(Picker(), Qt::Key_Escape);
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->Dropped());
    EXPECT_EQ(label->Value(), "not a date");
}

}  // namespace
