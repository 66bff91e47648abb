#include "querypanel/controls/checklistbox.h"

#include "rtl/stringlist.h"

#include <QKeyEvent>

TZCheckListBox::TZCheckListBox(QWidget* Parent) : QListWidget(Parent)
{
    UpdateSelectionMode();
    connect(
        model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int First, int Last) {
            for (int row = First; row <= Last; ++row) {
                item(row)->setFlags(item(row)->flags() | Qt::ItemIsUserCheckable);
                if (!item(row)->data(Qt::CheckStateRole).isValid())
                    item(row)->setCheckState(Qt::Unchecked);
            }
        });
}

void TZCheckListBox::SetExtendedSelect(bool Value)
{
    FExtendedSelect = Value;
    UpdateSelectionMode();
}

void TZCheckListBox::SetMultiSelect(bool Value)
{
    FMultiSelect = Value;
    UpdateSelectionMode();
}

void TZCheckListBox::UpdateSelectionMode()
{
    setSelectionMode(!FMultiSelect ? SingleSelection : FExtendedSelect ? ExtendedSelection : MultiSelection);
}

void TZCheckListBox::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Space) {
        for (QListWidgetItem* row : selectedItems()) {
            if (row != currentItem())
                row->setCheckState(row->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        }
    }
    QListWidget::keyPressEvent(Event);
}

int TDropDownCheckListBox::GetListWidth(int MinWidth, const QStringList& Strings)
{
    return TDropDownListBox::GetListWidth(MinWidth, Strings) + 20;
}

void TDropDownCheckListBox::CreateDropDownControl()
{
    auto* list = new TZCheckListBox;
    list->SetMultiSelect(true);
    list->SetExtendedSelect(true);
    InstallListBox(list, false);
}

void TDropDownCheckListBox::DoDropDown()
{
    TDropDownListBox::DoDropDown();
    if (!ListBox())
        return;
    rtl::StringList chosen;
    chosen.SetCommaText(Value());
    for (int row = 0; row < ListBox()->count(); ++row) {
        if (chosen.IndexOfText(Values().value(RowIndex(ListBox(), row))) >= 0)
            ListBox()->item(row)->setCheckState(Qt::Checked);
    }
}

void TDropDownCheckListBox::AcceptValue()
{
    rtl::StringList values;
    rtl::StringList captions;
    for (int row = 0; row < ListBox()->count(); ++row) {
        if (ListBox()->item(row)->checkState() != Qt::Checked)
            continue;
        const int k = RowIndex(ListBox(), row);
        values.append(Values().value(k));
        captions.append(Items().value(k));
    }
    SetValue(values.CommaText());
    SetCaption(captions.CommaText());
}

void TDropDownCheckListBox::ValueChanged()
{
    rtl::StringList entries;
    entries.SetCommaText(Value());
    const rtl::StringList values(Values());
    rtl::StringList kept;
    rtl::StringList captions;
    for (const QString& entry : entries) {
        const int k = values.IndexOfText(entry);
        if (k < 0)
            continue;
        kept.append(entry);
        captions.append(Items().value(k));
    }
    // Entries that no choice stands for would reach the query unseen: they are dropped.
    if (kept.size() != entries.size())
        ReplaceValue(kept.CommaText());
    SetCaption(captions.CommaText());
}
