#pragma once

#include "core/dbinfo/dbinfo.h"
#include "rtl/exception.h"
#include "wizard/wizardapi.h"

// A database question asked before the program's callbacks were handed over.
class EZCallbackDBInfoError : public rtl::Exception {
public:
    EZCallbackDBInfoError();
};

// The wizard library's database information: every question goes to one of the program's
// callbacks, so the wizard reads the live database through the program's own gate.
class TZCallbackDBInfo : public TZDBInfo {
    Q_OBJECT
public:
    struct TCallbacks {
        TWizGetDatabaseNames GetDatabaseNames = nullptr;
        TWizGetCurrentDBName GetCurrentDBName = nullptr;
        TWizSetCurrentDBName SetCurrentDBName = nullptr;
        TWizGetTableNames GetTableNames = nullptr;
        TWizGetTableFields GetTableFields = nullptr;
        TWizGetLinks GetLinks = nullptr;
        TWizIsConnected IsConnected = nullptr;
        TWizDisposeText DisposeText = nullptr;
    };

    explicit TZCallbackDBInfo(QObject* Owner = nullptr);

    void SetCallbacks(const TCallbacks& Callbacks);

    QString GetCurrentDBName() override;
    void SetCurrentDBName(const QString& Name) override;
    void GetTables(QStringList& Lines) override;
    void GetLinks(QStringList& Lines) override;
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override;
    // False, without an error, until the callbacks are set.
    bool IsConnected() override;
    // Connection details stay with the program's gate.
    void LoadInfo(QStringList&) override {}
    void SaveInfo(QStringList&) override {}
    void GetDatabaseNames(QStringList& Lines) override;

private:
    void CheckCallbacks() const;
    // The lines of a text the program answered, which goes back to it; null reads as no line.
    QStringList TakeText(char* Text) const;

    bool FCallbacksSet = false;
    TCallbacks FCallbacks;
};
