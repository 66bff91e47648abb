#pragma once

#include "querypanel/controls/dropdownlistbox.h"

#include <QListWidget>

// A list whose every row has a check box; Space toggles all selected rows together.
class TZCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TZCheckListBox(QWidget* Parent = nullptr);

    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void UpdateSelectionMode();

    bool FExtendedSelect = true;
    bool FMultiSelect = false;
};

// Chooses several values at once: the value is the comma text of the checked rows' values and the
// caption the comma text of their captions. A value names only entries that the caption shows.
class TDropDownCheckListBox : public TDropDownListBox {
    Q_OBJECT
protected:
    int GetListWidth(int MinWidth, const QStringList& Strings) override;

    void CreateDropDownControl() override;
    void DoDropDown() override;
    void AcceptValue() override;
    void ValueChanged() override;
};
