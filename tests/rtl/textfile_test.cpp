#include "rtl/exception.h"
#include "rtl/textfile.h"
#include "tests/rtl/errortext.h"
#include "tests/rtl/fifoopener.h"
#include "tests/support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rtl;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// While it lives, the process may take only Bytes more address space: reading a device that never
// ends fails soon instead of filling the machine's memory.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t Bytes)
    {
        EXPECT_EQ(getrlimit(RLIMIT_AS, &FSaved), 0);
        rlim_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit small = FSaved;
        small.rlim_cur = std::min(FSaved.rlim_cur, pages * rlim_t(sysconf(_SC_PAGESIZE)) + Bytes);
        EXPECT_EQ(setrlimit(RLIMIT_AS, &small), 0);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &FSaved); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit FSaved {};
};

// Text that is not valid UTF-8 (a sequence cut off at the end included) is Windows-1252, with its
// five unassigned bytes kept as the C1 codes; a BOM is dropped, also before Windows-1252 text.
// One Windows-1252 line in a UTF-8 file turned every other line into mojibake, which the next save
// made permanent: only that line is Windows-1252, whatever its line end.
TEST(TextFile, DecodesUtf8OrWindows1252)
{
    const std::pair<QByteArray, const char*> cases[]
        = {{"\xEF\xBB\xBFh\xC3\xA9", "h\xC3\xA9"}, {"caf\xE9", "caf\xC3\xA9"},
            {"\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"}, {"\x81\x9F", "\xC2\x81\xC5\xB8"},
            {"ab\xC3", "ab\xC3\x83"}, {"\xEF\xBB\xBF\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
            {"K\xC3\xA4se\r\ncaf\xE9\r\n\xC3\xA4\r\n", "K\xC3\xA4se\r\ncaf\xC3\xA9\r\n\xC3\xA4\r\n"},
            {"\xC3\xA4\ncaf\xE9\n\xC3\xB6", "\xC3\xA4\ncaf\xC3\xA9\n\xC3\xB6"},
            {"\xC3\xA4\rcaf\xE9\r\xC3\xB6", "\xC3\xA4\rcaf\xC3\xA9\r\xC3\xB6"},
            {"\xEF\xBB\xBF\xC3\xA4\r\n\x93\xE9\x94", "\xC3\xA4\r\n\xE2\x80\x9C\xC3\xA9\xE2\x80\x9D"},
            {"ab\xC3\n\xC3\xA4\n\n\xE9", "ab\xC3\x83\n\xC3\xA4\n\n\xC3\xA9"}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(DecodeFileText(bytes), QString::fromUtf8(text)) << bytes.toHex().toStdString();
}

// A save removed every file named like the saved one, "." and six letters, taking it for its own
// temporary: the copies a user keeps beside a file are not the program's to delete.
TEST(TextFile, WritesUtf8WithCrLfAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    WriteTextFile(path, "replaced");
    const QStringList kept {"a.txt", "a.txt.AbCdE1", "a.txt.AbCdEf", "a.txt.AbCdEfg", "a.txt.bak",
        "a.txt.xyzXYZ", "b.txt.AbCdEf", "dm_settings.ini", "dm_settings.ini.backup", "struct.dbs",
        "struct.dbs.BACKUP", "struct.dbs.BackUp", "struct.dbs.backup"};
    for (const QString& name : kept)
        if (name != "a.txt")
            WriteTextFile(dir.filePath(name), "left");
    for (const char* saved : {"struct.dbs", "dm_settings.ini"})
        WriteTextFile(dir.filePath(saved), "saved");
    WriteTextFile(path, QString::fromUtf8("a\nb\r\nc\r\xC3\xA9"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name).join(u' '), kept.join(u' '));
    EXPECT_EQ(FileBytes(path), QByteArray("a\r\nb\r\nc\r\n\xC3\xA9"));
    EXPECT_EQ(ReadTextFile(path), QString::fromUtf8("a\r\nb\r\nc\r\n\xC3\xA9"));
    const QString missing = dir.filePath("missing.txt");
    EXPECT_TRUE(
        ErrorText<EFileError>([&] { ReadTextFile(missing); }).startsWith("Cannot open file \"" + missing));
}

// A FIFO in place of a model or settings file blocked the start before any window appeared, and a
// link to a device read without end; a link to a regular file is read.
TEST(TextFile, OnlyRegularFilesAreRead)
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.dbs");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.dbs")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.dbs")));
    ASSERT_TRUE(QFile::link(pipe, dir.filePath("linked.dbs")));
    WriteTextFile(dir.filePath("model.dbs"), "[Main]");
    ASSERT_TRUE(QFile::link(dir.filePath("model.dbs"), dir.filePath("struct.dbs")));

    const FifoOpener opener(pipe);
    const AddressSpaceLimit limit(rlim_t(1) << 30);
    for (const char* name : {"pipe.dbs", "zero.dbs", "folder.dbs", "linked.dbs"}) {
        const QString path = dir.filePath(name);
        EXPECT_EQ(
            ErrorText<EFileError>([&] { ReadTextFile(path); }), '"' + path + "\" is not a regular file");
    }
    EXPECT_EQ(ReadTextFile(dir.filePath("struct.dbs")), "[Main]");

    // A link to a missing file, or a loop, was taken for no file: a save made the link's target
    // wherever it pointed, or put a file in place of the loop.
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere.dbs"), dir.filePath("dangling.dbs")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop.dbs"), dir.filePath("loop.dbs")));
    for (const char* name : {"dangling.dbs", "loop.dbs"}) {
        const QString path = dir.filePath(name);
        EXPECT_EQ(ErrorText<EFileError>([&] { ReadTextFile(path); }),
            '"' + path + "\" is a symbolic link that leads to no file");
        EXPECT_EQ(ErrorText<EFileError>([&] { WriteTextFile(path, "[Main]"); }),
            "Cannot write file \"" + path + "\". It is a symbolic link that leads to no file.");
        EXPECT_TRUE(QFileInfo(path).isSymLink()) << name;
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("elsewhere.dbs")));
}

// A write that fails half-way (here: the file size limit, which holds for every user, as a full disk
// does) must leave the old file as it was and no temporary file behind. A text smaller than the
// write buffer fails only on the flush at the end, which the commit used to pass over, renaming an
// empty file over the old one.
TEST(TextFile, FailedWriteKeepsTheOldFile)
{
    for (const int size : {100000, 10000}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const QString path = dir.filePath("model.txt");
        WriteTextFile(path, "old content");

        const QString error = [&] {
            const FileSizeLimit limit(4096);
            return ErrorText<EFileError>([&] { WriteTextFile(path, QString(size, 'x')); });
        }();

        EXPECT_TRUE(error.startsWith("Cannot write file \"" + QDir::toNativeSeparators(path)))
            << error.toStdString();
        EXPECT_EQ(FileBytes(path), QByteArray("old content"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList {"model.txt"});
    }
}

}  // namespace
