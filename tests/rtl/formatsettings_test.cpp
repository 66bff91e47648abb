#include "rtl/formatsettings.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

TEST(FormatSettings, CLocaleKeepsTheDefaults)
{
    const FormatSettings fs = FormatSettings::FromLocale(QLocale::c());
    EXPECT_EQ(fs.ShortDateFormat, FormatSettings().ShortDateFormat);
    EXPECT_EQ(fs.LongTimeFormat, FormatSettings().LongTimeFormat);
}

TEST(FormatSettings, FromLocaleUsesTheRunTimeLetters)
{
    const struct {
        QLocale::Language Language;
        QLocale::Territory Territory;
        const char* ShortDate;
        const char* LongDate;
        const char* ShortTime;
        const char* LongTime;
        char DateSeparator, TimeSeparator, DecimalSeparator;
    } cases[] = {{QLocale::English, QLocale::UnitedStates, "m/d/yyyy", "dddd, mmmm d, yyyy", "h:nn ampm",
                     "h:nn:ss ampm", '/', ':', '.'},
        {QLocale::German, QLocale::Germany, "dd.mm.yyyy", "dddd, d. mmmm yyyy", "hh:nn", "hh:nn:ss", '.', ':',
            ','},
        {QLocale::Spanish, QLocale::Spain, "d/m/yyyy", "dddd, d \"de\" mmmm \"de\" yyyy", "h:nn", "h:nn:ss",
            '/', ':', ','},
        {QLocale::Finnish, QLocale::Finland, "d.m.yyyy", "dddd d. mmmm yyyy", "h.nn", "h.nn:ss", '.', '.',
            ','},
        {QLocale::Korean, QLocale::SouthKorea, "yyyy. m. d.",
            "yyyy\xEB\x85\x84 m\xEC\x9B\x94 d\xEC\x9D\xBC dddd", "ampm h:nn", "ampm h:nn:ss", '.', ':', '.'}};
    for (const auto& c : cases) {
        const QLocale locale(c.Language, c.Territory);
        const FormatSettings fs = FormatSettings::FromLocale(locale);
        SCOPED_TRACE(locale.name().toStdString());
        EXPECT_EQ(fs.ShortDateFormat, QString::fromUtf8(c.ShortDate));
        EXPECT_EQ(fs.LongDateFormat, QString::fromUtf8(c.LongDate));
        EXPECT_EQ(fs.ShortTimeFormat, c.ShortTime);
        EXPECT_EQ(fs.LongTimeFormat, c.LongTime);
        EXPECT_EQ(fs.DateSeparator, c.DateSeparator);
        EXPECT_EQ(fs.TimeSeparator, c.TimeSeparator);
        EXPECT_EQ(fs.DecimalSeparator, c.DecimalSeparator);
        EXPECT_EQ(fs.LongMonthNames[4], locale.monthName(5));
        EXPECT_EQ(fs.LongDayNames[0], locale.dayName(7));
        EXPECT_EQ(fs.TimePMString, locale.pmText());
    }
}

TEST(FormatSettings, CurrencyForms)
{
    const FormatSettings us = FormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.PlaceCurrency("1.00", false), "$1.00");
    EXPECT_EQ(us.PlaceCurrency("1.00", true), "($1.00)");
    EXPECT_EQ(us.CurrencyDecimals, 2);
    const FormatSettings de = FormatSettings::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.PlaceCurrency("1,00", false), QString::fromUtf8("1,00 €"));
    EXPECT_EQ(de.PlaceCurrency("1,00", true), QString::fromUtf8("-1,00 €"));
    const FormatSettings jp = FormatSettings::FromLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_EQ(jp.CurrencyDecimals, 0);
}

}  // namespace
