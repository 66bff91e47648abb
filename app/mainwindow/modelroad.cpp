#include "app/dialogs/modelsettings.h"
#include "app/dialogs/selectmodel.h"
#include "app/dialogs/settingsstore.h"
#include "app/mainwindow/mainform.h"
#include "app/mainwindow/shelltexts.h"
#include "app/mainwindow/wizardbinding.h"
#include "core/base/zstrings.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "rtl/format.h"
#include "rtl/inifile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScopeGuard>

#include <algorithm>
#include <exception>

namespace {

const QString OptionsSection = QStringLiteral("Options");
const QString DefaultDllName = QStringLiteral("Fendal.dll");

QString FolderFile(const QString& Folder, const QString& Name)
{
    return JoinWithSeparator(Folder, Name, QStringLiteral("/"));
}

// Only the file name of a stored library name counts, so a model folder cannot make the program
// load a library from another folder.
QString FileNamePart(const QString& Path)
{
    return Path.mid(std::max(Path.lastIndexOf(u'/'), Path.lastIndexOf(u'\\')) + 1);
}

QString GatePathOf(const QString& StoredName)
{
    const QString name = FileNamePart(StoredName);
    return AppDir + QStringLiteral("DBGates/") + (name.isEmpty() ? DefaultDllName : name);
}

// The folder's own name, with or without a separator at the end of its path.
QString FolderName(const QString& Folder)
{
    const QString name = QFileInfo(QDir::cleanPath(Folder)).fileName();
    return name.isEmpty() ? Folder : name;
}

// Lines any INI writer or text editor makes: no control characters but tabs, line and page breaks
// and the end mark of old editors. Zero bytes a crash left, or bytes of no text, are none.
bool IsSettingsText(const rtl::StringList& Lines)
{
    for (const QString& line : Lines) {
        for (const QChar c : line) {
            const char16_t u = c.unicode();
            if (u < 0x20 && u != u'\t' && u != u'\v' && u != u'\f' && u != 0x1A)
                return false;
        }
    }
    return true;
}

// A settings file that cannot be read or holds no text is named; its values take their defaults.
rtl::IniFile ReadModelSettings(const QString& Path)
{
    rtl::IniFile settings(Path);
    if (!IsSettingsText(settings.Lines()))
        throw rtl::EFileError(rtl::Format(
            QStringLiteral("The model settings file \"%s\" holds no text; its settings are not used"),
            QDir::toNativeSeparators(Path)));
    return settings;
}

}  // namespace

// Each step that fails is reported and the road goes on, so the window always ends with a model
// (the folder's, or an empty one: never the previous model under the new folder's name), the
// folder's queries and the caption of this folder.
void TMainForm::LoadDataModel()
{
    FOpenedDir = QueryDir;
    QString dllName = DefaultDllName;
    // Also the name of a model listed without settings: the folder's path is no name (it holds a
    // separator, which the settings dialog refuses).
    QString modelName = FolderName(QueryDir);
    platform::Guarded([&] {
        const rtl::IniFile settings
            = ReadModelSettings(FolderFile(QueryDir, QStringLiteral("dm_settings.ini")));
        dllName = settings.ReadString(OptionsSection, QStringLiteral("DllPath"), dllName);
        modelName = settings.ReadString(OptionsSection, QStringLiteral("ModelName"), modelName);
    });
    // Another gate takes its rows with it.
    if (GatePathOf(dllName) != ZDBGate->DLLPath())
        FResultShown = false;
    ZDBGate->SetDLLPath(GatePathOf(dllName));
    FModelName = modelName;
    // Closing the list clears the SQL page and the rows (ClearQueryResult).
    QBase->Close();
    QPanel->Deactivate();
    // The panel's rows point into the model: it lets go of the model while the model is replaced.
    QPanel->SetDbStruct(nullptr);
    const QString modelFile = ModelFile();
    FUnreadModelFile.clear();
    FModelUnsaved = false;
    platform::Guarded([&] {
        // A link that leads nowhere is no missing file: it is read, named as unreadable, never written.
        if (!QFileInfo::exists(modelFile) && !QFileInfo(modelFile).isSymLink()) {
            DBStructure->Clear();
            throw rtl::Exception(rtl::Format(ShellTexts::NoModelFile, modelFile));
        }
        try {
            DBStructure->LoadFromFile(modelFile);
        } catch (...) {
            DBStructure->Clear();
            FUnreadModelFile = modelFile;
            throw;
        }
    });
    QPanel->SetDbStruct(DBStructure);
    OpenQueries();
    UpdateCaption();
    ZDBGate->Connect();
}

void TMainForm::OpenQueries()
{
    QBase->SetWorkDir(QueryDir);
    platform::Guarded([this] { QBase->Open(); });
    platform::Guarded([this] { QPanel->Activate(); });
}

QString TMainForm::ModelFile() const
{
    return FolderFile(QueryDir, QStringLiteral("struct.dbs"));
}

void TMainForm::MarkModelAsMade()
{
    FUnreadModelFile.clear();
}

void TMainForm::SaveModelFile()
{
    // The empty model that stands in for an unreadable file is nobody's work; the file may be.
    if (ModelFile() == FUnreadModelFile)
        return;
    try {
        DBStructure->SaveToFile(ModelFile());
    } catch (...) {
        FModelUnsaved = true;
        throw;
    }
}

// The model is saved once both files are written. A folder made for the save goes again when the
// save fails, with the model file written into it, unless something else has come into it
// meanwhile: a model that never got its files leaves nothing behind.
void TMainForm::SaveModelSettings()
{
    FModelUnsaved = true;
    const bool makeFolder = !QFileInfo::exists(QueryDir);
    if (makeFolder && !QDir().mkpath(QueryDir))
        throw rtl::EFileError(rtl::Format(QStringLiteral("Can not create the folder \"%s\""), QueryDir));
    try {
        SaveModelFile();
        rtl::IniFile settings(FolderFile(QueryDir, QStringLiteral("dm_settings.ini")));
        // Lines of no text hold no settings to keep.
        if (!IsSettingsText(settings.Lines()))
            settings.Lines().clear();
        settings.WriteString(OptionsSection, QStringLiteral("DllPath"), FileNamePart(ZDBGate->DLLPath()));
        settings.WriteString(OptionsSection, QStringLiteral("ModelName"), FModelName);
        settings.UpdateFile();
    } catch (...) {
        if (makeFolder) {
            QFile::remove(ModelFile());
            QDir().rmdir(QueryDir);
        }
        throw;
    }
    FModelUnsaved = false;
}

void TMainForm::CheckIsModelSaved()
{
    if (FModelUnsaved && ConfirmYesNo(ShellTexts::ModelModified) == platform::IDYES)
        SaveModelSettings();
}

bool TMainForm::ReplaceModelUnderPanel(const std::function<bool()>& Replace)
{
    const bool modified = QPanel->Modified();
    const bool active = QPanel->Active();
    rtl::StringList lines;
    QPanel->SaveToStrings(lines);
    QPanel->Deactivate();
    QPanel->SetDbStruct(nullptr);
    bool replaced = false;
    std::exception_ptr failure;
    try {
        replaced = Replace();
    } catch (...) {
        failure = std::current_exception();
    }
    QPanel->SetDbStruct(DBStructure);
    bool restored = true;
    try {
        QPanel->LoadFromStrings(lines);
    } catch (...) {
        // A query that no longer fits the model is dropped; its file keeps it.
        restored = false;
        QPanel->Clear();
    }
    QPanel->SetModified(restored && modified);
    if (!restored)
        ClearQueryResult();
    if (active)
        platform::Guarded([this] { QPanel->Activate(); });
    if (failure)
        std::rethrow_exception(failure);
    return replaced;
}

void TMainForm::EditStructure()
{
    const auto modelText = [this] {
        QStringList lines;
        DBStructure->SaveToStrings(lines);
        return lines;
    };
    const QStringList before = modelText();
    if (!ReplaceModelUnderPanel([this] { return DBStructure->Edit(); }))
        return;
    if (modelText() != before)
        MarkModelAsMade();
    if (const TDSTable* table = DBStructure->DefaultMainTable())
        QPanel->SetMainTableName(table->Name());
    UpdateControls();
    // Settings an earlier save could not write go with the model.
    if (FModelUnsaved)
        SaveModelSettings();
    else
        SaveModelFile();
}

void TMainForm::EditSettings1Click()
{
    TdlgModelSettings& dialog = *dlgModelSettings;
    dialog.SetGatePath(ZDBGate->DLLPath());
    dialog.SetModelName(FModelName);
    dialog.cbGates->setEnabled(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ZDBGate->SetDLLPath(GatePathOf(dialog.GatePath()));
    FModelName = dialog.ModelName();
    // The name is in force even when it cannot be written.
    UpdateCaption();
    SaveModelSettings();
}

void TMainForm::SelectDataModel1Click()
{
    TdlgSelectDataModel& dialog = *dlgSelectDataModel;
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedFolder().isEmpty())
        return;
    // Asked before anything changes: a failed save leaves the open model current.
    CheckIsQuerySaved();
    CheckIsModelSaved();
    QueryDir = AppDir + QStringLiteral("dmodels/") + dialog.SelectedFolder() + u'/';
    ModelLoading = true;
    const auto asked = qScopeGuard([] { ModelLoading = false; });
    LoadDataModel();
    UpdateControls();
}

void TMainForm::miNewClick()
{
    NewModelByWizard(*this);
}

void TMainForm::RunWizard1Click()
{
    RunWizardOnModel(*this);
}
