#include "core/base/zstrings.h"

#include "rtl/format.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <algorithm>

namespace {

const QChar Backslash = '\\';

template <typename Range>
bool TextInRange(const QString& S, const Range& Array)
{
    return std::any_of(
        Array.begin(), Array.end(), [&](const QString& entry) { return rtl::SameText(S, entry); });
}

// Digits from the last to the first, summed in 32 bits so that long texts wrap around.
int DigitsToInt(const QString& S, quint32 Base, int (*DigitValue)(QChar))
{
    quint32 result = 0;
    quint32 weight = 1;
    for (qsizetype i = S.size() - 1; i >= 0; --i) {
        result += quint32(DigitValue(S[i])) * weight;
        weight *= Base;
    }
    return int(result);
}

// Open + S + Close with every Close inside S doubled: the only way SQL lets a quoted text hold its
// own closing quote.
QString Enclosed(const QString& S, QChar Open, QChar Close)
{
    QString result;
    result.reserve(S.size() + 2);
    result += Open;
    for (const QChar ch : S) {
        if (ch == Close)
            result += Close;
        result += ch;
    }
    return result + Close;
}

}  // namespace

bool IsWhiteSpace(QChar Ch)
{
    const char16_t c = Ch.unicode();
    return c == 9 || c == 10 || c == 13 || c == 32;
}

bool IsDigitChar(QChar Ch)
{
    return Ch >= '0' && Ch <= '9';
}

bool IsHexDigitChar(QChar Ch)
{
    return IsDigitChar(Ch) || (Ch >= 'A' && Ch <= 'F') || (Ch >= 'a' && Ch <= 'f');
}

bool IsIdentChar(QChar Ch)
{
    return IsDigitChar(Ch) || (Ch >= 'A' && Ch <= 'Z') || (Ch.unicode() >= 95 && Ch.unicode() <= 122);
}

QString DupChar(QChar Ch, int Count)
{
    return Count > 0 ? QString(Count, Ch) : QString();
}

int PosEx(const QString& Sub, const QString& S, int Start, int N)
{
    if (Sub.isEmpty() || S.isEmpty() || N <= 0)
        return 0;
    qsizetype from = std::max(Start, 1) - 1;
    while (from < S.size()) {
        const qsizetype found = S.indexOf(Sub, from);
        if (found < 0)
            return 0;
        if (--N == 0)
            return int(found) + 1;
        from = found + 1;
    }
    return 0;
}

QString ReplaceAll(const QString& S, const QString& Old, const QString& New)
{
    return ReplaceAllEx(S, Old, New, true);
}

QString ReplaceAllEx(const QString& S, const QString& Old, const QString& New, bool CaseSensitive)
{
    if (Old.isEmpty())
        return S;
    // Folding keeps the length, so positions found in the folded text hold in S.
    const QString text = CaseSensitive ? S : rtl::LowerCase(S);
    const QString sought = CaseSensitive ? Old : rtl::LowerCase(Old);
    QString result;
    qsizetype from = 0;
    for (qsizetype found = text.indexOf(sought); found >= 0; found = text.indexOf(sought, from)) {
        result += QStringView(S).mid(from, found - from);
        result += New;
        from = found + sought.size();
    }
    result += QStringView(S).mid(from);
    return result;
}

QString StrBefore(const QString& Sep, const QString& S)
{
    const qsizetype found = Sep.isEmpty() ? -1 : S.indexOf(Sep);
    return found < 0 ? S : rtl::Trim(S.left(found));
}

QString StrAfter(const QString& Sep, const QString& S)
{
    const qsizetype found = Sep.isEmpty() ? -1 : S.indexOf(Sep);
    return found < 0 ? S : rtl::Trim(S.mid(found + Sep.size()));
}

bool StartsWith(const QString& Prefix, const QString& S)
{
    return S.startsWith(Prefix);
}

int CountChar(const QString& S, QChar Ch)
{
    return int(S.count(Ch));
}

bool ContainsWord(const QString& Text, const QString& Word)
{
    if (Word.isEmpty())
        return false;
    for (qsizetype found = Text.indexOf(Word); found >= 0; found = Text.indexOf(Word, found + 1)) {
        const qsizetype after = found + Word.size();
        const bool freeBefore = found == 0 || !IsIdentChar(Text[found - 1]);
        const bool freeAfter = after >= Text.size() || !IsIdentChar(Text[after]);
        if (freeBefore && freeAfter)
            return true;
    }
    return false;
}

bool TextInArray(const QString& S, std::initializer_list<QString> Array)
{
    return TextInRange(S, Array);
}

bool TextInArray(const QString& S, const QStringList& Array)
{
    return TextInRange(S, Array);
}

bool EqualIgnoringChars(const QString& A, const QString& B, const QString& Skip)
{
    qsizetype a = 0;
    qsizetype b = 0;
    for (;;) {
        while (a < A.size() && Skip.contains(A[a]))
            ++a;
        while (b < B.size() && Skip.contains(B[b]))
            ++b;
        const bool endA = a >= A.size();
        const bool endB = b >= B.size();
        if (endA || endB)
            return endA && endB;
        if (A[a] != B[b])
            return false;
        ++a;
        ++b;
    }
}

bool SameTextIgnoreSpaces(const QString& A, const QString& B)
{
    return EqualIgnoringChars(A, B, QStringLiteral(" "));
}

void ExtractCommaItem(QString& S, QString& Item)
{
    const qsizetype comma = S.indexOf(',');
    if (comma < 0) {
        Item = S;
        S.clear();
    } else {
        Item = S.left(comma);
        S = S.mid(comma + 1);
    }
}

QString RemoveFileExt(const QString& Path)
{
    // Stored paths use the backslash, paths of this platform the slash: either ends a folder name.
    const qsizetype nameStart = std::max(Path.lastIndexOf(Backslash), Path.lastIndexOf('/')) + 1;
    const qsizetype dot = Path.indexOf('.', nameStart);
    return dot < 0 ? Path : Path.left(dot);
}

QString IncludeBackslash(const QString& Path)
{
    return Path.isEmpty() || Path.endsWith(Backslash) ? Path : Path + Backslash;
}

QString JoinWithSeparator(const QString& A, const QString& B, const QString& Sep)
{
    if (A.isEmpty())
        return B;
    if (B.isEmpty())
        return A;
    const bool sepAfterA = A.endsWith(Sep);
    const bool sepBeforeB = B.startsWith(Sep);
    if (sepAfterA && sepBeforeB)
        return A + B.mid(Sep.size());
    if (sepAfterA || sepBeforeB)
        return A + B;
    return A + Sep + B;
}

QString JoinPath(const QString& A, const QString& B)
{
    return JoinWithSeparator(A, B, QString(Backslash));
}

QString QuoteStr(const QString& S, QChar Q)
{
    QString result = Q;
    qsizetype i = 0;
    while (i < S.size()) {
        if (S[i].unicode() >= 32) {
            if (S[i] == Q)
                result += Q;
            result += S[i++];
            continue;
        }
        result += Q;
        for (; i < S.size() && S[i].unicode() < 32; ++i)
            result += '#' + QString::number(S[i].unicode());
        if (i == S.size())
            return result;
        result += Q;
    }
    return result + Q;
}

QString SQLStringLiteral(const QString& S)
{
    return Enclosed(S, u'\'', u'\'');
}

QString QuoteIdentifier(const QString& Name, QChar Q1, QChar Q2)
{
    return Enclosed(Name, Q1, Q2);
}

QString UnquoteStr(const QString& S, QChar Q)
{
    if (S.isEmpty() || S[0] != Q)
        return S;
    // A single quote ends the literal; a text that never closes keeps all of its characters.
    QString result;
    for (qsizetype i = 1; i < S.size(); ++i) {
        if (S[i] == Q) {
            if (i + 1 >= S.size() || S[i + 1] != Q)
                break;
            ++i;
        }
        result += S[i];
    }
    return result;
}

void SplitQuoted(const QString& S, QChar Sep, QChar Q, QStringList& List)
{
    List.clear();
    if (rtl::Trim(S).isEmpty())
        return;
    bool inQuotes = false;
    qsizetype itemStart = 0;
    for (qsizetype i = 0; i <= S.size(); ++i) {
        if (i < S.size() && S[i] == Q)
            inQuotes = !inQuotes;
        if (i == S.size() || (S[i] == Sep && !inQuotes)) {
            List.append(UnquoteStr(rtl::Trim(S.mid(itemStart, i - itemStart)), Q));
            itemStart = i + 1;
        }
    }
}

void SplitCommaText(const QString& S, QStringList& List)
{
    SplitQuoted(S, ',', '"', List);
}

int StrToIntSafe(const QString& S)
{
    return rtl::Trim(S).isEmpty() ? 0 : rtl::StrToInt(S);
}

int HexDigitValue(QChar Ch)
{
    if (IsDigitChar(Ch))
        return Ch.unicode() - '0';
    if (Ch >= 'A' && Ch <= 'F')
        return Ch.unicode() - 'A' + 10;
    if (Ch >= 'a' && Ch <= 'f')
        return Ch.unicode() - 'a' + 10;
    throw EZStringsError(QString(Ch) + QStringLiteral(" is not a hex digit"));
}

int HexToInt(const QString& S)
{
    return DigitsToInt(rtl::UpperCase(S), 16, HexDigitValue);
}

int OctDigitValue(QChar Ch)
{
    if (Ch >= '0' && Ch <= '7')
        return Ch.unicode() - '0';
    throw EZStringsError(QString(Ch) + QStringLiteral(" is not an oct digit"));
}

int OctToInt(const QString& S)
{
    return DigitsToInt(S, 8, OctDigitValue);
}

double StrToFloatDot(const QString& S, double Default)
{
    if (S.isEmpty())
        return Default;
    rtl::DotDecimalScope dot;
    return rtl::StrToFloat(S);
}

QString FloatToStrDot(double X)
{
    rtl::DotDecimalScope dot;
    return rtl::FloatToStr(X);
}

bool StrToBoolDef(const QString& S)
{
    return !S.isEmpty() && StrToBoolDefTrue(S);
}

bool StrToBoolDefTrue(const QString& S)
{
    return S != QLatin1String("false") && S != QLatin1String("0");
}

QString PlacementText(const QRect& Rect)
{
    return rtl::Format(QStringLiteral("%d,%d,%d,%d"), Rect.left(), Rect.top(), Rect.width(), Rect.height());
}

void ReadPlacement(const QString& Text, QRect& Rect, TPlacementRule Rule)
{
    QString rest = Text;
    const auto next = [&] {
        QString item;
        ExtractCommaItem(rest, item);
        return Rule == TPlacementRule::Lenient ? StrToIntSafe(rtl::Trim(item)) : rtl::StrToInt(item);
    };
    Rect.moveLeft(next());
    Rect.moveTop(next());
    Rect.setWidth(next());
    Rect.setHeight(next());
}

int FindIniSection(int Start, const QStringList& Lines, const QString& Name)
{
    const QString header = '[' + Name + ']';
    const auto find = [&](int From) {
        for (int i = std::max(From, 0); i < Lines.size(); ++i)
            if (rtl::SameText(rtl::Trim(Lines[i]), header))
                return i;
        return -1;
    };
    const int found = find(Start);
    return found >= 0 || Start == 0 ? found : find(0);
}

int ReadIniSection(int Start, const QStringList& Lines, const QString& Name, QStringList& Dest)
{
    Dest.clear();
    const int header = FindIniSection(Start, Lines, Name);
    if (header < 0)
        return Start;
    int last = header;
    for (int i = header + 1; i < Lines.size(); ++i) {
        const QString trimmed = rtl::Trim(Lines[i]);
        if (trimmed.startsWith('['))
            break;
        if (!trimmed.isEmpty())
            Dest.append(Lines[i]);
        last = i;
    }
    return last;
}

void ListIniSections(const QStringList& Lines, QStringList& Dest)
{
    ForEachIniSection(Lines, [&Dest](QStringView Name) { Dest.append(Name.toString()); });
}
