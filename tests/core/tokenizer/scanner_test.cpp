#include "core/tokenizer/scanner.h"

#include "rtl/exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// "kind:text" of every token from Start to Eof.
QStringList Tokens(TZScanner& scanner)
{
    QStringList result;
    for (scanner.Start(); !scanner.Eof(); scanner.Next())
        result.append(QString::number(scanner.GetTokenKind()) + ':' + scanner.GetTokenText());
    return result;
}

// "text@pos" of the current token and every one after it.
QStringList Rest(TZScanner& scanner)
{
    QStringList result;
    for (; !scanner.Eof(); scanner.Next())
        result.append(scanner.GetTokenText() + '@' + QString::number(scanner.GetToken(0).Pos));
    return result;
}

QStringList Scan(int syntax, const QString& text)
{
    TZScanner scanner;
    scanner.SetSyntax(syntax);
    scanner.SetLines(text.split('\n'));
    return Tokens(scanner);
}

QString Raised(const std::function<void()>& action)
{
    try {
        action();
    } catch (const rtl::Exception& e) {
        return e.Message();
    }
    return "nothing raised";
}

TEST(Scanner, TokensOfEachSyntax)
{
    const struct {
        int Syntax;
        QString Source;
        QStringList Expected;
    } rows[] = {
        {3, "a<>b", {"1:a", "3:<>", "1:b"}},
        {3, "a <= b", {"1:a", "3:<=", "1:b"}},
        {3, "a/*x*/b", {"1:a", "1:b"}},
        {3, "/*/ x", {"1:x"}},
        {3, "x := y->z", {"1:x", "3::=", "1:y", "3:->", "1:z"}},
        {3, "'it''s' 'a\\nb' 'a\\'b'", {"5:it's", "5:a\nb", "5:a'b"}},
        {3, "'\\101\\x41\\q\\t'", {"5:AAq\t"}},
        {3, "12 12ab 1.5 1e5", {"6:12", "0:12ab", "6:1", "3:.", "6:5", "6:1e5"}},
        {3, "\"My Table\".x", {"3:\"", "1:My", "1:Table", "3:\"", "3:.", "1:x"}},
        {3, "\\path _x `q` \u00e9t\u00e9", {"1:\\path", "1:_x", "1:`q`", "0:\u00e9t\u00e9"}},
        {3, "a // b\nc /* d\ne */ f", {"1:a", "1:c", "1:f"}},
        {3, "a /* never closed\nb", {"1:a"}},
        {3, "'open\n'", {"0:open", "0:"}},
        {3, "a--b {c}", {"1:a", "3:-", "3:-", "1:b", "3:{", "1:c", "3:}"}},
        {1, "#65 #$41 'ab'#13#10'cd' 'a''b'", {"4:A", "4:A", "5:ab\r\ncd", "5:a'b"}},
        {1, "x {c} (* d *) y // e", {"1:x", "1:y"}},
        {2, "'a' '\\n' \"a\\tb\" a->b x!=y",
            {"4:a", "4:\n", "5:a\tb", "1:a", "3:->", "1:b", "1:x", "3:!=", "1:y"}},
        {2, "'ab'", {"4:" + QString(QChar(0)), "1:b", "4:" + QString(QChar(0))}},
        {4, "x =~ 'y' # z\n\"s\"", {"1:x", "3:=~", "3:'", "1:y", "3:'", "5:s"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Scan(row.Syntax, row.Source), row.Expected)
            << row.Syntax << ": " << row.Source.toStdString();
}

TEST(Scanner, WordListsIgnoreCaseAndLowerTextFoldsAsciiOnly)
{
    TZScanner scanner;
    scanner.SetSyntax(3);
    scanner.SetReservedWords({"Select"});
    scanner.SetKeywords1({"FOO"});
    scanner.SetKeywords2({"bar"});
    scanner.SetLines({"SELECT foo Bar baz \u00c9T\u00c9"});
    EXPECT_EQ(Tokens(scanner), (QStringList {"2:SELECT", "7:foo", "8:Bar", "1:baz", "0:\u00c9T\u00c9"}));
    scanner.Start();
    EXPECT_EQ(scanner.GetTokenLower(), "select");
    EXPECT_EQ(scanner.GetToken(4).LowerText, "\u00c9t\u00c9");
}

// Offsets count a line break as two characters, as the editor's text has them.
TEST(Scanner, PositionsCountLinesWithCrLf)
{
    TZScanner scanner;
    scanner.SetSyntax(3);
    scanner.SetLines({"ab  cd", "", "  /* x */ 'ef'"});
    scanner.Start();
    QStringList places;
    for (int n = 0; n < 3; ++n) {
        const TZToken t = scanner.GetToken(n);
        places.append(QString("%1:%2-%3@%4").arg(t.Line).arg(t.StartCol).arg(t.EndCol).arg(t.Pos));
    }
    EXPECT_EQ(places, QStringList({"0:1-3@0", "0:5-7@4", "2:11-15@20"}));
}

// A short source used to end with one phantom empty token before Eof.
TEST(Scanner, EofComesRightAfterTheLastToken)
{
    EXPECT_EQ(Scan(3, "a b c").size(), 3);
    EXPECT_TRUE(Scan(3, "").isEmpty());
    EXPECT_TRUE(Scan(3, "// only\n/* comments */").isEmpty());
    TZScanner fresh;
    EXPECT_TRUE(fresh.Eof());

    QStringList words;
    for (int i = 0; i < 30; ++i)
        words.append("w" + QString::number(i));
    TZScanner scanner;
    scanner.SetLines({words.mid(0, 13).join(' '), words.mid(13).join(' ')});
    scanner.Start();
    EXPECT_EQ(scanner.GetToken(10).Text, "w10");
    for (int i = 0; i < 29; ++i)
        scanner.Next();
    EXPECT_FALSE(scanner.Eof());
    EXPECT_EQ(scanner.GetTokenText(), "w29");
    EXPECT_EQ(scanner.GetToken(-10).Text, "w19");
    // Past the last token: the empty end token, never a stale copy of a real one.
    const TZToken after = scanner.GetToken(1);
    EXPECT_EQ(after.Text, "");
    EXPECT_EQ(after.Line, 1);
    EXPECT_EQ(after.StartCol, words.mid(13).join(' ').size() + 1);
    scanner.Next();
    EXPECT_TRUE(scanner.Eof());
    EXPECT_EQ(scanner.GetTokenLine(), 1);
    scanner.Next();
    EXPECT_TRUE(scanner.Eof());
}

TEST(Scanner, WindowPositionsOutsideTenRaise)
{
    TZScanner scanner;
    scanner.SetLines({"a"});
    scanner.Start();
    EXPECT_EQ(Raised([&] { scanner.GetToken(11); }), "Token 11 is not available");
    EXPECT_EQ(Raised([&] { scanner.GetToken(-11); }), "Token -11 is not available");
    TZToken replaced;
    replaced.Text = "z";
    scanner.SetToken(-10, replaced);
    EXPECT_EQ(scanner.GetToken(-10).Text, "z");
    EXPECT_EQ(Raised([&] { scanner.SetToken(11, replaced); }), "Token 11 is not available");
}

// Offsets after a bookmark was restored used to be counted from the later line reached before.
TEST(Scanner, BookmarkRestoresTokensAndPositions)
{
    QStringList lines;
    for (int i = 0; i < 8; ++i)
        lines.append(QString("a%1 b%1 /* c */ d%1").arg(i));
    TZScanner scanner;
    scanner.SetSyntax(3);
    scanner.SetLines(lines);
    scanner.Start();
    for (int i = 0; i < 4; ++i)
        scanner.Next();
    TZScannerBookmark mark;
    scanner.GetBookmark(mark);
    QList<int> first;
    for (; !scanner.Eof(); scanner.Next())
        first.append(scanner.GetToken(0).Pos);
    scanner.GotoBookmark(mark);
    EXPECT_EQ(scanner.GetTokenText(), "b1");
    QList<int> second;
    for (; !scanner.Eof(); scanner.Next())
        second.append(scanner.GetToken(0).Pos);
    EXPECT_EQ(second, first);
    EXPECT_EQ(second.size(), 20);
}

TEST(Scanner, ScanForLooksInsideTheBracketOnly)
{
    const TZScanParams comparison {TokenKinds({tkIdentifier, tkReserved, tkDelimiter}), "", "=,<>,IN,like"};
    const struct {
        QString Source;
        TZScanParams Params;
        bool Expected;
    } rows[] = {
        {"( a = 1 )", comparison, true},
        {"( ( a ) LIKE 'x' )", comparison, true},
        {"( a + b ) = 3", comparison, false},
        {"( a + b", comparison, false},
        {"( 'x' = 1 )", {TokenKinds({tkIdentifier}), "", "="}, false},
        {"( select x from t where y = 1 )", {comparison.Kinds, "select", "="}, false},
        {"( (select x from t where y = 1) or z = 2 )", {comparison.Kinds, "select", "="}, true},
        {"( a + b + c + d + e + f + g = 1 )", comparison, true},
        {"( a + b + c + d + e + f + g + h )", comparison, false},
    };
    for (const auto& row : rows) {
        TZScanner scanner;
        scanner.SetSyntax(3);
        scanner.SetLines({row.Source});
        scanner.Start();
        EXPECT_EQ(scanner.ScanFor("(", ")", row.Params), row.Expected) << row.Source.toStdString();
        // The look-ahead leaves the tokens still to come as they were, also past the window.
        TZScanner fresh;
        fresh.SetSyntax(3);
        fresh.SetLines({row.Source});
        fresh.Start();
        EXPECT_EQ(Rest(scanner), Rest(fresh)) << row.Source.toStdString();
    }
}

// Text between bookmarks is cut from the source lines, joined by CR LF, with or without the last token.
TEST(Scanner, TextBetweenBookmarks)
{
    TZScanner scanner;
    scanner.SetSyntax(3);
    scanner.SetLines({"select  sum(a) ,", "  b.c  as x  // note"});
    scanner.Start();
    TZScannerBookmark start, comma, as, end;
    const auto markAfter = [&](int Steps, TZScannerBookmark& Mark) {
        for (int i = 0; i < Steps; ++i)
            scanner.Next();
        scanner.GetBookmark(Mark);
    };
    markAfter(1, start);
    markAfter(4, comma);
    markAfter(4, as);
    markAfter(2, end);
    EXPECT_EQ(scanner.GetTextBetween(start, comma, false), "sum(a)");
    EXPECT_EQ(scanner.GetTextBetween(start, comma, true), "sum(a) ,");
    EXPECT_EQ(scanner.GetTextBetween(start, as, false), "sum(a) ,\r\n  b.c");
    EXPECT_EQ(scanner.GetTextBetween(as, end, false), "as x");
    EXPECT_EQ(scanner.GetTextBetween(as, end, true), "as x  // note");
    EXPECT_EQ(scanner.GetTextBetween(end, start, true), "");
}

TEST(Scanner, BlockCommentPairs)
{
    TZScanner scanner;
    scanner.SetBlockComments("{-},nodash,-x,<!->");
    EXPECT_EQ(scanner.GetBlockComments(), "{-},<!->");
    scanner.SetLines({"a <! b { >c"});
    EXPECT_EQ(Tokens(scanner), (QStringList {"1:a", "1:c"}));
    scanner.SetBlockComments("");
    EXPECT_EQ(scanner.GetBlockComments(), "");
}

// Codes above 255 used to be truncated to their low byte.
TEST(Scanner, CharacterCodesAbove255Raise)
{
    const struct {
        int Syntax;
        QString Source, Message;
    } rows[] = {
        {1, "#300", "\"#300\" not a character"},
        {1, "#$100000041", "\"#$100000041\" not a character"},
        {1, "'a'#256", "\"#256\" not a character"},
        {1, "#", "\"#\" not a character"},
        {1, "#$", "\"#$\" not a character"},
        {1, "#12$3", "'12$3' is not a valid integer value"},
        {3, "'\\x141'", "\"\\x141\" not a character"},
        {3, "'\\400'", "\"\\400\" not a character"},
        {3, "'\\8'", "8 is not an oct digit"},
        {2, "'\\777'", "\"\\777\" not a character"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Raised([&] { Scan(row.Syntax, row.Source); }), row.Message) << row.Source.toStdString();
    EXPECT_EQ(Scan(1, "#255 #$0ff #0065"), (QStringList {"4:\u00ff", "4:\u00ff", "4:A"}));
}

TEST(Scanner, MalformedInputEndsInDefinedTokens)
{
    EXPECT_EQ(Scan(3, "'abc\\"), (QStringList {"0:abc"}));
    EXPECT_EQ(Scan(3, "'\\x"), (QStringList {"0:" + QString(QChar(0))}));
    EXPECT_EQ(Scan(2, "'\\"), (QStringList {"4:" + QString(QChar(0))}));
    EXPECT_EQ(Scan(1, "'abc"), (QStringList {"0:abc"}));

    // After an error the scan goes on behind the bad code instead of meeting it again.
    TZScanner scanner;
    scanner.SetLines({"a #300 b"});
    EXPECT_EQ(Raised([&] { scanner.Start(); }), "\"#300\" not a character");
    EXPECT_EQ(scanner.GetTokenText(), "a");
    scanner.Next();
    EXPECT_EQ(scanner.GetTokenText(), "b");
}

TEST(Scanner, StandardSqlStringsAndComments)
{
    TZScanner scanner;
    scanner.SetSQLText();
    scanner.SetLines({"'C:\\temp' a//b -- note", "'it''s'"});
    EXPECT_EQ(Tokens(scanner), (QStringList {"5:C:\\temp", "1:a", "3://", "1:b", "5:it's"}));
    scanner.SetSyntax(2);
    scanner.SetSyntax(3);
    EXPECT_EQ(scanner.EscapeChar(), QChar('\\'));
    EXPECT_EQ(scanner.LineComment(), "//");
}

}  // namespace
