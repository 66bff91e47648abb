#pragma once

#include "querypanel/querylist/querybase.h"

class TZQueryPanel;

// The panel's observer of a query list: it loads the current query and gives the text to save.
class TZQPBaseLink : public TZQueryBaseLink {
public:
    explicit TZQPBaseLink(TZQueryPanel* Panel) : FPanel(Panel) {}

    void ItemChanged(int Index) override;
    void ActiveItemChanged() override;
    void BaseChanged(uint8_t Kind, int Index) override;
    bool SaveQuery(rtl::StringList& Lines) override;
    bool LoadQuery(const rtl::StringList& Lines) override;
    void QuerySaved() override;

private:
    TZQueryPanel* FPanel;
};
