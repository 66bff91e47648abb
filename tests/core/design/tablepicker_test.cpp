#include "core/design/tablepicker.h"

#include "core/model/dbstructure.h"
#include "tests/core/design/designtesting.h"
#include "tests/support/tabkey.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs Action on the picker once it is shown modally; Action closes it.
void WhenOpen(std::function<void(TdlgListPnl&)> Action)
{
    QTimer::singleShot(0, [Action] {
        auto* picker = qobject_cast<TdlgListPnl*>(QApplication::activeModalWidget());
        ASSERT_NE(picker, nullptr);
        Action(*picker);
        EXPECT_FALSE(picker->isVisible());
    });
}

class TablePickerTest : public testing::Test {
protected:
    TablePickerTest()
    {
        info.Tables["main"] = QStringList {"orders", "Customers", "b", "A"};
        info.Tables["north"] = QStringList {"Stock"};
        info.SetCurrentDBName("main");
    }

    PickerDBInfo info;
    QStringList names {"kept"};
    QString database {"given"};
};

// Without a connected database the names are typed: each line counts once, trimmed, without the
// empty ones; the database row and the box stay hidden and bit 1 comes back cleared.
TEST_F(TablePickerTest, MemoLinesAreTheNamesWithoutADatabase)
{
    info.Connected = false;
    uint8_t flags = lpfShowAutoAddFields | lpfAutoAddFields | lpfMultiSelect;
    WhenOpen([](TdlgListPnl& p) {
        EXPECT_FALSE(p.lbList()->isVisible());
        EXPECT_FALSE(p.pnlGroups()->isVisible());
        EXPECT_FALSE(p.pnlAutoAddFields()->isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&p));
        ExpectTabLeaves({p.memList()});
        p.memList()->setPlainText("  Orders \n\nCustomers\n\t\nORDERS\nCustomers ");
        p.OK()->click();
    });
    EXPECT_TRUE(SelectDBTables(&info, names, database, flags));
    EXPECT_EQ(names, QStringList({"Orders", "Customers"}));
    EXPECT_EQ(flags, lpfShowAutoAddFields | lpfMultiSelect);
    EXPECT_EQ(database, "main");
}

// The list is sorted ignoring case; with bit 2 clear a second click replaces the first choice,
// with bit 2 set both count, in list order; a double-click accepts with the rows chosen then.
TEST_F(TablePickerTest, RowsChosenFollowTheMultiSelectBit)
{
    uint8_t flags = lpfShowAutoAddFields;
    WhenOpen([](TdlgListPnl& p) {
        EXPECT_EQ(Rows(p.lbList()), QStringList({"A", "b", "Customers", "orders"}));
        EXPECT_TRUE(p.pnlAutoAddFields()->isVisible());
        ClickRow(p.lbList(), 3);
        ClickRow(p.lbList(), 1, Qt::ControlModifier);
        p.chbAutoAddFields()->click();
        p.OK()->click();
    });
    EXPECT_TRUE(SelectDBTables(&info, names, database, flags));
    EXPECT_EQ(names, QStringList({"b"}));
    EXPECT_EQ(flags, lpfShowAutoAddFields | lpfAutoAddFields);

    flags = lpfMultiSelect | lpfAutoAddFields;
    WhenOpen([](TdlgListPnl& p) {
        ClickRow(p.lbList(), 3);
        ClickRow(p.lbList(), 0, Qt::ControlModifier);
        ClickRow(p.lbList(), 2, Qt::ControlModifier);
        QTest::mouseDClick(p.lbList()->viewport(), Qt::LeftButton, Qt::ControlModifier,
            p.lbList()->visualItemRect(p.lbList()->item(2)).center());
    });
    EXPECT_TRUE(SelectDBTables(&info, names, database, flags));
    EXPECT_EQ(names, QStringList({"A", "Customers", "orders"}));
}

// A database name typed and left reloads the tables; Cancel then puts the shared database
// information back and changes none of the caller's values, while OK keeps the choice.
TEST_F(TablePickerTest, TypedDatabaseReloadsAndCancelRestores)
{
    uint8_t flags = lpfMultiSelect;
    const auto typeNorth = [](TdlgListPnl& p) {
        p.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
        p.cbGroups()->setFocus();
        p.cbGroups()->lineEdit()->selectAll();
        QTest::keyClicks(p.cbGroups()->lineEdit(), "north");
        p.OK()->setFocus();
        EXPECT_EQ(Rows(p.lbList()), QStringList({"Stock"}));
        ClickRow(p.lbList(), 0);
        p.cbGroups()->setFocus();
        p.OK()->setFocus();
        EXPECT_TRUE(p.lbList()->item(0)->isSelected()) << "the same database is not listed again";
    };
    WhenOpen([&](TdlgListPnl& p) {
        EXPECT_EQ(p.cbGroups()->currentText(), "main");
        typeNorth(p);
        p.pbCancel()->click();
    });
    EXPECT_FALSE(SelectDBTables(&info, names, database, flags));
    EXPECT_EQ(info.GetCurrentDBName(), "main");
    EXPECT_EQ(names, QStringList({"kept"}));
    EXPECT_EQ(database, "given");
    EXPECT_EQ(flags, lpfMultiSelect);

    WhenOpen([&](TdlgListPnl& p) {
        typeNorth(p);
        p.OK()->click();
    });
    EXPECT_TRUE(SelectDBTables(&info, names, database, flags));
    EXPECT_EQ(database, "north");
    EXPECT_EQ(info.GetCurrentDBName(), "north");

    EXPECT_EQ(StructError([&] { SelectDBTables(nullptr, names, database, flags); }),
        TStructError(11, "DatabaseInfo is not specified"));
}

// The fields of the chosen table are asked by its owner name in its own database, which is made
// current only for the lookup; an unknown caption chooses no table and asks for an empty name.
TEST_F(TablePickerTest, TableFieldsComeFromTheChosenTable)
{
    TZCustomDBStructure model;
    model.SetDatabaseInfo(&info);
    TDMOptions options;
    options.SetDefaultDBOwner("dbo");
    model.SetDMOptions(options);
    AddTestTable(model, "Orders")->SetDBName("north");
    AddTestTable(model, "alpha");
    info.Columns["dbo.Orders"] = {{"Total", 8, ftFloat}, {"id", 4, ftInteger}};

    QString table = "Orders - Orders";
    WhenOpen([&](TdlgListPnl& p) {
        EXPECT_EQ(p.cbGroups()->itemText(0), "alpha - alpha");
        EXPECT_EQ(Rows(p.lbList()), QStringList({"id", "Total"}));
        EXPECT_EQ(info.GetCurrentDBName(), "main");
        ClickRow(p.lbList(), 0);
        ClickRow(p.lbList(), 1, Qt::ControlModifier);
        p.OK()->click();
    });
    EXPECT_TRUE(SelectTableFields(&model, names, table, lpfMultiSelect));
    EXPECT_EQ(names, QStringList({"id", "Total"}));
    EXPECT_EQ(table, "Orders - Orders");
    EXPECT_EQ(info.FieldsAsked, QStringList({"north/dbo.Orders"}));

    table = "Missing";
    WhenOpen([&](TdlgListPnl& p) {
        EXPECT_EQ(p.cbGroups()->currentIndex(), -1);
        p.OK()->click();
    });
    EXPECT_TRUE(SelectTableFields(&model, names, table, 0));
    EXPECT_EQ(info.FieldsAsked.last(), "main/");
    EXPECT_TRUE(table.isEmpty());
}

}  // namespace
