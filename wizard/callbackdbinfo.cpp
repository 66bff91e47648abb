#include "wizard/callbackdbinfo.h"

EZCallbackDBInfoError::EZCallbackDBInfoError()
    : rtl::Exception(QStringLiteral("Callback Data Model functions are not initialized"))
{
}

TZCallbackDBInfo::TZCallbackDBInfo(QObject* Owner) : TZDBInfo(Owner)
{
}

void TZCallbackDBInfo::SetCallbacks(const TCallbacks& Callbacks)
{
    FCallbacks = Callbacks;
    FCallbacksSet = true;
}

void TZCallbackDBInfo::CheckCallbacks() const
{
    if (!FCallbacksSet)
        throw EZCallbackDBInfoError();
}

QStringList TZCallbackDBInfo::TakeText(char* Text) const
{
    if (!Text)
        return {};
    const QStringList lines = LinesFromText(Text);
    FCallbacks.DisposeText(Text);
    return lines;
}

QString TZCallbackDBInfo::GetCurrentDBName()
{
    CheckCallbacks();
    const char16_t* name = FCallbacks.GetCurrentDBName();
    const QString result = name ? QString::fromUtf16(name) : QString();
    // The program may have switched databases behind our back: a same-named table of another
    // database must not answer from the cache.
    NoteCurrentDBName(result);
    return result;
}

void TZCallbackDBInfo::SetCurrentDBName(const QString& Name)
{
    CheckCallbacks();
    FCallbacks.SetCurrentDBName(reinterpret_cast<const char16_t*>(Name.utf16()));
    NoteCurrentDBName(Name);
}

void TZCallbackDBInfo::GetTables(QStringList& Lines)
{
    CheckCallbacks();
    Lines = TakeText(FCallbacks.GetTableNames());
}

void TZCallbackDBInfo::GetLinks(QStringList& Lines)
{
    CheckCallbacks();
    Lines = TakeText(FCallbacks.GetLinks());
}

void TZCallbackDBInfo::GetDatabaseNames(QStringList& Lines)
{
    CheckCallbacks();
    Lines = TakeText(FCallbacks.GetDatabaseNames());
}

void TZCallbackDBInfo::GetFieldList(const QString& TableName, TDBFieldList& FieldList)
{
    CheckCallbacks();
    LoadFieldListFromStrings(FieldList, TakeText(FCallbacks.GetTableFields(TableName.toUtf8().constData())));
}

bool TZCallbackDBInfo::IsConnected()
{
    return FCallbacksSet && FCallbacks.IsConnected() != 0;
}
