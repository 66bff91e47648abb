#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

class TZCustomDBStructure;
class TDSLink;

// One table of a data model: its naming, quoting and SQL hints, the links it takes part in and
// its place on the design panel.
class TDSTable {
public:
    explicit TDSTable(TZCustomDBStructure* Structure);
    // Frees the table's links and the fields that use it, and takes the table out of every list
    // of its model.
    ~TDSTable();
    TDSTable(const TDSTable&) = delete;
    TDSTable& operator=(const TDSTable&) = delete;

    TZCustomDBStructure* Structure() const { return FStructure; }
    // Hands the item whole to Structure, the model that takes over the content of the one that read
    // it; nothing of it is copied, so nothing can be left behind.
    void MoveTo(TZCustomDBStructure* Structure) { FStructure = Structure; }
    const QString& DBName() const { return FDBName; }
    void SetDBName(const QString& Text) { FDBName = Text; }
    const QString& Name() const { return FName; }
    // Gives an empty alias the same text.
    void SetName(const QString& Text);
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& Text);
    const QString& Alias() const { return FAlias; }
    // Blanks become "_": an alias is one SQL word.
    void SetAlias(const QString& Text);
    const QString& LinksText() const { return FLinksText; }
    void SetLinksText(const QString& Text) { FLinksText = Text; }
    const QString& Hints() const { return FHints; }
    void SetHints(const QString& Text) { FHints = Text; }
    bool Quoted() const { return FQuoted; }
    void SetQuoted(bool Value) { FQuoted = Value; }
    const QRect& DsgnPos() const { return FDsgnPos; }
    void SetDsgnPos(const QRect& Value) { FDsgnPos = Value; }

    const QList<TDSLink*>& Links() const { return FLinks; }
    void AddLink(TDSLink* Link);
    int GetLinkCount() const { return int(FLinks.size()); }
    TDSLink* GetLink(int Index) const;
    // The first link between this table and Table; a link of a table to itself for Table == this.
    TDSLink* FindLinkTo(const TDSTable* Table) const;

    QString GetCaption() const;
    QString GetOwnerName() const;
    // The table as FROM names it, quoted or by its full name, without alias and hints.
    QString GetSQLTableName() const;
    // The reference for a FROM clause: GetSQLTableName, alias and hints.
    QString GetSQLName() const;
    // The alias as SQL names the table by it: a plain word as it stands, any other alias (a keyword,
    // a hyphen, a quote symbol) between the model's quote symbols.
    QString GetSQLAlias() const;
    QString GetFullTableName(const QString& QuotedName) const;
    // "Left,Top,Width,Height".
    QString GetDesignPos() const;
    void SetDesignPos(const QString& Text);

private:
    friend class TZCustomDBStructure;
    friend class TDSLink;

    // Runs a change of a key the model looks tables up by.
    template <typename F>
    void ChangeKey(F&& Change);
    // Sets the alias and whether SQL takes it as it stands.
    void StoreAlias(const QString& Text);

    TZCustomDBStructure* FStructure;
    // Rank in the model's table list, given when the model appends the table; 0 outside it.
    quint64 FSeq = 0;
    QString FDBName;
    QString FName;
    QString FDisplayName;
    QString FAlias;
    bool FAliasAsIs = false;
    QString FLinksText;
    QList<TDSLink*> FLinks;
    QString FHints;
    bool FQuoted = false;
    QRect FDsgnPos {0, 0, 0, 0};
};

// Whether SQL takes Text bare as a name: letters, digits and "_", not starting with a digit, and no
// word that SQLite or PostgreSQL reserves. Characters beyond ASCII count as letters, as both
// databases take them in a bare name.
bool IsPlainSQLName(const QString& Text);

// A plain list of tables; the model's own list is the only one whose tables the model frees.
class TDSTableList : public QList<TDSTable*> {
public:
    using QList<TDSTable*>::QList;

    // Raises the list index error for an index outside the list.
    TDSTable* GetItem(int Index) const;
    // Takes the entry out and frees its table, which leaves every list of its model.
    void DeleteAndFree(int Index);
};

// How a link joins its second table to its first.
enum TLinkType : uint8_t { ltInner, ltLeft, ltRight, ltFull };

// One join between two tables: pairs of operands with a comparison operator each.
// An operand "val:X" is the literal SQL value X; "fld:X" and any other text name a field.
class TDSLink {
public:
    TDSLink() = default;
    // Takes the link out of both tables and out of the model.
    ~TDSLink();
    TDSLink(const TDSLink&) = delete;
    TDSLink& operator=(const TDSLink&) = delete;

    TDSTable* Table1() const { return FTable1; }
    void SetTable1(TDSTable* Value) { FTable1 = Value; }
    TDSTable* Table2() const { return FTable2; }
    void SetTable2(TDSTable* Value) { FTable2 = Value; }
    const QStringList& FldName1() const { return FFldName1; }
    // Also gives every pair the operator "=".
    void SetFields1(const QStringList& List);
    const QStringList& FldName2() const { return FFldName2; }
    void SetFields2(const QStringList& List) { FFldName2 = List; }
    const QStringList& Operators() const { return FOperators; }
    void SetOperators(const QStringList& List) { FOperators = List; }
    TLinkType LinkType() const { return FLinkType; }
    void SetLinkType(TLinkType Value) { FLinkType = Value; }
    bool QuoteFields() const { return FQuoteFields; }
    void SetQuoteFields(bool Value) { FQuoteFields = Value; }

    void ResetOperators();
    QString GetCaption() const;
    // Mode 2 adds the outer-join markers " (+) " of Left and Right links; any other mode none.
    QString GetJoinCondition(int Mode) const;

private:
    TDSTable* FTable1 = nullptr;
    TDSTable* FTable2 = nullptr;
    QStringList FFldName1;
    QStringList FFldName2;
    QStringList FOperators;
    TLinkType FLinkType = ltInner;
    bool FQuoteFields = false;
};

// A chain of tables, each joined to the next by a link of the model: the answer of a join-path
// search.
class TDSPath {
public:
    explicit TDSPath(TZCustomDBStructure* Structure) : FStructure(Structure) {}

    TZCustomDBStructure* Structure() const { return FStructure; }
    const TDSTableList& Tables() const { return FTables; }
    void Add(TDSTable* Table) { FTables.append(Table); }
    int GetCount() const { return int(FTables.size()); }
    TDSTable* GetTable(int Index) const;
    TDSTable* GetLast() const { return FTables.isEmpty() ? nullptr : FTables.last(); }
    void Assign(const TDSPath& Path);

private:
    friend class TZCustomDBStructure;

    TZCustomDBStructure* FStructure;
    TDSTableList FTables;
};
