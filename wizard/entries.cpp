// The three entries of the wizard library. Nothing unwinds out of them: a failure inside runwizard
// answers 0, and the program treats the run as cancelled.

#include "wizard/wizardapi.h"

#include "core/dbinfo/fieldlist.h"
#include "core/model/dbstructure.h"
#include "wizard/callbackdbinfo.h"
#include "wizard/wizardwindow.h"

#include <memory>

namespace {

// Set by initwizard, used until donewizard.
struct TWizardState {
    TWizGetModelText GetModelText = nullptr;
    TWizSetModelText SetModelText = nullptr;
    TWizDisposeText DisposeText = nullptr;
    std::unique_ptr<TZCallbackDBInfo> DBInfo;
};

TWizardState& State()
{
    static TWizardState state;
    return state;
}

bool RunWizard()
{
    TWizardState& state = State();
    if (!state.DBInfo)
        return false;
    // The window goes before the model it shows.
    auto model = std::make_unique<TZCustomDBStructure>();
    TDMOptions options = model->DMOptions();
    options.SetMultiDB(true);
    model->SetDMOptions(options);
    model->SetDatabaseInfo(state.DBInfo.get());
    auto window = std::make_unique<tesmera::TMainForm>(model.get());

    {
        // The program's text goes back to it also when it cannot be read.
        const std::unique_ptr<char, TWizDisposeText> text(state.GetModelText(), state.DisposeText);
        model->LoadFromStrings(LinesFromText(text.get()));
    }

    if (window->exec() != QDialog::Accepted)
        return false;
    QStringList lines;
    model->SaveToStrings(lines);
    const std::unique_ptr<char, decltype(&DisposeText)> result(NewLinesText(lines), DisposeText);
    state.SetModelText(result.get());
    return true;
}

}  // namespace

extern "C" {

WIZARD_ENTRY uint8_t initwizard(TWizGetModelText GetModelText, TWizSetModelText SetModelText,
    TWizGetDatabaseNames GetDatabaseNames, TWizGetCurrentDBName GetCurrentDBName,
    TWizSetCurrentDBName SetCurrentDBName, TWizGetTableNames GetTableNames, TWizGetTableFields GetTableFields,
    TWizGetLinks GetLinks, TWizIsConnected IsConnected, TWizDisposeText DisposeText)
{
    try {
        TWizardState& state = State();
        state.GetModelText = GetModelText;
        state.SetModelText = SetModelText;
        state.DisposeText = DisposeText;
        state.DBInfo = std::make_unique<TZCallbackDBInfo>();
        state.DBInfo->SetCallbacks({GetDatabaseNames, GetCurrentDBName, SetCurrentDBName, GetTableNames,
            GetTableFields, GetLinks, IsConnected, DisposeText});
        return 1;
    } catch (...) {
        return 0;
    }
}

WIZARD_ENTRY uint8_t runwizard()
{
    try {
        return RunWizard() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

WIZARD_ENTRY uint8_t donewizard()
{
    State().DBInfo.reset();
    return 1;
}
}
