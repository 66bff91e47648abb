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

    void Pick(QListWidget* List, const QString& Row)
    {
        const QList<QListWidgetItem*> items = List->findItems(Row, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << qPrintable(Row);
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(items[0]).center());
    }

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
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"ID", "Name", "Notes"}));
    EXPECT_FALSE(d.pnlTop()->isVisible());
    EXPECT_FALSE(d.pbAdd()->isEnabled());
    EXPECT_FALSE(d.bbOK()->isEnabled());

    QTest::mouseClick(d.pbAuto(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbJoinedFields()), QStringList({"ID = id", "Name = NAME"}));
    EXPECT_EQ(d.LeftSides(), QStringList({"fld:ID", "fld:Name"}));
    EXPECT_EQ(d.RightSides(), QStringList({"fld:id", "fld:NAME"}));
    EXPECT_EQ(d.Operators(), QStringList({"=", "="}));
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"Notes"}));
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"Other"}));
    EXPECT_TRUE(d.bbOK()->isEnabled());
    EXPECT_FALSE(d.cbTables2()->isEnabled());

    // An expression pair: its side must not land in a field list.
    d.edExpression1()->setText("1");
    Pick(d.lbFields2(), "Other");
    d.lbOperators()->setCurrentRow(3);
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(d.Operators(), QStringList({"=", "=", ">="}));
    EXPECT_EQ(Rows(d.lbJoinedFields()).last(), "1 >= Other");

    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"ID", "Name", "Notes"}));
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"id", "NAME", "Other"}));
    EXPECT_TRUE(d.LeftSides().isEmpty());
    EXPECT_TRUE(d.Operators().isEmpty());
    EXPECT_FALSE(d.bbOK()->isEnabled());

    Pick(d.lbFields1(), "Name");
    Pick(d.lbFields2(), "id");
    EXPECT_TRUE(d.pbAdd()->isEnabled());
    d.lbOperators()->setCurrentRow(1);
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(d.LeftSides(), QStringList({"fld:Name"}));
    EXPECT_EQ(d.RightSides(), QStringList({"fld:id"}));
    EXPECT_EQ(d.Operators(), QStringList({"<>"}));
    EXPECT_EQ(Rows(d.lbFields1()), QStringList({"ID", "Name", "Notes"})) << "used rows stay";

    // A used row twice comes back once.
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
    EXPECT_FALSE(d.pnlRightSide()->isVisible());
    EXPECT_TRUE(d.rgLeftSide()->isVisible());
    EXPECT_TRUE(info.FieldsAsked.isEmpty());

    QTest::keyClicks(d.edExpression1(), "CustID");
    EXPECT_FALSE(d.pbAdd()->isEnabled());
    d.rgRightSideItem(1)->click();
    QTest::keyClicks(d.edExpression2(), "'a b'");
    d.lbOperators()->setCurrentRow(4);
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(d.LeftSides(), QStringList({"fld:CustID"}));
    EXPECT_EQ(d.RightSides(), QStringList({"val:'a b'"}));
    EXPECT_EQ(d.Operators(), QStringList({"<"}));
    EXPECT_TRUE(d.cbQuoteFields()->isChecked());
    EXPECT_TRUE(d.edExpression1()->text().isEmpty());
    EXPECT_EQ(Rows(d.lbJoinedFields()), QStringList({"CustID < 'a b'"}));

    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    d.rgLeftSideItem(1)->click();
    d.rgRightSideItem(0)->click();
    QTest::keyClicks(d.edExpression1(), "0");
    QTest::keyClicks(d.edExpression2(), "Flag");
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_EQ(d.LeftSides(), QStringList({"val:0"}));
    EXPECT_EQ(d.RightSides(), QStringList({"fld:Flag"}));
    EXPECT_EQ(d.Operators(), QStringList({"<"}));
}

// An existing link shows its pairs at once; deleting moves the selection to the next line, or the
// one before at the end, and the last deletion disables OK. Nothing reaches the link before OK.
TEST_F(LinkDialogTest, ExistingPairsAreShownAndDeleted)
{
    Open(b);
    link->SetFields1({"fld:ID", "val:2", "Name"});
    link->SetFields2({"fld:id", "fld:NAME", "NAME"});
    link->SetOperators({"=", ">", "<>"});
    link->SetLinkType(ltRight);
    link->SetQuoteFields(true);
    TdlgEditLink& e = Show();
    EXPECT_EQ(Rows(e.lbJoinedFields()), QStringList({"ID = id", "2 > NAME", "Name <> NAME"}));
    EXPECT_TRUE(e.rbJoinTypeItem(ltRight)->isChecked());
    EXPECT_TRUE(e.cbQuoteFields()->isChecked());
    EXPECT_EQ(e.windowTitle(), "Edit link : A <-> B");

    e.lbJoinedFields()->setCurrentRow(1);
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_EQ(e.lbJoinedFields()->currentRow(), 1);
    EXPECT_EQ(e.Operators(), QStringList({"=", "<>"}));
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_EQ(e.lbJoinedFields()->currentRow(), 0);
    EXPECT_EQ(link->Operators().size(), 3);
    QTest::mouseClick(e.pbDelete(), Qt::LeftButton);
    EXPECT_FALSE(e.bbOK()->isEnabled());
    EXPECT_FALSE(e.pbDelete()->isEnabled());

    e.rbJoinTypeItem(ltFull)->click();
    e.cbQuoteFields()->setChecked(false);
    e.ApplyTo(link.get());
    EXPECT_TRUE(link->FldName1().isEmpty());
    EXPECT_EQ(link->LinkType(), ltFull);
    EXPECT_FALSE(link->QuoteFields());
}

// A new link offers only the tables not yet linked with the first one; OK waits for a chosen
// table, which the link gets on OK. A failing lookup shows as a disabled row.
TEST_F(LinkDialogTest, SecondTableIsChosenAmongUnlinkedTables)
{
    AddTestLink(model, a, c);
    info.Failing = {"B"};
    TdlgEditLink& d = Open(nullptr);
    EXPECT_TRUE(d.pnlTop()->isVisible());
    ASSERT_EQ(d.cbTables2()->count(), 1);
    EXPECT_EQ(d.cbTables2()->itemText(0), "B - B");
    EXPECT_EQ(d.cbTables2()->currentIndex(), -1);
    EXPECT_EQ(d.windowTitle(), "Edit link : A <-> ");

    QTest::keyClicks(d.edExpression1(), "1");
    QTest::keyClicks(d.edExpression2(), "1");
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_FALSE(d.bbOK()->isEnabled()) << "a link without its second table";

    QTest::mouseClick(d.pbClear(), Qt::LeftButton);
    d.cbTables2()->setCurrentIndex(0);
    d.cbTables2Change();
    EXPECT_EQ(Rows(d.lbFields2()), QStringList({"Database not connected"}));
    EXPECT_FALSE(d.lbFields2()->isEnabled());
    EXPECT_FALSE(d.pbAuto()->isEnabled());
    EXPECT_EQ(d.lblFields2()->text(), "B fields");
    QTest::keyClicks(d.edExpression1(), "1");
    QTest::keyClicks(d.edExpression2(), "2");
    QTest::mouseClick(d.pbAdd(), Qt::LeftButton);
    EXPECT_TRUE(d.bbOK()->isEnabled());
    d.ApplyTo(link.get());
    EXPECT_EQ(link->Table2(), b);
    EXPECT_EQ(link->FldName1(), QStringList({"val:1"}));

    info.Failing = {"A"};
    info.ClearFieldCache();
    Open(b);
    EXPECT_EQ(Rows(dialog->lbFields1()), QStringList({"no such table A"}));
    EXPECT_FALSE(dialog->lbFields1()->isEnabled());
}

// A table of another database is looked up there, and the shared database information points
// where it did before; a table with no database name leaves it alone.
TEST_F(LinkDialogTest, FieldsAreAskedInTheTablesDatabase)
{
    info.SetCurrentDBName("main");
    b->SetDBName("north");
    Open(b);
    EXPECT_EQ(info.FieldsAsked, QStringList({"main/A", "north/B"}));
    EXPECT_EQ(info.GetCurrentDBName(), "main");

    info.Failing = {"B"};
    info.ClearFieldCache();
    Open(b);
    EXPECT_EQ(info.GetCurrentDBName(), "main") << "also when the lookup fails";
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
