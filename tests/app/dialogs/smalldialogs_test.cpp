#include "app/dialogs/aboutbox.h"
#include "app/dialogs/datedialog.h"
#include "app/dialogs/options.h"
#include "app/dialogs/paramvalues.h"
#include "app/dialogs/queryparams.h"
#include "core/model/dbstructure.h"
#include "platform/messagebox.h"
#include "platform/version.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryerrors.h"
#include "rtl/formatsettings.h"
#include "tests/support/tabkey.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

TEST(OptionsDialog, LoadsFromAndSavesToThePanel)
{
    TZQueryPanel panel;
    TdlgOptions dialog;
    dialog.LoadFromPanel(panel);
    EXPECT_TRUE(dialog.rbGroups->isChecked());
    EXPECT_TRUE(dialog.cbShowCheckBoxes->isChecked() && dialog.cbFlatButtons->isChecked()
        && dialog.cbPopupFields->isChecked() && dialog.cbPopupValues->isChecked());

    // OK with And/Or and every box cleared; the other options stay as they were.
    const TQPAppearanceOptions before = panel.Appearance().Options();
    dialog.rbAndOr->setChecked(true);
    for (QCheckBox* box :
        {dialog.cbShowCheckBoxes, dialog.cbFlatButtons, dialog.cbPopupFields, dialog.cbPopupValues})
        box->setChecked(false);
    dialog.SaveToPanel(panel);
    EXPECT_EQ(panel.Appearance().Style(), psAndOr);
    EXPECT_EQ(panel.Appearance().Options(),
        (before - TQPAppearanceOptions {aoShowCheckBoxes, aoFlatButtons, aoPopupField, aoPopupValue}));

    TdlgOptions again;
    again.LoadFromPanel(panel);
    EXPECT_EQ(again.StyleIndex(), 1);
    EXPECT_FALSE(again.cbFlatButtons->isChecked());
}

TEST(QueryParamsDialog, FileNameFollowsTheNameUntilTheUserEditsIt)
{
    TdlgQueryParams dialog;
    dialog.FormShow();
    QTest::keyClicks(dialog.edQueryName, QStringLiteral("Sales 2004"));
    EXPECT_EQ(dialog.edFileName->text(), QStringLiteral("Sales 2004.qry"));

    // The user's own file name is no longer overwritten by typing in the name.
    dialog.edFileName->clear();
    QTest::keyClicks(dialog.edFileName, QStringLiteral("sales.qry"));
    QTest::keyClicks(dialog.edQueryName, QStringLiteral(" East"));
    EXPECT_FALSE(dialog.FileNameFollows());
    EXPECT_EQ(dialog.edFileName->text(), QStringLiteral("sales.qry"));

    TdlgQueryParams existing;
    existing.edQueryName->setText(QStringLiteral("Orders"));
    existing.edFileName->setText(QStringLiteral("orders.qry"));
    existing.FormShow();
    QTest::keyClicks(existing.edQueryName, QStringLiteral(" 1998"));
    EXPECT_EQ(existing.edFileName->text(), QStringLiteral("orders.qry"));

    existing.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&existing));
    ExpectTabLeaves({existing.memDescription});
}

// A name such as "../x.qry" once let a query be written outside the model folder, and a taken
// name overwrote another query's file.
TEST(QueryParamsDialog, RefusesFileNamesOutsideTheFolderOrOfAnotherFile)
{
    QTemporaryDir folder;
    for (const char* name : {"Orders.qry", "Sales.qry"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // A link to nowhere is taken too: a save would write through it to wherever it leads.
    ASSERT_TRUE(QFile::link(folder.filePath("nowhere/x.qry"), folder.filePath("Gone.qry")));
    TdlgQueryParams dialog;
    dialog.SetFileNameCheck(folder.path(), QStringLiteral("Sales.qry"));
    for (const char* name : {"", "../x.qry", "sub/x.qry", "sub\\x.qry", "..qry", "ORDERS.QRY", "gone.qry"}) {
        platform::ScriptedAnswers answers {platform::IDOK};
        dialog.edFileName->setText(QString::fromLatin1(name));
        dialog.btOKClick();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << name;
        EXPECT_EQ(answers.Asked().size(), 1u) << name;
    }
    platform::ScriptedAnswers none;
    dialog.edFileName->setText(QStringLiteral("sales.qry"));
    dialog.btOKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(none.Asked().empty());
}

TEST(QueryParamsDialog, DistinctOptionGoesBothWays)
{
    TZQueryPanel panel;
    panel.SetSQLOptions(TSQLOptions {soASCIIRFields});
    TdlgQueryParams dialog;
    dialog.LoadOptions(panel);
    EXPECT_FALSE(dialog.cbDistinctSelect->isChecked());
    dialog.cbDistinctSelect->setChecked(true);
    dialog.SaveOptions(panel);
    EXPECT_EQ(panel.SQLOptions(), (TSQLOptions {soASCIIRFields, soSelectDistinct}));
}

// Parameters got no values before the rows were shown. The dialog asks for each by its caption
// with an editor for its type, refuses a value its check raises on, and gives nothing on Cancel.
TEST(ParamValuesDialog, AsksEachParameterByTypeAndRefusesAWrongValue)
{
    rtl::FormatSettings settings = rtl::formatSettings();
    settings.ShortDateFormat = QStringLiteral("m/d/yyyy");
    settings.DateSeparator = QLatin1Char('/');
    const rtl::FormatSettingsScope scope(settings);
    TSQLFormats formats;
    formats.SetTrueValue(QStringLiteral("1"));
    formats.SetFalseValue(QStringLiteral("0"));
    TdlgParamValues dialog({{"param1", "Parameter Order date", ftDate, "12/31/1997"},
                               {"param2", "Parameter Freight", ftFloat, ""},
                               {"param3", "Parameter Discontinued", ftBoolean, "1"},
                               {"param4", "Parameter Country", ftString, "O'Hara"}},
        formats);
    QStringList captions;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        captions << label->text();
    EXPECT_EQ(captions,
        QStringList(
            {"Parameter Order date", "Parameter Freight", "Parameter Discontinued", "Parameter Country"}));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.Editor(0))->text(), QStringLiteral("12/31/1997"));
    EXPECT_NE(qobject_cast<QLineEdit*>(dialog.Editor(1)), nullptr);
    EXPECT_EQ(qobject_cast<QComboBox*>(dialog.Editor(2))->currentText(), QStringLiteral("True"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.Editor(3))->text(), QStringLiteral("O'Hara"));

    QStringList checked;
    dialog.OnCheckValues = [&checked](const TParamValues& Values) {
        checked << Values.value("param2");
        if (Values.value("param2") != "2.5")
            throw EZQueryPanelError::Create(qpeBadValue, Values.value("param2"), QStringLiteral("Freight"));
    };
    const auto run = [&dialog](const std::function<void()>& Act) {
        QTimer::singleShot(0, &dialog, Act);
        return dialog.exec();
    };
    {
        platform::ScriptedAnswers answers {platform::IDOK};
        EXPECT_EQ(run([&] {
            QTest::keyClicks(dialog.Editor(1), QStringLiteral("abc"));
            QTest::mouseClick(dialog.btOK, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            dialog.btCancel->click();
        }),
            QDialog::Rejected);
        EXPECT_EQ(answers.AskedTexts(), QStringList {"Value 'abc' is not valid for Freight"});
    }
    EXPECT_EQ(checked, QStringList {"abc"});

    // A date is taken as typed or refused: a picker once made another date of "2/28/1998".
    for (const char* typed : {"2/31/1998", "13/1/1998", "1/1/98", "2-1-1998"}) {
        platform::ScriptedAnswers answers {platform::IDOK};
        EXPECT_EQ(run([&] {
            auto* date = qobject_cast<QLineEdit*>(dialog.Editor(0));
            date->selectAll();
            QTest::keyClicks(date, QString::fromLatin1(typed));
            QTest::mouseClick(dialog.btOK, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            dialog.btCancel->click();
        }),
            QDialog::Rejected);
        EXPECT_EQ(answers.AskedTexts(), QStringList {QStringLiteral("'%1' is not a valid date").arg(typed)});
    }
    EXPECT_EQ(checked, QStringList {"abc"});

    platform::ScriptedAnswers none;
    EXPECT_EQ(run([&] {
        qobject_cast<QLineEdit*>(dialog.Editor(1))->setText(QStringLiteral("2.5"));
        auto* date = qobject_cast<QLineEdit*>(dialog.Editor(0));
        date->selectAll();
        QTest::keyClicks(date, QStringLiteral("2/1/1998"));
        qobject_cast<QComboBox*>(dialog.Editor(2))->setCurrentIndex(0);
        QTest::mouseClick(dialog.btOK, Qt::LeftButton);
    }),
        QDialog::Accepted);
    EXPECT_TRUE(none.Asked().empty());
    const TParamValues expected {
        {"param1", "2/1/1998"}, {"param2", "2.5"}, {"param3", "0"}, {"param4", "O'Hara"}};
    EXPECT_EQ(dialog.Values(), expected);
}

TEST(AboutBox, ShowsTheBuildsVersion)
{
    TAboutBox box;
    EXPECT_FALSE(GetFileVersionText().isEmpty());
    EXPECT_EQ(box.lblVersion->text(), QStringLiteral("Version ") + platform::ProgramVersion());
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
}

TEST(DateDialog, StartsOnJanuary2000AndClampsTheDay)
{
    TDateDialog dialog;
    EXPECT_EQ(dialog.Calendar1->selectedDate(), QDate(2000, 1, 1));
    EXPECT_EQ(dialog.cbMonth->count(), 12);
    EXPECT_EQ(dialog.cbMonth->itemText(0), rtl::formatSettings().LongMonthNames.value(0));
    EXPECT_EQ(dialog.Calendar1->firstDayOfWeek(), Qt::Sunday);

    dialog.SetDate(rtl::EncodeDate(2004, 1, 31));
    EXPECT_EQ(dialog.seYear->value(), 2004);
    EXPECT_EQ(dialog.cbMonth->currentIndex(), 0);

    // 31 January to February once gave an invalid date.
    dialog.cbMonth->setCurrentIndex(1);
    dialog.cbMonthChange();
    EXPECT_EQ(dialog.GetDate(), rtl::EncodeDate(2004, 2, 29));
    dialog.seYear->setValue(2005);
    EXPECT_EQ(dialog.GetDate(), rtl::EncodeDate(2005, 2, 28));

    dialog.seYear->setValue(0);
    EXPECT_EQ(dialog.seYear->value(), 1);
    dialog.seYear->setValue(12000);
    EXPECT_EQ(dialog.seYear->value(), 9999);
    EXPECT_EQ(dialog.GetDate(), rtl::EncodeDate(9999, 2, 28));
}

TEST(DateDialog, DateValueCaption)
{
    rtl::FormatSettings settings = rtl::formatSettings();
    settings.ShortDateFormat = QStringLiteral("m/d/yyyy");
    settings.LongDateFormat = QStringLiteral("d mmmm yyyy");
    settings.DateSeparator = QLatin1Char('/');
    const rtl::FormatSettingsScope scope(settings);
    EXPECT_EQ(DateValueCaption(QStringLiteral("not a date")), QStringLiteral("_____"));
    EXPECT_EQ(DateValueCaption(QStringLiteral("2/30/1998")), QStringLiteral("_____"));
    EXPECT_EQ(DateValueCaption(QStringLiteral("12/31/1997")),
        QStringLiteral("31 ") + settings.LongMonthNames.value(11) + QStringLiteral(" 1997"));
}
