#pragma once

#include <QString>

#include <initializer_list>
#include <variant>

namespace rtl {

// One argument of Format: a text or a number.
class FormatArg {
public:
    FormatArg(const QString& s) : FValue(s) {}
    FormatArg(const char* s) : FValue(QString::fromUtf8(s)) {}
    FormatArg(QChar c) : FValue(QString(c)) {}
    FormatArg(int v) : FValue(qint64(v)) {}
    FormatArg(unsigned v) : FValue(qint64(v)) {}
    FormatArg(long v) : FValue(qint64(v)) {}
    FormatArg(long long v) : FValue(qint64(v)) {}
    FormatArg(double v) : FValue(v) {}

    const std::variant<QString, qint64, double>& Value() const { return FValue; }

private:
    std::variant<QString, qint64, double> FValue;
};

// The run-time library's Format: %s, %d, %u, %x, %f, %g, %e, %n, %m, %% with optional
// "-", width and ".precision"; "*" is not supported. %s takes a text, %d, %u and %x an integer,
// the others a double, written with the decimal separator of formatSettings(). A directive without
// a fitting argument raises EConvertError.
QString FormatList(const QString& fmt, std::initializer_list<FormatArg> args);

template <typename... Args>
QString Format(const QString& fmt, const Args&... args)
{
    return FormatList(fmt, {FormatArg(args)...});
}

}  // namespace rtl
