#pragma once

#include "core/base/fieldtypes.h"
#include "querypanel/query/conditioninputs.h"
#include "querypanel/query/querynodes.h"
#include "querypanel/query/resultfields.h"
#include "querypanel/query/resulttables.h"
#include "querypanel/query/sqloptions.h"
#include "querypanel/query/sqlparams.h"

#include <QString>
#include <QStringList>

#include <vector>

// The query as data, owned by its panel: result fields, the tables of FROM, the parameters and the
// clauses of the last build, assembled into one SELECT statement.
class TQueryResult {
public:
    explicit TQueryResult(TQueryOwner* Panel);
    TQueryResult(const TQueryResult&) = delete;
    TQueryResult& operator=(const TQueryResult&) = delete;

    TQueryOwner* Panel() const { return FPanel; }
    TRFieldList& ResultFields() { return FResultFields; }
    const TRFieldList& ResultFields() const { return FResultFields; }
    // Copies the fields.
    void SetResultFields(const TRFieldList& Value) { FResultFields.Assign(Value); }
    const TRTableList& ResultTables() const { return FResultTables; }
    TRTableList& ResultTables() { return FResultTables; }
    TSQLOptions SQLOptions() const { return FSQLOptions; }
    void SetSQLOptions(TSQLOptions Value);
    TSQLSyntax SQLSyntax() const { return FSQLSyntax; }
    void SetSQLSyntax(TSQLSyntax Value) { FSQLSyntax = Value; }

    // Parameters; every change but a count tells the panel ParamListChanged.
    const TSQLParamList& Params() const { return FParams; }
    int GetParamCount() const { return FParams.Count(); }
    TSQLParam* AddParam(TConditionNode* Condition, int ValueIndex);
    void DeleteCondParams(const TConditionNode* Condition);
    void ClearParams();
    // Takes Param out of the list without freeing it: the caller owns it afterwards.
    void RemoveParam(TSQLParam* Param);
    // A sub-query's parameter names continue those of its parent's query.
    int ParamNumberBase() const { return FParamNumberBase; }
    void SetParamNumberBase(int Value) { FParamNumberBase = Value; }

    // Fills tables and clauses from the result fields and the panel's condition tree. With
    // ParamValues, every parameter is written as its value there, as a constant of its type is.
    void BuildQuery(const TParamValues* ParamValues = nullptr);
    // The names of the parameters the last build met, in text order; a shared name repeats.
    const QStringList& BuiltParamNames() const { return FBuiltParamNames; }
    // The statement of the last build, one clause part a line; rewritten by every call.
    const QStringList& GetSQL();
    QString GetSelectClause();
    const QStringList& GetFromClause();
    bool GetJoinConditions(QStringList& Lines) const;
    QString BracketCondition(const QString& Text) const;
    void AddWhereCondition(const QString& Text);
    void AddHavingCondition(const QString& Text);
    void UpdateDBStruct();

    // Value Index of Condition as it goes into SQL; a value that does not fit its type raises
    // EZQueryPanelError naming the field.
    QString GetSQLValue(const TConditionNode* Condition, int Index) const;
    // A date value in the locale's form as the dialect writes it: the panel's FormatSQLValue
    // towards SQL, which a panel may override.
    QString FormatSQLDate(TFieldType Type, const QString& Value) const;
    static QString FormatSQLNumber(TFieldType Type, const QString& Value);

    const QString& OrderByText() const { return FOrderBy; }
    const QString& GroupByText() const { return FGroupBy; }
    const QString& HavingText() const { return FHaving; }
    const QStringList& WhereLines() const { return FWhere; }

private:
    // A value ready for a template: Bare is a whole SQL token (number, literal, TO_DATE); otherwise
    // Text is the raw value of a quoted type, which must end up inside a string literal.
    struct TSQLValue {
        QString Text;
        bool Bare = true;
    };

    TZCustomDBStructure* DbStruct() const { return FPanel->DbStruct(); }
    void BuildOrderAndGroup();
    // With soASCIIRFields an alias that is not ASCII becomes "C" + its column number, for good: the
    // name SELECT gives the column, so ORDER BY must name it so too.
    void MakeAliasesASCII();
    // The GROUP BY list: every result field that is not a total.
    QString GroupedFields() const;
    QString ConditionText(const TConditionInput& Condition, const TParamValues* ParamValues);
    // Value Text of Condition, of type Type and kind Kind; Condition names it in errors.
    TSQLValue ValueOf(
        const TConditionNode* Condition, const QString& Text, TFieldType Type, TValueKind Kind) const;
    QString ScalarValue(
        const TConditionNode* Condition, TFieldType Type, const QString& Value, bool& Bare) const;
    void CheckJoinsWritable() const;

    TQueryOwner* FPanel;
    TRFieldList FResultFields;
    TRTableList FResultTables;
    TSQLParamList FParams;
    int FParamNumberBase = 0;
    TSQLOptions FSQLOptions = DefaultSQLOptions;
    TSQLSyntax FSQLSyntax = ssSQL2;
    TConditionInputs FInputs;
    QStringList FFromLines;
    QStringList FWhere;
    QStringList FSQLLines;
    QStringList FBuiltParamNames;
    QString FOrderBy;
    QString FGroupBy;
    QString FHaving;
    bool FOldStyleJoins = false;
};

// A number column that LIKE compares with a pattern is written as text, TextCast of its name:
// PostgreSQL has no LIKE on numbers, and every dialect takes the standard CAST (VARCHAR with a
// length, as Oracle needs one). FieldsBeforeLike counts the places of Template that do so ("@f
// like", "@f not like").
bool IsNumberField(const TDSField* Field);
QString TextCast(const QString& Name);
int FieldsBeforeLike(const QString& Template);

// The text a placeholder of Template stands in: the whole string literal it lies in, quotes
// included, or the placeholder itself outside literals; empty when Template lacks it.
QString FindQuotedSpan(const QString& Template, const QString& Placeholder);

// 0 for an empty text, else the float in the locale's form.
double StrToFloatOrZero(const QString& Text);
// Whether any character code is 128 or above.
bool HasNonASCII(const QString& Text);
