#include "app/dialogs/settingsstore.h"
#include "platform/messagebox.h"
#include "platform/registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QString TestKey = QStringLiteral("Software\\Tarvel\\DialogsTest");

// A window named like the main window, its stored position removed before and after.
class FormPositionTest : public testing::Test {
protected:
    void SetUp() override
    {
        Form.setObjectName(QStringLiteral("MainForm"));
        Form.move(50, 60);
        Form.resize(200, 150);
        Clear();
    }
    void TearDown() override { Clear(); }
    void Clear()
    {
        platform::Registry(TestKey).DeleteValue(QStringLiteral("MainForm"), QStringLiteral("Position"));
    }
    void Store(const QString& Value)
    {
        platform::Registry(TestKey).WriteString(
            QStringLiteral("MainForm"), QStringLiteral("Position"), Value);
    }
    QRect Bounds() const { return QRect(Form.pos(), Form.size()); }

    QWidget Form;
};

}  // namespace

TEST_F(FormPositionTest, RestoresAStoredRectangleAndWritesTheCurrentOne)
{
    Store(QStringLiteral("10,20,300,400"));
    LoadFormPosition(&Form, TestKey);
    EXPECT_EQ(Bounds(), QRect(10, 20, 300, 400));

    Form.move(30, 40);
    SaveFormPosition(&Form, TestKey);
    EXPECT_EQ(platform::Registry(TestKey).ReadString(
                  QStringLiteral("MainForm"), QStringLiteral("Position"), QString()),
        QStringLiteral("30,40,300,400"));
}

// A window closed with its title bar above the screen came back with the title bar out of reach,
// and one near the bottom right with its frame below the screen.
TEST_F(FormPositionTest, KeepsTheWindowWithinTheScreensWorkArea)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Shown, so that its frame is known.
    Form.show();
    const QSize frame = Form.frameGeometry().size() - Form.size() + QSize(300, 400);
    const struct {
        QPoint Stored, Restored;
    } cases[] {
        {area.topLeft() - QPoint(40, 30), area.topLeft()},
        {area.bottomRight() - QPoint(100, 100),
            area.bottomRight() - QPoint(frame.width() - 1, frame.height() - 1)},
    };
    for (const auto& [stored, restored] : cases) {
        Store(QStringLiteral("%1,%2,300,400").arg(stored.x()).arg(stored.y()));
        LoadFormPosition(&Form, TestKey);
        EXPECT_EQ(Bounds(), QRect(restored, QSize(300, 400)));
    }
}

// A damaged value once left the window half moved, and one off every screen put it out of reach.
TEST_F(FormPositionTest, IgnoresMissingDamagedAndOffScreenValues)
{
    LoadFormPosition(&Form, TestKey);
    EXPECT_EQ(Bounds(), QRect(50, 60, 200, 150));
    for (const char* value : {"10,20,abc,400", "10,20,300", "10,20,300,400,5", "", "10,20,0,400",
             "10, 20,300,400x", "-30000,-30000,300,400", "90000,10,300,400"}) {
        Store(QString::fromLatin1(value));
        LoadFormPosition(&Form, TestKey);
        EXPECT_EQ(Bounds(), QRect(50, 60, 200, 150)) << value;
    }
}

TEST(GlobalSettings, QueryDirDefaultsToTheSampleModelAndIsKept)
{
    const QString savedAppDir = AppDir;
    AppDir = QStringLiteral("/opt/lumidex/");
    platform::Registry(platform::NuvCommonKey).DeleteValue(QString(), QStringLiteral("QueryDir"));

    // First start: no registry values at all.
    LoadGlobalSettings();
    EXPECT_EQ(QueryDir, QStringLiteral("/opt/lumidex/dmodels/nwind"));

    QueryDir = QStringLiteral("/opt/lumidex/dmodels/sales/");
    SaveGlobalSettings();
    QueryDir.clear();
    LoadGlobalSettings();
    EXPECT_EQ(QueryDir, QStringLiteral("/opt/lumidex/dmodels/sales/"));
    EXPECT_EQ(platform::Registry(platform::NuvCommonKey)
                  .ReadString(QString(), QStringLiteral("QueryDir"), QString()),
        QueryDir);

    platform::Registry(platform::NuvCommonKey).DeleteValue(QString(), QStringLiteral("QueryDir"));
    AppDir = savedAppDir;
}

TEST(ShellHelpers, AddBackslashAndConfirmYesNo)
{
    EXPECT_EQ(AddBackslash(QString()), QString());
    EXPECT_EQ(AddBackslash(QStringLiteral("/data/")), QStringLiteral("/data/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/data")), QStringLiteral("/data/"));

    platform::ScriptedAnswers answers {platform::IDYES, platform::IDNO};
    EXPECT_EQ(ConfirmYesNo(QStringLiteral("Delete Query?")), 6);
    EXPECT_EQ(ConfirmYesNo(QStringLiteral("Delete Query?")), platform::IDNO);
    ASSERT_EQ(answers.Asked().size(), 2u);
    EXPECT_EQ(answers.Asked()[0].Caption, QString());
    EXPECT_EQ(answers.Asked()[0].Flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
}
