#pragma once

#include "querypanel/controls/dropdownlist.h"

class QListWidget;

// A chooser whose list opens on the top-level window, so that it is not clipped by the label's parent.
class TDropDownCustomListBox : public TDropDownList {
    Q_OBJECT
protected:
    virtual void FindTopParent();
    QWidget* TopParent() const { return FTopParent; }
    // A point of the label's parent in the top parent's coordinates.
    QPoint MapToTop(const QPoint& P) const;

private:
    QPointer<QWidget> FTopParent;
};

// Drops down a list of the captions under the label, or above it when there is more room there.
// A click on a row or Enter accepts, Esc discards, and so does leaving the list.
class TDropDownListBox : public TDropDownCustomListBox {
    Q_OBJECT
public:
    ~TDropDownListBox() override;

    QListWidget* ListBox() const { return FListBox; }

protected:
    virtual int GetListWidth(int MinWidth, const QStringList& Strings);
    virtual void SetListSorted(bool Sorted);
    virtual int GetListItemHeight();

    void CreateDropDownControl() override;
    void DoDropDown() override;
    void HideDropDownControl() override;
    void AcceptValue() override;
    bool GetDropDownVisible() override;
    void BiDiModeChanged() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

    // Places a new list on the top parent; with ClickAccepts a click on a row accepts it.
    void InstallListBox(QListWidget* ListBox, bool ClickAccepts);
    // The position in Items that a row stands for.
    static int RowIndex(const QListWidget* ListBox, int Row);

private:
    QPointer<QListWidget> FListBox;
    bool FClickAccepts = true;
};
