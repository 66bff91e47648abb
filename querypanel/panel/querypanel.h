#pragma once

#include "core/model/dbstructure.h"
#include "querypanel/controls/dropdownlabel.h"
#include "querypanel/panel/appearance.h"
#include "querypanel/panel/filterrow.h"
#include "querypanel/query/queryerrors.h"
#include "querypanel/query/querynodes.h"
#include "querypanel/query/sqlparams.h"
#include "rtl/stringlist.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QPainter;
class QLabel;
class QMenu;
class TDSCondition;
class TFilterCond;
class TImageList;
class TQueryResult;
class TSQLCondition;
class TZQPBaseLink;
class TZQueryBase;

// Told about the panel's changes: the query list's link and other observers of the panel.
class TZQueryPanelLink {
public:
    virtual ~TZQueryPanelLink() = default;
    virtual void QueryChanged() = 0;
    virtual void ParamsChanged() = 0;
};

// Members of the options set that older form resources stored ("Options").
enum TQPOption : uint8_t {
    poFlatButtons,
    poRoundButtons,
    poNonEmptyBrackets,
    poNewJoinsStyle,
    poAsciiRFields,
    poPopupField,
    poPopupValue,
    poSelectDistinct,
    poShowGroupName,
    poAllowKeyboard,
    poOracleJoins,
    poQuoteAliases,
    poSortListData,
    poShowAddRow,
    poBracketJoins,
    poBracketConditions,
    poShowCheckBoxes
};

// The visual query: the conditions read as sentences of clickable labels, one row a line, in a
// tree under the root bracket. The panel owns the rows, the query result, the titles that caption
// everything, the three popup menus and the label that adds a row; it works over one data model.
class TZQueryPanel : public QAbstractScrollArea, public TQueryOwner {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(TZQueryPanel* Sender)>;
    using TConditionChangeEvent
        = std::function<void(TZQueryPanel* Sender, TFilterCond* Condition, int WhatChanged)>;
    using TSetValueEvent = std::function<void(TZQueryPanel* Sender, TFilterCond* Condition, int ValueIndex,
        const QString& AValue, QString& ACaption)>;
    using TCustomValueEvent
        = std::function<void(TZQueryPanel* Sender, TFilterCond* Condition, int ValueIndex, QString& AValue)>;
    using TValueDblClickEvent
        = std::function<void(TZQueryPanel* Sender, TFilterCond* Condition, int ValueIndex, QString& Value)>;
    using TBuildSQLEvent = std::function<void(TZQueryPanel* Sender, TFilterRow* Condition, QString& SQLExpr)>;
    using TCustomEditEvent = std::function<void(TZQueryPanel* Sender, TDSField* Field, QString& AValue)>;
    using TChangeValueEvent = std::function<void(
        TZQueryPanel* Sender, TDSField* Field, const QString& AValue, QString& NewCaption)>;
    using TGetGroupImageIndexEvent = TDropDownLabel::TGetGroupImageIndexEvent;
    using TGetItemImageIndexEvent = TDropDownLabel::TGetItemImageIndexEvent;

    explicit TZQueryPanel(QWidget* Parent = nullptr);
    ~TZQueryPanel() override;

    // The stored options number of a query text: the five stored options as bits 2, 8, 16, 32, 64.
    static int SQLOptionsToInt(TSQLOptions Options);
    static TSQLOptions IntToSQLOptions(int Value);
    // A stored date or time number as the locale's text: a date, a time, or a date with the time
    // when X has a fraction; an empty text stays empty.
    static QString StoredValueText(TFieldType Type, const QString& Value);

    // --- component ---
    TQPAppearance& Appearance() { return FAppearance; }
    const TQPAppearance& Appearance() const { return FAppearance; }
    // Copies the values; the panel keeps its own object.
    void SetAppearance(const TQPAppearance& Value) { Value.AssignTo(FAppearance); }
    TZCustomDBStructure* DbStruct() const override { return FDbStruct; }
    void SetDbStruct(TZCustomDBStructure* Value);
    const QString& MainTableName() const { return FMainTableName; }
    void SetMainTableName(const QString& Value);
    TDSTable* MainTable() const { return FMainTable; }
    TDSTable* ResolveMainTable() override;
    TQueryResult* QResult() const { return FQResult.get(); }
    const QStringList& Description() const { return FDescription; }
    void SetDescription(const QStringList& Value);
    const QStringList& UserData() const { return FUserData; }
    void SetUserData(const QStringList& Value) { FUserData = Value; }
    const rtl::StringList& Titles() const { return FTitles; }
    // Merges the lines into the built-in titles; a stored "ttlFilter" or "ttlBracket" without "@"
    // keeps its default text.
    void SetTitles(const QStringList& Value);
    const QStringList& DefaultTitles() const { return FDefaultTitles; }
    const QStringList& DesignTitles() const { return FDesignTitles; }
    bool SaveTitles() const { return FSaveTitles; }
    void SetSaveTitles(bool Value) { FSaveTitles = Value; }
    int RowSpace() const { return FRowSpace; }
    void SetRowSpace(int Value) { FRowSpace = Value; }
    int TabSpace() const { return FTabSpace; }
    void SetTabSpace(int Value) { FTabSpace = Value; }
    int ElemSpace() const { return FElemSpace; }
    void SetElemSpace(int Value) { FElemSpace = Value; }
    int HeaderLeft() const { return FHeaderLeft; }
    void SetHeaderLeft(int Value) { FHeaderLeft = Value; }
    int HeaderTop() const { return FHeaderTop; }
    void SetHeaderTop(int Value) { FHeaderTop = Value; }
    const QString& HelpFileName() const { return FHelpFileName; }
    void SetHelpFileName(const QString& Value) { FHelpFileName = Value; }
    int MaxPopupItemCount() const { return FMaxPopupItemCount; }
    void SetMaxPopupItemCount(int Value) { FMaxPopupItemCount = Value; }
    int RFEHelpContext() const { return FRFEHelpContext; }
    void SetRFEHelpContext(int Value) { FRFEHelpContext = Value; }
    const QString& QueryName() const { return FQueryName; }
    void SetQueryName(const QString& Value);
    TSQLOptions SQLOptions() const override { return FSQLOptions; }
    void SetSQLOptions(TSQLOptions Value);
    TSQLSyntax SQLSyntax() const override { return FSQLSyntax; }
    void SetSQLSyntax(TSQLSyntax Value);
    bool SaveSQLOptions() const { return FSaveSQLOptions; }
    void SetSaveSQLOptions(bool Value) { FSaveSQLOptions = Value; }
    // The number 4.21 in the locale's number format; it cannot be written.
    QString Version() const;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }

    // --- state ---
    bool Active() const override { return FActive; }
    void SetActive(bool Value);
    void Activate() { SetActive(true); }
    void Deactivate() { SetActive(false); }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    TQueryProcess ProcessState() const override { return FProcessState; }
    void SetProcessState(TQueryProcess Value) override { FProcessState = Value; }
    bool Destroying() const { return FDestroying; }
    // Set while the rows are made from a query text: the conditions leave the equal values alone.
    bool ReadingRows() const { return FReadingRows; }
    TFilterBracket* Root() const { return FRoot; }
    TConditionNode* RootNode() const override { return FRoot; }
    bool ElementFrame() const { return FElementFrame; }
    void SetElementFrame(bool Value) { FElementFrame = Value; }
    // Name=Value lines: the quoted value of each field's latest condition with operator "Equal".
    rtl::StringList& EqualValues() { return FEqualValues; }

    void Clear();
    void DeleteAllRows();
    void BeginUpdate() override;
    void EndUpdate() override;
    void Changed() override;
    void ParamListChanged() override;
    // OnConditionChange under the guard of OnChange.
    void DoConditionChange(TFilterCond* Condition, int WhatChanged);
    void RequireDbStruct() const;
    // The result fields editor over a copy of the result fields, modal; on OK the copy replaces
    // them. MaxFields 0 sets no limit, 1 keeps a single field; Mode holds the editor's bits
    // (rfieldseditor.h). Answers whether OK closed it.
    bool ShowRFieldsEditor(int MaxFields, int Mode);
    // The editor with no limit and the sorting part, as the main window opens it.
    bool EditResultFields();
    QString GetTitle(const QString& Key) const override;
    void SetTitle(const QString& Key, const QString& Text);
    QChar GetQuoteSymbol(int N) const;
    void ApplySQLOptions();
    // Rebuilds every row under the current appearance through the query text, keeping the query
    // and its modified flag; a failed rebuild puts the old rows back.
    void Relayout();
    // The query text: the query as [Section] and Key=Value lines (querytext.cpp). Loading first
    // clears the panel; a text that cannot be read leaves it cleared and unmodified. Writing the text
    // leaves the query modified: it is saved only once a query list has written it to its file.
    virtual void SaveToStrings(rtl::StringList& Lines);
    virtual void LoadFromStrings(const rtl::StringList& Lines);
    // The texts a query text stores for the condition's two values: a parameter's value, else the
    // value's text; a date value, and each item of a date list, as its day number with "."
    // (EConvertError when it is no date).
    void GetStoredValues(const TFilterCond* Condition, QString& Value1, QString& Value2) const;
    // Reads one SELECT statement into result fields and rows (sqlreading.cpp); the query ends
    // modified. A statement the model cannot express (a table, field or operator it lacks) raises an
    // error that names the piece and leaves the panel as it was.
    void LoadFromSQL(const QStringList& Lines);
    // The model's operator whose template the comparison fits, tried from the last to the first, with
    // the values found; a sub-query value's query text goes into SubQueryLines. None when no template
    // fits. Literal, when given, tells for each value whether the statement wrote it inside a string
    // literal: ':abc' there is text, not a parameter.
    TDSOperator* MatchOperator(const TSQLCondition* Condition, QString& Value1, QString& Value2,
        QStringList& SubQueryLines, std::array<bool, 2>* Literal = nullptr);
    // The query text of a sub-query's SQL, read by a hidden panel over this panel's model.
    void SubQueryToQueryText(const QString& SQLText, QStringList& Lines);
    // How many sub-queries deep this panel's query stands: 0 for a query, 1 for a sub-query of one.
    int SubQueryLevel() const { return FSubQueryLevel; }
    void SetSubQueryLevel(int Value) { FSubQueryLevel = Value; }
    // Refuses the condition's stored sub-query text when it nests deeper than a query at this
    // panel's level may.
    void CheckSubQueryNesting(const TFilterCond* Condition) const;
    // The old [Titles] section's Title0 to Title21 by position onto the current title keys.
    void LoadOldTitles(const QStringList& Lines);
    // The version of the query text read last, in thousandths (3.5 until one is read).
    int TextVersion() const { return FTextVersion; }
    // Turns stored date and time numbers of a query text into the locale's text and gives them to
    // the condition's values.
    void SetStoredValues(const QString& Value1, const QString& Value2, TFilterCond* Condition);
    // Reads the older options set of a form resource: member names in brackets, "[poFlatButtons,
    // poShowAddRow]"; raises "Invalid property value" for a text that is not a set.
    void ReadLegacyOptions(const QString& Value);
    // Finishes a panel read from a form resource: the data model, the SQL options and the titles
    // the resource held (keyed lines, or the oldest form of one title a line).
    void Loaded(const QStringList& StreamedTitles);

    // The query list the panel follows: it loads the list's current query and saves into it.
    TZQueryBase* QueryBase() const;
    void SetQueryBase(TZQueryBase* Value);
    // Reads the current item's text; the panel ends with that query, not modified.
    void LoadCurrentQuery();

    void AddPanelLink(TZQueryPanelLink* Link) { FPanelLinks.append(Link); }
    void RemovePanelLink(TZQueryPanelLink* Link) { FPanelLinks.removeAll(Link); }

    // Closes the drop-downs that are open, accepting what they hold.
    void CloseDropDowns() override;
    // A row's drop-down that opened; CloseDropDowns closes it without walking every row.
    void NoteDropped(TDropDownLabel* Label) { FDropped.append(Label); }
    QString FormatSQLValue(TFieldType Type, const QString& Value, bool ToSQL) override;
    // Fills the query result from the result fields and the condition tree (the query result's
    // BuildQuery); its GetSQL gives the statement afterwards. With ParamValues the parameters are
    // written as those values.
    void BuildQuery(const TParamValues* ParamValues = nullptr);
    static QString FormatSQLNumber(TFieldType Type, const QString& Value);
    QString GetSQLValue(const TConditionNode* Condition, int Index) const;
    void DoBuildSQL(TConditionNode* Condition, QString& SQLExpr) override;
    void DoGetGroupImageIndex(const QString& AGroupName, int& AImageIndex);
    void DoGetItemImageIndex(const QString& AGroupName, const QString& AItemName, int& AImageIndex);
    void DoRFEHelpClick();
    // The height of "A" in the control's font, plus 1.
    int GetRowTextHeight(QWidget* Control = nullptr) const;
    // Where the rows' controls live.
    QWidget* RowArea() const { return viewport(); }

    // --- display (paneldisplay.cpp) ---
    TFilterRow* CurrentRow() const { return FCurrentRow; }
    void SetCurrentRow(TFilterRow* Row);
    TFilterBracket* InsertionBracket() const;
    TFilterRow* AddCondition(TFilterBracket* Bracket);
    TFilterRow* AddConditionAt(TFilterBracket* Bracket, int DisplayIndex);
    TFilterRow* AddCustomCondition(TFilterBracket* Bracket, TDSCondition* Condition);
    TFilterBracket* AddBracket(TFilterBracket* Bracket);
    TFilterBracket* AddBracketAt(TFilterBracket* Bracket, int DisplayIndex);
    void RenumberPaths(TFilterBracket* Bracket);
    void ArrangeRows();
    void BuildHeader();
    void ShowHeader();
    void HideHeader();
    virtual void ShowAddMenu(TZRndBtn* Button);
    virtual void ShowRowMenu(TZRndBtn* Button);
    virtual void RowMenuClick(QAction* Item);
    virtual void LinkTypeChanged(TDropDownLabel* Sender, bool Accepted);
    void ShowRows();
    void HideRows();
    void PositionAddRowLabel();
    void AddRowLabelMouseDown(Qt::MouseButton Button);
    QLabel* AddRowLabel() const { return FAddRowLabel; }
    void ShowNewRow(TFilterRow* Row, int N);
    void UpdateMenus();
    void ValueMenuPopup();
    void ValueMenuClick(QAction* Item);
    QMenu* AddMenu() const { return FAddMenu; }
    QMenu* RowMenu() const { return FRowMenu; }
    QMenu* ValueMenu() const { return FValueMenu; }
    void RepaintRow(TFilterRow* Row);
    // The last row in reading order: the root when it has no rows, else the last row of the last
    // bracket, going down.
    TFilterRow* LastRow() const;
    // Picks the next current row while the current one is being freed.
    void SelectAfterDelete();
    int CurrentRowIndex() const { return FCurrentRow ? FCurrentRow->DisplayIndex() : -1; }
    TFilterRow* FindRowByIndex(TFilterBracket* Bracket, int N) const;
    void SelectRowByIndex(int N);
    void SelectNextRow();
    void SelectPrevRow();

    // --- keyboard, mouse and row moves (panelinput.cpp) ---
    // The panel's key table; Key becomes 0 when the panel took the key.
    void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
    // The current row moves within the tree and stays current.
    void MoveRowUp();
    void MoveRowDown();
    void MoveRowOut();
    void MoveRowIn();
    // The current row leaves its bracket; the root stays.
    void DeleteCurrentRow();

    TNotifyEvent OnActive;
    TNotifyEvent OnChange;
    TNotifyEvent OnParamListChange;
    TConditionChangeEvent OnConditionChange;
    TSetValueEvent OnSetValue;
    TCustomValueEvent OnCustomValue;
    TValueDblClickEvent OnValueDblClick;
    TBuildSQLEvent OnBuildSQL;
    TGetGroupImageIndexEvent OnGetGroupImageIndex;
    TGetItemImageIndexEvent OnGetItemImageIndex;
    TNotifyEvent OnRFEHelpClick;
    TCustomEditEvent OnCustomEdit;
    TChangeValueEvent OnChangeValue;
    // Edits a condition's sub-query (its query text Lines, its SQL and its options) and answers
    // whether the user confirmed. The sub-query dialog's side fills it; while it is empty a
    // sub-query value cannot be edited.
    using TSubQueryEditor = std::function<bool(
        TZQueryPanel* Sender, QStringList& Lines, QString& SQLText, TSQLOptions& Options)>;
    TSubQueryEditor SubQueryEditor;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    bool event(QEvent* Event) override;
    void Click();

private:
    // Runs a change handler with the in-change flag set, so the changes it makes fire nothing.
    template <typename F>
    void RunInChange(F&& Handler);
    void CreateRoot();
    void AfterDbStructSet();
    void DbStructDestroyed();
    // Frees the rows and everything that points into the data model's items.
    void ReleaseModelItems();
    void CreateMenus();
    void CreateAddRowLabel();
    QAction* AddMenuItem(QMenu* Menu, const QString& TitleKey, int Tag);
    void FillCustomCondMenu(QMenu* Item);
    void CustomCondMenuClick(int Index);
    void PopupBelow(QMenu* Menu, QWidget* Anchor);
    void ShowMenuAt(QMenu* Menu, TZRndBtn* Button);
    void FocusPanel();
    // Runs a tree operation on the current row with no row current meanwhile, so a bracket the
    // operation frees hands no selection on; Into renumbers from the row's old parent.
    void MoveCurrentRow(void (TFilterRow::*Move)(), bool Into);
    // The counted row nearest to Line after (or before) it, passing over rows being freed.
    TFilterRow* LivingRowNear(int Line, bool After) const;
    // Numbers the rows depth first from line 0; Show also shows each counted row.
    void NumberRows(bool Show);
    // Ends reading rows from a query text; the outermost read makes the equal values once.
    void EndReadingRows(bool Reading);
    void UpdateScrollRange();
    // Scrolls the view so that the row's band is seen whole.
    void ScrollRowIntoView(const TFilterRow* Row);
    // With no current row, keys would act on nothing and nothing would show where they act: the
    // first line (the root, in style psGroups) becomes current with its first element framed.
    void SelectFirstLineIfNone();
    void PaintRow(QPainter& Painter, TFilterRow* Row);
    QRect RowBand(const TFilterRow* Row) const;

    TQPAppearance FAppearance;
    QPointer<TZCustomDBStructure> FDbStruct;
    QString FMainTableName;
    TDSTable* FMainTable = nullptr;
    std::unique_ptr<TQueryResult> FQResult;
    QStringList FDescription;
    QStringList FUserData;
    rtl::StringList FTitles;
    QStringList FDefaultTitles;
    QStringList FDesignTitles;
    bool FSaveTitles = true;
    int FRowSpace = 3;
    int FTabSpace = 20;
    int FElemSpace = 5;
    int FHeaderLeft = 5;
    int FHeaderTop = 5;
    QString FHelpFileName;
    int FMaxPopupItemCount = 0;
    int FRFEHelpContext = 0;
    QString FQueryName;
    TSQLOptions FSQLOptions = DefaultSQLOptions;
    TSQLSyntax FSQLSyntax = ssSQL2;
    bool FSaveSQLOptions = false;
    QPointer<TImageList> FImages;

    bool FActive = false;
    bool FModified = false;
    TQueryProcess FProcessState = qpIdle;
    int FTextVersion = 3500;
    int FSubQueryLevel = 0;
    int FUpdateCount = 0;
    bool FUpdating = false;
    bool FInChange = false;
    bool FDestroying = false;
    bool FReadingRows = false;
    bool FElementFrame = true;
    // A left button went down on the panel itself: its release is a click.
    bool FPressed = false;
    TFilterBracket* FRoot = nullptr;
    TFilterRow* FCurrentRow = nullptr;
    rtl::StringList FEqualValues;
    QList<TZQueryPanelLink*> FPanelLinks;
    QList<QPointer<TDropDownLabel>> FDropped;
    std::unique_ptr<TZQPBaseLink> FQueryBaseLink;

    QMenu* FAddMenu = nullptr;
    QMenu* FRowMenu = nullptr;
    QMenu* FValueMenu = nullptr;
    QMenu* FAddCustomCond = nullptr;
    QMenu* FRowCustomCond = nullptr;
    QLabel* FAddRowLabel = nullptr;
    int FContentWidth = 0;
    int FContentHeight = 0;
};
