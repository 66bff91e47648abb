#include "core/design/tablepicker.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "core/ui/controlutils.h"
#include "core/ui/fieldtree.h"
#include "platform/messagebox.h"
#include "rtl/numbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QStringList MemoLines(const QPlainTextEdit* Memo)
{
    const QString text = Memo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void SetMemoLines(QPlainTextEdit* Memo, const QStringList& Lines)
{
    Memo->setPlainText(Lines.join(u'\n'));
}

QString CellText(const QTableWidget* Grid, int Row, int Column)
{
    const QTableWidgetItem* item = Grid->item(Row, Column);
    return item ? item->text() : QString();
}

void SetCellText(QTableWidget* Grid, int Row, int Column, const QString& Text)
{
    QTableWidgetItem* item = Grid->item(Row, Column);
    if (!item) {
        item = new QTableWidgetItem;
        if (Column == 0)
            item->setFlags(Qt::ItemIsEnabled);
        Grid->setItem(Row, Column, item);
    }
    item->setText(Text);
}

QWidget* NewRow(QWidget* Parent, const QString& Caption, QWidget*& Edit, QWidget* Control)
{
    auto* row = new QWidget(Parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(Caption, row));
    Control->setParent(row);
    layout->addWidget(Control, 1);
    Edit = Control;
    return row;
}

}  // namespace

void T_dlgDataModelEditor::CreateFieldProps()
{
    gbFieldGroupProps = new QGroupBox(QStringLiteral("Field/Group Properties"), splFields);
    splFields->addWidget(gbFieldGroupProps);
    splFields->setStretchFactor(0, 1);
    splFields->setSizes({560, 440});
    auto* box = new QVBoxLayout(gbFieldGroupProps);

    pnlGroupProps = new QWidget(gbFieldGroupProps);
    auto* groupLayout = new QFormLayout(pnlGroupProps);
    edGroupName = new QLineEdit(pnlGroupProps);
    groupLayout->addRow(QStringLiteral("&Group Name"), edGroupName);
    box->addWidget(pnlGroupProps);
    pnlGroupProps->hide();

    pcFieldProps = new QTabWidget(gbFieldGroupProps);
    box->addWidget(pcFieldProps, 1);
    pcFieldProps->hide();

    tsGeneral = new QWidget(pcFieldProps);
    pcFieldProps->addTab(tsGeneral, QStringLiteral("General"));
    auto* general = new QVBoxLayout(tsGeneral);
    auto* form = new QFormLayout;
    general->addLayout(form);
    edFldDisplayName = new QLineEdit(tsGeneral);
    form->addRow(QStringLiteral("Display name"), edFldDisplayName);
    cbGroups = new QComboBox(tsGeneral);
    form->addRow(QStringLiteral("Group name"), cbGroups);
    cbUseInConditions = new QCheckBox(QStringLiteral("Use in conditions"), tsGeneral);
    cbUseInResult = new QCheckBox(QStringLiteral("Use in result"), tsGeneral);
    form->addRow(cbUseInConditions, cbUseInResult);
    cbFieldType = new QComboBox(tsGeneral);
    cbFieldType->setMaxVisibleItems(16);
    form->addRow(QStringLiteral("Field type"), cbFieldType);
    edFieldSize = new QLineEdit(tsGeneral);
    form->addRow(QStringLiteral("Field size"), edFieldSize);
    gbDataFldParams = new QGroupBox(QStringLiteral("Data field params"), tsGeneral);
    auto* data = new QFormLayout(gbDataFldParams);
    cbQuotedField = new QCheckBox(QStringLiteral("Quote field name"), gbDataFldParams);
    data->addRow(cbQuotedField);
    lbTableName = new QLabel(gbDataFldParams);
    lbFieldName = new QLabel(gbDataFldParams);
    QFont bold = lbTableName->font();
    bold.setBold(true);
    lbTableName->setFont(bold);
    lbFieldName->setFont(bold);
    data->addRow(QStringLiteral("Table name && alias:"), lbTableName);
    data->addRow(QStringLiteral("Field name:"), lbFieldName);
    general->addWidget(gbDataFldParams, 1);
    gbVirtFldParams = new QGroupBox(QStringLiteral("Virtual field params"), tsGeneral);
    auto* virtualLayout = new QVBoxLayout(gbVirtFldParams);
    virtualLayout->addWidget(new QLabel(QStringLiteral("Expression"), gbVirtFldParams));
    memFldSQLExpr = new QPlainTextEdit(gbVirtFldParams);
    memFldSQLExpr->setTabChangesFocus(true);
    virtualLayout->addWidget(memFldSQLExpr, 1);
    general->addWidget(gbVirtFldParams, 1);

    tsFldOperators = new QWidget(pcFieldProps);
    pcFieldProps->addTab(tsFldOperators, QStringLiteral("Operators"));
    auto* operators = new QHBoxLayout(tsFldOperators);
    lbFldOps = new TDragListBox(tsFldOperators);
    operators->addWidget(lbFldOps, 1);
    auto* buttons = new QVBoxLayout;
    operators->addLayout(buttons);
    btAddFieldOperator = new QPushButton(QStringLiteral("&Add..."), tsFldOperators);
    btDeleteFieldOperator = new QPushButton(QStringLiteral("&Delete"), tsFldOperators);
    btDeleteAllFieldOperators = new QPushButton(QStringLiteral("Cl&ear"), tsFldOperators);
    for (QPushButton* button : {btAddFieldOperator, btDeleteFieldOperator, btDeleteAllFieldOperators}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    tsValueEditor = new QWidget(pcFieldProps);
    pcFieldProps->addTab(tsValueEditor, QStringLiteral("Value Editor"));
    auto* valueEditor = new QVBoxLayout(tsValueEditor);
    auto* typeForm = new QFormLayout;
    valueEditor->addLayout(typeForm);
    cbValueEditorType = new QComboBox(tsValueEditor);
    cbValueEditorType->addItems({QStringLiteral("Auto"), QStringLiteral("Edit"), QStringLiteral("List"),
        QStringLiteral("Custom"), QStringLiteral("SQL")});
    typeForm->addRow(QStringLiteral("Editor type"), cbValueEditorType);
    nbValueEditor = new QStackedWidget(tsValueEditor);
    valueEditor->addWidget(nbValueEditor, 1);
    nbValueEditor->addWidget(new QWidget(nbValueEditor));

    pnlVESImple = new QWidget(nbValueEditor);
    auto* simple = new QVBoxLayout(pnlVESImple);
    rgEditorKind = new TRadioGroup(QStringLiteral("Kind"),
        {QStringLiteral("Simple"), QStringLiteral("Mask"), QStringLiteral("Date"), QStringLiteral("Time")},
        pnlVESImple);
    simple->addWidget(rgEditorKind);
    QWidget* edit = nullptr;
    edDefValue = new QLineEdit;
    simple->addWidget(NewRow(pnlVESImple, QStringLiteral("Default value:"), edit, edDefValue));
    cbAutoUpperCase = new QCheckBox(QStringLiteral("Automatically convert to upper case"), pnlVESImple);
    cbAutoLowerCase = new QCheckBox(QStringLiteral("Automatically convert to lower case"), pnlVESImple);
    simple->addWidget(cbAutoUpperCase);
    simple->addWidget(cbAutoLowerCase);
    cbValueType = new QComboBox;
    cbValueType->addItems({QStringLiteral("String"), QStringLiteral("Integer"), QStringLiteral("Float")});
    pnlSimpleParams = NewRow(pnlVESImple, QStringLiteral("Type:"), edit, cbValueType);
    simple->addWidget(pnlSimpleParams);
    pnlMaskParams = new QWidget(pnlVESImple);
    auto* mask = new QHBoxLayout(pnlMaskParams);
    mask->setContentsMargins(0, 0, 0, 0);
    mask->addWidget(new QLabel(QStringLiteral("Mask:"), pnlMaskParams));
    edMask = new QLineEdit(pnlMaskParams);
    mask->addWidget(edMask, 1);
    cbUseFormattedValue = new QCheckBox(QStringLiteral("Use formatted value"), pnlMaskParams);
    mask->addWidget(cbUseFormattedValue);
    simple->addWidget(pnlMaskParams);
    simple->addStretch();
    nbValueEditor->addWidget(pnlVESImple);

    pnlVEList = new QWidget(nbValueEditor);
    auto* list = new QVBoxLayout(pnlVEList);
    sgEditorValues = new QTableWidget(1, 3, pnlVEList);
    sgEditorValues->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Values"), QStringLiteral("Captions")});
    sgEditorValues->verticalHeader()->hide();
    sgEditorValues->setTabKeyNavigation(false);
    sgEditorValues->verticalHeader()->setDefaultSectionSize(18);
    sgEditorValues->setColumnWidth(0, 22);
    sgEditorValues->setColumnWidth(1, 96);
    sgEditorValues->setColumnWidth(2, 96);
    sgEditorValues->installEventFilter(this);
    list->addWidget(sgEditorValues);
    nbValueEditor->addWidget(pnlVEList);

    gbVECustom = new QGroupBox(QStringLiteral("Custom Data"), nbValueEditor);
    auto* custom = new QVBoxLayout(gbVECustom);
    memCustomData = new QPlainTextEdit(gbVECustom);
    memCustomData->setTabChangesFocus(true);
    custom->addWidget(memCustomData);
    nbValueEditor->addWidget(gbVECustom);

    pnlVESQL = new QWidget(nbValueEditor);
    auto* sql = new QVBoxLayout(pnlVESQL);
    auto* explanation
        = new QLabel(QStringLiteral("Enter SQL statement to get the list of available values for this "
                                    "field. (First column of result set - values; second colum - "
                                    "captions)."),
            pnlVESQL);
    explanation->setWordWrap(true);
    sql->addWidget(explanation);
    mSQL = new QPlainTextEdit(pnlVESQL);
    mSQL->setTabChangesFocus(true);
    sql->addWidget(mSQL, 1);
    nbValueEditor->addWidget(pnlVESQL);

    OnSignal(edFldDisplayName, &QLineEdit::textEdited, &T_dlgDataModelEditor::FldDisplayNameChange);
    OnSignal(edGroupName, &QLineEdit::textEdited, &T_dlgDataModelEditor::edGroupNameChange);
    OnSignal(cbGroups, &QComboBox::activated, &T_dlgDataModelEditor::cbGroupsChange);
    OnSignal(cbFieldType, &QComboBox::activated, &T_dlgDataModelEditor::cbFieldTypeChange);
    OnSignal(btAddFieldOperator, &QPushButton::clicked, &T_dlgDataModelEditor::btAddFieldOperatorClick);
    OnSignal(btDeleteFieldOperator, &QPushButton::clicked, &T_dlgDataModelEditor::btDeleteFieldOperatorClick);
    OnSignal(btDeleteAllFieldOperators, &QPushButton::clicked, &T_dlgDataModelEditor::DelAllFieldOperators);
    OnSignal(lbFldOps, &QListWidget::itemSelectionChanged, &T_dlgDataModelEditor::EnableFldOps);
    OnSignal(cbValueEditorType, &QComboBox::activated, &T_dlgDataModelEditor::ValueEditorTypeChange);
    rgEditorKind->OnClick = [this] { EditorKindChange(); };
    connect(sgEditorValues, &QTableWidget::cellChanged, this,
        [this](int Row, int Column) { platform::Guarded([&] { sgEditorValuesSetEditText(Row, Column); }); });
    lbFldOps->OnStartDrag = [this] { FDragRow = lbFldOps->currentRow(); };
    lbFldOps->OnDragDrop = [this](QPoint Position) {
        const int row = lbFldOps->indexAt(Position).row();
        lbFldOpsDragDrop(row >= 0 ? row : lbFldOps->count() - 1);
    };
}

void T_dlgDataModelEditor::CommitField()
{
    TDSField* field = FCurrentField;
    if (!field)
        return;
    // Read before anything is written, so a size that is no number leaves the field as it was.
    const int size = rtl::StrToInt(edFieldSize->text());
    field->SetDisplayName(edFldDisplayName->text());
    field->SetEditType(uint8_t(std::max(cbValueEditorType->currentIndex(), 0)));
    // A type the editor does not list shows no entry and stays as it is.
    if (cbFieldType->currentIndex() >= 0)
        field->SetFieldType(EditorFieldTypes[cbFieldType->currentIndex()]);
    field->SetFieldSize(size);
    field->SetQuoted(cbQuotedField->isChecked());
    field->SetUseInConditions(cbUseInConditions->isChecked());
    field->SetUIR(cbUseInResult->isChecked());
    if (field->Kind() == zfkVirtual)
        field->SetExpression(memFldSQLExpr->toPlainText());
    if (auto* text = EditorOf<TDSTextEditor>(*field)) {
        text->SetDefValue(edDefValue->text());
        text->SetValType(uint8_t(std::max(cbValueType->currentIndex(), 0)));
        text->SetEditKind(uint8_t(std::max(rgEditorKind->ItemIndex(), 0)));
        text->SetEditMask(edMask->text());
        text->SetFmtVal(cbUseFormattedValue->isChecked());
        text->SetOption(TDSTextEditor::eoUpperCase, cbAutoUpperCase->isChecked());
        text->SetOption(TDSTextEditor::eoLowerCase, cbAutoLowerCase->isChecked());
    } else if (auto* sql = EditorOf<TDSSQLEditor>(*field)) {
        sql->SQL() = MemoLines(mSQL);
        sql->SetActive(false);
    } else if (auto* values = EditorOf<TDSListEditor>(*field)) {
        values->Values().clear();
        values->Items().clear();
        for (int row = 0; row < sgEditorValues->rowCount() - 1; ++row) {
            values->Values().append(CellText(sgEditorValues, row, 1));
            values->Items().append(CellText(sgEditorValues, row, 2));
        }
    } else if (auto* custom = EditorOf<TDSCustomEditor>(*field)) {
        custom->CustomData() = MemoLines(memCustomData);
    }
}

void T_dlgDataModelEditor::ShowField()
{
    btAddFieldOperator->setEnabled(false);
    CommitField();
    if (FCurrentGroup && FCurrentGroup != FModel->RootGroup() && !FCurrentField) {
        FCurrentGroup->SetGroupName(edGroupName->text());
        FillGroupsCombo();
    }
    QTreeWidgetItem* node = tvFields->currentItem();
    if (!node) {
        FFieldsToolsShown = false;
        UpdateToolbar();
        pnlGroupProps->hide();
        pcFieldProps->hide();
        FCurrentGroup = nullptr;
        FCurrentField = nullptr;
        return;
    }
    FFieldsToolsShown = true;
    UpdateToolbar();
    if (TDSField* field = NodeField(node)) {
        FillField(field);
    } else {
        pcFieldProps->hide();
        pnlGroupProps->show();
        FCurrentField = nullptr;
        FCurrentGroup = NodeGroup(node);
        edGroupName->setText(FCurrentGroup->GroupName());
    }
    UpdateFieldButtons();
}

void T_dlgDataModelEditor::FillField(TDSField* Field)
{
    FCurrentField = Field;
    FCurrentGroup = Field->Group();
    cbFieldType->setCurrentIndex(EditorTypeIndex(Field->FieldType()));
    edFieldSize->setText(QString::number(Field->FieldSize()));
    edFldDisplayName->setText(Field->DisplayName());
    cbUseInConditions->setChecked(Field->UIC());
    cbUseInResult->setChecked(Field->UIR());
    edGroupName->setText(FCurrentGroup ? FCurrentGroup->GroupName() : QString());
    const bool data = Field->Kind() == zfkData;
    gbVirtFldParams->setVisible(!data);
    gbDataFldParams->setVisible(data);
    if (data) {
        lbTableName->setText(Field->Tables().isEmpty() ? QString() : Field->Tables().first()->GetCaption());
        lbFieldName->setText(Field->FieldExpr());
        cbQuotedField->setChecked(Field->Quoted());
    } else {
        memFldSQLExpr->setPlainText(Field->GetSQLExpr());
    }
    int index = -1;
    const TDSFieldGroup* group = FModel->FieldGroups().FindFieldGroup(Field, index);
    {
        const QSignalBlocker block(cbGroups);
        cbGroups->setCurrentIndex(group ? FModel->FieldGroups().IndexOf(group) + 1 : 0);
    }
    cbValueEditorType->setCurrentIndex(Field->EditType());
    ValueEditorTypeChange();
    FillFieldOperators();
    btAddFieldOperator->setEnabled(true);
    EnableFldOps();

    ResetValueEditorControls();
    if (const auto* text = EditorOf<TDSTextEditor>(*Field)) {
        edDefValue->setText(text->DefValue());
        edMask->setText(text->EditMask());
        cbValueType->setCurrentIndex(text->ValType());
        cbUseFormattedValue->setChecked(text->FmtVal());
        rgEditorKind->SetItemIndex(
            text->EditKind() == 0 && !text->EditMask().isEmpty() ? 1 : text->EditKind());
        cbAutoUpperCase->setChecked(text->HasOption(TDSTextEditor::eoUpperCase));
        cbAutoLowerCase->setChecked(text->HasOption(TDSTextEditor::eoLowerCase));
    } else if (const auto* sql = EditorOf<TDSSQLEditor>(*Field)) {
        SetMemoLines(mSQL, sql->SQL());
    } else if (const auto* values = EditorOf<TDSListEditor>(*Field)) {
        const QSignalBlocker block(sgEditorValues);
        SetGridRowCount(int(values->Values().size()) + 1);
        for (int i = 0; i < values->Values().size(); ++i) {
            SetCellText(sgEditorValues, i, 0, QString::number(i + 1));
            SetCellText(sgEditorValues, i, 1, values->Values()[i]);
            SetCellText(sgEditorValues, i, 2, values->Items().value(i));
        }
        for (int column = 0; column < sgEditorValues->columnCount(); ++column)
            SetCellText(sgEditorValues, sgEditorValues->rowCount() - 1, column, QString());
    } else if (const auto* custom = EditorOf<TDSCustomEditor>(*Field)) {
        SetMemoLines(memCustomData, custom->CustomData());
    }
    EditorKindChange();
    pnlGroupProps->hide();
    pcFieldProps->show();
}

void T_dlgDataModelEditor::ResetValueEditorControls()
{
    edDefValue->clear();
    edMask->clear();
    rgEditorKind->SetItemIndex(0);
    cbAutoUpperCase->setChecked(false);
    cbAutoLowerCase->setChecked(false);
    {
        const QSignalBlocker block(sgEditorValues);
        SetGridRowCount(1);
        for (int column = 0; column < sgEditorValues->columnCount(); ++column)
            SetCellText(sgEditorValues, 0, column, QString());
    }
    memCustomData->clear();
    mSQL->clear();
}

void T_dlgDataModelEditor::SetGridRowCount(int Rows)
{
    sgEditorValues->setRowCount(Rows);
}

void T_dlgDataModelEditor::FillFieldOperators()
{
    const QSignalBlocker block(lbFldOps);
    lbFldOps->clear();
    if (!FCurrentField)
        return;
    for (const TDSOperator* op : FCurrentField->Operators())
        lbFldOps->addItem(op->Name());
}

void T_dlgDataModelEditor::FldDisplayNameChange()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    if (!node)
        return;
    const QSignalBlocker block(tvFields);
    node->setText(0, edFldDisplayName->text());
}

void T_dlgDataModelEditor::edGroupNameChange()
{
    QTreeWidgetItem* node = tvFields->currentItem();
    if (!node || IsFieldNode(node))
        return;
    const QSignalBlocker block(tvFields);
    node->setText(0, edGroupName->text());
}

void T_dlgDataModelEditor::cbGroupsChange()
{
    TDSField* field = FCurrentField;
    QTreeWidgetItem* old = tvFields->currentItem();
    if (!field || NodeField(old) != field)
        return;
    auto* chosen = static_cast<TDSFieldGroup*>(cbGroups->currentData().value<void*>());
    TDSFieldGroup* source = GroupOrRoot(field->Group());
    if (!chosen || chosen == source)
        return;
    RemoveFieldFromGroup(source, source->IndexOf(field));
    chosen->Add(field);
    QTreeWidgetItem* node = AddChildFieldNode(FindGroupNode(chosen), field);
    {
        const QSignalBlocker block(tvFields);
        node->setText(0, old->text(0));
        delete old;
        tvFields->setCurrentItem(node);
    }
    ShowField();
}

void T_dlgDataModelEditor::cbFieldTypeChange()
{
    if (!FCurrentField || cbFieldType->currentIndex() < 0)
        return;
    // The operators follow the chosen type, not the one committed last.
    FCurrentField->SetFieldType(EditorFieldTypes[cbFieldType->currentIndex()]);
    FCurrentField->ResetOperators();
    FillFieldOperators();
    EnableFldOps();
}

void T_dlgDataModelEditor::btAddFieldOperatorClick()
{
    if (!FCurrentField)
        return;
    TdlgListPnl picker(this);
    picker.setWindowTitle(QStringLiteral("Operators list"));
    picker.pnlGroups()->hide();
    picker.ShowList(true);
    picker.SetMultiSelect(true);
    for (const TDSOperator* op : FModel->Operators()) {
        if (FCurrentField->IndexOfOperator(op) < 0)
            picker.lbList()->addItem(op->Name());
    }
    const auto enable = qScopeGuard([this] { EnableFldOps(); });
    if (picker.exec() != QDialog::Accepted)
        return;
    for (const QString& name : picker.Result()) {
        FCurrentField->AddOperatorByName(name);
        lbFldOps->addItem(name);
    }
}

void T_dlgDataModelEditor::btDeleteFieldOperatorClick()
{
    const int row = lbFldOps->currentRow();
    if (!FCurrentField || row < 0)
        return;
    FCurrentField->DeleteOperator(row);
    {
        const QSignalBlocker block(lbFldOps);
        delete lbFldOps->takeItem(row);
        if (lbFldOps->count() > 0)
            lbFldOps->setCurrentRow(std::min(row, lbFldOps->count() - 1));
    }
    EnableFldOps();
}

void T_dlgDataModelEditor::DelAllFieldOperators()
{
    const auto enable = qScopeGuard([this] { EnableFldOps(); });
    if (!FCurrentField || ConfirmMessage(QStringLiteral("Delete all operators?")) != platform::IDYES)
        return;
    while (FCurrentField->GetOperatorCount() > 0)
        FCurrentField->DeleteOperator(0);
    const QSignalBlocker block(lbFldOps);
    lbFldOps->clear();
}

void T_dlgDataModelEditor::EnableFldOps()
{
    const bool selected = lbFldOps->currentRow() >= 0 && !lbFldOps->selectedItems().isEmpty();
    btDeleteFieldOperator->setEnabled(selected);
    btDeleteAllFieldOperators->setEnabled(selected);
}

void T_dlgDataModelEditor::lbFldOpsDragDrop(int TargetRow)
{
    const int from = FDragRow;
    FDragRow = -1;
    if (!FCurrentField || from < 0 || from >= lbFldOps->count() || TargetRow < 0 || TargetRow == from)
        return;
    FCurrentField->MoveOperator(from, TargetRow);
    const QSignalBlocker block(lbFldOps);
    lbFldOps->insertItem(TargetRow, lbFldOps->takeItem(from));
    lbFldOps->setCurrentRow(TargetRow);
}

void T_dlgDataModelEditor::ValueEditorTypeChange()
{
    nbValueEditor->setCurrentIndex(std::max(cbValueEditorType->currentIndex(), 0));
}

void T_dlgDataModelEditor::EditorKindChange()
{
    const int kind = rgEditorKind->ItemIndex();
    pnlSimpleParams->setVisible(kind == 0);
    pnlMaskParams->setVisible(kind == 1);
    cbAutoUpperCase->setVisible(kind == 0 || kind == 1);
    cbAutoLowerCase->setVisible(kind == 0 || kind == 1);
}

void T_dlgDataModelEditor::sgEditorValuesSetEditText(int Row, int Column)
{
    if (Column == 0)
        return;
    const QSignalBlocker block(sgEditorValues);
    const int last = sgEditorValues->rowCount() - 1;
    auto empty = [this](int Row) {
        return CellText(sgEditorValues, Row, 1).isEmpty() && CellText(sgEditorValues, Row, 2).isEmpty();
    };
    if (Row == last && !CellText(sgEditorValues, Row, Column).isEmpty()) {
        SetCellText(sgEditorValues, Row, 0, QString::number(Row + 1));
        sgEditorValues->insertRow(last + 1);
        for (int column = 0; column < sgEditorValues->columnCount(); ++column)
            SetCellText(sgEditorValues, last + 1, column, QString());
    } else if (Row == last - 1 && empty(Row) && empty(last)) {
        sgEditorValues->removeRow(last);
        SetCellText(sgEditorValues, Row, 0, QString());
    }
}

bool T_dlgDataModelEditor::sgEditorValuesKeyDown(QKeyEvent* Event)
{
    const int row = sgEditorValues->currentRow();
    if (Event->key() != Qt::Key_Delete || (Event->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier
        || sgEditorValues->rowCount() <= 1 || row < 0 || row == sgEditorValues->rowCount() - 1)
        return false;
    DeleteGridRow(row);
    return true;
}

void T_dlgDataModelEditor::DeleteGridRow(int Row)
{
    const QSignalBlocker block(sgEditorValues);
    sgEditorValues->removeRow(Row);
    for (int row = Row; row < sgEditorValues->rowCount() - 1; ++row)
        SetCellText(sgEditorValues, row, 0, QString::number(row + 1));
}
