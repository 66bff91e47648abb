#pragma once

#include <QString>

// Text helpers with the run-time library's rules: positions are 1-based, case folding touches
// ASCII letters only, and Trim removes every character up to the blank.
namespace rtl {

QChar AsciiUpper(QChar c);
bool IsAsciiLetter(QChar c);
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
int CompareText(const QString& a, const QString& b);  // <0, 0, >0, ASCII case folded
bool SameText(const QString& a, const QString& b);
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);
int Pos(const QString& sub, const QString& s);  // 0 when not found
QString Copy(const QString& s, int index, int count);  // tolerant of out-of-range arguments
// A stored boolean: empty gives the default, "0" and "false" (any case) give false, the rest true.
bool TextToBool(const QString& s, bool defaultValue);

}  // namespace rtl
