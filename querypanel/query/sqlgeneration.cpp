// Building a query: the tables it needs, its clauses and the text of every condition.
#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "querypanel/query/queryerrors.h"
#include "querypanel/query/queryresult.h"
#include "rtl/datetime.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr TFieldTypes DateTypes {ftDate, ftTime, ftDateTime, ftTimeStamp};
constexpr TFieldTypes IntegerTypes {ftSmallint, ftInteger, ftWord, ftAutoInc, ftLargeint};
constexpr TFieldTypes DecimalTypes {ftFloat, ftCurrency, ftBCD, ftFMTBcd};
constexpr TFieldTypes StringTypes {ftString, ftMemo, ftFmtMemo, ftFixedChar, ftWideString};

enum class TPass : uint8_t { Where, Having };

// Restores the panel's idle state on leaving the scope, also when building fails.
class BuildingScope {
public:
    explicit BuildingScope(TQueryOwner* Panel) : FPanel(Panel) { FPanel->SetProcessState(qpBuilding); }
    ~BuildingScope() { FPanel->SetProcessState(qpIdle); }
    BuildingScope(const BuildingScope&) = delete;
    BuildingScope& operator=(const BuildingScope&) = delete;

private:
    TQueryOwner* FPanel;
};

// The row path the panel shows on its buttons: "2.1" is the first row of the second row.
QString RowPath(const std::vector<int>& Path)
{
    QStringList parts;
    for (int index : Path)
        parts << QString::number(index);
    return parts.join(u'.');
}

// Whether a row has an enabled condition somewhere below enabled brackets.
bool HasEnabledCondition(const TConditionNode* Row)
{
    if (!Row->IsBracketNode())
        return true;
    for (int i = 0; i < Row->NodeCount(); ++i)
        if (Row->NodeAt(i)->Checked() && HasEnabledCondition(Row->NodeAt(i)))
            return true;
    return false;
}

// A condition the model cannot write: no field or operator yet, or a stand-in for an item a saved
// query names and the model lacks.
void CheckComplete(const TConditionNode* Row, const TZCustomDBStructure* Model, const std::vector<int>& Path)
{
    QString missing;
    if (Row->RowType() == 2) {
        const TDSCondition* condition = Row->NodeCondition();
        if (!condition)
            missing = QStringLiteral("none");
        else if (condition == Model->PlaceholderCondition())
            missing = condition->GetCaption();
    } else {
        const TDSField* field = Row->NodeField();
        const TDSOperator* op = Row->NodeOperator();
        if (!field || !op)
            missing = QStringLiteral("none");
        else if (field == Model->PlaceholderField())
            missing = field->DisplayName();
        else if (op == Model->PlaceholderOperator())
            missing = op->DisplayName();
    }
    if (!missing.isEmpty())
        throw EZQueryPanelError::Create(qpeIncompleteCondition, RowPath(Path), missing);
}

class TConditionWalker {
public:
    TConditionWalker(const TZCustomDBStructure* Model, TConditionInputs& Inputs)
        : FModel(Model), FInputs(Inputs)
    {
    }

    // The pieces of the root's rows: plain rows into WHERE, rows on totals into HAVING. Each row is
    // asked once whether it is an aggregate.
    void WalkRoot(const TConditionNode* Root)
    {
        int taken[2] = {0, 0};
        for (int i = 0; i < Root->NodeCount(); ++i) {
            TConditionNode* row = Root->NodeAt(i);
            if (!row->Checked())
                continue;
            const bool aggregate = row->IsAggregate();
            FPieces = aggregate ? &FInputs.Having : &FInputs.Where;
            FPath.push_back(i + 1);
            if (TakeRow(Root, row, aggregate ? TPass::Having : TPass::Where, taken[aggregate]))
                ++taken[aggregate];
            FPath.pop_back();
        }
        for (std::vector<TClausePiece>* pieces : {&FInputs.Where, &FInputs.Having})
            if (!pieces->empty())
                pieces->push_back({TClausePiece::Close, Root->NodeLinkType()});
    }

private:
    // A bracket below the root is written in one pass; a row of the other kind in it would be lost.
    int Walk(const TConditionNode* Bracket, TPass Pass)
    {
        int taken = 0;
        for (int i = 0; i < Bracket->NodeCount(); ++i) {
            TConditionNode* row = Bracket->NodeAt(i);
            if (!row->Checked())
                continue;
            FPath.push_back(i + 1);
            if (row->IsAggregate() != (Pass == TPass::Having)) {
                if (HasEnabledCondition(row))
                    throw EZQueryPanelError::Create(qpeNestedAggregate, RowPath(FPath));
            } else if (TakeRow(Bracket, row, Pass, taken)) {
                ++taken;
            }
            FPath.pop_back();
        }
        if (taken > 0)
            FPieces->push_back({TClausePiece::Close, Bracket->NodeLinkType()});
        return taken;
    }

    // The row's pieces after the link word, or after the bracket's opening for its first row; a
    // bracket that yields nothing leaves neither.
    bool TakeRow(const TConditionNode* Bracket, TConditionNode* Row, TPass Pass, int Taken)
    {
        const size_t mark = FPieces->size();
        FPieces->push_back({Taken > 0 ? TClausePiece::Link : TClausePiece::Open, Bracket->NodeLinkType()});
        if (!Row->IsBracketNode()) {
            CheckComplete(Row, FModel, FPath);
            FPieces->push_back({TClausePiece::Condition, fltAll, int(FInputs.Conditions.size())});
            Read(Row);
            return true;
        }
        if (Walk(Row, Pass) > 0)
            return true;
        FPieces->resize(mark);
        return false;
    }

    void Read(TConditionNode* Row)
    {
        TConditionInput& input = FInputs.Conditions.emplace_back();
        input.Node = Row;
        input.Field = Row->RowType() == 0 ? Row->NodeField() : nullptr;
        input.Tables = Row->GetTables();
        input.Template = Row->GetSQLTemplate();
        input.FirstValue = int(FInputs.Values.size());
        input.ValueCount = Row->GetValueCount();
        for (int i = 1; i <= input.ValueCount; ++i)
            FInputs.Values.push_back(
                {Row->ValueText(i), Row->Param(i), Row->GetValueType(i), Row->GetValueKind(i)});
    }

    const TZCustomDBStructure* FModel;
    TConditionInputs& FInputs;
    std::vector<TClausePiece>* FPieces = nullptr;
    std::vector<int> FPath;
};

QString LinkWord(TFilterLinkType Type)
{
    return Type == fltAll || Type == fltNotAll ? QStringLiteral(" AND") : QStringLiteral(" OR");
}

QString Opening(TFilterLinkType Type)
{
    return Type == fltNone || Type == fltNotAll ? QStringLiteral("NOT (") : QStringLiteral("(");
}

bool InsideLiteralAfter(const QString& Text, qsizetype From, qsizetype To, bool Inside)
{
    for (qsizetype i = From; i < To; ++i)
        if (Text[i] == u'\'')
            Inside = !Inside;
    return Inside;
}

// One replacement of a template: Pattern stands for Text, or for Text in apostrophes when Wrap is
// set. A rule with Context 1 applies only inside string literals of the template, 2 only outside
// them, 0 anywhere.
// A rule with an Alias writes it after Text, unless the template names the table anew right there.
struct TRule {
    QStringView Pattern;
    QString Text;
    bool IgnoreCase = false;
    int Context = 0;
    bool Wrap = false;
    QString Alias {};
};

// Whether a template goes on with a name of its own for the table just written: AS, an alias (a
// plain word that is no keyword, or a quoted one), or a "." that qualifies by the table's name.
bool NamesTableAnew(QStringView Rest)
{
    if (Rest.startsWith(u'.'))
        return true;
    const QStringView next = Rest.trimmed();
    if (next.isEmpty())
        return false;
    if (next[0] == u'"' || next[0] == u'[' || next[0] == u'`')
        return true;
    qsizetype end = 0;
    while (end < next.size()
        && (next[end].unicode() >= 128 || next[end] == u'_' || IsDigitChar(next[end])
            || (next[end] >= u'A' && next[end] <= u'Z') || (next[end] >= u'a' && next[end] <= u'z')))
        ++end;
    const QStringView word = next.first(end);
    return word.compare(u"AS", Qt::CaseInsensitive) == 0 || IsPlainSQLName(word.toString());
}

// Fills Template in one pass over the original text: what a rule puts in is never read again, so a
// value holding "@2", "@f" or ":Param1" stays as it is. Literals are tracked from the start of the
// template, so the rules see where the template's own apostrophes open and close.
template <typename TRules>
QString FillTemplate(const QString& Template, const TRules& Rules)
{
    QString result;
    result.reserve(Template.size() + 64);
    bool inside = false;
    qsizetype copied = 0;
    qsizetype i = 0;
    while (i < Template.size()) {
        const QChar ch = Template[i];
        const TRule* match = nullptr;
        // Every pattern starts with "@" or with the apostrophe of a literal.
        if (ch == u'@' || ch == u'\'') {
            const QStringView rest = QStringView(Template).mid(i);
            for (const TRule& rule : Rules) {
                if (rule.Context != (inside ? 2 : 1)
                    && rest.startsWith(
                        rule.Pattern, rule.IgnoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive)) {
                    match = &rule;
                    break;
                }
            }
        }
        if (!match) {
            if (ch == u'\'')
                inside = !inside;
            ++i;
            continue;
        }
        result += QStringView(Template).mid(copied, i - copied);
        if (match->Wrap)
            result += u'\'';
        result += match->Text;
        if (match->Wrap)
            result += u'\'';
        inside = InsideLiteralAfter(Template, i, i + match->Pattern.size(), inside);
        i += match->Pattern.size();
        if (!match->Alias.isEmpty() && !NamesTableAnew(QStringView(Template).mid(i)))
            result += u' ' + match->Alias;
        copied = i;
    }
    result += QStringView(Template).mid(copied);
    return result;
}

QString ValueOwnerName(const TConditionNode* Condition)
{
    const QString name = Condition->GetFieldName();
    if (!name.isEmpty() || !Condition->NodeCondition())
        return name;
    return Condition->NodeCondition()->GetCaption();
}

// A number as the template may take it bare: digits with an optional "." part and sign.
bool IsPlainNumber(const QString& Text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
    return number.match(Text).hasMatch();
}

// Which of the table placeholders "@t" and "@m" Template holds, in either case. Asked for every
// condition, so it is one look at each character, with no folded copy of the text.
struct TTablePlaceholders {
    bool Table = false;
    bool Main = false;
};

TTablePlaceholders TablePlaceholders(QStringView Template)
{
    TTablePlaceholders found;
    for (qsizetype p = 0; p + 1 < Template.size(); ++p) {
        if (Template[p] != u'@')
            continue;
        const char16_t next = Template[p + 1].unicode() | 0x20;
        found.Table = found.Table || next == u't';
        found.Main = found.Main || next == u'm';
    }
    return found;
}

// FindQuotedSpan as a part of Template, so that building a condition copies nothing.
QStringView QuotedSpan(QStringView Template, QStringView Placeholder)
{
    const qsizetype p = Template.indexOf(Placeholder);
    if (p < 0 || Placeholder.isEmpty())
        return {};
    // Where the literal holding the placeholder opens, counted from the start of the template.
    // A doubled apostrophe inside a literal is one character of it, as on the closing side.
    qsizetype open = -1;
    for (qsizetype i = 0; i < p; ++i) {
        if (Template[i] != u'\'')
            continue;
        if (open < 0)
            open = i;
        else if (i + 1 < p && Template[i + 1] == u'\'')
            ++i;
        else
            open = -1;
    }
    if (open < 0)
        return Template.mid(p, Placeholder.size());
    qsizetype close = Template.indexOf(u'\'', p + Placeholder.size());
    while (close >= 0 && close + 1 < Template.size() && Template[close + 1] == u'\'')
        close = Template.indexOf(u'\'', close + 2);
    return close < 0 ? Template.mid(open) : Template.mid(open, close - open + 1);
}

// Every "@f" that LIKE compares with a pattern: "@f like", "@f not like".
const QRegularExpression& FieldBeforeLike()
{
    static const QRegularExpression beforeLike(
        QStringLiteral(R"(@f(\s+(not\s+)?like)(?![\w$]))"), QRegularExpression::CaseInsensitiveOption);
    return beforeLike;
}

template <typename TRules>
void CastBeforeLike(const QString& Template, const QString& Name, TRules& Rules)
{
    if (!Template.contains(QStringLiteral("like"), Qt::CaseInsensitive))
        return;
    const QString cast = TextCast(Name);
    auto matches = FieldBeforeLike().globalMatch(Template);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        Rules.push_back({QStringView(Template).mid(match.capturedStart(), match.capturedLength()),
            cast + match.captured(1), true});
    }
}

// Whether the literal Span holds a LIKE wildcard besides Slot.
bool IsPattern(QStringView Span, QStringView Slot)
{
    if (Span.size() <= Slot.size() + 2 || !Span.startsWith(u'\''))
        return false;
    const qsizetype at = Span.indexOf(Slot);
    for (QStringView part : {Span.first(at), Span.sliced(at + Slot.size())})
        if (part.contains(u'%') || part.contains(u'_'))
            return true;
    return false;
}

// "@1", "@2", ... without making the text for every condition.
QString Slot(int N)
{
    static const QString texts[] = {QStringLiteral("@1"), QStringLiteral("@2"), QStringLiteral("@3"),
        QStringLiteral("@4"), QStringLiteral("@5"), QStringLiteral("@6"), QStringLiteral("@7"),
        QStringLiteral("@8"), QStringLiteral("@9")};
    return N >= 1 && N <= int(std::size(texts)) ? texts[N - 1] : u'@' + QString::number(N);
}

}  // namespace

bool IsNumberField(const TDSField* Field)
{
    return IntegerTypes.Contains(Field->FieldType()) || DecimalTypes.Contains(Field->FieldType());
}

QString TextCast(const QString& Name)
{
    return QStringLiteral("CAST(") + Name + QStringLiteral(" AS VARCHAR(64))");
}

int FieldsBeforeLike(const QString& Template)
{
    int count = 0;
    for (auto matches = FieldBeforeLike().globalMatch(Template); matches.hasNext(); matches.next())
        ++count;
    return count;
}

QString FindQuotedSpan(const QString& Template, const QString& Placeholder)
{
    return QuotedSpan(Template, Placeholder).toString();
}

void TQueryResult::BuildQuery(const TParamValues* ParamValues)
{
    BuildingScope building(FPanel);
    FBuiltParamNames.clear();
    FOrderBy.clear();
    FGroupBy.clear();
    FHaving.clear();
    FResultTables.Clear();
    if (TDSTable* main = FPanel->ResolveMainTable())
        FResultTables.AddTable(main, nullptr);
    FWhere.clear();
    BuildOrderAndGroup();
    if (!FPanel->Active())
        return;
    FPanel->CloseDropDowns();

    FInputs.Clear();
    const std::vector<TClausePiece>& where = FInputs.Where;
    const std::vector<TClausePiece>& having = FInputs.Having;
    if (const TConditionNode* root = FPanel->RootNode()) {
        TConditionWalker(DbStruct(), FInputs).WalkRoot(root);
        // WHERE and HAVING hold together only as "all" of both (or "none" of either).
        if (!where.empty() && !having.empty()
            && (root->NodeLinkType() == fltAny || root->NodeLinkType() == fltNotAll))
            throw EZQueryPanelError::Create(qpeMixedAggregates);
    }
    // Every table is known before a condition decides whether its field needs the table's alias.
    for (const std::vector<TClausePiece>* pieces : {&where, &having})
        for (const TClausePiece& piece : *pieces)
            if (piece.Kind == TClausePiece::Condition)
                for (TDSTable* table : std::as_const(FInputs.Conditions[piece.Input].Tables))
                    FResultTables.AddTableWithPath(table, *DbStruct());

    for (const TClausePiece& piece : where) {
        switch (piece.Kind) {
        case TClausePiece::Open:
            FWhere.append(Opening(piece.LinkType));
            break;
        case TClausePiece::Link:
            FWhere.last() += LinkWord(piece.LinkType);
            break;
        case TClausePiece::Condition:
            AddWhereCondition(ConditionText(FInputs.Conditions[piece.Input], ParamValues));
            break;
        case TClausePiece::Close:
            FWhere.append(QStringLiteral(")"));
            break;
        }
    }
    for (const TClausePiece& piece : having) {
        switch (piece.Kind) {
        case TClausePiece::Open:
            FHaving += (FHaving.isEmpty() ? QString() : QStringLiteral(" ")) + Opening(piece.LinkType);
            break;
        case TClausePiece::Link:
            FHaving += LinkWord(piece.LinkType);
            break;
        case TClausePiece::Condition:
            AddHavingCondition(ConditionText(FInputs.Conditions[piece.Input], ParamValues));
            break;
        case TClausePiece::Close:
            FHaving += QStringLiteral(" )");
            break;
        }
    }
    // The rows' values are not held past the build.
    FInputs.Clear();
    if (FResultTables.Count() == 0)
        throw EZQueryPanelError::Create(qpeNotEnoughInfo);
    // HAVING needs groups: every plain result field makes one. Under "*" no statement can have them.
    if (!FHaving.isEmpty()) {
        if (FResultFields.JustSorting() || FResultFields.Count() == 0)
            throw EZQueryPanelError::Create(qpeTotalsNeedResultFields);
        FGroupBy = GroupedFields();
    }
}

void TQueryResult::BuildOrderAndGroup()
{
    FResultFields.NumberColumns();
    MakeAliasesASCII();
    // Under "*" the fields only sort the single rows: a total has nothing to stand for there, and a
    // field that does not sort takes no part in the statement, not even a table.
    const bool selectAll = FResultFields.JustSorting();
    const bool byNames = selectAll || FSQLOptions.Contains(soSortByNames);
    bool anyAggregate = false;
    std::vector<std::pair<int, QString>> order;
    for (const TResultField* field : FResultFields) {
        if (selectAll && field->Sorting() == 0)
            continue;
        anyAggregate = anyAggregate || (!selectAll && field->IsAggregate());
        for (const TDSField* bound : field->Fields()) {
            // A stand-in for a field a saved query names and the model lacks writes its caption.
            if (bound == DbStruct()->PlaceholderField())
                throw EZQueryPanelError::Create(
                    qpeResultFieldNotInModel, field->Caption(), bound->DisplayName());
            for (TDSTable* table : bound->Tables())
                FResultTables.AddTableWithPath(table, *DbStruct());
        }
        if (field->Sorting() == 0)
            continue;
        if (selectAll && field->IsAggregate())
            throw EZQueryPanelError::Create(qpeSortingByTotalsNeedsResultFields);
        const QString key = byNames ? field->GetOrderName() : QString::number(field->ColumnNo());
        const auto place = std::upper_bound(order.begin(), order.end(), field->SortOrder(),
            [](int sortOrder, const std::pair<int, QString>& item) { return sortOrder < item.first; });
        order.insert(place,
            {field->SortOrder(),
                key + (field->Sorting() == 1 ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))});
    }
    for (const auto& item : order)
        FOrderBy += (FOrderBy.isEmpty() ? QString() : QStringLiteral(", ")) + item.second;
    if (anyAggregate)
        FGroupBy = GroupedFields();
}

QString TQueryResult::GroupedFields() const
{
    QString text;
    for (const TResultField* field : FResultFields)
        if (!field->IsAggregate())
            text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + field->GetExpression();
    return text;
}

QString TQueryResult::ConditionText(const TConditionInput& Condition, const TParamValues* ParamValues)
{
    const QString& sqlTemplate = Condition.Template;
    // Held by the rules, whose patterns only look into them.
    QVarLengthArray<QString, 4> slotTexts;
    QVarLengthArray<TRule, 8> rules;
    for (int i = 1; i <= Condition.ValueCount; ++i) {
        const TValueInput& input = FInputs.Values[Condition.FirstValue + i - 1];
        const QString& slot = slotTexts.emplace_back(Slot(i));
        TSQLParam* param = input.Param;
        if (param)
            FBuiltParamNames.append(param->Name());
        if (param && !ParamValues) {
            const QStringView span = QuotedSpan(sqlTemplate, slot);
            param->SetVFormat(ReplaceAll(UnquoteStr(span.toString(), u'\''), slot, QStringLiteral("@v")));
            rules.push_back({span, u':' + param->Name()});
            continue;
        }
        const QString text = param ? ParamValues->value(rtl::LowerCase(param->Name())) : input.Text;
        const TSQLValue value = ValueOf(Condition.Node, text, input.Type, input.Kind);
        if (value.Bare) {
            const bool whole = input.Kind == vkScalar
                || (DateTypes.Contains(input.Type) && FPanel->SQLSyntax() == ssOracle);
            const QStringView span = whole ? QuotedSpan(sqlTemplate, slot) : QStringView(slot);
            if (IsPattern(span, slot) && !value.Text.contains(u'(')) {
                // A number goes into a pattern ('%@1%'): the bare number would drop the pattern and
                // compare with the number alone.
                const bool literal = value.Text.startsWith(u'\'');
                rules.push_back(
                    {slot, literal ? value.Text.mid(1, value.Text.size() - 2) : value.Text, false, 1});
                rules.push_back({slot, value.Text, false, 2});
            } else {
                rules.push_back({span, value.Text});
            }
        } else {
            // A value of a quoted type stays a literal, whether or not the template quotes it.
            const QString doubled = value.Text.contains(u'\'')
                ? ReplaceAll(value.Text, QStringLiteral("'"), QStringLiteral("''"))
                : value.Text;
            rules.push_back({slot, doubled, false, 1});
            rules.push_back({slot, doubled, false, 2, true});
        }
    }
    if (const TDSField* field = Condition.Field) {
        // Many rows share a field: its name is made once a build.
        QString& name = FInputs.FieldNames[field];
        if (name.isEmpty()) {
            const bool bare = FResultTables.Count() < 2 && FPanel->SQLOptions().Contains(soFilter);
            name = bare ? field->GetQuotedName() : field->GetSQLExpr();
        }
        rules.push_back({u"@f", name, true});
        if (IsNumberField(field))
            CastBeforeLike(sqlTemplate, name, rules);
    }
    // "@t" and "@m" name a table as FROM does, without hints; with its alias where the template
    // gives none of its own, so that "@f" in a sub-select over it names the sub-select's table.
    // Inside a literal they are the table's name.
    const auto tableRules = [&](QStringView Pattern, const TDSTable* Table) {
        rules.push_back({Pattern, Table->GetSQLTableName(), true, 2, false,
            Table->Alias() != Table->Name() ? Table->GetSQLAlias() : QString()});
        rules.push_back(
            {Pattern, ReplaceAll(Table->Name(), QStringLiteral("'"), QStringLiteral("''")), true, 1});
    };
    const TTablePlaceholders tables = TablePlaceholders(sqlTemplate);
    if (tables.Table && !Condition.Tables.isEmpty())
        tableRules(u"@t", Condition.Tables.first());
    if (tables.Main && FResultTables.Count() > 0)
        tableRules(u"@m", FResultTables.GetItem(0).Table);
    // Longer patterns first, so a quoted span wins over the slot inside it.
    for (qsizetype i = 1; i < rules.size(); ++i)
        for (qsizetype j = i; j > 0 && rules[j - 1].Pattern.size() < rules[j].Pattern.size(); --j)
            std::swap(rules[j - 1], rules[j]);
    while (!rules.isEmpty() && rules.back().Pattern.isEmpty())
        rules.removeLast();
    QString text = FillTemplate(sqlTemplate, rules);
    FPanel->DoBuildSQL(Condition.Node, text);
    return text;
}

QString TQueryResult::GetSQLValue(const TConditionNode* Condition, int Index) const
{
    if (Condition->GetValueCount() < Index)
        return Condition->ValueText(Index);
    const TSQLValue value = ValueOf(Condition, Condition->ValueText(Index), Condition->GetValueType(Index),
        Condition->GetValueKind(Index));
    return value.Bare ? value.Text : ReplaceAll(value.Text, QStringLiteral("'"), QStringLiteral("''"));
}

TQueryResult::TSQLValue TQueryResult::ValueOf(
    const TConditionNode* Condition, const QString& Text, TFieldType Type, TValueKind Kind) const
{
    // The statement would end at a NUL, for the database and at the gate alike.
    if (Text.contains(QChar(0)))
        throw EZQueryPanelError::Create(qpeBadValue, Text, ValueOwnerName(Condition));
    if (Kind == vkSubQuery) {
        if (rtl::Trim(Text).isEmpty())
            throw EZQueryPanelError::Create(qpeValueRequired, ValueOwnerName(Condition));
        return {Text, true};
    }
    if (Kind == vkList) {
        QStringList items;
        SplitCommaText(Text, items);
        if (items.isEmpty())
            throw EZQueryPanelError::Create(qpeValueRequired, ValueOwnerName(Condition));
        QStringList written;
        for (const QString& item : items) {
            bool bare = true;
            const QString value = ScalarValue(Condition, Type, item, bare);
            written << (bare ? value : SQLStringLiteral(value));
        }
        return {written.join(u','), true};
    }
    TSQLValue value;
    value.Text = ScalarValue(Condition, Type, Text, value.Bare);
    return value;
}

QString TQueryResult::ScalarValue(
    const TConditionNode* Condition, TFieldType Type, const QString& Value, bool& Bare) const
{
    const TZCustomDBStructure* model = DbStruct();
    const bool quoted = model->QuotedTypes().Contains(Type);
    const auto badValue
        = [&] { return EZQueryPanelError::Create(qpeBadValue, Value, ValueOwnerName(Condition)); };
    QString text = Value;
    // A number or a date the user left empty has no value to stand for.
    if ((IntegerTypes.Contains(Type) || DecimalTypes.Contains(Type) || DateTypes.Contains(Type))
        && rtl::Trim(text).isEmpty())
        throw EZQueryPanelError::Create(qpeValueRequired, ValueOwnerName(Condition));
    if (IntegerTypes.Contains(Type)) {
        qint64 number = 0;
        if (!rtl::TryStrToInt64(text, number))
            throw badValue();
        text = rtl::IntToStr(number);
    } else if (DecimalTypes.Contains(Type)) {
        try {
            text = FormatSQLNumber(Type == ftCurrency ? ftCurrency : ftFloat, text);
        } catch (const rtl::EConvertError&) {
            throw badValue();
        }
    } else if (Type == ftBoolean) {
        const TSQLFormats& formats = model->SQLFormats();
        if (text.isEmpty() || rtl::SameText(text, formats.FalseValue())
            || rtl::SameText(text, QStringLiteral("False")))
            text = formats.FalseValue();
        else if (rtl::SameText(text, formats.TrueValue()) || rtl::SameText(text, QStringLiteral("True")))
            text = formats.TrueValue();
        else
            throw badValue();
    } else if (DateTypes.Contains(Type)) {
        try {
            text = FPanel->FormatSQLValue(Type, text, true);
        } catch (const rtl::EConvertError&) {
            throw badValue();
        }
        if (FPanel->SQLSyntax() == ssOracle)
            return text;
    } else if (!quoted && !StringTypes.Contains(Type) && IsPlainNumber(text)) {
        return text;
    } else if (!quoted) {
        // A type the model leaves unquoted but that no rule checks: a literal keeps it a value.
        return SQLStringLiteral(text);
    }
    Bare = !quoted;
    return text;
}

QString TQueryResult::FormatSQLDate(TFieldType Type, const QString& Value) const
{
    const rtl::TDateTime date = Type == ftTime ? rtl::StrToTime(Value) : rtl::StrToDateTime(Value);
    if (FPanel->SQLSyntax() == ssOracle) {
        // Oracle's DATE holds the time of day: a type with a time keeps it.
        if (Type == ftDate)
            return QStringLiteral("TO_DATE('") + rtl::FormatDateTime(QStringLiteral("dd-mm-yyyy"), date)
                + QStringLiteral("', 'dd-mm-yyyy')");
        if (Type == ftTime)
            return QStringLiteral("TO_DATE('") + rtl::FormatDateTime(QStringLiteral("hh:nn:ss"), date)
                + QStringLiteral("', 'hh24:mi:ss')");
        return QStringLiteral("TO_DATE('") + rtl::FormatDateTime(QStringLiteral("dd-mm-yyyy hh:nn:ss"), date)
            + QStringLiteral("', 'dd-mm-yyyy hh24:mi:ss')");
    }
    const TSQLFormats& formats = DbStruct()->SQLFormats();
    const QString format = Type == ftDate ? formats.Date()
        : Type == ftTime                  ? formats.Time()
                                          : formats.DateTime();
    return rtl::FormatDateTime(format, date);
}

QString TQueryResult::FormatSQLNumber(TFieldType Type, const QString& Value)
{
    if (Type == ftFloat) {
        const double number = rtl::StrToFloat(Value);
        if (!std::isfinite(number))
            rtl::RaiseConvertError(rtl::ConvertError::Float, Value);
        rtl::DotDecimalScope dot;
        return rtl::FloatToStr(number);
    }
    if (Type == ftCurrency) {
        const rtl::Currency amount = rtl::StrToCurr(Value);
        rtl::DotDecimalScope dot;
        return rtl::CurrToStr(amount);
    }
    return Value;
}
