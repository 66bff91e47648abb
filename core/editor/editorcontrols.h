#pragma once

#include "core/base/fieldtypes.h"

#include <QGroupBox>
#include <QListWidget>
#include <QStringList>
#include <QTreeWidget>

#include <functional>

class QButtonGroup;
class QSplitter;
class QToolButton;
class QVBoxLayout;

// The field types the editor offers for fields, operators and condition values, in the
// enumeration's order.
constexpr TFieldType EditorFieldTypes[]
    = {ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
        ftDateTime, ftAutoInc, ftMemo, ftFmtMemo, ftFixedChar, ftWideString, ftLargeint, ftTimeStamp};

// The index of Type in EditorFieldTypes, -1 for a type the editor does not offer.
int EditorTypeIndex(TFieldType Type);

// A flat tool button with its hint, added to the end of Parent's layout.
QToolButton* NewToolButton(QWidget* Parent, const QString& Text, const QString& Hint);
// A row of tool buttons.
QWidget* NewToolPanel(QWidget* Parent);
// Page split in two by Splitter; answers the layout of the left pane, a column.
QVBoxLayout* NewSplitPage(QWidget* Page, QSplitter*& Splitter);

// Small controls of the data model editor's pages.

// A box of radio buttons, one per item, answering the chosen item's index (-1 for none).
class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& Caption, const QStringList& Items, QWidget* Parent = nullptr);

    int ItemIndex() const;
    // Fires nothing.
    void SetItemIndex(int Index);
    // Run when the user picks an item.
    std::function<void()> OnClick;

private:
    QButtonGroup* FButtons;
};

// A tree or list whose drags, drops and keys go to its host window's handlers instead of Qt's own
// item moves, so the model decides where an item goes and the view follows it.
template <typename View>
class THostedDragView : public View {
public:
    using TDropHandler = std::function<void(QPoint Position)>;
    using TAcceptHandler = std::function<bool(QPoint Position)>;
    using TKeyHandler = std::function<bool(QKeyEvent* Event)>;

    // Whether a drag over a position may drop there; unset accepts everywhere.
    TAcceptHandler OnDragOver;
    TDropHandler OnDragDrop;
    // Answers true when the key was handled and must not reach the view.
    TKeyHandler OnKeyDown;
    std::function<void()> OnStartDrag;

    explicit THostedDragView(QWidget* Parent = nullptr);

    // An in-place editor is open.
    bool Editing() const { return this->state() == QAbstractItemView::EditingState; }

protected:
    void startDrag(Qt::DropActions SupportedActions) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
};

using TFieldTreeView = THostedDragView<QTreeWidget>;
using TDragListBox = THostedDragView<QListWidget>;
