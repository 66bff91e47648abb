#pragma once

#include "core/base/objectlist.h"
#include "core/tokenizer/scanner.h"
#include "querypanel/parser/sqlnesting.h"
#include "rtl/exception.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

// Every syntax error of the SQL parser; the message ends with CR LF, "Line:" and the 0-based line.
class ESQLParserError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// One entry of the select list, with its place in the ORDER BY clause.
class TSQLResultField {
public:
    const QString& Alias() const { return FAlias; }
    void SetAlias(QString Value) { FAlias = std::move(Value); }
    // The text after the first "." of the expression, or the whole expression when it has no "." or
    // a "(" comes first.
    const QString& FieldName() const { return FFieldName; }
    const QString& Expression() const { return FExpression; }
    void SetExpression(QString Value);
    int SortType() const { return FSortType; }  // 0 not sorted, 1 ascending, 2 descending
    void SetSortType(int Value) { FSortType = Value; }
    int SortOrder() const { return FSortOrder; }  // position in ORDER BY, from 1
    void SetSortOrder(int Value) { FSortOrder = Value; }

private:
    QString FAlias;
    QString FFieldName;
    QString FExpression;
    int FSortType = 0;
    int FSortOrder = 0;
};

class TSQLResultFieldList : public TZObjectList<TSQLResultField> {
public:
    // The select list was "*": ORDER BY names then add entries of their own.
    bool AllFields() const { return FAllFields; }
    void SetAllFields(bool Value) { FAllFields = Value; }
    int IndexOfAlias(const QString& S) const;
    int IndexOfExpression(const QString& S) const;

private:
    bool FAllFields = false;
};

// How a table of the FROM clause joins the tables before it: by a JOIN word, or by a comma (and
// whatever WHERE says) for the first table and a listed one.
enum TSQLJoinKind { sjkListed, sjkInner, sjkLeft, sjkRight, sjkFull };

class TSQLBracket;

// A table of the FROM clause; the alias is the name until one is given.
class TSQLTable {
public:
    TSQLTable();
    ~TSQLTable();
    TSQLTable(const TSQLTable&) = delete;
    TSQLTable& operator=(const TSQLTable&) = delete;

    const QString& Alias() const { return FAlias; }
    void SetAlias(QString Value) { FAlias = std::move(Value); }
    const QString& Name() const { return FName; }
    void SetName(QString Value);
    TSQLJoinKind JoinKind() const { return FJoinKind; }
    void SetJoinKind(TSQLJoinKind Value) { FJoinKind = Value; }
    // The ON condition of a table joined by a JOIN word, as a tree and as written; null and empty
    // for a listed table.
    const TSQLBracket* On() const { return FOn.get(); }
    const QString& OnText() const { return FOnText; }
    void SetOn(std::unique_ptr<TSQLBracket> Condition, QString Text);

private:
    QString FAlias;
    QString FName;
    TSQLJoinKind FJoinKind = sjkListed;
    std::unique_ptr<TSQLBracket> FOn;
    QString FOnText;
};

class TSQLTableList : public TZObjectList<TSQLTable> {};

// A node of the WHERE tree; constructing it with a parent appends it to the parent's nodes.
class TSQLConditionNode {
public:
    explicit TSQLConditionNode(TSQLBracket* Parent);
    virtual ~TSQLConditionNode() = default;
    TSQLConditionNode(const TSQLConditionNode&) = delete;
    TSQLConditionNode& operator=(const TSQLConditionNode&) = delete;

    TSQLBracket* Parent() const { return FParent; }
    // This node as a bracket, or null for a condition.
    virtual TSQLBracket* AsBracket() { return nullptr; }
    // A condition written with "not", or a bracket written as "not ( ... )".
    bool Not() const { return FNot; }
    void SetNot(bool Value) { FNot = Value; }

private:
    friend class TSQLBracket;
    TSQLBracket* FParent;
    bool FNot = false;
};

class TSQLConditionNodeList : public TZObjectList<TSQLConditionNode> {};

// Nodes joined by one link word, "and" or "or" (empty for a root of its own).
class TSQLBracket : public TSQLConditionNode {
public:
    explicit TSQLBracket(TSQLBracket* Parent, const QString& LinkType = QString());
    TSQLBracket* AsBracket() override { return this; }

    const QString& LinkType() const { return FLinkType; }
    void SetLinkType(QString Value) { FLinkType = std::move(Value); }
    TSQLConditionNodeList& Nodes() { return FNodes; }
    const TSQLConditionNodeList& Nodes() const { return FNodes; }

    // Takes Node out of its bracket and appends it here.
    void Adopt(TSQLConditionNode* Node);
    // Root, or the bracket that Root holds as its only node: that bracket then takes Root's place with
    // Root's negation, and Root is freed.
    static TSQLBracket* Unwrapped(TSQLBracket* Root);

private:
    QString FLinkType;
    TSQLConditionNodeList FNodes;
};

// One comparison: LeftExpr Operator RightExpr, as written.
class TSQLCondition : public TSQLConditionNode {
public:
    using TSQLConditionNode::TSQLConditionNode;

    const QString& LeftExpr() const { return FLeftExpr; }
    void SetLeftExpr(QString Value) { FLeftExpr = std::move(Value); }
    const QString& RightExpr() const { return FRightExpr; }
    void SetRightExpr(QString Value) { FRightExpr = std::move(Value); }
    const QString& Operator() const { return FOperator; }  // lower-cased
    void SetOperator(QString Value) { FOperator = std::move(Value); }
    bool HasSubQuery() const { return FHasSubQuery; }
    void SetHasSubQuery(bool Value) { FHasSubQuery = Value; }
    // "left operator right", wrapped as "not(...)" when negated.
    QString GetText() const;

private:
    QString FLeftExpr;
    QString FRightExpr;
    QString FOperator;
    bool FHasSubQuery = false;
};

// What one SELECT statement holds: select list, tables, the WHERE tree and the HAVING tree.
class TZParserResult {
public:
    TZParserResult();
    TZParserResult(const TZParserResult&) = delete;
    TZParserResult& operator=(const TZParserResult&) = delete;

    bool Distinct() const { return FDistinct; }
    void SetDistinct(bool Value) { FDistinct = Value; }
    bool SelectAll() const { return FSelectAll; }
    void SetSelectAll(bool Value) { FSelectAll = Value; }
    TSQLResultFieldList& ResultFields() { return FResultFields; }
    const TSQLResultFieldList& ResultFields() const { return FResultFields; }
    // Without WHERE an empty bracket with an empty link word.
    TSQLBracket* Root() const { return FRoot.get(); }
    // Without HAVING an empty bracket with an empty link word.
    TSQLBracket* Having() const { return FHaving.get(); }
    // Tree (Root or Having), when it holds a single bracket, gives way to it.
    void Unwrap(const TSQLBracket* Tree);
    TSQLTableList& Tables() { return FTables; }
    const TSQLTableList& Tables() const { return FTables; }
    // The GROUP BY items as written; empty without GROUP BY.
    const QStringList& GroupBy() const { return FGroupBy; }
    QStringList& GroupBy() { return FGroupBy; }

private:
    bool FDistinct = false;
    bool FSelectAll = false;
    TSQLResultFieldList FResultFields;
    std::unique_ptr<TSQLBracket> FRoot;
    std::unique_ptr<TSQLBracket> FHaving;
    TSQLTableList FTables;
    QStringList FGroupBy;
};

// Reads the text of one SELECT statement into Result: select list, FROM tables with their joins, the
// WHERE tree, the GROUP BY items, the HAVING tree and ORDER BY. It recognises structure only.
class TZSQLParser {
public:
    TZSQLParser();
    virtual ~TZSQLParser() = default;
    TZSQLParser(const TZSQLParser&) = delete;
    TZSQLParser& operator=(const TZSQLParser&) = delete;

    const QStringList& SQL() const { return FSQL; }
    void SetSQL(const QStringList& Lines) { FSQL = Lines; }
    // Parses SQL into Result, which it never empties first: one parser reads one statement.
    void Parse();
    TZParserResult& Result() { return FResult; }
    const TZParserResult& Result() const { return FResult; }

protected:
    virtual void ParseSelectList();
    virtual void ParseFrom();
    virtual void ParseWhere();
    virtual void ParseOrderBy();
    virtual void ParseGroupBy();
    virtual void ParseHaving();

private:
    enum class Message { WrongStatement, LostBracket, TooDeep, Count };
    using ReadMethod = TSQLConditionNode* (TZSQLParser::*)(TSQLBracket*);

    [[noreturn]] void Error(Message Msg) const;
    bool At(QStringView Word) const;
    bool Ended() const;
    bool AtJoinWord() const;
    bool AtJoinStart() const;
    bool AtQuote() const;
    void SkipQuotedName();
    bool AtQuotedName() const;
    void SkipNameInExpression();
    void Expect(QStringView Word);
    void ExpectClosingBracket();
    void ReadConditionClause(QStringView Keyword, TSQLBracket* Tree);
    // An item of ORDER BY ends before its ASC or DESC as well.
    QString ReadExpression(bool SortItem = false);
    QString ReadName(bool KeepQuotes);
    QString ReadDottedName(bool KeepQuotes);
    void ReadTable(int& Open);
    void ReadJoins(int& Open);
    void CloseBrackets(int& Open);
    TSQLConditionNode* ReadLinked(TSQLBracket* Parent, const QString& Link, ReadMethod ReadItem);
    TSQLConditionNode* ReadOr(TSQLBracket* Parent);
    TSQLConditionNode* ReadAnd(TSQLBracket* Parent);
    TSQLConditionNode* ReadFactor(TSQLBracket* Bracket);
    TSQLConditionNode* ReadGroup(TSQLBracket* Bracket);
    TSQLConditionNode* ReadCondition(TSQLBracket* Bracket);
    QString ReadOperand(TSQLCondition* Condition, bool Left);
    bool EndsOperand(bool Left) const;

public:
    // Groups in brackets nest by recursion, so their depth is limited. A query's statement nests its
    // root's bracket, the brackets below the root and, in a condition, the bracket the query may put
    // round it and those of the operator's template.
    static constexpr int ConditionNesting = 8;
    static constexpr int MaxNesting = MaxBracketDepth + 1 + ConditionNesting;

private:
    QStringList FSQL;
    TZScanner FScanner;
    TZParserResult FResult;
    int FNesting = 0;
};
