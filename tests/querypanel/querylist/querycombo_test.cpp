#include "querypanel/querylist/querycombo.h"
#include "tests/querypanel/querylist/querylisttesting.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList Entries(const QComboBox& Combo)
{
    QStringList entries;
    for (int i = 0; i < Combo.count(); ++i)
        entries << Combo.itemText(i);
    return entries;
}

QStringList Names(const TZQueryBase& Base)
{
    QStringList names;
    for (int i = 0; i < Base.Count(); ++i)
        names << Base.Items(i)->Name();
    return names;
}

struct ComboFixture {
    QueryFolder Folder {3};
    TZQueryFileBase Base;
    TZQueryCombo Combo;
    int Changes = 0;

    ComboFixture()
    {
        Base.SetWorkDir(Folder.Dir.path());
        Combo.OnChange = [this](TZQueryCombo*) { ++Changes; };
        Combo.SetQueryBase(&Base);
        Base.Open();
    }
};

TEST(QueryComboTest, TheEntriesFollowTheBaseTheUsersChoiceMakesAQueryCurrentAndADeletionKeepsTheSelection)
{
    ComboFixture f;
    EXPECT_EQ(Entries(f.Combo), Names(f.Base));
    EXPECT_EQ(f.Combo.currentIndex(), 0);
    EXPECT_EQ(f.Changes, 0);

    f.Combo.setFocus();
    QTest::keyClick(&f.Combo, Qt::Key_Down);
    EXPECT_EQ(f.Base.ItemIndex(), 1);
    EXPECT_EQ(f.Changes, 1);

    f.Base.Items(2)->SetName("Renamed");
    EXPECT_EQ(f.Combo.itemText(2), "Renamed");
    EXPECT_EQ(f.Combo.currentIndex(), 1);
    EXPECT_EQ(f.Base.ItemIndex(), 1);
    EXPECT_EQ(f.Changes, 1);

    f.Base.SetItemIndex(2);
    EXPECT_EQ(f.Combo.currentIndex(), 2);
    EXPECT_EQ(f.Changes, 1);

    // Deleting an earlier query used to leave the selection on the query that moved into its place.
    const QString current = f.Base.CurrentItem()->Name();
    f.Base.Delete(0);
    EXPECT_EQ(Entries(f.Combo), Names(f.Base));
    EXPECT_EQ(f.Combo.currentText(), current);
    f.Base.Delete(f.Base.ItemIndex());
    EXPECT_EQ(f.Combo.currentIndex(), 0);
    EXPECT_EQ(f.Combo.currentText(), f.Base.CurrentItem()->Name());
}

TEST(QueryComboTest, ClosingEmptiesTheListAndAFreedBaseIsForgotten)
{
    auto f = std::make_unique<ComboFixture>();
    f->Base.Close();
    EXPECT_EQ(f->Combo.count(), 0);
    f->Base.Open();
    EXPECT_EQ(f->Combo.count(), 3);

    TZQueryCombo combo;
    auto base = std::make_unique<TZQueryFileBase>();
    base->SetWorkDir(f->Folder.Dir.path());
    base->Open();
    combo.SetQueryBase(base.get());
    EXPECT_EQ(combo.count(), 3);
    base.reset();
    EXPECT_EQ(combo.QueryBase(), nullptr);
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);  // picking with no base changes nothing
    EXPECT_EQ(combo.QueryBase(), nullptr);
}

}  // namespace
