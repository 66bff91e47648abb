#pragma once

#include "core/dbinfo/fieldlist.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The questions the data model and its editors ask about the live database. The base answers
// nothing; descendants answer through a gate library (TZDBGate) or through the program's
// callbacks (the wizard library's TZCallbackDBInfo). A table's fields are cached per table.
class TZDBInfo : public QObject {
    Q_OBJECT
public:
    using TLinksRequestEvent = std::function<void(TZDBInfo* Sender, QStringList& ALinks)>;

    // Fired by GetLinkList after the links were fetched, so the host can add or change link lines.
    TLinksRequestEvent OnLinksRequest;

    explicit TZDBInfo(QObject* Owner = nullptr);
    ~TZDBInfo() override;

    // Makes the next GetFields ask again.
    virtual void ClearFieldCache();
    // Called by the base SetCurrentDBName after the name changed.
    virtual void DatabaseChanged();
    virtual QString GetCurrentDBName();
    // Stores a name that differs from the current one, then DatabaseChanged.
    virtual void SetCurrentDBName(const QString& Name);
    virtual void GetTables(QStringList& Lines);
    virtual void GetLinks(QStringList& Lines);
    virtual void GetFieldList(const QString& TableName, TDBFieldList& FieldList);
    virtual bool IsConnected();
    // Takes the database-specific lines stored with the model; the base consumes them.
    virtual void LoadInfo(QStringList& Lines);
    virtual void SaveInfo(QStringList& Lines);
    virtual void GetDatabaseNames(QStringList& Lines);
    // Values and Items are parallel: the SQL value of each row and the text shown for it.
    virtual void GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items);

    void GetTableList(QStringList& Lines);
    // The fields of TableName, asked for only when another table was asked for last. The list
    // belongs to this component and stays valid until the next call for another table.
    TDBFieldList& GetFields(const QString& TableName);
    // Lines := the field names of GetFields(TableName), in order.
    void GetFieldNames(const QString& TableName, QStringList& Lines);
    // GetLinks, then OnLinksRequest.
    void GetLinkList(QStringList& Lines);

    // New UTF-8 texts with CR LF after every line, for the plug-in boundary; free with DisposeText.
    char* GetDatabaseNamesText();
    char* GetTablesText();
    char* GetLinksText();
    // TableName is a null-terminated UTF-8 text; the answer is the field list text.
    char* GetFieldsText(const char* TableName);

    QString TableNameTemplate() const { return FTableNameTemplate; }
    void SetTableNameTemplate(const QString& Value) { FTableNameTemplate = Value; }

protected:
    // For descendants that keep the current database elsewhere: reports the name they passed on,
    // so the cached fields of a table never answer for a table of the same name in another
    // database.
    void NoteCurrentDBName(const QString& Name);

private:
    TDBFieldList FFieldCache;
    QString FCurrentDBName;
    // Unset while the cache answers for no table (also during and after a failed fetch).
    std::optional<QString> FCachedTableName;
    QString FTableNameTemplate = QStringLiteral("DB.OWNER.TABLE");
};
