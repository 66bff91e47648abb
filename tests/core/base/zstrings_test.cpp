#include "core/base/zstrings.h"

#include "rtl/formatsettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

QString Raised(const std::function<void()>& action)
{
    try {
        action();
    } catch (const rtl::Exception& e) {
        return e.Message();
    }
    return "nothing raised";
}

struct Row {
    QString In, Expected;
};

TEST(ZStrings, CharacterClasses)
{
    for (QChar c : QStringLiteral("_`azAZ09"))
        EXPECT_TRUE(IsIdentChar(c)) << int(c.unicode());
    for (QChar c : QStringLiteral("^{@[ .\u00E9"))
        EXPECT_FALSE(IsIdentChar(c)) << int(c.unicode());
    EXPECT_TRUE(IsWhiteSpace('\t') && IsWhiteSpace('\r') && !IsWhiteSpace('\v'));
    EXPECT_TRUE(IsHexDigitChar('f') && IsHexDigitChar('F') && !IsHexDigitChar('g'));
}

TEST(ZStrings, PosExCountsOverlappingOccurrences)
{
    const struct {
        const char *Sub, *S;
        int Start, N, Expected;
    } rows[] = {{"aa", "aaaa", 1, 2, 2}, {"aa", "aaaa", 1, 3, 3}, {"aa", "aaaa", 1, 4, 0},
                {"aa", "aaaa", 3, 1, 3}, {"b", "abcb", -5, 2, 4}, {"a", "abc", 4, 1, 0},
                {"", "abc", 1, 1, 0},    {"a", "abc", 1, 0, 0},   {"A", "abc", 1, 1, 0}};
    for (const auto& row : rows)
        EXPECT_EQ(PosEx(row.Sub, row.S, row.Start, row.N), row.Expected) << row.Sub << " in " << row.S;
}

TEST(ZStrings, SearchReplaceAndCompare)
{
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");
    EXPECT_EQ(ReplaceAllEx("SELECT x", "select", "y", true), "SELECT x");
    EXPECT_EQ(ReplaceAllEx("SeLeCt Name FROM select", "select", "x", false), "x Name FROM x");
    EXPECT_EQ(StrBefore("=", " Key = a=b "), "Key");
    EXPECT_EQ(StrAfter("=", " Key = a=b "), "a=b");
    EXPECT_EQ(StrAfter("=", " plain "), " plain ");
    EXPECT_TRUE(StartsWith("", "abc") && !StartsWith("AB", "abc") && !StartsWith("abcd", "abc"));
    EXPECT_TRUE(TextInArray("SELECT", {"from", "select"}));
    EXPECT_FALSE(TextInArray("sel", QStringList{"select"}));
    EXPECT_TRUE(SameTextIgnoreSpaces("a b c ", "abc"));
    EXPECT_FALSE(SameTextIgnoreSpaces("ABC", "abc"));
    EXPECT_FALSE(SameTextIgnoreSpaces("ab", "abc"));
    EXPECT_TRUE(EqualIgnoringChars("a-b_c", "_abc-", "-_"));
}

// Every occurrence counts: a formula naming FirstName and then Name uses the column Name.
TEST(ZStrings, ContainsWordLooksAtEveryOccurrence)
{
    const std::pair<const char*, bool> rows[] = {{"FirstName + Name", true}, {"FirstName", false},
                                                 {"Name_1 + Names", false}, {"t.[Name])", true},
                                                 {"Name", true},             {"", false}};
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(ContainsWord(text, "Name"), expected) << text;
    EXPECT_FALSE(ContainsWord("Name", ""));
}

TEST(ZStrings, ExtractCommaItemCutsAtTheFirstCommaWithoutTrimming)
{
    const struct {
        const char *S, *Item, *Rest;
    } rows[] = {{"a,b,c", "a", "b,c"}, {"abc", "abc", ""}, {",x", "", "x"}, {" a ,b", " a ", "b"}};
    for (const auto& row : rows) {
        QString s = row.S;
        QString item;
        ExtractCommaItem(s, item);
        EXPECT_EQ(item + "|" + s, QString(row.Item) + "|" + row.Rest);
    }
}

TEST(ZStrings, Paths)
{
    const Row exts[] = {{"query.old.qry", "query"},
                        {"C:\\my.dir\\file", "C:\\my.dir\\file"},
                        {"C:\\my.dir\\file.qry", "C:\\my.dir\\file"},
                        {"/home/u/.models/q.qry", "/home/u/.models/q"}};
    for (const auto& row : exts)
        EXPECT_EQ(RemoveFileExt(row.In), row.Expected);
    EXPECT_EQ(IncludeBackslash("a") + IncludeBackslash("b\\") + IncludeBackslash(""), "a\\b\\");
    const struct {
        const char *A, *B, *Expected;
    } joins[] = {{"", "b", "b"}, {"a", "", "a"}, {"a", "b", "a/b"}, {"a/", "b", "a/b"}, {"a/", "/b", "a/b"}};
    for (const auto& row : joins)
        EXPECT_EQ(JoinWithSeparator(row.A, row.B, "/"), row.Expected) << row.A << "+" << row.B;
    EXPECT_EQ(JoinPath("Software\\Tarvel", "DataModelEditor"), "Software\\Tarvel\\DataModelEditor");
}

TEST(ZStrings, QuotingWritesControlCharactersAsCodes)
{
    const Row quoted[] = {{"", "''"}, {"it's", "'it''s'"}, {"a\r\nb", "'a'#13#10'b'"}, {"a\n", "'a'#10"},
                          {"\tx", "''#9'x'"}};
    for (const auto& row : quoted)
        EXPECT_EQ(QuoteStr(row.In, '\''), row.Expected);
    // An unterminated literal used to lose its last character.
    const Row unquoted[] = {{"'it''s'", "it's"}, {"abc", "abc"}, {"'", ""}, {"'ab'cd", "ab"},
                            {"'a'#13#10'b'", "a"}, {"'abc", "abc"}};
    for (const auto& row : unquoted)
        EXPECT_EQ(UnquoteStr(row.In, '\''), row.Expected) << row.In.toStdString();
}

TEST(ZStrings, SplitQuotedKeepsQuotedSeparators)
{
    const std::pair<const char*, QStringList> rows[] = {{"a,\"b,c\",d", {"a", "b,c", "d"}},
                                                        {"   ", {}},
                                                        {" a , b,", {"a", "b", ""}},
                                                        {"\"x\"\"y\"", {"x\"y"}}};
    QStringList list{"stale"};
    for (const auto& [text, expected] : rows) {
        SplitCommaText(text, list);
        EXPECT_EQ(list, expected) << text;
    }
    SplitQuoted("'a;b'; c", ';', '\'', list);
    EXPECT_EQ(list, (QStringList{"a;b", "c"}));
}

TEST(ZStrings, NumbersAreStrict)
{
    EXPECT_EQ(StrToIntSafe("   "), 0);
    EXPECT_EQ(StrToIntSafe(" -42"), -42);
    EXPECT_EQ(Raised([] { StrToIntSafe("12ab"); }), "'12ab' is not a valid integer value");
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("7FFFFFFF"), INT_MAX);
    EXPECT_EQ(HexToInt("100000001"), 1);  // past eight digits the sum wraps
    EXPECT_EQ(HexToInt("") + OctToInt(""), 0);
    EXPECT_EQ(OctToInt("17"), 15);
    EXPECT_EQ(Raised([] { HexToInt("1G"); }), "G is not a hex digit");
    EXPECT_EQ(Raised([] { HexToInt("gx"); }), "X is not a hex digit");  // the first from the right
    EXPECT_EQ(Raised([] { OctToInt("98"); }), "8 is not an oct digit");
    EXPECT_THROW(HexDigitValue('z'), EZStringsError);
}

// Files hold "." decimals whatever the locale, and the locale's separator survives a failure.
TEST(ZStrings, FloatsUseTheDotAndRestoreTheSeparator)
{
    rtl::FormatSettings comma;
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    rtl::FormatSettingsScope scope(comma);
    EXPECT_DOUBLE_EQ(StrToFloatDot("1.5", 0), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloatDot("", 7.25), 7.25);
    EXPECT_EQ(FloatToStrDot(2.5), "2.5");
    EXPECT_THROW(StrToFloatDot("1,5", 0), rtl::EConvertError);
    EXPECT_EQ(rtl::formatSettings().DecimalSeparator, ',');
}

TEST(ZStrings, BooleansAreReadExactly)
{
    const struct {
        const char* S;
        bool Def, DefTrue;
    } rows[] = {{"", false, true}, {"0", false, false}, {"false", false, false}, {"FALSE", true, true}};
    for (const auto& row : rows) {
        EXPECT_EQ(StrToBoolDef(row.S), row.Def) << row.S;
        EXPECT_EQ(StrToBoolDefTrue(row.S), row.DefTrue) << row.S;
    }
}

TEST(ZStrings, IniSections)
{
    const QStringList lines{"[Main]", "QueryName=Q1", "", "  Version = 3.5", "  [description]  ",
                            "[Empty]", "[RFields]", "Count=2", "   "};
    EXPECT_EQ(FindIniSection(0, lines, "DESCRIPTION"), 4);
    EXPECT_EQ(FindIniSection(5, lines, "Main"), 0);  // searched once more from the top
    EXPECT_EQ(FindIniSection(3, lines, "Nope"), -1);

    QStringList dest{"stale"};
    EXPECT_EQ(ReadIniSection(0, lines, "Main", dest), 3);
    EXPECT_EQ(dest, (QStringList{"QueryName=Q1", "  Version = 3.5"}));
    EXPECT_EQ(ReadIniSection(3, lines, "Empty", dest), 5);
    EXPECT_TRUE(dest.isEmpty());
    EXPECT_EQ(ReadIniSection(5, lines, "RFields", dest), 8);
    EXPECT_EQ(dest, (QStringList{"Count=2"}));
    EXPECT_EQ(ReadIniSection(7, lines, "Missing", dest), 7);
    EXPECT_TRUE(dest.isEmpty());

    ListIniSections(lines, dest);
    EXPECT_EQ(dest, (QStringList{"Main", "description", "Empty", "RFields"}));
}

}  // namespace
