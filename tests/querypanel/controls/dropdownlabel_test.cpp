#include "querypanel/controls/dropdownlabel.h"

#include "platform/messagebox.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QStringList>

namespace {

// Records the label's events in the order they fire.
struct EventLog {
    QStringList Events;

    void Attach(TDropDownLabel* Label)
    {
        Label->OnClick = [this](TDropDownLabel*) { Events << "Click"; };
        Label->BeforeDropDown = [this](TDropDownLabel*) { Events << "BeforeDropDown"; };
        Label->AfterDropDown = [this](TDropDownLabel*) { Events << "AfterDropDown"; };
        Label->BeforeDropUp = [this](TDropDownLabel*, QString&, bool&) { Events << "BeforeDropUp"; };
        Label->AfterDropUp = [this](TDropDownLabel*, bool Accepted) {
            Events << QString("AfterDropUp(%1)").arg(Accepted ? "True" : "False");
        };
        Label->OnAltClick = [this](TDropDownLabel*) { Events << "AltClick"; };
        Label->OnRightClick = [this](TDropDownLabel*) { Events << "RightClick"; };
    }
};

// An empty caption must stay clickable, "&" must not turn into an accelerator, and setting the
// value it already has must not overwrite a caption set elsewhere.
TEST(DropDownLabel, CaptionShowsBlanksWhenEmptyAndAmpersandsLiterally)
{
    TDropDownLabel label;
    EXPECT_EQ(label.Caption(), "_____");
    label.SetValue("A&B");
    EXPECT_EQ(label.Text(), "A&&B");
    label.SetCaption("shown elsewhere");
    label.SetValue("A&B");
    EXPECT_EQ(label.Caption(), "shown elsewhere");
    label.SetValue("a&b");
    EXPECT_EQ(label.Caption(), "a&b");
}

// Laying a caption out takes time in its length, at every measure and paint: one of 10 MB in a model
// froze the start for seconds. A caption wider than any screen is shown cut, and reads back whole.
TEST(DropDownLabel, CaptionLongerThanAnyScreenIsCutBeforeItIsMeasured)
{
    TDropDownLabel label;
    const QString caption = "A&B" + QString(30000, u'x');
    label.SetCaption(caption);
    EXPECT_EQ(label.Caption(), caption);
    const QString shown = "A&&B" + QString(9997, u'x') + QChar(0x2026);
    EXPECT_EQ(label.size(), label.fontMetrics().size(Qt::TextShowMnemonic | Qt::TextSingleLine, shown));
}

TEST(DropDownLabel, MouseEventsFollowTheProtocol)
{
    HostWindow host;
    auto* label = host.Place(new TDropDownLabel, {10, 10});
    const QPoint center = label->rect().center();
    EventLog log;
    log.Attach(label);
    Click(label);
    EXPECT_EQ(log.Events, QStringList({"Click", "BeforeDropDown", "BeforeDropUp", "AfterDropUp(True)"}))
        << "a plain click runs the custom drop-down, without AfterDropDown";
    log.Events.clear();
    Click(label, Qt::ControlModifier);
    QTest::mouseClick(label, Qt::RightButton, Qt::NoModifier, center);
    label->SetDropDownLocked(true);
    Click(label);
    EXPECT_EQ(log.Events, QStringList({"Click", "AltClick", "RightClick", "Click"}));

    log.Events.clear();
    label->SetDropDownLocked(false);
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, center);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, label->rect().bottomRight() + QPoint(5, 5));
    EXPECT_TRUE(log.Events.isEmpty()) << "a release outside the label is no click";
}

// Only a non-empty value that both the drop-down and BeforeDropUp accept is stored.
TEST(DropDownLabel, CustomDropDownStoresOnlyANonEmptyAcceptedValue)
{
    const struct {
        QString Written;
        bool Accept;
        bool Refuse;
        QString Expected;
    } cases[] = {{"new", true, false, "new"}, {"", true, false, "old"}, {"new", false, false, "old"},
        {"new", true, true, "old"}};
    for (const auto& c : cases) {
        TDropDownLabel label;
        label.SetValue("old");
        label.OnCustomDropDown = [&](TDropDownLabel*, QString& Value, bool& Accept) {
            EXPECT_EQ(Value, "old");
            Value = c.Written;
            Accept = c.Accept;
        };
        label.BeforeDropUp = [&](TDropDownLabel*, QString&, bool& Accept) { Accept = Accept && !c.Refuse; };
        label.DropDown();
        EXPECT_EQ(label.Value(), c.Expected) << c.Written.toStdString() << " " << c.Accept << c.Refuse;
    }
}

// Guards against a close-up outside a drop-down (a late focus loss, a key reaching a hidden list)
// reporting a second accepted choice to the row's handler.
TEST(DropDownLabel, ClosingUpAnIdleLabelDoesNothing)
{
    TDropDownLabel label;
    EventLog log;
    log.Attach(&label);
    label.DropDown();
    log.Events.clear();
    label.CloseUp(true);
    label.CloseUp(false);
    EXPECT_TRUE(log.Events.isEmpty());
}

// Guards against a failing drop-down leaving Dropped set, so that the next click only closed up.
TEST(DropDownLabel, AFailingDropDownIsShownAndLeavesTheLabelIdle)
{
    HostWindow host;
    auto* label = host.Place(new TDropDownLabel, {10, 10});
    int calls = 0;
    label->OnCustomDropDown = [&](TDropDownLabel*, QString&, bool&) {
        if (++calls == 1)
            throw rtl::Exception("dialog failed");
    };
    platform::ScriptedAnswers answers;
    Click(label);
    EXPECT_EQ(answers.AskedTexts(), QStringList({"dialog failed"}));
    EXPECT_FALSE(label->Dropped());
    Click(label);
    EXPECT_EQ(calls, 2) << "the second click drops down again";
}

// Guards against a use of freed memory when a handler frees the label, as deleting a row does.
TEST(DropDownLabel, AHandlerMayFreeTheLabelDuringAClick)
{
    HostWindow host;
    QPointer<TDropDownLabel> label = host.Place(new TDropDownLabel, {10, 10});
    label->AfterDropUp = [&](TDropDownLabel* Sender, bool) { delete Sender; };
    Click(label);
    EXPECT_TRUE(label.isNull());
}

}  // namespace
