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
// Makes the folder of the current model name under AppDir's "dmodels" (1, 2, ... appended while
// the name is taken) QueryDir and saves the model into it (SaveModelSettings, which creates it).
// When the folder or its files cannot be made it raises, QueryDir naming that folder all the same.
void CreateModelFolder(TMainForm& Form);

// New... of the Data Model menu: the settings dialog, then the wizard on an empty model; a
// finished wizard gives a new model folder that is opened with a first query, a cancelled one puts
// back the previous model, its name and its gate. A new model that cannot be written stays the
// open model, unsaved, with no queries, in the folder a later save makes.
void NewModelByWizard(TMainForm& Form);
// Run Wizard...: the wizard over the model in memory, which takes what a finished wizard hands
// back and is then unsaved. Nothing is written.
void RunWizardOnModel(TMainForm& Form);
