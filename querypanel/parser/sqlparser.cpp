#include "querypanel/parser/sqlparser.h"

#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <algorithm>
#include <array>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

namespace {

const char* const MessageTexts[] = {"Wrong SQL statement", "Lost bracket", "SQL statement nested too deeply"};

// Keyword comparison that most tokens fail at their length, without a library call.
bool SameWord(const QString& Text, QStringView Word)
{
    if (Text.size() != Word.size())
        return false;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text[i] != Word[i])
            return false;
    }
    return true;
}

const QString OrLink = u"or"_s;
const QString AndLink = u"and"_s;
// The comparison words come first: ComparisonSearch takes them from here.
constexpr int ComparisonCount = 11;
const QString ComparisonsAndLinks[] {u"="_s, u"<>"_s, u"!="_s, u">"_s, u"<"_s, u">="_s, u"<="_s, u"like"_s,
    u"in"_s, u"is"_s, u"between"_s, OrLink, AndLink};
static_assert(std::size(ComparisonsAndLinks) == ComparisonCount + 2);

// The words that tell a comparison from an expression in brackets.
const TZScanParams ComparisonSearch {TokenKinds({tkIdentifier, tkReserved, tkDelimiter}), QString(),
    QStringList(std::begin(ComparisonsAndLinks), std::begin(ComparisonsAndLinks) + ComparisonCount)
        .join(u',')};

bool IsComparisonOrLink(const QString& Word)
{
    for (const QString& word : ComparisonsAndLinks) {
        if (SameWord(Word, word))
            return true;
    }
    return false;
}

// The operator word as a text of its own; the common ones share constant texts, and no text shares the
// scanner's buffer, which the scanner then goes on reusing.
QString OperatorText(const QString& Word)
{
    for (const QString& word : ComparisonsAndLinks) {
        if (SameWord(Word, word))
            return word;
    }
    return QStringView(Word).toString();
}

// Where a token stands, for the source text between two tokens; its texts are left out, as copying
// them would cost more than the rest of the reading.
TZToken Position(const TZToken& Token)
{
    TZToken position;
    position.Line = Token.Line;
    position.StartCol = Token.StartCol;
    position.EndCol = Token.EndCol;
    return position;
}

// A right operand in double quotes is a string value.
QString TurnQuotes(const QString& Operand)
{
    if (Operand.size() >= 2 && Operand.startsWith('"') && Operand.endsWith('"'))
        return '\'' + Operand.mid(1, Operand.size() - 2) + '\'';
    return Operand;
}

}  // namespace

void TSQLResultField::SetExpression(QString Value)
{
    FExpression = std::move(Value);
    const qsizetype dot = FExpression.indexOf('.');
    const qsizetype bracket = FExpression.indexOf('(');
    FFieldName = dot < 0 || (bracket >= 0 && bracket < dot) ? FExpression : FExpression.mid(dot + 1);
}

int TSQLResultFieldList::IndexOfAlias(const QString& S) const
{
    for (int i = 0; i < Count(); ++i) {
        if (rtl::SameText(GetItem(i)->Alias(), S))
            return i;
    }
    return -1;
}

int TSQLResultFieldList::IndexOfExpression(const QString& S) const
{
    for (int i = 0; i < Count(); ++i) {
        if (rtl::SameText(GetItem(i)->Expression(), S))
            return i;
    }
    return -1;
}

TSQLTable::TSQLTable() = default;
TSQLTable::~TSQLTable() = default;

void TSQLTable::SetOn(std::unique_ptr<TSQLBracket> Condition, QString Text)
{
    FOn = std::move(Condition);
    FOnText = std::move(Text);
}

void TSQLTable::SetName(QString Value)
{
    FName = std::move(Value);
    if (FAlias.isEmpty())
        FAlias = FName;
}

TSQLConditionNode::TSQLConditionNode(TSQLBracket* Parent) : FParent(Parent)
{
    if (Parent)
        Parent->Nodes().Add(this);
}

TSQLBracket::TSQLBracket(TSQLBracket* Parent, const QString& LinkType)
    : TSQLConditionNode(Parent), FLinkType(LinkType)
{
}

void TSQLBracket::Adopt(TSQLConditionNode* Node)
{
    if (Node->FParent)
        Node->FParent->FNodes.Remove(Node);
    Node->FParent = this;
    FNodes.Add(Node);
}

TSQLBracket* TSQLBracket::Unwrapped(TSQLBracket* Root)
{
    TSQLBracket* bracket = Root->FNodes.Count() == 1 ? Root->FNodes.First()->AsBracket() : nullptr;
    if (!bracket)
        return Root;
    Root->FNodes.Remove(bracket);
    bracket->FParent = nullptr;
    bracket->FNot = bracket->FNot != Root->FNot;
    delete Root;
    return bracket;
}

QString TSQLCondition::GetText() const
{
    const QString text = FLeftExpr + ' ' + FOperator + ' ' + FRightExpr;
    return Not() ? "not(" + text + ')' : text;
}

TZParserResult::TZParserResult()
    : FRoot(std::make_unique<TSQLBracket>(nullptr)), FHaving(std::make_unique<TSQLBracket>(nullptr))
{
}

void TZParserResult::Unwrap(const TSQLBracket* Tree)
{
    std::unique_ptr<TSQLBracket>& tree = Tree == FHaving.get() ? FHaving : FRoot;
    tree.reset(TSQLBracket::Unwrapped(tree.release()));
}

TZSQLParser::TZSQLParser()
{
    static_assert(std::size(MessageTexts) == int(Message::Count));
    FScanner.SetSQLText();
    FScanner.SetReservedWords(
        {u"select"_s, u"from"_s, u"join"_s, u"where"_s, u"order"_s, u"group"_s, u"by"_s, u"having"_s});
}

void TZSQLParser::Error(Message Msg) const
{
    throw ESQLParserError(
        QString::fromLatin1(MessageTexts[int(Msg)]) + "\r\nLine:" + QString::number(FScanner.GetTokenLine()));
}

// Keywords are compared with the lower-cased token; a string that reads like one is no keyword.
bool TZSQLParser::At(QStringView Word) const
{
    return !FScanner.Eof() && FScanner.GetTokenKind() != tkString && SameWord(FScanner.GetTokenLower(), Word);
}

// The statement ends with the text or with a ";".
bool TZSQLParser::Ended() const
{
    return FScanner.Eof() || At(u";");
}

void TZSQLParser::Expect(QStringView Word)
{
    if (!At(Word))
        Error(Message::WrongStatement);
    FScanner.Next();
}

bool TZSQLParser::AtJoinWord() const
{
    return At(u"join") || At(u"inner") || At(u"left") || At(u"right") || At(u"full");
}

// The words of a join up to "join" ("left outer join", "natural join"): they end the operand before
// them (a condition of ON without brackets), while "left(" and a column named "full" stay in it.
bool TZSQLParser::AtJoinStart() const
{
    // Every token of an operand asks: one comparison answers for most of them.
    static const std::array<QStringView, 7> starts {
        u"natural", u"inner", u"cross", u"outer", u"left", u"right", u"full"};
    const QString& first = FScanner.GetTokenLower();
    if (std::find(starts.cbegin(), starts.cend(), first) == starts.cend())
        return false;
    int n = 0;
    const auto is = [&](QStringView Word) {
        const TZToken& token = FScanner.GetToken(n);
        return token.Kind != tkString && SameWord(token.LowerText, Word);
    };
    if (is(u"natural"))
        ++n;
    if (is(u"inner") || is(u"cross") || is(u"outer")) {
        ++n;
    } else if (is(u"left") || is(u"right") || is(u"full")) {
        ++n;
        if (is(u"outer"))
            ++n;
    }
    return n > 0 && is(u"join");
}

// A double quote token opens a quoted name, whose words may read like keywords.
bool TZSQLParser::AtQuote() const
{
    return !FScanner.Eof() && FScanner.GetTokenKind() == tkDelimiter
        && SameWord(FScanner.GetTokenText(), u"\"");
}

// From the opening double quote to the closing one, which stays the current token.
void TZSQLParser::SkipQuotedName()
{
    FScanner.Next();
    while (!AtQuote()) {
        if (FScanner.Eof())
            Error(Message::WrongStatement);
        FScanner.Next();
    }
}

// In an expression a name may also stand in square brackets, as some dialects quote it.
bool TZSQLParser::AtQuotedName() const
{
    return AtQuote() || At(u"[");
}

// From the opening quote or bracket of a name to its closing one, which stays the current token.
void TZSQLParser::SkipNameInExpression()
{
    if (AtQuote()) {
        SkipQuotedName();
        return;
    }
    for (FScanner.Next(); !At(u"]"); FScanner.Next()) {
        if (FScanner.Eof())
            Error(Message::WrongStatement);
    }
}

void TZSQLParser::ExpectClosingBracket()
{
    if (!At(u")"))
        Error(Message::LostBracket);
    FScanner.Next();
}

void TZSQLParser::Parse()
{
    FScanner.SetLines(FSQL);
    FScanner.Start();
    ParseSelectList();
    ParseFrom();
    if (At(u"where"))
        ParseWhere();
    if (At(u"group"))
        ParseGroupBy();
    if (At(u"having"))
        ParseHaving();
    if (At(u"order"))
        ParseOrderBy();
    // Text the statement does not account for must not be dropped silently.
    if (At(u";"))
        FScanner.Next();
    if (!FScanner.Eof())
        Error(Message::WrongStatement);
}

void TZSQLParser::ParseSelectList()
{
    Expect(u"select");
    if (At(u"distinct")) {
        FResult.SetDistinct(true);
        FScanner.Next();
    }
    if (At(u"*")) {
        FResult.SetSelectAll(true);
        FResult.ResultFields().SetAllFields(true);
        FScanner.Next();
        return;
    }
    for (;;) {
        auto field = std::make_unique<TSQLResultField>();
        field->SetExpression(ReadExpression());
        if (At(u"as")) {
            FScanner.Next();
            field->SetAlias(ReadName(false));
        }
        FResult.ResultFields().Add(field.release());
        if (!At(u","))
            return;
        FScanner.Next();
    }
}

QString TZSQLParser::ReadExpression(bool SortItem)
{
    const TZToken start = Position(FScanner.GetToken(0));
    int depth = 0;
    for (;;) {
        if (AtQuotedName()) {
            SkipNameInExpression();
            FScanner.Next();
            continue;
        }
        const bool belongs = !Ended() && FScanner.GetTokenKind() != tkReserved && !At(u",") && !At(u"as")
            && !(SortItem && (At(u"asc") || At(u"desc")));
        if (!belongs && depth <= 0)
            break;
        // The text must not end inside a bracket.
        if (FScanner.Eof())
            Error(Message::LostBracket);
        if (At(u"("))
            ++depth;
        else if (At(u")"))
            --depth;
        FScanner.Next();
    }
    const QString text = FScanner.GetTextBetween(start, FScanner.GetToken(-1));
    if (text.isEmpty())
        Error(Message::WrongStatement);
    return text;
}

QString TZSQLParser::ReadName(bool KeepQuotes)
{
    if (Ended())
        Error(Message::WrongStatement);
    if (!AtQuote()) {
        const QString name = FScanner.GetTokenText();
        FScanner.Next();
        return name;
    }
    const TZToken start = Position(FScanner.GetToken(1));
    SkipQuotedName();
    const QString name = FScanner.GetTextBetween(start, FScanner.GetToken(-1));
    FScanner.Next();
    return KeepQuotes ? '"' + name + '"' : name;
}

QString TZSQLParser::ReadDottedName(bool KeepQuotes)
{
    QString name = ReadName(KeepQuotes);
    while (At(u".")) {
        FScanner.Next();
        name += '.' + ReadName(KeepQuotes);
    }
    return name;
}

void TZSQLParser::ParseFrom()
{
    Expect(u"from");
    int open = 0;
    for (;;) {
        ReadTable(open);
        if (!At(u","))
            break;
        FScanner.Next();
    }
    if (open > 0)
        Error(Message::LostBracket);
}

// Open counts the brackets of the FROM clause that are not closed yet.
void TZSQLParser::CloseBrackets(int& Open)
{
    for (; At(u")"); FScanner.Next()) {
        if (Open == 0)
            Error(Message::LostBracket);
        --Open;
    }
}

void TZSQLParser::ReadTable(int& Open)
{
    for (; At(u"("); FScanner.Next())
        ++Open;
    auto* table = new TSQLTable;
    FResult.Tables().Add(table);
    table->SetName(ReadDottedName(false));
    CloseBrackets(Open);
    // At the end of the text there is no alias to read.
    if (Ended() || At(u",") || At(u"where") || At(u"group") || At(u"having") || At(u"order"))
        return;
    if (!AtJoinWord()) {
        table->SetAlias(ReadName(false));
        CloseBrackets(Open);
    }
    ReadJoins(Open);
}

void TZSQLParser::ReadJoins(int& Open)
{
    while (AtJoinWord()) {
        TSQLJoinKind kind = sjkInner;
        if (At(u"left") || At(u"right") || At(u"full")) {
            kind = At(u"left") ? sjkLeft : At(u"right") ? sjkRight : sjkFull;
            FScanner.Next();
            if (At(u"outer"))
                FScanner.Next();
        } else if (At(u"inner")) {
            FScanner.Next();
        }
        Expect(u"join");
        auto table = std::make_unique<TSQLTable>();
        table->SetJoinKind(kind);
        table->SetName(ReadDottedName(false));
        if (!At(u"on"))
            table->SetAlias(ReadName(false));
        Expect(u"on");
        const TZToken start = Position(FScanner.GetToken(0));
        auto on = std::make_unique<TSQLBracket>(nullptr);
        ReadOr(on.get());
        const QString text = FScanner.GetTextBetween(start, FScanner.GetToken(-1));
        table->SetOn(std::unique_ptr<TSQLBracket>(TSQLBracket::Unwrapped(on.release())), text);
        FResult.Tables().Add(table.release());
        CloseBrackets(Open);
    }
}

void TZSQLParser::ParseWhere()
{
    ReadConditionClause(u"where", FResult.Root());
}

void TZSQLParser::ParseHaving()
{
    ReadConditionClause(u"having", FResult.Having());
}

void TZSQLParser::ReadConditionClause(QStringView Keyword, TSQLBracket* Tree)
{
    Expect(Keyword);
    ReadOr(Tree);
    FResult.Unwrap(Tree);
}

// The readers add one node each to the bracket they are given. A bracket is made only for two or more
// linked operands and a group in brackets adds its content, so the tree holds no bracket of a single
// node and needs no simplification below the root.
TSQLConditionNode* TZSQLParser::ReadLinked(TSQLBracket* Parent, const QString& Link, ReadMethod ReadItem)
{
    TSQLConditionNode* first = (this->*ReadItem)(Parent);
    if (!At(Link))
        return first;
    auto* bracket = new TSQLBracket(Parent, Link);
    bracket->Adopt(first);
    // A link word always has an operand after it.
    while (At(Link)) {
        FScanner.Next();
        (this->*ReadItem)(bracket);
    }
    return bracket;
}

TSQLConditionNode* TZSQLParser::ReadOr(TSQLBracket* Parent)
{
    return ReadLinked(Parent, OrLink, &TZSQLParser::ReadAnd);
}

TSQLConditionNode* TZSQLParser::ReadAnd(TSQLBracket* Parent)
{
    return ReadLinked(Parent, AndLink, &TZSQLParser::ReadFactor);
}

TSQLConditionNode* TZSQLParser::ReadFactor(TSQLBracket* Bracket)
{
    return At(u"(") ? ReadGroup(Bracket) : ReadCondition(Bracket);
}

// Groups nest by recursion; their depth is limited so that no text can exhaust the stack.
TSQLConditionNode* TZSQLParser::ReadGroup(TSQLBracket* Bracket)
{
    if (++FNesting > MaxNesting)
        Error(Message::TooDeep);
    FScanner.Next();
    TSQLConditionNode* group = ReadOr(Bracket);
    ExpectClosingBracket();
    --FNesting;
    return group;
}

TSQLConditionNode* TZSQLParser::ReadCondition(TSQLBracket* Bracket)
{
    bool negation = false;
    for (; At(u"not"); FScanner.Next())
        negation = !negation;
    // "not ( ... )" negates the whole group in the brackets.
    if (At(u"(") && FScanner.ScanFor(u"("_s, u")"_s, ComparisonSearch)) {
        TSQLConditionNode* group = ReadGroup(Bracket);
        group->SetNot(group->Not() != negation);
        return group;
    }
    auto* condition = new TSQLCondition(Bracket);
    condition->SetLeftExpr(ReadOperand(condition, true));
    if (At(u"not")) {
        negation = !negation;
        FScanner.Next();
    }
    if (Ended())
        Error(Message::WrongStatement);
    condition->SetOperator(OperatorText(FScanner.GetTokenLower()));
    FScanner.Next();
    if (Ended())
        Error(Message::WrongStatement);
    condition->SetNot(negation);
    condition->SetRightExpr(TurnQuotes(ReadOperand(condition, false)));
    if (SameWord(condition->Operator(), u"between")) {
        Expect(u"and");
        condition->SetRightExpr(condition->RightExpr() + " and " + TurnQuotes(ReadOperand(condition, false)));
    }
    return condition;
}

// An operand ends before a comparison or link word outside brackets and before the words of a join;
// the left one also before "not", so "x not like y" reads as a negation while "x is not null" keeps
// "not null" on the right.
bool TZSQLParser::EndsOperand(bool Left) const
{
    const TZTokenKind kind = FScanner.GetTokenKind();
    const QString& word = FScanner.GetTokenLower();
    return kind == tkReserved || Ended()
        || ((kind == tkIdentifier || kind == tkDelimiter) && IsComparisonOrLink(word))
        || (Left && kind == tkIdentifier && SameWord(word, u"not")) || AtJoinStart();
}

QString TZSQLParser::ReadOperand(TSQLCondition* Condition, bool Left)
{
    const TZToken start = Position(FScanner.GetToken(0));
    int depth = 0;
    for (; At(u"("); FScanner.Next())
        ++depth;
    if (At(u"select"))
        Condition->SetHasSubQuery(true);
    for (; !FScanner.Eof(); FScanner.Next()) {
        if (AtQuotedName()) {
            SkipNameInExpression();
        } else if (At(u"(")) {
            ++depth;
        } else if (At(u")")) {
            if (depth == 0)
                break;
            --depth;
        } else if (depth == 0 && EndsOperand(Left)) {
            break;
        }
    }
    if (depth > 0)
        Error(Message::LostBracket);
    const QString text = FScanner.GetTextBetween(start, FScanner.GetToken(-1));
    // A condition needs something to compare; what follows the operator is taken as written.
    if (Left && text.isEmpty())
        Error(Message::WrongStatement);
    return text;
}

void TZSQLParser::ParseGroupBy()
{
    Expect(u"group");
    Expect(u"by");
    FResult.GroupBy() << ReadExpression();
    while (At(u",")) {
        FScanner.Next();
        FResult.GroupBy() << ReadExpression();
    }
}

void TZSQLParser::ParseOrderBy()
{
    Expect(u"order");
    Expect(u"by");
    TSQLResultFieldList& fields = FResult.ResultFields();
    const bool numbers = !Ended() && FScanner.GetTokenKind() == tkNumber;
    for (int position = 1;; ++position) {
        if (Ended())
            Error(Message::WrongStatement);
        TSQLResultField* field = nullptr;
        if (numbers) {
            int number = 0;
            if (FScanner.GetTokenKind() != tkNumber || !rtl::TryStrToInt(FScanner.GetTokenText(), number)
                || number < 1 || number > fields.Count())
                Error(Message::WrongStatement);
            field = fields[number - 1];
            FScanner.Next();
        } else if (fields.AllFields()) {
            QString name = ReadName(true);
            if (At(u".")) {
                FScanner.Next();
                name += '.' + ReadName(true);
            }
            field = new TSQLResultField;
            field->SetExpression(name);
            fields.Add(field);
        } else {
            // A selected total or expression is sorted by as it stands in the select list.
            const QString item = ReadExpression(true);
            int index = fields.IndexOfAlias(item);
            if (index < 0)
                index = fields.IndexOfExpression(item);
            if (index < 0)
                Error(Message::WrongStatement);
            field = fields[index];
        }
        field->SetSortType(1);
        field->SetSortOrder(position);
        if (!Ended() && !At(u",")) {
            if (At(u"desc"))
                field->SetSortType(2);
            FScanner.Next();
        }
        if (!At(u","))
            return;
        FScanner.Next();
    }
}
