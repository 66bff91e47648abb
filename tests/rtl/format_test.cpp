#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/formatsettings.h"
#include "tests/rtl/errortext.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rtl;

namespace {

struct FormatCase {
    const char* Name;
    std::function<QString()> Run;
    const char* Expected;
};

TEST(Format, Directives)
{
    FormatSettingsScope scope {FormatSettings()};
    const FormatCase cases[] = {{"text and integer", [] { return Format("%s-%d", "ab", 42); }, "ab-42"},
        {"width right and left", [] { return Format("%5s|%-5s|", "ab", "cd"); }, "   ab|cd   |"},
        {"precision cuts text", [] { return Format("%.2s", "abcdef"); }, "ab"},
        {"precision pads digits after sign", [] { return Format("%.5d", -12); }, "-00012"},
        {"width pads with blanks", [] { return Format("%4d", 7); }, "   7"},
        {"upper-case letters", [] { return Format("%D %S", 5, "x"); }, "5 x"},
        {"hex", [] { return Format("%x %.4x", 255, 255); }, "FF 00FF"},
        {"negative int as 32 bits", [] { return Format("%x %u", -1, -1); }, "FFFFFFFF 4294967295"},
        {"wide negative as 64 bits", [] { return Format("%x", -4294967296LL); }, "FFFFFFFF00000000"},
        {"fixed defaults to two decimals", [] { return Format("%f", 2.5); }, "2.50"},
        {"fixed rounds half away from zero", [] { return Format("%.0f|%.0f", 2.5, -2.5); }, "3|-3"},
        {"fixed zero has no sign", [] { return Format("%.3f", -0.0004); }, "0.000"},
        {"exponent", [] { return Format("%e", 1234.5); }, "1.23450000000000E+003"},
        {"exponent with precision", [] { return Format("%.3e", -0.00012345); }, "-1.23E-004"},
        {"general", [] { return Format("%g|%g|%.3g", 1e20, 0.5, 3.14159); }, "1E20|0.5|3.14"},
        {"number groups thousands", [] { return Format("%n", 1234567.891); }, "1,234,567.89"},
        {"money", [] { return Format("%m|%m", 1234.5, -5.0); }, "$1,234.50|($5.00)"},
        {"percent", [] { return Format("100%% of %d", 3); }, "100% of 3"},
        {"extra arguments ignored", [] { return Format("%d", 1, 2); }, "1"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.Run(), QString::fromUtf8(c.Expected)) << c.Name;
}

TEST(Format, CommaDecimalLocale)
{
    FormatSettingsScope scope {FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany))};
    EXPECT_EQ(Format("%f", 1234.5), "1234,50");
    EXPECT_EQ(Format("%n", 1234.5), "1.234,50");
    EXPECT_EQ(Format("%g", 0.25), "0,25");
    EXPECT_EQ(Format("%m", 1234.5), QString::fromUtf8("1.234,50 €"));
    EXPECT_EQ(Format("%m", -2.0), QString::fromUtf8("-2,00 €"));
}

TEST(Format, DotDecimalScopeRestoresAfterException)
{
    FormatSettingsScope scope {FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany))};
    try {
        DotDecimalScope dot;
        EXPECT_EQ(Format("%.1f", 1.5), "1.5");
        throw Exception("stop");
    } catch (const Exception&) {
    }
    EXPECT_EQ(Format("%.1f", 1.5), "1,5");
}

TEST(Format, WrongOrMissingArgumentRaises)
{
    const FormatCase cases[] = {{"integer for text", [] { return Format("%s", 1); }, "%s"},
        {"text for integer", [] { return Format("%d", "x"); }, "%d"},
        {"integer for float", [] { return Format("%f", 1); }, "%f"},
        {"float for integer", [] { return Format("%d", 1.5); }, "%d"},
        {"missing argument", [] { return Format("%s and %s", "a"); }, "%s and %s"},
        {"unknown letter", [] { return Format("%q", 1); }, "%q"},
        {"asterisk width", [] { return Format("%*d", 1, 2); }, "%*d"},
        {"percent at end", [] { return Format("50%", 1); }, "50%"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorText<EConvertError>(c.Run),
            QStringLiteral("Format '%1' invalid or incompatible with argument").arg(c.Expected))
            << c.Name;
    }
}

}  // namespace
