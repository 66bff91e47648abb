// The model text: the writer of the current version and the reader of its sections. The older
// forms the reader also accepts are in modeltextlegacy.cpp.
#include "core/model/modeltext.h"

#include "core/base/zstrings.h"
#include "core/dbinfo/fieldlist.h"
#include "core/model/fieldeditors.h"
#include "rtl/exception.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"
#include "rtl/textfile.h"

#include <QScopeGuard>
#include <QSet>
#include <QStringTokenizer>

#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>
#include <vector>

namespace {

const char* const ValueKindNames[] = {"vkScalar", "vkList", "vkSubQuery"};
static_assert(std::size(ValueKindNames) == vkSubQuery + 1, "one name per value kind");

const char* const LinkTypeNames[] = {"Inner", "Left", "Right", "Full"};
static_assert(std::size(LinkTypeNames) == ltFull + 1, "one name per link type");

// mtvNewest as the writer writes it.
const QString NewestVersionText = QStringLiteral("3.5");

QString ValueKindToStr(TValueKind Kind)
{
    return QLatin1String(ValueKindNames[Kind]);
}

// A name that is no value kind reads as a scalar.
TValueKind StrToValueKind(const QString& Name)
{
    for (int i = 0; i < int(std::size(ValueKindNames)); ++i) {
        if (rtl::SameText(Name, QLatin1String(ValueKindNames[i])))
            return TValueKind(i);
    }
    return vkScalar;
}

TLinkType StrToLinkType(const QString& Name)
{
    for (int i = ltLeft; i <= ltFull; ++i) {
        if (rtl::SameText(Name, QLatin1String(LinkTypeNames[i])))
            return TLinkType(i);
    }
    return ltInner;
}

// The index of the first character a trim keeps; the size for a blank line.
qsizetype FirstNonBlank(const QString& Line)
{
    qsizetype i = 0;
    while (i < Line.size() && Line[i] <= u' ')
        ++i;
    return i;
}

// Value when it lies in 0..Last, else 0: a stored number that the model has no meaning for.
uint8_t InRange(int Value, int Last)
{
    return Value >= 0 && Value <= Last ? uint8_t(Value) : 0;
}

// The keys of a [Field:<i>] section.
enum TFieldKey {
    fkUnknown,
    fkID,
    fkKind,
    fkFieldExpr,
    fkDisplayName,
    fkTableAlias,
    fkQuoted,
    fkEditType,
    fkFieldType,
    fkFieldSize,
    fkUIR,
    fkUIC,
    fkOperators,
    fkDefValue,
    fkEditMask,
    fkEditKind,
    fkFmtVal,
    fkValType,
    fkOptions,
    fkItems,
    fkValues,
    fkCustomData
};

// Keys are exact, but UIR, CondField, Operators and Operats are known in any letter case.
TFieldKey FieldKeyOf(const QString& Key)
{
    static const QHash<QString, TFieldKey> keys {{QStringLiteral("ID"), fkID},
        {QStringLiteral("Kind"), fkKind}, {QStringLiteral("FieldExpr"), fkFieldExpr},
        {QStringLiteral("DisplayName"), fkDisplayName}, {QStringLiteral("TableAlias"), fkTableAlias},
        {QStringLiteral("Quoted"), fkQuoted}, {QStringLiteral("EditType"), fkEditType},
        {QStringLiteral("FieldType"), fkFieldType}, {QStringLiteral("FieldSize"), fkFieldSize},
        {QStringLiteral("UIC"), fkUIC}, {QStringLiteral("DefValue"), fkDefValue},
        {QStringLiteral("EditMask"), fkEditMask}, {QStringLiteral("EditKind"), fkEditKind},
        {QStringLiteral("FmtVal"), fkFmtVal}, {QStringLiteral("ValType"), fkValType},
        {QStringLiteral("Options"), fkOptions}, {QStringLiteral("Items"), fkItems},
        {QStringLiteral("Values"), fkValues}, {QStringLiteral("CustomData"), fkCustomData}};
    const auto known = keys.constFind(Key);
    if (known != keys.cend())
        return *known;
    if (rtl::SameText(Key, QStringLiteral("UIR")) || rtl::SameText(Key, QStringLiteral("CondField")))
        return fkUIR;
    if (rtl::SameText(Key, QStringLiteral("Operators")) || rtl::SameText(Key, QStringLiteral("Operats")))
        return fkOperators;
    return fkUnknown;
}

// Whether the trimmed line is a header: "[", a name, "]". Name then stands on the line's characters.
bool ReadHeader(const QString& Line, QString& Name)
{
    const qsizetype first = FirstNonBlank(Line);
    qsizetype end = Line.size();
    while (end > first && Line[end - 1] <= u' ')
        --end;
    if (end - first < 2 || Line[first] != u'[' || Line[end - 1] != u']')
        return false;
    Name = QString::fromRawData(Line.constData() + first + 1, end - first - 2);
    return true;
}

// Whether the trimmed line is "[" + Name + "]", ignoring case.
bool IsHeader(const QString& Line, const QString& Name)
{
    QString header;
    return ReadHeader(Line, header) && header.size() == Name.size() && rtl::SameText(header, Name);
}

QString SectionName(const char* Prefix, int Index)
{
    return QLatin1String(Prefix) + QString::number(Index);
}

// The number of a section named as SectionName names them, ignoring case; 0 for any other name.
// A number too large for an int answers the largest one.
int SectionNumber(const QString& Name, const QString& Prefix)
{
    if (Name.size() <= Prefix.size() || Name[Prefix.size()] == u'0'
        || !rtl::SameText(QString::fromRawData(Name.constData(), Prefix.size()), Prefix))
        return 0;
    const QStringView digits = QStringView(Name).mid(Prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](QChar c) { return IsDigitChar(c); }))
        return 0;
    return digits.size() > 9 ? std::numeric_limits<int>::max() : digits.toInt();
}

// The version text in thousandths, read as a decimal number without going through floating
// point: digits beyond the third decimal cannot reach a threshold, so they are dropped.
int VersionOf(const QString& Text)
{
    if (Text.isEmpty())
        return mtvOldest;
    const QString s = rtl::Trim(Text);
    qsizetype i = 0;
    const bool negative = i < s.size() && s[i] == u'-';
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    int digits = 0;
    qint64 whole = 0;
    for (; i < s.size() && IsDigitChar(s[i]); ++i, ++digits)
        whole = qMin<qint64>(whole * 10 + s[i].digitValue(), 1000000);
    int fraction = 0;
    if (i < s.size() && s[i] == u'.') {
        int weight = 100;
        for (++i; i < s.size() && IsDigitChar(s[i]); ++i, ++digits) {
            fraction += s[i].digitValue() * weight;
            weight /= 10;
        }
    }
    if (digits == 0 || i != s.size())
        rtl::RaiseConvertError(rtl::ConvertError::Float, Text);
    const int version = int(whole * 1000 + fraction);
    return negative ? -version : version;
}

// Writes the lines of a model text: a line of one blank before every header but the first, and
// no value that could break its line.
class TModelTextWriter {
public:
    explicit TModelTextWriter(QStringList& Lines) : FLines(Lines) { FLines.clear(); }

    void Header(const QString& Name)
    {
        if (!FLines.isEmpty())
            FLines.append(QStringLiteral(" "));
        FLines.append(u'[' + OneLine(Name) + u']');
    }
    void Put(const char* Key, const QString& Value)
    {
        FLines.append(QLatin1String(Key) + u'=' + OneLine(Value));
    }
    void Put(const char* Key, int Value) { Put(Key, QString::number(Value)); }
    void Put(const char* Key, bool Value) { Put(Key, QString(Value ? u'1' : u'0')); }
    void PutCommaText(const char* Key, const QStringList& Items)
    {
        Put(Key, rtl::StringList(Items).CommaText());
    }

    // A section of free lines: an empty line, the header, the lines. Blank lines are left out, as
    // a reader drops them; a line that would read as a header is kept behind the mark.
    void RawSection(const QString& Name, const QStringList& Lines)
    {
        FLines.append(QString());
        FLines.append(u'[' + OneLine(Name) + u']');
        for (const QString& text : Lines) {
            rtl::StringList split;
            split.SetText(text);
            for (const QString& line : split) {
                const QString trimmed = rtl::Trim(line);
                if (trimmed.isEmpty())
                    continue;
                const bool mark = trimmed.startsWith(u'[') || line.startsWith(TModelTextReader::RawLineMark);
                FLines.append(mark ? TModelTextReader::RawLineMark + line : line);
            }
        }
    }

private:
    static QString OneLine(const QString& Value)
    {
        if (!Value.contains(u'\r') && !Value.contains(u'\n'))
            return Value;
        QString result = Value;
        result.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        result.replace(u'\r', u' ');
        result.replace(u'\n', u' ');
        return result;
    }

    QStringList& FLines;
};

QStringList FieldIDs(const TDSFieldList& List)
{
    QStringList ids;
    for (const TDSField* field : List)
        ids.append(QString::number(field->ID()));
    return ids;
}

// The links that start at Table, each once: a link of a table to itself is in its list twice.
QList<TDSLink*> OwnLinks(const TDSTable* Table)
{
    QList<TDSLink*> links;
    for (TDSLink* link : Table->Links()) {
        if (link->Table1() == Table && !links.contains(link))
            links.append(link);
    }
    return links;
}

void WriteOperator(TModelTextWriter& Writer, const TDSOperator* Op)
{
    Writer.Put("Name", Op->Name());
    Writer.Put("DisplayName", Op->DisplayName());
    Writer.Put("SQLName", Op->SQLName());
    Writer.Put("ValFormat", Op->ValFormat());
    Writer.Put("ExprType",
        Op->ExprType() == ftUnknown ? QStringLiteral("SameAsField") : FieldTypeToStr(Op->ExprType()));
    QString types;
    for (int type = 0; type < FieldTypeCount; ++type) {
        if (Op->AppliedTypes().Contains(TFieldType(type)))
            types += FieldTypeToStr(TFieldType(type)) + u',';
    }
    Writer.Put("AppliedTypes", types);
    Writer.Put("ValueKind", ValueKindToStr(Op->ValueKind()));
}

void WriteTable(TModelTextWriter& Writer, const TDSTable* Table)
{
    const QList<TDSLink*> links = OwnLinks(Table);
    QStringList aliases;
    for (const TDSLink* link : links)
        aliases.append(link->Table2()->Alias());
    Writer.Put("DBName", Table->DBName());
    Writer.Put("Name", Table->Name());
    Writer.Put("DisplayName", Table->DisplayName());
    Writer.Put("Alias", Table->Alias());
    Writer.Put("Quoted", Table->Quoted());
    Writer.Put("Hints", Table->Hints());
    Writer.Put("DsgnPos", Table->GetDesignPos());
    // Quoted where an alias needs it, as a comma text, so that every alias reads back.
    Writer.PutCommaText("Links", aliases);
    for (const TDSLink* link : links) {
        Writer.Header(QStringLiteral("Link:") + Table->Alias() + u'-' + link->Table2()->Alias());
        Writer.PutCommaText("FldName1", link->FldName1());
        Writer.PutCommaText("FldName2", link->FldName2());
        Writer.PutCommaText("Operators", link->Operators());
        Writer.Put("QuoteFields", link->QuoteFields());
        Writer.Put(
            "LinkType", QLatin1String(LinkTypeNames[link->LinkType() <= ltFull ? link->LinkType() : 0]));
    }
}

void WriteField(TModelTextWriter& Writer, const TDSField* Field, int Index)
{
    Writer.Put("ID", Field->ID());
    Writer.Put("Kind", FieldKindToStr(Field->Kind()));
    Writer.Put("FieldExpr", Field->FieldExpr());
    Writer.Put("DisplayName", Field->DisplayName());
    if (Field->Kind() == zfkData)
        Writer.Put("TableAlias", Field->Tables().isEmpty() ? QString() : Field->Tables().first()->Alias());
    Writer.Put("EditType", int(Field->EditType()));
    Writer.Put("FieldType", int(Field->FieldType()));
    Writer.Put("FieldSize", Field->FieldSize());
    Writer.Put("Quoted", Field->Quoted());
    Writer.Put("UIC", Field->UIC());
    Writer.Put("UIR", Field->UIR());
    QStringList operators;
    for (const TDSOperator* op : Field->Operators())
        operators.append(op->Name());
    Writer.PutCommaText("Operators", operators);
    if (const auto* editor = EditorOf<const TDSTextEditor>(*Field)) {
        Writer.Put("DefValue", editor->DefValue());
        Writer.Put("EditKind", int(editor->EditKind()));
        Writer.Put("ValType", int(editor->ValType()));
        if (!rtl::Trim(editor->EditMask()).isEmpty()) {
            Writer.Put("EditMask", editor->EditMask());
            Writer.Put("FmtVal", editor->FmtVal());
        }
        Writer.Put("Options", int(editor->Options()));
    } else if (const auto* editor = EditorOf<const TDSListEditor>(*Field)) {
        Writer.PutCommaText("Items", editor->Items());
        Writer.PutCommaText("Values", editor->Values());
    } else if (const auto* editor = EditorOf<const TDSCustomEditor>(*Field)) {
        Writer.PutCommaText("CustomData", editor->CustomData());
    } else if (const auto* editor = EditorOf<const TDSSQLEditor>(*Field)) {
        Writer.RawSection(SectionName("Field:", Index) + QStringLiteral(".SQL"), editor->SQL());
    }
}

void WriteCondition(TModelTextWriter& Writer, const TDSCondition* Condition)
{
    QStringList values;
    for (const TDSValue* value : Condition->Values())
        values.append(FieldTypeToStr(value->DataType()) + u':' + ValueKindToStr(value->ValueKind()));
    Writer.Put("ID", Condition->ID());
    Writer.Put("DF", Condition->DF());
    Writer.Put("SQLExpr", Condition->SQLExpr());
    Writer.PutCommaText("Values", values);
}

}  // namespace

const QString TModelTextReader::RawLineMark = QStringLiteral("/**/");

const TModelTextReader::TCountedFamily TModelTextReader::CountedFamilies[ctCount] = {
    {"Operator:", "OperatCount", mtvOperatorSections},
    {"Table:", "TableCount", mtvTableSections},
    {"Field:", "FieldCount", mtvFieldSections},
    {"FieldGroup", "FieldGroups", std::numeric_limits<int>::min()},
    {"Cond:", "CondCount", std::numeric_limits<int>::min()},
};

TIniSectionIndex::TIniSectionIndex(const QStringList& Lines) : FLines(Lines)
{
    for (int i = 0; i < FLines.size(); ++i) {
        const qsizetype first = FirstNonBlank(FLines[i]);
        if (first < FLines[i].size() && FLines[i][first] == u'[')
            FBrackets.append(i);
    }
}

int TIniSectionIndex::Find(int Start, const QString& Name)
{
    const qsizetype from
        = std::lower_bound(FBrackets.begin(), FBrackets.end(), std::max(Start, 0)) - FBrackets.begin();
    // Sections are mostly read in their order, so the one wanted is near: the headers are tried from
    // Start on, then from the top. Texts whose sections are all out of order get a table.
    if (FLookedAt <= 4 * FBrackets.size()) {
        for (qsizetype i = from; i < FBrackets.size(); ++i) {
            ++FLookedAt;
            if (IsHeader(FLines[FBrackets[i]], Name))
                return FBrackets[i];
        }
        for (qsizetype i = 0; i < from && Start != 0; ++i) {
            ++FLookedAt;
            if (IsHeader(FLines[FBrackets[i]], Name))
                return FBrackets[i];
        }
        return -1;
    }
    if (FHeaders.isEmpty()) {
        for (int line : FBrackets)
            FHeaders[rtl::LowerCase(rtl::Trim(FLines[line]))].append(line);
    }
    const auto headers = FHeaders.constFind(rtl::LowerCase(u'[' + Name + u']'));
    if (headers == FHeaders.cend())
        return -1;
    const auto next = std::lower_bound(headers->begin(), headers->end(), std::max(Start, 0));
    return next != headers->end() ? *next : headers->first();
}

int TIniSectionIndex::Read(int Header, QStringList& Dest) const
{
    Dest.clear();
    const auto next = std::upper_bound(FBrackets.begin(), FBrackets.end(), Header);
    const int end = next != FBrackets.end() ? *next : int(FLines.size());
    Dest.reserve(end - Header - 1);
    for (int i = Header + 1; i < end; ++i) {
        if (FirstNonBlank(FLines[i]) < FLines[i].size())
            Dest.append(FLines[i]);
    }
    return end - 1;
}

QStringList CommaList(const QString& Text)
{
    rtl::StringList list;
    list.SetCommaText(Text);
    return list;
}

TModelTextReader::TModelTextReader(TZCustomDBStructure& Model, const QStringList& Lines)
    : FModel(Model), FLines(Lines), FSections(Lines)
{
}

void TModelTextReader::Read()
{
    try {
        ReadAll();
    } catch (const EZDBStructError&) {
        throw;
    } catch (const rtl::Exception& e) {
        throw EZDBStructError::Create(dseBadSection, FSectionName, e.Message());
    }
}

rtl::StringList TModelTextReader::Section(const QString& Name, TSectionNeed Need)
{
    FSectionName = Name;
    QStringList lines;
    const int header = FSections.Find(FPosition, Name);
    if (header >= 0) {
        FPosition = FSections.Read(header, lines);
    } else if (Need == snPromised) {
        throw EZDBStructError::Create(
            dseBadSection, Name, rtl::Format(QStringLiteral("Section [%s] is missing"), Name));
    }
    return lines;
}

rtl::StringList TModelTextReader::SectionFromTop(const QString& Name, TSectionNeed Need)
{
    FPosition = 0;
    return Section(Name, Need);
}

QStringList TModelTextReader::RawSection(const QString& Name, bool FromTop)
{
    QStringList lines = FromTop ? SectionFromTop(Name) : Section(Name);
    for (QString& line : lines) {
        if (line.startsWith(RawLineMark))
            line.remove(0, RawLineMark.size());
    }
    return lines;
}

int TModelTextReader::Count(const rtl::StringList& Main, const QString& Key) const
{
    // Every counted item has a section of its own, so a larger count is damage, not a model; so is
    // a negative one, which would read as no items at all.
    const int count = StrToIntSafe(Main.Values(Key));
    if (count < 0) {
        throw EZDBStructError::Create(
            dseBadSection, FSectionName, rtl::Format(QStringLiteral("%s=%d is not a count"), Key, count));
    }
    if (count > FLines.size()) {
        throw EZDBStructError::Create(dseBadSection, FSectionName,
            rtl::Format(QStringLiteral("%s=%d is more than the text holds"), Key, count));
    }
    return count;
}

uint8_t TModelTextReader::EditTypeOf(int Stored)
{
    return InRange(Stored, etSQL);
}

TDSTable* TModelTextReader::NewTable()
{
    return FModel.Tables()[FModel.AddTable(QString(), QString())];
}

void TModelTextReader::ReadAll()
{
    const bool isModel = FSections.Find(0, QStringLiteral("Main")) >= 0
        || FSections.Find(0, QStringLiteral("Operations")) >= 0
        || FSections.Find(0, QStringLiteral("Tables")) >= 0
        || FSections.Find(0, QStringLiteral("Fields")) >= 0;
    if (!isModel)
        throw EZDBStructError::Create(dseNoModel);
    while (FModel.GetOperatorCount() > 0)
        FModel.DeleteOperator(0);

    const rtl::StringList main = SectionFromTop(QStringLiteral("Main"));
    FVersion = VersionOf(main.Values(QStringLiteral("Version")));
    // What a newer writer added would be dropped by the next save, which writes this version.
    if (FVersion > mtvNewest)
        throw EZDBStructError::Create(
            dseNewerVersion, rtl::Trim(main.Values(QStringLiteral("Version"))), NewestVersionText);
    FModel.SetVersion(FVersion);
    FModel.SetRootFieldsFirst(
        FVersion >= mtvRootFieldsFirst && StrToIntSafe(main.Values(QStringLiteral("RootFieldsFirst"))) != 0);
    const QString mainTable = main.Values(QStringLiteral("DefaultMainTable"));
    int counts[ctCount];
    for (int family = 0; family < ctCount; ++family)
        counts[family] = Count(main, QLatin1String(CountedFamilies[family].Key));
    CheckCountedSections(main, counts);

    if (FVersion < mtvOperationSections) {
        ReadOperationLines();
    } else if (!IsCounted(ctOperators)) {
        ReadOperationSections();
    } else {
        for (int i = 1; i <= counts[ctOperators]; ++i)
            ReadOperatorSection(i);
    }

    if (!IsCounted(ctTables)) {
        ReadTableLines();
        ReadLinks(true);
    } else {
        for (int i = 1; i <= counts[ctTables]; ++i) {
            TDSTable* table = NewTable();
            ReadTableSection(table, CountedSection(ctTables, i));
        }
        ReadLinks(false);
    }
    FModel.SetDefaultMainTable(mainTable.isEmpty() ? nullptr : FModel.FindTable(tlName, mainTable));

    if (!IsCounted(ctFields)) {
        ReadFieldLines();
    } else {
        for (int i = 1; i <= counts[ctFields]; ++i)
            ReadFieldSection(i);
        MakeFieldIDsUnique();
    }
    ReadGroups(counts[ctGroups]);
    // Conditions without an ID are numbered once the IDs of all the others are known.
    std::vector<std::unique_ptr<TDSCondition>> read;
    for (int i = 1; i <= counts[ctConditions]; ++i) {
        read.push_back(ReadConditionSection(i));
        FModel.Conditions().SeeID(read.back()->ID());
    }
    for (auto& condition : read)
        FModel.Conditions().Add(condition.release());
    if (FModel.DMOptions().StoreDBInfo())
        FModel.DBSpecInfo() = RawSection(QStringLiteral("DBSpecInfo"), false);
}

void TModelTextReader::CheckCountedSections(const rtl::StringList& Main, const int (&Counts)[ctCount]) const
{
    QStringList prefixes;
    for (const TCountedFamily& family : CountedFamilies)
        prefixes.append(QLatin1String(family.Prefix));
    for (const int line : FSections.Brackets()) {
        QString name;
        if (!ReadHeader(FLines[line], name))
            continue;
        for (int family = 0; family < ctCount; ++family) {
            if (!IsCounted(TCounted(family)) || SectionNumber(name, prefixes[family]) <= Counts[family])
                continue;
            const QString key = QLatin1String(CountedFamilies[family].Key);
            const QString count = Main.IndexOfName(key) < 0 ? key + QStringLiteral(", which is missing")
                : Main.Values(key).isEmpty()                ? key + QStringLiteral(", which is empty")
                                                            : key + u'=' + QString::number(Counts[family]);
            const QString section(name.constData(), name.size());
            throw EZDBStructError::Create(dseBadSection, section,
                rtl::Format(QStringLiteral("Section [%s] lies beyond %s"), section, count));
        }
    }
}

bool TModelTextReader::IsCounted(TCounted Family) const
{
    return FVersion >= CountedFamilies[Family].From;
}

rtl::StringList TModelTextReader::CountedSection(TCounted Family, int Index)
{
    return Section(SectionName(CountedFamilies[Family].Prefix, Index), snPromised);
}

void TModelTextReader::ReadOperatorSection(int Index)
{
    const rtl::StringList section = CountedSection(ctOperators, Index);
    TDSOperator* op = FModel.GetOperator(FModel.AddOperator(
        OperatorNameOf(section.Values(QStringLiteral("Name"))), section.Values(QStringLiteral("DisplayName")),
        ReadAppliedTypes(section.Values(QStringLiteral("AppliedTypes")), false),
        section.Values(QStringLiteral("ValFormat")), section.Values(QStringLiteral("SQLName"))));
    const QString exprType = section.Values(QStringLiteral("ExprType"));
    op->SetExprType(exprType.isEmpty() || rtl::SameText(exprType, QStringLiteral("SameAsField"))
            ? ftUnknown
            : StrToFieldTypeDef(exprType));
    op->SetValueKind(ReadValueKind(section));
}

TValueKind TModelTextReader::ReadValueKind(const rtl::StringList& Section) const
{
    if (FVersion < mtvValueType)
        return rtl::StrToInt(Section.Values(QStringLiteral("ValueIsList"))) == 1 ? vkList : vkScalar;
    if (FVersion < mtvValueKind) {
        const QString type = Section.Values(QStringLiteral("ValueType"));
        if (rtl::SameText(type, QStringLiteral("vtSubQuery")))
            return vkSubQuery;
        return rtl::SameText(type, QStringLiteral("vkList")) ? vkList : vkScalar;
    }
    return StrToValueKind(Section.Values(QStringLiteral("ValueKind")));
}

TFieldTypes TModelTextReader::ReadAppliedTypes(const QString& Text, bool ByOrdinal) const
{
    QStringList items = Text.split(u',');
    if (items.last().isEmpty())
        items.removeLast();
    TFieldTypes types;
    for (const QString& item : items) {
        const int type = ByOrdinal ? rtl::StrToInt(item) : StrToFieldType(item);
        if (type >= 0 && type < FieldTypeCount)
            types.Include(TFieldType(type));
    }
    return types;
}

void TModelTextReader::ReadTableSection(TDSTable* Table, const rtl::StringList& Section)
{
    for (const QString& line : Section) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        // No copy: the line outlives the key.
        const QString key = QString::fromRawData(line.constData(), eq);
        const QString value = rtl::Trim(line.mid(eq + 1));
        if (key == QLatin1String("DBName")) {
            Table->SetDBName(value);
        } else if (key == QLatin1String("Name")) {
            Table->SetName(value);
        } else if (key == QLatin1String("DisplayName")) {
            Table->SetDisplayName(value);
        } else if (key == QLatin1String("Alias")) {
            Table->SetAlias(value);
        } else if (key == QLatin1String("Links")) {
            Table->SetLinksText(value);
        } else if (key == QLatin1String("Quoted")) {
            Table->SetQuoted(StrToIntSafe(value) != 0);
        } else if (key == QLatin1String("Hints")) {
            Table->SetHints(value);
        } else if (key == QLatin1String("DsgnPos")) {
            Table->SetDesignPos(value);
        }
    }
    TZDBInfo* info = FModel.DatabaseInfo();
    if (Table->DBName().isEmpty() && info && info->IsConnected())
        Table->SetDBName(info->GetCurrentDBName());
}

void TModelTextReader::ReadLinks(bool ByName)
{
    // From the top, so that sections of the same name are taken in the order they were written.
    FPosition = 0;
    for (TDSTable* table : FModel.Tables()) {
        QStringList others;
        SplitCommaText(table->LinksText(), others);
        for (const QString& other : others) {
            const QString name
                = QStringLiteral("Link:") + (ByName ? table->Name() : table->Alias()) + u'-' + other;
            const rtl::StringList section = Section(name);
            if (section.isEmpty())
                throw EZDBStructError::Create(dseNoSection, name);
            TDSTable* table2 = FModel.FindTable(ByName ? tlName : tlAlias, other);
            if (!table2)
                throw EZDBStructError::Create(dseNoSuchTable, other);
            auto link = std::make_unique<TDSLink>();
            link->SetTable1(table);
            link->SetTable2(table2);
            link->SetFields1(CommaList(section.Values(QStringLiteral("FldName1"))));
            link->SetFields2(CommaList(section.Values(QStringLiteral("FldName2"))));
            const QString operators = section.Values(QStringLiteral("Operators"));
            if (!operators.isEmpty())
                link->SetOperators(CommaList(operators));
            link->SetQuoteFields(StrToIntSafe(section.Values(QStringLiteral("QuoteFields"))) != 0);
            link->SetLinkType(StrToLinkType(section.Values(QStringLiteral("LinkType"))));
            FModel.AddLink(link.release());
        }
    }
}

void TModelTextReader::ReadFieldSection(int Index)
{
    auto field = std::make_unique<TDSField>(&FModel);
    QString expr;
    for (const QString& line : CountedSection(ctFields, Index)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        // No copy: the line outlives the key.
        const TFieldKey key = FieldKeyOf(QString::fromRawData(line.constData(), eq));
        const QString value = rtl::Trim(line.mid(eq + 1));
        const bool data = field->Kind() == zfkData;
        auto* text = EditorOf<TDSTextEditor>(*field);
        auto* list = EditorOf<TDSListEditor>(*field);
        switch (key) {
        case fkID:
            field->SetID(StrToIntSafe(value));
            break;
        case fkKind:
            field->SetKind(StrToFieldKind(value) == zfkVirtual ? zfkVirtual : zfkData);
            break;
        case fkFieldExpr:
            expr = value;
            break;
        case fkDisplayName:
            field->SetDisplayName(value);
            break;
        case fkTableAlias:
            if (TDSTable* table = data ? FModel.FindTable(tlAlias, value) : nullptr)
                field->Tables().append(table);
            break;
        case fkQuoted:
            if (data)
                field->SetQuoted(StrToIntSafe(value) != 0);
            break;
        case fkEditType: {
            const int stored = rtl::StrToInt(value);
            field->SetEditType(EditTypeOf(FVersion < mtvEditTypes ? stored + 1 : stored));
            break;
        }
        case fkFieldType:
            field->SetFieldType(FieldTypeFromOrdinal(rtl::StrToInt(value)));
            break;
        case fkFieldSize:
            field->SetFieldSize(rtl::StrToInt(value));
            break;
        case fkUIR: {
            const bool uir = StrToBoolDef(value);
            field->SetUIR(FVersion < mtvUIR ? !uir : uir);
            break;
        }
        case fkUIC:
            field->SetUseInConditions(StrToBoolDefTrue(value));
            break;
        case fkOperators:
            AddFieldOperators(field.get(), value);
            break;
        case fkDefValue:
            if (text)
                text->SetDefValue(value);
            break;
        case fkEditMask:
            if (text)
                text->SetEditMask(value);
            break;
        case fkEditKind:
            if (text)
                text->SetEditKind(InRange(StrToIntSafe(value), 3));
            break;
        case fkFmtVal:
            if (text)
                text->SetFmtVal(StrToIntSafe(value) != 0);
            break;
        case fkValType:
            if (text)
                text->SetValType(InRange(StrToIntSafe(value), 2));
            break;
        case fkOptions:
            if (text)
                text->SetOptions(uint32_t(StrToIntSafe(value)));
            break;
        case fkItems:
            if (list)
                list->Items() = CommaList(value);
            break;
        case fkValues:
            if (list)
                list->Values() = CommaList(value);
            break;
        case fkCustomData:
            if (auto* custom = EditorOf<TDSCustomEditor>(*field))
                custom->CustomData() = CommaList(value);
            break;
        case fkUnknown:
            break;
        }
    }
    if (field->Operators().isEmpty())
        field->SetUseInConditions(false);
    // Set once the kind is final: a virtual field's expression names the tables it needs.
    if (field->Kind() == zfkVirtual)
        field->SetExpression(expr);
    else
        field->SetFieldName(expr);
    if (auto* sql = EditorOf<TDSSQLEditor>(*field)) {
        sql->SQL() = RawSection(SectionName("Field:", Index) + QStringLiteral(".SQL"), false);
    }
    FModel.AppendField(field.release());
}

void TModelTextReader::MakeFieldIDsUnique()
{
    std::vector<int> ids;
    ids.reserve(FModel.Fields().Count());
    for (const TDSField* field : FModel.Fields())
        ids.push_back(field->ID());
    std::sort(ids.begin(), ids.end());
    if (std::adjacent_find(ids.begin(), ids.end()) == ids.end())
        return;
    QSet<int> used(ids.begin(), ids.end());
    QSet<int> seen;
    int free = 1;
    for (TDSField* field : FModel.Fields()) {
        if (seen.contains(field->ID())) {
            while (used.contains(free))
                ++free;
            used.insert(free);
            field->SetID(free);
        }
        seen.insert(field->ID());
    }
}

void TModelTextReader::AddFieldOperators(TDSField* Field, const QString& Text)
{
    // A list without blanks or quotes, as written, is cut in place without copying a name: a model
    // names its operators tens of thousands of times.
    if (std::any_of(Text.begin(), Text.end(), [](QChar c) { return c <= u' ' || c == u'"'; })) {
        for (const QString& name : CommaList(Text))
            AddFieldOperator(Field, name);
    } else if (!Text.isEmpty()) {
        for (const QStringView name : qTokenize(Text, u','))
            AddFieldOperator(Field, QString::fromRawData(name.data(), name.size()));
    }
}

void TModelTextReader::AddFieldOperator(TDSField* Field, const QString& Name)
{
    if (TDSOperator* op = FOperatorsByName.value(Name)) {
        Field->AddOperator(op);
        return;
    }
    TDSOperator* op = Field->GetOperator(Field->AddOperatorByName(Name));
    // Name may stand on the text's own characters: the table keeps a copy.
    FOperatorsByName.insert(QString(Name.constData(), Name.size()), op);
}

void TModelTextReader::ReadGroups(int Count)
{
    TDSFieldGroup* root = FModel.RootGroup();
    while (root->Count() > 0)
        root->Delete(root->Count() - 1);
    FPosition = 0;
    for (int i = 1; i <= Count; ++i) {
        const rtl::StringList section = CountedSection(ctGroups, i);
        auto* group = new TDSFieldGroup(&FModel);
        group->SetGroupName(section.Values(QStringLiteral("GroupName")));
        FModel.FieldGroups().Add(group);
        AddGroupMembers(group, section.Values(QStringLiteral("Fields")));
    }
    if (FVersion >= mtvRootGroup)
        AddGroupMembers(root, Section(QStringLiteral("RootGroup")).Values(QStringLiteral("Fields")));
    for (TDSField* field : FModel.Fields()) {
        if (!field->Group())
            root->Add(field);
    }
}

void TModelTextReader::AddGroupMembers(TDSFieldGroup* Group, const QString& Text)
{
    for (const QString& item : CommaList(Text)) {
        const QString member = rtl::Trim(item);
        if (member.isEmpty())
            continue;
        TDSField* field = FVersion < mtvGroupIDs ? FModel.FindField(flSQLExpr, member)
                                                 : FModel.FieldByID(rtl::StrToInt(member));
        // A field listed again, in this group or another, stays where it was listed first.
        if (field && !field->Group())
            Group->Add(field);
    }
}

std::unique_ptr<TDSCondition> TModelTextReader::ReadConditionSection(int Index)
{
    const rtl::StringList section = CountedSection(ctConditions, Index);
    auto condition = std::make_unique<TDSCondition>(&FModel);
    condition->SetID(StrToIntSafe(section.Values(QStringLiteral("ID"))));
    condition->SetDisplayFormat(section.Values(QStringLiteral("DF")));
    condition->SetSQLExpr(section.Values(QStringLiteral("SQLExpr")));
    const QStringList values = CommaList(section.Values(QStringLiteral("Values")));
    for (int k = 0; k < values.size() && k < condition->Values().Count(); ++k) {
        const qsizetype colon = values[k].indexOf(u':');
        TDSValue* value = condition->Values()[k];
        value->SetDataType(StrToFieldTypeDef(colon < 0 ? values[k] : values[k].left(colon)));
        value->SetValueKind(StrToValueKind(colon < 0 ? QString() : values[k].mid(colon + 1)));
    }
    return condition;
}

void TZCustomDBStructure::SaveToStrings(QStringList& Lines) const
{
    TModelTextWriter writer(Lines);
    writer.Header(QStringLiteral("Main"));
    writer.Put("Version", NewestVersionText);
    writer.Put("OperatCount", GetOperatorCount());
    writer.Put("TableCount", GetTableCount());
    writer.Put("FieldCount", FFields.Count());
    writer.Put("CondCount", FConditions.Count());
    writer.Put("FieldGroups", FFieldGroups.Count());
    writer.Put("DefaultMainTable", FDefaultMainTable ? FDefaultMainTable->Name() : QString());
    writer.Put("RootFieldsFirst", FRootFieldsFirst);
    for (int i = 0; i < FOperators.size(); ++i) {
        writer.Header(SectionName("Operator:", i + 1));
        WriteOperator(writer, FOperators[i]);
    }
    for (int i = 0; i < FTables.size(); ++i) {
        writer.Header(SectionName("Table:", i + 1));
        WriteTable(writer, FTables[i]);
    }
    for (int i = 0; i < FFields.Count(); ++i) {
        writer.Header(SectionName("Field:", i + 1));
        WriteField(writer, FFields[i], i + 1);
    }
    for (int i = 0; i < FFieldGroups.Count(); ++i) {
        writer.Header(SectionName("FieldGroup", i + 1));
        writer.Put("GroupName", FFieldGroups[i]->GroupName());
        writer.PutCommaText("Fields", FieldIDs(*FFieldGroups[i]));
    }
    writer.Header(QStringLiteral("RootGroup"));
    writer.PutCommaText("Fields", FieldIDs(FRootGroup));
    for (int i = 0; i < FConditions.Count(); ++i) {
        writer.Header(SectionName("Cond:", i + 1));
        WriteCondition(writer, FConditions[i]);
    }
    if (FDMOptions.StoreDBInfo()) {
        // Without database information the lines read last wait in DBSpecInfo; they are kept.
        QStringList info = FDatabaseInfo ? QStringList() : FDBSpecInfo;
        if (FDatabaseInfo)
            FDatabaseInfo->SaveInfo(info);
        if (!info.isEmpty())
            writer.RawSection(QStringLiteral("DBSpecInfo"), info);
    }
}

void TZCustomDBStructure::LoadFromStrings(const QStringList& Lines)
{
    TZCustomDBStructure read;
    // Set directly: handing the new model's empty DBSpecInfo to the database information would
    // wipe its connection details.
    read.FDatabaseInfo = FDatabaseInfo;
    read.FDMOptions = FDMOptions;
    // A condition read without an ID takes one this model has never given out.
    read.FConditions.SeeID(FConditions.LastID());
    TModelTextReader(read, Lines).Read();

    {
        const bool locked = FUpdateLock;
        FUpdateLock = true;
        const auto unlock = qScopeGuard([this, locked] { FUpdateLock = locked; });
        TakeContent(read);
        if (FDMOptions.StoreDBInfo()) {
            FDBSpecInfo = read.FDBSpecInfo;
            PassDBSpecInfo();
            UpdateFullTableName();
        }
        FPlaceholderField->ResetOperators();
        FModelLoaded = true;
    }
    Changed();
}

void TZCustomDBStructure::SaveToFile(const QString& FileName) const
{
    QStringList lines;
    SaveToStrings(lines);
    rtl::WriteTextFile(FileName, rtl::StringList(lines).Text());
}

void TZCustomDBStructure::LoadFromFile(const QString& FileName)
{
    rtl::StringList lines;
    lines.SetText(rtl::ReadTextFile(FileName));
    try {
        LoadFromStrings(lines);
    } catch (const EZDBStructError& e) {
        throw EZDBStructError(e.ErrorCode(), FileName + QStringLiteral(": ") + e.Message());
    }
}

char* TZCustomDBStructure::GetAsText() const
{
    QStringList lines;
    SaveToStrings(lines);
    return NewLinesText(lines);
}

void TZCustomDBStructure::SetAsText(const char* Text)
{
    rtl::StringList lines;
    lines.SetText(QString::fromUtf8(Text));
    LoadFromStrings(lines);
}

void TZCustomDBStructure::AssignTo(TZCustomDBStructure& Dest) const
{
    QStringList lines;
    SaveToStrings(lines);
    Dest.LoadFromStrings(lines);
}

void TZCustomDBStructure::LoadStored()
{
    if (!FStoreStruct || FModelLoaded)
        return;
    // Nothing stored is no model text: reading it would take the operators away.
    if (!FStoredStruct.isEmpty())
        LoadFromStrings(FStoredStruct);
    FModelLoaded = true;
    UpdateExOperators();
    CompleteDefOperators();
    UpdateOperatorCaptions();
}
