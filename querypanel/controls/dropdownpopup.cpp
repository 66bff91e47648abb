#include "querypanel/controls/dropdownpopup.h"

void TDropDownPopup::CreateDropDownControl()
{
    delete FMenu;
    FMenu = new TZPopupMenu(this);
    FMenu->SetFitToScreen(FMaxItemCount == 0);
    FMenu->SetBiDiMode(BiDiMode());
}

void TDropDownPopup::BuildMenu()
{
    const auto caption = [](const QString& Text) { return QString(Text).replace("&", "&&"); };
    TZMenuItem& top = FMenu->Items();
    top.Clear();
    FMenu->SetImages(Images());
    int headers = 0;
    for (const TItemGroup* group : Groups()) {
        TZMenuItem* parent = &top;
        if (!group->Name().isEmpty()) {
            parent = top.Add(caption(group->Name()));
            if (group->Name() != "-")
                parent->SetImageIndex(GetGroupImageIndex(group->Name()));
            if (FMaxItemCount > 0 && ++headers > FMaxItemCount) {
                parent->SetBreak(mbBarBreak);
                headers = 1;
            }
        }
        int count = 0;
        for (int k : *group) {
            TZMenuItem* item = parent->Add(caption(Items().value(k)));
            if (Items().value(k) != "-")
                item->SetImageIndex(GetItemImageIndex(group->Name(), Items().value(k)));
            item->SetTag(k);
            item->OnClick = [this](TZMenuItem* Sender) { ItemClick(Sender); };
            if (FMaxItemCount > 0 && ++count > FMaxItemCount) {
                item->SetBreak(mbBarBreak);
                count = 1;
            }
        }
    }
}

void TDropDownPopup::DoDropDown()
{
    TDropDownList::DoDropDown();
    if (!FMenu)
        return;
    BuildMenu();
    const bool rightToLeft = BiDiMode() == Qt::RightToLeft;
    const QPoint local(rightToLeft ? x() + width() : x(), y() + height());
    const QPoint at = parentWidget()->mapToGlobal(local);
    QPointer<TDropDownPopup> self(this);
    FMenu->Popup(at.x(), at.y());
    if (self && Dropped())
        CloseUp(false);
}

void TDropDownPopup::ItemClick(TZMenuItem* Sender)
{
    SetItemIndex(Sender->Tag());
    CloseUp(true);
}

void TDropDownPopup::HideDropDownControl()
{
    if (FMenu)
        FMenu->Close();
}
