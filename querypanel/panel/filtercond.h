#pragma once

#include "querypanel/panel/filterrow.h"
#include "querypanel/query/sqloptions.h"

#include <QString>
#include <QStringList>

class TDSField;
class TDSOperator;
class TDSCondition;
class TDSSQLEditor;
class TDropDownLabel;
class TDropDownList;
class TSQLParam;

// A condition row: up to two values, each a constant or a query parameter, with the labels that
// show them, the sub-query of a sub-query value and, in style psAndOr, the and/or chooser. The
// values, their captions and which of them has a label live in members; the labels only show them,
// and a row without controls has none.
class TFilterCond : public TFilterRow {
    Q_OBJECT
public:
    // Element numbers of a condition's sentence.
    static constexpr int ValueLabel1 = 3;
    static constexpr int BetweenLabel = 4;
    static constexpr int ValueLabel2 = 5;
    static constexpr int AndOrLabel = 9;

    TFilterCond(TZQueryPanel* Panel, TFilterBracket* Parent, int RowType);
    // The condition's parameters go with it, unless the whole panel goes.
    ~TFilterCond() override;

    QStringList& SubQuery() { return FSubQuery; }
    const QStringList& SubQuery() const { return FSubQuery; }
    TSQLOptions SubQueryOptions() const { return FSubQueryOptions; }
    void SetSubQueryOptions(TSQLOptions Value) { FSubQueryOptions = Value; }

    // Value 1 for N = 1, value 2 for any other N.
    QString ValueText(int N) const override;
    TDropDownLabel* ValueLabel(int N) const;
    // The label shows Text: a chooser the caption of the item with that value; OnSetValue may
    // change the caption.
    void ShowValue(int N, const QString& Text);
    void SetValueCaption(int N, const QString& Text) override;
    void SetValueHint(const QString& Text);
    // The choices a list label of value N offers, for a caption while the row has no label; false
    // when value N's label is no list.
    virtual bool ValueChoices(int N, QStringList& Values, QStringList& Items, bool& Multiple) const;
    TSQLParam* Param(int N) const override;
    bool IsParam(int N) const { return Param(N) != nullptr; }
    // Makes value N a parameter of the query or a constant again; a constant takes the
    // parameter's last value. Only that value's parameter is made or freed.
    void SetParamState(int N, bool MakeParam);
    void FireConditionChange(int Code);
    // Puts a value label on the panel with the row's handlers, the value menu and the value colour.
    void AttachValueLabel(TDropDownLabel* Label);
    // The label that suits value N's type when the field has no value editor of its own.
    TDropDownLabel* DefaultValueEditor(int N);

    // Leaves a parameter value alone.
    virtual void SetValue(int N, const QString& Text);
    QString GetFieldName() const override { return QString(); }
    virtual void ValueChanged() {}
    // The custom drop-down of a sub-query value: the panel's sub-query editor edits it.
    virtual void EditSubQuery(TDropDownLabel* Sender, QString& Value, bool& Accept);
    virtual TDropDownLabel* CreateValueLabel(TDropDownLabel* Old, int N, bool Attach);
    // Frees Label; answers none.
    virtual TDropDownLabel* FreeValueLabel(TDropDownLabel* Label);
    virtual QString GetValueCaption(int N) const;
    // Whether value N has a label in the sentence (made once the row is shown).
    bool HasValueSlot(int N) const { return FSlot[N == 1 ? 0 : 1]; }
    // The caption value N's label shows; empty without a label.
    QString StoredCaption(int N) const { return HasValueSlot(N) ? FCaption[N == 1 ? 0 : 1] : QString(); }

    void UpdateEnabled() override;
    void UpdateAndOr() override;

protected:
    void MakeElements() override;
    // Value N gets a new label (true) or none; a row without controls only notes it.
    void SetValueSlot(int N, bool Value);
    // The label of value N takes Text as its value, and its caption follows as the label's own.
    void ShowLabelValue(int N, const QString& Text);
    // What value N's label holds as its value.
    virtual QString LabelValue(int N) const { return ValueText(N); }
    // Whether value N is given through a date or time editor; a list of them is shown item by item.
    virtual bool EditsDates(int N) const;
    // Makes value N's label from the row's state: the value, caption, hint and parameter lock.
    void MakeValueLabel(int N);
    // Stores the caption of value N and shows it on the label.
    void StoreCaption(int N, const QString& Text);
    // Shows Caption, made for the value Text, as value N's caption: a sub-query's title or the
    // panel's handler may make another of it.
    void ShowCaption(int N, const QString& Text, const QString& Caption);
    // The bracket whose link type joins this row to the next one in reading order.
    TFilterBracket* JoiningBracket() const;
    // Stores value N without events.
    void RestoreValue(int N, const QString& Text);
    void ApplyDroppedValue(int N, TDropDownLabel* Sender) override;
    // The element number of a value label: 3 for value 1, 5 for value 2.
    static int ValueElement(int N) { return N == 1 ? ValueLabel1 : ValueLabel2; }
    // The caption a parameter of this condition takes (the ending tells two parameters apart).
    QString ParamCaption(int N) const;
    // 2 for value 2's label, else 1.
    int ValueIndexOf(const TDropDownLabel* Label) const;

private:
    void AndOrChanged(TDropDownLabel* Sender, bool Accepted);
    void ValueAltClick(TDropDownLabel* Label);
    void ValueRightClick(TDropDownLabel* Label);
    void ValueDblClick(TDropDownLabel* Label);

    QString FCaption[2];
    bool FSlot[2] = {false, false};
    QString FHint;
    QStringList FSubQuery;
    TSQLOptions FSubQueryOptions;
    // Last, next to a simple condition's field and operator: a query reads them together.
    QString FValue1;
    QString FValue2;
};

// The sentence field - operator - value(s): a data model field, one of its operators, and values
// through editors that follow the field's value editor and the operator's value kind.
class TSimpleCond : public TFilterCond {
    Q_OBJECT
public:
    static constexpr int FieldLabel = 1;
    static constexpr int OperatorLabel = 2;

    TSimpleCond(TZQueryPanel* Panel, TFilterBracket* Parent);
    // Gives up the condition's equal value.
    ~TSimpleCond() override;

    TDSField* Field() const { return FField; }
    TDSOperator* Operator() const { return FOperator; }
    TDropDownList* FieldChooser() const;
    TDropDownList* OperatorChooser() const;

    // Offers the fields the bracket's aggregate mode allows; a field no longer offered gives way to
    // the first one offered.
    void FillFieldList();
    void SetField(TDSField* F);
    void SetOperator(TDSOperator* Op);
    void UpdateValueLabels();
    // The custom value editor's data lines when the field has one; else none.
    const QStringList* GetCondCustomData() const;

    void ValueChanged() override;
    void EditSubQuery(TDropDownLabel* Sender, QString& Value, bool& Accept) override;
    TDropDownLabel* CreateValueLabel(TDropDownLabel* Old, int N, bool Attach) override;
    QString GetValueCaption(int N) const override;

    QString GetFieldName() const override;
    TDSField* NodeField() const override { return FField; }
    TDSOperator* NodeOperator() const override { return FOperator; }
    TFieldType GetValueType(int N) const override;
    TValueKind GetValueKind(int N) const override;
    QList<TDSTable*> GetTables() const override;
    QString GetSQLTemplate() const override;
    int GetValueCount() const override;
    bool IsAggregate() const override;

    void RefreshFieldList() override { FillFieldList(); }
    // A value list that names FieldName as a parameter runs its SQL again.
    void RefreshDependents(TFilterRow* Source, const QString& FieldName) override;
    // Makes the panel's equal values from its conditions and refreshes every SQL value list with
    // them, keeping the values while the panel's process state is not idle.
    static void RebuildEqualValues(TZQueryPanel* Panel);

protected:
    void ApplyDroppedValue(int N, TDropDownLabel* Sender) override;
    void MakeElements() override;
    bool ValueChoices(int N, QStringList& Values, QStringList& Items, bool& Multiple) const override;

private:
    TDSSQLEditor* SQLEditor() const;
    // The field chooser's caption of F.
    QString FieldCaption(const TDSField* F) const;
    // The operator chooser shows the field's operators and the current one.
    void ShowOperators();
    // A list value in the model's quote symbols, but for a date editor.
    QString LabelValue(int N) const override;
    bool EditsDates(int N) const override;
    // Fills a list label from the field's list or SQL editor.
    void FillValueList(TDropDownList* Label);
    void RefreshDependentList();
    void CustomValueDropDown(TDropDownLabel* Sender, QString& Value, bool& Accept);
    // Brings the panel's equal values in line with this condition: its field's line holds value 1
    // while the operator is "Equal"; a line it gives up goes to another such condition or away.
    void UpdateEqualValue();
    // Deferred: the dependent lists are refreshed once the current event is over.
    void ReleaseEqualValue(bool Deferred);
    QString EqualValueText() const;

    TDSField* FField = nullptr;
    // Whether the field's expression totals, known when the field is set: the query asks every
    // row and bracket, and the expression would be read again each time.
    bool FAggregate = false;
    TDSOperator* FOperator = nullptr;
    // The field display name whose equal value this condition wrote last; empty when none.
    QString FEqualName;
    // Set while this row's value list follows another row's value: cycles of dependencies end.
    bool FRefreshing = false;
};

// A predefined condition of the data model with its value slots.
class TCustomCond : public TFilterCond {
    Q_OBJECT
public:
    TCustomCond(TZQueryPanel* Panel, TDSCondition* Condition, TFilterBracket* Parent);

    TDSCondition* Condition() const { return FCondition; }

    TDropDownLabel* CreateValueLabel(TDropDownLabel* Old, int N, bool Attach) override;
    bool IsAggregate() const override { return false; }
    TDSCondition* NodeCondition() const override { return FCondition; }
    QString GetSQLTemplate() const override;
    QList<TDSTable*> GetTables() const override;
    int GetValueCount() const override;
    TValueKind GetValueKind(int N) const override;
    TFieldType GetValueType(int N) const override;

protected:
    void MakeElements() override;

private:
    TDSCondition* FCondition;
};
