#include "core/editor/editordbinfo.h"

TEditorDBInfo::TEditorDBInfo(TZDBInfo* Target, QObject* Owner) : TZDBInfo(Owner), FTarget(Target)
{
    if (FTarget)
        SetTableNameTemplate(FTarget->TableNameTemplate());
}

QString TEditorDBInfo::GetCurrentDBName()
{
    return FTarget ? FTarget->GetCurrentDBName() : QString();
}

void TEditorDBInfo::SetCurrentDBName(const QString& Name)
{
    if (FTarget)
        FTarget->SetCurrentDBName(Name);
    NoteCurrentDBName(Name);
}

void TEditorDBInfo::GetTables(QStringList& Lines)
{
    Lines.clear();
    if (FTarget)
        FTarget->GetTableList(Lines);
}

void TEditorDBInfo::GetLinks(QStringList& Lines)
{
    Lines.clear();
    if (FTarget)
        FTarget->GetLinkList(Lines);
}

void TEditorDBInfo::GetFieldList(const QString& TableName, TDBFieldList& FieldList)
{
    if (FTarget)
        FTarget->GetFieldList(TableName, FieldList);
}

bool TEditorDBInfo::IsConnected()
{
    return FTarget && FTarget->IsConnected();
}

void TEditorDBInfo::LoadInfo(QStringList& Lines)
{
    FInfo = Lines;
    FInfoRead = true;
    Lines.clear();
}

void TEditorDBInfo::SaveInfo(QStringList& Lines)
{
    if (FInfoRead)
        Lines = FInfo;
    else if (FTarget)
        FTarget->SaveInfo(Lines);
}

void TEditorDBInfo::GetDatabaseNames(QStringList& Lines)
{
    Lines.clear();
    if (FTarget)
        FTarget->GetDatabaseNames(Lines);
}

void TEditorDBInfo::GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items)
{
    if (FTarget)
        FTarget->GetSQLValues(SQL, Values, Items);
}
