#include "gates/fendal/views.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

namespace {

QStandardItemModel* RowsModel(QObject* Owner, const FendalRows& Rows, const QStringList& Captions)
{
    auto* model = new QStandardItemModel(int(Rows.Rows.size()), int(Rows.Columns.size()), Owner);
    for (int c = 0; c < Rows.Columns.size(); ++c) {
        const QString caption = Captions.value(c);
        model->setHorizontalHeaderItem(c, new QStandardItem(caption.isEmpty() ? Rows.Columns[c] : caption));
    }
    for (int r = 0; r < int(Rows.Rows.size()); ++r)
        for (int c = 0; c < Rows.Columns.size(); ++c)
            model->setItem(r, c, new QStandardItem(Rows.Rows[r].value(c).toString()));
    return model;
}

QStandardItemModel* ErrorModel(QObject* Owner, const QString& Error)
{
    auto* model = new QStandardItemModel(1, 1, Owner);
    model->setHorizontalHeaderItem(0, new QStandardItem(QStringLiteral("Error")));
    model->setItem(0, 0, new QStandardItem(Error));
    return model;
}

// A path inside the application folder is kept relative, so the details travel with the folder.
QString StoredPath(const QString& File)
{
    const QString relative = QDir::current().relativeFilePath(File);
    return relative.startsWith(QLatin1String("..")) ? File : relative;
}

}  // namespace

QTableView* ShowRows(QWidget* Parent, QTableView* View, const FendalRows& Rows, const QStringList& Captions,
    const QString& Error)
{
    if (!View || View->parentWidget() != Parent) {
        delete View;
        View = new QTableView(Parent);
        View->setEditTriggers(QAbstractItemView::NoEditTriggers);
        View->setSelectionBehavior(QAbstractItemView::SelectRows);
        View->setTabKeyNavigation(false);
    }
    QAbstractItemModel* old = View->model();
    View->setModel(Error.isEmpty() ? RowsModel(View, Rows, Captions) : ErrorModel(View, Error));
    delete old;
    if (!Error.isEmpty())
        View->horizontalHeader()->setStretchLastSection(true);
    FitToParent(View, true);
    View->show();
    return View;
}

void FitToParent(QWidget* Widget, bool FillHeight)
{
    const QWidget* parent = Widget->parentWidget();
    if (!parent)
        return;
    Widget->setGeometry(0, 0, parent->width(), FillHeight ? parent->height() : Widget->height());
    Widget->update();
}

QWidget* NewConnectionPage(QWidget* Parent, FendalGate& Gate)
{
    auto* page = new QWidget(Parent);
    auto* layout = new QGridLayout(page);
    auto* edtDatabase = new QLineEdit(Gate.DatabasePath(), page);
    auto* btnBrowse = new QPushButton(QStringLiteral("Browse..."), page);
    auto* btnTest = new QPushButton(QStringLiteral("Test"), page);
    auto* lblStatus = new QLabel(page);
    lblStatus->setWordWrap(true);
    layout->addWidget(new QLabel(QStringLiteral("Database file:"), page), 0, 0);
    layout->addWidget(edtDatabase, 0, 1);
    layout->addWidget(btnBrowse, 0, 2);
    layout->addWidget(btnTest, 1, 0);
    layout->addWidget(lblStatus, 1, 1, 1, 2);

    QObject::connect(edtDatabase, &QLineEdit::textEdited, page,
        [&Gate](const QString& Text) { Gate.SetDatabasePath(Text); });
    QObject::connect(btnBrowse, &QPushButton::clicked, page, [&Gate, page, edtDatabase] {
        const QString start = QFileInfo(QDir::current(), Gate.DatabasePath()).absolutePath();
        const QString file = QFileDialog::getOpenFileName(page, QStringLiteral("Database file"), start,
            QStringLiteral("SQLite databases (*.sqlite *.db *.sqlite3);;"
                           "All files (*)"));
        if (file.isEmpty())
            return;
        edtDatabase->setText(StoredPath(file));
        Gate.SetDatabasePath(edtDatabase->text());
    });
    QObject::connect(btnTest, &QPushButton::clicked, page, [&Gate, lblStatus] {
        const QString error = FendalGate::TestConnection(Gate.Details());
        lblStatus->setText(error.isEmpty() ? QStringLiteral("Connection succeeded.") : error);
    });

    page->resize(Parent ? Parent->width() : page->sizeHint().width(), page->sizeHint().height());
    page->show();
    return page;
}
