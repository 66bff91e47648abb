#include "core/model/dbstructure.h"

#include "core/base/zstrings.h"
#include "core/dbinfo/dbinfo.h"
#include "core/model/fieldeditors.h"
#include "rtl/formatsettings.h"
#include "rtl/strutils.h"

#include <QSet>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const char* const ErrorMessages[] = {
    "Invalid table index %d",
    "Invalid link index %d",
    "Invalid operator index %d",
    "No such table %s",
    "Can not find path between tables",
    "Operator not found: %s",
    "Can not assign field name to virtual field",
    "Can not assign expression to data field",
    "Can not find section %s",
    "Can not find field \"%s\" in table \"%s\"",
    "DatabaseInfo is not specified",
    "Link %s has field lists of unequal length",
    "No data model editor is available",
    "Error in section %s: %s",
    "The text holds no data model",
    "The value %s of parameter %s is neither a number nor an SQL string literal",
    "The data model is of version %s, newer than this program reads (%s)",
};
static_assert(std::size(ErrorMessages) == dseNewerVersion, "one message per error code");

TZCustomDBStructure::TDataModelEditor& RegisteredEditor()
{
    static TZCustomDBStructure::TDataModelEditor editor;
    return editor;
}

// Keys of the name indexes: lookups ignore ASCII letter case.
QString Folded(const QString& Text)
{
    return rtl::LowerCase(Text);
}

// The text of a table that FindTable compares for a kind; empty for an unknown kind.
QString TableText(const TDSTable* Table, int Kind)
{
    switch (Kind) {
    case tlName:
        return Table->Name();
    case tlAlias:
        return Table->Alias();
    case tlDisplayName:
        return Table->DisplayName();
    case tlCaption:
        return Table->GetCaption();
    case tlSQLName:
        return Table->GetSQLName();
    case tlOwnerName:
        return Table->GetOwnerName();
    default:
        return QString();
    }
}

// Column types whose values cannot be shown in a result.
bool IsBinaryType(TFieldType Type)
{
    return Type == ftVarBytes || Type == ftBlob || Type == ftTypedBinary;
}

}  // namespace

QString EZDBStructError::CodeMessage(TDBStructErrorCode Code)
{
    return QString::fromUtf8(ErrorMessages[Code - 1]);
}

TSQLFormats::TSQLFormats()
    : FDate(rtl::formatSettings().ShortDateFormat), FTime(rtl::formatSettings().ShortTimeFormat),
      FDateTime(FDate + u' ' + FTime)
{
}

TZCustomDBStructure::TZCustomDBStructure(QObject* Owner)
    : QObject(Owner), FFields(this), FConditions(this), FPath(this), FRootGroup(this)
{
    InitPlaceholders();
    ResetDefOperators();
    AddDefaultOperators(false);
    FPlaceholderField->ResetOperators();
}

TZCustomDBStructure::~TZCustomDBStructure()
{
    FDestroying = true;
    FConditions.OnChange = nullptr;
    FConditions.OnEmpty = nullptr;
    FFieldGroups.OnChange = nullptr;
    FFieldGroups.OnEmpty = nullptr;
    FreeContent();
}

void TZCustomDBStructure::FreeContent()
{
    FConditions.Clear();
    FFieldGroups.Clear();
    while (FRootGroup.Count() > 0)
        FRootGroup.Delete(FRootGroup.Count() - 1);
    FPath.FTables.clear();
    while (!FLinks.isEmpty())
        delete FLinks.last();
    // All fields go: their indexes are emptied at once instead of entry by entry.
    const QList<TDSField*> fields(FFields.begin(), FFields.end());
    while (FFields.Count() > 0)
        FFields.Delete(FFields.Count() - 1);
    FFieldsByID.Clear();
    FFieldsByExpr.Clear();
    FFieldsByDisplayName.Clear();
    qDeleteAll(fields);
    while (!FTables.isEmpty())
        delete FTables.last();
    FPlaceholderField->FOperators.clear();
    qDeleteAll(FOperators);
    FOperators.clear();
}

namespace {

// Members keep their order; Source is left empty.
void MoveGroupMembers(TDSFieldGroup& Source, TDSFieldGroup& Dest)
{
    const QList<TDSField*> members(Source.begin(), Source.end());
    while (Source.Count() > 0)
        Source.Delete(Source.Count() - 1);
    for (TDSField* field : members)
        Dest.Add(field);
}

}  // namespace

void TZCustomDBStructure::TakeContent(TZCustomDBStructure& Source)
{
    FreeContent();
    FOperators = std::exchange(Source.FOperators, {});
    Source.FPlaceholderField->FOperators.clear();
    // The items keep the ranks Source gave them, so its indexes serve here as they are.
    FLastSeq = std::max(FLastSeq, Source.FLastSeq);
    FTablesByName = std::move(Source.FTablesByName);
    FTablesByAlias = std::move(Source.FTablesByAlias);
    FTablesByDisplayName = std::move(Source.FTablesByDisplayName);
    FFieldsByID = std::move(Source.FFieldsByID);
    FFieldsByExpr = std::move(Source.FFieldsByExpr);
    FFieldsByDisplayName = std::move(Source.FFieldsByDisplayName);
    for (TDSTable* table : std::exchange(Source.FTables, {})) {
        table->MoveTo(this);
        FTables.append(table);
    }
    FLinks = std::exchange(Source.FLinks, {});
    const QList<TDSField*> fields(Source.FFields.begin(), Source.FFields.end());
    while (Source.FFields.Count() > 0)
        Source.FFields.Delete(Source.FFields.Count() - 1);
    for (TDSField* field : fields) {
        field->MoveTo(this);
        FFields.Add(field);
    }
    // Groups and conditions change hands whole; the members of the root group, which each model has
    // of its own, move over in their order.
    while (Source.FFieldGroups.Count() > 0) {
        TDSFieldGroup* group = Source.FFieldGroups.Extract(Source.FFieldGroups.First());
        group->MoveTo(this);
        FFieldGroups.Add(group);
    }
    MoveGroupMembers(Source.FRootGroup, FRootGroup);
    while (Source.FConditions.Count() > 0) {
        TDSCondition* condition = Source.FConditions.Extract(Source.FConditions.First());
        condition->MoveTo(this);
        FConditions.Add(condition);
    }
    FDefaultMainTable = std::exchange(Source.FDefaultMainTable, nullptr);
    FVersion = Source.FVersion;
    FRootFieldsFirst = Source.FRootFieldsFirst;
}

void TZCustomDBStructure::InitPlaceholders()
{
    const QString unrecognizedField = QStringLiteral("Unrecognized field");
    FPlaceholderField = std::make_unique<TDSField>(this);
    FPlaceholderField->SetFieldType(ftString);
    FPlaceholderField->SetFieldName(unrecognizedField);
    FPlaceholderField->SetDisplayName(unrecognizedField);
    FPlaceholderOperator = std::make_unique<TDSOperator>();
    FPlaceholderOperator->SetName(QStringLiteral("Unrecognized operator"));
    FPlaceholderOperator->SetDisplayName(QStringLiteral("Unrecognized operator"));
    FPlaceholderCondition = std::make_unique<TDSCondition>(this);
    FPlaceholderCondition->SetDisplayFormat(QStringLiteral("Unrecognized condition"));
}

void TZCustomDBStructure::SetDataModelEditor(TDataModelEditor Editor)
{
    RegisteredEditor() = std::move(Editor);
}

void TZCustomDBStructure::SetDatabaseInfo(TZDBInfo* Value)
{
    if (Value == FDatabaseInfo)
        return;
    FDatabaseInfo = Value;
    PassDBSpecInfo();
    UpdateFullTableName();
}

void TZCustomDBStructure::PassDBSpecInfo()
{
    if (!FDatabaseInfo)
        return;
    FDatabaseInfo->LoadInfo(FDBSpecInfo);
    FDBSpecInfo.clear();
}

void TZCustomDBStructure::UpdateFullTableName()
{
    if (FDatabaseInfo && FSQLFormats.FullTableName().isEmpty())
        FSQLFormats.SetFullTableName(FDatabaseInfo->TableNameTemplate());
}

void TZCustomDBStructure::CheckDatabaseInfo() const
{
    if (!FDatabaseInfo)
        throw EZDBStructError::Create(dseNoDatabaseInfo);
}

void TZCustomDBStructure::IndexTable(TDSTable* Table)
{
    FTablesByName.Insert(Folded(Table->Name()), Table->FSeq, Table);
    FTablesByAlias.Insert(Folded(Table->Alias()), Table->FSeq, Table);
    FTablesByDisplayName.Insert(Folded(Table->DisplayName()), Table->FSeq, Table);
}

void TZCustomDBStructure::UnindexTable(TDSTable* Table)
{
    FTablesByName.Remove(Folded(Table->Name()), Table);
    FTablesByAlias.Remove(Folded(Table->Alias()), Table);
    FTablesByDisplayName.Remove(Folded(Table->DisplayName()), Table);
}

void TZCustomDBStructure::IndexField(TDSField* Field)
{
    FFieldsByID.Insert(Field->ID(), Field->FSeq, Field);
    FFieldsByExpr.Insert(Folded(Field->FieldExpr()), Field->FSeq, Field);
    FFieldsByDisplayName.Insert(Folded(Field->DisplayName()), Field->FSeq, Field);
}

void TZCustomDBStructure::UnindexField(TDSField* Field)
{
    FFieldsByID.Remove(Field->ID(), Field);
    FFieldsByExpr.Remove(Folded(Field->FieldExpr()), Field);
    FFieldsByDisplayName.Remove(Folded(Field->DisplayName()), Field);
}

int TZCustomDBStructure::AddTable(const QString& Name, const QString& DisplayName)
{
    auto* table = new TDSTable(this);
    table->SetName(Name);
    table->SetDisplayName(DisplayName);
    table->FSeq = NextSeq();
    FTables.append(table);
    IndexTable(table);
    Changed();
    return int(FTables.size()) - 1;
}

void TZCustomDBStructure::DeleteTable(int Index)
{
    delete FTables.GetItem(Index);
    // Once, on a model from which the table and everything that used it are gone.
    Changed();
}

void TZCustomDBStructure::TableDestroying(TDSTable* Table)
{
    while (!Table->FLinks.isEmpty())
        delete Table->FLinks.first();
    if (Table->FSeq != 0) {
        UnindexTable(Table);
        Table->FSeq = 0;
        FTables.removeOne(Table);
    }
    for (int i = 0; i < FFields.Count();) {
        if (FFields[i]->Tables().contains(Table))
            FreeField(i);
        else
            ++i;
    }
    for (TDSCondition* condition : FConditions)
        condition->Tables().removeAll(Table);
    FPath.FTables.removeAll(Table);
    if (FDefaultMainTable == Table)
        FDefaultMainTable = nullptr;
}

TDSTable* TZCustomDBStructure::FindTable(int Kind, const QString& Text) const
{
    switch (Kind) {
    case tlName:
        return FTablesByName.First(Folded(Text));
    case tlAlias:
        return FTablesByAlias.First(Folded(Text));
    case tlDisplayName:
        return FTablesByDisplayName.First(Folded(Text));
    case tlCaption:
    case tlSQLName:
    case tlOwnerName:
        for (TDSTable* table : FTables) {
            if (rtl::SameText(TableText(table, Kind), Text))
                return table;
        }
        return nullptr;
    default:
        return nullptr;
    }
}

void TZCustomDBStructure::GetTableNames(int Kind, QStringList& Strings, QList<TDSTable*>* Objects) const
{
    Strings.clear();
    if (Objects)
        Objects->clear();
    if (Kind < 0 || Kind > 4)
        return;
    QSet<QString> names;
    for (TDSTable* table : FTables) {
        const QString text = TableText(table, Kind);
        if (Kind == 0) {
            if (names.contains(Folded(text)))
                continue;
            names.insert(Folded(text));
        }
        Strings.append(text);
        if (Objects)
            Objects->append(table);
    }
}

int TZCustomDBStructure::NextFieldID() const
{
    return FFieldsByID.IsEmpty() ? 1 : FFieldsByID.LastKey() + 1;
}

int TZCustomDBStructure::AddField(
    TZFieldKind Kind, const QString& FieldExpr, TDSTable* Table, const QString& DisplayName)
{
    if (Kind == zfkData)
        CheckDatabaseInfo();
    auto field = std::make_unique<TDSField>(this);
    field->FID = NextFieldID();
    field->FKind = Kind;
    field->FFieldExpr = FieldExpr;
    field->FDisplayName = DisplayName;
    if (Kind == zfkData && Table) {
        field->FTables.append(Table);
        if (FDatabaseInfo->IsConnected()) {
            // Asked before the field joins the model, so a missing column leaves the model unchanged.
            const TDBFieldInfo* column = FDatabaseInfo->GetFields(Table->Name()).FindField(FieldExpr);
            if (!column)
                throw EZDBStructError::Create(dseNoFieldInTable, FieldExpr, Table->Name());
            field->FFieldType = column->FieldType;
            field->FFieldSize = column->Size;
        } else {
            field->FFieldType = ftString;
            field->FFieldSize = 30;
        }
        if (IsBinaryType(field->FFieldType))
            field->FUIR = false;
        if (FieldExpr.contains(u' '))
            field->FQuoted = true;
    } else if (Kind == zfkVirtual) {
        field->FFieldType = ftString;
        field->FFieldSize = 100;
        ParseExprTables(this, FieldExpr, field->FTables, &field->FReferences);
    }
    TDSField* added = field.release();
    const int index = AppendField(added);
    FRootGroup.Add(added);
    Changed();
    return index;
}

int TZCustomDBStructure::AppendField(TDSField* Field)
{
    Field->FSeq = NextSeq();
    const int index = FFields.Add(Field);
    IndexField(Field);
    return index;
}

void TZCustomDBStructure::FreeField(int Index)
{
    TDSField* field = FFields.GetItem(Index);
    UnindexField(field);
    field->FSeq = 0;
    FFields.Delete(Index);
    delete field;
}

void TZCustomDBStructure::DeleteField(int Index)
{
    FreeField(Index);
    Changed();
}

void TZCustomDBStructure::DeleteFieldGroup(TDSFieldGroup* Group)
{
    while (Group->Count() > 0) {
        TDSField* field = Group->GetItem(0);
        RemoveFieldFromGroup(Group, 0);
        DeleteField(FFields.IndexOf(field));
    }
    FFieldGroups.DeleteAndFree(FFieldGroups.IndexOf(Group));
}

TDSField* TZCustomDBStructure::FieldByID(int ID) const
{
    return FFieldsByID.First(ID);
}

TDSField* TZCustomDBStructure::FindField(int Kind, const QString& Text) const
{
    switch (Kind) {
    case flFieldExpr:
        return FFieldsByExpr.First(Folded(Text));
    case flDisplayName:
        return FFieldsByDisplayName.First(Folded(Text));
    case flFullName:
        for (TDSField* field : FFields) {
            if (rtl::SameText(field->GetFullName(), Text))
                return field;
        }
        return nullptr;
    case flSQLExpr: {
        const QString wanted = rtl::LowerCase(Text);
        for (TDSField* field : FFields) {
            if (SameTextIgnoreSpaces(rtl::LowerCase(field->GetSQLExpr()), wanted))
                return field;
        }
        return nullptr;
    }
    default:
        return nullptr;
    }
}

int TZCustomDBStructure::AddLink(TDSLink* Link)
{
    FLinks.append(Link);
    Link->Table1()->AddLink(Link);
    Link->Table2()->AddLink(Link);
    if (Link->Operators().isEmpty())
        Link->ResetOperators();
    Changed();
    return int(FLinks.size()) - 1;
}

TDSLink* TZCustomDBStructure::FindLinkBetween(const QString& Name1, const QString& Name2) const
{
    for (TDSLink* link : FLinks) {
        const QString& first = link->Table1()->Name();
        const QString& second = link->Table2()->Name();
        if ((first == Name1 && second == Name2) || (first == Name2 && second == Name1))
            return link;
    }
    return nullptr;
}

TDSLink* TZCustomDBStructure::GetLink(int Index) const
{
    if (Index < 0 || Index >= FLinks.size())
        throw EZDBStructError::Create(dseInvalidLinkIndex, Index);
    return FLinks[Index];
}

void TZCustomDBStructure::DeleteLink(int Index)
{
    delete GetLink(Index);
    Changed();
}

TDSCondition* TZCustomDBStructure::ConditionByID(int ID) const
{
    const int index = FConditions.IndexOfID(ID);
    return index < 0 ? nullptr : FConditions.GetItem(index);
}

void TZCustomDBStructure::GetConditionNames(QStringList& Strings) const
{
    Strings.clear();
    for (const TDSCondition* condition : FConditions)
        Strings.append(condition->GetCaption());
}

void TZCustomDBStructure::Clear()
{
    while (!FLinks.isEmpty())
        DeleteLink(0);
    while (FFields.Count() > 0)
        DeleteField(0);
    while (!FTables.isEmpty())
        DeleteTable(0);
    FFieldGroups.Clear();
    FConditions.Clear();
    while (!FOperators.isEmpty())
        DeleteOperator(0);
    FPlaceholderField->FOperators.clear();
    AddDefaultOperators(false);
    FPlaceholderField->ResetOperators();
}

void TZCustomDBStructure::Changed()
{
    if (!FUpdateLock && !FDestroying && OnChange)
        OnChange(this);
}

bool TZCustomDBStructure::Edit()
{
    const TDataModelEditor& editor = RegisteredEditor();
    if (!editor)
        throw EZDBStructError::Create(dseNoEditor);
    return editor(this);
}
