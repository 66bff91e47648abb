#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>

enum TZTokenKind : quint8 {
    tkError,
    tkIdentifier,
    tkReserved,
    tkDelimiter,
    tkChar,
    tkString,
    tkNumber,
    tkKeyword1,
    tkKeyword2
};

// One token of the scanner's window. Columns are 1-based, Line and Pos 0-based; Pos counts the
// source as one text with CR LF line ends.
struct TZToken {
    TZTokenKind Kind = tkError;
    QString LowerText;
    QString Text;
    qint32 Line = 0;
    qint32 StartCol = 0;
    qint32 EndCol = 0;
    qint32 Pos = 0;
};

// Window positions -10 to +10 at indexes 0 to 20; position 0 is the current token.
constexpr int ScannerWindow = 10;
using TZTokenQueue = std::array<TZToken, 2 * ScannerWindow + 1>;

// A saved scanner position: the window and the position of its last token read ahead.
struct TZScannerBookmark {
    int Index = -1;
    TZTokenQueue Tokens;
};

// A set of token kinds: bit k stands for kind k.
using TZTokenKinds = quint16;
constexpr TZTokenKinds TokenKinds(std::initializer_list<TZTokenKind> Kinds)
{
    TZTokenKinds set = 0;
    for (TZTokenKind kind : Kinds)
        set |= TZTokenKinds(1u << kind);
    return set;
}

// What ScanFor looks for: a word of Words (comma text) with one of Kinds, outside every bracket
// depth at which a word of ExcludeWords (comma text) was met.
struct TZScanParams {
    TZTokenKinds Kinds = 0;
    QString ExcludeWords;
    QString Words;
};

// The syntaxes of TZScanner::SetSyntax.
enum TZSyntax : int { zsPascal = 1, zsC, zsSQL, zsScript };

// Cuts multi-line source text into tokens in one of four syntaxes (Pascal-like, C-like, SQL-like,
// script-like) and offers the current token with ten tokens on either side, bookmarks and a
// bracket-aware look-ahead. Positions past the last token hold an empty kind 0 token at the source's end.
class TZScanner {
public:
    TZScanner();
    TZScanner(const TZScanner&) = delete;
    TZScanner& operator=(const TZScanner&) = delete;

    const QStringList& Lines() const { return FLines; }
    void SetLines(const QStringList& Lines);

    // Word lists, looked up ignoring ASCII letter case.
    const QStringList& ReservedWords() const { return FReservedWords.Words; }
    void SetReservedWords(const QStringList& Words);
    const QStringList& Keywords1() const { return FKeywords1.Words; }
    void SetKeywords1(const QStringList& Words);
    const QStringList& Keywords2() const { return FKeywords2.Words; }
    void SetKeywords2(const QStringList& Words);

    int Syntax() const { return FSyntax; }
    // Sets delimiters, quotes, escape and comments of a TZSyntax when N differs from Syntax;
    // another N is stored and changes nothing else.
    void SetSyntax(int N);
    const QString& Delimiters() const { return FDelimiters; }
    QChar StringQuote() const { return FStringQuote; }
    QChar CharQuote() const { return FCharQuote; }
    QChar EscapeChar() const { return FEscapeChar; }
    const QString& LineComment() const { return FLineComment; }
    // Every SQL text of the system (expressions, conditions, statements) is read this way: zsSQL
    // with doubled apostrophes, no escape character and "--" as the line comment. SetSyntax puts
    // back the syntax's own values.
    void SetSQLText();
    void SetEscapeChar(QChar Ch) { FEscapeChar = Ch; }
    void SetLineComment(const QString& Text);
    // Block comment pairs as comma text of "begin-end" items, for example "(*-*),{-}".
    QString GetBlockComments() const;
    void SetBlockComments(const QString& Text);

    void Start();
    void Next();
    bool Eof() const { return FLastValid < 0; }

    // The token at window position N, until the window moves on.
    const TZToken& GetToken(int N) const;
    void SetToken(int N, const TZToken& Token);
    TZTokenKind GetTokenKind() const { return Slot(0).Kind; }
    const QString& GetTokenText() const { return Slot(0).Text; }
    const QString& GetTokenLower() const { return Slot(0).LowerText; }
    int GetTokenLine() const { return Slot(0).Line; }

    void GetBookmark(TZScannerBookmark& Bookmark) const;
    void GotoBookmark(const TZScannerBookmark& Bookmark);
    // Whether a wanted word follows before CloseWord closes the current bracket level; OpenWord and
    // CloseWord are compared with the lower-cased text. The position is unchanged afterwards.
    bool ScanFor(const QString& OpenWord, const QString& CloseWord, const TZScanParams& Params);
    // The trimmed source text from the current token of Bookmark1 to the current token of Bookmark2
    // (IncludeLast) or the token before it; lines are joined with CR LF. Past the last token the
    // current token is the end of the last line.
    QString GetTextBetween(
        const TZScannerBookmark& Bookmark1, const TZScannerBookmark& Bookmark2, bool IncludeLast) const;
    // The same from the first character of First to the end of Last, for a caller that keeps tokens
    // rather than whole windows.
    QString GetTextBetween(const TZToken& First, const TZToken& Last) const;

private:
    struct BlockComment {
        QString Begin, End;
    };
    // A word list with its words lower-cased and sorted, and the lengths of the words by first letter.
    struct WordSet {
        QStringList Words;
        QStringList Sorted;
        std::array<quint64, 128> Lengths {};
        static quint64 LengthBit(qsizetype Length) { return quint64(1) << qMin<qsizetype>(Length, 63); }
        void Assign(const QStringList& List);
        bool Contains(const QString& Lower) const;
    };
    struct CommaText {
        QString Text;
        QStringList Items;
    };
    struct DelimiterPair {
        char16_t First, Second;
    };

    // The window is a ring: FHead holds position -10.
    int SlotIndex(int N) const
    {
        const int index = FHead + N + ScannerWindow;
        return index < int(FWindow.size()) ? index : index - int(FWindow.size());
    }
    TZToken& Slot(int N) { return FWindow[SlotIndex(N)]; }
    const TZToken& Slot(int N) const { return FWindow[SlotIndex(N)]; }
    static void CheckPosition(int N);
    void UpdateDelimiterTables();
    void UpdateCommentStarts();
    // Characters from 128 up are always looked at, as a comment text may begin with one.
    bool MayStartComment(QChar Ch) const { return Ch.unicode() >= 128 || FCommentStart[Ch.unicode()]; }

    bool ScanToken(TZToken& Token);
    bool SkipToToken();
    void NextLine();
    int BlockCommentAt(const QString& Line, int Index) const;
    bool IsWhite(QChar Ch) const { return Ch.unicode() < 128 && FWhiteChar[Ch.unicode()]; }
    bool IsDelimiter(QChar Ch) const { return Ch.unicode() < 128 && FDelimiterChar[Ch.unicode()]; }
    int DelimiterLength(const QString& Line, int Index) const;
    TZTokenKind WordKind(const QString& Text, const QString& Lower) const;
    int ReadString(const QString& Line, int Index, QString& Text, bool& Closed);
    int ReadPascalString(const QString& Line, int Index, QString& Text, bool& Closed);
    int ReadCharLiteral(const QString& Line, int Index, QString& Text);
    int ReadCharCode(const QString& Line, int Index, QString& Text);
    int ReadEscape(const QString& Line, int Index, QString& Text);
    void AppendCode(int Code, const QString& Written, QString& Text) const;

    QStringList FLines;
    WordSet FReservedWords, FKeywords1, FKeywords2;
    int FSyntax = 0;
    QString FDelimiters;
    QChar FStringQuote, FEscapeChar, FCharQuote;
    QString FLineComment;
    QList<BlockComment> FBlockComments;

    std::array<bool, 128> FDelimiterChar {};
    std::array<bool, 128> FWhiteChar {};
    std::array<bool, 128> FCommentStart {};
    QList<DelimiterPair> FDelimiterPairs;

    CommaText FScanForWords, FScanForExcludeWords;

    TZTokenQueue FWindow;
    int FHead = 0;
    int FLastValid = 0;
    TZToken FScratch;
    TZToken FEndToken;
    int FLine = 0;
    int FScanCol = 1;
    int FLineOffset = 0;
};
