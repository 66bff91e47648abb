#include "core/design/designpanel.h"

#include "core/design/linkdialog.h"
#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "tests/core/model/modeltesting.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class TablesInfo : public FakeDBInfo {
public:
    void GetTables(QStringList& Lines) override { Lines = Columns.keys(); }
};

// Runs Action on the modal dialog of type T as soon as one is open; the mouse moves that lead to
// it may run the event loop before.
template <typename T>
void OnDialog(std::function<void(T*)> Action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, Action, tries = 0]() mutable {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && ++tries < 1000)
            return;
        poll->deleteLater();
        poll->stop();
        ASSERT_NE(dialog, nullptr);
        Action(dialog);
    });
    poll->start();
}

// A model over two or more tables with columns, on a 500 by 400 panel that notes its events.
class DesignPanelTest : public testing::Test {
protected:
    DesignPanelTest()
    {
        for (const char* name : {"Customers", "Orders", "Details", "Products"})
            Info.Columns[name] = {{"ID", 4, ftInteger}, {"CustomerID", 4, ftInteger}, {"Name", 20, ftString}};
        Model.SetDatabaseInfo(&Info);
        Panel.resize(500, 400);
        Panel.SetDBStruct(&Model);
        Panel.OnSelectTable = [this](QObject*) { TableEvents.append(Panel.SelectedTable()); };
        Panel.OnSelectLink = [this](QObject*) { LinkEvents.append(Panel.SelectedLink()); };
        Panel.OnAddLinkStart = [this](QObject*) { ++Starts; };
        Panel.OnAddLinkFinish = [this](QObject*, TLinkRep* NewLink) { Finished.append(NewLink); };
    }

    TDSTable* Table(const QString& Name, const QRect& Place = {})
    {
        TDSTable* table = Model.Tables()[Model.AddTable(Name, Name)];
        table->SetDsgnPos(Place);
        return table;
    }
    TDSLink* Link(TDSTable* Table1, TDSTable* Table2)
    {
        auto* link = new TDSLink;
        link->SetTable1(Table1);
        link->SetTable2(Table2);
        link->SetFields1({"ID"});
        link->SetFields2({"CustomerID"});
        Model.AddLink(link);
        return link;
    }
    void Build()
    {
        Panel.show();
        Panel.BuildDesign();
        TableEvents.clear();
        LinkEvents.clear();
    }
    TTableRep* Window(int Index) const { return Panel.TableReps()[Index]; }
    QPoint Place(int Index) const { return Window(Index)->pos(); }
    // Hovers the row of Field in window Index and presses on it, as the add-link clicks do.
    void ClickField(int Index, const QString& Field)
    {
        TTableRepListBox* list = Window(Index)->FieldList();
        const QPoint at = list->visualItemRect(list->findItems(Field, Qt::MatchExactly).value(0)).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    TablesInfo Info;
    TZCustomDBStructure Model;
    TZStructDesignPanel Panel;
    QList<TTableRep*> TableEvents;
    QList<TLinkRep*> LinkEvents;
    int Starts = 0;
    QList<TLinkRep*> Finished;
};

TEST_F(DesignPanelTest, TablesWithoutStoredSizesAreArrangedInRows)
{
    for (const char* name : {"Customers", "Orders", "Details", "Products"})
        Table(name, {300, 300, 0, 0});
    Build();
    EXPECT_EQ(QList<QPoint>({Place(0), Place(1), Place(2), Place(3)}),
        QList<QPoint>({{12, 10}, {162, 10}, {312, 10}, {12, 190}}));
    EXPECT_EQ(Model.Tables()[3]->DsgnPos(), QRect(12, 190, 110, 160));

    // A first table wider than the panel stays on the first row.
    Panel.ClearDesign();
    Model.Tables()[0]->SetDsgnPos({0, 0, 600, 0});
    Panel.BuildDesign();
    EXPECT_EQ(Place(0), QPoint(12, 10));
    EXPECT_EQ(Place(1), QPoint(12, 190));
}

TEST_F(DesignPanelTest, StoredPlacesAreKeptAndNewTablesGoRightOrUnderAll)
{
    Table("Customers", {12, 10, 110, 160});
    Table("Orders", {162, 10, 110, 160});
    Build();
    EXPECT_EQ(Place(1), QPoint(162, 10));
    TTableRep window;
    Panel.PlaceNewTable(&window);
    EXPECT_EQ(window.pos(), QPoint(312, 10));
    Panel.resize(400, 400);
    Panel.PlaceNewTable(&window);
    EXPECT_EQ(window.pos(), QPoint(12, 190));
}

TEST_F(DesignPanelTest, BuildingSelectsTheFirstPicturesAndNeedsAModel)
{
    TDSTable* customers = Table("Customers", {12, 10, 110, 160});
    TDSTable* orders = Table("Orders", {200, 10, 110, 160});
    TDSLink* link = Link(customers, orders);
    Panel.show();
    Panel.BuildDesign();
    EXPECT_EQ(TableEvents, QList<TTableRep*>({Panel.FindTableRep(customers)}));
    EXPECT_EQ(LinkEvents, QList<TLinkRep*>({Panel.FindLinkRep(link)}));
    EXPECT_EQ(Panel.FindLinkRep(link)->TableRep2(), Panel.FindTableRep(orders));

    // Without database information there are no link lines.
    Panel.ClearDesign();
    Model.SetDatabaseInfo(nullptr);
    Panel.BuildDesign();
    EXPECT_EQ(Panel.LinkReps().Count(), 0);
    EXPECT_EQ(Window(0)->FieldList()->item(0)->text(), "<Not connected>");

    Panel.SetDBStruct(nullptr);
    EXPECT_FALSE(Panel.Built());
    EXPECT_THROW(Panel.BuildDesign(), EStructureDesignError);
    EXPECT_FALSE(Panel.Built());
    EXPECT_THROW(Panel.GetDatabaseInfo(), EStructureDesignError);
}

TEST_F(DesignPanelTest, DeletingTheSelectedPictureSelectsItsNeighbour)
{
    TDSTable* customers = Table("Customers", {12, 10, 110, 160});
    TDSTable* orders = Table("Orders", {200, 10, 110, 160});
    TDSTable* details = Table("Details", {12, 200, 110, 160});
    Link(customers, orders);
    Link(orders, details);
    Link(customers, details);
    Build();

    // A link in the middle: the next one is selected, the link leaves the model.
    Panel.SelectLink(Panel.LinkReps()[1]);
    TLinkRep* last = Panel.LinkReps()[2];
    Panel.DeleteSelectedLink();
    EXPECT_EQ(Panel.SelectedLink(), last);
    EXPECT_EQ(Model.GetLinkCount(), 2);
    EXPECT_EQ(orders->GetLinkCount(), 1);

    // A table with links takes its pictures and links along.
    Panel.SelectTable(Window(1));
    TableEvents.clear();
    Panel.DeleteSelectedTable();
    EXPECT_EQ(TableEvents, QList<TTableRep*>({Panel.FindTableRep(details)}));
    EXPECT_EQ(Model.GetTableCount(), 2);
    EXPECT_EQ(Model.GetLinkCount(), 1);
    EXPECT_EQ(Panel.LinkReps().Count(), 1);
    EXPECT_EQ(Panel.LinkReps()[0]->Link(), Model.GetLink(0));

    // The last table selects the one before it; the only one selects none, without an event.
    Panel.DeleteSelectedTable();
    EXPECT_EQ(Panel.SelectedTable(), Panel.FindTableRep(customers));
    EXPECT_EQ(Panel.LinkReps().Count(), 0);
    TableEvents.clear();
    Panel.DeleteSelectedTable();
    EXPECT_EQ(Panel.SelectedTable(), nullptr);
    EXPECT_TRUE(TableEvents.isEmpty());
    EXPECT_EQ(Model.GetTableCount(), 0);
}

TEST_F(DesignPanelTest, CancellingTheLinkDialogAddsNothing)
{
    Info.Connected = false;
    Table("Customers", {12, 10, 110, 160});
    Table("Orders", {200, 10, 110, 160});
    Build();
    Panel.StartAddLink();
    EXPECT_EQ(Starts, 1);
    EXPECT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsFirstField);
    // Rows chosen by code are no clicks.
    Window(1)->FieldList()->setCurrentRow(0);
    EXPECT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsFirstField);
    ClickField(0, "<Not connected>");
    ASSERT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsSecondField);
    EXPECT_EQ(Panel.RubberBand()->Link()->FldName1(), QStringList({"Field1"}));
    EXPECT_EQ(Panel.RubberBand()->Link()->FldName2(), QStringList({"Field2"}));

    int pairs = -1;
    OnDialog<TdlgEditLink>([&](TdlgEditLink* Dialog) {
        pairs = Dialog->lbJoinedFields()->count();
        Dialog->reject();
    });
    ClickField(1, "<Not connected>");
    EXPECT_EQ(pairs, 0);
    EXPECT_EQ(Finished, QList<TLinkRep*>({nullptr}));
    EXPECT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsIdle);
    EXPECT_EQ(Panel.RubberBand(), nullptr);
    EXPECT_EQ(Model.GetLinkCount(), 0);
    EXPECT_EQ(Panel.LinkReps().Count(), 0);
}

TEST_F(DesignPanelTest, AcceptedLinkJoinsTheClickedFieldsAndIsSelected)
{
    TDSTable* customers = Table("Customers", {12, 10, 110, 160});
    TDSTable* orders = Table("Orders", {200, 10, 110, 160});
    Build();
    Panel.StartAddLink();
    ClickField(0, "ID");
    OnDialog<TdlgEditLink>([](TdlgEditLink* Dialog) { Dialog->bbOK()->click(); });
    ClickField(1, "CustomerID");
    ASSERT_EQ(Finished.size(), 1);
    ASSERT_NE(Finished[0], nullptr);
    EXPECT_EQ(Panel.SelectedLink(), Finished[0]);
    EXPECT_EQ(LinkEvents, QList<TLinkRep*>({Finished[0]}));
    ASSERT_EQ(Model.GetLinkCount(), 1);
    TDSLink* link = Model.GetLink(0);
    EXPECT_EQ(Finished[0]->Link(), link);
    EXPECT_EQ(link->Table1(), customers);
    EXPECT_EQ(link->Table2(), orders);
    EXPECT_EQ(orders->Links(), QList<TDSLink*>({link}));
    // The line leaves the row of each field.
    EXPECT_EQ(Finished[0]->Nodes1()[0]->Y, Window(0)->GetFieldNodeY(link->FldName1()[0]));
    EXPECT_NE(Finished[0]->Nodes1()[0]->Y, 10 + 10);
    EXPECT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsIdle);
}

// A rubber band or pending link that outlived its window or table would be freed into nothing.
TEST_F(DesignPanelTest, DeletingClearingOrRebuildingEndsAddLinkMode)
{
    Table("Customers", {12, 10, 110, 160});
    Table("Orders", {200, 10, 110, 160});
    Build();
    const std::function<void()> changes[] = {
        [this] { Panel.DeleteTable(0); },
        [this] {
            Panel.ClearDesign();
            Panel.BuildDesign();
        },
        [this] { Panel.ClearPictures(); },
        [this] { Panel.SetDBStruct(nullptr); },
    };
    for (const auto& change : changes) {
        Panel.SetDBStruct(&Model);
        Panel.ClearDesign();
        Panel.BuildDesign();
        Finished.clear();
        Panel.StartAddLink();
        ClickField(0, Window(0)->FieldList()->item(0)->text());
        ASSERT_NE(Panel.RubberBand(), nullptr);
        change();
        EXPECT_EQ(Finished, QList<TLinkRep*>({nullptr}));
        EXPECT_EQ(Panel.RubberBand(), nullptr);
        EXPECT_EQ(Panel.AddLinkState(), TZStructDesignPanel::alsIdle);
    }

    // The model itself goes while a link is pending.
    auto model = std::make_unique<TZCustomDBStructure>();
    model->SetDatabaseInfo(&Info);
    model->AddTable("Orders", "Orders");
    Panel.SetDBStruct(model.get());
    Panel.BuildDesign();
    Panel.StartAddLink();
    ClickField(0, "ID");
    model.reset();
    EXPECT_FALSE(Panel.Built());
    EXPECT_EQ(Panel.RubberBand(), nullptr);
}

TEST_F(DesignPanelTest, HoveringALineShowsItsHintAndAClickSelectsIt)
{
    Panel.SetShowActionHints(true);
    TDSTable* customers = Table("Customers", {12, 10, 110, 160});
    TDSTable* orders = Table("Orders", {250, 10, 110, 160});
    TDSTable* details = Table("Details", {12, 220, 110, 160});
    Link(customers, orders);
    TDSLink* second = Link(orders, details);
    second->SetFields1({"Name"});
    Build();
    TLinkRep* rep = Panel.FindLinkRep(second);
    QWidget* content = Panel.DesignArea()->Content();
    const QPoint middle = (QPoint(rep->Nodes1()[0]->X - 8, rep->Nodes1()[0]->Y)
                              + QPoint(rep->Nodes2()[0]->X + 8, rep->Nodes2()[0]->Y))
        / 2;
    QTest::mouseMove(content, middle);
    EXPECT_EQ(Panel.HoveredLink(), rep);
    EXPECT_EQ(Panel.HintLine()->text(), "Click on link line to select it");
    EXPECT_EQ(content->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(content, Qt::LeftButton, {}, middle);
    EXPECT_EQ(Panel.SelectedLink(), rep);
    EXPECT_EQ(LinkEvents, QList<TLinkRep*>({rep}));

    // A double-click edits the link; its lines follow the new pairs at once.
    OnDialog<TdlgEditLink>([](TdlgEditLink* Dialog) {
        Dialog->lbJoinedFields()->setCurrentRow(0);
        Dialog->pbDeleteClick();
        Dialog->lbFields1()->setCurrentItem(Dialog->lbFields1()->findItems("ID", Qt::MatchExactly).value(0));
        Dialog->lbFields2()->setCurrentRow(0);
        Dialog->pbAddClick();
        Dialog->bbOK()->click();
    });
    QTest::mouseDClick(content, Qt::LeftButton, {}, middle);
    EXPECT_EQ(rep->Nodes1()[0]->FieldName, "fld:ID");
    EXPECT_EQ(rep->Nodes1()[0]->Y, Window(1)->GetFieldNodeY("ID"));

    QTest::mouseMove(content, QPoint(450, 300));
    EXPECT_EQ(Panel.HoveredLink(), nullptr);
    EXPECT_EQ(Panel.HintLine()->text(),
        "To add/delete tables and links - make right click and select necessary operation");
    QTest::mouseMove(Window(0)->FieldList()->viewport(), QPoint(20, 20));
    EXPECT_EQ(Panel.HintLine()->text(), "Click inside table to select it");
    Panel.StartAddLink();
    QTest::mouseMove(content, middle);
    EXPECT_EQ(Panel.HintLine()->text(), "Select a field in the first linking table");
    Panel.CancelAddLink();
}

TEST_F(DesignPanelTest, AddedTablesArePlacedSelectedAndTakeTheChosenDatabase)
{
    Info.SetCurrentDBName("Main");
    Build();
    OnDialog<TdlgListPnl>([](TdlgListPnl* Picker) {
        for (const char* name : {"Orders", "Customers"})
            Picker->lbList()->findItems(name, Qt::MatchExactly)[0]->setSelected(true);
        Picker->OK()->click();
    });
    QList<TDSTable*> added;
    bool autoAddFields = false;
    ASSERT_TRUE(Panel.AddTables(&added, autoAddFields));
    EXPECT_TRUE(autoAddFields);
    ASSERT_EQ(added.size(), 2);
    EXPECT_EQ(added[0]->Name(), "Customers");
    EXPECT_EQ(added[1]->DBName(), "Main");
    EXPECT_EQ(Panel.FindTableRep(added[0])->pos(), QPoint(40, 0));
    EXPECT_EQ(Panel.FindTableRep(added[1])->pos(), QPoint(190, 0));
    EXPECT_EQ(Panel.SelectedTable(), Panel.FindTableRep(added[1]));
    EXPECT_EQ(TableEvents.size(), 2);
}

TEST_F(DesignPanelTest, FullScreenModeMovesThePanelIntoAFormAndBack)
{
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* panel = new TZStructDesignPanel;
    layout->addWidget(new QLabel("above"));
    layout->addWidget(panel);
    panel->SetDBStruct(&Model);
    panel->SetShowFullScreenButton(true);
    panel->BuildDesign();
    host.show();
    ASSERT_TRUE(panel->ButtonPanel()->isVisible());
    panel->FullScreenButton()->click();
    ASSERT_TRUE(panel->FullScreen());
    QWidget* form = panel->FullScreenForm();
    EXPECT_EQ(form->windowTitle(),
        "Design panel full screen mode " + QString::number(panel->screen()->geometry().height()));
    EXPECT_EQ(form->geometry(), panel->screen()->availableGeometry());
    EXPECT_EQ(panel->window(), form);
    EXPECT_EQ(panel->FullScreenButton()->toolTip(), "Restore");

    // Closing the form only leaves full-screen mode.
    form->close();
    EXPECT_FALSE(panel->FullScreen());
    EXPECT_EQ(panel->parentWidget(), &host);
    EXPECT_EQ(layout->indexOf(panel), 1);
    EXPECT_EQ(panel->FullScreenButton()->toolTip(), "Full screen mode");

    panel->FullScreenButton()->click();
    panel->SetShowFullScreenButton(false);
    EXPECT_FALSE(panel->FullScreen());
    EXPECT_EQ(panel->parentWidget(), &host);
}

}  // namespace
