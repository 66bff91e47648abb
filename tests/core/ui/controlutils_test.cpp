#include "core/ui/controlutils.h"

#include "core/base/zstrings.h"

#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/exception.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString TestKey = "Software\\Tarvel\\ControlUtilsTest";

QRect Placement(const QWidget& w)
{
    return QRect(w.x(), w.y(), w.width(), w.height());
}

TEST(ControlUtils, ConfirmMessageAsksYesNoWithTheQuestionIcon)
{
    platform::ScriptedAnswers answers {platform::IDNO};
    EXPECT_EQ(ConfirmMessage("Delete the table?"), platform::IDNO);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].Text, "Delete the table?");
    EXPECT_EQ(answers.Asked()[0].Caption, "");
    EXPECT_EQ(answers.Asked()[0].Flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
}

// The placement is four integers in a value of the key itself; a missing value leaves the control
// as it is, and a bad item raises after the members before it took their new values.
TEST(ControlUtils, PlacementRoundTripAndBadItems)
{
    QWidget control;
    control.setGeometry(120, 80, 640, 480);
    SaveControlPlacement(&control, TestKey, "Form");
    EXPECT_EQ(platform::Registry(TestKey).ReadString(QString(), "Form", ""), "120,80,640,480");
    QWidget other;
    LoadControlPlacement(&other, TestKey, "Form");
    LoadControlPlacement(&other, TestKey, "Missing");
    EXPECT_EQ(Placement(other), QRect(120, 80, 640, 480));

    const struct {
        const char *Stored, *Message;
        QRect Expected;
    } rows[] = {{"10,20,300", "'' is not a valid integer value", QRect(10, 20, 300, 80)},
        {"10,2x,300,400", "'2x' is not a valid integer value", QRect(10, 6, 70, 80)}};
    for (const auto& row : rows) {
        QWidget control;
        control.setGeometry(5, 6, 70, 80);
        platform::Registry(TestKey).WriteString(QString(), "Bad", row.Stored);
        try {
            LoadControlPlacement(&control, TestKey, "Bad");
            ADD_FAILURE() << "no error for " << row.Stored;
        } catch (const rtl::EConvertError& e) {
            EXPECT_EQ(e.Message(), row.Message);
        }
        EXPECT_EQ(Placement(control), row.Expected) << row.Stored;
    }
}

// A stored rectangle came back as given: an absurd size opened a window of 32767 pixels that took
// gigabytes, one from a larger screen ran off this one, and the clamp used the client height, so the
// frame ended below the screen. The whole frame must lie within the work area, for a window placed
// before its first show (the callers' case: its frame is not known yet) and for a shown one.
TEST(ControlUtils, APlacedWindowsWholeFrameLiesWithinTheWorkArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect before(area.topLeft() + QPoint(50, 60), QSize(200, 150));
    auto atBottomRight = [&](QSize Size) {
        QRect frame(QPoint(), Size);
        frame.moveBottomRight(area.bottomRight());
        return frame;
    };
    const struct {
        QRect Stored;
        // The frame of a shown window, from the frame's extra width and height.
        std::function<QRect(QSize Extra)> Frame;
    } rows[] = {
        {QRect(area.topLeft() + QPoint(10, 20), QSize(300, 200)),
            [&](QSize Extra) { return QRect(area.topLeft() + QPoint(10, 20), QSize(300, 200) + Extra); }},
        {QRect(area.topLeft() - QPoint(40, 30), QSize(300, 400)),
            [&](QSize Extra) { return QRect(area.topLeft(), QSize(300, 400) + Extra); }},
        {QRect(area.bottomRight() - QPoint(100, 100), QSize(300, 400)),
            [&](QSize Extra) { return atBottomRight(QSize(300, 400) + Extra); }},
        {QRect(0, 0, 100000, 100000), [&](QSize) { return area; }},
        {QRect(area.center().x(), area.top(), area.width() * 3, area.height() * 2),
            [&](QSize) { return area; }},
        {QRect(area.topLeft() + QPoint(100, 100), QSize(area.width() * 2, 300)),
            [&](QSize Extra) {
                return QRect(area.left(), area.top() + 100, area.width(), 300 + Extra.height());
            }},
        {QRect(area.left() + 100, area.top(), 300, area.height()),
            [&](QSize Extra) {
                return QRect(area.left() + 100, area.top(), 300 + Extra.width(), area.height());
            }},
        {QRect(-30000, -30000, 300, 400),
            [&](QSize Extra) { return QRect(before.topLeft(), before.size() + Extra); }},
    };
    for (const auto& row : rows) {
        for (const bool shown : {true, false}) {
            QWidget window;
            window.move(before.topLeft());
            window.resize(before.size());
            if (shown)
                window.show();
            PlaceWindowOnScreen(&window, row.Stored);
            window.show();
            const QRect frame = window.frameGeometry();
            const QSize extra = frame.size() - window.size();
            const QRect expected = row.Frame(extra);
            const std::string name = (shown ? "shown " : "") + PlacementText(row.Stored).toStdString();
            // Before the first show the frame is estimated, so the rows tell only the frame of a shown
            // window exactly; a stored frame that fits is put back as it is in both cases.
            if (shown || area.contains(QRect(row.Stored.topLeft(), row.Stored.size() + extra))) {
                EXPECT_EQ(PlacementText(frame).toStdString(), PlacementText(expected).toStdString()) << name;
                continue;
            }
            EXPECT_TRUE(area.contains(frame)) << name << " " << PlacementText(frame).toStdString();
            if (expected.size() == row.Stored.size() + extra) {
                EXPECT_EQ(window.size(), row.Stored.size()) << name;
            }
        }
    }
}

}  // namespace
