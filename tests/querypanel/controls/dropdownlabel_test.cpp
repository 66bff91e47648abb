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

TEST(DropDownLabel, CaptionShowsBlanksWhenEmptyAndAmpersandsLiterally)
{
    TDropDownLabel label;
    EXPECT_EQ(label.Caption(), "_____");
    label.SetCaption("Tom & Jerry");
    EXPECT_EQ(label.Caption(), "Tom & Jerry");
    EXPECT_EQ(label.Text(), "Tom && Jerry");
    label.SetCaption("");
    EXPECT_EQ(label.Caption(), "_____");
    label.SetValue("A&B");
    EXPECT_EQ(label.Caption(), "A&B");
}

TEST(DropDownLabel, SettingTheSameValueChangesNothing)
{
    TDropDownLabel label;
    label.SetValue("x");
    label.SetCaption("shown elsewhere");
    label.SetValue("x");  // ValueChanged would put "x" back into the caption
    EXPECT_EQ(label.Caption(), "shown elsewhere");
    label.SetValue("X");  // the comparison is case-sensitive
    EXPECT_EQ(label.Caption(), "X");
}

TEST(DropDownLabel, PlainClickRunsTheCustomProtocolWithoutAfterDropDown)
{
    HostWindow host;
    auto* label = host.Place(new TDropDownLabel, {10, 10});
    label->SetValue("kept");
    EventLog log;
    log.Attach(label);
    Click(label);
    EXPECT_EQ(log.Events, QStringList({"Click", "BeforeDropDown", "BeforeDropUp", "AfterDropUp(True)"}));
    EXPECT_EQ(label->Value(), "kept");
    EXPECT_FALSE(label->Dropped());
}

TEST(DropDownLabel, CtrlClickLockAndRightButton)
{
    HostWindow host;
    auto* label = host.Place(new TDropDownLabel, {10, 10});
    EventLog log;
    log.Attach(label);
    Click(label, Qt::ControlModifier);
    EXPECT_EQ(log.Events, QStringList({"Click", "AltClick"}));

    log.Events.clear();
    label->SetDropDownLocked(true);
    Click(label);
    EXPECT_EQ(log.Events, QStringList({"Click"}));

    log.Events.clear();
    QTest::mouseClick(label, Qt::RightButton, Qt::NoModifier, label->rect().center());
    EXPECT_EQ(log.Events, QStringList({"RightClick"}));

    log.Events.clear();
    label->SetDropDownLocked(false);
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, label->rect().center());
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, label->rect().bottomRight() + QPoint(5, 5));
    EXPECT_TRUE(log.Events.isEmpty()) << "a release outside the label is no click";
}

TEST(DropDownLabel, CustomDropDownStoresOnlyANonEmptyAcceptedValue)
{
    struct Case {
        QString Written;
        bool Accept;
        QString Expected;
    };
    const Case cases[] = {{"new", true, "new"}, {"", true, "old"}, {"new", false, "old"}};
    for (const Case& c : cases) {
        TDropDownLabel label;
        label.SetValue("old");
        label.OnCustomDropDown = [&](TDropDownLabel*, QString& Value, bool& Accept) {
            EXPECT_EQ(Value, "old");
            Value = c.Written;
            Accept = c.Accept;
        };
        label.DropDown();
        EXPECT_EQ(label.Value(), c.Expected) << c.Written.toStdString() << " " << c.Accept;
    }
}

TEST(DropDownLabel, BeforeDropUpCanRefuse)
{
    TDropDownLabel label;
    label.SetValue("old");
    label.OnCustomDropDown = [](TDropDownLabel*, QString& Value, bool&) { Value = "new"; };
    label.BeforeDropUp = [](TDropDownLabel*, QString&, bool& Accept) { Accept = false; };
    bool accepted = true;
    label.AfterDropUp = [&](TDropDownLabel*, bool Accepted) { accepted = Accepted; };
    label.DropDown();
    EXPECT_EQ(label.Value(), "old");
    EXPECT_FALSE(accepted);
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
