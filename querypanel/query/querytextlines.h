#pragma once

#include <QString>
#include <QStringList>

// How a query text keeps what its line form cannot hold: a value with a line break, a blank
// description line, a description line beginning with "[". A text that holds any of them says
// "Escaped=1" in its head section; then every value has "\" doubled and CR and LF written as "\r"
// and "\n", and every free line (description, user data) starts with "|". Texts without the key
// read as they always did.
namespace querytext {

inline const QString EscapedKey = QStringLiteral("Escaped");

inline bool ValueNeedsEscape(const QString& Value)
{
    return Value.contains(u'\r') || Value.contains(u'\n');
}

inline bool FreeLineNeedsEscape(const QString& Line)
{
    const QString trimmed = Line.trimmed();
    return trimmed.isEmpty() || trimmed.startsWith(u'[') || ValueNeedsEscape(Line);
}

inline bool FreeLinesNeedEscape(const QStringList& Lines)
{
    for (const QString& line : Lines)
        if (FreeLineNeedsEscape(line))
            return true;
    return false;
}

inline QString EscapeValue(const QString& Value)
{
    QString out;
    out.reserve(Value.size());
    for (QChar c : Value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out;
}

// A "\" before anything but "\", "r" or "n" stays as it is.
inline QString UnescapeValue(const QString& Value)
{
    QString out;
    out.reserve(Value.size());
    for (qsizetype i = 0; i < Value.size(); ++i) {
        const QChar c = Value[i];
        if (c != u'\\' || i + 1 == Value.size()) {
            out += c;
            continue;
        }
        const QChar next = Value[i + 1];
        if (next == u'\\' || next == u'r' || next == u'n') {
            out += next == u'\\' ? QChar(u'\\') : next == u'r' ? QChar(u'\r') : QChar(u'\n');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Writes and reads values and free lines under one text's escaping rule.
struct TextCodec {
    bool Escaped = false;

    QString Put(const QString& Value) const { return Escaped ? EscapeValue(Value) : Value; }
    QString Get(const QString& Value) const { return Escaped ? UnescapeValue(Value) : Value; }
    QString PutLine(const QString& Line) const { return Escaped ? u'|' + EscapeValue(Line) : Line; }
    QString GetLine(const QString& Line) const
    {
        return Escaped && Line.startsWith(u'|') ? UnescapeValue(Line.mid(1)) : Line;
    }
};

}  // namespace querytext
