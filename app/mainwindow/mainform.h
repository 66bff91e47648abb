#pragma once

#include "app/mainwindow/glyphs.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QToolButton;
class TDropDownLabel;
class TFilterCond;
class TZDBGate;
class TZDBStructure;
class TZQueryCombo;
class TZQueryFileBase;
class TZQueryPanel;
class TdlgModelSettings;
class TdlgSelectDataModel;

// The gate library file name proposed for a new data model: read from the registry when the main
// window is first shown, never written.
extern QString DefaultGate;
// While set, a modified query is not asked about (the model roads set it while they reopen, once
// they have asked).
extern bool ModelLoading;

// The program's main window: the data model of QueryDir with its gate, the query list of the model
// folder, the query panel composing the current query, its SQL and the rows the gate shows.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate (the model of the remembered folder is opened; a failure is reported and the
    // window still works), then makes the two dialogs that live for the whole run.
    explicit TMainForm(QWidget* Parent = nullptr);
    ~TMainForm() override;

    const QString& ModelName() const { return FModelName; }
    void SetModelName(const QString& Name);

    // The open road: settings, model, queries and gate of QueryDir.
    void LoadDataModel();
    void UpdateCaption();
    // The enable rules of the commands; the query area is shown only while there are queries.
    void UpdateControls();
    void LoadOptions();
    void SaveOptions();
    // dm_settings.ini into QueryDir, and struct.dbs as SaveModelFile writes it; a missing QueryDir
    // is created (raises rtl::EFileError when it cannot be) and goes again when the save fails.
    void SaveModelSettings();
    // The user made the model in memory on purpose (in the editor or the wizard): it may be
    // written over the struct.dbs that could not be read.
    void MarkModelAsMade();
    // Asks whether to save the modified query and saves it on Yes.
    void CheckIsQuerySaved();
    // The model in memory is not what its folder holds: Run Wizard... changed it, or a save of
    // struct.dbs or dm_settings.ini failed since it was read or last written.
    bool ModelUnsaved() const { return FModelUnsaved; }
    void SetModelUnsaved(bool Unsaved) { FModelUnsaved = Unsaved; }
    // Asks whether to save the unsaved model and saves it on Yes.
    void CheckIsModelSaved();
    // QueryDir's query list, the first query current, and the panel active.
    void OpenQueries();
    // The query shown is another one, or none: the SQL page is cleared and the result page shows
    // no rows until Build Query runs for it.
    void ClearQueryResult();
    // Runs Replace, which may replace the model's content, with the panel let go of the model
    // meanwhile; the panel's query is read back afterwards (the panel is cleared when it no longer
    // fits). Answers what Replace answered.
    bool ReplaceModelUnderPanel(const std::function<bool()>& Replace);

    // --- commands (the menu items and the speed buttons) ---
    void miNewClick();
    void SelectDataModel1Click();
    void RunWizard1Click();
    void EditStructure();
    void EditSettings1Click();
    void miExitClick();
    void NewQuery();
    void SaveCurrentQuery();
    void EditQueryParams();
    void DeleteQuery();
    void Clear1Click();
    void miParseSQLClick();
    // Reads an SQL script back into the panel's rows.
    void ParseSQLFile(const QString& FileName);
    void BuildQuery();
    void EditResultFields();
    void ActivateQueryPanel();
    void ShowSQL();
    void miShowDescriptionClick();
    void miOptionsClick();
    void ShowHelp();
    void miAboutClick();

    // --- the panel's and the neighbours' events ---
    void QPanelActive();
    void QPanelChange();
    void QPanelSetValue(TFilterCond* Condition, int ValueIndex, const QString& AValue, QString& ACaption);
    void QPanelCustomValue(TFilterCond* Condition, int ValueIndex, QString& AValue);
    void cbCurQueryChange();
    void ddlRFieldsCustomDropDown(QString& Value, bool& Accept);
    void tshQueryResultResize();

    // Components.
    TZDBStructure* DBStructure = nullptr;
    TZDBGate* ZDBGate = nullptr;
    TZQueryFileBase* QBase = nullptr;
    TZQueryPanel* QPanel = nullptr;
    TZQueryCombo* cbCurQuery = nullptr;
    QWidget* Toolbar = nullptr;
    QWidget* pnlMain = nullptr;
    QGroupBox* gbResultFields = nullptr;
    TDropDownLabel* ddlRFields = nullptr;
    QLabel* lblSortedBy = nullptr;
    QGroupBox* gbDescription = nullptr;
    QLabel* lblDescription = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* pcSQL = nullptr;
    QWidget* tshSQL = nullptr;
    QPlainTextEdit* memSQL = nullptr;
    QWidget* tshQueryResult = nullptr;
    QPointer<TdlgModelSettings> dlgModelSettings;
    QPointer<TdlgSelectDataModel> dlgSelectDataModel;

    // Menu items.
    QAction* miNew = nullptr;
    QAction* SelectDataModel1 = nullptr;
    QAction* RunWizard1 = nullptr;
    QAction* miEditStructure = nullptr;
    QAction* EditSettings1 = nullptr;
    QAction* miExit = nullptr;
    QAction* miNewQuery = nullptr;
    QAction* miSaveQuery = nullptr;
    QAction* miEditParams = nullptr;
    QAction* miDeleteQuery = nullptr;
    QAction* Clear1 = nullptr;
    QAction* miParseSQL = nullptr;
    QAction* miBuildQuery = nullptr;
    QAction* miEditResultFields = nullptr;
    QAction* miActivateQueryPanel = nullptr;
    QAction* miShowSQL = nullptr;
    QAction* miShowDescription = nullptr;
    QAction* miOptions = nullptr;
    QAction* miContents = nullptr;
    QAction* miAbout = nullptr;

    // Speed buttons.
    QToolButton* sbNewQuery = nullptr;
    QToolButton* sbQueryParams = nullptr;
    QToolButton* sbSaveQuery = nullptr;
    QToolButton* sbDeleteQuery = nullptr;
    QToolButton* sbBuildQuery = nullptr;
    QToolButton* sbActivateQueryPanel = nullptr;
    QToolButton* sbShowSQL = nullptr;
    QToolButton* sbHelp = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    class TQueryChangeLink;

    // When a command may run: always, while there are queries, or also only while the query is
    // modified.
    enum TEnableRule { erAlways, erQueries, erModified };
    struct TCommand {
        QAction* Item;
        QToolButton* Button;
        TEnableRule Rule;
    };

    void CreateComponents();
    void CreateToolbar();
    void CreateMenu();
    void CreateWorkArea();
    QToolButton* AddSpeedButton(const QString& Name, const QString& Hint, TGlyph Glyph, bool Toggle);
    QAction* AddCommand(QMenu* Menu, const QString& Caption, const QKeySequence& Key,
        void (TMainForm::*Handler)(), TEnableRule Rule, QToolButton* Button = nullptr);
    void FormCreate();
    void CreateDialogs();
    void FormShow();
    // False when the window must stay open.
    bool FormClose();
    // Renames the current query's file, keeping its content; never over a file that exists.
    void RenameQueryFile(const QString& NewFileName);
    void ShowResultCaptions();
    // The rows on the result page make way for a line saying why there are none.
    void ShowNoRows(const QString& Why);
    // QueryDir's struct.dbs.
    QString ModelFile() const;
    // The model into ModelFile, unless that is the file it could not be read from and the user has
    // not made a model on purpose since.
    void SaveModelFile();

    QString FModelName;
    // The folder the open road opened last: where the next start goes back to while the model in
    // memory has not been written into a folder of its own.
    QString FOpenedDir;
    // The struct.dbs the open model could not be read from; empty when it was read.
    QString FUnreadModelFile;
    bool FModelUnsaved = false;
    std::unique_ptr<TQueryChangeLink> FQueryChangeLink;
    std::vector<TCommand> FCommands;
    bool FShown = false;
    // A result was handed to the gate: a resize asks it to repaint.
    bool FResultShown = false;
    // The parameter values given in this run, by query file and parameter name.
    QHash<QString, QHash<QString, QString>> FParamValues;
};
