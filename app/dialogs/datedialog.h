#pragma once

#include "rtl/datetime.h"

#include <QDialog>
#include <QString>

class QCalendarWidget;
class QComboBox;
class QPushButton;
class QSpinBox;

// The caption of a date value: the value read in the locale's short date form and shown as the
// locale's long date, or "_____" when it is no date.
QString DateValueCaption(const QString& Value);

// The calendar dialog: year, month and a month's page of days; a double click on a day chooses it.
// Changing the year or the month keeps the day, clamped to the new month's last day; the year
// stays within 1 to 9999.
class TDateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDateDialog(QWidget* Owner = nullptr);

    void SetDate(rtl::TDateTime Date);
    rtl::TDateTime GetDate() const;

    void seYearChange();
    void cbMonthChange();
    void Calendar1DblClick();

    QSpinBox* seYear = nullptr;
    QComboBox* cbMonth = nullptr;
    QCalendarWidget* Calendar1 = nullptr;
    QPushButton* bbOk = nullptr;
    QPushButton* bbCancel = nullptr;

private:
    void FormCreate();
    // The calendar shows Year/Month with the day kept within that month.
    void MoveCalendar(int Year, int Month);
    // The year and month controls follow a day the user picked on the calendar.
    void FollowCalendar();
};
