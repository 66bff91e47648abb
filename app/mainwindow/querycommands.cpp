#include "app/dialogs/queryparams.h"
#include "app/dialogs/settingsstore.h"
#include "app/mainwindow/mainform.h"
#include "app/mainwindow/shelltexts.h"
#include "core/gate/dbgate.h"
#include "platform/cursor.h"
#include "platform/messagebox.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/querylist/querybase.h"
#include "rtl/textfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

namespace {

// A query's file name must be a bare name in the query folder that neither another query nor any
// other file there holds: a query is never written over a file that is not its own.
void CheckQueryFileName(const TZQueryFileBase& Base, const QString& FileName, const TZQueryFileItem* Self)
{
    if (FileName.isEmpty())
        throw EZQueryBaseError::Create(qbeBadFileName, FileName);
    TZQueryFileItem probe;
    probe.SetFileName(FileName);
    if (Base.FindFile(FileName, Self) || QFileInfo::exists(Base.WorkDir() + FileName))
        throw EZQueryBaseError::Create(qbeFileTaken, FileName);
}

// The description as the query list keeps it: each line ended by CR LF.
QString DescriptionText(const QString& Text)
{
    rtl::StringList lines;
    lines.SetText(Text);
    return lines.Text();
}

QString DescriptionShown(const QString& Text)
{
    rtl::StringList lines;
    lines.SetText(Text);
    return lines.join(u'\n');
}

}  // namespace

void TMainForm::NewQuery()
{
    TdlgQueryParams dialog(this);
    dialog.SetFileNameCheck(QBase->WorkDir(), QString());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString fileName = dialog.edFileName->text();
    CheckQueryFileName(*QBase, fileName, nullptr);
    std::unique_ptr<TZQueryItem> owned = QBase->NewItem();
    auto* item = static_cast<TZQueryFileItem*>(owned.get());
    item->SetFileName(fileName);
    item->SetName(dialog.edQueryName->text());
    item->SetDescription(DescriptionText(dialog.memDescription->toPlainText()));
    const int index = QBase->AddItem(std::move(owned));
    try {
        QBase->SetItemIndex(index);
    } catch (...) {
        // The previous query could not be saved and stays current: the new one is not made.
        QBase->Delete(index);
        throw;
    }
    // Before the save, so the new file holds the choice.
    dialog.SaveOptions(*QPanel);
    item->Save();
    UpdateControls();
}

void TMainForm::SaveCurrentQuery()
{
    if (TZQueryItem* item = QBase->CurrentItem())
        item->Save();
    UpdateControls();
}

void TMainForm::RenameQueryFile(const QString& NewFileName)
{
    TZQueryFileItem* item = QBase->CurrentItem();
    CheckQueryFileName(*QBase, NewFileName, item);
    const QString oldPath = item->FilePath();
    const bool hadFile = QFileInfo::exists(oldPath);
    rtl::StringList lines;
    if (hadFile)
        item->ReadData(lines);
    const QString oldName = item->FileName();
    item->SetFileName(NewFileName);
    if (!hadFile)
        return;
    try {
        item->WriteData(lines);
    } catch (...) {
        // The query keeps the file it still has.
        item->SetFileName(oldName);
        throw;
    }
    if (!QFile::remove(oldPath))
        throw EZQueryBaseError::Create(qbeCannotDelete, oldPath);
}

void TMainForm::EditQueryParams()
{
    TZQueryFileItem* item = QBase->CurrentItem();
    if (!item)
        return;
    TdlgQueryParams dialog(this);
    dialog.edQueryName->setText(item->Name());
    dialog.edFileName->setText(item->FileName());
    dialog.memDescription->setPlainText(DescriptionShown(item->Description()));
    dialog.LoadOptions(*QPanel);
    dialog.SetFileNameCheck(QBase->WorkDir(), item->FileName());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // What was typed stays on the query, to be saved, also when the new file name is refused.
    item->SetName(dialog.edQueryName->text());
    item->SetDescription(DescriptionText(dialog.memDescription->toPlainText()));
    dialog.SaveOptions(*QPanel);
    if (dialog.edFileName->text() != item->FileName())
        RenameQueryFile(dialog.edFileName->text());
    UpdateControls();
}

void TMainForm::DeleteQuery()
{
    if (ConfirmYesNo(ShellTexts::DeleteQuery) != platform::IDYES)
        return;
    QBase->Delete(QBase->ItemIndex());
    if (QPanel->Modified())
        if (TZQueryItem* item = QBase->CurrentItem())
            item->Save();
    UpdateControls();
}

void TMainForm::Clear1Click()
{
    if (ConfirmYesNo(ShellTexts::ClearConditions) != platform::IDYES)
        return;
    QPanel->Clear();
    ShowResultCaptions();
    UpdateControls();
}

void TMainForm::BuildQuery()
{
    struct Finish {
        TMainForm* Form;
        ~Finish() { Form->UpdateControls(); }
    } finish {this};
    const platform::HourglassCursor hourglass;
    TRFieldList& fields = QPanel->QResult()->ResultFields();
    fields.UpdateAliases();
    QPanel->BuildQuery();
    const QStringList sql = QPanel->QResult()->GetSQL();
    memSQL->setPlainText(sql.join(u'\n'));
    // A list that only sorts selects every column: its captions name none of them.
    QStringList captions;
    if (!fields.JustSorting())
        for (const TResultField* field : fields)
            captions << field->Caption();
    FResultShown = true;
    ZDBGate->ShowResult(tshQueryResult, sql, captions);
}

void TMainForm::miParseSQLClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(),
        QFileInfo(QCoreApplication::applicationFilePath()).absolutePath(), ShellTexts::SQLFilter);
    if (!fileName.isEmpty())
        ParseSQLFile(fileName);
}

void TMainForm::ParseSQLFile(const QString& FileName)
{
    rtl::StringList lines;
    lines.SetText(rtl::ReadTextFile(FileName));
    QPanel->LoadFromSQL(lines);
}

void TMainForm::EditResultFields()
{
    if (QPanel->EditResultFields())
        ShowResultCaptions();
}
