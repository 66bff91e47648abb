// New... and Run Wizard... over the real Tesmera.so and the sample gate, and the naming of new
// model folders.

#include "app/mainwindow/wizardbinding.h"

#include "app/dialogs/modelsettings.h"
#include "app/dialogs/queryparams.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "tests/app/mainwindow/mainformtesting.h"

#include <QComboBox>
#include <QDialog>
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
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
        FTimer.start(5);
    }
    bool Done() const { return FSteps.empty(); }

private:
    void Poll()
    {
        QWidget* window = QApplication::activeModalWidget();
        if (FSteps.empty() || !window || window == FFinished)
            return;
        if (FSteps.front()(*window)) {
            FFinished = window;
            FSteps.pop_front();
        }
    }

    std::deque<Step> FSteps;
    QPointer<QWidget> FFinished;
    QTimer FTimer;
};

template <typename W>
W& Child(QWidget& Window, const char* Name)
{
    W* child = Window.findChild<W*>(Name);
    EXPECT_NE(child, nullptr) << Name;
    return *child;
}

// The settings dialog of New... with the sample gate chosen, closed with OK.
ModalScript::Step AcceptSettings(const QString& ModelName = QString())
{
    return [ModelName](QWidget& Window) {
        auto& dialog = dynamic_cast<TdlgModelSettings&>(Window);
        EXPECT_TRUE(dialog.cbGates->isEnabled());
        dialog.cbGates->setCurrentIndex(0);
        dialog.cbGatesChange();
        if (!ModelName.isEmpty())
            dialog.edtModelName->setText(ModelName);
        dialog.btOK->click();
        return true;
    };
}

bool CancelWizard(QWidget& Window)
{
    Child<QPushButton>(Window, "btnCancel").click();
    return true;
}

// Next on every page, every table chosen where Next waits for one.
bool FinishWizard(QWidget& Window)
{
    auto& next = Child<QPushButton>(Window, "btnNext");
    if (!next.isEnabled())
        Child<QPushButton>(Window, "sbSelectAll").click();
    next.click();
    return !Window.isVisible();
}

bool CancelQueryParams(QWidget& Window)
{
    dynamic_cast<TdlgQueryParams&>(Window).reject();
    return true;
}

// The window's model, name, gate and title at one moment.
struct Snapshot {
    QString Model;
    QString Name;
    QString Gate;
    QString Title;
    QString Folder;

    static Snapshot Of(const TMainForm& Form)
    {
        QStringList model;
        Form.DBStructure->SaveToStrings(model);
        // A model read back while the gate is connected gives its tables the gate's current
        // database; that is the same model.
        model.removeIf([](const QString& Line) { return Line.startsWith(u"DBName="); });
        return {model.join(u'\n'), Form.ModelName(), Form.ZDBGate->DLLPath(), Form.windowTitle(), QueryDir};
    }
    void ExpectSame(const TMainForm& Form) const
    {
        const Snapshot now = Of(Form);
        EXPECT_EQ(now.Model.toStdString(), Model.toStdString());
        EXPECT_EQ(now.Name, Name);
        EXPECT_EQ(now.Gate, Gate);
        EXPECT_EQ(now.Title, Title);
        EXPECT_EQ(now.Folder, Folder);
    }
};

class WizardBindingTest : public MainFormTest {
protected:
    void WithWizardLibrary() const
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(NUV_APP_DIR "/Tesmera.so"), Path("Tesmera.so")));
    }
    void AddModel(const QString& Folder, const QString& Name) const
    {
        ASSERT_TRUE(QDir().mkpath(Path("dmodels/" + Folder)));
        Write("dmodels/" + Folder + "/struct.dbs", "[Main]\r\nVersion=3.5\r\n");
        Write("dmodels/" + Folder + "/dm_settings.ini", "[Options]\r\nModelName=" + Name + "\r\n");
    }
    QStringList ModelFolders() const
    {
        return QDir(Path("dmodels")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    // Runs Road with the scripted windows; the road's failure is shown as the program shows it.
    static void Drive(const std::function<void()>& Road, std::initializer_list<ModalScript::Step> Steps)
    {
        const ModalScript script(Steps);
        platform::Guarded(Road);
        EXPECT_TRUE(script.Done());
    }
};

TEST_F(WizardBindingTest, NewModelNamesAndFolders)
{
    AddModel("first", "Data Model 1");
    AddModel("third", "data model 3");
    AddModel("sales", "Sales");
    Open();
    MakeNewModelName(*Form);
    EXPECT_EQ(Form->ModelName(), "Data Model 2");

    Form->SetModelName("sales");
    CreateModelFolder(*Form);
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/sales1");
    CreateModelFolder(*Form);
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/sales2");
    // A file of the name takes it as a folder would.
    Write("dmodels/sales3", "");
    CreateModelFolder(*Form);
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/sales4");
    EXPECT_TRUE(QFileInfo(QueryDir).isDir());

    Form->SetModelName(QString(300, u'x'));
    EXPECT_THROW(CreateModelFolder(*Form), rtl::EFileError);
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/sales4");
}

TEST_F(WizardBindingTest, CancellingTheSettingsOrTheWizardKeepsTheOpenModel)
{
    WithWizardLibrary();
    Open();
    const Snapshot before = Snapshot::Of(*Form);
    const QStringList folders = ModelFolders();
    Drive([this] { NewModelByWizard(*Form); }, {[](QWidget& Window) {
        auto& dialog = dynamic_cast<TdlgModelSettings&>(Window);
        EXPECT_EQ(dialog.edtModelName->text(), "Data Model 1");
        dialog.reject();
        return true;
    }});
    before.ExpectSame(*Form);

    Drive([this] { NewModelByWizard(*Form); }, {AcceptSettings("Other"), CancelWizard});
    before.ExpectSame(*Form);
    EXPECT_EQ(ModelFolders(), folders);
    EXPECT_TRUE(Form->QPanel->Active());
}

// The open model keeps its own name and gate, which a later save would write into its folder.
TEST_F(WizardBindingTest, WithoutTheLibraryBothCommandsReportIt)
{
    Open();
    const Snapshot before = Snapshot::Of(*Form);
    platform::ScriptedAnswers answers {platform::IDOK, platform::IDOK};
    Drive([this] { NewModelByWizard(*Form); }, {AcceptSettings("Other")});
    Drive([this] { RunWizardOnModel(*Form); }, {});
    EXPECT_EQ(answers.AskedTexts(), QStringList(2, "Can not load \"Tesmera.dll\""));
    before.ExpectSame(*Form);

    Write("Tesmera.so", "no library");
    platform::ScriptedAnswers again {platform::IDOK};
    Drive([this] { RunWizardOnModel(*Form); }, {});
    EXPECT_EQ(again.AskedTexts(), QStringList {"Can not load \"Tesmera.dll\""});
}

TEST_F(WizardBindingTest, RunWizardStartsFromTheOpenModelAndWritesNothing)
{
    WithWizardLibrary();
    Open();
    const Snapshot before = Snapshot::Of(*Form);
    const QString modelFile = Read("dmodels/nwind/struct.dbs");
    QStringList checked;
    Drive([this] { RunWizardOnModel(*Form); }, {[&checked](QWidget& Window) {
        auto& tables = Child<QListWidget>(Window, "");
        if (!tables.isVisible() || tables.count() == 0) {
            Child<QPushButton>(Window, "btnNext").click();
            return false;
        }
        for (int i = 0; i < tables.count(); ++i) {
            if (tables.item(i)->checkState() == Qt::Checked)
                checked.append(tables.item(i)->text());
        }
        return CancelWizard(Window);
    }});
    QStringList modelTables;
    for (const TDSTable* table : Form->DBStructure->Tables())
        modelTables.append(table->Name());
    checked.sort(Qt::CaseInsensitive);
    modelTables.sort(Qt::CaseInsensitive);
    EXPECT_EQ(checked, modelTables);
    before.ExpectSame(*Form);

    // Finishing takes the wizard's model over, connection details included; the folder is untouched.
    Drive([this] { RunWizardOnModel(*Form); }, {FinishWizard});
    EXPECT_EQ(Form->DBStructure->GetTableCount(), modelTables.size());
    QStringList details;
    Form->ZDBGate->SaveInfo(details);
    EXPECT_EQ(details, QStringList {"Database=dmodels/nwind/nwind.sqlite"});
    EXPECT_EQ(Read("dmodels/nwind/struct.dbs"), modelFile);
    EXPECT_EQ(QueryDir, before.Folder);
}

// A gate that fails answers every callback with nothing; its message is shown once, not once for
// each question the wizard asks.
TEST_F(WizardBindingTest, AFailingGateIsReportedOnceAndTheWizardGoesOn)
{
    WithWizardLibrary();
    Open();
    Form->ZDBGate->SetDLLPath(AppFolder() + "DBGates/Missing.dll");
    platform::ScriptedAnswers answers {platform::IDOK};
    int pages = 0;
    Drive([this] { RunWizardOnModel(*Form); }, {[&pages](QWidget& Window) {
        if (++pages < 4) {
            Child<QPushButton>(Window, "btnNext").click();
            return false;
        }
        return CancelWizard(Window);
    }});
    ASSERT_EQ(answers.AskedTexts().size(), 1);
    EXPECT_TRUE(answers.AskedTexts()[0].contains("Missing")) << answers.AskedTexts()[0].toStdString();
}

TEST_F(WizardBindingTest, FinishingNewCreatesAndOpensTheModelFolder)
{
    WithWizardLibrary();
    Open();
    Drive([this] { NewModelByWizard(*Form); }, {AcceptSettings(), FinishWizard, CancelQueryParams});
    EXPECT_EQ(QueryDir, AppFolder() + "dmodels/Data Model 1");
    EXPECT_EQ(Form->ModelName(), "Data Model 1");
    EXPECT_EQ(Form->windowTitle(), "Lumidex - Data Model 1");
    EXPECT_FALSE(ModelLoading);
    const QString settings = Read("dmodels/Data Model 1/dm_settings.ini");
    EXPECT_TRUE(settings.contains("DllPath=Fendal.so\r\n")) << settings.toStdString();
    EXPECT_TRUE(settings.contains("ModelName=Data Model 1\r\n")) << settings.toStdString();
    const QString model = Read("dmodels/Data Model 1/struct.dbs");
    EXPECT_TRUE(model.contains("Database=dmodels/nwind/nwind.sqlite")) << "the gate's connection details";
    EXPECT_GT(Form->DBStructure->GetTableCount(), 0);
    EXPECT_TRUE(Form->ZDBGate->IsConnected());
    EXPECT_EQ(Form->QBase->Count(), 0);
}

// Without a folder of its own the wizard's model would later be saved over the open model's.
TEST_F(WizardBindingTest, ANewModelWithoutAFolderGivesTheOpenModelBack)
{
    WithWizardLibrary();
    Open();
    const Snapshot before = Snapshot::Of(*Form);
    platform::ScriptedAnswers answers {platform::IDOK};
    Drive([this] { NewModelByWizard(*Form); }, {AcceptSettings(QString(300, u'x')), FinishWizard});
    ASSERT_EQ(answers.AskedTexts().size(), 1);
    EXPECT_TRUE(answers.AskedTexts()[0].startsWith("Can not create the folder"));
    before.ExpectSame(*Form);
}

}  // namespace
