#pragma once

#include <QList>
#include <QString>

class TDSTable;
class TDSLink;
class TZCustomDBStructure;

// A table of the FROM clause with the link through which it joins a table before it (none for
// the first).
struct TResultTable {
    TDSTable* Table = nullptr;
    TDSLink* Link = nullptr;
};

// The tables a query needs, in join order: each table stands behind the table it joins.
class TRTableList {
public:
    int Count() const { return int(FItems.size()); }
    // Raises the list index error outside the list.
    const TResultTable& GetItem(int Index) const;
    void Clear() { FItems.clear(); }
    // The index of the new entry; code 2 when the link's other table is not in the list.
    int AddTable(TDSTable* Table, TDSLink* Link);
    // Table, with the tables on the model's path to it from the first table that are not in the
    // list yet; the first table added starts the list.
    void AddTableWithPath(TDSTable* Table, TZCustomDBStructure& Model);
    int IndexOfTable(const TDSTable* Table) const;
    // The entry whose table's alias equals Alias ignoring case; none when there is no such entry.
    // Valid until the list changes.
    const TResultTable* FindByAlias(const QString& Alias) const;

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    QList<TResultTable> FItems;
};
