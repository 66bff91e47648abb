#include "rtl/datetime.h"

#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/strutils.h"

#include <QList>

#include <cmath>
#include <utility>

namespace rtl {

namespace {

constexpr qint64 MSecsPerDay = 86400000;
// Julian day of 30 December 1899, day 0.
constexpr qint64 DayZero = 2415019;
// Far beyond the year 9999 while the milliseconds still fit in 64 bits.
constexpr double DayLimit = 1e9;
// Two-digit years are placed within this many years around the current one.
constexpr int TwoDigitYearCenturyWindow = 50;

// A value as whole days and milliseconds of the day. The value is rounded to the millisecond
// first; for days before day 0 the fraction still counts forward from midnight.
bool SplitValue(TDateTime value, qint64& days, qint64& msecs)
{
    if (!std::isfinite(value) || std::fabs(value) > DayLimit)
        return false;
    const qint64 total = std::llround(value * double(MSecsPerDay));
    days = total / MSecsPerDay;
    msecs = (total < 0 ? -total : total) % MSecsPerDay;
    return true;
}

TDateTime Combine(TDateTime date, TDateTime time)
{
    return date < 0 ? date - time : date + time;
}

// The calendar parts of a value as the formatter uses them; a value no date can stand for gives
// zeros rather than a made-up date.
struct DateTimeParts {
    int Year = 0, Month = 0, Day = 0, DayOfWeek = 0;
    int Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

DateTimeParts Parts(TDateTime value)
{
    DateTimeParts p;
    DecodeDate(value, p.Year, p.Month, p.Day);
    DecodeTime(value, p.Hour, p.Min, p.Sec, p.MSec);
    if (p.Year != 0)
        p.DayOfWeek = DayOfWeek(value);
    return p;
}

// Text that the date formatter must copy as it stands, quoted so that none of its letters, quotes
// or separators is taken for a format letter.
QString QuoteLiteral(const QString& text)
{
    QString result;
    const QStringList parts = text.split('"');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += QStringLiteral("'\"'");
        if (!parts[i].isEmpty())
            result += '"' + parts[i] + '"';
    }
    return result;
}

QString Number(int value, int digits)
{
    return QString::number(value).rightJustified(digits, '0');
}

QString NameAt(const QStringList& names, int index)
{
    return index >= 0 && index < names.size() ? names[index] : QString();
}

bool StartsWithText(const QString& s, qsizetype pos, const QString& text)
{
    return !text.isEmpty() && SameText(s.mid(pos, text.size()), text);
}

// The length of the morning/afternoon token at i: "am/pm", "a/p" or "ampm" in any case; 0 for none.
qsizetype DayHalfToken(const QString& format, qsizetype i)
{
    for (const QString& token : {QStringLiteral("am/pm"), QStringLiteral("a/p"), QStringLiteral("ampm")}) {
        if (StartsWithText(format, i, token))
            return token.size();
    }
    return 0;
}

// The clock runs to twelve when the format shows morning and afternoon anywhere outside quotes.
bool UsesTwelveHours(const QString& format)
{
    return IndexOutsideQuotes(format, [&](qsizetype i) { return DayHalfToken(format, i) > 0; }) >= 0;
}

// A piece of a format as FormatDateTime takes it: a field, Token its upper-case letter ("m" after "h"
// is 'N', the minutes) and Count the letters of its run or, for 'A', of its day-half token; or,
// with a null Token, literal text: quoted text, a separator as the settings have it, any other
// character.
struct FormatPiece {
    QChar Token;
    qsizetype Count = 1;
    QString Text;  // the literal text, or the field's letters as the format writes them
};

QList<FormatPiece> FormatPieces(const QString& format)
{
    const FormatSettings& fs = formatSettings();
    QList<FormatPiece> pieces;
    const qsizetype n = format.size();
    QChar lastToken = ' ';
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i];
        qsizetype count = 1;
        while (i + count < n && format[i + count] == c)
            ++count;
        QChar token = AsciiUpper(c);
        if (IsAsciiLetter(c)) {
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        FormatPiece piece;
        switch (token.unicode()) {
        case 'Y':
        case 'M':
        case 'D':
        case 'H':
        case 'N':
        case 'S':
        case 'Z':
        case 'T':
        case 'C':
            piece = {token, count, format.mid(i, count)};
            break;
        case 'A':
            count = DayHalfToken(format, i);
            piece
                = count > 0 ? FormatPiece {token, count, format.mid(i, count)} : FormatPiece {QChar(), 1, c};
            count = qMax<qsizetype>(count, 1);
            break;
        case '/':
            count = 1;
            piece.Text = fs.DateSeparator;
            break;
        case ':':
            count = 1;
            piece.Text = fs.TimeSeparator;
            break;
        case '\'':
        case '"': {
            qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                end = n;
            piece.Text = format.mid(i + 1, end - i - 1);
            count = end + 1 - i;
            break;
        }
        default:
            count = 1;
            piece.Text = c;
        }
        pieces.append(piece);
        i += count;
    }
    return pieces;
}

void AppendFormat(QString& out, const QString& format, const DateTimeParts& p, int level)
{
    const FormatSettings& fs = formatSettings();
    // Named formats may name others (a short date holding "c"); two levels are enough for all.
    auto appendNested = [&](const QString& nested) {
        if (level < 2)
            AppendFormat(out, nested, p, level + 1);
    };
    for (const FormatPiece& piece : FormatPieces(format)) {
        const qsizetype count = piece.Count;
        switch (piece.Token.unicode()) {
        case 'Y':
            out += count <= 2 ? Number(p.Year % 100, 2) : Number(p.Year, 4);
            break;
        case 'M':
            if (count <= 2)
                out += Number(p.Month, int(count));
            else
                out += NameAt(count == 3 ? fs.ShortMonthNames : fs.LongMonthNames, p.Month - 1);
            break;
        case 'D':
            if (count <= 2)
                out += Number(p.Day, int(count));
            else if (count <= 4)
                out += NameAt(count == 3 ? fs.ShortDayNames : fs.LongDayNames, p.DayOfWeek - 1);
            else
                appendNested(count == 5 ? fs.ShortDateFormat : fs.LongDateFormat);
            break;
        case 'H': {
            int hour = p.Hour;
            if (UsesTwelveHours(format))
                hour = hour == 0 ? 12 : (hour > 12 ? hour - 12 : hour);
            out += Number(hour, int(qMin<qsizetype>(count, 2)));
            break;
        }
        case 'N':
            out += Number(p.Min, int(qMin<qsizetype>(count, 2)));
            break;
        case 'S':
            out += Number(p.Sec, int(qMin<qsizetype>(count, 2)));
            break;
        case 'Z':
            out += Number(p.MSec, int(qMin<qsizetype>(count, 3)));
            break;
        case 'T':
            appendNested(count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
            break;
        case 'C':
            appendNested(fs.ShortDateFormat);
            if (p.Hour != 0 || p.Min != 0 || p.Sec != 0) {
                out += ' ';
                appendNested(fs.LongTimeFormat);
            }
            break;
        case 'A':
            // Text as the format writes it: "AM/PM" gives "PM", "am/pm" gives "pm".
            if (count == 5)
                out += piece.Text.mid(p.Hour >= 12 ? 3 : 0, 2);
            else if (count == 3)
                out += piece.Text[p.Hour >= 12 ? 2 : 0];
            else
                out += p.Hour >= 12 ? fs.TimePMString : fs.TimeAMString;
            break;
        default:
            out += piece.Text;
        }
    }
}

// A two-digit year placed within the window around the current year.
int WindowedYear(int year)
{
    const int centuryBase = QDate::currentDate().year() - TwoDigitYearCenturyWindow;
    year += centuryBase / 100 * 100;
    return year < centuryBase ? year + 100 : year;
}

// The reading steps share one position in the text; blanks before every part are skipped.
class DateTimeScanner {
public:
    explicit DateTimeScanner(const QString& text) : FText(text) {}

    bool AtEnd() const { return FPos >= FText.size(); }

    void SkipBlanks()
    {
        while (FPos < FText.size() && FText[FPos] == ' ')
            ++FPos;
    }

    // Digits while the number stays below 1000, so a run of digits gives at most a year.
    bool ReadNumber(int& value, int& length)
    {
        SkipBlanks();
        qsizetype i = FPos;
        value = 0;
        while (i < FText.size() && FText[i] >= '0' && FText[i] <= '9' && value < 1000)
            value = value * 10 + (FText[i++].unicode() - '0');
        length = int(i - FPos);
        FPos = i;
        return length > 0;
    }

    bool ReadChar(QChar c)
    {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }

    bool ReadText(const QString& text)
    {
        SkipBlanks();
        if (!StartsWithText(FText, FPos, text))
            return false;
        FPos += text.size();
        return true;
    }

    bool ReadDate(TDateTime& value);
    bool ReadTime(TDateTime& value);

private:
    // 12 for "PM", 0 for "AM", -1 when neither stands at the position.
    int DayHalf()
    {
        const FormatSettings& fs = formatSettings();
        if (ReadText(fs.TimeAMString) || ReadText(QStringLiteral("AM")))
            return 0;
        if (ReadText(fs.TimePMString) || ReadText(QStringLiteral("PM")))
            return 12;
        return -1;
    }

    const QString& FText;
    qsizetype FPos = 0;
};

// The order of the year, month and day fields in a date format ("MDY", "DMY", "YMD", ...); fields
// that the format lacks follow in the order month, day, year.
QString DateOrder(const QString& format)
{
    QString order;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == '\'' || c == '"') {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                break;
            i = end;
            continue;
        }
        const QChar field = AsciiUpper(c);
        if ((field == 'Y' || field == 'M' || field == 'D') && !order.contains(field))
            order += field;
    }
    for (QChar field : {QChar('M'), QChar('D'), QChar('Y')}) {
        if (!order.contains(field))
            order += field;
    }
    return order;
}

bool DateTimeScanner::ReadDate(TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    const QString order = DateOrder(fs.ShortDateFormat);
    int numbers[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    if (!(ReadNumber(numbers[0], lengths[0]) && ReadChar(fs.DateSeparator)
            && ReadNumber(numbers[1], lengths[1])))
        return false;
    int year, month, day;
    if (ReadChar(fs.DateSeparator)) {
        if (!ReadNumber(numbers[2], lengths[2]))
            return false;
        const qsizetype y = order.indexOf('Y');
        year = numbers[y];
        month = numbers[order.indexOf('M')];
        day = numbers[order.indexOf('D')];
        if (lengths[y] <= 2)
            year = WindowedYear(year);
    } else {
        // Day and month alone, in the order the format has them, in the current year.
        year = QDate::currentDate().year();
        const bool dayFirst = order.indexOf('D') < order.indexOf('M');
        day = numbers[dayFirst ? 0 : 1];
        month = numbers[dayFirst ? 1 : 0];
    }
    ReadChar(fs.DateSeparator);
    SkipBlanks();
    return TryEncodeDate(year, month, day, value);
}

bool DateTimeScanner::ReadTime(TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    int baseHour = DayHalf();
    int hour, min = 0, sec = 0, msec = 0, length;
    if (!ReadNumber(hour, length))
        return false;
    if (ReadChar(fs.TimeSeparator)) {
        if (!ReadNumber(min, length))
            return false;
        if (ReadChar(fs.TimeSeparator)) {
            if (!ReadNumber(sec, length))
                return false;
            if (ReadChar(fs.DecimalSeparator)) {
                if (!ReadNumber(msec, length))
                    return false;
                // The digits are a fraction of the second: ".5" is half a second.
                for (; length < 3; ++length)
                    msec *= 10;
                for (; length > 3; --length)
                    msec /= 10;
            }
        }
    }
    if (baseHour < 0)
        baseHour = DayHalf();
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12)
            return false;
        hour = hour % 12 + baseHour;
    }
    SkipBlanks();
    return TryEncodeTime(hour, min, sec, msec, value);
}

// Reads a formatted text part by part, each exactly where the one before it ended.
class FormattedTextReader {
public:
    explicit FormattedTextReader(const QString& text) : FText(text) {}

    bool AtEnd() const { return FPos >= FText.size(); }
    qsizetype Pos() const { return FPos; }
    void SetPos(qsizetype pos) { FPos = pos; }

    // From minDigits to maxDigits digits, and no further digit after them.
    bool Number(int minDigits, int maxDigits, int& value)
    {
        int digits = 0;
        value = 0;
        while (digits < maxDigits && IsDigitAt(FPos)) {
            value = value * 10 + (FText[FPos++].unicode() - '0');
            ++digits;
        }
        return digits >= minDigits && !IsDigitAt(FPos);
    }

    bool Literal(const QString& literal)
    {
        if (FText.mid(FPos, literal.size()) != literal)
            return false;
        FPos += literal.size();
        return true;
    }

    // The index of the longest of names that stands here, in any case; -1 for none.
    int Name(const QStringList& names)
    {
        int found = -1;
        for (int i = 0; i < names.size(); ++i)
            if (StartsWithText(FText, FPos, names[i]) && (found < 0 || names[i].size() > names[found].size()))
                found = i;
        if (found >= 0)
            FPos += names[found].size();
        return found;
    }

    // 0 for am, 12 for pm, in any case; -1 when neither stands here. An empty text, as some
    // locales have for one half of the day, is read where the other one does not stand.
    int DayHalf(const QString& am, const QString& pm)
    {
        for (const auto& [text, half] : {std::pair {am, 0}, std::pair {pm, 12}}) {
            if (StartsWithText(FText, FPos, text)) {
                FPos += text.size();
                return half;
            }
        }
        return am.isEmpty() ? 0 : pm.isEmpty() ? 12 : -1;
    }

private:
    bool IsDigitAt(qsizetype pos) const
    {
        return pos < FText.size() && FText[pos] >= '0' && FText[pos] <= '9';
    }

    const QString& FText;
    qsizetype FPos = 0;
};

// The fields a formatted text gave so far; those it lacks keep these values.
struct ReadFields {
    int Year = QDate::currentDate().year(), Month = 1, Day = 1;
    int Hour = 0, Min = 0, Sec = 0, MSec = 0;
    int DayHalf = -1;
    int DayOfWeek = 0;  // 1 = Sunday, when the text names the day
    bool HasDate = false;
};

// Reads the pieces of format as AppendFormat writes them, nested formats to the same depth.
bool ReadFormat(FormattedTextReader& reader, const QString& format, ReadFields& f, int level)
{
    const FormatSettings& fs = formatSettings();
    const auto nested
        = [&](const QString& inner) { return level >= 2 || ReadFormat(reader, inner, f, level + 1); };
    for (const FormatPiece& piece : FormatPieces(format)) {
        const qsizetype count = piece.Count;
        bool read = false;
        switch (piece.Token.unicode()) {
        case 'Y': {
            const int digits = count <= 2 ? 2 : 4;
            read = reader.Number(digits, digits, f.Year);
            if (digits == 2)
                f.Year = WindowedYear(f.Year);
            f.HasDate = true;
            break;
        }
        case 'M':
            if (count <= 2) {
                read = reader.Number(1, 2, f.Month);
            } else {
                const int month = reader.Name(count == 3 ? fs.ShortMonthNames : fs.LongMonthNames);
                f.Month = month + 1;
                read = month >= 0;
            }
            f.HasDate = true;
            break;
        case 'D':
            if (count <= 2) {
                read = reader.Number(1, 2, f.Day);
            } else if (count <= 4) {
                const int day = reader.Name(count == 3 ? fs.ShortDayNames : fs.LongDayNames);
                f.DayOfWeek = day + 1;
                read = day >= 0;
            } else {
                read = nested(count == 5 ? fs.ShortDateFormat : fs.LongDateFormat);
            }
            f.HasDate = true;
            break;
        case 'H':
        case 'N':
        case 'S':
            read = reader.Number(1, 2, piece.Token == 'H' ? f.Hour : piece.Token == 'N' ? f.Min : f.Sec);
            break;
        case 'Z':
            read = reader.Number(1, 3, f.MSec);
            break;
        case 'T':
            read = nested(count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat);
            break;
        case 'C': {
            // The date, then the time when it is not midnight.
            read = nested(fs.ShortDateFormat);
            const qsizetype date = reader.Pos();
            const ReadFields before = f;
            if (read && level < 2 && !(reader.Literal(QStringLiteral(" ")) && nested(fs.LongTimeFormat))) {
                reader.SetPos(date);
                f = before;
            }
            break;
        }
        case 'A':
            if (count == 5)
                f.DayHalf = reader.DayHalf(QStringLiteral("am"), QStringLiteral("pm"));
            else if (count == 3)
                f.DayHalf = reader.DayHalf(QStringLiteral("a"), QStringLiteral("p"));
            else
                f.DayHalf = reader.DayHalf(fs.TimeAMString, fs.TimePMString);
            read = f.DayHalf >= 0;
            break;
        default:
            read = reader.Literal(piece.Text);
        }
        if (!read)
            return false;
    }
    return true;
}

}  // namespace

bool TryReadFormattedDateTime(const QString& format, const QString& s, TDateTime& value)
{
    if (format.isEmpty())
        return false;
    const QString text = s.trimmed();
    FormattedTextReader reader(text);
    ReadFields f;
    if (!ReadFormat(reader, format, f, 0) || !reader.AtEnd())
        return false;
    int hour = f.Hour;
    if (f.DayHalf >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + f.DayHalf;
    }
    TDateTime date = 0, time = 0;
    if ((f.HasDate && !TryEncodeDate(f.Year, f.Month, f.Day, date))
        || !TryEncodeTime(hour, f.Min, f.Sec, f.MSec, time))
        return false;
    // A day named that is not the date's day is no date.
    if (f.DayOfWeek > 0 && DayOfWeek(date) != f.DayOfWeek)
        return false;
    value = Combine(date, time);
    return true;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    value = TDateTime(QDate(year, month, day).toJulianDay() - DayZero);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime value;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return value;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& value)
{
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
        return false;
    value = TDateTime(((hour * 60 + min) * 60 + sec) * 1000 + msec) / double(MSecsPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime value;
    if (!TryEncodeTime(hour, min, sec, msec, value))
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return value;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    qint64 days, msecs;
    year = month = day = 0;
    if (SplitValue(value, days, msecs))
        QDate::fromJulianDay(days + DayZero).getDate(&year, &month, &day);
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec)
{
    qint64 days, msecs = 0;
    if (!SplitValue(value, days, msecs))
        msecs = 0;
    hour = int(msecs / 3600000);
    min = int(msecs / 60000 % 60);
    sec = int(msecs / 1000 % 60);
    msec = int(msecs % 1000);
}

int DayOfWeek(TDateTime value)
{
    qint64 days, msecs;
    if (!SplitValue(value, days, msecs))
        return 0;
    // Qt counts Monday as 1 and Sunday as 7.
    return QDate::fromJulianDay(days + DayZero).dayOfWeek() % 7 + 1;
}

TDateTime Now()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

TDateTime Date()
{
    return std::trunc(Now());
}

TDateTime FromQDateTime(const QDateTime& value)
{
    if (!value.isValid())
        return 0;
    const TDateTime date = TDateTime(value.date().toJulianDay() - DayZero);
    return Combine(date, value.time().msecsSinceStartOfDay() / double(MSecsPerDay));
}

QDateTime ToQDateTime(TDateTime value)
{
    qint64 days, msecs;
    if (!SplitValue(value, days, msecs))
        return QDateTime();
    return QDateTime(QDate::fromJulianDay(days + DayZero), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    QString out;
    AppendFormat(out, format.isEmpty() ? QStringLiteral("c") : format, Parts(value), 0);
    return out;
}

QString DateToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("ddddd"), value);
}

QString TimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("tt"), value);
}

QString DateTimeToStr(TDateTime value)
{
    return FormatDateTime(QStringLiteral("c"), value);
}

namespace {

// A text in one of the locale's own forms, literal text and all ("28.02.1997 г.", "14 h 05 09"),
// which the readers by field order cannot take.
bool TryReadLocaleForm(std::initializer_list<QString> formats, const QString& s, TDateTime& value)
{
    for (const QString& format : formats)
        if (TryReadFormattedDateTime(format, s, value))
            return true;
    return false;
}

}  // namespace

bool TryStrToDate(const QString& s, TDateTime& value)
{
    DateTimeScanner scanner(s);
    return (scanner.ReadDate(value) && scanner.AtEnd())
        || TryReadLocaleForm({formatSettings().ShortDateFormat}, s, value);
}

bool TryStrToTime(const QString& s, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    DateTimeScanner scanner(s);
    return (scanner.ReadTime(value) && scanner.AtEnd())
        || TryReadLocaleForm({fs.LongTimeFormat, fs.ShortTimeFormat}, s, value);
}

bool TryStrToDateTime(const QString& s, TDateTime& value)
{
    const FormatSettings& fs = formatSettings();
    DateTimeScanner scanner(s);
    TDateTime date, time = 0;
    // Text after the date must be a time; left-over text makes the whole text invalid.
    if (scanner.ReadDate(date) && (scanner.AtEnd() || (scanner.ReadTime(time) && scanner.AtEnd()))) {
        value = Combine(date, time);
        return true;
    }
    return TryReadLocaleForm({fs.ShortDateFormat + ' ' + fs.LongTimeFormat, fs.ShortDateFormat}, s, value)
        || TryStrToTime(s, value);
}

TDateTime StrToDate(const QString& s)
{
    TDateTime value;
    if (!TryStrToDate(s, value))
        RaiseConvertError(ConvertError::Date, s);
    return value;
}

TDateTime StrToTime(const QString& s)
{
    TDateTime value;
    if (!TryStrToTime(s, value))
        RaiseConvertError(ConvertError::Time, s);
    return value;
}

TDateTime StrToDateTime(const QString& s)
{
    TDateTime value;
    if (!TryStrToDateTime(s, value))
        RaiseConvertError(ConvertError::DateTime, s);
    return value;
}

QString DateTimeFormatFromQt(const QString& pattern, bool fourDigitYear)
{
    QString result;
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        if (c == '\'') {
            QString literal;
            ++i;
            while (i < n) {
                if (pattern[i] == '\'') {
                    if (i + 1 < n && pattern[i + 1] == '\'') {
                        literal += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += pattern[i++];
            }
            // Two quotes in a row outside a literal stand for one quote.
            result += QuoteLiteral(literal.isEmpty() ? QStringLiteral("'") : literal);
            continue;
        }
        if (!IsAsciiLetter(c)) {
            // A double quote would open a literal in the run-time library's formats.
            result += c == '"' ? QuoteLiteral(c) : QString(c);
            ++i;
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && pattern[i + count] == c)
            ++count;
        switch (c.unicode()) {
        case 'd':
            result += QString(qMin<qsizetype>(count, 4), 'd');
            break;
        case 'M':
            result += QString(qMin<qsizetype>(count, 4), 'm');
            break;
        case 'y':
            result += (count >= 3 || fourDigitYear) ? QStringLiteral("yyyy") : QStringLiteral("yy");
            break;
        case 'h':
        case 'H':
            result += count >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
            break;
        case 'm':
            result += count >= 2 ? QStringLiteral("nn") : QStringLiteral("n");
            break;
        case 's':
            result += count >= 2 ? QStringLiteral("ss") : QStringLiteral("s");
            break;
        case 'z':
            result += count >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case 'a':
        case 'A':
            if (i + 1 < n && (pattern[i + 1] == 'p' || pattern[i + 1] == 'P'))
                count = 2;
            result += QStringLiteral("ampm");
            break;
        case 't':  // the time zone has no counterpart
            break;
        default:
            result += QuoteLiteral(QString(count, c));
        }
        i += count;
    }
    return result;
}

QString DateTimeFormatToQt(const QString& format)
{
    QString result;
    QChar lastLetter;
    // Literal text is quoted as one run: Qt reads two quoted pieces side by side ('.'' ') as a
    // quote character between them.
    QString pending;
    auto letters = [&](const QString& pattern) {
        if (!pending.isEmpty())
            result += '\'' + pending.replace('\'', "''") + '\'';
        pending.clear();
        result += pattern;
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar ch = format[i].toLower();
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run].toLower() == ch)
            ++run;
        const QString rest = format.mid(i);
        if (ch == '\'' || ch == '"') {
            const qsizetype end = format.indexOf(format[i], i + 1);
            pending += format.mid(i + 1, (end < 0 ? format.size() : end) - i - 1);
            i = end < 0 ? format.size() : end + 1;
            continue;
        }
        if (rest.startsWith("am/pm", Qt::CaseInsensitive) || rest.startsWith("ampm", Qt::CaseInsensitive)
            || rest.startsWith("a/p", Qt::CaseInsensitive)) {
            letters("AP");
            i += rest.startsWith("a/p", Qt::CaseInsensitive) ? 3 : rest[2] == '/' ? 5 : 4;
            continue;
        }
        switch (ch.unicode()) {
        case 'd':
            letters(QString(qMin<qsizetype>(run, 4), 'd'));
            break;
        case 'm':
            letters(
                lastLetter == 'h' && run <= 2 ? QString(run, 'm') : QString(qMin<qsizetype>(run, 4), 'M'));
            break;
        case 'y':
            letters(run <= 2 ? "yy" : "yyyy");
            break;
        case 'h':
            letters(run == 1 ? "h" : "hh");
            break;
        case 'n':
            letters(run == 1 ? "m" : "mm");
            break;
        case 's':
            letters(run == 1 ? "s" : "ss");
            break;
        case 'z':
            letters(run < 3 ? "z" : "zzz");
            break;
        case '/':
            pending += QString(run, formatSettings().DateSeparator);
            break;
        case ':':
            pending += QString(run, formatSettings().TimeSeparator);
            break;
        default:
            pending += format.mid(i, run);
            break;
        }
        if (QStringLiteral("dmyhnsz").contains(ch))
            lastLetter = ch;
        i += run;
    }
    letters(QString());
    return result;
}

}  // namespace rtl
