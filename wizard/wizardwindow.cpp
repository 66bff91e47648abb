#include "wizard/wizardwindow.h"

#include "core/dbinfo/dbinfo.h"
#include "core/dbinfo/fieldlist.h"
#include "core/design/designpanel.h"
#include "core/design/designpictures.h"
#include "core/model/dbstructure.h"
#include "core/model/table.h"
#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "rtl/format.h"
#include "wizard/fieldstree.h"
#include "wizard/jpegpicture.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tesmera {

namespace {

const QString WizardCaption = QStringLiteral("Tesmera");

// The first field of a pair the link search may join must have one of these types.
constexpr TFieldType LinkableTypes[]
    = {ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
        ftDateTime, ftAutoInc, ftFixedChar, ftWideString, ftLargeint, ftTimeStamp};

bool IsLinkable(TFieldType Type)
{
    return std::find(std::begin(LinkableTypes), std::end(LinkableTypes), Type) != std::end(LinkableTypes);
}

bool IsWholeNumber(TFieldType Type)
{
    return Type == ftSmallint || Type == ftInteger || Type == ftWord || Type == ftAutoInc;
}

// Halves go to the even neighbour, as the progress figures expect (2.5 gives 2).
int RoundHalfEven(double Value)
{
    return int(std::nearbyint(Value));
}

QPixmap Picture(const char* Name)
{
    QFile file(QStringLiteral(":/tesmera/") + QLatin1String(Name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}

// The tables list in two columns, filled column by column, as wide as the list allows.
class TTwoColumnList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void resizeEvent(QResizeEvent* Event) override
    {
        QListWidget::resizeEvent(Event);
        setGridSize(QSize(viewport()->width() / 2, fontMetrics().height() + 6));
    }
};

QLabel* NewWrappedLabel(const QString& Text, QWidget* Parent)
{
    auto* label = new QLabel(Text, Parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

TMainForm::TMainForm(TZCustomDBStructure* Model, QWidget* Parent) : QDialog(Parent), FModel(Model)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(WizardCaption);
    setMinimumSize(550, 430);
    resize(568, 438);

    const QPixmap welcome = Picture("welcome.jpg");
    // Pages 1 to 5 show a small part of the welcome picture in their headers.
    FHeaderPicture
        = welcome.copy(12, 34, 140, 140).scaled(44, 44, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pcPages = new QStackedWidget(this);
    pcPages->addWidget(NewPicturePage(QStringLiteral("Image2"), welcome, QStringLiteral("Welcome to Tesmera"),
        QStringLiteral(
            "This wizard will help you to setup description of your data model: list of the tables, "
            "links between them, fields and operators which will be used in queries.")));
    pcPages->addWidget(NewTablesPage());
    pcPages->addWidget(NewLinkModePage());
    pcPages->addWidget(NewLinkSearchPage());
    pcPages->addWidget(NewLinksPage());
    pcPages->addWidget(NewFieldsPage());
    pcPages->addWidget(NewPicturePage(QStringLiteral("Image5"), Picture("finish.jpg"),
        QStringLiteral("Wizard has finished setuping your data model!"),
        QStringLiteral("Press \"Finish\" to save your work and exit.")));

    btnBack = new QPushButton(QStringLiteral("< &Back"), this);
    btnNext = new QPushButton(QStringLiteral("&Next >"), this);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnBack->setObjectName(QStringLiteral("btnBack"));
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnBack, &QPushButton::clicked, this, [this] { platform::Guarded([this] { btnBackClick(); }); });
    connect(btnNext, &QPushButton::clicked, this, [this] { platform::Guarded([this] { btnNextClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnBack);
    buttons->addWidget(btnNext);
    buttons->addSpacing(8);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(pcPages, 1);
    auto* buttonsMargin = new QHBoxLayout;
    buttonsMargin->setContentsMargins(8, 0, 8, 0);
    buttonsMargin->addLayout(buttons);
    layout->addLayout(buttonsMargin);
}

TMainForm::~TMainForm() = default;

bool TMainForm::TypesCompatible(TFieldType A, TFieldType B)
{
    return A == B || (IsWholeNumber(A) && IsWholeNumber(B));
}

TZDBInfo* TMainForm::GetDBInfo() const
{
    return FModel->DatabaseInfo();
}

QString TMainForm::GetSelectedDatabase() const
{
    const QString chosen = cbDatabase->currentText();
    return chosen.isEmpty() ? FModel->DMOptions().DefaultDatabase() : chosen;
}

int TMainForm::CurrentPage() const
{
    return pcPages->currentIndex();
}

bool TMainForm::DatabaseConnected() const
{
    return GetDBInfo() && GetDBInfo()->IsConnected();
}

QWidget* TMainForm::NewHeader(const QString& Title, const QString& Text, QWidget* Page)
{
    auto* header = new QWidget(Page);
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    header->setPalette(palette);
    auto* title = new QLabel(Title, header);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    auto* text = NewWrappedLabel(Text, header);
    text->setContentsMargins(12, 0, 0, 0);
    texts->addWidget(text);
    auto* picture = new QLabel(header);
    picture->setPixmap(FHeaderPicture);
    auto* row = new QHBoxLayout(header);
    row->addLayout(texts, 1);
    row->addWidget(picture);
    return header;
}

QWidget* TMainForm::NewPicturePage(
    const QString& Name, const QPixmap& Pixmap, const QString& Title, const QString& Text)
{
    auto* page = new QWidget;
    auto* image = new QLabel(page);
    image->setObjectName(Name);
    image->setPixmap(Pixmap);
    image->setAlignment(Qt::AlignTop);
    auto* title = NewWrappedLabel(Title, page);
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(16);
    font.setBold(true);
    title->setFont(font);
    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(12, 12, 12, 12);
    texts->addWidget(title);
    texts->addSpacing(12);
    texts->addWidget(NewWrappedLabel(Text, page));
    texts->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(image);
    layout->addLayout(texts, 1);
    return page;
}

QWidget* TMainForm::NewTablesPage()
{
    auto* page = new QWidget;
    pnlDatabase = new QWidget(page);
    cbDatabase = new QComboBox(pnlDatabase);
    cbDatabase->setMaxVisibleItems(20);
    // The user's choice only: filling the list must not switch databases.
    connect(cbDatabase, &QComboBox::activated, this, [this] { platform::Guarded([this] { DBChanged(); }); });
    auto* database = new QHBoxLayout(pnlDatabase);
    database->setContentsMargins(0, 0, 0, 0);
    database->addWidget(new QLabel(QStringLiteral("Database:"), pnlDatabase));
    database->addWidget(cbDatabase, 1);

    clbSelectedTables = new TTwoColumnList(page);
    clbSelectedTables->setFlow(QListView::TopToBottom);
    clbSelectedTables->setWrapping(true);
    clbSelectedTables->setResizeMode(QListView::Adjust);
    connect(clbSelectedTables, &QListWidget::itemChanged, this,
        [this](QListWidgetItem* Item) { platform::Guarded([&] { clbSelectedTablesClickCheck(Item); }); });
    sbSelectAll = new QPushButton(QStringLiteral("&Select All"), page);
    sbClearAll = new QPushButton(QStringLiteral("Cl&ear All"), page);
    sbSelectAll->setObjectName(QStringLiteral("sbSelectAll"));
    sbClearAll->setObjectName(QStringLiteral("sbClearAll"));
    connect(sbSelectAll, &QPushButton::clicked, this,
        [this] { platform::Guarded([this] { btnSelectAllClick(); }); });
    connect(sbClearAll, &QPushButton::clicked, this,
        [this] { platform::Guarded([this] { btnClearAllClick(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbSelectAll);
    buttons->addWidget(sbClearAll);
    buttons->addStretch();
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(pnlDatabase);
    body->addWidget(clbSelectedTables, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeader(QStringLiteral("Tables selection"),
        QStringLiteral("Please select the tables which can be used in the queries"), page));
    layout->addLayout(body, 1);
    return page;
}

QWidget* TMainForm::NewLinkModePage()
{
    auto* page = new QWidget;
    rbAuto = new QRadioButton(QStringLiteral("Automatic mode (recommended)"), page);
    rbCustom = new QRadioButton(QStringLiteral("Manual mode"), page);
    rbAuto->setChecked(true);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 0);
    body->addWidget(NewWrappedLabel(
        QStringLiteral(
            "Here we start to setup the links between tables. There are two possible modes: manual and "
            "automatic. In automatic mode the wizard will search for equal names of the fields in "
            "different tables and set links between such fields.\r\nPlease select links creation mode:"),
        page));
    body->addWidget(rbAuto);
    body->addWidget(rbCustom);
    body->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeader(QStringLiteral("Table links creation mode"),
        QStringLiteral("Wizard can help you to setup the links between selected tables"), page));
    layout->addLayout(body, 1);
    return page;
}

QWidget* TMainForm::NewLinkSearchPage()
{
    auto* page = new QWidget;
    lblProgress = new QLabel(page);
    ProgressBar1 = new QProgressBar(page);
    ProgressBar1->setRange(0, 100);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 8, 12, 0);
    body->addWidget(new QLabel(QStringLiteral("Process state"), page));
    body->addWidget(lblProgress);
    body->addWidget(ProgressBar1);
    body->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeader(QStringLiteral("Automatic links creation"),
        QStringLiteral("Please wait while the wizard searches for possible links between selected tables"),
        page));
    layout->addLayout(body, 1);
    return page;
}

QWidget* TMainForm::NewLinksPage()
{
    auto* page = new QWidget;
    zsdRelationsPanel = new TZStructDesignPanel(page);
    zsdRelationsPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    zsdRelationsPanel->SetShowFullScreenButton(true);
    zsdRelationsPanel->SetActionHints({QStringLiteral("SelectTableHint=Click inside table to select it"),
        QStringLiteral("SelectLinkHint=Click on link line to select it"),
        QStringLiteral("IdleHint=To add/delete links - make right click and select necessary operation"),
        QStringLiteral("AddLinkStage1Hint=Select a field in the first linking table"),
        QStringLiteral("AddLinkStage2Hint=Select a field in the second linking table")});
    // The hint line shows its idle hint as it appears: the wizard's hints must be in place by then.
    zsdRelationsPanel->SetShowActionHints(true);
    zsdRelationsPanel->OnAddLinkStart = [this](QObject*) { zsdRelationsPanelAddLinkStart(); };
    zsdRelationsPanel->OnAddLinkFinish = [this](QObject*, TLinkRep*) { zsdRelationsPanelAddLinkFinish(); };
    zsdRelationsPanel->OnSelectLink = [this](QObject*) { EnableTablesControls(); };
    zsdRelationsPanel->OnSelectTable = [this](QObject*) { EnableTablesControls(); };

    sbAddLink = new QToolButton(page);
    sbAddLink->setText(QStringLiteral("&Add Link"));
    sbAddLink->setToolTip(QStringLiteral("Add link"));
    sbAddLink->setCheckable(true);
    sbEditLink = new QPushButton(QStringLiteral("&Edit Link"), page);
    sbEditLink->setToolTip(QStringLiteral("Edit link"));
    sbDelLink = new QPushButton(QStringLiteral("&Delete Link"), page);
    sbDelLink->setToolTip(QStringLiteral("Delete link"));
    sbDelLink->setEnabled(false);
    // The toggle's state follows add-link mode, so it acts on clicks, not on its own toggling.
    connect(
        sbAddLink, &QToolButton::clicked, this, [this] { platform::Guarded([this] { sbAddLinkClick(); }); });
    connect(sbEditLink, &QPushButton::clicked, this,
        [this] { platform::Guarded([this] { sbEditLinkClick(); }); });
    connect(
        sbDelLink, &QPushButton::clicked, this, [this] { platform::Guarded([this] { sbDelLinkClick(); }); });

    auto* pmTables = new QMenu(this);
    miAddLink = pmTables->addAction(QStringLiteral("Add new link"));
    miAddLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    miEditLink = pmTables->addAction(QStringLiteral("Edit active link"));
    miEditLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    miDelLink = pmTables->addAction(QStringLiteral("Delete active link"));
    miDelLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    // The page's keys too, while it is shown.
    page->addActions({miAddLink, miEditLink, miDelLink});
    for (QAction* action : {miAddLink, miEditLink, miDelLink})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(
        miAddLink, &QAction::triggered, this, [this] { platform::Guarded([this] { sbAddLinkClick(); }); });
    connect(
        miEditLink, &QAction::triggered, this, [this] { platform::Guarded([this] { sbEditLinkClick(); }); });
    connect(
        miDelLink, &QAction::triggered, this, [this] { platform::Guarded([this] { sbDelLinkClick(); }); });
    zsdRelationsPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(zsdRelationsPanel, &QWidget::customContextMenuRequested, this,
        [this, pmTables](const QPoint& Pos) { pmTables->popup(zsdRelationsPanel->mapToGlobal(Pos)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbAddLink);
    buttons->addWidget(sbEditLink);
    buttons->addWidget(sbDelLink);
    buttons->addStretch();
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(zsdRelationsPanel, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeader(QStringLiteral("Links setup"),
        QStringLiteral(
            "Please specify the links beween tables. Use buttons in the bottom of this page to add new "
            "links and to edit existing ones"),
        page));
    layout->addLayout(body, 1);
    return page;
}

void TMainForm::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!std::exchange(FShown, true))
        platform::Guarded([this] { FormShow(); });
}

void TMainForm::FormShow()
{
    btnNext->setFocus();
    btnBack->setEnabled(false);
    ShowPage(pgWelcome);
    UpdateNextButton();
}

void TMainForm::ShowPage(int Page)
{
    pcPages->setCurrentIndex(Page);
    switch (Page) {
    case pgTables:
        tbsTab2Show();
        break;
    case pgLinkSearch:
        tbsTab4Show();
        break;
    case pgLinks:
        tbsTab5Show();
        break;
    case pgFields:
        tbsTab6Show();
        break;
    default:
        break;
    }
}

void TMainForm::UpdateNextButton()
{
    const int page = CurrentPage();
    btnNext->setEnabled(page != pgTables || FModel->GetTableCount() > 0);
    // Enter belongs to the field tree's in-place editor there.
    btnNext->setDefault(page != pgFields);
    btnNext->setAutoDefault(page != pgFields);
}

void TMainForm::btnNextClick()
{
    int page = CurrentPage();
    if (page == pgFinish) {
        accept();
        return;
    }
    if (page + 1 >= PageCount - 1)
        btnNext->setText(QStringLiteral("&Finish"));
    int step = 1;
    if (page == pgLinkMode) {
        if (rbAuto->isChecked()) {
            btnNext->setEnabled(false);
            btnBack->setEnabled(false);
            ShowPage(pgLinkSearch);
            btnNext->setEnabled(true);
            btnBack->setEnabled(true);
            page = pgLinkSearch;
        } else {
            step = 2;
        }
    }
    ShowPage(page + step);
    btnBack->setEnabled(true);
    UpdateNextButton();
}

void TMainForm::btnBackClick()
{
    const int page = CurrentPage();
    if (page <= pgTables)
        btnBack->setEnabled(false);
    if (page == pgWelcome)
        return;
    ShowPage(page == pgLinks ? pgLinkMode : page - 1);
    btnNext->setText(QStringLiteral("&Next >"));
    UpdateNextButton();
}

void TMainForm::btnCancelClick()
{
    reject();
}

void TMainForm::tbsTab2Show()
{
    QStringList names;
    GetDBInfo()->GetDatabaseNames(names);
    {
        const QSignalBlocker blocker(cbDatabase);
        cbDatabase->clear();
        cbDatabase->addItems(names);
        pnlDatabase->setVisible(!names.isEmpty());
        if (!names.isEmpty())
            cbDatabase->setCurrentIndex(int(names.indexOf(GetDBInfo()->GetCurrentDBName())));
    }
    DBChanged();
}

void TMainForm::DBChanged()
{
    const QString database = GetSelectedDatabase();
    GetDBInfo()->SetCurrentDBName(database);
    QStringList tables;
    GetDBInfo()->GetTableList(tables);
    const QSignalBlocker blocker(clbSelectedTables);
    clbSelectedTables->clear();
    for (const QString& name : tables) {
        auto* item = new QListWidgetItem(name, clbSelectedTables);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        TDSTable* table = FindListedTable(database, name);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(table)));
        item->setCheckState(table ? Qt::Checked : Qt::Unchecked);
    }
}

// A table added here carries the database and the listed name; a table of a model made elsewhere
// is known by its owner-qualified name.
TDSTable* TMainForm::FindListedTable(const QString& DBName, const QString& TableName) const
{
    for (TDSTable* table : FModel->Tables()) {
        if (table->Name().compare(TableName, Qt::CaseInsensitive) == 0
            && table->DBName().compare(DBName, Qt::CaseInsensitive) == 0)
            return table;
    }
    return FModel->FindTable(tlOwnerName, DBName + QLatin1Char('.') + TableName);
}

TDSTable* TMainForm::EntryTable(int Index) const
{
    return static_cast<TDSTable*>(clbSelectedTables->item(Index)->data(Qt::UserRole).value<void*>());
}

void TMainForm::SetEntryTable(int Index, TDSTable* Table)
{
    const QSignalBlocker blocker(clbSelectedTables);
    clbSelectedTables->item(Index)->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(Table)));
}

void TMainForm::clbSelectedTablesClickCheck(QListWidgetItem* Item)
{
    const int index = clbSelectedTables->row(Item);
    if (Item->checkState() == Qt::Checked)
        SelectTable(index);
    else
        UnselectTable(index);
}

void TMainForm::SelectTable(int Index)
{
    const QString database = GetSelectedDatabase();
    const QString name = clbSelectedTables->item(Index)->text();
    if (!FindListedTable(database, name)) {
        TDSTable* table = FModel->Tables().at(FModel->AddTable(name, name));
        table->SetDBName(database);
        SetEntryTable(Index, table);
    }
    UpdateNextButton();
}

void TMainForm::UnselectTable(int Index)
{
    const int position = int(FModel->Tables().indexOf(EntryTable(Index)));
    if (position >= 0)
        FModel->DeleteTable(position);
    SetEntryTable(Index, nullptr);
    UpdateNextButton();
}

void TMainForm::btnSelectAllClick()
{
    for (int i = 0; i < clbSelectedTables->count(); ++i) {
        {
            const QSignalBlocker blocker(clbSelectedTables);
            clbSelectedTables->item(i)->setCheckState(Qt::Checked);
        }
        SelectTable(i);
    }
}

void TMainForm::btnClearAllClick()
{
    for (int i = 0; i < clbSelectedTables->count(); ++i) {
        {
            const QSignalBlocker blocker(clbSelectedTables);
            clbSelectedTables->item(i)->setCheckState(Qt::Unchecked);
        }
        UnselectTable(i);
    }
}

// At most one link per pair of tables: the first pair of equally named columns of compatible
// types, and none for a pair that already has a link either way.
void TMainForm::tbsTab4Show()
{
    if (!rbAuto->isChecked())
        return;
    const QList<TDSTable*> tables = FModel->Tables();
    const int count = int(tables.size());
    const int total = RoundHalfEven((count + 1) / 2.0) * count;
    int step = 0;
    ProgressBar1->setValue(0);
    TDBFieldList fields1;
    for (int i = 0; i + 1 < count; ++i) {
        ++step;
        GetDBInfo()->SetCurrentDBName(tables[i]->DBName());
        GetDBInfo()->GetFields(tables[i]->Name()).CopyTo(fields1);
        for (int j = i + 1; j < count; ++j) {
            ++step;
            ProgressBar1->setValue(std::min(RoundHalfEven(double(step) / total * 100), 100));
            lblProgress->setText(tables[i]->Name() + QStringLiteral(" -> ") + tables[j]->Name());
            lblProgress->repaint();
            if (FModel->FindLinkBetween(tables[i]->Name(), tables[j]->Name()))
                continue;
            GetDBInfo()->SetCurrentDBName(tables[j]->DBName());
            const TDBFieldList& fields2 = GetDBInfo()->GetFields(tables[j]->Name());
            [&] {
                for (int a = 0; a < fields1.Count(); ++a) {
                    const TDBFieldInfo* first = fields1.GetItem(a);
                    for (int b = 0; b < fields2.Count(); ++b) {
                        const TDBFieldInfo* second = fields2.GetItem(b);
                        if (IsLinkable(first->FieldType) && first->Name == second->Name
                            && TypesCompatible(first->FieldType, second->FieldType)) {
                            auto* link = new TDSLink;
                            link->SetTable1(tables[i]);
                            link->SetTable2(tables[j]);
                            link->SetFields1({first->Name});
                            link->SetFields2({second->Name});
                            link->SetLinkType(ltInner);
                            FModel->AddLink(link);
                            return;
                        }
                    }
                }
            }();
        }
    }
}

void TMainForm::tbsTab5Show()
{
    zsdRelationsPanel->ClearDesign();
    zsdRelationsPanel->SetDBStruct(FModel);
    zsdRelationsPanel->BuildDesign();
    EnableTablesControls();
}

void TMainForm::sbAddLinkClick()
{
    if (zsdRelationsPanel->AddLinkState() != TZStructDesignPanel::alsIdle)
        zsdRelationsPanel->CancelAddLink();
    else
        zsdRelationsPanel->StartAddLink();
    EnableTablesControls();
}

void TMainForm::sbEditLinkClick()
{
    zsdRelationsPanel->EditSelectedLink();
    EnableTablesControls();
}

void TMainForm::sbDelLinkClick()
{
    TLinkRep* rep = zsdRelationsPanel->SelectedLink();
    if (!rep)
        return;
    const QString question = rtl::Format(QStringLiteral("Delete Link between tables \"%s\" and \"%s\"?"),
        rep->Link()->Table1()->Name(), rep->Link()->Table2()->Name());
    if (platform::MessageBox(question, WizardCaption, platform::MB_YESNO | platform::MB_ICONQUESTION)
        == platform::IDYES)
        zsdRelationsPanel->DeleteSelectedLink();
    EnableTablesControls();
}

void TMainForm::zsdRelationsPanelAddLinkStart()
{
    sbAddLink->setChecked(true);
    EnableTablesControls();
}

void TMainForm::zsdRelationsPanelAddLinkFinish()
{
    sbAddLink->setChecked(false);
    sbEditLink->setEnabled(true);
    EnableTablesControls();
}

void TMainForm::EnableTablesControls()
{
    const bool canAdd = DatabaseConnected() && FModel->GetTableCount() > 1;
    const bool linkSelected = zsdRelationsPanel->SelectedLink() != nullptr;
    sbAddLink->setEnabled(canAdd);
    miAddLink->setEnabled(canAdd);
    // A click toggles the button before its handler runs; its state is add-link mode's.
    sbAddLink->setChecked(zsdRelationsPanel->AddLinkState() != TZStructDesignPanel::alsIdle);
    for (QWidget* control : std::initializer_list<QWidget*> {sbEditLink, sbDelLink})
        control->setEnabled(linkSelected);
    miEditLink->setEnabled(linkSelected);
    miDelLink->setEnabled(linkSelected);
}

}  // namespace tesmera
