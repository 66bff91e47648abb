#include "querypanel/controls/roundbutton.h"

#include "tests/querypanel/controls/hostwindow.h"

#include <QImage>

namespace {

struct ButtonFixture : ::testing::Test {
    HostWindow Host;
    TZRndBtn* Button = nullptr;
    int Clicks = 0;

    void SetUp() override
    {
        Host.Window.setPalette(QPalette(QColor(240, 240, 240)));
        Button = new TZRndBtn(&Host.Window);
        Button->setGeometry(50, 50, 40, 24);
        Button->OnClick = [this](TZRndBtn*) { ++Clicks; };
        Button->show();
    }
    QColor Pixel(QPoint At) const { return Button->grab().toImage().pixelColor(At); }
    QPoint Inside() const { return QPoint(3, Button->height() / 2); }  // beside the caption
    QPoint Outside() const { return QPoint(Button->width() + 10, Button->height() + 10); }
};

TEST(ZRndBtn, NewButtonIsSmallFlatAndRound)
{
    TZRndBtn button;
    EXPECT_EQ(button.size(), QSize(25, 18));
    EXPECT_TRUE(button.Flat());
    EXPECT_TRUE(button.Rounded());
    EXPECT_FALSE(button.AllowPress());
    EXPECT_EQ(button.OverColor(), QColor(192, 192, 192));
    EXPECT_EQ(button.PressedColor(), QColor(Qt::black));
    EXPECT_EQ(button.Margin(), -1);
    button.SetMargin(-5);
    EXPECT_EQ(button.Margin(), -1);
}

TEST_F(ButtonFixture, ClicksOnlyWhenReleasedOverTheButton)
{
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, Inside());
    QTest::mouseMove(Button, Outside());
    QTest::mouseRelease(Button, Qt::LeftButton, Qt::NoModifier, Outside());
    EXPECT_EQ(Clicks, 0);

    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, Inside());
    QTest::mouseMove(Button, Outside());
    QTest::mouseMove(Button, Inside());
    QTest::mouseRelease(Button, Qt::LeftButton, Qt::NoModifier, Inside());
    EXPECT_EQ(Clicks, 1);
}

TEST_F(ButtonFixture, ColoursFollowTheMouse)
{
    EXPECT_EQ(Pixel(Inside()), QColor(240, 240, 240));
    QTest::mouseMove(Button, Inside());
    EXPECT_EQ(Pixel(Inside()), QColor(192, 192, 192)) << "under the mouse";
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, Inside());
    EXPECT_EQ(Pixel(Inside()), QColor(Qt::black)) << "pressed";
    QTest::mouseMove(Button, Outside());
    EXPECT_EQ(Pixel(Inside()), QColor(192, 192, 192)) << "pressed, but the mouse slid off";
    QTest::mouseRelease(Button, Qt::LeftButton, Qt::NoModifier, Outside());
    EXPECT_EQ(Pixel(Inside()), QColor(240, 240, 240)) << "released outside: no hover colour left behind";
}

TEST_F(ButtonFixture, CornersAndEdges)
{
    EXPECT_EQ(Pixel({0, 0}), QColor(240, 240, 240)) << "a rounded corner shows the parent";
    Button->SetRounded(false);
    EXPECT_EQ(Pixel({0, 0}), QColor(128, 128, 128)) << "a square corner is on the gray outline";

    Button->SetAllowPress(true);
    Button->SetFlat(false);
    EXPECT_EQ(Pixel({0, 5}), QColor(Qt::white)) << "raised: light on the left";
    EXPECT_EQ(Pixel({Button->width() - 1, 5}), QColor(Qt::black)) << "dark on the right";
    QTest::mousePress(Button, Qt::LeftButton, Qt::NoModifier, Inside());
    EXPECT_EQ(Pixel({0, 5}), QColor(Qt::black)) << "sunken while pressed";
    QTest::mouseRelease(Button, Qt::LeftButton, Qt::NoModifier, Inside());

    Button->SetFlat(true);
    QTest::mouseMove(Button, Outside());
    EXPECT_EQ(Pixel({0, 5}), QColor(128, 128, 128)) << "flat: the edge shows only under the mouse";
}

TEST_F(ButtonFixture, AutoSizeFitsTheCaption)
{
    Button->SetAutoSize(true);
    Button->SetCaption("12.3");
    const QFontMetrics metrics = Button->fontMetrics();
    EXPECT_EQ(Button->size(), QSize(metrics.horizontalAdvance("12.3") + 10, metrics.height() + 1));
    QFont font = Button->font();
    font.setPointSize(font.pointSize() * 2);
    Button->setFont(font);
    EXPECT_EQ(Button->size(),
        QSize(Button->fontMetrics().horizontalAdvance("12.3") + 10, Button->fontMetrics().height() + 1));
}

TEST_F(ButtonFixture, AcceleratorClicksWhileEnabled)
{
    Button->SetCaption("&Go");
    QTest::keyClick(&Host.Window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(Clicks, 1);
    Button->setEnabled(false);
    QTest::keyClick(&Host.Window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(Clicks, 1);
}

// Guards against a use of freed memory when the click's handler frees the button (deleting a row).
TEST_F(ButtonFixture, AHandlerMayFreeTheButton)
{
    QPointer<TZRndBtn> button = Button;
    Button->OnClick = [](TZRndBtn* Sender) { delete Sender; };
    Click(Button);
    EXPECT_TRUE(button.isNull());
}

}  // namespace
