#include "paneltesting.h"

#include "core/base/zstrings.h"
#include "core/model/fieldeditors.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/query/sqlparams.h"
#include "querypanel/querylist/querybase.h"
#include "rtl/datetime.h"
#include "rtl/exception.h"
#include "rtl/textfile.h"
#include "tests/querypanel/query/querytesting.h"
#include "tests/support/testdata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The panel model plus a date-and-time field and one predefined condition with two values.
struct TextFixture : PanelFixture {
    TDSCondition* Custom = nullptr;

    TextFixture()
    {
        TDSField* shipped
            = Model->Fields()[Model->AddField(zfkVirtual, "Orders.ShippedAt", nullptr, "ShippedAt")];
        shipped->SetFieldType(ftDateTime);
        shipped->ResetOperators();
        Custom = new TDSCondition(Model.get());
        Custom->SetDisplayFormat("Freight from @ to @");
        Custom->SetSQLExpr("Orders.Freight between @1 and @2");
        Model->Conditions().Add(Custom);
        Panel->SetSaveTitles(false);
    }
    TDSField* Field(const char* Name) const { return Model->FindField(flDisplayName, Name); }
    TSimpleCond* AddSimple(TFilterBracket* Bracket, const char* FieldName, int Operator = 0)
    {
        auto* row = static_cast<TSimpleCond*>(Bracket->AppendSimpleCond());
        row->SetField(Field(FieldName));
        row->SetOperator(row->Field()->Operators()[Operator]);
        return row;
    }
    rtl::StringList Save() const
    {
        rtl::StringList lines;
        Panel->SaveToStrings(lines);
        return lines;
    }
};

// Texts compared as one string, so that a failure shows the lines.
std::string Text(const rtl::StringList& Lines)
{
    return Lines.Text().toStdString();
}

rtl::StringList Lines(std::initializer_list<QString> Items)
{
    return rtl::StringList(Items);
}

rtl::StringList ReadData(const QString& Relative)
{
    QFile file(TestDataPath(Relative));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Relative.toStdString();
    rtl::StringList lines;
    lines.SetText(QString::fromUtf8(file.readAll()));
    return lines;
}

// A text whose brackets nest Depth deep below the root, with one condition in the deepest.
rtl::StringList NestedText(int Depth, const TDSField* Field)
{
    rtl::StringList lines({"[Main]", "Version=3.5", ""});
    QString path;
    for (int depth = 0; depth <= Depth; ++depth) {
        lines << "[Row" + path + "]"
              << "Enabled=1"
              << "RowType=1"
              << "LinkType=1"
              << "RowCount=1"
              << "";
        path += "1.";
    }
    lines << "[Row" + path + "]"
          << "RowType=0"
          << "FieldID=" + QString::number(Field->ID()) << "Operator=Equal"
          << "Value1=7"
          << "";
    return lines;
}

// A text whose condition holds a sub-query holding a sub-query, and so on, Depth deep: each level's
// text kept in the SubQuery value of the one above.
rtl::StringList SubQueryText(int Depth, const TDSField* Field)
{
    rtl::StringList inner;
    rtl::StringList lines;
    for (int level = 0; level <= Depth; ++level) {
        lines
            = rtl::StringList({"[Main]", "Version=3.5", "", "[Row]", "RowType=1", "LinkType=0", "RowCount=1",
                "", "[Row1.]", "RowType=0", "FieldID=" + QString::number(Field->ID()), "Operator=Equal",
                "Value1=7", "SubQuery=" + (inner.isEmpty() ? QString() : inner.CommaText()), ""});
        inner = lines;
    }
    return lines;
}

// The smallest text the writer makes: nothing may be missing, nothing extra.
TEST(QueryTextWriteTest, AnEmptyPanelWritesItsSectionsOnly)
{
    TextFixture f;
    EXPECT_EQ(Text(f.Save()),
        Text(Lines({"[Main]", "QueryName=", "Version=3.5", "Options=", "", "[Description]", "", "[UserData]",
            "", "[RFields]", "Count=0", "Version=3.5", "JustSorting=1", "", "[Row]", "Enabled=1", "RowType=1",
            "LinkType=0", "RowCount=0", ""})));
    f.Panel->SetSaveTitles(true);
    const rtl::StringList titled = f.Save();
    ASSERT_GT(titled.size(), f.Panel->Titles().size());
    EXPECT_EQ(titled.mid(0, f.Panel->Titles().size()), f.Panel->Titles());
    EXPECT_EQ(titled[f.Panel->Titles().size()], "");
    EXPECT_EQ(titled[f.Panel->Titles().size() + 1], "[Main]");
}

// A date kept as locale text would read wrongly under another locale.
TEST(QueryTextWriteTest, DatesAreStoredAsDayNumbersAndReadBack)
{
    TextFixture f;
    TSimpleCond* row = f.AddSimple(f.Panel->Root(), "ShippedAt");
    const QString shown = rtl::DateTimeToStr(rtl::EncodeDate(2004, 1, 31) + 0.75);
    row->SetValue(1, shown);
    const rtl::StringList text = f.Save();
    EXPECT_EQ(text.Values("Value1"), "38017.75");

    TextFixture g;
    g.Panel->LoadFromStrings(text);
    auto* copy = static_cast<TSimpleCond*>(g.Panel->Root()->Rows(0));
    EXPECT_EQ(copy->ValueText(1), shown);

    // A date list was read as one date, so a query holding one could not be saved at all. Each
    // item is a date of its own; a list of another type stays as written.
    TextFixture h;
    TSimpleCond* dates = h.AddSimple(h.Panel->Root(), "ShippedAt");
    dates->SetOperator(h.Model->OperatorByName("InList"));
    dates->SetValue(1, rtl::StringList({shown, rtl::DateToStr(rtl::EncodeDate(1996, 6, 4))}).CommaText());
    TSimpleCond* numbers = h.AddSimple(h.Panel->Root(), "OrderID");
    numbers->SetOperator(h.Model->OperatorByName("InList"));
    numbers->SetValue(1, "10248, 10249");
    h.Panel->SetMainTableName("Orders");
    h.Panel->Activate();
    h.Panel->BuildQuery();
    const QStringList sql = h.Panel->QResult()->GetSQL();
    ASSERT_TRUE(sql.join(u' ').contains("ShippedAt in ('"));
    const rtl::StringList listText = h.Save();
    EXPECT_EQ(listText.filter("Value1=").join(u' '), "Value1=38017.75,35220 Value1=10248, 10249");
    TextFixture i;
    i.Panel->LoadFromStrings(listText);
    EXPECT_EQ(static_cast<TFilterCond*>(i.Panel->Root()->Rows(0))->ValueText(1), dates->ValueText(1));
    EXPECT_EQ(Text(i.Save()), Text(listText));
    i.Panel->SetMainTableName("Orders");
    i.Panel->Activate();
    i.Panel->BuildQuery();
    EXPECT_EQ(i.Panel->QResult()->GetSQL(), sql);
    // A list of one date, as a writer of one date per value stored it, reads as that date.
    rtl::StringList single = listText;
    single[single.indexOf("Value1=38017.75,35220")] = "Value1=38017.75";
    i.Panel->LoadFromStrings(single);
    EXPECT_EQ(static_cast<TFilterCond*>(i.Panel->Root()->Rows(0))->ValueText(1),
        rtl::StringList({shown}).CommaText());

    row->SetValue(1, "not a date");
    f.Panel->SetModified(true);
    rtl::StringList failed;
    EXPECT_THROW(f.Panel->SaveToStrings(failed), rtl::EConvertError);
    EXPECT_EQ(f.Panel->ProcessState(), qpIdle);
    EXPECT_TRUE(f.Panel->Modified());
}

// The bracket's own row operations leave the stored paths as they were; the text named the rows by
// them, and [Row2.] under RowCount=1 read back as no row.
TEST(QueryTextWriteTest, RowsAreNamedByTheirPlaceWhenWritten)
{
    TextFixture f;
    TFilterBracket* root = f.Panel->Root();
    f.AddSimple(root, "Freight");
    f.AddSimple(root->AppendBracket(), "OrderID");
    root->DeleteRow(0);
    TextFixture g;
    g.Panel->LoadFromStrings(f.Save());
    ASSERT_EQ(g.Panel->Root()->Count(), 1);
    const auto* inner = dynamic_cast<TFilterBracket*>(g.Panel->Root()->Rows(0));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Count(), 1);
}

// Saving stored only five options; loading used to drop the ASCII aliases and filter options.
TEST(QueryTextWriteTest, OptionsOutsideTheStoredFiveSurviveALoad)
{
    TextFixture f;
    f.Panel->SetSaveSQLOptions(true);
    f.Panel->SetSQLOptions({soASCIIRFields, soSelectDistinct});
    const rtl::StringList text = f.Save();
    EXPECT_EQ(text.Values("Options"), "2");

    TextFixture g;
    g.Panel->SetSaveSQLOptions(true);
    g.Panel->SetSQLOptions({soASCIIRFields, soFilter, soQuoteAliases});
    g.Panel->LoadFromStrings(text);
    EXPECT_EQ(g.Panel->SQLOptions(), TSQLOptions({soASCIIRFields, soFilter, soSelectDistinct}));

    // Without stored options the text's number is ignored.
    TextFixture h;
    h.Panel->SetSQLOptions({soSortByNames});
    h.Panel->LoadFromStrings(text);
    EXPECT_EQ(h.Panel->SQLOptions(), TSQLOptions({soSortByNames}));
}

// A query with every kind of row and value: saved, loaded and saved again it must not change.
TEST(QueryTextRoundTripTest, EveryConditionKindRoundTripsByteForByte)
{
    TextFixture f;
    f.Panel->SetSaveTitles(true);
    f.Panel->SetQueryName("Big orders");
    f.Panel->SetDescription({"First line", "", "[not a section]", "  indented"});
    f.Panel->SetUserData({"[x]", "key=value"});
    TRFieldList& fields = f.Panel->QResult()->ResultFields();
    TResultField* total = fields.AddField("SUM(@1)", {f.Field("Freight")}, "Total\r\nfreight");
    total->SetSorting(2);
    fields.AddField("@1", {f.Field("OrderID")}, "Order");
    fields.SetJustSorting(false);

    TFilterBracket* root = f.Panel->Root();
    root->SetLinkType(fltAny);
    TSimpleCond* plain = f.AddSimple(root, "Freight");
    plain->SetValue(1, "C:\\path\\n and \"quotes\"");
    plain->SetChecked(false);
    TSimpleCond* param = f.AddSimple(root, "OrderID");
    param->SetParamState(1, true);
    param->Param(1)->SetVFormat("%@v%");
    param->Param(1)->SetValue("7");
    TFilterBracket* inner = root->AppendBracket();
    inner->SetLinkType(fltNotAll);
    auto* custom = static_cast<TCustomCond*>(inner->AppendCustomCond(f.Custom));
    custom->SetValue(1, "10");
    custom->SetParamState(2, true);
    TSimpleCond* dated = f.AddSimple(inner, "ShippedAt");
    dated->SetValue(1, rtl::DateTimeToStr(rtl::EncodeDate(1999, 12, 31)));
    TSimpleCond* sub = f.AddSimple(root, "OrderID");
    sub->SubQuery() = QStringList {"[Main]", "QueryName=inner, one", ""};
    sub->SetSubQueryOptions({soSelectDistinct, soBracketJoins});
    sub->SetValue(1, "SELECT OrderID  FROM Orders       WHERE  (  Freight > 1  )  ");
    sub->SetValueCaption(1, "end of\nthe year");

    const rtl::StringList first = f.Save();
    // Only a query list that wrote the text to its file makes the query saved.
    EXPECT_TRUE(f.Panel->Modified());
    TextFixture g;
    g.Panel->SetSaveTitles(true);
    g.Panel->LoadFromStrings(first);
    EXPECT_EQ(g.Panel->Description(), f.Panel->Description());
    EXPECT_EQ(g.Panel->UserData(), f.Panel->UserData());
    EXPECT_EQ(g.Panel->QResult()->ResultFields()[0]->Caption(), "Total\r\nfreight");
    auto* readInner = static_cast<TFilterBracket*>(g.Panel->Root()->Rows(2));
    EXPECT_EQ(readInner->LinkType(), fltNotAll);
    EXPECT_EQ(static_cast<TFilterCond*>(g.Panel->Root()->Rows(3))->GetValueCaption(1), "end of\nthe year");
    EXPECT_EQ(
        static_cast<TFilterCond*>(g.Panel->Root()->Rows(0))->ValueText(1), "C:\\path\\n and \"quotes\"");
    EXPECT_EQ(g.Panel->QResult()->Params().Count(), 2);
    EXPECT_EQ(Text(g.Save()), Text(first));
}

// The sentence showed any stored caption, "greater than 500" where the SQL compares with 50. A
// caption the program makes from the value, or a list gives for it, is made again; a lookup not
// fetched while opening, a custom editor and a sub-query keep the file's.
TEST(QueryTextReadTest, TheSentenceShowsTheValueTheSQLUses)
{
    TextFixture f;
    const auto add = [&](const char* Name, TFieldType Type, uint8_t EditType) {
        TDSField* field
            = f.Model->Fields()[f.Model->AddField(zfkVirtual, QString("Orders.") + Name, nullptr, Name)];
        field->SetFieldType(Type);
        field->ResetOperators();
        field->SetEditType(EditType);
        return field;
    };
    add("ShipCountry", ftString, etNone);
    TDSListEditor* shipped = EditorOf<TDSListEditor>(*add("Shipped", ftString, etList));
    shipped->Items() = {"Yes", "No"};
    shipped->Values() = {"1", "0"};
    EditorOf<TDSSQLEditor>(*add("Customer", ftString, etSQL))->SQL()
        = {"SELECT CustomerID, CompanyName FROM Customers"};
    add("Code", ftString, etCustom);
    const QString day = FloatToStrDot(rtl::EncodeDate(1997, 7, 4));
    const struct {
        const char* Field;
        const char* Operator;
        QString Value;
        QString Caption;
        QString Shown;  // empty: the value as the panel shows it
    } cases[] = {
        {"Freight", "GreaterThan", "50", "500", {}},
        {"Freight", "GreaterThan", "50", "50", {}},
        {"Freight", "GreaterThan", "", "500", TDropDownLabel::EmptyCaption},
        {"OrderDate", "Equal", day, "31.12.1999", {}},
        {"ShipCountry", "InList", "France,Germany", "Germany", {}},
        {"ShipCountry", "Equal", "O'Hara", "O'Hara", {}},
        {"Shipped", "Equal", "1", "No", "Yes"},
        {"Shipped", "Equal", "1", "Yes", "Yes"},
        {"Shipped", "Equal", "5", "Maybe", {}},
        {"Customer", "Equal", "ALFKI", "Alfreds Futterkiste", "Alfreds Futterkiste"},
        {"Customer", "InList", "ALFKI,ANATR", "Alfreds", {}},
        {"Customer", "InList", "ALFKI,ANATR", "Alfreds,\"Ana Trujillo\"", "Alfreds,\"Ana Trujillo\""},
        {"Code", "Equal", "7", "seven", "seven"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + " " + c.Value.toStdString() + " " + c.Caption.toStdString());
        f.Panel->LoadFromStrings(
            Lines({"[Main]", "Version=3.5", "[Row]", "RowType=1", "LinkType=0", "RowCount=1", "[Row1.]",
                "RowType=0", "FieldID=" + QString::number(f.Field(c.Field)->ID()), "Param1=0", "Param2=0",
                QString("Operator=") + c.Operator, "Value1=" + c.Value, "Caption1=" + c.Caption}));
        const auto* row = static_cast<TFilterCond*>(f.Panel->Root()->Rows(0));
        EXPECT_EQ(row->GetValueCaption(1), c.Shown.isEmpty() ? row->ValueText(1) : c.Shown);
    }
}

// Texts written before values could hold line breaks keep their backslashes as they are.
TEST(QueryTextRoundTripTest, TextsWithoutTheEscapedKeyReadRaw)
{
    TextFixture f;
    f.Panel->LoadFromStrings(Lines({"[Main]", "Version=3.5", "[Description]", "a\\nb", "[Row]", "RowType=1",
        "LinkType=0", "RowCount=1", "[Row1.]", "RowType=0",
        "FieldID=" + QString::number(f.Field("Freight")->ID()), "Operator=Equal", "Value1=x\\\\y"}));
    EXPECT_EQ(f.Panel->Description(), QStringList {"a\\nb"});
    EXPECT_EQ(static_cast<TFilterCond*>(f.Panel->Root()->Rows(0))->ValueText(1), "x\\\\y");
}

// Counts and numbered sections must agree: read up to a wrong count, a damaged file became a query
// with other columns or fewer conditions, which Build Query ran. A huge count must not hang.
TEST(QueryTextReadTest, CountsMustMatchTheSections)
{
    const QString id = "FieldID=" + QString::number(TextFixture().Field("Freight")->ID());
    const auto condition = [&](const QString& Path) {
        return QStringList {"[Row" + Path + "]", "RowType=0", id, "Operator=Equal"};
    };
    const auto bracket = [](const QString& Path, const QString& Count) {
        return QStringList {"[Row" + Path + "]", "RowType=1", "LinkType=1"} + QStringList(Count);
    };
    const QStringList main {"[Main]", "Version=3.5"};
    const auto field = [](int N) {
        return QStringList {"[RField" + QString::number(N) + "]", "Formula=@1", "Fields=1"};
    };
    const auto fields = [&](const QStringList& Head, int Sections) {
        QStringList lines = QStringList {"[RFields]", "JustSorting=0"} + Head;
        for (int n = 1; n <= Sections; ++n)
            lines += field(n);
        return lines;
    };
    const struct {
        const char* Name;
        QStringList Text;
        // Empty for a text that reads.
        QString Message;
        int Rows = 0;
        int Fields = 0;
    } cases[] = {
        {"no rows and no result fields",
            main + QStringList {"[RFields]", "Count=0"} + bracket("", "RowCount=0"), ""},
        // A sub-query's text may be no more than its head.
        {"neither [RFields] nor [Row]", main, ""},
        {"an empty [Row] and an empty field count", main + QStringList {"[RFields]", "Count=", "[Row]"}, ""},
        {"sections found ignoring case",
            main
                + QStringList {"[rfields]", "COUNT=1", "[rfield1]", "Formula=@1", "Fields=1", "[ROW]",
                    "RowType=1", "LinkType=1", "RowCount=1", "[row1.]", "RowType=0", id, "Operator=Equal"},
            "", 1, 1},
        {"sections numbered as no writer numbers them",
            main + QStringList {"[RField01]", "[RField0]", "[Row1]", "[Row01.]"} + bracket("", "RowCount=0"),
            ""},
        {"row count smaller than its rows",
            main + bracket("", "RowCount=0") + condition("1.") + condition("2."),
            "Error in section Row1.: Section [Row1.] lies beyond RowCount=0 of [Row]"},
        {"row count larger than its rows",
            main + bracket("", "RowCount=3") + condition("1.") + condition("2."),
            "Error in section Row3.: Section [Row3.] is missing"},
        {"huge row count", main + bracket("", "RowCount=2000000000") + condition("1.") + condition("2."),
            "Error in section Row3.: Section [Row3.] is missing"},
        {"a counted row without lines",
            main + bracket("", "RowCount=2") + condition("1.") + QStringList {"[Row2.]"},
            "Error in section Row2.: Section [Row2.] is empty"},
        {"row count missing while rows exist", main + bracket("", {}) + condition("1."),
            "Error in section Row1.: Section [Row1.] lies beyond RowCount of [Row], which is missing"},
        {"row count empty while rows exist", main + bracket("", "RowCount=") + condition("1."),
            "Error in section Row1.: Section [Row1.] lies beyond RowCount of [Row], which is empty"},
        {"rows without [Row]", main + condition("1."),
            "Error in section Row1.: Section [Row1.] lies beyond [Row], which is missing"},
        {"rows below an empty [Row]", main + QStringList {"[Row]"} + condition("1."),
            "Error in section Row1.: Section [Row1.] lies beyond [Row], which is empty"},
        {"a nested row beyond its bracket's count",
            main + bracket("", "RowCount=1") + bracket("1.", "RowCount=1") + condition("1.1.")
                + condition("1.2."),
            "Error in section Row1.2.: Section [Row1.2.] lies beyond RowCount=1 of [Row1.]"},
        {"a branch beyond the count", main + bracket("", "RowCount=1") + condition("1.") + condition("2.1."),
            "Error in section Row2.1.: Section [Row2.1.] lies beyond RowCount=1 of [Row]"},
        {"a row under a condition", main + bracket("", "RowCount=1") + condition("1.") + condition("1.1."),
            "Error in section Row1.1.: Section [Row1.1.] lies under [Row1.], which is not a bracket"},
        {"field count smaller than its fields", main + fields({"Count=1"}, 3),
            "Error in section RField2: Section [RField2] lies beyond Count=1 of [RFields]"},
        {"field count larger than its fields", main + fields({"Count=3"}, 2),
            "Error in section RField3: Section [RField3] is missing"},
        {"huge field count", main + fields({"Count=2000000000"}, 2),
            "Error in section RField3: Section [RField3] is missing"},
        {"field count missing while fields exist", main + fields({}, 1),
            "Error in section RField1: Section [RField1] lies beyond Count of [RFields], which is missing"},
        {"field count empty while fields exist", main + fields({"Count="}, 1),
            "Error in section RField1: Section [RField1] lies beyond Count of [RFields], which is empty"},
        {"fields without [RFields]", main + field(1),
            "Error in section RField1: Section [RField1] lies beyond [RFields], which is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TextFixture f;
        QString message;
        try {
            f.Panel->LoadFromStrings(rtl::StringList(c.Text));
        } catch (const rtl::Exception& e) {
            message = e.Message();
        }
        EXPECT_EQ(message.toStdString(), c.Message.toStdString());
        EXPECT_EQ(f.Panel->Root()->Count(), c.Rows);
        EXPECT_EQ(f.Panel->QResult()->ResultFields().Count(), c.Fields);
    }
}

// A text that breaks off halfway must not leave a partial query that the next save writes over
// the file.
TEST(QueryTextReadTest, AFailedLoadLeavesThePanelClearedAndUnmodified)
{
    const struct {
        const char* Name;
        rtl::StringList Text;
        bool FormatError;
        // Read as the current query of a query list, whose file the message names.
        bool InFile = false;
    } cases[] = {
        {"non-numeric row type",
            Lines({"[Main]", "Version=3.5", "[Description]", "kept?", "[Row]", "RowType=1", "LinkType=0",
                "RowCount=2", "[Row1.]", "RowType=0", "[Row2.]", "RowType=x"}),
            false},
        {"empty row type", Lines({"[Row]", "RowType=1", "LinkType=0", "RowCount=1", "[Row1.]", "Enabled=1"}),
            false},
        {"bad link type", Lines({"[Row]", "RowType=1", "LinkType=9", "RowCount=0"}), false},
        {"bad version", Lines({"[Main]", "Version=three"}), false},
        {"huge version", Lines({"[Main]", "Version=1e300"}), false},
        {"root is no bracket", Lines({"[Main]", "Version=3.5", "[Row]", "RowType=0", "Operator=Equal"}),
            true},
        {"a bad row after everything else",
            Lines({"[Main]", "QueryName=q", "Version=3.5", "Options=2", "[Description]", "d", "[UserData]",
                "u", "[RFields]", "Count=1", "Version=4.5", "JustSorting=0", "[RField1]", "Fields=1",
                "Sorting=1", "[Row]", "RowType=1", "LinkType=1", "RowCount=2", "[Row1.]", "RowType=0",
                "FieldID=1", "Operator=Equal", "Param1=1", "Value1=x", "[Row2.]", "RowType=1", "LinkType=7"}),
            false},
        // Dates out of the calendar read, showed 0/0/0000 and could then be neither built nor saved.
        {"date beyond the calendar",
            Lines({"[Main]", "Version=3.5", "[Row]", "RowType=1", "LinkType=0", "RowCount=1", "[Row1.]",
                "RowType=0", "FieldID=3", "Operator=Equal", "Value1=1e308"}),
            false},
        {"date and time before the calendar",
            Lines({"[Main]", "Version=3.5", "[Row]", "RowType=1", "LinkType=0", "RowCount=1", "[Row1.]",
                "RowType=0", "FieldID=4", "Operator=Equal", "Value1=-99999999"}),
            false},
        {"disabled rows before a bad one",
            Lines({"[Main]", "Version=3.5", "[Row]", "RowType=1", "LinkType=3", "RowCount=2", "[Row1.]",
                "RowType=0", "Enabled=0", "FieldID=1", "Operator=Equal", "[Row2.]", "RowType=x"}),
            false},
        // Brackets nested thousands deep ran the reader out of stack.
        {"brackets nested far deeper than the panel holds", NestedText(2000, TextFixture().Field("Freight")),
            true},
        // Messages from a query file did not say which file.
        {"a query file nesting too deep", NestedText(600, TextFixture().Field("Freight")), true, true},
        {"a query file with an empty row count", Lines({"[Row]", "RowType=1", "LinkType=0", "RowCount="}),
            false, true},
        // Read as far as the count, the query lost its conditions without a word.
        {"a query file with rows beyond its row count",
            Lines({"[Main]", "Version=3.5", "[Description]", "kept?", "[Row]", "RowType=1", "LinkType=0",
                "RowCount=0", "[Row1.]", "RowType=0", "FieldID=1", "Operator=Equal"}),
            true, true},
        {"a query file of a newer version", Lines({"[Main]", "Version=99", "[Description]", "kept?"}), false,
            true},
        // Each level of sub-queries doubles the text that keeps the ones below: a level more than
        // a query takes read, and each further one doubled the time to open the sub-query.
        {"sub-queries nested deeper than a query takes",
            SubQueryText(MaxSubQueryDepth + 1, TextFixture().Field("Freight")), false},
        {"a query file nesting sub-queries too deep",
            SubQueryText(MaxSubQueryDepth + 1, TextFixture().Field("Freight")), false, true},
    };
    // What the panel writes after a failed read: the text of a panel that never read one.
    TextFixture fresh;
    fresh.Panel->Activate();
    const rtl::StringList empty = fresh.Save();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TextFixture f;
        f.AddSimple(f.Panel->Root(), "Freight");
        // The query before was an "any" one: the cleared panel must not keep that for a new query.
        f.Panel->Root()->SetLinkType(fltAny);
        f.Panel->Activate();
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath("damaged.qry");
        TZQueryFileBase base;
        bool formatError = false;
        QString message;
        try {
            if (c.InFile) {
                rtl::WriteTextFile(path, c.Text.Text());
                base.SetWorkDir(folder.path());
                f.Panel->SetQueryBase(&base);
                base.Open();
            } else
                f.Panel->LoadFromStrings(c.Text);
            ADD_FAILURE() << "no error";
        } catch (const EZQueryPanelError& e) {
            formatError = e.Message().contains("[Row]");
            message = e.Message();
        } catch (const rtl::EConvertError& e) {
            message = e.Message();
        }
        EXPECT_EQ(formatError, c.FormatError);
        EXPECT_EQ(message.startsWith(path + ": ") && message.count(path) == 1, c.InFile)
            << message.toStdString();
        if (c.InFile) {
            EXPECT_EQ(rtl::ReadTextFile(path), c.Text.Text());
        }
        EXPECT_EQ(Text(f.Save()), Text(empty));
        EXPECT_EQ(f.Panel->Root()->Count(), 0);
        EXPECT_TRUE(f.Panel->Description().isEmpty());
        EXPECT_FALSE(f.Panel->Modified());
        EXPECT_EQ(f.Panel->ProcessState(), qpIdle);
        EXPECT_TRUE(f.Panel->Active());
    }
}

// Every road over the rows recurses once a bracket: a text as deep as the reader takes must also
// write, build and show, and the panel's commands must not build a tree deeper than that, which
// could not be saved.
TEST(QueryTextReadTest, ATextAsDeepAsTheReaderTakesWritesBuildsAndShows)
{
    TextFixture f;
    const rtl::StringList deepest = NestedText(500, f.Field("Freight"));
    f.Panel->LoadFromStrings(deepest);
    const rtl::StringList written = f.Save();
    EXPECT_EQ(written.filter("[Row").size(), deepest.filter("[Row").size());
    TextFixture g;
    g.Panel->LoadFromStrings(written);
    EXPECT_EQ(Text(g.Save()), Text(written));
    f.Panel->SetMainTableName("Orders");
    f.Panel->Activate();
    f.Panel->BuildQuery();
    EXPECT_TRUE(f.Panel->QResult()->GetSQL().join(u' ').contains("Freight = 7"));

    // The panel's own commands go no deeper, so a query the user builds always saves.
    TFilterBracket* bracket = f.Panel->Root();
    while (bracket->Count() > 0 && dynamic_cast<TFilterBracket*>(bracket->Rows(0)))
        bracket = static_cast<TFilterBracket*>(bracket->Rows(0));
    EXPECT_THROW(bracket->AppendBracket(), EZQueryPanelError);
    ASSERT_EQ(bracket->Count(), 1);
    EXPECT_THROW(bracket->Rows(0)->MoveIn(), EZQueryPanelError);
    EXPECT_EQ(bracket->Count(), 1);
    f.Panel->SetModified(true);
    rtl::StringList lines;
    f.Panel->SaveToStrings(lines);
    EXPECT_EQ(lines.filter("[Row").size(), deepest.filter("[Row").size());

    // So do sub-queries as deep as a query takes.
    TextFixture h;
    h.Panel->LoadFromStrings(SubQueryText(MaxSubQueryDepth, h.Field("Freight")));
    EXPECT_FALSE(static_cast<TFilterCond*>(h.Panel->Root()->Rows(0))->SubQuery().isEmpty());
    try {
        h.Panel->LoadFromStrings(SubQueryText(MaxSubQueryDepth + 1, h.Field("Freight")));
        ADD_FAILURE() << "no error";
    } catch (const EZQueryPanelError& e) {
        EXPECT_EQ(e.Message(), "The sub-query of condition 1 nests sub-queries more than 10 deep");
    }
}

// Options, titles and the sorting flag come before the rows in a text: a read that fails on its rows
// must not leave them behind for the next save to write.
TEST(QueryTextReadTest, AFailedLoadKeepsTheOptionsTitlesAndSortingFlagThePanelHad)
{
    TextFixture source;
    source.Panel->SetSaveTitles(true);
    TSQLOptions options = source.Panel->SQLOptions();
    if (options.Contains(soSelectDistinct))
        options.Exclude(soSelectDistinct);
    else
        options.Include(soSelectDistinct);
    source.Panel->SetSQLOptions(options);
    const QString key = source.Panel->Titles().front().section(u'=', 0, 0);
    source.Panel->SetTitle(key, "Another title");
    source.Panel->QResult()->ResultFields().SetJustSorting(false);
    rtl::StringList text = source.Save();
    text.append({"", "[Row1.]", "RowType=x"});
    const int rowCount = text.indexOf("RowCount=0");
    ASSERT_GE(rowCount, 0);
    text[rowCount] = "RowCount=1";

    TextFixture f;
    f.Panel->SetSaveTitles(true);
    f.Panel->Activate();
    const TSQLOptions had = f.Panel->SQLOptions();
    const rtl::StringList before = f.Save();
    EXPECT_THROW(f.Panel->LoadFromStrings(text), rtl::EConvertError);
    EXPECT_EQ(f.Panel->SQLOptions(), had);
    EXPECT_TRUE(f.Panel->QResult()->ResultFields().JustSorting());
    EXPECT_EQ(Text(f.Save()), Text(before));
}

TEST(QueryTextReadTest, LoadingWithoutAModelChangesNothing)
{
    TZQueryPanel panel;
    panel.SetQueryName("kept");
    EXPECT_EQ(PanelErrorCode([&] {
        panel.LoadFromStrings(Lines({"[Main]", "QueryName=other"}));
    }),
        qpeNoDbStruct);
    EXPECT_EQ(panel.QueryName(), "kept");
}

// Each file version decides how its field references, values and titles read.
TEST(QueryTextVersionTest, OlderFilesReadAsTheirVersionDefines)
{
    {
        SCOPED_TRACE("1.1: no Version, raw values, full names");
        TextFixture f;
        f.Panel->LoadFromStrings(ReadData("queries/version11.qry"));
        EXPECT_EQ(f.Panel->TextVersion(), 1100);
        auto* row = static_cast<TSimpleCond*>(f.Panel->Root()->Rows(0));
        EXPECT_EQ(row->Field(), f.Field("Freight"));
        EXPECT_EQ(row->ValueText(1), "38017");
        EXPECT_EQ(f.Panel->QResult()->ResultFields()[0]->Alias(), "Ord");
        EXPECT_EQ(f.Panel->QResult()->ResultFields()[0]->Fields()[0], f.Field("OrderID"));
        EXPECT_EQ(f.Panel->QResult()->Params().Count(), 0);
    }
    {
        SCOPED_TRACE("2.0: field IDs, old titles, no captions");
        TextFixture f;
        f.Panel->SetSaveTitles(true);
        f.Panel->LoadFromStrings(ReadData("queries/version20.qry"));
        EXPECT_EQ(f.Panel->GetTitle("ttlFilter"), "Find @ records");
        EXPECT_EQ(f.Panel->GetTitle("ttlAll"), "every");
        auto* row = static_cast<TSimpleCond*>(f.Panel->Root()->Rows(0));
        EXPECT_EQ(row->Field(), f.Field("OrderID"));
        EXPECT_NE(row->GetValueCaption(1), "IGNORED");
        ASSERT_NE(row->Param(2), nullptr);
        EXPECT_EQ(row->Param(2)->VFormat(), "@v%");
    }
    {
        SCOPED_TRACE("3.0: captions, sub-query with two-blank line breaks");
        TextFixture f;
        f.Panel->LoadFromStrings(ReadData("queries/version30.qry"));
        auto* row = static_cast<TSimpleCond*>(f.Panel->Root()->Rows(0));
        EXPECT_EQ(row->ValueText(1), "SELECT OrderID  FROM Orders");
        // Read into an inactive panel, the hint and caption reach the label made on activation.
        f.Panel->Activate();
        EXPECT_EQ(row->ValueLabel(1)->toolTip(), "SELECT OrderID\r\nFROM Orders");
        EXPECT_EQ(row->ValueLabel(1)->Caption(), "some orders");
        EXPECT_EQ(row->SubQueryOptions(), TSQLOptions({soSelectDistinct}));
        EXPECT_EQ(f.Panel->Root()->Rows(1)->Checked(), false);
    }
}

// A newer writer's file read as 3.5 and saved again would lose what that writer put there.
TEST(QueryTextVersionTest, VersionsAboveTheNewestWrittenAreRefused)
{
    const struct {
        QString Version;
        bool Reads;
    } cases[] = {{"3.5", true}, {"3.50", true}, {"3.51", false}, {"4", false}, {"99", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Version.toStdString());
        TextFixture f;
        QString message;
        try {
            f.Panel->LoadFromStrings(Lines({"[Main]", "Version=" + c.Version, "[Row]", "RowType=1",
                "LinkType=1", "RowCount=1", "[Row1.]", "RowType=0", "FieldID=1", "Operator=Equal"}));
        } catch (const EZQueryPanelError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message.toStdString(),
            c.Reads ? ""
                    : "Invalid query text: the version " + c.Version.toStdString()
                    + " is newer than 3.5, the newest this program reads");
        EXPECT_EQ(f.Panel->Root()->Count(), c.Reads ? 1 : 0);
    }
}

// The rebuild after a change of look goes through the text: it must neither lose parameters and
// result fields nor report a change of the query.
TEST(QueryTextRelayoutTest, ARebuildKeepsTheWholeQueryAndReportsNoChange)
{
    TextFixture f;
    f.Panel->QResult()->ResultFields().AddField("@1", {f.Field("OrderID")}, "Order");
    TSimpleCond* row = f.AddSimple(f.Panel->Root(), "Freight");
    row->SetParamState(2, true);
    row->Param(2)->SetValue("9");
    f.Panel->Activate();
    f.Panel->SetModified(true);
    const rtl::StringList before = f.Save();
    f.Panel->SetModified(true);
    int changes = 0;
    f.Panel->OnChange = [&](TZQueryPanel*) { ++changes; };
    f.Panel->OnParamListChange = [&](TZQueryPanel*) { ++changes; };
    f.Panel->Appearance().SetStyle(psAndOr);
    EXPECT_NE(f.Panel->Root()->Rows(0), row);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(f.Panel->Modified());
    EXPECT_TRUE(f.Panel->Active());
    EXPECT_EQ(f.Panel->QResult()->Params().Count(), 1);
    EXPECT_EQ(Text(f.Save()), Text(before));
}

// The sample model the program opens at its first start.
struct NwindModel {
    querytesting::OfflineInfo Info;
    TZDBStructure Model;
    NwindModel()
    {
        Model.SetDatabaseInfo(&Info);
        Model.LoadFromFile(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs"));
    }
};

const QString SampleFolder = QStringLiteral(NUV_SAMPLES_DIR "/dmodels/nwind/");

// The queries the program lists at its first start: each must open on the sample model and save
// back to the same bytes.
TEST(SampleQueriesTest, EverySampleQueryReadsAndWritesBackUnchanged)
{
    NwindModel nwind;
    const QStringList names = QDir(SampleFolder).entryList({"*.qry"}, QDir::Files, QDir::Name);
    EXPECT_GE(names.size(), 5);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(SampleFolder + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        rtl::StringList text;
        text.SetText(QString::fromUtf8(bytes));
        TZQueryPanel panel;
        panel.SetSaveTitles(false);
        panel.SetDbStruct(&nwind.Model);
        panel.LoadFromStrings(text);
        EXPECT_GT(panel.Root()->Count(), 0);
        EXPECT_GT(panel.QResult()->ResultFields().Count(), 0);
        rtl::StringList saved;
        panel.SaveToStrings(saved);
        EXPECT_EQ(saved.Text().toUtf8().toStdString(), bytes.toStdString());
        panel.SetDbStruct(nullptr);
    }
}

// Sample queries whose counts were edited opened without their conditions or columns, and Build
// Query then found other records: each is refused naming its file and section, and stays as it is.
TEST(SampleQueriesTest, ASampleWhoseCountsDoNotMatchItsSectionsIsRefused)
{
    NwindModel nwind;
    const struct {
        const char* File;
        QString From;
        QString To;
        const char* Message;
    } cases[] = {
        {"countries_with_many_orders.qry", "RowCount=2", "RowCount=0",
            "Error in section Row1.: Section [Row1.] lies beyond RowCount=0 of [Row]"},
        // Cut after [Row1.]: the lines from [Row2.] on go.
        {"countries_with_many_orders.qry", "[Row2.]", "",
            "Error in section Row2.: Section [Row2.] is missing"},
        {"german_orders.qry", "Count=3", "Count=1",
            "Error in section RField2: Section [RField2] lies beyond Count=1 of [RFields]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        rtl::StringList lines;
        lines.SetText(rtl::ReadTextFile(SampleFolder + c.File));
        const qsizetype at = lines.indexOf(c.From);
        ASSERT_GE(at, 0);
        if (c.To.isEmpty())
            lines.resize(at);
        else
            lines[at] = c.To;
        const QString text = lines.Text();
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(c.File);
        rtl::WriteTextFile(path, text);
        TZQueryPanel panel;
        panel.SetSaveTitles(false);
        panel.SetDbStruct(&nwind.Model);
        TZQueryFileBase base;
        base.SetWorkDir(folder.path());
        panel.SetQueryBase(&base);
        QString message;
        try {
            base.Open();
        } catch (const EZQueryPanelError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message, QDir::toNativeSeparators(path) + ": " + c.Message);
        EXPECT_EQ(panel.Root()->Count(), 0);
        EXPECT_EQ(panel.QResult()->ResultFields().Count(), 0);
        EXPECT_EQ(rtl::ReadTextFile(path), text);
        panel.SetQueryBase(nullptr);
        panel.SetDbStruct(nullptr);
    }
}

}  // namespace
