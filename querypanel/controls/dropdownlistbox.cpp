#include "querypanel/controls/dropdownlistbox.h"

#include "platform/exceptionguard.h"
#include "rtl/strutils.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <algorithm>
#include <vector>

void TDropDownCustomListBox::FindTopParent()
{
    FTopParent = parentWidget() ? parentWidget()->window() : nullptr;
}

QPoint TDropDownCustomListBox::MapToTop(const QPoint& P) const
{
    // Mapped at each use: a scrolling parent moves the label's parent within the window.
    return parentWidget()->mapTo(FTopParent, P);
}

TDropDownListBox::~TDropDownListBox()
{
    DisposeControl(FListBox);
}

void TDropDownListBox::CreateDropDownControl()
{
    InstallListBox(new QListWidget, true);
}

void TDropDownListBox::InstallListBox(QListWidget* ListBox, bool ClickAccepts)
{
    DisposeControl(FListBox);
    FindTopParent();
    FListBox = ListBox;
    FClickAccepts = ClickAccepts;
    ListBox->setParent(TopParent());
    ListBox->hide();
    ListBox->setLayoutDirection(layoutDirection());
    ListBox->setFrameShape(QFrame::Box);
    ListBox->setLineWidth(1);
    ListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox->resize(0, 0);
    ListBox->installEventFilter(this);
    ListBox->viewport()->installEventFilter(this);
}

int TDropDownListBox::RowIndex(const QListWidget* ListBox, int Row)
{
    return ListBox->item(Row)->data(Qt::UserRole).toInt();
}

int TDropDownListBox::GetListWidth(int MinWidth, const QStringList& Strings)
{
    int width = MinWidth;
    for (const QString& s : Strings)
        width = std::max(width, fontMetrics().horizontalAdvance(s));
    return width + 23;
}

void TDropDownListBox::SetListSorted(bool Sorted)
{
    if (!Sorted)
        return;
    // Ordered as the system compares captions, ignoring ASCII case, not by Qt's case-sensitive sort.
    std::vector<QListWidgetItem*> rows;
    while (FListBox->count() > 0)
        rows.push_back(FListBox->takeItem(0));
    std::stable_sort(rows.begin(), rows.end(), [](const QListWidgetItem* A, const QListWidgetItem* B) {
        return rtl::CompareText(A->text(), B->text()) < 0;
    });
    for (QListWidgetItem* row : rows)
        FListBox->addItem(row);
}

int TDropDownListBox::GetListItemHeight()
{
    return FListBox->count() > 0 ? FListBox->sizeHintForRow(0) : FListBox->fontMetrics().height();
}

void TDropDownListBox::DoDropDown()
{
    TDropDownList::DoDropDown();
    if (!FListBox)
        return;
    // The label may have moved to another window since the list was made.
    FindTopParent();
    if (FListBox->parentWidget() != TopParent())
        FListBox->setParent(TopParent());

    const int below = fontMetrics().height() + y() + 2;
    FListBox->clear();
    SetListSorted(false);
    for (int i = 0; i < Items().size(); ++i) {
        auto* row = new QListWidgetItem(Items()[i]);
        row->setData(Qt::UserRole, i);
        FListBox->addItem(row);
    }
    SetListSorted(SortList());

    const int labelTop = MapToTop(pos()).y();
    int listWidth = GetListWidth(width(), Items());
    QPoint at = MapToTop(QPoint(BiDiMode() == Qt::RightToLeft ? x() + width() - listWidth : x(), below));
    int listHeight = GetListItemHeight() * int(Items().size()) + 4;
    const int clientHeight = TopParent()->height();
    if (at.y() + listHeight >= clientHeight) {
        if (clientHeight - at.y() > labelTop)
            listHeight = clientHeight - at.y() - 2;
        else if (labelTop - 4 > listHeight)
            at.setY(labelTop - listHeight);
        else {
            at.setY(2);
            listHeight = labelTop - 4;
        }
    }
    FListBox->move(at);
    if (TopParent()->width() < listWidth + at.x())
        listWidth = TopParent()->width() - at.x() - 2;
    FListBox->resize(listWidth, listHeight);
    FListBox->raise();
    FListBox->show();
    FListBox->setFocus(Qt::OtherFocusReason);
    // No row is current, as the view makes the first one on getting the focus: the first Down
    // selects the first row.
    FListBox->setCurrentItem(nullptr);
}

void TDropDownListBox::AcceptValue()
{
    const QListWidgetItem* row = FListBox ? FListBox->currentItem() : nullptr;
    if (row && row->isSelected())
        SetItemIndex(row->data(Qt::UserRole).toInt());
}

void TDropDownListBox::HideDropDownControl()
{
    if (FListBox)
        FListBox->hide();
}

bool TDropDownListBox::GetDropDownVisible()
{
    return FListBox && !FListBox->isHidden();
}

void TDropDownListBox::BiDiModeChanged()
{
    TDropDownCustomListBox::BiDiModeChanged();
    if (FListBox)
        FListBox->setLayoutDirection(layoutDirection());
}

bool TDropDownListBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (!FListBox || (Watched != FListBox && Watched != FListBox->viewport()))
        return TDropDownCustomListBox::eventFilter(Watched, Event);
    bool consumed = false;
    platform::Guarded([&] {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
            if (FClickAccepts && Watched == FListBox->viewport()) {
                if (QListWidgetItem* row
                    = FListBox->itemAt(static_cast<QMouseEvent*>(Event)->position().toPoint()))
                    FListBox->setCurrentItem(row);
                consumed = true;
                CloseUp(true);
            }
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(Event)->key();
            if (Watched == FListBox
                && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
                consumed = true;
                CloseUp(key != Qt::Key_Escape);
            }
            break;
        }
        case QEvent::FocusOut:
            // Leaving the list closes it up, so the label is not left dropped with its list hidden
            // and the next click on it is not spent on closing up.
            if (Watched == FListBox && EndsEditing(Event) && Dropped())
                CloseUp(false);
            break;
        default:
            break;
        }
    });
    return consumed;
}
