#include "core/ui/controlutils.h"

#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/exception.h"

#include <QTableWidget>
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
    platform::ScriptedAnswers answers{platform::IDNO};
    EXPECT_EQ(ConfirmMessage("Delete the table?"), 7);
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].Text, "Delete the table?");
    EXPECT_EQ(answers.Asked()[0].Caption, "");
    EXPECT_EQ(answers.Asked()[0].Flags, 36);
}

TEST(ControlUtils, PlacementRoundTripStoresFourIntegersInTheKeyItself)
{
    QWidget control;
    control.move(120, 80);
    control.resize(640, 480);
    SaveControlPlacement(&control, TestKey, "Form");
    EXPECT_EQ(platform::Registry(TestKey).ReadString(QString(), "Form", ""), "120,80,640,480");
    QWidget other;
    LoadControlPlacement(&other, TestKey, "Form");
    EXPECT_EQ(Placement(other), QRect(120, 80, 640, 480));
    LoadControlPlacement(&other, TestKey, "Missing");
    EXPECT_EQ(Placement(other), QRect(120, 80, 640, 480));
}

// A bad item stops the load there: the members before it keep their new values.
TEST(ControlUtils, BadPlacementItemRaisesAfterSettingTheEarlierMembers)
{
    const struct {
        const char* Stored;
        const char* Message;
        QRect Expected;
    } rows[] = {{"10,20,300", "'' is not a valid integer value", QRect(10, 20, 300, 80)},
                {"10,2x,300,400", "'2x' is not a valid integer value", QRect(10, 6, 70, 80)}};
    for (const auto& row : rows) {
        QWidget control;
        control.move(5, 6);
        control.resize(70, 80);
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

TEST(ControlUtils, ClearGridRowEmptiesOneRowOnly)
{
    QTableWidget grid(3, 2);
    for (int cell = 0; cell < 4; ++cell)
        grid.setItem(cell / 2, cell % 2, new QTableWidgetItem("x"));
    for (int row : {1, 2, 7})  // a full row, a row without cells, a row past the end
        ClearGridRow(&grid, row);
    const QStringList texts{grid.item(0, 0)->text(), grid.item(0, 1)->text(), grid.item(1, 0)->text(),
                            grid.item(1, 1)->text()};
    EXPECT_EQ(texts, (QStringList{"x", "x", "", ""}));
}

TEST(ControlUtils, TextMeasuresFollowTheFont)
{
    QWidget window;
    QFont small = window.font();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(30);
    EXPECT_EQ(GetTextWidth(&window, small, ""), 0);
    EXPECT_GT(GetTextWidth(&window, small, "WW"), GetTextWidth(&window, small, "W"));
    EXPECT_GT(GetTextWidth(&window, large, "W"), GetTextWidth(nullptr, small, "W"));
    EXPECT_GT(GetTextHeight(&window, large, "x"), GetTextHeight(nullptr, small, "x"));
}

}  // namespace
