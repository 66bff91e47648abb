#include "wizard/wizardwindow.h"

#include "core/dbinfo/dbinfo.h"
#include "core/design/designpanel.h"
#include "core/model/dbstructure.h"
#include "core/model/field.h"
#include "core/model/table.h"
#include "core/ui/fieldtree.h"
#include "platform/messagebox.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>

using tesmera::TMainForm;

namespace {

// A live database of fixed tables: database name -> table -> columns.
class FakeDatabase : public TZDBInfo {
public:
    std::map<QString, std::map<QString, std::vector<TDBFieldInfo>>> Databases;
    bool Connected = true;
    QString Current;

    QString GetCurrentDBName() override { return Current; }
    void SetCurrentDBName(const QString& Name) override
    {
        Current = Name;
        NoteCurrentDBName(Name);
    }
    void GetDatabaseNames(QStringList& Lines) override
    {
        Lines.clear();
        for (const auto& [name, tables] : Databases) {
            if (!name.isEmpty())
                Lines.append(name);
        }
    }
    void GetTables(QStringList& Lines) override
    {
        Lines.clear();
        for (const auto& [name, fields] : Databases[Current])
            Lines.append(name);
    }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        FieldList.Clear();
        for (const TDBFieldInfo& field : Databases[Current][TableName])
            FieldList.Add(new TDBFieldInfo(field));
    }
    bool IsConnected() override { return Connected; }
};

struct Wizard {
    FakeDatabase Database;
    TZCustomDBStructure Model;
    std::unique_ptr<TMainForm> Window;

    explicit Wizard(std::map<QString, std::vector<TDBFieldInfo>> Tables, const QString& DBName = QString())
    {
        Database.Databases[DBName] = std::move(Tables);
        Model.SetDatabaseInfo(&Database);
        TDMOptions options;
        options.SetMultiDB(true);
        Model.SetDMOptions(options);
        Window = std::make_unique<TMainForm>(&Model);
        Window->show();
    }
    void Next() { QTest::mouseClick(Window->btnNext, Qt::LeftButton); }
    void Back() { QTest::mouseClick(Window->btnBack, Qt::LeftButton); }
    void CheckAll() { QTest::mouseClick(Window->sbSelectAll, Qt::LeftButton); }
    void ToLinkMode()
    {
        Next();
        CheckAll();
        Next();
    }
    TDSLink* Link(int I) const { return Model.GetLink(I); }
};

TDBFieldInfo Column(const char* Name, TFieldType Type)
{
    return {QString::fromLatin1(Name), 4, Type};
}

}  // namespace

TEST(WizardWindow, ThePagesFollowTheButtons)
{
    Wizard wizard({{"ORDERS", {Column("ID", ftInteger)}}, {"CUSTOMER", {Column("ID", ftInteger)}}});
    TMainForm& window = *wizard.Window;
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgWelcome);
    EXPECT_FALSE(window.btnBack->isEnabled());
    wizard.Next();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgTables);
    EXPECT_FALSE(window.btnNext->isEnabled()) << "no table chosen yet";
    wizard.CheckAll();
    EXPECT_TRUE(window.btnNext->isEnabled());
    QTest::mouseClick(window.sbClearAll, Qt::LeftButton);
    EXPECT_FALSE(window.btnNext->isEnabled());
    EXPECT_EQ(wizard.Model.GetTableCount(), 0);
    wizard.CheckAll();
    wizard.Next();
    window.rbCustom->setChecked(true);
    wizard.Next();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgLinks) << "manual mode skips the search";
    EXPECT_EQ(window.zsdRelationsPanel->HintLine()->text().toStdString(),
        "To add/delete links - make right click and select necessary operation");
    EXPECT_EQ(wizard.Model.GetLinkCount(), 0);
    wizard.Back();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgLinkMode) << "Back skips the search page";
    window.rbAuto->setChecked(true);
    wizard.Next();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgLinks);
    EXPECT_EQ(wizard.Model.GetLinkCount(), 1);
    wizard.Next();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgFields);
    EXPECT_FALSE(window.btnNext->isDefault()) << "Enter belongs to the tree's editor";
    wizard.Next();
    EXPECT_EQ(window.CurrentPage(), TMainForm::pgFinish);
    EXPECT_EQ(window.btnNext->text(), "&Finish");
    wizard.Back();
    EXPECT_EQ(window.btnNext->text(), "&Next >");
    wizard.Next();
    wizard.Next();
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

// Tables already in the model show checked and are never added twice; without database names
// the model's default database is used.
TEST(WizardWindow, TheTablesPageShowsTheModelsTablesChecked)
{
    Wizard wizard({{"ORDERS", {}}, {"CUSTOMER", {}}}, "north");
    wizard.Database.Databases["south"] = {{"ORDERS", {}}};
    TMainForm& window = *wizard.Window;
    wizard.Next();
    EXPECT_TRUE(window.pnlDatabase->isVisibleTo(&window));
    window.cbDatabase->setCurrentText("north");
    window.DBChanged();
    window.clbSelectedTables->item(1)->setCheckState(Qt::Checked);
    ASSERT_EQ(wizard.Model.GetTableCount(), 1);
    EXPECT_EQ(wizard.Model.Tables().at(0)->Name(), "ORDERS");
    EXPECT_EQ(wizard.Model.Tables().at(0)->DBName(), "north");
    wizard.Next();
    wizard.Back();
    EXPECT_EQ(window.clbSelectedTables->item(1)->checkState(), Qt::Checked);
    wizard.CheckAll();
    EXPECT_EQ(wizard.Model.GetTableCount(), 2);

    Wizard single(std::map<QString, std::vector<TDBFieldInfo>> {{"ITEMS", {}}});
    TDMOptions options = single.Model.DMOptions();
    options.SetDefaultDatabase(QString());
    single.Model.SetDMOptions(options);
    single.Next();
    EXPECT_FALSE(single.Window->pnlDatabase->isVisibleTo(single.Window.get()));
    EXPECT_EQ(single.Window->clbSelectedTables->count(), 1);
}

TEST(WizardWindow, TheLinkSearchJoinsEquallyNamedColumnsOfCompatibleTypes)
{
    Wizard wizard({{"A", {Column("Name", ftString), Column("ID", ftInteger), Column("Price", ftFloat)}},
        {"B", {Column("ID", ftAutoInc), Column("Price", ftInteger)}}, {"C", {Column("Id", ftInteger)}},
        {"D", {Column("Price", ftFloat)}}});
    QList<int> progress;
    QObject::connect(
        wizard.Window->ProgressBar1, &QProgressBar::valueChanged, [&](int Value) { progress.append(Value); });
    wizard.ToLinkMode();
    wizard.Next();
    ASSERT_EQ(wizard.Model.GetLinkCount(), 2);
    EXPECT_EQ(wizard.Link(0)->Table1()->Name(), "A");
    EXPECT_EQ(wizard.Link(0)->Table2()->Name(), "B");
    EXPECT_EQ(wizard.Link(0)->FldName1(), QStringList {"ID"}) << "one link per pair, the first match";
    EXPECT_EQ(wizard.Link(0)->Operators(), QStringList {"="});
    EXPECT_EQ(wizard.Link(0)->LinkType(), ltInner);
    EXPECT_EQ(wizard.Link(1)->Table2()->Name(), "D") << "Id and ID differ; float and integer do not join";
    EXPECT_EQ(wizard.Link(1)->FldName1(), QStringList {"Price"});
    // Four tables count 8 steps though the search takes 9: the bar stops full.
    EXPECT_EQ(progress, QList<int>({0, 25, 38, 50, 75, 88, 100}));

    wizard.Back();
    wizard.Next();
    EXPECT_EQ(wizard.Model.GetLinkCount(), 2) << "a second search adds nothing for linked pairs";
}

TEST(WizardWindow, ThreeTablesShowTheProgressOfSixSteps)
{
    Wizard wizard({{"A", {}}, {"B", {}}, {"C", {}}});
    QList<int> progress;
    QObject::connect(
        wizard.Window->ProgressBar1, &QProgressBar::valueChanged, [&](int Value) { progress.append(Value); });
    wizard.ToLinkMode();
    wizard.Next();
    EXPECT_EQ(progress, QList<int>({0, 33, 50, 83}));
}

namespace {

struct FieldsPage : Wizard {
    FieldsPage()
        : Wizard({{"ORDERS", {Column("OrderID", ftInteger), Column("Amount", ftFloat)}},
            {"CUSTOMER", {Column("Name", ftString), Column("City", ftString), Column("Zip", ftString)}}})
    {
        ToLinkMode();
        Window->rbCustom->setChecked(true);
        Next();
        Next();
    }
    QTreeWidget* Tree() const { return reinterpret_cast<QTreeWidget*>(Window->tvFields); }
    QStringList Captions(QTreeWidgetItem* Node = nullptr) const
    {
        QStringList result;
        const int count = Node ? Node->childCount() : Tree()->topLevelItemCount();
        for (int i = 0; i < count; ++i)
            result.append((Node ? Node->child(i) : Tree()->topLevelItem(i))->text(0));
        return result;
    }
    QStringList GroupNames(const TDSFieldGroup* Group) const
    {
        QStringList result;
        for (const TDSField* field : *Group)
            result.append(field->DisplayName());
        return result;
    }
    void Key(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Tree(), Qt::Key(Key), Modifiers);
    }
};

}  // namespace

TEST(WizardFieldsPage, TheFirstShowMakesAGroupPerTableAndAShowAgainKeepsThem)
{
    FieldsPage page;
    // Tables come in the database's order of names.
    EXPECT_EQ(page.Captions(), QStringList({"CUSTOMER", "ORDERS"}));
    EXPECT_EQ(page.Captions(page.Tree()->topLevelItem(0)), QStringList({"Name", "City", "Zip"}));
    TDSField* amount = page.Model.FindField(flDisplayName, "Amount");
    ASSERT_TRUE(amount);
    EXPECT_EQ(amount->FieldExpr(), "Amount");
    EXPECT_EQ(amount->Group()->GroupName(), "ORDERS");
    page.Back();
    page.Next();
    EXPECT_EQ(page.Model.Fields().Count(), 5);
    EXPECT_EQ(page.Model.FieldGroups().Count(), 2);
}

TEST(WizardFieldsPage, GroupsFieldsAndKeys)
{
    FieldsPage page;
    platform::ScriptedAnswers answers;
    QTreeWidgetItem* customer = page.Tree()->topLevelItem(0);
    page.Tree()->setCurrentItem(customer->child(0));
    page.Key(Qt::Key_Insert, Qt::AltModifier);
    EXPECT_EQ(page.Captions(customer), QStringList({"Name", "City", "Zip", "New Field"}));
    EXPECT_EQ(
        page.GroupNames(page.Model.FieldGroups()[0]), QStringList({"Name", "City", "Zip", "New Field"}));
    EXPECT_EQ(page.Window->CurrentField()->FieldType(), ftString);

    page.Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(page.Captions(), QStringList({"CUSTOMER", "ORDERS", "New Group"}));

    // Renaming a field changes its caption only.
    QTreeWidgetItem* name = customer->child(0);
    name->setText(0, "Customer name");
    TDSField* field = NodeField(name);
    EXPECT_EQ(field->DisplayName(), "Customer name");
    EXPECT_EQ(field->FieldExpr(), "Name");

    page.Database.Connected = false;
    page.Tree()->setCurrentItem(customer);
    page.Key(Qt::Key_Insert);
    EXPECT_EQ(page.Model.Fields().Count(), 6) << "Insert without a connection adds nothing";
    page.Window->EnableFieldsControls();
    EXPECT_FALSE(page.Window->sbAddDataField->isEnabled());

    page.Tree()->setCurrentItem(page.Tree()->topLevelItem(1));
    answers.Push(platform::IDYES);
    page.Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(page.Captions(), QStringList({"CUSTOMER", "New Group"}));
    EXPECT_EQ(page.Model.Fields().Count(), 4);
    EXPECT_EQ(page.Tree()->currentItem()->text(0), "New Group");
    EXPECT_EQ(answers.AskedTexts(), QStringList {"Delete group?"});
}

TEST(WizardFieldsPage, DropsMoveFieldsAndGroupsInTheModelAsShown)
{
    FieldsPage page;
    QTreeWidget* tree = page.Tree();
    QTreeWidgetItem* customer = tree->topLevelItem(0);
    const TDSFieldGroup* group = page.Model.FieldGroups()[0];

    // Forward within the own group: right before the target.
    page.Window->tvFieldsDragDrop(customer->child(0), customer->child(2));
    EXPECT_EQ(page.Captions(customer), QStringList({"City", "Name", "Zip"}));
    EXPECT_EQ(page.GroupNames(group), QStringList({"City", "Name", "Zip"}));

    // On empty space: the root group and the end of the top level.
    page.Window->tvFieldsDragDrop(customer->child(2), nullptr);
    EXPECT_EQ(page.Captions(), QStringList({"CUSTOMER", "ORDERS", "Zip"}));
    EXPECT_EQ(page.Model.FindField(flDisplayName, "Zip")->Group(), page.Model.RootGroup());

    // A group on an ungrouped field goes to the end of the groups, before the ungrouped fields.
    page.Window->tvFieldsDragDrop(customer, tree->topLevelItem(2));
    EXPECT_EQ(page.Captions(), QStringList({"ORDERS", "CUSTOMER", "Zip"}));
    EXPECT_EQ(page.Model.FieldGroups()[1], group);
    page.Window->tvFieldsDragDrop(customer, tree->topLevelItem(0)->child(1));
    EXPECT_EQ(page.Captions(), QStringList({"CUSTOMER", "ORDERS", "Zip"}));
    EXPECT_EQ(page.Model.FieldGroups()[0], group);

    // A field on a group node: its last child.
    page.Window->tvFieldsDragDrop(tree->topLevelItem(2), customer);
    EXPECT_EQ(page.Captions(customer), QStringList({"City", "Name", "Zip"}));

    page.Tree()->setCurrentItem(customer);
    page.Window->miOrderGroupFieldsClick();
    EXPECT_EQ(page.Captions(customer), QStringList({"City", "Name", "Zip"}));
}

TEST(WizardFieldsPage, DeletingTheLastNodeLeavesNoSelection)
{
    Wizard wizard({{"T", {Column("F", ftString)}}});
    wizard.ToLinkMode();
    wizard.Window->rbCustom->setChecked(true);
    wizard.Next();
    wizard.Next();
    auto* tree = reinterpret_cast<QTreeWidget*>(wizard.Window->tvFields);
    platform::ScriptedAnswers answers {platform::IDYES, platform::IDYES};
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    wizard.Window->sbDeleteFieldClick();
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0)) << "the node before the last one";
    wizard.Window->sbDeleteGroupClick();
    EXPECT_EQ(tree->currentItem(), nullptr);
    EXPECT_EQ(wizard.Window->CurrentGroup(), nullptr);
    EXPECT_EQ(wizard.Model.FieldGroups().Count(), 0);
}
