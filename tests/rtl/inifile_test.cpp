#include "rtl/exception.h"
#include "rtl/inifile.h"
#include "rtl/textfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace rtl;

namespace {

const char* const Sample = "; written by hand\r\n"
                           "[Options]\r\n"
                           "DllPath=Fendal.dll\r\n"
                           "  ModelName = My;model, with \"quotes\"\r\n"
                           "foreign line\r\n"
                           "[Other]\r\n"
                           "x=1\r\n"
                           "bad=abc\r\n"
                           "spaced= 7 \r\n"
                           "\r\n"
                           "[Flags]\r\n"
                           "a=0\r\nb=false\r\nc=FALSE\r\nd=1\r\ne=yes\r\nf=\r\n";

IniFile SampleFile()
{
    IniFile ini;
    ini.Lines().SetText(Sample);
    return ini;
}

TEST(IniFile, ReadsValuesAsTheyStand)
{
    const IniFile ini = SampleFile();
    EXPECT_EQ(ini.ReadString("options", "DLLPATH", "x"), "Fendal.dll");
    EXPECT_EQ(ini.ReadString("Options", "ModelName", "x"), " My;model, with \"quotes\"");
    EXPECT_EQ(ini.ReadString("Options", "x", "default"), "default");
    EXPECT_EQ(ini.ReadString("Missing", "DllPath", "default"), "default");
    EXPECT_EQ(ini.ReadString("Flags", "f", "default"), "");
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_FALSE(ini.SectionExists("Other2"));
    EXPECT_TRUE(ini.ValueExists("Other", "X"));
    EXPECT_FALSE(ini.ValueExists("Options", "x"));
}

TEST(IniFile, ReadsNumbersAndBooleans)
{
    const IniFile ini = SampleFile();
    EXPECT_EQ(ini.ReadInteger("Other", "x", 5), 1);
    EXPECT_EQ(ini.ReadInteger("Other", "bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Other", "spaced", 5), 7);
    EXPECT_EQ(ini.ReadInteger("Other", "missing", 5), 5);
    const struct {
        const char* Key;
        bool WhenDefaultFalse, WhenDefaultTrue;
    } cases[] = {{"a", false, false}, {"b", false, false}, {"c", false, false}, {"d", true, true},
        {"e", true, true}, {"f", false, true}, {"missing", false, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(ini.ReadBool("Flags", c.Key, false), c.WhenDefaultFalse) << c.Key;
        EXPECT_EQ(ini.ReadBool("Flags", c.Key, true), c.WhenDefaultTrue) << c.Key;
    }
}

TEST(IniFile, ListsSectionsAndKeys)
{
    const IniFile ini = SampleFile();
    StringList list;
    ini.ReadSections(list);
    EXPECT_EQ(list, QStringList({"Options", "Other", "Flags"}));
    ini.ReadSection("options", list);
    EXPECT_EQ(list, QStringList({"DllPath", "ModelName"}));
    ini.ReadSectionValues("Other", list);
    EXPECT_EQ(list, QStringList({"x=1", "bad=abc", "spaced= 7 "}));
    ini.ReadSection("Missing", list);
    EXPECT_TRUE(list.isEmpty());
}

TEST(IniFile, WritesKeepOrderAndForeignLines)
{
    IniFile ini = SampleFile();
    ini.WriteString("OPTIONS", "modelname", "Northwind");
    ini.WriteInteger("Other", "y", -3);
    ini.WriteBool("New", "On", true);
    ini.DeleteKey("Flags", "b");
    ini.DeleteKey("Flags", "nothing");
    EXPECT_EQ(ini.Lines().Text(),
        "; written by hand\r\n"
        "[Options]\r\n"
        "DllPath=Fendal.dll\r\n"
        "  ModelName =Northwind\r\n"
        "foreign line\r\n"
        "[Other]\r\n"
        "x=1\r\n"
        "bad=abc\r\n"
        "spaced= 7 \r\n"
        "y=-3\r\n"
        "\r\n"
        "[Flags]\r\n"
        "a=0\r\nc=FALSE\r\nd=1\r\ne=yes\r\nf=\r\n"
        "[New]\r\n"
        "On=1\r\n");
}

TEST(IniFile, EraseSectionRemovesEveryCopy)
{
    IniFile ini;
    ini.Lines().SetText("[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n");
    ini.EraseSection("a");
    EXPECT_EQ(ini.Lines(), QStringList({"[B]", "k=2"}));
    EXPECT_EQ(ini.ReadString("A", "k", "none"), "none");
}

TEST(IniFile, FileRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dm_settings.ini");
    IniFile created(path);
    EXPECT_TRUE(created.Lines().isEmpty());
    created.WriteString("Options", "DllPath", "Fendal.dll");
    created.WriteString("options", "ModelName", QString::fromUtf8("Caf\xC3\xA9"));
    created.UpdateFile();

    const IniFile read(path);
    EXPECT_EQ(read.FileName(), path);
    EXPECT_EQ(read.ReadString("Options", "ModelName", ""), QString::fromUtf8("Caf\xC3\xA9"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Options]\r\nDllPath=Fendal.dll\r\nModelName=Caf\xC3\xA9\r\n"));
}

TEST(IniFile, UnreadableFileRaises)
{
    QTemporaryDir dir;
    EXPECT_THROW(IniFile {dir.path()}, EFileError);
}

}  // namespace
