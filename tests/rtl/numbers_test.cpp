#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rtl;

namespace {

FormatSettings German()
{
    return FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
}

TEST(StrToInt, AcceptsOnlyWholeIntegerTexts)
{
    const struct {
        const char* Text;
        int Value;
    } valid[] = {{"12", 12}, {"  -7", -7}, {"+3", 3}, {"007", 7}, {"$FF", 255}, {"0xff", 255}, {"0XfF", 255},
        {"-$10", -16}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}};
    for (const auto& c : valid)
        EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;

    for (const char* text : {"", " ", "12ab", "12 ", "1 2", "-", "+", "$", "0x", "1.0", "\t5", "2147483648",
             "-2147483649", "$100000000", "\xEF\xBC\x91"}) {
        int value = 99;
        EXPECT_FALSE(TryStrToInt(QString::fromUtf8(text), value)) << text;
        EXPECT_EQ(value, 99) << text;
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(text), -5), -5) << text;
    }
}

TEST(StrToInt, RaisesWithTheText)
{
    EXPECT_EQ(ErrorText<EConvertError>([] { StrToInt("12ab"); }), "'12ab' is not a valid integer value");
    EXPECT_STREQ(EConvertError(QString::fromUtf8("'\xC3\xA9'")).what(), "'\xC3\xA9'");
}

TEST(StrToInt, SixtyFourBits)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt64("1e3"), EConvertError);
}

TEST(StrToFloat, DotSeparator)
{
    FormatSettingsScope scope {FormatSettings()};
    const struct {
        const char* Text;
        double Value;
    } valid[] = {
        {"1.5", 1.5}, {" -2.5e3 ", -2500}, {".5", 0.5}, {"5.", 5}, {"1E-2", 0.01}, {"+7", 7}, {"1e-400", 0}};
    for (const auto& c : valid)
        EXPECT_DOUBLE_EQ(StrToFloat(c.Text), c.Value) << c.Text;
    for (const char* text :
        {"", ".", "1,5", "inf", "nan", "INF", "1e", "1e+", "1.5.2", "--1", "1e400", "1 5", "0x10"}) {
        double value;
        EXPECT_FALSE(TryStrToFloat(text, value)) << text;
    }
    EXPECT_EQ(
        ErrorText<EConvertError>([] { StrToFloat("1,5"); }), "'1,5' is not a valid floating point value");
}

TEST(StrToFloat, CommaSeparatorRefusesTheDot)
{
    FormatSettingsScope scope {German()};
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-0,25e1"), -2.5);
    double value;
    EXPECT_FALSE(TryStrToFloat("1.5", value));
    EXPECT_FALSE(TryStrToFloat("1.234,5", value));
    EXPECT_EQ(FloatToStr(1.5), "1,5");
    EXPECT_EQ(FloatToStr(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(CurrToStr(StrToCurr("12,5")), "12,5");
}

TEST(FloatToStr, GeneralForm)
{
    FormatSettingsScope scope {FormatSettings()};
    const struct {
        double Value;
        const char* Text;
    } cases[] = {{0, "0"}, {-0.0, "0"}, {1.5, "1.5"}, {-0.1, "-0.1"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"}, {123456.789, "123456.789"},
        {999999999999999, "999999999999999"}, {1e15, "1E15"}, {1e20, "1E20"},
        {-1.2345678901234567e20, "-1.23456789012346E20"}, {0.0001, "0.0001"}, {0.00012, "0.00012"},
        {1e-5, "1E-5"}, {1.5e-7, "1.5E-7"}, {std::nan(""), "NAN"},
        {-std::numeric_limits<double>::infinity(), "-INF"}};
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.Value), c.Text) << c.Text;
}

TEST(Currency, ReadsExactlyWithFourDecimals)
{
    FormatSettingsScope scope {FormatSettings()};
    const struct {
        const char* Text;
        qint64 Scaled;
    } valid[] = {{"12.5", 125000}, {"0.1", 1000}, {"1.00005", 10001}, {"-1.00005", -10001}, {"0.00004", 0},
        {"1e3", 10000000}, {" -0.0001 ", -1}, {"922337203685477.5807", std::numeric_limits<qint64>::max()},
        {"0.000000000000000000000000000000001e33", 10000}};
    for (const auto& c : valid)
        EXPECT_EQ(StrToCurr(c.Text).Scaled(), c.Scaled) << c.Text;
    for (const char* text : {"", "abc", "922337203685477.5808", "1e20", "1,5"}) {
        Currency value;
        EXPECT_FALSE(TryStrToCurr(text, value)) << text;
    }
    EXPECT_EQ(
        ErrorText<EConvertError>([] { StrToCurr("abc"); }), "'abc' is not a valid floating point value");
}

TEST(Currency, ShortestText)
{
    FormatSettingsScope scope {FormatSettings()};
    const struct {
        qint64 Scaled;
        const char* Text;
    } cases[] = {{125000, "12.5"}, {120000, "12"}, {-1, "-0.0001"}, {0, "0"}, {-125050, "-12.505"},
        {std::numeric_limits<qint64>::min(), "-922337203685477.5808"}};
    for (const auto& c : cases)
        EXPECT_EQ(CurrToStr(Currency::FromScaled(c.Scaled)), c.Text) << c.Text;
}

TEST(Currency, FromDouble)
{
    EXPECT_EQ(Currency::FromDouble(1.23456).Scaled(), 12346);
    EXPECT_EQ(Currency::FromDouble(-0.00005).Scaled(), -1);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), EConvertError);
    EXPECT_THROW(Currency::FromDouble(1e16), EConvertError);
}

}  // namespace
