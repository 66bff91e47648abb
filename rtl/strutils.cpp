#include "rtl/strutils.h"

namespace rtl {

QChar AsciiUpper(QChar c)
{
    return (c >= 'a' && c <= 'z') ? QChar(c.unicode() - 32) : c;
}

bool IsAsciiLetter(QChar c)
{
    const QChar u = AsciiUpper(c);
    return u >= 'A' && u <= 'Z';
}

QString UpperCase(const QString& s)
{
    QString result = s;
    for (QChar& c : result)
        c = AsciiUpper(c);
    return result;
}

QString LowerCase(const QString& s)
{
    QString result = s;
    for (QChar& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = QChar(c.unicode() + 32);
    }
    return result;
}

int CompareText(const QString& a, const QString& b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int diff = int(AsciiUpper(a[i]).unicode()) - int(AsciiUpper(b[i]).unicode());
        if (diff != 0)
            return diff;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(const QString& a, const QString& b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

QString Trim(const QString& s)
{
    return TrimRight(TrimLeft(s));
}

QString TrimLeft(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] <= ' ')
        ++i;
    return s.mid(i);
}

QString TrimRight(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] <= ' ')
        --n;
    return s.left(n);
}

int Pos(const QString& sub, const QString& s)
{
    if (sub.isEmpty())
        return 0;
    return int(s.indexOf(sub)) + 1;
}

QString Copy(const QString& s, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || index > s.size())
        return QString();
    return s.mid(index - 1, count);
}

bool TextToBool(const QString& s, bool defaultValue)
{
    if (s.isEmpty())
        return defaultValue;
    return s != QLatin1String("0") && !SameText(s, QStringLiteral("false"));
}

}  // namespace rtl
