#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QListWidget;
class QPushButton;

// One data model under AppDir's "dmodels": its display name and its folder's name.
struct TModelEntry {
    QString ModelName;
    QString Folder;
};

// The models under Dir's "dmodels" (the folders holding a "struct.dbs"), in folder name order;
// a model without a name in its "dm_settings.ini" goes by its folder's name.
QList<TModelEntry> FindDataModels(const QString& Dir);

// The model selection dialog, made once at start and reused: the models by name, sorted. Each row
// stands for its folder, so models of the same name stay apart.
class TdlgSelectDataModel : public QDialog {
    Q_OBJECT
public:
    explicit TdlgSelectDataModel(QWidget* Owner = nullptr);

    // The folder name (not the path) of the model chosen by the last OK.
    QString SelectedFolder() const { return FSelectedFolder; }
    // The models the last FormShow found.
    const QList<TModelEntry>& ModelEntries() const { return FModelEntries; }

    // Lists the models of AppDir and selects the one of QueryDir; OK waits for a click.
    void FormShow();
    void btnOkClick();
    void lbModelsClick();
    void lbModelsDblClick();

    QListWidget* lbModels = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    QString FSelectedFolder;
    QList<TModelEntry> FModelEntries;
};
