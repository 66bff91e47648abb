#pragma once

#include "core/dbinfo/dbinfo.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;
class TDSLink;
class TDSTable;
class TZCustomDBStructure;

// The line shown for one pair: each side without its "fld:" or "val:" prefix.
QString PairText(const QString& Left, const QString& Operator, const QString& Right);

// The modal dialog in which the pairs of one link are edited: left side, operator and right side
// each, chosen from the two tables' fields or typed as expressions, with quoting and join type.
// It works on its own lists; nothing reaches the link before ApplyTo.
class TdlgEditLink : public QDialog {
    Q_OBJECT
public:
    explicit TdlgEditLink(QWidget* Parent = nullptr);
    ~TdlgEditLink() override;

    // Fills the dialog from Link of DBStruct. Raises EZDBStructError code 11 when the model has no
    // database information.
    void Setup(TZCustomDBStructure* DBStruct, TDSLink* Link);
    // Writes the pairs, quoting, chosen second table and join type into Link.
    void ApplyTo(TDSLink* Link) const;

    const QStringList& LeftSides() const { return FLeftSides; }
    const QStringList& RightSides() const { return FRightSides; }
    const QStringList& Operators() const { return FOperators; }
    // The second table chosen in cbTables2, if any.
    TDSTable* ChosenTable2() const;

    void cbTables2Change();
    void lbFields1Click();
    void edExpression2Change();
    void lbJoinedFieldsClick();
    void pbAddClick();
    void pbDeleteClick();
    void pbClearClick();
    void pbAutoClick();

    QWidget* pnlTop() const { return FpnlTop; }
    QComboBox* cbTables2() const { return FcbTables2; }
    QPushButton* pbAuto() const { return FpbAuto; }
    QWidget* pnlLeftSide() const { return FpnlLeftSide; }
    QLabel* labFields1() const { return FlabFields1; }
    QListWidget* lbFields1() const { return FlbFields1; }
    QLineEdit* edExpression1() const { return FedExpression1; }
    QListWidget* lbOperators() const { return FlbOperators; }
    QWidget* pnlRightSide() const { return FpnlRightSide; }
    QLabel* lblFields2() const { return FlblFields2; }
    QListWidget* lbFields2() const { return FlbFields2; }
    QLineEdit* edExpression2() const { return FedExpression2; }
    QGroupBox* rgLeftSide() const { return FrgLeftSide; }
    QGroupBox* rgRightSide() const { return FrgRightSide; }
    // Row 0 "Field", row 1 "Expression".
    QRadioButton* rgLeftSideItem(int Index) const;
    QRadioButton* rgRightSideItem(int Index) const;
    QPushButton* pbAdd() const { return FpbAdd; }
    QListWidget* lbJoinedFields() const { return FlbJoinedFields; }
    QCheckBox* cbQuoteFields() const { return FcbQuoteFields; }
    QPushButton* pbClear() const { return FpbClear; }
    QPushButton* pbDelete() const { return FpbDelete; }
    QGroupBox* rbJoinType() const { return FrbJoinType; }
    // Index = the link type.
    QRadioButton* rbJoinTypeItem(int Index) const;
    QPushButton* bbOK() const { return FbbOK; }
    QPushButton* bbCancel() const { return FbbCancel; }

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void FormShow();
    void UpdateButtons();
    void AddPair(const QString& Left, const QString& Right, const QString& Operator);
    // The field names of Table, or the lookup's failure as the list's only, disabled row.
    void FillFields(QListWidget* List, const TDSTable* Table, const QString& FailureText);

    QPointer<TZDBInfo> FDBInfo;
    bool FConnected = false;
    bool FShown = false;
    QStringList FLeftSides;
    QStringList FRightSides;
    QStringList FOperators;
    QWidget* FpnlTop = nullptr;
    QComboBox* FcbTables2 = nullptr;
    QPushButton* FpbAuto = nullptr;
    QWidget* FpnlLeftSide = nullptr;
    QLabel* FlabFields1 = nullptr;
    QListWidget* FlbFields1 = nullptr;
    QLineEdit* FedExpression1 = nullptr;
    QListWidget* FlbOperators = nullptr;
    QWidget* FpnlRightSide = nullptr;
    QLabel* FlblFields2 = nullptr;
    QListWidget* FlbFields2 = nullptr;
    QLineEdit* FedExpression2 = nullptr;
    QGroupBox* FrgLeftSide = nullptr;
    QGroupBox* FrgRightSide = nullptr;
    QButtonGroup* FLeftSideKind = nullptr;
    QButtonGroup* FRightSideKind = nullptr;
    QPushButton* FpbAdd = nullptr;
    QListWidget* FlbJoinedFields = nullptr;
    QCheckBox* FcbQuoteFields = nullptr;
    QPushButton* FpbClear = nullptr;
    QPushButton* FpbDelete = nullptr;
    QGroupBox* FrbJoinType = nullptr;
    QButtonGroup* FJoinTypes = nullptr;
    QPushButton* FbbOK = nullptr;
    QPushButton* FbbCancel = nullptr;
};

// Edits Link of DBStruct in the modal dialog. True when the user closed it with OK; the link then
// holds the edited pairs, operators, quoting, second table and join type. A link between two
// tables that another link already joins is refused with a message and answers false. Raises
// EZDBStructError code 11 when the model has no database information.
bool EditDSLink(TZCustomDBStructure* DBStruct, TDSLink* Link);
