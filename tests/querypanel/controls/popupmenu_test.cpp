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
    const struct {
        int Count;
        TZPopupSplitType Split;
        QList<int> Expected;
    } cases[] = {
        {100, pstFillFirst, {40, 40, 20}},
        {100, pstBalanced, {34, 34, 32}},
        {40, pstBalanced, {20, 20}},
        {40, pstFillFirst, {40}},
    };
    for (const auto& c : cases) {
        TZPopupMenu menu;
        menu.SetPopupSplitType(c.Split);
        Fill(menu.Items(), c.Count);
        menu.SplitIntoColumns(40);
        EXPECT_EQ(Columns(menu.Items()), c.Expected) << c.Count << " " << c.Split;
    }
}

// A second split must not keep the breaks of the first; submenus are split as well.
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

// Keys skip separators and open submenus; a click outside closes the menu choosing nothing.
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

    OnPopup([](QWidget* Popup) {
        QTest::mouseClick(Popup, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the click closed the menu";
    });
    menu.Popup(10, 10);
    EXPECT_EQ(clicked.size(), 1) << "a click outside chooses nothing";
    EXPECT_FALSE(menu.IsOpen());
}

struct PopupFixture : ::testing::Test {
    HostWindow Host;

    TDropDownPopup* Make(int MaxItemCount)
    {
        auto* label = new TDropDownPopup;
        label->SetMaxItemCount(MaxItemCount);
        label->AfterDropDown = [this](TDropDownLabel*) { Host.Closes << "AfterDropDown"; };
        return Host.PlaceLabel(label, {20, 20});
    }
};

// Esc closes up once, discarding; a menu closes within the drop-down, so no AfterDropDown.
TEST_F(PopupFixture, MaxItemCountBreaksColumnsAndEscDiscardsOnce)
{
    TDropDownPopup* label = Make(2);
    for (int i = 0; i < 5; ++i)
        label->AddItem("", QString("v%1").arg(i), QString("Item %1").arg(i));
    OnPopup([](QWidget* Popup) { QTest::keyClick(Popup, Qt::Key_Escape); });
    Click(label);
    EXPECT_EQ(Columns(label->Menu()->Items()), QList<int>({2, 2, 1}));
    EXPECT_EQ(Host.Closes, QStringList({"Discarded"}));
    EXPECT_FALSE(label->Dropped());
}

// Groups keep the order they first appear in; an item keeps its position in Items; "&" stays literal.
TEST_F(PopupFixture, NamedGroupsCascadeBesideUnnamedItems)
{
    TDropDownPopup* label = Make(0);
    label->AddItem("Orders", "o.date", "Order date");
    label->AddItem("Customers", "c.name", "Name");
    label->AddItem("", "total", "Total & tax");
    label->AddItem("Orders", "o.ship", "Shipped");
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
    EXPECT_EQ(top.Items(0)->Count(), 2);
    EXPECT_EQ(top.Items(2)->Caption(), "Total && tax");
    EXPECT_EQ(label->ItemIndex(), 3);
    EXPECT_EQ(label->Caption(), "Shipped");
    EXPECT_EQ(Host.Closes, QStringList({"Accepted"}));
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
