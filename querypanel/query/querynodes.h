#pragma once

#include "core/base/fieldtypes.h"
#include "core/model/condition.h"
#include "querypanel/query/sqloptions.h"

#include <QList>
#include <QString>

class TZCustomDBStructure;
class TDSTable;
class TDSField;
class TDSOperator;
class TDSCondition;
class TSQLParam;
class TConditionNode;

// What the panel is doing; while it is not idle the panel's change notifications stay silent.
enum TQueryProcess : uint8_t { qpIdle, qpBuilding, qpLoading, qpSaving };

// What the query result and SQL generation ask of the panel that owns them. The panel implements
// it; the query side never sees a widget.
class TQueryOwner {
public:
    virtual ~TQueryOwner() = default;

    virtual void Changed() = 0;
    virtual void ParamListChanged() = 0;
    virtual QString GetTitle(const QString& Key) const = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    virtual TZCustomDBStructure* DbStruct() const = 0;
    virtual TSQLOptions SQLOptions() const = 0;
    virtual TSQLSyntax SQLSyntax() const = 0;

    virtual bool Active() const = 0;
    // The table of MainTableName, else the model's default main table; none without either.
    virtual TDSTable* ResolveMainTable() = 0;
    // The root bracket; none while the panel has no data model.
    virtual TConditionNode* RootNode() const = 0;
    // Open drop-downs of the rows close before their values are read.
    virtual void CloseDropDowns() = 0;
    virtual TQueryProcess ProcessState() const = 0;
    virtual void SetProcessState(TQueryProcess Value) = 0;
    // Date values into SQL (ToSQL) or back into the locale's form; the panel may override it.
    virtual QString FormatSQLValue(TFieldType Type, const QString& Value, bool ToSQL) = 0;
    // Fires OnBuildSQL: the handler may change the text of the condition.
    virtual void DoBuildSQL(TConditionNode* Condition, QString& SQLExpr) = 0;
};

// A row of the condition tree as the query side reads it: a bracket with its rows, or a condition
// with its template, values and parameters, taken from the row's members.
class TConditionNode {
public:
    virtual ~TConditionNode() = default;

    // 0 simple condition, 1 bracket, 2 predefined condition.
    virtual int RowType() const = 0;
    virtual bool IsBracketNode() const = 0;
    virtual TFilterLinkType NodeLinkType() const = 0;
    virtual int NodeCount() const = 0;
    virtual TConditionNode* NodeAt(int I) const = 0;

    // The row's check box.
    virtual bool Checked() const = 0;
    virtual bool IsAggregate() const = 0;

    // A simple condition's field display name; empty for other rows.
    virtual QString GetFieldName() const = 0;
    // A simple condition's field and operator, a predefined condition's model condition; none
    // where the row has no such item.
    virtual TDSField* NodeField() const = 0;
    virtual TDSOperator* NodeOperator() const = 0;
    virtual TDSCondition* NodeCondition() const = 0;
    virtual QList<TDSTable*> GetTables() const = 0;
    virtual QString GetSQLTemplate() const = 0;
    virtual int GetValueCount() const = 0;
    // Value 1 for N = 1, value 2 for any other N.
    virtual QString ValueText(int N) const = 0;
    virtual TFieldType GetValueType(int N) const = 0;
    virtual TValueKind GetValueKind(int N) const = 0;
    // The parameter that stands for value N, or none when the value is a constant.
    virtual TSQLParam* Param(int N) const = 0;
    virtual void SetValueCaption(int N, const QString& Text) = 0;
};
