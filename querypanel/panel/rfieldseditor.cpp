#include "querypanel/panel/rfieldseditor.h"

#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "core/ui/fieldtree.h"
#include "platform/exceptionguard.h"
#include "platform/help.h"
#include "platform/messagebox.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/query/resultfields.h"
#include "rtl/format.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct TAddItem {
    int Tag;
    const char* Formula;
    const char* CaptionPattern;
};

constexpr TAddItem AddItems[] = {
    {0, "@1", "@f"},
    {5, "SUM(@1)", "@f Sum"},
    {6, "COUNT(@1)", "@f Count"},
    {7, "MIN(@1)", "@f Minimum"},
    {8, "MAX(@1)", "@f Maximum"},
    {9, "AVG(@1)", "@f Average"},
    {10, "LIST(@1)", "@f List"},
};

// The operators of the arithmetic items, tags 1 to 4.
constexpr const char* Operators[] = {"+", "-", "*", "/"};

// The widths of the grids' columns as the window resource has them.
constexpr int NumberWidth = 20;
constexpr int CaptionWidth = 118;
constexpr int ExpressionWidth = 156;
constexpr int SortingWidth = 158;
constexpr int SortGridWidth = NumberWidth + CaptionWidth + SortingWidth;

// Runs a handler of a Qt signal so that no exception unwinds through Qt.
template <typename F>
auto Guard(F Handler)
{
    return [Handler](auto&&...) { platform::Guarded(Handler); };
}

QTableWidget* NewGrid(QWidget* Parent, int LastWidth)
{
    auto* grid = new QTableWidget(1, 3, Parent);
    grid->verticalHeader()->hide();
    grid->setTabKeyNavigation(false);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->horizontalHeader()->setHighlightSections(false);
    // The last column fills the rest of the grid, on every resize.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setColumnWidth(0, NumberWidth);
    grid->setColumnWidth(1, CaptionWidth);
    grid->setColumnWidth(2, LastWidth);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

// One row of a grid: the number cell drawn as a fixed cell, by which the row is dragged, and two
// text cells that the in-place editor may change where Editable says so.
void ShowGridRow(QTableWidget* Grid, int Row, const QString (&Texts)[3], const bool (&Editable)[3])
{
    for (int col = 0; col < 3; ++col) {
        QTableWidgetItem* cell = Grid->item(Row, col);
        if (!cell) {
            cell = new QTableWidgetItem;
            Grid->setItem(Row, col, cell);
        }
        cell->setText(Texts[col]);
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (col == 0)
            cell->setBackground(Grid->palette().button());
        else
            flags |= Qt::ItemIsSelectable;
        if (Editable[col])
            flags |= Qt::ItemIsEditable;
        cell->setFlags(flags);
    }
}

// A grid showing Rows items; without any it shows one empty row.
void FillGrid(QTableWidget* Grid, int Rows, const std::function<void(int)>& ShowRow)
{
    Grid->setRowCount(std::max(Rows, 1));
    if (Rows == 0)
        ShowGridRow(Grid, 0, {QString(), QString(), QString()}, {false, false, false});
    for (int row = 0; row < Rows; ++row)
        ShowRow(row);
}

// Keeps Row current after a refill, within the rows there are.
void SetCurrentRow(QTableWidget* Grid, int Row)
{
    const int row = std::clamp(Row, 0, Grid->rowCount() - 1);
    Grid->setCurrentCell(row, std::max(Grid->currentColumn(), 1));
}

// A drag from one row to another of the Count rows that show an item.
bool IsRowMove(int FromIndex, int ToIndex, int Count)
{
    return FromIndex != ToIndex && FromIndex >= 0 && ToIndex >= 0 && FromIndex < Count && ToIndex < Count;
}

// The in-place editor of the result grid starts with the raw formula and hands back what the user
// wrote, through the dialog.
class TRFieldsDelegate : public QStyledItemDelegate {
public:
    explicit TRFieldsDelegate(TdlgRFieldsEditor* Dialog) : QStyledItemDelegate(Dialog), FDialog(Dialog) {}

    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override
    {
        if (auto* edit = qobject_cast<QLineEdit*>(Editor))
            edit->setText(FDialog->sgRFieldsGetEditText(Index.row(), Index.column()));
        else
            QStyledItemDelegate::setEditorData(Editor, Index);
    }
    void setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const override
    {
        auto* edit = qobject_cast<QLineEdit*>(Editor);
        if (!edit) {
            QStyledItemDelegate::setModelData(Editor, Model, Index);
            return;
        }
        const QString text = edit->text();
        platform::Guarded([&] { FDialog->sgRFieldsSetEditText(Index.row(), Index.column(), text); });
    }

private:
    TdlgRFieldsEditor* FDialog;
};

}  // namespace

TdlgRFieldsEditor::TdlgRFieldsEditor(
    TZQueryPanel* Panel, TZCustomDBStructure* DBStruct, std::function<void()> HelpAction, QWidget* Parent)
    : QDialog(
        Parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      FPanel(Panel), FResultFields(std::make_unique<TRFieldList>(nullptr)), FHelpAction(std::move(HelpAction))
{
    setWindowTitle(QStringLiteral("Result Fields Editor"));
    resize(595, 395);
    CreateMenus();
    CreateControls();
    SetDBStruct(DBStruct);
    FillResultGrid();
    FillSortGrid();
}

TdlgRFieldsEditor::~TdlgRFieldsEditor() = default;

void TdlgRFieldsEditor::CreateMenus()
{
    pmAddField = new QMenu(this);
    const auto addItem = [this](const QString& Caption, const TAddItem& Item) {
        QAction* action = pmAddField->addAction(Caption);
        connect(action, &QAction::triggered, this, Guard([this, Item] { pmiAddFieldClick(Item.Tag); }));
        return action;
    };
    pmiAddField = addItem(QStringLiteral("as is"), AddItems[0]);
    // It names the state the list is in; choosing it changes nothing.
    pmiJustSorting = pmAddField->addAction(QStringLiteral("just sorting"));
    pmAddField->addSeparator();
    pmiSum = addItem(QStringLiteral("SUM"), AddItems[1]);
    pmiCount = addItem(QStringLiteral("COUNT"), AddItems[2]);
    pmiMin = addItem(QStringLiteral("MIN"), AddItems[3]);
    pmiMax = addItem(QStringLiteral("MAX"), AddItems[4]);
    pmiAverage = addItem(QStringLiteral("AVERAGE"), AddItems[5]);
    pmiList = addItem(QStringLiteral("LIST"), AddItems[6]);
    pmAddField->addSeparator();
    QAction** arithmetic[] = {&pmiAdd, &pmiSub, &pmiMul, &pmiDiv};
    const char* captions[] = {"+", "- ", "*", "/"};
    for (int tag = 1; tag <= 4; ++tag) {
        *arithmetic[tag - 1] = pmAddField->addAction(QString::fromLatin1(captions[tag - 1]));
        connect(
            *arithmetic[tag - 1], &QAction::triggered, this, Guard([this, tag] { pmiArithmeticClick(tag); }));
    }
    connect(pmAddField, &QMenu::aboutToShow, this, Guard([this] { UpdateEnableStates(); }));

    pmSort = new QMenu(this);
    auto* directions = new QActionGroup(pmSort);
    QAction** sortItems[] = {&miNotSorted, &miAscending, &miDescending};
    const char* sortCaptions[] = {"Not Sorted", "Ascending", "Descending"};
    for (int tag = 0; tag <= 2; ++tag) {
        QAction* action = pmSort->addAction(QString::fromLatin1(sortCaptions[tag]));
        action->setCheckable(true);
        directions->addAction(action);
        connect(action, &QAction::triggered, this, Guard([this, tag] { pmSortClick(tag); }));
        *sortItems[tag] = action;
        if (tag == 0)
            pmSort->addSeparator();
    }

    pmResultField = new QMenu(this);
    pmiNewRField = pmResultField->addAction(QStringLiteral("New result field"));
    pmResultField->addSeparator();
    pmiDelRField = pmResultField->addAction(QStringLiteral("Delete result field"));
    pmiSortRField = pmResultField->addAction(QStringLiteral("Sort result field"));
    connect(pmiNewRField, &QAction::triggered, this, Guard([this] { pmiNewRFieldClick(); }));
    connect(pmiDelRField, &QAction::triggered, this, Guard([this] { pmiDelRFieldClick(); }));
    connect(pmiSortRField, &QAction::triggered, this, Guard([this] { pmiSortRFieldClick(); }));
}

void TdlgRFieldsEditor::CreateControls()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setChildrenCollapsible(false);

    pnlAvailFields = new QWidget(Splitter1);
    lblFields = new QLabel(QStringLiteral("&Available fields"), pnlAvailFields);
    tvAllFields = new QTreeWidget(pnlAvailFields);
    tvAllFields->setHeaderHidden(true);
    tvAllFields->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblFields->setBuddy(tvAllFields);
    pnlControls = new QWidget(pnlAvailFields);
    btAddResultField = new QPushButton(QStringLiteral("&Add"), pnlControls);
    // The glyph stands right of the text.
    btAddResultField->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    btAddResultField->setLayoutDirection(Qt::RightToLeft);
    auto* controlsLayout = new QVBoxLayout(pnlControls);
    controlsLayout->setContentsMargins(4, lblFields->sizeHint().height(), 4, 0);
    controlsLayout->addWidget(btAddResultField);
    controlsLayout->addStretch();
    auto* treeLayout = new QVBoxLayout;
    treeLayout->addWidget(lblFields);
    treeLayout->addWidget(tvAllFields);
    auto* availLayout = new QHBoxLayout(pnlAvailFields);
    availLayout->setContentsMargins(0, 0, 0, 0);
    availLayout->setSpacing(0);
    availLayout->addLayout(treeLayout, 1);
    availLayout->addWidget(pnlControls);

    pnlMain = new QWidget(Splitter1);
    C = new QWidget(pnlMain);
    C->hide();
    sbNewField = new QToolButton(C);
    sbNewField->setDefaultAction(pmiNewRField);
    sbDelField = new QToolButton(C);
    sbDelField->setDefaultAction(pmiDelRField);
    sbSortField = new QToolButton(C);
    sbSortField->setDefaultAction(pmiSortRField);

    pnlResultFields = new QWidget(pnlMain);
    lblResultFields = new QLabel(QStringLiteral("&Result Fields"), pnlResultFields);
    sgRFields = NewGrid(pnlResultFields, ExpressionWidth);
    sgRFields->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    sgRFields->setItemDelegate(new TRFieldsDelegate(this));
    lblResultFields->setBuddy(sgRFields);
    auto* resultLayout = new QVBoxLayout(pnlResultFields);
    resultLayout->setContentsMargins(0, 0, 0, 0);
    resultLayout->addWidget(lblResultFields);
    resultLayout->addWidget(sgRFields);

    pnlSortedFields = new QWidget(pnlMain);
    lblSortedFields = new QLabel(QStringLiteral("&Sorted Fields"), pnlSortedFields);
    sgSortOrder = NewGrid(pnlSortedFields, SortingWidth);
    sgSortOrder->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgSortOrder->setSelectionBehavior(QAbstractItemView::SelectRows);
    lblSortedFields->setBuddy(sgSortOrder);
    auto* sortLayout = new QVBoxLayout(pnlSortedFields);
    sortLayout->setContentsMargins(0, 0, 0, 0);
    sortLayout->addWidget(lblSortedFields);
    sortLayout->addWidget(sgSortOrder);

    auto* mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(pnlResultFields, 1);
    mainLayout->addWidget(pnlSortedFields, 1);

    btOK = new QPushButton(QStringLiteral("&OK"), this);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btHelp = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    buttons->addWidget(btHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Splitter1, 1);
    layout->addLayout(buttons);

    connect(tvAllFields, &QTreeWidget::currentItemChanged, this, Guard([this] { UpdateEnableStates(); }));
    connect(tvAllFields, &QTreeWidget::itemDoubleClicked, this, Guard([this] { tvAllFieldsDblClick(); }));
    connect(btAddResultField, &QPushButton::clicked, this, Guard([this] { btAddResultFieldClick(); }));
    connect(sgRFields, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& Position) { platform::Guarded([&] { ResultFieldsMenu(Position); }); });
    connect(sgSortOrder, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& Position) { platform::Guarded([&] { SortMenu(Position); }); });
    connect(btOK, &QPushButton::clicked, this, Guard([this] { btOKClick(); }));
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btHelp, &QPushButton::clicked, this, Guard([this] { btHelpClick(); }));
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, Guard([this] { btHelpClick(); }));
    for (QObject* watched : {static_cast<QObject*>(tvAllFields), static_cast<QObject*>(sgRFields),
             static_cast<QObject*>(sgSortOrder), static_cast<QObject*>(sgRFields->viewport()),
             static_cast<QObject*>(sgSortOrder->viewport())})
        watched->installEventFilter(this);
}

void TdlgRFieldsEditor::SetDBStruct(TZCustomDBStructure* Value)
{
    if (Value == FDBStruct)
        return;
    FDBStruct = Value;
    FResultFields->SetDBStruct(Value);
    if (!Value) {
        tvAllFields->clear();
        return;
    }
    FillFieldTree(Value, tvAllFields, true, Value->RootFieldsFirst());
}

void TdlgRFieldsEditor::SetResultFields(const TRFieldList& List)
{
    FResultFields->SetQuoteAliases(List.QuoteAliases());
    FResultFields->SetASCIIAliases(List.ASCIIAliases());
    FSortList.clear();
    FResultFields->Assign(List);
    RebuildSortList();
    FillResultGrid();
    FillSortGrid();
    UpdateEnableStates();
}

void TdlgRFieldsEditor::GetResultFields(TRFieldList& List) const
{
    List.Assign(*FResultFields);
}

void TdlgRFieldsEditor::SetMode(int Bits)
{
    FMode = (Bits & rfeSortingOnly) ? Bits | rfeShowSorting : Bits;
}

void TdlgRFieldsEditor::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        platform::Guarded([this] { FormShow(); });
    }
}

void TdlgRFieldsEditor::FormShow()
{
    ApplyTitles();
    const QString caption = btAddResultField->text().remove(u'&');
    const int buttonWidth = std::max(GetTextWidth(btAddResultField, btAddResultField->font(), caption) + 28,
        btAddResultField->sizeHint().width());
    btAddResultField->setFixedWidth(buttonWidth);
    pnlControls->setFixedWidth(buttonWidth + 8);
    // The grids keep the room their three columns take; the fields get most of what is left.
    const int client = Splitter1->width() - Splitter1->handleWidth();
    const int mainWidth = SortGridWidth + sgSortOrder->verticalScrollBar()->sizeHint().width()
        + 2 * sgSortOrder->frameWidth();
    const int availWidth
        = std::min(int(0.8 * (client - mainWidth)) + pnlControls->width(), client - mainWidth);
    Splitter1->setSizes({availWidth, client - availWidth});
    pnlSortedFields->setVisible(FMode & rfeShowSorting);
    sbSortField->setVisible(FMode & rfeShowSorting);
    pnlResultFields->setVisible(!(FMode & rfeSortingOnly));
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    tvAllFields->setCurrentItem(tvAllFields->topLevelItem(0));
    UpdateEnableStates();
}

void TdlgRFieldsEditor::ApplyTitles()
{
    const auto title
        = [this](const char* Key) { return FPanel ? FPanel->GetTitle(QString::fromLatin1(Key)) : QString(); };
    setWindowTitle(title("ttlRFETitle"));
    const std::pair<QLabel*, const char*> labels[]
        = {{lblFields, "ttlFields"}, {lblResultFields, "ttlResFields"}, {lblSortedFields, "ttlSortCaption"}};
    for (const auto& [label, key] : labels)
        label->setText(title(key));
    const std::pair<QAction*, const char*> actions[]
        = {{miNotSorted, "ttlNotSorted"}, {miAscending, "ttlAscending"}, {miDescending, "ttlDescending"},
            {pmiAdd, "ttlAddRFldHint"}, {pmiSub, "ttlSubRFldHint"}, {pmiMul, "ttlMulRFldHint"},
            {pmiDiv, "ttlDivRFldHint"}, {pmiNewRField, "ttlNewFldHint"}, {pmiDelRField, "ttlDelFldHint"},
            {pmiSortRField, "ttlSortRFldHint"}, {pmiAddField, "ttlAsIs"}, {pmiJustSorting, "ttlJustSorting"},
            {pmiSum, "ttlSUMCaption"}, {pmiCount, "ttlCOUNTCaption"}, {pmiMin, "ttlMINCaption"},
            {pmiMax, "ttlMAXCaption"}, {pmiAverage, "ttlAVERAGECaption"}};
    for (const auto& [action, key] : actions)
        action->setText(title(key));
    const std::pair<QPushButton*, const char*> buttons[]
        = {{btOK, "ttlOkBtnCaption"}, {btCancel, "ttlCancelBtnCaption"},
            {btAddResultField, "ttlAddBtnCaption"}, {btHelp, "ttlHelpBtnCaption"}};
    for (const auto& [button, key] : buttons)
        button->setText(title(key));
    btAddResultField->setToolTip(title("ttlAddBtnHint"));
    const QString name = title("ttlFieldNmColName");
    sgRFields->setHorizontalHeaderLabels({QStringLiteral("#"), name, title("ttlFieldExprColName")});
    sgSortOrder->setHorizontalHeaderLabels({QStringLiteral("#"), name, title("ttlSortingColName")});
}

TDSField* TdlgRFieldsEditor::SelectedField() const
{
    return NodeField(tvAllFields->currentItem());
}

bool TdlgRFieldsEditor::MayAddField() const
{
    return FMaxFields < 2 || FResultFields->Count() < FMaxFields;
}

bool TdlgRFieldsEditor::ExpressionsAllowed() const
{
    return !(FMode & rfeFixedExpressions);
}

bool TdlgRFieldsEditor::Filled() const
{
    return FResultFields->Count() > 0 && !FResultFields->JustSorting();
}

TResultField* TdlgRFieldsEditor::CurrentField() const
{
    const int row = sgRFields->currentRow();
    return Filled() && row >= 0 && row < FResultFields->Count() ? FResultFields->GetItem(row) : nullptr;
}

TResultField* TdlgRFieldsEditor::CurrentSortField() const
{
    const int row = sgSortOrder->currentRow();
    return row >= 0 && row < FSortList.size() ? FSortList[row] : nullptr;
}

void TdlgRFieldsEditor::ClearResultFields()
{
    FSortList.clear();
    FResultFields->Clear();
}

void TdlgRFieldsEditor::LeaveJustSorting()
{
    // The fields that only sorted become ordinary result fields.
    FResultFields->SetJustSorting(false);
}

TResultField* TdlgRFieldsEditor::CreateResultField(const QString& Formula, const QString& CaptionPattern)
{
    TDSField* source = SelectedField();
    if (FMaxFields == 1)
        ClearResultFields();
    TResultField* field = FResultFields->InsertNew(FResultFields->Count());
    field->SetFormula(Formula);
    field->Fields().Add(source);
    field->SetCaption(
        FResultFields->UniqueCaption(QString(CaptionPattern).replace("@f", source->DisplayName())));
    return field;
}

void TdlgRFieldsEditor::tvAllFieldsDblClick()
{
    if (FMode & rfeSortingOnly)
        AddSortingField();
    else
        pmiAddFieldClick(0);
}

void TdlgRFieldsEditor::btAddResultFieldClick()
{
    if (!SelectedField())
        return;
    if (FMode & rfeSortingOnly) {
        AddSortingField();
        return;
    }
    pmAddField->popup(btAddResultField->mapToGlobal(QPoint(0, btAddResultField->height())));
}

void TdlgRFieldsEditor::pmiAddFieldClick(int Tag)
{
    const auto item = std::find_if(
        std::begin(AddItems), std::end(AddItems), [Tag](const TAddItem& Item) { return Item.Tag == Tag; });
    if (item == std::end(AddItems) || !SelectedField() || !MayAddField())
        return;
    if (Tag != 0 && !ExpressionsAllowed())
        return;
    LeaveJustSorting();
    CreateResultField(QString::fromLatin1(item->Formula), QString::fromLatin1(item->CaptionPattern));
    FillResultGrid();
    FillSortGrid();
    SetCurrentRow(sgRFields, FResultFields->Count() - 1);
    UpdateEnableStates();
}

void TdlgRFieldsEditor::AddSortingField()
{
    if (!SelectedField() || !MayAddField())
        return;
    FResultFields->SetJustSorting(true);
    TResultField* field = CreateResultField(QStringLiteral("@1"), QStringLiteral("@f"));
    FillResultGrid();
    SortField(field);
}

void TdlgRFieldsEditor::SortField(TResultField* Field)
{
    Field->SetSorting(1);
    FSortList.append(Field);
    RenumberSorting();
    FillSortGrid();
    SetCurrentRow(sgSortOrder, int(FSortList.size()) - 1);
    UpdateEnableStates();
}

void TdlgRFieldsEditor::pmiArithmeticClick(int Tag)
{
    TResultField* field = CurrentField();
    TDSField* source = SelectedField();
    if (!field || !source || !ExpressionsAllowed() || Tag < 1 || Tag > 4)
        return;
    field->Fields().Add(source);
    field->SetFormula(field->Formula() + u' ' + QString::fromLatin1(Operators[Tag - 1]) + QStringLiteral(" @")
        + QString::number(field->Fields().Count()));
    ShowResultRow(sgRFields->currentRow());
    UpdateEnableStates();
}

void TdlgRFieldsEditor::pmiNewRFieldClick()
{
    if (!MayAddField() || !ExpressionsAllowed())
        return;
    if (FMaxFields == 1)
        ClearResultFields();
    LeaveJustSorting();
    FResultFields->InsertNew(FResultFields->Count())->SetCaption(QStringLiteral("NewField"));
    FillResultGrid();
    FillSortGrid();
    SetCurrentRow(sgRFields, FResultFields->Count() - 1);
    UpdateEnableStates();
}

QString TdlgRFieldsEditor::DeleteQuestion(const QString& Caption) const
{
    // The title is the user's text: only its first "%s" is a place holder, any other "%" stays.
    QString text = FPanel ? FPanel->GetTitle(QStringLiteral("ttlMgsDeleteField")) : QString();
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0)
        text.replace(at, 2, Caption);
    return text;
}

void TdlgRFieldsEditor::pmiDelRFieldClick()
{
    TResultField* field = CurrentField();
    if (field && ConfirmMessage(DeleteQuestion(field->Caption())) == platform::IDYES)
        DeleteResultField(field);
}

void TdlgRFieldsEditor::DeleteResultField(TResultField* Field)
{
    if (FSortList.removeOne(Field))
        RenumberSorting();
    const int row = FResultFields->IndexOf(Field);
    FResultFields->DeleteAndFree(row);
    FillResultGrid();
    FillSortGrid();
    SetCurrentRow(sgRFields, row);
    UpdateEnableStates();
}

void TdlgRFieldsEditor::pmiSortRFieldClick()
{
    TResultField* field = CurrentField();
    if (field && field->Sorting() == 0)
        SortField(field);
}

void TdlgRFieldsEditor::pmSortClick(int Tag)
{
    TResultField* field = CurrentSortField();
    if (!field)
        return;
    if (Tag != 0) {
        field->SetSorting(uint8_t(Tag));
        ShowSortRow(sgSortOrder->currentRow());
        return;
    }
    const int row = sgSortOrder->currentRow();
    field->SetSorting(0);
    field->SetSortOrder(0);
    FSortList.removeOne(field);
    RenumberSorting();
    // A field that only sorted has nothing left to do.
    if (FResultFields->JustSorting())
        FResultFields->DeleteAndFree(FResultFields->IndexOf(field));
    FillResultGrid();
    FillSortGrid();
    SetCurrentRow(sgSortOrder, row);
    UpdateEnableStates();
}

void TdlgRFieldsEditor::RenumberSorting()
{
    for (int i = 0; i < FSortList.size(); ++i)
        FSortList[i]->SetSortOrder(i + 1);
}

void TdlgRFieldsEditor::RebuildSortList()
{
    FSortList.clear();
    for (TResultField* field : *FResultFields)
        if (field->Sorting() != 0)
            FSortList.append(field);
    std::stable_sort(FSortList.begin(), FSortList.end(),
        [](const TResultField* A, const TResultField* B) { return A->SortOrder() < B->SortOrder(); });
    RenumberSorting();
}

void TdlgRFieldsEditor::FillResultGrid()
{
    FillGrid(sgRFields, Filled() ? FResultFields->Count() : 0, [this](int Row) { ShowResultRow(Row); });
}

void TdlgRFieldsEditor::ShowResultRow(int Row)
{
    if (!Filled() || Row < 0 || Row >= FResultFields->Count())
        return;
    const TResultField* field = FResultFields->GetItem(Row);
    ShowGridRow(sgRFields, Row,
        {QString::number(Row + 1), field->Caption(), u'=' + field->GetDisplayFormula()},
        {false, true, ExpressionsAllowed()});
}

void TdlgRFieldsEditor::FillSortGrid()
{
    FillGrid(sgSortOrder, int(FSortList.size()), [this](int Row) { ShowSortRow(Row); });
}

void TdlgRFieldsEditor::ShowSortRow(int Row)
{
    if (Row < 0 || Row >= FSortList.size())
        return;
    const TResultField* field = FSortList[Row];
    const QString direction = FPanel
        ? FPanel->GetTitle(
            field->Sorting() == 2 ? QStringLiteral("ttlDescending") : QStringLiteral("ttlAscending"))
        : QString();
    ShowGridRow(
        sgSortOrder, Row, {QString::number(Row + 1), field->Caption(), direction}, {false, false, false});
}

void TdlgRFieldsEditor::ShowSortRowOf(const TResultField* Field)
{
    ShowSortRow(int(FSortList.indexOf(const_cast<TResultField*>(Field))));
}

QString TdlgRFieldsEditor::sgRFieldsGetEditText(int Row, int Col) const
{
    if (!Filled() || Row < 0 || Row >= FResultFields->Count())
        return QString();
    const TResultField* field = FResultFields->GetItem(Row);
    return Col == 2 ? field->Formula() : field->Caption();
}

void TdlgRFieldsEditor::sgRFieldsSetEditText(int Row, int Col, const QString& Value)
{
    if (!Filled() || Row < 0 || Row >= FResultFields->Count())
        return;
    // Only the cell that was edited is taken: the other one shows the formula for reading.
    TResultField* field = FResultFields->GetItem(Row);
    if (Col == 1)
        field->SetCaption(Value);
    else if (Col == 2 && ExpressionsAllowed())
        field->SetFormula(Value);
    ShowResultRow(Row);
    ShowSortRowOf(field);
}

void TdlgRFieldsEditor::sgRFieldsRowMoved(int FromIndex, int ToIndex)
{
    if (!IsRowMove(FromIndex, ToIndex, Filled() ? FResultFields->Count() : 0))
        return;
    FResultFields->Move(FromIndex, ToIndex);
    FillResultGrid();
    SetCurrentRow(sgRFields, ToIndex);
}

void TdlgRFieldsEditor::sgSortOrderRowMoved(int FromIndex, int ToIndex)
{
    if (!IsRowMove(FromIndex, ToIndex, int(FSortList.size())))
        return;
    FSortList.move(FromIndex, ToIndex);
    RenumberSorting();
    FillSortGrid();
    SetCurrentRow(sgSortOrder, ToIndex);
}

void TdlgRFieldsEditor::UpdateEnableStates()
{
    const bool filled = Filled();
    const bool expressions = ExpressionsAllowed();
    const bool mayAdd = MayAddField();
    btAddResultField->setEnabled(SelectedField() != nullptr);
    for (QAction* action : {pmiAdd, pmiSub, pmiMul, pmiDiv})
        action->setEnabled(filled && expressions);
    pmiAddField->setEnabled(mayAdd);
    for (QAction* action : {pmiSum, pmiCount, pmiMin, pmiMax, pmiAverage, pmiList, pmiNewRField})
        action->setEnabled(mayAdd && expressions);
    pmiDelRField->setEnabled(filled);
    pmiSortRField->setEnabled(filled);
    pmiList->setVisible(FMode & rfeShowList);
    // Without the sort grid a sort could be neither seen nor taken back.
    pmiSortRField->setVisible(FMode & rfeShowSorting);
    pmiJustSorting->setEnabled(FResultFields->JustSorting());
    if (FMaxFields == 1)
        btOK->setEnabled(FResultFields->Count() > 0);
}

bool TdlgRFieldsEditor::CheckResultFields()
{
    static const QRegularExpression slot(QStringLiteral("@(\\d+)"));
    for (int row = 0; row < FResultFields->Count(); ++row) {
        const TResultField* field = FResultFields->GetItem(row);
        QString problem;
        if (field->Formula().trimmed().isEmpty())
            problem = rtl::Format("The result field \"%s\" has no expression.", field->Caption());
        for (auto it = slot.globalMatch(field->Formula()); problem.isEmpty() && it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const int number = match.captured(1).toInt();
            if (number < 1 || number > field->Fields().Count())
                problem = rtl::Format(
                    "The expression of the result field \"%s\" names %s, which stands for no field.",
                    field->Caption(), match.captured(0));
        }
        if (problem.isEmpty())
            continue;
        if (Filled())
            sgRFields->setCurrentCell(row, 2);
        platform::ShowError(problem);
        return false;
    }
    return true;
}

void TdlgRFieldsEditor::btOKClick()
{
    if (CheckResultFields())
        accept();
}

void TdlgRFieldsEditor::btHelpClick()
{
    if (FPanel && !FPanel->HelpFileName().isEmpty())
        platform::OpenHelpFile(FPanel->HelpFileName(), FPanel->RFEHelpContext());
    if (FHelpAction)
        FHelpAction();
}

void TdlgRFieldsEditor::ResultFieldsMenu(const QPoint& Position)
{
    const QModelIndex index = sgRFields->indexAt(Position);
    if (index.isValid())
        sgRFields->setCurrentCell(index.row(), std::max(index.column(), 1));
    UpdateEnableStates();
    pmResultField->popup(sgRFields->viewport()->mapToGlobal(Position));
}

void TdlgRFieldsEditor::SortMenu(const QPoint& Position)
{
    const int row = sgSortOrder->rowAt(Position.y());
    if (row < 0 || row >= FSortList.size())
        return;
    sgSortOrder->setCurrentCell(row, 1);
    const uint8_t sorting = FSortList[row]->Sorting();
    (sorting == 2 ? miDescending : sorting == 1 ? miAscending : miNotSorted)->setChecked(true);
    pmSort->popup(sgSortOrder->viewport()->mapToGlobal(Position));
}

bool TdlgRFieldsEditor::GridMouse(QTableWidget* Grid, QEvent* Event)
{
    if (Event->type() != QEvent::MouseButtonPress && Event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(Event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint at = mouse->position().toPoint();
    const int row = Grid->rowAt(at.y());
    if (Event->type() == QEvent::MouseButtonPress) {
        const bool numberCell = row >= 0 && Grid->columnAt(at.x()) == 0;
        FDragGrid = numberCell ? Grid : nullptr;
        FDragRow = numberCell ? row : -1;
        return false;
    }
    if (FDragGrid != Grid)
        return false;
    const int from = std::exchange(FDragRow, -1);
    FDragGrid = nullptr;
    if (row < 0 || row == from)
        return false;
    platform::Guarded([&] {
        if (Grid == sgRFields)
            sgRFieldsRowMoved(from, row);
        else
            sgSortOrderRowMoved(from, row);
    });
    return true;
}

bool TdlgRFieldsEditor::KeyPress(QObject* Watched, int Key, Qt::KeyboardModifiers Modifiers)
{
    if (Watched == tvAllFields && Key == Qt::Key_Space && NodeField(tvAllFields->currentItem())) {
        tvAllFieldsDblClick();
        return true;
    }
    if (Watched == sgRFields && Key == Qt::Key_Delete && (Modifiers & Qt::ControlModifier)) {
        if (TResultField* field = CurrentField())
            DeleteResultField(field);
        return true;
    }
    if (Watched == sgSortOrder && Key == Qt::Key_Space) {
        if (TResultField* field = CurrentSortField()) {
            field->SetSorting(field->Sorting() == 2 ? 1 : 2);
            ShowSortRow(sgSortOrder->currentRow());
        }
        return true;
    }
    return false;
}

bool TdlgRFieldsEditor::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == sgRFields->viewport())
        return GridMouse(sgRFields, Event);
    if (Watched == sgSortOrder->viewport())
        return GridMouse(sgSortOrder, Event);
    if (Event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(Event);
        bool taken = false;
        platform::Guarded([&] { taken = KeyPress(Watched, key->key(), key->modifiers()); });
        return taken;
    }
    return QDialog::eventFilter(Watched, Event);
}

bool TZQueryPanel::ShowRFieldsEditor(int MaxFields, int Mode)
{
    RequireDbStruct();
    TRFieldList& fields = QResult()->ResultFields();
    TdlgRFieldsEditor editor(
        this, DbStruct(), [this] { DoRFEHelpClick(); }, window());
    if (fields.Count() == 0)
        fields.SetJustSorting(true);
    editor.SetMode(Mode);
    editor.SetMaxFields(MaxFields);
    editor.SetResultFields(fields);
    if (editor.exec() != QDialog::Accepted)
        return false;
    BeginUpdate();
    const auto update = qScopeGuard([this] { EndUpdate(); });
    editor.GetResultFields(fields);
    return true;
}

bool TZQueryPanel::EditResultFields()
{
    return ShowRFieldsEditor(0, rfeShowSorting);
}
