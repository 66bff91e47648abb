#include "rtl/stringlist.h"

#include "rtl/exception.h"
#include "rtl/strutils.h"

namespace rtl {

namespace {

bool IsBlank(QChar c)
{
    return c <= ' ';
}

bool NeedsQuotes(const QString& item)
{
    for (QChar c : item) {
        if (IsBlank(c) || c == '"' || c == ',')
            return true;
    }
    return false;
}

const QString& LineAt(const QStringList& lines, int index)
{
    if (index < 0 || index >= lines.size())
        throw EListError::IndexError(index);
    return lines[index];
}

}  // namespace

QString StringList::Text() const
{
    qsizetype size = 0;
    for (const QString& line : *this)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString& line : *this) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void StringList::SetText(const QString& text)
{
    clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n')
            ++end;
        append(text.mid(start, end - start));
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

QString StringList::CommaText() const
{
    // A single empty item still needs a visible form, or it would read back as no item at all.
    if (size() == 1 && first().isEmpty())
        return QStringLiteral("\"\"");
    QStringList items;
    for (const QString& item : *this) {
        if (NeedsQuotes(item)) {
            QString quoted = item;
            quoted.replace('"', QStringLiteral("\"\""));
            items.append('"' + quoted + '"');
        } else {
            items.append(item);
        }
    }
    return items.join(',');
}

void StringList::SetCommaText(const QString& text)
{
    clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && IsBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text[i] == '"') {
            // A quoted item without its closing quote runs to the end of the text, all of it kept.
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            const qsizetype start = i;
            while (i < n && !IsBlank(text[i]) && text[i] != ',')
                ++i;
            item = text.mid(start, i - start);
        }
        append(item);
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            // A comma at the very end still ends an item: the empty last one.
            if (i == n)
                append(QString());
            skipBlanks();
        }
    }
}

int StringList::IndexOfName(const QString& name) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        const qsizetype eq = at(i).indexOf('=');
        if (eq >= 0 && SameText(at(i).left(eq), name))
            return int(i);
    }
    return -1;
}

int StringList::IndexOfText(const QString& s) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (SameText(at(i), s))
            return int(i);
    }
    return -1;
}

QString StringList::Names(int index) const
{
    const QString& line = LineAt(*this, index);
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : line.left(eq);
}

QString StringList::ValueFromIndex(int index) const
{
    const QString& line = LineAt(*this, index);
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString StringList::Values(const QString& name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? QString() : ValueFromIndex(index);
}

void StringList::SetValues(const QString& name, const QString& value)
{
    const int index = IndexOfName(name);
    if (value.isEmpty()) {
        if (index >= 0)
            removeAt(index);
    } else if (index >= 0) {
        replace(index, name + '=' + value);
    } else {
        append(name + '=' + value);
    }
}

}  // namespace rtl
