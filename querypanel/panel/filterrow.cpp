#include "querypanel/panel/filterrow.h"

#include "platform/exceptionguard.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/appearance.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/panel/titles.h"

#include <QLabel>
#include <QScrollBar>
#include <QStyle>

#include <memory>

namespace {

// The bracket sentence: "ttlBracket", else the second line of the titles, else the built-in text.
QString BracketTitle(const TZQueryPanel* Panel)
{
    QString title = Panel->GetTitle("ttlBracket");
    if (title.isEmpty())
        title = Panel->Titles().value(1);
    if (title.isEmpty())
        title = DefaultTitle("ttlBracket");
    return title;
}

// Checked before the row makes any control, so a failing bracket leaves nothing behind.
TZQueryPanel* PanelWithBracketTitle(TZQueryPanel* Panel)
{
    if (!BracketTitle(Panel).contains('@'))
        throw EZQueryPanelError::Create(qpeInvalidStringFormat);
    return Panel;
}

}  // namespace

void SetLabelText(QLabel* Label, const QString& Text)
{
    Label->setText(Text);
    const QFontMetrics metrics(Label->font());
    Label->resize(Text.isEmpty() ? 0 : metrics.horizontalAdvance(Text), metrics.height());
}

// ---------------------------------------------------------------------------------------------
// TFilterRow

TFilterRow::TFilterRow(TZQueryPanel* Panel, TFilterBracket* Parent, int RowType)
    : FPanel(Panel), FParent(Parent), FRowType(RowType)
{
}

void TFilterRow::CreateControls()
{
    if (HasControls())
        return;
    QWidget* area = FPanel->RowArea();
    const TQPAppearanceOptions options = FPanel->Appearance().Options();

    FCheckBox = new TZFlatCheckBox(area);
    FCheckBox->setChecked(FChecked);
    FCheckBox->setFixedWidth(16);
    FCheckBox->hide();
    connect(FCheckBox, &QCheckBox::clicked, this, [this](bool Value) {
        platform::Guarded([&] {
            FChecked = Value;
            UpdateEnabled();
        });
    });

    FButton = new TFilterBtn(area, this);
    FButton->SetAutoSize(true);
    FButton->SetFlat(options.Contains(aoFlatButtons));
    if (!FButton->Flat()) {
        FButton->SetAllowPress(true);
        FButton->SetPressedColor(FButton->palette().color(QPalette::Button));
    }
    FButton->SetRounded(options.Contains(aoRoundButtons));
    FButton->hide();
    FButton->OnClick = [this](TZRndBtn* Sender) { FPanel->ShowRowMenu(Sender); };

    MakeElements();
    if (!FChecked)
        for (int n = 1; n <= MaxElement; ++n)
            if (QWidget* element = ElementAt(n))
                element->setEnabled(false);
    Layout();
}

TFilterRow::~TFilterRow()
{
    FDestroying = true;
    FreeControls();
    if (FPanel->CurrentRow() != this || FPanel->Destroying())
        return;
    FPanel->SelectAfterDelete();
    // The choice may have fallen on this row or on another one that is going with it.
    for (const TFilterRow* row = FPanel->CurrentRow(); row; row = row->Parent())
        if (row->Destroying()) {
            FPanel->SetCurrentRow(nullptr);
            break;
        }
}

void TFilterRow::SetPath(const QString& Value)
{
    if (FPath != Value)
        FPath = Value;
}

void TFilterRow::SetDisplayIndex(int Value)
{
    FDisplayIndex = Value;
    Layout();
}

int TFilterRow::Depth() const
{
    return int(FPath.count('.'));
}

int TFilterRow::Position() const
{
    return FParent ? FParent->IndexOf(this) : 0;
}

QWidget* TFilterRow::ElementAt(int N) const
{
    return N >= 1 && N <= MaxElement ? FElements[N].data() : nullptr;
}

QWidget* TFilterRow::Element(int N)
{
    if (N >= 1 && N <= MaxElement)
        return FElements[N];
    SelectFirstElement();
    return ElementAt(FSelElement);
}

bool TFilterRow::IsDropDownElement(int N) const
{
    return qobject_cast<TDropDownLabel*>(ElementAt(N)) != nullptr;
}

void TFilterRow::SelectFirstElement()
{
    for (int n = 1; n <= 9; ++n)
        if (IsDropDownElement(n)) {
            FSelElement = n;
            return;
        }
}

void TFilterRow::SelectNextElement()
{
    for (int n = FSelElement + 1; n <= 9; ++n)
        if (IsDropDownElement(n) && ElementAt(n)->isVisible()) {
            FSelElement = n;
            return;
        }
}

void TFilterRow::SelectPrevElement()
{
    int n = FSelElement - 1;
    while (n > 0 && !IsDropDownElement(n))
        --n;
    FSelElement = n;
    if (FSelElement == 0)
        SelectFirstElement();
}

int TFilterRow::IndexOfElement(const QWidget* Label) const
{
    for (int n = 1; n <= 9; ++n)
        if (Label && ElementAt(n) == Label && IsDropDownElement(n))
            return n;
    return -1;
}

QWidget* TFilterRow::MenuButton() const
{
    return FButton ? static_cast<QWidget*>(FButton) : ElementAt(1);
}

void TFilterRow::SetChecked(bool Value)
{
    RestoreChecked(Value);
    UpdateEnabled();
}

void TFilterRow::RestoreChecked(bool Value)
{
    FChecked = Value;
    if (FCheckBox)
        FCheckBox->setChecked(Value);
}

void TFilterRow::PlaceControl(QWidget* Control, int& X, int Y, bool Step)
{
    const int space = FPanel->ElemSpace();
    if (FPanel->layoutDirection() == Qt::RightToLeft) {
        Control->move(X - Control->width(), Y);
        X -= Control->width() + space;
        return;
    }
    Control->move(X, Y);
    if (Step)
        X += Control->width() + space;
}

void TFilterRow::Layout()
{
    if (!HasControls())
        return;
    TZQueryPanel* panel = FPanel;
    FButton->SetCaption(FPath.left(FPath.size() - 1));
    int x = 0;
    int y = 0;
    if (!FParent) {
        FButton->SetAutoSize(false);
        const int height = panel->GetRowTextHeight();
        FButton->resize(height, height);
        x = panel->HeaderLeft();
        y = panel->HeaderTop();
    } else {
        x = Depth() * panel->TabSpace() + panel->HeaderLeft();
        y = panel->HeaderTop() + (FButton->height() + panel->RowSpace() + 3) * FDisplayIndex;
    }
    if (FButton->width() < FButton->height())
        FButton->resize(FButton->height(), FButton->height());

    const int scrollX = panel->horizontalScrollBar()->value();
    x -= scrollX;
    y -= panel->verticalScrollBar()->value();
    const bool rightToLeft = panel->layoutDirection() == Qt::RightToLeft;
    const int clientWidth = panel->RowArea()->width();
    if (rightToLeft)
        x = clientWidth - x - 5;

    const QStyle* style = panel->style();
    FCheckBox->resize(
        style->pixelMetric(QStyle::PM_IndicatorWidth), style->pixelMetric(QStyle::PM_IndicatorHeight));
    FCheckBox->move(rightToLeft ? clientWidth - panel->HeaderLeft() - FCheckBox->width() - 5
                                : panel->HeaderLeft() - scrollX,
        y);

    PlaceControl(FButton, x, y, true);
    if (QWidget* first = ElementAt(1))
        PlaceControl(first, x, y, first->width() > 0);
    for (int n = 2; n <= 5; ++n)
        if (QWidget* element = ElementAt(n))
            PlaceControl(element, x, y, true);

    UpdateAndOr();
    if (QWidget* andOr = ElementAt(9)) {
        const int space = panel->ElemSpace();
        andOr->move(rightToLeft ? x - andOr->width() - space : x + space, y);
    }
}

void TFilterRow::SetShown(bool Value)
{
    if (Value)
        CreateControls();
    if (!HasControls()) {
        FShown = false;
        return;
    }
    FCheckBox->setVisible(
        Value && FPanel->Appearance().Options().Contains(aoShowCheckBoxes) && FParent != nullptr);
    if (Value == FShown)
        return;
    FShown = Value;
    if (Value)
        for (int n : {1, 2, 3, 5})
            if (IsDropDownElement(n)) {
                QFont font = ElementAt(n)->font();
                font.setUnderline(true);
                ElementAt(n)->setFont(font);
            }
    FButton->setVisible(Value);
    for (int n : {1, 2, 3, 5, 4})
        if (QWidget* element = ElementAt(n))
            element->setVisible(Value);
    UpdateAndOr();
}

void TFilterRow::UpdateEnabled()
{
    for (int n = 1; n <= MaxElement; ++n)
        if (QWidget* element = ElementAt(n))
            element->setEnabled(FChecked);
    FPanel->Changed();
}

void TFilterRow::MoveUp()
{
    const int position = Position();
    if (!FParent || position <= 0)
        return;
    TFilterBracket* parent = FParent;
    parent->RemoveRow(position, false);
    parent->InsertRow(position - 1, this);
}

void TFilterRow::MoveDown()
{
    const int position = Position();
    if (!FParent || position >= FParent->Count() - 1)
        return;
    TFilterBracket* parent = FParent;
    parent->RemoveRow(position, false);
    parent->InsertRow(position + 1, this);
}

void TFilterRow::MoveOut()
{
    TFilterBracket* parent = FParent;
    if (!parent || !parent->Parent())
        return;
    TFilterBracket* grandParent = parent->Parent();
    const int parentPosition = grandParent->IndexOf(parent);
    parent->RemoveRow(Position(), false);
    grandParent->InsertRow(parentPosition + 1, this);
    if (parent->Count() == 0)
        grandParent->RemoveRow(parentPosition, true);
}

void TFilterRow::MoveIn()
{
    TFilterBracket* parent = FParent;
    if (!parent)
        return;
    const int position = Position();
    TFilterBracket* target = nullptr;
    if (position > 0)
        target = dynamic_cast<TFilterBracket*>(parent->Rows(position - 1));
    // The new bracket comes first: when it cannot be made, the row is still in the tree.
    if (!target)
        target = parent->InsertNewBracket(position);
    parent->RemoveRow(Position(), false);
    target->AppendRow(this);
}

void TFilterRow::RefreshDependents(TFilterRow*, const QString&)
{
}

void TFilterRow::RowBeforeDropDown(TDropDownLabel* Sender)
{
    FPanel->CloseDropDowns();
    FPanel->SetCurrentRow(this);
    FSelElement = IndexOfElement(Sender);
    FPanel->SetElementFrame(false);
    FPanel->RepaintRow(this);
}

void TFilterRow::RowAfterDropUp(TDropDownLabel* Sender, bool Accepted)
{
    if (Accepted) {
        ApplyDroppedValue(IndexOfElement(Sender), Sender);
        FPanel->Changed();
    }
    FPanel->SetElementFrame(true);
    Layout();
    if (!FPanel->hasFocus() && FPanel->focusPolicy() != Qt::NoFocus && FPanel->isVisible())
        FPanel->setFocus();
    FPanel->RepaintRow(this);
}

void TFilterRow::ApplyDroppedValue(int, TDropDownLabel*)
{
}

void TFilterRow::SetElement(int N, QWidget* Control)
{
    delete FElements[N].data();
    FElements[N] = Control;
    FElementOrder.removeOne(N);
    if (Control)
        FElementOrder.append(N);
}

void TFilterRow::FreeControls()
{
    // In the order they were made: the panel's child list then loses each at its front, which keeps
    // freeing thousands of rows linear.
    delete FCheckBox;
    FCheckBox = nullptr;
    delete FButton;
    FButton = nullptr;
    for (int n : std::as_const(FElementOrder))
        delete FElements[n].data();
    FElementOrder.clear();
}

QLabel* TFilterRow::NewPlainLabel(const QString& Text)
{
    auto* label = new QLabel(FPanel->RowArea());
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setLayoutDirection(FPanel->layoutDirection());
    label->hide();
    SetLabelText(label, Text);
    return label;
}

void TFilterRow::BindDropDown(TDropDownLabel* Label)
{
    Label->setLayoutDirection(FPanel->layoutDirection());
    Label->BeforeDropDown = [this](TDropDownLabel* Sender) { RowBeforeDropDown(Sender); };
    Label->AfterDropDown = [this](TDropDownLabel* Sender) { FPanel->NoteDropped(Sender); };
    Label->AfterDropUp = [this](TDropDownLabel* Sender, bool Accepted) { RowAfterDropUp(Sender, Accepted); };
}

// ---------------------------------------------------------------------------------------------
// TFilterBracket

TFilterBracket::TFilterBracket(TZQueryPanel* Panel, TFilterBracket* Parent)
    : TFilterRow(PanelWithBracketTitle(Panel), Parent, 1)
{
}

void TFilterBracket::MakeElements()
{
    TZQueryPanel* panel = Panel();
    const QString title = BracketTitle(panel);
    const int at = int(title.indexOf('@'));
    SetElement(1, NewPlainLabel(title.left(at).trimmed()));
    auto* chooser = new TDropDownPopup;
    chooser->SetMaxItemCount(panel->MaxPopupItemCount());
    chooser->setLayoutDirection(panel->layoutDirection());
    SetFontColor(chooser, panel->Appearance().BoolOpColor());
    chooser->setParent(panel->RowArea());
    chooser->hide();
    BindDropDown(chooser);
    SetElement(2, chooser);
    SetElement(3, NewPlainLabel(title.mid(at + 1).trimmed()));
    FillLinkTypes();
}

TFilterBracket::~TFilterBracket()
{
    MarkDestroying();
    // The bracket's controls are older than its rows', and the rows go in the order they were made:
    // each control leaves the panel's child list at its front.
    FreeControls();
    while (!FRows.isEmpty()) {
        delete FRows.first();
        FRows.removeFirst();
    }
}

QLabel* TFilterBracket::FirstLabel() const
{
    return static_cast<QLabel*>(ElementAt(1));
}

TDropDownPopup* TFilterBracket::LinkTypeLabel() const
{
    return static_cast<TDropDownPopup*>(ElementAt(2));
}

QLabel* TFilterBracket::LastLabel() const
{
    return static_cast<QLabel*>(ElementAt(3));
}

QString LinkTypeTitle(const TZQueryPanel* Panel, TFilterLinkType Type)
{
    static const char* const keys[] = {"ttlAll", "ttlAny", "ttlNone", "ttlNotAll"};
    return Panel->GetTitle(keys[Type]);
}

void TFilterBracket::FillLinkTypes()
{
    TDropDownPopup* chooser = LinkTypeLabel();
    if (!chooser)
        return;
    chooser->ClearItems();
    FOffered.clear();
    for (TFilterLinkType type : {fltAll, fltAny, fltNone, fltNotAll}) {
        if (!Panel()->Appearance().LinkTypes().Contains(type))
            continue;
        const QString title = LinkTypeTitle(Panel(), type);
        chooser->AddItem(QString(), title, title);
        FOffered.append(type);
    }
    ShowLinkType();
}

void TFilterBracket::ShowLinkType()
{
    TDropDownPopup* chooser = LinkTypeLabel();
    if (!chooser)
        return;
    const int index = int(FOffered.indexOf(FLinkType));
    chooser->SetItemIndex(index);
    // A link type read from a query may be one the chooser does not offer: it still reads right.
    if (index < 0)
        chooser->SetCaption(LinkTypeTitle(Panel(), FLinkType));
}

void TFilterBracket::SetLinkType(TFilterLinkType Value)
{
    FLinkType = Value;
    ShowLinkType();
    UpdateAndOr();
}

TFilterLinkType TFilterBracket::OfferedLinkType(int ItemIndex) const
{
    return FOffered.value(ItemIndex, FLinkType);
}

void TFilterBracket::InsertRow(int P, TFilterRow* Row)
{
    FRows.insert(P, Row);
    Row->SetParent(this);
    Row->SetPath(Path() + QString::number(P + 1) + ".");
    if (Count() < 3)
        RefreshFieldLists();
    Panel()->Changed();
}

int TFilterBracket::AppendRow(TFilterRow* Row)
{
    const int position = Count();
    InsertRow(position, Row);
    return position;
}

int TFilterBracket::IndexOfDisplayIndex(int N) const
{
    for (int i = 0; i < Count(); ++i)
        if (FRows[i]->DisplayIndex() == N)
            return i;
    return -1;
}

int TFilterBracket::PositionForDisplayIndex(int N) const
{
    if (FRows.isEmpty() || N < FRows.first()->DisplayIndex())
        return 0;
    if (N > FRows.last()->DisplayIndex())
        return Count();
    const int exact = IndexOfDisplayIndex(N);
    if (exact >= 0)
        return exact;
    // Rows without a line of their own (brackets in style psAndOr): the first row that reaches
    // down to line N, so the new row takes that line.
    for (int i = 0; i < Count(); ++i) {
        const TFilterRow* row = FRows[i];
        while (row->IsBracketNode() && static_cast<const TFilterBracket*>(row)->Count() > 0)
            row = static_cast<const TFilterBracket*>(row)->LastRow();
        if (row->DisplayIndex() >= N)
            return i;
    }
    return Count();
}

TFilterRow* TFilterBracket::InsertSimpleCondAt(int N)
{
    const int position = PositionForDisplayIndex(N);
    TFilterRow* row = new TSimpleCond(Panel(), this);
    InsertRow(position, row);
    return row;
}

TFilterRow* TFilterBracket::InsertCustomCondAt(int N, TDSCondition* Condition)
{
    const int position = PositionForDisplayIndex(N);
    TFilterRow* row = new TCustomCond(Panel(), Condition, this);
    InsertRow(position, row);
    return row;
}

TFilterBracket* TFilterBracket::InsertBracketAt(int N)
{
    const int position = PositionForDisplayIndex(N);
    return InsertNewBracket(position);
}

TFilterBracket* TFilterBracket::InsertNewBracket(int P)
{
    // The panel's commands make no tree deeper than a query text may be, so every query saves.
    int depth = 1;
    for (const TFilterBracket* up = Parent(); up; up = up->Parent())
        ++depth;
    if (depth > MaxBracketDepth)
        throw EZQueryPanelError(0, QString("Brackets cannot nest more than %1 deep").arg(MaxBracketDepth));
    auto* bracket = new TFilterBracket(Panel(), this);
    InsertRow(P, bracket);
    return bracket;
}

TFilterRow* TFilterBracket::AppendSimpleCond()
{
    TFilterRow* row = new TSimpleCond(Panel(), this);
    AppendRow(row);
    return row;
}

TFilterRow* TFilterBracket::AppendCustomCond(TDSCondition* Condition)
{
    TFilterRow* row = new TCustomCond(Panel(), Condition, this);
    AppendRow(row);
    return row;
}

TFilterBracket* TFilterBracket::AppendBracket()
{
    return InsertNewBracket(Count());
}

int TFilterBracket::LastIndex() const
{
    return FRows.isEmpty() ? DisplayIndex() : FRows.last()->DisplayIndex();
}

TFilterRow* TFilterBracket::FirstSimpleCond() const
{
    for (TFilterRow* row : FRows) {
        if (row->RowType() == 0)
            return row;
        if (auto* bracket = dynamic_cast<TFilterBracket*>(row))
            if (TFilterRow* found = bracket->FirstSimpleCond())
                return found;
    }
    return nullptr;
}

void TFilterBracket::RemoveRow(int P, bool Free)
{
    TFilterRow* row = FRows.at(P);
    // Freed while still listed, so the choice of the next current row sees the lines as they were.
    if (Free)
        delete row;
    FRows.removeOne(row);
}

void TFilterBracket::DeleteRow(int P)
{
    RemoveRow(P, true);
    RefreshFieldLists();
    Panel()->Changed();
    PruneEmptyBrackets(this);
}

void TFilterBracket::PruneEmptyBrackets(TFilterBracket* Bracket)
{
    while (Bracket && Bracket->Parent() && Bracket->Count() == 0
        && Bracket->Panel()->Appearance().Options().Contains(aoNonEmptyBrackets)) {
        TFilterBracket* parent = Bracket->Parent();
        parent->RemoveRow(parent->IndexOf(Bracket), true);
        Bracket = parent;
    }
}

void TFilterBracket::DeleteAllRows()
{
    for (int i = Count() - 1; i >= 0; --i)
        RemoveRow(i, true);
    Panel()->Changed();
}

void TFilterBracket::RefreshFieldLists()
{
    for (TFilterRow* row : FRows)
        row->RefreshFieldList();
}

void TFilterBracket::RefreshDependents(TFilterRow* Source, const QString& FieldName)
{
    for (TFilterRow* row : FRows)
        row->RefreshDependents(Source, FieldName);
}

int TFilterBracket::AggregateMode() const
{
    if (!Parent())
        return 0;
    if (const int mode = Parent()->AggregateMode(); mode > 0)
        return mode;
    if (Depth() > 1)
        return 1;
    if (Count() > 1)
        return FRows.first()->IsAggregate() ? 2 : 1;
    return 0;
}

void TFilterBracket::UpdateEnabled()
{
    struct Flag {
        bool& Value;
        explicit Flag(bool& V) : Value(V) { Value = true; }
        ~Flag() { Value = false; }
    } inUpdate(FInEnableUpdate);
    TFilterRow::UpdateEnabled();
    if (FPropagate)
        for (TFilterRow* row : FRows)
            row->SetChecked(Checked());
    if (Parent())
        Parent()->SyncCheck();
}

void TFilterBracket::SyncCheck()
{
    if (FInEnableUpdate)
        return;
    FPropagate = false;
    struct Restore {
        bool& Value;
        ~Restore() { Value = true; }
    } restore {FPropagate};
    bool anyChecked = false;
    for (const TFilterRow* row : FRows)
        anyChecked = anyChecked || row->Checked();
    if (Checked() && !anyChecked)
        SetChecked(false);
    else if (!Checked() && anyChecked)
        SetChecked(true);
}

void TFilterBracket::UpdateAndOr()
{
    for (TFilterRow* row : FRows)
        row->UpdateAndOr();
}

bool TFilterBracket::IsAggregate() const
{
    for (const TFilterRow* row : FRows)
        if (!row->IsBracketNode())
            return row->IsAggregate();
    return false;
}

void TFilterBracket::ApplyDroppedValue(int, TDropDownLabel*)
{
    SetLinkType(OfferedLinkType(LinkTypeLabel()->ItemIndex()));
}
