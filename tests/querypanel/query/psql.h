#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

// psql in the throw-away cluster that pg_virtualenv starts around a test program.
namespace psql {

inline bool HasCluster()
{
    return QProcessEnvironment::systemEnvironment().contains("PGHOST");
}

// Runs SQL (or the script file File) and answers the unaligned output; a failure is a test failure.
inline QString Run(const QString& SQL, bool& Ok, const QString& File = QString())
{
    QProcess process;
    QStringList arguments {"-X", "-A", "-t", "-q", "-v", "ON_ERROR_STOP=1"};
    arguments << (File.isEmpty() ? "-c" : "-f") << (File.isEmpty() ? SQL : File);
    process.start("psql", arguments);
    Ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (!Ok)
        ADD_FAILURE() << (File.isEmpty() ? SQL : File).toStdString() << "\n"
                      << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The row count of the statement SQL; -1 when it fails.
inline int Count(const QString& SQL)
{
    bool ok = false;
    const QString text = Run("SELECT COUNT(*) FROM (" + SQL + ") AS q", ok);
    return ok ? text.toInt() : -1;
}

}  // namespace psql
