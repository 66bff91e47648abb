#pragma once

#include "core/base/fieldtypes.h"
#include "core/base/objectlist.h"

#include <QHash>
#include <QList>
#include <QString>

#include <utility>

class TConditionNode;
class TSQLParamList;

// The values given to a query's parameters, by parameter name in lower case: names that differ
// only in letter case are one parameter.
using TParamValues = QHash<QString, QString>;

// A condition value that the SQL text leaves as a named parameter, bound when the query runs.
// Values whose parameters carry one name are one parameter of the statement, with one value.
class TSQLParam {
public:
    // Takes the condition's type of that value; the value is written as it is ("@v"). List is
    // the query's list the parameter goes into, where it finds the others of its name.
    TSQLParam(TConditionNode* Condition, int ValueIndex, const TSQLParamList* List = nullptr);

    const QString& Name() const { return FName; }
    // Taking the name of another parameter takes its value too.
    void SetName(const QString& Value);
    const QString& Caption() const { return FCaption; }
    // The condition shows the caption in place of the value.
    void SetCaption(const QString& Text);
    TFieldType DataType() const { return FDataType; }
    void SetDataType(TFieldType Value) { FDataType = Value; }
    const QString& Value() const { return FValue; }
    // Also the value of every parameter of the list that carries this name.
    void SetValue(const QString& Text);
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
    const TSQLParamList* FList;
};

class TSQLParamList : public TZObjectList<TSQLParam> {
public:
    // Frees every parameter of Condition.
    void DeleteParamsOf(const TConditionNode* Condition);
    // The parameter of that value of Condition; none when the value is a constant. Every row asks
    // it for every value, so it answers from an index, not by a search of the list.
    TSQLParam* FindParam(const TConditionNode* Condition, int ValueIndex) const;
    // The other parameters of the list carrying Param's name, in list order.
    QList<TSQLParam*> Namesakes(const TSQLParam* Param) const;
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
