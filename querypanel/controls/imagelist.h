#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

// Pictures looked up by index, shared by the controls that show them (menu items of the choosers).
class TImageList : public QObject {
public:
    explicit TImageList(QObject* Parent = nullptr) : QObject(Parent) {}

    int Add(const QIcon& Image)
    {
        FImages.append(Image);
        return Count() - 1;
    }
    int Count() const { return int(FImages.size()); }
    // A null icon for an index outside the list, so a stale index shows no picture.
    QIcon Image(int Index) const { return Index >= 0 && Index < Count() ? FImages[Index] : QIcon(); }

private:
    QList<QIcon> FImages;
};
