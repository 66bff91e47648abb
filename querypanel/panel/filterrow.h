#pragma once

#include "querypanel/controls/roundbutton.h"
#include "querypanel/parser/sqlnesting.h"
#include "querypanel/query/querynodes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;
class TDropDownLabel;
class TDropDownPopup;
class TFilterBracket;
class TFilterRow;
class TZFlatCheckBox;
class TZQueryPanel;

// Sets a plain label's text and sizes it to the text: an empty text is 0 wide.
void SetLabelText(QLabel* Label, const QString& Text);
// The panel's title of a link type ("all", "any", "none", "not all").
QString LinkTypeTitle(const TZQueryPanel* Panel, TFilterLinkType Type);

// The numbered button in front of a row; it opens the row's menu.
class TFilterBtn : public TZRndBtn {
    Q_OBJECT
public:
    TFilterBtn(QWidget* Parent, TFilterRow* Row) : TZRndBtn(Parent), FRow(Row) {}
    TFilterRow* Row() const { return FRow; }

private:
    TFilterRow* FRow;
};

// A line of the panel's condition tree. The row keeps its logical state (checked, path, line,
// parent) in members; its check box, button and labels on the panel only mirror it, so the query
// side reads a row without looking at a widget. The controls are made when the row is first shown:
// a row of an inactive panel owns none. Elements are numbered 1 to 10: for a bracket 1 the text
// before the link type, 2 the link-type chooser, 3 the text after it; a condition's are in its own
// class.
class TFilterRow : public QObject, public TConditionNode {
    Q_OBJECT
public:
    static constexpr int MaxElement = 10;

    // Adds nothing to Parent: the parent's InsertRow does.
    TFilterRow(TZQueryPanel* Panel, TFilterBracket* Parent, int RowType);
    // Frees the row's controls; a current row hands the selection on first.
    ~TFilterRow() override;

    TZQueryPanel* Panel() const { return FPanel; }
    TFilterBracket* Parent() const { return FParent; }
    void SetParent(TFilterBracket* Value) { FParent = Value; }
    const QString& Path() const { return FPath; }
    void SetPath(const QString& Value);
    int DisplayIndex() const { return FDisplayIndex; }
    // Lays the row out at its new line.
    void SetDisplayIndex(int Value);
    // The number of "." in the path: 0 for the root, 1 for a row of the root.
    int Depth() const;
    // The index in the parent's rows; 0 for the root.
    int Position() const;
    bool Shown() const { return FShown; }
    void SetShown(bool Value);
    bool Destroying() const { return FDestroying; }
    TFilterBtn* Button() const { return FButton; }
    TZFlatCheckBox* CheckBox() const { return FCheckBox; }
    bool HasControls() const { return FButton != nullptr; }
    // Makes the check box, the button and the elements from the row's state, once.
    void CreateControls();

    // Element N (1..10) or none; any other N selects the first drop-down element and answers the
    // selected one.
    QWidget* Element(int N);
    QWidget* ElementAt(int N) const;
    int SelectedIndex() const { return FSelElement; }
    void SetSelectedIndex(int N) { FSelElement = N; }
    QWidget* SelectedElement() { return Element(FSelElement); }
    void SelectFirstElement();
    void SelectNextElement();
    void SelectPrevElement();
    // The N in 1..9 whose element is Label and a drop-down label; -1 otherwise.
    int IndexOfElement(const QWidget* Label) const;
    // Where the row's menu pops up.
    QWidget* MenuButton() const;

    bool Checked() const override { return FChecked; }
    // Then UpdateEnabled.
    void SetChecked(bool Value);

    void Layout();

    virtual void UpdateEnabled();
    virtual void UpdateAndOr() {}
    bool IsAggregate() const override { return false; }
    virtual void MoveUp();
    virtual void MoveDown();
    virtual void MoveOut();
    virtual void MoveIn();
    // Refills a condition's field chooser; a bracket refills those of all its rows.
    virtual void RefreshFieldList() {}
    // Conditions whose value list depends on FieldName's value refill it; a bracket asks its rows.
    virtual void RefreshDependents(TFilterRow* Source, const QString& FieldName);

    // Handlers that the row hands to its drop-down labels.
    void RowBeforeDropDown(TDropDownLabel* Sender);
    void RowAfterDropUp(TDropDownLabel* Sender, bool Accepted);

    // The condition tree as the query side reads it; the base answers for a row that has none of it.
    int RowType() const override { return FRowType; }
    bool IsBracketNode() const override { return false; }
    TFilterLinkType NodeLinkType() const override { return fltAll; }
    int NodeCount() const override { return 0; }
    TConditionNode* NodeAt(int) const override { return nullptr; }
    QString GetFieldName() const override { return QString(); }
    TDSField* NodeField() const override { return nullptr; }
    TDSOperator* NodeOperator() const override { return nullptr; }
    TDSCondition* NodeCondition() const override { return nullptr; }
    QList<TDSTable*> GetTables() const override { return {}; }
    QString GetSQLTemplate() const override { return QString(); }
    int GetValueCount() const override { return 0; }
    QString ValueText(int) const override { return QString(); }
    TFieldType GetValueType(int) const override { return ftUnknown; }
    TValueKind GetValueKind(int) const override { return vkScalar; }
    TSQLParam* Param(int) const override { return nullptr; }
    void SetValueCaption(int, const QString&) override {}
    // The check box state without the enabling that SetChecked runs: copies of rows and rows read
    // from a query text take it.
    void RestoreChecked(bool Value);

protected:
    // The row's own elements, made from its state.
    virtual void MakeElements() {}
    // A bracket marks itself and frees its own controls before it frees its rows.
    void MarkDestroying() { FDestroying = true; }
    void FreeControls();
    // A condition takes the accepted value of its element N (the label Sender); the panel's Changed
    // follows. A bracket takes its new link type.
    virtual void ApplyDroppedValue(int N, TDropDownLabel* Sender);
    // The row owns Control from now on; it lives on the panel's viewport.
    void SetElement(int N, QWidget* Control);
    // A plain label on the panel, hidden, transparent, in the panel's reading direction.
    QLabel* NewPlainLabel(const QString& Text);
    // The reading direction is the panel's, and the label's events reach this row.
    void BindDropDown(TDropDownLabel* Label);

private:
    bool IsDropDownElement(int N) const;
    void PlaceControl(QWidget* Control, int& X, int Y, bool Step);

    // What the query reads of every row comes first, so a build over many rows reads few lines of
    // memory per row.
    TZQueryPanel* FPanel;
    TFilterBracket* FParent;
    int FRowType;
    bool FChecked = true;
    QString FPath;
    int FDisplayIndex = -1;
    bool FShown = false;
    int FSelElement = 0;
    bool FDestroying = false;
    TZFlatCheckBox* FCheckBox = nullptr;
    TFilterBtn* FButton = nullptr;
    QPointer<QWidget> FElements[MaxElement + 1];
    // The element numbers in the order their controls were set.
    QList<int> FElementOrder;
};

// A row holding rows joined by a link type: all, any, none or not all of them hold. The panel's
// root is one; a new bracket starts with "any".
class TFilterBracket : public TFilterRow {
    Q_OBJECT
public:
    // Raises EZQueryPanelError 5 before making any control when the "ttlBracket" title has no "@".
    TFilterBracket(TZQueryPanel* Panel, TFilterBracket* Parent);
    // Frees every row first.
    ~TFilterBracket() override;

    TFilterLinkType LinkType() const { return FLinkType; }
    void SetLinkType(TFilterLinkType Value);
    // The link type of the chooser's item ItemIndex; the bracket's own for an index it lacks.
    TFilterLinkType OfferedLinkType(int ItemIndex) const;
    int Count() const { return int(FRows.size()); }
    TFilterRow* Rows(int I) const { return FRows.at(I); }
    QLabel* FirstLabel() const;
    TDropDownPopup* LinkTypeLabel() const;
    QLabel* LastLabel() const;
    // Fills the link-type chooser with the appearance's link types and selects this bracket's.
    void FillLinkTypes();

    void InsertRow(int P, TFilterRow* Row);
    int AppendRow(TFilterRow* Row);
    int IndexOf(const TFilterRow* Row) const { return int(FRows.indexOf(const_cast<TFilterRow*>(Row))); }
    int IndexOfDisplayIndex(int N) const;
    int PositionForDisplayIndex(int N) const;
    TFilterRow* InsertSimpleCondAt(int N);
    TFilterRow* InsertCustomCondAt(int N, TDSCondition* Condition);
    TFilterBracket* InsertBracketAt(int N);
    TFilterBracket* InsertNewBracket(int P);
    TFilterRow* AppendSimpleCond();
    TFilterRow* AppendCustomCond(TDSCondition* Condition);
    TFilterBracket* AppendBracket();
    TFilterRow* LastRow() const { return FRows.isEmpty() ? nullptr : FRows.last(); }
    int LastIndex() const;
    TFilterRow* FirstSimpleCond() const;
    // Takes the row at P out of the list, freeing it when Free; never frees this bracket itself,
    // so it is safe inside the bracket's own operations (see PruneEmptyBrackets).
    void RemoveRow(int P, bool Free);
    // Frees the row at P; under aoNonEmptyBrackets this bracket and its emptied parents go after.
    void DeleteRow(int P);
    void DeleteAllRows();
    void RefreshFieldLists();
    // 0 any field, 1 only fields that are not aggregates, 2 only aggregate fields.
    int AggregateMode() const;
    void SyncCheck();

    // Under aoNonEmptyBrackets: frees Bracket when it has no rows left and is not the root, then its
    // parent by the same rule, and so on upward. Callers run it last, with no member of a freed
    // bracket used afterwards.
    static void PruneEmptyBrackets(TFilterBracket* Bracket);

    void UpdateEnabled() override;
    void UpdateAndOr() override;
    bool IsAggregate() const override;
    void RefreshFieldList() override { RefreshFieldLists(); }
    void RefreshDependents(TFilterRow* Source, const QString& FieldName) override;

    bool IsBracketNode() const override { return true; }
    TFilterLinkType NodeLinkType() const override { return FLinkType; }
    int NodeCount() const override { return Count(); }
    TConditionNode* NodeAt(int I) const override { return FRows.at(I); }

protected:
    void ApplyDroppedValue(int N, TDropDownLabel* Sender) override;
    void MakeElements() override;

private:
    void ShowLinkType();

    TFilterLinkType FLinkType = fltAny;
    // The link types of the chooser's items, in their order.
    QList<TFilterLinkType> FOffered;
    bool FInEnableUpdate = false;
    bool FPropagate = true;
    QList<TFilterRow*> FRows;
};
