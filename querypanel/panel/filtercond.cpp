#include "querypanel/panel/filtercond.h"

#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "platform/exceptionguard.h"
#include "querypanel/controls/checklistbox.h"
#include "querypanel/controls/dropdownedit.h"
#include "querypanel/controls/dropdownlistbox.h"
#include "querypanel/controls/dropdownpopup.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/query/queryresult.h"
#include "rtl/exception.h"
#include "rtl/numbers.h"
#include "rtl/stringlist.h"

#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr TFieldTypes IntegerValueTypes {ftSmallint, ftInteger, ftWord, ftAutoInc, ftLargeint};
constexpr TFieldTypes DecimalValueTypes {ftFloat, ftCurrency, ftBCD, ftFMTBcd};
constexpr TFieldTypes DateValueTypes {ftDate, ftDateTime, ftTimeStamp, ftTime};

const QString EqualOperator = QStringLiteral("Equal");

// A field's text editor of edit kind 2 takes a date, of kind 3 a time.
bool IsDateEditKind(int EditKind)
{
    return EditKind == 2 || EditKind == 3;
}

QFont UnderlinedFont(const QFont& Font)
{
    QFont font = Font;
    font.setUnderline(true);
    return font;
}

// What a label reads for Text: "_____" for nothing.
QString LabelCaption(const QString& Text)
{
    return Text.isEmpty() ? TDropDownLabel::EmptyCaption : Text;
}

// The caption of Text among choices: the captions of the items it names; Kept drops what no item
// stands for, as a list label does with its value.
QString ChoiceCaption(
    const QStringList& Values, const QStringList& Items, bool Multiple, const QString& Text, bool Kept)
{
    const rtl::StringList values(Values);
    if (!Multiple) {
        const int index = values.IndexOfText(Text);
        return index >= 0 ? Items.value(index) : Kept ? QString() : Text;
    }
    rtl::StringList entries;
    entries.SetCommaText(Text);
    rtl::StringList captions;
    for (const QString& entry : entries) {
        const int index = values.IndexOfText(entry);
        if (index >= 0 || !Kept)
            captions.append(index >= 0 ? Items.value(index) : entry);
    }
    return captions.CommaText();
}

void ForEachSimpleCond(const TFilterBracket* Bracket, const std::function<void(TSimpleCond*)>& Action)
{
    for (int i = 0; i < Bracket->Count(); ++i) {
        TFilterRow* row = Bracket->Rows(i);
        if (auto* bracket = qobject_cast<TFilterBracket*>(row))
            ForEachSimpleCond(bracket, Action);
        else if (auto* condition = qobject_cast<TSimpleCond*>(row))
            Action(condition);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFilterCond

TFilterCond::TFilterCond(TZQueryPanel* Panel, TFilterBracket* Parent, int RowType)
    : TFilterRow(Panel, Parent, RowType), FSubQueryOptions(Panel->SQLOptions())
{
}

void TFilterCond::MakeElements()
{
    TZQueryPanel* Panel = this->Panel();
    if (Panel->Appearance().Style() != psAndOr)
        return;
    auto* chooser = new TDropDownPopup;
    chooser->setLayoutDirection(Panel->layoutDirection());
    chooser->setAttribute(Qt::WA_TranslucentBackground);
    QFont font = Panel->font();
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    chooser->setFont(UnderlinedFont(font));
    SetFontColor(chooser, Panel->Appearance().BoolOpColor());
    chooser->AddItem(QString(), QStringLiteral("0"), Panel->GetTitle(QStringLiteral("ttlAnd")));
    chooser->AddItem(QString(), QStringLiteral("1"), Panel->GetTitle(QStringLiteral("ttlOr")));
    chooser->AfterDropDown = [Panel](TDropDownLabel* Sender) { Panel->NoteDropped(Sender); };
    chooser->AfterDropUp = [this](TDropDownLabel* Sender, bool Accepted) { AndOrChanged(Sender, Accepted); };
    chooser->setParent(Panel->RowArea());
    chooser->hide();
    SetElement(AndOrLabel, chooser);
}

TFilterCond::~TFilterCond()
{
    if (!Panel()->Destroying())
        Panel()->QResult()->DeleteCondParams(this);
}

QString TFilterCond::ValueText(int N) const
{
    return N == 1 ? FValue1 : FValue2;
}

TDropDownLabel* TFilterCond::ValueLabel(int N) const
{
    return qobject_cast<TDropDownLabel*>(ElementAt(ValueElement(N)));
}

void TFilterCond::ShowValue(int N, const QString& Text)
{
    const int n = N == 1 ? 1 : 2;
    if (!HasValueSlot(n))
        return;
    QStringList values;
    QStringList items;
    bool multiple = false;
    QString caption = Text;
    if (TDropDownLabel* label = ValueLabel(n)) {
        label->SetValue(Text);
        if (const auto* list = qobject_cast<const TDropDownList*>(label))
            caption = ChoiceCaption(
                list->Values(), list->Items(), qobject_cast<const TDropDownCheckListBox*>(list), Text, false);
    } else if (ValueChoices(n, values, items, multiple)) {
        caption = ChoiceCaption(values, items, multiple, Text, false);
    }
    ShowCaption(n, Text, caption);
}

void TFilterCond::ShowCaption(int N, const QString& Text, const QString& Caption)
{
    const int n = N == 1 ? 1 : 2;
    StoreCaption(n, Caption);
    QString caption = GetValueCaption(n);
    const auto handler = Panel()->OnSetValue;
    if (GetValueKind(n) == vkList && EditsDates(n)) {
        // Each date of a list is shown as one date alone is, and the list as its items.
        QStringList items;
        SplitCommaText(Text, items);
        for (QString& item : items) {
            QString shown = item;
            if (handler)
                handler(Panel(), this, n, item, shown);
            item = shown;
        }
        caption = items.join(u", ");
    } else if (handler) {
        handler(Panel(), this, n, Text, caption);
    }
    StoreCaption(n, caption);
}

void TFilterCond::StoreCaption(int N, const QString& Text)
{
    const int n = N == 1 ? 1 : 2;
    FCaption[n - 1] = LabelCaption(Text);
    if (TDropDownLabel* label = ValueLabel(n))
        label->SetCaption(Text);
}

void TFilterCond::ShowLabelValue(int N, const QString& Text)
{
    const int n = N == 1 ? 1 : 2;
    if (TDropDownLabel* label = ValueLabel(n)) {
        label->SetValue(Text);
        FCaption[n - 1] = label->Caption();
        return;
    }
    // As a new label reads: its caption stays for no value and for a value no item of a list names;
    // a check list shows the items it names.
    if (Text.isEmpty())
        return;
    QStringList values;
    QStringList items;
    bool multiple = false;
    if (!ValueChoices(n, values, items, multiple)) {
        FCaption[n - 1] = Text;
        return;
    }
    if (!multiple && rtl::StringList(values).IndexOfText(Text) < 0)
        return;
    FCaption[n - 1] = LabelCaption(ChoiceCaption(values, items, multiple, Text, true));
}

void TFilterCond::SetValueCaption(int N, const QString& Text)
{
    if (HasValueSlot(N))
        StoreCaption(N, Text);
}

QString TFilterCond::GetValueCaption(int N) const
{
    return StoredCaption(N);
}

void TFilterCond::SetValueHint(const QString& Text)
{
    FHint = Text;
    if (TDropDownLabel* label = ValueLabel(1))
        label->setToolTip(Text);
}

bool TFilterCond::EditsDates(int N) const
{
    return GetValueKind(N) != vkSubQuery && DateValueTypes.Contains(GetValueType(N));
}

bool TFilterCond::ValueChoices(int N, QStringList& Values, QStringList& Items, bool& Multiple) const
{
    if (GetValueType(N) != ftBoolean)
        return false;
    const TSQLFormats& formats = Panel()->DbStruct()->SQLFormats();
    Values = {formats.FalseValue(), formats.TrueValue()};
    Items = {QStringLiteral("False"), QStringLiteral("True")};
    Multiple = false;
    return true;
}

void TFilterCond::SetValueSlot(int N, bool Value)
{
    const int n = N == 1 ? 1 : 2;
    FSlot[n - 1] = Value;
    FCaption[n - 1] = Value ? TDropDownLabel::EmptyCaption : QString();
    if (n == 1)
        FHint.clear();
    if (!HasControls())
        return;
    TDropDownLabel* old = ValueLabel(n);
    SetElement(ValueElement(n), Value ? CreateValueLabel(old, n, true) : FreeValueLabel(old));
}

void TFilterCond::MakeValueLabel(int N)
{
    const int n = N == 1 ? 1 : 2;
    TDropDownLabel* label = CreateValueLabel(nullptr, n, true);
    SetElement(ValueElement(n), label);
    label->SetValue(LabelValue(n));
    // A list label is filled as it is made (a lookup asks its database then): a caption kept while
    // the list was not at hand gives way to the one the list gives for the value the SQL uses.
    const auto* list = qobject_cast<const TDropDownList*>(label);
    if (list && !IsParam(n) && GetValueKind(n) != vkSubQuery) {
        const QString value = ValueText(n);
        const QString listed = ChoiceCaption(
            list->Values(), list->Items(), qobject_cast<const TDropDownCheckListBox*>(list), value, false);
        if (LabelCaption(listed) != FCaption[n - 1])
            ShowCaption(n, value, listed);
    }
    label->SetCaption(FCaption[n - 1]);
    label->SetDropDownLocked(IsParam(n));
    if (n == 1 && !FHint.isEmpty())
        label->setToolTip(FHint);
}

TSQLParam* TFilterCond::Param(int N) const
{
    // Looked up rather than kept: clearing the query's parameters never leaves a row pointing at a
    // freed one.
    return Panel()->QResult()->Params().FindParam(this, N == 1 ? 1 : 2);
}

QString TFilterCond::ParamCaption(int N) const
{
    const QString caption = Panel()->GetTitle(QStringLiteral("ttlParameter")) + u' ' + GetFieldName();
    return IsParam(1) && IsParam(2) ? caption + u' ' + QString::number(N == 1 ? 1 : 2) : caption;
}

void TFilterCond::SetParamState(int N, bool MakeParam)
{
    const int n = N == 1 ? 1 : 2;
    if (IsParam(n) == MakeParam)
        return;
    TDropDownLabel* label = ValueLabel(n);
    TQueryResult* query = Panel()->QResult();
    if (MakeParam) {
        TSQLParam* param = query->AddParam(this, n);
        if (label)
            label->SetDropDownLocked(true);
        if (HasValueSlot(n))
            StoreCaption(n, param->Caption());
    } else {
        // Only this value's parameter goes: the other value may be a parameter of its own.
        std::unique_ptr<TSQLParam> param(Param(n));
        const QString value = param->Value();
        if (label)
            label->SetDropDownLocked(false);
        query->RemoveParam(param.get());
        param.reset();
        if (value == ValueText(n))
            ShowValue(n, value);
        else
            SetValue(n, value);
    }
    FireConditionChange(n + 2);
}

void TFilterCond::SetValue(int N, const QString& Text)
{
    const int n = N == 1 ? 1 : 2;
    QString& value = n == 1 ? FValue1 : FValue2;
    if (Text == value || IsParam(n))
        return;
    value = Text;
    ShowValue(n, Text);
    FireConditionChange(n + 2);
    if (n == 1)
        ValueChanged();
}

void TFilterCond::RestoreValue(int N, const QString& Text)
{
    (N == 1 ? FValue1 : FValue2) = Text;
    if (ValueLabel(N))
        ShowLabelValue(N, Text);
}

void TFilterCond::FireConditionChange(int Code)
{
    Panel()->DoConditionChange(this, Code);
}

void TFilterCond::AttachValueLabel(TDropDownLabel* Label)
{
    TZQueryPanel* panel = Panel();
    BindDropDown(Label);
    Label->setFont(UnderlinedFont(panel->font()));
    SetFontColor(Label, panel->Appearance().ValueColor());
    Label->OnAltClick = [this](TDropDownLabel* Sender) { ValueAltClick(Sender); };
    Label->OnRightClick = [this](TDropDownLabel* Sender) { ValueRightClick(Sender); };
    Label->OnDblClick = [this](TDropDownLabel* Sender) { ValueDblClick(Sender); };
    if (panel->Appearance().Options().Contains(aoAllowParams)) {
        Label->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(Label, &QWidget::customContextMenuRequested, this,
            [Label, panel](const QPoint& At) { panel->ValueMenu()->popup(Label->mapToGlobal(At)); });
    }
    Label->setEnabled(Checked());
    Label->setParent(panel->RowArea());
    Label->setVisible(Shown());
}

TDropDownLabel* TFilterCond::DefaultValueEditor(int N)
{
    const TFieldType type = GetValueType(N);
    if (IntegerValueTypes.Contains(type) || type == ftFloat || type == ftCurrency) {
        auto* edit = new TDropDownEdit;
        edit->SetValueType(IntegerValueTypes.Contains(type) ? vtInteger : vtFloat);
        return edit;
    }
    if (type == ftBoolean) {
        TDropDownList* list;
        if (Panel()->Appearance().Options().Contains(aoPopupValue)) {
            auto* popup = new TDropDownPopup;
            popup->SetMaxItemCount(Panel()->MaxPopupItemCount());
            list = popup;
        } else {
            list = new TDropDownListBox;
        }
        const TSQLFormats& formats = Panel()->DbStruct()->SQLFormats();
        list->AddItem(QString(), formats.FalseValue(), QStringLiteral("False"));
        list->AddItem(QString(), formats.TrueValue(), QStringLiteral("True"));
        return list;
    }
    if (DateValueTypes.Contains(type)) {
        auto* edit = new TDropDownDateTimeEdit;
        edit->SetKind(type == ftTime ? ekTime : ekDate);
        edit->SetListValue(GetValueKind(N) == vkList);
        return edit;
    }
    auto* edit = new TDropDownEdit;
    edit->SetValueType(vtString);
    return edit;
}

void TFilterCond::EditSubQuery(TDropDownLabel*, QString& Value, bool& Accept)
{
    const TZQueryPanel::TSubQueryEditor editor = Panel()->SubQueryEditor;
    Accept = false;
    if (!editor)
        return;
    QStringList lines = FSubQuery;
    QString sql = Value;
    TSQLOptions options = FSubQueryOptions;
    if (!editor(Panel(), lines, sql, options))
        return;
    FSubQuery = lines;
    FSubQueryOptions = options;
    Value = ReplaceAll(sql, QStringLiteral("\r\n"), QStringLiteral("  "));
    SetValueCaption(1, Panel()->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    SetValueHint(Value);
    Accept = true;
}

TDropDownLabel* TFilterCond::CreateValueLabel(TDropDownLabel* Old, int, bool)
{
    FreeValueLabel(Old);
    return nullptr;
}

TDropDownLabel* TFilterCond::FreeValueLabel(TDropDownLabel* Label)
{
    delete Label;
    return nullptr;
}

void TFilterCond::UpdateEnabled()
{
    TFilterRow::UpdateEnabled();
    FireConditionChange(0);
    if (Parent())
        Parent()->SyncCheck();
}

TFilterBracket* TFilterCond::JoiningBracket() const
{
    // The last row of a bracket is joined to what follows that bracket, however deep it sits.
    const TFilterRow* row = this;
    TFilterBracket* bracket = Parent();
    while (bracket && bracket->Parent() && bracket->LastRow() == row) {
        row = bracket;
        bracket = bracket->Parent();
    }
    return bracket;
}

namespace {

// The word that joins the rows of a bracket: "and" for all (and not all), "or" for any (and none).
int AndOrItemOf(TFilterLinkType Type)
{
    return Type == fltAny || Type == fltNone ? 1 : 0;
}

}  // namespace

void TFilterCond::UpdateAndOr()
{
    auto* chooser = qobject_cast<TDropDownPopup*>(ElementAt(AndOrLabel));
    if (!chooser)
        return;
    const TFilterBracket* bracket = JoiningBracket();
    if (Panel()->LastRow() == this || !bracket) {
        chooser->hide();
        return;
    }
    chooser->SetItemIndex(AndOrItemOf(bracket->LinkType()));
    chooser->setVisible(Shown());
}

void TFilterCond::AndOrChanged(TDropDownLabel* Sender, bool Accepted)
{
    auto* chooser = static_cast<TDropDownPopup*>(Sender);
    TFilterBracket* bracket = JoiningBracket();
    if (!Accepted || !bracket || chooser->ItemIndex() < 0)
        return;
    // Choosing the word already shown keeps a negated link type ("none", "not all") as it is.
    if (chooser->ItemIndex() == AndOrItemOf(bracket->LinkType()))
        return;
    bracket->SetLinkType(chooser->ItemIndex() == 1 ? fltAny : fltAll);
    FireConditionChange(5);
    Panel()->Changed();
}

int TFilterCond::ValueIndexOf(const TDropDownLabel* Label) const
{
    return Label == ElementAt(ValueLabel2) ? 2 : 1;
}

void TFilterCond::ValueAltClick(TDropDownLabel* Label)
{
    if (!Panel()->Appearance().Options().Contains(aoAllowParams))
        return;
    SetParamState(ValueIndexOf(Label), true);
    Panel()->Changed();
    Layout();
    Panel()->RepaintRow(this);
}

void TFilterCond::ValueRightClick(TDropDownLabel* Label)
{
    SetSelectedIndex(IndexOfElement(Label));
    Panel()->SetCurrentRow(this);
}

void TFilterCond::ValueDblClick(TDropDownLabel* Label)
{
    const auto handler = Panel()->OnValueDblClick;
    if (!handler)
        return;
    const int n = ValueIndexOf(Label);
    QString text = ValueText(n);
    handler(Panel(), this, n, text);
}

void TFilterCond::ApplyDroppedValue(int N, TDropDownLabel* Sender)
{
    if (N != ValueLabel1 && N != ValueLabel2)
        return;
    const int n = N == ValueLabel1 ? 1 : 2;
    SetParamState(n, false);
    const QString value = Sender->Value();
    // A list handed back as the label was given it, in the model's quote symbols, is kept.
    if (value == ValueText(n) || value == LabelValue(n))
        ShowValue(n, ValueText(n));
    else
        SetValue(n, value);
}

// ---------------------------------------------------------------------------------------------
// TSimpleCond

TSimpleCond::TSimpleCond(TZQueryPanel* Panel, TFilterBracket* Parent) : TFilterCond(Panel, Parent, 0)
{
    FillFieldList();
}

void TSimpleCond::MakeElements()
{
    TFilterCond::MakeElements();
    TZQueryPanel* panel = Panel();
    const TQPAppearanceOptions options = panel->Appearance().Options();
    TDropDownList* fields;
    if (options.Contains(aoPopupField)) {
        auto* popup = new TDropDownPopup;
        popup->SetMaxItemCount(panel->MaxPopupItemCount());
        fields = popup;
    } else {
        fields = new TDropDownListBox;
    }
    fields->setFont(panel->font());
    SetFontColor(fields, panel->Appearance().FieldColor());
    fields->SetImages(panel->Images());
    fields->OnGetGroupImageIndex
        = [panel](const QString& Group, int& Index) { panel->DoGetGroupImageIndex(Group, Index); };
    fields->OnGetItemImageIndex = [panel](const QString& Group, const QString& Item, int& Index) {
        panel->DoGetItemImageIndex(Group, Item, Index);
    };
    BindDropDown(fields);
    fields->setParent(panel->RowArea());
    fields->hide();
    SetElement(FieldLabel, fields);

    auto* operators = new TDropDownPopup;
    BindDropDown(operators);
    operators->setFont(panel->font());
    SetFontColor(operators, panel->Appearance().OperatorColor());
    operators->setParent(panel->RowArea());
    operators->hide();
    SetElement(OperatorLabel, operators);

    FillFieldList();
    if (FField) {
        fields->SetValue(QString::number(FField->ID()));
        fields->SetCaption(FieldCaption(FField));
    }
    ShowOperators();
    for (int n : {1, 2})
        if (HasValueSlot(n))
            MakeValueLabel(n);
    if (FOperator && !FOperator->ValFormat().isEmpty())
        SetElement(BetweenLabel, NewPlainLabel(FOperator->ValFormat()));
}

QString TSimpleCond::FieldCaption(const TDSField* F) const
{
    return Panel()->Appearance().Options().Contains(aoShowGroupName) ? F->GetFullCaption() : F->DisplayName();
}

void TSimpleCond::ShowOperators()
{
    TDropDownList* operators = OperatorChooser();
    if (!operators)
        return;
    operators->ClearItems();
    if (FField)
        for (const TDSOperator* op : FField->Operators())
            operators->AddItem(QString(), op->Name(), op->DisplayName());
    operators->SetValue(FOperator ? FOperator->Name() : QString());
    operators->SetCaption(FOperator ? FOperator->DisplayName() : QString());
}

QString TSimpleCond::LabelValue(int N) const
{
    const QString value = ValueText(N);
    // A date editor reads the list itself.
    if (N != 1 || GetValueKind(1) != vkList || value.isEmpty() || EditsDates(1))
        return value;
    return Panel()->GetQuoteSymbol(1) + value + Panel()->GetQuoteSymbol(2);
}

TSimpleCond::~TSimpleCond()
{
    if (!Panel()->Destroying() && !FEqualName.isEmpty())
        ReleaseEqualValue(true);
}

TDropDownList* TSimpleCond::FieldChooser() const
{
    return static_cast<TDropDownList*>(ElementAt(FieldLabel));
}

TDropDownList* TSimpleCond::OperatorChooser() const
{
    return static_cast<TDropDownList*>(ElementAt(OperatorLabel));
}

void TSimpleCond::FillFieldList()
{
    TZCustomDBStructure* model = Panel()->DbStruct();
    TDropDownList* chooser = FieldChooser();
    if (chooser)
        chooser->ClearItems();
    if (!model)
        return;
    const int mode = Parent() ? Parent()->AggregateMode() : 0;
    TDSField* first = nullptr;
    bool current = false;
    // Without a chooser to fill, the walk ends once it knows what the condition keeps.
    const auto offer = [&](const TDSFieldGroup* Group) {
        for (TDSField* field : *Group) {
            if ((mode != 0 && field->IsAggregate() != (mode == 2)) || !field->UIC()
                || field->GetOperatorCount() == 0)
                continue;
            if (chooser)
                chooser->AddItem(Group->GroupName(), QString::number(field->ID()), field->DisplayName());
            first = first ? first : field;
            current = current || field == FField;
            if (!chooser && (current || !FField))
                return true;
        }
        return false;
    };
    const auto offerAll = [&] {
        if (model->RootFieldsFirst() && offer(model->RootGroup()))
            return;
        for (const TDSFieldGroup* group : model->FieldGroups())
            if (offer(group))
                return;
        if (!model->RootFieldsFirst())
            offer(model->RootGroup());
    };
    offerAll();
    // A field the model lacks stays, so the condition still says that it cannot be built.
    if (current || (FField && FField == model->PlaceholderField()))
        return;
    SetField(first);
}

void TSimpleCond::SetField(TDSField* F)
{
    if (F == FField)
        return;
    if (FOperator && FOperator->ValueKind() == vkSubQuery)
        SubQuery().clear();
    FField = F;
    FAggregate = F && F->IsAggregate();
    TDropDownList* fields = FieldChooser();
    TDropDownList* operators = OperatorChooser();
    if (operators)
        operators->ClearItems();
    if (F) {
        if (fields) {
            fields->SetValue(QString::number(F->ID()));
            fields->SetCaption(FieldCaption(F));
        }
        if (operators)
            for (const TDSOperator* op : F->Operators())
                operators->AddItem(QString(), op->Name(), op->DisplayName());
        const auto* text = F->EditType() == 1 ? static_cast<const TDSTextEditor*>(F->Editor()) : nullptr;
        const QString defaultValue = text ? text->DefValue() : QString();
        FOperator = nullptr;
        SetOperator(F->GetOperatorCount() > 0 ? F->GetOperator(0) : F->Structure()->PlaceholderOperator());
        for (int n = 1; n <= 2; ++n) {
            if (TSQLParam* param = Param(n)) {
                param->SetCaption(ParamCaption(n));
                param->SetDataType(GetValueType(n));
            } else if (n <= GetValueCount()) {
                SetValue(n, defaultValue);
            }
        }
    } else {
        if (fields) {
            fields->SetValue(QString());
            fields->SetCaption(QString());
        }
        SetOperator(nullptr);
        SetValue(1, QString());
        SetValue(2, QString());
    }
    UpdateEqualValue();
    FireConditionChange(1);
}

void TSimpleCond::SetOperator(TDSOperator* Op)
{
    if (Op == FOperator)
        return;
    const TValueKind oldKind = FOperator ? FOperator->ValueKind() : vkScalar;
    const bool wasList = FOperator && oldKind == vkList;
    // A sub-query text is no scalar value, and a scalar value is no sub-query: neither survives
    // the change.
    const bool subQueryChange = FOperator && (oldKind == vkSubQuery) != (Op && Op->ValueKind() == vkSubQuery);
    if (subQueryChange) {
        SetParamState(1, false);
        SetValue(1, QString());
        SubQuery().clear();
    }
    FOperator = Op;
    TDropDownList* operators = OperatorChooser();
    if (Op) {
        if (operators && operators->Value() != Op->Name()) {
            operators->SetValue(Op->Name());
            operators->SetCaption(Op->DisplayName());
        }
        UpdateValueLabels();
        if (wasList && Op->ValueKind() == vkList) {
            if (HasValueSlot(1) && !IsParam(1))
                ShowLabelValue(1, ValueText(1));
        } else if (wasList) {
            rtl::StringList items;
            items.SetCommaText(ValueText(1));
            if (!items.isEmpty())
                SetValue(1, items.first());
        }
        if (Op->ValFormat().isEmpty())
            SetElement(BetweenLabel, nullptr);
        else if (auto* label = qobject_cast<QLabel*>(ElementAt(BetweenLabel));
                 HasControls() && (!label || label->text() != Op->ValFormat())) {
            QLabel* between = NewPlainLabel(Op->ValFormat());
            between->setVisible(Shown());
            SetElement(BetweenLabel, between);
        }
    } else {
        if (operators) {
            operators->SetValue(QString());
            operators->SetCaption(QString());
        }
        UpdateValueLabels();
        SetElement(BetweenLabel, nullptr);
    }
    UpdateEqualValue();
    FireConditionChange(2);
}

void TSimpleCond::UpdateValueLabels()
{
    const bool had1 = HasValueSlot(1);
    const bool had2 = HasValueSlot(2);
    const QString caption1 = StoredCaption(1);
    const QString caption2 = StoredCaption(2);
    const int count = GetValueCount();
    const auto restoreCaptions = [&] {
        // A new label without a former one shows its own value; a sub-query label its title.
        if (HasValueSlot(1) && had1 && !IsParam(1))
            StoreCaption(1, GetValueKind(1) == vkSubQuery ? GetValueCaption(1) : caption1);
        if (HasValueSlot(2) && had2 && !IsParam(2))
            StoreCaption(2, caption2);
    };
    try {
        if (count <= 0) {
            SetParamState(1, false);
            SetValueSlot(1, false);
            RestoreValue(1, QString());
        } else if (!IsParam(1)) {
            SetValueSlot(1, true);
            if (GetValueKind(1) == vkSubQuery)
                StoreCaption(1, Panel()->GetTitle(QStringLiteral("ttlSubQueryCaption")));
            ShowLabelValue(1, LabelValue(1));
        }
        if (count < 2) {
            SetParamState(2, false);
            SetValueSlot(2, false);
            RestoreValue(2, QString());
        } else if (!IsParam(2)) {
            SetValueSlot(2, true);
            ShowLabelValue(2, LabelValue(2));
        }
    } catch (...) {
        restoreCaptions();
        throw;
    }
    restoreCaptions();
}

bool TSimpleCond::ValueChoices(int N, QStringList& Values, QStringList& Items, bool& Multiple) const
{
    if (GetValueKind(N) == vkSubQuery)
        return false;
    if (!FField || !FField->Editor())
        return TFilterCond::ValueChoices(N, Values, Items, Multiple);
    if (FField->EditType() != 2 && FField->EditType() != 4)
        return false;
    const auto* editor = static_cast<const TDSListEditor*>(FField->Editor());
    Values = editor->Values();
    Items = editor->Items();
    Multiple = GetValueKind(N) == vkList;
    return true;
}

TDSSQLEditor* TSimpleCond::SQLEditor() const
{
    return FField && FField->EditType() == 4 ? static_cast<TDSSQLEditor*>(FField->Editor()) : nullptr;
}

void TSimpleCond::FillValueList(TDropDownList* Label)
{
    Label->SetSortList(Panel()->Appearance().Options().Contains(aoSortListData));
    auto* editor = static_cast<TDSListEditor*>(FField->Editor());
    if (TDSSQLEditor* sql = SQLEditor())
        sql->SetParams(Panel()->EqualValues());
    Label->ClearItems();
    editor->Refresh();
    Label->AddItems(QString(), editor->Values(), editor->Items());
}

bool TSimpleCond::EditsDates(int N) const
{
    if (!FField || !FField->Editor() || GetValueKind(N) == vkSubQuery)
        return TFilterCond::EditsDates(N);
    const auto* text
        = FField->EditType() == 1 ? static_cast<const TDSTextEditor*>(FField->Editor()) : nullptr;
    return text && IsDateEditKind(text->EditKind());
}

TDropDownLabel* TSimpleCond::CreateValueLabel(TDropDownLabel* Old, int N, bool Attach)
{
    FreeValueLabel(Old);
    const int n = N == 1 ? 1 : 2;
    const TQPAppearanceOptions options = Panel()->Appearance().Options();
    std::unique_ptr<TDropDownLabel> label;
    if (GetValueKind(n) == vkSubQuery) {
        label = std::make_unique<TDropDownLabel>();
        label->SetCaption(Panel()->GetTitle(QStringLiteral("ttlSubQueryCaption")));
        label->OnCustomDropDown = [this](TDropDownLabel* Sender, QString& Value, bool& Accept) {
            EditSubQuery(Sender, Value, Accept);
        };
    } else if (!FField || !FField->Editor()) {
        label.reset(DefaultValueEditor(n));
    } else if (FField->EditType() == 1) {
        const auto* text = static_cast<const TDSTextEditor*>(FField->Editor());
        TDropDownCustomEdit* edit;
        if (text->EditKind() == 1) {
            auto* mask = new TDropDownMaskEdit;
            mask->SetEditMask(text->EditMask());
            mask->SetUseFormattedValue(text->FmtVal());
            edit = mask;
        } else if (IsDateEditKind(text->EditKind())) {
            auto* date = new TDropDownDateTimeEdit;
            date->SetKind(text->EditKind() == 2 ? ekDate : ekTime);
            date->SetListValue(GetValueKind(n) == vkList);
            edit = date;
        } else {
            // Edit kinds above 3 are plain texts too.
            edit = new TDropDownEdit;
            edit->SetValueType(text->ValType() == 1 ? vtInteger : text->ValType() == 2 ? vtFloat : vtString);
        }
        label.reset(edit);
        if (!IsDateEditKind(text->EditKind())) {
            edit->SetAutoUpperCase(text->HasOption(TDSTextEditor::eoUpperCase));
            edit->SetAutoLowerCase(text->HasOption(TDSTextEditor::eoLowerCase));
        }
    } else if (FField->EditType() == 2 || FField->EditType() == 4) {
        TDropDownList* list;
        if (GetValueKind(n) == vkList) {
            list = new TDropDownCheckListBox;
        } else if (options.Contains(aoPopupValue)) {
            auto* popup = new TDropDownPopup;
            popup->SetMaxItemCount(Panel()->MaxPopupItemCount());
            list = popup;
        } else {
            list = new TDropDownListBox;
        }
        label.reset(list);
        FillValueList(list);
    } else {
        label = std::make_unique<TDropDownLabel>();
        label->OnCustomDropDown = [this](TDropDownLabel* Sender, QString& Value, bool& Accept) {
            CustomValueDropDown(Sender, Value, Accept);
        };
    }
    if (auto* edit = qobject_cast<TDropDownCustomEdit*>(label.get())) {
        edit->OnEditDblClick = [this](TDropDownLabel* Sender, QString& Value) {
            if (const auto handler = Panel()->OnValueDblClick)
                handler(Panel(), this, ValueIndexOf(Sender), Value);
        };
    }
    if (Attach)
        AttachValueLabel(label.get());
    return label.release();
}

void TSimpleCond::CustomValueDropDown(TDropDownLabel* Sender, QString& Value, bool& Accept)
{
    const auto handler = Panel()->OnCustomValue;
    if (!handler)
        return;
    const QString old = Value;
    handler(Panel(), this, ValueIndexOf(Sender), Value);
    Accept = Value != old;
}

void TSimpleCond::EditSubQuery(TDropDownLabel* Sender, QString& Value, bool& Accept)
{
    const auto handler = Panel()->OnCustomValue;
    if (!FField || FField->EditType() != 3 || !handler) {
        TFilterCond::EditSubQuery(Sender, Value, Accept);
        return;
    }
    QString text = Value;
    handler(Panel(), this, 1, text);
    text = ReplaceAll(text, QStringLiteral("\r\n"), QStringLiteral("  "));
    Accept = text != Value;
    if (!Accept)
        return;
    Value = text;
    // The stored sub-query text described the old statement; the SQL is all that is known now.
    SubQuery().clear();
    SetValueCaption(1, Panel()->GetTitle(QStringLiteral("ttlSubQueryCaption")));
    SetValueHint(text);
}

QString TSimpleCond::GetValueCaption(int N) const
{
    if (GetValueKind(N) == vkSubQuery)
        return Panel()->GetTitle(QStringLiteral("ttlSubQueryCaption"));
    return TFilterCond::GetValueCaption(N);
}

QString TSimpleCond::GetFieldName() const
{
    return FField ? FField->DisplayName() : QString();
}

TFieldType TSimpleCond::GetValueType(int) const
{
    if (!FField || !FOperator)
        return ftUnknown;
    return FOperator->ExprType() != ftUnknown ? FOperator->ExprType() : FField->FieldType();
}

TValueKind TSimpleCond::GetValueKind(int) const
{
    return FOperator ? FOperator->ValueKind() : vkScalar;
}

QList<TDSTable*> TSimpleCond::GetTables() const
{
    return FField ? QList<TDSTable*>(FField->Tables()) : QList<TDSTable*>();
}

QString TSimpleCond::GetSQLTemplate() const
{
    return FOperator ? FOperator->SQLName() : QString();
}

int TSimpleCond::GetValueCount() const
{
    return FOperator ? FOperator->GetParamCount() : 0;
}

bool TSimpleCond::IsAggregate() const
{
    return FAggregate;
}

const QStringList* TSimpleCond::GetCondCustomData() const
{
    if (!FField || FField->EditType() != 3)
        return nullptr;
    return &static_cast<const TDSCustomEditor*>(FField->Editor())->CustomData();
}

void TSimpleCond::ValueChanged()
{
    UpdateEqualValue();
}

QString TSimpleCond::EqualValueText() const
{
    const QString value = ValueText(1);
    const TFieldType type = FField->FieldType();
    if (FField->Structure()->QuotedTypes().Contains(type) || value.isEmpty())
        return FField->QuoteValue(value);
    // Unquoted values go into the value lists' SQL as they are: only a number may.
    try {
        if (IntegerValueTypes.Contains(type)) {
            qint64 number = 0;
            if (rtl::TryStrToInt64(value, number))
                return rtl::IntToStr(number);
        } else if (DecimalValueTypes.Contains(type)) {
            return TQueryResult::FormatSQLNumber(type == ftCurrency ? ftCurrency : ftFloat, value);
        } else {
            return SQLStringLiteral(value);
        }
    } catch (const rtl::EConvertError&) {
    }
    return QStringLiteral("NULL");
}

void TSimpleCond::UpdateEqualValue()
{
    const bool equal = FField && FOperator && FOperator->Name() == EqualOperator;
    const QString name = equal ? FField->DisplayName() : QString();
    // While rows are read, each would re-check every other row: the lines are made once at the end.
    if (Panel()->ReadingRows()) {
        FEqualName = name;
        return;
    }
    if (!FEqualName.isEmpty() && FEqualName != name)
        ReleaseEqualValue(false);
    if (name.isEmpty())
        return;
    rtl::StringList& values = Panel()->EqualValues();
    const QString text = EqualValueText();
    const bool changed = values.IndexOfName(name) < 0 || values.Values(name) != text;
    values.SetValues(name, text);
    FEqualName = name;
    if (changed && Panel()->Root())
        Panel()->Root()->RefreshDependents(this, name);
}

void TSimpleCond::ReleaseEqualValue(bool Deferred)
{
    const QString name = FEqualName;
    FEqualName.clear();
    if (Panel()->ReadingRows())
        return;
    QString text;
    if (TFilterBracket* root = Panel()->Root()) {
        ForEachSimpleCond(root, [&](TSimpleCond* Other) {
            if (Other != this && Other->FEqualName == name)
                text = Other->EqualValueText();
        });
    }
    rtl::StringList& values = Panel()->EqualValues();
    const bool unchanged = values.IndexOfName(name) >= 0 ? values.Values(name) == text : text.isEmpty();
    values.SetValues(name, text);
    if (unchanged)
        return;
    if (!Deferred) {
        if (TFilterBracket* root = Panel()->Root())
            root->RefreshDependents(this, name);
        return;
    }
    // A row that is going may be in the middle of its bracket's deletion: the lists that depend on
    // the value are refreshed once the deletion is over.
    QPointer<TZQueryPanel> panel = Panel();
    QTimer::singleShot(0, panel, [panel, name] {
        platform::Guarded([&] {
            if (panel && panel->Root() && panel->ProcessState() == qpIdle)
                panel->Root()->RefreshDependents(nullptr, name);
        });
    });
}

void TSimpleCond::RebuildEqualValues(TZQueryPanel* Panel)
{
    rtl::StringList& values = Panel->EqualValues();
    values.clear();
    if (!Panel->Root())
        return;
    // In row order, so the last condition holds a line, as when each one wrote it in turn.
    ForEachSimpleCond(Panel->Root(), [&](TSimpleCond* Condition) {
        if (!Condition->FEqualName.isEmpty())
            values.SetValues(Condition->FEqualName, Condition->EqualValueText());
    });
    ForEachSimpleCond(Panel->Root(), [](TSimpleCond* Condition) {
        if (Condition->SQLEditor())
            Condition->RefreshDependentList();
    });
}

void TSimpleCond::RefreshDependents(TFilterRow* Source, const QString& FieldName)
{
    const TDSSQLEditor* editor = SQLEditor();
    if (Source == this || Destroying() || FRefreshing || !editor || !editor->HasParam(FieldName))
        return;
    FRefreshing = true;
    try {
        RefreshDependentList();
    } catch (...) {
        FRefreshing = false;
        throw;
    }
    FRefreshing = false;
}

void TSimpleCond::RefreshDependentList()
{
    // While a query is read or its rows are made again, the values are the saved ones: a row
    // without labels has nothing to refill then.
    const bool keepValues = Panel()->ProcessState() != qpIdle;
    if (keepValues && !HasControls())
        return;
    TDSSQLEditor* editor = SQLEditor();
    editor->SetParams(Panel()->EqualValues());
    editor->Refresh();
    bool changed = false;
    for (int n = 1; n <= 2; ++n) {
        auto* list = qobject_cast<TDropDownList*>(ValueLabel(n));
        if (!list) {
            // A row not shown yet takes the first choice as its list label would.
            QStringList values;
            QStringList items;
            bool multiple = false;
            if (HasControls() || !HasValueSlot(n) || IsParam(n) || !ValueChoices(n, values, items, multiple))
                continue;
            changed = changed || (n == 1 && values.value(0) != ValueText(1));
            StoreCaption(n, items.value(0));
            RestoreValue(n, values.value(0));
            continue;
        }
        list->ClearItems();
        list->AddItems(QString(), editor->Values(), editor->Items());
        if (keepValues || IsParam(n))
            continue;
        if (editor->Values().isEmpty()) {
            list->SetValue(QString());
            list->SetCaption(QString());
        } else {
            list->SetItemIndex(0);
        }
        changed = changed || (n == 1 && list->Value() != ValueText(1));
        RestoreValue(n, list->Value());
    }
    if (changed)
        UpdateEqualValue();
}

void TSimpleCond::ApplyDroppedValue(int N, TDropDownLabel* Sender)
{
    if (N == FieldLabel) {
        bool ok = false;
        const int id = Sender->Value().toInt(&ok);
        if (ok)
            SetField(Panel()->DbStruct()->FieldByID(id));
    } else if (N == OperatorLabel) {
        const int index = OperatorChooser()->ItemIndex();
        if (FField && index >= 0 && index < FField->GetOperatorCount())
            SetOperator(FField->GetOperator(index));
    } else {
        TFilterCond::ApplyDroppedValue(N, Sender);
    }
}

// ---------------------------------------------------------------------------------------------
// TCustomCond

TCustomCond::TCustomCond(TZQueryPanel* Panel, TDSCondition* Condition, TFilterBracket* Parent)
    : TFilterCond(Panel, Parent, 2), FCondition(Condition)
{
    const int count = GetValueCount();
    if (count >= 1)
        SetValueSlot(1, true);
    if (count > 1)
        SetValueSlot(2, true);
}

void TCustomCond::MakeElements()
{
    TFilterCond::MakeElements();
    const int count = GetValueCount();
    const QString first
        = count == 0 ? (FCondition ? FCondition->GetCaption() : QString()) : FCondition->Values()[0]->Text();
    SetElement(1, NewPlainLabel(first));
    if (HasValueSlot(1))
        MakeValueLabel(1);
    if (HasValueSlot(2)) {
        MakeValueLabel(2);
        SetElement(BetweenLabel, NewPlainLabel(FCondition->Values()[1]->Text()));
    }
}

TDropDownLabel* TCustomCond::CreateValueLabel(TDropDownLabel* Old, int N, bool Attach)
{
    FreeValueLabel(Old);
    TDropDownLabel* label = DefaultValueEditor(N);
    if (Attach)
        AttachValueLabel(label);
    return label;
}

QString TCustomCond::GetSQLTemplate() const
{
    return FCondition ? FCondition->SQLExpr() : QString();
}

QList<TDSTable*> TCustomCond::GetTables() const
{
    return FCondition ? QList<TDSTable*>(FCondition->Tables()) : QList<TDSTable*>();
}

int TCustomCond::GetValueCount() const
{
    return FCondition ? FCondition->Values().Count() : 0;
}

TValueKind TCustomCond::GetValueKind(int N) const
{
    return N >= 1 && N <= GetValueCount() ? FCondition->Values()[N - 1]->ValueKind() : vkScalar;
}

TFieldType TCustomCond::GetValueType(int N) const
{
    return N >= 1 && N <= GetValueCount() ? FCondition->Values()[N - 1]->DataType() : ftUnknown;
}
