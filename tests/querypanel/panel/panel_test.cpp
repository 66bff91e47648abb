#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/titles.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/query/sqlparams.h"
#include "rtl/datetime.h"
#include "rtl/formatsettings.h"
#include "tests/querypanel/panel/paneltesting.h"

#include <QMenu>

#include <functional>

#include <gtest/gtest.h>

namespace {

QStringList ItemCaptions(const TDropDownList* Chooser)
{
    return Chooser->Items();
}

TEST(PanelHeaderTest, ANewPanelShowsTheHeaderAndTheAddRowLabel)
{
    PanelFixture f;
    f.Panel->Activate();
    TFilterBracket* root = f.Panel->Root();
    EXPECT_EQ(root->FirstLabel()->text(), "Choose records where");
    EXPECT_EQ(root->LinkTypeLabel()->Caption(), "all");
    EXPECT_EQ(root->LastLabel()->text(), "of the following apply");
    EXPECT_TRUE(root->Shown());
    QLabel* add = f.Panel->AddRowLabel();
    EXPECT_EQ(add->text(), "< Click here to add new condition >");
    EXPECT_FALSE(add->isHidden());
    EXPECT_GT(add->y(), root->Button()->y());
    EXPECT_EQ(f.Panel->AddBracket(root)->LinkTypeLabel()->Caption(), "any");
    f.Panel->SetCurrentRow(root);
    EXPECT_EQ(f.Panel->CurrentRow(), root);
}

TEST(PanelHeaderTest, TheChooserOffersOnlyTheAppearancesLinkTypes)
{
    PanelFixture f;
    f.Panel->Appearance().SetLinkTypes({fltAll, fltNone});
    f.Panel->Activate();
    TDropDownPopup* chooser = f.Panel->Root()->LinkTypeLabel();
    EXPECT_EQ(ItemCaptions(chooser), QStringList({"all", "none"}));
    chooser->SetItemIndex(1);
    f.Panel->LinkTypeChanged(chooser, true);
    EXPECT_EQ(f.Panel->Root()->LinkType(), fltNone);
}

// A new query, loaded from its empty text, kept the root's "any" of the query before it: its
// conditions were joined with OR and its file was written with LinkType=1. Clearing the panel
// likewise left an empty query reading "any".
TEST(PanelHeaderTest, AnEmptiedOrNewQueryStartsWithAll)
{
    PanelFixture f;
    f.Panel->Activate();
    const std::pair<const char*, std::function<void()>> roads[] = {
        {"cleared", [&] { f.Panel->Clear(); }},
        {"new query's empty text", [&] { f.Panel->LoadFromStrings({}); }},
    };
    for (const auto& [name, empty] : roads) {
        SCOPED_TRACE(name);
        f.Panel->Root()->SetLinkType(fltAny);
        AppendTestCond(f.Panel->Root())->SetChecked(false);
        empty();
        EXPECT_EQ(f.Panel->Root()->LinkType(), fltAll);
        EXPECT_EQ(f.Panel->Root()->LinkTypeLabel()->Caption(), "all");
        EXPECT_TRUE(f.Panel->Root()->Checked());
        EXPECT_TRUE(f.Panel->Root()->LinkTypeLabel()->isEnabled());
        rtl::StringList text;
        f.Panel->SaveToStrings(text);
        EXPECT_TRUE(text.contains("LinkType=0"));
    }
}

// A failed activation that left the panel "active" refused every later try.
TEST(PanelActiveTest, AFilterTitleWithoutPlaceholderFailsAndLeavesThePanelInactive)
{
    PanelFixture f;
    int activeEvents = 0;
    f.Panel->OnActive = [&](TZQueryPanel*) { ++activeEvents; };
    f.Panel->SetTitle("ttlFilter", "Choose records");
    EXPECT_EQ(PanelErrorCode([&] { f.Panel->Activate(); }), qpeInvalidFilterTitle);
    EXPECT_FALSE(f.Panel->Active());
    EXPECT_EQ(activeEvents, 0);

    f.Panel->SetTitle("ttlFilter", "Pick rows where @ hold");
    f.Panel->Activate();
    EXPECT_TRUE(f.Panel->Active());
    EXPECT_EQ(f.Panel->Root()->FirstLabel()->text(), "Pick rows where");
    f.Panel->Activate();
    EXPECT_EQ(activeEvents, 1);
}

TEST(PanelActiveTest, ActivatingWithoutAModelRaisesCode3)
{
    TZQueryPanel panel;
    EXPECT_EQ(PanelErrorCode([&] { panel.Activate(); }), qpeNoDbStruct);
    EXPECT_FALSE(panel.Active());
}

TEST(PanelChangeTest, OnChangeFiresOncePerChangeAndNeverInsideItself)
{
    PanelFixture f;
    int changes = 0;
    f.Panel->OnChange = [&](TZQueryPanel* Sender) {
        ++changes;
        Sender->SetQueryName("set by the handler " + QString::number(changes));
    };
    f.Panel->SetQueryName("Orders");
    EXPECT_EQ(changes, 1);
    f.Panel->SetQueryName(f.Panel->QueryName());
    EXPECT_EQ(changes, 1);
    f.Panel->SetDescription(f.Panel->Description());
    EXPECT_EQ(changes, 2);

    f.Panel->BeginUpdate();
    f.Panel->BeginUpdate();
    f.Panel->SetDescription({"a"});
    f.Panel->EndUpdate();
    EXPECT_EQ(changes, 2);
    f.Panel->EndUpdate();
    EXPECT_EQ(changes, 3);

    f.Panel->SetProcessState(qpLoading);
    f.Panel->SetDescription({"b"});
    f.Panel->SetProcessState(qpIdle);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(f.Panel->Modified());
}

TEST(PanelOptionsTest, StoredOptionsNumber)
{
    struct Case {
        TSQLOptions Options;
        int Number;
    };
    const Case cases[] = {
        {{soASCIIRFields, soSelectDistinct, soSortByNames}, 66},
        {{soQuoteAliases, soBracketJoins, soBracketConditions}, 56},
        {{soASCIIRFields, soFilter}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TZQueryPanel::SQLOptionsToInt(c.Options), c.Number);
    EXPECT_EQ(TZQueryPanel::IntToSQLOptions(66), TSQLOptions({soSelectDistinct, soSortByNames}));
    // Bits 1 and 4 stand for no stored option.
    EXPECT_EQ(TZQueryPanel::IntToSQLOptions(1 + 4 + 8), TSQLOptions({soQuoteAliases}));
}

TEST(PanelOptionsTest, LegacyOptionsAddToWhatThePanelHas)
{
    PanelFixture f;
    f.Panel->Appearance().SetOptions({aoAllowKeyboard});
    f.Panel->SetSQLOptions({});
    f.Panel->ReadLegacyOptions("[poFlatButtons, poQuoteAliases, poOracleJoins, poNoSuchOption]");
    EXPECT_EQ(f.Panel->Appearance().Options(), TQPAppearanceOptions({aoAllowKeyboard, aoFlatButtons}));
    EXPECT_EQ(f.Panel->SQLOptions(), TSQLOptions({soQuoteAliases}));
    EXPECT_EQ(f.Panel->SQLSyntax(), ssOracle);
    EXPECT_EQ(f.Panel->QResult()->SQLSyntax(), ssOracle);
    EXPECT_TRUE(f.Panel->QResult()->ResultFields().QuoteAliases());
    f.Panel->ReadLegacyOptions("[]");
    EXPECT_EQ(f.Panel->SQLSyntax(), ssSQL1);
    try {
        f.Panel->ReadLegacyOptions("poFlatButtons");
        ADD_FAILURE() << "a text that is not a set was taken";
    } catch (const EZQueryPanelError& e) {
        EXPECT_EQ(e.Message(), "Invalid property value");
    }
}

TEST(PanelOptionsTest, VersionReadsInTheLocalesNumberFormat)
{
    rtl::FormatSettingsScope scope;
    EXPECT_EQ(TZQueryPanel().Version(), "4.21");
    rtl::formatSettings().DecimalSeparator = ',';
    EXPECT_EQ(TZQueryPanel().Version(), "4,21");
}

// An empty stored date came back as 30 December 1899 after every relayout.
TEST(PanelStoredValuesTest, StoredNumbersBecomeLocaleTexts)
{
    rtl::FormatSettingsScope scope(rtl::FormatSettings {});
    rtl::formatSettings().ShortDateFormat = "mmmm/d/yyyy";
    rtl::formatSettings().DecimalSeparator = ',';
    struct Case {
        TFieldType Type;
        QString Stored;
        QString Shown;
    };
    const Case cases[] = {
        {ftDateTime, "36892.5", "01/1/2001 12:00:00"},
        {ftDateTime, "36892", "01/1/2001"},
        {ftTimeStamp, "36892.25", "01/1/2001 6:00:00"},
        {ftDate, "36892.5", "01/1/2001"},
        {ftTime, "0.75", "18:00:00"},
        {ftDate, "", ""},
        {ftDateTime, " ", ""},
        {ftInteger, "36892.5", "36892.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TZQueryPanel::StoredValueText(c.Type, c.Stored), c.Shown) << c.Stored.toStdString();
    EXPECT_EQ(rtl::formatSettings().DecimalSeparator, ',');
    EXPECT_THROW(TZQueryPanel::StoredValueText(ftDate, "x"), rtl::EConvertError);
    EXPECT_EQ(rtl::formatSettings().DecimalSeparator, ',');
}

TEST(PanelStoredValuesTest, ConditionsTakeTheTextsAndParametersKeepTheirValues)
{
    rtl::FormatSettingsScope scope(rtl::FormatSettings {});
    PanelFixture f;
    auto* condition = static_cast<TSimpleCond*>(f.Panel->Root()->AppendSimpleCond());
    TDSField* date = f.Model->FindField(1, "OrderDate");
    condition->SetField(date);
    for (TDSOperator* op : date->Operators())
        if (op->GetParamCount() == 2)
            condition->SetOperator(op);
    ASSERT_EQ(condition->GetValueCount(), 2);

    f.Panel->SetStoredValues("", "36893", condition);
    EXPECT_EQ(condition->ValueText(1), "");
    EXPECT_EQ(condition->ValueText(2), "1/2/2001");

    condition->SetParamState(1, true);
    f.Panel->SetStoredValues("36892", "", condition);
    EXPECT_EQ(condition->Param(1)->Value(), "1/1/2001");
    EXPECT_EQ(condition->ValueText(2), "");
}

// Rows and result fields kept pointing into a model that was replaced or freed.
TEST(PanelModelTest, LosingOrReplacingTheModelClearsItsRows)
{
    PanelFixture f;
    AppendTestCond(f.Panel->Root());
    f.Panel->QResult()->ResultFields().AddField("@1", {f.Model->Fields()[0]}, "Order");
    f.Panel->Activate();

    auto other = MakePanelModel();
    f.Panel->SetDbStruct(other.get());
    EXPECT_TRUE(f.Panel->Active());
    EXPECT_EQ(f.Panel->Root()->Count(), 0);
    EXPECT_EQ(f.Panel->QResult()->ResultFields().Count(), 0);

    AppendTestCond(f.Panel->Root());
    other.reset();
    EXPECT_FALSE(f.Panel->Active());
    EXPECT_EQ(f.Panel->Root(), nullptr);
    EXPECT_EQ(f.Panel->DbStruct(), nullptr);
}

TEST(PanelModelTest, RemovingTheModelOfAnActivePanelDeactivatesIt)
{
    PanelFixture f;
    f.Panel->Activate();
    f.Panel->SetDbStruct(nullptr);
    EXPECT_FALSE(f.Panel->Active());
    EXPECT_EQ(f.Panel->Root(), nullptr);
}

// A stored sentence without "@" broke every activation that followed.
TEST(PanelTitlesTest, StoredSentencesWithoutPlaceholderKeepTheirDefaults)
{
    PanelFixture f;
    f.Panel->SetTitles({"[PanelTitles]", "ttlFilter=Choose", "ttlBracket=broken", "ttlAll=every"});
    EXPECT_EQ(f.Panel->GetTitle("ttlFilter"), DefaultTitle("ttlFilter"));
    EXPECT_EQ(f.Panel->GetTitle("ttlBracket"), DefaultTitle("ttlBracket"));
    EXPECT_EQ(f.Panel->GetTitle("ttlAll"), "every");
    f.Panel->Activate();
    EXPECT_EQ(f.Panel->Root()->LinkTypeLabel()->Caption(), "every");
}

TEST(PanelTitlesTest, LoadedReadsKeyedShortAndOldestTitles)
{
    struct Case {
        QStringList Streamed;
        QString Key;
        QString Text;
    };
    const Case cases[] = {
        {{"[Query Panel]", "ttlAll=every", "ttlAny=some"}, "ttlAny", "some"},
        {{"[Query Panel]"}, "ttlAll", "all"},
        {{"Where @ hold", "", "every"}, "ttlAll", "every"},
        {{"no placeholder"}, "ttlFilter", DefaultTitle("ttlFilter")},
        {{}, "ttlNone", "none"},
    };
    for (const Case& c : cases) {
        TZQueryPanel panel;
        panel.Loaded(c.Streamed);
        EXPECT_EQ(panel.GetTitle(c.Key), c.Text) << c.Streamed.join('|').toStdString();
        EXPECT_EQ(panel.DesignTitles(), QStringList(panel.Titles()));
    }
}

TEST(PanelTitlesTest, SetTitleChangesOnlyKeysTheTitlesHold)
{
    TZQueryPanel panel;
    panel.SetTitle("ttlNoSuchKey", "x");
    EXPECT_EQ(panel.GetTitle("ttlNoSuchKey"), "");
    panel.SetTitle("ttlAll", "");
    EXPECT_EQ(panel.Titles().IndexOfName("ttlAll") >= 0, true);
}

TEST(PanelMenuTest, MenusTakeTheirCaptionsFromTheTitlesAndShowModelAmpersands)
{
    PanelFixture f;
    auto* condition = new TDSCondition(f.Model.get());
    condition->SetDisplayFormat("Freight & tax");
    f.Model->Conditions().Add(condition);
    f.Panel->SetTitle("ttlAddCond", "New &row");
    f.Panel->Activate();
    QList<QAction*> items = f.Panel->AddMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "New &row");
    EXPECT_TRUE(items[2]->isVisible());
    ASSERT_EQ(items[2]->menu()->actions().size(), 1);
    EXPECT_EQ(items[2]->menu()->actions()[0]->text(), "&1. Freight && tax");

    // A later model without conditions hides both custom-condition items again.
    auto plain = MakePanelModel();
    f.Panel->SetDbStruct(plain.get());
    EXPECT_FALSE(f.Panel->AddMenu()->actions()[2]->isVisible());
    EXPECT_FALSE(f.Panel->RowMenu()->actions()[2]->isVisible());
    f.Panel->SetDbStruct(nullptr);
}

TEST(PanelMenuTest, RowMenuAddsAndDeletesRows)
{
    PanelFixture f;
    f.Panel->Appearance().SetOptions(
        f.Panel->Appearance().Options() - TQPAppearanceOptions({aoNonEmptyBrackets}));
    f.Panel->Activate();
    const auto click = [&](int Tag) {
        for (QAction* action : f.Panel->RowMenu()->actions())
            if (action->data().toInt() == Tag)
                f.Panel->RowMenuClick(action);
    };
    click(1);
    TFilterRow* bracket = f.Panel->Root()->Rows(0);
    EXPECT_TRUE(bracket->IsBracketNode());
    EXPECT_EQ(bracket->DisplayIndex(), 1);
    f.Panel->SetCurrentRow(bracket);
    click(4);
    EXPECT_FALSE(bracket->Checked());
    click(3);
    EXPECT_EQ(f.Panel->Root()->Count(), 0);
}

// Enabling the panel again re-checked every row the user had unchecked.
TEST(PanelEnabledTest, EnablingThePanelKeepsUncheckedRows)
{
    PanelFixture f;
    TestCond* row = AppendTestCond(f.Panel->Root());
    AppendTestCond(f.Panel->Root());
    f.Panel->Activate();
    row->SetChecked(false);
    f.Panel->setEnabled(false);
    EXPECT_FALSE(f.Panel->AddRowLabel()->isEnabled());
    f.Panel->setEnabled(true);
    EXPECT_FALSE(row->Checked());
    EXPECT_TRUE(f.Panel->AddRowLabel()->isEnabled());
}

TEST(PanelPaintTest, TheCurrentRowsBandIsPaintedOnlyWithKeyboardOption)
{
    for (const bool keyboard : {true, false}) {
        PanelFixture f;
        f.Panel->Appearance().SetActiveRowColor(0x0000FF00);
        TQPAppearanceOptions options = f.Panel->Appearance().Options();
        keyboard ? options.Include(aoAllowKeyboard) : options.Exclude(aoAllowKeyboard);
        f.Panel->Appearance().SetOptions(options);
        f.Panel->Activate();
        const QImage image = f.Panel->viewport()->grab().toImage();
        const QPoint inBand(f.Panel->viewport()->width() - 3, f.Panel->Root()->Button()->y());
        EXPECT_EQ(image.pixelColor(inBand) == QColor(0, 255, 0), keyboard) << keyboard;
    }
}

}  // namespace
