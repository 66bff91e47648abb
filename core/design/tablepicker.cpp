#include "core/design/tablepicker.h"

#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "platform/cursor.h"
#include "platform/exceptionguard.h"
#include "rtl/strutils.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

void SortNames(QStringList& Names)
{
    std::stable_sort(Names.begin(), Names.end(),
        [](const QString& A, const QString& B) { return rtl::CompareText(A, B) < 0; });
}

void SetSortedItems(QListWidget* List, QStringList Names)
{
    SortNames(Names);
    List->clear();
    List->addItems(Names);
}

void InsertSorted(QListWidget* List, const QString& Name)
{
    int row = 0;
    while (row < List->count() && rtl::CompareText(List->item(row)->text(), Name) <= 0)
        ++row;
    List->insertItem(row, Name);
}

void WithTableDatabase(TZDBInfo* Info, const TDSTable* Table, const std::function<void()>& Action)
{
    if (!Table || Table->DBName().isEmpty()) {
        Action();
        return;
    }
    const QString previous = Info->GetCurrentDBName();
    Info->SetCurrentDBName(Table->DBName());
    try {
        Action();
    } catch (...) {
        Info->SetCurrentDBName(previous);
        throw;
    }
    Info->SetCurrentDBName(previous);
}

QWidget* NewOkCancelColumn(QDialog* Dialog, const QString& OKCaption, const QString& CancelCaption,
    QPushButton*& OK, QPushButton*& Cancel)
{
    auto* column = new QWidget(Dialog);
    OK = new QPushButton(OKCaption, column);
    OK->setDefault(true);
    Cancel = new QPushButton(CancelCaption, column);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(OK);
    layout->addWidget(Cancel);
    layout->addStretch();
    QObject::connect(OK, &QPushButton::clicked, Dialog, &QDialog::accept);
    QObject::connect(Cancel, &QPushButton::clicked, Dialog, &QDialog::reject);
    return column;
}

TdlgListPnl::TdlgListPnl(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Tables list"));

    FpnlGroups = new QWidget(this);
    FlblGroups = new QLabel(QStringLiteral("<Groups>"), FpnlGroups);
    FcbGroups = new QComboBox(FpnlGroups);
    FcbGroups->setMaxVisibleItems(20);
    FlblGroups->setBuddy(FcbGroups);
    auto* groupsLayout = new QVBoxLayout(FpnlGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addWidget(FlblGroups);
    groupsLayout->addWidget(FcbGroups);

    FgbItems = new QGroupBox(QStringLiteral("Items"), this);
    FlbList = new QListWidget(FgbItems);
    FmemList = new QPlainTextEdit(FgbItems);
    FmemList->setTabChangesFocus(true);
    FmemList->setVisible(false);
    auto* itemsLayout = new QVBoxLayout(FgbItems);
    itemsLayout->addWidget(FlbList);
    itemsLayout->addWidget(FmemList);

    FpnlAutoAddFields = new QWidget(this);
    FchbAutoAddFields = new QCheckBox(QStringLiteral("Automatically add fields"), FpnlAutoAddFields);
    auto* autoLayout = new QHBoxLayout(FpnlAutoAddFields);
    autoLayout->setContentsMargins(0, 0, 0, 0);
    autoLayout->addWidget(FchbAutoAddFields);
    FpnlAutoAddFields->setVisible(false);

    QWidget* pnlRight
        = NewOkCancelColumn(this, QStringLiteral("OK"), QStringLiteral("Cancel"), FOK, FpbCancel);

    auto* left = new QVBoxLayout;
    left->addWidget(FpnlGroups);
    left->addWidget(FgbItems, 1);
    left->addWidget(FpnlAutoAddFields);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(pnlRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    FgbItems->setMinimumSize(240, 280);

    connect(FlbList, &QListWidget::itemDoubleClicked, this, [this] { lbListDblClick(); });
    connect(FcbGroups, &QComboBox::activated, this,
        [this] { platform::Guarded([this] { cbGroupsActivated(); }); });
    FcbGroups->installEventFilter(this);
}

TdlgListPnl::~TdlgListPnl() = default;

void TdlgListPnl::SetupDBTables(TZDBInfo* Info, uint8_t Flags)
{
    if (!Info)
        throw EZDBStructError::Create(dseNoDatabaseInfo);
    FDBInfo = Info;
    FlblGroups->setText(QStringLiteral("Databases"));
    FgbItems->setTitle(QStringLiteral("Tables/Views list"));
    setWindowTitle(QStringLiteral("Tables/Views list"));
    FcbGroups->setEditable(true);
    FcbGroups->setInsertPolicy(QComboBox::NoInsert);
    if (FcbGroups->lineEdit())
        FcbGroups->lineEdit()->installEventFilter(this);
    cbGroupsOnClick = [this](QObject* Sender) { DatabaseChanged(Sender); };
    cbGroupsOnChange = nullptr;

    const bool connected = Info->IsConnected();
    FpnlAutoAddFields->setVisible(connected && (Flags & lpfShowAutoAddFields));
    FchbAutoAddFields->setChecked(connected && (Flags & lpfAutoAddFields));
    if (connected) {
        QStringList databases;
        Info->GetDatabaseNames(databases);
        FillGroups(databases, {});
        QStringList tables;
        Info->GetTableList(tables);
        SetSortedItems(FlbList, tables);
        FListedDBName = Info->GetCurrentDBName();
    }
    FcbGroups->setEditText(Info->GetCurrentDBName());
    FpnlGroups->setVisible(connected && FcbGroups->count() > 0);
    ShowList(connected);
    SetMultiSelect(Flags & lpfMultiSelect);
}

void TdlgListPnl::SetupTableFields(TZCustomDBStructure* DBStruct, const QString& TableName, int Flags)
{
    if (!DBStruct || !DBStruct->DatabaseInfo())
        throw EZDBStructError::Create(dseNoDatabaseInfo);
    FDBInfo = DBStruct->DatabaseInfo();
    FlblGroups->setText(QStringLiteral("Tables/Views list"));
    FgbItems->setTitle(QStringLiteral("Fields"));
    setWindowTitle(QStringLiteral("Fields"));
    FcbGroups->setEditable(false);
    FpnlAutoAddFields->setVisible(false);
    cbGroupsOnClick = nullptr;

    QStringList captions;
    QList<TDSTable*> tables;
    DBStruct->GetTableNames(tlCaption, captions, &tables);
    FillGroups(captions, tables);
    FcbGroups->setCurrentIndex(-1);
    for (int i = 0; i < FcbGroups->count(); ++i) {
        if (rtl::SameText(FcbGroups->itemText(i), TableName)) {
            FcbGroups->setCurrentIndex(i);
            break;
        }
    }

    const bool connected = FDBInfo->IsConnected();
    ShowList(connected);
    if (connected) {
        cbGroupsOnChange = [this](QObject* Sender) { TableChanged(Sender); };
        TableChanged(FcbGroups);
    } else {
        cbGroupsOnChange = nullptr;
    }
    SetMultiSelect(Flags & lpfMultiSelect);
}

void TdlgListPnl::FillGroups(const QStringList& Captions, const QList<TDSTable*>& Tables)
{
    std::vector<int> order(Captions.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&](int A, int B) { return rtl::CompareText(Captions[A], Captions[B]) < 0; });
    const QSignalBlocker blocker(FcbGroups);
    FcbGroups->clear();
    for (int i : order) {
        FcbGroups->addItem(
            Captions[i], i < Tables.size() ? QVariant::fromValue(static_cast<void*>(Tables[i])) : QVariant());
    }
}

void TdlgListPnl::SetMultiSelect(bool Value)
{
    FlbList->setSelectionMode(
        Value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TdlgListPnl::ShowList(bool Value)
{
    FlbList->setVisible(Value);
    FmemList->setVisible(!Value);
}

void TdlgListPnl::DatabaseChanged(QObject*)
{
    const platform::HourglassCursor cursor;
    const QString name = FcbGroups->currentText();
    const QString current = FDBInfo->GetCurrentDBName();
    // Leaving the combo on the way to OK must not reload the list and lose the rows chosen in it.
    if (FListedDBName == name && current == name)
        return;
    FlbList->clear();
    FListedDBName.reset();
    if (!FDBNameBefore && name != current)
        FDBNameBefore = current;
    FDBInfo->SetCurrentDBName(name);
    QStringList tables;
    FDBInfo->GetTableList(tables);
    SetSortedItems(FlbList, tables);
    FListedDBName = name;
}

void TdlgListPnl::TableChanged(QObject*)
{
    const platform::HourglassCursor cursor;
    FlbList->clear();
    const int index = FcbGroups->currentIndex();
    const TDSTable* table
        = index < 0 ? nullptr : static_cast<const TDSTable*>(FcbGroups->itemData(index).value<void*>());
    const QString name = table ? table->GetOwnerName() : FcbGroups->currentText();
    QStringList fields;
    WithTableDatabase(FDBInfo, table, [&] { FDBInfo->GetFieldNames(name, fields); });
    SetSortedItems(FlbList, fields);
}

void TdlgListPnl::cbGroupsActivated()
{
    if (cbGroupsOnClick)
        cbGroupsOnClick(FcbGroups);
    if (cbGroupsOnChange)
        cbGroupsOnChange(FcbGroups);
}

void TdlgListPnl::cbGroupsExit()
{
    if (cbGroupsOnClick)
        cbGroupsOnClick(FcbGroups);
}

bool TdlgListPnl::eventFilter(QObject* Watched, QEvent* Event)
{
    // The line edit of an editable combo has the focus while a name is typed; the combo's exit is
    // when the focus leaves both, not when it moves from one to the other or to the drop-down.
    // A picker that is closing loses the focus too; its database must stay where done() left it.
    if (Event->type() == QEvent::FocusOut && !FClosing
        && (Watched == FcbGroups || Watched == FcbGroups->lineEdit())) {
        const QWidget* focus = QApplication::focusWidget();
        const bool inside = focus && (focus == FcbGroups || FcbGroups->isAncestorOf(focus));
        if (!inside && !FcbGroups->view()->isVisible())
            platform::Guarded([this] { cbGroupsExit(); });
    }
    return QDialog::eventFilter(Watched, Event);
}

void TdlgListPnl::lbListDblClick()
{
    accept();
}

void TdlgListPnl::CollectResult()
{
    FResult.clear();
    if (FlbList->isVisibleTo(this)) {
        for (int row = 0; row < FlbList->count(); ++row) {
            if (FlbList->item(row)->isSelected())
                FResult.append(FlbList->item(row)->text());
        }
        return;
    }
    // A name is one word of a line: blanks around it, empty lines and repeats are typing slips.
    for (const QString& line : FmemList->toPlainText().split(u'\n')) {
        const QString name = rtl::Trim(line);
        if (!name.isEmpty() && std::none_of(FResult.cbegin(), FResult.cend(), [&](const QString& S) {
                return rtl::SameText(S, name);
            }))
            FResult.append(name);
    }
}

void TdlgListPnl::done(int Result)
{
    FClosing = true;
    CollectResult();
    if (Result != Accepted && FDBNameBefore && FDBInfo) {
        const QString before = *FDBNameBefore;
        FDBNameBefore.reset();
        platform::Guarded([&] { FDBInfo->SetCurrentDBName(before); });
    }
    QDialog::done(Result);
    FClosing = false;
}

bool SelectDBTables(TZDBInfo* DBInfo, QStringList& Names, QString& DatabaseName, uint8_t& Flags)
{
    TdlgListPnl picker;
    picker.SetupDBTables(DBInfo, Flags);
    if (picker.exec() != QDialog::Accepted)
        return false;
    Flags = picker.chbAutoAddFields()->isChecked() ? Flags | lpfAutoAddFields : Flags & ~lpfAutoAddFields;
    DatabaseName = picker.cbGroups()->currentText();
    Names = picker.Result();
    return true;
}

bool SelectTableFields(TZCustomDBStructure* DBStruct, QStringList& Names, QString& TableName, int Flags)
{
    TdlgListPnl picker;
    picker.SetupTableFields(DBStruct, TableName, Flags);
    if (picker.exec() != QDialog::Accepted)
        return false;
    TableName = picker.cbGroups()->currentText();
    Names = picker.Result();
    return true;
}
