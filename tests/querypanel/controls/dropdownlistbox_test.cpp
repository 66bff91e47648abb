#include "querypanel/controls/dropdownlistbox.h"

#include "querypanel/controls/checklistbox.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QListWidget>

namespace {

struct ListBoxFixture : ::testing::Test {
    HostWindow Host {QSize(400, 300)};
    QWidget* Inner = new QWidget(&Host.Window);  // the label's parent lies within the window

    ListBoxFixture()
    {
        Inner->setGeometry(10, 20, 380, 270);
        Inner->show();
    }

    template <typename T>
    T* Make(QPoint At, int Count)
    {
        auto* label = new T;
        for (int i = 1; i <= Count; ++i)
            label->AddItem("", QString("v%1").arg(i), QString("Item %1").arg(i));
        Host.PlaceLabel(label, At)->setParent(Inner);
        label->show();
        return label;
    }
    // The label's position on the window.
    QRect OnWindow(const QWidget* Label) const
    {
        return QRect(Inner->mapTo(&Host.Window, Label->pos()), Label->size());
    }
    static void ClickRow(QListWidget* List, int Row)
    {
        QTest::mouseClick(
            List->viewport(), Qt::LeftButton, Qt::NoModifier, List->visualItemRect(List->item(Row)).center());
    }
};

// The list opens on the window, so that the label's parent does not clip it, at where the label
// is now (a scrolling parent moves its content after the list was made).
TEST_F(ListBoxFixture, OpensBelowTheLabelOrAboveWhenThereIsMoreRoom)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Inner->move(15, 25);
    Click(label);
    QListWidget* list = label->ListBox();
    ASSERT_TRUE(list->isVisible() && list->hasFocus());
    EXPECT_EQ(list->parentWidget(), &Host.Window);
    EXPECT_EQ(list->x(), OnWindow(label).left());
    EXPECT_GT(list->y(), OnWindow(label).top());
    QTest::keyClick(list, Qt::Key_Escape);

    auto* low = Make<TDropDownListBox>({30, 240}, 5);
    Click(low);
    EXPECT_EQ(low->ListBox()->geometry().bottom() + 1, OnWindow(low).top());

    auto* crowded = Make<TDropDownListBox>({30, 150}, 40);
    Click(crowded);
    EXPECT_EQ(crowded->ListBox()->geometry(),
        QRect(OnWindow(crowded).left(), 2, crowded->ListBox()->width(), OnWindow(crowded).top() - 4))
        << "too long for either side: the list fills the room above";
}

// Esc never accepts, even after the current row moved.
TEST_F(ListBoxFixture, ClickAndEnterAcceptEscDiscards)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Click(label);
    QListWidget* list = label->ListBox();
    ClickRow(list, 1);
    EXPECT_EQ(label->Caption(), "Item 2");
    EXPECT_FALSE(list->isVisible());
    Click(label);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(label->Value(), "v2");
    Click(label);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(label->Value(), "v1");
    EXPECT_EQ(Host.Closes, QStringList({"Accepted", "Discarded", "Accepted"}));
}

// Guards against a list that only hid on losing the focus, so that the next click merely closed up.
TEST_F(ListBoxFixture, LeavingTheListClosesUpAndTheNextClickDropsDown)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Click(label);
    Host.Other->setFocus();
    EXPECT_FALSE(label->Dropped());
    EXPECT_EQ(Host.Closes, QStringList({"Discarded"}));
    Click(label);
    EXPECT_TRUE(label->ListBox()->isVisible());
}

// A sorted row must still stand for its position in Items.
TEST_F(ListBoxFixture, SortedRowsFollowTheCaptionsIgnoringCase)
{
    auto* label = new TDropDownListBox;
    label->AddItems("", {"1", "2", "3", "4"}, {"beta", "Alpha", "alpha", "Gamma"});
    label->SetSortList(true);
    Host.Place(label, {30, 10});
    Click(label);
    EXPECT_EQ(label->ListBox()->item(3)->text(), "Gamma");
    QTest::keyClick(label->ListBox(), Qt::Key_Down);
    QTest::keyClick(label->ListBox(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "2");
}

// The caption follows the value's order, the stored value the rows'; a value the caption does not
// show is dropped; a click on a row does not close the list, Space toggles the row.
TEST_F(ListBoxFixture, CheckListShowsCaptionsInValueOrderAndStoresRowOrder)
{
    auto* label = Make<TDropDownCheckListBox>({30, 10}, 3);
    label->SetValue("v2,nowhere");
    EXPECT_EQ(label->Value(), "v2");
    label->SetValue("V3,v1");
    EXPECT_EQ(label->Caption(), "\"Item 3\",\"Item 1\"");
    Click(label);
    auto* list = label->ListBox();
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    ClickRow(list, 1);
    EXPECT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(label->Value(), "v1,v2,v3");
    EXPECT_EQ(label->Caption(), "\"Item 1\",\"Item 2\",\"Item 3\"");
}

}  // namespace
