#include "app/dialogs/modelsettings.h"
#include "app/dialogs/queryparams.h"
#include "app/dialogs/selectmodel.h"
#include "app/mainwindow/programstart.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/panel/rfieldseditor.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/querylist/querybase.h"
#include "querypanel/querylist/querycombo.h"
#include "rtl/datetime.h"
#include "tests/app/mainwindow/mainformtesting.h"
#include "tests/support/filesizelimit.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

namespace {

TEST_F(MainFormTest, FirstStartOpensTheDefaultFolderWithTheDefaultGate)
{
    QFile::remove(Path("dmodels/nwind/dm_settings.ini"));
    Open();
    const QString folder = AppFolder() + "dmodels/nwind";
    EXPECT_EQ(QueryDir, folder);
    EXPECT_EQ(Form->ZDBGate->DLLPath(), AppFolder() + "DBGates/Fendal.dll");
    EXPECT_EQ(Form->windowTitle(), "Lumidex - nwind");
    const int samples = QDir(folder).entryList({"*.qry"}, QDir::Files).size();
    EXPECT_EQ(Form->QBase->Count(), samples);
    EXPECT_EQ(Form->cbCurQuery->count(), samples);
    EXPECT_TRUE(Form->QPanel->Active());
    EXPECT_TRUE(Form->pnlMain->isVisible());
    EXPECT_GT(Form->DBStructure->GetTableCount(), 0);
}

// A display name of the application was appended to every window title by the platform, so the
// title read "Lumidex - Sample — Lumidex".
TEST(ProgramStart, NoDisplayNameRepeatsTheProgramInTheTitles)
{
    const QString saved = QCoreApplication::applicationName();
    const auto restore = qScopeGuard([&saved] { QCoreApplication::setApplicationName(saved); });
    SetApplicationTitle();
    EXPECT_EQ(QCoreApplication::applicationName(), "Lumidex");
    QCoreApplication::setApplicationName("Other");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Other");
}

// Qt fires neither action when two share a key, so only the Data Model's New... holds Ctrl+N.
TEST_F(MainFormTest, CtrlNRunsDataModelNew)
{
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    EXPECT_EQ(Form->miNew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_TRUE(Form->miNewQuery->shortcut().isEmpty());
    EXPECT_TRUE(Form->miNewQuery->text().endsWith("\tCtrl+N"));
    WithDialog<TdlgModelSettings>(
        [](TdlgModelSettings&) {}, [this] { QTest::keyClick(Form.get(), Qt::Key_N, Qt::ControlModifier); });
}

// Tab and Shift+Tab reach the query panel from every control of the window; after Clear All
// Conditions of a condition's row the panel took the focus with no current row and Insert added
// nothing.
TEST_F(MainFormTest, TheKeyboardReachesTheQueryPanelAndStartsAQuery)
{
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    ASSERT_GT(Form->QPanel->Root()->Count(), 0);
    QTest::keyClick(Form->QPanel, Qt::Key_Down);
    platform::ScriptedAnswers answers {platform::IDYES};
    Form->Clear1->trigger();
    ASSERT_EQ(Form->QPanel->Root()->Count(), 0);
    // Each page: the SQL text passes Tab on as every other control does.
    for (QWidget* page : {Form->tshQueryResult, Form->tshSQL}) {
        Form->pcSQL->setCurrentWidget(page);
        QList<QWidget*> controls;
        for (QWidget* control : Form->findChildren<QWidget*>())
            if (control->isVisible() && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus))
                controls.append(control);
        ASSERT_GT(controls.size(), 3);
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab})
            for (QWidget* control : controls) {
                control->setFocus();
                for (int i = 0; i < controls.size() && !Form->QPanel->hasFocus(); ++i)
                    QTest::keyClick(QApplication::focusWidget(), key);
                EXPECT_TRUE(Form->QPanel->hasFocus()) << control->metaObject()->className() << " "
                                                      << control->objectName().toStdString() << " " << key;
            }
    }
    QTest::keyClick(Form->QPanel, Qt::Key_Insert);
    EXPECT_EQ(Form->QPanel->Root()->Count(), 1);
}

TEST_F(MainFormTest, CommandsFollowTheQueryListAndTheModifiedFlag)
{
    Open();
    EXPECT_FALSE(Form->miSaveQuery->isEnabled());
    EXPECT_FALSE(Form->sbSaveQuery->isEnabled());
    Form->QPanel->Changed();
    EXPECT_TRUE(Form->miSaveQuery->isEnabled());
    EXPECT_TRUE(Form->sbSaveQuery->isEnabled());
    Form->SaveCurrentQuery();
    EXPECT_FALSE(Form->miSaveQuery->isEnabled());

    for (const QString& name : QDir(Path("dmodels/nwind")).entryList({"*.qry"}))
        QFile::remove(Path("dmodels/nwind/" + name));
    Form->LoadDataModel();
    Form->UpdateControls();
    EXPECT_FALSE(Form->pnlMain->isVisible());
    for (QAction* item : {Form->miSaveQuery, Form->miEditParams, Form->miDeleteQuery, Form->miBuildQuery,
             Form->miActivateQueryPanel, Form->miShowSQL, Form->miShowDescription})
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    for (QToolButton* button : {Form->sbSaveQuery, Form->sbQueryParams, Form->sbDeleteQuery,
             Form->sbBuildQuery, Form->sbActivateQueryPanel, Form->sbShowSQL})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_TRUE(Form->miNewQuery->isEnabled());
    EXPECT_TRUE(Form->sbNewQuery->isEnabled());
    EXPECT_EQ(Form->ddlRFields->Caption(), "*");
}

// A model folder cannot make the program load a library from elsewhere, and the stored name is
// written back as a bare name.
TEST_F(MainFormTest, OnlyTheFileNameOfDllPathCounts)
{
    Write("dmodels/nwind/dm_settings.ini",
        "[options]\r\nDllPath=../../elsewhere/Fendal.dll\r\nModelName=Sample\r\n");
    Open();
    EXPECT_EQ(Form->ZDBGate->DLLPath(), AppFolder() + "DBGates/Fendal.dll");
    EXPECT_EQ(Form->windowTitle(), "Lumidex - Sample");
    QueryDir = Path("dmodels/nwind");
    Form->SaveModelSettings();
    EXPECT_TRUE(Read("dmodels/nwind/dm_settings.ini").contains("DllPath=Fendal.dll\r\n"));
    EXPECT_TRUE(QFileInfo::exists(Path("dmodels/nwind/struct.dbs")));
    EXPECT_FALSE(QFileInfo::exists(Path("dmodels/nwindstruct.dbs")));
}

// The previous model never stays under another folder's name; the road still lists the folder's
// queries and names the folder.
TEST_F(MainFormTest, AFolderWithoutOrWithADamagedModelClearsTheModel)
{
    Open();
    ASSERT_GT(Form->DBStructure->GetTableCount(), 0);
    // The sample model cut before its first link section: its tables name links it lacks.
    const QString whole = Read("dmodels/nwind/struct.dbs");
    for (const QString& damage : {QString(), whole.left(whole.indexOf("[Link:"))}) {
        const QString folder = Path("dmodels/broken");
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::copy(Path("dmodels/nwind/german_orders.qry"), folder + "/german_orders.qry");
        if (!damage.isEmpty())
            Write("dmodels/broken/struct.dbs", damage);
        QueryDir = folder;
        platform::ScriptedAnswers answers {platform::IDOK};
        Form->LoadDataModel();
        ASSERT_EQ(answers.Asked().size(), 1u);
        EXPECT_TRUE(answers.AskedTexts()[0].contains("struct.dbs")) << answers.AskedTexts()[0].toStdString();
        EXPECT_EQ(Form->DBStructure->GetTableCount(), 0);
        EXPECT_EQ(Form->windowTitle(), "Lumidex - broken");
        EXPECT_EQ(Form->QBase->Count(), 1);
        EXPECT_TRUE(Form->QPanel->Active());
        EXPECT_EQ(Form->QPanel->DbStruct(), Form->DBStructure);
    }
}

TEST_F(MainFormTest, AFailureAtStartStillLeavesAWorkingWindow)
{
    platform::Registry(platform::NuvCommonKey).WriteString(QString(), "QueryDir", Path("dmodels/gone"));
    platform::ScriptedAnswers answers;
    answers.OnUnanswered = [](const platform::ScriptedAnswers::Box&) {};
    Open();
    ASSERT_GE(answers.Asked().size(), 1u);
    EXPECT_TRUE(answers.AskedTexts()[0].contains("struct.dbs"));
    EXPECT_EQ(Form->windowTitle(), "Lumidex - gone");
    EXPECT_TRUE(Form->QPanel->Active());
    EXPECT_FALSE(Form->pnlMain->isVisible());
    EXPECT_TRUE(Form->miNewQuery->isEnabled());
    EXPECT_TRUE(Form->SelectDataModel1->isEnabled());
}

// A struct.dbs that cannot be read is named at the start and never written over, through or in
// place of: a link to a missing file was taken for no file and Edit Model Settings... wrote the
// empty model at its target, a loop was replaced by a file, and a newer version was read as this
// one and rewritten without what its writer added.
TEST_F(MainFormTest, AModelFileThatCannotBeReadIsNamedAndNeverWritten)
{
    Open();
    const QString file = Path("dmodels/nwind/struct.dbs");
    const QString target = Path("elsewhere.dbs");
    const QString sample = Read("dmodels/nwind/struct.dbs");
    const QString newer = QString(sample).replace("Version=3.5\r\n", "Version=99\r\n");
    const struct {
        const char* Case;
        std::function<void()> Make;
        QString Said;
    } cases[] = {
        {"link to a missing file", [&] { QFile::link(target, file); },
            '"' + file + "\" is a symbolic link that leads to no file"},
        {"loop", [&] { QFile::link(file, file); },
            '"' + file + "\" is a symbolic link that leads to no file"},
        {"newer version", [&] { Write("dmodels/nwind/struct.dbs", newer); },
            file + ": The data model is of version 99, newer than this program reads (3.5)"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QFile::remove(file)) << c.Case;
        c.Make();
        const bool link = QFileInfo(file).isSymLink();
        platform::ScriptedAnswers answers {platform::IDOK};
        Form->LoadDataModel();
        EXPECT_EQ(answers.AskedTexts(), QStringList {c.Said}) << c.Case;
        EXPECT_EQ(Form->DBStructure->GetTableCount(), 0) << c.Case;
        WithDialog<TdlgModelSettings>([](TdlgModelSettings& Dialog) { Dialog.btOK->click(); },
            [this] { Form->EditSettings1->trigger(); });
        EXPECT_EQ(answers.Asked().size(), 1u) << c.Case;
        EXPECT_EQ(QFileInfo(file).isSymLink(), link) << c.Case;
        EXPECT_FALSE(QFileInfo::exists(target)) << c.Case;
        EXPECT_EQ(link ? newer : Read("dmodels/nwind/struct.dbs"), newer) << c.Case;
    }
}

// The folder's path stood in for the name of a model without a readable name, and the settings
// dialog refused it on OK for its separators; settings that could not be read, or held no text,
// said nothing. A readable file without a name, as older versions may have left, is no error.
TEST_F(MainFormTest, AModelWithoutANameInItsSettingsIsNamedAfterItsFolder)
{
    const QString file = Path("dmodels/nwind/dm_settings.ini");
    const auto bytes = [&](const QByteArray& Bytes) {
        return [&file, Bytes] {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(Bytes) == Bytes.size());
        };
    };
    QByteArray noise;
    for (quint32 x = 7; noise.size() < 200; x = x * 1103515245u + 12345u)
        noise.append(char(x >> 16));
    const QByteArray sample = [&] {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }();
    const struct {
        const char* Case;
        std::function<void()> Make;
        QString Said;  // what the start names; empty for nothing
    } cases[] = {
        {"missing", [] {}, QString()},
        {"empty", bytes(QByteArray()), QString()},
        {"cut at 10 bytes", bytes(sample.left(10)), QString()},
        {"an older file without a name", bytes("[Options]\r\nDllPath=Fendal.dll\r\n"), QString()},
        {"zero bytes", bytes(QByteArray(64, '\0')), "holds no text"},
        {"random bytes", bytes(noise), "holds no text"},
        {"a folder", [&] { QDir().mkdir(file); }, "is not a regular file"},
        {"a FIFO", [&] { mkfifo(QFile::encodeName(file).constData(), 0600); }, "is not a regular file"},
        {"a loop", [&] { QFile::link(file, file); }, "is a symbolic link that leads to no file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        QFile::remove(file);
        QDir().rmdir(file);
        c.Make();
        platform::ScriptedAnswers answers;
        answers.OnUnanswered = [](const platform::ScriptedAnswers::Box&) {};
        Form.reset();
        Open();
        EXPECT_EQ(Form->windowTitle(), "Lumidex - nwind");
        ASSERT_EQ(answers.Asked().size(), c.Said.isEmpty() ? 0u : 1u);
        if (!c.Said.isEmpty()) {
            EXPECT_TRUE(answers.AskedTexts()[0].contains('"' + file + "\" " + c.Said))
                << answers.AskedTexts()[0].toStdString();
        }
        // The name the program gave is taken on OK. Settings without a text are written afresh; what
        // is no file is named again and left as it is.
        const bool noFile = !c.Said.isEmpty() && !QFileInfo(file).isFile();
        WithDialog<TdlgModelSettings>([](TdlgModelSettings& Dialog) { Dialog.btOK->click(); },
            [this] { Form->EditSettings1->trigger(); });
        EXPECT_EQ(Form->ModelName(), "nwind");
        if (noFile) {
            ASSERT_EQ(answers.Asked().size(), 2u);
            EXPECT_EQ(answers.AskedTexts()[1], answers.AskedTexts()[0]);
            EXPECT_FALSE(QFileInfo(file).isFile());
        } else {
            EXPECT_EQ(answers.Asked().size(), c.Said.isEmpty() ? 0u : 1u);
            EXPECT_EQ(Read("dmodels/nwind/dm_settings.ini"),
                "[Options]\r\nDllPath=Fendal.dll\r\nModelName=nwind\r\n");
        }
    }
}

// A date value that is no date in the locale's short form is shown as the empty caption.
TEST_F(MainFormTest, DateValuesAreShownAsLongDates)
{
    Open();
    auto* row = static_cast<TSimpleCond*>(Form->QPanel->AddCondition(Form->QPanel->Root()));
    row->SetField(Form->DBStructure->FindField(flDisplayName, "Order date"));
    row->SetOperator(Form->DBStructure->OperatorByName("Equal"));
    row->SetValue(1, "no date");
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "_____");
    const QString date = rtl::DateToStr(rtl::EncodeDate(1997, 12, 31));
    row->SetValue(1, date);
    EXPECT_EQ(row->ValueLabel(1)->Caption(), rtl::FormatDateTime("dddddd", rtl::EncodeDate(1997, 12, 31)));
}

// A script read back into the panel is a change of the current query: it is asked about.
TEST_F(MainFormTest, ParsedSQLIsAChangeOfTheQuery)
{
    Open();
    Write("freight.sql", "SELECT Orders.OrderID FROM Orders\r\nWHERE Orders.Freight > 100\r\n");
    Form->ParseSQLFile(Path("freight.sql"));
    ASSERT_EQ(Form->QPanel->Root()->Count(), 1);
    EXPECT_TRUE(Form->miSaveQuery->isEnabled());
    EXPECT_EQ(Form->ddlRFields->Caption(), Form->QPanel->QResult()->ResultFields().GetCaptionsText());
    platform::ScriptedAnswers answers {platform::IDNO};
    Form->QBase->SetItemIndex((Form->QBase->ItemIndex() + 1) % Form->QBase->Count());
    EXPECT_EQ(answers.AskedTexts(), QStringList {"Current query was modified. Save?"});
}

TEST_F(MainFormTest, TheResultFieldsLabelAndCommandOpenTheEditor)
{
    Open();
    const QString captions = Form->ddlRFields->Caption();
    WithDialog<TdlgRFieldsEditor>(
        [](TdlgRFieldsEditor& Dialog) { Dialog.reject(); }, [&] { Form->ddlRFields->DropDown(); });
    EXPECT_EQ(Form->ddlRFields->Caption(), captions);
    EXPECT_FALSE(Form->QPanel->Modified());
    WithDialog<TdlgRFieldsEditor>([](TdlgRFieldsEditor& Dialog) { Dialog.btOK->click(); },
        [&] { Form->miEditResultFields->trigger(); });
    EXPECT_EQ(Form->ddlRFields->Caption(), Form->QPanel->QResult()->ResultFields().GetCaptionsText());
}

TEST_F(MainFormTest, ClosingStoresTheSettingsEvenWhenNothingChanged)
{
    Open();
    Form->close();
    const platform::Registry registry(platform::NuvKey);
    EXPECT_EQ(registry.ReadString("Common", "QueryDir", QString()), AppFolder() + "dmodels/nwind");
    EXPECT_TRUE(registry.ValueExists("Appearance", "Style"));
    for (const char* name : {"OptShowCheckBoxes", "OptFlatButtons", "OptPopupField", "OptPopupValue"})
        EXPECT_TRUE(registry.ValueExists("Appearance", name)) << name;
    EXPECT_FALSE(registry.ReadString("MainForm", "Position", QString()).isEmpty());
}

// The stored position was applied to the window's contents, so the frame came back higher and
// further left than it was.
TEST_F(MainFormTest, TheWindowComesBackWhereItWas)
{
    Open();
    Form->move(0, 0);
    Form->resize(500, 380);
    const QRect frame = Form->frameGeometry();
    ASSERT_NE(frame.topLeft(), Form->geometry().topLeft()) << "a frame round the contents";
    Form->close();
    Open();
    EXPECT_EQ(Form->frameGeometry(), frame);
}

TEST_F(MainFormTest, StoredAppearanceOverridesTheWindowsOwn)
{
    {
        platform::Registry registry(platform::NuvKey);
        registry.WriteInteger("Appearance", "Style", 1);
        registry.WriteBool("Appearance", "OptFlatButtons", false);
        registry.WriteString("Common", "DefaultGate", "other.dll");
    }
    Open();
    EXPECT_EQ(Form->QPanel->Appearance().Style(), psAndOr);
    EXPECT_FALSE(Form->QPanel->Appearance().Options().Contains(aoFlatButtons));
    EXPECT_TRUE(Form->QPanel->Appearance().Options().Contains(aoPopupValue));
    EXPECT_EQ(DefaultGate, "other.dll");
}

// Without an editor the model's own error is shown and the panel keeps its query.
TEST_F(MainFormTest, EditModelStructureWithoutAnEditor)
{
    Open();
    Form->QPanel->Changed();
    rtl::StringList before;
    Form->QPanel->SaveToStrings(before);
    Form->QPanel->SetModified(true);
    platform::ScriptedAnswers answers {platform::IDOK};
    Form->miEditStructure->trigger();
    EXPECT_EQ(answers.AskedTexts(), QStringList {"No data model editor is available"});
    rtl::StringList after;
    EXPECT_TRUE(Form->QPanel->Modified());
    Form->QPanel->SaveToStrings(after);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(Form->QPanel->Active());
}

// A save that could not write the query's file greyed Save out and nothing asked about the query
// again. Each save road now keeps it modified and current, and the close still asks.
TEST_F(MainFormTest, AQueryWhoseFileCannotBeWrittenStaysModified)
{
    Open();
    const QString current = Form->QBase->CurrentItem()->Name();
    const QString file = Form->QBase->CurrentItem()->FilePath();
    ASSERT_TRUE(QFile::remove(file) && QDir().mkdir(file));
    const int listed = Form->QBase->Count();
    Form->QPanel->Changed();
    platform::ScriptedAnswers answers {platform::IDOK, platform::IDYES, platform::IDOK, platform::IDYES,
        platform::IDOK, platform::IDYES, platform::IDOK, platform::IDYES, platform::IDOK, platform::IDNO};
    Form->miSaveQuery->trigger();
    EXPECT_TRUE(Form->miSaveQuery->isEnabled());
    Form->cbCurQuery->setFocus();
    QTest::keyClick(Form->cbCurQuery, Qt::Key_Down);
    EXPECT_EQ(Form->QBase->CurrentItem()->Name().toStdString(), current.toStdString());
    EXPECT_EQ(Form->cbCurQuery->currentText().toStdString(), current.toStdString());
    WithDialog<TdlgQueryParams>(
        [](TdlgQueryParams& Dialog) {
            Dialog.edQueryName->setText("Fresh");
            Dialog.edFileName->setText("fresh.qry");
            Dialog.accept();
        },
        [&] { Form->miNewQuery->trigger(); });
    EXPECT_EQ(Form->QBase->Count(), listed);
    EXPECT_TRUE(Form->QPanel->Modified());
    // Nor is another model opened: the switch once went half way, leaving the open model under the
    // other model's folder and name.
    ASSERT_TRUE(QDir().mkpath(Path("dmodels/other")));
    ASSERT_TRUE(QFile::copy(Path("dmodels/nwind/struct.dbs"), Path("dmodels/other/struct.dbs")));
    const QString folder = QueryDir;
    const QString title = Form->windowTitle();
    WithDialog<TdlgSelectDataModel>(
        [](TdlgSelectDataModel& Dialog) {
            Dialog.lbModels->setCurrentItem(Dialog.lbModels->findItems("other", Qt::MatchExactly).value(0));
            Dialog.lbModelsClick();
            Dialog.btnOk->click();
        },
        [&] { Form->SelectDataModel1->trigger(); });
    EXPECT_EQ(QueryDir.toStdString(), folder.toStdString());
    EXPECT_EQ(Form->windowTitle().toStdString(), title.toStdString());
    EXPECT_EQ(Form->QBase->CurrentItem()->Name().toStdString(), current.toStdString());
    EXPECT_TRUE(Form->QPanel->Modified());
    // A failed save on closing keeps the window open, and the next close asks again.
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->QPanel->Modified());
    EXPECT_TRUE(Form->close());
    const QString question = "Current query was modified. Save?";
    EXPECT_EQ(AskedTexts(answers, file),
        QStringList({"failed", question, "failed", question, "failed", question, "failed", question, "failed",
            question}));
}

// The main window checks the name again whatever the dialog let through: no query is written over
// another's file or outside the folder, and a rename leaves no old file behind.
TEST_F(MainFormTest, QueryFilesAreNeverOverwrittenOrLeftBehind)
{
    Open();
    const QString german = Read("dmodels/nwind/german_orders.qry");
    const int listed = Form->QBase->Count();
    const auto accept = [](const QString& Name, const QString& FileName) {
        return [Name, FileName](TdlgQueryParams& Dialog) {
            Dialog.edQueryName->setText(Name);
            Dialog.edFileName->setText(FileName);
            Dialog.accept();
        };
    };
    for (const QString& bad :
        {QString("../escape.qry"), QString("sub/x.qry"), QString("german_orders.qry")}) {
        platform::ScriptedAnswers answers {platform::IDOK};
        WithDialog<TdlgQueryParams>(accept("Bad", bad), [&] { Form->miNewQuery->trigger(); });
        EXPECT_EQ(answers.Asked().size(), 1u) << bad.toStdString();
        EXPECT_EQ(Form->QBase->Count(), listed);
    }
    EXPECT_FALSE(QFileInfo::exists(Path("dmodels/escape.qry")));
    EXPECT_EQ(Read("dmodels/nwind/german_orders.qry"), german);

    // The DISTINCT choice goes into the new file, which then holds the whole unmodified query.
    WithDialog<TdlgQueryParams>(
        [](TdlgQueryParams& Dialog) {
            Dialog.edQueryName->setText("Fresh");
            Dialog.edFileName->setText("fresh.qry");
            Dialog.cbDistinctSelect->setChecked(false);
            Dialog.accept();
        },
        [&] { Form->NewQuery(); });
    ASSERT_EQ(Form->QBase->Count(), listed + 1);
    EXPECT_EQ(Form->QBase->CurrentItem()->FileName(), "fresh.qry");
    EXPECT_TRUE(Read("dmodels/nwind/fresh.qry").contains("QueryName=Fresh"));
    EXPECT_TRUE(Read("dmodels/nwind/fresh.qry").contains("Options=48\r\n"));
    EXPECT_FALSE(Form->miSaveQuery->isEnabled());

    {
        platform::ScriptedAnswers answers {platform::IDOK};
        WithDialog<TdlgQueryParams>(
            accept("Fresh", "german_orders.qry"), [&] { Form->miEditParams->trigger(); });
        EXPECT_EQ(answers.Asked().size(), 1u);
        EXPECT_EQ(Form->QBase->CurrentItem()->FileName(), "fresh.qry");
    }
    const QString fresh = Read("dmodels/nwind/fresh.qry");
    // A new file that cannot be written leaves the query with the file it has, and with the name and
    // description typed beside it, to be saved.
    {
        platform::ScriptedAnswers answers {platform::IDOK};
        const FileSizeLimit limit(16);
        WithDialog<TdlgQueryParams>(
            [](TdlgQueryParams& Dialog) {
                Dialog.edQueryName->setText("Renamed");
                Dialog.edFileName->setText("renamed.qry");
                Dialog.memDescription->setPlainText("Typed");
                Dialog.accept();
            },
            [&] { Form->miEditParams->trigger(); });
        EXPECT_EQ(answers.Asked().size(), 1u);
    }
    EXPECT_EQ(Form->QBase->CurrentItem()->FileName(), "fresh.qry");
    EXPECT_EQ(Form->QBase->CurrentItem()->Name(), "Renamed");
    EXPECT_EQ(Form->QBase->CurrentItem()->Description(), "Typed\r\n");
    EXPECT_TRUE(Form->QPanel->Modified());
    EXPECT_TRUE(Form->miSaveQuery->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(Path("dmodels/nwind/renamed.qry")));
    EXPECT_EQ(Read("dmodels/nwind/fresh.qry"), fresh);
    // The refused rename called the query's own file another query's: no save could write it again.
    Form->miSaveQuery->trigger();
    EXPECT_FALSE(Form->QPanel->Modified());
    const QString saved = Read("dmodels/nwind/fresh.qry");
    EXPECT_TRUE(saved.contains("QueryName=Renamed\r\n") && saved.contains("Typed\r\n"));
    WithDialog<TdlgQueryParams>(accept("Renamed", "renamed.qry"), [&] { Form->EditQueryParams(); });
    EXPECT_FALSE(QFileInfo::exists(Path("dmodels/nwind/fresh.qry")));
    EXPECT_EQ(Read("dmodels/nwind/renamed.qry"), saved);
    EXPECT_EQ(Form->cbCurQuery->currentText(), "Renamed");
    Form->SaveCurrentQuery();
    EXPECT_TRUE(Read("dmodels/nwind/renamed.qry").contains("QueryName=Renamed"));
    EXPECT_EQ(Read("dmodels/nwind/german_orders.qry"), german);
}

}  // namespace
