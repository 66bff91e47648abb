#include "app/mainwindow/wizardbinding.h"

#include "app/dialogs/modelsettings.h"
#include "app/dialogs/selectmodel.h"
#include "app/dialogs/settingsstore.h"
#include "app/mainwindow/mainform.h"
#include "core/dbinfo/fieldlist.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "platform/libraryloader.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "rtl/format.h"
#include "rtl/strutils.h"
#include "wizard/wizardapi.h"

#include <QComboBox>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace {

const QString WizardLibraryName = QStringLiteral("Tesmera.dll");

// The window that runs the wizard, whose model and gate the callbacks reach; set for one run.
TMainForm* WizardForm = nullptr;
// Callback 4's answer, which the wizard may read until the next call.
QString CurrentDBName;
// A gate that failed once fails on every question; its message is shown once per run.
QStringList ReportedFailures;

TMainForm& Form()
{
    if (!WizardForm)
        throw rtl::Exception(QStringLiteral("No wizard is running"));
    return *WizardForm;
}

void Report(const QString& Message)
{
    if (ReportedFailures.contains(Message))
        return;
    ReportedFailures.append(Message);
    platform::ShowException(rtl::Exception(Message));
}

// Nothing unwinds into the wizard library: a failure is reported and the callback answers null
// or 0.
template <typename F>
void Answer(F&& Body) noexcept
{
    try {
        Body();
    } catch (const rtl::Exception& e) {
        Report(e.Message());
    } catch (const std::exception& e) {
        Report(QString::fromUtf8(e.what()));
    } catch (...) {
        Report(QStringLiteral("Unknown error in a wizard callback"));
    }
}

char* WizGetModelText()
{
    char* text = nullptr;
    Answer([&] { text = Form().DBStructure->GetAsText(); });
    return text;
}

void WizSetModelText(const char* ModelText)
{
    Answer([&] {
        TMainForm& form = Form();
        // The wizard's model text carries no connection details (they stay with the gate), and
        // reading it would hand the gate an empty set.
        QStringList details;
        form.ZDBGate->SaveInfo(details);
        form.DBStructure->SetAsText(ModelText);
        form.ZDBGate->LoadInfo(details);
    });
}

char* WizGetDatabaseNames()
{
    char* text = nullptr;
    Answer([&] { text = Form().ZDBGate->GetDatabaseNamesText(); });
    return text;
}

const char16_t* WizGetCurrentDBName()
{
    const char16_t* name = nullptr;
    Answer([&] {
        CurrentDBName = Form().ZDBGate->GetCurrentDBName();
        name = reinterpret_cast<const char16_t*>(CurrentDBName.utf16());
    });
    return name;
}

void WizSetCurrentDBName(const char16_t* Name)
{
    Answer([&] { Form().ZDBGate->SetCurrentDBName(Name ? QString::fromUtf16(Name) : QString()); });
}

char* WizGetTableNames()
{
    char* text = nullptr;
    Answer([&] { text = Form().ZDBGate->GetTablesText(); });
    return text;
}

char* WizGetTableFields(const char* TableName)
{
    char* text = nullptr;
    Answer([&] { text = Form().ZDBGate->GetFieldsText(TableName ? TableName : ""); });
    return text;
}

char* WizGetLinks()
{
    char* text = nullptr;
    Answer([&] { text = Form().ZDBGate->GetLinksText(); });
    return text;
}

uint8_t WizIsConnected()
{
    uint8_t connected = 0;
    Answer([&] { connected = Form().ZDBGate->IsConnected() ? 1 : 0; });
    return connected;
}

void WizDisposeText(char* Text)
{
    DisposeText(Text);
}

// Tesmera.dll for one use: bound with all three entries or not at all, unloaded when it goes.
class TWizardLibrary {
public:
    TWizardLibrary()
    {
        const QString path = platform::ResolveLibraryPath(AppDir, WizardLibraryName);
        if (path.isEmpty() || !FLibrary.Load(path))
            throw EWizardTestError(rtl::Format(QStringLiteral("Can not load \"%s\""), WizardLibraryName));
        Bind(FInit, "initwizard");
        Bind(FDone, "donewizard");
        Bind(FRun, "runwizard");
    }

    // initwizard, runwizard and always donewizard, with the callbacks reaching Form; whether the
    // user finished the wizard.
    bool Run(TMainForm& Form)
    {
        WizardForm = &Form;
        ReportedFailures.clear();
        const auto endRun = qScopeGuard([] {
            WizardForm = nullptr;
            CurrentDBName.clear();
        });
        FInit(WizGetModelText, WizSetModelText, WizGetDatabaseNames, WizGetCurrentDBName, WizSetCurrentDBName,
            WizGetTableNames, WizGetTableFields, WizGetLinks, WizIsConnected, WizDisposeText);
        const bool finished = FRun() == 1;
        FDone();
        return finished;
    }

private:
    template <typename Fn>
    void Bind(Fn& Entry, const char* Name)
    {
        Entry = FLibrary.ResolveAs<Fn>(Name);
        if (!Entry)
            throw EWizardTestError(
                rtl::Format(QStringLiteral("Can not load \"%s\" function"), QString::fromLatin1(Name)));
    }

    platform::LoadedLibrary FLibrary;
    decltype(&::initwizard) FInit = nullptr;
    decltype(&::donewizard) FDone = nullptr;
    decltype(&::runwizard) FRun = nullptr;
};

// What New... puts back when the wizard gives no new model.
struct TPreviousModel {
    QString GatePath;
    QString ModelName;
    QStringList Lines;

    static TPreviousModel Of(const TMainForm& Form)
    {
        TPreviousModel model {Form.ZDBGate->DLLPath(), Form.ModelName(), {}};
        Form.DBStructure->SaveToStrings(model.Lines);
        return model;
    }

    void Restore(TMainForm& Form) const
    {
        Form.SetModelName(ModelName);
        Form.ZDBGate->SetDLLPath(GatePath);
        Form.DBStructure->LoadFromStrings(Lines);
    }
};

// Opens the new model's folder with a first query; no question about the previous query on the way.
void OpenNewModel(TMainForm& Form)
{
    ModelLoading = true;
    const auto loaded = qScopeGuard([] { ModelLoading = false; });
    Form.QBase->Close();
    Form.UpdateControls();
    Form.LoadDataModel();
    Form.UpdateControls();
    Form.NewQuery();
    Form.UpdateControls();
    Form.UpdateCaption();
}

// The wizard's model stays the open one, unsaved, with the folder it could not be written to as its
// place, where every save tries again. The queries of the model before are none of its own.
void KeepUnwrittenModel(TMainForm& Form)
{
    ModelLoading = true;
    const auto loaded = qScopeGuard([] { ModelLoading = false; });
    Form.MarkModelAsMade();
    Form.QBase->Close();
    Form.QPanel->Clear();
    Form.OpenQueries();
    Form.UpdateControls();
    Form.UpdateCaption();
}

}  // namespace

void TMainForm::SetModelName(const QString& Name)
{
    FModelName = Name;
}

void MakeNewModelName(TMainForm& Form)
{
    QStringList names;
    for (const TModelEntry& entry : FindDataModels(AppDir))
        names.append(entry.ModelName);
    const auto taken = [&names](const QString& Name) {
        return std::any_of(
            names.begin(), names.end(), [&Name](const QString& Other) { return rtl::SameText(Other, Name); });
    };
    int number = 1;
    while (taken(QStringLiteral("Data Model %1").arg(number)))
        ++number;
    Form.SetModelName(QStringLiteral("Data Model %1").arg(number));
}

void CreateModelFolder(TMainForm& Form)
{
    const QString models = AddBackslash(AppDir) + QStringLiteral("dmodels");
    QString folder = models + u'/' + Form.ModelName();
    // A file of that name takes the name as a folder would.
    for (int suffix = 1; QFileInfo::exists(folder); ++suffix)
        folder = models + u'/' + Form.ModelName() + QString::number(suffix);
    // The model's place also when the folder or its files cannot be made.
    QueryDir = folder;
    Form.SaveModelSettings();
}

void NewModelByWizard(TMainForm& Form)
{
    Form.CheckIsQuerySaved();
    Form.CheckIsModelSaved();
    const TPreviousModel previous = TPreviousModel::Of(Form);
    MakeNewModelName(Form);
    // Until the library is bound the open model keeps its own name: a later save writes the name
    // into the open model's folder.
    auto keepName = qScopeGuard([&] { Form.SetModelName(previous.ModelName); });
    TdlgModelSettings& dialog = *Form.dlgModelSettings;
    dialog.SetGatePath(AppDir + QStringLiteral("dbgates/") + DefaultGate);
    dialog.SetModelName(Form.ModelName());
    dialog.cbGates->setEnabled(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TWizardLibrary wizard;
    keepName.dismiss();
    Form.ZDBGate->SetDLLPath(dialog.GatePath());
    Form.SetModelName(dialog.ModelName());
    const bool finished = Form.ReplaceModelUnderPanel([&] {
        Form.DBStructure->Clear();
        if (wizard.Run(Form))
            return true;
        previous.Restore(Form);
        return false;
    });
    if (!finished)
        return;
    try {
        CreateModelFolder(Form);
    } catch (...) {
        KeepUnwrittenModel(Form);
        throw;
    }
    OpenNewModel(Form);
}

void RunWizardOnModel(TMainForm& Form)
{
    TWizardLibrary wizard;
    if (Form.ReplaceModelUnderPanel([&] { return wizard.Run(Form); })) {
        Form.MarkModelAsMade();
        // Written when the user says so: by Edit Model Structure..., Edit Model Settings..., or Yes
        // to the question that closing, Select... and New... ask.
        Form.SetModelUnsaved(true);
    }
    Form.UpdateControls();
}
