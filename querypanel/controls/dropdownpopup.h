#pragma once

#include "querypanel/controls/dropdownlist.h"
#include "querypanel/controls/popupmenu.h"

// A chooser that drops down a popup menu under the label: named groups cascade as submenus, long
// lists break into columns of MaxItemCount items, or to fit the screen when MaxItemCount is 0.
class TDropDownPopup : public TDropDownList {
    Q_OBJECT
public:
    // Copied into the menu when the label gets its parent: set it before.
    int MaxItemCount() const { return FMaxItemCount; }
    void SetMaxItemCount(int Value) { FMaxItemCount = Value; }
    // The menu of the last drop-down; its items stay until the next one.
    TZPopupMenu* Menu() const { return FMenu; }

protected:
    void CreateDropDownControl() override;
    void DoDropDown() override;
    void HideDropDownControl() override;
    void AcceptValue() override {}
    bool GetDropDownVisible() override { return Dropped(); }

private:
    void BuildMenu();
    void ItemClick(TZMenuItem* Sender);

    QPointer<TZPopupMenu> FMenu;
    int FMaxItemCount = 0;
};
