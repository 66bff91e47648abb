#include "app/dialogs/paramvalues.h"

#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownedit.h"
#include "rtl/strutils.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The types whose conditions take their value from a date editor, as the query panel's do.
constexpr TFieldTypes DateTypes {ftDate, ftDateTime, ftTimeStamp};

// Dates and times are typed as the panel's date editor takes them; -1 for the other types.
int EditKind(TFieldType Type)
{
    if (DateTypes.Contains(Type))
        return ekDate;
    return Type == ftTime ? ekTime : -1;
}

}  // namespace

TdlgParamValues::TdlgParamValues(const QList<TParam>& Params, const TSQLFormats& Formats, QWidget* Owner)
    : QDialog(Owner), FParams(Params)
{
    setObjectName(QStringLiteral("dlgParamValues"));
    setWindowTitle(QStringLiteral("Parameter values"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* fields = new QFormLayout;
    for (const TParam& param : FParams) {
        QWidget* editor = CreateEditor(param, Formats);
        auto* label = new QLabel(param.Caption, this);
        label->setBuddy(editor);
        fields->addRow(label, editor);
        FEditors.append(editor);
    }

    auto* buttons = new QDialogButtonBox(this);
    btOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    btOK->setDefault(true);
    btCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(btOK, &QPushButton::clicked, this, [this] { platform::Guarded([this] { btOKClick(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    if (!FEditors.isEmpty())
        FEditors.first()->setFocus();
}

QWidget* TdlgParamValues::CreateEditor(const TParam& Param, const TSQLFormats& Formats)
{
    if (Param.DataType == ftBoolean) {
        auto* list = new QComboBox(this);
        list->addItem(QStringLiteral("False"), Formats.FalseValue());
        list->addItem(QStringLiteral("True"), Formats.TrueValue());
        const bool on = rtl::SameText(Param.Value, Formats.TrueValue())
            || rtl::SameText(Param.Value, QStringLiteral("True"));
        list->setCurrentIndex(on ? 1 : 0);
        return list;
    }
    // Dates and times are typed as shown and read strictly on OK: a picker's sections took a typed
    // "2/28/1997" apart into another date without a word.
    if (const int kind = EditKind(Param.DataType); kind >= 0)
        return new QLineEdit(TDropDownDateTimeEdit::EditText(TDateTimeEditKind(kind), Param.Value), this);
    return new QLineEdit(Param.Value, this);
}

TParamValues TdlgParamValues::Values() const
{
    TParamValues values;
    for (int i = 0; i < FParams.size(); ++i) {
        QString& value = values[FParams[i].Name];
        if (auto* list = qobject_cast<QComboBox*>(FEditors[i]))
            value = list->currentData().toString();
        else
            value = static_cast<QLineEdit*>(FEditors[i])->text().trimmed();
    }
    return values;
}

void TdlgParamValues::btOKClick()
{
    for (int i = 0; i < FParams.size(); ++i) {
        const int kind = EditKind(FParams[i].DataType);
        if (kind < 0)
            continue;
        const QString typed = static_cast<QLineEdit*>(FEditors[i])->text().trimmed();
        if (!platform::Guarded(
                [&] { TDropDownDateTimeEdit::ReadTypedText(TDateTimeEditKind(kind), typed); })) {
            FEditors[i]->setFocus();
            return;
        }
    }
    if (!OnCheckValues || platform::Guarded([this] { OnCheckValues(Values()); }))
        accept();
}
