#include "core/editor/datamodeleditor.h"

#include "core/base/fieldtypes.h"
#include "core/base/zstrings.h"
#include "core/design/designpanel.h"
#include "core/editor/editordbinfo.h"
#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "core/ui/fieldtree.h"
#include "platform/cursor.h"
#include "platform/help.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/exception.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

T_dlgDataModelEditor::T_dlgDataModelEditor(QWidget* Parent) : QDialog(Parent)
{
    FormCreate();
    InitModel();
    LoadFormPlacement();
}

T_dlgDataModelEditor::~T_dlgDataModelEditor()
{
    // The panel's events must not reach a window half gone, nor its pictures outlive the copy.
    DesignPanel->OnSelectTable = nullptr;
    DesignPanel->OnSelectLink = nullptr;
    DesignPanel->OnAddLinkStart = nullptr;
    DesignPanel->OnAddLinkFinish = nullptr;
    DesignPanel->SetDBStruct(nullptr);
    ClearCurrentItems();
}

void T_dlgDataModelEditor::FormCreate()
{
    setWindowTitle(QStringLiteral("Data Model Editor"));
    resize(760, 520);
    CreateFrame();
    CreateTablesPage();
    CreateFieldsPage();
    CreateFieldProps();
    CreateOperatorsPage();
    CreateConditionsPage();
    FRegistryRoot = platform::TarvelKey;

    cbOpExprType->addItem(QStringLiteral("Same as field type"));
    for (TFieldType type : EditorFieldTypes) {
        const QString name = FieldTypeToStr(type);
        auto* item = new QListWidgetItem(name, clbTypes);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        cbOpExprType->addItem(name);
        cbFieldType->addItem(name);
        cbCondValType->addItem(name);
    }
}

void T_dlgDataModelEditor::CreateFrame()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    pnlToolbar = new QWidget(this);
    auto* bar = new QHBoxLayout(pnlToolbar);
    bar->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pnlToolbar);

    pnlCommonTools = NewToolPanel(pnlToolbar);
    bar->addWidget(pnlCommonTools);
    pnlOpenSave = NewToolPanel(pnlCommonTools);
    pnlCommonTools->layout()->addWidget(pnlOpenSave);
    sbLoad = NewToolButton(pnlOpenSave, QStringLiteral("Load"), QStringLiteral("Load data model..."));
    sbSave = NewToolButton(pnlOpenSave, QStringLiteral("Save"), QStringLiteral("Save data model..."));
    pnlDMControl = NewToolPanel(pnlCommonTools);
    pnlCommonTools->layout()->addWidget(pnlDMControl);
    sbClear = NewToolButton(pnlDMControl, QStringLiteral("Clear"), QStringLiteral("Clear data model"));
    pnlDBConnection = NewToolPanel(pnlCommonTools);
    pnlCommonTools->layout()->addWidget(pnlDBConnection);
    sbConnect
        = NewToolButton(pnlDBConnection, QStringLiteral("Connect"), QStringLiteral("Connect to database..."));
    pnlDBConnection->hide();

    pnlClose = NewToolPanel(pnlToolbar);
    sbHelp = NewToolButton(pnlClose, QStringLiteral("Help"), QStringLiteral("Help"));
    sbOK = new QPushButton(QStringLiteral("&OK"), pnlClose);
    sbCancel = new QPushButton(QStringLiteral("&Cancel"), pnlClose);
    sbClose = new QPushButton(QStringLiteral("&Close"), pnlClose);
    pnlClose->layout()->addWidget(sbOK);
    pnlClose->layout()->addWidget(sbCancel);
    pnlClose->layout()->addWidget(sbClose);
    sbOK->setAutoDefault(false);
    sbCancel->setAutoDefault(false);
    sbClose->setAutoDefault(false);

    pcMain = new QTabWidget(this);
    layout->addWidget(pcMain, 1);
    tsTables = new QWidget(pcMain);
    tsFields = new QWidget(pcMain);
    tsOperators = new QWidget(pcMain);
    tsConditions = new QWidget(pcMain);
    pcMain->addTab(tsTables, QStringLiteral("Tables"));
    pcMain->addTab(tsFields, QStringLiteral("Fields"));
    pcMain->addTab(tsOperators, QStringLiteral("Operators"));
    pcMain->addTab(tsConditions, QStringLiteral("Conditions"));

    OpenDialog1 = new QFileDialog(this, QStringLiteral("Load Database Structure"));
    OpenDialog1->setNameFilter(QStringLiteral("Database structure (*.dbs)"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    SaveDialog1 = new QFileDialog(this, QStringLiteral("Save Database structure"));
    SaveDialog1->setNameFilter(QStringLiteral("Database Structure (*.dbs)"));
    SaveDialog1->setDefaultSuffix(QStringLiteral("dbs"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);

    OnSignal(sbLoad, &QToolButton::clicked, &T_dlgDataModelEditor::sbLoadClick);
    OnSignal(sbSave, &QToolButton::clicked, &T_dlgDataModelEditor::sbSaveClick);
    OnSignal(sbClear, &QToolButton::clicked, &T_dlgDataModelEditor::sbClearClick);
    OnSignal(sbConnect, &QToolButton::clicked, &T_dlgDataModelEditor::sbConnectClick);
    OnSignal(sbHelp, &QToolButton::clicked, &T_dlgDataModelEditor::sbHelpClick);
    OnSignal(sbOK, &QPushButton::clicked, &T_dlgDataModelEditor::sbOKClick);
    OnSignal(sbCancel, &QPushButton::clicked, &T_dlgDataModelEditor::sbCancelClick);
    OnSignal(sbClose, &QPushButton::clicked, &T_dlgDataModelEditor::sbCloseClick);
    OnSignal(pcMain, &QTabWidget::currentChanged, &T_dlgDataModelEditor::UpdateToolbar);
}

void T_dlgDataModelEditor::InitModel()
{
    FModel = std::make_unique<TZCustomDBStructure>();
    pcMain->setCurrentIndex(0);
    UpdateToolbar();
}

void T_dlgDataModelEditor::TakeSettings(TZCustomDBStructure* DBStruct)
{
    OpenDialog1->setDirectory(DBStruct->InitialSEPath());
    SaveDialog1->setDirectory(DBStruct->InitialSEPath());
    FHelpFileName = DBStruct->HelpFileName();
    FHelpContext = DBStruct->SEHelpContext();
    OnSEHelpClick = DBStruct->OnSEHelpClick;
    OnLoadModel = DBStruct->OnLoadModel;
    OnSaveModel = DBStruct->OnSaveModel;
    pnlOpenSave->setVisible(DBStruct->DMEButtons().Contains(dmbOpenSave));
}

void T_dlgDataModelEditor::CopyModelIn(TZCustomDBStructure* DBStruct)
{
    ClearCurrentItems();
    TZCustomDBStructure* model = FModel.get();
    auto info
        = DBStruct->DatabaseInfo() ? std::make_unique<TEditorDBInfo>(DBStruct->DatabaseInfo()) : nullptr;
    model->SetDatabaseInfo(info.get());
    FDBInfo = std::move(info);
    model->SetAutoAddFields(DBStruct->AutoAddFields());
    model->SetDefOperators(DBStruct->DefOperators());
    model->SetExOperators(DBStruct->ExOperators());
    model->SetDMOptions(DBStruct->DMOptions());
    model->SetSQLFormats(DBStruct->SQLFormats());
    QStringList lines;
    DBStruct->SaveToStrings(lines);
    model->LoadFromStrings(lines);
}

void T_dlgDataModelEditor::CopyModelOut(TZCustomDBStructure* DBStruct)
{
    QStringList lines;
    FModel->SaveToStrings(lines);
    DBStruct->LoadFromStrings(lines);
}

bool T_dlgDataModelEditor::DoLoadModel(QStringList& Strings)
{
    bool processed = true;
    if (!OnLoadModel)
        return false;
    OnLoadModel(this, Strings, processed);
    return processed;
}

bool T_dlgDataModelEditor::DoSaveModel(QStringList& Strings)
{
    bool processed = true;
    if (!OnSaveModel)
        return false;
    OnSaveModel(this, Strings, processed);
    return processed;
}

bool T_dlgDataModelEditor::HasDatabaseInfo() const
{
    return FModel->DatabaseInfo() != nullptr;
}

void T_dlgDataModelEditor::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Event->spontaneous())
        platform::Guarded([this] { FormShow(); });
}

void T_dlgDataModelEditor::FormShow()
{
    sbOK->setVisible(FModal);
    sbCancel->setVisible(FModal);
    sbClose->setVisible(!FModal);
    LoadPlacement();
    RefreshAll();
}

void T_dlgDataModelEditor::done(int Result)
{
    if (FClosing)
        return;
    // Cancel throws the copy away, so it has nothing to commit and never fails to close.
    if (Result != QDialog::Rejected && !platform::Guarded([this] { CommitAll(); }))
        return;
    platform::Guarded([this] { SavePlacement(); });
    FClosing = true;
    const auto reset = qScopeGuard([this] { FClosing = false; });
    QDialog::done(Result);
}

void T_dlgDataModelEditor::ClearCurrentItems()
{
    FCurrentTable = nullptr;
    FCurrentField = nullptr;
    FCurrentOperator = nullptr;
    FCurrentGroup = nullptr;
    FCurrentCondition = nullptr;
    FCurrentValueIndex = -1;
    FDisplayFormatChanged = false;
    FCondValues.Clear();
}

void T_dlgDataModelEditor::RefreshAll()
{
    platform::HourglassCursor hourglass;
    FillTablesList();
    DesignPanel->ClearDesign();
    DesignPanel->SetDBStruct(FModel.get());
    DesignPanel->BuildDesign();
    FillGroupsCombo();
    FCurrentField = nullptr;
    FCurrentGroup = nullptr;
    {
        const QSignalBlocker block(tvFields);
        FillFieldTree(FModel.get(), tvFields, false, false);
    }
    pcFieldProps->hide();
    pnlGroupProps->hide();
    {
        QStringList names;
        const QSignalBlocker blockOperators(lbOperators);
        FModel->GetOperatorNames(names);
        lbOperators->clear();
        lbOperators->addItems(names);
        const QSignalBlocker blockConditions(lbConditions);
        FModel->GetConditionNames(names);
        lbConditions->clear();
        lbConditions->addItems(names);
    }
    FCurrentOperator = nullptr;
    FCurrentCondition = nullptr;
    FCurrentValueIndex = -1;
    FDisplayFormatChanged = false;
    FCondValues.Clear();
    pnlCondProps->hide();
    chbRootFirst->setChecked(FModel->RootFieldsFirst());
    UpdateTableButtons();
    UpdateFieldButtons();
    UpdateFieldMenu();
    UpdateOperatorButtons();
    UpdateConditionButtons();
    UpdateConnectButton();
}

void T_dlgDataModelEditor::CommitAll()
{
    DesignPanelSelectTable();
    ShowField();
    ShowOperator();
    ShowCondition();
}

void T_dlgDataModelEditor::UpdateToolbar()
{
    const QList<QWidget*> panels {pnlTablesTools, pnlFieldsTools, pnlOperatorsTools, pnlConditionsTools};
    const int index = pcMain->currentIndex();
    QWidget* active = index >= 1 && index <= 3 ? panels[index] : pnlTablesTools;
    auto* bar = static_cast<QHBoxLayout*>(pnlToolbar->layout());
    for (QWidget* panel : panels) {
        if (bar->indexOf(panel) < 0)
            bar->insertWidget(1, panel);
        panel->setVisible(panel == active && (panel != pnlFieldsTools || FFieldsToolsShown));
    }
    if (bar->indexOf(pnlClose) < 0) {
        bar->addStretch();
        bar->addWidget(pnlClose);
    }
}

void T_dlgDataModelEditor::UpdateConnectButton()
{
    if (HasDatabaseInfo())
        sbConnect->setEnabled(!FModel->DatabaseInfo()->IsConnected());
}

void T_dlgDataModelEditor::sbOKClick()
{
    done(QDialog::Accepted);
}

void T_dlgDataModelEditor::sbCancelClick()
{
    done(QDialog::Rejected);
}

void T_dlgDataModelEditor::sbCloseClick()
{
    done(QDialog::Accepted);
}

void T_dlgDataModelEditor::sbLoadClick()
{
    QStringList lines;
    QString fileName;
    if (!DoLoadModel(lines)) {
        lines.clear();
        if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
            return;
        fileName = OpenDialog1->selectedFiles().constFirst();
    } else if (lines.isEmpty()) {
        return;
    }
    DesignPanel->ClearPictures();
    ClearCurrentItems();
    pcFieldProps->hide();
    pnlOperatorProps->hide();
    // Whether the read succeeds or not, the pages show the model the copy holds afterwards.
    const auto refresh = qScopeGuard([this] { RefreshAll(); });
    if (fileName.isEmpty())
        FModel->LoadFromStrings(lines);
    else
        FModel->LoadFromFile(fileName);
}

void T_dlgDataModelEditor::sbSaveClick()
{
    CommitAll();
    QStringList lines;
    FModel->SaveToStrings(lines);
    if (DoSaveModel(lines))
        return;
    if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
        return;
    FModel->SaveToFile(SaveDialog1->selectedFiles().constFirst());
}

void T_dlgDataModelEditor::sbClearClick()
{
    if (ConfirmMessage(QStringLiteral("Clear Structure?")) != platform::IDYES)
        return;
    DesignPanel->ClearPictures();
    ClearCurrentItems();
    const auto refresh = qScopeGuard([this] { RefreshAll(); });
    FModel->Clear();
}

void T_dlgDataModelEditor::sbConnectClick()
{
    if (!OnConnect)
        return;
    OnConnect(this);
    UpdateConnectButton();
    UpdateTableButtons();
}

void T_dlgDataModelEditor::sbHelpClick()
{
    if (!FHelpFileName.isEmpty())
        platform::OpenHelpFile(FHelpFileName, FHelpContext);
    if (OnSEHelpClick)
        OnSEHelpClick(this);
}

QString T_dlgDataModelEditor::PlacementKey() const
{
    return JoinPath(FRegistryRoot, QStringLiteral("DataModelEditor"));
}

void T_dlgDataModelEditor::LoadFormPlacement()
{
    // Before the first show, while the stored position still places the frame.
    if (!FRegistryRoot.isEmpty())
        LoadWindowPlacement(this, PlacementKey(), QStringLiteral("Form"));
}

void T_dlgDataModelEditor::LoadPlacement()
{
    if (FRegistryRoot.isEmpty())
        return;
    const QString key = PlacementKey();
    for (QGroupBox* box : {gbFieldGroupProps, gbOperatorProps, gbCondProps}) {
        const int width = box->width();
        const QRect before = box->geometry();
        try {
            LoadControlPlacement(box, key, QStringLiteral("FieldProps"));
        } catch (const rtl::Exception&) {
            // A damaged stored rectangle is no rectangle: the box keeps its own.
            box->setGeometry(before);
        }
        auto* splitter = static_cast<QSplitter*>(box->parentWidget());
        if (box->width() != width && box->width() > 0) {
            const int total = splitter->width();
            splitter->setSizes({std::max(total - box->width(), 0), box->width()});
        }
    }
}

void T_dlgDataModelEditor::SavePlacement()
{
    if (FRegistryRoot.isEmpty())
        return;
    const QString key = PlacementKey();
    SaveControlPlacement(this, key, QStringLiteral("Form"));
    for (QGroupBox* box : {gbFieldGroupProps, gbOperatorProps, gbCondProps})
        SaveControlPlacement(box, key, QStringLiteral("FieldProps"));
}

bool T_dlgDataModelEditor::eventFilter(QObject* Watched, QEvent* Event)
{
    bool handled = false;
    platform::Guarded([&] {
        if (Watched == edDisplayFormat && Event->type() == QEvent::FocusOut)
            ChangeValueList();
        else if (Watched == sgEditorValues && Event->type() == QEvent::KeyPress)
            handled = sgEditorValuesKeyDown(static_cast<QKeyEvent*>(Event));
        else if (Watched == tvFields->viewport() && Event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(Event);
            if (mouse->button() == Qt::RightButton) {
                tvFieldsMouseDown(mouse->position().toPoint());
                handled = true;
            }
        }
    });
    return handled || QDialog::eventFilter(Watched, Event);
}

bool ExecuteDataModelEditor(TZCustomDBStructure* DBStruct)
{
    T_dlgDataModelEditor dialog;
    dialog.SetModal(true);
    dialog.TakeSettings(DBStruct);
    {
        platform::HourglassCursor hourglass;
        dialog.CopyModelIn(DBStruct);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    platform::HourglassCursor hourglass;
    dialog.CopyModelOut(DBStruct);
    return true;
}

void RegisterDataModelEditor()
{
    TZCustomDBStructure::SetDataModelEditor(&ExecuteDataModelEditor);
}
