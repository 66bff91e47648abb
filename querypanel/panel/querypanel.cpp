#include "querypanel/panel/querypanel.h"

#include "core/model/dbstructure.h"
#include "core/ui/controlutils.h"
#include "querypanel/panel/filtercond.h"
#include "querypanel/panel/panelbaselink.h"
#include "querypanel/panel/subquerydialog.h"
#include "querypanel/panel/titles.h"
#include "querypanel/query/queryresult.h"
#include "rtl/datetime.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>

#include <cmath>

namespace {

rtl::ConvertError DateConvertError(TFieldType Type)
{
    switch (Type) {
    case ftDate:
        return rtl::ConvertError::Date;
    case ftTime:
        return rtl::ConvertError::Time;
    default:
        return rtl::ConvertError::DateTime;
    }
}

struct StoredOption {
    TSQLOption Option;
    int Bit;
};

// soASCIIRFields and soFilter are never stored; bits 1 and 4 stay free.
constexpr StoredOption StoredOptions[] = {
    {soSelectDistinct, 2},
    {soQuoteAliases, 8},
    {soBracketJoins, 16},
    {soBracketConditions, 32},
    {soSortByNames, 64},
};

struct LegacyOption {
    const char* Name;
    TQPOption Option;
};

constexpr LegacyOption LegacyOptionNames[] = {
    {"poFlatButtons", poFlatButtons},
    {"poRoundButtons", poRoundButtons},
    {"poNonEmptyBrackets", poNonEmptyBrackets},
    {"poNewJoinsStyle", poNewJoinsStyle},
    {"poAsciiRFields", poAsciiRFields},
    {"poPopupField", poPopupField},
    {"poPopupValue", poPopupValue},
    {"poSelectDistinct", poSelectDistinct},
    {"poShowGroupName", poShowGroupName},
    {"poAllowKeyboard", poAllowKeyboard},
    {"poOracleJoins", poOracleJoins},
    {"poQuoteAliases", poQuoteAliases},
    {"poSortListData", poSortListData},
    {"poShowAddRow", poShowAddRow},
    {"poBracketJoins", poBracketJoins},
    {"poBracketConditions", poBracketConditions},
    {"poShowCheckBoxes", poShowCheckBoxes},
};

// The older options that became appearance options and SQL options of the same meaning.
struct LegacyMapping {
    TQPOption Legacy;
    int Appearance;  // a TQPAppearanceOption, or -1
    int SQL;  // a TSQLOption, or -1
};

constexpr LegacyMapping LegacyMappings[] = {
    {poFlatButtons, aoFlatButtons, -1},
    {poRoundButtons, aoRoundButtons, -1},
    {poNonEmptyBrackets, aoNonEmptyBrackets, -1},
    {poPopupField, aoPopupField, -1},
    {poPopupValue, aoPopupValue, -1},
    {poShowGroupName, aoShowGroupName, -1},
    {poAllowKeyboard, aoAllowKeyboard, -1},
    {poSortListData, aoSortListData, -1},
    {poShowAddRow, aoShowAddRow, -1},
    {poShowCheckBoxes, aoShowCheckBoxes, -1},
    {poAsciiRFields, -1, soASCIIRFields},
    {poSelectDistinct, -1, soSelectDistinct},
    {poQuoteAliases, -1, soQuoteAliases},
    {poBracketJoins, -1, soBracketJoins},
    {poBracketConditions, -1, soBracketConditions},
};

// Keys whose text must hold the "@" where the link-type chooser stands.
const QStringList& SentenceTitleKeys()
{
    static const QStringList keys {"ttlFilter", "ttlBracket"};
    return keys;
}

}  // namespace

TZQueryPanel::TZQueryPanel(QWidget* Parent)
    : QAbstractScrollArea(Parent), FAppearance(this), FQResult(std::make_unique<TQueryResult>(this)),
      FQueryBaseLink(std::make_unique<TZQPBaseLink>(this))
{
    setFocusPolicy(Qt::StrongFocus);
    // A panel, not a text area: the rows' words take their colours from WindowText.
    viewport()->setBackgroundRole(QPalette::Window);
    InitDefaultTitles(FDefaultTitles);
    FTitles = FDefaultTitles;
    FDesignTitles = FDefaultTitles;
    CreateMenus();
    CreateAddRowLabel();
    ApplySQLOptions();
    SubQueryEditor = EditSubQueryInDialog;
}

TZQueryPanel::~TZQueryPanel()
{
    FDestroying = true;
    FCurrentRow = nullptr;
    FUpdating = true;
    delete FRoot;
    FRoot = nullptr;
}

int TZQueryPanel::SQLOptionsToInt(TSQLOptions Options)
{
    int value = 0;
    for (const StoredOption& stored : StoredOptions)
        if (Options.Contains(stored.Option))
            value |= stored.Bit;
    return value;
}

TSQLOptions TZQueryPanel::IntToSQLOptions(int Value)
{
    TSQLOptions options;
    for (const StoredOption& stored : StoredOptions)
        if (Value & stored.Bit)
            options.Include(stored.Option);
    return options;
}

QString TZQueryPanel::StoredValueText(TFieldType Type, const QString& Value)
{
    if (Type != ftDate && Type != ftTime && Type != ftDateTime && Type != ftTimeStamp)
        return Value;
    // An empty stored value is no date at all, not day 0 (30 December 1899).
    if (Value.trimmed().isEmpty())
        return QString();
    double x = 0;
    {
        rtl::DotDecimalScope dot;
        x = rtl::StrToFloat(Value);
    }
    // A day outside the years 1 to 9999 could be shown but never written back: the text is damaged.
    int year = 0, month = 0, day = 0;
    rtl::DecodeDate(x, year, month, day);
    if (year < 1 || year > 9999)
        rtl::RaiseConvertError(DateConvertError(Type), Value);
    const rtl::FormatSettings& settings = rtl::formatSettings();
    QString dateFormat = settings.ShortDateFormat;
    dateFormat.replace("mmmm", "mm", Qt::CaseInsensitive);
    dateFormat.replace("mmm", "mm", Qt::CaseInsensitive);
    switch (Type) {
    case ftDate:
        return rtl::FormatDateTime(dateFormat, x);
    case ftTime:
        return rtl::TimeToStr(x);
    default: {
        double whole = 0;
        const bool hasTime = std::modf(x, &whole) != 0;
        return rtl::FormatDateTime(hasTime ? dateFormat + " " + settings.LongTimeFormat : dateFormat, x);
    }
    }
}

// --- component ---------------------------------------------------------------------------------

void TZQueryPanel::SetDbStruct(TZCustomDBStructure* Value)
{
    if (Value == FDbStruct)
        return;
    const bool wasActive = FActive;
    Deactivate();
    if (FDbStruct)
        disconnect(FDbStruct, &QObject::destroyed, this, nullptr);
    ReleaseModelItems();
    FDbStruct = Value;
    if (!Value)
        return;
    connect(Value, &QObject::destroyed, this, [this] { DbStructDestroyed(); });
    AfterDbStructSet();
    CreateRoot();
    if (wasActive)
        Activate();
}

void TZQueryPanel::DbStructDestroyed()
{
    // The model's items are gone already: drop every row and result field without reading them.
    FDbStruct.clear();
    Deactivate();
    ReleaseModelItems();
}

void TZQueryPanel::ReleaseModelItems()
{
    SetCurrentRow(nullptr);
    delete FRoot;
    FRoot = nullptr;
    FQResult->ResultFields().Clear();
    FQResult->ClearParams();
    FQResult->ResultFields().SetDBStruct(nullptr);
    FEqualValues.clear();
    FMainTable = nullptr;
}

void TZQueryPanel::CreateRoot()
{
    SetCurrentRow(nullptr);
    delete FRoot;
    FRoot = nullptr;
    FRoot = new TFilterBracket(this, nullptr);
    FRoot->SetLinkType(fltAll);
}

void TZQueryPanel::AfterDbStructSet()
{
    FDbStruct->LoadStored();
    FQResult->ResultFields().SetDBStruct(FDbStruct);
    ResolveMainTable();
}

void TZQueryPanel::SetMainTableName(const QString& Value)
{
    FMainTableName = Value;
    FMainTable = FDbStruct ? FDbStruct->FindTable(0, Value) : nullptr;
}

TDSTable* TZQueryPanel::ResolveMainTable()
{
    if (!FDbStruct) {
        FMainTable = nullptr;
        return nullptr;
    }
    if (!FMainTableName.isEmpty())
        FMainTable = FDbStruct->FindTable(0, FMainTableName);
    if (!FMainTable && FDbStruct->DefaultMainTable()) {
        FMainTable = FDbStruct->DefaultMainTable();
        FMainTableName = FMainTable->Name();
    }
    return FMainTable;
}

void TZQueryPanel::SetDescription(const QStringList& Value)
{
    FDescription = Value;
    Changed();
}

void TZQueryPanel::SetQueryName(const QString& Value)
{
    if (Value == FQueryName)
        return;
    FQueryName = Value;
    Changed();
}

void TZQueryPanel::SetTitles(const QStringList& Value)
{
    QStringList merged;
    MergeTitles(FDefaultTitles, merged, Value);
    FTitles = merged;
    // A stored sentence without "@" would make every later activation fail.
    for (const QString& key : SentenceTitleKeys())
        if (!GetTitle(key).contains('@'))
            SetTitle(key, DefaultTitle(key));
}

QString TZQueryPanel::GetTitle(const QString& Key) const
{
    return FTitles.Values(Key);
}

void TZQueryPanel::SetTitle(const QString& Key, const QString& Text)
{
    const int index = FTitles.IndexOfName(Key);
    if (index >= 0)
        FTitles[index] = FTitles.Names(index) + "=" + Text;
}

void TZQueryPanel::Loaded(const QStringList& StreamedTitles)
{
    if (FDbStruct)
        AfterDbStructSet();
    ApplySQLOptions();
    const bool keyed = !StreamedTitles.isEmpty() && StreamedTitles[0].contains('[')
        && (StreamedTitles.size() < 3 || StreamedTitles[2].contains('='));
    if (keyed) {
        SetTitles(StreamedTitles);
    } else {
        // The oldest form: one title a line in a fixed key order, applied over the built-in titles.
        FTitles = FDefaultTitles;
        const QStringList& keys = LegacyTitleKeys();
        for (int i = 0; i < StreamedTitles.size() && i < keys.size(); ++i)
            if (!StreamedTitles[i].trimmed().isEmpty())
                SetTitle(keys[i], StreamedTitles[i]);
        for (const QString& key : SentenceTitleKeys())
            if (!GetTitle(key).contains('@'))
                SetTitle(key, DefaultTitle(key));
    }
    FDesignTitles = FTitles;
}

void TZQueryPanel::SetSQLOptions(TSQLOptions Value)
{
    if (Value == FSQLOptions)
        return;
    FSQLOptions = Value;
    ApplySQLOptions();
}

void TZQueryPanel::SetSQLSyntax(TSQLSyntax Value)
{
    if (Value == FSQLSyntax)
        return;
    FSQLSyntax = Value;
    ApplySQLOptions();
}

void TZQueryPanel::ApplySQLOptions()
{
    FQResult->SetSQLOptions(FSQLOptions);
    FQResult->SetSQLSyntax(FSQLSyntax);
    FQResult->ResultFields().SetQuoteAliases(FSQLOptions.Contains(soQuoteAliases));
}

QString TZQueryPanel::Version() const
{
    return QString("4") + rtl::formatSettings().DecimalSeparator + "21";
}

void TZQueryPanel::ReadLegacyOptions(const QString& Value)
{
    const QString text = Value.trimmed();
    if (!text.startsWith('[') || !text.endsWith(']'))
        throw EZQueryPanelError(0, "Invalid property value");
    TEnumSet<TQPOption> legacy;
    for (const QString& item : text.mid(1, text.size() - 2).split(',', Qt::SkipEmptyParts))
        for (const LegacyOption& option : LegacyOptionNames)
            if (rtl::SameText(item.trimmed(), QString::fromUtf8(option.Name)))
                legacy.Include(option.Option);
    TQPAppearanceOptions appearance = FAppearance.Options();
    TSQLOptions sql = FSQLOptions;
    for (const LegacyMapping& mapping : LegacyMappings) {
        if (!legacy.Contains(mapping.Legacy))
            continue;
        if (mapping.Appearance >= 0)
            appearance.Include(TQPAppearanceOption(mapping.Appearance));
        else
            sql.Include(TSQLOption(mapping.SQL));
    }
    FAppearance.SetOptions(appearance);
    SetSQLOptions(sql);
    SetSQLSyntax(legacy.Contains(poOracleJoins) ? ssOracle
            : legacy.Contains(poNewJoinsStyle)  ? ssSQL2
                                                : ssSQL1);
}

QChar TZQueryPanel::GetQuoteSymbol(int N) const
{
    if (!FDbStruct)
        return '"';
    return N == 1 ? FDbStruct->SQLFormats().QuoteSymbol1() : FDbStruct->SQLFormats().QuoteSymbol2();
}

// --- state -------------------------------------------------------------------------------------

void TZQueryPanel::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    if (Value)
        RequireDbStruct();
    FActive = Value;
    if (Value) {
        try {
            // The header's controls, and in style psAndOr the row height, come from the root's.
            FRoot->CreateControls();
            UpdateMenus();
            if (FAppearance.Style() == psGroups)
                ShowHeader();
        } catch (...) {
            // A failed activation leaves the panel inactive, so it can be activated once mended.
            FActive = false;
            HideHeader();
            throw;
        }
        SetCurrentRow(
            FAppearance.Style() == psGroups ? static_cast<TFilterRow*>(FRoot) : FRoot->FirstSimpleCond());
        ShowRows();
    } else {
        HideHeader();
        HideRows();
        SetCurrentRow(nullptr);
    }
    if (OnActive) {
        TNotifyEvent handler = OnActive;
        handler(this);
    }
    viewport()->update();
}

void TZQueryPanel::Clear()
{
    FQResult->ResultFields().Clear();
    FQResult->ClearParams();
    DeleteAllRows();
    // An empty panel holds a new query, whose root starts as the panel makes it: a query loaded
    // next sets its own, and a new one must not take over the "any" of the query before it.
    if (FRoot) {
        FRoot->SetLinkType(fltAll);
        if (!FRoot->Checked())
            FRoot->SetChecked(true);
    }
    FModified = false;
}

void TZQueryPanel::DeleteAllRows()
{
    if (!FRoot)
        return;
    FRoot->DeleteAllRows();
    PositionAddRowLabel();
}

void TZQueryPanel::BeginUpdate()
{
    FUpdating = true;
    ++FUpdateCount;
}

void TZQueryPanel::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount > 0)
        return;
    FUpdating = false;
    Changed();
}

void TZQueryPanel::Changed()
{
    if (FProcessState != qpIdle || FInChange || FUpdating || FDestroying)
        return;
    FModified = true;
    for (TZQueryPanelLink* link : QList<TZQueryPanelLink*>(FPanelLinks))
        link->QueryChanged();
    if (OnChange)
        RunInChange([this, handler = OnChange] { handler(this); });
}

template <typename F>
void TZQueryPanel::RunInChange(F&& Handler)
{
    FInChange = true;
    struct Reset {
        bool& Flag;
        ~Reset() { Flag = false; }
    } reset {FInChange};
    Handler();
}

void TZQueryPanel::ParamListChanged()
{
    if (FProcessState != qpIdle || FUpdating || FDestroying)
        return;
    if (OnParamListChange) {
        TNotifyEvent handler = OnParamListChange;
        handler(this);
    }
    for (TZQueryPanelLink* link : QList<TZQueryPanelLink*>(FPanelLinks))
        link->ParamsChanged();
}

void TZQueryPanel::DoConditionChange(TFilterCond* Condition, int WhatChanged)
{
    if (!OnConditionChange || FInChange || FDestroying)
        return;
    RunInChange([&, handler = OnConditionChange] { handler(this, Condition, WhatChanged); });
}

void TZQueryPanel::RequireDbStruct() const
{
    if (!FDbStruct)
        throw EZQueryPanelError::Create(qpeNoDbStruct);
}

void TZQueryPanel::EndReadingRows(bool Reading)
{
    FReadingRows = Reading;
    if (!Reading)
        TSimpleCond::RebuildEqualValues(this);
}

void TZQueryPanel::Relayout()
{
    if (!FActive)
        return;
    // The new root comes first: when the current titles cannot make a bracket, the old rows stay.
    auto fresh = std::make_unique<TFilterBracket>(this, nullptr);
    fresh->SetLinkType(fltAll);
    rtl::StringList text;
    const bool modified = FModified;
    SaveToStrings(text);
    const TQueryProcess state = FProcessState;
    // Re-creating the rows is no change of the query.
    FProcessState = qpLoading;
    const bool reading = FReadingRows;
    FReadingRows = true;
    Deactivate();
    TFilterBracket* saved = FRoot;
    FRoot = fresh.release();
    try {
        LoadFromStrings(text);
        Activate();
        EndReadingRows(reading);
    } catch (...) {
        // Back to the rows as they were; the text gives the result fields back.
        FReadingRows = true;
        if (FActive)
            Deactivate();
        delete FRoot;
        FRoot = saved;
        FQResult->ResultFields().LoadFromStrings(text, FTextVersion);
        // When the old rows cannot be shown either, the panel stays inactive; the first failure is
        // the one to report.
        try {
            EndReadingRows(reading);
            FProcessState = state;
            Activate();
        } catch (...) {
        }
        FProcessState = state;
        FModified = modified;
        throw;
    }
    // The old rows give up their equal values to nobody: the new rows hold them already.
    FReadingRows = true;
    delete saved;
    FReadingRows = reading;
    FProcessState = state;
    FModified = modified;
}

void TZQueryPanel::CloseDropDowns()
{
    // Taken first: closing runs the rows' handlers, which may open another drop-down.
    const QList<QPointer<TDropDownLabel>> dropped = std::exchange(FDropped, {});
    for (qsizetype i = 0; i < dropped.size(); ++i) {
        try {
            if (dropped[i])
                dropped[i]->CloseDropDown(true);
        } catch (...) {
            // An editor that refused its text stays open: it and the ones not reached yet stay
            // listed, so the next close tries them again (a closed one is passed over).
            for (qsizetype j = i; j < dropped.size(); ++j)
                if (dropped[j])
                    FDropped.append(dropped[j]);
            throw;
        }
    }
}

QString TZQueryPanel::FormatSQLValue(TFieldType Type, const QString& Value, bool ToSQL)
{
    if (ToSQL)
        return FQResult->FormatSQLDate(Type, Value);
    // SQL read back: the model's date format whatever the type, into the locale's form.
    const QString format = FDbStruct ? FDbStruct->SQLFormats().Date() : rtl::formatSettings().ShortDateFormat;
    return rtl::DateTimeToStr(StrToDateTimeFmt(format, Value));
}

void TZQueryPanel::BuildQuery(const TParamValues* ParamValues)
{
    FQResult->BuildQuery(ParamValues);
}

QString TZQueryPanel::FormatSQLNumber(TFieldType Type, const QString& Value)
{
    return TQueryResult::FormatSQLNumber(Type, Value);
}

QString TZQueryPanel::GetSQLValue(const TConditionNode* Condition, int Index) const
{
    return FQResult->GetSQLValue(Condition, Index);
}

void TZQueryPanel::DoBuildSQL(TConditionNode* Condition, QString& SQLExpr)
{
    if (!OnBuildSQL)
        return;
    TBuildSQLEvent handler = OnBuildSQL;
    handler(this, dynamic_cast<TFilterRow*>(Condition), SQLExpr);
}

void TZQueryPanel::DoGetGroupImageIndex(const QString& AGroupName, int& AImageIndex)
{
    if (OnGetGroupImageIndex)
        OnGetGroupImageIndex(AGroupName, AImageIndex);
}

void TZQueryPanel::DoGetItemImageIndex(const QString& AGroupName, const QString& AItemName, int& AImageIndex)
{
    if (OnGetItemImageIndex)
        OnGetItemImageIndex(AGroupName, AItemName, AImageIndex);
}

void TZQueryPanel::DoRFEHelpClick()
{
    if (OnRFEHelpClick) {
        TNotifyEvent handler = OnRFEHelpClick;
        handler(this);
    }
}

int TZQueryPanel::GetRowTextHeight(QWidget* Control) const
{
    QWidget* window = Control ? Control : const_cast<TZQueryPanel*>(this);
    return GetTextHeight(window, window->font(), "A") + 1;
}
