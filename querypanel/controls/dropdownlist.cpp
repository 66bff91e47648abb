#include "querypanel/controls/dropdownlist.h"

#include "rtl/stringlist.h"
#include "rtl/strutils.h"

TItemGroup* TItemGroupList::AddGroup(const QString& Name, int FirstIndex)
{
    auto* group = new TItemGroup(Name);
    group->append(FirstIndex);
    Add(group);
    return group;
}

TItemGroup* TItemGroupList::FindGroup(const QString& Name) const
{
    for (TItemGroup* group : *this) {
        if (rtl::SameText(group->Name(), Name))
            return group;
    }
    return nullptr;
}

void TDropDownList::SetItemIndex(int Value)
{
    if (Value == FItemIndex)
        return;
    if (Value < -1 || Value >= FValues.size())
        throw EDDLabelError("Index out of bounds");
    FItemIndex = Value;
    if (Value == -1) {
        SetValue(QString());
        return;
    }
    SetCaption(FItems.value(Value));
    SetValue(FValues[Value]);
}

void TDropDownList::AddItem(const QString& GroupName, const QString& ItemValue, const QString& ItemCaption)
{
    const int index = int(FItems.size());
    FItems.append(ItemCaption);
    FValues.append(ItemValue);
    if (TItemGroup* group = FGroups.FindGroup(GroupName))
        group->append(index);
    else
        FGroups.AddGroup(GroupName, index);
}

void TDropDownList::AddItems(
    const QString& GroupName, const QStringList& ValueList, const QStringList& CaptionList)
{
    if (ValueList.size() < CaptionList.size())
        throw rtl::EListError::IndexError(ValueList.size());
    for (qsizetype i = 0; i < CaptionList.size(); ++i)
        AddItem(GroupName, ValueList[i], CaptionList[i]);
}

void TDropDownList::ClearItems()
{
    FItemIndex = -1;
    FGroups.Clear();
    FItems.clear();
    FValues.clear();
}

void TDropDownList::ValueChanged()
{
    if (Value().isEmpty()) {
        SetItemIndex(-1);
        return;
    }
    if (FItemIndex != -1 && FValues.value(FItemIndex) == Value())
        return;
    SetItemIndex(rtl::StringList(FValues).IndexOfText(Value()));
}

void TDropDownList::DoDropDown()
{
    if (FValues.isEmpty() || FGroups.Count() > 0)
        return;
    auto* group = new TItemGroup(QString());
    for (int i = 0; i < FValues.size(); ++i)
        group->append(i);
    FGroups.Add(group);
}
