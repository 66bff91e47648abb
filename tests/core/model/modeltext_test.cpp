#include "core/base/zstrings.h"
#include "core/dbinfo/fieldlist.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "core/model/modeltext.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"
#include "tests/support/testdata.h"

#include "modeltesting.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Database information that hands out connection lines, as a gate does.
class InfoWithLines : public FakeDBInfo {
public:
    QStringList Saved;
    void SaveInfo(QStringList& Lines) override { Lines = Saved; }
};

QByteArray FileBytes(const QString& Path)
{
    QFile file(Path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Path.toStdString();
    return file.readAll();
}

rtl::StringList Lines(const QString& Text)
{
    rtl::StringList lines;
    lines.SetText(Text);
    return lines;
}

// The sample model's text, as the build writes it.
QByteArray SampleText()
{
    return FileBytes(QStringLiteral(NUV_APP_DIR "/dmodels/nwind/struct.dbs"));
}

// Text without the lines of one section, its header included.
QString Without(const QString& Text, const QString& Section)
{
    QStringList lines = Lines(Text);
    const qsizetype header = lines.indexOf(u'[' + Section + u']');
    EXPECT_GE(header, 0) << qPrintable(Section);
    qsizetype end = header + 1;
    while (end < lines.size() && !lines[end].startsWith(u'['))
        ++end;
    lines.remove(header, end - header);
    return lines.join(u'\n');
}

// Text with the line Line replaced by By, or taken out when By is null.
QString Replaced(const QString& Text, const QString& Line, const QString& By)
{
    QStringList lines = Lines(Text);
    const qsizetype at = lines.indexOf(Line);
    EXPECT_GE(at, 0) << qPrintable(Line);
    if (By.isNull())
        lines.remove(at);
    else
        lines[at] = By;
    return lines.join(u'\n');
}

// The sections that [Main] counts or a table's Links names: the reader needs every one of them.
bool IsCountedHeader(const QString& Line)
{
    static const QRegularExpression counted(
        QStringLiteral("^\\[(Operator:\\d+|Table:\\d+|Link:.*|Field:\\d+|FieldGroup\\d+|Cond:\\d+)\\]$"));
    return counted.match(Line).hasMatch();
}

QStringList Saved(const TZCustomDBStructure& Model)
{
    QStringList lines;
    Model.SaveToStrings(lines);
    return lines;
}

class ModelTextTest : public testing::Test {
protected:
    InfoWithLines info;
    TZCustomDBStructure model;
    QTemporaryDir dir;
    int changes = 0;

    void SetUp() override
    {
        info.Connected = false;
        info.Saved = {"Database=shop.sqlite", "[Remote]=no"};
        model.SetDatabaseInfo(&info);
        model.OnChange = [this](QObject*) { ++changes; };
    }

    TDSTable* Table(const QString& Name, const QString& Caption, QRect Place)
    {
        TDSTable* table = model.Tables()[model.AddTable(Name, Caption)];
        table->SetDsgnPos(Place);
        return table;
    }
    TDSField* Field(TZFieldKind Kind, const QString& Expr, TDSTable* Table, const QString& Caption,
        const QStringList& Operators, TFieldType Type = ftString, int Size = 30, uint8_t EditType = 0)
    {
        TDSField* field = model.Fields()[model.AddField(Kind, Expr, Table, Caption)];
        for (const QString& name : Operators)
            field->AddOperatorByName(name);
        field->SetFieldType(Type);
        field->SetFieldSize(Size);
        field->SetEditType(EditType);
        return field;
    }

    // The model of tests/data/models/golden.dbs.
    void BuildGoldenModel()
    {
        while (model.GetOperatorCount() > 0)
            model.DeleteOperator(0);
        model.AddOperator("Equal", "is equal to", {ftString, ftInteger}, "", "@f = '@1'");
        TDSOperator* inList
            = model.GetOperator(model.AddOperator("InList", "is in list", {ftInteger}, "", "@f in (@1)"));
        inList->SetExprType(ftInteger);
        inList->SetValueKind(vkList);
        model.AddOperator("Between", "is between", {ftDate}, "and", "@f between '@1' and '@2'");

        TDSTable* customers = Table("Customers", "Our customers", {10, 20, 150, 200});
        customers->SetAlias("Cust");
        customers->SetDBName("shop");
        TDSTable* orders = Table("Orders", "Orders", {});
        orders->SetHints("NOLOCK");
        TDSTable* details = Table("Order Details", "Order lines", {});
        details->SetQuoted(true);
        TDSTable* employees = Table("Employees", "São Paulo staff", {300, 40, 120, 160});
        AddTestLink(model, customers, orders, "CustomerID")->SetLinkType(ltLeft);
        TDSLink* lines = AddTestLink(model, orders, details);
        lines->SetFields1({"OrderID", "val:1"});
        lines->SetFields2({"OrderID", "Line"});
        lines->SetOperators({"=", ">="});
        lines->SetQuoteFields(true);
        AddTestLink(model, employees, employees, "ReportsTo")->SetFields2({"EmployeeID"});

        Field(zfkData, "CustomerID", customers, "Customer ID", {"Equal"}, ftString, 5);
        auto* text = EditorOf<TDSTextEditor>(
            *Field(zfkData, "Company Name", customers, "Company", {"Equal"}, ftString, 30, 1));
        text->SetDefValue("ACME");
        text->SetEditKind(1);
        text->SetEditMask(">LL;0;_");
        text->SetFmtVal(true);
        text->SetOptions(1);
        auto* list = EditorOf<TDSListEditor>(
            *Field(zfkData, "ShipVia", orders, "Shipper", {"Equal", "InList"}, ftInteger, 4, 2));
        list->Items() = {"Speedy Express", "United Package"};
        list->Values() = {"1", "2"};
        EditorOf<TDSCustomEditor>(
            *Field(zfkData, "OrderDate", orders, "Order date", {"Between"}, ftDate, 8, 3))
            ->CustomData()
            = {"calendar", "week start=1"};
        EditorOf<TDSSQLEditor>(*Field(zfkVirtual, "Cust.City + ', ' + Cust.Country", nullptr, "Place",
                                   {"Equal"}, ftString, 100, 4))
            ->SQL()
            = {"SELECT DISTINCT City", "FROM Customers", "[Order Details]"};
        TDSField* reportsTo = Field(zfkData, "ReportsTo", employees, "Reports to", {}, ftInteger, 4);
        reportsTo->SetUseInConditions(false);
        reportsTo->SetUIR(false);
        for (const char* name : {"Customer", "Order"}) {
            auto* group = new TDSFieldGroup(&model);
            group->SetGroupName(name);
            model.FieldGroups().Add(group);
        }
        for (int i = 0; i < 4; ++i)
            model.Fields()[i]->SetGroup(model.FieldGroups()[i / 2]);

        auto* condition = new TDSCondition(&model);
        condition->SetDisplayFormat("Orders shipped to @ after @");
        condition->SetSQLExpr("Orders.ShipCountry = '@1' and Orders.OrderDate > '@2'");
        condition->Values()[1]->SetDataType(ftDate);
        model.Conditions().Add(condition);
        model.SetDefaultMainTable(orders);
        model.SetRootFieldsFirst(true);
    }

    void Load(const QString& Text) { model.LoadFromStrings(Lines(Text)); }
};

TEST_F(ModelTextTest, WritesTheGoldenFileByteForByte)
{
    BuildGoldenModel();
    const QString path = dir.filePath("struct.dbs");
    model.SaveToFile(path);
    EXPECT_EQ(FileBytes(path), FileBytes(TestDataPath("models/golden.dbs")));
}

// Reading must restore every item exactly enough for the writer to give the same text again; the
// text crosses a library boundary in UTF-8.
TEST_F(ModelTextTest, ReadingAndWritingAgainGivesTheSameText)
{
    BuildGoldenModel();
    char* text = model.GetAsText();
    TZCustomDBStructure copy;
    copy.SetDatabaseInfo(&info);
    copy.SetAsText(text);
    EXPECT_TRUE(QByteArray(text).contains("São Paulo staff\r\n"));
    DisposeText(text);
    EXPECT_EQ(Saved(copy), Saved(model));
    EXPECT_EQ(info.ReceivedInfo, info.Saved);
    // The read model is gone: every item it read must belong to the one that took them over.
    EXPECT_EQ(EditorOf<TDSSQLEditor>(*copy.FieldByID(5))->Structure(), &copy);
    EXPECT_EQ(copy.FieldByID(5)->Structure(), &copy);
    EXPECT_EQ(copy.Tables()[0]->Structure(), &copy);
    EXPECT_EQ(copy.FieldGroups()[0]->Structure(), &copy);
    EXPECT_EQ(copy.Conditions()[0]->Structure(), &copy);
    EXPECT_EQ(Aliases(copy.FieldByID(5)->Tables()), QStringList({"Cust", "Cust"}));
    EXPECT_EQ(Aliases(copy.Conditions()[0]->Tables()), QStringList({"Orders", "Orders"}));
    EXPECT_EQ(copy.PlaceholderField()->GetOperatorCount(), 1);
    EXPECT_THROW(copy.SetAsText(nullptr), EZDBStructError);
}

TEST_F(ModelTextTest, ReadsFilesWithOneChange)
{
    model.LoadFromFile(TestDataPath("models/golden.dbs"));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(model.ModelLoaded());
    EXPECT_EQ(Lines(QString::fromUtf8(FileBytes(TestDataPath("models/golden.dbs")))), Saved(model));

    const QString path = dir.filePath("old.dbs");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Main]\rVersion=3.5\rTableCount=1\r[Table:1]\rName=Caf\xe9\r");
    file.close();
    model.LoadFromFile(path);
    EXPECT_EQ(model.Tables()[0]->Name(), QString::fromUtf8("Café"));
}

TEST_F(ModelTextTest, KeysAreLookedUpByTheRulesOfTheirSection)
{
    Load("[main]\nversion=3.5\nOperatCount=1\nTableCount=1\nFieldCount=1\n[Operator:1]\nName=Equal\n"
         "[Table:1]\nname=Lower\nName= Orders \n"
         "[Field:1]\nID=7\nFieldExpr=Freight\nTableAlias=Orders\nfieldsize=9\nFieldType=6\nFieldType=99\nuir="
         "0\n"
         "EditType=9\noperators=\"Equal\", Equal\n");
    EXPECT_EQ(model.Version(), 3500);
    EXPECT_EQ(model.Tables()[0]->Name(), "Orders");
    const TDSField* field = model.FieldByID(7);
    EXPECT_EQ(field->Tables()[0], model.Tables()[0]);
    EXPECT_EQ(field->FieldSize(), 0);
    EXPECT_EQ(field->FieldType(), ftUnknown);
    EXPECT_EQ(field->EditType(), 0);
    EXPECT_FALSE(field->UIR());
    EXPECT_EQ(field->GetOperatorCount(), 1);
}

// Names the writer joins with commas must come back whole, and shared IDs must not tie fields together.
TEST_F(ModelTextTest, OddNamesAndSharedIDsReadBack)
{
    model.AddOperator("Is like", "is like", {ftString}, "", "@f like '@1'");
    TDSTable* odd = AddTestTable(model, "Odd");
    odd->SetAlias("A,B");
    AddTestLink(model, AddTestTable(model, "T"), odd);
    Field(zfkVirtual, "1", nullptr, "F", {"Is like"});
    TZCustomDBStructure copy;
    model.AssignTo(copy);
    EXPECT_EQ(Saved(copy), Saved(model));
    EXPECT_EQ(copy.GetLinkCount(), 1);

    Load("[Main]\nVersion=3.5\nFieldCount=4\n[Field:1]\nID=2\n[Field:2]\nID=2\n[Field:3]\n[Field:4]\nID=1\n");
    QList<int> ids;
    for (const TDSField* field : model.Fields())
        ids.append(field->ID());
    EXPECT_EQ(ids, QList<int>({2, 3, 0, 1}));
}

TEST_F(ModelTextTest, FieldListedTwiceStaysWhereItWasFirstListed)
{
    Load("[Main]\nVersion=3.5\nFieldCount=3\nFieldGroups=2\n"
         "[Field:1]\nID=1\nKind=zfkVirtual\n[Field:2]\nID=2\nKind=zfkVirtual\n[Field:3]\nID=3\nKind="
         "zfkVirtual\n"
         "[FieldGroup1]\nGroupName=A\nFields=2,2,9, ,1\n[FieldGroup2]\nGroupName=B\nFields=1\n"
         "[RootGroup]\nFields=2\n");
    EXPECT_EQ(model.FieldGroups()[0]->Count(), 2);
    EXPECT_EQ(model.FieldGroups()[1]->Count(), 0);
    EXPECT_EQ(model.FieldByID(1)->Group(), model.FieldGroups()[0]);
    EXPECT_EQ(model.RootGroup()->Count(), 1);
    EXPECT_EQ(model.RootGroup()->GetItem(0), model.FieldByID(3));
}

// A damaged text is reported and the model keeps everything it had, without an OnChange.
TEST_F(ModelTextTest, DamagedTextLeavesTheModelAsItWas)
{
    const QString sample = QString::fromUtf8(SampleText());
    BuildGoldenModel();
    const QStringList before = Saved(model);
    changes = 0;
    // A section that the counts or a table's links promise and the text lacks is damage: read as an
    // empty item it gave nameless tables, fields of ID 0 and conditions without SQL.
    const struct {
        QString Text;
        int Code;
        const char* Message;
    } cases[] = {
        {"", dseNoModel, "The text holds no data model"},
        {"[Other]\nVersion=3.5\n", dseNoModel, "The text holds no data model"},
        {"[Main]\nVersion=3.5\nTableCount=x\n", dseBadSection,
            "Error in section Main: 'x' is not a valid integer value"},
        {"[Main]\nVersion=2.5\nOperatCount=1\n[Operator:1]\nName=X\nValueIsList=\n", dseBadSection,
            "Error in section Operator:1: '' is not a valid integer value"},
        {"[Main]\nVersion=three\n", dseBadSection,
            "Error in section Main: 'three' is not a valid floating point value"},
        {"[Main]\nVersion=3.5\nFieldCount=1\n[Field:1]\nOperators=Nope\n", dseOperatorNotFound,
            "Operator not found: Nope"},
        {"[Main]\nVersion=3.5\nTableCount=1\n[Table:1]\nName=A\nLinks=B\n", dseNoSection,
            "Can not find section Link:A-B"},
        {"[Main]\nVersion=3.5\nTableCount=1\n[Table:1]\nName=A\nLinks=B\n[Link:A-B]\nFldName1=ID\n",
            dseNoSuchTable, "No such table B"},
        {"[Main]\nVersion=3.5\nFieldCount=2000000000\n", dseBadSection,
            "Error in section Main: FieldCount=2000000000 is more than the text holds"},
        {"[Main]\nVersion=3.5\nTableCount=-5\n", dseBadSection,
            "Error in section Main: TableCount=-5 is not a count"},
        {"[Main]\nVersion=2.5\nFieldCount=-2147483648\n", dseBadSection,
            "Error in section Main: FieldCount=-2147483648 is not a count"},
        {"[Main]\nVersion=3.5\nFieldCount=1\n[Field:1]\nDsgnPos=1\nFieldSize=\n", dseBadSection,
            "Error in section Field:1: '' is not a valid integer value"},
        {Without(sample, "Field:5"), dseBadSection, "Error in section Field:5: Section [Field:5] is missing"},
        {Without(sample, "Cond:1"), dseBadSection, "Error in section Cond:1: Section [Cond:1] is missing"},
        {Without(sample, "FieldGroup3"), dseBadSection,
            "Error in section FieldGroup3: Section [FieldGroup3] is missing"},
        {Without(sample, "Table:3"), dseBadSection, "Error in section Table:3: Section [Table:3] is missing"},
        {Without(sample, "Link:Orders-Order_Details"), dseNoSection,
            "Can not find section Link:Orders-Order_Details"},
        {Without(sample, "Operator:4"), dseBadSection,
            "Error in section Operator:4: Section [Operator:4] is missing"},
        {"[Main]\nVersion=2.0\nFieldCount=1\n", dseBadSection,
            "Error in section Field:1: Section [Field:1] is missing"},
        {"[Main]\nVersion=1.5\n[Fields]\nCustName\n", dseBadSection,
            "Error in section Field:CustName: Section [Field:CustName] is missing"},
        {"[Main]\nVersion=1.2\n[Operations]\nEqual=equals\n", dseBadSection,
            "Error in section Operation:Equal: Section [Operation:Equal] is missing"},
        // A counted section beyond its count was left unread, and the next save dropped it.
        {Replaced(sample, "FieldCount=38", "FieldCount=0"), dseBadSection,
            "Error in section Field:1: Section [Field:1] lies beyond FieldCount=0"},
        {sample + "\n[Field:39]\nID=39\n", dseBadSection,
            "Error in section Field:39: Section [Field:39] lies beyond FieldCount=38"},
        {Replaced(sample, "TableCount=8", "TableCount=3"), dseBadSection,
            "Error in section Table:4: Section [Table:4] lies beyond TableCount=3"},
        {Replaced(sample, "TableCount=8", QString()), dseBadSection,
            "Error in section Table:1: Section [Table:1] lies beyond TableCount, which is missing"},
        {Replaced(sample, "OperatCount=16", "OperatCount="), dseBadSection,
            "Error in section Operator:1: Section [Operator:1] lies beyond OperatCount, which is empty"},
        {Replaced(sample, "FieldGroups=5", "FieldGroups=4"), dseBadSection,
            "Error in section FieldGroup5: Section [FieldGroup5] lies beyond FieldGroups=4"},
        {"[Operations]\nEqual=equals,@f = '@1'\n [cond:1] \nDF=x\n", dseBadSection,
            "Error in section cond:1: Section [cond:1] lies beyond CondCount, which is missing"},
        {"[Main]\nVersion=3.5\nFieldCount=1\n[Field:1]\n[Field:99999999999]\n", dseBadSection,
            "Error in section Field:99999999999: Section [Field:99999999999] lies beyond FieldCount=1"},  // A newer text read as this version lost what its writer added at the next save.
        {Replaced(sample, "Version=3.5", "Version=99"), dseNewerVersion,
            "The data model is of version 99, newer than this program reads (3.5)"},
        {"[Main]\nVersion= 3.501 \n", dseNewerVersion,
            "The data model is of version 3.501, newer than this program reads (3.5)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StructError([&] { Load(c.Text); }), TStructError(c.Code, c.Message)) << c.Message;
        EXPECT_EQ(Saved(model), before) << c.Message;
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(info.ReceivedInfo, QStringList());
}

// Only a section that a count numbers is held to it: older texts name theirs after their items or
// number none, and the SQL of a counted field is not counted itself.
TEST_F(ModelTextTest, SectionsNoCountNumbersAreNotHeldToOne)
{
    const std::pair<const char*, QList<int>> rows[] = {
        {"[Main]\nVersion=3.5\nFieldCount=0\n", {0, 0, 0}},
        {"[Main]\nVersion=3.5\nFieldCount=1\n[Field:1]\nEditType=4\n[Field:1.SQL]\nselect 1\n", {0, 0, 1}},
        {"[Main]\nVersion=2.0\n[Operator:1]\nName=X\n", {0, 0, 0}},
        {"[Main]\nVersion=1.2\n[Tables]\n7=Seven\n[Table:7]\nAlias=S\n", {0, 1, 0}},
        {"[Main]\nVersion=1.5\n[Fields]\n1\n[Field:1]\nFieldName=A\nEditType=0\nFieldType=1\nFieldSize=5\n",
            {0, 0, 1}},
    };
    for (const auto& [text, counts] : rows) {
        EXPECT_EQ(StructError([&] { Load(text); }), TStructError()) << text;
        EXPECT_EQ(
            QList<int>({model.GetOperatorCount(), model.GetTableCount(), model.Fields().Count()}), counts)
            << text;
    }
}

// A file cut short reads whole or not at all: a cut that loses a section the counts promise raises
// and leaves the model as it was, where it used to read as a model with empty items.
TEST_F(ModelTextTest, CutTextReadsWholeOrRaises)
{
    const QByteArray whole = SampleText();
    TZCustomDBStructure sample;
    sample.LoadFromStrings(Lines(QString::fromUtf8(whole)));
    const QStringList main = Saved(sample).mid(0, 9);
    QStringList counted = Lines(QString::fromUtf8(whole));
    counted.removeIf([](const QString& line) { return !IsCountedHeader(line); });
    for (qsizetype cut = 500; cut < whole.size(); cut += 500) {
        const rtl::StringList lines = Lines(rtl::DecodeFileText(whole.left(cut)));
        const bool lost = std::any_of(
            counted.begin(), counted.end(), [&](const QString& header) { return !lines.contains(header); });
        TZCustomDBStructure read;
        read.LoadFromStrings(Lines("[Main]\nVersion=3.5\nTableCount=1\n[Table:1]\nName=Before"));
        const QStringList before = Saved(read);
        const TStructError error = StructError([&] { read.LoadFromStrings(lines); });
        if (lost) {
            EXPECT_NE(error.first, 0) << cut;
            EXPECT_EQ(Saved(read), before) << cut;
        } else {
            EXPECT_EQ(error, TStructError()) << cut;
            EXPECT_EQ(Saved(read).mid(0, 9), main) << cut;
        }
    }
}

// Conditions and virtual fields hold SQL: a backslash in one of their literals must not make the
// whole model unreadable. An empty DefaultMainTable names no table, not a table without a name.
TEST_F(ModelTextTest, SQLWithBackslashesReadsAndAnEmptyDefaultMainTableMeansNone)
{
    Load("[Main]\nVersion=3.5\nTableCount=2\nFieldCount=1\nCondCount=1\nDefaultMainTable=\n"
         "[Table:1]\nName=Customers\n[Table:2]\nAlias=A\n"
         "[Field:1]\nKind=zfkVirtual\nFieldExpr=replace(Customers.Path, '\\', '/')\n"
         "[Cond:1]\nID=1\nSQLExpr=Customers.Code like '%\\9%'\n");
    EXPECT_EQ(Aliases(model.Fields()[0]->Tables()), QStringList({"Customers"}));
    EXPECT_EQ(Aliases(model.Conditions()[0]->Tables()), QStringList({"Customers"}));
    ASSERT_EQ(model.GetTableCount(), 2);
    EXPECT_EQ(model.DefaultMainTable(), nullptr);
}

// A condition read without an ID takes the next one of the live list, which has seen every ID of
// the text: never one another condition of the text holds, nor one the list gave out before.
TEST_F(ModelTextTest, ConditionsWithoutAnIDTakeFreshOnes)
{
    for (int i = 0; i < 5; ++i)
        model.Conditions().Add(new TDSCondition(&model));
    const std::pair<const char*, QList<int>> rows[] = {
        {"[Cond:1]\n[Cond:2]\nID=6\n[Cond:3]\nID=0\n", {7, 6, 8}},
        {"[Cond:1]\n[Cond:2]\nID=1\n", {9, 1}},
    };
    for (const auto& [conditions, expected] : rows) {
        Load(QString("[Main]\nVersion=3.5\nCondCount=%1\n").arg(expected.size()) + conditions);
        QList<int> ids;
        for (const TDSCondition* condition : model.Conditions())
            ids.append(condition->ID());
        EXPECT_EQ(ids, expected) << conditions;
    }
}

TEST_F(ModelTextTest, FileErrorsNameTheFile)
{
    const QString missing = dir.filePath("missing.dbs");
    EXPECT_THROW(model.LoadFromFile(missing), rtl::EFileError);
    const QString damaged = dir.filePath("damaged.dbs");
    rtl::WriteTextFile(damaged, "[Main]\r\nVersion=x\r\n");
    EXPECT_EQ(StructError([&] { model.LoadFromFile(damaged); }),
        TStructError(
            dseBadSection, damaged + ": Error in section Main: 'x' is not a valid floating point value"));
    const QString newer = dir.filePath("newer.dbs");
    rtl::WriteTextFile(newer, "[Main]\r\nVersion=4.0\r\n");
    EXPECT_EQ(StructError([&] { model.LoadFromFile(newer); }),
        TStructError(dseNewerVersion,
            newer + ": The data model is of version 4.0, newer than this program reads (3.5)"));
}

TEST_F(ModelTextTest, ValuesNeverBreakTheirLineOrSection)
{
    model.AddTable("T", "Two\r\nlines\nhere");
    TDSField* field = Field(zfkVirtual, "1", nullptr, "F", {});
    field->SetEditType(4);
    auto* sql = EditorOf<TDSSQLEditor>(*field);
    sql->SQL() = {"select a -- note\nfrom t", "", "  [b]", "/**/x"};
    info.Saved = {"[Main]", "User=me"};
    const QStringList written = Saved(model);
    EXPECT_TRUE(written.contains("DisplayName=Two lines here"));
    EXPECT_EQ(written.mid(written.indexOf("[Field:1.SQL]") + 1, 4),
        QStringList({"select a -- note", "from t", "/**/  [b]", "/**//**/x"}));

    model.LoadFromStrings(written);
    EXPECT_EQ(model.Tables()[0]->DisplayName(), "Two lines here");
    EXPECT_EQ(EditorOf<TDSSQLEditor>(*model.Fields()[0])->SQL(),
        QStringList({"select a -- note", "from t", "  [b]", "/**/x"}));
    EXPECT_EQ(info.ReceivedInfo, QStringList({"[Main]", "User=me"}));
    EXPECT_EQ(model.GetTableCount(), 1);
}

TEST_F(ModelTextTest, DatabaseSpecificLines)
{
    const QString text = "[Main]\nVersion=3.5\n[DBSpecInfo]\nDatabase=a.sqlite\n";
    // Without database information the lines wait, and are written back instead of lost.
    TZCustomDBStructure loose;
    loose.LoadFromStrings(Lines(text));
    const QStringList written = Saved(loose);
    EXPECT_EQ(written.mid(written.size() - 3), QStringList({"", "[DBSpecInfo]", "Database=a.sqlite"}));
    loose.SetDatabaseInfo(&info);
    EXPECT_EQ(info.ReceivedInfo, QStringList({"Database=a.sqlite"}));
    EXPECT_TRUE(loose.DBSpecInfo().isEmpty());

    TDMOptions options;
    options.SetStoreDBInfo(false);
    model.SetDMOptions(options);
    info.ReceivedInfo.clear();
    Load(text);
    EXPECT_TRUE(info.ReceivedInfo.isEmpty());
    EXPECT_FALSE(Saved(model).contains("[DBSpecInfo]"));
}

TEST_F(ModelTextTest, LoadStoredReadsTheStoredTextOnce)
{
    TZCustomDBStructure stored;
    stored.LoadStored();
    EXPECT_EQ(stored.GetOperatorCount(), 15);
    stored.SetModelLoaded(false);
    stored.StoredStruct() = {"[Main]", "Version=3.5", "TableCount=1", "[Table:1]", "Name=A"};
    stored.LoadStored();
    EXPECT_EQ(stored.GetTableCount(), 1);
    // The text had none; the optional families come back, the basic operators do not.
    EXPECT_EQ(stored.GetOperatorCount(), 8);
    stored.StoredStruct() = {"[Main]"};
    stored.LoadStored();
    EXPECT_EQ(stored.GetTableCount(), 1);
}

// The lookup ReadIniSection makes, through the index: the position it ends at, Start when the
// section is missing.
int Read(TIniSectionIndex& Index, int Start, const QString& Name, QStringList& Dest)
{
    const int header = Index.Find(Start, Name);
    if (header >= 0)
        return Index.Read(header, Dest);
    Dest.clear();
    return Start;
}

// The reader's section index must find and read exactly what the plain lookups do, both while it
// looks at the headers from Start on and once it has turned to its table.
TEST(IniSectionIndexTest, AgreesWithTheLookupsItStandsFor)
{
    const rtl::StringList lines = Lines("[A]\nx=1\n\n [b] \ny=2\n[a]\nz\n[C\n\t[A]\n[B]\n[D]");
    TIniSectionIndex used(lines);
    for (const char* name : {"A", "b", "C", "D", "missing"}) {
        for (int start = -1; start <= lines.size(); ++start) {
            TIniSectionIndex fresh(lines);
            QStringList expected;
            QStringList actual;
            EXPECT_EQ(Read(fresh, start, name, actual), ReadIniSection(start, lines, name, expected))
                << name << start;
            EXPECT_EQ(actual, expected) << name << start;
            EXPECT_EQ(Read(used, start, name, actual), ReadIniSection(start, lines, name, expected))
                << name << start;
            EXPECT_EQ(actual, expected) << name << start;
            EXPECT_EQ(used.Find(start, name), FindIniSection(start, lines, name)) << name << start;
        }
    }
}

}  // namespace
