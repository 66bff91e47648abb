#pragma once

#include "core/base/objectlist.h"
#include "core/model/dbstructure.h"
#include "core/model/field.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <cstdint>

class TZCustomDBStructure;
class TQueryOwner;
class TRFieldList;

// One result column: an expression whose slots "@1", "@2", ... stand for model fields, with the
// caption users see, the alias SQL writes and a sort setting.
class TResultField {
public:
    explicit TResultField(TRFieldList* Owner);
    virtual ~TResultField() = default;
    TResultField(const TResultField&) = delete;
    TResultField& operator=(const TResultField&) = delete;

    TRFieldList* Owner() const { return FOwner; }
    // Field i is slot i + 1 of the formula.
    TDSFieldList& Fields() { return FFields; }
    const TDSFieldList& Fields() const { return FFields; }
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Text);
    const QString& Alias() const { return FAlias; }
    // A non-empty alias is made unique within the list.
    void SetAlias(const QString& Text);
    const QString& Formula() const { return FFormula; }
    // Fields whose slot the new formula no longer holds are dropped and the later slots renumbered.
    void SetFormula(const QString& Text);
    // 0 not sorted, 1 ascending, 2 descending.
    uint8_t Sorting() const { return FSorting; }
    void SetSorting(uint8_t Value);
    int ColumnNo() const { return FColumnNo; }
    void SetColumnNo(int Value) { FColumnNo = Value; }
    int SortOrder() const { return FSortOrder; }
    void SetSortOrder(int Value) { FSortOrder = Value; }

    void UpdateAlias();
    void SetDefaultCaption();
    QString GetExpression() const;
    QString GetSQLText() const;
    QString GetQuotedAlias() const;
    QString GetOrderName() const;
    bool IsAggregate() const;
    QString GetDisplayFormula() const;
    void DeleteFieldSlot(int Index);
    // Binds the model fields an SQL expression read back from text refers to.
    void SetFromExpression(const QString& SQLText);
    virtual void AssignTo(TResultField* Target) const;

private:
    TZCustomDBStructure* DBStruct() const;
    TQueryOwner* Panel() const;
    // Whether the alias is left out of SELECT because the column already carries that name.
    bool AliasIsColumnName() const;
    // The caption as an identifier: letters, digits after the first place and "_".
    QString IdentifierAlias(bool ASCIIOnly) const;

    TRFieldList* FOwner;
    TDSFieldList FFields;
    QString FCaption;
    QString FAlias;
    QString FFormula;
    uint8_t FSorting = 0;
    int FColumnNo = 0;
    int FSortOrder = 0;
};

// The result columns of a query, in SELECT order; owns them and tells the panel about changes.
class TRFieldList : public TZObjectList<TResultField> {
public:
    explicit TRFieldList(TZCustomDBStructure* DBStruct);

    TZCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TZCustomDBStructure* Value);
    TQueryOwner* Panel() const { return FPanel; }
    void SetPanel(TQueryOwner* Value) { FPanel = Value; }
    bool QuoteAliases() const { return FQuoteAliases; }
    void SetQuoteAliases(bool Value) { FQuoteAliases = Value; }
    bool ASCIIAliases() const { return FASCIIAliases; }
    void SetASCIIAliases(bool Value) { FASCIIAliases = Value; }
    // The list only carries sort settings: the query selects "*".
    bool JustSorting() const { return FJustSorting; }
    void SetJustSorting(bool Value) { FJustSorting = Value; }
    bool AutoAliases() const { return FAutoAliases; }
    void SetAutoAliases(bool Value) { FAutoAliases = Value; }
    // Format version of the result field text read last, in thousandths.
    int Version() const { return FVersion; }
    void SetVersion(int Value) { FVersion = Value; }

    // The result field text: [RFields] and one [RField<n>] section a field (resultfieldstext.cpp).
    void SaveToStrings(QStringList& Lines) const;
    // TextVersion in thousandths; 0 takes the text's own [RFields] Version (1.7 when it has none).
    // Without a data model only [RFields] is read.
    void LoadFromStrings(const QStringList& Lines, int TextVersion = 0);

    TResultField* CreateField(const QString& Formula, const QList<TDSField*>& Fields, const QString& Caption);
    TResultField* AddField(const QString& Formula, const QList<TDSField*>& Fields, const QString& Caption);
    TResultField* InsertNew(int Index);
    TResultField* InsertFieldFromSQL(
        int Index, const QString& Caption, const QString& Expression, uint8_t Sorting, int SortOrder);
    TResultField* AddFieldFromSQL(
        const QString& Caption, const QString& Expression, uint8_t Sorting, int SortOrder);
    QString UniqueAlias(const QString& Text) const;
    QString UniqueCaption(const QString& Text) const;
    void NumberColumns();
    QString GetCaptionsText() const;
    void UpdateAliases();
    int GetSortedCount() const;
    virtual void AssignTo(TRFieldList* Target) const;
    void Assign(const TRFieldList& Source) { Source.AssignTo(this); }

protected:
    void Changed() override;

private:
    QPointer<TZCustomDBStructure> FDBStruct;
    TQueryOwner* FPanel = nullptr;
    bool FQuoteAliases = false;
    bool FASCIIAliases = true;
    bool FJustSorting = true;
    bool FAutoAliases = true;
    int FVersion = 0;
};
