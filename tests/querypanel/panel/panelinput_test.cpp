#include "platform/messagebox.h"
#include "querypanel/controls/dropdownedit.h"
#include "querypanel/panel/filtercond.h"
#include "rtl/datetime.h"
#include "tests/querypanel/controls/hostwindow.h"
#include "tests/querypanel/panel/paneltesting.h"

#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace {

// A condition that runs a handler while it is being freed, as a parameter list or change handler
// of the program may do.
class FreedCond : public TestCond {
public:
    using TestCond::TestCond;
    ~FreedCond() override
    {
        if (OnFree)
            OnFree();
    }
    std::function<void()> OnFree;
};

// Active panel, keyboard on: root, 1. A, 2. bracket X (2.1. D, 2.2. E), 3. C; lines 0 to 5.
struct KeyFixture : PanelFixture {
    TFilterBracket* Root = nullptr;
    std::map<const TFilterRow*, QString> Names;

    // Options change before activation: on an active panel they rebuild every row.
    explicit KeyFixture(bool NonEmptyBrackets = false, bool Keyboard = true)
    {
        SetOption(aoAllowKeyboard, Keyboard);
        SetOption(aoNonEmptyBrackets, NonEmptyBrackets);
        Panel->Activate();
        Root = Panel->Root();
        Names[Root] = "R";
        Add(Root, "A");
        TFilterBracket* x = Panel->AddBracket(Root);
        Names[x] = "X";
        if (x->Count() == 1)
            Names[x->Rows(0)] = "D";
        else
            Add(x, "D");
        Add(x, "E");
        Add(Root, "C");
    }
    void SetOption(TQPAppearanceOption Option, bool On)
    {
        TQPAppearanceOptions options = Panel->Appearance().Options();
        if (On)
            options.Include(Option);
        else
            options.Exclude(Option);
        Panel->Appearance().SetOptions(options);
    }
    void Add(TFilterBracket* Bracket, const QString& Name) { Names[Panel->AddCondition(Bracket)] = Name; }
    TFilterRow* Row(const QString& Name) const
    {
        for (const auto& [row, name] : Names)
            if (name == Name)
                return const_cast<TFilterRow*>(row);
        return nullptr;
    }
    // Each row as path, name and line in reading order; rows the test did not name are "N".
    std::string Tree() const
    {
        QStringList parts;
        const std::function<void(TFilterRow*)> walk = [&](TFilterRow* R) {
            const auto found = Names.find(R);
            parts.append(QString("%1%2@%3")
                             .arg(R->Path(), found == Names.end() ? "N" : found->second)
                             .arg(R->DisplayIndex()));
            if (R->IsBracketNode())
                for (int i = 0; i < static_cast<TFilterBracket*>(R)->Count(); ++i)
                    walk(static_cast<TFilterBracket*>(R)->Rows(i));
        };
        walk(Root);
        return parts.join(' ').toStdString();
    }
    std::string Current() const
    {
        const TFilterRow* row = Panel->CurrentRow();
        const auto found = Names.find(row);
        return !row ? "-" : found == Names.end() ? "N" : found->second.toStdString();
    }
    void Press(const QString& Start, Qt::Key Key, Qt::KeyboardModifiers Modifiers)
    {
        Panel->SetCurrentRow(Row(Start));
        QTest::keyClick(Panel.get(), Key, Modifiers);
    }
};

const std::string StartTree = "R@0 1.A@1 2.X@2 2.1.D@3 2.2.E@4 3.C@5";

TEST(PanelKeyTest, KeyTableMovesSelectsInsertsAndDeletes)
{
    constexpr Qt::KeyboardModifiers none = Qt::NoModifier;
    constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    struct Case {
        const char* Start;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        std::string Tree;
        const char* Current;
    };
    const Case cases[] = {
        {"A", Qt::Key_Up, Qt::ShiftModifier, StartTree, "A"},
        {"A", Qt::Key_Up, Qt::AltModifier, StartTree, "A"},
        {"E", Qt::Key_Up, ctrl | Qt::ShiftModifier, "R@0 1.A@1 2.X@2 2.1.E@3 2.2.D@4 3.C@5", "E"},
        {"A", Qt::Key_Up, none, StartTree, "R"},
        {"R", Qt::Key_Up, none, StartTree, "R"},
        {"C", Qt::Key_Down, none, StartTree, "C"},
        {"A", Qt::Key_Down, none, StartTree, "X"},
        {"D", Qt::Key_Up, ctrl, StartTree, "D"},
        {"E", Qt::Key_Down, ctrl, StartTree, "E"},
        {"D", Qt::Key_Down, ctrl, "R@0 1.A@1 2.X@2 2.1.E@3 2.2.D@4 3.C@5", "D"},
        {"A", Qt::Key_Left, ctrl, StartTree, "A"},
        {"D", Qt::Key_Left, ctrl, "R@0 1.A@1 2.X@2 2.1.E@3 3.D@4 4.C@5", "D"},
        {"A", Qt::Key_Right, ctrl, "R@0 1.N@1 1.1.A@2 2.X@3 2.1.D@4 2.2.E@5 3.C@6", "A"},
        {"C", Qt::Key_Right, ctrl, "R@0 1.A@1 2.X@2 2.1.D@3 2.2.E@4 2.3.C@5", "C"},
        {"D", Qt::Key_Delete, none, StartTree, "D"},
        {"R", Qt::Key_Delete, ctrl, StartTree, "R"},
        {"D", Qt::Key_Delete, ctrl, "R@0 1.A@1 2.X@2 2.1.E@3 3.C@4", "E"},
        {"E", Qt::Key_Delete, ctrl | Qt::AltModifier, "R@0 1.A@1 2.X@2 2.1.D@3 3.C@4", "C"},
        {"C", Qt::Key_Delete, ctrl, "R@0 1.A@1 2.X@2 2.1.D@3 2.2.E@4", "E"},
        // The rows of a deleted bracket go with it: the row after the bracket is chosen.
        {"X", Qt::Key_Delete, ctrl, "R@0 1.A@1 2.C@2", "C"},
        {"A", Qt::Key_Insert, none, "R@0 1.A@1 2.N@2 3.X@3 3.1.D@4 3.2.E@5 4.C@6", "N"},
        {"X", Qt::Key_Insert, Qt::ShiftModifier, "R@0 1.A@1 2.X@2 2.1.N@3 2.2.D@4 2.3.E@5 3.C@6", "N"},
        {"R", Qt::Key_Insert, none, "R@0 1.N@1 2.A@2 3.X@3 3.1.D@4 3.2.E@5 4.C@6", "N"},
    };
    for (const Case& c : cases) {
        KeyFixture f;
        ASSERT_EQ(f.Tree(), StartTree);
        f.Press(c.Start, c.Key, c.Modifiers);
        const QString name = QString("%1 key %2 modifiers %3").arg(c.Start).arg(c.Key).arg(c.Modifiers);
        EXPECT_EQ(f.Tree(), c.Tree) << qPrintable(name);
        EXPECT_EQ(f.Current(), c.Current) << qPrintable(name);
        if (f.Panel->CurrentRow()) {
            EXPECT_TRUE(f.Panel->CurrentRow()->Shown()) << qPrintable(name);
        }
    }
}

// A moved row lost its highlight, or a move was no change of the query, or told of it twice.
TEST(PanelKeyTest, AMovedRowStaysCurrentAndTheQueryChanges)
{
    KeyFixture f;
    f.Panel->SetModified(false);
    int changes = 0;
    f.Panel->OnChange = [&](TZQueryPanel*) { ++changes; };
    f.Press("D", Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(f.Panel->CurrentRow(), f.Row("D"));
    EXPECT_EQ(f.Row("D")->Button()->Caption(), "3");
    EXPECT_TRUE(f.Panel->Modified());
    EXPECT_EQ(changes, 1);
}

// In a panel with more rows than fit, a row moved by the keys went out of the view.
TEST(PanelKeyTest, AMovedRowIsScrolledIntoView)
{
    PanelFixture f;
    f.Panel->resize(300, 80);
    f.Panel->show();
    f.Panel->Activate();
    for (int i = 0; i < 12; ++i)
        f.Panel->AddCondition(f.Panel->Root());
    TFilterRow* row = f.Panel->CurrentRow();
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down}) {
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(f.Panel.get(), key, Qt::ControlModifier);
        EXPECT_EQ(row->DisplayIndex(), key == Qt::Key_Up ? 2 : 12);
        EXPECT_TRUE(f.Panel->viewport()->rect().contains(row->Button()->geometry())) << key;
    }
}

// Whether the frame round Element is painted: its left edge in the border colour.
bool Framed(TZQueryPanel* Panel, const QWidget* Element)
{
    const QImage image = Panel->viewport()->grab().toImage();
    return image.pixelColor(Element->x() - 2, Element->y() + Element->height() / 2)
        == ColorToQColor(Panel->Appearance().ControlBorderColor());
}

// A panel that took the focus with no current row showed nothing and took no key, a click on an
// empty part of it neither; and a new current row framed no element until Left or Right.
TEST(PanelKeyTest, TakingTheFocusWithoutACurrentRowSelectsTheRootAndInsertAddsAFramedRow)
{
    for (const bool click : {false, true}) {
        HostWindow host;
        KeyFixture f;
        f.Panel->setParent(&host.Window);
        f.Panel->setGeometry(0, 0, 290, 240);
        f.Panel->show();
        (click ? f.Panel.get() : host.Other)->setFocus();
        f.Root->DeleteAllRows();
        ASSERT_EQ(f.Current(), "-");
        if (click)
            QTest::mouseClick(f.Panel->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(280, 230));
        else
            QTest::keyClick(host.Other, Qt::Key_Tab);
        ASSERT_TRUE(f.Panel->hasFocus()) << click;
        EXPECT_EQ(f.Current(), "R") << click;
        EXPECT_TRUE(Framed(f.Panel.get(), f.Root->LinkTypeLabel())) << click;
        QTest::keyClick(f.Panel.get(), Qt::Key_Insert);
        ASSERT_EQ(f.Root->Count(), 1) << click;
        auto* row = static_cast<TSimpleCond*>(f.Root->Rows(0));
        EXPECT_EQ(f.Panel->CurrentRow(), row) << click;
        EXPECT_TRUE(Framed(f.Panel.get(), row->FieldChooser())) << click;
        bool opened = false;
        OnPopup([&](QWidget*) { opened = row->FieldChooser()->Dropped(); });
        QTest::keyClick(f.Panel.get(), Qt::Key_Return);
        EXPECT_TRUE(opened) << click;
    }
}

TEST(PanelKeyTest, LeftAndRightStepThroughTheDropDownElementsAndEnterOpensOne)
{
    KeyFixture f;
    f.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
    TFilterRow* row = f.Row("A");
    f.Panel->SetCurrentRow(row);
    row->SelectFirstElement();
    QList<int> steps {row->SelectedIndex()};
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(f.Panel.get(), Qt::Key_Right);
        steps.append(row->SelectedIndex());
    }
    EXPECT_EQ(steps,
        QList<int>({TSimpleCond::FieldLabel, TSimpleCond::OperatorLabel, TFilterCond::ValueLabel1,
            TFilterCond::ValueLabel1}));
    QTest::keyClick(f.Panel.get(), Qt::Key_Return);
    auto* value = qobject_cast<TDropDownLabel*>(row->ElementAt(TFilterCond::ValueLabel1));
    ASSERT_TRUE(value);
    EXPECT_TRUE(value->Dropped()) << "Enter opens the value's editor";
    EXPECT_FALSE(f.Panel->ElementFrame());
    value->CloseUp(false);
    EXPECT_TRUE(f.Panel->ElementFrame());
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(f.Panel.get(), Qt::Key_Left);
    EXPECT_EQ(row->SelectedIndex(), TSimpleCond::FieldLabel) << "the first element stays selected";
}

TEST(PanelKeyTest, AltInsertPopsUpTheMenuOfTheCurrentRow)
{
    for (const char* start : {"R", "A"}) {
        KeyFixture f;
        f.Press(start, Qt::Key_Insert, Qt::AltModifier);
        QMenu* menu = QString(start) == "R" ? f.Panel->AddMenu() : f.Panel->RowMenu();
        EXPECT_TRUE(menu->isVisible()) << start;
        menu->close();
        EXPECT_EQ(f.Tree(), StartTree) << start;
    }
}

TEST(PanelKeyTest, WithoutKeyboardWorkArrowsScrollAndNothingIsSelected)
{
    KeyFixture f(false, false);
    f.Panel->resize(300, 60);
    f.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
    ASSERT_GT(f.Panel->verticalScrollBar()->maximum(), 0);
    f.Panel->SetCurrentRow(f.Row("A"));
    f.Panel->verticalScrollBar()->setValue(0);
    QTest::keyClick(f.Panel.get(), Qt::Key_Down);
    EXPECT_GT(f.Panel->verticalScrollBar()->value(), 0);
    EXPECT_EQ(f.Current(), "A");
    QTest::keyClick(f.Panel.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.Tree(), StartTree);
}

// The only row gone, Insert has no row to insert after until one is selected again.
TEST(PanelKeyTest, DeletingTheOnlyRowLeavesNoCurrentRow)
{
    KeyFixture f;
    f.Root->DeleteAllRows();
    EXPECT_EQ(f.Current(), "-") << "no freed row stays current";
    f.Names = {{f.Root, "R"}};
    f.Add(f.Root, "A");
    f.Press("A", Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.Current(), "-");
    QTest::keyClick(f.Panel.get(), Qt::Key_Insert);
    EXPECT_EQ(f.Root->Count(), 0);
}

// Under aoNonEmptyBrackets the emptied bracket goes too: it was chosen as the next current row
// and then freed while current.
TEST(PanelKeyTest, DeletingTheLastRowOfABracketNeverSelectsTheBracketThatGoes)
{
    KeyFixture f(true);
    f.Press("E", Qt::Key_Delete, Qt::ControlModifier);
    f.Press("D", Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.Tree(), "R@0 1.A@1 2.C@2");
    EXPECT_EQ(f.Current(), "C");

    KeyFixture last(true);
    last.Press("C", Qt::Key_Delete, Qt::ControlModifier);
    last.Press("E", Qt::Key_Delete, Qt::ControlModifier);
    last.Press("D", Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(last.Tree(), "R@0 1.A@1");
    EXPECT_EQ(last.Current(), "A");
}

// A handler running while a bracket frees its rows pressed keys on the dying current bracket: the
// bracket was deleted a second time, or a row was moved into it.
TEST(PanelKeyTest, KeysWhileTheCurrentBracketIsFreedTouchNothing)
{
    KeyFixture f;
    auto* x = static_cast<TFilterBracket*>(f.Row("X"));
    auto* freed = new FreedCond(f.Panel.get(), x);
    x->AppendRow(freed);
    int pressed = 0;
    freed->OnFree = [&] {
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right}) {
            int code = key;
            f.Panel->KeyDown(code, Qt::ControlModifier);
            ++pressed;
        }
        f.Panel->MoveRowIn();
        f.Panel->DeleteCurrentRow();
    };
    f.Press("X", Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(pressed, 5);
    EXPECT_EQ(f.Tree(), "R@0 1.A@1 2.C@2");
    EXPECT_EQ(f.Current(), "C");
}

// A failed move into a new bracket took the row out of the tree and left no row current.
TEST(PanelKeyTest, AMoveThatCannotMakeItsBracketKeepsTheRow)
{
    KeyFixture f;
    f.Panel->SetTitle("ttlBracket", "no placeholder");
    platform::ScriptedAnswers answers {platform::IDOK};
    f.Press("A", Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(answers.AskedTexts(), QStringList({"Invalid string format"}));
    EXPECT_EQ(f.Tree(), StartTree);
    EXPECT_EQ(f.Current(), "A");
}

TEST(PanelMouseTest, AClickOnThePanelTakesTheFocusAndAPressClosesDropDowns)
{
    KeyFixture f;
    f.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
    auto* value = qobject_cast<TDropDownLabel*>(f.Row("A")->ElementAt(TFilterCond::ValueLabel1));
    ASSERT_TRUE(value);
    value->DropDown();
    ASSERT_TRUE(value->Dropped());
    f.Panel->SetElementFrame(false);
    const QPoint empty(f.Panel->viewport()->width() - 5, f.Panel->viewport()->height() - 5);
    QTest::mouseClick(f.Panel->viewport(), Qt::LeftButton, Qt::NoModifier, empty);
    EXPECT_FALSE(value->Dropped());
    EXPECT_TRUE(f.Panel->hasFocus());
    EXPECT_TRUE(f.Panel->ElementFrame());
}

TDropDownLabel* ValueLabel(const KeyFixture& F, const QString& Name)
{
    return qobject_cast<TDropDownLabel*>(F.Row(Name)->ElementAt(TFilterCond::ValueLabel1));
}

// Building the query closes the open drop-downs wherever their rows are: an open editor in a
// nested row kept its text out of the statement.
TEST(PanelDropDownTest, ClosingReachesEveryOpenDropDown)
{
    for (const char* name : {"A", "D", "E", "C"}) {
        KeyFixture f;
        f.Panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
        TDropDownLabel* value = ValueLabel(f, name);
        ASSERT_TRUE(value) << name;
        value->DropDown();
        ASSERT_TRUE(value->Dropped()) << name;
        f.Panel->CloseDropDowns();
        EXPECT_FALSE(value->Dropped()) << name;
        f.Panel->CloseDropDowns();
        EXPECT_FALSE(value->Dropped()) << name;
    }
}

// An editor that refused its text stayed open but left the panel's list, so the next build ran
// with the value it kept instead of trying the typed text again.
TEST(PanelDropDownTest, AnEditorThatRefusesItsTextIsTriedAgainByTheNextClose)
{
    KeyFixture f;
    f.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
    auto* date = new TDropDownDateTimeEdit;
    date->setParent(f.Panel->viewport());
    date->SetValue(rtl::FormatDateTime(TDropDownDateTimeEdit::DateFormat(), rtl::EncodeDate(2003, 1, 2)));
    date->show();
    date->DropDown();
    ASSERT_TRUE(date->Dropped());
    f.Panel->NoteDropped(date);
    QTest::keyClicks(QApplication::focusWidget(), "2/31/1997");
    for (int i = 0; i < 2; ++i) {
        EXPECT_ANY_THROW(f.Panel->CloseDropDowns()) << i;
        EXPECT_TRUE(date->Dropped()) << i;
    }
}

// Opening a drop-down closes the one open before, in another bracket too.
TEST(PanelDropDownTest, OpeningADropDownClosesTheOpenOne)
{
    KeyFixture f;
    f.Panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
    TDropDownLabel* first = ValueLabel(f, "D");
    TDropDownLabel* second = ValueLabel(f, "C");
    first->DropDown();
    ASSERT_TRUE(first->Dropped());
    second->DropDown();
    EXPECT_FALSE(first->Dropped());
    EXPECT_TRUE(second->Dropped());
    f.Panel->CloseDropDowns();
    EXPECT_FALSE(second->Dropped());
}

// A row deleted while its own drop-down was open left the panel painting it through a freed button
// once the drop-downs closed; so did a bracket deleted with a row inside it.
TEST(PanelDropDownTest, DeletingARowWithItsDropDownOpen)
{
    const struct {
        const char* Opened;
        const char* Deleted;
    } cases[] = {{"A", "A"}, {"D", "D"}, {"D", "X"}};
    for (const auto& c : cases) {
        KeyFixture f;
        f.Panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(f.Panel.get()));
        TDropDownLabel* value = ValueLabel(f, c.Opened);
        value->DropDown();
        ASSERT_TRUE(value->Dropped()) << c.Opened;
        f.Panel->SetCurrentRow(f.Row(c.Deleted));
        f.Panel->DeleteCurrentRow();
        f.Panel->CloseDropDowns();
        f.Panel->repaint();
        EXPECT_EQ(f.Tree().find(std::string(c.Deleted) + "@"), std::string::npos) << f.Tree();
        EXPECT_TRUE(f.Panel->CurrentRow() && !f.Panel->CurrentRow()->Destroying()) << c.Deleted;
    }
}

}  // namespace
