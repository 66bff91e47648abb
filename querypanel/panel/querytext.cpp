#include "core/base/zstrings.h"
#include "core/model/field.h"
#include "core/model/fieldeditors.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/querypanel.h"
#include "querypanel/panel/titles.h"
#include "querypanel/query/queryresult.h"
#include "querypanel/query/querytextlines.h"
#include "querypanel/query/sqlparams.h"
#include "rtl/datetime.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <QHash>

#include <algorithm>

namespace {

const QString WrittenVersion = QStringLiteral("3.5");
const int WrittenThousandths = 3500;

QString Bit(bool Value)
{
    return Value ? QStringLiteral("1") : QStringLiteral("0");
}

bool IsDateType(TFieldType Type)
{
    return Type == ftDate || Type == ftTime || Type == ftDateTime || Type == ftTimeStamp;
}

// A text nested thousands deep ran the reader out of stack.
[[noreturn]] void RaiseTooDeep()
{
    throw EZQueryPanelError(
        0, QString("The rows under [Row] nest brackets more than %1 deep").arg(MaxBracketDepth));
}

// Date values are stored as day numbers, and each item of a date list as a day number of its own;
// other values, and lists of other types, stay as they are.
template <typename F>
QString ConvertDates(const TFilterCond* Condition, int N, const QString& Text, F&& Convert)
{
    const TFieldType type = Condition->GetValueType(N);
    const TValueKind kind = Condition->GetValueKind(N);
    if (!IsDateType(type) || kind == vkSubQuery)
        return Text;
    if (kind != vkList)
        return Convert(type, Text);
    QStringList items;
    SplitCommaText(Text, items);
    for (QString& item : items)
        item = Convert(type, item);
    return rtl::StringList(items).CommaText();
}

// Writes the lines of one query text; notes whether a value or free line needs the escaped form.
struct TextWriter {
    rtl::StringList& Lines;
    querytext::TextCodec Codec;
    bool Needed = false;

    void Section(const QString& Name) { Lines.append(u'[' + Name + u']'); }
    void End() { Lines.append(QString()); }
    void Put(const QString& Key, const QString& Value)
    {
        Needed = Needed || querytext::ValueNeedsEscape(Value);
        Lines.append(Key + u'=' + Codec.Put(Value));
    }
    void PutFree(const QStringList& Free)
    {
        Needed = Needed || querytext::FreeLinesNeedEscape(Free);
        for (const QString& line : Free)
            Lines.append(Codec.PutLine(line));
    }
};

void SaveCondition(TZQueryPanel* Panel, TextWriter& W, const TFilterCond* Condition)
{
    const auto* simple = dynamic_cast<const TSimpleCond*>(Condition);
    W.Put("RowType", QString::number(Condition->RowType()));
    W.Put("Enabled", Bit(Condition->Checked()));
    if (simple) {
        const TDSField* field = simple->Field();
        W.Put("FieldID", field ? QString::number(field->ID()) : QString());
    } else {
        const TDSCondition* model = Condition->NodeCondition();
        W.Put("CondID", model ? QString::number(model->ID()) : QString());
    }
    W.Put("Param1", Bit(Condition->IsParam(1)));
    W.Put("Param2", Bit(Condition->IsParam(2)));
    if (simple)
        W.Put("Operator", simple->Operator() ? simple->Operator()->Name() : QString());
    QString value1;
    QString value2;
    Panel->GetStoredValues(Condition, value1, value2);
    W.Put("Value1", value1);
    W.Put("Value2", value2);
    for (int n : {1, 2}) {
        if (const TSQLParam* param = Condition->Param(n)) {
            W.Put("VFormat" + QString::number(n), param->VFormat());
            // The reader numbers parameters afresh; only a name that several values share must
            // come back as one.
            if (!Panel->QResult()->Params().Namesakes(param).isEmpty())
                W.Put("ParamName" + QString::number(n), param->Name());
        } else {
            W.Put("Caption" + QString::number(n), Condition->StoredCaption(n));
        }
    }
    W.Put("SubQuery", rtl::StringList(Condition->SubQuery()).CommaText());
    W.Put("SubQueryOptions", QString::number(TZQueryPanel::SQLOptionsToInt(Condition->SubQueryOptions())));
}

// Each row is named by its place now: the stored paths follow only the panel's own row commands,
// and a text naming rows otherwise reads back without them. A tree deeper than the reader takes is
// not written, so no file is made that cannot be opened again.
void SaveRows(
    TZQueryPanel* Panel, TextWriter& W, const TFilterBracket* Bracket, const QString& Path, int Depth)
{
    if (Depth > MaxBracketDepth)
        RaiseTooDeep();
    W.Section("Row" + Path);
    W.Put("Enabled", Bit(Bracket->Checked()));
    W.Put("RowType", "1");
    W.Put("LinkType", QString::number(int(Bracket->LinkType())));
    W.Put("RowCount", QString::number(Bracket->Count()));
    W.End();
    for (int i = 0; i < Bracket->Count(); ++i) {
        const TFilterRow* row = Bracket->Rows(i);
        const QString path = Path + QString::number(i + 1) + u'.';
        if (const auto* bracket = dynamic_cast<const TFilterBracket*>(row)) {
            SaveRows(Panel, W, bracket, path, Depth + 1);
        } else if (const auto* condition = dynamic_cast<const TFilterCond*>(row)) {
            W.Section("Row" + path);
            SaveCondition(Panel, W, condition);
            W.End();
        }
    }
}

void WriteText(TZQueryPanel* Panel, TextWriter& W)
{
    if (Panel->SaveTitles()) {
        W.Lines.append(Panel->Titles());
        W.End();
    }
    W.Section("Main");
    W.Put("QueryName", Panel->QueryName());
    W.Put("Version", WrittenVersion);
    W.Put("Options",
        Panel->SaveSQLOptions() ? QString::number(TZQueryPanel::SQLOptionsToInt(Panel->SQLOptions()))
                                : QString());
    if (W.Codec.Escaped)
        W.Put(querytext::EscapedKey, "1");
    W.End();
    W.Section("Description");
    W.PutFree(Panel->Description());
    W.End();
    W.Section("UserData");
    W.PutFree(Panel->UserData());
    W.End();
    QStringList fields;
    Panel->QResult()->ResultFields().SaveToStrings(fields);
    W.Lines.append(fields);
    if (Panel->Root())
        SaveRows(Panel, W, Panel->Root(), QString(), 0);
}

// Reads the sections of one query text in order, each search going on from the section before.
struct TextReader {
    const rtl::StringList& Lines;
    querytext::TextCodec Codec;
    int Version = 3500;
    int Position = 0;
    // The parameter name given to the first value read for each shared name of the text, by the
    // name lower-cased.
    QHash<QString, QString> ParamNames {};
    // The row sections the text holds, in its order, and those read: the names each as written.
    QStringList RowSections {};
    QStringList RowsRead {};

    rtl::StringList Section(const QString& Name)
    {
        rtl::StringList section;
        Position = ReadIniSection(Position, Lines, Name, section);
        return section;
    }
    QString Get(const rtl::StringList& Section, const QString& Key) const
    {
        return Codec.Get(Section.Values(Key));
    }
    QStringList Free(const QString& Name)
    {
        QStringList lines = Section(Name);
        for (QString& line : lines)
            line = Codec.GetLine(line);
        return lines;
    }
};

TDSField* ReadConditionField(TZCustomDBStructure* Model, const TextReader& R, const rtl::StringList& S)
{
    TDSField* field = nullptr;
    // A condition saved before its field was chosen has an empty FieldID.
    if (R.Version >= 2000) {
        const QString id = S.Values("FieldID");
        field = id.isEmpty() ? nullptr : Model->FieldByID(rtl::StrToInt(id));
    } else if (R.Version < 1400)
        field = Model->FindField(flFullName, R.Get(S, "FldName"));
    else
        field = Model->FindField(flSQLExpr, R.Get(S, "FldName").toLower());
    return field ? field : Model->PlaceholderField();
}

// Whether the sentence may show the caption a file stores for value N: the SQL uses the value, so
// the sentence shows what the value makes. The program makes the caption of a typed value (text,
// numbers, dates and times, lists of them) and a list gives those of the values it names; only a
// sub-query's title, a custom editor's caption, and a value no list at hand names (a lookup not
// fetched while opening, until its label fetches it) keep what the file holds, unless it is blank
// or names another number of items than the value holds. A list at hand that names no item for
// the value shows the value.
bool StoredCaptionStands(const TFilterCond* Condition, int N, const QString& Caption)
{
    // A value with sub-query lines shows their title, also under an operator of another kind.
    if (Condition->GetValueKind(N) == vkSubQuery || (N == 1 && !Condition->SubQuery().isEmpty()))
        return true;
    const QString value = Condition->ValueText(N);
    // A value kept without its caption (a version that lost the captions of date lists stored the
    // blank) is shown again, so the sentence never hides it.
    if (Caption.isEmpty() || Caption == TDropDownLabel::EmptyCaption)
        return value.isEmpty();
    const auto* simple = qobject_cast<const TSimpleCond*>(Condition);
    if (simple && simple->Field() && simple->Field()->EditType() == etCustom)
        return true;
    QStringList values;
    QStringList items;
    bool multiple = false;
    if (!Condition->ValueChoices(N, values, items, multiple)) {
        // A typed value shows itself, unless a handler makes its caption or it is a list (dates
        // are shown item by item): where the file holds just that, it stands as it is.
        return Caption == value && !Condition->Panel()->OnSetValue && Condition->GetValueKind(N) != vkList;
    }
    if (value.isEmpty())
        return false;
    rtl::StringList entries;
    if (multiple)
        entries.SetCommaText(value);
    else
        entries.append(value);
    const rtl::StringList known(values);
    if (std::all_of(entries.begin(), entries.end(),
            [&](const QString& entry) { return known.IndexOfText(entry) >= 0; }))
        return false;
    const auto* lookup = simple && simple->Field() ? EditorOf<TDSSQLEditor>(*simple->Field()) : nullptr;
    if (!lookup || lookup->Active())
        return false;
    rtl::StringList captions;
    captions.SetCommaText(Caption);
    return !multiple || captions.size() == entries.size();
}

void ReadValues(TZQueryPanel* Panel, TextReader& R, const rtl::StringList& S, TFilterCond* Condition)
{
    if (R.Version < 1200) {
        Condition->SetValue(1, R.Get(S, "Value1"));
        Condition->SetValue(2, R.Get(S, "Value2"));
        return;
    }
    Condition->SetParamState(1, StrToBoolDef(S.Values("Param1")));
    Condition->SetParamState(2, StrToBoolDef(S.Values("Param2")));
    Panel->SetStoredValues(R.Get(S, "Value1"), R.Get(S, "Value2"), Condition);
    for (int n : {1, 2}) {
        TSQLParam* param = Condition->Param(n);
        if (!param)
            continue;
        param->SetVFormat(R.Get(S, "VFormat" + QString::number(n)));
        // After the value: the later values of a shared name take the first one's.
        if (const QString shared = R.Get(S, "ParamName" + QString::number(n)); !shared.isEmpty()) {
            const QString first = R.ParamNames.value(rtl::LowerCase(shared));
            if (first.isEmpty())
                R.ParamNames.insert(rtl::LowerCase(shared), param->Name());
            else
                param->SetName(first);
        }
    }
    rtl::StringList subQuery;
    subQuery.SetCommaText(R.Get(S, "SubQuery"));
    Condition->SubQuery() = subQuery;
    Panel->CheckSubQueryNesting(Condition);
    if (!subQuery.isEmpty()) {
        // Value 1 keeps the sub-query's line breaks as two blanks. It stays as stored: folding the
        // blanks changed the value, and so the file, on every save.
        Condition->SetValueHint(Condition->ValueText(1).replace("  ", "\r\n"));
    }
    Condition->SetSubQueryOptions(TZQueryPanel::IntToSQLOptions(StrToIntSafe(S.Values("SubQueryOptions"))));
    if (R.Version >= 2100)
        for (int n : {1, 2}) {
            if (Condition->IsParam(n))
                continue;
            const QString caption = R.Get(S, "Caption" + QString::number(n));
            if (StoredCaptionStands(Condition, n, caption))
                Condition->SetValueCaption(n, caption);
            else
                Condition->ShowValue(n, Condition->ValueText(n));
        }
}

// The path of the bracket a row section belongs to: [Row1.2.] belongs to [Row1.], [Row1.] to [Row].
QString ParentRow(const QString& Name)
{
    const qsizetype dot = Name.lastIndexOf(u'.', -2);
    return dot < 0 ? Name.left(3) : Name.left(dot + 1);
}

// Whether a row section lies below the bracket Name.
bool HasRowsBelow(const TextReader& R, const QString& Name)
{
    return std::any_of(R.RowSections.cbegin(), R.RowSections.cend(), [&](const QString& Section) {
        return Section.size() > Name.size() && Section.startsWith(Name, Qt::CaseInsensitive);
    });
}

// Depth is the row's number of brackets below the root. A row that its bracket counts must be
// there: a branch ended at a missing one loads a query with fewer conditions.
void LoadRows(TZQueryPanel* Panel, TextReader& R, TFilterBracket* Bracket, const QString& Name, int Depth)
{
    const rtl::StringList section = R.Section(Name);
    if (section.isEmpty()) {
        if (Bracket)
            throw querytext::MissingSection(R.Lines, Name);
        return;
    }
    TZCustomDBStructure* model = Panel->DbStruct();
    const int rowType = rtl::StrToInt(section.Values("RowType"));
    const QString enabled = section.Values("Enabled");
    if (rowType == 1) {
        if (Depth > MaxBracketDepth)
            RaiseTooDeep();
        TFilterBracket* bracket = Bracket ? Bracket->AppendBracket() : Panel->Root();
        const bool checked = enabled.isEmpty() || rtl::StrToInt(enabled) != 0;
        // Without a count, a bracket's rows are named as lying beyond it; one without rows keeps
        // failing on the count.
        const QString rowCount = section.Values("RowCount");
        const int count = rowCount.isEmpty() && HasRowsBelow(R, Name) ? 0 : rtl::StrToInt(rowCount);
        R.RowsRead.append(Name);
        for (int k = 1; k <= count; ++k)
            LoadRows(Panel, R, bracket, Name + QString::number(k) + u'.', Depth + 1);
        const int linkType = rtl::StrToInt(section.Values("LinkType"));
        if (linkType < fltAll || linkType > fltNotAll)
            throw rtl::EConvertError(QString("'%1' is not a valid link type").arg(linkType));
        bracket->SetLinkType(TFilterLinkType(linkType));
        // After its rows, whose check boxes would otherwise decide the bracket's own: the text
        // gets back the state it was written from.
        if (!enabled.isEmpty())
            bracket->RestoreChecked(checked);
        return;
    }
    if (!Bracket)
        throw EZQueryPanelError(0, "Invalid query text: the [Row] section is not a bracket");
    TFilterCond* condition = nullptr;
    if (rowType == 0) {
        auto* simple = static_cast<TSimpleCond*>(Bracket->AppendSimpleCond());
        simple->SetField(ReadConditionField(model, R, section));
        simple->SetOperator(model->OperatorByName(R.Get(section, "Operator")));
        if (!simple->Operator())
            simple->SetOperator(model->PlaceholderOperator());
        condition = simple;
    } else {
        const QString id = section.Values("CondID");
        TDSCondition* custom = id.isEmpty() ? nullptr : model->ConditionByID(rtl::StrToInt(id));
        condition = static_cast<TFilterCond*>(
            Bracket->AppendCustomCond(custom ? custom : model->PlaceholderCondition()));
    }
    R.RowsRead.append(Name);
    if (!enabled.isEmpty())
        condition->SetChecked(rtl::StrToInt(enabled) != 0);
    ReadValues(Panel, R, section, condition);
}

// What a row section below the read section Name lies beyond or under.
QString PlaceBelow(TextReader& R, const QString& Name)
{
    R.Position = 0;
    const rtl::StringList section = R.Section(Name);
    if (rtl::StrToIntDef(section.Values("RowType"), -1) != 1)
        return "under [" + Name + "], which is not a bracket";
    return "beyond " + querytext::CountBeyond(R.Lines, Name, section, "RowCount");
}

// The rows from [Row] down; then every row section the walk did not reach is damage, named with
// the count of the bracket its branch leaves.
void ReadRows(TZQueryPanel* Panel, TextReader& R)
{
    ForEachIniSection(R.Lines, [&R](QStringView Name) {
        if (querytext::IsRowPath(Name))
            R.RowSections.append(Name.toString());
    });
    R.Position = 0;
    LoadRows(Panel, R, nullptr, "Row", 0);
    // Each section read is listed once: as many listed as read leaves none unread.
    if (R.RowSections.size() == R.RowsRead.size())
        return;
    QHash<QString, QString> read;
    for (const QString& name : R.RowsRead)
        read.insert(name.toLower(), name);
    for (const QString& name : R.RowSections) {
        QString branch = name.toLower();
        // An empty [Row] is a query without rows, as a missing one is.
        if (branch == u"row" || read.contains(branch))
            continue;
        while (branch != u"row" && !read.contains(ParentRow(branch)))
            branch = ParentRow(branch);
        throw querytext::StraySection(name,
            branch == u"row" ? "beyond " + querytext::CountBeyond(R.Lines, "Row", {}, "RowCount")
                             : PlaceBelow(R, read.value(ParentRow(branch))));
    }
}

// The version as whole thousandths; a number no text ever held (1e300, say) is a damaged file.
int ReadTextVersion(const rtl::StringList& Main)
{
    const double version = StrToFloatDot(Main.Values("Version"), 1.1);
    if (!(version > 0 && version < 1000))
        throw EZQueryPanelError(
            0, "Invalid query text: the version " + Main.Values("Version") + " is not one");
    // A newer writer may keep there what this reader would drop on the next save.
    const int thousandths = qRound(version * 1000);
    if (thousandths > WrittenThousandths)
        throw EZQueryPanelError(0,
            "Invalid query text: the version " + Main.Values("Version") + " is newer than " + WrittenVersion
                + ", the newest this program reads");
    return thousandths;
}

}  // namespace

void TZQueryPanel::GetStoredValues(const TFilterCond* Condition, QString& Value1, QString& Value2) const
{
    for (int n : {1, 2}) {
        const TSQLParam* param = Condition->Param(n);
        const QString text = param ? param->Value() : Condition->ValueText(n);
        (n == 1 ? Value1 : Value2)
            = ConvertDates(Condition, n, text, [](TFieldType Type, const QString& Item) {
                  if (Item.isEmpty())
                      return Item;
                  return FloatToStrDot(Type == ftTime ? rtl::StrToTime(Item) : rtl::StrToDateTime(Item));
              });
    }
}

void TZQueryPanel::SetStoredValues(const QString& Value1, const QString& Value2, TFilterCond* Condition)
{
    QString texts[3];
    for (int n : {1, 2})
        texts[n] = ConvertDates(Condition, n, n == 1 ? Value1 : Value2, StoredValueText);
    for (int n : {1, 2}) {
        if (TSQLParam* param = Condition->Param(n))
            param->SetValue(texts[n]);
        else
            Condition->SetValue(n, texts[n]);
    }
}

void TZQueryPanel::LoadOldTitles(const QStringList& Lines)
{
    const rtl::StringList lines(Lines);
    const QStringList& keys = LegacyTitleKeys();
    for (int n = 0; n < lines.size() && n < keys.size(); ++n) {
        const QString value = lines.Values("Title" + QString::number(n));
        if (!value.trimmed().isEmpty())
            SetTitle(keys[n], value);
    }
}

void TZQueryPanel::SaveToStrings(rtl::StringList& Lines)
{
    const TQueryProcess state = FProcessState;
    FProcessState = qpSaving;
    struct Restore {
        TQueryProcess& Target;
        TQueryProcess Value;
        ~Restore() { Target = Value; }
    } restore {FProcessState, state};
    rtl::StringList lines;
    TextWriter writer {lines, {false}};
    WriteText(this, writer);
    if (writer.Needed) {
        lines.clear();
        TextWriter escaped {lines, {true}};
        WriteText(this, escaped);
    }
    Lines = lines;
}

void TZQueryPanel::LoadFromStrings(const rtl::StringList& Lines)
{
    RequireDbStruct();
    const bool wasActive = FActive;
    // What a text sets besides its rows, put back as one copy when the text cannot be read.
    const struct {
        bool JustSorting;
        int FieldsVersion;
        TSQLOptions Options;
        rtl::StringList Titles;
        int TextVersion;
    } kept {FQResult->ResultFields().JustSorting(), FQResult->ResultFields().Version(), FSQLOptions, FTitles,
        FTextVersion};
    const TQueryProcess state = FProcessState;
    FProcessState = qpLoading;
    const bool reading = FReadingRows;
    FReadingRows = true;
    Deactivate();
    Clear();
    try {
        if (!Lines.isEmpty()) {
            TextReader reader {Lines, {false}};
            const rtl::StringList main = reader.Section("Main");
            FTextVersion = ReadTextVersion(main);
            reader.Version = FTextVersion;
            reader.Codec.Escaped = StrToBoolDef(main.Values(querytext::EscapedKey));
            if (FSaveTitles) {
                if (FTextVersion < 2200) {
                    QStringList old;
                    ReadIniSection(0, Lines, "Titles", old);
                    if (!old.isEmpty())
                        LoadOldTitles(old);
                } else {
                    QStringList merged;
                    MergeTitles(FDesignTitles, merged, Lines);
                    // Titles equal to the current ones keep their lines as they are, so a text
                    // reads back to itself.
                    QStringList current;
                    MergeTitles(FDesignTitles, current, FTitles);
                    if (merged != current)
                        FTitles = merged;
                }
            }
            SetQueryName(reader.Get(main, "QueryName"));
            if (const QString options = main.Values("Options"); FSaveSQLOptions && !options.isEmpty()) {
                // Only five options are stored; the others stay as the panel has them.
                const TSQLOptions stored = IntToSQLOptions(rtl::StrToInt(options));
                TSQLOptions value = FSQLOptions;
                for (TSQLOption option :
                    {soSelectDistinct, soQuoteAliases, soBracketJoins, soBracketConditions, soSortByNames})
                    if (stored.Contains(option))
                        value.Include(option);
                    else
                        value.Exclude(option);
                SetSQLOptions(value);
            }
            SetDescription(reader.Free("Description"));
            SetUserData(reader.Free("UserData"));
            FQResult->ResultFields().LoadFromStrings(Lines, FTextVersion);
            ReadRows(this, reader);
        }
        EndReadingRows(reading);
    } catch (...) {
        // Never a half-read query that a later save writes over the file; the cleared panel is a
        // new query, its root as Clear makes it, not as the query before had it.
        FReadingRows = true;
        Clear();
        EndReadingRows(reading);
        FQueryName.clear();
        FDescription.clear();
        FUserData.clear();
        FQResult->ResultFields().SetJustSorting(kept.JustSorting);
        FQResult->ResultFields().SetVersion(kept.FieldsVersion);
        SetSQLOptions(kept.Options);
        FTitles = kept.Titles;
        FTextVersion = kept.TextVersion;
        FProcessState = state;
        try {
            SetActive(wasActive);
        } catch (...) {
        }
        FModified = false;
        ParamListChanged();
        throw;
    }
    FProcessState = state;
    SetActive(wasActive);
    FModified = false;
    Changed();
    ParamListChanged();
}
