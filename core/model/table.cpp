#include "core/model/table.h"

#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "rtl/exception.h"
#include "rtl/format.h"
#include "rtl/strutils.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

// The words that SQLite or PostgreSQL will not take as a bare name; upper case, sorted.
constexpr std::string_view ReservedWords[] {"ADD", "ALL", "ALTER", "ANALYSE", "ANALYZE", "AND", "ANY",
    "ARRAY", "AS", "ASC", "ASYMMETRIC", "AUTHORIZATION", "AUTOINCREMENT", "BETWEEN", "BINARY", "BOTH", "CASE",
    "CAST", "CHECK", "COLLATE", "COLLATION", "COLUMN", "COMMIT", "CONCURRENTLY", "CONSTRAINT", "CREATE",
    "CROSS", "CURRENT_CATALOG", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "DEFAULT", "DEFERRABLE", "DELETE", "DESC", "DISTINCT", "DO", "DROP",
    "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS", "FALSE", "FETCH", "FOR", "FOREIGN", "FREEZE", "FROM", "FULL",
    "GRANT", "GROUP", "HAVING", "ILIKE", "IN", "INDEX", "INDEXED", "INITIALLY", "INNER", "INSERT",
    "INTERSECT", "INTO", "IS", "ISNULL", "JOIN", "LATERAL", "LEADING", "LEFT", "LIKE", "LIMIT", "LOCALTIME",
    "LOCALTIMESTAMP", "NATURAL", "NOT", "NOTHING", "NOTNULL", "NULL", "OFFSET", "ON", "ONLY", "OR", "ORDER",
    "OUTER", "OVERLAPS", "PLACING", "PRIMARY", "RAISE", "REFERENCES", "RETURNING", "RIGHT", "SELECT",
    "SESSION_USER", "SET", "SIMILAR", "SOME", "SYMMETRIC", "TABLE", "TABLESAMPLE", "THEN", "TO", "TRAILING",
    "TRANSACTION", "TRUE", "UNION", "UNIQUE", "UPDATE", "USER", "USING", "VALUES", "VARIADIC", "VERBOSE",
    "WHEN", "WHERE", "WINDOW", "WITH"};
static_assert(std::is_sorted(std::begin(ReservedWords), std::end(ReservedWords)));

// Asked for every alias SQL writes: upper-cased on the stack, looked up without a copy of the text.
bool IsReservedWord(const QString& Text)
{
    constexpr qsizetype longest = 17;
    if (Text.size() > longest)
        return false;
    char upper[longest];
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t ch = Text[i].unicode();
        if (ch >= 128)
            return false;
        upper[i] = char(ch >= u'a' && ch <= u'z' ? ch - (u'a' - u'A') : ch);
    }
    return std::binary_search(
        std::begin(ReservedWords), std::end(ReservedWords), std::string_view(upper, size_t(Text.size())));
}

}  // namespace

bool IsPlainSQLName(const QString& Text)
{
    if (Text.isEmpty() || IsDigitChar(Text[0]))
        return false;
    const bool word = std::all_of(Text.begin(), Text.end(), [](QChar ch) {
        return ch.unicode() >= 128 || ch == u'_' || IsDigitChar(ch) || (ch >= u'A' && ch <= u'Z')
            || (ch >= u'a' && ch <= u'z');
    });
    return word && !IsReservedWord(Text);
}

TDSTable::TDSTable(TZCustomDBStructure* Structure) : FStructure(Structure)
{
}

TDSTable::~TDSTable()
{
    FStructure->TableDestroying(this);
}

template <typename F>
void TDSTable::ChangeKey(F&& Change)
{
    const bool indexed = FSeq != 0;
    if (indexed)
        FStructure->UnindexTable(this);
    Change();
    if (indexed)
        FStructure->IndexTable(this);
}

void TDSTable::SetName(const QString& Text)
{
    ChangeKey([&] {
        FName = Text;
        if (FAlias.isEmpty())
            StoreAlias(Text);
    });
}

void TDSTable::SetDisplayName(const QString& Text)
{
    ChangeKey([&] { FDisplayName = Text; });
}

void TDSTable::SetAlias(const QString& Text)
{
    ChangeKey([&] { StoreAlias(Text); });
}

void TDSTable::StoreAlias(const QString& Text)
{
    FAlias = QString(Text).replace(u' ', u'_');
    // An alias made from a name that comes with its own double quotes is already one identifier.
    FAliasAsIs = IsPlainSQLName(FAlias)
        || (FAlias.startsWith(u'"') && QuoteIdentifier(UnquoteStr(FAlias, u'"'), u'"', u'"') == FAlias);
}

void TDSTable::AddLink(TDSLink* Link)
{
    FLinks.append(Link);
}

TDSLink* TDSTable::GetLink(int Index) const
{
    if (Index < 0 || Index >= FLinks.size())
        throw EZDBStructError::Create(dseInvalidLinkIndex, Index);
    return FLinks[Index];
}

TDSLink* TDSTable::FindLinkTo(const TDSTable* Table) const
{
    // Every link of this table has it on one side, so only the other side tells the links apart.
    for (TDSLink* link : FLinks) {
        if ((link->Table1() == this && link->Table2() == Table)
            || (link->Table2() == this && link->Table1() == Table))
            return link;
    }
    return nullptr;
}

QString TDSTable::GetCaption() const
{
    return FName + QStringLiteral(" - ") + FAlias;
}

QString TDSTable::GetOwnerName() const
{
    const QString& owner = FStructure->DMOptions().DefaultDBOwner();
    return owner.isEmpty() ? FName : owner + u'.' + FName;
}

QString TDSTable::GetSQLTableName() const
{
    const TSQLFormats& formats = FStructure->SQLFormats();
    const TDMOptions& options = FStructure->DMOptions();
    // A name that comes with its own double quotes is taken as it is, whatever the quote symbols.
    QString result = FQuoted && !FName.isEmpty() && FName[0] != u'"'
        ? QuoteIdentifier(FName, formats.QuoteSymbol1(), formats.QuoteSymbol2())
        : FName;
    if (options.MultiDB() && !FDBName.isEmpty() && FDBName != options.DefaultDatabase())
        result = GetFullTableName(result);
    return result;
}

QString TDSTable::GetSQLName() const
{
    QString result = GetSQLTableName();
    if (FAlias != FName)
        result += u' ' + GetSQLAlias();
    if (!FHints.isEmpty())
        result += QStringLiteral(" WITH ") + FHints;
    return result;
}

QString TDSTable::GetSQLAlias() const
{
    if (FAliasAsIs)
        return FAlias;
    const TSQLFormats& formats = FStructure->SQLFormats();
    return QuoteIdentifier(FAlias, formats.QuoteSymbol1(), formats.QuoteSymbol2());
}

QString TDSTable::GetFullTableName(const QString& QuotedName) const
{
    const QString& pattern = FStructure->SQLFormats().FullTableName();
    if (pattern.isEmpty())
        return QuotedName;
    // One pass over the template: a database or owner name holding "OWNER" or "TABLE" stays as it is.
    const std::pair<QString, QString> parts[] = {
        {QStringLiteral("DB"), FDBName},
        {QStringLiteral("OWNER"), FStructure->DMOptions().DefaultDBOwner()},
        {QStringLiteral("TABLE"), QuotedName},
    };
    QString result;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const auto part = std::find_if(std::begin(parts), std::end(parts),
            [&](const auto& p) { return QStringView(pattern).mid(i).startsWith(p.first); });
        if (part == std::end(parts)) {
            result += pattern[i++];
        } else {
            result += part->second;
            i += part->first.size();
        }
    }
    return result;
}

QString TDSTable::GetDesignPos() const
{
    return PlacementText(FDsgnPos);
}

void TDSTable::SetDesignPos(const QString& Text)
{
    ReadPlacement(Text, FDsgnPos, TPlacementRule::Lenient);
}

TDSTable* TDSTableList::GetItem(int Index) const
{
    if (Index < 0 || Index >= size())
        throw rtl::EListError::IndexError(Index);
    return at(Index);
}

void TDSTableList::DeleteAndFree(int Index)
{
    TDSTable* table = GetItem(Index);
    removeAt(Index);
    delete table;
}

TDSLink::~TDSLink()
{
    if (FTable1)
        FTable1->FLinks.removeOne(this);
    if (FTable2)
        FTable2->FLinks.removeOne(this);
    if (TDSTable* table = FTable1 ? FTable1 : FTable2)
        table->Structure()->FLinks.removeOne(this);
}

void TDSLink::SetFields1(const QStringList& List)
{
    FFldName1 = List;
    ResetOperators();
}

void TDSLink::ResetOperators()
{
    FOperators = QStringList(FFldName1.size(), QStringLiteral("="));
}

QString TDSLink::GetCaption() const
{
    return FTable1->Alias() + u'.' + rtl::StringList(FFldName1).CommaText() + QStringLiteral("->")
        + FTable2->Alias() + u'.' + rtl::StringList(FFldName2).CommaText();
}

QString TDSLink::GetJoinCondition(int Mode) const
{
    const qsizetype count = FFldName1.size();
    if (FFldName2.size() != count || FOperators.size() != count)
        throw EZDBStructError::Create(dseUnevenLink, GetCaption());
    const TSQLFormats& formats = FTable1->Structure()->SQLFormats();
    const QString marker = QStringLiteral(" (+) ");
    const QString marker1 = Mode == 2 && FLinkType == ltRight ? marker : QString();
    const QString marker2 = Mode == 2 && FLinkType == ltLeft ? marker : QString();
    auto operand = [&](const QString& Name, const TDSTable* Table, const QString& Marker) {
        if (Name.startsWith(QStringLiteral("val:")))
            return Name.mid(4);
        const QString field = Name.startsWith(QStringLiteral("fld:")) ? Name.mid(4) : Name;
        const QString name
            = FQuoteFields ? QuoteIdentifier(field, formats.QuoteSymbol1(), formats.QuoteSymbol2()) : field;
        return Table->GetSQLAlias() + u'.' + name + Marker;
    };
    QStringList pairs;
    for (qsizetype i = 0; i < count; ++i) {
        pairs.append(u'(' + operand(FFldName1[i], FTable1, marker1) + FOperators[i]
            + operand(FFldName2[i], FTable2, marker2) + u')');
    }
    return pairs.join(QStringLiteral(" and "));
}

TDSTable* TDSPath::GetTable(int Index) const
{
    if (Index < 0 || Index >= FTables.size())
        throw EZDBStructError::Create(dseInvalidTableIndex, Index);
    return FTables[Index];
}

void TDSPath::Assign(const TDSPath& Path)
{
    FStructure = Path.FStructure;
    FTables = Path.FTables;
}
