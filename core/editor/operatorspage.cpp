#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/strutils.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

bool IsPatternOperator(const QString& Name)
{
    for (const char* name : {"StartsWith", "Contains", "NotStartsWith", "NotContains"}) {
        if (rtl::SameText(Name, QLatin1String(name)))
            return true;
    }
    return false;
}

}  // namespace

void T_dlgDataModelEditor::CreateOperatorsPage()
{
    pnlOperatorsTools = NewToolPanel(pnlToolbar);
    sbAddOperator = NewToolButton(pnlOperatorsTools, QStringLiteral("Add"), QStringLiteral("Add operator"));
    sbDeleteOperator
        = NewToolButton(pnlOperatorsTools, QStringLiteral("Delete"), QStringLiteral("Delete operator"));
    sbAddOperatorToAllFields = NewToolButton(pnlOperatorsTools, QStringLiteral("To all fields"),
        QStringLiteral("Add operator to all appropriate fields"));
    sbAddDefOperators = NewToolButton(
        pnlOperatorsTools, QStringLiteral("Defaults"), QStringLiteral("Add/Update default operators "));

    auto* layout = new QVBoxLayout(tsOperators);
    layout->setContentsMargins(2, 2, 2, 2);
    splOperators = new QSplitter(Qt::Horizontal, tsOperators);
    layout->addWidget(splOperators);
    lbOperators = new QListWidget(splOperators);
    splOperators->addWidget(lbOperators);
    gbOperatorProps = new QGroupBox(QStringLiteral("Operator Properties"), splOperators);
    splOperators->addWidget(gbOperatorProps);
    splOperators->setStretchFactor(0, 1);
    splOperators->setSizes({540, 460});
    auto* box = new QVBoxLayout(gbOperatorProps);
    pnlOperatorProps = new QWidget(gbOperatorProps);
    box->addWidget(pnlOperatorProps);
    pnlOperatorProps->hide();
    auto* props = new QVBoxLayout(pnlOperatorProps);
    props->setContentsMargins(0, 0, 0, 0);
    auto* form = new QFormLayout;
    props->addLayout(form);
    edOpName = new QLineEdit(pnlOperatorProps);
    form->addRow(QStringLiteral("Operator name"), edOpName);
    edOpDisplayName = new QLineEdit(pnlOperatorProps);
    form->addRow(QStringLiteral("Display name"), edOpDisplayName);
    edOpSQLExpr = new QLineEdit(pnlOperatorProps);
    form->addRow(QStringLiteral("SQL expression"), edOpSQLExpr);
    edValFormat = new QLineEdit(pnlOperatorProps);
    form->addRow(QStringLiteral("Values format"), edValFormat);
    cbOpExprType = new QComboBox(pnlOperatorProps);
    form->addRow(QStringLiteral("Type of expression"), cbOpExprType);
    rgOpValueKind = new TRadioGroup(QStringLiteral("Value kind"),
        {QStringLiteral("Scalar"), QStringLiteral("List"), QStringLiteral("Sub-query")}, pnlOperatorProps);
    props->addWidget(rgOpValueKind);
    gbApplyToTypes = new QGroupBox(QStringLiteral("Apply to types"), pnlOperatorProps);
    auto* types = new QVBoxLayout(gbApplyToTypes);
    clbTypes = new QListWidget(gbApplyToTypes);
    // Four columns of types, filled top to bottom.
    clbTypes->setFlow(QListView::TopToBottom);
    clbTypes->setWrapping(true);
    clbTypes->setResizeMode(QListView::Adjust);
    types->addWidget(clbTypes);
    props->addWidget(gbApplyToTypes, 1);

    OnSignal(sbAddOperator, &QToolButton::clicked, &T_dlgDataModelEditor::AddOperator);
    OnSignal(sbDeleteOperator, &QToolButton::clicked, &T_dlgDataModelEditor::DeleteOperator);
    OnSignal(sbAddOperatorToAllFields, &QToolButton::clicked, &T_dlgDataModelEditor::AddOperatorToAllFields);
    OnSignal(sbAddDefOperators, &QToolButton::clicked, &T_dlgDataModelEditor::AddDefOperators);
    OnSignal(edOpName, &QLineEdit::textEdited, &T_dlgDataModelEditor::edOpNameChange);
    // Blocked whenever code selects a line, so this is the user's choice.
    connect(lbOperators, &QListWidget::currentRowChanged, this, [this] {
        platform::Guarded([this] {
            try {
                ShowOperator();
            } catch (...) {
                SelectRow(lbOperators, int(FModel->Operators().indexOf(FCurrentOperator)));
                throw;
            }
        });
    });
}

void T_dlgDataModelEditor::SelectRow(QListWidget* List, int Row)
{
    const QSignalBlocker block(List);
    List->setCurrentRow(Row);
    if (Row < 0)
        List->clearSelection();
}

QString T_dlgDataModelEditor::UniqueOperatorName(const QString& Base) const
{
    QString name = Base;
    for (int n = 2; FModel->IndexOfOperator(name) >= 0; ++n)
        name = Base + u' ' + QString::number(n);
    return name;
}

void T_dlgDataModelEditor::CommitOperator()
{
    TDSOperator* op = FCurrentOperator;
    if (!op)
        return;
    const QString name = edOpName->text();
    for (const TDSOperator* other : FModel->Operators()) {
        // Only a new name is checked: a model read with two operators of one name still commits.
        if (other != op && name != op->Name() && rtl::SameText(other->Name(), name))
            throw rtl::Exception(
                rtl::Format(QStringLiteral("There is already an operator named \"%s\""), name));
    }
    op->SetName(name);
    op->SetDisplayName(edOpDisplayName->text());
    op->SetSQLName(edOpSQLExpr->text());
    op->SetValFormat(edValFormat->text());
    const int exprType = cbOpExprType->currentIndex();
    if (exprType == 0)
        op->SetExprType(ftUnknown);
    else if (exprType > 0)
        op->SetExprType(EditorFieldTypes[exprType - 1]);
    if (rgOpValueKind->ItemIndex() >= 0)
        op->SetValueKind(TValueKind(rgOpValueKind->ItemIndex()));
    CommitOperatorTypes();
}

void T_dlgDataModelEditor::CommitOperatorTypes()
{
    TFieldTypes types = FCurrentOperator->AppliedTypes();
    for (int i = 0; i < clbTypes->count(); ++i) {
        if (clbTypes->item(i)->checkState() == Qt::Checked)
            types.Include(EditorFieldTypes[i]);
        else
            types.Exclude(EditorFieldTypes[i]);
    }
    FCurrentOperator->SetAppliedTypes(types);
}

void T_dlgDataModelEditor::ShowOperatorTypes()
{
    const TFieldTypes types = FCurrentOperator->AppliedTypes();
    for (int i = 0; i < clbTypes->count(); ++i)
        clbTypes->item(i)->setCheckState(types.Contains(EditorFieldTypes[i]) ? Qt::Checked : Qt::Unchecked);
}

void T_dlgDataModelEditor::ShowOperator()
{
    const int row = lbOperators->currentRow();
    if (lbOperators->count() == 0 || row < 0)
        return;
    pnlOperatorProps->show();
    CommitOperator();
    TDSOperator* op = FModel->GetOperator(row);
    FCurrentOperator = op;
    edOpName->setText(op->Name());
    edOpDisplayName->setText(op->DisplayName());
    edOpSQLExpr->setText(op->SQLName());
    edValFormat->setText(op->ValFormat());
    cbOpExprType->setCurrentIndex(op->ExprType() == ftUnknown ? 0 : EditorTypeIndex(op->ExprType()) + 1);
    if (op->ExprType() != ftUnknown && EditorTypeIndex(op->ExprType()) < 0)
        cbOpExprType->setCurrentIndex(-1);
    rgOpValueKind->SetItemIndex(op->ValueKind());
    if (op->AppliedTypes() == TFieldTypes {})
        op->SetAppliedTypes(IsPatternOperator(op->Name()) ? PatternTypes : EqualityTypes);
    ShowOperatorTypes();
    UpdateOperatorButtons();
}

void T_dlgDataModelEditor::edOpNameChange()
{
    QListWidgetItem* item = lbOperators->currentItem();
    if (item && item->text() != edOpName->text())
        item->setText(edOpName->text());
}

void T_dlgDataModelEditor::AddOperator()
{
    // A pending edit that cannot be committed must not leave a new operator behind.
    CommitOperator();
    const QString name = UniqueOperatorName(QStringLiteral("New operator"));
    const int index = FModel->AddOperator(name, name, TFieldTypes {}, QString(), QString());
    {
        const QSignalBlocker block(lbOperators);
        lbOperators->insertItem(index, name);
    }
    SelectRow(lbOperators, index);
    ShowOperator();
    edOpDisplayName->setFocus();
}

void T_dlgDataModelEditor::DeleteOperator()
{
    const int row = lbOperators->currentRow();
    if (row < 0)
        return;
    if (ConfirmMessage(QStringLiteral("Delete operator?")) != platform::IDYES)
        return;
    if (FCurrentOperator == FModel->GetOperator(row))
        FCurrentOperator = nullptr;
    FModel->DeleteOperator(row);
    {
        const QSignalBlocker block(lbOperators);
        delete lbOperators->takeItem(row);
    }
    if (lbOperators->count() > 0)
        SelectRow(lbOperators, std::min(row, lbOperators->count() - 1));
    else
        SelectRow(lbOperators, -1);
    ShowOperator();
    if (FCurrentField)
        FillFieldOperators();
    UpdateOperatorButtons();
}

void T_dlgDataModelEditor::AddOperatorToAllFields()
{
    TDSOperator* op = FCurrentOperator;
    if (!op)
        return;
    for (TDSField* field : FModel->Fields()) {
        if (op->AppliedTypes().Contains(field->FieldType()))
            field->AddOperator(op);
    }
    if (FCurrentField)
        FillFieldOperators();
}

void T_dlgDataModelEditor::AddDefOperators()
{
    // Everything pending is written first: the pages are refilled from the model afterwards.
    CommitAll();
    FModel->AddDefaultOperators(true);
    RefreshAll();
}

void T_dlgDataModelEditor::UpdateOperatorButtons()
{
    const bool selected = lbOperators->currentRow() >= 0;
    sbDeleteOperator->setEnabled(selected);
    sbAddOperatorToAllFields->setEnabled(selected);
}
