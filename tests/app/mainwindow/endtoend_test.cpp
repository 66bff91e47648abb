#include "app/dialogs/paramvalues.h"
#include "app/dialogs/queryparams.h"
#include "app/mainwindow/shelltexts.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownedit.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/querylist/querybase.h"
#include "querypanel/querylist/querycombo.h"
#include "rtl/datetime.h"
#include "tests/app/mainwindow/mainformtesting.h"
#include "tests/support/tabkey.h"

#include <QAbstractItemModel>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <tuple>

namespace {

// A date as the parameter values dialog shows it and takes it typed.
QString ShownDate(QDate Day)
{
    return rtl::FormatDateTime(
        TDropDownDateTimeEdit::DateFormat(), rtl::EncodeDate(Day.year(), Day.month(), Day.day()));
}

class EndToEndTest : public MainFormTest {
protected:
    void Choose(const QString& QueryName)
    {
        const int index = Form->cbCurQuery->findText(QueryName);
        ASSERT_GE(index, 0) << QueryName.toStdString();
        Form->cbCurQuery->setCurrentIndex(index);
        emit Form->cbCurQuery->activated(index);
    }
    // A condition added as the panel's own operations add it.
    void AddCondition(const QString& FieldName, const QString& Operator, const QString& Value)
    {
        auto* row = static_cast<TSimpleCond*>(Form->QPanel->AddCondition(Form->QPanel->Root()));
        row->SetField(Form->DBStructure->FindField(flDisplayName, FieldName));
        row->SetOperator(Form->DBStructure->OperatorByName(Operator));
        row->SetValue(1, Value);
    }
    // -1 when no rows are shown.
    int ShownRows() const
    {
        const auto* view = Form->tshQueryResult->findChild<QTableView*>();
        return view && !view->isHidden() && view->model() ? view->model()->rowCount() : -1;
    }
    QString NoRowsLine() const
    {
        const auto* line = Form->tshQueryResult->findChild<QLabel*>();
        return line ? line->text() : QString();
    }
    QStringList FirstShownRow() const
    {
        const QAbstractItemModel* rows = Form->tshQueryResult->findChild<QTableView*>()->model();
        QStringList cells;
        for (int column = 0; column < rows->columnCount(); ++column)
            cells << rows->index(0, column).data().toString();
        return cells;
    }
    // Builds the query, answering the parameter values dialog with Fill.
    void BuildWith(const std::function<void(TdlgParamValues&)>& Fill)
    {
        WithDialog<TdlgParamValues>(Fill, [&] { Form->miBuildQuery->trigger(); });
    }
    // The rows of a hand-written statement on the copied sample database.
    int Count(const QString& SQL) const
    {
        int count = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "endtoend");
            db.setDatabaseName(Path("dmodels/nwind/nwind.sqlite"));
            EXPECT_TRUE(db.open());
            QSqlQuery query(db);
            if (query.exec("SELECT count(*) FROM (" + SQL + ")") && query.next())
                count = query.value(0).toInt();
        }
        QSqlDatabase::removeDatabase("endtoend");
        return count;
    }
};

TEST_F(EndToEndTest, ComposeBuildAndKeepOrDropTheChanges)
{
    Open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    const QString german = "German customers' orders";
    const QString germanFile = "dmodels/nwind/german_orders.qry";
    const QString saved = Read(germanFile);
    Choose(german);
    EXPECT_EQ(Form->lblDescription->text(), "Orders of customers in Germany with a freight above 50");
    EXPECT_EQ(Form->ddlRFields->Caption(), "Company, Order number, Freight");

    AddCondition("Freight", "LessThan", "200");
    EXPECT_TRUE(Form->miSaveQuery->isEnabled());
    QTest::keyClick(Form.get(), Qt::Key_F9);
    const QString sql = Form->memSQL->toPlainText();
    EXPECT_TRUE(sql.contains("(Customers.Country = 'Germany')")) << sql.toStdString();
    EXPECT_TRUE(sql.contains("Orders.Freight < 200")) << sql.toStdString();
    const int expected
        = Count("SELECT DISTINCT c.CompanyName, o.OrderID, o.Freight FROM Orders o JOIN Customers c "
                "ON c.CustomerID = o.CustomerID WHERE c.Country = 'Germany' AND o.Freight > 50 AND "
                "o.Freight < 200");
    EXPECT_GT(expected, 0);
    EXPECT_EQ(ShownRows(), expected);
    ExpectTabLeaves({Form->tshQueryResult->findChild<QTableView*>()});
    Form->pcSQL->setCurrentWidget(Form->tshSQL);
    ExpectTabLeaves({Form->memSQL});

    // No: the file keeps the saved query, and the query comes back as it was saved.
    platform::ScriptedAnswers answers {platform::IDNO, platform::IDYES};
    Choose("Freight by country");
    EXPECT_EQ(answers.AskedTexts(), QStringList {"Current query was modified. Save?"});
    EXPECT_EQ(Read(germanFile), saved);
    EXPECT_FALSE(Form->miSaveQuery->isEnabled());
    Choose(german);
    EXPECT_EQ(Form->QPanel->Root()->Count(), 2);

    // Yes: the file holds the new condition.
    AddCondition("Freight", "LessThan", "200");
    Choose("Freight by country");
    EXPECT_EQ(answers.Asked().size(), 2u);
    EXPECT_NE(Read(germanFile), saved);
    Choose(german);
    EXPECT_EQ(Form->QPanel->Root()->Count(), 3);
    EXPECT_TRUE(Read(germanFile).contains("Value1=200\r\n"));
}

// Parameters got no values: the grid showed the column headers and no rows, which read as "no such
// orders". Building asks for the values; the rows are those of the same query with the values as
// constants, a value holding a quote stays one value, and Cancel shows no rows and says why.
TEST_F(EndToEndTest, BuildingAsksForTheParametersValues)
{
    Open();
    Choose("Orders between two dates");
    const auto fill = [](const QString& Country) {
        return [Country](TdlgParamValues& Dialog) {
            const auto labels = Dialog.findChildren<QLabel*>();
            EXPECT_EQ(labels.value(0)->text(), "Parameter Order date 1");
            EXPECT_EQ(labels.value(1)->text(), "Parameter Order date 2");
            EXPECT_EQ(labels.value(2)->text(), "Parameter (Orders shipped to)");
            static_cast<QLineEdit*>(Dialog.Editor(0))->setText(ShownDate(QDate(1997, 1, 1)));
            static_cast<QLineEdit*>(Dialog.Editor(1))->setText(ShownDate(QDate(1997, 12, 31)));
            static_cast<QLineEdit*>(Dialog.Editor(2))->setText(Country);
            QTest::mouseClick(Dialog.btOK, Qt::LeftButton);
        };
    };
    BuildWith(fill("Germany"));
    const QString sql = Form->memSQL->toPlainText();
    EXPECT_TRUE(sql.contains("between :Param1 and :Param2")) << sql.toStdString();
    EXPECT_TRUE(sql.contains("Orders.ShipCountry = :Param3")) << sql.toStdString();
    const int expected = Count("SELECT DISTINCT OrderID, OrderDate FROM Orders WHERE OrderDate BETWEEN "
                               "'1997-01-01' AND '1997-12-31' AND ShipCountry = 'Germany'");
    EXPECT_GT(expected, 0);
    EXPECT_EQ(ShownRows(), expected);
    const QStringList first = FirstShownRow();

    // A quote ends no literal: the whole text is one country, which no order has.
    BuildWith(fill("Germany' OR 'a'='a"));
    EXPECT_EQ(ShownRows(), 0);

    // Cancel: no rows and a line saying why; the SQL page keeps the statement.
    BuildWith([](TdlgParamValues& Dialog) { Dialog.btCancel->click(); });
    EXPECT_TRUE(Form->tshQueryResult->findChild<QTableView*>()->isHidden());
    const auto* notRun = Form->tshQueryResult->findChild<QLabel*>();
    ASSERT_NE(notRun, nullptr);
    EXPECT_EQ(notRun->text(), ShellTexts::QueryNotRun);
    EXPECT_TRUE(Form->memSQL->toPlainText().contains(":Param3"));

    // The values given last are offered again; the rows are those of the same query with the values
    // as constants.
    BuildWith([](TdlgParamValues& Dialog) {
        EXPECT_EQ(static_cast<QLineEdit*>(Dialog.Editor(2))->text(), "Germany' OR 'a'='a");
        EXPECT_EQ(static_cast<QLineEdit*>(Dialog.Editor(1))->text(), ShownDate(QDate(1997, 12, 31)));
        static_cast<QLineEdit*>(Dialog.Editor(2))->setText("Germany");
        QTest::mouseClick(Dialog.btOK, Qt::LeftButton);
    });
    EXPECT_FALSE(Form->tshQueryResult->findChild<QTableView*>()->isHidden());
    EXPECT_EQ(Form->tshQueryResult->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(FirstShownRow(), first);

    // Values that share a parameter name, in any letter case, are one parameter, asked once.
    Form->QPanel->QResult()->Params()[1]->SetName("PARAM1");
    const QDate day = QDate::fromString(first.value(1), Qt::ISODate);
    ASSERT_TRUE(day.isValid()) << first.value(1).toStdString();
    BuildWith([day](TdlgParamValues& Dialog) {
        ASSERT_EQ(Dialog.findChildren<QLabel*>().size(), 2);
        static_cast<QLineEdit*>(Dialog.Editor(0))->setText(ShownDate(day));
        QTest::mouseClick(Dialog.btOK, Qt::LeftButton);
    });
    EXPECT_TRUE(Form->memSQL->toPlainText().contains("between :Param1 and :PARAM1"));
    const QString dayText = day.toString(Qt::ISODate);
    EXPECT_EQ(ShownRows(),
        Count("SELECT DISTINCT OrderID FROM Orders WHERE OrderDate = '" + dayText
            + "' AND ShipCountry = 'Germany'"));
    EXPECT_EQ(FirstShownRow(), first);
    Form->QPanel->QResult()->Params()[1]->SetName("Param2");

    auto* dates = static_cast<TFilterCond*>(Form->QPanel->Root()->Rows(0));
    auto* country = static_cast<TFilterCond*>(Form->QPanel->Root()->Rows(1));
    for (const auto& [row, n, value] : {std::tuple {dates, 1, rtl::EncodeDate(1997, 1, 1)},
             std::tuple {dates, 2, rtl::EncodeDate(1997, 12, 31)}}) {
        row->SetParamState(n, false);
        row->SetValue(n, rtl::DateToStr(value));
    }
    country->SetParamState(1, false);
    country->SetValue(1, "Germany");
    platform::ScriptedAnswers none;
    Form->miBuildQuery->trigger();
    EXPECT_TRUE(none.Asked().empty());
    EXPECT_EQ(ShownRows(), expected);
    EXPECT_EQ(FirstShownRow(), first);
}

// A new query took over the root's "any" of the query before it, so its conditions became OR.
TEST_F(EndToEndTest, ANewQueryStartsWithAll)
{
    Open();
    Choose("German customers' orders");
    TDropDownPopup* chooser = Form->QPanel->Root()->LinkTypeLabel();
    chooser->SetItemIndex(1);
    Form->QPanel->LinkTypeChanged(chooser, true);
    ASSERT_EQ(Form->QPanel->Root()->LinkType(), fltAny);
    platform::ScriptedAnswers answers {platform::IDNO};
    WithDialog<TdlgQueryParams>(
        [](TdlgQueryParams& Dialog) {
            Dialog.edQueryName->setText("Fresh");
            Dialog.edFileName->setText("fresh.qry");
            Dialog.btOKClick();
        },
        [&] { Form->NewQuery(); });
    EXPECT_EQ(answers.AskedTexts(), QStringList {ShellTexts::QueryModified});
    EXPECT_EQ(Form->QPanel->Root()->LinkType(), fltAll);
    EXPECT_EQ(Form->QPanel->Root()->LinkTypeLabel()->Caption(), "all");
    EXPECT_TRUE(Read("dmodels/nwind/fresh.qry").contains("LinkType=0\r\n"));
}

// The pages kept the statement and the rows of the query built before under the name of the query
// shown after it, where they read as its rows. Every road that changes the query shown, or opens a
// model, leaves both pages empty until Build Query runs for the query now shown.
TEST_F(EndToEndTest, ThePagesShowOnlyWhatWasBuiltForTheQueryShown)
{
    Open();
    const QString countries = "Countries with many Parcel Eagle orders";
    const QString discontinued = "Customers of discontinued products";
    const auto buildCountries = [&] {
        Choose(countries);
        Form->miBuildQuery->trigger();
        ASSERT_EQ(ShownRows(), 4);
        ASSERT_EQ(FirstShownRow(), QStringList({"Canada", "20"}));
        ASSERT_FALSE(Form->memSQL->toPlainText().isEmpty());
    };
    const auto expectNothingBuilt = [this](const char* Road) {
        EXPECT_EQ(Form->memSQL->toPlainText().toStdString(), "") << Road;
        EXPECT_EQ(ShownRows(), -1) << Road;
        EXPECT_EQ(NoRowsLine().toStdString(), ShellTexts::QueryNotBuilt.toStdString()) << Road;
    };
    expectNothingBuilt("start");

    buildCountries();
    Choose(discontinued);
    expectNothingBuilt("choosing another query");
    Form->miBuildQuery->trigger();
    EXPECT_GT(ShownRows(), 0);
    EXPECT_EQ(NoRowsLine(), "");
    const auto* view = Form->tshQueryResult->findChild<QTableView*>();
    EXPECT_NE(view->model()->headerData(0, Qt::Horizontal).toString(), "Ship country");
    EXPECT_TRUE(Form->memSQL->toPlainText().contains("Discontinued"))
        << Form->memSQL->toPlainText().toStdString();

    buildCountries();
    WithDialog<TdlgQueryParams>(
        [](TdlgQueryParams& Dialog) {
            Dialog.edQueryName->setText("Fresh");
            Dialog.edFileName->setText("fresh.qry");
            Dialog.btOKClick();
        },
        [&] { Form->miNewQuery->trigger(); });
    expectNothingBuilt("Query > New...");

    // A query that fails to load.
    buildCountries();
    const QString german = Path("dmodels/nwind/german_orders.qry");
    const QString germanText = Read("dmodels/nwind/german_orders.qry");
    ASSERT_TRUE(QFile::remove(german) && QDir().mkdir(german));
    {
        platform::ScriptedAnswers answers {platform::IDOK};
        Choose("German customers' orders");
        EXPECT_EQ(answers.Asked().size(), 1u);
    }
    expectNothingBuilt("a query that cannot be read");
    ASSERT_TRUE(QDir().rmdir(german));
    Write("dmodels/nwind/german_orders.qry", germanText);

    buildCountries();
    Form->LoadDataModel();
    expectNothingBuilt("opening a model");

    // SQL read back replaces the query's rows; a statement it refuses leaves the query, and so the
    // pages, as they were.
    buildCountries();
    Write("refused.sql", "SELECT o.OrderID FROM Orders o");
    {
        platform::ScriptedAnswers answers {platform::IDOK};
        platform::Guarded([&] { Form->ParseSQLFile(Path("refused.sql")); });
        EXPECT_EQ(answers.Asked().size(), 1u);
    }
    EXPECT_EQ(ShownRows(), 4);
    Write("german.sql", "SELECT Orders.OrderID FROM Orders WHERE Orders.ShipCountry = 'Germany'");
    Form->ParseSQLFile(Path("german.sql"));
    expectNothingBuilt("Query > ParseSQL");
    {
        platform::ScriptedAnswers answers {platform::IDNO};
        Form->LoadDataModel();
    }

    buildCountries();
    {
        platform::ScriptedAnswers answers {platform::IDYES};
        Form->miDeleteQuery->trigger();
    }
    expectNothingBuilt("Query > Delete");
}

// A query whose file could not be read stayed listed over an empty panel: Build Query ran every
// record of the main table under its name, and Save or Yes wrote the empty query over the file.
// Build, Save and Edit Params now refuse naming the file, nothing asks to save it, and choosing it
// again once the file is mended loads it.
TEST_F(EndToEndTest, AQueryWhoseFileCouldNotBeReadIsNeitherBuiltNorWrittenOver)
{
    const struct {
        const char* Name;
        QString From;
        QString To;
    } cases[] = {
        {"a field that is no number", "FieldID=6\r\n", "FieldID=abc\r\n"},
        {"a link type out of range", "LinkType=0\r\n", "LinkType=7\r\n"},
        {"an enabled flag that is no flag", "Enabled=1\r\nFieldID=6", "Enabled=abc\r\nFieldID=6"},
        {"a date in another form", "FieldID=13\r\nParam1=0\r\nParam2=0\r\nOperator=GreaterThan\r\nValue1=50",
            "FieldID=10\r\nParam1=0\r\nParam2=0\r\nOperator=GreaterThan\r\nValue1=1997-03-04"},
    };
    Open();
    const QString german = "German customers' orders";
    const QString file = "dmodels/nwind/german_orders.qry";
    const QString saved = Read(file);
    const QString refused = "The query file " + QDir::toNativeSeparators(Path(file))
        + " could not be read: mend it and choose the query again";
    const int germanRows
        = Count("SELECT DISTINCT c.CompanyName, o.OrderID, o.Freight FROM Orders o JOIN Customers c "
                "ON c.CustomerID = o.CustomerID WHERE c.Country = 'Germany' AND o.Freight > 50");
    ASSERT_GT(germanRows, 0);
    QString damaged;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Choose("Freight by country");
        damaged = saved;
        const qsizetype at = damaged.indexOf(c.From);
        ASSERT_GE(at, 0);
        damaged.replace(at, c.From.size(), c.To);
        Write(file, damaged);
        platform::ScriptedAnswers answers {
            platform::IDOK, platform::IDOK, platform::IDOK, platform::IDOK, platform::IDOK};
        Choose(german);
        ASSERT_EQ(answers.Asked().size(), 1u);
        EXPECT_TRUE(answers.AskedTexts().value(0).contains(QDir::toNativeSeparators(Path(file))))
            << answers.AskedTexts().value(0).toStdString();
        EXPECT_FALSE(Form->miSaveQuery->isEnabled());
        // Edits on the empty panel are no edits of that query: Save stays off, and a save asked
        // for all the same is refused.
        AddCondition("Freight", "LessThan", "200");
        EXPECT_FALSE(Form->miSaveQuery->isEnabled());
        EXPECT_FALSE(Form->sbSaveQuery->isEnabled());
        Form->miBuildQuery->trigger();
        EXPECT_EQ(Form->memSQL->toPlainText().toStdString(), "");
        EXPECT_EQ(ShownRows(), -1);
        Form->miSaveQuery->setEnabled(true);
        Form->miSaveQuery->trigger();
        // A properties dialog that opens all the same is closed, not waited for.
        bool dialogShown = false;
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [&dialogShown] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                dialog->reject();
            }
        });
        closer.start(0);
        Form->miEditParams->trigger();
        EXPECT_FALSE(dialogShown);
        EXPECT_EQ(answers.AskedTexts().mid(1), QStringList({refused, refused, refused}));
        EXPECT_EQ(Read(file), damaged);
        // Leaving it asks nothing: there is nothing of that query to save.
        Choose("Freight by country");
        Choose(german);
        EXPECT_EQ(answers.Asked().size(), 5u);
        EXPECT_EQ(Read(file), damaged);

        Write(file, saved);
        Choose(german);
        EXPECT_EQ(answers.Asked().size(), 5u);
        EXPECT_EQ(Form->QPanel->Root()->Count(), 2);
        Form->miBuildQuery->trigger();
        EXPECT_EQ(ShownRows(), germanRows);
    }
    // Nor does closing ask, or write.
    Write(file, damaged);
    platform::ScriptedAnswers answers {platform::IDOK};
    Choose("Freight by country");
    Choose(german);
    AddCondition("Freight", "LessThan", "200");
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(Read(file), damaged);
}

// A one-line description of megabytes froze the window for seconds while the word-wrapped label laid
// it out whole. The label shows its start; the file and the properties dialog keep the whole text.
TEST_F(EndToEndTest, ADescriptionTooLongForAnyScreenIsShownCut)
{
    const QString file = "dmodels/nwind/german_orders.qry";
    QString text = Read(file);
    const QString description = "Orders of customers in Germany with a freight above 50";
    const QString longLine = description + QString(MaxShownLength, u'x');
    text.replace(description, longLine);
    Write(file, text);
    Open();
    Choose("German customers' orders");
    const QString shown = Form->lblDescription->text();
    EXPECT_EQ(shown.size(), MaxShownLength + 1);
    EXPECT_TRUE(longLine.startsWith(shown.chopped(1)));
    EXPECT_EQ(shown.back(), QChar(0x2026));
    // A description that starts like markup would otherwise be laid out as rich text.
    EXPECT_EQ(Form->lblDescription->textFormat(), Qt::PlainText);
    WithDialog<TdlgQueryParams>(
        [&](TdlgQueryParams& Dialog) { EXPECT_EQ(Dialog.memDescription->toPlainText(), longLine); },
        [&] { Form->miEditParams->trigger(); });
    EXPECT_EQ(Form->QBase->CurrentItem()->Description(), longLine + "\r\n");
    EXPECT_TRUE(Read(file).contains(longLine + "\r\n"));
}

}  // namespace
