#pragma once

#include "core/editor/editorcontrols.h"
#include "core/model/condition.h"
#include "platform/exceptionguard.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class QTabWidget;
class QToolButton;
class QTreeWidgetItem;
class TDSField;
class TDSFieldGroup;
class TDSOperator;
class TDSTable;
class TEditorDBInfo;
class TLinkRep;
class TZStructDesignPanel;
class TZCustomDBStructure;

// The modal window in which a copy of a data model is edited: tables and links, fields and field
// groups with their properties, operators and predefined conditions. Each page shows one item in
// edit controls that are not bound to it; showing another item first writes the controls into the
// item shown so far (commit and show).
class T_dlgDataModelEditor : public QDialog {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TInOutModelEvent
        = std::function<void(QObject* Sender, QStringList& DataModelStrings, bool& Processed)>;

    explicit T_dlgDataModelEditor(QWidget* Parent = nullptr);
    ~T_dlgDataModelEditor() override;

    // Called by the Connect button; nothing assigns it in this system.
    TNotifyEvent OnConnect;
    TNotifyEvent OnSEHelpClick;
    TInOutModelEvent OnLoadModel;
    TInOutModelEvent OnSaveModel;

    virtual bool DoLoadModel(QStringList& Strings);
    virtual bool DoSaveModel(QStringList& Strings);

    bool Modal() const { return FModal; }
    void SetModal(bool Value) { FModal = Value; }
    TZCustomDBStructure* Model() const { return FModel.get(); }
    TDSTable* CurrentTable() const { return FCurrentTable; }
    TDSField* CurrentField() const { return FCurrentField; }
    TDSOperator* CurrentOperator() const { return FCurrentOperator; }
    TDSFieldGroup* CurrentGroup() const { return FCurrentGroup; }
    TDSCondition* CurrentCondition() const { return FCurrentCondition; }
    const TDSValueList& CondValues() const { return FCondValues; }
    int CurrentValueIndex() const { return FCurrentValueIndex; }

    // The copy takes DBStruct's database information (through a component that keeps the
    // connection details of the texts it reads), options, formats, operator families and model
    // text; CopyModelOut writes only the copy's model text back.
    void CopyModelIn(TZCustomDBStructure* DBStruct);
    void CopyModelOut(TZCustomDBStructure* DBStruct);
    // The file dialogs' folder, the help, the events and the Load/Save buttons of DBStruct.
    void TakeSettings(TZCustomDBStructure* DBStruct);

    void RefreshAll();
    // Writes every pending edit into the copy.
    void CommitAll();
    bool HasDatabaseInfo() const;
    void UpdateToolbar();
    void UpdateTableButtons();
    void UpdateFieldButtons();
    void UpdateFieldMenu();
    void UpdateOperatorButtons();
    void UpdateConditionButtons();
    void UpdateConnectButton();
    void FillGroupsCombo();

    // Commands of the frame.
    void sbOKClick();
    void sbCancelClick();
    void sbCloseClick();
    void sbLoadClick();
    void sbSaveClick();
    void sbClearClick();
    void sbConnectClick();
    void sbHelpClick();

    // Tables page.
    void AddTable();
    void DelTable();
    void AddLink();
    void EditLink();
    void DelLink();
    void cbTablesListChange();
    void lbTableLinksClick();
    void lbTableLinksDblClick();
    void DesignPanelAddLinkStart();
    void DesignPanelAddLinkFinish(TLinkRep* NewLink);
    void DesignPanelSelectTable();
    void DesignPanelSelectLink();
    void AddTableFields(TDSTable* Table);

    // Fields page.
    void AddField();
    void AddVirtualField();
    void DeleteField();
    void AddFieldGroup();
    void DeleteFieldGroup();
    void miOrderGroupFieldsClick();
    void chbRootFirstClick();
    void tvFieldsChange(QTreeWidgetItem* Previous);
    void tvFieldsEdited(QTreeWidgetItem* Node, const QString& Text);
    bool tvFieldsKeyDown(QKeyEvent* Event);
    void tvFieldsMouseDown(QPoint Position);
    bool FieldsDragOver(QTreeWidgetItem* Target) const;
    void FieldsDragDrop(QTreeWidgetItem* Target);
    bool IsFieldNode(const QTreeWidgetItem* Node) const;
    QTreeWidgetItem* FindGroupNode(const TDSFieldGroup* Group) const;

    // Field properties.
    void ShowField();
    void FldDisplayNameChange();
    void edGroupNameChange();
    void cbGroupsChange();
    void cbFieldTypeChange();
    void btAddFieldOperatorClick();
    void btDeleteFieldOperatorClick();
    void DelAllFieldOperators();
    void EnableFldOps();
    void lbFldOpsDragDrop(int TargetRow);
    void ValueEditorTypeChange();
    void EditorKindChange();
    void sgEditorValuesSetEditText(int Row, int Column);
    bool sgEditorValuesKeyDown(QKeyEvent* Event);
    void DeleteGridRow(int Row);

    // Operators page.
    void ShowOperator();
    void AddOperator();
    void DeleteOperator();
    void AddOperatorToAllFields();
    void AddDefOperators();
    void edOpNameChange();

    // Conditions page.
    void ShowCondition();
    void AddCondition();
    void DeleteCondition();
    void edDisplayFormatChange();
    void ChangeValueList();
    void RebuildValueList(bool SelectFirst);
    void ShowCondValue();

    // The frame.
    QWidget* pnlToolbar = nullptr;
    QWidget* pnlCommonTools = nullptr;
    QWidget* pnlOpenSave = nullptr;
    QToolButton* sbLoad = nullptr;
    QToolButton* sbSave = nullptr;
    QWidget* pnlDMControl = nullptr;
    QToolButton* sbClear = nullptr;
    QWidget* pnlDBConnection = nullptr;
    QToolButton* sbConnect = nullptr;
    QWidget* pnlClose = nullptr;
    QToolButton* sbHelp = nullptr;
    QPushButton* sbOK = nullptr;
    QPushButton* sbCancel = nullptr;
    QPushButton* sbClose = nullptr;
    QTabWidget* pcMain = nullptr;
    QWidget* tsTables = nullptr;
    QWidget* tsFields = nullptr;
    QWidget* tsOperators = nullptr;
    QWidget* tsConditions = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

    // Tables page.
    QWidget* pnlTablesTools = nullptr;
    QWidget* pnlTablesTop = nullptr;
    QToolButton* sbAddTable = nullptr;
    QToolButton* sbDelTable = nullptr;
    QToolButton* sbAddLink = nullptr;
    QToolButton* sbEditLink = nullptr;
    QToolButton* sbDelLink = nullptr;
    QComboBox* cbTablesList = nullptr;
    QWidget* pnlTablesMain = nullptr;
    QSplitter* splTables = nullptr;
    TZStructDesignPanel* DesignPanel = nullptr;
    QGroupBox* gbTableOptions = nullptr;
    QLineEdit* edTblAlias = nullptr;
    QComboBox* edTblHints = nullptr;
    QCheckBox* cbQuotedTable = nullptr;
    QCheckBox* cbDefaultMain = nullptr;
    QGroupBox* gbTableLinks = nullptr;
    QListWidget* lbTableLinks = nullptr;
    QMenu* pmTables = nullptr;
    QAction* miAddTable = nullptr;
    QAction* miDelTable = nullptr;
    QAction* miAddLink = nullptr;
    QAction* miEditLink = nullptr;
    QAction* miDelLink = nullptr;

    // Fields page.
    QWidget* pnlFieldsTools = nullptr;
    QToolButton* sbAddDataField = nullptr;
    QToolButton* sbAddVirtualField = nullptr;
    QToolButton* sbDeleteField = nullptr;
    QToolButton* sbAddGroup = nullptr;
    QToolButton* sbDeleteGroup = nullptr;
    QSplitter* splFields = nullptr;
    TFieldTreeView* tvFields = nullptr;
    QCheckBox* chbRootFirst = nullptr;
    QMenu* pmFields = nullptr;
    QAction* miAddDataField = nullptr;
    QAction* miAddVirtualField = nullptr;
    QAction* miDeleteField = nullptr;
    QAction* miAddGroup = nullptr;
    QAction* miDeleteGroup = nullptr;
    QAction* miOrderGroupFields = nullptr;

    // Field and group properties.
    QGroupBox* gbFieldGroupProps = nullptr;
    QWidget* pnlGroupProps = nullptr;
    QLineEdit* edGroupName = nullptr;
    QTabWidget* pcFieldProps = nullptr;
    QWidget* tsGeneral = nullptr;
    QLineEdit* edFldDisplayName = nullptr;
    QComboBox* cbGroups = nullptr;
    QCheckBox* cbUseInConditions = nullptr;
    QCheckBox* cbUseInResult = nullptr;
    QComboBox* cbFieldType = nullptr;
    QLineEdit* edFieldSize = nullptr;
    QGroupBox* gbDataFldParams = nullptr;
    QCheckBox* cbQuotedField = nullptr;
    QLabel* lbTableName = nullptr;
    QLabel* lbFieldName = nullptr;
    QGroupBox* gbVirtFldParams = nullptr;
    QPlainTextEdit* memFldSQLExpr = nullptr;
    QWidget* tsFldOperators = nullptr;
    TDragListBox* lbFldOps = nullptr;
    QPushButton* btAddFieldOperator = nullptr;
    QPushButton* btDeleteFieldOperator = nullptr;
    QPushButton* btDeleteAllFieldOperators = nullptr;
    QWidget* tsValueEditor = nullptr;
    QComboBox* cbValueEditorType = nullptr;
    QStackedWidget* nbValueEditor = nullptr;
    QWidget* pnlVESImple = nullptr;
    TRadioGroup* rgEditorKind = nullptr;
    QLineEdit* edDefValue = nullptr;
    QCheckBox* cbAutoUpperCase = nullptr;
    QCheckBox* cbAutoLowerCase = nullptr;
    QWidget* pnlSimpleParams = nullptr;
    QComboBox* cbValueType = nullptr;
    QWidget* pnlMaskParams = nullptr;
    QLineEdit* edMask = nullptr;
    QCheckBox* cbUseFormattedValue = nullptr;
    QWidget* pnlVEList = nullptr;
    QTableWidget* sgEditorValues = nullptr;
    QGroupBox* gbVECustom = nullptr;
    QPlainTextEdit* memCustomData = nullptr;
    QWidget* pnlVESQL = nullptr;
    QPlainTextEdit* mSQL = nullptr;

    // Operators page.
    QWidget* pnlOperatorsTools = nullptr;
    QToolButton* sbAddOperator = nullptr;
    QToolButton* sbDeleteOperator = nullptr;
    QToolButton* sbAddOperatorToAllFields = nullptr;
    QToolButton* sbAddDefOperators = nullptr;
    QSplitter* splOperators = nullptr;
    QListWidget* lbOperators = nullptr;
    QGroupBox* gbOperatorProps = nullptr;
    QWidget* pnlOperatorProps = nullptr;
    QLineEdit* edOpName = nullptr;
    QLineEdit* edOpDisplayName = nullptr;
    QLineEdit* edOpSQLExpr = nullptr;
    QLineEdit* edValFormat = nullptr;
    QComboBox* cbOpExprType = nullptr;
    TRadioGroup* rgOpValueKind = nullptr;
    QGroupBox* gbApplyToTypes = nullptr;
    QListWidget* clbTypes = nullptr;

    // Conditions page.
    QWidget* pnlConditionsTools = nullptr;
    QToolButton* sbAddCondition = nullptr;
    QToolButton* sbDeleteCondition = nullptr;
    QSplitter* splConditions = nullptr;
    QListWidget* lbConditions = nullptr;
    QMenu* pmConditions = nullptr;
    QAction* miAddCondition = nullptr;
    QAction* miDeleteCondition = nullptr;
    QGroupBox* gbCondProps = nullptr;
    QWidget* pnlCondProps = nullptr;
    QLineEdit* edDisplayFormat = nullptr;
    QLineEdit* edCondSQLExpr = nullptr;
    QGroupBox* gbValues = nullptr;
    QListWidget* lbCondValues = nullptr;
    QWidget* pnlCondValueParams = nullptr;
    QComboBox* cbCondValType = nullptr;
    TRadioGroup* rgCondValueDataKind = nullptr;

    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void CreateFrame();
    void CreateTablesPage();
    void CreateFieldsPage();
    void CreateFieldProps();
    void CreateOperatorsPage();
    void CreateConditionsPage();
    void InitModel();
    void FormShow();
    QString PlacementKey() const;
    // The window's rectangle; LoadPlacement restores the property boxes, which need the laid-out
    // splitters, when the window is shown.
    void LoadFormPlacement();
    void LoadPlacement();
    void SavePlacement();
    void ClearCurrentItems();
    // Connects a control's signal to a member handler, run so that no exception unwinds through Qt.
    template <typename Sender, typename Signal>
    void OnSignal(Sender* Control, Signal Sig, void (T_dlgDataModelEditor::*Method)())
    {
        connect(Control, Sig, this, [this, Method] { platform::Guarded([&] { (this->*Method)(); }); });
    }

    // Tables page.
    void CommitTable();
    // The table's name, made unique among the aliases and free of blanks.
    QString UniqueAlias(const TDSTable* Table) const;
    void FillTablesList();

    // Fields page.
    QTreeWidgetItem* AddGroupNode(TDSFieldGroup* Group);
    void AddFieldNode(TDSField* Field);
    QTreeWidgetItem* AddChildFieldNode(QTreeWidgetItem* Parent, TDSField* Field);
    void SelectNode(QTreeWidgetItem* Node);
    // Selects what follows a node that was at AbsoluteIndex, then shows it.
    void SelectNodeAt(int AbsoluteIndex);
    int AbsoluteIndex(const QTreeWidgetItem* Node) const;
    void MoveFieldNode(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target);
    void MoveGroupNode(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target);
    TDSFieldGroup* GroupOrRoot(TDSFieldGroup* Group);

    // Field properties.
    void CommitField();
    void FillField(TDSField* Field);
    void ResetValueEditorControls();
    void FillFieldOperators();
    void SetGridRowCount(int Rows);

    // Operators page.
    void CommitOperator();
    void CommitOperatorTypes();
    void ShowOperatorTypes();
    QString UniqueOperatorName(const QString& Base) const;

    // Conditions page.
    void CommitCondition();
    void CommitCondValue();
    // Gives the condition's value slots the types and kinds of the working copies, slot by slot.
    void ApplyValueCopies();
    QString UniqueConditionFormat() const;
    // Two conditions with one display format cannot be told apart in the panel.
    void CheckDisplayFormat(const QString& Format) const;
    void SelectRow(QListWidget* List, int Row);

    bool FModal = true;
    std::unique_ptr<TZCustomDBStructure> FModel;
    std::unique_ptr<TEditorDBInfo> FDBInfo;
    TDSValueList FCondValues;
    TDSTable* FCurrentTable = nullptr;
    TDSField* FCurrentField = nullptr;
    TDSOperator* FCurrentOperator = nullptr;
    TDSFieldGroup* FCurrentGroup = nullptr;
    TDSCondition* FCurrentCondition = nullptr;
    int FCurrentValueIndex = -1;
    bool FDisplayFormatChanged = false;
    QString FRegistryRoot;
    QString FHelpFileName;
    int FHelpContext = 0;
    // Off while no node is selected in the field tree.
    bool FFieldsToolsShown = true;
    // The row of lbFldOps a drag started from.
    int FDragRow = -1;
    bool FClosing = false;
    // Set while the design panel is sent back to the table whose options failed to commit.
    bool FRevertingTable = false;
};

// Runs the editor over DBStruct; true when the user left with OK, DBStruct then holds the edited
// model.
bool ExecuteDataModelEditor(TZCustomDBStructure* DBStruct);

// Registers ExecuteDataModelEditor as the data model's editor; the program calls it at start-up.
void RegisterDataModelEditor();
