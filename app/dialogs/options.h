#pragma once

#include "querypanel/panel/appearance.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TZQueryPanel;

// Puts Option into the panel's appearance options or takes it out.
void SetAppearanceOption(TZQueryPanel& Panel, TQPAppearanceOption Option, bool On);

// The options dialog: the panel's style and four of its appearance options.
class TdlgOptions : public QDialog {
    Q_OBJECT
public:
    explicit TdlgOptions(QWidget* Owner = nullptr);

    void LoadFromPanel(const TZQueryPanel& Panel);
    void SaveToPanel(TZQueryPanel& Panel) const;

    // The radio group's index: 0 "Groups", 1 "And/Or".
    int StyleIndex() const;
    void SetStyleIndex(int Index);

    QGroupBox* rgStyle = nullptr;
    QRadioButton* rbGroups = nullptr;
    QRadioButton* rbAndOr = nullptr;
    QGroupBox* gbApperance = nullptr;
    QCheckBox* cbShowCheckBoxes = nullptr;
    QCheckBox* cbFlatButtons = nullptr;
    QCheckBox* cbPopupFields = nullptr;
    QCheckBox* cbPopupValues = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;
};
