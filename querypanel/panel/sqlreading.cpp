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
#include "querypanel/query/querytextlines.h"
#include "querypanel/query/resulttables.h"
#include "rtl/datetime.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

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
    if (!QStringView(Operand).trimmed().startsWith(u"cast", Qt::CaseInsensitive))
        return {};
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
// with the format of its TO_DATE call, as the panel writes it (month and day names, literal text,
// AM and PM); else leniently, by the order of the format's fields.
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
    if (!rtl::TryReadFormattedDateTime(format, value, date)) {
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

// Text without the brackets that enclose all of it: (a) and ((a)) are a.
QString Unbracketed(QString Text)
{
    for (Text = Text.trimmed(); Text.startsWith(u'(') && Text.endsWith(u')');
         Text = Text.mid(1).chopped(1).trimmed()) {
        int depth = 0;
        for (qsizetype i = 0; i < Text.size() - 1; ++i) {
            depth += Text[i] == u'(' ? 1 : Text[i] == u')' ? -1 : 0;
            if (depth == 0)
                return Text;
        }
    }
    return Text;
}

// A grouping expression as compared: lower case, without blanks and enclosing brackets.
QString GroupKey(const QString& Expression)
{
    return FieldKey(Unbracketed(Expression));
}

// A GROUP BY clause described for a message.
QString GroupingText(const QStringList& Items)
{
    return Items.isEmpty() ? QStringLiteral("no GROUP BY")
                           : QStringLiteral("\"GROUP BY %1\"").arg(Items.join(QStringLiteral(", ")));
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

// The comparisons of a join condition, when it is one comparison or comparisons all joined by "and";
// false for anything else (an alternative, a negation).
bool JoinTerms(const TSQLConditionNode* Node, QList<const TSQLCondition*>& Terms)
{
    if (Node->Not())
        return false;
    const TSQLBracket* bracket = const_cast<TSQLConditionNode*>(Node)->AsBracket();
    if (!bracket) {
        Terms << static_cast<const TSQLCondition*>(Node);
        return true;
    }
    if (bracket->Nodes().Count() > 1 && bracket->LinkType() != QStringLiteral("and"))
        return false;
    return std::all_of(bracket->Nodes().begin(), bracket->Nodes().end(),
        [&](const TSQLConditionNode* Item) { return JoinTerms(Item, Terms); });
}

// The tables of a FROM clause in order, each with the join that adds it to those before it and the
// table its join condition links it to.
struct TJoinStep {
    const TDSTable* Table;
    TSQLJoinKind Kind;
    const TDSTable* Partner;
};
using TJoinChain = QList<TJoinStep>;

// The chain's grouping, the same for chains that join the same tables alike: the first join in
// either order of its two tables, and any two neighbouring inner or left joins in either order when
// the later one does not link to the table of the earlier, which select the same records. A right or
// full join later in the chain keeps its place.
QString JoinTreeKey(TJoinChain Chain)
{
    const auto name = [](const TDSTable* Table) { return u'"' + Table->Name() + u'"'; };
    // "A RIGHT JOIN B" keeps B as "B LEFT JOIN A" does; an inner or full first join reads alike in
    // either order, taken by name.
    if (Chain.size() > 1
        && (Chain[1].Kind == sjkRight
            || (Chain[1].Kind != sjkLeft && name(Chain[1].Table) < name(Chain[0].Table)))) {
        std::swap(Chain[0].Table, Chain[1].Table);
        Chain[1].Partner = Chain[0].Table;
        if (Chain[1].Kind == sjkRight)
            Chain[1].Kind = sjkLeft;
    }
    const auto step = [&](const TJoinStep& Step) { return QString::number(Step.Kind) + name(Step.Table); };
    const auto free = [](const TJoinStep& Step) { return Step.Kind == sjkInner || Step.Kind == sjkLeft; };
    QString key = Chain.isEmpty() ? QString() : name(Chain.first().Table);
    QList<TJoinStep> left(Chain.begin() + std::min<qsizetype>(1, Chain.size()), Chain.end());
    // The smallest step that no earlier step binds, again and again.
    while (!left.isEmpty()) {
        qsizetype best = 0;
        for (qsizetype j = 1; j < left.size() && free(left[0]); ++j) {
            bool bound = !free(left[j]);
            for (qsizetype i = 0; i < j && !bound; ++i)
                bound = !free(left[i]) || left[j].Partner == left[i].Table;
            if (!bound && step(left[j]) < step(left[best]))
                best = j;
        }
        key += u' ' + step(left[best]);
        left.removeAt(best);
    }
    return key;
}

// "A" INNER JOIN "B" LEFT OUTER JOIN "C".
QString JoinChainText(const TJoinChain& Chain)
{
    QString text;
    for (const auto& [table, kind, partner] : Chain) {
        static const char* const words[]
            = {", ", " INNER JOIN ", " LEFT OUTER JOIN ", " RIGHT OUTER JOIN ", " FULL OUTER JOIN "};
        if (!text.isEmpty())
            text += QString::fromLatin1(words[kind]);
        text += u'"' + table->Name() + u'"';
    }
    return text;
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
            const QString expression = Qualified(ModelColumnNames(field->Expression()));
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
        QList<const TDSLink*> listed;
        bool outer = false;
        for (const TResultTable& entry : joined) {
            const TDSLink* link = entry.Link;
            if (!link || link->Table1() == link->Table2())
                continue;
            const TSQLTable* later = FTables[LaterIndex(link)];
            if (later->JoinKind() == sjkListed)
                listed << link;
            else if (!IsLinkCondition(later->On(), link))
                throw EZQueryPanelError::Create(qpeJoinConditionNotRead, later->Name(), later->OnText(),
                    link->Table1()->Name(), link->Table2()->Name(), link->GetJoinCondition(1));
            const std::optional<TLinkType> stated = StatedJoin(link);
            if (stated != link->LinkType())
                throw EZQueryPanelError::Create(qpeJoinWouldChange, link->Table1()->Name(),
                    link->Table2()->Name(), JoinText(stated, link), JoinText(link->LinkType(), link));
            outer = outer || link->LinkType() != ltInner;
        }
        // A join condition in WHERE that joins no listed table would be lost with the records it drops.
        for (auto written = FWrittenJoins.cbegin(); written != FWrittenJoins.cend(); ++written)
            if (!listed.contains(written.key()))
                throw EZQueryPanelError::Create(qpeJoinConditionInWhere, written->Text);
        if (outer)
            CheckJoinGrouping(joined);
    }

    // The query groups by its result fields that are not totals when a result field or a condition is
    // on totals, and never else; a statement that groups otherwise selects other records. A GROUP BY
    // over exactly the selected columns with no total selects each of their combinations once, as
    // DISTINCT does: such a statement reads as DISTINCT, which the answer says.
    bool CheckGrouping(const TZParserResult& Statement) const
    {
        const TRFieldList& fields = FPanel->QResult()->ResultFields();
        const bool selectAll = fields.JustSorting();
        bool totals = Statement.Having()->Nodes().Count() > 0;
        for (const TResultField* field : fields)
            totals = totals || (!selectAll && field->IsAggregate());
        QStringList written;
        QSet<QString> query;
        QSet<QString> selected;
        for (const TResultField* field : fields) {
            const QString expression = field->GetExpression();
            selected << GroupKey(expression);
            if (totals && !selectAll && !field->IsAggregate()) {
                written << expression;
                query << GroupKey(expression);
            }
        }
        QSet<QString> stated;
        TRFieldList scratch(FModel);
        for (const QString& item : Statement.GroupBy())
            stated << StatedGroupKey(item, Statement.ResultFields(), scratch);
        if (stated == query)
            return false;
        if (!totals && !selectAll && fields.Count() > 0 && stated == selected)
            return true;
        throw EZQueryPanelError::Create(
            qpeGroupingWouldChange, GroupingText(Statement.GroupBy()), GroupingText(written));
    }

private:
    // An outer join keeps its rows only as the tables are grouped round it: the statement's joins must
    // group the tables as the query writes them. Listed tables are grouped by their conditions alone.
    void CheckJoinGrouping(const TRTableList& Joined) const
    {
        TJoinChain stated;
        qsizetype listed = 0;
        for (qsizetype i = 0; i < FTables.Count(); ++i) {
            stated.append({FStated[i], FTables[int(i)]->JoinKind(), nullptr});
            listed += i > 0 && FTables[int(i)]->JoinKind() == sjkListed ? 1 : 0;
        }
        if (listed == FTables.Count() - 1)
            return;
        TJoinChain written;
        for (const TResultTable& entry : Joined) {
            const TDSTable* partner = nullptr;
            if (entry.Link) {
                partner = entry.Link->Table1() == entry.Table ? entry.Link->Table2() : entry.Link->Table1();
                const qsizetype later = LaterIndex(entry.Link);
                stated[later].Partner = FStated[later] == partner ? entry.Table : partner;
            }
            TSQLJoinKind kind = sjkInner;
            if (entry.Link && entry.Link->LinkType() != ltInner) {
                const bool side2 = entry.Link->Table2() == entry.Table;
                const TLinkType type = entry.Link->LinkType();
                kind = type == ltFull ? sjkFull : (type == ltLeft) == side2 ? sjkLeft : sjkRight;
            }
            written.append({entry.Table, kind, partner});
        }
        // Joins that each keep the tables before them, inner or left, the first one also right, select
        // the same records in every order that joins each table after the one its link names: the
        // links' kinds were compared above.
        const auto keepsEarlier = [](const TJoinChain& Chain) {
            for (qsizetype i = 1; i < Chain.size(); ++i)
                if (Chain[i].Kind != sjkInner && Chain[i].Kind != sjkLeft
                    && (i > 1 || Chain[i].Kind != sjkRight))
                    return false;
            return true;
        };
        if (listed == 0 && keepsEarlier(stated) && keepsEarlier(written))
            return;
        if (listed > 0 || JoinTreeKey(stated) != JoinTreeKey(written))
            throw EZQueryPanelError::Create(
                qpeJoinsGroupedOtherwise, JoinChainText(stated), JoinChainText(written));
    }

    qsizetype LaterIndex(const TDSLink* Link) const
    {
        return std::max(FStated.indexOf(Link->Table1()), FStated.indexOf(Link->Table2()));
    }

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
        const qsizetype later = LaterIndex(Link);
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
        if (written == FWrittenJoins.cend() || written->Marks.contains(-1))
            return std::nullopt;
        // Oracle marks the side whose rows may be missing, on every pair alike.
        const int marks = written->Marks.first();
        if (std::any_of(written->Marks.begin(), written->Marks.end(), [&](int m) { return m != marks; }))
            return std::nullopt;
        switch (marks) {
        case 0:
            return ltInner;
        case 1:
            return ltRight;
        case 2:
            return ltLeft;
        default:
            return std::nullopt;
        }
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
            if (!joins || !TakeJoinCondition(node))
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

    // A comparison, or comparisons joined by "and", each a pair of one of the model's links written as
    // its join condition; the pairs are noted for their links, with Oracle's outer-join marks.
    bool TakeJoinCondition(const TSQLConditionNode* Node)
    {
        QList<const TSQLCondition*> terms;
        if (!JoinTerms(Node, terms))
            return false;
        QList<std::tuple<const TDSLink*, int, int>> pairs;
        for (const TSQLCondition* term : terms) {
            const TDSLink* link = nullptr;
            int marks = 0;
            const int pair = LinkPair(term, link, marks);
            if (pair < 0)
                return false;
            pairs.append({link, pair, marks});
        }
        for (const auto& [link, pair, marks] : pairs) {
            TWrittenJoin& written = FWrittenJoins[link];
            if (written.Marks.isEmpty()) {
                written.Marks.fill(-1, link->FldName1().size());
                written.Text = terms.first()->GetText();
            }
            written.Marks[pair] = marks;
        }
        return true;
    }

    // Whether an ON condition is Link's join condition: its pairs, each once, in any order, and
    // nothing else.
    bool IsLinkCondition(const TSQLBracket* On, const TDSLink* Link) const
    {
        QList<const TSQLCondition*> terms;
        if (!On || !JoinTerms(On, terms) || terms.size() != Link->FldName1().size())
            return false;
        QList<bool> found(terms.size(), false);
        for (const TSQLCondition* term : terms) {
            int marks = 0;
            const TDSLink* link = Link;
            const int pair = LinkPair(term, link, marks);
            if (pair < 0 || marks != 0 || found[pair])
                return false;
            found[pair] = true;
        }
        return true;
    }

    // The pair of a link that Term writes, its operands in either order, or -1; Link, when given, is
    // the only link looked at, and otherwise gets the link found. Marks gets the sides that bear
    // Oracle's outer-join mark: 1 for the first table's, 2 for the second's.
    int LinkPair(const TSQLCondition* Term, const TDSLink*& Link, int& Marks) const
    {
        if (Term->Not() || Term->HasSubQuery())
            return -1;
        if (FLinkPairs.isEmpty()) {
            for (int i = 0; i < FModel->GetLinkCount(); ++i) {
                const TDSLink* link = FModel->GetLink(i);
                for (int n = 0; n < link->FldName1().size(); ++n)
                    FLinkPairs.append({link, n, LinkOperandKey(link->Table1(), link->FldName1()[n]),
                        FieldKey(link->Operators().value(n)),
                        LinkOperandKey(link->Table2(), link->FldName2().value(n))});
            }
        }
        bool leftMark = false;
        bool rightMark = false;
        const QString left = OperandKey(Term->LeftExpr(), leftMark);
        const QString right = OperandKey(Term->RightExpr(), rightMark);
        static const QHash<QString, QString> turned {{QStringLiteral("<"), QStringLiteral(">")},
            {QStringLiteral(">"), QStringLiteral("<")}, {QStringLiteral("<="), QStringLiteral(">=")},
            {QStringLiteral(">="), QStringLiteral("<=")}};
        const QString& op = Term->Operator();
        for (const TLinkPair& pair : FLinkPairs) {
            if (Link && pair.Link != Link)
                continue;
            if (left == pair.Key1 && right == pair.Key2 && op == pair.Operator)
                Marks = (leftMark ? 1 : 0) | (rightMark ? 2 : 0);
            else if (right == pair.Key1 && left == pair.Key2 && turned.value(op, op) == pair.Operator)
                Marks = (rightMark ? 1 : 0) | (leftMark ? 2 : 0);
            else
                continue;
            Link = pair.Link;
            return pair.Index;
        }
        return -1;
    }

    // An operand of a link as compared: a column as its table's alias and its name, lower case and
    // unquoted, or a value without blanks and brackets.
    static QString LinkOperandKey(const TDSTable* Table, const QString& Name)
    {
        if (Name.startsWith(QStringLiteral("val:")))
            return JoinKey(Name.mid(4));
        const QString field = Name.startsWith(QStringLiteral("fld:")) ? Name.mid(4) : Name;
        return FieldKey(Table->Alias()) + u'.' + FieldKey(field);
    }

    // An operand of the statement as compared: a column through a table of the FROM clause, named
    // as the statement names it, as LinkOperandKey gives the model's; Marked for Oracle's "(+)".
    QString OperandKey(const QString& Text, bool& Marked) const
    {
        QString key = FieldKey(Text);
        Marked = key.endsWith(QStringLiteral("(+)"));
        if (Marked)
            key.chop(3);
        key.remove(u'(');
        key.remove(u')');
        qsizetype dot = -1;
        bool quoted = false;
        for (qsizetype i = 0; i < key.size(); ++i) {
            if (key[i] == u'"')
                quoted = !quoted;
            else if (key[i] == u'.' && !quoted)
                dot = i;
        }
        if (dot <= 0)
            return key;
        const QString prefix = Unquoted(key.left(dot));
        const QString column = Unquoted(key.mid(dot + 1));
        for (qsizetype i = 0; i < FTables.Count(); ++i) {
            const TSQLTable* table = FTables[int(i)];
            if (prefix == FieldKey(UnquoteStr(table->Alias(), u'"')) || prefix == FieldKey(table->Name()))
                return FieldKey(FStated[i]->Alias()) + u'.' + column;
        }
        return prefix + u'.' + column;
    }

    QString Unquoted(const QString& Name) const
    {
        const TSQLFormats& formats = FModel->SQLFormats();
        if (Name.size() >= 2
            && ((Name.front() == u'"' && Name.back() == u'"')
                || (Name.front() == formats.QuoteSymbol1() && Name.back() == formats.QuoteSymbol2())))
            return Name.mid(1, Name.size() - 2);
        return Name;
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

    // What a GROUP BY item groups by, as the query's key of a result field: a position in the select
    // list, a column or an expression read as a result field is, or an alias of the select list. A
    // name that is both an alias and a column of another expression is read differently by the
    // dialects and matches nothing; so does an item the model cannot express.
    QString StatedGroupKey(
        const QString& Item, const TSQLResultFieldList& Selected, TRFieldList& Scratch) const
    {
        const TRFieldList& fields = FPanel->QResult()->ResultFields();
        const QString item = Unbracketed(Item);
        const QString unmatched = u'\n' + item;
        if (int position = 0; rtl::TryStrToInt(item, position))
            return position >= 1 && position <= fields.Count() && !fields.JustSorting()
                ? GroupKey(fields[position - 1]->GetExpression())
                : unmatched;
        const TResultField* made
            = Scratch.AddFieldFromSQL(QString(), Qualified(ModelColumnNames(item)), 0, 0);
        const QString column = made->Fields().Contains(FModel->PlaceholderField())
            ? QString()
            : GroupKey(made->GetExpression());
        const int alias = fields.JustSorting() ? -1 : Selected.IndexOfAlias(UnquoteStr(item, u'"'));
        if (alias < 0 || alias >= fields.Count())
            return column.isEmpty() ? unmatched : column;
        const QString aliased = GroupKey(fields[alias]->GetExpression());
        return column.isEmpty() || column == aliased ? aliased : unmatched;
    }

    // Column prefixes that name a table of the statement in identifier quotes ("Order Details".Quantity,
    // or in the model's own quotes) written as the model writes them, with the table's alias; string
    // literals stay as they are.
    QString ModelColumnNames(const QString& Expression) const
    {
        const TSQLFormats& formats = FModel->SQLFormats();
        if (!Expression.contains(u'"') && !Expression.contains(formats.QuoteSymbol1()))
            return Expression;
        QString text;
        text.reserve(Expression.size());
        bool literal = false;
        for (qsizetype i = 0; i < Expression.size(); ++i) {
            const QChar c = Expression[i];
            literal = literal != (c == u'\'');
            const QChar close = literal || (i > 0 && Expression[i - 1] == u'.') ? QChar()
                : c == u'"'                                                     ? QChar(u'"')
                : c == formats.QuoteSymbol1()                                   ? formats.QuoteSymbol2()
                                                                                : QChar();
            const qsizetype end = close.isNull() ? -1 : Expression.indexOf(close, i + 1);
            if (end > i && end + 1 < Expression.size() && Expression[end + 1] == u'.') {
                if (const TDSTable* table = StatementTable(Expression.mid(i + 1, end - i - 1))) {
                    text += table->GetSQLAlias();
                    i = end;
                    continue;
                }
            }
            text += c;
        }
        return text;
    }

    // The model's table of the statement's table named Alias (its alias, or its name when it has none).
    TDSTable* StatementTable(const QString& Alias) const
    {
        for (const TSQLTable* table : FTables)
            if (rtl::SameText(table->Alias(), Alias))
                return ModelTable(table->Name());
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
        // A quoted name is named without its quotes or brackets, blanks and all.
        static const QRegularExpression dotted(
            QStringLiteral(R"((\w+|"[^"]*"|\[[^\]]*\])\.(\w+|"[^"]*"|\[[^\]]*\]))"));
        const auto unquoted = [](const QString& Name) {
            return Name.startsWith(u'[') ? Name.mid(1).chopped(1) : UnquoteStr(Name, u'"');
        };
        const QRegularExpressionMatch match = dotted.match(Expression);
        if (match.hasMatch())
            throw EZDBStructError::Create(
                dseNoFieldInTable, unquoted(match.captured(2)), unquoted(match.captured(1)));
        throw EZDBStructError::Create(
            dseNoFieldInTable, Expression, FTables.Count() > 0 ? FTables.First()->Name() : QString());
    }

    // A row on a total stands where the query writes it into HAVING: in the root or in a bracket
    // of the root; every other row stands where it goes into WHERE.
    void ReadCondition(TFilterBracket* Bracket, const TSQLCondition* Condition, bool Having)
    {
        const QString cast = CastColumn(Condition->LeftExpr());
        const QString name = Qualified(ModelColumnNames(cast.isEmpty() ? Condition->LeftExpr() : cast));
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
    // The links whose join conditions WHERE holds: the marks of each pair (-1 for a pair WHERE
    // lacks) and the condition as written.
    struct TWrittenJoin {
        QList<int> Marks;
        QString Text;
    };
    QHash<const TDSLink*, TWrittenJoin> FWrittenJoins;
    // Each pair of each link of the model, its operands as OperandKey gives them.
    struct TLinkPair {
        const TDSLink* Link;
        int Index;
        QString Key1;
        QString Operator;
        QString Key2;
    };
    mutable QList<TLinkPair> FLinkPairs;
    // The model's table of each table of the FROM clause.
    QList<TDSTable*> FStated;
    // The panel's parameter name for each name of the statement, lower-cased.
    QHash<QString, QString> FParamNames;
};

// How many levels of sub-queries the conditions of a stored query text hold, each level's text a
// value of the one above; past Limit the deeper texts are not unpacked.
int NestedSubQueries(const QStringList& Lines, int Limit)
{
    QStringList main;
    ReadIniSection(0, Lines, QStringLiteral("Main"), main);
    const querytext::TextCodec codec {StrToBoolDef(rtl::StringList(main).Values(querytext::EscapedKey))};
    static const QString key = QStringLiteral("SubQuery=");
    int depth = 0;
    // The reader takes the first SubQuery of a row's section.
    bool inRow = false;
    for (const QString& line : Lines) {
        if (line.startsWith(u'[')) {
            inRow = line.startsWith(QStringLiteral("[Row"), Qt::CaseInsensitive);
            continue;
        }
        if (!inRow || !line.startsWith(key, Qt::CaseInsensitive))
            continue;
        inRow = false;
        rtl::StringList inner;
        inner.SetCommaText(codec.Get(line.mid(key.size())));
        if (inner.isEmpty())
            continue;
        depth = std::max(depth, Limit == 0 ? 1 : 1 + NestedSubQueries(inner, Limit - 1));
        if (depth > Limit)
            break;
    }
    return depth;
}

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
    // Refused on the way down, before any level's text is written.
    if (FSubQueryLevel >= MaxSubQueryDepth)
        throw EZQueryPanelError::Create(qpeSubQueriesTooDeep, MaxSubQueryDepth);
    auto hidden = std::make_unique<TZQueryPanel>(parentWidget());
    hidden->hide();
    hidden->SetSaveTitles(false);
    hidden->SetDbStruct(FDbStruct);
    hidden->SetSQLOptions(FSQLOptions);
    hidden->SetSQLSyntax(FSQLSyntax);
    hidden->SetSubQueryLevel(FSubQueryLevel + 1);
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

void TZQueryPanel::CheckSubQueryNesting(const TFilterCond* Condition) const
{
    if (Condition->SubQuery().isEmpty())
        return;
    const int below = MaxSubQueryDepth - FSubQueryLevel - 1;
    if (below < 0 || NestedSubQueries(Condition->SubQuery(), below) > below)
        throw EZQueryPanelError::Create(
            qpeStoredSubQueriesTooDeep, Condition->Path().chopped(1), MaxSubQueryDepth);
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
        if (reader.CheckGrouping(statement))
            SetSQLOptions(FSQLOptions + distinct);
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
