#include "app/dialogs/datedialog.h"

#include "platform/exceptionguard.h"
#include "rtl/formatsettings.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int FirstYear = 1;
constexpr int LastYear = 9999;

}  // namespace

QString DateValueCaption(const QString& Value)
{
    rtl::TDateTime date;
    if (!rtl::TryStrToDate(Value, date))
        return QStringLiteral("_____");
    return rtl::FormatDateTime(QStringLiteral("dddddd"), date);
}

TDateDialog::TDateDialog(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("DateDialog"));
    setWindowTitle(QStringLiteral("Calendar"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    seYear = new QSpinBox(this);
    seYear->setRange(FirstYear, LastYear);
    cbMonth = new QComboBox(this);
    Calendar1 = new QCalendarWidget(this);
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setNavigationBarVisible(false);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setDateRange(QDate(FirstYear, 1, 1), QDate(LastYear, 12, 31));
    bbOk = new QPushButton(QStringLiteral("OK"), this);
    bbOk->setDefault(true);
    bbCancel = new QPushButton(QStringLiteral("Cancel"), this);

    connect(seYear, &QSpinBox::valueChanged, this, [this] { platform::Guarded([this] { seYearChange(); }); });
    connect(cbMonth, &QComboBox::activated, this, [this] { platform::Guarded([this] { cbMonthChange(); }); });
    connect(Calendar1, &QCalendarWidget::clicked, this, [this] { FollowCalendar(); });
    connect(Calendar1, &QCalendarWidget::activated, this, [this] { Calendar1DblClick(); });
    connect(bbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(seYear);
    top->addWidget(cbMonth, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbOk);
    buttons->addWidget(bbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Calendar1, 1);
    layout->addLayout(buttons);
    FormCreate();
}

void TDateDialog::FormCreate()
{
    cbMonth->addItems(rtl::formatSettings().LongMonthNames.mid(0, 12));
    Calendar1->setSelectedDate(QDate(2000, 1, 1));
    Calendar1->setCurrentPage(2000, 1);
    FollowCalendar();
}

void TDateDialog::SetDate(rtl::TDateTime Date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    rtl::DecodeDate(Date, year, month, day);
    const QDate date(std::clamp(year, FirstYear, LastYear), month, day);
    Calendar1->setSelectedDate(date);
    Calendar1->setCurrentPage(date.year(), date.month());
    FollowCalendar();
}

rtl::TDateTime TDateDialog::GetDate() const
{
    const QDate date = Calendar1->selectedDate();
    return rtl::EncodeDate(date.year(), date.month(), date.day());
}

void TDateDialog::MoveCalendar(int Year, int Month)
{
    const int year = std::clamp(Year, FirstYear, LastYear);
    const int month = std::clamp(Month, 1, 12);
    // 31 January becomes 29 February, not an invalid date.
    const int day = std::min(Calendar1->selectedDate().day(), QDate(year, month, 1).daysInMonth());
    Calendar1->setSelectedDate(QDate(year, month, day));
    Calendar1->setCurrentPage(year, month);
}

void TDateDialog::FollowCalendar()
{
    const QDate date = Calendar1->selectedDate();
    const QSignalBlocker yearBlocker(seYear);
    const QSignalBlocker monthBlocker(cbMonth);
    seYear->setValue(date.year());
    cbMonth->setCurrentIndex(date.month() - 1);
}

void TDateDialog::seYearChange()
{
    MoveCalendar(seYear->value(), Calendar1->selectedDate().month());
}

void TDateDialog::cbMonthChange()
{
    MoveCalendar(Calendar1->selectedDate().year(), cbMonth->currentIndex() + 1);
}

void TDateDialog::Calendar1DblClick()
{
    accept();
}
