#include "core/base/zstrings.h"

#include "rtl/formatsettings.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

using Row = std::pair<QString, QString>;

// PosEx finds the Nth occurrence counting overlaps; a start before the text counts from 1.
TEST(ZStrings, PosExCountsOverlappingOccurrences)
{
    const struct {
        const char *Sub, *S;
        int Start, N, Expected;
    } rows[]
        = {{"aa", "aaaa", 1, 3, 3}, {"aa", "aaaa", 1, 4, 0}, {"aa", "aaaa", 3, 1, 3}, {"b", "abcb", -5, 2, 4},
            {"a", "abc", 4, 1, 0}, {"", "abc", 1, 1, 0}, {"a", "abc", 1, 0, 0}, {"A", "abc", 1, 1, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(PosEx(row.Sub, row.S, row.Start, row.N), row.Expected) << row.Sub << " in " << row.S;
}

// Replacing never rescans the text it put in; ContainsWord looks at every occurrence, so a
// formula naming FirstName and then Name uses the column Name.
TEST(ZStrings, ReplaceAndFindWords)
{
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAllEx("SELECT x", "select", "y", true), "SELECT x");
    EXPECT_EQ(ReplaceAllEx("SeLeCt Name FROM select", "select", "x", false), "x Name FROM x");
    const std::pair<const char*, bool> rows[] = {{"FirstName + Name", true}, {"FirstName", false},
        {"Name_1 + Names", false}, {"t.[Name])", true}, {"Name", true}, {"", false}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(ContainsWord(text, "Name"), expected) << text;
    EXPECT_FALSE(ContainsWord("Name", ""));
}

// Control characters are written as #codes outside the quotes; unquoting stops at the closing
// quote and keeps the last character of an unterminated literal.
TEST(ZStrings, QuotingAndSplitting)
{
    const Row quoted[] = {{"", "''"}, {"it's", "'it''s'"}, {"a\r\nb", "'a'#13#10'b'"}, {"\tx", "''#9'x'"}};
    for (const auto& [in, expected] : quoted)
        EXPECT_EQ(QuoteStr(in, '\''), expected);
    const Row unquoted[] = {{"'it''s'", "it's"}, {"abc", "abc"}, {"'", ""}, {"'ab'cd", "ab"},
        {"'a'#13#10'b'", "a"}, {"'abc", "abc"}};
    for (const auto& [in, expected] : unquoted)
        EXPECT_EQ(UnquoteStr(in, '\''), expected) << in.toStdString();
    const std::pair<const char*, QStringList> rows[] = {{"a,\"b,c\",d", {"a", "b,c", "d"}}, {"   ", {}},
        {" a , b,", {"a", "b", ""}}, {"\"x\"\"y\"", {"x\"y"}}};
    QStringList list {"stale"};
    for (const auto& [text, expected] : rows) {
        SplitCommaText(text, list);
        EXPECT_EQ(list, expected) << text;
    }
    SplitQuoted("'a;b'; c", ';', '\'', list);
    EXPECT_EQ(list, (QStringList {"a;b", "c"}));
}

// An SQL literal keeps control characters inside its quotes (a #nn code is no SQL), and no
// character of the text can end a literal or an identifier early.
TEST(ZStrings, SQLLiteralsAndIdentifiers)
{
    const Row literals[] = {{"", "''"}, {"it's", "'it''s'"}, {"a\r\nb", "'a\r\nb'"}, {"x\n", "'x\n'"},
        {"C:\\", "'C:\\'"}, {"''", "''''''"}};
    for (const auto& [in, expected] : literals)
        EXPECT_EQ(SQLStringLiteral(in), expected) << in.toStdString();
    const struct {
        const char *Name, *Q, *Expected;
    } names[] = {{"Order Details", "\"\"", "\"Order Details\""}, {"a\"b", "\"\"", "\"a\"\"b\""},
        {"a]b[c", "[]", "[a]]b[c]"}, {"x`y", "``", "`x``y`"}};
    for (const auto& row : names) {
        const QString q = row.Q;
        EXPECT_EQ(QuoteIdentifier(row.Name, q[0], q[1]), row.Expected) << row.Name;
    }
}

// Model texts leave items out or pad them with blanks, the registry never does: one reader, two
// rules, and a bad item keeps the members read before it.
TEST(ZStrings, PlacementRules)
{
    const struct {
        const char* Text;
        TPlacementRule Rule;
        QRect Expected;
        const char* Error;
    } rows[] = {
        {"1,2", TPlacementRule::Lenient, QRect(1, 2, 0, 0), "(no error)"},
        {" 1 , 2 ,3, 4 ", TPlacementRule::Lenient, QRect(1, 2, 3, 4), "(no error)"},
        {"1,x,3,4", TPlacementRule::Lenient, QRect(1, 6, 7, 8), "'x' is not a valid integer value"},
        {"10,20,300", TPlacementRule::Strict, QRect(10, 20, 300, 8), "'' is not a valid integer value"},
        {"-1,2,3,4", TPlacementRule::Strict, QRect(-1, 2, 3, 4), "(no error)"},
    };
    for (const auto& row : rows) {
        QRect rect(5, 6, 7, 8);
        EXPECT_EQ(ErrorText<rtl::Exception>([&] { ReadPlacement(row.Text, rect, row.Rule); }), row.Error)
            << row.Text;
        EXPECT_EQ(rect, row.Expected) << row.Text;
    }
    EXPECT_EQ(PlacementText(QRect(-1, 2, 30, 40)), "-1,2,30,40");
}

// The name is cut at its first dot; a dot in a folder name, with either separator, stays.
TEST(ZStrings, Paths)
{
    const Row exts[] = {{"query.old.qry", "query"}, {"C:\\my.dir\\file", "C:\\my.dir\\file"},
        {"C:\\my.dir\\file.qry", "C:\\my.dir\\file"}, {"/home/u/.models/q.qry", "/home/u/.models/q"}};
    for (const auto& [in, expected] : exts)
        EXPECT_EQ(RemoveFileExt(in), expected) << in.toStdString();
    EXPECT_EQ(JoinWithSeparator("a/", "/b", "/") + JoinWithSeparator("", "c", "/"), "a/bc");
}

// Numbers must be whole: junk raises, the hex error names the first bad digit from the right.
TEST(ZStrings, NumbersAreStrict)
{
    EXPECT_EQ(StrToIntSafe("   "), 0);
    EXPECT_EQ(ErrorText<rtl::Exception>([] { StrToIntSafe("12ab"); }), "'12ab' is not a valid integer value");
    EXPECT_EQ(HexToInt("7FFFFFFF"), INT_MAX);
    EXPECT_EQ(HexToInt("100000001"), 1);  // past eight digits the sum wraps
    EXPECT_EQ(OctToInt("17"), 15);
    EXPECT_EQ(ErrorText<rtl::Exception>([] { HexToInt("1G"); }), "G is not a hex digit");
    EXPECT_EQ(ErrorText<rtl::Exception>([] { HexToInt("gx"); }), "X is not a hex digit");
    EXPECT_EQ(ErrorText<rtl::Exception>([] { OctToInt("98"); }), "8 is not an oct digit");

    // Files hold "." decimals whatever the locale, and the locale's separator survives a failure.
    rtl::FormatSettings comma;
    comma.DecimalSeparator = ',';
    rtl::FormatSettingsScope scope(comma);
    EXPECT_DOUBLE_EQ(StrToFloatDot("1.5", 0), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDot("", 7.25), 7.25);
    EXPECT_EQ(FloatToStrDot(2.5), "2.5");
    EXPECT_THROW(StrToFloatDot("1,5", 0), rtl::EConvertError);
    EXPECT_EQ(rtl::formatSettings().DecimalSeparator, ',');

    // Only an exact "0" or "false" is false, and an empty text is the default.
    for (const auto& [text, def, defTrue] :
        {std::tuple {"", false, true}, {"0", false, false}, {"false", false, false}, {"FALSE", true, true}}) {
        EXPECT_EQ(StrToBoolDef(text), def) << text;
        EXPECT_EQ(StrToBoolDefTrue(text), defTrue) << text;
    }
}

// Headers match with blanks around them and ignoring case, the search wraps to the top once, and
// a section's lines end at the next header, without blank lines.
TEST(ZStrings, IniSections)
{
    const QStringList lines {"[Main]", "QueryName=Q1", "", "  Version = 3.5", "  [description]  ", "[Empty]",
        "[RFields]", "Count=2", "   "};
    EXPECT_EQ(FindIniSection(0, lines, "DESCRIPTION"), 4);
    EXPECT_EQ(FindIniSection(5, lines, "Main"), 0);
    EXPECT_EQ(FindIniSection(3, lines, "Nope"), -1);
    QStringList dest {"stale"};
    EXPECT_EQ(ReadIniSection(0, lines, "Main", dest), 3);
    EXPECT_EQ(dest, (QStringList {"QueryName=Q1", "  Version = 3.5"}));
    EXPECT_EQ(ReadIniSection(3, lines, "Empty", dest), 5);
    EXPECT_TRUE(dest.isEmpty());
    EXPECT_EQ(ReadIniSection(5, lines, "RFields", dest), 8);
    EXPECT_EQ(dest, (QStringList {"Count=2"}));
    EXPECT_EQ(ReadIniSection(7, lines, "Missing", dest), 7);
    ListIniSections(lines, dest);
    EXPECT_EQ(dest, (QStringList {"Main", "description", "Empty", "RFields"}));
}

}  // namespace
