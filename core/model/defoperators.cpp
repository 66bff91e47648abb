// The model's operators: the default set with its captions, the optional families and the
// operations that add, find and delete operators.
#include "core/model/dbstructure.h"

#include "rtl/strutils.h"

#include <array>
#include <optional>

namespace {

struct TDefOperator {
    const char* Name;
    const char* Caption;
    const char* SQLName;
    TFieldTypes AppliedTypes;
    TValueKind ValueKind;
    bool ValuesJoined;  // shows "and" between its two value slots
    std::optional<TExOperator> Family;
};

// In the order operators are created: the basic ones, then the families InList, StartsWith,
// Contains and Between. Saved queries and the SQL parser match these templates.
const std::array<TDefOperator, 15> DefaultOperators {{
    {"Equal", "is equal to", "@f = '@1'", EqualityTypes, vkScalar, false, std::nullopt},
    {"NotEqual", "is not equal to", "@f <> '@1'", EqualityTypes, vkScalar, false, std::nullopt},
    {"LessThan", "is less than", "@f < '@1'", OrderingTypes, vkScalar, false, std::nullopt},
    {"LessOrEqual", "is less than or equal to", "@f <= '@1'", OrderingTypes, vkScalar, false, std::nullopt},
    {"GreaterThan", "is greater than", "@f >'@1'", OrderingTypes, vkScalar, false, std::nullopt},
    {"GreaterOrEqual", "is greater than or equal to", "@f >= '@1'", OrderingTypes, vkScalar, false,
        std::nullopt},
    {"IsNull", "is null", "@f is null", NullTestTypes, vkScalar, false, std::nullopt},
    {"InList", "is in list", "@f in (@1)", EqualityTypes, vkList, false, xoInList},
    {"NotInList", "is not in list", "NOT (@f in (@1))", EqualityTypes, vkList, false, xoInList},
    {"StartsWith", "starts with", "@f like '@1%'", PatternTypes, vkScalar, false, xoStartsWith},
    {"NotStartsWith", "does not start with", "not(@f like '@1%')", PatternTypes, vkScalar, false,
        xoStartsWith},
    {"Contains", "contains", "@f like '%@1%'", PatternTypes, vkScalar, false, xoContains},
    {"NotContains", "does not contain", "not(@f like '%@1%')", PatternTypes, vkScalar, false, xoContains},
    {"Between", "is between", "@f between '@1' and '@2'", OrderingTypes, vkScalar, true, xoBetween},
    {"NotBetween", "is not between", "NOT (@f between '@1' and '@2')", OrderingTypes, vkScalar, true,
        xoBetween},
}};

QString DefaultLine(const TDefOperator& Def)
{
    return QString::fromUtf8(Def.Name) + u'=' + QString::fromUtf8(Def.Caption);
}

bool IsPresent(const TDefOperator& Def, TExOperators Families)
{
    return !Def.Family || Families.Contains(*Def.Family);
}

// Creates the operator with its caption, or with OnlyMissing keeps one the model has; an in-list
// operator takes lists either way.
void AddDefault(TZCustomDBStructure& Model, const TDefOperator& Def, bool OnlyMissing)
{
    const QString name = QString::fromUtf8(Def.Name);
    TDSOperator* op = OnlyMissing ? Model.OperatorByName(name) : nullptr;
    if (!op) {
        op = Model.GetOperator(Model.AddOperator(name, Model.GetDefOperatorCaption(name), Def.AppliedTypes,
            Def.ValuesJoined ? QStringLiteral("and") : QString(), QString::fromUtf8(Def.SQLName)));
    }
    if (Def.ValueKind == vkList)
        op->SetValueKind(vkList);
}

}  // namespace

int TZCustomDBStructure::AddOperator(const QString& Name, const QString& DisplayName,
    TFieldTypes AppliedTypes, const QString& ValFormat, const QString& SQLName)
{
    auto* op = new TDSOperator;
    op->SetName(Name);
    op->SetDisplayName(DisplayName);
    op->SetAppliedTypes(AppliedTypes);
    op->SetValFormat(ValFormat);
    op->SetSQLName(SQLName);
    FOperators.append(op);
    Changed();
    return int(FOperators.size()) - 1;
}

TDSOperator* TZCustomDBStructure::GetOperator(int Index) const
{
    if (Index < 0 || Index >= FOperators.size())
        throw EZDBStructError::Create(dseInvalidOperatorIndex, Index);
    return FOperators[Index];
}

void TZCustomDBStructure::DeleteOperator(int Index)
{
    TDSOperator* op = GetOperator(Index);
    for (TDSField* field : FFields)
        field->RemoveOperator(op);
    FPlaceholderField->RemoveOperator(op);
    FOperators.removeAt(Index);
    delete op;
    Changed();
}

QString OperatorNameOf(const QString& Name)
{
    return Name == QLatin1String("EqualTo") ? QStringLiteral("Equal") : Name;
}

int TZCustomDBStructure::IndexOfOperator(const QString& Name) const
{
    const QString wanted = OperatorNameOf(Name);
    for (int i = 0; i < FOperators.size(); ++i) {
        if (rtl::SameText(FOperators[i]->Name(), wanted))
            return i;
    }
    return -1;
}

TDSOperator* TZCustomDBStructure::OperatorByName(const QString& Name) const
{
    const int index = IndexOfOperator(Name);
    return index < 0 ? nullptr : FOperators[index];
}

void TZCustomDBStructure::GetOperatorNames(QStringList& Strings, QList<TDSOperator*>* Objects) const
{
    Strings.clear();
    if (Objects)
        Objects->clear();
    for (TDSOperator* op : FOperators) {
        Strings.append(op->Name());
        if (Objects)
            Objects->append(op);
    }
}

void TZCustomDBStructure::SetOperatorCaption(const QString& Name, const QString& Caption)
{
    if (TDSOperator* op = OperatorByName(Name))
        op->SetDisplayName(Caption);
}

void TZCustomDBStructure::RemoveOperatorByName(const QString& Name)
{
    const int index = IndexOfOperator(Name);
    if (index >= 0)
        DeleteOperator(index);
}

QString TZCustomDBStructure::GetDefOperatorCaption(const QString& Name) const
{
    return FDefOperators.Values(Name);
}

void TZCustomDBStructure::ResetDefOperators()
{
    FDefOperators.clear();
    for (const TDefOperator& def : DefaultOperators)
        FDefOperators.append(DefaultLine(def));
}

void TZCustomDBStructure::CompleteDefOperators()
{
    for (const TDefOperator& def : DefaultOperators) {
        if (GetDefOperatorCaption(QString::fromUtf8(def.Name)).isEmpty())
            FDefOperators.append(DefaultLine(def));
    }
}

void TZCustomDBStructure::AddDefaultOperators(bool OnlyMissing)
{
    for (const TDefOperator& def : DefaultOperators) {
        if (IsPresent(def, FExOperators))
            AddDefault(*this, def, OnlyMissing);
    }
}

void TZCustomDBStructure::UpdateExOperators()
{
    for (const TDefOperator& def : DefaultOperators) {
        if (!def.Family)
            continue;
        if (IsPresent(def, FExOperators))
            AddDefault(*this, def, true);
        else
            RemoveOperatorByName(QString::fromUtf8(def.Name));
    }
}

void TZCustomDBStructure::UpdateOperatorCaptions()
{
    for (const TDefOperator& def : DefaultOperators) {
        const QString name = QString::fromUtf8(def.Name);
        if (IsPresent(def, FExOperators))
            SetOperatorCaption(name, GetDefOperatorCaption(name));
        else
            RemoveOperatorByName(name);
    }
}

void TZCustomDBStructure::SetDefOperators(const QStringList& Lines)
{
    FDefOperators = Lines;
    UpdateOperatorCaptions();
}

void TZCustomDBStructure::SetExOperators(TExOperators Value)
{
    if (Value == FExOperators)
        return;
    FExOperators = Value;
    UpdateExOperators();
    UpdateOperatorCaptions();
}
