#include "core/base/fieldtypes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Files written elsewhere hold these names for these ordinals: a shifted table would misread them.
TEST(FieldTypes, NamesSitAtTheirOrdinalsAndReadBack)
{
    const std::pair<TFieldType, const char*> known[] = {
        {ftUnknown, "ftUnknown"}, {ftInteger, "ftInteger"},     {ftDate, "ftDate"},
        {ftMemo, "ftMemo"},       {ftWideString, "ftWideString"}, {ftFMTBcd, "ftFMTBcd"}};
    for (const auto& [type, name] : known)
        EXPECT_EQ(FieldTypeToStr(type), name);
    EXPECT_EQ(int(ftDate), 9);
    std::set<QString> names;
    for (int i = 0; i < FieldTypeCount; ++i) {
        names.insert(FieldTypeToStr(TFieldType(i)));
        EXPECT_EQ(StrToFieldType(FieldTypeToStr(TFieldType(i))), i);
    }
    EXPECT_EQ(names.size(), 38u);
}

TEST(FieldTypes, NamesMatchIgnoringAsciiCaseOnly)
{
    EXPECT_EQ(StrToFieldType("FTSTRING"), ftString);
    EXPECT_EQ(StrToFieldType(QString::fromUtf8("ft\u017Ftring")), -1);  // long s folds to s in Unicode
    for (const char* unknown : {"ftNothing", "", " ftString"})
        EXPECT_EQ(StrToFieldType(unknown), -1) << unknown;
    EXPECT_EQ(StrToFieldKind("ZFKVIRTUAL"), zfkVirtual);
    EXPECT_EQ(StrToFieldKind("zfkOther"), -1);
    EXPECT_EQ(FieldKindToStr(zfkData), "zfkData");
}

// An unknown name or ordinal in a file must never become an out-of-range type.
TEST(FieldTypes, UnknownValuesFallBackToUnknown)
{
    EXPECT_EQ(StrToFieldTypeDef("ftNothing"), ftUnknown);
    EXPECT_EQ(StrToFieldTypeDef("ftCurrency"), ftCurrency);
    for (int ordinal : {-1, 38, 255})
        EXPECT_EQ(FieldTypeFromOrdinal(ordinal), ftUnknown) << ordinal;
    EXPECT_EQ(FieldTypeToStr(TFieldType(200)), "ftUnknown");
}

}  // namespace
