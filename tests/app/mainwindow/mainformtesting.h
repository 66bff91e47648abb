#pragma once

#include "app/dialogs/settingsstore.h"
#include "app/mainwindow/mainform.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/textfile.h"
#include "tests/support/currentdir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A copy of the application folder the build assembles (the gate and the sample model with its
// queries and database) as the current directory, and an empty registry: every test starts as a
// first start and changes only its own copy.
class MainFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FApp.isValid() && FRegistry.isValid());
        platform::Registry::SetStorageFolder(FRegistry.path());
        const QString source = QStringLiteral(NUV_APP_DIR);
        ASSERT_TRUE(QDir().mkpath(Path("DBGates")) && QDir().mkpath(Path("dmodels/nwind")));
        ASSERT_TRUE(QFile::copy(source + "/DBGates/Fendal.so", Path("DBGates/Fendal.so")));
        const QDir sample(source + "/dmodels/nwind");
        for (const QString& name : sample.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(sample.filePath(name), Path("dmodels/nwind/" + name)));
        FCurrentDir = std::make_unique<CurrentDirScope>(FApp.path());
        ASSERT_TRUE(FCurrentDir->Entered());
    }
    void TearDown() override
    {
        Form.reset();
        FCurrentDir.reset();
        platform::Registry::SetStorageFolder(FSavedRegistry);
    }

    QString Path(const QString& Relative) const { return FApp.path() + u'/' + Relative; }
    QString AppFolder() const { return FApp.path() + u'/'; }
    QString Read(const QString& Relative) const { return rtl::ReadTextFile(Path(Relative)); }
    void Write(const QString& Relative, const QString& Text) const
    {
        rtl::WriteTextFile(Path(Relative), Text);
    }

    void Open()
    {
        Form = std::make_unique<TMainForm>();
        Form->show();
    }

    // Runs Fill on the modal dialog of type D that Command opens, once it is up.
    template <typename D>
    static void WithDialog(const std::function<void(D&)>& Fill, const std::function<void()>& Command)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            Fill(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        Command();
        EXPECT_TRUE(seen);
    }

    // The texts asked so far, each error that names File as "failed".
    static QStringList AskedTexts(const platform::ScriptedAnswers& Answers, const QString& File)
    {
        QStringList asked = Answers.AskedTexts();
        for (QString& text : asked)
            if (text.contains(u'"' + QDir::toNativeSeparators(File) + u'"'))
                text = QStringLiteral("failed");
        return asked;
    }

    std::unique_ptr<TMainForm> Form;

private:
    QTemporaryDir FApp;
    QTemporaryDir FRegistry;
    QString FSavedRegistry = platform::Registry::StorageFolder();
    std::unique_ptr<CurrentDirScope> FCurrentDir;
};
