#pragma once

#include "core/base/zstrings.h"
#include "querypanel/query/queryerrors.h"
#include "rtl/stringlist.h"

#include <QString>
#include <QStringList>
#include <QStringView>

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

// The numbered sections of a query text ([RField<n>], [Row<path>]) must be the ones their counts
// promise: reading up to a wrong count gives the query other columns or conditions. Both errors
// name the section; the file's path goes in front where the text came from a file.

// Whether Name is a row section's as the writer names them: "Row", then numbers from 1 each
// followed by a dot ("Row1.2."), in any letter case.
inline bool IsRowPath(QStringView Name)
{
    if (!Name.startsWith(u"row", Qt::CaseInsensitive))
        return false;
    for (qsizetype i = 3; i < Name.size(); ++i) {
        if (Name[i] < u'1' || Name[i] > u'9')
            return false;
        while (++i < Name.size() && Name[i] >= u'0' && Name[i] <= u'9') {}
        if (i == Name.size() || Name[i] != u'.')
            return false;
    }
    return true;
}

// The number of a result field section as the writer names it ("RField12", any letter case), or
// an empty view for any other name.
inline QStringView FieldSectionNumber(QStringView Name)
{
    constexpr qsizetype prefix = 6;
    if (Name.size() <= prefix || !Name.startsWith(u"rfield", Qt::CaseInsensitive) || Name[prefix] == u'0')
        return {};
    for (const QChar c : Name.sliced(prefix))
        if (c < u'0' || c > u'9')
            return {};
    return Name.sliced(prefix);
}

// A section that reads as no lines: "empty" when its header stands in Lines, else "missing".
inline QString LacksLines(const QStringList& Lines, const QString& Section)
{
    return FindIniSection(0, Lines, Section) >= 0 ? QStringLiteral("empty") : QStringLiteral("missing");
}

// A section that its count promises and that the text lacks, or holds without lines.
inline EZQueryPanelError MissingSection(const QStringList& Lines, const QString& Section)
{
    return EZQueryPanelError(0,
        QStringLiteral("Error in section %1: Section [%1] is %2").arg(Section, LacksLines(Lines, Section)));
}

// Which count a numbered section lies beyond: Key in the section Head (read as Values), or the key
// or Head itself when missing or empty.
inline QString CountBeyond(
    const QStringList& Lines, const QString& Head, const rtl::StringList& Values, const QString& Key)
{
    if (Values.isEmpty())
        return QStringLiteral("[%1], which is %2").arg(Head, LacksLines(Lines, Head));
    if (Values.IndexOfName(Key) < 0)
        return QStringLiteral("%1 of [%2], which is missing").arg(Key, Head);
    const QString count = Values.Values(Key);
    if (count.isEmpty())
        return QStringLiteral("%1 of [%2], which is empty").arg(Key, Head);
    return QStringLiteral("%1=%2 of [%3]").arg(Key, count, Head);
}

// A section outside what its count promises; Where is "beyond " + CountBeyond, or another place.
inline EZQueryPanelError StraySection(const QString& Section, const QString& Where)
{
    return EZQueryPanelError(
        0, QStringLiteral("Error in section %1: Section [%1] lies %2").arg(Section, Where));
}

}  // namespace querytext
