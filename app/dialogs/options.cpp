#include "app/dialogs/options.h"

#include "querypanel/panel/querypanel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void SetAppearanceOption(TZQueryPanel& Panel, TQPAppearanceOption Option, bool On)
{
    TQPAppearanceOptions options = Panel.Appearance().Options();
    if (On)
        options.Include(Option);
    else
        options.Exclude(Option);
    Panel.Appearance().SetOptions(options);
}

TdlgOptions::TdlgOptions(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("dlgOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    rgStyle = new QGroupBox(QStringLiteral("Style"), this);
    rbGroups = new QRadioButton(QStringLiteral("Groups"), rgStyle);
    rbAndOr = new QRadioButton(QStringLiteral("And/Or"), rgStyle);
    auto* styleLayout = new QHBoxLayout(rgStyle);
    styleLayout->addWidget(rbGroups);
    styleLayout->addWidget(rbAndOr);

    gbApperance = new QGroupBox(QStringLiteral("Apperance options"), this);
    cbShowCheckBoxes = new QCheckBox(QStringLiteral("Show check box near condition"), gbApperance);
    cbFlatButtons = new QCheckBox(QStringLiteral("Flat buttons"), gbApperance);
    cbPopupFields = new QCheckBox(QStringLiteral("Show fields list in popup menu"), gbApperance);
    cbPopupValues = new QCheckBox(QStringLiteral("Show values list in popup menu"), gbApperance);
    auto* optionsLayout = new QVBoxLayout(gbApperance);
    for (QCheckBox* box : {cbShowCheckBoxes, cbFlatButtons, cbPopupFields, cbPopupValues})
        optionsLayout->addWidget(box);

    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(rgStyle);
    left->addWidget(gbApperance);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    SetStyleIndex(0);
}

int TdlgOptions::StyleIndex() const
{
    return rbAndOr->isChecked() ? 1 : 0;
}

void TdlgOptions::SetStyleIndex(int Index)
{
    (Index == 1 ? rbAndOr : rbGroups)->setChecked(true);
}

void TdlgOptions::LoadFromPanel(const TZQueryPanel& Panel)
{
    const TQPAppearance& appearance = Panel.Appearance();
    SetStyleIndex(appearance.Style() == psAndOr ? 1 : 0);
    const TQPAppearanceOptions options = appearance.Options();
    cbShowCheckBoxes->setChecked(options.Contains(aoShowCheckBoxes));
    cbFlatButtons->setChecked(options.Contains(aoFlatButtons));
    cbPopupFields->setChecked(options.Contains(aoPopupField));
    cbPopupValues->setChecked(options.Contains(aoPopupValue));
}

void TdlgOptions::SaveToPanel(TZQueryPanel& Panel) const
{
    Panel.Appearance().SetStyle(StyleIndex() == 1 ? psAndOr : psGroups);
    SetAppearanceOption(Panel, aoShowCheckBoxes, cbShowCheckBoxes->isChecked());
    SetAppearanceOption(Panel, aoFlatButtons, cbFlatButtons->isChecked());
    SetAppearanceOption(Panel, aoPopupField, cbPopupFields->isChecked());
    SetAppearanceOption(Panel, aoPopupValue, cbPopupValues->isChecked());
}
