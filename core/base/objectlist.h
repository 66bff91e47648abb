#pragma once

#include "rtl/exception.h"

#include <QList>

#include <functional>

// A list that owns its objects: clearing or destroying it frees them. Every add, insert, delete
// and clear through its own operations fires OnChange and then, when the list is empty, OnEmpty.
// Remove, Extract, Exchange, Move and Pack fire nothing, as in a plain list.
template <typename T>
class TZObjectList {
public:
    using TNotifyEvent = std::function<void(TZObjectList* Sender)>;

    TNotifyEvent OnChange;
    TNotifyEvent OnEmpty;

    TZObjectList() = default;
    TZObjectList(const TZObjectList&) = delete;
    TZObjectList& operator=(const TZObjectList&) = delete;
    // Frees every object and fires OnChange and OnEmpty one last time. Descendants that override
    // Clear must clear in their own destructor: a base destructor cannot reach an override.
    virtual ~TZObjectList() { TZObjectList::Clear(); }

    int Count() const { return int(FItems.size()); }
    T* GetItem(int Index) const
    {
        CheckIndex(Index);
        return FItems[Index];
    }
    T* operator[](int Index) const { return GetItem(Index); }
    T* First() const { return GetItem(0); }
    T* Last() const { return GetItem(Count() - 1); }
    // Replaces the entry and frees the object it held, unless it is the same object; no event.
    void SetItem(int Index, T* Item)
    {
        CheckIndex(Index);
        T* old = FItems[Index];
        FItems[Index] = Item;
        if (old != Item)
            delete old;
    }

    int Add(T* Item)
    {
        FItems.append(Item);
        Changed();
        return Count() - 1;
    }
    void Insert(int Index, T* Item)
    {
        if (Index < 0 || Index > Count())
            throw rtl::EListError::IndexError(Index);
        FItems.insert(Index, Item);
        Changed();
    }
    // Takes the entry out without freeing its object: the caller owns it now.
    void Delete(int Index)
    {
        CheckIndex(Index);
        FItems.removeAt(Index);
        Changed();
    }
    virtual void DeleteAndFree(int Index)
    {
        CheckIndex(Index);
        FreeEntry(Index);
        Delete(Index);
    }
    virtual void Clear()
    {
        FreeObjects();
        FItems.clear();
        Changed();
    }
    // Frees every object and leaves nil entries behind; Count is unchanged and nothing fires.
    virtual void FreeObjects()
    {
        for (int i = 0; i < Count(); ++i)
            FreeEntry(i);
    }

    int IndexOf(const T* Item) const { return int(FItems.indexOf(const_cast<T*>(Item))); }
    bool Contains(const T* Item) const { return IndexOf(Item) >= 0; }
    // Takes the entry out without freeing it and without an event; the index it had, or -1.
    int Remove(const T* Item)
    {
        const int index = IndexOf(Item);
        if (index >= 0)
            FItems.removeAt(index);
        return index;
    }
    T* Extract(const T* Item) { return Remove(Item) >= 0 ? const_cast<T*>(Item) : nullptr; }
    void Exchange(int Index1, int Index2)
    {
        CheckIndex(Index1);
        CheckIndex(Index2);
        FItems.swapItemsAt(Index1, Index2);
    }
    void Move(int CurIndex, int NewIndex)
    {
        CheckIndex(CurIndex);
        CheckIndex(NewIndex);
        FItems.move(CurIndex, NewIndex);
    }
    void Pack() { FItems.removeAll(nullptr); }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

protected:
    virtual void DoEmpty()
    {
        if (OnEmpty)
            OnEmpty(this);
    }
    virtual void Changed()
    {
        if (OnChange)
            OnChange(this);
        if (Count() == 0)
            DoEmpty();
    }
    void CheckIndex(int Index) const
    {
        if (Index < 0 || Index >= Count())
            throw rtl::EListError::IndexError(Index);
    }

private:
    // The entry is nil before the object goes, so a destructor that looks itself up in the list
    // finds nothing to remove.
    void FreeEntry(int Index)
    {
        T* item = FItems[Index];
        FItems[Index] = nullptr;
        delete item;
    }

    QList<T*> FItems;
};
