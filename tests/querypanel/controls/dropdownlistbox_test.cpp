#include "querypanel/controls/dropdownlistbox.h"

#include "querypanel/controls/checklistbox.h"
#include "tests/querypanel/controls/hostwindow.h"

#include <QListWidget>

namespace {

struct ListBoxFixture : ::testing::Test {
    HostWindow Host {QSize(400, 300)};
    QWidget* Inner = new QWidget(&Host.Window);  // the label's parent lies within the window
    QStringList Events;

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
        label->AfterDropUp
            = [this](TDropDownLabel*, bool Accepted) { Events << (Accepted ? "Accepted" : "Discarded"); };
        label->setParent(Inner);
        label->move(At);
        label->show();
        return label;
    }
    // The label's position on the window.
    QRect OnWindow(const QWidget* Label) const
    {
        return QRect(Inner->mapTo(&Host.Window, Label->pos()), Label->size());
    }
};

TEST_F(ListBoxFixture, OpensBelowTheLabelOrAboveWhenThereIsMoreRoom)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Inner->move(15, 25);  // as a scrolling parent moves its content after the list was made
    Click(label);
    QListWidget* list = label->ListBox();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->parentWidget(), &Host.Window);
    EXPECT_TRUE(list->hasFocus());
    const QRect at = OnWindow(label);
    EXPECT_EQ(list->pos(), QPoint(at.left(), at.top() + label->fontMetrics().height() + 2));
    EXPECT_EQ(list->height(), list->sizeHintForRow(0) * 3 + 4);
    QTest::keyClick(list, Qt::Key_Escape);

    auto* low = Make<TDropDownListBox>({30, 240}, 5);
    Click(low);
    EXPECT_EQ(low->ListBox()->geometry().bottom() + 1, OnWindow(low).top())
        << "the list ends at the label's top";

    auto* crowded = Make<TDropDownListBox>({30, 150}, 40);
    Click(crowded);
    EXPECT_EQ(crowded->ListBox()->geometry(),
        QRect(OnWindow(crowded).left(), 2, crowded->ListBox()->width(), OnWindow(crowded).top() - 4))
        << "too long for either side: the list fills the room above";
}

TEST_F(ListBoxFixture, ClickEnterAndEscClose)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Click(label);
    QListWidget* list = label->ListBox();
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(label->Value(), "v2");
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
    EXPECT_EQ(Events, QStringList({"Accepted", "Discarded", "Accepted"}));
}

// Guards against a list that only hid on losing the focus, so that the next click merely closed up.
TEST_F(ListBoxFixture, LeavingTheListClosesUpAndTheNextClickDropsDown)
{
    auto* label = Make<TDropDownListBox>({30, 10}, 3);
    Click(label);
    Host.Other->setFocus();
    EXPECT_FALSE(label->Dropped());
    EXPECT_EQ(Events, QStringList({"Discarded"}));
    Click(label);
    EXPECT_TRUE(label->ListBox()->isVisible());
}

TEST_F(ListBoxFixture, SortedRowsFollowTheCaptionsIgnoringCase)
{
    auto* label = new TDropDownListBox;
    label->AddItems("", {"1", "2", "3", "4"}, {"beta", "Alpha", "alpha", "Gamma"});
    label->SetSortList(true);
    Host.Place(label, {30, 10});
    Click(label);
    QStringList rows;
    for (int i = 0; i < label->ListBox()->count(); ++i)
        rows << label->ListBox()->item(i)->text();
    EXPECT_EQ(rows, QStringList({"Alpha", "alpha", "beta", "Gamma"}));
    QTest::keyClick(label->ListBox(), Qt::Key_Down);
    QTest::keyClick(label->ListBox(), Qt::Key_Return);
    EXPECT_EQ(label->Value(), "2") << "a row stands for its position in Items";
}

TEST_F(ListBoxFixture, CheckListShowsCaptionsInValueOrderAndStoresRowOrder)
{
    auto* label = Make<TDropDownCheckListBox>({30, 10}, 3);
    label->SetValue("V3,v1");
    EXPECT_EQ(label->Caption(), "\"Item 3\",\"Item 1\"");
    label->SetValue("v2,nowhere");
    EXPECT_EQ(label->Value(), "v2") << "a value the caption does not show is dropped";
    EXPECT_EQ(label->Caption(), "\"Item 2\"");
    label->SetValue("");
    EXPECT_EQ(label->Caption(), "_____");

    label->SetValue("v3,v1");
    Click(label);
    auto* list = label->ListBox();
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(list->item(1)).center());
    EXPECT_TRUE(list->isVisible()) << "a click does not close a check list";
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(label->Value(), "v1,v3");
    EXPECT_EQ(label->Caption(), "\"Item 1\",\"Item 3\"");
}

TEST_F(ListBoxFixture, SpaceTogglesEverySelectedRow)
{
    auto* label = Make<TDropDownCheckListBox>({30, 10}, 3);
    label->SetValue("v2");
    Click(label);
    auto* list = label->ListBox();
    list->setCurrentRow(0);
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
}

}  // namespace
