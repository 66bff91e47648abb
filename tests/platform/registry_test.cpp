#include "platform/registry.h"

#include "rtl/exception.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::Registry;

namespace {

class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        Registry::SetStorageFolder(FDir.path());
    }
    void TearDown() override { Registry::SetStorageFolder(FSaved); }

    QString FileText(const QString& relative) const
    {
        QFile file(FDir.filePath(relative));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir FDir;
    const QString FSaved = Registry::StorageFolder();
};

TEST_F(RegistryTest, KeyPathMapsToFileInRedirectedFolderAndSectionsToGroups)
{
    Registry(platform::NuvKey).WriteString("MainForm", "Position", "120,80,640,480");
    Registry("Software\\Tarvel\\NUV\\Common").WriteString("", "QueryDir", "/apps/dmodels/nwind");

    // Everything lands in the redirected folder, nothing beside it.
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Tarvel"});
    const QString text = FileText("Tarvel/NUV.ini");
    EXPECT_TRUE(text.contains("[MainForm]")) << text.toStdString();
    EXPECT_TRUE(text.contains("[Common]")) << text.toStdString();

    // A subkey opened directly and the same subkey as a section are one place.
    Registry nuv(platform::NuvKey);
    EXPECT_EQ(nuv.ReadString("Common", "QueryDir", ""), "/apps/dmodels/nwind");
    EXPECT_EQ(Registry(platform::NuvCommonKey).ReadString("", "QueryDir", ""), "/apps/dmodels/nwind");
    // Commas in a value are not a list: the rectangle comes back as the same text.
    EXPECT_EQ(nuv.ReadString("MainForm", "Position", ""), "120,80,640,480");

    Registry::SetStorageFolder(QString());
    EXPECT_EQ(
        Registry::StorageFolder(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST_F(RegistryTest, ValueInKeyIsNotValueInSectionAndKeysAreShared)
{
    Registry editor(platform::DataModelEditorKey);
    Registry other(platform::DataModelEditorKey);
    editor.WriteString("", "Form", "1,2,3,4");
    editor.WriteString("Form", "Form", "5,6,7,8");

    EXPECT_EQ(other.ReadString("", "Form", "none"), "1,2,3,4");
    EXPECT_EQ(other.ReadString("Form", "Form", "none"), "5,6,7,8");
    EXPECT_FALSE(Registry(platform::NuvKey).ValueExists("", "Form"));

    // Deleting a value never takes the subkey of the same name with it.
    other.DeleteValue("", "Form");
    other.DeleteValue("", "Form");
    EXPECT_FALSE(editor.ValueExists("", "Form"));
    EXPECT_EQ(Registry(platform::DataModelEditorKey).ReadString("Form", "Form", "none"), "5,6,7,8");
}

TEST_F(RegistryTest, ReadBoolAndIntegerConversions)
{
    Registry reg(platform::NuvKey);
    struct Case {
        const char* Stored;
        bool WithFalseDefault;
        bool WithTrueDefault;
    };
    const Case cases[] = {
        {"0", false, false},
        {"false", false, false},
        {"FALSE", false, false},
        {"1", true, true},
        {"true", true, true},
        {"-1", true, true},
        {"", false, true},
    };
    for (const Case& c : cases) {
        reg.WriteString("Appearance", "OptFlatButtons", c.Stored);
        EXPECT_EQ(reg.ReadBool("Appearance", "OptFlatButtons", false), c.WithFalseDefault) << c.Stored;
        EXPECT_EQ(reg.ReadBool("Appearance", "OptFlatButtons", true), c.WithTrueDefault) << c.Stored;
    }
    EXPECT_TRUE(reg.ReadBool("Appearance", "Missing", true));

    reg.WriteBool("Appearance", "OptPopupField", false);
    reg.WriteInteger("Appearance", "Style", -7);
    EXPECT_EQ(reg.ReadString("Appearance", "OptPopupField", ""), "0");
    EXPECT_EQ(reg.ReadInteger("Appearance", "Style", 0), -7);
    reg.WriteString("Appearance", "Style", "12ab");
    EXPECT_EQ(reg.ReadInteger("Appearance", "Style", 3), 3);
    EXPECT_EQ(reg.ReadInteger("Appearance", "Missing", 4), 4);
}

TEST_F(RegistryTest, HandEditedListValueReadsAsText)
{
    ASSERT_TRUE(QDir(FDir.path()).mkpath("Tarvel"));
    QFile file(FDir.filePath("Tarvel/NUV.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[MainForm]\nPosition=10,20,300,400\n");
    file.close();

    EXPECT_EQ(Registry(platform::NuvKey).ReadString("MainForm", "Position", ""), "10,20,300,400");
}

TEST_F(RegistryTest, UnwritableFolderRaisesInsteadOfLosingTheValue)
{
    // A file where the folder should be: the key cannot be stored.
    QFile blocker(FDir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry::SetStorageFolder(blocker.fileName());

    Registry reg(platform::NuvKey);
    EXPECT_THROW(reg.WriteString("Common", "QueryDir", "x"), rtl::Exception);
}

TEST_F(RegistryTest, KeyPathCannotLeaveTheFolder)
{
    for (const char* path : {"", "Software\\..\\Escape", "Software\\Tarvel\\..\\..\\x", "\\\\"})
        EXPECT_THROW(Registry{path}, rtl::Exception) << path;
    EXPECT_NO_THROW(Registry{platform::TarvelKey});
}

}  // namespace
