#include "core/tokenizer/scanner.h"

#include "core/base/zstrings.h"
#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/numbers.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"

#include <algorithm>
#include <utility>

namespace {

struct SyntaxInfo {
    const char* DelimiterTail;
    char16_t StringQuote, EscapeChar, CharQuote;
    const char* LineComment;
    const char* BlockComments;
};

const char* const DelimiterHead = "( ) [ ] + - * / = < > ! ; , @ ' \" : . := >= <=";

const SyntaxInfo Syntaxes[] = {
    {"<> { } // (* *) #", u'\'', u'#', u'\'', "//", "(*-*),{-}"},
    {"!= { } // # /* */ ->", u'"', u'\\', u'\'', "//", "/*-*/"},
    {"<> != { } // # /* */ ->", u'\'', u'\\', u'\'', "//", "/*-*/"},
    {"!= { } # -> =~", u'"', u'\\', u'\'', "#", ""},
};

// Empties a token text for reuse: a buffer nobody shares keeps its memory, so scanning allocates
// nothing once the window's buffers have grown.
void ClearForReuse(QString& Text)
{
    if (Text.isDetached())
        Text.resize(0);
    else
        Text = QString();
}

void AssignText(QString& Target, QStringView Source)
{
    if (!Target.isDetached())
        Target = QString();
    Target.resize(Source.size());
    std::copy(Source.begin(), Source.end(), Target.data());
}

// Target := Source lower-cased with ASCII folding, as every case-insensitive look-up of the system, in
// Target's own buffer like AssignText.
void AssignLower(QString& Target, QStringView Source)
{
    if (!Target.isDetached())
        Target = QString();
    Target.resize(Source.size());
    QChar* out = Target.data();
    for (QChar ch : Source)
        *out++ = ch.unicode() >= 'A' && ch.unicode() <= 'Z' ? QChar(ch.unicode() + 32) : ch;
}

QStringList LowerCommaText(const QString& Text)
{
    rtl::StringList list;
    list.SetCommaText(Text);
    for (QString& item : list)
        item = rtl::LowerCase(item);
    return list;
}

// The run-time library's Trim (every character up to the blank goes) on a view, copying the text once.
QString Trimmed(QStringView Text)
{
    while (!Text.isEmpty() && Text.front() <= u' ')
        Text = Text.sliced(1);
    while (!Text.isEmpty() && Text.back() <= u' ')
        Text.chop(1);
    return Text.toString();
}

bool TextAt(const QString& Line, int Index, const QString& Text)
{
    return !Text.isEmpty() && Line.size() - Index >= Text.size() && Line[Index] == Text[0]
        && QStringView(Line).sliced(Index, Text.size()) == Text;
}

bool IsNumber(const QString& Word)
{
    bool digits = true;
    for (QChar ch : Word)
        digits = digits && IsDigitChar(ch);
    double value;
    return digits || rtl::TryStrToFloat(Word, value);
}

}  // namespace

TZScanner::TZScanner()
{
    for (char16_t ch = 0; ch < FWhiteChar.size(); ++ch)
        FWhiteChar[ch] = IsWhiteSpace(QChar(ch));
    SetSyntax(zsPascal);
    SetLines(QStringList());
    FLastValid = -1;
}

void TZScanner::SetLines(const QStringList& Lines)
{
    FLines = Lines;
    FEndToken = TZToken();
    FEndToken.StartCol = 1;
    for (const QString& line : FLines)
        FEndToken.Pos += int(line.size()) + 2;
    if (!FLines.isEmpty()) {
        FEndToken.Line = int(FLines.size()) - 1;
        FEndToken.StartCol = int(FLines.last().size()) + 1;
        FEndToken.Pos -= 2;
    }
    FEndToken.EndCol = FEndToken.StartCol;
}

void TZScanner::WordSet::Assign(const QStringList& List)
{
    Words = List;
    Sorted.clear();
    Lengths.fill(0);
    for (const QString& word : List) {
        const QString& lower = Sorted.emplace_back(rtl::LowerCase(word));
        if (!lower.isEmpty() && lower[0].unicode() < Lengths.size())
            Lengths[lower[0].unicode()] |= LengthBit(lower.size());
    }
    std::sort(Sorted.begin(), Sorted.end());
}

// Most words fail the filter of first letter and length, before any text comparison.
bool TZScanner::WordSet::Contains(const QString& Lower) const
{
    return (Lengths[Lower[0].unicode()] & LengthBit(Lower.size()))
        && std::binary_search(Sorted.begin(), Sorted.end(), Lower);
}

void TZScanner::SetReservedWords(const QStringList& Words)
{
    FReservedWords.Assign(Words);
}

void TZScanner::SetKeywords1(const QStringList& Words)
{
    FKeywords1.Assign(Words);
}

void TZScanner::SetKeywords2(const QStringList& Words)
{
    FKeywords2.Assign(Words);
}

void TZScanner::SetSyntax(int N)
{
    if (N == FSyntax)
        return;
    FSyntax = N;
    if (N < zsPascal || N > zsScript)
        return;
    const SyntaxInfo& info = Syntaxes[N - zsPascal];
    FDelimiters = QString::fromLatin1(DelimiterHead) + ' ' + QString::fromLatin1(info.DelimiterTail);
    FStringQuote = QChar(info.StringQuote);
    FEscapeChar = QChar(info.EscapeChar);
    FCharQuote = QChar(info.CharQuote);
    SetBlockComments(QString::fromLatin1(info.BlockComments));
    SetLineComment(QString::fromLatin1(info.LineComment));
    UpdateDelimiterTables();
}

void TZScanner::SetSQLText()
{
    SetSyntax(zsSQL);
    SetEscapeChar(QChar());
    SetLineComment(QStringLiteral("--"));
}

void TZScanner::SetLineComment(const QString& Text)
{
    FLineComment = Text;
    UpdateCommentStarts();
}

void TZScanner::UpdateCommentStarts()
{
    FCommentStart.fill(false);
    QStringList begins {FLineComment};
    for (const BlockComment& comment : std::as_const(FBlockComments))
        begins.append(comment.Begin);
    for (const QString& begin : std::as_const(begins)) {
        if (!begin.isEmpty() && begin[0].unicode() < FCommentStart.size())
            FCommentStart[begin[0].unicode()] = true;
    }
}

void TZScanner::UpdateDelimiterTables()
{
    FDelimiterChar.fill(false);
    FDelimiterPairs.clear();
    for (int i = 0; i < FDelimiters.size(); ++i) {
        const char16_t ch = FDelimiters.at(i).unicode();
        if (ch < FDelimiterChar.size())
            FDelimiterChar[ch] = true;
        if (i + 1 < FDelimiters.size() && !IsWhiteSpace(FDelimiters.at(i))
            && !IsWhiteSpace(FDelimiters.at(i + 1))) {
            const char16_t second = FDelimiters.at(i + 1).unicode();
            bool known = false;
            for (const DelimiterPair& pair : FDelimiterPairs)
                known = known || (pair.First == ch && pair.Second == second);
            if (!known)
                FDelimiterPairs.append({ch, second});
        }
    }
}

QString TZScanner::GetBlockComments() const
{
    QStringList items;
    for (const BlockComment& comment : FBlockComments)
        items.append(comment.Begin + '-' + comment.End);
    return items.join(',');
}

void TZScanner::SetBlockComments(const QString& Text)
{
    if (Text == GetBlockComments())
        return;
    FBlockComments.clear();
    rtl::StringList items;
    items.SetCommaText(Text);
    for (const QString& item : items) {
        const int dash = int(item.indexOf('-'));
        // An empty begin text would make the whole source a comment.
        if (dash > 0)
            FBlockComments.append({item.left(dash), item.mid(dash + 1)});
    }
    UpdateCommentStarts();
}

void TZScanner::Start()
{
    FLine = 0;
    FScanCol = 1;
    FLineOffset = 0;
    FHead = 0;
    FWindow.fill(TZToken());
    for (int n = 0; n <= ScannerWindow; ++n)
        Slot(n) = FEndToken;
    FLastValid = -1;
    for (int n = 0; n <= ScannerWindow && ScanToken(FScratch); ++n) {
        std::swap(Slot(n), FScratch);
        FLastValid = n;
    }
}

void TZScanner::Next()
{
    if (Eof())
        return;
    const bool scanned = ScanToken(FScratch);
    // Every token moves back one position: position -9 becomes the ring's head.
    FHead = SlotIndex(1 - ScannerWindow);
    --FLastValid;
    // Positions past the last token show the source's end, never a stale token. A new token follows
    // the last one, which is position 10 unless a failed Start left the window short.
    if (scanned && FLastValid == ScannerWindow - 1) {
        std::swap(Slot(++FLastValid), FScratch);
        return;
    }
    Slot(ScannerWindow) = FEndToken;
    if (scanned)
        std::swap(Slot(++FLastValid), FScratch);
}

void TZScanner::CheckPosition(int N)
{
    if (N < -ScannerWindow || N > ScannerWindow)
        throw rtl::Exception(rtl::Format("Token %d is not available", N));
}

const TZToken& TZScanner::GetToken(int N) const
{
    CheckPosition(N);
    return Slot(N);
}

void TZScanner::SetToken(int N, const TZToken& Token)
{
    CheckPosition(N);
    Slot(N) = Token;
}

void TZScanner::GetBookmark(TZScannerBookmark& Bookmark) const
{
    Bookmark.Index = FLastValid;
    for (int n = -ScannerWindow; n <= ScannerWindow; ++n)
        Bookmark.Tokens[n + ScannerWindow] = Slot(n);
}

void TZScanner::GotoBookmark(const TZScannerBookmark& Bookmark)
{
    FWindow = Bookmark.Tokens;
    FHead = 0;
    FLastValid = qMin(Bookmark.Index, ScannerWindow);
    if (FLastValid < 0) {
        FLine = int(FLines.size());
        FScanCol = 1;
        return;
    }
    // Scanning goes on after the last token read ahead, and so does the count of offsets.
    const TZToken& last = Slot(FLastValid);
    FLine = qBound(0, int(last.Line), int(FLines.size()));
    FScanCol = qMax(1, int(last.EndCol));
    FLineOffset = last.Pos - (last.StartCol - 1);
}

bool TZScanner::ScanFor(const QString& OpenWord, const QString& CloseWord, const TZScanParams& Params)
{
    // Callers ask with the same words again and again.
    if (Params.Words != FScanForWords.Text)
        FScanForWords = {Params.Words, LowerCommaText(Params.Words)};
    if (Params.ExcludeWords != FScanForExcludeWords.Text)
        FScanForExcludeWords = {Params.ExcludeWords, LowerCommaText(Params.ExcludeWords)};
    const QStringList& words = FScanForWords.Items;
    const QStringList& excludeWords = FScanForExcludeWords.Items;
    // The window stays as it is: the tokens ahead of it are scanned on the side, and the scan goes
    // back to where it was whatever happens.
    struct Restore {
        TZScanner& Scanner;
        int Line, ScanCol, LineOffset;
        ~Restore()
        {
            Scanner.FLine = Line;
            Scanner.FScanCol = ScanCol;
            Scanner.FLineOffset = LineOffset;
        }
    } restore {*this, FLine, FScanCol, FLineOffset};

    QList<int> excludedDepths;
    int depth = 0;
    for (int n = 1;; ++n) {
        if (n > FLastValid && !ScanToken(FScratch))
            return false;
        const TZToken& token = n > FLastValid ? FScratch : Slot(n);
        const QString& t = token.LowerText;
        if (t == CloseWord && depth == 0)
            return false;
        if (t == OpenWord)
            ++depth;
        if (t == CloseWord)
            --depth;
        if (excludeWords.contains(t))
            excludedDepths.append(depth);
        if ((Params.Kinds & (1u << token.Kind)) && words.contains(t) && !excludedDepths.contains(depth))
            return true;
    }
}

QString TZScanner::GetTextBetween(
    const TZScannerBookmark& Bookmark1, const TZScannerBookmark& Bookmark2, bool IncludeLast) const
{
    if (Bookmark1.Index < 0)
        return QString();
    // Past the last token the current one is the end of the last line; the token before it is the
    // last one, so a closing comment is not taken for part of the text.
    return GetTextBetween(
        Bookmark1.Tokens[ScannerWindow], Bookmark2.Tokens[IncludeLast ? ScannerWindow : ScannerWindow - 1]);
}

QString TZScanner::GetTextBetween(const TZToken& First, const TZToken& Last) const
{
    if (FLines.isEmpty() || Last.Line < First.Line || First.Line < 0 || Last.Line >= FLines.size())
        return QString();
    const QStringView first(FLines.at(First.Line));
    const qsizetype from = qBound(qsizetype(0), qsizetype(First.StartCol - 1), first.size());
    if (Last.Line == First.Line)
        return Trimmed(first.sliced(from, qBound(from, qsizetype(Last.EndCol - 1), first.size()) - from));
    QString text = first.sliced(from).toString();
    for (int line = First.Line + 1; line < Last.Line; ++line)
        text.append(u"\r\n").append(FLines.at(line));
    const QStringView last(FLines.at(Last.Line));
    text.append(u"\r\n").append(last.first(qBound(qsizetype(0), qsizetype(Last.EndCol - 1), last.size())));
    return Trimmed(text);
}

void TZScanner::NextLine()
{
    FLineOffset += int(FLines.at(FLine).size()) + 2;
    ++FLine;
    FScanCol = 1;
}

int TZScanner::BlockCommentAt(const QString& Line, int Index) const
{
    for (int i = 0; i < FBlockComments.size(); ++i) {
        if (TextAt(Line, Index, FBlockComments.at(i).Begin))
            return i;
    }
    return -1;
}

bool TZScanner::SkipToToken()
{
    while (FLine < FLines.size()) {
        const QString& line = FLines.at(FLine);
        int i = FScanCol - 1;
        int comment = -1;
        for (; i < line.size(); ++i) {
            const QChar ch = line[i];
            if (MayStartComment(ch)
                && (TextAt(line, i, FLineComment) || (comment = BlockCommentAt(line, i)) >= 0))
                break;
            if (!IsWhite(ch)) {
                FScanCol = i + 1;
                return true;
            }
        }
        if (comment < 0) {
            NextLine();
            continue;
        }
        // The end is searched from the character after the begin text's first one, so /*/ is whole.
        const QString& end = FBlockComments.at(comment).End;
        int found = int(line.indexOf(end, i + 1));
        while (found < 0) {
            NextLine();
            if (FLine >= FLines.size())
                return false;
            found = int(FLines.at(FLine).indexOf(end));
        }
        FScanCol = found + int(end.size()) + 1;
    }
    return false;
}

int TZScanner::DelimiterLength(const QString& Line, int Index) const
{
    if (Index + 1 < Line.size() && !IsWhite(Line[Index + 1])) {
        const char16_t first = Line[Index].unicode();
        const char16_t second = Line[Index + 1].unicode();
        for (const DelimiterPair& pair : FDelimiterPairs) {
            if (pair.First == first && pair.Second == second)
                return 2;
        }
    }
    return 1;
}

bool TZScanner::ScanToken(TZToken& Token)
{
    if (!SkipToToken())
        return false;
    const QString& line = FLines.at(FLine);
    const int start = FScanCol - 1;
    const QChar first = line[start];
    ClearForReuse(Token.Text);
    int end;
    if (IsDelimiter(first)) {
        if (first == FStringQuote) {
            bool closed;
            end = FSyntax == zsPascal ? ReadPascalString(line, start, Token.Text, closed)
                                      : ReadString(line, start, Token.Text, closed);
            Token.Kind = closed ? tkString : tkError;
        } else if (FSyntax == zsPascal && first == FEscapeChar) {
            end = ReadCharCode(line, start + 1, Token.Text);
            Token.Kind = tkChar;
        } else if (FSyntax == zsC && first == FCharQuote) {
            end = ReadCharLiteral(line, start, Token.Text);
            Token.Kind = tkChar;
        } else {
            end = start + DelimiterLength(line, start);
            AssignText(Token.Text, QStringView(line).sliced(start, end - start));
            Token.Kind = tkDelimiter;
        }
        AssignLower(Token.LowerText, Token.Text);
    } else {
        end = start + 1;
        while (end < line.size() && !IsWhite(line[end]) && !IsDelimiter(line[end]))
            ++end;
        AssignText(Token.Text, QStringView(line).sliced(start, end - start));
        AssignLower(Token.LowerText, Token.Text);
        Token.Kind = WordKind(Token.Text, Token.LowerText);
    }
    Token.Line = FLine;
    Token.StartCol = start + 1;
    Token.EndCol = end + 1;
    Token.Pos = FLineOffset + start;
    FScanCol = end + 1;
    return true;
}

TZTokenKind TZScanner::WordKind(const QString& Text, const QString& Lower) const
{
    const char16_t first = Text[0].unicode();
    if (first < 65 || first > 122)
        return IsNumber(Text) ? tkNumber : tkError;
    if (FReservedWords.Contains(Lower))
        return tkReserved;
    if (FKeywords1.Contains(Lower))
        return tkKeyword1;
    if (FKeywords2.Contains(Lower))
        return tkKeyword2;
    return tkIdentifier;
}

int TZScanner::ReadString(const QString& Line, int Index, QString& Text, bool& Closed)
{
    const QStringView line(Line);
    const bool escapes = !FEscapeChar.isNull();
    int run = Index + 1;
    for (int i = run; i < line.size();) {
        const QChar ch = line[i];
        if (ch == FStringQuote) {
            Text.append(line.sliced(run, i - run));
            if (FSyntax == zsSQL && i + 1 < line.size() && line[i + 1] == FStringQuote) {
                Text.append(ch);
                run = i += 2;
                continue;
            }
            Closed = true;
            return i + 1;
        }
        if (escapes && ch == FEscapeChar) {
            Text.append(line.sliced(run, i - run));
            run = i = ReadEscape(Line, i + 1, Text);
            continue;
        }
        ++i;
    }
    Text.append(line.sliced(run));
    Closed = false;
    return int(line.size());
}

int TZScanner::ReadPascalString(const QString& Line, int Index, QString& Text, bool& Closed)
{
    const QStringView line(Line);
    int i = Index;
    for (;;) {
        if (i < line.size() && line[i] == FEscapeChar) {
            i = ReadCharCode(Line, i + 1, Text);
            continue;
        }
        if (i >= line.size() || line[i] != FStringQuote) {
            Closed = true;
            return i;
        }
        // Inside quotes up to the next single quote; a doubled quote stands for one.
        for (++i;;) {
            const int quote = int(line.indexOf(FStringQuote, i));
            if (quote < 0) {
                Text.append(line.sliced(i));
                Closed = false;
                return int(line.size());
            }
            Text.append(line.sliced(i, quote - i));
            i = quote + 1;
            if (i >= line.size() || line[i] != FStringQuote)
                break;
            Text.append(FStringQuote);
            ++i;
        }
    }
}

int TZScanner::ReadCharLiteral(const QString& Line, int Index, QString& Text)
{
    int i = Index + 1;
    QString ch;
    if (i < Line.size() && !FEscapeChar.isNull() && Line[i] == FEscapeChar)
        i = ReadEscape(Line, i + 1, ch);
    else if (i < Line.size())
        ch = Line[i++];
    const bool closed = i < Line.size() && Line[i] == FCharQuote;
    Text.append(closed ? ch : QString(QChar(0)));
    return closed ? i + 1 : i;
}

int TZScanner::ReadCharCode(const QString& Line, int Index, QString& Text)
{
    const bool hex = Index < Line.size() && Line[Index] == '$';
    int end = Index;
    while (end < Line.size()
        && (IsDigitChar(Line[end]) || Line[end] == '$' || (hex && IsHexDigitChar(Line[end]))))
        ++end;
    const QString run = Line.mid(Index, end - Index);
    // A failing code leaves the scan after it, so that scanning on does not meet it again.
    FScanCol = end + 1;
    int code = 256;
    if (hex) {
        const QString digits = run.mid(1);
        const int value = HexToInt(digits);
        int first = 0;
        while (first < digits.size() && digits[first] == '0')
            ++first;
        // More than two significant digits is above 255, also where HexToInt wraps around.
        if (!digits.isEmpty() && digits.size() - first <= 2)
            code = value;
    } else if (!run.isEmpty()) {
        code = rtl::StrToInt(run);
    }
    AppendCode(code, FEscapeChar + run, Text);
    return end;
}

int TZScanner::ReadEscape(const QString& Line, int Index, QString& Text)
{
    if (Index >= Line.size())
        return Index;
    const QChar ch = Line[Index];
    static const char16_t Controls[][2]
        = {{'a', 7}, {'b', 8}, {'f', 12}, {'n', 10}, {'r', 13}, {'t', 9}, {'v', 11}};
    for (const auto& control : Controls) {
        if (ch.unicode() == control[0]) {
            Text.append(QChar(control[1]));
            return Index + 1;
        }
    }
    const bool octal = IsDigitChar(ch);
    if (!octal && ch != 'x') {
        Text.append(ch);
        return Index + 1;
    }
    // An octal escape is a digit and at most two more; "\x" takes at most three hexadecimal digits.
    const int first = octal ? Index : Index + 1;
    int end = Index + 1;
    while (end < Line.size() && end < first + 3 && IsHexDigitChar(Line[end]))
        ++end;
    const QString digits = Line.mid(first, end - first);
    FScanCol = end + 1;
    AppendCode(octal ? OctToInt(digits) : HexToInt(digits), Line.mid(Index - 1, end - Index + 1), Text);
    return end;
}

void TZScanner::AppendCode(int Code, const QString& Written, QString& Text) const
{
    if (Code < 0 || Code > 255)
        throw rtl::Exception(rtl::Format("\"%s\" not a character", Written));
    Text.append(QChar(Code));
}
