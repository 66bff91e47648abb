// New... and Run Wizard... over the real Tesmera.so and the sample gate, and the naming of new
// model folders.

#include "app/mainwindow/wizardbinding.h"

#include "app/dialogs/modelsettings.h"
#include "app/dialogs/selectmodel.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "tests/app/mainwindow/mainformtesting.h"
#include "tests/support/filesizelimit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <deque>

namespace {

// Runs each step, in order, on the next modal window that comes up; a step is asked again on
// later turns of the event loop until it answers that it is done with its window.
class ModalScript {
public:
    using Step = std::function<bool(QWidget&)>;

    explicit ModalScript(std::initializer_list<Step> Steps) : FSteps(Steps)
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (!FSteps.empty() && window && window != FFinished && FSteps.front()(*window)) {
                FFinished = window;
                FSteps.pop_front();
            }
        });
        FTimer.start(5);
    }
    bool Done() const { return FSteps.empty(); }

private:
    std::deque<Step> FSteps;
    QPointer<QWidget> FFinished;
    QTimer FTimer;
};

bool Press(QWidget& Window, const char* Button)
{
    Window.findChild<QPushButton*>(Button)->click();
    return true;
}

// The settings dialog of New... with the sample gate chosen, closed with OK.
ModalScript::Step AcceptSettings(const QString& ModelName)
{
    return [ModelName](QWidget& Window) {
        auto& dialog = dynamic_cast<TdlgModelSettings&>(Window);
        EXPECT_TRUE(dialog.cbGates->isEnabled());
        dialog.cbGates->setCurrentIndex(0);
        dialog.cbGatesChange();
        dialog.edtModelName->setText(ModelName);
        dialog.btOK->click();
        return true;
    };
}

// Next on every page, every table chosen where Next waits for one.
bool FinishWizard(QWidget& Window)
{
    if (!Window.findChild<QPushButton*>("btnNext")->isEnabled())
        Press(Window, "sbSelectAll");
    Press(Window, "btnNext");
    return !Window.isVisible();
}

class WizardBindingTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        ASSERT_TRUE(QFile::copy(QStringLiteral(NUV_APP_DIR "/Tesmera.so"), Path("Tesmera.so")));
        Open();
    }
    // The model text, name, gate, title and folder. A model read back while the gate is connected
    // gives its tables the gate's current database: that is the same model.
    std::string State() const
    {
        QStringList state;
        Form->DBStructure->SaveToStrings(state);
        state.removeIf([](const QString& Line) { return Line.startsWith(u"DBName="); });
        state << Form->ModelName() << Form->ZDBGate->DLLPath() << Form->windowTitle() << QueryDir;
        return state.join(u'\n').toStdString();
    }
    QStringList GateDetails() const
    {
        QStringList details;
        Form->ZDBGate->SaveInfo(details);
        return details;
    }
    // Runs Road with the scripted windows; a failure is shown as the program shows it.
    static void Drive(const std::function<void()>& Road, std::initializer_list<ModalScript::Step> Steps)
    {
        const ModalScript script(Steps);
        platform::Guarded(Road);
        EXPECT_TRUE(script.Done());
    }
    void New(std::initializer_list<ModalScript::Step> Steps)
    {
        Drive([this] { NewModelByWizard(*Form); }, Steps);
    }
    void Rework(std::initializer_list<ModalScript::Step> Steps)
    {
        Drive([this] { RunWizardOnModel(*Form); }, Steps);
    }
};

TEST_F(WizardBindingTest, NewModelNamesAndFolders)
{
    for (const QString name : {"Data Model 1", "data model 3", "Sales"}) {
        ASSERT_TRUE(QDir().mkpath(Path("dmodels/" + name)));
        Write("dmodels/" + name + "/struct.dbs", "[Main]\r\nVersion=3.5\r\n");
        Write("dmodels/" + name + "/dm_settings.ini", "[Options]\r\nModelName=" + name + "\r\n");
    }
    MakeNewModelName(*Form);
    EXPECT_EQ(Form->ModelName(), "Data Model 2");

    Form->SetModelName("Sales");
    Write("dmodels/Sales2", "");  // a file takes the name as a folder would
    for (const QString expected : {"Sales1", "Sales3"}) {
        CreateModelFolder(*Form);
        EXPECT_EQ(QueryDir, AppFolder() + "dmodels/" + expected);
        EXPECT_TRUE(QFileInfo(QueryDir).isDir());
    }
    Form->SetModelName(QString(300, u'x'));
    EXPECT_THROW(CreateModelFolder(*Form), rtl::EFileError);
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/" + QString(300, u'x'));
}

TEST_F(WizardBindingTest, WhatDoesNotEndInANewModelKeepsTheOpenOne)
{
    const std::string before = State();
    const QStringList folders = QDir(Path("dmodels")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    New({[](QWidget& Window) {
        auto& dialog = dynamic_cast<TdlgModelSettings&>(Window);
        EXPECT_EQ(dialog.edtModelName->text(), "Data Model 1");
        dialog.btCancel->click();
        return true;
    }});
    EXPECT_EQ(State(), before);
    New({AcceptSettings("Other"), [](QWidget& Window) { return Press(Window, "btnCancel"); }});
    EXPECT_EQ(State(), before);
    EXPECT_EQ(QDir(Path("dmodels")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), folders);

    // The open model keeps its own name and gate, which a later save writes into its folder.
    QFile::remove(Path("Tesmera.so"));
    platform::ScriptedAnswers answers {platform::IDOK, platform::IDOK};
    New({AcceptSettings("Other")});
    Rework({});
    EXPECT_EQ(answers.AskedTexts(), QStringList(2, "Can not load \"Tesmera.dll\""));
    EXPECT_EQ(State(), before);

    // A model whose settings could not be written is asked about first: a failed save keeps it
    // open, No goes on, and the change is still unsaved when no new model comes of it.
    const QString settings = Path("dmodels/nwind/dm_settings.ini");
    ASSERT_TRUE(QFile::remove(settings) && QDir().mkdir(settings));
    platform::ScriptedAnswers unsaved {
        platform::IDOK, platform::IDYES, platform::IDOK, platform::IDNO, platform::IDYES};
    Drive([this] { Form->EditSettings1Click(); }, {[](QWidget& Window) {
        auto& dialog = dynamic_cast<TdlgModelSettings&>(Window);
        dialog.edtModelName->setText("Renamed");
        dialog.btOK->click();
        return true;
    }});
    const std::string edited = State();
    const auto cancel = [](QWidget& Window) {
        dynamic_cast<TdlgModelSettings&>(Window).btCancel->click();
        return true;
    };
    {
        const ModalScript notShown({cancel});
        platform::Guarded([this] { NewModelByWizard(*Form); });
        EXPECT_FALSE(notShown.Done()) << "New... went on after the failed save";
    }
    New({cancel});
    EXPECT_EQ(State(), edited);
    ASSERT_TRUE(QDir().rmdir(settings));
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Read("dmodels/nwind/dm_settings.ini").contains("ModelName=Renamed\r\n"));
    const QString question = "Current data model was modified. Save?";
    EXPECT_EQ(AskedTexts(unsaved, settings), QStringList({"failed", question, "failed", question, question}));
}

TEST_F(WizardBindingTest, RunWizardStartsFromTheOpenModelAndWritesNothing)
{
    const std::string before = State();
    const QString modelFile = Read("dmodels/nwind/struct.dbs");
    QStringList checked;
    Rework({[&checked](QWidget& Window) {
        auto* tables = Window.findChild<QListWidget*>();
        if (!tables->isVisible() || tables->count() == 0)
            return !Press(Window, "btnNext");
        for (int i = 0; i < tables->count(); ++i) {
            if (tables->item(i)->checkState() == Qt::Checked)
                checked.append(tables->item(i)->text());
        }
        return Press(Window, "btnCancel");
    }});
    EXPECT_EQ(State(), before);
    EXPECT_FALSE(Form->ModelUnsaved());
    EXPECT_EQ(checked.size(), Form->DBStructure->GetTableCount());
    for (const QString& name : checked)
        EXPECT_NE(Form->DBStructure->FindTable(tlName, name), nullptr) << name.toStdString();

    // The wizard's model is taken over with the gate's connection details; the folder is untouched.
    Rework({FinishWizard});
    EXPECT_EQ(Form->DBStructure->GetTableCount(), checked.size());
    EXPECT_EQ(GateDetails(), QStringList {"Database=dmodels/nwind/nwind.sqlite"});
    EXPECT_EQ(Read("dmodels/nwind/struct.dbs"), modelFile);
    EXPECT_TRUE(Form->ModelUnsaved());

    // A failing gate answers every callback with nothing and is reported once, not per question.
    // The open query's value lists would ask the gate too when the panel comes back: only the
    // wizard's questions count here.
    Form->QPanel->Clear();
    Form->ZDBGate->SetDLLPath(AppFolder() + "DBGates/Missing.dll");
    platform::ScriptedAnswers answers {platform::IDOK};
    int pages = 0;
    Rework({[&pages](QWidget& Window) {
        return Press(Window, ++pages < 4 ? "btnNext" : "btnCancel") && pages >= 4;
    }});
    ASSERT_EQ(answers.AskedTexts().size(), 1);
    EXPECT_TRUE(answers.AskedTexts()[0].contains("Missing.dll"));
}

// The model a finished Run Wizard... left in memory was dropped without a question by closing,
// Select... and New...; it is asked about until the user says, and Yes writes both files.
TEST_F(WizardBindingTest, AFinishedRunWizardIsAskedAboutOnClosing)
{
    // The file on disk differs from the wizard's model in any case: a write shows.
    const QString modelFile = Read("dmodels/nwind/struct.dbs") + "\r\n";
    Write("dmodels/nwind/struct.dbs", modelFile);
    Rework({FinishWizard});
    Form->SetModelName("Reworked");
    rtl::StringList model;
    Form->DBStructure->SaveToStrings(model);
    platform::ScriptedAnswers answers {platform::IDNO, platform::IDYES};
    New({[](QWidget& Window) {
        dynamic_cast<TdlgModelSettings&>(Window).btCancel->click();
        return true;
    }});
    EXPECT_EQ(Read("dmodels/nwind/struct.dbs"), modelFile);
    EXPECT_TRUE(Form->close());
    const QString question = "Current data model was modified. Save?";
    EXPECT_EQ(answers.AskedTexts(), QStringList({question, question}));
    EXPECT_EQ(Read("dmodels/nwind/struct.dbs"), model.Text());
    EXPECT_TRUE(Read("dmodels/nwind/dm_settings.ini").contains("ModelName=Reworked\r\n"));
}

// The model file that could not be read is kept from the empty model standing in for it, but not
// from the one the user then makes with the wizard.
TEST_F(WizardBindingTest, AModelMadeWithTheWizardGoesOverAnUnreadableModelFile)
{
    Write("dmodels/nwind/struct.dbs", "[Main]\r\nTableCount=x\r\n");
    platform::ScriptedAnswers answers {platform::IDOK};
    Form->LoadDataModel();
    ASSERT_EQ(answers.Asked().size(), 1u);
    Rework({FinishWizard});
    ASSERT_GT(Form->DBStructure->GetTableCount(), 0);
    Form->SaveModelSettings();
    EXPECT_TRUE(Read("dmodels/nwind/struct.dbs").contains("[Table:1]"));
}

TEST_F(WizardBindingTest, FinishingNewOpensTheNewModelFolder)
{
    // A new model that cannot be written was dropped for the model open before. It stays the open
    // model, unsaved, in the folder it could not be written to, with no queries; every save tries
    // that folder again, the model before is never written over, and closing with No goes back to
    // the model before at the next start.
    const QStringList nwind = {Read("dmodels/nwind/struct.dbs"), Read("dmodels/nwind/dm_settings.ini")};
    const auto expectKept = [this, &nwind](const QString& Name) {
        EXPECT_EQ(QueryDir, AppFolder() + "dmodels/" + Name);
        EXPECT_FALSE(QFileInfo::exists(QueryDir));
        EXPECT_EQ(Form->ModelName(), Name);
        EXPECT_EQ(Form->windowTitle(), "Lumidex - " + Name);
        EXPECT_GT(Form->DBStructure->GetTableCount(), 0);
        EXPECT_TRUE(Form->ModelUnsaved());
        EXPECT_EQ(Form->QBase->Count(), 0);
        EXPECT_FALSE(Form->pnlMain->isVisible());
        EXPECT_EQ(
            QStringList({Read("dmodels/nwind/struct.dbs"), Read("dmodels/nwind/dm_settings.ini")}), nwind);
    };
    const QString question = "Current data model was modified. Save?";
    {
        platform::ScriptedAnswers answers {platform::IDOK, platform::IDYES, platform::IDOK, platform::IDNO};
        New({AcceptSettings(QString(300, u'x')), FinishWizard});
        ASSERT_EQ(answers.AskedTexts().size(), 1);
        EXPECT_TRUE(answers.AskedTexts()[0].startsWith("Can not create the folder"));
        expectKept(QString(300, u'x'));
        EXPECT_FALSE(Form->close());
        expectKept(QString(300, u'x'));
        EXPECT_TRUE(Form->close());
        EXPECT_EQ(answers.AskedTexts().mid(1, 3), QStringList({question, answers.AskedTexts()[0], question}));
        EXPECT_EQ(platform::Registry(platform::NuvCommonKey).ReadString(QString(), "QueryDir", QString()),
            AppFolder() + "dmodels/nwind");
    }
    Open();
    // Nor does a new model whose files cannot be written: the folder made for it goes again.
    {
        platform::ScriptedAnswers answers {platform::IDOK, platform::IDOK};
        const FileSizeLimit limit(256);
        New({AcceptSettings("Parcels"), FinishWizard});
        ASSERT_EQ(answers.AskedTexts().size(), 1);
        EXPECT_TRUE(answers.AskedTexts()[0].startsWith("Cannot write file"))
            << answers.AskedTexts()[0].toStdString();
        expectKept("Parcels");
        Drive([this] { Form->EditSettings1Click(); }, {[](QWidget& Window) {
            dynamic_cast<TdlgModelSettings&>(Window).btOK->click();
            return true;
        }});
        EXPECT_EQ(answers.Asked().size(), 2u);
        expectKept("Parcels");
    }
    // Yes on Select... writes it into its own folder before the model chosen opens.
    {
        platform::ScriptedAnswers answers {platform::IDYES};
        WithDialog<TdlgSelectDataModel>(
            [](TdlgSelectDataModel& Dialog) {
                Dialog.lbModels->setCurrentRow(0);
                Dialog.lbModelsClick();
                Dialog.btnOk->click();
            },
            [this] { Form->SelectDataModel1->trigger(); });
        EXPECT_EQ(answers.AskedTexts(), QStringList {question});
    }
    EXPECT_EQ(Form->windowTitle(), "Lumidex - Trading company (sample)");
    EXPECT_FALSE(Form->ModelUnsaved());
    EXPECT_TRUE(Read("dmodels/Parcels/struct.dbs").contains("[Table:1]"));
    EXPECT_EQ(
        Read("dmodels/Parcels/dm_settings.ini"), "[Options]\r\nDllPath=Fendal.so\r\nModelName=Parcels\r\n");
    // The toolbar once stretched over the whole window behind the first query's properties.
    const QRect toolbar = Form->Toolbar->geometry();
    New({AcceptSettings("Data Model 1"), FinishWizard, [this, toolbar](QWidget& Window) {
             EXPECT_EQ(Form->Toolbar->geometry(), toolbar);
             dynamic_cast<QDialog&>(Window).reject();  // the first query's properties
             return true;
         }});
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/Data Model 1");
    EXPECT_EQ(Form->windowTitle(), "Lumidex - Data Model 1");
    EXPECT_FALSE(ModelLoading);
    EXPECT_EQ(Read("dmodels/Data Model 1/dm_settings.ini"),
        "[Options]\r\nDllPath=Fendal.so\r\nModelName=Data Model 1\r\n");
    EXPECT_TRUE(Read("dmodels/Data Model 1/struct.dbs")
                    .contains("[DBSpecInfo]\r\nDatabase=dmodels/nwind/nwind.sqlite"));
    EXPECT_GT(Form->DBStructure->GetTableCount(), 0);
    EXPECT_TRUE(Form->ZDBGate->IsConnected());
    EXPECT_EQ(Form->QBase->Count(), 0);
}

}  // namespace
