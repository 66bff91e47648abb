#pragma once

#include "core/dbinfo/dbinfo.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TDSTable;
class TZCustomDBStructure;

// Sorts names ignoring ASCII letter case, as the model compares names.
void SortNames(QStringList& Names);
// Replaces the rows of List with Names in the model's order.
void SetSortedItems(QListWidget* List, QStringList Names);
// Puts Name at its place in a list sorted that way.
void InsertSorted(QListWidget* List, const QString& Name);

// The column at a dialog's right: the default button OK, which accepts, and Cancel, which rejects.
QWidget* NewOkCancelColumn(QDialog* Dialog, const QString& OKCaption, const QString& CancelCaption,
    QPushButton*& OK, QPushButton*& Cancel);

// Runs Action with Table's database current in Info when the table names one, then makes the
// database that was current before current again, also when Action raises; so a lookup for one
// table never leaves the shared database information pointing elsewhere.
void WithTableDatabase(TZDBInfo* Info, const TDSTable* Table, const std::function<void()>& Action);

// Bits of the flags of SelectDBTables.
enum TListPnlFlag : uint8_t {
    // Show the "Automatically add fields" box (only with a connected database).
    lpfShowAutoAddFields = 1,
    // In: the box starts checked (only when connected); out on OK: the box's final state.
    lpfAutoAddFields = 2,
    // Several names may be chosen.
    lpfMultiSelect = 4,
};

// The modal picker of names: a combo box of groups (databases, or the model's tables) above the
// names of the chosen group (tables, or fields), or a memo taking names typed one per line where
// no connected database lists them.
class TdlgListPnl : public QDialog {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    // Run when the user picks a row of the combo (OnClick, also on leaving the combo) and after
    // that (OnChange); empty means unassigned.
    TNotifyEvent cbGroupsOnClick;
    TNotifyEvent cbGroupsOnChange;

    explicit TdlgListPnl(QWidget* Parent = nullptr);
    ~TdlgListPnl() override;

    TZDBInfo* DBInfo() const { return FDBInfo; }
    void SetDBInfo(TZDBInfo* Value) { FDBInfo = Value; }
    // The names chosen, filled on every close and meaningful after an OK.
    const QStringList& Result() const { return FResult; }

    // The set-ups of SelectDBTables and SelectTableFields, up to showing the picker.
    void SetupDBTables(TZDBInfo* Info, uint8_t Flags);
    void SetupTableFields(TZCustomDBStructure* DBStruct, const QString& TableName, int Flags);
    // Lets several rows of lbList be chosen, or one.
    void SetMultiSelect(bool Value);
    // Shows lbList, or memList for typed names.
    void ShowList(bool Value);

    // The combo's handlers: reload the tables of the database typed or chosen, or the fields of
    // the table chosen.
    void DatabaseChanged(QObject* Sender);
    void TableChanged(QObject* Sender);
    void cbGroupsExit();
    void lbListDblClick();
    void CollectResult();

    QWidget* pnlGroups() const { return FpnlGroups; }
    QLabel* lblGroups() const { return FlblGroups; }
    QComboBox* cbGroups() const { return FcbGroups; }
    QGroupBox* gbItems() const { return FgbItems; }
    QListWidget* lbList() const { return FlbList; }
    QPlainTextEdit* memList() const { return FmemList; }
    QWidget* pnlAutoAddFields() const { return FpnlAutoAddFields; }
    QCheckBox* chbAutoAddFields() const { return FchbAutoAddFields; }
    QPushButton* OK() const { return FOK; }
    QPushButton* pbCancel() const { return FpbCancel; }

    void done(int Result) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void cbGroupsActivated();
    void FillGroups(const QStringList& Captions, const QList<TDSTable*>& Tables);

    QPointer<TZDBInfo> FDBInfo;
    QStringList FResult;
    // The database current before the user's first change of it, put back on Cancel.
    std::optional<QString> FDBNameBefore;
    // The database whose tables lbList shows.
    std::optional<QString> FListedDBName;
    bool FClosing = false;
    QWidget* FpnlGroups = nullptr;
    QLabel* FlblGroups = nullptr;
    QComboBox* FcbGroups = nullptr;
    QGroupBox* FgbItems = nullptr;
    QListWidget* FlbList = nullptr;
    QPlainTextEdit* FmemList = nullptr;
    QWidget* FpnlAutoAddFields = nullptr;
    QCheckBox* FchbAutoAddFields = nullptr;
    QPushButton* FOK = nullptr;
    QPushButton* FpbCancel = nullptr;
};

// Picks database tables. True on OK: Names holds the chosen names, DatabaseName the combo text and
// bit 1 of Flags the "Automatically add fields" box. Cancel changes none of them. Raises
// EZDBStructError code 11 without DBInfo.
bool SelectDBTables(TZDBInfo* DBInfo, QStringList& Names, QString& DatabaseName, uint8_t& Flags);
// Picks fields of a model table; only bit 2 of Flags counts. True on OK: Names holds the chosen
// names and TableName the chosen table's "Name - Alias". Raises EZDBStructError code 11 when the
// model has no database information.
bool SelectTableFields(TZCustomDBStructure* DBStruct, QStringList& Names, QString& TableName, int Flags);
