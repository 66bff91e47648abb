#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rtl;

namespace {

// Only a whole integer text is one: no trailing junk or blanks, no overflow, no full-width
// digits; hex in both spellings, $FFFFFFFF wrapping to -1 as a 32-bit value.
TEST(StrToInt, AcceptsOnlyWholeIntegerTexts)
{
    const std::pair<const char*, int> valid[] = {{"  -7", -7}, {"+3", 3}, {"007", 7}, {"$FF", 255},
        {"0XfF", 255}, {"-$10", -16}, {"-2147483648", -2147483647 - 1}, {"$FFFFFFFF", -1}};
    for (const auto& [text, value] : valid)
        EXPECT_EQ(StrToInt(text), value) << text;
    for (const char* text : {"", "12ab", "12 ", "1 2", "-", "$", "0x", "1.0", "\t5", "2147483648",
             "$100000000", "\xEF\xBC\x91"}) {
        int value = 99;
        EXPECT_FALSE(TryStrToInt(QString::fromUtf8(text), value)) << text;
        EXPECT_EQ(value, 99) << text;
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(text), -5), -5) << text;
    }
    EXPECT_EQ(ErrorText<EConvertError>([] { StrToInt("12ab"); }), "'12ab' is not a valid integer value");
    EXPECT_STREQ(EConvertError(QString::fromUtf8("'\xC3\xA9'")).what(), "'\xC3\xA9'");
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

// The dot locale refuses the comma and the comma locale refuses the dot, both ways.
TEST(StrToFloat, FollowsTheDecimalSeparator)
{
    FormatSettingsScope scope {FormatSettings()};
    const std::pair<const char*, double> valid[]
        = {{" -2.5e3 ", -2500}, {".5", 0.5}, {"5.", 5}, {"1E-2", 0.01}, {"1e-400", 0}};
    for (const auto& [text, value] : valid)
        EXPECT_DOUBLE_EQ(StrToFloat(text), value) << text;
    double value;
    for (const char* text : {"", ".", "1,5", "inf", "nan", "1e", "1.5.2", "1e400", "0x10"})
        EXPECT_FALSE(TryStrToFloat(text, value)) << text;
    EXPECT_EQ(
        ErrorText<EConvertError>([] { StrToFloat("1,5"); }), "'1,5' is not a valid floating point value");

    formatSettings() = FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(StrToFloat("-0,25e1"), -2.5);
    EXPECT_FALSE(TryStrToFloat("1.5", value));
    EXPECT_FALSE(TryStrToFloat("1.234,5", value));
    EXPECT_EQ(FloatToStr(-1.5e-7), "-1,5E-7");
    EXPECT_EQ(CurrToStr(StrToCurr("12,5")), "12,5");
}

// Fifteen significant digits, no "-0", exponent form from 1E15 and below 1E-4.
TEST(FloatToStr, GeneralForm)
{
    FormatSettingsScope scope {FormatSettings()};
    const std::pair<double, const char*> cases[] = {{-0.0, "0"}, {0.1 + 0.2, "0.3"},
        {2.0 / 3, "0.666666666666667"}, {999999999999999, "999999999999999"}, {1e15, "1E15"},
        {-1.2345678901234567e20, "-1.23456789012346E20"}, {0.00012, "0.00012"}, {1e-5, "1E-5"},
        {std::nan(""), "NAN"}, {-std::numeric_limits<double>::infinity(), "-INF"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FloatToStr(value), text) << text;
}

// Amounts are read exactly (not through a double), rounded half away from zero at four
// decimals, and refused past the 64-bit range.
TEST(Currency, ExactFourDecimals)
{
    FormatSettingsScope scope {FormatSettings()};
    const std::pair<const char*, qint64> valid[] = {{"0.1", 1000}, {"1.00005", 10001}, {"-1.00005", -10001},
        {"0.00004", 0}, {"1e3", 10000000}, {"922337203685477.5807", std::numeric_limits<qint64>::max()},
        {"0.000000000000000000000000000000001e33", 10000}};
    for (const auto& [text, scaled] : valid)
        EXPECT_EQ(StrToCurr(text).Scaled(), scaled) << text;
    Currency value;
    for (const char* text : {"", "abc", "922337203685477.5808", "1e20", "1,5"})
        EXPECT_FALSE(TryStrToCurr(text, value)) << text;
    const std::pair<qint64, const char*> texts[] = {{120000, "12"}, {-1, "-0.0001"}, {-125050, "-12.505"},
        {std::numeric_limits<qint64>::min(), "-922337203685477.5808"}};
    for (const auto& [scaled, text] : texts)
        EXPECT_EQ(CurrToStr(Currency::FromScaled(scaled)), text);
    EXPECT_EQ(Currency::FromDouble(-0.00005).Scaled(), -1);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), EConvertError);
    EXPECT_THROW(Currency::FromDouble(1e16), EConvertError);
}

}  // namespace
