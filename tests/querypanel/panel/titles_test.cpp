#include "querypanel/panel/titles.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"

#include <gtest/gtest.h>

namespace {

TEST(TitlesTest, DefaultTitlesHaveTwoSectionsInOrder)
{
    QStringList lines {"old"};
    InitDefaultTitles(lines);
    ASSERT_EQ(lines.size(), 52);
    EXPECT_EQ(lines[0], "[Query Panel]");
    EXPECT_EQ(lines[1], "ttlFilter=Choose records where @ of the following apply");
    EXPECT_EQ(lines[19], " ");
    EXPECT_EQ(lines[20], "[Result Fields Editor]");
    EXPECT_EQ(lines[39], "ttlMgsDeleteField=Delete Field \"%s\"?");
    EXPECT_EQ(lines[51], "ttlAVERAGECaption=AVERAGE");
}

TEST(TitlesTest, MergeKeepsTheDefaultsShapeAndTakesStoredTexts)
{
    QStringList defaults;
    InitDefaultTitles(defaults);
    QStringList merged;
    MergeTitles(defaults, merged,
        {"[PanelTitles]", "ttlAll=every", "ttlAny=", "ttlUnknown=x", "[Other]", "ttlNone=nobody",
            "[RFETitles]", "ttlOkBtnCaption=Fine"});
    ASSERT_EQ(merged.size(), 18 + 31 + 4);
    EXPECT_EQ(merged[0], "[Query Panel]");
    EXPECT_EQ(merged[3], "ttlAll=every");
    EXPECT_EQ(merged[4], "ttlAny=any");
    EXPECT_EQ(merged[5], "ttlNone=none");
    EXPECT_EQ(merged[19], "");
    EXPECT_EQ(merged[20], "[Result Fields Editor]");
    EXPECT_TRUE(merged.contains("ttlOkBtnCaption=Fine"));
    EXPECT_FALSE(merged.join('\n').contains("ttlUnknown"));
    EXPECT_EQ(merged.last(), "");
}

TEST(TitlesTest, MergeWithoutSectionsReplacesKeyByKey)
{
    QStringList merged;
    MergeTitles({"ttlAll=all", "ttlAny=any"}, merged, {"ttlany=some"});
    EXPECT_EQ(merged, QStringList({"ttlAll=all", "ttlAny=some"}));
}

TEST(TitlesTest, RenameTitleSectionsIsCaseSensitive)
{
    QStringList lines {"[PanelTitles]", "[panelTitles]", "x[RFETitles]"};
    RenameTitleSections(lines);
    EXPECT_EQ(lines, QStringList({"[Query Panel]", "[panelTitles]", "x[Result Fields Editor]"}));
}

TEST(DateTextTest, ReadsUnderTheGivenFormatAndRestoresTheSettings)
{
    rtl::FormatSettingsScope scope(rtl::FormatSettings {});
    rtl::formatSettings().DateSeparator = '.';
    struct Case {
        QString Format;
        QString Text;
        int Year, Month, Day;
    };
    const Case cases[] = {
        {"yyyy-mm-dd", "2003-12-31", 2003, 12, 31},
        {"dd/mm/yyyy", "31.12.2003", 2003, 12, 31},
        {"mm\"|\"dd\"|\"yyyy", "12|31|2003", 2003, 12, 31},
        {"ddmmyyyy", "31.12.2003", 2003, 12, 31},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToDateTimeFmt(c.Format, c.Text), rtl::EncodeDate(c.Year, c.Month, c.Day))
            << c.Format.toStdString();
    EXPECT_DOUBLE_EQ(
        StrToDateTimeFmt("yyyy-mm-dd", "2003-12-31 12:00:00"), rtl::EncodeDate(2003, 12, 31) + 0.5);
    EXPECT_THROW(StrToDateTimeFmt("yyyy-mm-dd", "31/12/2003"), rtl::EConvertError);
    // An empty format read past the end of the text.
    EXPECT_THROW(StrToDateTimeFmt("", "2003-12-31"), rtl::EConvertError);
    EXPECT_EQ(rtl::formatSettings().ShortDateFormat, "m/d/yyyy");
    EXPECT_EQ(rtl::formatSettings().DateSeparator, '.');
}

}  // namespace
