#include "querypanel/query/resulttables.h"

#include "core/model/dbstructure.h"
#include "core/model/table.h"
#include "querypanel/query/queryerrors.h"
#include "rtl/exception.h"
#include "rtl/strutils.h"

const TResultTable& TRTableList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw rtl::EListError::IndexError(Index);
    return FItems[Index];
}

int TRTableList::AddTable(TDSTable* Table, TDSLink* Link)
{
    if (!Link) {
        FItems.append({Table, nullptr});
        return Count() - 1;
    }
    TDSTable* other = Link->Table1() == Table ? Link->Table2() : Link->Table1();
    const int index = IndexOfTable(other);
    if (index < 0)
        throw EZQueryPanelError::Create(qpeWrongLink);
    FItems.insert(index + 1, {Table, Link});
    return index + 1;
}

void TRTableList::AddTableWithPath(TDSTable* Table, TZCustomDBStructure& Model)
{
    if (Count() == 0) {
        AddTable(Table, nullptr);
        return;
    }
    if (FindByAlias(Table->Alias()))
        return;
    // The model's path is overwritten by the next search.
    const TDSTableList path = Model.FindPath(FItems.first().Table->Alias(), Table->Alias()).Tables();
    for (int i = 0; i + 1 < path.size(); ++i)
        if (!FindByAlias(path[i + 1]->Alias()))
            AddTable(path[i + 1], path[i]->FindLinkTo(path[i + 1]));
}

int TRTableList::IndexOfTable(const TDSTable* Table) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Table == Table)
            return i;
    return -1;
}

const TResultTable* TRTableList::FindByAlias(const QString& Alias) const
{
    for (const TResultTable& entry : FItems)
        if (rtl::SameText(entry.Table->Alias(), Alias))
            return &entry;
    return nullptr;
}
