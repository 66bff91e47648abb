#include "core/gate/dbgate.h"
#include "gates/fendal/fendalgate.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString SampleDatabase = QStringLiteral(NUV_APP_DIR "/dmodels/nwind/nwind.sqlite");

// The sample read on a connection of the test's own, to count what the gate should show.
class SampleRows {
public:
    SampleRows()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "expected");
        db.setDatabaseName(SampleDatabase);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        db.open();
    }
    ~SampleRows() { QSqlDatabase::removeDatabase("expected"); }
    QList<QStringList> Rows(const QString& Table, const QStringList& Columns) const
    {
        QSqlQuery query(QSqlDatabase::database("expected"));
        query.exec("SELECT " + Columns.join(", ") + " FROM " + Table);
        QList<QStringList> rows;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < Columns.size(); ++i)
                row.append(query.value(i).toString());
            rows.append(row);
        }
        return rows;
    }
};

class FendalTest : public testing::Test {
protected:
    void SetUp() override
    {
        FGate.SetDLLPath(NUV_APP_DIR "/DBGates/Fendal.dll");
        QStringList details {"Database=" + SampleDatabase};
        FGate.LoadInfo(details);
        FParent.resize(400, 300);
    }

    QTableView* View() const { return FParent.findChild<QTableView*>(); }
    QString Cell(int Row, int Column) const { return View()->model()->index(Row, Column).data().toString(); }

    TZDBGate FGate;
    QWidget FParent;
};

}  // namespace

TEST_F(FendalTest, AnswersDatabasesTablesAndViewsWithoutInternalTables)
{
    QStringList lines;
    FGate.GetDatabaseNames(lines);
    EXPECT_EQ(lines, QStringList {"main"});
    EXPECT_EQ(FGate.GetCurrentDBName(), "main");
    FGate.GetTableList(lines);
    EXPECT_EQ(lines,
        QStringList({"Categories", "Customers", "Employees", "Order Details", "Order Subtotals", "Orders",
            "Products", "Shippers", "Suppliers"}));
    FGate.SetCurrentDBName("other");
    FGate.GetTableList(lines);
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(FendalTest, FieldTypesFollowTheDeclaredColumnTypes)
{
    const TDBFieldList& fields = FGate.GetFields("Orders");
    ASSERT_EQ(fields.Count(), 13);
    struct Expected {
        const char* Name;
        TFieldType Type;
        int Size;
    };
    const Expected expected[]
        = {{"OrderID", ftInteger, 0}, {"CustomerID", ftFixedChar, 5}, {"OrderDate", ftDate, 0},
            {"Freight", ftCurrency, 0}, {"ShipName", ftString, 40}, {"ShipPostalCode", ftString, 10}};
    for (const Expected& e : expected) {
        const TDBFieldInfo* field = fields.FindField(e.Name);
        ASSERT_NE(field, nullptr) << e.Name;
        EXPECT_EQ(field->FieldType, e.Type) << e.Name;
        EXPECT_EQ(field->Size, e.Size) << e.Name;
    }
    EXPECT_EQ(FGate.GetFields("Order Details").Count(), 5);
    EXPECT_EQ(FGate.GetFields("No Such Table").Count(), 0);
}

TEST(FendalFieldTypes, DeclaredTypesMapAsSQLiteReadsThem)
{
    struct Case {
        const char* Declared;
        TFieldType Type;
        int Size;
    };
    const Case cases[] = {
        {"bigint", ftLargeint, 0},
        {"NVARCHAR( 12 )", ftString, 12},
        {"CHARACTER VARYING(20)", ftString, 20},
        {"CHAR(5)", ftFixedChar, 5},
        {"NUMERIC(10,2)", ftBCD, 10},
        {"DOUBLE PRECISION", ftFloat, 0},
        {"DATE", ftDate, 0},
        {"DATETIME", ftDateTime, 0},
        {"TIMESTAMP", ftTimeStamp, 0},
        {"TIME", ftTime, 0},
        {"BOOLEAN", ftBoolean, 0},
        {"", ftUnknown, 0},
    };
    for (const Case& c : cases) {
        int size = -1;
        EXPECT_EQ(FieldTypeOfDeclared(c.Declared, size), c.Type) << c.Declared;
        EXPECT_EQ(size, c.Size) << c.Declared;
    }
}

TEST_F(FendalTest, LinksComeFromTheForeignKeys)
{
    QStringList links;
    FGate.GetLinkList(links);
    for (const char* link : {"Orders.CustomerID=Customers.CustomerID", "Orders.ShipVia=Shippers.ShipperID",
             "Order Details.OrderID=Orders.OrderID", "Order Details.ProductID=Products.ProductID",
             "Employees.ReportsTo=Employees.EmployeeID"})
        EXPECT_TRUE(links.contains(link)) << link;
    EXPECT_EQ(links.size(), 8);
}

TEST_F(FendalTest, JoinQueryShowsEveryRowWithTheCaptions)
{
    const SampleRows sample;
    QStringList german;
    for (const QStringList& customer : sample.Rows("Customers", {"CustomerID", "Country"}))
        if (customer[1] == "Germany")
            german.append(customer[0]);
    int expected = 0;
    for (const QStringList& order : sample.Rows("Orders", {"CustomerID"}))
        expected += german.contains(order[0]);
    ASSERT_GT(expected, 0);

    const int shown = FGate.ShowResult(&FParent,
        {"SELECT Customers.CompanyName, Orders.OrderID",
            "FROM Orders INNER JOIN Customers ON (Orders.CustomerID=Customers.CustomerID)",
            "WHERE (Customers.Country = 'Germany')"},
        {"Company Name", "Order"});
    EXPECT_EQ(shown, expected);
    ASSERT_NE(View(), nullptr);
    const QAbstractItemModel* model = View()->model();
    EXPECT_EQ(model->rowCount(), expected);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Company Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Order");
    EXPECT_EQ(View()->geometry(), FParent.rect());

    FParent.resize(500, 120);
    FGate.RepaintResult();
    EXPECT_EQ(View()->geometry(), FParent.rect());
}

// Dates are kept as yyyy-mm-dd texts; the program writes month/day/year literals.
TEST_F(FendalTest, DateConditionsCompareDates)
{
    const SampleRows sample;
    int after = 0;
    int fromDay = 0;
    const QList<QStringList> orders = sample.Rows("Orders", {"OrderDate"});
    for (const QStringList& order : orders) {
        const QDate date = QDate::fromString(order[0], Qt::ISODate);
        after += date > QDate(1997, 12, 31);
        fromDay += date >= QDate(1997, 12, 31);
    }
    ASSERT_GT(after, 0);
    ASSERT_LT(after, orders.size());
    ASSERT_GT(fromDay, after);

    EXPECT_EQ(
        FGate.ShowResult(&FParent, {"SELECT OrderID FROM Orders WHERE Orders.OrderDate > '12/31/1997'"}, {}),
        after);
    EXPECT_EQ(FGate.ShowResult(
                  &FParent, {"SELECT OrderID FROM Orders WHERE OrderDate >= '12/31/1997 00:00:00'"}, {}),
        fromDay);
    QStringList values, items;
    FGate.GetSQLValues(
        "SELECT OrderID, OrderDate FROM Orders WHERE OrderDate > '12/31/1997' ORDER BY OrderDate", values,
        items);
    EXPECT_EQ(values.size(), after);
    EXPECT_EQ(items.value(0), "1998-01-01");
}

TEST_F(FendalTest, SQLErrorsAreShownInTheViewAndNothingIsWritten)
{
    EXPECT_EQ(FGate.ShowResult(&FParent, {"SELECT * FROM NoSuchTable"}, {"A"}), -1);
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(View()->model()->rowCount(), 1);
    EXPECT_TRUE(Cell(0, 0).contains("no such table")) << Cell(0, 0).toStdString();

    EXPECT_EQ(FGate.ShowResult(&FParent, {"DELETE FROM \"Order Details\""}, {}), -1);
    EXPECT_TRUE(Cell(0, 0).contains("readonly")) << Cell(0, 0).toStdString();
    EXPECT_GT(FGate.ShowResult(&FParent, {"SELECT * FROM \"Order Details\""}, {}), 1000);
    EXPECT_EQ(FParent.findChildren<QTableView*>().size(), 1);
}

TEST_F(FendalTest, MissingFileIsAnErrorAndNeverANewDatabase)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath("missing.sqlite");
    QStringList details {"Database=" + missing};
    FGate.LoadInfo(details);
    QStringList tables;
    EXPECT_THROW(FGate.GetTables(tables), EZDBGateError);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(FendalTest, RelativePathResolvesAgainstTheApplicationFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(NUV_APP_DIR));
    QStringList details {"Database=dmodels/nwind/nwind.sqlite"};
    FGate.LoadInfo(details);
    const bool connected = [&] {
        FGate.Connect();
        return FGate.IsConnected();
    }();
    QDir::setCurrent(previous);
    EXPECT_TRUE(connected);
    QStringList saved;
    FGate.SaveInfo(saved);
    EXPECT_EQ(saved, details);
}

TEST_F(FendalTest, ConnectionPageEditsTheDetails)
{
    QWidget* page = FGate.ConnectDialogParented(&FParent);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->parentWidget(), &FParent);
    EXPECT_GT(page->height(), 0);
    EXPECT_EQ(page->width(), FParent.width());
    auto* edit = page->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), SampleDatabase);

    edit->clear();
    QTest::keyClicks(edit, "other.sqlite");
    QStringList saved;
    FGate.SaveInfo(saved);
    EXPECT_EQ(saved, QStringList {"Database=other.sqlite"});

    FParent.resize(640, 300);
    FGate.RepaintConnectDialog();
    EXPECT_EQ(page->width(), 640);
}

// No failure inside the library may cross its C boundary.
TEST(FendalEntries, BadArgumentsAnswerNothing)
{
    QLibrary library(NUV_APP_DIR "/DBGates/Fendal.so");
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    auto fieldsbytable = reinterpret_cast<decltype(&::fieldsbytable)>(library.resolve("fieldsbytable"));
    auto getsqlvalues = reinterpret_cast<decltype(&::getsqlvalues)>(library.resolve("getsqlvalues"));
    auto showresult = reinterpret_cast<decltype(&::showresult)>(library.resolve("showresult"));
    auto loadinfo = reinterpret_cast<decltype(&::loadinfo)>(library.resolve("loadinfo"));
    auto disconnectbase = reinterpret_cast<decltype(&::disconnectbase)>(library.resolve("disconnectbase"));
    ASSERT_TRUE(fieldsbytable && getsqlvalues && showresult && loadinfo && disconnectbase);
    // Nothing of the library's own code is exported beside the entries.
    EXPECT_EQ(library.resolve("_Z19RewriteDateLiteralsRK7QString"), nullptr);

    disconnectbase();
    char* text = reinterpret_cast<char*>(1);
    fieldsbytable(nullptr, &text);
    EXPECT_EQ(text, nullptr);
    fieldsbytable("Orders", nullptr);
    char* values = reinterpret_cast<char*>(1);
    char* items = reinterpret_cast<char*>(1);
    getsqlvalues("SELECT 1", &values, &items);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(showresult(nullptr, "SELECT 1", ""), -1);
    loadinfo(nullptr);
}
