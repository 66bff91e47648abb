#include "core/gate/dbgate.h"
#include "gates/fendal/fendalgate.h"
#include "tests/support/currentdir.h"

#include <QAbstractItemModel>
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

// The number of rows SQL gives on a connection of the test's own, to know what the gate should show.
int SampleCount(const QString& SQL)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "expected");
        db.setDatabaseName(SampleDatabase);
        db.setConnectOptions("QSQLITE_OPEN_READONLY");
        QSqlQuery query(db.open() ? "SELECT count(*) FROM (" + SQL + ")" : QString(), db);
        if (query.next())
            count = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase("expected");
    return count;
}

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

TEST_F(FendalTest, AnswersDatabasesTablesViewsAndForeignKeysWithoutInternalTables)
{
    QStringList lines;
    FGate.GetDatabaseNames(lines);
    EXPECT_EQ(lines, QStringList {"main"});
    EXPECT_EQ(FGate.GetCurrentDBName(), "main");
    FGate.GetTableList(lines);
    EXPECT_EQ(lines,
        QStringList({"Categories", "Customers", "Employees", "Order Details", "Order Subtotals", "Orders",
            "Products", "Shippers", "Suppliers"}));
    EXPECT_EQ(FGate.GetFields("Order Details").Count(), 5);
    EXPECT_EQ(FGate.GetFields("No Such Table").Count(), 0);
    FGate.GetLinkList(lines);
    for (const char* link : {"Orders.CustomerID=Customers.CustomerID", "Order Details.OrderID=Orders.OrderID",
             "Employees.ReportsTo=Employees.EmployeeID"})
        EXPECT_TRUE(lines.contains(link)) << link;
    EXPECT_EQ(lines.size(), 8);
    FGate.SetCurrentDBName("other");
    FGate.GetTableList(lines);
    EXPECT_TRUE(lines.isEmpty());
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

TEST_F(FendalTest, JoinQueryShowsEveryRowWithTheCaptions)
{
    const int expected = SampleCount("SELECT o.OrderID FROM Orders o, Customers c"
                                     " WHERE o.CustomerID = c.CustomerID AND c.Country = 'Germany'");
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
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString() + "|"
            + model->headerData(1, Qt::Horizontal).toString(),
        "Company Name|Order");
    FParent.resize(500, 120);
    FGate.RepaintResult();
    EXPECT_EQ(View()->geometry(), FParent.rect());
}

// Dates are kept as yyyy-mm-dd texts; the program writes month/day/year literals.
TEST_F(FendalTest, DateConditionsCompareDates)
{
    const int after = SampleCount("SELECT OrderID FROM Orders WHERE date(OrderDate) > '1997-12-31'");
    const int fromDay = SampleCount("SELECT OrderID FROM Orders WHERE date(OrderDate) >= '1997-12-31'");
    ASSERT_GT(after, 0);
    ASSERT_LT(after, SampleCount("SELECT OrderID FROM Orders"));
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

// A file that is not a database used to connect and answer no tables; the reason of a failed
// connection used to stay inside the gate.
TEST_F(FendalTest, FilesThatAreNoDatabaseFailWithTheirReason)
{
    const struct {
        const char* Content;  // null: no file
        QString Reason;
    } cases[] = {
        {nullptr, "does not exist"},
        {"Name;Price\r\nTea;4\r\n", "file is not a database"},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString file = folder.filePath("shop.sqlite");
        if (c.Content) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(c.Content);
        }
        QStringList details {"Database=" + file};
        FGate.LoadInfo(details);
        QStringList tables;
        QString message;
        try {
            FGate.GetTables(tables);
        } catch (const EZDBGateError& e) {
            message = e.Message();
        }
        EXPECT_TRUE(message.startsWith("Can not connect to the database\n")) << message.toStdString();
        EXPECT_TRUE(message.contains(c.Reason)) << message.toStdString();
        // SQLite would make a new empty database of a missing file.
        EXPECT_EQ(QFile::exists(file), c.Content != nullptr);
    }
}

TEST_F(FendalTest, RelativePathResolvesAgainstTheApplicationFolder)
{
    QStringList details {"Database=dmodels/nwind/nwind.sqlite"};
    bool connected = false;
    {
        CurrentDirScope appDir(NUV_APP_DIR);
        ASSERT_TRUE(appDir.Entered());
        FGate.LoadInfo(details);
        FGate.Connect();
        connected = FGate.IsConnected();
    }
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
    char *values = reinterpret_cast<char*>(1), *items = reinterpret_cast<char*>(1);
    getsqlvalues("SELECT 1", &values, &items);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(items, nullptr);
    EXPECT_EQ(showresult(nullptr, "SELECT 1", ""), -1);
    loadinfo(nullptr);
}
