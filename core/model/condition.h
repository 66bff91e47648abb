#pragma once

#include "core/base/fieldtypes.h"
#include "core/base/objectlist.h"
#include "core/model/enumset.h"
#include "core/model/table.h"

#include <QString>

#include <algorithm>

class TZCustomDBStructure;

using TFieldTypes = TEnumSet<TFieldType>;

// The field types an operator applies to.
constexpr TFieldTypes EqualityTypes {ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency,
    ftBCD, ftDate, ftTime, ftDateTime, ftAutoInc, ftFixedChar, ftWideString, ftLargeint, ftTimeStamp};
constexpr TFieldTypes PatternTypes {ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString};
constexpr TFieldTypes NullTestTypes = EqualityTypes + TFieldTypes {ftMemo, ftFmtMemo};
constexpr TFieldTypes OrderingTypes = EqualityTypes - TFieldTypes {ftBoolean};
constexpr TFieldTypes DefaultAppliedTypes = NullTestTypes;

// What one value slot of an operator takes.
enum TValueKind : uint8_t { vkScalar, vkList, vkSubQuery };

// A comparison a condition row may use: a caption for end users and the SQL template into which
// the field ("@f") and the values ("@1", "@2", ...) are put.
class TDSOperator {
public:
    const QString& Name() const { return FName; }
    void SetName(const QString& Value) { FName = Value; }
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& Value) { FDisplayName = Value; }
    const QString& SQLName() const { return FSQLName; }
    void SetSQLName(const QString& Value);
    const QString& ValFormat() const { return FValFormat; }
    void SetValFormat(const QString& Value) { FValFormat = Value; }
    // ftUnknown: the values take the field's own type.
    TFieldType ExprType() const { return FExprType; }
    void SetExprType(TFieldType Value) { FExprType = Value; }
    TValueKind ValueKind() const { return FValueKind; }
    void SetValueKind(TValueKind Value) { FValueKind = Value; }
    TFieldTypes AppliedTypes() const { return FAppliedTypes; }
    void SetAppliedTypes(TFieldTypes Value) { FAppliedTypes = Value; }

    // The number of consecutive value placeholders "@1", "@2", ... in the template.
    int GetParamCount() const { return FParamCount; }

private:
    QString FName;
    QString FDisplayName;
    QString FSQLName;
    // Asked for every condition of every build, so counted when the template changes.
    int FParamCount = 0;
    QString FValFormat;
    TFieldType FExprType = ftUnknown;
    TValueKind FValueKind = vkScalar;
    TFieldTypes FAppliedTypes = DefaultAppliedTypes;
};

// One value slot of a predefined condition, with the caption text shown in front of it.
class TDSValue {
public:
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    TValueKind ValueKind() const { return FValueKind; }
    void SetValueKind(TValueKind Value) { FValueKind = Value; }
    const QString& Text() const { return FText; }
    void SetText(const QString& Value) { FText = Value; }

    void Assign(const TDSValue& Value);

private:
    TFieldType FDataType = ftUnknown;
    TValueKind FValueKind = vkScalar;
    QString FText;
};

class TDSValueList : public TZObjectList<TDSValue> {};

// A predefined condition of the model: a caption with "@" marking each value slot, and a ready SQL
// expression.
class TDSCondition {
public:
    explicit TDSCondition(TZCustomDBStructure* Structure);
    TDSCondition(const TDSCondition&) = delete;
    TDSCondition& operator=(const TDSCondition&) = delete;

    TZCustomDBStructure* Structure() const { return FStructure; }
    // Hands the item whole to Structure, the model that takes over the content of the one that read
    // it; nothing of it is copied, so nothing can be left behind.
    void MoveTo(TZCustomDBStructure* Structure) { FStructure = Structure; }
    int ID() const { return FID; }
    void SetID(int Value) { FID = Value; }
    const QString& SQLExpr() const { return FSQLExpr; }
    // Also collects the model tables the text refers to.
    void SetSQLExpr(const QString& Text);
    const QString& DF() const { return FDF; }
    // Rebuilds the value slots when the text changes.
    void SetDisplayFormat(const QString& Text);
    TDSValueList& Values() { return FValues; }
    const TDSValueList& Values() const { return FValues; }
    TDSTableList& Tables() { return FTables; }
    const TDSTableList& Tables() const { return FTables; }

    QString GetCaption() const;

private:
    TZCustomDBStructure* FStructure;
    int FID = 0;
    QString FSQLExpr;
    QString FDF;
    TDSValueList FValues;
    TDSTableList FTables;
};

// The model's predefined conditions; gives each new condition an identifier never handed out before
// while the list lives.
class TDSConditionList : public TZObjectList<TDSCondition> {
public:
    explicit TDSConditionList(TZCustomDBStructure* Structure) : FStructure(Structure) {}

    TZCustomDBStructure* Structure() const { return FStructure; }
    int LastID() const { return FLastID; }

    // A condition without an ID (0) takes the next one; one with an ID keeps it.
    int Add(TDSCondition* Condition);
    // LastID rises to ID, so the list never hands that ID out.
    void SeeID(int ID) { FLastID = std::max(FLastID, ID); }
    int IndexOfID(int ID) const;

private:
    TZCustomDBStructure* FStructure;
    int FLastID = 0;
};
