#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTableWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDSField;
class TResultField;
class TRFieldList;
class TZCustomDBStructure;
class TZQueryPanel;

// The bits of the editor's mode. Sorting only implies the sorting part.
enum TRFEModeBit : int {
    rfeShowSorting = 1,
    rfeSortingOnly = 2,
    rfeFixedExpressions = 4,
    rfeShowList = 8,
};

// The modal window in which the query's result fields are built from the data model's fields: as
// they are, inside an aggregate or combined by + - * /, with captions, expressions and the sort
// order. It works on its own copy of the fields, which the caller takes back on OK.
class TdlgRFieldsEditor : public QDialog {
    Q_OBJECT
public:
    // Panel supplies the titles and the help file; HelpAction runs after the help file is opened.
    TdlgRFieldsEditor(TZQueryPanel* Panel, TZCustomDBStructure* DBStruct, std::function<void()> HelpAction,
        QWidget* Parent = nullptr);
    ~TdlgRFieldsEditor() override;

    // Fills the field tree with the model's fields that may stand in a result.
    void SetDBStruct(TZCustomDBStructure* Value);
    // Copies List (its fields, its just-sorting state and its alias rules) into the editor.
    void SetResultFields(const TRFieldList& List);
    void GetResultFields(TRFieldList& List) const;
    const TRFieldList& ResultFields() const { return *FResultFields; }
    // The sorted fields in sort order.
    const QList<TResultField*>& SortList() const { return FSortList; }
    int Mode() const { return FMode; }
    void SetMode(int Bits);
    // 0 for no limit; with 1 every new field replaces the one there is.
    int MaxFields() const { return FMaxFields; }
    void SetMaxFields(int Value) { FMaxFields = Value; }

    // Handlers, by the controls they serve.
    void FormShow();
    void tvAllFieldsDblClick();
    void btAddResultFieldClick();
    // As is (tag 0) and the aggregates (tags 5 to 10).
    void pmiAddFieldClick(int Tag);
    // + - * / (tags 1 to 4) with the current result field.
    void pmiArithmeticClick(int Tag);
    void pmiNewRFieldClick();
    void pmiDelRFieldClick();
    void pmiSortRFieldClick();
    // Not Sorted (tag 0), Ascending (1), Descending (2) for the current sort row.
    void pmSortClick(int Tag);
    // The text the in-place editor starts with, and what it leaves behind.
    QString sgRFieldsGetEditText(int Row, int Col) const;
    void sgRFieldsSetEditText(int Row, int Col, const QString& Value);
    void sgRFieldsRowMoved(int FromIndex, int ToIndex);
    void sgSortOrderRowMoved(int FromIndex, int ToIndex);
    void btHelpClick();
    void btOKClick();

    // Controls, by their window names.
    QSplitter* Splitter1 = nullptr;
    QWidget* pnlAvailFields = nullptr;
    QLabel* lblFields = nullptr;
    QTreeWidget* tvAllFields = nullptr;
    QWidget* pnlControls = nullptr;
    QPushButton* btAddResultField = nullptr;
    QWidget* pnlMain = nullptr;
    QWidget* C = nullptr;
    QToolButton* sbNewField = nullptr;
    QToolButton* sbDelField = nullptr;
    QToolButton* sbSortField = nullptr;
    QWidget* pnlResultFields = nullptr;
    QLabel* lblResultFields = nullptr;
    QTableWidget* sgRFields = nullptr;
    QWidget* pnlSortedFields = nullptr;
    QLabel* lblSortedFields = nullptr;
    QTableWidget* sgSortOrder = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;
    QPushButton* btHelp = nullptr;
    QMenu* pmAddField = nullptr;
    QAction* pmiAddField = nullptr;
    QAction* pmiJustSorting = nullptr;
    QAction* pmiSum = nullptr;
    QAction* pmiCount = nullptr;
    QAction* pmiMin = nullptr;
    QAction* pmiMax = nullptr;
    QAction* pmiAverage = nullptr;
    QAction* pmiList = nullptr;
    QAction* pmiAdd = nullptr;
    QAction* pmiSub = nullptr;
    QAction* pmiMul = nullptr;
    QAction* pmiDiv = nullptr;
    QMenu* pmSort = nullptr;
    QAction* miNotSorted = nullptr;
    QAction* miAscending = nullptr;
    QAction* miDescending = nullptr;
    QMenu* pmResultField = nullptr;
    QAction* pmiNewRField = nullptr;
    QAction* pmiDelRField = nullptr;
    QAction* pmiSortRField = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateControls();
    void CreateMenus();
    void ApplyTitles();
    TDSField* SelectedField() const;
    bool MayAddField() const;
    bool ExpressionsAllowed() const;
    // Holds fields and is not in just-sorting state.
    bool Filled() const;
    TResultField* CurrentField() const;
    TResultField* CurrentSortField() const;
    void ClearResultFields();
    void LeaveJustSorting();
    TResultField* CreateResultField(const QString& Formula, const QString& CaptionPattern);
    void AddSortingField();
    // Sorts Field ascending, last in the sort order.
    void SortField(TResultField* Field);
    void DeleteResultField(TResultField* Field);
    QString DeleteQuestion(const QString& Caption) const;
    // Gives the sorted fields the positions 1 to n in sort-list order.
    void RenumberSorting();
    void RebuildSortList();
    void FillResultGrid();
    void FillSortGrid();
    void ShowResultRow(int Row);
    void ShowSortRow(int Row);
    void ShowSortRowOf(const TResultField* Field);
    void UpdateEnableStates();
    // The first field whose expression is empty or names a slot no field is bound to, with the
    // reason; an OK with such a field would hand the panel a column that cannot be written.
    bool CheckResultFields();
    void ResultFieldsMenu(const QPoint& Position);
    void SortMenu(const QPoint& Position);
    bool GridMouse(QTableWidget* Grid, QEvent* Event);
    bool KeyPress(QObject* Watched, int Key, Qt::KeyboardModifiers Modifiers);

    QPointer<TZQueryPanel> FPanel;
    QPointer<TZCustomDBStructure> FDBStruct;
    std::unique_ptr<TRFieldList> FResultFields;
    QList<TResultField*> FSortList;
    int FMaxFields = 0;
    int FMode = 0;
    std::function<void()> FHelpAction;
    bool FShown = false;
    // A row dragged by its number cell: the grid and the row, -1 for none.
    QTableWidget* FDragGrid = nullptr;
    int FDragRow = -1;
};
