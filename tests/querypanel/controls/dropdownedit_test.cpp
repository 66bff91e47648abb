#include "querypanel/controls/dropdownedit.h"

#include "platform/messagebox.h"
#include "rtl/formatsettings.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QToolButton>

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
            "05.03.2024", [](QWidget* Editor) { QTest::keyClicks(Editor, "01.01.2030"); }},
        {"time", [] { return new TDropDownDateTimeEdit; }, "10:20:30",
            [](QWidget* Editor) { QTest::keyClicks(Editor, "11:00:00"); }},
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
    ASSERT_TRUE(LineEditor() && LineEditor()->hasFocus());
    QTest::keyClicks(LineEditor(), "5.3.2024");
    QTest::keyClick(LineEditor(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "05.03.2024");
    Click(label);
    EXPECT_EQ(LineEditor()->text(), "05.03.2024");
}

// Guards against the label staying hidden with Dropped stuck when its value is no date.
TEST_F(EditFixture, AnUnreadableDateOpensAtTodayAndClosesNormally)
{
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    label->SetValue("not a date");
    Click(label);
    ASSERT_TRUE(LineEditor());
    EXPECT_EQ(LineEditor()->text(), rtl::FormatDateTime(TDropDownDateTimeEdit::DateFormat(), rtl::Date()));
    QTest::keyClick(LineEditor(), Qt::Key_Escape);
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->Dropped());
    EXPECT_EQ(label->Value(), "not a date");
}

// The picker took typed dates apart by its own sections: "2/28/1997" became 9 February 2819 and
// "13/1/1997" 1 January 1997, without a word, and the query ran with that date. A date or time typed
// as the editor shows it, with or without leading zeros, is that value; any other text is refused
// with a message and the value kept, the editor staying open for a correction or Esc.
TEST_F(EditFixture, TypedDatesAndTimesAreTakenAsShownOrRefused)
{
    // By Enter, by moving the focus away, or by Enter after a double click whose handler hands the
    // text back unchanged.
    enum Closing { Enter, Leaving, DoubleClick };
    const struct {
        TDateTimeEditKind Kind;
        const char* Format;  // the locale's short date or long time format
        char Separator;
        const char* Typed;
        const char* Value;  // none: refused
        Closing How = Enter;
        bool List = false;  // a list of dates or times, read item by item
        const char* Named = nullptr;  // the item a refusal names, when not the whole text
        // A value held before, when not a date of 2003: the editor opens on Opened, and the typed
        // text goes before it, as when one item is added to the list.
        const char* Stored = nullptr;
        const char* Opened = nullptr;
    } rows[] = {
        {ekDate, "m/d/yyyy", '/', "2/28/1997", "2/28/1997"},
        {ekDate, "m/d/yyyy", '/', "02/28/1997", "2/28/1997"},
        {ekDate, "m/d/yyyy", '/', "5/6/1998", "5/6/1998", Leaving},
        {ekDate, "m/d/yyyy", '/', " 12/31/9999 ", "12/31/9999"},
        {ekDate, "m/d/yyyy", '/', "2/31/1997", nullptr},
        {ekDate, "m/d/yyyy", '/', "13/1/1997", nullptr},
        {ekDate, "m/d/yyyy", '/', "1/1/0", nullptr},
        {ekDate, "m/d/yyyy", '/', "1/1/0000", nullptr},
        {ekDate, "m/d/yyyy", '/', "1/1/97", nullptr},
        {ekDate, "m/d/yyyy", '/', "1/1/97", nullptr, DoubleClick},
        {ekDate, "m/d/yyyy", '/', "01/02/1997", "1/2/1997", DoubleClick},
        {ekDate, "m/d/yyyy", '/', "2/28", nullptr},
        {ekDate, "m/d/yyyy", '/', "2-28-1997", nullptr, Leaving},
        {ekDate, "m/d/yyyy", '/', "2/28/1997x", nullptr},
        {ekDate, "dd.mm.yy", '.', "5.3.2024", "05.03.2024"},
        {ekDate, "dd.mm.yy", '.', "29.02.2023", nullptr},
        {ekDate, "dd.mm.yy", '.', "3.5.24", nullptr},
        {ekDate, "yyyy-mm-dd", '-', "2024-3-5", "2024-03-05"},
        {ekDate, "d mmm yyyy", ' ', "5 3 2024", "5 03 2024"},
        {ekTime, "h:nn:ss", '/', "9:5:3", "9:05:03"},
        {ekTime, "h:nn:ss", '/', "23:59:59", "23:59:59"},
        {ekTime, "h:nn:ss", '/', "24:00:00", nullptr},
        {ekTime, "h:nn:ss", '/', "10:60:00", nullptr},
        {ekTime, "h:nn:ss", '/', "10:20", nullptr},
        {ekTime, "h:nn:ss ampm", '/', "9:05:03 pm", "9:05:03 PM"},
        {ekTime, "h:nn:ss ampm", '/', "13:00:00 PM", nullptr},
        {ekDate, "m/d/yyyy", '/', "7/4/1996, 7/5/1996", "7/4/1996,7/5/1996", Enter, true},
        {ekDate, "m/d/yyyy", '/', "07/04/1996,7/8/1996", "7/4/1996,7/8/1996", Leaving, true},
        {ekDate, "m/d/yyyy", '/', "7/4/1996", "7/4/1996", Enter, true},
        {ekDate, "dd.mm.yy", '.', "5.3.2024, 6.3.2024", "05.03.2024,06.03.2024", Enter, true},
        {ekTime, "h:nn:ss", '/', "9:5:3, 23:59:59", "9:05:03,23:59:59", Enter, true},
        {ekDate, "m/d/yyyy", '/', "7/4/1996, x, 7/8/1996", nullptr, Enter, true, "x"},
        {ekDate, "m/d/yyyy", '/', "7/4/1996, 7/32/1996", nullptr, Leaving, true, "7/32/1996"},
        {ekTime, "h:nn:ss", '/', "9:05:03, 24:00:00", nullptr, Enter, true, "24:00:00"},
        {ekDate, "m/d/yyyy", '/', "7/4/1996, 7/5/1996", nullptr},
        // A blank item, or one that is no date, is shown as it is, never as today's date.
        {ekDate, "m/d/yyyy", '/', "7/3/1996, ", nullptr, Enter, true, "", "7/4/1996,,7/5/1996",
            "7/4/1996, , 7/5/1996"},
        {ekDate, "m/d/yyyy", '/', "7/3/1996, ", nullptr, Leaving, true, "", ",7/5/1996", ", 7/5/1996"},
        {ekDate, "m/d/yyyy", '/', "7/3/1996, ", nullptr, Enter, true, "x", "07/04/1996,x", "7/4/1996, x"},
        {ekTime, "h:nn:ss", '/', "9:05:03, ", nullptr, Enter, true, "", "8:00:00,", "8:00:00, "},
        {ekDate, "m/d/yyyy", '/', "7/3/1996, ", "7/3/1996,7/4/1996", Enter, true, nullptr, "07/04/1996",
            "7/4/1996"},
    };
    for (const auto& row : rows) {
        rtl::FormatSettingsScope scope;
        rtl::formatSettings().DateSeparator = row.Separator;
        (row.Kind == ekDate ? rtl::formatSettings().ShortDateFormat : rtl::formatSettings().LongTimeFormat)
            = row.Format;
        const QString old = row.Stored ? row.Stored
            : row.Kind == ekDate
            ? rtl::FormatDateTime(TDropDownDateTimeEdit::DateFormat(), rtl::EncodeDate(2003, 1, 2))
            : rtl::FormatDateTime(row.Format, rtl::EncodeTime(8, 0, 0, 0));
        auto* label = Make<TDropDownDateTimeEdit>([&](TDropDownDateTimeEdit* L) {
            L->SetKind(row.Kind);
            L->SetListValue(row.List);
        });
        label->SetValue(old);
        label->OnEditDblClick = [](TDropDownLabel*, QString&) {};
        Host.Closes.clear();
        platform::ScriptedAnswers answers;
        Click(label);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && editor != &Host.Window) << row.Typed;
        if (row.Opened) {
            EXPECT_EQ(static_cast<QLineEdit*>(editor)->text(), row.Opened) << row.Stored;
            QTest::keyClick(editor, Qt::Key_Home);
        }
        QTest::keyClicks(editor, row.Typed);
        if (row.How == DoubleClick) {
            QTest::mouseDClick(editor, Qt::LeftButton);
            EXPECT_EQ(static_cast<QLineEdit*>(editor)->text(), row.Typed);
        }
        if (row.How == Leaving)
            Host.Other->setFocus();
        else
            QTest::keyClick(editor, Qt::Key_Return);
        if (row.Value) {
            EXPECT_EQ(label->Value(), row.Value) << row.Typed;
            EXPECT_EQ(label->Caption(), QString(row.Value).split(u',').join(", ")) << row.Typed;
            EXPECT_TRUE(answers.Asked().empty()) << row.Typed;
            EXPECT_EQ(Host.Closes, QStringList {"Accepted"}) << row.Typed;
        } else {
            const QString kind = row.Kind == ekDate ? "date" : "time";
            EXPECT_EQ(answers.AskedTexts(),
                QStringList {"'" + QString(row.Named ? row.Named : row.Typed) + "' is not a valid " + kind})
                << row.Typed;
            EXPECT_EQ(label->Value(), old) << row.Typed;
            EXPECT_TRUE(label->Dropped()) << row.Typed;
            EXPECT_TRUE(editor->isVisible() && editor->hasFocus()) << row.Typed;
            QTest::keyClick(editor, Qt::Key_Escape);
            EXPECT_EQ(label->Value(), old) << row.Typed;
            EXPECT_EQ(Host.Closes, QStringList {"Discarded"}) << row.Typed;
        }
        delete label;
    }
}

// Where the locale's short date or long time holds literal text ("28.02.1997 г.", "14 h 05 09"), the
// editor read the stored value with the lenient readers, which could not, and opened on today or the
// current time: Enter then made the condition today. In every locale, what the editor shows must
// read back as the same value, and Enter without typing must keep the value.
TEST_F(EditFixture, InEveryLocaleTheEditorOpensOnTheValueAndEnterKeepsIt)
{
    const std::pair<TDateTimeEditKind, rtl::TDateTime> values[] = {
        {ekDate, rtl::EncodeDate(1997, 2, 28)},
        {ekDate, rtl::EncodeDate(2001, 12, 31)},
        {ekDate, rtl::EncodeDate(1900, 1, 1)},
        {ekTime, rtl::EncodeTime(14, 5, 9, 0)},
        {ekTime, rtl::EncodeTime(0, 0, 0, 0)},
        {ekTime, rtl::EncodeTime(23, 59, 59, 0)},
    };
    auto* label = Make<TDropDownDateTimeEdit>();
    QStringList failed;
    // And a short date with month names, which the editor shows as numbers.
    QList<std::pair<QString, rtl::FormatSettings>> settings {{"d mmm yyyy", {}}};
    settings[0].second.ShortDateFormat = "d mmm yyyy";
    settings[0].second.DateSeparator = ' ';
    for (const QLocale& locale :
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
        settings.append({locale.name(), rtl::FormatSettings::FromLocale(locale)});
    for (const auto& [name, setting] : settings) {
        rtl::FormatSettingsScope scope(setting);
        for (const auto& [kind, value] : values) {
            const QString format = TDropDownDateTimeEdit::EditFormat(kind);
            const QString stored = rtl::FormatDateTime(format, value);
            const QString shown = TDropDownDateTimeEdit::EditText(kind, stored);
            rtl::TDateTime read = -1;
            // Through the editor itself once a kind, to keep the walk fast.
            QString opened = shown;
            QString kept = stored;
            if (value == values[kind == ekDate ? 0 : 3].second) {
                label->SetKind(kind);
                label->SetValue(stored);
                Click(label);
                ASSERT_TRUE(LineEditor());
                opened = LineEditor()->text();
                if (LineEditor()->width() < LineEditor()->fontMetrics().horizontalAdvance(opened))
                    failed << name + ": " + opened + " does not fit its editor";
                QTest::keyClick(LineEditor(), Qt::Key_Return);
                kept = label->Value();
            }
            if (!rtl::TryReadFormattedDateTime(format, shown, read) || read != value || opened != shown
                || kept != stored)
                failed << name + " " + format + ": " + stored + " shown as " + shown + ", kept as " + kept;
        }
    }
    EXPECT_TRUE(failed.isEmpty()) << failed.join(u'\n').toStdString();
}

// The date editor keeps its calendar: the button at its end, or Alt+Down, drops it down at the typed
// date, and the date picked there becomes the text.
TEST_F(EditFixture, TheDateEditorsCalendarPutsThePickedDateIntoTheText)
{
    rtl::FormatSettingsScope scope;
    rtl::formatSettings().ShortDateFormat = "m/d/yyyy";
    rtl::formatSettings().DateSeparator = '/';
    auto* label = Make<TDropDownDateTimeEdit>([](TDropDownDateTimeEdit* L) { L->SetKind(ekDate); });
    label->SetValue("2/28/1997");
    Click(label);
    QLineEdit* editor = LineEditor();
    ASSERT_TRUE(editor);
    auto* button = editor->findChild<QToolButton*>();
    ASSERT_TRUE(button && button->isVisible());
    const struct {
        std::function<void()> Open;
        QDate Shown, Picked;
        const char* Text;
    } steps[] = {{[&] { Click(button); }, QDate(1997, 2, 28), QDate(1998, 3, 14), "3/14/1998"},
        {[&] { QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier); }, QDate(1998, 3, 14), QDate(),
            "3/14/1998"}};
    for (const auto& step : steps) {
        QDate shown;
        OnPopup([&](QWidget* Popup) {
            auto* calendar = qobject_cast<QCalendarWidget*>(Popup);
            ASSERT_TRUE(calendar);
            shown = calendar->selectedDate();
            QWidget* keys = calendar->focusWidget() ? calendar->focusWidget() : calendar;
            if (step.Picked.isValid()) {
                calendar->setSelectedDate(step.Picked);
                QTest::keyClick(keys, Qt::Key_Return);
            } else {
                QTest::keyClick(keys, Qt::Key_Escape);
            }
        });
        step.Open();
        QCoreApplication::processEvents();
        EXPECT_EQ(shown, step.Shown);
        EXPECT_EQ(editor->text(), step.Text);
        EXPECT_TRUE(label->Dropped());
        EXPECT_EQ(Host.Window.focusWidget(), editor);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(label->Value(), "3/14/1998");
}

}  // namespace
