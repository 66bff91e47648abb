#include "platform/messagebox.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/rfieldseditor.h"
#include "querypanel/panel/subquerydialog.h"
#include "querypanel/parser/sqlnesting.h"
#include "querypanel/query/queryresult.h"
#include "tests/querypanel/panel/paneltesting.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// An opening panel with its own titles, appearance and options.
struct SubQueryFixture : PanelFixture, testing::Test {
    SubQueryFixture()
    {
        Panel->SetTitles({"[Query Panel]", "ttlResultField=Spalte", "ttlSubQueryCaption=Unterabfrage", "",
            "[Result Fields Editor]", "ttlCancelBtnCaption=Abbrechen"});
        TQPAppearanceOptions options = Panel->Appearance().Options();
        options.Exclude(aoAllowParams);
        Panel->Appearance().SetOptions(options);
        Panel->SetSQLOptions(TSQLOptions {soSelectDistinct, soBracketConditions});
        Panel->Activate();
    }
};

// The nested panel must work over the opening panel's model, titles and options, keep its own
// add-row colour, and leave the opening panel's titles unsaved in the sub-query text.
TEST_F(SubQueryFixture, SetupTakesTheOpeningPanelsSettings)
{
    TdlgSubQuery dialog;
    dialog.Setup(Panel.get());
    TZQueryPanel* nested = dialog.QPanel();
    EXPECT_EQ(nested->DbStruct(), Model.get());
    EXPECT_EQ(nested->GetTitle("ttlSubQueryCaption"), "Unterabfrage");
    EXPECT_EQ(nested->Appearance().Options(), Panel->Appearance().Options());
    EXPECT_EQ(nested->Appearance().AddRowColor(), clBlack);
    EXPECT_EQ(nested->SQLOptions(), Panel->SQLOptions());
    EXPECT_FALSE(nested->SaveTitles());
    EXPECT_EQ(dialog.CancelButton()->text(), "Abbrechen");
    EXPECT_EQ(dialog.ParentPanel(), Panel.get());
    EXPECT_EQ(nested->SubQueryLevel(), Panel->SubQueryLevel() + 1);
}

// A sub-query must select exactly one column: an empty one gets the model's first field, and the
// label names it.
TEST_F(SubQueryFixture, LoadingAnEmptySubQueryGivesItTheFirstField)
{
    TdlgSubQuery dialog;
    dialog.Setup(Panel.get());
    dialog.LoadQuery({});
    const TRFieldList& fields = dialog.QPanel()->QResult()->ResultFields();
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields[0]->Caption(), "OrderID");
    EXPECT_EQ(dialog.ResultFieldLabel()->Caption(), "OrderID");
}

// The Distinct box and the nested options must agree both ways, and the SQL handed back carries a
// CR LF after every line.
TEST_F(SubQueryFixture, DistinctBoxAndSavedSQL)
{
    TdlgSubQuery dialog;
    dialog.Setup(Panel.get());
    dialog.LoadQuery({});
    dialog.show();
    EXPECT_TRUE(dialog.DistinctBox()->isChecked());
    EXPECT_TRUE(dialog.QPanel()->Active());
    dialog.DistinctBox()->click();
    EXPECT_FALSE(dialog.QPanel()->SQLOptions().Contains(soSelectDistinct));
    auto* row = static_cast<TSimpleCond*>(dialog.QPanel()->AddCondition(dialog.QPanel()->Root()));
    row->SetField(Model->Fields()[1]);
    row->SetOperator(Model->OperatorByName("GreaterThan"));
    row->SetValue(1, "5");
    QStringList lines;
    QString sql;
    dialog.SaveQuery(lines, sql);
    EXPECT_EQ(sql.toStdString(),
        "SELECT Orders.OrderID as OrderID\r\nFROM Orders\r\nWHERE\r\n(\r\n(Orders.Freight >5)\r\n)\r\n");
    dialog.DistinctBox()->click();
    dialog.SaveQuery(lines, sql);
    EXPECT_TRUE(sql.startsWith("SELECT DISTINCT Orders.OrderID as OrderID\r\n"));

    // The stored text brings the same sub-query back: its field, its condition and its SQL.
    TdlgSubQuery again;
    again.Setup(Panel.get());
    again.LoadQuery(lines);
    again.QPanel()->Activate();
    EXPECT_EQ(again.ResultFieldLabel()->Caption(), "OrderID");
    QStringList linesAgain;
    QString sqlAgain;
    again.SaveQuery(linesAgain, sqlAgain);
    EXPECT_EQ(linesAgain, lines);
    EXPECT_EQ(sqlAgain, sql);
}

// The result field label opens the result fields editor for one field without sorting: a new
// field replaces the old one, loses its alias and the label names it; Cancel changes nothing.
TEST_F(SubQueryFixture, TheResultFieldLabelOpensTheEditorForOneField)
{
    TdlgSubQuery dialog;
    dialog.Setup(Panel.get());
    dialog.LoadQuery({});
    dialog.show();
    const auto answer = [](bool Confirm) {
        QTimer::singleShot(0, [Confirm] {
            auto* editor = qobject_cast<TdlgRFieldsEditor*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            EXPECT_EQ(editor->MaxFields(), 1);
            EXPECT_FALSE(editor->pnlSortedFields->isVisible());
            EXPECT_FALSE(editor->pmiList->isVisible());
            editor->tvAllFields->setCurrentItem(
                editor->tvAllFields->findItems("Freight", Qt::MatchExactly)[0]);
            editor->pmiMax->trigger();
            (Confirm ? editor->btOK : editor->btCancel)->click();
        });
    };
    answer(false);
    QTest::mouseClick(dialog.ResultFieldLabel(), Qt::LeftButton);
    EXPECT_EQ(dialog.ResultFieldLabel()->Caption(), "OrderID");

    answer(true);
    QTest::mouseClick(dialog.ResultFieldLabel(), Qt::LeftButton);
    const TRFieldList& fields = dialog.QPanel()->QResult()->ResultFields();
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields[0]->Alias(), "");
    EXPECT_EQ(dialog.ResultFieldLabel()->Caption(), "Freight Maximum");
    QStringList lines;
    QString sql;
    dialog.SaveQuery(lines, sql);
    EXPECT_TRUE(sql.startsWith("SELECT DISTINCT MAX(Orders.Freight)\r\n")) << sql.toStdString();
}

// Editing a condition's sub-query through the panel's hook: OK hands back the one-line SQL and
// the options, and a change in the nested panel marks the outer query changed; Cancel keeps the
// stored sub-query.
TEST_F(SubQueryFixture, TheConditionsSubQueryIsEditedInTheDialog)
{
    Model->AddOperator("InSubQuery", "is in", TFieldTypes {ftInteger}, QString(), "@f in (@1)");
    Model->OperatorByName("InSubQuery")->SetValueKind(vkSubQuery);
    Model->Fields()[0]->AddOperatorByName("InSubQuery");
    auto* row = static_cast<TSimpleCond*>(Panel->AddCondition(Panel->Root()));
    row->SetField(Model->Fields()[0]);
    row->SetOperator(Model->OperatorByName("InSubQuery"));
    int changes = 0;
    Panel->OnChange = [&](TZQueryPanel*) { ++changes; };

    const auto answer = [&](bool Confirm) {
        QTimer::singleShot(0, [&, Confirm] {
            auto* dialog = qobject_cast<TdlgSubQuery*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Unterabfrage");
            EXPECT_EQ(dialog->QPanel()->QResult()->ParamNumberBase(), Panel->QResult()->GetParamCount());
            EXPECT_FALSE(dialog->QPanel()->Appearance().Options().Contains(aoAllowParams));
            dialog->DistinctBox()->click();
            (Confirm ? dialog->findChild<QPushButton*>() : dialog->CancelButton())->click();
        });
    };
    QString value;
    bool accept = false;
    answer(true);
    row->EditSubQuery(nullptr, value, accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ(value, "SELECT Orders.OrderID  FROM Orders  ");
    EXPECT_FALSE(row->SubQueryOptions().Contains(soSelectDistinct));
    EXPECT_GT(changes, 0);

    answer(false);
    const QString kept = value;
    row->EditSubQuery(nullptr, value, accept);
    EXPECT_FALSE(accept);
    EXPECT_EQ(value, kept);
    EXPECT_FALSE(row->SubQueryOptions().Contains(soSelectDistinct));

    // A panel as deep as sub-queries nest makes none below it: dialog in dialog went on without
    // end, each level doubling the text that keeps the ones below.
    Panel->SetSubQueryLevel(MaxSubQueryDepth);
    const QStringList lines = row->SubQuery();
    platform::ScriptedAnswers answers {platform::IDOK};
    Panel->show();
    TDropDownLabel* label = row->ValueLabel(1);
    ASSERT_NE(label, nullptr);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(answers.AskedTexts(), QStringList({"Sub-queries cannot nest more than 10 deep"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(row->SubQuery(), lines);
}

}  // namespace
