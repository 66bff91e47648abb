#include "rtl/exception.h"
#include "rtl/textfile.h"
#include "tests/rtl/errortext.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace rtl;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void PutBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

TEST(TextFile, DecodesUtf8OrWindows1252)
{
    const struct {
        QByteArray Bytes;
        const char* Text;  // UTF-8
    } cases[] = {{"\xEF\xBB\xBFh\xC3\xA9", "h\xC3\xA9"}, {"plain", "plain"}, {"caf\xE9", "caf\xC3\xA9"},
        {"\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"}, {"\x81\x9F", "\xC2\x81\xC5\xB8"},
        // A UTF-8 sequence cut off at the end is not UTF-8.
        {"ab\xC3", "ab\xC3\x83"}, {"\xEF\xBB\xBF\xE9t\xE9", "\xC3\xA9t\xC3\xA9"}};
    for (const auto& c : cases)
        EXPECT_EQ(DecodeFileText(c.Bytes), QString::fromUtf8(c.Text)) << c.Bytes.toHex().toStdString();
}

TEST(TextFile, WritesUtf8WithCrLfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    const QString text = QString::fromUtf8("a\nb\r\nc\r\xC3\xA9\n");
    WriteTextFile(path, text);
    EXPECT_EQ(FileBytes(path), QByteArray("a\r\nb\r\nc\r\n\xC3\xA9\r\n"));
    EXPECT_EQ(ReadTextFile(path), QString::fromUtf8("a\r\nb\r\nc\r\n\xC3\xA9\r\n"));
    WriteTextFile(path, "new");
    EXPECT_EQ(ReadTextFile(path), "new");
}

TEST(TextFile, FailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.txt");
    EXPECT_TRUE(
        ErrorText<EFileError>([&] { ReadTextFile(missing); }).startsWith("Cannot open file \"" + missing));
    const QString noFolder = dir.filePath("no/such/folder.txt");
    EXPECT_TRUE(ErrorText<EFileError>([&] {
        WriteTextFile(noFolder, "x");
    }).startsWith("Cannot create file \"" + noFolder));
}

// A write that fails half-way (here: the file size limit, which holds for every user) must leave
// the old file as it was and no temporary file behind.
TEST(TextFile, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("model.txt");
    PutBytes(path, "old content");

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        WriteTextFile(path, QString(100000, 'x'));
    } catch (const EFileError&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(FileBytes(path), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"model.txt"});
}

TEST(TextFile, UnwritableFolderKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind root";
    QTemporaryDir dir;
    const QString path = dir.filePath("model.txt");
    PutBytes(path, "old content");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(WriteTextFile(path, "new content"), EFileError);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(FileBytes(path), QByteArray("old content"));
}

}  // namespace
