// The query panel's keyboard and mouse: the key table, clicks on the panel itself, and the commands
// that move the current row within the condition tree.

#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/panel/querypanel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <functional>
#include <utility>

namespace {

// The keys the panel acts on once keyboard work is allowed.
bool IsPanelKey(int Key)
{
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

// A row that neither is being freed nor lies in a bracket that is: the only rows a command may
// change or make current.
bool IsLiving(const TFilterRow* Row)
{
    for (; Row; Row = Row->Parent())
        if (Row->Destroying())
            return false;
    return true;
}

}  // namespace

bool TZQueryPanel::event(QEvent* Event)
{
    // The panel's keys reach it before any shortcut of the window or a dialog's default button.
    if (Event->type() == QEvent::ShortcutOverride && FActive
        && FAppearance.Options().Contains(aoAllowKeyboard)
        && IsPanelKey(static_cast<QKeyEvent*>(Event)->key())) {
        Event->accept();
        return true;
    }
    return QAbstractScrollArea::event(Event);
}

void TZQueryPanel::keyPressEvent(QKeyEvent* Event)
{
    int key = Event->key();
    // A failed command has taken its key all the same.
    if (!platform::Guarded([&] { KeyDown(key, Event->modifiers()); }))
        key = 0;
    if (key == 0)
        Event->accept();
    else
        QAbstractScrollArea::keyPressEvent(Event);
}

void TZQueryPanel::focusInEvent(QFocusEvent* Event)
{
    QAbstractScrollArea::focusInEvent(Event);
    platform::Guarded([&] { SelectFirstLineIfNone(); });
}

void TZQueryPanel::SelectFirstLineIfNone()
{
    if (!FActive || !FRoot || FCurrentRow)
        return;
    SelectRowByIndex(0);
    FElementFrame = true;
}

void TZQueryPanel::KeyDown(int& Key, Qt::KeyboardModifiers Shift)
{
    if (!FActive || !FAppearance.Options().Contains(aoAllowKeyboard) || !IsPanelKey(Key))
        return;
    TFilterRow* row = FCurrentRow;
    if (!row || !row->Shown() || !IsLiving(row))
        return;
    const int key = Key;
    Key = 0;
    // Keypad keys carry a modifier of their own that is no combination.
    const Qt::KeyboardModifiers held = Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool none = held == Qt::NoModifier;
    const bool ctrl = held.testFlag(Qt::ControlModifier);
    const bool alt = held.testFlag(Qt::AltModifier);
    const auto stepElement = [&](void (TFilterRow::*Step)()) {
        FElementFrame = true;
        if (!row->SelectedElement())
            return;
        const int before = row->SelectedIndex();
        (row->*Step)();
        if (row->SelectedIndex() != before)
            RepaintRow(row);
    };
    struct Arrow {
        int Key;
        std::function<void()> Plain;
        void (TZQueryPanel::*WithCtrl)();
    };
    const Arrow arrows[] = {
        {Qt::Key_Up, [this] { SelectPrevRow(); }, &TZQueryPanel::MoveRowUp},
        {Qt::Key_Down, [this] { SelectNextRow(); }, &TZQueryPanel::MoveRowDown},
        {Qt::Key_Left, [&] { stepElement(&TFilterRow::SelectPrevElement); }, &TZQueryPanel::MoveRowOut},
        {Qt::Key_Right, [&] { stepElement(&TFilterRow::SelectNextElement); }, &TZQueryPanel::MoveRowIn},
    };
    for (const Arrow& arrow : arrows)
        if (arrow.Key == key) {
            if (none)
                arrow.Plain();
            else if (ctrl)
                (this->*arrow.WithCtrl)();
            return;
        }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (none)
            if (auto* label = qobject_cast<TDropDownLabel*>(row->SelectedElement()))
                label->DropDown();
        break;
    case Qt::Key_Insert:
        if (alt && row == FRoot)
            ShowAddMenu(row->Button());
        else if (alt)
            ShowRowMenu(row->Button());
        else
            AddConditionAt(InsertionBracket(), row->DisplayIndex() + 1);
        break;
    case Qt::Key_Delete:
        if (ctrl)
            DeleteCurrentRow();
        break;
    default:
        break;
    }
}

void TZQueryPanel::DeleteCurrentRow()
{
    TFilterRow* row = FCurrentRow;
    if (!row || !row->Parent() || !IsLiving(row))
        return;
    TFilterBracket* parent = row->Parent();
    parent->DeleteRow(parent->IndexOf(row));
    RenumberPaths(FRoot);
    ArrangeRows();
}

// --- mouse --------------------------------------------------------------------------------------

void TZQueryPanel::mousePressEvent(QMouseEvent* Event)
{
    QAbstractScrollArea::mousePressEvent(Event);
    Event->accept();
    FPressed = Event->button() == Qt::LeftButton;
    platform::Guarded([&] { CloseDropDowns(); });
}

void TZQueryPanel::mouseReleaseEvent(QMouseEvent* Event)
{
    QAbstractScrollArea::mouseReleaseEvent(Event);
    Event->accept();
    const bool click = FPressed && Event->button() == Qt::LeftButton
        && viewport()->rect().contains(Event->position().toPoint());
    FPressed = false;
    if (click)
        platform::Guarded([&] { Click(); });
}

void TZQueryPanel::Click()
{
    FocusPanel();
    // The panel may have had the focus already.
    SelectFirstLineIfNone();
    FElementFrame = true;
    RepaintRow(FCurrentRow);
}

// --- moving rows --------------------------------------------------------------------------------

void TZQueryPanel::MoveCurrentRow(void (TFilterRow::*Move)(), bool Into)
{
    TFilterRow* row = FCurrentRow;
    TFilterBracket* oldParent = row->Parent();
    SetCurrentRow(nullptr);
    RepaintRow(row);
    {
        // A failed move leaves the row where it was, and still current. The rows the operation
        // inserts tell no change: the move is told once, with the rows numbered.
        struct Restore {
            TFilterRow*& Current;
            TFilterRow* Row;
            bool& Updating;
            bool WasUpdating;
            ~Restore()
            {
                Current = Row;
                Updating = WasUpdating;
            }
        } restore {FCurrentRow, row, FUpdating, std::exchange(FUpdating, true)};
        (row->*Move)();
    }
    RenumberPaths(Into ? oldParent : row->Parent());
    // A bracket made by moving in is shown; an inactive panel shows nothing.
    if (Into && FActive)
        ShowRows();
    else
        ArrangeRows();
    ScrollRowIntoView(row);
    RepaintRow(row);
    Changed();
}

void TZQueryPanel::MoveRowUp()
{
    if (FCurrentRow && IsLiving(FCurrentRow) && FCurrentRow->Position() > 0)
        MoveCurrentRow(&TFilterRow::MoveUp, false);
}

void TZQueryPanel::MoveRowDown()
{
    TFilterRow* row = FCurrentRow;
    if (row && IsLiving(row) && row->Parent() && row->Position() < row->Parent()->Count() - 1)
        MoveCurrentRow(&TFilterRow::MoveDown, false);
}

void TZQueryPanel::MoveRowOut()
{
    TFilterRow* row = FCurrentRow;
    if (row && IsLiving(row) && row->Parent() && row->Depth() >= 2)
        MoveCurrentRow(&TFilterRow::MoveOut, false);
}

void TZQueryPanel::MoveRowIn()
{
    TFilterRow* row = FCurrentRow;
    if (row && IsLiving(row) && row->Parent() && row->Depth() > 0)
        MoveCurrentRow(&TFilterRow::MoveIn, true);
}

// --- the row after a deletion ---------------------------------------------------------------------

TFilterRow* TZQueryPanel::LivingRowNear(int Line, bool After) const
{
    if (!FRoot)
        return nullptr;
    const bool groups = FAppearance.Style() == psGroups;
    TFilterRow* nearest = nullptr;
    const std::function<void(TFilterRow*)> visit = [&](TFilterRow* Row) {
        if (Row->Destroying())
            return;
        const int line = Row->DisplayIndex();
        const bool counted = (groups || !Row->IsBracketNode()) && line >= 0;
        if (counted && (After ? line > Line : line < Line)
            && (!nearest || (After ? line < nearest->DisplayIndex() : line > nearest->DisplayIndex())))
            nearest = Row;
        if (Row->IsBracketNode()) {
            auto* bracket = static_cast<TFilterBracket*>(Row);
            for (int i = 0; i < bracket->Count(); ++i)
                visit(bracket->Rows(i));
        }
    };
    visit(FRoot);
    return nearest;
}
