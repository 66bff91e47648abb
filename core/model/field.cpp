#include "core/model/field.h"

#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "rtl/exception.h"
#include "rtl/strutils.h"

#include <algorithm>

TDSField::TDSField(TZCustomDBStructure* Structure) : FStructure(Structure)
{
}

TDSField::~TDSField()
{
    LeaveGroup();
}

void TDSField::LeaveGroup()
{
    const int index = FGroup ? FGroup->IndexOf(this) : -1;
    if (index >= 0)
        FGroup->Delete(index);
    FGroup = nullptr;
}

template <typename F>
void TDSField::ChangeKey(F&& Change)
{
    const bool indexed = FSeq != 0;
    if (indexed)
        FStructure->UnindexField(this);
    Change();
    if (indexed)
        FStructure->IndexField(this);
}

void TDSField::SetID(int Value)
{
    ChangeKey([&] { FID = Value; });
}

void TDSField::SetFieldName(const QString& Text)
{
    if (FKind == zfkVirtual)
        throw EZDBStructError::Create(dseFieldNameOfVirtual);
    ChangeKey([&] { FFieldExpr = Text; });
}

void TDSField::SetExpression(const QString& Text)
{
    if (FKind != zfkVirtual)
        throw EZDBStructError::Create(dseExpressionOfData);
    // Scanned into empty lists: tables of the old expression would add joins or get the field deleted.
    TDSTableList tables;
    QStringList references;
    ParseExprTables(FStructure, Text, tables, &references);
    ChangeKey([&] { FFieldExpr = Text; });
    FTables = tables;
    FReferences = references;
}

void TDSField::SetDisplayName(const QString& Value)
{
    ChangeKey([&] { FDisplayName = Value; });
}

void TDSField::SetUseInConditions(bool Flag)
{
    if (Flag == FUIC)
        return;
    FUIC = Flag;
    if (FUIC && FOperators.isEmpty())
        ResetOperators();
}

void TDSField::MoveTo(TZCustomDBStructure* Structure)
{
    FStructure = Structure;
    if (FEditor)
        FEditor->MoveTo(Structure);
}

void TDSField::SetEditType(uint8_t Kind)
{
    if (Kind == FEditType)
        return;
    FEditor.reset();
    switch (Kind) {
    case etText:
        FEditor = std::make_unique<TDSTextEditor>();
        break;
    case etList:
        FEditor = std::make_unique<TDSListEditor>();
        break;
    case etCustom:
        FEditor = std::make_unique<TDSCustomEditor>();
        break;
    case etSQL:
        FEditor = std::make_unique<TDSSQLEditor>(FStructure);
        break;
    default:
        break;
    }
    FEditType = Kind;
}

void TDSField::SetGroup(TDSFieldGroup* Group)
{
    LeaveGroup();
    Group->Add(this);
}

QString TDSField::GetGroupName() const
{
    return FGroup ? FGroup->GroupName() : QString();
}

QString TDSField::GetFullCaption() const
{
    const QString group = GetGroupName();
    return group.isEmpty() ? FDisplayName : group + u'.' + FDisplayName;
}

void TDSField::ResetOperators()
{
    FOperators.clear();
    for (TDSOperator* op : FStructure->Operators()) {
        if (op->AppliedTypes().Contains(FFieldType))
            FOperators.append(op);
    }
}

int TDSField::AddOperator(TDSOperator* Operator)
{
    int index = IndexOfOperator(Operator);
    if (index < 0) {
        FOperators.append(Operator);
        index = int(FOperators.size()) - 1;
    }
    return index;
}

int TDSField::AddOperatorByName(const QString& Name)
{
    TDSOperator* op = FStructure->OperatorByName(Name);
    if (!op)
        throw EZDBStructError::Create(dseOperatorNotFound, Name);
    return AddOperator(op);
}

void TDSField::DeleteOperator(int Index)
{
    GetOperator(Index);
    FOperators.removeAt(Index);
}

void TDSField::RemoveOperator(TDSOperator* Operator)
{
    FOperators.removeOne(Operator);
}

void TDSField::MoveOperator(int From, int To)
{
    GetOperator(From);
    GetOperator(To);
    FOperators.move(From, To);
}

int TDSField::IndexOfOperator(const TDSOperator* Operator) const
{
    return int(FOperators.indexOf(const_cast<TDSOperator*>(Operator)));
}

TDSOperator* TDSField::GetOperator(int Index) const
{
    if (Index < 0 || Index >= FOperators.size())
        throw rtl::EListError::IndexError(Index);
    return FOperators[Index];
}

QString TDSField::GetFullName() const
{
    // A data field may have no table (one added without a table); it is then named by itself.
    if (FKind == zfkVirtual || FTables.isEmpty())
        return FFieldExpr;
    return FTables.first()->Name() + u'.' + FFieldExpr;
}

QString TDSField::GetQuotedName() const
{
    if (!FQuoted)
        return FFieldExpr;
    const TSQLFormats& formats = FStructure->SQLFormats();
    return QuoteIdentifier(FFieldExpr, formats.QuoteSymbol1(), formats.QuoteSymbol2());
}

QString TDSField::GetSQLExpr() const
{
    if (FKind == zfkVirtual)
        return FFieldExpr;
    if (!FTables.isEmpty() && !FTables.first()->Alias().isEmpty())
        return FTables.first()->GetSQLAlias() + u'.' + GetQuotedName();
    return GetQuotedName();
}

QString TDSField::QuoteValue(const QString& Text) const
{
    return FStructure->QuotedTypes().Contains(FFieldType) ? SQLStringLiteral(Text) : Text;
}

bool IsAggregateExpr(const QString& Expr)
{
    static const QLatin1String functions[] = {QLatin1String("sum"), QLatin1String("count"),
        QLatin1String("max"), QLatin1String("min"), QLatin1String("avg"), QLatin1String("list")};
    // Asked for every condition row of every build: one look at each "(" and no copy of the text.
    const auto endsWithName = [&Expr](qsizetype End, QLatin1String Name) {
        if (End < Name.size())
            return false;
        for (qsizetype k = 0; k < Name.size(); ++k) {
            const char16_t ch = Expr[End - Name.size() + k].unicode();
            if ((ch < 128 ? char16_t(ch | 0x20) : ch) != char16_t(Name[k].unicode()))
                return false;
        }
        return true;
    };
    for (qsizetype p = Expr.indexOf(u'('); p >= 0; p = Expr.indexOf(u'(', p + 1))
        for (QLatin1String name : functions)
            if (endsWithName(p, name))
                return true;
    return false;
}

bool TDSField::IsAggregate() const
{
    // Every field chooser asks every field: a data field's expression is looked at in its two parts,
    // which no function name can span (a "." stands between them), instead of being built.
    if (FKind == zfkVirtual || FTables.isEmpty() || FTables.first()->Alias().isEmpty())
        return IsAggregateExpr(GetSQLExpr());
    return IsAggregateExpr(FTables.first()->GetSQLAlias()) || IsAggregateExpr(GetQuotedName());
}

TDSField* TDSFieldList::GetItem(int Index) const
{
    if (Index < 0 || Index >= FItems.size())
        throw rtl::EListError::IndexError(Index);
    return FItems[Index];
}

int TDSFieldList::Add(TDSField* Field)
{
    FItems.append(Field);
    return Count() - 1;
}

void TDSFieldList::Insert(int Index, TDSField* Field)
{
    if (Index < 0 || Index > Count())
        throw rtl::EListError::IndexError(Index);
    FItems.insert(Index, Field);
}

void TDSFieldList::Delete(int Index)
{
    GetItem(Index);
    FItems.removeAt(Index);
}

TDSFieldGroup::~TDSFieldGroup()
{
    for (TDSField* field : *this)
        field->FGroup = nullptr;
}

int TDSFieldGroup::Add(TDSField* Field)
{
    const int index = TDSFieldList::Add(Field);
    Field->FGroup = this;
    return index;
}

void TDSFieldGroup::Insert(int Index, TDSField* Field)
{
    TDSFieldList::Insert(Index, Field);
    Field->FGroup = this;
}

void TDSFieldGroup::Delete(int Index)
{
    GetItem(Index)->FGroup = nullptr;
    TDSFieldList::Delete(Index);
}

void InsertFieldInGroup(TDSFieldGroup* Group, int Index, TDSField* Field)
{
    Group->Insert(std::clamp(Index, 0, Group->Count()), Field);
}

void RemoveFieldFromGroup(TDSFieldGroup* Group, int Index)
{
    Group->Delete(Index);
}

void SortGroupFields(TDSFieldGroup* Group)
{
    QList<TDSField*> fields(Group->begin(), Group->end());
    std::stable_sort(fields.begin(), fields.end(), [](const TDSField* A, const TDSField* B) {
        return rtl::CompareText(A->DisplayName(), B->DisplayName()) < 0;
    });
    for (TDSField* field : fields) {
        RemoveFieldFromGroup(Group, Group->IndexOf(field));
        InsertFieldInGroup(Group, Group->Count(), field);
    }
}

TDSFieldGroup* TDSFieldGroupList::FindFieldGroup(const TDSField* Field, int& Index) const
{
    for (TDSFieldGroup* group : *this) {
        Index = group->IndexOf(Field);
        if (Index >= 0)
            return group;
    }
    Index = -1;
    return nullptr;
}
