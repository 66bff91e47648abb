#include "rtl/datetime.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

FormatSettings Locale(QLocale::Language language, QLocale::Territory territory)
{
    return FormatSettings::FromLocale(QLocale(language, territory));
}

// 31 December 2003, 14:05:09.007, a Wednesday.
TDateTime Sample()
{
    return EncodeDate(2003, 12, 31) + EncodeTime(14, 5, 9, 7);
}

TEST(DateTime, DaysSinceDayZero)
{
    const struct {
        int Year, Month, Day;
        double Days;
        int DayOfWeek;
    } cases[] = {{1899, 12, 30, 0, 7}, {1900, 1, 1, 2, 2}, {2000, 1, 1, 36526, 7}, {2024, 1, 7, 45298, 1},
        {1899, 12, 29, -1, 6}, {1, 1, 1, -693593, 2}, {9999, 12, 31, 2958465, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Days) << c.Year;
        int y, m, d;
        DecodeDate(c.Days, y, m, d);
        EXPECT_EQ(QDate(y, m, d), QDate(c.Year, c.Month, c.Day)) << c.Days;
        // Noon of that day: before day 0 the time is subtracted.
        EXPECT_EQ(DayOfWeek(c.Days < 0 ? c.Days - 0.5 : c.Days + 0.5), c.DayOfWeek) << c.Days;
    }
}

TEST(DateTime, TimeCountsFromMidnightAndRoundsToTheMillisecond)
{
    const struct {
        TDateTime Value;
        QDateTime Expected;
    } cases[] = {{-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {-0.25, QDateTime(QDate(1899, 12, 30), QTime(6, 0))},
        {36526 + (86400000 - 0.4) / 86400000, QDateTime(QDate(2000, 1, 2), QTime(0, 0))},
        {Sample(), QDateTime(QDate(2003, 12, 31), QTime(14, 5, 9, 7))}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToQDateTime(c.Value), c.Expected) << c.Value;
        int y, m, d, h, n, s, ms;
        DecodeDate(c.Value, y, m, d);
        DecodeTime(c.Value, h, n, s, ms);
        EXPECT_EQ(QDateTime(QDate(y, m, d), QTime(h, n, s, ms)), c.Expected) << c.Value;
    }
    EXPECT_EQ(FromQDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
}

TEST(DateTime, InvalidPartsRaise)
{
    TDateTime value;
    EXPECT_FALSE(TryEncodeDate(2001, 2, 29, value));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, value));
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
    EXPECT_THROW(EncodeDate(2001, 13, 1), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_FALSE(ToQDateTime(1e300).isValid());
}

TEST(FormatDateTime, Letters)
{
    FormatSettings fs;
    fs.DateSeparator = '.';
    fs.TimeSeparator = '-';
    fs.ShortDateFormat = "d/m/yy";
    fs.LongDateFormat = "dddd d mmmm yyyy";
    fs.LongTimeFormat = "hh:nn:ss";
    FormatSettingsScope scope(fs);
    const struct {
        const char* Format;
        const char* Text;
    } cases[] = {{"yyyy-mm-dd", "2003-12-31"}, {"d/m/yy", "31.12.03"}, {"y yyy", "03 2003"},
        {"hh:mm:ss", "14-05-09"}, {"h:m", "14-5"}, {"hh 'h' mm", "14 h 05"}, {"mm/dd hh nn", "12.31 14 05"},
        {"hh x mm", "14 x 12"}, {"mmm mmmm ddd dddd", "Dec December Wed Wednesday"},
        {"h:nn am/pm|AM/PM|a/p|A/P|ampm", "2-05 pm|PM|p|P|PM"}, {"ampm h:nn", "PM 2-05"}, {"zzz z", "007 7"},
        {"\"yyyy\" 'mm' yyyy", "yyyy mm 2003"}, {"ddddd|dddddd", "31.12.03|Wednesday 31 December 2003"},
        {"t|tt", "14-05|14-05-09"}, {"c", "31.12.03 14-05-09"}, {"", "31.12.03 14-05-09"}, {"'open", "open"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(c.Format, Sample()), c.Text) << c.Format;
    EXPECT_EQ(FormatDateTime("h:nn ampm", EncodeTime(0, 30, 0, 0)), "12-30 AM");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2003, 12, 31) + EncodeTime(0, 0, 0, 500)), "31.12.03");
}

TEST(FormatDateTime, NestedFormatsStop)
{
    FormatSettings fs;
    fs.ShortDateFormat = "c";
    fs.LongTimeFormat = "tt";
    FormatSettingsScope scope(fs);
    EXPECT_EQ(FormatDateTime("c", Sample()).trimmed(), "");
}

TEST(FormatDateTime, TwoLocales)
{
    {
        FormatSettingsScope scope {Locale(QLocale::English, QLocale::UnitedStates)};
        EXPECT_EQ(DateToStr(Sample()), "12/31/2003");
        EXPECT_EQ(TimeToStr(Sample()), "2:05:09 PM");
        EXPECT_EQ(DateTimeToStr(Sample()), "12/31/2003 2:05:09 PM");
        EXPECT_EQ(FormatDateTime("dddddd", Sample()), "Wednesday, December 31, 2003");
    }
    {
        FormatSettingsScope scope {Locale(QLocale::German, QLocale::Germany)};
        EXPECT_EQ(DateToStr(Sample()), "31.12.2003");
        EXPECT_EQ(TimeToStr(Sample()), "14:05:09");
        EXPECT_EQ(DateTimeToStr(EncodeDate(2003, 1, 2)), "02.01.2003");
        EXPECT_EQ(FormatDateTime("dddddd", Sample()), "Mittwoch, 31. Dezember 2003");
        EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", Sample()), "2003-12-31 14:05");
    }
}

TEST(StrToDate, ByFieldOrder)
{
    const int year = QDate::currentDate().year();
    {
        FormatSettingsScope scope {FormatSettings()};
        EXPECT_EQ(StrToDate("12/31/2003"), EncodeDate(2003, 12, 31));
        EXPECT_EQ(StrToDate(" 1 / 2 / 2003 "), EncodeDate(2003, 1, 2));
        EXPECT_EQ(StrToDate("1/2/2003/"), EncodeDate(2003, 1, 2));
        EXPECT_EQ(StrToDate("12/31"), EncodeDate(year, 12, 31));
    }
    {
        FormatSettingsScope scope {Locale(QLocale::German, QLocale::Germany)};
        EXPECT_EQ(StrToDate("1.2.03"), EncodeDate(2003, 2, 1));
        EXPECT_EQ(StrToDate("31.12"), EncodeDate(year, 12, 31));
    }
    {
        FormatSettings fs;
        fs.ShortDateFormat = "yyyy-mm-dd";
        fs.DateSeparator = '-';
        FormatSettingsScope scope(fs);
        EXPECT_EQ(StrToDate("2003-12-31"), EncodeDate(2003, 12, 31));
        fs.ShortDateFormat = "yyyy/dd/mm";
        fs.DateSeparator = '/';
        formatSettings() = fs;
        EXPECT_EQ(StrToDate("2003/31/12"), EncodeDate(2003, 12, 31));
    }
}

TEST(StrToDate, TwoDigitYearsFallWithinFiftyYearsOfNow)
{
    FormatSettingsScope scope {FormatSettings()};
    const int year = QDate::currentDate().year();
    auto read = [](int y) {
        int ry, m, d;
        DecodeDate(StrToDate(QStringLiteral("1/1/%1").arg(y % 100, 2, 10, QChar('0'))), ry, m, d);
        return ry;
    };
    EXPECT_EQ(read(year), year);
    EXPECT_EQ(read(year + 49), year + 49);
    EXPECT_EQ(read(year - 50), year - 50);
    EXPECT_EQ(read(year - 51), year + 49);
    EXPECT_EQ(StrToDate("1/1/0074"), EncodeDate(74, 1, 1));
}

TEST(StrToDate, BadTextsRaise)
{
    FormatSettingsScope scope {FormatSettings()};
    for (const char* text :
        {"", "12", "2/30/2003", "12-31-2003", "12/31/2003 x", "a/b/c", "1/2/3/4", "12/31/20035"}) {
        TDateTime value;
        EXPECT_FALSE(TryStrToDate(text, value)) << text;
    }
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToDate("12-31-2003"); }), "'12-31-2003' is not a valid date");
}

TEST(StrToTime, OptionalPartsAndDayHalves)
{
    FormatSettingsScope scope {FormatSettings()};
    const struct {
        const char* Text;
        int Hour, Min, Sec, MSec;
    } valid[] = {{"14:05", 14, 5, 0, 0}, {"14:05:09", 14, 5, 9, 0}, {" 2:05 PM ", 14, 5, 0, 0},
        {"12:00 am", 0, 0, 0, 0}, {"12:30 PM", 12, 30, 0, 0}, {"PM 2:05", 14, 5, 0, 0},
        {"14:05:09.5", 14, 5, 9, 500}, {"14:05:09.123", 14, 5, 9, 123}, {"7", 7, 0, 0, 0}};
    for (const auto& c : valid)
        EXPECT_EQ(StrToTime(c.Text), EncodeTime(c.Hour, c.Min, c.Sec, c.MSec)) << c.Text;
    for (const char* text : {"", "13:00 PM", "0:30 AM", "25:00", "14:60", "14:05x", "14:", ":05"}) {
        TDateTime value;
        EXPECT_FALSE(TryStrToTime(text, value)) << text;
    }
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToTime("14:05x"); }), "'14:05x' is not a valid time");
}

TEST(StrToDateTime, DateThenTime)
{
    FormatSettingsScope scope {FormatSettings()};
    EXPECT_EQ(StrToDateTime("12/31/2003 14:05:09"), EncodeDate(2003, 12, 31) + EncodeTime(14, 5, 9, 0));
    EXPECT_EQ(StrToDateTime("12/31/2003"), EncodeDate(2003, 12, 31));
    EXPECT_EQ(StrToDateTime("14:05"), EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("12/29/1899 06:00"), -1.25);
    EXPECT_EQ(ErrorText<EConvertError>([&] { StrToDateTime("12/31/2003 14:05 junk"); }),
        "'12/31/2003 14:05 junk' is not a valid date and time");
}

TEST(StrToDateTime, ReadsWhatTheLocaleWrites)
{
    const TDateTime value = EncodeDate(2003, 12, 31) + EncodeTime(14, 5, 9, 0);
    for (const auto& fs : {Locale(QLocale::English, QLocale::UnitedStates),
             Locale(QLocale::German, QLocale::Germany), Locale(QLocale::Finnish, QLocale::Finland),
             Locale(QLocale::Japanese, QLocale::Japan), Locale(QLocale::Korean, QLocale::SouthKorea)}) {
        FormatSettingsScope scope(fs);
        EXPECT_EQ(StrToDateTime(DateTimeToStr(value)), value) << DateTimeToStr(value).toStdString();
        EXPECT_EQ(StrToDate(DateToStr(value)), EncodeDate(2003, 12, 31)) << DateToStr(value).toStdString();
    }
}

}  // namespace
