#include "platform/libraryloader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

using platform::LoadedLibrary;
using platform::ResolveFolder;
using platform::ResolveLibraryPath;

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

struct ResolveCase {
    QStringList Files;
    QString Stored;
    QString Expected;  // file name inside the folder; empty when nothing may match
};

TEST(ResolveLibraryPath, TriesNameThenCaseThenSoThenLibSo)
{
    const ResolveCase cases[] = {
        {{"Fendal.dll", "FENDAL.DLL", "Fendal.so", "libFendal.so"}, "Fendal.dll", "Fendal.dll"},
        {{"FENDAL.DLL", "Fendal.so", "libFendal.so"}, "Fendal.dll", "FENDAL.DLL"},
        {{"fendal.so", "Fendal.so", "libFendal.so"}, "Fendal.dll", "Fendal.so"},
        {{"FENDAL.SO", "libFendal.so"}, "Fendal.dll", "FENDAL.SO"},
        {{"LIBFENDAL.SO"}, "Fendal.dll", "LIBFENDAL.SO"},
        {{"Fendal"}, "Fendal.dll", ""},
        {{"Fendal.so"}, "Fendal", "Fendal.so"},
        {{"Fendal.v2.so"}, "Fendal.v2.dll", "Fendal.v2.so"},
        // Only the file-name part of a stored name counts, written with either separator.
        {{"Fendal.so"}, "..\\x\\Fendal.dll", "Fendal.so"},
        {{"Fendal.so"}, "..", ""},
        {{"Fendal.so"}, "gates\\", ""},
    };
    for (const ResolveCase& c : cases) {
        QTemporaryDir dir;
        for (const QString& file : c.Files)
            Touch(dir.filePath(file));
        const QString expected = c.Expected.isEmpty() ? QString() : dir.filePath(c.Expected);
        EXPECT_EQ(ResolveLibraryPath(dir.path(), c.Stored), expected)
            << c.Stored.toStdString() << " among " << c.Files.join(' ').toStdString();
    }
}

TEST(ResolveLibraryPath, StoredFolderPartNeverReachesOutside)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("x"));
    ASSERT_TRUE(QDir(root.path()).mkpath("gates/sub"));
    Touch(root.filePath("x/Fendal.dll"));
    Touch(root.filePath("gates/sub/Fendal.dll"));
    const QString gates = root.filePath("gates");

    for (const char* stored : {"../x/Fendal.dll", "..\\x\\Fendal.dll", "sub/Fendal.dll", "sub\\Fendal.dll"})
        EXPECT_EQ(ResolveLibraryPath(gates, stored), QString()) << stored;

    Touch(root.filePath("gates/Fendal.dll"));
    EXPECT_EQ(ResolveLibraryPath(gates, "../x/Fendal.dll"), root.filePath("gates/Fendal.dll"));
}

TEST(ResolveLibraryPath, FoldersAreNotLibrariesAndPathIsAbsolute)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Fendal.dll"));
    Touch(dir.filePath("fendal.so"));
    EXPECT_EQ(ResolveLibraryPath(dir.path(), "Fendal.dll"), dir.filePath("fendal.so"));

    const QString relative = QDir::current().relativeFilePath(dir.path());
    EXPECT_EQ(ResolveLibraryPath(relative, "Fendal.dll"), dir.filePath("fendal.so"));
}

TEST(ResolveFolder, MatchesSubfolderIgnoringCase)
{
    QTemporaryDir dir;
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("DBGates"));

    Touch(dir.filePath("DBGATES"));  // a file is not the folder
    ASSERT_TRUE(QDir(dir.path()).mkpath("dbgates"));
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("dbgates"));

    ASSERT_TRUE(QDir(dir.path()).mkpath("DBGates"));
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("DBGates"));
    EXPECT_EQ(ResolveFolder(dir.path(), "dbgates"), dir.filePath("dbgates"));
}

class LoadedLibraryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(QFile::copy(PROBE_PLUGIN_PATH, FDir.filePath("Probe.so")));
    }

    QTemporaryDir FDir;
};

TEST_F(LoadedLibraryTest, LoadsResolvedPluginAndBindsEntriesByExactName)
{
    const QString path = ResolveLibraryPath(FDir.path(), "Probe.dll");
    ASSERT_EQ(path, FDir.filePath("Probe.so"));

    LoadedLibrary library;
    ASSERT_TRUE(library.Load(path)) << library.ErrorString().toStdString();
    EXPECT_TRUE(library.IsLoaded());
    EXPECT_EQ(library.FileName(), path);

    using Twice = int32_t (*)(int32_t);
    const auto twice = library.ResolveAs<Twice>("probetwice");
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice(21), 42);
    EXPECT_EQ(library.Resolve("ProbeTwice"), nullptr);
    EXPECT_EQ(library.Resolve("probehidden"), nullptr);
    EXPECT_EQ(library.Resolve("missing"), nullptr);

    library.Unload();
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Resolve("probetwice"), nullptr);
}

TEST_F(LoadedLibraryTest, FailedLoadSaysWhyAndBindsNothing)
{
    Touch(FDir.filePath("Broken.so"));
    LoadedLibrary library;
    ASSERT_TRUE(library.Load(FDir.filePath("Probe.so")));

    for (const QString& path : {FDir.filePath("Broken.so"), FDir.filePath("Missing.so"), QString()}) {
        EXPECT_FALSE(library.Load(path)) << path.toStdString();
        EXPECT_FALSE(library.IsLoaded());
        EXPECT_FALSE(library.ErrorString().isEmpty());
        // The library loaded before is let go, not answered from.
        EXPECT_EQ(library.Resolve("probetwice"), nullptr);
    }
}

}  // namespace
