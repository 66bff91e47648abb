#include "core/design/linkdialog.h"

#include "core/model/dbstructure.h"
#include "platform/messagebox.h"
#include "tests/core/design/designtesting.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QList<TDBFieldInfo> Columns(const QStringList& Names)
{
    QList<TDBFieldInfo> columns;
    for (const QString& name : Names)
        columns.append(TDBFieldInfo {name, 4, ftInteger});
    return columns;
}

class LinkDialogTest : public testing::Test {
protected:
    LinkDialogTest()
    {
        info.Columns["A"] = Columns({"Notes", "ID", "Name"});
        info.Columns["B"] = Columns({"Other", "id", "NAME"});
        model.SetDatabaseInfo(&info);
        a = AddTestTable(model, "A");
        b = AddTestTable(model, "B");
        c = AddTestTable(model, "C");
    }

    // A shown dialog over a new link from A (to Table2 when given).
    TdlgEditLink& Open(TDSTable* Table2)
    {
        link = std::make_unique<TDSLink>();
        link->SetTable1(a);
        link->SetTable2(Table2);
        return Show();
    }

    // A shown dialog over link as it is now.
    TdlgEditLink& Show()
    {
        dialog = std::make_unique<TdlgEditLink>();
        dialog->Setup(&model, link.get());
        dialog->show();
        return *dialog;
    }

    void Pick(QListWidget* List, const QString& Row) { ClickRow(List, Rows(List).indexOf(Row)); }

    PickerDBInfo info;
    TZCustomDBStructure model;
    TDSTable* a;
    TDSTable* b;
    TDSTable* c;
    std::unique_ptr<TDSLink> link;
    std::unique_ptr<TdlgEditLink> dialog;
};

// Auto pairs equal names ignoring case once each; Clear gives back only the bare field names, in
// the lists' case-blind order and never a row that is already there; the next pair then has one
// operator, not one left over from the cleared pairs.
TEST_F(LinkDialogTest, AutoClearAndAddKeepThePairListsEven)
{
    TdlgEditLink& d = Open(b);
    EXPECT_FALSE(d.pnlTop()->isVisible());
    EXPECT_FALSE(d.bbOK()->isEnabled());
    QTest::mouseClick(d.pbAuto(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbJoinedFields()), QStringList({"ID = id", "Name = NAME"}));
    EXPECT_EQ(d.LeftSides(), QStringList({"fld:ID", "fld:Name"}));
    EXPECT_EQ(d.RightSides(), QStringList({"fld:id", "fld:NAME"}));
    EXPECT_EQ(d.Operators(), QStringList({"=", "="}));
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"Notes"}));
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"Other"}));
    EXPECT_FALSE(d.cbTables2()->isEnabled());

    // An expression side must not land in a field list.
    d.edExpression1()->setText("1");
    Pick(d.lbFields2(), "Other");
    d.lbOperators()->setCurrentRow(3);
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbJoinedFields()).last(), "1 >= Other");
    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"ID", "Name", "Notes"}));
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"id", "NAME", "Other"}));
    EXPECT_FALSE(d.bbOK()->isEnabled());

    Pick(d.lbFields1(), "Name");
    Pick(d.lbFields2(), "id");
    d.lbOperators()->setCurrentRow(1);
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(d.LeftSides(), QStringList({"fld:Name"}));
    EXPECT_EQ(d.Operators(), QStringList({"<>"}));
    // The same rows twice come back once.
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"ID", "Name", "Notes"}));
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"id", "NAME", "Other"}));
}

// Without a connected database both sides are typed; each pair stores the prefix its kind asks for
// and exactly the one operator chosen, and a blank in a side turns quoting on.
TEST_F(LinkDialogTest, NotConnectedSidesAreTypedWithTheirKind)
{
    info.Connected = false;
    TdlgEditLink& d = Open(b);
    EXPECT_FALSE(d.pnlLeftSide()->isVisible());
    EXPECT_TRUE(d.rgRightSide()->isVisible());
    const struct {
        int LeftKind, RightKind;
        const char *Left, *Right, *Stored1, *Stored2;
    } cases[] = {
        {0, 1, "CustID", "'a b'", "fld:CustID", "val:'a b'"},
        {1, 0, "0", "Flag", "val:0", "fld:Flag"},
    };
    for (const auto& c : cases) {
        QTest::mouseClick(d.pbClear(), Qt::LeftButton);
        d.rgLeftSideItem(c.LeftKind)->click();
        d.rgRightSideItem(c.RightKind)->click();
        QTest::keyClicks(d.edExpression1(), c.Left);
        QTest::keyClicks(d.edExpression2(), c.Right);
        d.lbOperators()->setCurrentRow(4);
        QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
        EXPECT_EQ(d.LeftSides(), QStringList({c.Stored1}));
        EXPECT_EQ(d.RightSides(), QStringList({c.Stored2}));
        EXPECT_EQ(d.Operators(), QStringList({"<"}));
    }
    EXPECT_TRUE(d.cbQuoteFields()->isChecked());
    EXPECT_TRUE(info.FieldsAsked.isEmpty());
}

// An existing link shows its pairs at once; deleting selects the next line, or the one before at
// the end, and the last deletion disables OK.
TEST_F(LinkDialogTest, ExistingPairsAreShownAndDeleted)
{
    Open(b);
    link->SetFields1({"fld:ID", "val:2", "Name"});
    link->SetFields2({"fld:id", "fld:NAME", "NAME"});
    link->SetOperators({"=", ">", "<>"});
    link->SetLinkType(ltRight);
    TdlgEditLink& e = Show();
    EXPECT_EQ(Rows(e.lbJoinedFields()), QStringList({"ID = id", "2 > NAME", "Name <> NAME"}));
    EXPECT_TRUE(e.rbJoinTypeItem(ltRight)->isChecked());
    EXPECT_EQ(e.windowTitle(), "Edit link : A <-> B");
    e.lbJoinedFields()->setCurrentRow(1);
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_EQ(e.lbJoinedFields()->currentRow(), 1);
    EXPECT_EQ(e.Operators(), QStringList({"=", "<>"}));
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_EQ(e.lbJoinedFields()->currentRow(), 0);
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_FALSE(e.bbOK()->isEnabled());
    EXPECT_EQ(link->Operators().size(), 3) << "nothing reaches the link before OK";
}

// A new link offers only the tables not yet linked with the first one, and a choice made by code
// loads nothing; OK waits for a chosen table. Failing lookups show as a disabled row, and a table
// of another database is looked up there without leaving the database information pointing there.
TEST_F(LinkDialogTest, SecondTableIsChosenAmongUnlinkedTables)
{
    AddTestLink(model, a, c);
    info.SetCurrentDBName("main");
    b->SetDBName("north");
    info.Failing = {"B"};
    TdlgEditLink& d = Open(nullptr);
    ASSERT_EQ(d.cbTables2()->count(), 1);
    EXPECT_EQ(d.cbTables2()->itemText(0), "B - B");
    EXPECT_EQ(d.cbTables2()->currentIndex(), -1);
    QTest::keyClicks(d.edExpression1(), "1");
    QTest::keyClicks(d.edExpression2(), "2");
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_FALSE(d.bbOK()->isEnabled()) << "a link without its second table";

    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    d.cbTables2()->setCurrentIndex(0);
    EXPECT_EQ(d.lbFields2()->count(), 0);
    d.cbTables2Change();
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"Database not connected"}));
    EXPECT_FALSE(d.lbFields2()->isEnabled());
    EXPECT_EQ(info.FieldsAsked, QStringList({"main/A", "north/B"}));
    EXPECT_EQ(info.GetCurrentDBName(), "main");
    QTest::keyClicks(d.edExpression1(), "1");
    QTest::keyClicks(d.edExpression2(), "2");
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    d.ApplyTo(link.get());
    EXPECT_EQ(link->Table2(), b);
    EXPECT_EQ(link->FldName1(), QStringList({"val:1"}));

    info.Failing = {"A"};
    info.ClearFieldCache();
    Open(b);
    EXPECT_EQ(Rows(dialog->lbFields1()), QStringList({"no such table A"}));
    EXPECT_FALSE(dialog->lbFields1()->isEnabled());
}

// EditDSLink: Cancel answers "not confirmed" and leaves the link; OK writes it back; a second link
// of two linked tables and a model without database information never open the dialog.
TEST_F(LinkDialogTest, EditDSLinkAnswersTheModalResult)
{
    TDSLink* existing = AddTestLink(model, a, b);
    const auto close = [](bool Confirm) {
        QTimer::singleShot(0, [Confirm] {
            auto* d = qobject_cast<TdlgEditLink*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            if (Confirm) {
                d->rbJoinTypeItem(ltLeft)->click();
                d->lbJoinedFields()->setCurrentRow(0);
                QTest::mouseClick(d->pbDelete(), Qt::LeftButton);
                QTest::mouseClick(d->pbAuto(), Qt::LeftButton);
            } else {
                QTest::mouseClick(d->pbClear(), Qt::LeftButton);
            }
            (Confirm ? d->bbOK() : d->bbCancel())->click();
        });
    };
    close(false);
    EXPECT_FALSE(EditDSLink(&model, existing));
    EXPECT_EQ(existing->FldName1(), QStringList({"ID"}));
    close(true);
    EXPECT_TRUE(EditDSLink(&model, existing));
    EXPECT_EQ(existing->FldName1(), QStringList({"fld:ID", "fld:Name"}));
    EXPECT_EQ(existing->Operators(), QStringList({"=", "="}));
    EXPECT_EQ(existing->LinkType(), ltLeft);

    const auto opened = [] {
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<TdlgEditLink*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the dialog opened";
                d->reject();
            }
        });
    };
    TDSLink second;
    second.SetTable1(b);
    second.SetTable2(a);
    // Two links of A and B would be two sections of one name in the model text.
    platform::ScriptedAnswers answers {platform::IDOK};
    opened();
    EXPECT_FALSE(EditDSLink(&model, &second));
    EXPECT_EQ(answers.AskedTexts(), QStringList({"The tables B and A are already linked"}));

    TZCustomDBStructure bare;
    TDSLink loose;
    loose.SetTable1(AddTestTable(bare, "X"));
    opened();
    EXPECT_EQ(
        StructError([&] { EditDSLink(&bare, &loose); }), TStructError(11, "DatabaseInfo is not specified"));
    QApplication::processEvents();
}

}  // namespace
