#include "core/dbinfo/dbinfo.h"

TZDBInfo::TZDBInfo(QObject* Owner) : QObject(Owner)
{
}

TZDBInfo::~TZDBInfo() = default;

void TZDBInfo::ClearFieldCache()
{
    FCachedTableName.reset();
}

void TZDBInfo::DatabaseChanged()
{
}

QString TZDBInfo::GetCurrentDBName()
{
    return FCurrentDBName;
}

void TZDBInfo::SetCurrentDBName(const QString& Name)
{
    if (Name == FCurrentDBName)
        return;
    NoteCurrentDBName(Name);
    DatabaseChanged();
}

void TZDBInfo::GetTables(QStringList&)
{
}

void TZDBInfo::GetLinks(QStringList&)
{
}

void TZDBInfo::GetFieldList(const QString&, TDBFieldList&)
{
}

bool TZDBInfo::IsConnected()
{
    return true;
}

void TZDBInfo::LoadInfo(QStringList& Lines)
{
    Lines.clear();
}

void TZDBInfo::SaveInfo(QStringList&)
{
}

void TZDBInfo::GetDatabaseNames(QStringList&)
{
}

void TZDBInfo::GetSQLValues(const QString&, QStringList&, QStringList&)
{
}

void TZDBInfo::GetTableList(QStringList& Lines)
{
    GetTables(Lines);
}

TDBFieldList& TZDBInfo::GetFields(const QString& TableName)
{
    if (FCachedTableName != TableName) {
        // The name is set only after a complete answer: a failed fetch must not leave an empty
        // list that later requests for the same table would take for the table's fields.
        FCachedTableName.reset();
        FFieldCache.Clear();
        GetFieldList(TableName, FFieldCache);
        FCachedTableName = TableName;
    }
    return FFieldCache;
}

void TZDBInfo::GetFieldNames(const QString& TableName, QStringList& Lines)
{
    Lines.clear();
    const TDBFieldList& fields = GetFields(TableName);
    for (int i = 0; i < fields.Count(); ++i)
        Lines.append(fields.GetItem(i)->Name);
}

void TZDBInfo::GetLinkList(QStringList& Lines)
{
    GetLinks(Lines);
    if (OnLinksRequest)
        OnLinksRequest(this, Lines);
}

char* TZDBInfo::GetDatabaseNamesText()
{
    QStringList lines;
    GetDatabaseNames(lines);
    return NewLinesText(lines);
}

char* TZDBInfo::GetTablesText()
{
    QStringList lines;
    GetTableList(lines);
    return NewLinesText(lines);
}

char* TZDBInfo::GetLinksText()
{
    QStringList lines;
    GetLinkList(lines);
    return NewLinesText(lines);
}

char* TZDBInfo::GetFieldsText(const char* TableName)
{
    return GetFields(QString::fromUtf8(TableName)).GetAsText();
}

void TZDBInfo::NoteCurrentDBName(const QString& Name)
{
    if (Name == FCurrentDBName)
        return;
    FCurrentDBName = Name;
    ClearFieldCache();
}
