#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

TEST(StringList, TextEndsEveryLineWithCrLf)
{
    EXPECT_EQ(StringList({"a", "b"}).Text(), "a\r\nb\r\n");
    EXPECT_EQ(StringList({""}).Text(), "\r\n");
    EXPECT_EQ(StringList().Text(), "");
}

TEST(StringList, SetTextSplitsAnyLineBreak)
{
    const struct {
        const char* Text;
        QStringList Lines;
    } cases[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"a\r\n", {"a"}}, {"a\r\n\r\n", {"a", ""}},
        {"a\n\rb", {"a", "", "b"}}, {"\n", {""}}, {"", {}}};
    for (const auto& c : cases) {
        StringList list {"old"};
        list.SetText(c.Text);
        EXPECT_EQ(list, c.Lines) << c.Text;
    }
}

TEST(StringList, CommaTextWriting)
{
    const struct {
        QStringList Items;
        const char* Text;
    } cases[] = {{{"a", "b"}, "a,b"}, {{"a b"}, "\"a b\""}, {{"x,y"}, "\"x,y\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""}, {{"tab\there"}, "\"tab\there\""}, {{""}, "\"\""},
        {{"a", "", "b"}, "a,,b"}, {{}, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(StringList(c.Items).CommaText(), c.Text) << c.Text;
}

TEST(StringList, CommaTextReading)
{
    const struct {
        const char* Text;
        QStringList Items;
    } cases[] = {{"a b  c", {"a", "b", "c"}}, {" a , b ", {"a", "b"}}, {"a,\"b,c\",d", {"a", "b,c", "d"}},
        {"\"two  blanks\"", {"two  blanks"}}, {"\"say \"\"hi\"\"\"", {"say \"hi\""}}, {"a,", {"a", ""}},
        {",a", {"", "a"}}, {"a,,b", {"a", "", "b"}}, {"\"ab\"cd", {"ab", "cd"}},
        {"\"unterminated end", {"unterminated end"}}, {"  ", {}}, {"", {}}};
    for (const auto& c : cases) {
        StringList list {"old"};
        list.SetCommaText(c.Text);
        EXPECT_EQ(list, c.Items) << c.Text;
    }
}

TEST(StringList, CommaTextRoundTrips)
{
    const QStringList lists[] = {{"a", "", "b"}, {"", "a"}, {"a", ""}, {""}, {" lead", "trail "},
        {"\"", "\"\""}, {"a,b", "c d", "e"}, {"line\r\nbreak"}, {"ftInteger:vkScalar", "ftString:vkList"}};
    for (const auto& items : lists) {
        StringList read;
        read.SetCommaText(StringList(items).CommaText());
        EXPECT_EQ(read, items) << StringList(items).CommaText().toStdString();
    }
}

TEST(StringList, NameValueLines)
{
    StringList list {"Foo=1", "plain", "bar=2=3", "key", "key=x"};
    EXPECT_EQ(list.IndexOfName("BAR"), 2);
    EXPECT_EQ(list.IndexOfName("key"), 4);
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.IndexOfText("PLAIN"), 1);
    EXPECT_EQ(list.Names(2), "bar");
    EXPECT_EQ(list.ValueFromIndex(2), "2=3");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.Values("foo"), "1");
    EXPECT_EQ(list.Values("missing"), "");

    list.SetValues("BAR", "9");
    EXPECT_EQ(list[2], "BAR=9");
    list.SetValues("new", "x");
    EXPECT_EQ(list.last(), "new=x");
    list.SetValues("foo", "");
    EXPECT_EQ(list, QStringList({"plain", "BAR=9", "key", "key=x", "new=x"}));
    list.SetValues("absent", "");
    EXPECT_EQ(list.size(), 5);
}

TEST(StringList, CaseFoldingIsAsciiOnly)
{
    const StringList list {QString::fromUtf8("\xC3\x84=1")};
    EXPECT_EQ(list.IndexOfName(QString::fromUtf8("\xC3\xA4")), -1);
    EXPECT_FALSE(SameText(QString::fromUtf8("\xC3\xA4"), QString::fromUtf8("\xC3\x84")));
    EXPECT_TRUE(SameText("Select", "SELECT"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abc", "AB"), 0);
    EXPECT_EQ(UpperCase(QString::fromUtf8("a\xC3\xA4z")), QString::fromUtf8("A\xC3\xA4Z"));
    EXPECT_EQ(LowerCase("MiX"), "mix");
}

TEST(StringList, BadIndexRaises)
{
    const StringList list {"a=b"};
    EXPECT_EQ(ErrorText<EListError>([&] { list.Names(5); }), "List index out of bounds (5)");
    EXPECT_THROW(list.ValueFromIndex(-1), EListError);
}

TEST(StrUtils, PositionsAndTrimming)
{
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 5, 1), "");
    EXPECT_EQ(Copy("abc", 2, -1), "");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

}  // namespace
