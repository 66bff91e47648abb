#pragma once

#include "core/base/fieldtypes.h"
#include "core/base/objectlist.h"
#include "core/model/table.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class TZCustomDBStructure;
class TDSOperator;
class TDSFieldGroup;
class TDSValueEditor;

// What end users pick in the query panel: a column of one table (data field) or an SQL expression
// (virtual field), with its caption, type, operators and value editor.
class TDSField {
public:
    explicit TDSField(TZCustomDBStructure* Structure);
    // Frees the editor and leaves the group.
    ~TDSField();
    TDSField(const TDSField&) = delete;
    TDSField& operator=(const TDSField&) = delete;

    TZCustomDBStructure* Structure() const { return FStructure; }
    // Hands the item whole to Structure, the model that takes over the content of the one that read
    // it; nothing of it is copied, so nothing can be left behind.
    void MoveTo(TZCustomDBStructure* Structure);
    int ID() const { return FID; }
    void SetID(int Value);
    TZFieldKind Kind() const { return FKind; }
    void SetKind(TZFieldKind Value) { FKind = Value; }
    const QString& FieldExpr() const { return FFieldExpr; }
    // Data fields only (code 7 otherwise).
    void SetFieldName(const QString& Text);
    // Virtual fields only (code 8 otherwise); collects the tables the expression refers to.
    void SetExpression(const QString& Text);
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& Value);
    // A data field's table is entry 0; a virtual field lists the tables of its expression.
    TDSTableList& Tables() { return FTables; }
    const TDSTableList& Tables() const { return FTables; }
    // The alias.column texts of a virtual field's expression.
    QStringList& References() { return FReferences; }
    const QStringList& References() const { return FReferences; }
    bool Quoted() const { return FQuoted; }
    void SetQuoted(bool Value) { FQuoted = Value; }
    TFieldType FieldType() const { return FFieldType; }
    void SetFieldType(TFieldType Value) { FFieldType = Value; }
    int FieldSize() const { return FFieldSize; }
    void SetFieldSize(int Value) { FFieldSize = Value; }
    bool UIC() const { return FUIC; }
    // Switching it on gives a field without operators those of its type.
    void SetUseInConditions(bool Flag);
    bool UIR() const { return FUIR; }
    void SetUIR(bool Value) { FUIR = Value; }

    // 0 none, 1 text, 2 list, 3 custom, 4 SQL.
    uint8_t EditType() const { return FEditType; }
    void SetEditType(uint8_t Kind);
    TDSValueEditor* Editor() const { return FEditor.get(); }

    TDSFieldGroup* Group() const { return FGroup; }
    // Moves the field into Group; the root group stands for no named group.
    void SetGroup(TDSFieldGroup* Group);
    QString GetGroupName() const;
    QString GetFullCaption() const;

    const QList<TDSOperator*>& Operators() const { return FOperators; }
    // The model's operators whose applied types hold the field's type, in the model's order.
    void ResetOperators();
    int AddOperator(TDSOperator* Operator);
    // Code 6 when the model has no operator of that name.
    int AddOperatorByName(const QString& Name);
    void DeleteOperator(int Index);
    void RemoveOperator(TDSOperator* Operator);
    void MoveOperator(int From, int To);
    int IndexOfOperator(const TDSOperator* Operator) const;
    TDSOperator* GetOperator(int Index) const;
    int GetOperatorCount() const { return int(FOperators.size()); }

    QString GetFullName() const;
    QString GetQuotedName() const;
    QString GetSQLExpr() const;
    // Text as an SQL literal for the field's type: quoted for the model's quoted types.
    QString QuoteValue(const QString& Text) const;
    bool IsAggregate() const;

private:
    friend class TZCustomDBStructure;
    friend class TDSFieldGroup;

    // Runs a change of a key the model looks fields up by.
    template <typename F>
    void ChangeKey(F&& Change);
    void LeaveGroup();

    TZCustomDBStructure* FStructure;
    // Rank in the model's field list, given when the model appends the field; 0 outside it.
    quint64 FSeq = 0;
    int FID = 0;
    TZFieldKind FKind = zfkData;
    QString FFieldExpr;
    QString FDisplayName;
    TDSTableList FTables;
    QList<TDSOperator*> FOperators;
    QStringList FReferences;
    bool FQuoted = false;
    TFieldType FFieldType = ftUnknown;
    int FFieldSize = 0;
    uint8_t FEditType = 0;
    std::unique_ptr<TDSValueEditor> FEditor;
    TDSFieldGroup* FGroup = nullptr;
    bool FUIC = true;
    bool FUIR = true;
};

// Whether an SQL expression computes a total: it calls sum, count, max, min, avg or list (any
// letter case). Model fields and result columns answer by this one rule.
bool IsAggregateExpr(const QString& Expr);

// A plain list of fields that knows its model; it never frees them.
class TDSFieldList {
public:
    explicit TDSFieldList(TZCustomDBStructure* Structure) : FStructure(Structure) {}
    virtual ~TDSFieldList() = default;
    TDSFieldList(const TDSFieldList&) = delete;
    TDSFieldList& operator=(const TDSFieldList&) = delete;

    TZCustomDBStructure* Structure() const { return FStructure; }
    // Hands the item whole to Structure, the model that takes over the content of the one that read
    // it; nothing of it is copied, so nothing can be left behind.
    void MoveTo(TZCustomDBStructure* Structure) { FStructure = Structure; }
    int Count() const { return int(FItems.size()); }
    // Raises the list index error for an index outside the list.
    TDSField* GetItem(int Index) const;
    TDSField* operator[](int Index) const { return GetItem(Index); }
    int IndexOf(const TDSField* Field) const { return int(FItems.indexOf(const_cast<TDSField*>(Field))); }
    bool Contains(const TDSField* Field) const { return IndexOf(Field) >= 0; }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

    virtual int Add(TDSField* Field);
    // Index must lie in 0..Count.
    virtual void Insert(int Index, TDSField* Field);
    virtual void Delete(int Index);

private:
    TZCustomDBStructure* FStructure;
    QList<TDSField*> FItems;
};

// Fields shown together under a caption; every member has the group as its Group. The group does
// not own its fields.
class TDSFieldGroup : public TDSFieldList {
public:
    using TDSFieldList::TDSFieldList;
    // Leaves every member without a group.
    ~TDSFieldGroup() override;

    const QString& GroupName() const { return FGroupName; }
    void SetGroupName(const QString& Value) { FGroupName = Value; }

    int Add(TDSField* Field) override;
    void Insert(int Index, TDSField* Field) override;
    void Delete(int Index) override;

private:
    QString FGroupName;
};

// Inserts at Index clamped to the group's count.
void InsertFieldInGroup(TDSFieldGroup* Group, int Index, TDSField* Field);
// The field lives on without a group.
void RemoveFieldFromGroup(TDSFieldGroup* Group, int Index);
// Orders the group's fields by their display names, ignoring case as the model compares names;
// fields of equal names keep their order.
void SortGroupFields(TDSFieldGroup* Group);

// The model's named field groups; owns them, not their fields.
class TDSFieldGroupList : public TZObjectList<TDSFieldGroup> {
public:
    // The first named group holding Field, with Field's index in it; null and -1 when none.
    TDSFieldGroup* FindFieldGroup(const TDSField* Field, int& Index) const;
};
