#pragma once

#include "core/base/fieldtypes.h"
#include "core/base/objectlist.h"

#include <QHash>
#include <QString>

#include <utility>

class TConditionNode;

// A condition value that the SQL text leaves as a named parameter, bound when the query runs.
class TSQLParam {
public:
    // Takes the condition's type of that value; the value is written as it is ("@v").
    TSQLParam(TConditionNode* Condition, int ValueIndex);

    const QString& Name() const { return FName; }
    void SetName(const QString& Value) { FName = Value; }
    const QString& Caption() const { return FCaption; }
    // The condition shows the caption in place of the value.
    void SetCaption(const QString& Text);
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    const QString& Value() const { return FValue; }
    void SetValue(const QString& Text) { FValue = Text; }
    TConditionNode* Condition() const { return FCondition; }
    // "@v" stands for the value, as '%@1%' leaves %@v% for a pattern.
    const QString& VFormat() const { return FVFormat; }
    void SetVFormat(const QString& Value) { FVFormat = Value; }
    // 1 or 2: which value of the condition.
    int ValueIndex() const { return FValueIndex; }

private:
    QString FName;
    QString FCaption;
    TFieldType FDataType;
    QString FValue;
    TConditionNode* FCondition;
    QString FVFormat = QStringLiteral("@v");
    int FValueIndex;
};

class TSQLParamList : public TZObjectList<TSQLParam> {
public:
    // Frees every parameter of Condition.
    void DeleteParamsOf(const TConditionNode* Condition);
    // The parameter of that value of Condition; none when the value is a constant. Every row asks
    // it for every value, so it answers from an index, not by a search of the list.
    TSQLParam* FindParam(const TConditionNode* Condition, int ValueIndex) const;
    // Replaces the entry as the base list does, and forgets the index.
    void SetItem(int Index, TSQLParam* Item);

protected:
    void Changed() override;

private:
    using TKey = std::pair<const TConditionNode*, int>;
    void Reindex() const;

    // Where each parameter stood when the index was made; taking one out, moving or exchanging
    // entries fires no event, so a position found is checked before it is trusted.
    mutable QHash<TKey, int> FPositions;
    mutable bool FIndexed = false;
};
