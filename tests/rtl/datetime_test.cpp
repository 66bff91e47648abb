#include "rtl/datetime.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rtl;

namespace {

// 31 December 2003, 14:05:09.007, a Wednesday.
const TDateTime Sample = EncodeDate(2003, 12, 31) + EncodeTime(14, 5, 9, 7);

// Day zero is 30 December 1899 and the calendar runs from 1 to 9999; before day zero the fraction
// still counts forward from midnight (-1.25 is 29 December, 06:00), and a time a hair before
// midnight rounds into the next day instead of showing 24:00.
TEST(DateTime, DaysAndTimeSinceDayZero)
{
    const std::pair<TDateTime, QDateTime> cases[] = {{0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {2, QDateTime(QDate(1900, 1, 1), QTime(0, 0))}, {-1, QDateTime(QDate(1899, 12, 29), QTime(0, 0))},
        {-693593, QDateTime(QDate(1, 1, 1), QTime(0, 0))},
        {2958465, QDateTime(QDate(9999, 12, 31), QTime(0, 0))},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {36526 + (86400000 - 0.4) / 86400000, QDateTime(QDate(2000, 1, 2), QTime(0, 0))},
        {Sample, QDateTime(QDate(2003, 12, 31), QTime(14, 5, 9, 7))}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ToQDateTime(value), expected) << value;
        int y, m, d, h, n, s, ms;
        DecodeDate(value, y, m, d);
        DecodeTime(value, h, n, s, ms);
        EXPECT_EQ(QDateTime(QDate(y, m, d), QTime(h, n, s, ms)), expected) << value;
        if (value == std::floor(value)) {
            EXPECT_EQ(EncodeDate(y, m, d), value);
        }
    }
    EXPECT_EQ(FromQDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    EXPECT_EQ(DayOfWeek(-1.5), 6);  // Friday 29 December 1899, noon
    EXPECT_EQ(DayOfWeek(Sample), 4);
    TDateTime value;
    EXPECT_FALSE(TryEncodeDate(2001, 2, 29, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_FALSE(ToQDateTime(1e300).isValid());
}

// "m" after an hour means minutes, quoted text is literal, "c" drops a midnight time, and
// formats that name each other stop instead of recursing; the text reads back.
TEST(FormatDateTime, Letters)
{
    FormatSettings fs;
    fs.DateSeparator = '.';
    fs.TimeSeparator = '-';
    fs.ShortDateFormat = "d/m/yy";
    fs.LongDateFormat = "dddd d mmmm yyyy";
    fs.LongTimeFormat = "hh:nn:ss";
    FormatSettingsScope scope(fs);
    const std::pair<const char*, const char*> cases[] = {{"yyyy-mm-dd", "2003-12-31"}, {"d/m/yy", "31.12.03"},
        {"hh:mm:ss", "14-05-09"}, {"hh 'h' mm", "14 h 05"}, {"hh x mm", "14 x 12"},
        {"mmm mmmm ddd dddd", "Dec December Wed Wednesday"}, {"h:nn am/pm|AM/PM|a/p|ampm", "2-05 pm|PM|p|PM"},
        {"zzz z", "007 7"}, {"\"yyyy\" 'mm' yyyy", "yyyy mm 2003"},
        {"ddddd|dddddd", "31.12.03|Wednesday 31 December 2003"}, {"t|tt", "14-05|14-05-09"},
        {"", "31.12.03 14-05-09"}, {"'open", "open"}};
    for (const auto& [format, text] : cases)
        EXPECT_EQ(FormatDateTime(format, Sample), text) << format;
    EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(0, 30, 0, 0)), "12-30 AM");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2003, 12, 31) + EncodeTime(0, 0, 0, 500)), "31.12.03");

    // What a format writes it reads: month and day names in any case, a named day only when it is the
    // date's, nested formats as the settings have them, "c" with or without its time.
    const TDateTime day = EncodeDate(2003, 12, 31);
    const TDateTime seconds = day + EncodeTime(14, 5, 9, 0);
    const struct {
        const char *Format, *Text;
        TDateTime Value;  // -1: refused
    } reads[] = {{"mmm d, yyyy", "Dec 31, 2003", day}, {"mmmm d, yyyy", "DECEMBER 31, 2003", day},
        {"ddd d mmm yyyy hh:nn", "Wed 31 Dec 2003 14-05", day + EncodeTime(14, 5, 0, 0)},
        {"dddd, yyyy-mm-dd", "Thursday, 2003-12-31", -1}, {"mmm d, yyyy", "Dez 31, 2003", -1},
        {"mmmm d, yyyy", "Dec 31, 2003", -1}, {"dddddd tt", "Wednesday 31 December 2003 14-05-09", seconds},
        {"c", "31.12.03 14-05-09", seconds}, {"c", "31.12.03", day},
        {"\"on\" ddddd 'at' t", "on 31.12.03 at 14-05", day + EncodeTime(14, 5, 0, 0)},
        {"h:nn AM/PM", "2-05 pm", EncodeTime(14, 5, 0, 0)}};
    for (const auto& r : reads) {
        TDateTime read = -1;
        EXPECT_EQ(TryReadFormattedDateTime(r.Format, r.Text, read), r.Value >= 0) << r.Text;
        if (r.Value >= 0) {
            EXPECT_EQ(read, r.Value) << r.Text;
        }
    }
    formatSettings().ShortDateFormat = "c";
    formatSettings().LongTimeFormat = "tt";
    EXPECT_EQ(FormatDateTime("c", Sample).trimmed(), "");
}

// Each locale's patterns become the run-time letters (literal text quoted, am/pm first, "." between
// hours and minutes), and whatever a locale writes it reads back.
TEST(FormatDateTime, LocalesWriteWhatTheyRead)
{
    const TDateTime value = EncodeDate(2003, 12, 31) + EncodeTime(14, 5, 9, 0);
    const struct {
        const char *Locale, *Date, *Time, *LongDate;
    } cases[] = {{"en_US", "12/31/2003", "2:05:09 PM", "Wednesday, December 31, 2003"},
        {"de_DE", "31.12.2003", "14:05:09", "Mittwoch, 31. Dezember 2003"},
        {"es_ES", "31/12/2003", "14:05:09", "mi\xC3\xA9rcoles, 31 de diciembre de 2003"},
        {"fi_FI", "31.12.2003", "14.05.09", "keskiviikkona 31. joulukuuta 2003"},
        {"ko_KR", "2003. 12. 31.", "\xEC\x98\xA4\xED\x9B\x84 2:05:09",
            "2003\xEB\x85\x84 12\xEC\x9B\x94 31\xEC\x9D\xBC \xEC\x88\x98\xEC\x9A\x94\xEC\x9D\xBC"}};
    for (const auto& c : cases) {
        FormatSettingsScope scope(FormatSettings::FromLocale(QLocale(c.Locale)));
        EXPECT_EQ(DateToStr(value), QString::fromUtf8(c.Date));
        EXPECT_EQ(TimeToStr(value), QString::fromUtf8(c.Time));
        EXPECT_EQ(DateTimeToStr(value), QString::fromUtf8(c.Date) + " " + QString::fromUtf8(c.Time));
        EXPECT_EQ(FormatDateTime("dddddd", value), QString::fromUtf8(c.LongDate));
        EXPECT_EQ(StrToDateTime(DateTimeToStr(value)), value) << c.Date;
        EXPECT_EQ(StrToDate(DateToStr(value)), EncodeDate(2003, 12, 31)) << c.Date;
    }
}

// Dates and times the program writes in the locale's forms are read back when a query is built or
// saved; the readers took numbers by field order only and refused a form with literal text in it
// ("28.02.1997 г.", "14 h 05 09"), so no query holding a date could be built in such a locale.
TEST(FormatDateTime, EveryLocaleReadsItsOwnDatesAndTimes)
{
    const TDateTime dates[] = {EncodeDate(1997, 2, 28), EncodeDate(2001, 12, 31), EncodeDate(1900, 1, 1)};
    const TDateTime times[] = {EncodeTime(14, 5, 9, 0), 0, EncodeTime(23, 59, 59, 0)};
    QStringList failed;
    for (const QLocale& locale :
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        FormatSettingsScope scope(FormatSettings::FromLocale(locale));
        for (const TDateTime date : dates) {
            for (const TDateTime time : times) {
                TDateTime read = -1;
                const QString both = DateTimeToStr(date + time);
                if (!TryStrToDateTime(both, read) || read != date + time)
                    failed << locale.name() + ": " + both;
                const QString alone = time == 0 ? DateToStr(date) : TimeToStr(time);
                if (!(time == 0 ? TryStrToDate(alone, read) : TryStrToTime(alone, read))
                    || read != (time == 0 ? date : time))
                    failed << locale.name() + ": " + alone;
            }
        }
    }
    EXPECT_TRUE(failed.isEmpty()) << failed.join(u'\n').toStdString();
}

// The date picker shows what its label shows, and a locale's pattern keeps its meaning in the
// run-time letters: each format writes the same text through Qt as through FormatDateTime, also
// after going to the other letters and back. Guards against literal runs such as ", " or ". "
// quoted piece by piece, where Qt reads the quotes between them as a quote character.
TEST(DateTimeFormatQt, BothWaysWriteTheSameText)
{
    const QDateTime qtSample = ToQDateTime(Sample);
    FormatSettings separators;
    separators.DateSeparator = '.';
    separators.TimeSeparator = '-';
    {
        FormatSettingsScope scope(separators);
        for (const char* format : {"dd/mm/yyyy", "m/d/yy", "d-mmm-yyyy", "hh:nn:ss", "h:mm:ss", "h:nn ampm",
                 "yyyy/mm/dd hh:nn", "mm\"/\"dd\"/\"yyyy", "dddd, mmmm d, yyyy", "hh 'h' nn",
                 "\"at\" hh.nn.ss.zzz", "yyyy. mm. dd.", "'o''clock' h"}) {
            const QString text = FormatDateTime(format, Sample);
            EXPECT_EQ(qtSample.toString(DateTimeFormatToQt(format)), text) << format;
            EXPECT_EQ(FormatDateTime(DateTimeFormatFromQt(DateTimeFormatToQt(format), false), Sample), text)
                << format;
        }
    }
    FormatSettingsScope scope {FormatSettings()};
    for (const char* pattern :
        {"dd.MM.yyyy", "M/d/yy", "h:mm AP", "HH:mm:ss", "yyyy-MM-dd'T'HH:mm", "d 'de' MMMM 'de' yyyy",
            "dddd, d. MMMM yyyy", "hh 'o''clock'", "MMM d, yyyy h:mm:ss.zzz", "yyyy. MM. dd."}) {
        const QString text = qtSample.toString(pattern);
        EXPECT_EQ(FormatDateTime(DateTimeFormatFromQt(pattern, false), Sample), text) << pattern;
        EXPECT_EQ(qtSample.toString(DateTimeFormatToQt(DateTimeFormatFromQt(pattern, false))), text)
            << pattern;
    }
}

// Fields are read in the order of the short date format; a missing year is this year; two-digit
// years fall within fifty years of now.
TEST(StrToDate, ByFieldOrder)
{
    const int year = QDate::currentDate().year();
    const struct {
        const char *Format, *Text;
        char Separator;
        int Year, Month, Day;  // Year 0: this year
    } valid[]
        = {{"m/d/yyyy", "12/31/2003", '/', 2003, 12, 31}, {"m/d/yyyy", " 1 / 2 / 2003 ", '/', 2003, 1, 2},
            {"m/d/yyyy", "1/2/2003/", '/', 2003, 1, 2}, {"m/d/yyyy", "12/31", '/', 0, 12, 31},
            {"dd.mm.yyyy", "1.2.03", '.', 2003, 2, 1}, {"dd.mm.yyyy", "31.12", '.', 0, 12, 31},
            {"yyyy/dd/mm", "2003/31/12", '/', 2003, 12, 31}, {"m/d/yyyy", "1/1/0074", '/', 74, 1, 1}};
    for (const auto& c : valid) {
        FormatSettings fs;
        fs.ShortDateFormat = c.Format;
        fs.DateSeparator = c.Separator;
        FormatSettingsScope scope(fs);
        EXPECT_EQ(StrToDate(c.Text), EncodeDate(c.Year ? c.Year : year, c.Month, c.Day)) << c.Text;
    }
    FormatSettingsScope scope {FormatSettings()};
    for (const int y : {year, year + 49, year - 50, year - 51}) {
        int ry, m, d;
        DecodeDate(StrToDate(QStringLiteral("1/1/%1").arg(y % 100, 2, 10, QChar('0'))), ry, m, d);
        EXPECT_EQ(ry, y < year - 50 ? y + 100 : y) << y;
    }
    for (const char* text : {"", "12", "2/30/2003", "12-31-2003", "12/31/2003 x", "1/2/3/4", "12/31/20035"}) {
        TDateTime value;
        EXPECT_FALSE(TryStrToDate(text, value)) << text;
    }
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToDate("12-31-2003"); }), "'12-31-2003' is not a valid date");
}

TEST(StrToTime, OptionalPartsAndDayHalves)
{
    FormatSettingsScope scope {FormatSettings()};
    const std::pair<const char*, QTime> valid[] = {{"14:05", QTime(14, 5)}, {" 2:05 PM ", QTime(14, 5)},
        {"12:00 am", QTime(0, 0)}, {"12:30 PM", QTime(12, 30)}, {"PM 2:05", QTime(14, 5)},
        {"14:05:09.5", QTime(14, 5, 9, 500)}, {"7", QTime(7, 0)}};
    for (const auto& [text, time] : valid)
        EXPECT_EQ(StrToTime(text), EncodeTime(time.hour(), time.minute(), time.second(), time.msec()))
            << text;
    for (const char* text : {"", "13:00 PM", "0:30 AM", "25:00", "14:60", "14:05x", "14:", ":05"}) {
        TDateTime value;
        EXPECT_FALSE(TryStrToTime(text, value)) << text;
    }
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToTime("14:05x"); }), "'14:05x' is not a valid time");
    EXPECT_EQ(StrToDateTime("12/29/1899 06:00"), -1.25);
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToDateTime("12/31/2003 14:05 junk"); }),
        "'12/31/2003 14:05 junk' is not a valid date and time");
}

}  // namespace
