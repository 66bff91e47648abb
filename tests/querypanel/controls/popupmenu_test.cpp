#include "querypanel/controls/popupmenu.h"

#include "querypanel/controls/dropdownpopup.h"
#include "tests/querypanel/controls/hostwindow.h"

namespace {

// The lengths of the columns that the breaks of an item list make.
QList<int> Columns(const TZMenuItem& List)
{
    QList<int> columns;
    for (int i = 0; i < List.Count(); ++i) {
        if (i == 0 || List.Items(i)->Break() != mbNone)
            columns.append(0);
        ++columns.last();
    }
    return columns;
}

void Fill(TZMenuItem& List, int Count)
{
    for (int i = 0; i < Count; ++i)
        List.Add(QString::number(i));
}

TEST(ZPopupMenu, SplitsLongListsIntoColumns)
{
    struct Case {
        int Count;
        TZPopupSplitType Split;
        QList<int> Expected;
    };
    const Case cases[] = {
        {100, pstFillFirst, {40, 40, 20}},
        {100, pstBalanced, {34, 34, 32}},
        {80, pstFillFirst, {40, 40}},
        {40, pstBalanced, {20, 20}},
        {40, pstFillFirst, {40}},
        {39, pstBalanced, {39}},
    };
    for (const Case& c : cases) {
        TZPopupMenu menu;
        menu.SetPopupSplitType(c.Split);
        Fill(menu.Items(), c.Count);
        menu.SplitIntoColumns(40);
        EXPECT_EQ(Columns(menu.Items()), c.Expected) << c.Count << " " << c.Split;
    }
}

TEST(ZPopupMenu, SplitClearsOldBreaksAndReachesSubmenus)
{
    TZPopupMenu menu;
    menu.SetBreakType(mbBreak);
    Fill(menu.Items(), 3);
    menu.Items().Items(1)->SetBreak(mbBarBreak);
    Fill(*menu.Items().Items(2), 5);
    menu.SplitIntoColumns(2);
    EXPECT_EQ(Columns(menu.Items()), QList<int>({2, 1}));
    EXPECT_EQ(menu.Items().Items(2)->Break(), mbBreak);
    EXPECT_EQ(Columns(*menu.Items().Items(2)), QList<int>({2, 2, 1}));
}

TEST(ZPopupMenu, KeysWalkIntoSubmenusAndChoose)
{
    HostWindow host;
    TZPopupMenu menu;
    QStringList clicked;
    auto item = [&](TZMenuItem& Parent, const QString& Caption) {
        Parent.Add(Caption)->OnClick = [&](TZMenuItem* Sender) { clicked << Sender->Caption(); };
    };
    item(menu.Items(), "first");
    menu.Items().Add("-");
    TZMenuItem* group = menu.Items().Add("group");
    item(*group, "inner 1");
    item(*group, "inner 2");

    OnPopup([](QWidget* Popup) {
        QTest::keyClick(Popup, Qt::Key_Up);  // from nothing to the last item, over the line
        QTest::keyClick(Popup, Qt::Key_Right);
        QWidget* submenu = QApplication::activePopupWidget();
        EXPECT_NE(submenu, Popup);
        QTest::keyClick(submenu, Qt::Key_Down);
        QTest::keyClick(submenu, Qt::Key_Return);
    });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked, QStringList({"inner 2"}));
    EXPECT_FALSE(menu.IsOpen());

    OnPopup([](QWidget* Popup) { QTest::keyClick(Popup, Qt::Key_Escape); });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked.size(), 1) << "Esc chooses nothing";

    OnPopup([](QWidget* Popup) {
        QTest::mouseClick(Popup, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the click closed the menu";
    });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked.size(), 1) << "a click outside chooses nothing";
    EXPECT_FALSE(menu.IsOpen());

    OnPopup([](QWidget* Popup) { QTest::mouseClick(Popup, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8)); });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked, QStringList({"inner 2", "first"})) << "a click on an item chooses it";
}

struct PopupFixture : ::testing::Test {
    HostWindow Host;
    QStringList Events;

    TDropDownPopup* Make(int MaxItemCount)
    {
        auto* label = new TDropDownPopup;
        label->SetMaxItemCount(MaxItemCount);
        label->AfterDropDown = [this](TDropDownLabel*) { Events << "AfterDropDown"; };
        label->AfterDropUp
            = [this](TDropDownLabel*, bool Accepted) { Events << (Accepted ? "Accepted" : "Discarded"); };
        return Host.Place(label, {20, 20});
    }
};

TEST_F(PopupFixture, MaxItemCountBreaksColumnsAndEscDiscardsOnce)
{
    TDropDownPopup* label = Make(2);
    for (int i = 0; i < 5; ++i)
        label->AddItem("", QString("v%1").arg(i), QString("Item %1").arg(i));
    OnPopup([](QWidget* Popup) { QTest::keyClick(Popup, Qt::Key_Escape); });
    Click(label);
    EXPECT_EQ(Columns(label->Menu()->Items()), QList<int>({2, 2, 1}));
    EXPECT_FALSE(label->Menu()->FitToScreen());
    EXPECT_EQ(Events, QStringList({"Discarded"})) << "a menu closes within the drop-down: no AfterDropDown";
    EXPECT_FALSE(label->Dropped());

    TDropDownPopup* fitting = Make(0);
    fitting->SetValues({"a", "b", "c", "d", "e"});
    fitting->SetItems({"A", "B", "C", "D", "E"});
    OnPopup([](QWidget* Popup) { QTest::keyClick(Popup, Qt::Key_Escape); });
    Click(fitting);
    EXPECT_TRUE(fitting->Menu()->FitToScreen());
    EXPECT_EQ(Columns(fitting->Menu()->Items()), QList<int>({5})) << "one default group, no header";
}

TEST_F(PopupFixture, NamedGroupsCascadeBesideUnnamedItems)
{
    TDropDownPopup* label = Make(0);
    label->AddItem("Orders", "o.date", "Order date");
    label->AddItem("Customers", "c.name", "Name");
    label->AddItem("", "total", "Total & tax");
    label->AddItem("Orders", "o.ship", "Shipped");
    label->OnGetGroupImageIndex = [](const QString& Group, int& Index) { Index = Group.size(); };
    label->OnGetItemImageIndex
        = [](const QString&, const QString& Item, int& Index) { Index = -int(Item.size()); };
    OnPopup([](QWidget* Popup) {
        QTest::keyClick(Popup, Qt::Key_Down);
        QTest::keyClick(Popup, Qt::Key_Return);  // opens the Orders submenu
        QWidget* submenu = QApplication::activePopupWidget();
        QTest::keyClick(submenu, Qt::Key_Down);
        QTest::keyClick(submenu, Qt::Key_Return);
    });
    Click(label);
    const TZMenuItem& top = label->Menu()->Items();
    ASSERT_EQ(top.Count(), 3);
    EXPECT_EQ(top.Items(0)->Caption(), "Orders");
    EXPECT_EQ(top.Items(0)->ImageIndex(), 6);
    EXPECT_EQ(top.Items(0)->Count(), 2);
    EXPECT_EQ(top.Items(0)->Items(1)->Tag(), 3);
    EXPECT_EQ(top.Items(0)->Items(1)->ImageIndex(), -7);
    EXPECT_EQ(top.Items(1)->Caption(), "Customers");
    EXPECT_EQ(top.Items(2)->Caption(), "Total && tax");
    EXPECT_EQ(top.Items(2)->Count(), 0);

    EXPECT_EQ(label->ItemIndex(), 3);
    EXPECT_EQ(label->Value(), "o.ship");
    EXPECT_EQ(label->Caption(), "Shipped");
    EXPECT_EQ(Events, QStringList({"Accepted"}));
}

// Guards against a use of freed memory when choosing an item frees the label and its menu.
TEST_F(PopupFixture, AHandlerMayFreeTheLabelWhenAnItemIsChosen)
{
    QPointer<TDropDownPopup> label = Make(0);
    label->AddItem("", "v", "Delete me");
    label->AfterDropUp = [](TDropDownLabel* Sender, bool) { delete Sender; };
    OnPopup([](QWidget* Popup) {
        QTest::keyClick(Popup, Qt::Key_Down);
        QTest::keyClick(Popup, Qt::Key_Return);
    });
    Click(label);
    EXPECT_TRUE(label.isNull());
}

}  // namespace
