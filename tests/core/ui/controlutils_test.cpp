#include "core/ui/controlutils.h"

#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/exception.h"

#include <QWidget>

#include <gtest/gtest.h>

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

}  // namespace
