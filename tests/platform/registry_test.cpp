#include "platform/registry.h"

#include "rtl/exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace platform;

namespace {

class RegistryTest : public testing::Test {
protected:
    void SetUp() override { Registry::SetStorageFolder(FDir.path()); }
    void TearDown() override { Registry::SetStorageFolder(FSaved); }

    QTemporaryDir FDir;
    const QString FSaved = Registry::StorageFolder();
};

// Keys land as files in the redirected folder and nowhere else; a subkey opened directly and
// the same subkey named as a section are one place, but a value of the key itself is not the value
// of the same name in its subkey, and deleting the one never takes the other; commas in a value,
// written by us or by hand, are text and not a list.
TEST_F(RegistryTest, KeyPathMapsToFileInRedirectedFolderAndSectionsToGroupsApartFromKeyValues)
{
    Registry(NuvKey).WriteString("MainForm", "Position", "120,80,640,480");
    Registry(NuvCommonKey).WriteString("", "QueryDir", "/apps/dmodels/nwind");
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"Tarvel"});
    EXPECT_TRUE(QFile::exists(FDir.filePath("Tarvel/NUV.ini")));
    EXPECT_EQ(Registry(NuvKey).ReadString("Common", "QueryDir", ""), "/apps/dmodels/nwind");
    EXPECT_EQ(Registry(NuvKey).ReadString("MainForm", "Position", ""), "120,80,640,480");

    QFile file(FDir.filePath("Tarvel/NUV.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainForm]\nPosition=10,20,300,400\n");
    file.close();
    EXPECT_EQ(Registry(NuvKey).ReadString("MainForm", "Position", ""), "10,20,300,400");

    Registry editor(DataModelEditorKey);
    editor.WriteString("", "Form", "1,2,3,4");
    editor.WriteString("Form", "Form", "5,6,7,8");
    Registry other(DataModelEditorKey);
    EXPECT_EQ(other.ReadString("", "Form", "none"), "1,2,3,4");
    EXPECT_EQ(other.ReadString("Form", "Form", "none"), "5,6,7,8");
    other.DeleteValue("", "Form");
    EXPECT_FALSE(editor.ValueExists("", "Form"));
    EXPECT_EQ(Registry(DataModelEditorKey).ReadString("Form", "Form", "none"), "5,6,7,8");
}

// Any number but 0 is true, an empty value is missing, a bad integer gives the default.
TEST_F(RegistryTest, ReadBoolAndIntegerConversions)
{
    Registry reg(NuvKey);
    for (const auto& [stored, whenFalse, whenTrue] : {std::tuple {"0", false, false}, {"FALSE", false, false},
             {"true", true, true}, {"-1", true, true}, {"", false, true}}) {
        reg.WriteString("Appearance", "Flat", stored);
        EXPECT_EQ(reg.ReadBool("Appearance", "Flat", false), whenFalse) << stored;
        EXPECT_EQ(reg.ReadBool("Appearance", "Flat", true), whenTrue) << stored;
    }
    reg.WriteBool("Appearance", "Popup", false);
    EXPECT_EQ(reg.ReadString("Appearance", "Popup", ""), "0");
    reg.WriteString("Appearance", "Style", "12ab");
    EXPECT_EQ(reg.ReadInteger("Appearance", "Style", 3), 3);
}

// A value that cannot be stored raises instead of being lost, and a key path cannot climb out.
TEST_F(RegistryTest, BadFolderOrKeyPathRaises)
{
    QFile blocker(FDir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry::SetStorageFolder(blocker.fileName());
    EXPECT_THROW(Registry(NuvKey).WriteString("Common", "QueryDir", "x"), rtl::Exception);
    for (const char* path : {"", "Software\\..\\Escape", "Software\\Tarvel\\..\\..\\x", "\\\\"})
        EXPECT_THROW(Registry {path}, rtl::Exception) << path;
}

}  // namespace
