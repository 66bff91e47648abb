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

// A press that leaves the button is no click unless the mouse comes back before the release.
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

// A release outside must not leave the hover colour behind.
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
    EXPECT_EQ(Pixel(Inside()), QColor(240, 240, 240));
}

// The size follows the caption and the font.
TEST_F(ButtonFixture, AutoSizeFitsTheCaption)
{
    Button->SetAutoSize(true);
    Button->SetCaption("12.3");
    EXPECT_EQ(Button->size(),
        QSize(Button->fontMetrics().horizontalAdvance("12.3") + 10, Button->fontMetrics().height() + 1));
    QFont font = Button->font();
    font.setPointSize(font.pointSize() * 2);
    Button->setFont(font);
    EXPECT_EQ(Button->size(),
        QSize(Button->fontMetrics().horizontalAdvance("12.3") + 10, Button->fontMetrics().height() + 1));
}

// A disabled button must not click through its accelerator.
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
