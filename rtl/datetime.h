#pragma once

#include <QDateTime>
#include <QString>

namespace rtl {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);  // EConvertError on an invalid date
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
TDateTime EncodeTime(int hour, int min, int sec, int msec);  // EConvertError on an invalid time
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime value);  // 1 = Sunday ... 7 = Saturday
TDateTime Now();
TDateTime Date();

TDateTime FromQDateTime(const QDateTime& value);
QDateTime ToQDateTime(TDateTime value);

// The run-time library's FormatDateTime with formatSettings(): c, d, dd, ddd, dddd, ddddd (short
// date), dddddd (long date), m, mm, mmm, mmmm, yy, yyyy, h, hh, n, nn, s, ss, z, zzz, t (short
// time), tt (long time), am/pm, a/p, ampm, "/" date separator, ":" time separator, text in '' or
// "" copied as it is. "m" right after "h" or "hh" means minutes.
QString FormatDateTime(const QString& format, TDateTime value);
QString DateToStr(TDateTime value);  // short date format
QString TimeToStr(TDateTime value);  // long time format
QString DateTimeToStr(TDateTime value);  // short date, then the time unless it is midnight

// The two ways between the run-time library's format letters and Qt's date and time patterns, where
// "M" is the month and "m" the minutes. From Qt: literal text is quoted, a two-digit year becomes
// four digits when asked, Qt's day half is "ampm" and the time zone is dropped. To Qt: "/" and ":"
// become the settings' separators and everything but the letters is quoted.
QString DateTimeFormatFromQt(const QString& pattern, bool fourDigitYear);
QString DateTimeFormatToQt(const QString& format);

// The index of the first place of a format, outside text in '' or "", at which Found(i) holds; -1
// when there is none (an unclosed quote runs to the end).
template <typename Predicate>
qsizetype IndexOutsideQuotes(const QString& format, Predicate Found)
{
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            i = format.indexOf(c, i + 1);
            if (i < 0)
                return -1;
        } else if (Found(i)) {
            return i;
        }
    }
    return -1;
}

// Readers of the short date and time formats: numbers separated by the date (time) separator, taken
// in the order of the fields in the short date format (y, m, d); a two-digit year is placed in
// the century window around the current year; a missing year is the current one. A text exactly
// in the locale's short date, long or short time format (or "c"'s date and time) reads too, literal
// text and all. A text that does not fit raises EConvertError with "'%s' is not a valid date"
// ("time", "date and time").
TDateTime StrToDate(const QString& s);
TDateTime StrToTime(const QString& s);
TDateTime StrToDateTime(const QString& s);
bool TryStrToDate(const QString& s, TDateTime& value);
bool TryStrToTime(const QString& s, TDateTime& value);
bool TryStrToDateTime(const QString& s, TDateTime& value);

// Reads a text the way FormatDateTime writes it with format, for what a user typed after seeing
// it: every field, separator and literal of the format in its order, blanks around the text
// ignored. Days, months, hours, minutes and seconds take one or two digits, milliseconds up to
// three, a "yyyy" year four digits and a "yy" one two (in the window of the readers above); the
// date and the time must exist. Month and day names are the settings' names, in any case; a named
// day must be the date's. Nested formats (ddddd, dddddd, t, tt, c) read as the settings have them.
// A year the format lacks is the current one.
bool TryReadFormattedDateTime(const QString& format, const QString& s, TDateTime& value);

}  // namespace rtl
