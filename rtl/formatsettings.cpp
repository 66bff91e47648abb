#include "rtl/formatsettings.h"

#include "rtl/datetime.h"
#include "rtl/strutils.h"

#include <array>
#include <utility>

namespace rtl {

namespace {

// "$" stands for the currency symbol, "1" for the amount.
// clang-format off
constexpr std::array<const char*, 4> PositiveCurrencyPatterns = {"$1", "1$", "$ 1", "1 $"};
constexpr std::array<const char*, 16> NegativeCurrencyPatterns = {
    "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
    "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)",
};
// clang-format on

// The character after the first run of the given field letters: the separator the locale puts
// between its fields. Direction marks are skipped; a letter or quote there means there is none.
QChar SeparatorAfter(const QString& pattern, const QString& fieldLetters, QChar fallback)
{
    qsizetype i = 0;
    while (i < pattern.size() && !fieldLetters.contains(pattern[i]))
        ++i;
    if (i == pattern.size())
        return fallback;
    const QChar field = pattern[i];
    while (i < pattern.size() && pattern[i] == field)
        ++i;
    while (i < pattern.size() && pattern[i].category() == QChar::Other_Format)
        ++i;
    if (i == pattern.size() || IsAsciiLetter(pattern[i]) || pattern[i] == '\'')
        return fallback;
    return pattern[i];
}

// The time format with the seconds after the minutes, as many digits as the minutes have ("h:n"
// gives "h:n:s"); quoted text is passed over.
QString WithSeconds(const QString& format)
{
    const qsizetype minutes = IndexOutsideQuotes(format, [&](qsizetype i) { return format[i] == u'n'; });
    if (minutes < 0)
        return format;
    const qsizetype digits = minutes + 1 < format.size() && format[minutes + 1] == u'n' ? 2 : 1;
    return QString(format).insert(minutes + digits, u':' + QString(digits, u's'));
}

// Blanks of every width as plain blanks, the locale's minus as "-", direction marks dropped, so a
// locale's money text can be compared with the patterns above.
QString PlainCurrencyText(const QString& text, const QLocale& locale)
{
    QString result = text;
    result.replace(locale.negativeSign(), QStringLiteral("-"));
    QString plain;
    for (QChar c : std::as_const(result)) {
        if (c.category() == QChar::Other_Format)
            continue;
        plain += c.isSpace() ? QChar(' ') : c;
    }
    return plain;
}

// The index of the first pattern that gives the locale's own text, or the fallback.
int FindCurrencyPattern(
    FormatSettings s, int FormatSettings::*field, int count, bool negative, const QString& text, int fallback)
{
    for (int i = 0; i < count; ++i) {
        s.*field = i;
        if (s.PlaceCurrency(QStringLiteral("1"), negative) == text)
            return i;
    }
    return fallback;
}

void CurrencyFromLocale(const QLocale& locale, FormatSettings& s)
{
    s.CurrencyString = locale.currencySymbol(QLocale::CurrencySymbol);
    // The currency's decimals show in the locale's text of one unit: "$1.00", "1,00 €", "￥1".
    const QString sample = locale.toCurrencyString(1.0);
    const qsizetype point = sample.lastIndexOf(locale.decimalPoint());
    s.CurrencyDecimals = 0;
    if (point >= 0) {
        qsizetype i = point + locale.decimalPoint().size();
        while (i < sample.size() && sample[i++].isDigit())
            ++s.CurrencyDecimals;
    }
    const QString positive = PlainCurrencyText(locale.toCurrencyString(1.0, s.CurrencyString, 0), locale);
    const QString negative = PlainCurrencyText(locale.toCurrencyString(-1.0, s.CurrencyString, 0), locale);
    s.CurrencyFormat = FindCurrencyPattern(
        s, &FormatSettings::CurrencyFormat, int(PositiveCurrencyPatterns.size()), false, positive, 0);
    s.NegCurrFormat = FindCurrencyPattern(
        s, &FormatSettings::NegCurrFormat, int(NegativeCurrencyPatterns.size()), true, negative, 1);
}

}  // namespace

FormatSettings::FormatSettings()
    : ShortMonthNames({"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}),
      LongMonthNames({"January", "February", "March", "April", "May", "June", "July", "August", "September",
          "October", "November", "December"}),
      ShortDayNames({"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"}),
      LongDayNames({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"})
{
}

FormatSettings FormatSettings::FromLocale(const QLocale& locale)
{
    FormatSettings s;
    if (locale.language() == QLocale::C)
        return s;
    if (!locale.decimalPoint().isEmpty())
        s.DecimalSeparator = locale.decimalPoint().at(0);
    if (!locale.groupSeparator().isEmpty())
        s.ThousandSeparator = locale.groupSeparator().at(0);
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    s.DateSeparator = SeparatorAfter(shortDate, QStringLiteral("dMy"), s.DateSeparator);
    s.TimeSeparator = SeparatorAfter(shortTime, QStringLiteral("hH"), s.TimeSeparator);
    s.ShortDateFormat = DateTimeFormatFromQt(shortDate, true);
    s.LongDateFormat = DateTimeFormatFromQt(locale.dateFormat(QLocale::LongFormat), false);
    s.ShortTimeFormat = DateTimeFormatFromQt(shortTime, false);
    // The long time is the short one with seconds: Qt's long forms add the time zone and unit words
    // ("14時05分09秒") that the time reader could not take back.
    s.LongTimeFormat = WithSeconds(s.ShortTimeFormat);
    s.TimeAMString = locale.amText();
    s.TimePMString = locale.pmText();
    for (int month = 1; month <= 12; ++month) {
        s.ShortMonthNames[month - 1] = locale.monthName(month, QLocale::ShortFormat);
        s.LongMonthNames[month - 1] = locale.monthName(month, QLocale::LongFormat);
    }
    // Qt counts Monday as 1 and Sunday as 7; the lists begin with Sunday.
    for (int day = 0; day < 7; ++day) {
        const int qtDay = day == 0 ? 7 : day;
        s.ShortDayNames[day] = locale.dayName(qtDay, QLocale::ShortFormat);
        s.LongDayNames[day] = locale.dayName(qtDay, QLocale::LongFormat);
    }
    CurrencyFromLocale(locale, s);
    return s;
}

QString FormatSettings::PlaceCurrency(const QString& amount, bool negative) const
{
    const char* pattern = negative ? NegativeCurrencyPatterns[qBound(0, NegCurrFormat, 15)]
                                   : PositiveCurrencyPatterns[qBound(0, CurrencyFormat, 3)];
    QString result;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            result += CurrencyString;
        else if (*p == '1')
            result += amount;
        else
            result += QLatin1Char(*p);
    }
    return result;
}

FormatSettings& formatSettings()
{
    static FormatSettings settings;
    return settings;
}

void InitFormatSettings()
{
    formatSettings() = FormatSettings::FromLocale(QLocale::system());
}

}  // namespace rtl
