// The on-screen side of the query panel: the header sentence, numbering and placing the rows, the
// add-row label, adding rows, the three menus, the current row and painting.

#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "rtl/format.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

// The label under the last row; a mouse button on it adds a row or opens the add menu.
class TAddRowLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(Qt::MouseButton)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent* Event) override
    {
        if (OnMouseDown)
            platform::Guarded([&] { OnMouseDown(Event->button()); });
    }
};

int ActionTag(const QAction* Action)
{
    return Action->data().toInt();
}

// Menu texts from the model: every "&" shows as itself.
QString MenuText(const QString& Text)
{
    return QString(Text).replace("&", "&&");
}

}  // namespace

void TZQueryPanel::CreateAddRowLabel()
{
    auto* label = new TAddRowLabel(viewport());
    label->setTextFormat(Qt::PlainText);
    label->setCursor(Qt::PointingHandCursor);
    label->hide();
    label->OnMouseDown = [this](Qt::MouseButton Button) { AddRowLabelMouseDown(Button); };
    FAddRowLabel = label;
}

QAction* TZQueryPanel::AddMenuItem(QMenu* Menu, const QString& TitleKey, int Tag)
{
    QAction* action = Menu->addAction(GetTitle(TitleKey));
    action->setData(Tag);
    return action;
}

void TZQueryPanel::CreateMenus()
{
    const auto bind = [this](QMenu* Menu) {
        connect(Menu, &QMenu::triggered, this, [this](QAction* Item) {
            const int tag = ActionTag(Item);
            if (tag >= 1 && tag <= 4)
                platform::Guarded([&] { RowMenuClick(Item); });
        });
    };
    FAddMenu = new QMenu(this);
    AddMenuItem(FAddMenu, "ttlAddCond", 2);
    AddMenuItem(FAddMenu, "ttlAddBracket", 1);
    FAddCustomCond = FAddMenu->addMenu(GetTitle("ttlCustomCond"));
    FAddCustomCond->menuAction()->setData(5);
    FAddCustomCond->menuAction()->setVisible(false);
    bind(FAddMenu);

    FRowMenu = new QMenu(this);
    AddMenuItem(FRowMenu, "ttlAddCond", 2);
    AddMenuItem(FRowMenu, "ttlAddBracket", 1);
    FRowCustomCond = FRowMenu->addMenu(GetTitle("ttlCustomCond"));
    FRowCustomCond->menuAction()->setData(5);
    FRowCustomCond->menuAction()->setVisible(false);
    AddMenuItem(FRowMenu, "ttlDelRow", 3);
    FRowMenu->addSeparator();
    AddMenuItem(FRowMenu, "ttlEnableDisable", 4);
    bind(FRowMenu);

    FValueMenu = new QMenu(this);
    auto* group = new QActionGroup(FValueMenu);
    QAction* constant = AddMenuItem(FValueMenu, "ttlConstant", 1);
    constant->setCheckable(true);
    constant->setChecked(true);
    group->addAction(constant);
    if (FAppearance.Options().Contains(aoAllowParams)) {
        QAction* parameter = AddMenuItem(FValueMenu, "ttlParameter", 2);
        parameter->setCheckable(true);
        group->addAction(parameter);
    }
    connect(FValueMenu, &QMenu::aboutToShow, this, [this] { platform::Guarded([&] { ValueMenuPopup(); }); });
    connect(FValueMenu, &QMenu::triggered, this,
        [this](QAction* Item) { platform::Guarded([&] { ValueMenuClick(Item); }); });
}

void TZQueryPanel::UpdateMenus()
{
    static const char* const keys[]
        = {"", "ttlAddBracket", "ttlAddCond", "ttlDelRow", "ttlEnableDisable", "ttlCustomCond"};
    for (QMenu* menu : {FAddMenu, FRowMenu})
        for (QAction* action : menu->actions())
            if (const int tag = ActionTag(action); tag >= 1 && tag <= 5)
                action->setText(GetTitle(keys[tag]));
    const QList<QAction*> valueItems = FValueMenu->actions();
    for (qsizetype i = valueItems.size() - 1; i >= 0; --i) {
        QAction* action = valueItems[i];
        if (ActionTag(action) == 1)
            action->setText(GetTitle("ttlConstant"));
        else if (ActionTag(action) == 2 && FAppearance.Options().Contains(aoAllowParams))
            action->setText(GetTitle("ttlParameter"));
        else if (ActionTag(action) == 2)
            delete action;
    }
    const bool conditions = FDbStruct && FDbStruct->Conditions().Count() > 0;
    for (QMenu* item : {FAddCustomCond, FRowCustomCond}) {
        if (conditions)
            FillCustomCondMenu(item);
        else
            item->menuAction()->setVisible(false);
    }
}

void TZQueryPanel::FillCustomCondMenu(QMenu* Item)
{
    Item->clear();
    Item->menuAction()->setVisible(true);
    const TDSConditionList& conditions = FDbStruct->Conditions();
    for (int i = 0; i < conditions.Count(); ++i) {
        QAction* action
            = Item->addAction(rtl::Format("&%d. %s", i + 1, MenuText(conditions[i]->GetCaption())));
        action->setData(i);
        connect(action, &QAction::triggered, this,
            [this, i] { platform::Guarded([&] { CustomCondMenuClick(i); }); });
    }
}

void TZQueryPanel::CustomCondMenuClick(int Index)
{
    if (!FDbStruct || Index >= FDbStruct->Conditions().Count())
        return;
    AddCustomCondition(InsertionBracket(), FDbStruct->Conditions()[Index]);
    FocusPanel();
}

void TZQueryPanel::FocusPanel()
{
    if (!hasFocus() && isVisible())
        setFocus();
}

void TZQueryPanel::PopupBelow(QMenu* Menu, QWidget* Anchor)
{
    const QPoint corner = Anchor->mapToGlobal(QPoint(0, Anchor->height()));
    // Shown without waiting: the menu's items run their commands when chosen.
    Menu->popup(corner);
}

void TZQueryPanel::ShowMenuAt(QMenu* Menu, TZRndBtn* Button)
{
    // Nothing can be added to a model none of whose fields has an operator.
    if (!FDbStruct)
        return;
    const TDSFieldList& fields = FDbStruct->Fields();
    if (std::none_of(
            fields.begin(), fields.end(), [](const TDSField* F) { return F->GetOperatorCount() > 0; }))
        return;
    if (auto* button = dynamic_cast<TFilterBtn*>(Button))
        SetCurrentRow(button->Row());
    PopupBelow(Menu, Button);
}

void TZQueryPanel::ShowAddMenu(TZRndBtn* Button)
{
    ShowMenuAt(FAddMenu, Button);
}

void TZQueryPanel::ShowRowMenu(TZRndBtn* Button)
{
    ShowMenuAt(FRowMenu, Button);
}

void TZQueryPanel::RowMenuClick(QAction* Item)
{
    switch (ActionTag(Item)) {
    case 1:
        AddBracket(InsertionBracket());
        break;
    case 2:
        AddCondition(InsertionBracket());
        break;
    case 3:
        DeleteCurrentRow();
        break;
    case 4:
        if (FCurrentRow)
            FCurrentRow->SetChecked(!FCurrentRow->Checked());
        break;
    default:
        break;
    }
    FocusPanel();
}

void TZQueryPanel::LinkTypeChanged(TDropDownLabel* Sender, bool Accepted)
{
    FElementFrame = true;
    if (!Accepted || !FRoot)
        return;
    FRoot->LastLabel()->move(Sender->x() + Sender->width() + FElemSpace, FRoot->LastLabel()->y());
    FRoot->SetLinkType(FRoot->OfferedLinkType(FRoot->LinkTypeLabel()->ItemIndex()));
    Changed();
    RepaintRow(FRoot);
}

void TZQueryPanel::ValueMenuPopup()
{
    TFilterRow* row = FCurrentRow;
    bool parameter = false;
    if (row && row->SelectedIndex() == 3)
        parameter = row->Param(1) != nullptr;
    else if (row && row->SelectedIndex() == 5)
        parameter = row->Param(2) != nullptr;
    for (QAction* action : FValueMenu->actions())
        action->setChecked(ActionTag(action) == (parameter ? 2 : 1));
}

void TZQueryPanel::ValueMenuClick(QAction* Item)
{
    auto* condition = dynamic_cast<TFilterCond*>(FCurrentRow);
    if (!condition)
        return;
    const int value = condition->SelectedIndex() == TFilterCond::ValueLabel1 ? 1 : 2;
    condition->SetParamState(value, ActionTag(Item) == 2);
    FocusPanel();
    Changed();
    condition->Layout();
    RepaintRow(condition);
}

// --- header and rows ---------------------------------------------------------------------------

void TZQueryPanel::BuildHeader()
{
    const QString title = GetTitle("ttlFilter");
    const int at = int(title.indexOf('@'));
    if (at < 0)
        throw EZQueryPanelError::Create(qpeInvalidFilterTitle);
    FRoot->Button()->OnClick = [this](TZRndBtn* Sender) { ShowAddMenu(Sender); };
    FRoot->LinkTypeLabel()->AfterDropUp
        = [this](TDropDownLabel* Sender, bool Accepted) { LinkTypeChanged(Sender, Accepted); };
    SetLabelText(FRoot->FirstLabel(), title.left(at).trimmed());
    FRoot->FillLinkTypes();
    SetLabelText(FRoot->LastLabel(), title.mid(at + 1).trimmed());
}

void TZQueryPanel::ShowHeader()
{
    BuildHeader();
    FRoot->SetDisplayIndex(0);
    FRoot->SetShown(true);
}

void TZQueryPanel::HideHeader()
{
    if (FRoot)
        FRoot->SetShown(false);
}

void TZQueryPanel::NumberRows(bool Show)
{
    if (!FRoot)
        return;
    const bool groups = FAppearance.Style() == psGroups;
    int line = 0;
    int right = 0;
    const std::function<void(TFilterRow*)> number = [&](TFilterRow* Row) {
        auto* bracket = Row->IsBracketNode() ? static_cast<TFilterBracket*>(Row) : nullptr;
        if (groups || !bracket) {
            Row->SetDisplayIndex(line++);
            if (Show)
                Row->SetShown(true);
            for (int n = TFilterRow::MaxElement; n >= 1; --n)
                if (QWidget* element = Row->ElementAt(n)) {
                    right = std::max(right, element->x() + element->width());
                    break;
                }
        }
        if (bracket)
            for (int i = 0; i < bracket->Count(); ++i)
                number(bracket->Rows(i));
    };
    number(FRoot);
    if (!FRoot->HasControls())
        return;
    const int rowHeight = FRoot->Button()->height() + FRowSpace + 3;
    FContentHeight = FHeaderTop + (line + 1) * rowHeight + FHeaderTop;
    FContentWidth = right + horizontalScrollBar()->value() + FHeaderLeft;
    UpdateScrollRange();
}

void TZQueryPanel::UpdateScrollRange()
{
    const QSize area = viewport()->size();
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setRange(0, std::max(0, FContentHeight - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setRange(0, std::max(0, FContentWidth - area.width()));
}

void TZQueryPanel::ScrollRowIntoView(const TFilterRow* Row)
{
    if (!Row || !Row->Shown() || Row->Destroying() || !Row->HasControls())
        return;
    // Rows sit where the scrolling puts them: one above the view has a negative top.
    const QRect band = RowBand(Row);
    const QRect area = viewport()->rect();
    QScrollBar* bar = verticalScrollBar();
    if (band.top() < area.top())
        bar->setValue(bar->value() + band.top() - area.top());
    else if (band.bottom() > area.bottom())
        bar->setValue(bar->value() + band.bottom() - area.bottom());
}

void TZQueryPanel::ShowRows()
{
    NumberRows(true);
    SetLabelText(FAddRowLabel, "< " + GetTitle("ttlClickToAdd") + " >");
    PositionAddRowLabel();
    FAddRowLabel->setVisible(FAppearance.Options().Contains(aoShowAddRow));
}

void TZQueryPanel::ArrangeRows()
{
    NumberRows(false);
    if (FAppearance.Options().Contains(aoShowAddRow))
        PositionAddRowLabel();
}

void TZQueryPanel::HideRows()
{
    if (FRoot) {
        const std::function<void(TFilterRow*)> hide = [&](TFilterRow* Row) {
            Row->SetShown(false);
            if (Row->IsBracketNode()) {
                auto* bracket = static_cast<TFilterBracket*>(Row);
                for (int i = 0; i < bracket->Count(); ++i)
                    hide(bracket->Rows(i));
            }
        };
        hide(FRoot);
    }
    FAddRowLabel->hide();
}

void TZQueryPanel::PositionAddRowLabel()
{
    if (!FRoot)
        return;
    FAddRowLabel->setFont(font());
    SetFontColor(FAddRowLabel, FAppearance.AddRowColor());
    SetLabelText(FAddRowLabel, FAddRowLabel->text());
    const TFilterBtn* button = LastRow()->Button();
    // Rows of an inactive panel have no controls to place the label under.
    if (!button)
        return;
    const int left = layoutDirection() == Qt::RightToLeft
        ? button->x() + button->width() - FAddRowLabel->width()
        : button->x();
    FAddRowLabel->move(left, button->y() + button->height() + FRowSpace + 2);
}

void TZQueryPanel::AddRowLabelMouseDown(Qt::MouseButton Button)
{
    if (Button == Qt::LeftButton && FRoot)
        AddCondition(FRoot);
    else if (Button == Qt::RightButton)
        PopupBelow(FAddMenu, FAddRowLabel);
    FocusPanel();
}

TFilterRow* TZQueryPanel::LastRow() const
{
    TFilterRow* row = FRoot;
    // A row that is being freed is its own last row: its rows may be gone already.
    while (row && row->IsBracketNode() && !row->Destroying()) {
        auto* bracket = static_cast<TFilterBracket*>(row);
        if (bracket->Count() == 0)
            break;
        row = bracket->LastRow();
    }
    return row;
}

// --- adding rows -------------------------------------------------------------------------------

TFilterBracket* TZQueryPanel::InsertionBracket() const
{
    if (!FCurrentRow)
        return FRoot;
    if (FCurrentRow->IsBracketNode())
        return static_cast<TFilterBracket*>(FCurrentRow);
    return FCurrentRow->Parent();
}

void TZQueryPanel::ShowNewRow(TFilterRow* Row, int N)
{
    RenumberPaths(Row->Parent());
    if (!FActive)
        return;
    Row->SetDisplayIndex(N);
    Row->SetShown(true);
    ArrangeRows();
    SetCurrentRow(Row);
    ScrollRowIntoView(Row);
}

TFilterRow* TZQueryPanel::AddConditionAt(TFilterBracket* Bracket, int DisplayIndex)
{
    TFilterRow* row = Bracket->InsertSimpleCondAt(DisplayIndex);
    ShowNewRow(row, DisplayIndex);
    return row;
}

TFilterRow* TZQueryPanel::AddCondition(TFilterBracket* Bracket)
{
    return AddConditionAt(Bracket, Bracket->LastIndex() + 1);
}

TFilterRow* TZQueryPanel::AddCustomCondition(TFilterBracket* Bracket, TDSCondition* Condition)
{
    const int line = Bracket->LastIndex() + 1;
    TFilterRow* row = Bracket->InsertCustomCondAt(line, Condition);
    ShowNewRow(row, line);
    return row;
}

TFilterBracket* TZQueryPanel::AddBracket(TFilterBracket* Bracket)
{
    return AddBracketAt(Bracket, Bracket->LastIndex() + 1);
}

TFilterBracket* TZQueryPanel::AddBracketAt(TFilterBracket* Bracket, int DisplayIndex)
{
    TFilterBracket* bracket = Bracket->InsertBracketAt(DisplayIndex);
    int line = DisplayIndex;
    const bool groups = FAppearance.Style() == psGroups;
    if (groups && FActive) {
        bracket->SetDisplayIndex(line);
        bracket->SetShown(true);
    }
    if (groups)
        ++line;
    TFilterRow* condition = nullptr;
    if (!groups || FAppearance.Options().Contains(aoNonEmptyBrackets)) {
        condition = bracket->AppendSimpleCond();
        if (FActive) {
            condition->SetDisplayIndex(line);
            condition->SetShown(true);
        }
    }
    RenumberPaths(Bracket);
    if (!FActive)
        return bracket;
    ArrangeRows();
    if (condition)
        SetCurrentRow(condition);
    ScrollRowIntoView(condition ? condition : bracket);
    return bracket;
}

void TZQueryPanel::RenumberPaths(TFilterBracket* Bracket)
{
    for (int i = 0; i < Bracket->Count(); ++i) {
        TFilterRow* row = Bracket->Rows(i);
        row->SetPath(Bracket->Path() + QString::number(i + 1) + ".");
        if (row->IsBracketNode())
            RenumberPaths(static_cast<TFilterBracket*>(row));
    }
}

// --- current row, selection by line --------------------------------------------------------------

void TZQueryPanel::SetCurrentRow(TFilterRow* Row)
{
    if (Row == FCurrentRow)
        return;
    TFilterRow* old = FCurrentRow;
    FCurrentRow = Row;
    if (!old || !Row || old->Destroying() || Row->Destroying()) {
        viewport()->update();
        return;
    }
    RepaintRow(old);
    RepaintRow(Row);
}

TFilterRow* TZQueryPanel::FindRowByIndex(TFilterBracket* Bracket, int N) const
{
    if (Bracket->DisplayIndex() == N)
        return Bracket;
    for (int i = 0; i < Bracket->Count(); ++i) {
        TFilterRow* row = Bracket->Rows(i);
        if (row->Destroying())
            continue;
        if (row->DisplayIndex() == N)
            return row;
        const bool last = i == Bracket->Count() - 1;
        if (row->IsBracketNode() && (last || N < Bracket->Rows(i + 1)->DisplayIndex()))
            return FindRowByIndex(static_cast<TFilterBracket*>(row), N);
    }
    return nullptr;
}

void TZQueryPanel::SelectRowByIndex(int N)
{
    if (!FRoot)
        return;
    SetCurrentRow(FindRowByIndex(FRoot, N));
    if (!FCurrentRow)
        return;
    FCurrentRow->SelectFirstElement();
    if (!FRoot->Destroying())
        ScrollRowIntoView(FCurrentRow);
}

void TZQueryPanel::SelectNextRow()
{
    const TFilterRow* last = LastRow();
    if (FCurrentRow && last && FCurrentRow->DisplayIndex() < last->DisplayIndex())
        SelectRowByIndex(FCurrentRow->DisplayIndex() + 1);
    FElementFrame = true;
}

void TZQueryPanel::SelectPrevRow()
{
    if (FCurrentRow && FCurrentRow->DisplayIndex() > 0)
        SelectRowByIndex(FCurrentRow->DisplayIndex() - 1);
    FElementFrame = true;
}

void TZQueryPanel::SelectAfterDelete()
{
    if (!FRoot || FRoot->Destroying())
        return;
    const int line = CurrentRowIndex();
    const TFilterRow* last = LastRow();
    if (line <= 0 || FRoot->Count() < 2) {
        SetCurrentRow(nullptr);
        return;
    }
    // The neighbouring line may belong to a row going with this one (the rows of a deleted
    // bracket): the nearest row that stays is chosen instead.
    const bool after = !(last && line >= last->DisplayIndex());
    const TFilterRow* next = LivingRowNear(line, after);
    if (!next)
        next = LivingRowNear(line, !after);
    if (next)
        SelectRowByIndex(next->DisplayIndex());
    else
        SetCurrentRow(nullptr);
    FElementFrame = true;
}

// --- painting -----------------------------------------------------------------------------------

QRect TZQueryPanel::RowBand(const TFilterRow* Row) const
{
    const TFilterBtn* button = Row->Button();
    return QRect(0, button->y() - 2, viewport()->width(), button->height() + 4);
}

void TZQueryPanel::RepaintRow(TFilterRow* Row)
{
    if (Row && Row->Shown() && !Row->Destroying())
        viewport()->update(RowBand(Row).adjusted(0, -1, 0, 1));
}

void TZQueryPanel::PaintRow(QPainter& Painter, TFilterRow* Row)
{
    // A row being freed may still be current while its controls go, its drop-down closing on the way.
    if (!Row || !Row->Shown() || Row->Destroying() || !Row->HasControls()
        || !FAppearance.Options().Contains(aoAllowKeyboard))
        return;
    const bool current = Row == FCurrentRow;
    Painter.fillRect(RowBand(Row),
        current ? ColorToQColor(FAppearance.ActiveRowColor())
                : viewport()->palette().color(QPalette::Window));
    if (!current || !FElementFrame)
        return;
    // A row made current without a chosen element frames its first drop-down: the one Enter opens.
    if (const QWidget* element = Row->SelectedElement()) {
        Painter.setPen(ColorToQColor(FAppearance.ControlBorderColor()));
        Painter.drawRect(element->geometry().adjusted(-2, -2, 1, 1));
    }
}

void TZQueryPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), viewport()->palette().color(QPalette::Window));
    if (FCurrentRow && FCurrentRow->Shown())
        PaintRow(painter, FCurrentRow);
}

void TZQueryPanel::scrollContentsBy(int, int)
{
    if (FActive)
        ArrangeRows();
    viewport()->update();
}

void TZQueryPanel::resizeEvent(QResizeEvent* Event)
{
    QAbstractScrollArea::resizeEvent(Event);
    UpdateScrollRange();
    if (FActive && layoutDirection() == Qt::RightToLeft)
        ArrangeRows();
}

void TZQueryPanel::changeEvent(QEvent* Event)
{
    QAbstractScrollArea::changeEvent(Event);
    platform::Guarded([&] {
        if (Event->type() == QEvent::EnabledChange) {
            // Qt disables the rows' controls with the panel; each row keeps its own check state.
            FAddRowLabel->setEnabled(isEnabled());
        } else if (Event->type() == QEvent::LayoutDirectionChange && FRoot && FActive) {
            if (FAppearance.Style() == psGroups)
                ShowHeader();
            ArrangeRows();
            viewport()->update();
        }
    });
}
