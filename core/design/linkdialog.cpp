#include "core/design/linkdialog.h"

#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"
#include "platform/messagebox.h"
#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/strutils.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString FieldPrefix = QStringLiteral("fld:");
const QString ValuePrefix = QStringLiteral("val:");

bool HasPrefix(const QString& Side, const QString& Prefix)
{
    return rtl::SameText(Side.left(4), Prefix);
}

QString WithoutPrefix(const QString& Side)
{
    return HasPrefix(Side, FieldPrefix) || HasPrefix(Side, ValuePrefix) ? Side.mid(4) : Side;
}

QString MessageOf(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const rtl::Exception*>(&e))
        return own->Message();
    return QString::fromUtf8(e.what());
}

// "Field" (id 0) and "Expression" (id 1) of a side typed without a database.
QGroupBox* SideKindBox(const QString& Caption, QWidget* Parent, QButtonGroup*& Group)
{
    auto* box = new QGroupBox(Caption, Parent);
    auto* layout = new QHBoxLayout(box);
    Group = new QButtonGroup(box);
    const QStringList items {QStringLiteral("Field"), QStringLiteral("Expression")};
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], box);
        Group->addButton(button, i);
        layout->addWidget(button);
    }
    Group->button(0)->setChecked(true);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    box->setVisible(false);
    return box;
}

// A field list under its caption, above the label of Expression, which the dialog places below
// the panel: a side is typed there also while the panel is hidden.
QWidget* FieldsPanel(QWidget* Parent, QLabel*& Caption, QListWidget*& Fields, QLineEdit*& Expression)
{
    auto* panel = new QWidget(Parent);
    Caption = new QLabel(panel);
    Fields = new QListWidget(panel);
    auto* expressionLabel = new QLabel(QStringLiteral("Expression"), panel);
    Expression = new QLineEdit(Parent);
    expressionLabel->setBuddy(Expression);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Caption);
    layout->addWidget(Fields);
    layout->addWidget(expressionLabel);
    return panel;
}

// Runs a handler of a user action so that nothing it raises unwinds through Qt.
template <typename F>
auto Handler(F Action)
{
    return [Action] { platform::Guarded(Action); };
}

// The link that already joins the two tables of Link, other than Link itself.
TDSLink* OtherLinkBetween(const TDSLink* Link)
{
    if (!Link->Table1() || !Link->Table2())
        return nullptr;
    for (TDSLink* other : Link->Table1()->Links()) {
        if (other != Link
            && ((other->Table1() == Link->Table1() && other->Table2() == Link->Table2())
                || (other->Table1() == Link->Table2() && other->Table2() == Link->Table1())))
            return other;
    }
    return nullptr;
}

}  // namespace

QString PairText(const QString& Left, const QString& Operator, const QString& Right)
{
    return WithoutPrefix(Left) + u' ' + Operator + u' ' + WithoutPrefix(Right);
}

TdlgEditLink::TdlgEditLink(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Edit Link"));

    FpnlTop = new QWidget(this);
    auto* table2Label = new QLabel(QStringLiteral("Table2"), FpnlTop);
    FcbTables2 = new QComboBox(FpnlTop);
    table2Label->setBuddy(FcbTables2);
    FpbAuto = new QPushButton(QStringLiteral("A&uto"), FpnlTop);
    FpbAuto->setToolTip(QStringLiteral("Find and add all links\nfor chosen tables"));
    auto* topLayout = new QHBoxLayout(FpnlTop);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(table2Label);
    topLayout->addWidget(FcbTables2, 1);
    topLayout->addWidget(FpbAuto);

    FpnlLeftSide = FieldsPanel(this, FlabFields1, FlbFields1, FedExpression1);
    FrgLeftSide = SideKindBox(QStringLiteral("Left Side"), this, FLeftSideKind);

    auto* operatorLabel = new QLabel(QStringLiteral("Operator"), this);
    FlbOperators = new QListWidget(this);
    FlbOperators->addItems({QStringLiteral("="), QStringLiteral("<>"), QStringLiteral(">"),
        QStringLiteral(">="), QStringLiteral("<"), QStringLiteral("<=")});
    FlbOperators->setMaximumWidth(60);
    FlbOperators->setFixedHeight(
        FlbOperators->sizeHintForRow(0) * FlbOperators->count() + 2 * FlbOperators->frameWidth());
    operatorLabel->setBuddy(FlbOperators);

    FpnlRightSide = FieldsPanel(this, FlblFields2, FlbFields2, FedExpression2);
    FrgRightSide = SideKindBox(QStringLiteral("Right Side"), this, FRightSideKind);

    FpbAdd = new QPushButton(QStringLiteral("&Add"), this);
    FpbAdd->setToolTip(QStringLiteral("Add link"));
    FpbAdd->setEnabled(false);

    auto* sides = new QGridLayout;
    sides->addWidget(FpnlLeftSide, 0, 0);
    sides->addWidget(operatorLabel, 0, 1, Qt::AlignBottom);
    sides->addWidget(FpnlRightSide, 0, 2);
    sides->addWidget(FedExpression1, 1, 0);
    sides->addWidget(FlbOperators, 1, 1, 2, 1, Qt::AlignTop);
    sides->addWidget(FedExpression2, 1, 2);
    sides->addWidget(FrgLeftSide, 2, 0);
    sides->addWidget(FrgRightSide, 2, 2);

    auto* pnlJoins = new QWidget(this);
    auto* joinedLabel = new QLabel(QStringLiteral("&Joined fields"), pnlJoins);
    FlbJoinedFields = new QListWidget(pnlJoins);
    FlbJoinedFields->setMaximumHeight(100);
    joinedLabel->setBuddy(FlbJoinedFields);
    FcbQuoteFields = new QCheckBox(QStringLiteral("Quote field names"), pnlJoins);
    FpbClear = new QPushButton(QStringLiteral("C&lear"), pnlJoins);
    FpbDelete = new QPushButton(QStringLiteral("&Delete"), pnlJoins);
    auto* joinsButtons = new QHBoxLayout;
    joinsButtons->addWidget(FcbQuoteFields, 1);
    joinsButtons->addWidget(FpbClear);
    joinsButtons->addWidget(FpbDelete);
    auto* joinsLayout = new QVBoxLayout(pnlJoins);
    joinsLayout->setContentsMargins(0, 0, 0, 0);
    joinsLayout->addWidget(joinedLabel);
    joinsLayout->addWidget(FlbJoinedFields);
    joinsLayout->addLayout(joinsButtons);

    FrbJoinType = new QGroupBox(QStringLiteral("Join &Type"), this);
    FJoinTypes = new QButtonGroup(FrbJoinType);
    auto* joinTypeLayout = new QGridLayout(FrbJoinType);
    const QStringList joinTypes {QStringLiteral("Inner"), QStringLiteral("Outer Left "),
        QStringLiteral("Outer Right"), QStringLiteral("Outer Full")};
    for (int i = 0; i < joinTypes.size(); ++i) {
        auto* button = new QRadioButton(joinTypes[i], FrbJoinType);
        FJoinTypes->addButton(button, i);
        joinTypeLayout->addWidget(button, i / 2, i % 2);
    }
    FJoinTypes->button(ltInner)->setChecked(true);

    QWidget* pnlRight
        = NewOkCancelColumn(this, QStringLiteral("&OK"), QStringLiteral("&Cancel"), FbbOK, FbbCancel);

    auto* main = new QVBoxLayout;
    main->addWidget(FpnlTop);
    main->addLayout(sides);
    main->addWidget(FpbAdd, 0, Qt::AlignRight);
    main->addWidget(pnlJoins);
    main->addWidget(FrbJoinType);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(main, 1);
    layout->addWidget(pnlRight);
    // A fixed border: hiding the second-table row shrinks the dialog by its height.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // User actions only: code that fills these controls runs UpdateButtons itself.
    connect(FcbTables2, &QComboBox::activated, this, Handler([this] { cbTables2Change(); }));
    connect(FlbFields1, &QListWidget::itemSelectionChanged, this, Handler([this] { lbFields1Click(); }));
    connect(FlbFields2, &QListWidget::itemSelectionChanged, this, Handler([this] { lbFields1Click(); }));
    connect(FedExpression1, &QLineEdit::textEdited, this, Handler([this] { edExpression2Change(); }));
    connect(FedExpression2, &QLineEdit::textEdited, this, Handler([this] { edExpression2Change(); }));
    connect(FlbJoinedFields, &QListWidget::itemSelectionChanged, this,
        Handler([this] { lbJoinedFieldsClick(); }));
    connect(FpbAdd, &QPushButton::clicked, this, Handler([this] { pbAddClick(); }));
    connect(FpbDelete, &QPushButton::clicked, this, Handler([this] { pbDeleteClick(); }));
    connect(FpbClear, &QPushButton::clicked, this, Handler([this] { pbClearClick(); }));
    connect(FpbAuto, &QPushButton::clicked, this, Handler([this] { pbAutoClick(); }));
}

TdlgEditLink::~TdlgEditLink() = default;

QRadioButton* TdlgEditLink::rgLeftSideItem(int Index) const
{
    return qobject_cast<QRadioButton*>(FLeftSideKind->button(Index));
}

QRadioButton* TdlgEditLink::rgRightSideItem(int Index) const
{
    return qobject_cast<QRadioButton*>(FRightSideKind->button(Index));
}

QRadioButton* TdlgEditLink::rbJoinTypeItem(int Index) const
{
    return qobject_cast<QRadioButton*>(FJoinTypes->button(Index));
}

TDSTable* TdlgEditLink::ChosenTable2() const
{
    const int index = FcbTables2->currentIndex();
    return index < 0 ? nullptr : static_cast<TDSTable*>(FcbTables2->itemData(index).value<void*>());
}

void TdlgEditLink::Setup(TZCustomDBStructure* DBStruct, TDSLink* Link)
{
    if (!DBStruct || !DBStruct->DatabaseInfo())
        throw EZDBStructError::Create(dseNoDatabaseInfo);
    FDBInfo = DBStruct->DatabaseInfo();
    TDSTable* table1 = Link->Table1();
    TDSTable* table2 = Link->Table2();
    setWindowTitle(QStringLiteral("Edit link") + QStringLiteral(" : ") + table1->Name()
        + QStringLiteral(" <-> ") + (table2 ? table2->Name() : QString()));

    FConnected = FDBInfo->IsConnected();
    if (FConnected) {
        FillFields(FlbFields1, table1, QString());
    } else {
        FpnlLeftSide->setVisible(false);
        FpnlRightSide->setVisible(false);
        FrgLeftSide->setVisible(true);
        FrgRightSide->setVisible(true);
    }
    FlabFields1->setText(table1->Name() + QStringLiteral(" fields"));

    const QSignalBlocker blocker(FcbTables2);
    FcbTables2->clear();
    if (table2) {
        FcbTables2->addItem(table2->GetCaption(), QVariant::fromValue(static_cast<void*>(table2)));
        FcbTables2->setCurrentIndex(0);
        cbTables2Change();
        FpnlTop->setVisible(false);
    } else {
        for (TDSTable* table : DBStruct->Tables()) {
            if (table != table1 && !table1->FindLinkTo(table))
                FcbTables2->addItem(table->GetCaption(), QVariant::fromValue(static_cast<void*>(table)));
        }
        FcbTables2->setCurrentIndex(-1);
    }

    FLeftSides = Link->FldName1();
    FRightSides = Link->FldName2();
    FOperators = Link->Operators();
    FcbQuoteFields->setChecked(Link->QuoteFields());
    if (QAbstractButton* type = FJoinTypes->button(Link->LinkType()))
        type->setChecked(true);
}

void TdlgEditLink::ApplyTo(TDSLink* Link) const
{
    Link->SetFields1(FLeftSides);
    Link->SetFields2(FRightSides);
    Link->SetOperators(FOperators);
    Link->SetQuoteFields(FcbQuoteFields->isChecked());
    if (TDSTable* table2 = ChosenTable2())
        Link->SetTable2(table2);
    Link->SetLinkType(TLinkType(FJoinTypes->checkedId()));
}

void TdlgEditLink::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!FShown) {
        FShown = true;
        platform::Guarded([this] { FormShow(); });
    }
}

void TdlgEditLink::FormShow()
{
    FlbOperators->setCurrentRow(0);
    const QSignalBlocker blocker(FlbJoinedFields);
    FlbJoinedFields->clear();
    for (int i = 0; i < FLeftSides.size(); ++i)
        FlbJoinedFields->addItem(PairText(FLeftSides[i], FOperators.value(i), FRightSides.value(i)));
    UpdateButtons();
}

void TdlgEditLink::FillFields(QListWidget* List, const TDSTable* Table, const QString& FailureText)
{
    const QSignalBlocker blocker(List);
    List->clear();
    List->setEnabled(true);
    try {
        QStringList names;
        WithTableDatabase(FDBInfo, Table, [&] { FDBInfo->GetFieldNames(Table->Name(), names); });
        SetSortedItems(List, names);
    } catch (const std::exception& e) {
        List->clear();
        List->addItem(FailureText.isEmpty() ? MessageOf(e) : FailureText);
        List->setEnabled(false);
    }
}

void TdlgEditLink::UpdateButtons()
{
    const bool left = !FlbFields1->selectedItems().isEmpty() || !FedExpression1->text().isEmpty();
    const bool right = !FlbFields2->selectedItems().isEmpty() || !FedExpression2->text().isEmpty();
    const bool pairs = !FLeftSides.isEmpty();
    FpbAdd->setEnabled(left && right);
    FcbTables2->setEnabled(!pairs);
    FpbClear->setEnabled(pairs);
    FpbDelete->setEnabled(!FlbJoinedFields->selectedItems().isEmpty());
    FpbAuto->setEnabled(FlbFields2->isEnabled() && FlbFields2->count() > 0);
    // A link needs its second table as much as a pair.
    FbbOK->setEnabled(pairs && ChosenTable2());
}

void TdlgEditLink::cbTables2Change()
{
    const TDSTable* table = ChosenTable2();
    if (!table)
        return;
    if (FConnected) {
        FillFields(FlbFields2, table, QStringLiteral("Database not connected"));
        FlbFields2->clearSelection();
        UpdateButtons();
    }
    FlblFields2->setText(table->Name() + QStringLiteral(" fields"));
}

void TdlgEditLink::lbFields1Click()
{
    UpdateButtons();
}

void TdlgEditLink::edExpression2Change()
{
    UpdateButtons();
}

void TdlgEditLink::lbJoinedFieldsClick()
{
    UpdateButtons();
}

void TdlgEditLink::pbAddClick()
{
    auto side = [this](QLineEdit* Expression, QListWidget* Fields, QButtonGroup* Kind) {
        if (!FConnected)
            return (Kind->checkedId() == 0 ? FieldPrefix : ValuePrefix) + Expression->text();
        if (!Expression->text().isEmpty())
            return ValuePrefix + Expression->text();
        const QList<QListWidgetItem*> selected = Fields->selectedItems();
        return selected.isEmpty() ? QString() : FieldPrefix + selected.first()->text();
    };
    const QString left = side(FedExpression1, FlbFields1, FLeftSideKind);
    const QString right = side(FedExpression2, FlbFields2, FRightSideKind);
    if (WithoutPrefix(left).isEmpty() || WithoutPrefix(right).isEmpty())
        return;
    FedExpression1->clear();
    FedExpression2->clear();
    const QListWidgetItem* op = FlbOperators->currentItem();
    AddPair(left, right, op ? op->text() : QStringLiteral("="));
    UpdateButtons();
}

void TdlgEditLink::AddPair(const QString& Left, const QString& Right, const QString& Operator)
{
    if (Left.contains(u' ') || Right.contains(u' '))
        FcbQuoteFields->setChecked(true);
    FLeftSides.append(Left);
    FRightSides.append(Right);
    FOperators.append(Operator);
    FlbJoinedFields->addItem(PairText(Left, Operator, Right));
}

void TdlgEditLink::pbDeleteClick()
{
    const QList<QListWidgetItem*> selected = FlbJoinedFields->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = FlbJoinedFields->row(selected.first());
    for (QStringList* list : {&FLeftSides, &FRightSides, &FOperators}) {
        if (row < list->size())
            list->removeAt(row);
    }
    {
        const QSignalBlocker blocker(FlbJoinedFields);
        delete FlbJoinedFields->takeItem(row);
        const int next = row < FlbJoinedFields->count() ? row : row - 1;
        if (next >= 0)
            FlbJoinedFields->setCurrentRow(next);
    }
    UpdateButtons();
}

void TdlgEditLink::pbClearClick()
{
    // The lists hold bare field names: only field sides go back, once each.
    auto giveBack = [](QListWidget* Fields, const QStringList& Sides) {
        if (!Fields->isEnabled())
            return;
        for (const QString& side : Sides) {
            if (HasPrefix(side, ValuePrefix))
                continue;
            const QString name = WithoutPrefix(side);
            if (!name.isEmpty()
                && Fields->findItems(name, Qt::MatchFixedString | Qt::MatchCaseSensitive).isEmpty())
                InsertSorted(Fields, name);
        }
    };
    if (FConnected) {
        const QSignalBlocker blocker1(FlbFields1);
        const QSignalBlocker blocker2(FlbFields2);
        giveBack(FlbFields1, FLeftSides);
        giveBack(FlbFields2, FRightSides);
    }
    FLeftSides.clear();
    FRightSides.clear();
    FOperators.clear();
    {
        const QSignalBlocker blocker(FlbJoinedFields);
        FlbJoinedFields->clear();
    }
    UpdateButtons();
}

void TdlgEditLink::pbAutoClick()
{
    int start = 0;
    for (;;) {
        int row1 = -1;
        int row2 = -1;
        for (int i = start; i < FlbFields1->count() && row1 < 0; ++i) {
            for (int j = 0; j < FlbFields2->count(); ++j) {
                if (rtl::SameText(FlbFields1->item(i)->text(), FlbFields2->item(j)->text())) {
                    row1 = i;
                    row2 = j;
                    break;
                }
            }
        }
        if (row1 < 0)
            break;
        AddPair(FieldPrefix + FlbFields1->item(row1)->text(), FieldPrefix + FlbFields2->item(row2)->text(),
            QStringLiteral("="));
        const QSignalBlocker blocker1(FlbFields1);
        const QSignalBlocker blocker2(FlbFields2);
        delete FlbFields1->takeItem(row1);
        delete FlbFields2->takeItem(row2);
        start = row1;
    }
    UpdateButtons();
}

bool EditDSLink(TZCustomDBStructure* DBStruct, TDSLink* Link)
{
    if (!DBStruct || !DBStruct->DatabaseInfo())
        throw EZDBStructError::Create(dseNoDatabaseInfo);
    // A second link of the same two tables would be a section of the model text that reading drops.
    if (OtherLinkBetween(Link)) {
        platform::ShowError(rtl::Format(QStringLiteral("The tables %s and %s are already linked"),
            Link->Table1()->Name(), Link->Table2()->Name()));
        return false;
    }
    TdlgEditLink dialog;
    dialog.Setup(DBStruct, Link);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.ApplyTo(Link);
    return true;
}
