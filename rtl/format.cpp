#include "rtl/format.h"

#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"

#include <limits>

namespace rtl {

namespace {

[[noreturn]] void RaiseFormatError(const QString& fmt)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
}

// %u and %x show the bits of a negative number: an int argument as 32 bits, a wider one as 64.
quint64 UnsignedBits(qint64 v)
{
    if (v < 0 && v >= std::numeric_limits<qint32>::min())
        return quint32(qint32(v));
    return quint64(v);
}

QString IntegerText(qint64 v, QChar type, int precision)
{
    QString digits;
    if (type == 'd')
        digits = QString::number(v < 0 ? 0 - quint64(v) : quint64(v));
    else
        digits = QString::number(UnsignedBits(v), type == 'x' ? 16 : 10).toUpper();
    if (precision > digits.size())
        digits = digits.rightJustified(precision, '0');
    return (type == 'd' && v < 0) ? '-' + digits : digits;
}

QString FloatText(double v, QChar type, int precision)
{
    switch (type.unicode()) {
    case 'e':
        return FloatToStrF(v, ffExponent, precision < 0 ? 15 : precision, 3);
    case 'g':
        return FloatToStrF(v, ffGeneral, precision < 0 ? 15 : precision, 0);
    case 'f':
        return FloatToStrF(v, ffFixed, 18, precision < 0 ? 2 : precision);
    case 'n':
        return FloatToStrF(v, ffNumber, 18, precision < 0 ? 2 : precision);
    default:
        return FloatToStrF(v, ffCurrency, 18, precision < 0 ? formatSettings().CurrencyDecimals : precision);
    }
}

}  // namespace

QString FormatList(const QString& fmt, std::initializer_list<FormatArg> args)
{
    QString result;
    auto arg = args.begin();
    const qsizetype n = fmt.size();
    auto readNumber = [&](qsizetype& i) {
        int value = 0;
        while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
            value = qMin(value * 10 + (fmt[i].unicode() - '0'), 100000);
            ++i;
        }
        return value;
    };
    qsizetype i = 0;
    while (i < n) {
        if (fmt[i] != '%') {
            result += fmt[i++];
            continue;
        }
        ++i;
        if (i < n && fmt[i] == '%') {
            result += '%';
            ++i;
            continue;
        }
        const bool leftAlign = i < n && fmt[i] == '-';
        if (leftAlign)
            ++i;
        const int width = readNumber(i);
        int precision = -1;
        if (i < n && fmt[i] == '.') {
            ++i;
            precision = readNumber(i);
        }
        if (i == n || arg == args.end())
            RaiseFormatError(fmt);
        const QChar type = fmt[i++].toLower();
        const auto& value = (arg++)->Value();
        QString text;
        if (type == 's' && std::holds_alternative<QString>(value)) {
            text = std::get<QString>(value);
            if (precision >= 0)
                text.truncate(precision);
        } else if ((type == 'd' || type == 'u' || type == 'x') && std::holds_alternative<qint64>(value)) {
            text = IntegerText(std::get<qint64>(value), type, precision);
        } else if (QStringLiteral("efgnm").contains(type) && std::holds_alternative<double>(value)) {
            text = FloatText(std::get<double>(value), type, precision);
        } else {
            RaiseFormatError(fmt);
        }
        if (text.size() < width)
            text = leftAlign ? text.leftJustified(width) : text.rightJustified(width);
        result += text;
    }
    return result;
}

}  // namespace rtl
