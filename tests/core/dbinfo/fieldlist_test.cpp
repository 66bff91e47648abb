#include "core/dbinfo/fieldlist.h"

#include <gtest/gtest.h>

namespace {

// "Name/Size/Type" of every field, separated by blanks.
QString Describe(const TDBFieldList& List)
{
    QStringList fields;
    for (int i = 0; i < List.Count(); ++i) {
        const TDBFieldInfo* field = List.GetItem(i);
        fields.append(
            field->Name + '/' + QString::number(field->Size) + '/' + FieldTypeToStr(field->FieldType));
    }
    return fields.join(' ');
}

}  // namespace

// Gate libraries read and write this text: the order of keys and a non-ASCII name must survive.
TEST(FieldListText, WritesCountThenThreeKeysPerFieldAndReadsItBack)
{
    TDBFieldList list;
    list.Add(new TDBFieldInfo {"CustomerID", 5, ftFixedChar});
    list.Add(new TDBFieldInfo {"Região", 0, ftDateTime});
    char* text = list.GetAsText();
    EXPECT_EQ(QString::fromUtf8(text),
        u"Count=2\r\nF1Name=CustomerID\r\nF1Size=5\r\nF1Type=ftFixedChar\r\n"
        u"F2Name=Região\r\nF2Size=0\r\nF2Type=ftDateTime\r\n"_qs);
    TDBFieldList back;
    LoadFieldListFromText(back, text);
    DisposeText(text);
    EXPECT_EQ(Describe(back), u"CustomerID/5/ftFixedChar Região/0/ftDateTime"_qs);
}

TEST(FieldListText, ReaderCases)
{
    const struct {
        const char* Text;
        const char* Expected;
    } cases[] = {
        // A missing or non-positive count reads no field; a null text reads as empty.
        {nullptr, ""},
        {"F1Name=A\r\nF1Size=1\r\n", ""},
        {"Count=-2\r\nF1Name=A\r\n", ""},
        // Keys are looked up by name, in any order and letter case; gaps read as empty or 0.
        {"f2type=ftInteger\r\nF1Type=ftMemo\r\nCOUNT=2\r\nF1Name=Notes\r\nF1Size=7\r\nF2Size=\r\n",
            "Notes/7/ftMemo /0/ftInteger"},
        // An unknown type name must not become an out-of-range enumeration value.
        {"Count=3\r\nF1Type=ftNoSuchType\r\nF2Type=\r\nF3Type=ftguid\r\n",
            "/0/ftUnknown /0/ftUnknown /0/ftGuid"},
        // Lines break at CR, LF or CR LF.
        {"Count=2\rF1Name=A\nF2Name=B\r\nF2Size=3", "A/0/ftUnknown B/3/ftUnknown"},
    };
    for (const auto& c : cases) {
        TDBFieldList list;
        list.Add(new TDBFieldInfo {"old", 1, ftBlob});
        LoadFieldListFromText(list, c.Text);
        EXPECT_EQ(Describe(list), c.Expected) << (c.Text ? c.Text : "null");
    }
}

// Folding non-ASCII letters would match a different column than the server does.
TEST(FieldList, FindFieldIgnoresAsciiCaseOnly)
{
    TDBFieldList list;
    list.Add(new TDBFieldInfo {"OrderID", 4, ftInteger});
    list.Add(new TDBFieldInfo {"Ärger", 4, ftString});
    EXPECT_EQ(list.FindField("ORDERID"), list.GetItem(0));
    EXPECT_EQ(list.FindField("Ärger"), list.GetItem(1));
    EXPECT_EQ(list.FindField("ärger"), nullptr);
    EXPECT_EQ(list.FindField("Order"), nullptr);
}
