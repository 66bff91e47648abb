#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace rtl {

// The locale's number, date and time conventions as the date and number converters read them.
// Format strings use the run-time library's letters (yyyy, m, mm, d, dd, h, hh, n, nn, s, ss, ...).
struct FormatSettings {
    QChar DecimalSeparator = '.';
    QChar ThousandSeparator = ',';
    QChar DateSeparator = '/';
    QChar TimeSeparator = ':';
    QString ShortDateFormat = "m/d/yyyy";
    QString LongDateFormat = "dddd, mmmm d, yyyy";
    QString ShortTimeFormat = "h:nn";
    QString LongTimeFormat = "h:nn:ss";
    QString TimeAMString = "AM";
    QString TimePMString = "PM";
    // Money as Format's %m writes it: the symbol, its place (0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"), the
    // negative form (0 "($1)", 1 "-$1", ... 15 "(1 $)", the run-time library's numbering) and decimals.
    QString CurrencyString = "$";
    int CurrencyFormat = 0;
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;
    QStringList ShortMonthNames;  // 12 entries, January first
    QStringList LongMonthNames;
    QStringList ShortDayNames;  // 7 entries, Sunday first
    QStringList LongDayNames;

    // English names, "." decimals, month/day/four-digit-year dates.
    FormatSettings();
    // The conventions of a locale; the short date format always gets a four-digit year. The C
    // locale names no conventions of its own and gives the English defaults.
    static FormatSettings FromLocale(const QLocale& locale);

    // The digits of an amount placed with the currency symbol and the sign as CurrencyFormat and
    // NegCurrFormat say.
    QString PlaceCurrency(const QString& amount, bool negative) const;
};

// The program-wide settings; filled from the system locale by InitFormatSettings at start-up.
FormatSettings& formatSettings();
void InitFormatSettings();

// Puts the program-wide settings back on scope exit; tests and temporary changes use it.
class FormatSettingsScope {
public:
    FormatSettingsScope() : FSaved(formatSettings()) {}
    explicit FormatSettingsScope(const FormatSettings& replacement) : FSaved(formatSettings())
    {
        formatSettings() = replacement;
    }
    ~FormatSettingsScope() { formatSettings() = FSaved; }
    FormatSettingsScope(const FormatSettingsScope&) = delete;
    FormatSettingsScope& operator=(const FormatSettingsScope&) = delete;

private:
    FormatSettings FSaved;
};

// Sets the decimal separator to "." for the scope, as text files are written, and restores the
// previous one on exit, also when an exception leaves the scope.
class DotDecimalScope {
public:
    DotDecimalScope() : FSaved(formatSettings().DecimalSeparator) { formatSettings().DecimalSeparator = '.'; }
    ~DotDecimalScope() { formatSettings().DecimalSeparator = FSaved; }
    DotDecimalScope(const DotDecimalScope&) = delete;
    DotDecimalScope& operator=(const DotDecimalScope&) = delete;

private:
    QChar FSaved;
};

}  // namespace rtl
