#include "core/base/fieldtypes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Files written elsewhere hold these names for these ordinals: a shifted table would misread
// them. Names match ignoring ASCII case only, and an unknown name or ordinal never becomes an
// out-of-range type.
TEST(FieldTypes, NamesSitAtTheirOrdinalsAndReadBack)
{
    const std::pair<TFieldType, const char*> known[] = {{ftUnknown, "ftUnknown"}, {ftInteger, "ftInteger"},
        {ftDate, "ftDate"}, {ftWideString, "ftWideString"}, {ftFMTBcd, "ftFMTBcd"}};
    for (const auto& [type, name] : known)
        EXPECT_EQ(FieldTypeToStr(type), name);
    EXPECT_EQ(int(ftDate), 9);
    std::set<QString> names;
    for (int i = 0; i < FieldTypeCount; ++i) {
        names.insert(FieldTypeToStr(TFieldType(i)));
        EXPECT_EQ(StrToFieldType(FieldTypeToStr(TFieldType(i)).toUpper()), i);
    }
    EXPECT_EQ(names.size(), 38u);

    for (const char* unknown :
        {"ftNothing", "", " ftString", "ft\u017Ftring"})  // long s folds to s in Unicode
        EXPECT_EQ(StrToFieldType(QString::fromUtf8(unknown)), -1) << unknown;
    EXPECT_EQ(StrToFieldTypeDef("ftNothing"), ftUnknown);
    for (int ordinal : {-1, 38, 255})
        EXPECT_EQ(FieldTypeFromOrdinal(ordinal), ftUnknown) << ordinal;
    EXPECT_EQ(FieldTypeToStr(TFieldType(200)), "ftUnknown");
    EXPECT_EQ(StrToFieldKind("ZFKVIRTUAL"), zfkVirtual);
    EXPECT_EQ(StrToFieldKind("zfkOther"), -1);
}

}  // namespace
