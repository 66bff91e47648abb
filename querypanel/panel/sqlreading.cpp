// SQL text back into the panel: result fields and rows from a parsed SELECT statement, each
// comparison recognised as one of the model's operators by matching the operators' templates.
#include "querypanel/panel/sqlreading.h"

#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/panel/titles.h"
#include "querypanel/parser/sqlparser.h"
#include "querypanel/query/queryerrors.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/query/resulttables.h"
#include "rtl/datetime.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace {

QChar Folded(QChar C)
{
    return C >= u'A' && C <= u'Z' ? QChar(C.unicode() + 32) : C;
}

bool IsNameChar(QChar C)
{
    return (C >= u'0' && C <= u'9') || C == u'f' || C == u'F';
}

void SkipWhiteSpace(QStringView S, qsizetype& P)
{
    while (P < S.size() && IsWhiteSpace(S[P]))
        ++P;
}

// A placeholder inside the template's quotes: its value was read from within a string literal.
// Reads to the literal's closing apostrophe, less the template's text after the placeholder; with a
// second placeholder in the same quotes, to the character that follows this one.
bool ReadLiteralValue(QStringView T, qsizetype& I, QStringView S, qsizetype& J, QString& Value)
{
    qsizetype close = I;
    while (close < T.size() && T[close] != u'\'')
        ++close;
    const QStringView suffix = T.mid(I, close - I);
    const bool toStop = suffix.contains(u'@');
    qsizetype p = J;
    while (p < S.size()) {
        if (S[p] == u'\'') {
            if (p + 1 < S.size() && S[p + 1] == u'\'') {
                p += 2;
                continue;
            }
            break;
        }
        if (toStop && Folded(S[p]) == Folded(T[I]))
            break;
        ++p;
    }
    if (toStop) {
        Value = S.mid(J, p - J).toString();
        J = p;
        return true;
    }
    const QStringView content = S.mid(J, p - J);
    if (content.size() < suffix.size()
        || content.right(suffix.size()).compare(suffix, Qt::CaseInsensitive) != 0)
        return false;
    Value = content.chopped(suffix.size()).toString();
    J = p;
    I = close;
    return true;
}

// A parameter where the template opens a literal with a placeholder (T[I] is its apostrophe, S[J]
// a colon): the query writes ":" and the parameter's name for the whole literal, whatever else it
// holds ('%@1%' gives :Param1). Answers whether one was read; I then stands after the literal.
bool ReadParamForLiteral(
    QStringView T, qsizetype& I, QStringView S, qsizetype& J, QString& Name, QString& Value)
{
    qsizetype close = I + 1;
    while (close < T.size() && (T[close] != u'\'' || (close + 1 < T.size() && T[close + 1] == u'\'')))
        close += T[close] == u'\'' ? 2 : 1;
    const qsizetype at = T.mid(I, close - I).indexOf(u'@');
    if (close >= T.size() || at < 0 || I + at + 1 >= close || !IsNameChar(T[I + at + 1]))
        return false;
    qsizetype end = I + at + 1;
    while (end < close && IsNameChar(T[end]))
        ++end;
    qsizetype p = J + 1;
    while (p < S.size() && IsIdentChar(S[p]))
        ++p;
    if (p == J + 1)
        return false;
    Name = T.mid(I + at, end - I - at).toString();
    Value = S.mid(J, p - J).toString();
    I = close + 1;
    J = p;
    return true;
}

// A value outside quotes: up to the template's next character at bracket depth 0 and outside string
// literals, or to the end.
QString ReadPlainValue(QStringView T, qsizetype I, QStringView S, qsizetype& J)
{
    const bool hasStop = I < T.size();
    const QChar stop = hasStop ? Folded(T[I]) : QChar();
    const bool blankStop = hasStop && IsWhiteSpace(stop);
    const qsizetype start = J;
    int depth = 0;
    QChar quote;
    while (J < S.size()) {
        const QChar c = S[J];
        if (!quote.isNull()) {
            if (c == quote) {
                if (J + 1 < S.size() && S[J + 1] == c) {
                    J += 2;
                    continue;
                }
                quote = QChar();
            }
            ++J;
            continue;
        }
        if (depth == 0 && hasStop && (Folded(c) == stop || (blankStop && IsWhiteSpace(c))))
            break;
        if (c == u'\'' || c == u'"')
            quote = c;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && depth > 0)
            --depth;
        ++J;
    }
    return S.mid(start, J - start).toString();
}

// Whether the first occurrence of Name in Template stands inside apostrophes.
bool InQuotes(const QString& Template, const QString& Name)
{
    const qsizetype at = Template.indexOf(Name, 0, Qt::CaseInsensitive);
    return at > 0 && Template.left(at).count(u'\'') % 2 == 1;
}

// The value the list holds for Name; a value read from a string literal loses the doubling of its
// apostrophes.
QString TemplateValue(const QString& Template, const TNameList& Names, const QString& Name)
{
    const QString value = Names.Value(Name);
    return value.contains(u'\'') && InQuotes(Template, Name)
        ? ReplaceAll(value, QStringLiteral("''"), QStringLiteral("'"))
        : value;
}

struct TRewriteRule {
    QString Pattern;
    QString Replacement;
};

// Comparisons written otherwise than the model's operators write them.
const std::array<TRewriteRule, 2>& RewriteRules()
{
    static const std::array<TRewriteRule, 2> rules = [] {
        const char* const texts[] = {"@f != '@1'|->@f <> '@1'", "not(@f = '@1')|->@f <> '@1'"};
        std::array<TRewriteRule, 2> made;
        for (size_t i = 0; i < made.size(); ++i) {
            const QString text = QString::fromLatin1(texts[i]);
            made[i] = {StrBefore(QStringLiteral("|->"), text).trimmed(),
                StrAfter(QStringLiteral("|->"), text).trimmed()};
        }
        return made;
    }();
    return rules;
}

// The items of an SQL value list as written, split at the commas outside brackets and literals.
QStringList SQLListTexts(const QString& List)
{
    QStringList items;
    int depth = 0;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= List.size(); ++i) {
        const QChar c = i < List.size() ? List[i] : QChar(u',');
        if (c == u'\'')
            quoted = !quoted;
        if (quoted && i < List.size())
            continue;
        if (c == u'(')
            ++depth;
        else if (c == u')' && depth > 0)
            --depth;
        else if (c == u',' && depth == 0) {
            items << List.mid(start, i - start).trimmed();
            start = i + 1;
        }
    }
    return items;
}

// The items of an SQL value list; a literal item loses its quotes and the doubling of its
// apostrophes.
QStringList SQLListItems(const QString& List)
{
    QStringList items = SQLListTexts(List);
    for (QString& item : items)
        if (item.startsWith(u'\''))
            item = UnquoteStr(item, u'\'');
    return items;
}

// Oracle's date literal as the panel writes it: the date text and its format.
const QRegularExpression& ToDateCall()
{
    static const QRegularExpression toDate(
        QStringLiteral(R"(^\s*to_date\s*\(\s*'([^']*)'\s*,\s*'([^']*)'\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return toDate;
}

// Whether Text, as the statement writes it outside a template's quotes, is a value: a string
// literal, a number, a parameter, a date as Oracle writes it, or the model's word for true or false.
// A column or an expression is none, and the panel has no row that writes it again.
bool IsSQLValue(const QString& Text, const TSQLFormats& Formats)
{
    static const QRegularExpression literal(
        QStringLiteral(R"(^('([^']|'')*'|[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?|:\w+)$)"));
    const QString text = Text.trimmed();
    // Asked of every value every matching template reads: the plain string literal, the most
    // common value, is told without the regular expression.
    if (text.size() >= 2 && text.front() == u'\'' && text.back() == u'\''
        && !QStringView(text).sliced(1, text.size() - 2).contains(u'\''))
        return true;
    return literal.match(text).hasMatch() || ToDateCall().match(text).hasMatch()
        || (!text.isEmpty()
            && (rtl::SameText(text, Formats.TrueValue()) || rtl::SameText(text, Formats.FalseValue())));
}

// The first value of a matched operator that is no value, if any; a list may be one parameter.
std::optional<QString> NonValue(const TDSOperator* Op, const TNameList& Names, const TSQLFormats& Formats)
{
    if (Op->ValueKind() == vkSubQuery)
        return std::nullopt;
    static const QString valueNames[] = {QStringLiteral("@1"), QStringLiteral("@2")};
    for (int n = 1; n <= std::min(Op->GetParamCount(), 2); ++n) {
        const QString& name = valueNames[n - 1];
        const QString value = Names.Value(name);
        if (Names.IsLiteral(name) || IsSQLValue(value, Formats))
            continue;
        const QStringList items = Op->ValueKind() == vkList ? SQLListTexts(value) : QStringList();
        if (items.isEmpty() || !std::all_of(items.begin(), items.end(), [&](const QString& item) {
                return !item.startsWith(u':') && IsSQLValue(item, Formats);
            }))
            return value;
    }
    return std::nullopt;
}

// The column of CAST(column AS VARCHAR(64)), as the query writes a number column that LIKE
// compares; empty for any other operand.
QString CastColumn(const QString& Operand)
{
    static const QRegularExpression cast(
        QStringLiteral(R"(^\s*cast\s*\((.+)\s+as\s+varchar\s*\(\s*64\s*\)\s*\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = cast.match(Operand);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// Whether the query writes Field cast to text under Op: a number field, every "@f" of the
// template compared by LIKE. Elsewhere the cast would compare texts where the row compares numbers.
bool CastFor(const TDSField* Field, const TDSOperator* Op)
{
    return IsNumberField(Field)
        && FieldsBeforeLike(Op->SQLName()) == Op->SQLName().count(u"@f", Qt::CaseInsensitive);
}

// Whether Op's template writes the condition's Text; the values it reads go into Names.
bool WritesCondition(
    const TDSOperator* Op, const TSQLCondition* Condition, const QString& Text, TNameList& Names)
{
    const QString& sqlTemplate = Op->SQLName();
    if ((Op->ValueKind() == vkSubQuery) != Condition->HasSubQuery()
        || !sqlTemplate.contains(QStringLiteral("@f"), Qt::CaseInsensitive))
        return false;
    Names.ClearValues();
    return MatchTemplate(sqlTemplate, Text, Names);
}

// The format the query gives a parameter in slot N of Template: the literal around the slot, with
// "@v" for it ('%@1%' gives %@v%).
QString ParamFormat(const QString& Template, int N)
{
    const QString slot = u'@' + QString::number(N);
    return ReplaceAll(UnquoteStr(FindQuotedSpan(Template, slot), u'\''), slot, QStringLiteral("@v"));
}

// A parameter stands for the whole literal around its slot, so the text does not show the pattern
// the literal held: when an operator before Operators[Found] reads the text too and writes one of
// its parameters with another pattern ("starts with" and "contains"), either may have written it.
void CheckParamPatterns(const QList<TDSOperator*>& Operators, qsizetype Found, const TSQLCondition* Condition,
    const QString& Text, const TNameList& Names, const TSQLFormats& Formats)
{
    const TDSOperator* found = Operators[Found];
    QList<int> params;
    for (int n = 1; n <= std::min(found->GetParamCount(), 2); ++n) {
        const QString slot = u'@' + QString::number(n);
        if (!Names.IsLiteral(slot) && Names.Value(slot).startsWith(u':'))
            params << n;
    }
    if (params.isEmpty())
        return;
    TNameList names = Names;
    for (qsizetype k = Found - 1; k >= 0; --k) {
        const TDSOperator* other = Operators[k];
        if (!WritesCondition(other, Condition, Text, names) || NonValue(other, names, Formats))
            continue;
        for (const int n : params)
            if (ParamFormat(other->SQLName(), n) != ParamFormat(found->SQLName(), n))
                throw EZQueryPanelError::Create(
                    qpeParamWrittenTwoWays, Condition->GetText(), other->DisplayName(), found->DisplayName());
    }
}

constexpr TFieldTypes DateTypes {ftDate, ftTime, ftDateTime, ftTimeStamp};

// A date the panel wrote as SQL, in the locale's form: read with the model's format of its type, or
// with the format of its TO_DATE call.
QString SQLDateText(const TSQLFormats& Formats, TFieldType Type, const QString& Text)
{
    QString value = Text;
    QString format = Type == ftDate ? Formats.Date() : Type == ftTime ? Formats.Time() : Formats.DateTime();
    if (const QRegularExpressionMatch match = ToDateCall().match(Text); match.hasMatch()) {
        value = match.captured(1);
        format = match.captured(2)
                     .toLower()
                     .replace(QStringLiteral("hh24"), QStringLiteral("hh"))
                     .replace(QStringLiteral("mi"), QStringLiteral("nn"));
    }
    rtl::TDateTime date = 0;
    {
        rtl::FormatSettingsScope restore;
        // The format's time part gives the time separator; its date part is read by field order.
        const qsizetype hour = format.indexOf(u'h', 0, Qt::CaseInsensitive);
        if (hour >= 0) {
            qsizetype separator = hour;
            while (separator < format.size() && format[separator].isLetter())
                ++separator;
            if (separator < format.size())
                rtl::formatSettings().TimeSeparator = format[separator];
        }
        if (Type == ftTime)
            date = rtl::StrToTime(value);
        else
            date = StrToDateTimeFmt(hour >= 0 ? format.left(hour).trimmed() : format, value);
    }
    if (Type == ftTime)
        return rtl::TimeToStr(date);
    return Type == ftDate ? rtl::DateToStr(date) : rtl::DateTimeToStr(date);
}

// A number the panel wrote with "." in the locale's form; other texts stay as they are.
QString SQLNumberText(const QString& Text)
{
    double number = 0;
    {
        rtl::DotDecimalScope dot;
        if (!rtl::TryStrToFloat(Text, number))
            return Text;
    }
    return rtl::FloatToStr(number);
}

QString ScalarText(const TSQLFormats& Formats, TFieldType Type, const QString& Text)
{
    if (DateTypes.Contains(Type))
        return SQLDateText(Formats, Type, Text);
    if (Type == ftFloat || Type == ftCurrency)
        return SQLNumberText(Text);
    return Text;
}

QList<TSQLConditionNode*> NodesOf(const TSQLBracket* Bracket)
{
    return {Bracket->Nodes().begin(), Bracket->Nodes().end()};
}

TFilterLinkType LinkTypeOf(const TSQLBracket* Bracket)
{
    const bool any = Bracket->LinkType() == QStringLiteral("or");
    if (Bracket->Not())
        return any ? fltNone : fltNotAll;
    return any ? fltAny : fltAll;
}

// A field's SQL expression as looked up: lower case, no blanks.
QString FieldKey(const QString& Expression)
{
    QString key;
    key.reserve(Expression.size());
    for (const QChar c : Expression)
        if (!IsWhiteSpace(c))
            key += Folded(c);
    return key;
}

// A join condition as compared: lower case, without blanks and brackets.
QString JoinKey(const QString& Text)
{
    QString key = FieldKey(Text);
    key.remove(u'(');
    key.remove(u')');
    return key;
}

bool IsPlainName(const QString& Text)
{
    return !Text.isEmpty() && std::all_of(Text.begin(), Text.end(), [](QChar c) { return IsIdentChar(c); });
}

// A column as a statement names it, with its table or without; no expression.
bool IsColumnName(const QString& Text)
{
    static const QRegularExpression column(QStringLiteral(R"(^((\w+|"[^"]*")\.)*(\w+|"[^"]*")$)"));
    return column.match(Text).hasMatch();
}

// A join as the statement or the model's link writes it, described for a message; Type is none
// for tables the statement lists with no join condition between them.
QString JoinText(std::optional<TLinkType> Type, const TDSLink* Link)
{
    if (!Type)
        return QStringLiteral("no join condition");
    switch (*Type) {
    case ltInner:
        break;
    case ltLeft:
    case ltRight:
        return QStringLiteral("an outer join keeping every row of \"%1\"")
            .arg((*Type == ltLeft ? Link->Table1() : Link->Table2())->Name());
    case ltFull:
        return QStringLiteral("a full outer join");
    }
    return QStringLiteral("an inner join");
}

// "A", "B" and "C".
QString TableNames(const QList<TDSTable*>& Tables)
{
    QStringList names;
    for (const TDSTable* table : Tables)
        names << u'"' + table->Name() + u'"';
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// Builds result fields and rows of one panel from a parsed statement.
class TSQLRowReader {
public:
    TSQLRowReader(TZQueryPanel* Panel, const TSQLTableList& Tables)
        : FPanel(Panel), FModel(Panel->DbStruct()), FTables(Tables)
    {
    }

    // Every table must be one of the model's, named as the query names it, and the panel's main
    // table one of them: the query always reads from it, so a statement without it would come back
    // over other rows.
    void CheckTables()
    {
        const TDSTable* main = FPanel->ResolveMainTable();
        bool mainRead = false;
        QStringList names;
        for (const TSQLTable* table : FTables) {
            TDSTable* model = ModelTable(table->Name());
            if (!model)
                throw EZDBStructError::Create(dseNoSuchTable, table->Name());
            // The query writes a column with the model's alias of its table, never with another.
            if (!rtl::SameText(table->Alias(), table->Name())
                && !rtl::SameText(table->Alias(), model->Alias()))
                throw EZQueryPanelError::Create(
                    qpeTableAliasNotRead, table->Alias(), table->Name(), model->Alias());
            FStated << model;
            mainRead = mainRead || model == main;
            names << u'"' + table->Name() + u'"';
        }
        if (main && !mainRead)
            throw EZQueryPanelError::Create(
                qpeMainTableNotRead, u'"' + main->Name() + u'"', names.join(QStringLiteral(", ")));
    }

    void ReadResultFields(const TSQLResultFieldList& Fields)
    {
        TRFieldList& list = FPanel->QResult()->ResultFields();
        for (const TSQLResultField* field : Fields) {
            const QString expression = Qualified(field->Expression());
            const TResultField* made
                = list.AddFieldFromSQL(QString(), expression, uint8_t(field->SortType()), field->SortOrder());
            if (made->Fields().Contains(FModel->PlaceholderField()))
                MissingField(expression);
        }
        list.SetJustSorting(Fields.AllFields());
    }

    // The root holds the rows of WHERE and the aggregate rows of HAVING, from which the query
    // writes both clauses again. The two share the root's link type when it is "all" or "none" of
    // both; otherwise the root takes "all" and a clause of another link type keeps it in a bracket
    // of its own.
    void ReadRoot(TFilterBracket* Root, TSQLBracket* Where, TSQLBracket* Having)
    {
        const TClause where = WhereClause(Where);
        const TClause having {Having, NodesOf(Having), true};
        if (having.Nodes.isEmpty() || where.Nodes.isEmpty()) {
            ReadClause(Root, having.Nodes.isEmpty() ? where : having);
            return;
        }
        const TFilterLinkType shared = where.LinkType();
        if (shared == having.LinkType() && (shared == fltAll || shared == fltNone)) {
            Root->SetLinkType(shared);
            ReadNodes(Root, where);
            ReadNodes(Root, having);
            return;
        }
        Root->SetLinkType(fltAll);
        for (const TClause* clause : {&where, &having}) {
            if (clause->LinkType() == fltAll)
                ReadNodes(Root, *clause);
            else
                ReadClause(Root->AppendBracket(), *clause);
        }
    }

    // The query read back joins its main table and the tables its fields and rows need, over the
    // model's links; the statement must join the same tables, each as the model's link joins it, or
    // the query would select other records than the statement.
    void CheckJoins() const
    {
        const TRTableList joined = JoinedTables();
        QList<TDSTable*> dropped;
        for (TDSTable* table : FStated)
            if (joined.IndexOfTable(table) < 0 && !dropped.contains(table))
                dropped << table;
        QList<TDSTable*> added;
        for (const TResultTable& entry : joined)
            if (!FStated.contains(entry.Table))
                added << entry.Table;
        if (!dropped.isEmpty())
            throw EZQueryPanelError::Create(qpeTablesNotJoined, TableNames(dropped));
        if (!added.isEmpty())
            throw EZQueryPanelError::Create(qpeTablesNotNamed, TableNames(added));
        for (const TResultTable& entry : joined) {
            const TDSLink* link = entry.Link;
            if (!link || link->Table1() == link->Table2())
                continue;
            const std::optional<TLinkType> stated = StatedJoin(link);
            if (stated != link->LinkType())
                throw EZQueryPanelError::Create(qpeJoinWouldChange, link->Table1()->Name(),
                    link->Table2()->Name(), JoinText(stated, link), JoinText(link->LinkType(), link));
        }
    }

private:
    // The tables in the order the query joins them: the main table, then those of the result fields
    // and of the rows, each with the tables on the model's path to it from the first.
    TRTableList JoinedTables() const
    {
        TRTableList joined;
        const auto join = [&](TDSTable* Table) { joined.AddTableWithPath(Table, *FModel); };
        if (TDSTable* main = FPanel->ResolveMainTable())
            join(main);
        for (const TResultField* field : FPanel->QResult()->ResultFields())
            for (const TDSField* bound : field->Fields())
                for (TDSTable* table : bound->Tables())
                    join(table);
        const std::function<void(const TFilterBracket*)> rows = [&](const TFilterBracket* Bracket) {
            for (int i = 0; i < Bracket->Count(); ++i) {
                const TFilterRow* row = Bracket->Rows(i);
                if (row->IsBracketNode())
                    rows(static_cast<const TFilterBracket*>(row));
                else
                    for (TDSTable* table : row->GetTables())
                        join(table);
            }
        };
        rows(FPanel->Root());
        return joined;
    }

    // How the statement joins the tables of Link: by the JOIN word of the later of the two, or,
    // when it lists that one, by the link's join condition in WHERE, with outer-join marks or
    // without; none without that condition.
    std::optional<TLinkType> StatedJoin(const TDSLink* Link) const
    {
        const qsizetype later = std::max(FStated.indexOf(Link->Table1()), FStated.indexOf(Link->Table2()));
        const bool side2 = FStated[later] == Link->Table2();
        switch (FTables[int(later)]->JoinKind()) {
        case sjkListed:
            break;
        case sjkInner:
            return ltInner;
        case sjkLeft:
            return side2 ? ltLeft : ltRight;
        case sjkRight:
            return side2 ? ltRight : ltLeft;
        case sjkFull:
            return ltFull;
        }
        const auto written = FWrittenJoins.constFind(Link);
        if (written == FWrittenJoins.cend())
            return std::nullopt;
        return *written ? Link->LinkType() : ltInner;
    }

    // The nodes of one clause under the bracket that gives their link type.
    struct TClause {
        TSQLBracket* Bracket;
        QList<TSQLConditionNode*> Nodes;
        bool Having;
        TFilterLinkType LinkType() const { return LinkTypeOf(Bracket); }
    };

    // WHERE without the join conditions that SQL1 and Oracle put first in it; a single bracket left
    // over is the clause itself. A join holds for every row: a comparison that is negated or one of
    // alternatives is a condition, never the join.
    TClause WhereClause(TSQLBracket* Where)
    {
        const bool joins = !Where->Not() && Where->LinkType() != QStringLiteral("or");
        QList<TSQLConditionNode*> nodes;
        for (TSQLConditionNode* node : Where->Nodes())
            if (!joins || node->AsBracket() || node->Not()
                || !IsJoinCondition(static_cast<const TSQLCondition*>(node)))
                nodes.append(node);
        if (nodes.size() == 1 && nodes.first()->AsBracket() && nodes.size() < Where->Nodes().Count()) {
            TSQLBracket* bracket = nodes.first()->AsBracket();
            return {bracket, NodesOf(bracket), false};
        }
        return {Where, nodes, false};
    }

    void ReadClause(TFilterBracket* Bracket, const TClause& Clause)
    {
        Bracket->SetLinkType(Clause.LinkType());
        ReadNodes(Bracket, Clause);
    }

    void ReadNodes(TFilterBracket* Bracket, const TClause& Clause)
    {
        for (TSQLConditionNode* node : Clause.Nodes) {
            if (TSQLBracket* nested = node->AsBracket())
                ReadClause(Bracket->AppendBracket(), {nested, NodesOf(nested), Clause.Having});
            else
                ReadCondition(Bracket, static_cast<const TSQLCondition*>(node), Clause.Having);
        }
    }

    // A comparison that is one of the model's links written as a join condition, its operands in
    // either order; the link is noted as joined, as an outer join when Oracle's marks say so.
    bool IsJoinCondition(const TSQLCondition* Condition)
    {
        if (FJoinConditions.isEmpty()) {
            FJoinConditions.insert(QString(), {});
            // A pair with no marks reads the same in both modes: unmarked.
            for (int i = 0; i < FModel->GetLinkCount(); ++i)
                for (int mode : {1, 2})
                    for (const QString& pair :
                        FModel->GetLink(i)->GetJoinCondition(mode).split(QStringLiteral(" and ")))
                        if (const QString key = JoinKey(pair); !FJoinConditions.contains(key))
                            FJoinConditions.insert(key, {FModel->GetLink(i), mode == 2});
        }
        static const QHash<QString, QString> turned {{QStringLiteral("<"), QStringLiteral(">")},
            {QStringLiteral(">"), QStringLiteral("<")}, {QStringLiteral("<="), QStringLiteral(">=")},
            {QStringLiteral(">="), QStringLiteral("<=")}};
        const QString& op = Condition->Operator();
        auto found = FJoinConditions.constFind(JoinKey(Condition->LeftExpr() + op + Condition->RightExpr()));
        if (found == FJoinConditions.cend())
            found = FJoinConditions.constFind(
                JoinKey(Condition->RightExpr() + turned.value(op, op) + Condition->LeftExpr()));
        if (found == FJoinConditions.cend())
            return false;
        bool& marked = FWrittenJoins[found->Link];
        marked = marked || found->Marked;
        return true;
    }

    // A bare column belongs to the first table of the statement; an expression stays as written.
    QString Qualified(const QString& Name) const
    {
        if (!IsPlainName(Name) || FTables.Count() == 0)
            return Name;
        return FTables.First()->Alias() + u'.' + Name;
    }

    TDSField* FindField(const QString& Name)
    {
        if (FFields.isEmpty()) {
            for (TDSField* field : FModel->Fields())
                FFields.insert(FieldKey(field->GetSQLExpr()), field);
        }
        // The first field of an expression wins, as the model's own lookup has it.
        if (TDSField* field = FFields.value(FieldKey(Name)))
            return field;
        if (TDSField* field = FindThroughStatementTable(Name))
            return field;
        return FModel->FindField(flFullName, Name);
    }

    // A column named through a table as the statement names it ("Order Details".Quantity) is the
    // model's column of that table, which the model writes with the table's alias.
    TDSField* FindThroughStatementTable(const QString& Name)
    {
        const qsizetype dot = Name.lastIndexOf(u'.');
        if (dot <= 0 || !IsPlainName(Name.mid(dot + 1)))
            return nullptr;
        const QString prefix = FieldKey(UnquoteStr(Name.left(dot), u'"'));
        for (const TSQLTable* table : FTables) {
            if (FieldKey(UnquoteStr(table->Alias(), u'"')) != prefix)
                continue;
            if (const TDSTable* model = ModelTable(table->Name()))
                return FFields.value(FieldKey(model->Alias() + Name.mid(dot)));
        }
        return nullptr;
    }

    TDSTable* ModelTable(const QString& Name) const
    {
        for (TTableLookup by : {tlName, tlAlias, tlSQLName})
            if (TDSTable* table = FModel->FindTable(by, Name))
                return table;
        return nullptr;
    }

    [[noreturn]] void MissingField(const QString& Expression) const
    {
        static const QRegularExpression dotted(QStringLiteral(R"(([\w"]+)\.([\w"]+))"));
        const QRegularExpressionMatch match = dotted.match(Expression);
        if (match.hasMatch())
            throw EZDBStructError::Create(dseNoFieldInTable, match.captured(2), match.captured(1));
        throw EZDBStructError::Create(
            dseNoFieldInTable, Expression, FTables.Count() > 0 ? FTables.First()->Name() : QString());
    }

    // A row on a total stands where the query writes it into HAVING: in the root or in a bracket
    // of the root; every other row stands where it goes into WHERE.
    void ReadCondition(TFilterBracket* Bracket, const TSQLCondition* Condition, bool Having)
    {
        const QString cast = CastColumn(Condition->LeftExpr());
        const QString name = Qualified(cast.isEmpty() ? Condition->LeftExpr() : cast);
        TDSField* field = FindField(name);
        if (!field && !IsColumnName(name))
            throw EZQueryPanelError::Create(qpeNoFieldIsExpression, name);
        if (!field)
            MissingField(name);
        QString values[3];
        QStringList subQuery;
        std::array<bool, 2> literal {};
        TDSOperator* op = FPanel->MatchOperator(Condition, values[1], values[2], subQuery, &literal);
        if (!op)
            throw EZDBStructError::Create(dseOperatorNotFound, Condition->GetText());
        if (!cast.isEmpty() && !CastFor(field, op))
            throw EZQueryPanelError::Create(qpeNoFieldIsExpression, Condition->LeftExpr());
        auto* row = static_cast<TSimpleCond*>(Bracket->AppendSimpleCond());
        row->SetField(field);
        if (row->IsAggregate() != Having || (Having && row->Depth() > 2))
            throw EZQueryPanelError::Create(qpeNestedAggregate, row->Path().chopped(1));
        row->SetOperator(op);
        for (int n : {1, 2}) {
            if (values[n].startsWith(u':') && !literal[n - 1]) {
                row->SetParamState(n, true);
                NameParam(row->Param(n), values[n]);
            } else if (n <= op->GetParamCount()) {
                row->SetValue(n, ValueText(row, op, n, values[n]));
            }
        }
        row->SubQuery() = subQuery;
    }

    // A name the statement uses again stands for the parameter it named first.
    void NameParam(TSQLParam* Param, const QString& SQLName)
    {
        const QString key = FieldKey(SQLName);
        if (const auto first = FParamNames.constFind(key); first != FParamNames.cend())
            Param->SetName(*first);
        else
            FParamNames.insert(key, Param->Name());
    }

    QString ValueText(const TSimpleCond* Row, const TDSOperator* Op, int N, const QString& Value) const
    {
        if (Value.isEmpty() || Op->ValueKind() == vkSubQuery)
            return Value;
        const TSQLFormats& formats = FModel->SQLFormats();
        const TFieldType type = Row->GetValueType(N);
        if (N > 1 || Op->ValueKind() != vkList)
            return ScalarText(formats, type, Value);
        rtl::StringList items;
        for (const QString& item : SQLListItems(Value))
            items << ScalarText(formats, type, item);
        return items.CommaText();
    }

    TZQueryPanel* FPanel;
    TZCustomDBStructure* FModel;
    const TSQLTableList& FTables;
    QHash<QString, TDSField*> FFields;
    // The model's join conditions by JoinKey; Marked for the text with Oracle's outer-join marks.
    struct TJoinPair {
        const TDSLink* Link = nullptr;
        bool Marked = false;
    };
    QHash<QString, TJoinPair> FJoinConditions;
    // The links whose join conditions WHERE holds, each marked as outer or not.
    QHash<const TDSLink*, bool> FWrittenJoins;
    // The model's table of each table of the FROM clause.
    QList<TDSTable*> FStated;
    // The panel's parameter name for each name of the statement, lower-cased.
    QHash<QString, QString> FParamNames;
};

}  // namespace

TNameList::TNameList()
{
    static const QString names[] = {QStringLiteral("@f"), QStringLiteral("@1"), QStringLiteral("@2")};
    FItems.reserve(4);
    for (const QString& name : names)
        FItems.append({name, QString()});
}

int TNameList::IndexOf(QStringView Name) const
{
    // Asked for every placeholder of every template tried: the short names are folded in place.
    for (int i = 0; i < FItems.size(); ++i) {
        const QString& item = FItems[i].Name;
        if (item.size() == Name.size()
            && std::equal(item.begin(), item.end(), Name.begin(),
                [](QChar A, QChar B) { return Folded(A) == Folded(B); }))
            return i;
    }
    return -1;
}

QString TNameList::Value(QStringView Name) const
{
    const int index = IndexOf(Name);
    return index < 0 ? QString() : FItems[index].Value;
}

void TNameList::SetValue(QStringView Name, const QString& Value, bool Literal)
{
    const int index = IndexOf(Name);
    if (index < 0) {
        FItems.append({Name.toString(), Value, false, Literal});
    } else {
        FItems[index].Value = Value;
        FItems[index].Literal = Literal;
    }
}

void TNameList::Bind(QStringView Name, const QString& Value)
{
    SetValue(Name, Value);
    FItems[IndexOf(Name)].Bound = true;
}

bool TNameList::IsBound(QStringView Name) const
{
    const int index = IndexOf(Name);
    return index >= 0 && FItems[index].Bound;
}

bool TNameList::IsLiteral(QStringView Name) const
{
    const int index = IndexOf(Name);
    return index >= 0 && FItems[index].Literal;
}

void TNameList::ClearValues()
{
    for (Item& item : FItems) {
        if (!item.Bound) {
            item.Value.clear();
            item.Literal = false;
        }
    }
}

bool MatchTemplate(QStringView T, QStringView S, TNameList& NameList)
{
    qsizetype i = 0;
    qsizetype j = 0;
    // Inside a string literal of the text that the template's apostrophe opened: blanks count.
    bool literal = false;
    SkipWhiteSpace(T, i);
    SkipWhiteSpace(S, j);
    for (;;) {
        if (!literal) {
            if (i >= T.size())
                SkipWhiteSpace(S, j);
            if (j >= S.size())
                SkipWhiteSpace(T, i);
        }
        if (i >= T.size() || j >= S.size())
            return i >= T.size() && j >= S.size();
        const QChar t = T[i];
        if (QString name, value;
            !literal && t == u'\'' && S[j] == u':' && ReadParamForLiteral(T, i, S, j, name, value)) {
            NameList.SetValue(name, value);
            continue;
        }
        // An apostrophe the text lacks, before a value; never before the rest of an operator ("<"
        // of the template against "<>").
        const bool quoted = t == u'\'' && S[j] != u'\'' && i + 1 < T.size() && T[i + 1] == u'@'
            && !QStringView(u"<>=!").contains(S[j]);
        if (quoted || (t == u'@' && i + 1 < T.size() && IsNameChar(T[i + 1]))) {
            if (quoted)
                ++i;
            const qsizetype start = i++;
            while (i < T.size() && IsNameChar(T[i]))
                ++i;
            const QStringView name = T.mid(start, i - start);
            if (quoted && i < T.size() && T[i] == u'\'')
                ++i;
            if (NameList.IsBound(name)) {
                const QString value = NameList.Value(name);
                if (!S.mid(j).startsWith(value, Qt::CaseInsensitive))
                    return false;
                j += value.size();
                continue;
            }
            QString value;
            if (literal) {
                if (!ReadLiteralValue(T, i, S, j, value))
                    return false;
            } else {
                value = ReadPlainValue(T, i, S, j);
            }
            NameList.SetValue(name, value, literal);
            continue;
        }
        if (Folded(t) == Folded(S[j])) {
            if (t == u'\'')
                literal = !literal;
            ++i;
            ++j;
            if (!literal) {
                SkipWhiteSpace(T, i);
                SkipWhiteSpace(S, j);
            }
            continue;
        }
        if (literal)
            return false;
        if (IsWhiteSpace(t))
            SkipWhiteSpace(T, i);
        else if (IsWhiteSpace(S[j]))
            SkipWhiteSpace(S, j);
        else
            return false;
    }
}

QString ApplyValues(const QString& Template, const TNameList& NameList)
{
    // One pass over the template, so that a value put in is never searched for names.
    QString text;
    text.reserve(Template.size());
    qsizetype i = 0;
    while (i < Template.size()) {
        if (Template[i] != u'@') {
            text += Template[i++];
            continue;
        }
        qsizetype end = i + 1;
        while (end < Template.size() && IsNameChar(Template[end]))
            ++end;
        const QStringView name = QStringView(Template).mid(i, end - i);
        int index = 0;
        while (index < NameList.Count() && name.compare(NameList.Name(index), Qt::CaseInsensitive) != 0)
            ++index;
        text += index < NameList.Count() ? QStringView(NameList.Value(index)) : name;
        i = end;
    }
    return text;
}

TDSOperator* TZQueryPanel::MatchOperator(const TSQLCondition* Condition, QString& Value1, QString& Value2,
    QStringList& SubQueryLines, std::array<bool, 2>* Literal)
{
    Value1.clear();
    Value2.clear();
    QString text = Condition->GetText();
    TNameList names;
    // The field is the left operand as a whole, blanks and brackets of an expression included.
    names.Bind(u"@f", Condition->LeftExpr());
    for (const TRewriteRule& rule : RewriteRules()) {
        names.ClearValues();
        if (!MatchTemplate(rule.Pattern, text, names))
            continue;
        // A value the text did not quote stays unquoted, so that it is still checked as one.
        QString replacement = rule.Replacement;
        for (int i = 0; i < names.Count(); ++i)
            if (!names.IsLiteral(names.Name(i)))
                replacement.replace(u'\'' + names.Name(i) + u'\'', names.Name(i));
        text = ApplyValues(replacement, names);
    }
    // What a template took for a value that is none (a column, an expression): the error when no
    // other template takes the text.
    std::optional<QString> nonValue;
    const QList<TDSOperator*>& operators = FDbStruct->Operators();
    const TSQLFormats& formats = FDbStruct->SQLFormats();
    for (qsizetype k = operators.size() - 1; k >= 0; --k) {
        TDSOperator* op = operators[k];
        if (!WritesCondition(op, Condition, text, names))
            continue;
        if (std::optional<QString> value = NonValue(op, names, formats)) {
            if (!nonValue)
                nonValue = value;
            continue;
        }
        CheckParamPatterns(operators, k, Condition, text, names, formats);
        const QString& sqlTemplate = op->SQLName();
        Value1 = TemplateValue(sqlTemplate, names, QStringLiteral("@1"));
        Value2 = TemplateValue(sqlTemplate, names, QStringLiteral("@2"));
        if (Literal)
            *Literal = {names.IsLiteral(u"@1"), names.IsLiteral(u"@2")};
        if (op->ValueKind() == vkSubQuery)
            SubQueryToQueryText(Value1, SubQueryLines);
        return op;
    }
    if (nonValue)
        throw EZQueryPanelError::Create(qpeBadValue, *nonValue, Condition->GetText());
    // Also a pattern no template writes: taking it for another would change what it finds.
    return nullptr;
}

void TZQueryPanel::SubQueryToQueryText(const QString& SQLText, QStringList& Lines)
{
    auto hidden = std::make_unique<TZQueryPanel>(parentWidget());
    hidden->hide();
    hidden->SetSaveTitles(false);
    hidden->SetDbStruct(FDbStruct);
    hidden->SetSQLOptions(FSQLOptions);
    hidden->SetSQLSyntax(FSQLSyntax);
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    hidden->LoadFromSQL(SQLText.split(lineBreak));
    // The sub-query dialog makes no parameters, and the query numbers its own without looking into
    // sub-queries: one there would be a second parameter of the same name.
    if (hidden->QResult()->Params().Count() > 0)
        throw EZQueryPanelError::Create(qpeParamInSubQuery, SQLText);
    rtl::StringList text;
    hidden->SaveToStrings(text);
    Lines = text;
}

void TZQueryPanel::LoadFromSQL(const QStringList& Lines)
{
    RequireDbStruct();
    // The whole statement is read and its tables checked before the panel changes.
    TZSQLParser parser;
    parser.SetSQL(Lines);
    parser.Parse();
    TZParserResult& statement = parser.Result();
    TSQLRowReader reader(this, statement.Tables());
    reader.CheckTables();

    const bool wasActive = FActive;
    const bool modified = FModified;
    const TQueryProcess state = FProcessState;
    const bool reading = FReadingRows;
    // What the panel held, put back when the statement cannot be read; an empty query is its root's
    // link type and the sorting flag.
    const bool empty
        = FRoot->Count() == 0 && FQResult->ResultFields().Count() == 0 && FQResult->Params().Count() == 0;
    rtl::StringList saved;
    if (!empty)
        SaveToStrings(saved);
    const TFilterLinkType rootLinkType = FRoot->LinkType();
    const bool justSorting = FQResult->ResultFields().JustSorting();
    const TSQLOptions options = FSQLOptions;
    FModified = modified;
    FProcessState = qpLoading;
    FReadingRows = true;
    try {
        Deactivate();
        Clear();
        // The statement says whether its rows are distinct; the panel's other options stay.
        constexpr TSQLOptions distinct {soSelectDistinct};
        SetSQLOptions(statement.Distinct() ? options + distinct : options - distinct);
        reader.ReadResultFields(statement.ResultFields());
        reader.ReadRoot(FRoot, statement.Root(), statement.Having());
        reader.CheckJoins();
        EndReadingRows(reading);
        FProcessState = state;
        SetActive(wasActive);
    } catch (...) {
        FProcessState = qpLoading;
        FReadingRows = true;
        if (FActive)
            Deactivate();
        Clear();
        if (empty) {
            FRoot->SetLinkType(rootLinkType);
            FQResult->ResultFields().SetJustSorting(justSorting);
        } else {
            try {
                LoadFromStrings(saved);
            } catch (...) {
                Clear();
            }
        }
        SetSQLOptions(options);
        EndReadingRows(reading);
        FProcessState = state;
        FModified = modified;
        try {
            SetActive(wasActive);
        } catch (...) {
        }
        throw;
    }
    Changed();
    ParamListChanged();
}
