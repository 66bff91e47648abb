#pragma once

#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/querypanel.h"
#include "tests/support/currentdir.h"

#include <gtest/gtest.h>

namespace samplepanel {

inline const QString AppDir = QStringLiteral(NUV_APP_DIR);

// The sample model over the sample database through the stand-in gate, opened in the application
// folder as the program opens it, and a panel for the test to set up over it.
class SamplePanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FAppDir.Entered());
        Gate.SetDLLPath(AppDir + QStringLiteral("/DBGates/Fendal.dll"));
        Model.SetDatabaseInfo(&Gate);
        Model.LoadFromFile(AppDir + QStringLiteral("/dmodels/nwind/struct.dbs"));
    }

    TDSField* Field(const QString& DisplayName) const
    {
        TDSField* field = Model.FindField(flDisplayName, DisplayName);
        EXPECT_NE(field, nullptr) << DisplayName.toStdString();
        return field;
    }
    // The row count of SQL through the gate, as the program asks the database; -1 when it fails.
    int Count(const QString& SQL)
    {
        QStringList values;
        QStringList items;
        try {
            Gate.GetSQLValues("SELECT count(*), count(*) FROM (" + SQL + ")", values, items);
        } catch (const std::exception& e) {
            ADD_FAILURE() << SQL.toStdString() << "\n" << e.what();
            return -1;
        }
        return values.value(0, "-1").toInt();
    }

    CurrentDirScope FAppDir {AppDir};
    TZDBGate Gate;
    TZDBStructure Model;
    TZQueryPanel Panel;
};

}  // namespace samplepanel
