#pragma once

#include <QString>

// The questions and messages of the main window.
namespace ShellTexts {

inline const QString QueryModified = QStringLiteral("Current query was modified. Save?");
inline const QString ModelModified = QStringLiteral("Current data model was modified. Save?");
inline const QString DeleteQuery = QStringLiteral("Delete Query?");
inline const QString ClearConditions = QStringLiteral("All conditions will be deleted. Continue?");
inline const QString CustomEditor = QStringLiteral("Custom editor");
// %s: the path of the missing model text.
inline const QString NoModelFile = QStringLiteral("The data model file %s does not exist");
inline const QString QueryNotBuilt = QStringLiteral("The query has not been built yet.");
inline const QString QueryNotRun
    = QStringLiteral("The query was not run: no values were given for its parameters.");
inline const QString SQLFilter = QStringLiteral("SQL script files (*.sql *.txt)");

}  // namespace ShellTexts
