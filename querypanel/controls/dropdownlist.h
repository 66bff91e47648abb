#pragma once

#include "core/base/objectlist.h"
#include "querypanel/controls/dropdownlabel.h"

#include <QList>
#include <QStringList>

// The positions in a chooser's Items that one named group holds.
class TItemGroup : public QList<int> {
public:
    explicit TItemGroup(const QString& Name) : FName(Name) {}
    const QString& Name() const { return FName; }

private:
    QString FName;
};

// The groups of a chooser, in the order they were made; the list owns them.
class TItemGroupList : public TZObjectList<TItemGroup> {
public:
    TItemGroup* AddGroup(const QString& Name, int FirstIndex);
    // The first group whose name equals Name ignoring case; nullptr when there is none.
    TItemGroup* FindGroup(const QString& Name) const;
};

// A drop-down label choosing one of a list of captions, each standing for a stored value at the same
// position; the choices may be arranged in named groups. Its descendants drop down a popup menu, a
// list box or a check list; a bare one drops down nothing.
class TDropDownList : public TDropDownLabel {
    Q_OBJECT
public:
    const QStringList& Items() const { return FItems; }
    void SetItems(const QStringList& Value) { FItems = Value; }
    const QStringList& Values() const { return FValues; }
    void SetValues(const QStringList& Value) { FValues = Value; }
    const TItemGroupList& Groups() const { return FGroups; }
    int ItemIndex() const { return FItemIndex; }
    // Raises EDDLabelError "Index out of bounds" for an index outside -1 .. Values' count - 1.
    void SetItemIndex(int Value);
    bool SortList() const { return FSortList; }
    void SetSortList(bool Value) { FSortList = Value; }

    void AddItem(const QString& GroupName, const QString& ItemValue, const QString& ItemCaption);
    // Raises rtl::EListError, adding nothing, when ValueList is shorter than CaptionList.
    void AddItems(const QString& GroupName, const QStringList& ValueList, const QStringList& CaptionList);
    void ClearItems();

protected:
    void DoDropDown() override;
    void ValueChanged() override;

private:
    QStringList FItems;
    QStringList FValues;
    TItemGroupList FGroups;
    int FItemIndex = -1;
    bool FSortList = false;
};
