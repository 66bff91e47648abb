#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/formatsettings.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rtl;

namespace {

struct FormatCase {
    std::function<QString()> Run;
    const char* Expected;
};

// Sign before zero padding, negative integers as unsigned 32 or 64 bits, half away from zero,
// no "-0", three-digit exponents, and money in both the dot and the comma locale.
TEST(Format, Directives)
{
    FormatSettingsScope scope {FormatSettings()};
    const FormatCase cases[]
        = {{[] { return Format("%s-%d|%5s|%-5s|", "ab", 42, "ab", "cd"); }, "ab-42|   ab|cd   |"},
            {[] { return Format("%.2s|%.5d|%4d", "abcdef", -12, 7); }, "ab|-00012|   7"},
            {[] { return Format("%x %.4x %u", 255, 255, -1); }, "FF 00FF 4294967295"},
            {[] { return Format("%x", -4294967296LL); }, "FFFFFFFF00000000"},
            {[] { return Format("%f|%.0f|%.0f|%.3f", 2.5, 2.5, -2.5, -0.0004); }, "2.50|3|-3|0.000"},
            {[] { return Format("%e|%.3e", 1234.5, -0.00012345); }, "1.23450000000000E+003|-1.23E-004"},
            {[] { return Format("%g|%g|%.3g", 1e20, 0.5, 3.14159); }, "1E20|0.5|3.14"},
            {[] { return Format("%n|%m|%m", 1234567.891, 1234.5, -5.0); }, "1,234,567.89|$1,234.50|($5.00)"},
            {[] { return Format("100%% of %D", 3, 4); }, "100% of 3"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.Run(), c.Expected);
    formatSettings() = FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Format("%f|%n|%g", 1234.5, 1234.5, 0.25), "1234,50|1.234,50|0,25");
    EXPECT_EQ(Format("%m|%m", 1234.5, -2.0), QString::fromUtf8("1.234,50 €|-2,00 €"));
}

TEST(Format, WrongOrMissingArgumentRaises)
{
    const FormatCase cases[] = {{[] { return Format("%s", 1); }, "%s"},
        {[] { return Format("%d", "x"); }, "%d"}, {[] { return Format("%f", 1); }, "%f"},
        {[] { return Format("%d", 1.5); }, "%d"}, {[] { return Format("%s and %s", "a"); }, "%s and %s"},
        {[] { return Format("%*d", 1, 2); }, "%*d"}, {[] { return Format("50%", 1); }, "50%"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorText<EConvertError>(c.Run),
            QStringLiteral("Format '%1' invalid or incompatible with argument").arg(c.Expected));
    }
}

}  // namespace
