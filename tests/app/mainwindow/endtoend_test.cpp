#include "app/dialogs/queryparams.h"
#include "app/mainwindow/shelltexts.h"
#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/querylist/querybase.h"
#include "querypanel/querylist/querycombo.h"
#include "tests/app/mainwindow/mainformtesting.h"
#include "tests/support/tabkey.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

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
    int ShownRows() const
    {
        const auto* view = Form->tshQueryResult->findChild<QTableView*>();
        return view && view->model() ? view->model()->rowCount() : -1;
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

}  // namespace
