#include "app/mainwindow/mainform.h"

#include "app/dialogs/aboutbox.h"
#include "app/dialogs/datedialog.h"
#include "app/dialogs/modelsettings.h"
#include "app/dialogs/options.h"
#include "app/dialogs/selectmodel.h"
#include "app/dialogs/settingsstore.h"
#include "app/mainwindow/glyphs.h"
#include "app/mainwindow/shelltexts.h"
#include "core/gate/dbgate.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "platform/exceptionguard.h"
#include "platform/help.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/querylist/querybase.h"
#include "querypanel/querylist/querycombo.h"
#include "rtl/datetime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

QString DefaultGate;
bool ModelLoading = false;

namespace {

// Colours as the window resource names them (0x00BBGGRR; system colour 24 is the tooltip's ground).
constexpr TColor clInfoBk = 0xFF000018;
constexpr TColor clMaroon = 0x00000080;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clNavy = 0x00800000;

const QString AppearanceSection = QStringLiteral("Appearance");

// The four options the registry keeps, by their value names.
struct TStoredOption {
    const char* Name;
    TQPAppearanceOption Option;
};
constexpr TStoredOption StoredOptions[] {
    {"OptShowCheckBoxes", aoShowCheckBoxes},
    {"OptFlatButtons", aoFlatButtons},
    {"OptPopupField", aoPopupField},
    {"OptPopupValue", aoPopupValue},
};

QStringList DefOperatorLines()
{
    return {
        QStringLiteral("Equal=is equal to"),
        QStringLiteral("NotEqual=is not equal to"),
        QStringLiteral("LessThan=is less than"),
        QStringLiteral("LessOrEqual=is less than or equal to"),
        QStringLiteral("GreaterThan=greater than"),
        QStringLiteral("GreaterOrEqual=greater than or equal to"),
        QStringLiteral("IsNull=is null"),
        QStringLiteral("InList=is in list"),
        QStringLiteral("StartsWith=starts with"),
        QStringLiteral("NotStartsWith=does not start with"),
        QStringLiteral("Contains=contains"),
        QStringLiteral("NotContains=does not contain"),
        QStringLiteral("Between=is between"),
        QStringLiteral("NotInList=is not in list"),
        QStringLiteral("NotBetween=is not between"),
    };
}

bool IsDateType(TFieldType Type)
{
    return Type == ftDate || Type == ftDateTime;
}

}  // namespace

// Told by the query list before the panel, so that a query that fails to load leaves no rows of the
// one before either.
class TMainForm::TQueryChangeLink : public TZQueryBaseLink {
public:
    explicit TQueryChangeLink(TMainForm& Form) : FForm(Form) {}

    void ActiveItemChanged() override { FForm.ClearQueryResult(); }
    // Opened, closed, or the current query deleted: none is current.
    void BaseChanged(uint8_t, int) override
    {
        if (QueryBase()->ItemIndex() == -1)
            FForm.ClearQueryResult();
    }

private:
    TMainForm& FForm;
};

TMainForm::TMainForm(QWidget* Parent) : QMainWindow(Parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Lumidex"));
    CreateComponents();
    CreateWorkArea();
    CreateToolbar();
    CreateMenu();
    resize(639, 492);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // Before the first show, while the stored position still places the frame.
    platform::Guarded([this] { LoadFormPosition(this, platform::NuvKey); });
    FormCreate();
    CreateDialogs();
}

// The panel goes before the model and the query list it points into.
TMainForm::~TMainForm()
{
    delete QPanel;
}

void TMainForm::CreateComponents()
{
    ZDBGate = new TZDBGate(this);
    DBStructure = new TZDBStructure(this);
    DBStructure->SetDMEButtons({dmbOpenSave});
    DBStructure->SetHelpFileName(QStringLiteral("ltdialogs.hlp"));
    DBStructure->SetSEHelpContext(30);
    DBStructure->SetStoreStruct(false);
    TSQLFormats formats;
    formats.SetDate(QStringLiteral("mm\"/\"dd\"/\"yyyy"));
    formats.SetTime(QStringLiteral("hh:nn:ss"));
    formats.SetDateTime(QStringLiteral("mm\"/\"dd\"/\"yyyy hh:nn:ss"));
    formats.SetFalseValue(QStringLiteral("false"));
    formats.SetTrueValue(QStringLiteral("true"));
    formats.SetFullTableName(QStringLiteral("DB.OWNER.TABLE"));
    DBStructure->SetSQLFormats(formats);
    DBStructure->SetDatabaseInfo(ZDBGate);
    DBStructure->SetExOperators({xoInList, xoBetween, xoStartsWith, xoContains});
    DBStructure->SetDefOperators(DefOperatorLines());

    QBase = new TZQueryFileBase(this);
    QBase->BeforeScroll = [this](TZQueryBase*) { CheckIsQuerySaved(); };
    QBase->BeforeClose = [this](TZQueryBase*) { CheckIsQuerySaved(); };
    FQueryChangeLink = std::make_unique<TQueryChangeLink>(*this);
    FQueryChangeLink->SetQueryBase(QBase);
}

void TMainForm::CreateWorkArea()
{
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    setCentralWidget(central);

    Toolbar = new QWidget(central);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    // While the query area is hidden (no queries) the toolbar stays a strip at the top.
    centralLayout->addWidget(Toolbar, 0, Qt::AlignTop);

    pnlMain = new QWidget(central);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    centralLayout->addWidget(pnlMain, 1);
    auto* mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(2, 2, 2, 2);

    Splitter1 = new QSplitter(Qt::Vertical, pnlMain);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    mainLayout->addWidget(Splitter1);

    auto* upper = new QWidget(Splitter1);
    auto* upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    auto* queryColumn = new QVBoxLayout;
    upperLayout->addLayout(queryColumn, 1);

    gbResultFields = new QGroupBox(QStringLiteral("Result Fields"), upper);
    gbResultFields->setObjectName(QStringLiteral("gbResultFields"));
    auto* resultLayout = new QHBoxLayout(gbResultFields);
    lblSortedBy = new QLabel(QStringLiteral("Sorted By:"), gbResultFields);
    lblSortedBy->setObjectName(QStringLiteral("lblSortedBy"));
    lblSortedBy->hide();
    // The label sizes itself to its caption, so it sits in a strip of its own height rather than in
    // a layout.
    auto* rfieldsStrip = new QWidget(gbResultFields);
    ddlRFields = new TDropDownLabel;
    ddlRFields->setObjectName(QStringLiteral("ddlRFields"));
    ddlRFields->setParent(rfieldsStrip);
    ddlRFields->SetCaption(QStringLiteral("*"));
    QFont rfieldsFont = ddlRFields->font();
    rfieldsFont.setBold(true);
    rfieldsFont.setUnderline(true);
    ddlRFields->setFont(rfieldsFont);
    SetFontColor(ddlRFields, clBlue);
    ddlRFields->setCursor(Qt::PointingHandCursor);
    ddlRFields->OnCustomDropDown
        = [this](TDropDownLabel*, QString& Value, bool& Accept) { ddlRFieldsCustomDropDown(Value, Accept); };
    rfieldsStrip->setMinimumHeight(QFontMetrics(rfieldsFont).height() + 2);
    resultLayout->addWidget(lblSortedBy);
    resultLayout->addWidget(rfieldsStrip, 1);
    queryColumn->addWidget(gbResultFields);

    QPanel = new TZQueryPanel(upper);
    QPanel->setObjectName(QStringLiteral("QPanel"));
    queryColumn->addWidget(QPanel, 1);

    gbDescription = new QGroupBox(QStringLiteral(" Description "), upper);
    gbDescription->setObjectName(QStringLiteral("gbDescription"));
    gbDescription->setFixedWidth(170);
    auto* descriptionLayout = new QVBoxLayout(gbDescription);
    lblDescription = new QLabel(gbDescription);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    // The user's own words, shown as typed even where they look like markup.
    lblDescription->setTextFormat(Qt::PlainText);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDescription->setFont(QFont(QStringLiteral("Verdana")));
    SetFontColor(lblDescription, clMaroon);
    descriptionLayout->addWidget(lblDescription);
    upperLayout->addWidget(gbDescription);

    pcSQL = new QTabWidget(Splitter1);
    pcSQL->setObjectName(QStringLiteral("pcSQL"));
    tshSQL = new QWidget;
    tshSQL->setObjectName(QStringLiteral("tshSQL"));
    auto* sqlLayout = new QVBoxLayout(tshSQL);
    sqlLayout->setContentsMargins(0, 0, 0, 0);
    memSQL = new QPlainTextEdit(tshSQL);
    memSQL->setObjectName(QStringLiteral("memSQL"));
    memSQL->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memSQL->setTabChangesFocus(true);
    sqlLayout->addWidget(memSQL);
    tshQueryResult = new QWidget;
    tshQueryResult->setObjectName(QStringLiteral("tshQueryResult"));
    tshQueryResult->installEventFilter(this);
    pcSQL->addTab(tshSQL, QStringLiteral("SQL"));
    pcSQL->addTab(tshQueryResult, QStringLiteral("Query Result"));
    pcSQL->setCurrentWidget(tshQueryResult);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 2);

    QPanel->SetDbStruct(DBStructure);
    QPanel->SetQueryBase(QBase);
    QPanel->SetMainTableName(QStringLiteral("CUSTOMER"));
    QPanel->SetHelpFileName(QStringLiteral("ltdialogs.hlp"));
    QPanel->SetRFEHelpContext(0);
    QPanel->SetMaxPopupItemCount(11);
    QPanel->SetSQLSyntax(ssSQL2);
    QPanel->SetSQLOptions({soASCIIRFields, soSelectDistinct, soBracketJoins, soBracketConditions});
    QPanel->SetSaveSQLOptions(true);
    QPanel->SetSaveTitles(false);
    QPanel->SetTitle(QStringLiteral("ttlFields"), QStringLiteral(" &Available fields"));
    QPanel->SetTitle(QStringLiteral("ttlSortCaption"), QStringLiteral("Sorted"));
    QPanel->SetTitle(QStringLiteral("ttlMgsDeleteField"), QStringLiteral("Delete field \"%s\"?"));
    QPanel->QResult()->ResultFields().LoadFromStrings({QStringLiteral("[RFields]"), QStringLiteral("Count=0"),
        QStringLiteral("Version=3.5"), QStringLiteral("JustSorting=1")});
    TQPAppearance& look = QPanel->Appearance();
    look.BeginUpdate();
    look.SetStyle(psGroups);
    look.SetOptions({aoFlatButtons, aoRoundButtons, aoNonEmptyBrackets, aoPopupField, aoPopupValue,
        aoAllowKeyboard, aoSortListData, aoShowAddRow, aoShowCheckBoxes});
    look.SetLinkTypes(AllFilterLinkTypes);
    look.SetActiveRowColor(clInfoBk);
    look.SetControlBorderColor(clBlack);
    look.SetFieldColor(clMaroon);
    look.SetOperatorColor(clGreen);
    look.SetValueColor(clNavy);
    look.SetBoolOpColor(clNavy);
    look.EndUpdate();
    // The settings above are no change of a query.
    QPanel->SetModified(false);
    QPanel->OnActive = [this](TZQueryPanel*) { QPanelActive(); };
    QPanel->OnChange = [this](TZQueryPanel*) { QPanelChange(); };
    QPanel->OnSetValue = [this](TZQueryPanel*, TFilterCond* Condition, int ValueIndex, const QString& AValue,
                             QString& ACaption) { QPanelSetValue(Condition, ValueIndex, AValue, ACaption); };
    QPanel->OnCustomValue = [this](TZQueryPanel*, TFilterCond* Condition, int ValueIndex, QString& AValue) {
        QPanelCustomValue(Condition, ValueIndex, AValue);
    };
}

QToolButton* TMainForm::AddSpeedButton(const QString& Name, const QString& Hint, TGlyph Glyph, bool Toggle)
{
    auto* button = new QToolButton(Toolbar);
    button->setObjectName(Name);
    button->setToolTip(Hint);
    button->setIcon(SpeedGlyph(Glyph));
    button->setAutoRaise(true);
    button->setFixedSize(27, 27);
    button->setCheckable(Toggle);
    Toolbar->layout()->addWidget(button);
    return button;
}

void TMainForm::CreateToolbar()
{
    auto* layout = new QHBoxLayout(Toolbar);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    cbCurQuery = new TZQueryCombo(Toolbar);
    cbCurQuery->setObjectName(QStringLiteral("cbCurQuery"));
    cbCurQuery->setMinimumWidth(220);
    cbCurQuery->SetQueryBase(QBase);
    cbCurQuery->OnChange = [this](TZQueryCombo*) { cbCurQueryChange(); };
    layout->addWidget(cbCurQuery);
    const auto bevel = [this, layout] {
        auto* line = new QFrame(Toolbar);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        layout->addWidget(line);
    };
    sbNewQuery = AddSpeedButton(QStringLiteral("sbNewQuery"), QStringLiteral("New Query"), glNewQuery, false);
    sbQueryParams = AddSpeedButton(
        QStringLiteral("sbQueryParams"), QStringLiteral("Edit Query Parameters"), glQueryParams, false);
    sbSaveQuery
        = AddSpeedButton(QStringLiteral("sbSaveQuery"), QStringLiteral("Save Query"), glSaveQuery, false);
    sbDeleteQuery = AddSpeedButton(
        QStringLiteral("sbDeleteQuery"), QStringLiteral("Delete Query"), glDeleteQuery, false);
    bevel();
    sbBuildQuery
        = AddSpeedButton(QStringLiteral("sbBuildQuery"), QStringLiteral("Build Query"), glBuildQuery, false);
    bevel();
    sbActivateQueryPanel = AddSpeedButton(
        QStringLiteral("sbActivateQueryPanel"), QStringLiteral("Query Panel"), glQueryPanel, true);
    sbShowSQL = AddSpeedButton(QStringLiteral("sbShowSQL"), QStringLiteral("Show Result"), glShowSQL, true);
    sbShowSQL->setChecked(true);
    bevel();
    sbHelp = AddSpeedButton(QStringLiteral("sbHelp"), QString(), glHelp, false);
    layout->addStretch(1);
}

QAction* TMainForm::AddCommand(QMenu* Menu, const QString& Caption, const QKeySequence& Key,
    void (TMainForm::*Handler)(), TEnableRule Rule, QToolButton* Button)
{
    QAction* item = Menu->addAction(Caption);
    item->setShortcut(Key);
    const auto run = [this, Handler] { platform::Guarded([this, Handler] { (this->*Handler)(); }); };
    connect(item, &QAction::triggered, this, run);
    if (Button)
        connect(Button, &QToolButton::clicked, this, run);
    FCommands.push_back({item, Button, Rule});
    return item;
}

void TMainForm::CreateMenu()
{
    QMenuBar* mmLumidex = menuBar();
    mmLumidex->setObjectName(QStringLiteral("mmLumidex"));

    QMenu* model = mmLumidex->addMenu(QStringLiteral("&Data Model"));
    miNew = AddCommand(model, QStringLiteral("New..."), QKeySequence(Qt::CTRL | Qt::Key_N),
        &TMainForm::miNewClick, erAlways);
    SelectDataModel1 = AddCommand(model, QStringLiteral("Select..."), QKeySequence(Qt::CTRL | Qt::Key_O),
        &TMainForm::SelectDataModel1Click, erAlways);
    RunWizard1
        = AddCommand(model, QStringLiteral("Run Wizard..."), {}, &TMainForm::RunWizard1Click, erAlways);
    miEditStructure = AddCommand(
        model, QStringLiteral("&Edit Model Structure..."), {}, &TMainForm::EditStructure, erAlways);
    EditSettings1 = AddCommand(
        model, QStringLiteral("Edit Model Settings..."), {}, &TMainForm::EditSettings1Click, erAlways);
    model->addSeparator();
    miExit = AddCommand(model, QStringLiteral("E&xit"), {}, &TMainForm::miExitClick, erAlways);

    // Qt fires neither of two actions that share a key: Ctrl+N belongs to the Data Model's New...,
    // and this item only shows it.
    QMenu* query = mmLumidex->addMenu(QStringLiteral("&Query"));
    miNewQuery = AddCommand(
        query, QStringLiteral("&New...\tCtrl+N"), {}, &TMainForm::NewQuery, erAlways, sbNewQuery);
    miSaveQuery = AddCommand(query, QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
        &TMainForm::SaveCurrentQuery, erModified, sbSaveQuery);
    miEditParams = AddCommand(
        query, QStringLiteral("Edit &Params..."), {}, &TMainForm::EditQueryParams, erQueries, sbQueryParams);
    miDeleteQuery = AddCommand(
        query, QStringLiteral("&Delete Query"), {}, &TMainForm::DeleteQuery, erQueries, sbDeleteQuery);
    Clear1
        = AddCommand(query, QStringLiteral("&Clear All Conditions"), {}, &TMainForm::Clear1Click, erAlways);
    miParseSQL = AddCommand(query, QStringLiteral("&ParseSQL"), {}, &TMainForm::miParseSQLClick, erAlways);
    query->addSeparator();
    miBuildQuery = AddCommand(query, QStringLiteral("&Build Query"), QKeySequence(Qt::Key_F9),
        &TMainForm::BuildQuery, erQueries, sbBuildQuery);
    miEditResultFields = AddCommand(
        query, QStringLiteral("Edit &Result Fields"), {}, &TMainForm::EditResultFields, erAlways);

    QMenu* view = mmLumidex->addMenu(QStringLiteral("&View"));
    miActivateQueryPanel = AddCommand(view, QStringLiteral("&Activate Query Panel"), {},
        &TMainForm::ActivateQueryPanel, erQueries, sbActivateQueryPanel);
    miActivateQueryPanel->setCheckable(true);
    miActivateQueryPanel->setVisible(false);
    miShowSQL = AddCommand(view, QStringLiteral("Show &SQL"), {}, &TMainForm::ShowSQL, erQueries, sbShowSQL);
    miShowSQL->setCheckable(true);
    miShowSQL->setChecked(true);
    miShowDescription = AddCommand(
        view, QStringLiteral("Show &Description"), {}, &TMainForm::miShowDescriptionClick, erQueries);
    miShowDescription->setCheckable(true);
    miShowDescription->setChecked(true);
    view->addSeparator();
    miOptions = AddCommand(view, QStringLiteral("Options..."), {}, &TMainForm::miOptionsClick, erAlways);

    QMenu* help = mmLumidex->addMenu(QStringLiteral("&Help"));
    miContents = AddCommand(help, QStringLiteral("&Contents"), {}, &TMainForm::ShowHelp, erAlways, sbHelp);
    miAbout = AddCommand(help, QStringLiteral("&About"), {}, &TMainForm::miAboutClick, erAlways);
}

void TMainForm::CreateDialogs()
{
    dlgModelSettings = new TdlgModelSettings(this);
    dlgSelectDataModel = new TdlgSelectDataModel(this);
}

// A failure anywhere in the open road is reported; the window is made usable whatever happened.
void TMainForm::FormCreate()
{
    ModelLoading = false;
    AppDir = AddBackslash(QDir::currentPath());
    platform::Guarded([] { LoadGlobalSettings(); });
    platform::Guarded([this] { LoadDataModel(); });
    platform::Guarded([this] {
        QPanel->Activate();
        UpdateControls();
    });
}

void TMainForm::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    platform::Guarded([this] { FormShow(); });
}

void TMainForm::FormShow()
{
    if (pnlMain->isVisibleTo(this))
        QPanel->setFocus();
    LoadOptions();
    if (QPanel->Modified()) {
        if (TZQueryItem* item = QBase->CurrentItem())
            item->Save();
        UpdateControls();
    }
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    if (!FormClose()) {
        Event->ignore();
        return;
    }
    QMainWindow::closeEvent(Event);
}

// A query or a model whose file could not be written keeps the window open: closing would lose
// the change. Both are asked about; the settings steps each run although an earlier one failed.
bool TMainForm::FormClose()
{
    const bool querySaved = platform::Guarded([this] { CheckIsQuerySaved(); });
    const bool modelSaved = platform::Guarded([this] { CheckIsModelSaved(); });
    if (!querySaved || !modelSaved)
        return false;
    platform::Guarded([this] { SaveOptions(); });
    platform::Guarded([this] { SaveFormPosition(this, platform::NuvKey); });
    // A new model that never got its files has no folder to come back to.
    if (!QFileInfo::exists(ModelFile()))
        QueryDir = FOpenedDir;
    platform::Guarded([] { SaveGlobalSettings(); });
    return true;
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == tshQueryResult && Event->type() == QEvent::Resize)
        platform::Guarded([this] { tshQueryResultResize(); });
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::UpdateCaption()
{
    setWindowTitle(QStringLiteral("Lumidex - ") + FModelName);
}

void TMainForm::UpdateControls()
{
    const bool queries = QBase->Count() > 0;
    // The panel of a query whose file could not be read holds nothing of that query to save.
    const TZQueryItem* current = QBase->CurrentItem();
    const bool modified = queries && QPanel->Modified() && !(current && current->Unread());
    for (const TCommand& command : FCommands) {
        const bool enabled = command.Rule == erAlways || (command.Rule == erQueries ? queries : modified);
        command.Item->setEnabled(enabled);
        if (command.Button)
            command.Button->setEnabled(enabled);
    }
    pnlMain->setVisible(queries);
}

void TMainForm::LoadOptions()
{
    const platform::Registry registry(platform::NuvKey);
    DefaultGate = registry.ReadString(
        QStringLiteral("Common"), QStringLiteral("DefaultGate"), QStringLiteral("morlin.dll"));
    TQPAppearance& look = QPanel->Appearance();
    TQPAppearanceOptions options = look.Options();
    for (const TStoredOption& stored : StoredOptions) {
        if (registry.ReadBool(AppearanceSection, QString::fromLatin1(stored.Name), true))
            options.Include(stored.Option);
        else
            options.Exclude(stored.Option);
    }
    const TQPStyle style
        = registry.ReadInteger(AppearanceSection, QStringLiteral("Style"), 0) == 1 ? psAndOr : psGroups;
    if (style == look.Style() && options == look.Options())
        return;
    // One rebuild of the rows for all five values.
    look.BeginUpdate();
    look.SetStyle(style);
    look.SetOptions(options);
    look.EndUpdate();
}

void TMainForm::SaveOptions()
{
    platform::Registry registry(platform::NuvKey);
    const TQPAppearance& look = QPanel->Appearance();
    registry.WriteInteger(AppearanceSection, QStringLiteral("Style"), look.Style() == psAndOr ? 1 : 0);
    for (const TStoredOption& stored : StoredOptions)
        registry.WriteBool(
            AppearanceSection, QString::fromLatin1(stored.Name), look.Options().Contains(stored.Option));
}

void TMainForm::CheckIsQuerySaved()
{
    // Without a current query there is nothing the answer could save; nor when the panel does not
    // show the query, whose file could not be read.
    TZQueryItem* item = QBase->CurrentItem();
    if (ModelLoading || !QPanel->Modified() || !item || item->Unread())
        return;
    if (ConfirmYesNo(ShellTexts::QueryModified) == platform::IDYES)
        item->Save();
}

// --- the panel's events ---

void TMainForm::ShowResultCaptions()
{
    ddlRFields->SetCaption(QPanel->QResult()->ResultFields().GetCaptionsText());
}

void TMainForm::QPanelActive()
{
    sbActivateQueryPanel->setChecked(QPanel->Active());
    miActivateQueryPanel->setChecked(QPanel->Active());
    ShowResultCaptions();
}

void TMainForm::QPanelChange()
{
    UpdateControls();
    // A word-wrapped text is laid out whole: a description too long for any screen is cut.
    lblDescription->setText(ShownPart(QPanel->Description().join(u'\n')));
    ShowResultCaptions();
}

void TMainForm::QPanelSetValue(
    TFilterCond* Condition, int ValueIndex, const QString& AValue, QString& ACaption)
{
    const auto* condition = qobject_cast<TSimpleCond*>(Condition);
    if (condition && IsDateType(condition->GetValueType(ValueIndex)) && !AValue.isEmpty())
        ACaption = DateValueCaption(AValue);
}

void TMainForm::QPanelCustomValue(TFilterCond* Condition, int, QString& AValue)
{
    const auto* condition = qobject_cast<TSimpleCond*>(Condition);
    const TDSField* field = condition ? condition->Field() : nullptr;
    if (!field)
        return;
    if (IsDateType(field->FieldType()) && field->FieldExpr() != QLatin1String("ShipDate")) {
        TDateDialog dialog(this);
        rtl::TDateTime date = 0;
        dialog.SetDate(rtl::TryStrToDate(AValue, date) ? date : rtl::Date());
        if (dialog.exec() == QDialog::Accepted)
            AValue = rtl::DateToStr(dialog.GetDate());
        return;
    }
    const QStringList* data = condition->GetCondCustomData();
    platform::MessageBox(ShellTexts::CustomEditor + QStringLiteral("\r\n")
            + (data ? data->join(QStringLiteral("\r\n")) : QString()),
        QString(), platform::MB_OK);
}

void TMainForm::ddlRFieldsCustomDropDown(QString& Value, bool& Accept)
{
    Accept = QPanel->ShowRFieldsEditor(0, 1);
    if (Accept)
        Value = QPanel->QResult()->ResultFields().GetCaptionsText();
}

void TMainForm::cbCurQueryChange()
{
    UpdateControls();
}

void TMainForm::tshQueryResultResize()
{
    if (FResultShown)
        ZDBGate->RepaintResult();
}

// --- view and help commands ---

void TMainForm::ActivateQueryPanel()
{
    // The toggle shows the panel's state, also when switching fails.
    sbActivateQueryPanel->setChecked(QPanel->Active());
    QPanel->SetActive(!QPanel->Active());
}

void TMainForm::ShowSQL()
{
    const bool show = pcSQL->isHidden();
    miShowSQL->setChecked(show);
    sbShowSQL->setChecked(show);
    pcSQL->setVisible(show);
}

void TMainForm::miShowDescriptionClick()
{
    const bool show = gbDescription->isHidden();
    miShowDescription->setChecked(show);
    gbDescription->setVisible(show);
}

void TMainForm::miOptionsClick()
{
    TdlgOptions dialog(this);
    dialog.LoadFromPanel(*QPanel);
    if (dialog.exec() == QDialog::Accepted)
        dialog.SaveToPanel(*QPanel);
}

void TMainForm::ShowHelp()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    platform::OpenHelpFile(
        program.absolutePath() + u'/' + program.completeBaseName() + QStringLiteral(".hlp"));
}

void TMainForm::miAboutClick()
{
    TAboutBox dialog(this);
    dialog.exec();
}

void TMainForm::miExitClick()
{
    close();
}
