#pragma once

// The main window's two roads through the wizard library "Tesmera.dll": New... builds a new model
// folder from what the wizard hands back, Run Wizard... reworks the model in memory. The library
// is loaded for each use and reads the database through callbacks into the window's model and gate.

#include "rtl/exception.h"

#include <QString>

class TMainForm;

// The wizard library cannot be loaded or lacks one of its three entries.
class EWizardTestError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// The current model name := "Data Model " and the smallest number from 1 that no model under
// AppDir's "dmodels" is named (ignoring case).
void MakeNewModelName(TMainForm& Form);
// Creates the folder of the current model name under AppDir's "dmodels" (1, 2, ... appended while
// the name is taken) and makes it QueryDir. Raises rtl::EFileError when it cannot be created.
void CreateModelFolder(TMainForm& Form);

// New... of the Data Model menu: the settings dialog, then the wizard on an empty model; a
// finished wizard gives a new model folder that is opened with a first query, anything else puts
// back the previous model, its name and its gate.
void NewModelByWizard(TMainForm& Form);
// Run Wizard...: the wizard over the model in memory, which takes what a finished wizard hands
// back. Nothing is written.
void RunWizardOnModel(TMainForm& Form);
