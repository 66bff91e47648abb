#include "gates/fendal/sqldates.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace {

// The stored form of a month/day/year text, or an empty text when Text is not a valid date.
QString StoredDate(QStringView Text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})(?: (\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch match = form.match(Text);
    if (!match.hasMatch())
        return QString();
    const QDate date(
        match.capturedView(3).toInt(), match.capturedView(1).toInt(), match.capturedView(2).toInt());
    const QTime time(
        match.capturedView(4).toInt(), match.capturedView(5).toInt(), match.capturedView(6).toInt());
    if (!date.isValid() || !time.isValid())
        return QString();
    QString stored = date.toString(Qt::ISODate);
    // Dates without a time of day are stored without one, so midnight compares equal to them.
    if (time != QTime(0, 0))
        stored += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    return stored;
}

// The position after a quoted span opened at Start by Quote; a doubled quote stays inside.
qsizetype SkipQuoted(const QString& SQL, qsizetype Start, QChar Quote)
{
    const QChar close = Quote == QLatin1Char('[') ? QLatin1Char(']') : Quote;
    qsizetype i = Start + 1;
    while (i < SQL.size()) {
        if (SQL[i] == close) {
            if (close == Quote && i + 1 < SQL.size() && SQL[i + 1] == close)
                i += 2;
            else
                return i + 1;
        } else {
            ++i;
        }
    }
    return SQL.size();
}

// The position after a comment that starts at Start, or Start when none does.
qsizetype SkipComment(const QString& SQL, qsizetype Start)
{
    const QStringView rest = QStringView(SQL).mid(Start);
    if (rest.startsWith(u"--")) {
        const qsizetype end = SQL.indexOf(QLatin1Char('\n'), Start);
        return end < 0 ? SQL.size() : end + 1;
    }
    if (rest.startsWith(u"/*")) {
        const qsizetype end = SQL.indexOf(QStringLiteral("*/"), Start + 2);
        return end < 0 ? SQL.size() : end + 2;
    }
    return Start;
}

}  // namespace

QString RewriteDateLiterals(const QString& SQL)
{
    QString result;
    result.reserve(SQL.size());
    qsizetype i = 0;
    while (i < SQL.size()) {
        const QChar ch = SQL[i];
        qsizetype next = SkipComment(SQL, i);
        if (next == i && (ch == u'\'' || ch == u'"' || ch == u'`' || ch == u'['))
            next = SkipQuoted(SQL, i, ch);
        if (next == i) {
            result += ch;
            ++i;
            continue;
        }
        const QStringView span = QStringView(SQL).mid(i, next - i);
        const bool closedLiteral = ch == u'\'' && span.size() >= 2 && span.endsWith(u'\'');
        const QString stored = closedLiteral ? StoredDate(span.mid(1, span.size() - 2)) : QString();
        if (stored.isEmpty())
            result += span;
        else
            result += QLatin1Char('\'') + stored + QLatin1Char('\'');
        i = next;
    }
    return result;
}
