#pragma once

#include "querypanel/query/sqloptions.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
class TDropDownLabel;
class TZQueryPanel;

// The window in which a condition's sub-query is composed: a nested query panel over the opening
// panel's data model, the label that names the sub-query's single result field and its Distinct box.
class TdlgSubQuery : public QDialog {
    Q_OBJECT
public:
    explicit TdlgSubQuery(QWidget* Parent = nullptr);
    ~TdlgSubQuery() override;

    // Takes the opening panel's events, data model, titles, appearance and SQL options.
    void Setup(TZQueryPanel* ParentPanel);
    // Loads the stored sub-query; one without a result field gets the model's first field.
    void LoadQuery(const QStringList& Lines);
    // The nested query text into Lines and its SQL, each line followed by CR LF, into SQL.
    void SaveQuery(QStringList& Lines, QString& SQL);

    TZQueryPanel* QPanel() const { return FQPanel; }
    TZQueryPanel* ParentPanel() const { return FParentPanel; }
    TDropDownLabel* ResultFieldLabel() const { return FResultField; }
    QCheckBox* DistinctBox() const { return FDistinct; }
    QPushButton* CancelButton() const { return FCancel; }

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void ShowResultFields();
    void FitResultField();
    // The result fields editor for the single result field.
    void ddlResultFieldCustomDropDown();
    void DistinctClicked(bool Checked);

    QPointer<TZQueryPanel> FParentPanel;
    QLabel* FResultFieldCaption = nullptr;
    TDropDownLabel* FResultField = nullptr;
    QCheckBox* FDistinct = nullptr;
    TZQueryPanel* FQPanel = nullptr;
    QPushButton* FOK = nullptr;
    QPushButton* FCancel = nullptr;
};

// The panel's sub-query editor: the dialog over Sender, modal; on OK Lines, SQLText and Options
// take what it composed.
bool EditSubQueryInDialog(TZQueryPanel* Sender, QStringList& Lines, QString& SQLText, TSQLOptions& Options);
