#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class TZDBGate;

// The model settings dialog, made once at start and reused: the model's name and the gate library
// (from AppDir's "DBGates" folder, listed by each gate's own description) with that gate's
// connection page inside the dialog. Its gate shares the library with the main window's gate, so
// it lets the library go without ever disconnecting.
class TdlgModelSettings : public QDialog {
    Q_OBJECT
public:
    explicit TdlgModelSettings(QWidget* Owner = nullptr);
    // Deletes the connection page, then lets the library go.
    ~TdlgModelSettings() override;

    // Handed in before showing, read after OK.
    QString ModelName() const { return FModelName; }
    void SetModelName(const QString& Name) { FModelName = Name; }
    QString GatePath() const;
    // Only the file-name part of a path counts: the library is looked for in AppDir's "DBGates".
    void SetGatePath(const QString& Path);

    // Lists the gates and chooses the handed-in one. A file that is no gate is skipped and named
    // in a message; listing never touches the open model's connection.
    void FormShow();
    void cbGatesChange();
    // Closes with OK unless the name is empty or path-like ("/", "\", ".."): then a message says
    // why and the dialog stays open.
    void btOKClick();
    void UpdateButtons();
    // Puts the chosen gate's connection page into Panel1 in place of the previous one and grows
    // or shrinks the dialog by the change of the page's height.
    void ShowConnectPanel();

    // The full path of each listed library, in the order of cbGates.
    const QStringList& GatePaths() const { return FGatePaths; }
    // The files of "DBGates" that the last FormShow skipped because they are no gates.
    const QStringList& SkippedFiles() const { return FSkippedFiles; }
    int LastPageHeight() const { return FLastPageHeight; }
    QWidget* ConnectPage() const { return FPage; }

    QLineEdit* edtModelName = nullptr;
    QComboBox* cbGates = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btCancel = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void RemoveConnectPage();
    // Panel1 and the dialog take a page of that height in place of the last one.
    void ResizeForPage(int Height);

    QStringList FGatePaths;
    QString FModelName;
    std::unique_ptr<TZDBGate> FGate;
    QStringList FSkippedFiles;
    QPointer<QWidget> FPage;
    int FLastPageHeight = 0;
};
