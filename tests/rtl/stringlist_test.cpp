#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

// A final line break adds no empty line; LF CR is two breaks, not one.
TEST(StringList, TextLines)
{
    const std::pair<const char*, QStringList> cases[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n\r\n", {"a", ""}}, {"a\n\rb", {"a", "", "b"}}, {"\n", {""}}, {"", {}}};
    for (const auto& [text, lines] : cases) {
        StringList list {"old"};
        list.SetText(text);
        EXPECT_EQ(list, lines) << text;
    }
    EXPECT_EQ(StringList({"a", ""}).Text(), "a\r\n\r\n");
}

// Stored field lists are comma text: whatever is written must read back item for item, empty
// items, edge blanks, quotes and line breaks included.
TEST(StringList, CommaTextRoundTrips)
{
    const std::pair<QStringList, const char*> cases[] = {{{"a", "b"}, "a,b"}, {{"a b"}, "\"a b\""},
        {{"x,y"}, "\"x,y\""}, {{"say \"hi\""}, "\"say \"\"hi\"\"\""}, {{"tab\there"}, "\"tab\there\""},
        {{""}, "\"\""}, {{"a", "", "b"}, "a,,b"}, {{"", "a"}, ",a"}, {{"a", ""}, "a,"},
        {{" lead", "trail "}, "\" lead\",\"trail \""}, {{"line\r\nbreak"}, "\"line\r\nbreak\""}, {{}, ""}};
    for (const auto& [items, text] : cases) {
        EXPECT_EQ(StringList(items).CommaText(), text);
        StringList read {"old"};
        read.SetCommaText(text);
        EXPECT_EQ(read, items) << text;
    }
}

// Hand-written comma text: blanks separate too, and a quote cut short still gives its item.
TEST(StringList, CommaTextReadsLooseText)
{
    const std::pair<const char*, QStringList> cases[]
        = {{"a b  c", {"a", "b", "c"}}, {" a , b ", {"a", "b"}}, {"\"two  blanks\"", {"two  blanks"}},
            {"\"ab\"cd", {"ab", "cd"}}, {"\"unterminated end", {"unterminated end"}}, {"  ", {}}};
    for (const auto& [text, items] : cases) {
        StringList list;
        list.SetCommaText(text);
        EXPECT_EQ(list, items) << text;
    }
}

// The name ends at the first "=", and setting an empty value deletes the line.
TEST(StringList, NameValueLines)
{
    StringList list {"Foo=1", "plain", "bar=2=3", "key", "key=x"};
    EXPECT_EQ(list.IndexOfName("BAR"), 2);
    EXPECT_EQ(list.IndexOfName("key"), 4);
    EXPECT_EQ(list.IndexOfName("plain"), -1);
    EXPECT_EQ(list.Names(2) + "|" + list.ValueFromIndex(2), "bar|2=3");
    EXPECT_EQ(list.Names(1) + "|" + list.ValueFromIndex(1), "|");
    list.SetValues("BAR", "9");
    list.SetValues("new", "x");
    list.SetValues("foo", "");
    list.SetValues("absent", "");
    EXPECT_EQ(list, QStringList({"plain", "BAR=9", "key", "key=x", "new=x"}));
    EXPECT_EQ(ErrorText<EListError>([&] { list.Names(5); }), "List index out of bounds (5)");
    EXPECT_THROW(list.ValueFromIndex(-1), EListError);
}

// Identifiers compare ignoring ASCII case only; "Ä" and "ä" are different names.
TEST(StrUtils, CaseFoldingIsAsciiOnlyAndCopyClamps)
{
    EXPECT_EQ(StringList {QString::fromUtf8("\xC3\x84=1")}.IndexOfName(QString::fromUtf8("\xC3\xA4")), -1);
    EXPECT_FALSE(SameText(QString::fromUtf8("\xC3\xA4"), QString::fromUtf8("\xC3\x84")));
    EXPECT_TRUE(SameText("Select", "SELECT"));
    EXPECT_GT(CompareText("abc", "AB"), 0);
    EXPECT_EQ(UpperCase(QString::fromUtf8("a\xC3\xA4z")), QString::fromUtf8("A\xC3\xA4Z"));
    EXPECT_EQ(Copy("abc", 0, 2) + "|" + Copy("abc", 5, 1) + "|" + Copy("abc", 2, -1), "ab||");
    EXPECT_EQ(Pos("", "abc"), 0);
}

}  // namespace
