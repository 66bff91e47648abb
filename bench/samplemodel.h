#pragma once

// What the galleries over the sample model share: the model of build/app/dmodels/nwind opened as the
// program opens it, from the application folder and through the stand-in gate. The including
// program defines NUV_APP_DIR.

#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"

#include <QDir>

namespace screenshots {

struct TSampleModel {
    TZDBGate Gate;
    TZDBStructure Model;

    TSampleModel()
    {
        const QString appDir = QStringLiteral(NUV_APP_DIR);
        QDir::setCurrent(appDir);
        Gate.SetDLLPath(appDir + QStringLiteral("/DBGates/Fendal.dll"));
        Model.SetDatabaseInfo(&Gate);
        Load();
    }
    // Reads the model again, which hands the gate its connection details again.
    void Load() { Model.LoadFromFile(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs")); }
};

}  // namespace screenshots
