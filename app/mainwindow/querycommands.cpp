#include "app/dialogs/paramvalues.h"
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
#include "rtl/strutils.h"
#include "rtl/textfile.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>

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
    // A link to nowhere is taken too: a save would write through it to wherever it leads.
    const QFileInfo file(Base.WorkDir() + FileName);
    if (Base.FindFile(FileName, Self) || file.exists() || file.isSymLink())
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

// A predefined condition's parameter is captioned without a field: the condition's text says what
// it asks for.
QString ParamCaption(const TSQLParam& Param)
{
    const TConditionNode* condition = Param.Condition();
    if (!condition->GetFieldName().isEmpty() || !condition->NodeCondition())
        return Param.Caption();
    return Param.Caption().trimmed() + QStringLiteral(" (")
        + condition->NodeCondition()->GetCaption().trimmed() + QStringLiteral(")");
}

// Asks for the values of the parameters that the panel's last build left in the statement, each
// name once, offering the values given last (else those stored with the query). On OK, SQL is the
// statement with the values written in as constants and Given holds them; false on Cancel.
bool AskParamValues(TZQueryPanel& Panel, TParamValues& Given, QWidget* Owner, QStringList& SQL)
{
    const TQueryResult& query = *Panel.QResult();
    QHash<QString, const TSQLParam*> byName;
    for (const TSQLParam* param : query.Params())
        byName.insert(rtl::LowerCase(param->Name()), param);
    QList<TdlgParamValues::TParam> asked;
    QSet<QString> names;
    for (const QString& built : query.BuiltParamNames()) {
        const QString name = rtl::LowerCase(built);
        if (names.contains(name))
            continue;
        names.insert(name);
        const TSQLParam* param = byName.value(name);
        asked.append({name, ParamCaption(*param), param->DataType(),
            Given.contains(name) ? Given.value(name) : param->Value()});
    }
    TdlgParamValues dialog(asked, Panel.DbStruct()->SQLFormats(), Owner);
    dialog.OnCheckValues = [&Panel, &SQL](const TParamValues& Values) {
        Panel.BuildQuery(&Values);
        SQL = Panel.QResult()->GetSQL();
    };
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Given.insert(dialog.Values());
    return true;
}

// Marks the gate's widgets that the result page hides while it says why it shows no rows.
const char* const HiddenForNoRows = "hiddenForNoRows";
const QString NoRowsLabel = QStringLiteral("lblNoRows");

// The page as the gate left it, once the gate has shown the next rows.
void ClearNoRows(QWidget* Page)
{
    delete Page->findChild<QLabel*>(NoRowsLabel, Qt::FindDirectChildrenOnly);
    for (QWidget* child : Page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property(HiddenForNoRows).toBool()) {
            child->setProperty(HiddenForNoRows, QVariant());
            child->show();
        }
}

}  // namespace

// The gate's widgets are hidden, not deleted: the gate still holds them and draws into them again.
void TMainForm::ShowNoRows(const QString& Why)
{
    delete tshQueryResult->findChild<QLabel*>(NoRowsLabel, Qt::FindDirectChildrenOnly);
    for (QWidget* child : tshQueryResult->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) {
            child->setProperty(HiddenForNoRows, true);
            child->hide();
        }
    auto* label = new QLabel(Why, tshQueryResult);
    label->setObjectName(NoRowsLabel);
    label->move(label->fontMetrics().averageCharWidth(), label->fontMetrics().height() / 2);
    label->adjustSize();
    label->show();
}

void TMainForm::ClearQueryResult()
{
    memSQL->clear();
    ShowNoRows(ShellTexts::QueryNotBuilt);
}

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
    item->RenameFile(NewFileName);
}

void TMainForm::EditQueryParams()
{
    TZQueryFileItem* item = QBase->CurrentItem();
    if (!item)
        return;
    // What the dialog changed could never be saved.
    item->CheckRead();
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
    // The panel shows no query of that name: it would select every record of the main table.
    if (const TZQueryFileItem* item = QBase->CurrentItem())
        item->CheckRead();
    QStringList sql;
    QStringList captions;
    {
        const platform::HourglassCursor hourglass;
        TRFieldList& fields = QPanel->QResult()->ResultFields();
        fields.UpdateAliases();
        QPanel->BuildQuery();
        sql = QPanel->QResult()->GetSQL();
        memSQL->setPlainText(sql.join(u'\n'));
        // A list that only sorts selects every column: its captions name none of them.
        if (!fields.JustSorting())
            for (const TResultField* field : fields)
                captions << field->Caption();
    }
    // The SQL page keeps the parameters' names; the rows shown are those of the values given.
    if (!QPanel->QResult()->BuiltParamNames().isEmpty()) {
        const QString query = QBase->CurrentItem() ? QBase->CurrentItem()->FilePath() : QString();
        if (!AskParamValues(*QPanel, FParamValues[query], this, sql)) {
            ShowNoRows(ShellTexts::QueryNotRun);
            return;
        }
    }
    const platform::HourglassCursor hourglass;
    FResultShown = true;
    ZDBGate->ShowResult(tshQueryResult, sql, captions);
    // Only now: a gate that cannot show the rows leaves none of the rows before in their place.
    ClearNoRows(tshQueryResult);
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
    // The rows are another query's now.
    ClearQueryResult();
}

void TMainForm::EditResultFields()
{
    if (QPanel->EditResultFields())
        ShowResultCaptions();
}
