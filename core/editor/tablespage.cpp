#include "core/design/designpanel.h"
#include "core/design/tablepicker.h"
#include "core/editor/datamodeleditor.h"
#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "core/ui/fieldtree.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"
#include "rtl/format.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScopeGuard>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

void T_dlgDataModelEditor::CreateTablesPage()
{
    pnlTablesTools = NewToolPanel(pnlToolbar);
    sbAddTable = NewToolButton(pnlTablesTools, QStringLiteral("Add table"), QStringLiteral("Add table"));
    sbDelTable
        = NewToolButton(pnlTablesTools, QStringLiteral("Delete table"), QStringLiteral("Delete table"));
    sbAddLink = NewToolButton(pnlTablesTools, QStringLiteral("Add link"), QStringLiteral("Add link"));
    sbAddLink->setCheckable(true);
    sbEditLink = NewToolButton(pnlTablesTools, QStringLiteral("Edit link"), QStringLiteral("Edit link"));
    sbDelLink = NewToolButton(pnlTablesTools, QStringLiteral("Delete link"), QStringLiteral("Delete link"));
    sbDelTable->setEnabled(false);
    sbDelLink->setEnabled(false);

    QVBoxLayout* leftLayout = NewSplitPage(tsTables, splTables);
    QWidget* left = leftLayout->parentWidget();
    pnlTablesTop = new QWidget(left);
    auto* top = new QHBoxLayout(pnlTablesTop);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(new QLabel(QStringLiteral("Active Table:"), pnlTablesTop));
    cbTablesList = new QComboBox(pnlTablesTop);
    top->addWidget(cbTablesList, 1);
    leftLayout->addWidget(pnlTablesTop);
    pnlTablesMain = new QWidget(left);
    auto* main = new QVBoxLayout(pnlTablesMain);
    main->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(pnlTablesMain, 1);

    DesignPanel = new TZStructDesignPanel(pnlTablesMain);
    main->addWidget(DesignPanel);
    DesignPanel->SetShowFullScreenButton(true);
    DesignPanel->SetShowActionHints(true);
    DesignPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    // The panel calls its events from inside its own operations: a failure stops here.
    DesignPanel->OnAddLinkStart
        = [this](QObject*) { platform::Guarded([this] { DesignPanelAddLinkStart(); }); };
    DesignPanel->OnAddLinkFinish = [this](QObject*, TLinkRep* NewLink) {
        platform::Guarded([&] { DesignPanelAddLinkFinish(NewLink); });
    };
    DesignPanel->OnSelectTable
        = [this](QObject*) { platform::Guarded([this] { DesignPanelSelectTable(); }); };
    DesignPanel->OnSelectLink = [this](QObject*) { platform::Guarded([this] { DesignPanelSelectLink(); }); };

    auto* right = new QWidget(splTables);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    gbTableOptions = new QGroupBox(QStringLiteral("Table Options"), right);
    auto* options = new QFormLayout(gbTableOptions);
    edTblAlias = new QLineEdit(gbTableOptions);
    options->addRow(QStringLiteral("Table alias"), edTblAlias);
    edTblHints = new QComboBox(gbTableOptions);
    edTblHints->setEditable(true);
    edTblHints->setInsertPolicy(QComboBox::NoInsert);
    edTblHints->addItems({QStringLiteral("NOLOCK"), QStringLiteral("HOLDLOCK"), QStringLiteral("PAGLOCK "),
        QStringLiteral("READCOMMITTED "), QStringLiteral("READPAST "), QStringLiteral("READUNCOMMITTED "),
        QStringLiteral("REPEATABLEREAD "), QStringLiteral("ROWLOCK "), QStringLiteral("SERIALIZABLE "),
        QStringLiteral("TABLOCK "), QStringLiteral("TABLOCKX "), QStringLiteral("UPDLOCK "),
        QStringLiteral("XLOCK ")});
    edTblHints->setCurrentIndex(-1);
    options->addRow(QStringLiteral("Table hint(s)"), edTblHints);
    cbQuotedTable = new QCheckBox(QStringLiteral("Quote table name"), gbTableOptions);
    options->addRow(cbQuotedTable);
    cbDefaultMain = new QCheckBox(QStringLiteral("Default main"), gbTableOptions);
    options->addRow(cbDefaultMain);
    rightLayout->addWidget(gbTableOptions);
    gbTableLinks = new QGroupBox(QStringLiteral("Table Links "), right);
    auto* links = new QVBoxLayout(gbTableLinks);
    lbTableLinks = new QListWidget(gbTableLinks);
    links->addWidget(lbTableLinks);
    rightLayout->addWidget(gbTableLinks, 1);
    splTables->addWidget(right);
    splTables->setStretchFactor(0, 1);

    pmTables = new QMenu(this);
    miAddTable = pmTables->addAction(QStringLiteral("Add new table"));
    miAddTable->setShortcut(QKeySequence(Qt::Key_Insert));
    miDelTable = pmTables->addAction(QStringLiteral("Delete active table "));
    miDelTable->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    pmTables->addSeparator();
    miAddLink = pmTables->addAction(QStringLiteral("Add new link"));
    miAddLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    miEditLink = pmTables->addAction(QStringLiteral("Edit active link"));
    miEditLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    miDelLink = pmTables->addAction(QStringLiteral("Delete active link"));
    miDelLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    for (QAction* action : pmTables->actions()) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        DesignPanel->addAction(action);
    }

    OnSignal(sbAddTable, &QToolButton::clicked, &T_dlgDataModelEditor::AddTable);
    OnSignal(miAddTable, &QAction::triggered, &T_dlgDataModelEditor::AddTable);
    OnSignal(sbDelTable, &QToolButton::clicked, &T_dlgDataModelEditor::DelTable);
    OnSignal(miDelTable, &QAction::triggered, &T_dlgDataModelEditor::DelTable);
    OnSignal(sbAddLink, &QToolButton::clicked, &T_dlgDataModelEditor::AddLink);
    OnSignal(miAddLink, &QAction::triggered, &T_dlgDataModelEditor::AddLink);
    OnSignal(sbEditLink, &QToolButton::clicked, &T_dlgDataModelEditor::EditLink);
    OnSignal(miEditLink, &QAction::triggered, &T_dlgDataModelEditor::EditLink);
    OnSignal(sbDelLink, &QToolButton::clicked, &T_dlgDataModelEditor::DelLink);
    OnSignal(miDelLink, &QAction::triggered, &T_dlgDataModelEditor::DelLink);
    OnSignal(cbTablesList, &QComboBox::activated, &T_dlgDataModelEditor::cbTablesListChange);
    OnSignal(lbTableLinks, &QListWidget::itemClicked, &T_dlgDataModelEditor::lbTableLinksClick);
    OnSignal(lbTableLinks, &QListWidget::itemDoubleClicked, &T_dlgDataModelEditor::lbTableLinksDblClick);
    connect(DesignPanel, &QWidget::customContextMenuRequested, this,
        [this](QPoint Position) { pmTables->popup(DesignPanel->mapToGlobal(Position)); });
}

void T_dlgDataModelEditor::FillTablesList()
{
    QStringList captions;
    QList<TDSTable*> tables;
    FModel->GetTableNames(tlCaption, captions, &tables);
    const QSignalBlocker block(cbTablesList);
    cbTablesList->clear();
    for (int i = 0; i < captions.size(); ++i)
        cbTablesList->addItem(captions[i], QVariant::fromValue(static_cast<void*>(tables[i])));
    cbTablesList->setCurrentIndex(
        cbTablesList->findData(QVariant::fromValue(static_cast<void*>(FCurrentTable))));
}

QString T_dlgDataModelEditor::UniqueAlias(const TDSTable* Table) const
{
    const QString base = QString(Table->Name()).replace(u' ', u'_');
    QString alias = base;
    for (int n = 1;; ++n) {
        const TDSTable* holder = FModel->FindTable(tlAlias, alias);
        if (!holder || holder == Table)
            return alias;
        alias = base + QString::number(n);
    }
}

void T_dlgDataModelEditor::CommitTable()
{
    TDSTable* table = FCurrentTable;
    if (!table)
        return;
    const QString caption = table->GetCaption();
    const QString alias = edTblAlias->text().replace(u' ', u'_');
    // Queries and links name a table by its alias, so it must be there and name one table only.
    if (alias != table->Alias()) {
        if (alias.isEmpty())
            throw rtl::Exception(QStringLiteral("A table alias cannot be empty"));
        const TDSTable* holder = FModel->FindTable(tlAlias, alias);
        if (holder && holder != table)
            throw rtl::Exception(
                rtl::Format(QStringLiteral("The alias \"%s\" is taken by another table"), alias));
    }
    table->SetAlias(alias);
    table->SetHints(edTblHints->currentText());
    table->SetQuoted(cbQuotedTable->isChecked());
    if (cbDefaultMain->isChecked())
        FModel->SetDefaultMainTable(table);
    else if (FModel->DefaultMainTable() == table)
        FModel->SetDefaultMainTable(nullptr);
    if (table->GetCaption() != caption)
        FillTablesList();
}

void T_dlgDataModelEditor::DesignPanelSelectTable()
{
    if (FRevertingTable)
        return;
    try {
        CommitTable();
    } catch (...) {
        // The panel goes back to the table whose options are wrong, keeping what was typed.
        FRevertingTable = true;
        const auto reset = qScopeGuard([this] { FRevertingTable = false; });
        DesignPanel->SelectTable(DesignPanel->FindTableRep(FCurrentTable));
        throw;
    }
    if (TTableRep* selected = DesignPanel->SelectedTable()) {
        TDSTable* table = selected->Table();
        FCurrentTable = table;
        {
            const QSignalBlocker block(cbTablesList);
            cbTablesList->setCurrentIndex(
                cbTablesList->findData(QVariant::fromValue(static_cast<void*>(table))));
        }
        edTblAlias->setText(table->Alias());
        cbQuotedTable->setChecked(table->Quoted());
        cbDefaultMain->setChecked(FModel->DefaultMainTable() == table);
        edTblHints->setEditText(table->Hints());
        const QSignalBlocker block(lbTableLinks);
        lbTableLinks->clear();
        for (TDSLink* link : table->Links()) {
            auto* item = new QListWidgetItem(link->GetCaption(), lbTableLinks);
            item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(link)));
        }
        DesignPanelSelectLink();
    }
    UpdateTableButtons();
}

void T_dlgDataModelEditor::DesignPanelSelectLink()
{
    TLinkRep* selected = DesignPanel->SelectedLink();
    const QVariant link = QVariant::fromValue(static_cast<void*>(selected ? selected->Link() : nullptr));
    const QSignalBlocker block(lbTableLinks);
    lbTableLinks->clearSelection();
    lbTableLinks->setCurrentRow(-1);
    for (int i = 0; selected && i < lbTableLinks->count(); ++i) {
        if (lbTableLinks->item(i)->data(Qt::UserRole) == link)
            lbTableLinks->setCurrentRow(i);
    }
    UpdateTableButtons();
}

void T_dlgDataModelEditor::cbTablesListChange()
{
    auto* table = static_cast<TDSTable*>(cbTablesList->currentData().value<void*>());
    DesignPanel->SelectTable(table ? DesignPanel->FindTableRep(table) : nullptr);
}

void T_dlgDataModelEditor::lbTableLinksClick()
{
    QListWidgetItem* item = lbTableLinks->currentItem();
    if (!item)
        return;
    auto* link = static_cast<TDSLink*>(item->data(Qt::UserRole).value<void*>());
    DesignPanel->SelectLink(DesignPanel->FindLinkRep(link));
}

void T_dlgDataModelEditor::lbTableLinksDblClick()
{
    lbTableLinksClick();
    EditLink();
}

void T_dlgDataModelEditor::AddTable()
{
    QList<TDSTable*> added;
    bool autoAddFields = false;
    if (!DesignPanel->AddTables(&added, autoAddFields))
        return;
    // A table added again must not share its alias with the one already there.
    for (TDSTable* table : added)
        table->SetAlias(UniqueAlias(table));
    if (FCurrentTable && added.contains(FCurrentTable))
        edTblAlias->setText(FCurrentTable->Alias());
    FillTablesList();
    edTblAlias->setFocus();
    if (autoAddFields) {
        for (TDSTable* table : added)
            AddTableFields(table);
    }
    UpdateTableButtons();
}

void T_dlgDataModelEditor::AddTableFields(TDSTable* Table)
{
    auto* group = new TDSFieldGroup(FModel.get());
    group->SetGroupName(Table->Name());
    FModel->FieldGroups().Add(group);
    FillGroupsCombo();
    QTreeWidgetItem* node = AddGroupNode(group);
    QStringList names;
    WithTableDatabase(
        FModel->DatabaseInfo(), Table, [&] { FModel->DatabaseInfo()->GetFieldNames(Table->Name(), names); });
    for (const QString& name : names) {
        TDSField* field = FModel->Fields()[FModel->AddField(zfkData, name, Table, name)];
        field->ResetOperators();
        field->SetGroup(group);
        AddChildFieldNode(node, field);
    }
}

void T_dlgDataModelEditor::AddLink()
{
    if (DesignPanel->AddLinkState() != TZStructDesignPanel::alsIdle)
        DesignPanel->CancelAddLink();
    else
        DesignPanel->StartAddLink();
    sbAddLink->setChecked(DesignPanel->AddLinkState() != TZStructDesignPanel::alsIdle);
}

void T_dlgDataModelEditor::DesignPanelAddLinkStart()
{
    sbAddLink->setChecked(true);
}

void T_dlgDataModelEditor::DesignPanelAddLinkFinish(TLinkRep*)
{
    sbAddLink->setChecked(false);
    UpdateTableButtons();
}

void T_dlgDataModelEditor::DelTable()
{
    TTableRep* selected = DesignPanel->SelectedTable();
    if (!selected)
        return;
    const QString question = rtl::Format(QStringLiteral("Delete Table \"%s\"?"), selected->Table()->Name());
    if (ConfirmMessage(question) != platform::IDYES)
        return;
    // Everything pending is written first: the pages are refilled from the model afterwards.
    CommitAll();
    DesignPanel->DeleteSelectedTable();
    FCurrentField = nullptr;
    if (!DesignPanel->SelectedTable())
        FCurrentTable = nullptr;
    RefreshAll();
    UpdateTableButtons();
}

void T_dlgDataModelEditor::DelLink()
{
    TLinkRep* selected = DesignPanel->SelectedLink();
    if (!selected)
        return;
    TDSLink* link = selected->Link();
    const QString question = rtl::Format(QStringLiteral("Delete Link between tables \"%s\" and \"%s\"?"),
        link->Table1()->Name(), link->Table2()->Name());
    if (ConfirmMessage(question) != platform::IDYES)
        return;
    for (int i = lbTableLinks->count() - 1; i >= 0; --i) {
        if (lbTableLinks->item(i)->data(Qt::UserRole).value<void*>() == link)
            delete lbTableLinks->takeItem(i);
    }
    DesignPanel->DeleteSelectedLink();
    UpdateTableButtons();
}

void T_dlgDataModelEditor::EditLink()
{
    TLinkRep* selected = DesignPanel->SelectedLink();
    if (!selected)
        return;
    TDSLink* link = selected->Link();
    const auto caption = qScopeGuard([this, link] {
        for (int i = 0; i < lbTableLinks->count(); ++i) {
            if (lbTableLinks->item(i)->data(Qt::UserRole).value<void*>() == link)
                lbTableLinks->item(i)->setText(link->GetCaption());
        }
    });
    DesignPanel->EditSelectedLink();
}

void T_dlgDataModelEditor::UpdateTableButtons()
{
    const bool info = HasDatabaseInfo();
    const bool table = DesignPanel->SelectedTable() != nullptr;
    const bool link = DesignPanel->SelectedLink() != nullptr;
    const bool tables = FModel->GetTableCount() > 1;
    sbAddTable->setEnabled(info);
    miAddTable->setEnabled(info);
    sbDelTable->setEnabled(table);
    miDelTable->setEnabled(table);
    sbAddLink->setEnabled(info && tables);
    miAddLink->setEnabled(info && tables);
    for (QToolButton* button : {sbEditLink, sbDelLink})
        button->setEnabled(link);
    miEditLink->setEnabled(link);
    miDelLink->setEnabled(link);
}
