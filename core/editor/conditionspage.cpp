#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/strutils.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString NewConditionFormat = QStringLiteral("New condition @");

}  // namespace

void T_dlgDataModelEditor::CreateConditionsPage()
{
    pnlConditionsTools = NewToolPanel(pnlToolbar);
    sbAddCondition
        = NewToolButton(pnlConditionsTools, QStringLiteral("Add"), QStringLiteral("Add condition"));
    sbDeleteCondition
        = NewToolButton(pnlConditionsTools, QStringLiteral("Delete"), QStringLiteral("Delete condition"));

    auto* layout = new QVBoxLayout(tsConditions);
    layout->setContentsMargins(2, 2, 2, 2);
    splConditions = new QSplitter(Qt::Horizontal, tsConditions);
    layout->addWidget(splConditions);
    lbConditions = new QListWidget(splConditions);
    lbConditions->setContextMenuPolicy(Qt::CustomContextMenu);
    splConditions->addWidget(lbConditions);
    gbCondProps = new QGroupBox(QStringLiteral("Condition Properties"), splConditions);
    splConditions->addWidget(gbCondProps);
    splConditions->setStretchFactor(0, 1);
    splConditions->setSizes({480, 520});
    auto* box = new QVBoxLayout(gbCondProps);
    pnlCondProps = new QWidget(gbCondProps);
    box->addWidget(pnlCondProps);
    pnlCondProps->hide();
    auto* props = new QVBoxLayout(pnlCondProps);
    props->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    props->addLayout(form);
    edDisplayFormat = new QLineEdit(pnlCondProps);
    edDisplayFormat->installEventFilter(this);
    form->addRow(QStringLiteral("Display Format"), edDisplayFormat);
    edCondSQLExpr = new QLineEdit(pnlCondProps);
    form->addRow(QStringLiteral("SQL Expression"), edCondSQLExpr);
    gbValues = new QGroupBox(QStringLiteral("Values"), pnlCondProps);
    props->addWidget(gbValues, 1);
    auto* values = new QHBoxLayout(gbValues);
    lbCondValues = new QListWidget(gbValues);
    values->addWidget(lbCondValues, 1);
    pnlCondValueParams = new QWidget(gbValues);
    values->addWidget(pnlCondValueParams, 1);
    auto* params = new QVBoxLayout(pnlCondValueParams);
    params->setContentsMargins(0, 0, 0, 0);
    params->addWidget(new QLabel(QStringLiteral("Data type"), pnlCondValueParams));
    cbCondValType = new QComboBox(pnlCondValueParams);
    params->addWidget(cbCondValType);
    rgCondValueDataKind = new TRadioGroup(QStringLiteral("Value kind"),
        {QStringLiteral("Scalar"), QStringLiteral("List"), QStringLiteral("Sub-query")}, pnlCondValueParams);
    params->addWidget(rgCondValueDataKind);
    params->addStretch();
    pnlCondValueParams->hide();

    pmConditions = new QMenu(this);
    miAddCondition = pmConditions->addAction(QStringLiteral("Add Condition"));
    miAddCondition->setShortcut(QKeySequence(Qt::Key_Insert));
    miDeleteCondition = pmConditions->addAction(QStringLiteral("Delete Condition"));
    miDeleteCondition->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    for (QAction* action : {miAddCondition, miDeleteCondition}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        lbConditions->addAction(action);
    }

    OnSignal(sbAddCondition, &QToolButton::clicked, &T_dlgDataModelEditor::AddCondition);
    OnSignal(miAddCondition, &QAction::triggered, &T_dlgDataModelEditor::AddCondition);
    OnSignal(sbDeleteCondition, &QToolButton::clicked, &T_dlgDataModelEditor::DeleteCondition);
    OnSignal(miDeleteCondition, &QAction::triggered, &T_dlgDataModelEditor::DeleteCondition);
    OnSignal(edDisplayFormat, &QLineEdit::textEdited, &T_dlgDataModelEditor::edDisplayFormatChange);
    OnSignal(lbCondValues, &QListWidget::currentRowChanged, &T_dlgDataModelEditor::ShowCondValue);
    connect(lbConditions, &QWidget::customContextMenuRequested, this,
        [this](QPoint Position) { pmConditions->popup(lbConditions->viewport()->mapToGlobal(Position)); });
    // Blocked whenever code selects a line, so this is the user's choice.
    connect(lbConditions, &QListWidget::currentRowChanged, this, [this] {
        platform::Guarded([this] {
            try {
                ShowCondition();
            } catch (...) {
                SelectRow(lbConditions, FModel->Conditions().IndexOf(FCurrentCondition));
                throw;
            }
        });
    });
}

QString T_dlgDataModelEditor::UniqueConditionFormat() const
{
    auto taken = [this](const QString& Format) {
        for (const TDSCondition* condition : FModel->Conditions()) {
            if (rtl::SameText(condition->DF(), Format))
                return true;
        }
        return false;
    };
    QString format = NewConditionFormat;
    for (int n = 2; taken(format); ++n)
        format = QStringLiteral("New condition %1 @").arg(n);
    return format;
}

void T_dlgDataModelEditor::CheckDisplayFormat(const QString& Format) const
{
    if (!FCurrentCondition || Format == FCurrentCondition->DF())
        return;
    for (const TDSCondition* condition : FModel->Conditions()) {
        if (condition != FCurrentCondition && rtl::SameText(condition->DF(), Format))
            throw rtl::Exception(rtl::Format(QStringLiteral("There is already a condition \"%s\""), Format));
    }
}

void T_dlgDataModelEditor::ApplyValueCopies()
{
    TDSValueList& values = FCurrentCondition->Values();
    for (int i = 0; i < std::min(values.Count(), FCondValues.Count()); ++i) {
        values[i]->SetDataType(FCondValues[i]->DataType());
        values[i]->SetValueKind(FCondValues[i]->ValueKind());
    }
}

void T_dlgDataModelEditor::CommitCondition()
{
    TDSCondition* condition = FCurrentCondition;
    if (!condition)
        return;
    const QString format = edDisplayFormat->text();
    CheckDisplayFormat(format);
    CommitCondValue();
    condition->SetDisplayFormat(format);
    condition->SetSQLExpr(edCondSQLExpr->text());
    ApplyValueCopies();
    const int row = FModel->Conditions().IndexOf(condition);
    if (QListWidgetItem* item = lbConditions->item(row))
        item->setText(condition->GetCaption());
}

void T_dlgDataModelEditor::ShowCondition()
{
    CommitCondition();
    const int row = lbConditions->currentRow();
    if (row < 0 || row >= FModel->Conditions().Count()) {
        FCurrentCondition = nullptr;
        FCondValues.Clear();
        FCurrentValueIndex = -1;
        pnlCondProps->hide();
    } else {
        FDisplayFormatChanged = false;
        FCurrentCondition = FModel->Conditions()[row];
        pnlCondProps->show();
        edDisplayFormat->setText(FCurrentCondition->DF());
        edCondSQLExpr->setText(FCurrentCondition->SQLExpr());
        // Both texts are read from their beginning.
        edDisplayFormat->setCursorPosition(0);
        edCondSQLExpr->setCursorPosition(0);
        RebuildValueList(true);
    }
    UpdateConditionButtons();
}

void T_dlgDataModelEditor::AddCondition()
{
    // A pending edit that cannot be committed must not leave a new condition behind.
    CommitCondition();
    ChangeValueList();
    auto* condition = new TDSCondition(FModel.get());
    condition->SetDisplayFormat(UniqueConditionFormat());
    condition->SetSQLExpr(QStringLiteral("Put your SQL expression here '@1'"));
    FModel->Conditions().Add(condition);
    {
        const QSignalBlocker block(lbConditions);
        lbConditions->addItem(condition->GetCaption());
    }
    SelectRow(lbConditions, lbConditions->count() - 1);
    ShowCondition();
    edDisplayFormat->setFocus();
}

void T_dlgDataModelEditor::DeleteCondition()
{
    const int row = lbConditions->currentRow();
    if (row < 0)
        return;
    if (ConfirmMessage(QStringLiteral("Delete condition?")) != platform::IDYES)
        return;
    if (FCurrentCondition == FModel->Conditions()[row]) {
        FCurrentCondition = nullptr;
        FCondValues.Clear();
        FCurrentValueIndex = -1;
    }
    FModel->Conditions().DeleteAndFree(row);
    {
        const QSignalBlocker block(lbConditions);
        delete lbConditions->takeItem(row);
    }
    SelectRow(lbConditions, lbConditions->count() > 0 ? std::min(row, lbConditions->count() - 1) : -1);
    ShowCondition();
}

void T_dlgDataModelEditor::edDisplayFormatChange()
{
    if (FCurrentCondition)
        FDisplayFormatChanged = true;
}

void T_dlgDataModelEditor::ChangeValueList()
{
    if (!FCurrentCondition || !FDisplayFormatChanged)
        return;
    const QString format = edDisplayFormat->text();
    CheckDisplayFormat(format);
    CommitCondValue();
    FCurrentCondition->SetDisplayFormat(format);
    ApplyValueCopies();
    FDisplayFormatChanged = false;
    RebuildValueList(false);
}

void T_dlgDataModelEditor::RebuildValueList(bool SelectFirst)
{
    FCondValues.Clear();
    int row = -1;
    {
        const QSignalBlocker block(lbCondValues);
        lbCondValues->clear();
        const TDSValueList& values = FCurrentCondition->Values();
        for (int i = 0; i < values.Count(); ++i) {
            auto* copy = new TDSValue;
            copy->Assign(*values[i]);
            FCondValues.Add(copy);
            lbCondValues->addItem(QStringLiteral("Value ") + QString::number(i + 1));
        }
        const int count = lbCondValues->count();
        if (SelectFirst)
            row = count > 0 ? 0 : -1;
        else
            row = FCurrentValueIndex >= 0 && FCurrentValueIndex < count ? FCurrentValueIndex : count - 1;
        lbCondValues->setCurrentRow(row);
    }
    FCurrentValueIndex = -1;
    ShowCondValue();
}

void T_dlgDataModelEditor::CommitCondValue()
{
    if (FCurrentValueIndex < 0 || FCurrentValueIndex >= FCondValues.Count())
        return;
    TDSValue* value = FCondValues[FCurrentValueIndex];
    if (cbCondValType->currentIndex() >= 0)
        value->SetDataType(EditorFieldTypes[cbCondValType->currentIndex()]);
    if (rgCondValueDataKind->ItemIndex() >= 0)
        value->SetValueKind(TValueKind(rgCondValueDataKind->ItemIndex()));
}

void T_dlgDataModelEditor::ShowCondValue()
{
    CommitCondValue();
    const int row = lbCondValues->currentRow();
    if (row != FCurrentValueIndex) {
        FCurrentValueIndex = row;
        if (row >= 0 && row < FCondValues.Count()) {
            const TDSValue* value = FCondValues[row];
            cbCondValType->setCurrentIndex(EditorTypeIndex(value->DataType()));
            rgCondValueDataKind->SetItemIndex(value->ValueKind());
        }
    }
    pnlCondValueParams->setVisible(FCurrentValueIndex >= 0);
}

void T_dlgDataModelEditor::UpdateConditionButtons()
{
    const bool selected = lbConditions->currentRow() >= 0;
    sbDeleteCondition->setEnabled(selected);
    miDeleteCondition->setEnabled(selected);
}
