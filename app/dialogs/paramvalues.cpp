#include "app/dialogs/paramvalues.h"

#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownedit.h"
#include "rtl/datetime.h"
#include "rtl/formatsettings.h"
#include "rtl/strutils.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The types whose conditions take their value from a date picker, as the query panel's do.
constexpr TFieldTypes DateTypes {ftDate, ftDateTime, ftTimeStamp};

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
    const bool date = DateTypes.Contains(Param.DataType);
    if (date || Param.DataType == ftTime) {
        auto* picker = new QDateTimeEdit(this);
        picker->setDisplayFormat(rtl::DateTimeFormatToQt(
            date ? TDropDownDateTimeEdit::DateFormat() : rtl::formatSettings().LongTimeFormat));
        picker->setCalendarPopup(date);
        rtl::TDateTime value = 0;
        if (!(date ? rtl::TryStrToDate(Param.Value, value) : rtl::TryStrToTime(Param.Value, value)))
            value = date ? rtl::Date() : rtl::Now();
        picker->setDateTime(rtl::ToQDateTime(value));
        return picker;
    }
    return new QLineEdit(Param.Value, this);
}

TParamValues TdlgParamValues::Values() const
{
    TParamValues values;
    for (int i = 0; i < FParams.size(); ++i) {
        QString& value = values[FParams[i].Name];
        if (auto* list = qobject_cast<QComboBox*>(FEditors[i])) {
            value = list->currentData().toString();
        } else if (auto* picker = qobject_cast<QDateTimeEdit*>(FEditors[i])) {
            const QDateTime moment = picker->dateTime();
            value = FParams[i].DataType == ftTime
                ? rtl::TimeToStr(
                    rtl::EncodeTime(moment.time().hour(), moment.time().minute(), moment.time().second(), 0))
                : rtl::FormatDateTime(TDropDownDateTimeEdit::DateFormat(),
                    rtl::EncodeDate(moment.date().year(), moment.date().month(), moment.date().day()));
        } else {
            value = static_cast<QLineEdit*>(FEditors[i])->text();
        }
    }
    return values;
}

void TdlgParamValues::btOKClick()
{
    if (!OnCheckValues || platform::Guarded([this] { OnCheckValues(Values()); }))
        accept();
}
