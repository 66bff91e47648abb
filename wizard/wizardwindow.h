#pragma once

#include "core/base/fieldtypes.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TDSField;
class TDSFieldGroup;
class TDSTable;
class TZCustomDBStructure;
class TZDBInfo;
class TZStructDesignPanel;

namespace tesmera {

class TFieldsTree;

// The wizard window: seven pages that build a data model from a live database. Every page changes
// the wizard's model at once; Back never undoes anything. The window changes pages only through
// its buttons.
class TMainForm : public QDialog {
    Q_OBJECT
public:
    enum TPage { pgWelcome, pgTables, pgLinkMode, pgLinkSearch, pgLinks, pgFields, pgFinish, PageCount };

    // Model is the wizard's model; the window never owns it.
    explicit TMainForm(TZCustomDBStructure* Model, QWidget* Parent = nullptr);
    ~TMainForm() override;

    static bool TypesCompatible(TFieldType A, TFieldType B);

    TZDBInfo* GetDBInfo() const;
    // The chosen database, or the model's default database when none is chosen.
    QString GetSelectedDatabase() const;
    int CurrentPage() const;

    void btnBackClick();
    void btnNextClick();
    void btnCancelClick();
    void DBChanged();
    void SelectTable(int Index);
    void UnselectTable(int Index);
    void btnSelectAllClick();
    void btnClearAllClick();
    void sbAddLinkClick();
    void sbEditLinkClick();
    void sbDelLinkClick();
    void EnableTablesControls();

    void sbAddDataFieldClick();
    void sbAddVirtualFieldClick();
    void sbDeleteFieldClick();
    void sbAddGroupClick();
    void sbDeleteGroupClick();
    void miOrderGroupFieldsClick();
    void ShowField();
    void EnableFieldsControls();
    void EnableFieldPopupItems();
    void AddFieldNode(TDSField* Field);
    QTreeWidgetItem* AddFieldNodeTo(QTreeWidgetItem* ParentNode, TDSField* Field);
    // Moves the field or group of Dragged in the model and its node in the tree; Target null is
    // empty space.
    void tvFieldsDragDrop(QTreeWidgetItem* Dragged, QTreeWidgetItem* Target);

    QPushButton* btnBack = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnCancel = nullptr;
    QStackedWidget* pcPages = nullptr;
    QWidget* pnlDatabase = nullptr;
    QComboBox* cbDatabase = nullptr;
    QListWidget* clbSelectedTables = nullptr;
    QPushButton* sbSelectAll = nullptr;
    QPushButton* sbClearAll = nullptr;
    QRadioButton* rbAuto = nullptr;
    QRadioButton* rbCustom = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    TZStructDesignPanel* zsdRelationsPanel = nullptr;
    QToolButton* sbAddLink = nullptr;
    QPushButton* sbEditLink = nullptr;
    QPushButton* sbDelLink = nullptr;
    QAction* miAddLink = nullptr;
    QAction* miEditLink = nullptr;
    QAction* miDelLink = nullptr;
    TFieldsTree* tvFields = nullptr;
    QPushButton* sbAddDataField = nullptr;
    QPushButton* sbAddVirtualField = nullptr;
    QPushButton* sbDeleteField = nullptr;
    QPushButton* sbAddGroup = nullptr;
    QPushButton* sbDeleteGroup = nullptr;
    QMenu* pmFields = nullptr;
    QAction* miAddDataField = nullptr;
    QAction* miAddVirtualField = nullptr;
    QAction* miDeleteField = nullptr;
    QAction* miAddGroup = nullptr;
    QAction* miDeleteGroup = nullptr;
    QAction* miOrderGroupFields = nullptr;

    TDSField* CurrentField() const { return FCurrentField; }
    TDSFieldGroup* CurrentGroup() const { return FCurrentGroup; }

protected:
    void showEvent(QShowEvent* Event) override;

private:
    friend class TFieldsTree;

    void FormShow();
    void ShowPage(int Page);
    // Next enabled as the page allows, and the default button on every page but the fields page.
    void UpdateNextButton();
    void tbsTab2Show();
    void tbsTab4Show();
    void tbsTab5Show();
    void tbsTab6Show();
    void clbSelectedTablesClickCheck(QListWidgetItem* Item);
    void zsdRelationsPanelAddLinkStart();
    void zsdRelationsPanelAddLinkFinish();
    // The model table a listed table of the database stands for, or null.
    TDSTable* FindListedTable(const QString& DBName, const QString& TableName) const;
    TDSTable* EntryTable(int Index) const;
    void SetEntryTable(int Index, TDSTable* Table);

    QWidget* NewHeader(const QString& Title, const QString& Text, QWidget* Page);
    QWidget* NewPicturePage(
        const QString& Name, const QPixmap& Pixmap, const QString& Title, const QString& Text);
    QWidget* NewTablesPage();
    QWidget* NewLinkModePage();
    QWidget* NewLinkSearchPage();
    QWidget* NewLinksPage();
    QWidget* NewFieldsPage();

    // The fields page's tree work.
    void MakeTableGroups();
    void FillFields();
    void SelectAfterDelete(int AbsoluteIndex);
    void DeleteNode(QTreeWidgetItem* Node);
    QTreeWidgetItem* FirstUngroupedFieldNode() const;
    void tvFieldsEdited(QTreeWidgetItem* Node, int Column);
    bool tvFieldsKeyDown(int Key, Qt::KeyboardModifiers Modifiers);
    void tvFieldsMouseDown(const QPoint& Pos);
    bool DatabaseConnected() const;

    TZCustomDBStructure* FModel;
    QPixmap FHeaderPicture;
    TDSField* FCurrentField = nullptr;
    TDSFieldGroup* FCurrentGroup = nullptr;
    bool FShown = false;
};

}  // namespace tesmera
