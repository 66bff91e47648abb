#pragma once

#include "rtl/exception.h"
#include "rtl/stringlist.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>

// Free functions on texts (1-based positions) and on lists of lines, as the system's text files,
// SQL pieces and expressions need them. They keep no state.

class EZStringsError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// Character classes.
bool IsWhiteSpace(QChar Ch);  // tab, line feed, carriage return, blank
bool IsDigitChar(QChar Ch);
bool IsHexDigitChar(QChar Ch);
bool IsIdentChar(QChar Ch);  // digits, A-Z, and codes 95 to 122 (_, `, a-z)

// Searching, replacing, cutting.
QString DupChar(QChar Ch, int Count);
int PosEx(const QString& Sub, const QString& S, int Start, int N);
QString ReplaceAll(const QString& S, const QString& Old, const QString& New);
QString ReplaceAllEx(const QString& S, const QString& Old, const QString& New, bool CaseSensitive);
QString StrBefore(const QString& Sep, const QString& S);
QString StrAfter(const QString& Sep, const QString& S);
bool StartsWith(const QString& Prefix, const QString& S);
int CountChar(const QString& S, QChar Ch);
// True when some occurrence of Word stands alone, not inside a longer identifier.
bool ContainsWord(const QString& Text, const QString& Word);
bool TextInArray(const QString& S, std::initializer_list<QString> Array);
bool TextInArray(const QString& S, const QStringList& Array);
bool EqualIgnoringChars(const QString& A, const QString& B, const QString& Skip);
bool SameTextIgnoreSpaces(const QString& A, const QString& B);
// Item := text before the first comma, S := text after it; without a comma Item := S, S := "".
void ExtractCommaItem(QString& S, QString& Item);

// Paths with the backslash as separator, as they are stored.
QString RemoveFileExt(const QString& Path);
QString IncludeBackslash(const QString& Path);
QString JoinWithSeparator(const QString& A, const QString& B, const QString& Sep);
QString JoinPath(const QString& A, const QString& B);

// Quoting and splitting.
// A Pascal-style literal: control characters leave the quotes as #nn codes. No SQL server reads
// that form; SQL literals come from SQLStringLiteral.
QString QuoteStr(const QString& S, QChar Q);
// The one SQL string literal: 'text' with inner apostrophes doubled; every other character, control
// characters included, stays as it is. Whatever S holds, the literal ends exactly at its last
// apostrophe.
QString SQLStringLiteral(const QString& S);
// The one quoted SQL identifier (table, owner, database, field or alias name): Q1 + Name + Q2, with
// every Q2 inside Name doubled so that the name can never end the identifier early. Q1 and Q2 are the
// model's quote symbols ('"' and '"', '[' and ']', '`' and '`').
QString QuoteIdentifier(const QString& Name, QChar Q1, QChar Q2);
QString UnquoteStr(const QString& S, QChar Q);
void SplitQuoted(const QString& S, QChar Sep, QChar Q, QStringList& List);
void SplitCommaText(const QString& S, QStringList& List);

// Numbers and booleans as the text files hold them.
int StrToIntSafe(const QString& S);
int HexDigitValue(QChar Ch);
int HexToInt(const QString& S);
int OctDigitValue(QChar Ch);
int OctToInt(const QString& S);
double StrToFloatDot(const QString& S, double Default);
QString FloatToStrDot(double X);
bool StrToBoolDef(const QString& S);
bool StrToBoolDefTrue(const QString& S);

// A rectangle as "Left,Top,Width,Height" (decimal, no blanks), as model texts and the registry keep it.
QString PlacementText(const QRect& Rect);
// How ReadPlacement takes its items: Lenient drops blanks around an item and reads an empty or
// missing one as 0 (model texts); Strict wants every item to be an integer (the registry).
enum class TPlacementRule { Lenient, Strict };
// Sets Left, Top, Width and Height of Rect from the text in that order; an item that is no integer
// raises the conversion error and leaves the members before it set.
void ReadPlacement(const QString& Text, QRect& Rect, TPlacementRule Rule);

// INI-like sections in a list of lines.
int FindIniSection(int Start, const QStringList& Lines, const QString& Name);
int ReadIniSection(int Start, const QStringList& Lines, const QString& Name, QStringList& Dest);
void ListIniSections(const QStringList& Lines, QStringList& Dest);
// Calls Take with the name of each section header of Lines, in their order, blanks and control
// characters round the header aside as the readers above take them, without copying a line.
template <typename F>
void ForEachIniSection(const QStringList& Lines, F Take)
{
    for (const QString& line : Lines) {
        QStringView text(line);
        while (!text.isEmpty() && text.front() <= u' ')
            text = text.sliced(1);
        if (text.isEmpty() || text.front() != u'[')
            continue;
        while (text.back() <= u' ')
            text.chop(1);
        if (text.size() >= 2 && text.back() == u']')
            Take(text.sliced(1, text.size() - 2));
    }
}
