#include "querypanel/querylist/querycombo.h"

#include "platform/exceptionguard.h"

void TZComboBaseLink::ItemChanged(int Index)
{
    if (Index < 0 || Index >= FCombo->count())
        return;
    FCombo->FUpdating = true;
    struct Reset {
        bool& Flag;
        ~Reset() { Flag = false; }
    } reset {FCombo->FUpdating};
    const int current = FCombo->currentIndex();
    FCombo->setItemText(Index, QueryBase()->Items(Index)->Name());
    FCombo->setCurrentIndex(current);
}

void TZComboBaseLink::ActiveItemChanged()
{
    FCombo->setCurrentIndex(QueryBase()->ItemIndex());
}

// The entries are rebuilt and the selection taken from the base, which may have moved the current
// item to another place.
void TZComboBaseLink::BaseChanged(uint8_t, int)
{
    FCombo->FillItems();
    FCombo->setCurrentIndex(QueryBase()->ItemIndex());
}

TZQueryCombo::TZQueryCombo(QWidget* Parent)
    : QComboBox(Parent), FLink(std::make_unique<TZComboBaseLink>(this))
{
    setEditable(false);
    // Only the user's choice: entries the link rewrites or selects report nothing.
    connect(this, &QComboBox::activated, this, [this] { platform::Guarded([this] { Change(); }); });
}

TZQueryCombo::~TZQueryCombo() = default;

void TZQueryCombo::SetQueryBase(TZQueryBase* Value)
{
    FLink->SetQueryBase(Value);
    if (!Value)
        return;
    if (Value->Active())
        FillItems();
    setCurrentIndex(Value->ItemIndex());
}

void TZQueryCombo::FillItems()
{
    const int current = currentIndex();
    clear();
    if (TZQueryBase* base = QueryBase())
        for (int i = 0; i < base->Count(); ++i)
            addItem(base->Items(i)->Name());
    if (current < count())
        setCurrentIndex(current);
}

void TZQueryCombo::Change()
{
    if (TZQueryBase* base = QueryBase(); base && !FUpdating && currentIndex() >= 0) {
        try {
            base->SetItemIndex(currentIndex());
        } catch (...) {
            // A refused choice (the previous query could not be saved) shows the query still current.
            setCurrentIndex(base->ItemIndex());
            throw;
        }
    }
    if (OnChange)
        OnChange(this);
}
