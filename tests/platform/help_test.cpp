#include "platform/help.h"
#include "platform/messagebox.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Takes the place of the desktop's handler for one URL scheme, so nothing is really opened.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : FScheme(scheme)
    {
        QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(FScheme); }

    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& url) { Opened.append(url); }

private:
    QString FScheme;
};

TEST(OpenHelpFile, MissingFileIsReportedByName)
{
    platform::ScriptedAnswers script;
    UrlCatcher files("file");
    platform::OpenHelpFile("/no/such/folder/nuv.hlp", 12);

    EXPECT_TRUE(files.Opened.isEmpty());
    ASSERT_EQ(script.Asked().size(), 1u);
    EXPECT_TRUE(script.Asked()[0].Text.contains("/no/such/folder/nuv.hlp"));
    EXPECT_EQ(script.Asked()[0].Flags, platform::MB_OK | platform::MB_ICONERROR);
}

TEST(OpenHelpFile, ExistingFileGoesToTheDesktop)
{
    QTemporaryDir dir;
    QFile help(dir.filePath("ltdialogs.hlp"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();

    platform::ScriptedAnswers script;
    UrlCatcher files("file");
    platform::OpenHelpFile(help.fileName());

    EXPECT_EQ(files.Opened, QList<QUrl>{QUrl::fromLocalFile(help.fileName())});
    EXPECT_TRUE(script.Asked().empty());
}

}  // namespace

#include "help_test.moc"
