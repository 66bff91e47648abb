#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TZQueryPanel;

// The query properties dialog: name, file name, description and the DISTINCT choice of a query.
// A file name left empty before showing follows the query name (name + ".qry") until the user
// edits the file name.
class TdlgQueryParams : public QDialog {
    Q_OBJECT
public:
    explicit TdlgQueryParams(QWidget* Owner = nullptr);

    void LoadOptions(const TZQueryPanel& Panel);
    void SaveOptions(TZQueryPanel& Panel) const;

    // The folder of the query files and the file this query already has (empty for a new query):
    // OK refuses a file name that another file of that folder holds, ignoring case.
    void SetFileNameCheck(const QString& Folder, const QString& OwnFileName);

    // Run on showing; public so callers and tests can run them without a modal loop.
    void FormShow();
    void edQueryNameChange();
    // Closes with OK unless the file name is empty, reaches into a folder ("/", "\", ".."), or
    // names another query's file: then a message says why and the dialog stays open.
    void btOKClick();

    bool FileNameFollows() const { return FFileNameFollows; }

    QLineEdit* edQueryName = nullptr;
    QLineEdit* edFileName = nullptr;
    QPlainTextEdit* memDescription = nullptr;
    QCheckBox* cbDistinctSelect = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    bool FFileNameFollows = false;
    QString FFolder;
    QString FOwnFileName;
};
