#include "rtl/exception.h"
#include "rtl/inifile.h"
#include "tests/rtl/errortext.h"
#include "tests/rtl/fifoopener.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include <sys/stat.h>

using namespace rtl;

namespace {

// Names ignore case and edge blanks, values keep theirs (no comments, quotes or lists inside a
// value); only "0" and "false" are false, and an empty value counts as missing.
TEST(IniFile, ReadsValuesAsTheyStand)
{
    IniFile ini;
    ini.Lines().SetText("[Options]\r\nDllPath=Fendal.dll\r\n  ModelName = My;model, with \"quotes\"\r\n"
                        "[Other]\r\nx=1\r\nbad=abc\r\nspaced= 7 \r\n"
                        "[Flags]\r\na=0\r\nb=false\r\nc=FALSE\r\ne=yes\r\nf=\r\n");
    EXPECT_EQ(ini.ReadString("options", "MODELNAME", "x"), " My;model, with \"quotes\"");
    EXPECT_EQ(ini.ReadString("Missing", "DllPath", "default"), "default");
    EXPECT_EQ(ini.ReadString("Flags", "f", "default"), "");
    EXPECT_FALSE(ini.ValueExists("Options", "x"));
    EXPECT_EQ(ini.ReadInteger("Other", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Other", "spaced", 5), 7);
    for (const auto& [key, whenFalse, whenTrue] : {std::tuple {"a", false, false}, {"b", false, false},
             {"c", false, false}, {"e", true, true}, {"f", false, true}, {"missing", false, true}}) {
        EXPECT_EQ(ini.ReadBool("Flags", key, false), whenFalse) << key;
        EXPECT_EQ(ini.ReadBool("Flags", key, true), whenTrue) << key;
    }
    StringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list, QStringList({"Options", "Other", "Flags"}));
    ini.ReadSection("options", list);
    EXPECT_EQ(list, QStringList({"DllPath", "ModelName"}));
    ini.ReadSectionValues("Other", list);
    EXPECT_EQ(list, QStringList({"x=1", "bad=abc", "spaced= 7 "}));
}

// Writing changes only the value: line order, comments, foreign lines and the way the name was
// written stay; new keys go at the end of their section, before its blank lines.
TEST(IniFile, WritesKeepOrderAndForeignLines)
{
    IniFile ini;
    ini.Lines().SetText("; by hand\r\n[Options]\r\n  ModelName = x\r\nforeign line\r\n[Other]\r\nx=1\r\n\r\n"
                        "[Flags]\r\na=0\r\nb=1\r\n");
    ini.WriteString("OPTIONS", "modelname", "Northwind");
    ini.WriteInteger("Other", "y", -3);
    ini.WriteBool("New", "On", true);
    ini.DeleteKey("Flags", "a");
    ini.DeleteKey("Flags", "nothing");
    EXPECT_EQ(ini.Lines().Text(),
        "; by hand\r\n[Options]\r\n  ModelName =Northwind\r\nforeign line\r\n[Other]\r\nx=1\r\ny=-3\r\n\r\n"
        "[Flags]\r\nb=1\r\n[New]\r\nOn=1\r\n");

    ini.Lines().SetText("[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n");
    ini.EraseSection("a");
    EXPECT_EQ(ini.Lines(), QStringList({"[B]", "k=2"}));  // every copy of the section goes
}

TEST(IniFile, FileRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dm_settings.ini");
    IniFile created(path);
    created.WriteString("Options", "DllPath", "Fendal.dll");
    created.WriteString("options", "ModelName", QString::fromUtf8("Caf\xC3\xA9"));
    created.UpdateFile();

    EXPECT_EQ(IniFile(path).ReadString("Options", "ModelName", ""), QString::fromUtf8("Caf\xC3\xA9"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Options]\r\nDllPath=Fendal.dll\r\nModelName=Caf\xC3\xA9\r\n"));
    EXPECT_THROW(IniFile {dir.path()}, EFileError);

    // A FIFO in place of the settings blocked the start; it is reported, a missing file is empty.
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const FifoOpener opener(pipe);
    EXPECT_EQ(ErrorText<EFileError>([&] { IniFile {pipe}; }), '"' + pipe + "\" is not a regular file");
    EXPECT_TRUE(IniFile(dir.filePath("missing.ini")).Lines().isEmpty());
    // A link that leads nowhere is named, not taken for a missing file.
    const QString loop = dir.filePath("loop.ini");
    ASSERT_TRUE(QFile::link(loop, loop));
    EXPECT_EQ(ErrorText<EFileError>([&] { IniFile {loop}; }),
        '"' + loop + "\" is a symbolic link that leads to no file");
}

}  // namespace
