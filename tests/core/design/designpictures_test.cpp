#include "core/design/designpictures.h"

#include "core/model/dbstructure.h"
#include "tests/core/model/modeltesting.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Answers the columns of "<current database>/<table>" first, then of the table alone; a table
// named in Failing raises.
class DatabasesInfo : public FakeDBInfo {
public:
    QStringList Failing;

    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        if (Failing.contains(TableName))
            throw rtl::Exception("no table " + TableName);
        const QString qualified = GetCurrentDBName() + u'/' + TableName;
        for (const TDBFieldInfo& column : Columns.value(Columns.contains(qualified) ? qualified : TableName))
            FieldList.Add(new TDBFieldInfo(column));
    }
};

QList<TDBFieldInfo> ColumnsOf(const QStringList& Names)
{
    QList<TDBFieldInfo> columns;
    for (const QString& name : Names)
        columns.append(TDBFieldInfo {name, 4, ftInteger});
    return columns;
}

QStringList Rows(const QListWidget* List)
{
    QStringList rows;
    for (int i = 0; i < List->count(); ++i)
        rows.append(List->item(i)->text());
    return rows;
}

// Table windows and link pictures on a bare area that lies on no panel.
class DesignPicturesTest : public testing::Test {
protected:
    DesignPicturesTest()
    {
        Info.Columns["Orders"] = ColumnsOf({"OrderID", "CustomerID", "Freight"});
        Info.Columns["Customers"] = ColumnsOf({"CustomerID", "CompanyName"});
        Model.SetDatabaseInfo(&Info);
        Area.resize(700, 500);
        Area.show();
    }

    TDSTable* Table(const QString& Name, const QRect& Place)
    {
        TDSTable* table = Model.Tables()[Model.AddTable(Name, Name)];
        table->SetDsgnPos(Place);
        return table;
    }
    TTableRep* Window(TDSTable* Table)
    {
        auto* window = new TTableRep;
        window->SetTable(Table);
        window->SetParent(&Area);
        window->show();
        return window;
    }
    TDSLink* Link(TDSTable* Table1, const QStringList& Fields1, TDSTable* Table2, const QStringList& Fields2)
    {
        auto* link = new TDSLink;
        link->SetTable1(Table1);
        link->SetTable2(Table2);
        link->SetFields1(Fields1);
        link->SetFields2(Fields2);
        Model.AddLink(link);
        return link;
    }
    TLinkRep* Picture(TDSLink* Link, TTableRep* Window1, TTableRep* Window2)
    {
        auto* rep = new TLinkRep;
        rep->SetParent(&Area);
        rep->SetLink(Link, Window1, Window2);
        rep->show();
        return rep;
    }

    DatabasesInfo Info;
    TZCustomDBStructure Model;
    QWidget Area;
};

TEST_F(DesignPicturesTest, EachSideLeavesTowardsTheOtherWindowAndOverlappingWindowsBothLeaveLeft)
{
    TTableRep* customers = Window(Table("Customers", {12, 10, 110, 160}));
    TTableRep* orders = Window(Table("Orders", {200, 10, 110, 160}));
    TLinkRep* rep = Picture(
        Link(orders->Table(), {"CustomerID"}, customers->Table(), {"CustomerID"}), orders, customers);
    EXPECT_EQ(rep->Nodes1()[0]->X, 199);
    EXPECT_EQ(rep->Nodes1()[0]->Dir, -1);
    EXPECT_EQ(rep->Nodes2()[0]->X, 123);
    EXPECT_EQ(rep->Nodes2()[0]->Dir, 1);

    customers->move(150, 10);
    rep->UpdateNodes();
    EXPECT_EQ(rep->Nodes1()[0]->X, 199);
    EXPECT_EQ(rep->Nodes1()[0]->Dir, -1);
    EXPECT_EQ(rep->Nodes2()[0]->X, 149);
    EXPECT_EQ(rep->Nodes2()[0]->Dir, -1);

    // Repeated operands share a node; the hit test looks at the pairs both sides have.
    TLinkRep* twice = Picture(Link(orders->Table(), {"CustomerID", "customerid"}, customers->Table(),
                                  {"CustomerID", "CompanyName"}),
        orders, customers);
    EXPECT_EQ(twice->Nodes1().Count(), 1);
    EXPECT_EQ(twice->Nodes2().Count(), 2);
}

TEST_F(DesignPicturesTest, PointsWithinThreePixelsOfTheLineAreOnIt)
{
    // Row 0 of both windows at the same height: the line between the buses is level.
    TTableRep* customers = Window(Table("Customers", {12, 10, 110, 160}));
    TTableRep* orders = Window(Table("Orders", {300, 10, 110, 160}));
    TLinkRep* rep
        = Picture(Link(customers->Table(), {"CustomerID"}, orders->Table(), {"OrderID"}), customers, orders);
    const int y = rep->Nodes1()[0]->Y;
    ASSERT_EQ(rep->Nodes2()[0]->Y, y);
    EXPECT_TRUE(rep->IsPointOnLink(200, y + 3));
    EXPECT_TRUE(rep->IsPointOnLink(200, y - 3));
    EXPECT_FALSE(rep->IsPointOnLink(200, y + 4));
    EXPECT_FALSE(rep->IsPointOnLink(200, y - 4));
    // Beyond the bus points the line ends.
    EXPECT_FALSE(rep->IsPointOnLink(128, y));
    EXPECT_TRUE(rep->IsPointOnLink(131, y));

    TLinkRepList list;
    list.Add(new TLinkRep);
    const int index = list.Add(rep);
    TLinkRep* found = nullptr;
    EXPECT_TRUE(list.FindLinkAt(250, y + 1, found));
    EXPECT_EQ(found, rep);
    EXPECT_EQ(list.IndexOfLink(rep->Link()), index);
    EXPECT_FALSE(list.FindLinkAt(250, y + 40, found));
    EXPECT_EQ(found, nullptr);
}

TEST_F(DesignPicturesTest, LinkEndsFollowTheirRowsOrStickToTheWindowsEdges)
{
    QStringList many;
    for (int i = 0; i < 30; ++i)
        many.append(QStringLiteral("F%1").arg(i));
    Info.Columns["Orders"] = ColumnsOf(many);
    TTableRep* orders = Window(Table("Orders", {40, 30, 110, 120}));
    QListWidget* list = orders->FieldList();
    const QRect row1 = list->visualItemRect(list->item(1));
    const int middle1 = list->viewport()->mapTo(&Area, QPoint(0, row1.center().y())).y();
    EXPECT_NEAR(orders->GetFieldNodeY("F1"), middle1, 1);
    // Operands are compared ignoring case; "fld:" names the field, "val:" is a value.
    EXPECT_EQ(orders->GetFieldNodeY("f1"), orders->GetFieldNodeY("F1"));
    EXPECT_EQ(orders->GetFieldNodeY("fld:F1"), orders->GetFieldNodeY("F1"));
    EXPECT_EQ(orders->GetFieldNodeY("val:5"), 30 + 10);
    EXPECT_EQ(orders->GetFieldNodeY("Missing"), 30 + 10);
    // Out of view below, then scrolled out above.
    EXPECT_EQ(orders->GetFieldNodeY("F29"), 30 + 120 - 5);
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    EXPECT_EQ(orders->GetFieldNodeY("F1"), 30 + 10);
    const QRect row29 = list->visualItemRect(list->item(29));
    EXPECT_NEAR(
        orders->GetFieldNodeY("F29"), list->viewport()->mapTo(&Area, QPoint(0, row29.center().y())).y(), 1);
}

TEST_F(DesignPicturesTest, EveryWindowListsItsOwnDatabasesFieldsAndLeavesTheCurrentOneAlone)
{
    Info.SetCurrentDBName("Main");
    Info.Columns["Sales/Items"] = ColumnsOf({"SaleID", "Amount"});
    Info.Columns["Stock/Items"] = ColumnsOf({"StockID", "Shelf"});
    Info.Columns["Items"] = ColumnsOf({"MainID"});
    TDSTable* sales = Table("Items", {});
    sales->SetDBName("Sales");
    TDSTable* stock = Table("Items", {});
    stock->SetDBName("Stock");
    TDSTable* main = Table("Items", {});
    EXPECT_EQ(Rows(Window(sales)->FieldList()), QStringList({"SaleID", "Amount"}));
    EXPECT_EQ(Rows(Window(stock)->FieldList()), QStringList({"StockID", "Shelf"}));
    EXPECT_EQ(Rows(Window(main)->FieldList()), QStringList({"MainID"}));
    EXPECT_EQ(Info.GetCurrentDBName(), "Main");

    Info.Failing = QStringList {"Broken"};
    EXPECT_EQ(
        Rows(Window(Table("Broken", {}))->FieldList()), QStringList({"Error! :", "\"no table Broken\""}));
    EXPECT_EQ(Info.GetCurrentDBName(), "Main");

    Info.Connected = false;
    EXPECT_EQ(Rows(Window(Table("Orders", {}))->FieldList()), QStringList({"<Not connected>"}));
    TZCustomDBStructure offline;
    TDSTable* table = offline.Tables()[offline.AddTable("Orders", "Orders")];
    EXPECT_EQ(Rows(Window(table)->FieldList()), QStringList({"<Not connected>"}));
}

TEST_F(DesignPicturesTest, WindowTakesItsStoredPlaceAndCannotBeDraggedAboveTheTop)
{
    TTableRep* unsized = Window(Table("Customers", {30, 40, 0, 0}));
    EXPECT_EQ(unsized->geometry(), QRect(30, 40, 110, 160));
    TTableRep* orders = Window(Table("Orders", {200, 50, 150, 90}));
    EXPECT_EQ(orders->geometry(), QRect(200, 50, 150, 90));

    // Dragged by its caption above and left of the origin.
    QTest::mousePress(orders, Qt::LeftButton, {}, QPoint(30, 8));
    QTest::mouseMove(orders, QPoint(-300, -200));
    QTest::mouseRelease(orders, Qt::LeftButton, {}, QPoint(-300, -200));
    EXPECT_EQ(orders->pos(), QPoint(0, 0));
    EXPECT_EQ(orders->Table()->DsgnPos(), QRect(0, 0, 150, 90));

    // Sized by its bottom right corner.
    QTest::mousePress(orders, Qt::LeftButton, {}, QPoint(149, 89));
    QTest::mouseMove(orders, QPoint(169, 119));
    QTest::mouseRelease(orders, Qt::LeftButton, {}, QPoint(169, 119));
    EXPECT_EQ(orders->Table()->DsgnPos(), QRect(0, 0, 170, 120));
}

}  // namespace
