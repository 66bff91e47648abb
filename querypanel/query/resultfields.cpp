#include "querypanel/query/resultfields.h"

#include "core/base/zstrings.h"
#include "querypanel/query/querynodes.h"
#include "rtl/strutils.h"

#include <algorithm>
#include <functional>

namespace {

QString Slot(int N)
{
    return u'@' + QString::number(N);
}

// Calls Visit for every slot "@<digits>" of Text with its number and its text; what Visit answers
// stands in the slot's place. A slot is the whole run of digits, so slot 1 never matches slot 10.
QString MapSlots(const QString& Text, const std::function<QString(int, const QString&)>& Visit)
{
    QString result;
    result.reserve(Text.size());
    qsizetype i = 0;
    while (i < Text.size()) {
        qsizetype end = i + 1;
        if (Text[i] == u'@')
            while (end < Text.size() && IsDigitChar(Text[end]))
                ++end;
        if (end > i + 1) {
            const QString slot = Text.mid(i, end - i);
            result += Visit(slot.mid(1).toInt(), slot);
        } else {
            result += Text[i];
        }
        i = end;
    }
    return result;
}

bool ContainsSlot(const QString& Text, int N)
{
    bool found = false;
    MapSlots(Text, [&](int slot, const QString& original) {
        found = found || slot == N;
        return original;
    });
    return found;
}

// Runs the panel's BeginUpdate and, on leaving the scope, its EndUpdate, so one Changed follows.
class UpdateScope {
public:
    explicit UpdateScope(TQueryOwner* Panel) : FPanel(Panel)
    {
        if (FPanel)
            FPanel->BeginUpdate();
    }
    ~UpdateScope()
    {
        if (FPanel)
            FPanel->EndUpdate();
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TQueryOwner* FPanel;
};

}  // namespace

TResultField::TResultField(TRFieldList* Owner) : FOwner(Owner), FFields(Owner->DBStruct())
{
}

TZCustomDBStructure* TResultField::DBStruct() const
{
    return FOwner->DBStruct();
}

TQueryOwner* TResultField::Panel() const
{
    return FOwner->Panel();
}

void TResultField::SetCaption(const QString& Text)
{
    if (Text == FCaption)
        return;
    FCaption = Text;
    UpdateAlias();
    if (Panel())
        Panel()->Changed();
}

void TResultField::SetAlias(const QString& Text)
{
    if (Text == FAlias)
        return;
    FAlias = Text.isEmpty() ? QString() : FOwner->UniqueAlias(Text);
}

void TResultField::SetFormula(const QString& Text)
{
    if (Text == FFormula)
        return;
    FFormula = Text;
    for (int i = FFields.Count(); i >= 1; --i)
        if (!ContainsSlot(FFormula, i))
            DeleteFieldSlot(i - 1);
    if (Panel())
        Panel()->Changed();
}

void TResultField::DeleteFieldSlot(int Index)
{
    bool deleted = false;
    FFormula = MapSlots(FFormula, [&](int slot, const QString& original) {
        if (slot == Index + 1 && !deleted) {
            deleted = true;
            return QString();
        }
        return slot > Index + 1 && slot <= FFields.Count() ? Slot(slot - 1) : original;
    });
    FFields.Delete(Index);
}

void TResultField::SetSorting(uint8_t Value)
{
    if (Value == FSorting)
        return;
    FSorting = Value;
    if (Value != 0 && FSortOrder == 0) {
        int largest = 0;
        for (const TResultField* field : *FOwner)
            if (field->Sorting() != 0)
                largest = std::max(largest, field->SortOrder());
        FSortOrder = largest + 1;
    }
    if (Panel())
        Panel()->Changed();
}

QString TResultField::IdentifierAlias(bool ASCIIOnly) const
{
    QString alias;
    for (QChar ch : FCaption) {
        if (!ASCIIOnly && ch == u' ')
            ch = u'_';
        const bool letter
            = ASCIIOnly ? (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z') : ch.isLetter();
        // A leading digit would make the alias a number.
        if (letter || ch == u'_' || (IsDigitChar(ch) && !alias.isEmpty()))
            alias += ch;
    }
    if (alias.isEmpty() && !FCaption.isEmpty()) {
        const int index = FOwner->IndexOf(this);
        alias = u'C' + QString::number((index >= 0 ? index : FOwner->Count()) + 1);
    }
    return alias;
}

void TResultField::UpdateAlias()
{
    if (!FOwner->AutoAliases())
        FAlias.clear();
    else if (FOwner->QuoteAliases())
        SetAlias(FCaption);
    else
        SetAlias(IdentifierAlias(FOwner->ASCIIAliases()));
}

void TResultField::SetDefaultCaption()
{
    QString caption;
    for (const TDSField* field : FFields)
        caption += field->DisplayName();
    FCaption = caption.isEmpty() ? QString::number(FOwner->IndexOf(this) + 1) : caption;
}

QString TResultField::GetExpression() const
{
    return MapSlots(FFormula, [this](int slot, const QString& original) {
        return slot >= 1 && slot <= FFields.Count() ? FFields[slot - 1]->GetSQLExpr() : original;
    });
}

bool TResultField::AliasIsColumnName() const
{
    return FFields.Count() == 1 && rtl::SameText(FFields[0]->FieldExpr(), FAlias);
}

QString TResultField::GetSQLText() const
{
    const QString expression = GetExpression();
    if (FAlias.isEmpty() || AliasIsColumnName())
        return expression;
    return expression + QStringLiteral(" as ") + GetQuotedAlias();
}

QString TResultField::GetQuotedAlias() const
{
    // A keyword, or an alias set by hand that is no plain word, is quoted, so it cannot end the
    // column early.
    if (!FOwner->QuoteAliases() && IsPlainSQLName(FAlias))
        return FAlias;
    const TZCustomDBStructure* model = DBStruct();
    return model
        ? QuoteIdentifier(FAlias, model->SQLFormats().QuoteSymbol1(), model->SQLFormats().QuoteSymbol2())
        : QuoteIdentifier(FAlias, u'"', u'"');
}

QString TResultField::GetOrderName() const
{
    // Under SELECT *, and for an alias that SELECT leaves out, no alias is defined to sort by: the
    // bare column name may be a column of another table as well.
    const bool noAliasInSelect = FOwner->JustSorting() || (!FAlias.isEmpty() && AliasIsColumnName());
    if (noAliasInSelect && !FFormula.isEmpty())
        return GetExpression();
    if (FAlias.isEmpty())
        return QString::number(FColumnNo);
    return GetQuotedAlias();
}

bool TResultField::IsAggregate() const
{
    return IsAggregateExpr(GetExpression());
}

QString TResultField::GetDisplayFormula() const
{
    return MapSlots(FFormula, [this](int slot, const QString& original) {
        return slot >= 1 && slot <= FFields.Count() ? u'{' + FFields[slot - 1]->DisplayName() + u'}'
                                                    : original;
    });
}

void TResultField::SetFromExpression(const QString& SQLText)
{
    FFormula = rtl::LowerCase(SQLText);
    TZCustomDBStructure* model = DBStruct();
    if (TDSField* whole = model->FindField(3, SQLText)) {
        FFields.Add(whole);
        FFormula = Slot(1);
        return;
    }
    const auto bindBy = [&](const std::function<QString(const TDSField*)>& Name) {
        for (TDSField* field : model->Fields()) {
            const QString name = rtl::LowerCase(Name(field));
            if (name.isEmpty() || !ContainsWord(FFormula, name))
                continue;
            FFields.Add(field);
            FFormula = ReplaceAll(FFormula, name, Slot(FFields.Count()));
        }
    };
    bindBy([](const TDSField* field) { return field->GetSQLExpr(); });
    if (FFields.Count() == 0)
        bindBy([](const TDSField* field) { return field->GetFullName(); });
    if (FFields.Count() == 0) {
        FFormula = Slot(1);
        FFields.Add(model->PlaceholderField());
    }
}

void TResultField::AssignTo(TResultField* Target) const
{
    UpdateScope update(Target->Panel());
    while (Target->FFields.Count() > 0)
        Target->FFields.Delete(Target->FFields.Count() - 1);
    for (TDSField* field : FFields)
        Target->FFields.Add(field);
    Target->SetFormula(FFormula);
    Target->SetCaption(FCaption);
    Target->SetAlias(FAlias);
    Target->SetSorting(FSorting);
    Target->FSortOrder = FSortOrder;
}

TRFieldList::TRFieldList(TZCustomDBStructure* DBStruct) : FDBStruct(DBStruct)
{
}

void TRFieldList::SetDBStruct(TZCustomDBStructure* Value)
{
    FDBStruct = Value;
}

void TRFieldList::Changed()
{
    TZObjectList::Changed();
    if (FPanel)
        FPanel->Changed();
}

TResultField* TRFieldList::CreateField(
    const QString& Formula, const QList<TDSField*>& Fields, const QString& Caption)
{
    auto* field = new TResultField(this);
    field->SetFormula(Formula);
    for (TDSField* item : Fields)
        field->Fields().Add(item);
    field->SetCaption(Caption);
    return field;
}

TResultField* TRFieldList::AddField(
    const QString& Formula, const QList<TDSField*>& Fields, const QString& Caption)
{
    TResultField* field = CreateField(Formula, Fields, Caption);
    Add(field);
    FJustSorting = false;
    return field;
}

TResultField* TRFieldList::InsertNew(int Index)
{
    auto* field = new TResultField(this);
    try {
        Insert(Index, field);
    } catch (...) {
        delete field;
        throw;
    }
    return field;
}

TResultField* TRFieldList::InsertFieldFromSQL(
    int Index, const QString& Caption, const QString& Expression, uint8_t Sorting, int SortOrder)
{
    TResultField* field = InsertNew(Index);
    field->SetFromExpression(Expression);
    if (Caption.isEmpty())
        field->SetDefaultCaption();
    else
        field->SetCaption(Caption);
    field->SetSorting(Sorting);
    field->SetSortOrder(SortOrder);
    FJustSorting = false;
    return field;
}

TResultField* TRFieldList::AddFieldFromSQL(
    const QString& Caption, const QString& Expression, uint8_t Sorting, int SortOrder)
{
    return InsertFieldFromSQL(Count(), Caption, Expression, Sorting, SortOrder);
}

namespace {

QString UniqueText(
    const TRFieldList& List, const QString& Text, const std::function<QString(const TResultField*)>& Of)
{
    QString candidate = Text;
    for (int n = 1;; ++n) {
        const bool taken = std::any_of(List.begin(), List.end(),
            [&](const TResultField* field) { return rtl::SameText(Of(field), candidate); });
        if (!taken)
            return candidate;
        candidate = Text + QString::number(n);
    }
}

}  // namespace

QString TRFieldList::UniqueAlias(const QString& Text) const
{
    return UniqueText(*this, Text, [](const TResultField* field) { return field->Alias(); });
}

QString TRFieldList::UniqueCaption(const QString& Text) const
{
    return UniqueText(*this, Text, [](const TResultField* field) { return field->Caption(); });
}

void TRFieldList::NumberColumns()
{
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->SetColumnNo(i + 1);
}

QString TRFieldList::GetCaptionsText() const
{
    QStringList captions;
    for (const TResultField* field : *this)
        captions << field->Caption();
    const QString text = captions.join(QStringLiteral(", "));
    return text.isEmpty() ? QStringLiteral("*") : text;
}

void TRFieldList::UpdateAliases()
{
    for (TResultField* field : *this)
        field->UpdateAlias();
}

int TRFieldList::GetSortedCount() const
{
    return int(
        std::count_if(begin(), end(), [](const TResultField* field) { return field->Sorting() != 0; }));
}

void TRFieldList::AssignTo(TRFieldList* Target) const
{
    UpdateScope update(Target->Panel());
    Target->SetJustSorting(FJustSorting);
    Target->Clear();
    for (int i = 0; i < Count(); ++i)
        GetItem(i)->AssignTo(Target->InsertNew(i));
}
