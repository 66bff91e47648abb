#include "querypanel/panel/panelbaselink.h"

#include "querypanel/panel/querypanel.h"

namespace {

QStringList DescriptionLines(const TZQueryItem& Item)
{
    rtl::StringList lines;
    lines.SetText(Item.Description());
    return lines;
}

}  // namespace

void TZQPBaseLink::ItemChanged(int Index)
{
    if (Index != QueryBase()->ItemIndex())
        return;
    const TZQueryItem* item = QueryBase()->CurrentItem();
    FPanel->SetDescription(DescriptionLines(*item));
    FPanel->SetQueryName(item->Name());
    FPanel->Changed();
}

void TZQPBaseLink::ActiveItemChanged()
{
    if (QueryBase()->ItemIndex() != -1)
        FPanel->LoadCurrentQuery();
}

// The base tells of the current query's deletion with no item current.
void TZQPBaseLink::BaseChanged(uint8_t Kind, int)
{
    if (Kind == bkDeleted && QueryBase()->ItemIndex() == -1)
        FPanel->Clear();
}

bool TZQPBaseLink::SaveQuery(rtl::StringList& Lines)
{
    FPanel->SaveToStrings(Lines);
    return true;
}

void TZQPBaseLink::QuerySaved()
{
    FPanel->SetModified(false);
}

bool TZQPBaseLink::LoadQuery(const rtl::StringList& Lines)
{
    FPanel->LoadFromStrings(Lines);
    return true;
}

TZQueryBase* TZQueryPanel::QueryBase() const
{
    return FQueryBaseLink->QueryBase();
}

void TZQueryPanel::SetQueryBase(TZQueryBase* Value)
{
    FQueryBaseLink->SetQueryBase(Value);
    if (Value && Value->Active())
        LoadCurrentQuery();
}

void TZQueryPanel::LoadCurrentQuery()
{
    TZQueryBase* base = QueryBase();
    TZQueryItem* item = base ? base->CurrentItem() : nullptr;
    if (!item)
        return;
    // The list names the file in what reading or loading it raises.
    item->LoadText([this, item](const rtl::StringList& Lines) {
        BeginUpdate();
        struct Finish {
            TZQueryPanel* Panel;
            ~Finish()
            {
                Panel->EndUpdate();
                Panel->SetModified(false);
            }
        } finish {this};
        LoadFromStrings(Lines);
        SetQueryName(item->Name());
        SetDescription(DescriptionLines(*item));
    });
}
