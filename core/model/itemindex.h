#pragma once

#include <QList>
#include <QMap>

// Items of one ordered model list by a key, beside the list: the first item in list order that has
// a key is found in logarithmic time. Items are ranked by the sequence number the model gave them
// when it appended them, so an index stays right while items are deleted or change their keys.
template <typename T, typename K>
class TItemIndex {
public:
    void Insert(const K& Key, quint64 Seq, T* Item)
    {
        QList<TEntry>& entries = FMap[Key];
        qsizetype i = entries.size();
        while (i > 0 && entries[i - 1].Seq > Seq)
            --i;
        entries.insert(i, TEntry {Seq, Item});
    }
    void Remove(const K& Key, T* Item)
    {
        auto it = FMap.find(Key);
        if (it == FMap.end())
            return;
        it->removeIf([Item](const TEntry& entry) { return entry.Item == Item; });
        if (it->isEmpty())
            FMap.erase(it);
    }
    T* First(const K& Key) const
    {
        auto it = FMap.constFind(Key);
        return it == FMap.cend() ? nullptr : it->first().Item;
    }
    bool IsEmpty() const { return FMap.isEmpty(); }
    K LastKey() const { return FMap.lastKey(); }
    void Clear() { FMap.clear(); }

private:
    struct TEntry {
        quint64 Seq;
        T* Item;
    };
    QMap<K, QList<TEntry>> FMap;
};
