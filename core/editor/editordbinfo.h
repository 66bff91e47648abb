#pragma once

#include "core/dbinfo/dbinfo.h"

#include <QPointer>
#include <QStringList>

// The database information of the editor's model copy: every question goes to the caller's
// component, but the connection details a model text carries stay here, so reading a model into
// the copy never re-points the caller's live database. The copy's text hands them on.
class TEditorDBInfo : public TZDBInfo {
public:
    explicit TEditorDBInfo(TZDBInfo* Target, QObject* Owner = nullptr);

    TZDBInfo* Target() const { return FTarget; }

    QString GetCurrentDBName() override;
    void SetCurrentDBName(const QString& Name) override;
    void GetTables(QStringList& Lines) override;
    void GetLinks(QStringList& Lines) override;
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override;
    bool IsConnected() override;
    // Keeps the lines instead of handing them to the caller's component.
    void LoadInfo(QStringList& Lines) override;
    // The lines last read, or the caller's own while none were.
    void SaveInfo(QStringList& Lines) override;
    void GetDatabaseNames(QStringList& Lines) override;
    void GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items) override;

private:
    QPointer<TZDBInfo> FTarget;
    QStringList FInfo;
    bool FInfoRead = false;
};
