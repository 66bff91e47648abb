#pragma once

#include <QString>

#include <compare>
#include <cstdint>

namespace rtl {

// Strict integer conversion: optional blanks before, an optional sign, then decimal digits, or
// "$"/"0x" and hexadecimal digits. Anything else ("12ab", "12 ", "") raises EConvertError
// "'%s' is not a valid integer value"; so does a value outside 32 bits.
int StrToInt(const QString& s);
qint64 StrToInt64(const QString& s);
int StrToIntDef(const QString& s, int defaultValue);
bool TryStrToInt(const QString& s, int& value);
bool TryStrToInt64(const QString& s, qint64& value);
QString IntToStr(qint64 value);

// Floats with the decimal separator of formatSettings(); blanks around the number are allowed,
// an exponent too. A bad text raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const QString& s);
bool TryStrToFloat(const QString& s, double& value);
// General format: shortest form with up to 15 significant digits, exponent only when needed.
QString FloatToStr(double value);

// The run-time library's float forms, all with the decimal separator of formatSettings():
// ffGeneral: shortest form with `precision` significant digits, fixed while the value has at most
//   `precision` digits before the point and is at least 0.0001, otherwise "1.5E-7" with the exponent
//   at least `digits` long;
// ffExponent: "1.2345E+003", `precision` significant digits, the exponent at least `digits` long;
// ffFixed: `digits` decimals; ffNumber: the same with thousand separators; ffCurrency: ffNumber
//   placed with the currency symbol and negative form of formatSettings().
// A fixed form of more than `precision` digits before the point is written in the general form.
// Infinities and NaN are written "INF", "-INF" and "NAN".
enum FloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
QString FloatToStrF(double value, FloatFormat format, int precision, int digits);

// Fixed-point amount with four decimals, as the data access layer's currency type.
class Currency {
public:
    constexpr Currency() = default;
    static constexpr Currency FromScaled(qint64 scaled)
    {
        Currency c;
        c.FScaled = scaled;
        return c;
    }
    // Rounded half away from zero; EConvertError for NaN and values out of range.
    static Currency FromDouble(double value);

    constexpr qint64 Scaled() const { return FScaled; }
    double ToDouble() const { return double(FScaled) / 10000.0; }
    auto operator<=>(const Currency&) const = default;

private:
    qint64 FScaled = 0;
};

// Read with the decimal separator of formatSettings(), rounded to four decimals; a bad text
// raises EConvertError "'%s' is not a valid floating point value".
Currency StrToCurr(const QString& s);
bool TryStrToCurr(const QString& s, Currency& value);
// Shortest form: no trailing zeros, no separator for whole amounts.
QString CurrToStr(Currency value);

}  // namespace rtl
