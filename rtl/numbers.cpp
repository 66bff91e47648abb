#include "rtl/numbers.h"

#include "rtl/exception.h"
#include "rtl/formatsettings.h"

#include <cmath>
#include <limits>

namespace rtl {

namespace {

// An integer of 32 or 64 bits: blanks, a sign, then decimal digits or "$"/"0x" and hexadecimal
// digits. Decimal texts must stay within the signed range; hexadecimal ones may use every bit and
// are read as two's complement, as the run-time library does ("$FFFFFFFF" is -1).
bool ParseInteger(const QString& s, int bits, qint64& value)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const quint64 hexLimit
        = bits == 32 ? std::numeric_limits<quint32>::max() : std::numeric_limits<quint64>::max();
    const quint64 decimalLimit = bits == 32 ? quint64(std::numeric_limits<qint32>::max())
                                            : quint64(std::numeric_limits<qint64>::max());
    const quint64 limit = base == 16 ? hexLimit : decimalLimit + (negative ? 1 : 0);
    quint64 magnitude = 0;
    const qsizetype first = i;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        if (magnitude > (limit - quint64(digit)) / quint64(base))
            return false;
        magnitude = magnitude * quint64(base) + quint64(digit);
    }
    if (i == first)
        return false;
    const quint64 twosComplement = negative ? 0 - magnitude : magnitude;
    value = bits == 32 ? qint64(qint32(quint32(twosComplement))) : qint64(twosComplement);
    return true;
}

// A decimal number as written: value = Digits (no separator) x 10^Exponent.
struct DecimalText {
    bool Negative = false;
    QString Digits;
    qint64 Exponent = 0;
};

// Blanks, a sign, digits with at most one decimal separator, an optional exponent, blanks; at least
// one digit. Anything else, infinities and NaN included, is not a number.
bool ScanDecimal(const QString& s, QChar separator, DecimalText& d)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto isDigit = [&](qsizetype k) { return k < n && s[k] >= '0' && s[k] <= '9'; };
    while (i < n && s[i] == ' ')
        ++i;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        d.Negative = s[i] == '-';
        ++i;
    }
    while (isDigit(i))
        d.Digits += s[i++];
    if (i < n && s[i] == separator) {
        ++i;
        while (isDigit(i)) {
            d.Digits += s[i++];
            --d.Exponent;
        }
    }
    if (d.Digits.isEmpty())
        return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        if (!isDigit(i))
            return false;
        qint64 exponent = 0;
        // Far beyond any double; capping keeps the sum from overflowing.
        while (isDigit(i))
            exponent = qMin<qint64>(exponent * 10 + (s[i++].unicode() - '0'), 100000000);
        d.Exponent += negativeExponent ? -exponent : exponent;
    }
    while (i < n && s[i] == ' ')
        ++i;
    return i == n;
}

bool DecimalToDouble(const DecimalText& d, double& value)
{
    bool ok = false;
    const double v = (d.Digits + 'e' + QString::number(d.Exponent)).toDouble(&ok);
    // Qt flags an underflow too, but such a number is simply zero.
    if (!ok && std::isinf(v))
        return false;
    value = d.Negative ? -v : v;
    return true;
}

// Exact decimal to fixed point: the digits are shifted by four places and rounded half away from
// zero, so "0.1" is 1000 and never 999 as a detour through a double could give.
bool DecimalToCurrency(const DecimalText& d, Currency& value)
{
    QString digits = d.Digits;
    qint64 shift = d.Exponent + 4;
    bool roundUp = false;
    if (shift < 0) {
        const qint64 keep = digits.size() + shift;
        roundUp = keep >= 0 && digits[keep] >= '5';
        digits = keep > 0 ? digits.left(keep) : QString();
        shift = 0;
    }
    quint64 scaled = 0;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max());
    for (QChar c : std::as_const(digits)) {
        if (scaled > (limit - quint64(c.unicode() - '0')) / 10)
            return false;
        scaled = scaled * 10 + quint64(c.unicode() - '0');
    }
    for (; shift > 0 && scaled != 0; --shift) {
        if (scaled > limit / 10)
            return false;
        scaled *= 10;
    }
    if (roundUp && ++scaled > limit)
        return false;
    value = Currency::FromScaled(d.Negative ? -qint64(scaled) : qint64(scaled));
    return true;
}

// The value rounded to `precision` significant digits: 0.Digits x 10^Exponent, trailing zeros
// removed; zero gives no digits.
struct RoundedDigits {
    QString Digits;
    int Exponent = 0;
};

RoundedDigits Round(double magnitude, int precision)
{
    RoundedDigits r;
    if (magnitude == 0)
        return r;
    const QString text = QString::number(magnitude, 'e', precision - 1);  // d.ddde+XX
    const qsizetype e = text.indexOf('e');
    r.Digits = text.left(e).remove('.');
    r.Exponent = text.mid(e + 1).toInt() + 1;
    while (r.Digits.endsWith('0'))
        r.Digits.chop(1);
    return r;
}

QString ExponentText(int exponent, int minDigits, bool plusSign)
{
    const QString sign = exponent < 0 ? QStringLiteral("-") : (plusSign ? QStringLiteral("+") : QString());
    return 'E' + sign + QString::number(std::abs(exponent)).rightJustified(minDigits, '0');
}

QString GeneralText(double magnitude, int precision, int digits, QChar separator)
{
    const RoundedDigits r = Round(magnitude, precision);
    if (r.Digits.isEmpty())
        return QStringLiteral("0");
    if (r.Exponent > precision || r.Exponent < -3) {
        QString mantissa = r.Digits.left(1);
        if (r.Digits.size() > 1)
            mantissa += separator + r.Digits.mid(1);
        return mantissa + ExponentText(r.Exponent - 1, digits, false);
    }
    if (r.Exponent <= 0)
        return '0' + QString(separator) + QString(-r.Exponent, '0') + r.Digits;
    if (r.Digits.size() <= r.Exponent)
        return r.Digits + QString(r.Exponent - r.Digits.size(), '0');
    return r.Digits.left(r.Exponent) + separator + r.Digits.mid(r.Exponent);
}

QString ExponentFormText(double magnitude, int precision, int digits, QChar separator)
{
    const RoundedDigits r = Round(magnitude, precision);
    const QString all = r.Digits.leftJustified(precision, '0');
    QString mantissa = all.left(1);
    if (precision > 1)
        mantissa += separator + all.mid(1);
    return mantissa + ExponentText(r.Digits.isEmpty() ? 0 : r.Exponent - 1, digits, true);
}

QString FixedText(double magnitude, int decimals, QChar separator, QChar thousands)
{
    const QString text = QString::number(magnitude, 'f', decimals);
    const qsizetype point = text.indexOf('.');
    QString whole = point < 0 ? text : text.left(point);
    if (!thousands.isNull()) {
        for (qsizetype k = whole.size() - 3; k > 0; k -= 3)
            whole.insert(k, thousands);
    }
    return point < 0 ? whole : whole + separator + text.mid(point + 1);
}

bool AllZeros(const QString& text)
{
    for (QChar c : text) {
        if (c >= '1' && c <= '9')
            return false;
    }
    return true;
}

}  // namespace

bool TryStrToInt64(const QString& s, qint64& value)
{
    return ParseInteger(s, 64, value);
}

bool TryStrToInt(const QString& s, int& value)
{
    qint64 v;
    if (!ParseInteger(s, 32, v))
        return false;
    value = int(v);
    return true;
}

int StrToInt(const QString& s)
{
    int value;
    if (!TryStrToInt(s, value))
        RaiseConvertError(ConvertError::Integer, s);
    return value;
}

qint64 StrToInt64(const QString& s)
{
    qint64 value;
    if (!TryStrToInt64(s, value))
        RaiseConvertError(ConvertError::Integer, s);
    return value;
}

int StrToIntDef(const QString& s, int defaultValue)
{
    int value;
    return TryStrToInt(s, value) ? value : defaultValue;
}

QString IntToStr(qint64 value)
{
    return QString::number(value);
}

bool TryStrToFloat(const QString& s, double& value)
{
    DecimalText d;
    return ScanDecimal(s, formatSettings().DecimalSeparator, d) && DecimalToDouble(d, value);
}

double StrToFloat(const QString& s)
{
    double value;
    if (!TryStrToFloat(s, value))
        RaiseConvertError(ConvertError::Float, s);
    return value;
}

QString FloatToStrF(double value, FloatFormat format, int precision, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const FormatSettings& fs = formatSettings();
    precision = qBound(1, precision, 18);
    digits = qBound(0, digits, 18);
    const double magnitude = std::fabs(value);
    if (format != ffGeneral && format != ffExponent && magnitude >= std::pow(10.0, precision))
        format = ffGeneral;
    QString text;
    switch (format) {
    case ffGeneral:
        text = GeneralText(magnitude, precision, qMin(digits, 4), fs.DecimalSeparator);
        break;
    case ffExponent:
        text = ExponentFormText(magnitude, precision, qMin(digits, 4), fs.DecimalSeparator);
        break;
    case ffFixed:
        text = FixedText(magnitude, digits, fs.DecimalSeparator, QChar());
        break;
    case ffNumber:
    case ffCurrency:
        text = FixedText(magnitude, digits, fs.DecimalSeparator, fs.ThousandSeparator);
        break;
    }
    // A value that rounds to zero is written without a sign.
    const bool negative = value < 0 && !AllZeros(text.left(text.indexOf('E')));
    if (format == ffCurrency)
        return fs.PlaceCurrency(text, negative);
    return negative ? '-' + text : text;
}

QString FloatToStr(double value)
{
    return FloatToStrF(value, ffGeneral, 15, 0);
}

Currency Currency::FromDouble(double value)
{
    const double scaled = std::round(value * 10000.0);
    // 2^63 is exactly representable; everything below it fits.
    if (!(std::fabs(scaled) < 9223372036854775808.0))
        RaiseConvertError(ConvertError::Currency, FloatToStr(value));
    return FromScaled(qint64(scaled));
}

bool TryStrToCurr(const QString& s, Currency& value)
{
    DecimalText d;
    return ScanDecimal(s, formatSettings().DecimalSeparator, d) && DecimalToCurrency(d, value);
}

Currency StrToCurr(const QString& s)
{
    Currency value;
    if (!TryStrToCurr(s, value))
        RaiseConvertError(ConvertError::Currency, s);
    return value;
}

QString CurrToStr(Currency value)
{
    const qint64 scaled = value.Scaled();
    const quint64 magnitude = scaled < 0 ? 0 - quint64(scaled) : quint64(scaled);
    QString text = QString::number(magnitude / 10000);
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, '0');
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += formatSettings().DecimalSeparator + fraction;
    return scaled < 0 ? '-' + text : text;
}

}  // namespace rtl
