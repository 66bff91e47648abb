#pragma once

#include "querypanel/querylist/querybase.h"
#include "rtl/textfile.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Writes a query file whose [Main] names the query.
inline void WriteQuery(
    const QString& Dir, const QString& FileName, const QString& Name, const QString& Extra = {})
{
    rtl::WriteTextFile(QDir(Dir).filePath(FileName), "[Main]\nQueryName=" + Name + "\nVersion=3.5\n" + Extra);
}

// A folder of query files a.qry, b.qry, ... named Query A, Query B, ...
struct QueryFolder {
    QTemporaryDir Dir;

    explicit QueryFolder(int Count)
    {
        for (int i = 0; i < Count; ++i) {
            const QString letter(QChar('a' + i));
            WriteQuery(Dir.path(), letter + ".qry", "Query " + letter.toUpper());
        }
    }
    QString Path(const QString& FileName) const { return QDir(Dir.path()).filePath(FileName); }
};

template <typename F>
int QueryBaseErrorCode(F&& Action)
{
    try {
        Action();
    } catch (const EZQueryBaseError& e) {
        return e.ErrorCode();
    }
    return -1;
}
