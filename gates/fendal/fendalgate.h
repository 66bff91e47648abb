#pragma once

#include "core/base/fieldtypes.h"
#include "core/dbinfo/fieldlist.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

// The field type and size for a column's declared type ("VARCHAR(40)", "MONEY", "DATE"), after
// SQLite's own reading of declared types: the first rule whose word the type contains decides.
TFieldType FieldTypeOfDeclared(const QString& Declared, int& Size);

// The rows of one query: column names and every value.
struct FendalRows {
    QStringList Columns;
    std::vector<QVariantList> Rows;
};

// The values of one column as texts, in row order; empty texts for a missing column.
QStringList ColumnValues(const FendalRows& Rows, int Index = 0);

// The stand-in gate's database work over Qt SQL. The connection details are lines of
// Name=Value: Database (a file path, relative to the application folder, the current directory)
// and Driver (the Qt driver, "QSQLITE" unless given). The database is opened read-only and never
// created. The catalogue questions use SQLite's pragma functions with bound names.
class FendalGate {
public:
    static inline const QString MainDatabase = QStringLiteral("main");

    FendalGate() = default;
    FendalGate(const FendalGate&) = delete;
    FendalGate& operator=(const FendalGate&) = delete;
    ~FendalGate();

    QStringList Details() const { return FDetails; }
    // Replaces the details; an open connection is closed, since it may reach another database,
    // whose main database becomes the current one.
    void SetDetails(const QStringList& Details);
    QString DatabasePath() const;
    void SetDatabasePath(const QString& Path);

    // Whether the database opened is asked through IsConnected, and why not through ConnectError.
    void Connect();
    // The reason the last Connect failed; empty after one that worked.
    QString ConnectError() const { return FConnectError; }
    void Disconnect();
    bool IsConnected() const;
    // Opens the database of Details on a connection of its own and closes it again; an empty
    // text when that worked, else the reason.
    static QString TestConnection(const QStringList& Details);

    QString CurrentDBName() const { return FCurrentDBName; }
    // An empty name stands for the main database.
    void SetCurrentDBName(const QString& Name);

    // The catalogue questions raise std::runtime_error when not connected or when SQL fails.
    QStringList DatabaseNames() const;
    QStringList Tables() const;
    void Fields(const QString& Table, TDBFieldList& List) const;
    QStringList Links() const;
    // Runs SQL with its date literals in the stored form.
    FendalRows Query(const QString& SQL) const;

private:
    QStringList FDetails;
    QString FCurrentDBName = MainDatabase;
    QString FConnectError;
};
