#include "platform/libraryloader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

using namespace platform;

namespace {

// Creates a file, or a folder when the path ends in "/", with the folders above it.
void Make(const QString& path)
{
    ASSERT_TRUE(QDir().mkpath(path.endsWith('/') ? path : QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(path.endsWith('/') || file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// Each step is tried before the next, only the stored file name counts (a stored folder part,
// in either separator, never reaches outside the folder or into a sub-folder), folders are not
// libraries, and the result is absolute.
TEST(ResolveLibraryPath, TriesNameThenCaseThenSoThenLibSoInsideTheFolder)
{
    const struct {
        QStringList Files;  // relative to the folder searched
        QString Stored;
        QString Expected;  // empty when nothing may match
    } cases[] = {{{"Fendal.dll", "FENDAL.DLL", "Fendal.so", "libFendal.so"}, "Fendal.dll", "Fendal.dll"},
        {{"FENDAL.DLL", "Fendal.so", "libFendal.so"}, "Fendal.dll", "FENDAL.DLL"},
        {{"fendal.so", "Fendal.so", "libFendal.so"}, "Fendal.dll", "Fendal.so"},
        {{"FENDAL.SO", "libFendal.so"}, "Fendal.dll", "FENDAL.SO"},
        {{"LIBFENDAL.SO"}, "Fendal.dll", "LIBFENDAL.SO"}, {{"Fendal"}, "Fendal.dll", ""},
        {{"Fendal.so"}, "Fendal", "Fendal.so"}, {{"Fendal.v2.so"}, "Fendal.v2.dll", "Fendal.v2.so"},
        {{"Fendal.so"}, "..", ""}, {{"Fendal.so"}, "gates\\", ""},
        {{"../x/Fendal.dll", "sub/Fendal.dll"}, "../x/Fendal.dll", ""},
        {{"sub/Fendal.dll"}, "sub\\Fendal.dll", ""},
        {{"../x/Fendal.dll", "Fendal.so"}, "..\\x\\Fendal.dll", "Fendal.so"},
        {{"Fendal.dll/", "fendal.so"}, "Fendal.dll", "fendal.so"}};
    for (const auto& c : cases) {
        QTemporaryDir root;
        const QDir gates(root.filePath("gates"));
        for (const QString& file : c.Files)
            Make(gates.filePath(file));
        const QString relative = QDir::current().relativeFilePath(gates.path());
        EXPECT_EQ(ResolveLibraryPath(relative, c.Stored),
            c.Expected.isEmpty() ? QString() : gates.filePath(c.Expected))
            << c.Stored.toStdString() << " among " << c.Files.join(' ').toStdString();
    }
}

TEST(ResolveFolder, MatchesSubfolderIgnoringCase)
{
    QTemporaryDir dir;
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("DBGates"));
    Make(dir.filePath("DBGATES"));  // a file is not the folder
    Make(dir.filePath("dbgates/"));
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("dbgates"));
    Make(dir.filePath("DBGates/"));
    EXPECT_EQ(ResolveFolder(dir.path(), "DBGates"), dir.filePath("DBGates"));
}

// Entries bind by exact, exported name only; a failed load lets go of the library loaded
// before instead of answering from it.
TEST(LoadedLibrary, LoadsThePluginAndBindsEntriesByExactName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(PROBE_PLUGIN_PATH, dir.filePath("Probe.so")));
    LoadedLibrary library;
    ASSERT_TRUE(library.Load(ResolveLibraryPath(dir.path(), "Probe.dll")))
        << library.ErrorString().toStdString();
    const auto twice = library.ResolveAs<int32_t (*)(int32_t)>("probetwice");
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice(21), 42);
    for (const char* missing : {"ProbeTwice", "probehidden", "missing"})
        EXPECT_EQ(library.Resolve(missing), nullptr) << missing;

    Make(dir.filePath("Broken.so"));
    for (const QString& path : {dir.filePath("Broken.so"), dir.filePath("Missing.so"), QString()}) {
        ASSERT_TRUE(library.Load(dir.filePath("Probe.so")));
        EXPECT_FALSE(library.Load(path)) << path.toStdString();
        EXPECT_FALSE(library.IsLoaded());
        EXPECT_FALSE(library.ErrorString().isEmpty());
        EXPECT_EQ(library.Resolve("probetwice"), nullptr);
    }
}

}  // namespace
