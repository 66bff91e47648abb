#include "core/dbinfo/fieldlist.h"

#include <gtest/gtest.h>

namespace {

void AddField(TDBFieldList& List, const QString& Name, int Size, TFieldType Type)
{
    List.Add(new TDBFieldInfo {Name, Size, Type});
}

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

TEST(FieldListText, WritesCountThenThreeKeysPerFieldAndReadsItBack)
{
    TDBFieldList list;
    AddField(list, "CustomerID", 5, ftFixedChar);
    AddField(list, "Região", 0, ftDateTime);
    QStringList lines {"stale"};
    list.SaveToStrings(lines);
    EXPECT_EQ(lines,
        QStringList({"Count=2", "F1Name=CustomerID", "F1Size=5", "F1Type=ftFixedChar", "F2Name=Região",
            "F2Size=0", "F2Type=ftDateTime"}));

    char* text = list.GetAsText();
    EXPECT_EQ(QString::fromUtf8(text), lines.join("\r\n") + "\r\n");
    TDBFieldList back;
    AddField(back, "old", 1, ftBlob);
    LoadFieldListFromText(back, text);
    DisposeText(text);
    EXPECT_EQ(Describe(back), u"CustomerID/5/ftFixedChar Região/0/ftDateTime"_qs);
}

TEST(FieldListText, ReaderCases)
{
    struct Case {
        const char* Text;
        const char* Expected;
    };
    const Case cases[] = {
        // A missing, empty or non-positive count reads no field.
        {"F1Name=A\r\nF1Size=1\r\nF1Type=ftString\r\n", ""},
        {"Count=\r\nF1Name=A\r\n", ""},
        {"Count=0\r\nF1Name=A\r\n", ""},
        {"Count=-2\r\nF1Name=A\r\n", ""},
        // Keys are looked up by name, in any order and letter case; gaps read as empty or 0.
        {"f2type=ftInteger\r\nF1Type=ftMemo\r\nCOUNT=2\r\nF1Name=Notes\r\nF1Size=7\r\nF2Size=\r\n",
            "Notes/7/ftMemo /0/ftInteger"},
        // An unknown type name must not become an out-of-range enumeration value.
        {"Count=3\r\nF1Type=ftNoSuchType\r\nF2Type=\r\nF3Type=ftguid\r\n",
            "/0/ftUnknown /0/ftUnknown /0/ftGuid"},
        {"Count=2\rF1Name=A\nF2Name=B\r\nF2Size=3", "A/0/ftUnknown B/3/ftUnknown"},
    };
    for (const Case& c : cases) {
        TDBFieldList list;
        AddField(list, "old", 1, ftBlob);
        LoadFieldListFromText(list, c.Text);
        EXPECT_EQ(Describe(list), c.Expected) << c.Text;
    }
    TDBFieldList list;
    AddField(list, "old", 1, ftBlob);
    LoadFieldListFromText(list, nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST(FieldList, FindFieldIgnoresAsciiCaseOnly)
{
    TDBFieldList list;
    AddField(list, "OrderID", 4, ftInteger);
    AddField(list, "Ärger", 4, ftString);
    AddField(list, "orderid", 4, ftString);
    EXPECT_EQ(list.FindField("ORDERID"), list.GetItem(0));
    EXPECT_EQ(list.FindField("Ärger"), list.GetItem(1));
    EXPECT_EQ(list.FindField("ärger"), nullptr);
    EXPECT_EQ(list.FindField("Order"), nullptr);
}

TEST(FieldList, CopyToReplacesTheDestinationWithOwnItems)
{
    TDBFieldList source;
    AddField(source, "A", 1, ftSmallint);
    TDBFieldList destination;
    AddField(destination, "X", 2, ftBlob);
    AddField(destination, "Y", 3, ftBlob);
    source.CopyTo(destination);
    EXPECT_EQ(Describe(destination), "A/1/ftSmallint");
    EXPECT_NE(destination.GetItem(0), source.GetItem(0));
}
