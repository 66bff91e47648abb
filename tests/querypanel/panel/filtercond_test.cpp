#include "core/model/fieldeditors.h"
#include "querypanel/controls/checklistbox.h"
#include "querypanel/controls/dropdownedit.h"
#include "querypanel/controls/dropdownlistbox.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "rtl/formatsettings.h"
#include "tests/core/model/modeltesting.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

// Customers with a default-valued name and two value lists, the second following the first's
// equal value; root fields of several types, one with a custom editor.
struct CondModel {
    FakeDBInfo Info;
    TZDBStructure Model;
    TDSTable* Customers = AddTestTable(Model, "Customers");
    TDSField* Name = Field("Name", ftString, "Customer");
    TDSField* Country = Field("Country", ftString, "Customer");
    TDSField* City = Field("City", ftString, "Customer");
    TDSField* Qty = Field("Qty", ftInteger);
    TDSField* Shipped = Field("Shipped", ftDate);
    TDSField* Active = Field("Active", ftBoolean);
    TDSField* Note = Field("Note", ftString);
    TDSField* At = Field("At", ftTime);
    TDSField* Stamp = Field("Stamp", ftDateTime);

    CondModel()
    {
        Model.SetDatabaseInfo(&Info);
        Name->SetEditType(1);
        static_cast<TDSTextEditor*>(Name->Editor())->SetDefValue("Smith");
        Country->SetEditType(4);
        static_cast<TDSSQLEditor*>(Country->Editor())->SQL()
            = QStringList {"SELECT Country, Country FROM Customers"};
        City->SetEditType(4);
        static_cast<TDSSQLEditor*>(City->Editor())->SQL()
            = QStringList {"SELECT City, City FROM Customers WHERE Country = :Country"};
        Note->SetEditType(3);
        Model.AddOperator("InSubQuery", "is in", EqualityTypes, QString(), "@f in (@1)");
        Model.OperatorByName("InSubQuery")->SetValueKind(vkSubQuery);
        Country->AddOperatorByName("InSubQuery");
        Info.SQLValues = Info.SQLItems = QStringList {"Boston", "NY"};
    }
    TDSField* Field(const QString& Name, TFieldType Type, const QString& GroupName = QString())
    {
        TDSField* field = Model.Fields()[Model.AddField(zfkVirtual, "Customers." + Name, nullptr, Name)];
        field->SetFieldType(Type);
        field->ResetOperators();
        if (!GroupName.isEmpty()) {
            if (Model.FieldGroups().Count() == 0) {
                auto* group = new TDSFieldGroup(&Model);
                group->SetGroupName(GroupName);
                Model.FieldGroups().Add(group);
            }
            field->SetGroup(Model.FieldGroups()[0]);
        }
        return field;
    }
};

struct CondFixture : ::testing::Test {
    CondModel M;
    TZQueryPanel Panel;

    CondFixture()
    {
        Panel.resize(700, 400);
        Panel.SetDbStruct(&M.Model);
    }
    TSimpleCond* Add(TDSField* Field, const QString& Operator = "Equal", TFilterBracket* Bracket = nullptr)
    {
        auto* condition = static_cast<TSimpleCond*>((Bracket ? Bracket : Panel.Root())->AppendSimpleCond());
        // With its controls from the start, so each change below reaches the labels too.
        condition->CreateControls();
        condition->SetField(Field);
        condition->SetOperator(M.Model.OperatorByName(Operator));
        return condition;
    }
    QString Equal(const QString& Name) { return Panel.EqualValues().Values(Name); }
    void ShowPanel()
    {
        Panel.show();
        QApplication::setActiveWindow(&Panel);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Panel));
        Panel.Activate();
    }
};

QList<int> Elements(const TFilterRow* Row)
{
    QList<int> present;
    for (int n = 1; n <= TFilterRow::MaxElement; ++n)
        if (Row->ElementAt(n))
            present.append(n);
    return present;
}

// Rows made on an inactive panel own no widget; shown later, their sentences must read as those of
// rows that had their labels through every change.
TEST_F(CondFixture, RowsWithoutControlsShowWhatRowsWithControlsShow)
{
    TZQueryPanel bare;
    bare.resize(700, 400);
    bare.SetDbStruct(&M.Model);
    const qsizetype controls = bare.RowArea()->children().size();
    const struct {
        TDSField* Field;
        const char* Operator;
        const char* Value1;
        const char* Value2;
    } cases[] = {{M.Qty, "Between", "1", "9"}, {M.Active, "Equal", "1", ""}, {M.Name, "Equal", "", ""},
        {M.Shipped, "IsNull", "", ""}};
    for (const auto& c : cases) {
        for (TZQueryPanel* panel : {&Panel, &bare}) {
            auto* row = static_cast<TSimpleCond*>(panel->Root()->AppendSimpleCond());
            if (panel == &Panel)
                row->CreateControls();
            row->SetField(c.Field);
            row->SetOperator(M.Model.OperatorByName(c.Operator));
            row->SetValue(1, c.Value1);
            row->SetValue(2, c.Value2);
        }
    }
    EXPECT_EQ(bare.RowArea()->children().size(), controls);
    bare.Activate();
    for (int i = 0; i < bare.Root()->Count(); ++i) {
        auto* made = static_cast<TSimpleCond*>(Panel.Root()->Rows(i));
        auto* shown = static_cast<TSimpleCond*>(bare.Root()->Rows(i));
        SCOPED_TRACE(made->GetFieldName().toStdString());
        EXPECT_EQ(Elements(shown), Elements(made));
        EXPECT_EQ(shown->OperatorChooser()->Caption(), made->OperatorChooser()->Caption());
        for (int n : {1, 2}) {
            EXPECT_EQ(shown->StoredCaption(n), made->StoredCaption(n)) << n;
            if (made->ValueLabel(n)) {
                EXPECT_EQ(shown->ValueLabel(n)->Caption(), made->ValueLabel(n)->Caption()) << n;
            }
        }
    }
}

// A new row that left its value labels to chance would not match its operator's template.
TEST_F(CondFixture, NewConditionsTakeFirstFieldOperatorDefaultAndTemplateLabels)
{
    auto* row = static_cast<TSimpleCond*>(Panel.Root()->AppendSimpleCond());
    row->CreateControls();
    EXPECT_EQ(row->Field(), M.Name);
    EXPECT_EQ(row->Operator()->Name(), "Equal");
    EXPECT_EQ(row->ValueText(1), "Smith");
    EXPECT_EQ(row->FieldChooser()->Caption(), "Name");

    const struct {
        const char* Operator;
        QList<int> Elements;
    } cases[] = {{"Equal", {1, 2, 3}}, {"Between", {1, 2, 3, 4, 5}}, {"IsNull", {1, 2}}};
    for (const auto& c : cases) {
        row->SetOperator(M.Model.OperatorByName(c.Operator));
        EXPECT_EQ(Elements(row), c.Elements) << c.Operator;
    }
    row->SetOperator(M.Model.OperatorByName("Between"));
    EXPECT_EQ(static_cast<QLabel*>(row->ElementAt(4))->text(), "and");
    row->SetValue(1, "A");
    row->SetValue(2, "K");
    row->SetOperator(M.Model.OperatorByName("Equal"));
    EXPECT_EQ(row->ValueText(2), "");
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "A");

    Panel.Appearance().SetOptions(Panel.Appearance().Options() + TQPAppearanceOptions {aoShowGroupName});
    auto* grouped = static_cast<TSimpleCond*>(Panel.Root()->AppendSimpleCond());
    grouped->CreateControls();
    EXPECT_EQ(grouped->FieldChooser()->Caption(), "Customer.Name");
}

// Values must not survive into an operator that reads them as something else.
TEST_F(CondFixture, ListAndSubQueryValuesDoNotCrossIntoOtherOperators)
{
    TSimpleCond* row = Add(M.Country, "InList");
    row->SetValue(1, "a,b");
    row->SetOperator(M.Model.OperatorByName("NotInList"));
    EXPECT_EQ(row->ValueText(1), "a,b") << "a list operator keeps the whole list";
    row->SetOperator(M.Model.OperatorByName("Equal"));
    EXPECT_EQ(row->ValueText(1), "a");

    row->SetValue(1, "USA");
    row->SetOperator(M.Model.OperatorByName("InSubQuery"));
    EXPECT_EQ(row->ValueText(1), "") << "a scalar is no sub-query";
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "Sub-query");
    row->SetValue(1, "SELECT Country FROM Suppliers");
    row->SubQuery() = QStringList {"[Main]"};
    row->SetOperator(M.Model.OperatorByName("Equal"));
    EXPECT_EQ(row->ValueText(1), "");
    EXPECT_TRUE(row->SubQuery().isEmpty());
}

// Making one value a constant again freed both parameters of its condition.
TEST_F(CondFixture, ParameterStateMakesAndFreesExactlyThatValuesParameter)
{
    TSimpleCond* row = Add(M.Qty, "Between");
    row->SetValue(1, "3");
    row->SetParamState(1, true);
    row->SetParamState(2, true);
    TQueryResult* query = Panel.QResult();
    ASSERT_EQ(query->GetParamCount(), 2);
    EXPECT_EQ(row->Param(1)->Name(), "Param1");
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "Parameter Qty 1");
    EXPECT_EQ(row->ValueLabel(2)->Caption(), "Parameter Qty 2");
    EXPECT_TRUE(row->ValueLabel(1)->DropDownLocked());
    row->SetValue(1, "9");
    EXPECT_EQ(row->ValueText(1), "3") << "a parameter's value is left alone";

    row->Param(1)->SetValue("7");
    row->SetParamState(1, false);
    EXPECT_EQ(row->ValueText(1), "7");
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "7");
    EXPECT_FALSE(row->ValueLabel(1)->DropDownLocked());
    ASSERT_EQ(query->GetParamCount(), 1);
    EXPECT_EQ(row->Param(2)->Name(), "Param2");

    Panel.Root()->DeleteRow(0);
    EXPECT_EQ(query->GetParamCount(), 0) << "a deleted condition takes its parameters along";
}

// Clicks on the labels must reach the condition's values and mark the query modified.
TEST_F(CondFixture, ClicksOnValueLabelsEditValuesAndMakeParameters)
{
    TSimpleCond* row = Add(M.Qty);
    ShowPanel();
    Panel.SetModified(false);
    Click(row->ValueLabel(1));
    QLineEdit* editor = nullptr;
    for (QLineEdit* edit : Panel.findChildren<QLineEdit*>())
        editor = edit->isVisible() ? edit : editor;
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "42");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(row->ValueText(1), "42");
    EXPECT_TRUE(Panel.Modified());

    Panel.SetModified(false);
    Click(row->ValueLabel(1), Qt::ControlModifier);
    EXPECT_TRUE(row->IsParam(1));
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "Parameter Qty");
    EXPECT_TRUE(Panel.Modified());
}

// The equal values feed value lists: a stale or foreign line gives another condition the wrong
// list, an unchecked one lets a value rewrite the list's SQL.
TEST_F(CondFixture, EqualValuesFollowValuesOperatorsFieldsAndDeletion)
{
    TSimpleCond* usa = Add(M.Country);
    usa->SetValue(1, "USA");
    EXPECT_EQ(Equal("Country"), "'USA'");
    TSimpleCond* other = Add(M.Country, "NotEqual");
    other->SetValue(1, "UK");
    EXPECT_EQ(Equal("Country"), "'USA'") << "only Equal conditions write the line";
    usa->SetOperator(M.Model.OperatorByName("NotEqual"));
    EXPECT_EQ(Panel.EqualValues().IndexOfName("Country"), -1);
    usa->SetOperator(M.Model.OperatorByName("Equal"));
    EXPECT_EQ(Equal("Country"), "'USA'");

    other->SetOperator(M.Model.OperatorByName("Equal"));
    other->SetValue(1, "O'Hara");
    EXPECT_EQ(Equal("Country"), "'O''Hara'");
    Panel.Root()->DeleteRow(Panel.Root()->IndexOf(other));
    EXPECT_EQ(Equal("Country"), "'USA'") << "the remaining Equal condition's value stands";
    usa->SetField(M.City);
    EXPECT_EQ(Panel.EqualValues().IndexOfName("Country"), -1);

    TSimpleCond* qty = Add(M.Qty);
    const struct {
        const char* Value;
        const char* Line;
    } numbers[] = {{"42", "42"}, {"1 OR 1=1", "NULL"}, {"5; DROP TABLE x", "NULL"}};
    for (const auto& c : numbers) {
        qty->SetValue(1, c.Value);
        EXPECT_EQ(Equal("Qty"), c.Line) << c.Value;
    }
    Panel.Clear();
    EXPECT_TRUE(Panel.EqualValues().isEmpty());
}

// A list whose SQL names another field must follow that field's equal value.
TEST_F(CondFixture, DependentListsReloadWithTheEqualValue)
{
    TSimpleCond* city = Add(M.City);
    city->SetValue(1, "NY");
    TSimpleCond* country = Add(M.Country);
    country->SetValue(1, "USA");
    EXPECT_TRUE(M.Info.SQLAsked.last().contains("Country = 'USA'")) << M.Info.SQLAsked.last().toStdString();
    EXPECT_EQ(city->ValueText(1), "Boston") << "the first item of the new list";
    EXPECT_EQ(city->ValueLabel(1)->Caption(), "Boston");

    M.Info.SQLValues = M.Info.SQLItems = QStringList {};
    Panel.Root()->DeleteRow(Panel.Root()->IndexOf(country));
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(M.Info.SQLAsked.last().contains("'USA'")) << "the deleted condition's value went";
    EXPECT_EQ(city->ValueText(1), "");
}

// Reading a query or rebuilding the rows overwrote saved values with the first item of a list.
TEST_F(CondFixture, DependentValuesStayWhileLoadingAndRebuilding)
{
    TSimpleCond* city = Add(M.City);
    city->SetValue(1, "NY");
    Panel.SetProcessState(qpLoading);
    Add(M.Country)->SetValue(1, "USA");
    Panel.SetProcessState(qpIdle);
    EXPECT_EQ(city->ValueText(1), "NY");

    TSimpleCond* qty = Add(M.Qty, "Between");
    qty->SetParamState(2, true);
    const QString name = qty->Param(2)->Name();
    Panel.Activate();
    Panel.Appearance().SetValueColor(0x000000FF);
    ASSERT_EQ(Panel.Root()->Count(), 3);
    auto* rebuilt = static_cast<TSimpleCond*>(Panel.Root()->Rows(0));
    EXPECT_NE(rebuilt, city);
    EXPECT_EQ(rebuilt->ValueText(1), "NY");
    EXPECT_EQ(Equal("Country"), "'USA'");
    auto* rebuiltQty = static_cast<TSimpleCond*>(Panel.Root()->Rows(2));
    ASSERT_EQ(Panel.QResult()->GetParamCount(), 1);
    EXPECT_EQ(rebuiltQty->Param(2)->Name(), name);
    EXPECT_TRUE(rebuiltQty->ValueLabel(2)->DropDownLocked());
}

// The and/or word changed the bracket's link but left the query unmodified, and the last row of a
// nested bracket changed a bracket that does not join it to the next row.
TEST_F(CondFixture, AndOrChooserJoinsRowsThroughTheirBracket)
{
    Panel.Appearance().SetStyle(psAndOr);
    TSimpleCond* first = Add(M.Qty);
    TFilterBracket* outer = Panel.Root()->AppendBracket();
    TSimpleCond* nested = Add(M.Qty, "Equal", outer->AppendBracket());
    TSimpleCond* last = Add(M.Qty);
    QList<int> codes;
    Panel.OnConditionChange = [&](TZQueryPanel*, TFilterCond*, int Code) { codes.append(Code); };
    ShowPanel();
    auto chooser = [](TFilterRow* Row) { return static_cast<TDropDownPopup*>(Row->ElementAt(9)); };
    EXPECT_FALSE(chooser(last)->isVisible());
    EXPECT_TRUE(chooser(first)->isVisible());
    EXPECT_EQ(chooser(first)->Caption(), "and");

    Panel.SetModified(false);
    OnPopup([](QWidget* Popup) {
        QTest::keyClick(Popup, Qt::Key_Down);
        QTest::keyClick(Popup, Qt::Key_Down);
        QTest::keyClick(Popup, Qt::Key_Return);
    });
    Click(chooser(nested));
    EXPECT_EQ(Panel.Root()->LinkType(), fltAny);
    EXPECT_EQ(outer->LinkType(), fltAny) << "unchanged from its start";
    EXPECT_TRUE(Panel.Modified());
    EXPECT_TRUE(codes.contains(5));
    EXPECT_EQ(chooser(first)->Caption(), "or");
}

// A condition on an item the model lacks must keep saying so instead of turning into another one,
// and a row with nothing to offer must answer without a field or operator.
TEST_F(CondFixture, PlaceholdersStayAndEmptyConditionsAnswerSafely)
{
    TSimpleCond* row = Add(M.Qty);
    row->SetField(M.Model.PlaceholderField());
    row->SetOperator(M.Model.PlaceholderOperator());
    Panel.Root()->RefreshFieldLists();
    EXPECT_EQ(row->Field(), M.Model.PlaceholderField());
    EXPECT_EQ(row->GetValueCount(), 0);
    EXPECT_EQ(row->GetSQLTemplate(), "");

    TZDBStructure empty;
    TZQueryPanel panel;
    panel.SetDbStruct(&empty);
    auto* bare = static_cast<TSimpleCond*>(panel.Root()->AppendSimpleCond());
    EXPECT_EQ(bare->Field(), nullptr);
    EXPECT_EQ(bare->Operator(), nullptr);
    EXPECT_EQ(bare->GetValueType(1), ftUnknown);
    EXPECT_EQ(bare->GetValueKind(1), vkScalar);
    EXPECT_TRUE(bare->GetTables().isEmpty());
    EXPECT_EQ(bare->GetValueCount(), 0);
    EXPECT_FALSE(bare->IsAggregate());
}

// Each field and operator kind needs its own editor; a wrong one takes values the SQL cannot use.
TEST_F(CondFixture, ValueLabelsFollowTheFieldsEditorAndTheOperatorsKind)
{
    const struct {
        TDSField* Field;
        const char* Operator;
        const char* Class;
    } cases[] = {
        {M.Qty, "Equal", "TDropDownEdit"},
        {M.Shipped, "Equal", "TDropDownDateTimeEdit"},
        {M.Active, "Equal", "TDropDownPopup"},
        {M.Country, "Equal", "TDropDownPopup"},
        {M.Country, "InList", "TDropDownCheckListBox"},
        {M.Country, "InSubQuery", "TDropDownLabel"},
        {M.Note, "Equal", "TDropDownLabel"},
    };
    for (const auto& c : cases) {
        TSimpleCond* row = Add(c.Field, c.Operator);
        EXPECT_STREQ(row->ValueLabel(1)->metaObject()->className(), c.Class) << c.Operator;
    }
    auto* flag = static_cast<TDropDownList*>(Add(M.Active)->ValueLabel(1));
    EXPECT_EQ(flag->Items(), QStringList({"False", "True"}));
    EXPECT_EQ(flag->Values(), QStringList({"false", "true"}));
    EXPECT_EQ(static_cast<TDropDownList*>(Add(M.Country)->ValueLabel(1))->Items(), M.Info.SQLItems);
}

// A list of dates, times or date-times opened its editor on today and became today on Enter; a list
// of other values became one item in quotes on Enter. A list shows its items, and its editor opens
// on the list and keeps it.
TEST_F(CondFixture, ListValuesShowTheirItemsAndEnterKeepsThem)
{
    rtl::FormatSettingsScope scope {rtl::FormatSettings()};
    const struct {
        TDSField* Field;
        const char *Value, *Caption, *Opened;
    } rows[] = {
        {M.Qty, "10248,10249", "10248,10249", "\"10248,10249\""},
        {M.Shipped, "2/28/1997,12/31/2001", "2/28/1997, 12/31/2001", "2/28/1997, 12/31/2001"},
        {M.At, "14:05:09,0:00:00", "14:05:09, 0:00:00", "14:05:09, 0:00:00"},
        {M.Stamp, "\"2/28/1997 14:05:09\",12/31/2001", "2/28/1997 14:05:09, 12/31/2001",
            "2/28/1997, 12/31/2001"},
        // A blank item stays blank: no date is made of it.
        {M.Shipped, "7/4/1996,,7/5/1996", "7/4/1996, , 7/5/1996", "7/4/1996, , 7/5/1996"},
    };
    // Made before the panel shows them, as rows read from a query are.
    QList<TSimpleCond*> conditions;
    for (const auto& row : rows) {
        auto* condition = static_cast<TSimpleCond*>(Panel.Root()->AppendSimpleCond());
        condition->SetField(row.Field);
        condition->SetOperator(M.Model.OperatorByName("InList"));
        condition->SetValue(1, row.Value);
        conditions << condition;
    }
    ShowPanel();
    for (qsizetype i = 0; i < conditions.size(); ++i) {
        const auto& row = rows[i];
        TSimpleCond* condition = conditions[i];
        EXPECT_EQ(condition->StoredCaption(1), row.Caption) << row.Value;
        EXPECT_EQ(condition->ValueLabel(1)->Caption(), row.Caption) << row.Value;
        Click(condition->ValueLabel(1));
        QLineEdit* editor = nullptr;
        for (QLineEdit* edit : Panel.findChildren<QLineEdit*>())
            editor = edit->isVisible() ? edit : editor;
        ASSERT_NE(editor, nullptr) << row.Value;
        EXPECT_EQ(editor->text(), row.Opened) << row.Value;
        EXPECT_GE(editor->width(), editor->fontMetrics().horizontalAdvance(row.Opened)) << row.Value;
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_EQ(condition->ValueText(1), row.Value);
        EXPECT_EQ(condition->StoredCaption(1), row.Caption) << row.Value;
    }
}

// Without a sub-query editor a sub-query value must not be faked; with one its SQL becomes the value.
TEST_F(CondFixture, SubQueryValuesAreEditedOnlyThroughThePanelsEditor)
{
    TSimpleCond* row = Add(M.Country, "InSubQuery");
    ShowPanel();
    // Without an editor (the panel's own opens the modal dialog) the click edits nothing.
    Panel.SubQueryEditor = nullptr;
    Click(row->ValueLabel(1));
    EXPECT_EQ(row->ValueText(1), "");

    Panel.SubQueryEditor = [](TZQueryPanel*, QStringList& Lines, QString& SQL, TSQLOptions& Options) {
        Lines = QStringList {"[Main]"};
        SQL = "SELECT Country\r\nFROM Suppliers";
        Options = TSQLOptions {soSelectDistinct};
        return true;
    };
    Click(row->ValueLabel(1));
    EXPECT_EQ(row->ValueText(1), "SELECT Country  FROM Suppliers");
    EXPECT_EQ(row->ValueLabel(1)->Caption(), "Sub-query");
    EXPECT_EQ(row->ValueLabel(1)->toolTip(), "SELECT Country  FROM Suppliers");
    EXPECT_EQ(row->SubQuery(), QStringList {"[Main]"});
    EXPECT_EQ(row->SubQueryOptions(), TSQLOptions {soSelectDistinct});
}

// A predefined condition shows the texts before its slots; the text after the last one is not
// shown.
TEST_F(CondFixture, PredefinedConditionsShowTheTextsOfTheirSlots)
{
    auto* condition = new TDSCondition(&M.Model);
    condition->SetDisplayFormat("Total from @ to @ units");
    condition->SetSQLExpr("Customers.Total between @1 and @2");
    for (TDSValue* value : condition->Values())
        value->SetDataType(ftCurrency);
    M.Model.Conditions().Add(condition);
    auto* row = static_cast<TCustomCond*>(Panel.Root()->AppendCustomCond(condition));
    row->CreateControls();
    EXPECT_EQ(Elements(row), QList<int>({1, 3, 4, 5}));
    EXPECT_EQ(static_cast<QLabel*>(row->ElementAt(1))->text(), "Total from ");
    EXPECT_EQ(static_cast<QLabel*>(row->ElementAt(4))->text(), " to ");
    EXPECT_EQ(row->GetValueType(2), ftCurrency);
    EXPECT_EQ(row->GetValueType(3), ftUnknown);
    EXPECT_EQ(row->GetSQLTemplate(), "Customers.Total between @1 and @2");
}

}  // namespace

// Rows read from a query text keep their equal values for the end: the last condition of a field
// must hold its line, a released field none, and a dependent list must be asked with them.
TEST_F(CondFixture, ReadRowsGiveTheEqualValuesOfTheLastConditions)
{
    Add(M.Country)->SetValue(1, "USA");
    TSimpleCond* city = Add(M.City);
    city->SetValue(1, "NY");
    Add(M.Country)->SetValue(1, "UK");
    const QString saved = city->ValueText(1);
    rtl::StringList text;
    Panel.SaveToStrings(text);
    M.Info.SQLAsked.clear();

    Panel.LoadFromStrings(text);
    ASSERT_EQ(Panel.Root()->Count(), 3);
    EXPECT_EQ(Equal("Country"), "'UK'");
    EXPECT_EQ(static_cast<TSimpleCond*>(Panel.Root()->Rows(1))->ValueText(1), saved) << "a read value stays";

    // The rows of an inactive panel have no lists; shown, they ask with the values read.
    Panel.Activate();
    EXPECT_TRUE(std::ranges::any_of(M.Info.SQLAsked, [](const QString& Sql) {
        return Sql.contains("Country = 'UK'");
    })) << M.Info.SQLAsked.join(" | ").toStdString();
    EXPECT_EQ(static_cast<TSimpleCond*>(Panel.Root()->Rows(1))->ValueText(1), saved) << "a shown value stays";
    Panel.Appearance().SetValueColor(0x000000FF);
    EXPECT_EQ(Equal("Country"), "'UK'") << "the freed rows took the line of the new ones";

    Panel.LoadFromStrings({});
    EXPECT_TRUE(Panel.EqualValues().isEmpty()) << "an empty text leaves no equal value";
}

// A lookup's list is fetched when its label is made: a caption read with the query while the list
// was not at hand gives way to the one the list gives for the value, which the SQL uses.
TEST_F(CondFixture, ShownLookupsTakeTheCaptionTheirListGivesTheValue)
{
    M.Info.SQLValues = {"ALFKI", "ANATR"};
    M.Info.SQLItems = {"Alfreds Futterkiste", "Ana Trujillo"};
    const struct {
        const char* Operator;
        QString Value;
        QString Caption;
        QString Shown;
    } cases[] = {
        {"Equal", "ALFKI", "Ana Trujillo", "Alfreds Futterkiste"},
        {"Equal", "ALFKI", "Alfreds Futterkiste", "Alfreds Futterkiste"},
        {"Equal", "alfki", "Ana Trujillo", "Alfreds Futterkiste"},
        {"Equal", "ZZZ", "Ana Trujillo", "ZZZ"},
        {"InList", "ALFKI,ANATR", "\"Ana Trujillo\",\"Alfreds Futterkiste\"",
            "\"Alfreds Futterkiste\",\"Ana Trujillo\""},
        {"InList", "ANATR,ZZZ", "\"Ana Trujillo\",Alfreds", "\"Ana Trujillo\",ZZZ"},
    };
    // Opened on a hidden panel and shown, or opened on a shown one.
    for (const bool shown : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(
                (c.Operator + (" " + c.Value + " " + c.Caption)).toStdString() + (shown ? " shown" : ""));
            static_cast<TDSSQLEditor*>(M.Country->Editor())->SetActive(false);
            Panel.SetActive(shown);
            Panel.LoadFromStrings(rtl::StringList(QStringList {"[Main]", "Version=3.5", "[Row]", "RowType=1",
                "LinkType=0", "RowCount=1", "[Row1.]", "RowType=0",
                "FieldID=" + QString::number(M.Country->ID()), "Param1=0", "Param2=0",
                QString("Operator=") + c.Operator, "Value1=" + c.Value, "Caption1=" + c.Caption}));
            if (!shown) {
                ASSERT_EQ(static_cast<TFilterCond*>(Panel.Root()->Rows(0))->StoredCaption(1), c.Caption)
                    << "the list is not fetched while opening";
                Panel.Activate();
            }
            const auto* row = static_cast<TSimpleCond*>(Panel.Root()->Rows(0));
            EXPECT_EQ(row->ValueText(1), c.Value);
            EXPECT_EQ(row->StoredCaption(1).toStdString(), c.Shown.toStdString());
            EXPECT_EQ(row->ValueLabel(1)->Caption().toStdString(), c.Shown.toStdString());
            Panel.Deactivate();
        }
}
