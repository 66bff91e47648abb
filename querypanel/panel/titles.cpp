#include "querypanel/panel/titles.h"

#include "core/base/zstrings.h"
#include "rtl/exception.h"
#include "rtl/formatsettings.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"

#include <span>

namespace {

struct TitleLine {
    const char* Key;
    const char* Text;
};

constexpr TitleLine PanelTitles[] = {
    {"ttlFilter", "Choose records where @ of the following apply"},
    {"ttlBracket", "@ of the following apply"},
    {"ttlAll", "all"},
    {"ttlAny", "any"},
    {"ttlNone", "none"},
    {"ttlNotAll", "not all"},
    {"ttlAddBracket", "Add &Bracket"},
    {"ttlAddCond", "Add &Condition"},
    {"ttlDelRow", "&Delete Current Row"},
    {"ttlEnableDisable", "&Enable/Disable Row"},
    {"ttlClickToAdd", "Click here to add new condition"},
    {"ttlSubQueryCaption", "Sub-query"},
    {"ttlResultField", "Result Field"},
    {"ttlAnd", "and"},
    {"ttlOr", "or"},
    {"ttlConstant", "Constant value"},
    {"ttlParameter", "Parameter"},
    {"ttlCustomCond", "Add custom condition"},
};

constexpr TitleLine RFETitles[] = {
    {"ttlRFETitle", "Result Fields Editor"},
    {"ttlFields", "&Available fields"},
    {"ttlResFields", "Result fields"},
    {"ttlMakeFldHint", "Create result field"},
    {"ttlDelFldHint", "Delete result field"},
    {"ttlNewFldHint", "New result field"},
    {"ttlAddRFldHint", "Add to result field"},
    {"ttlSubRFldHint", "Subtract from result field"},
    {"ttlMulRFldHint", "Multiply by result field"},
    {"ttlDivRFldHint", "Divide by result field"},
    {"ttlSortRFldHint", "Sort result field"},
    {"ttlNotSorted", "Not Sorted"},
    {"ttlAscending", "Ascending"},
    {"ttlDescending", "Descending"},
    {"ttlSortCaption", "Sorted fields"},
    {"ttlSortingColName", "Sorting type"},
    {"ttlFieldNmColName", "Field Name"},
    {"ttlFieldExprColName", "Expression"},
    {"ttlMgsDeleteField", "Delete Field \"%s\"?"},
    {"ttlOkBtnCaption", "OK"},
    {"ttlCancelBtnCaption", "Cancel"},
    {"ttlAsIs", "as is"},
    {"ttlJustSorting", "just sorting"},
    {"ttlAddBtnCaption", "&Add"},
    {"ttlAddBtnHint", "Add result field"},
    {"ttlHelpBtnCaption", "&Help"},
    {"ttlSUMCaption", "SUM"},
    {"ttlCOUNTCaption", "COUNT"},
    {"ttlMINCaption", "MIN"},
    {"ttlMAXCaption", "MAX"},
    {"ttlAVERAGECaption", "AVERAGE"},
};

static_assert(std::size(PanelTitles) == 18 && std::size(RFETitles) == 31);

void AppendSection(QStringList& Lines, const QString& Name, std::span<const TitleLine> Titles)
{
    Lines.append("[" + Name + "]");
    for (const TitleLine& line : Titles)
        Lines.append(QString::fromUtf8(line.Key) + "=" + QString::fromUtf8(line.Text));
}

// Each line's text replaced by the non-empty text Stored has for the same key.
QStringList MergeLines(const QStringList& Defaults, const QStringList& Stored)
{
    const rtl::StringList stored(Stored);
    QStringList merged;
    merged.reserve(Defaults.size());
    for (const QString& line : Defaults) {
        const int equals = int(line.indexOf('='));
        const QString value = equals < 0 ? QString() : stored.Values(line.left(equals));
        merged.append(value.isEmpty() ? line : line.left(equals + 1) + value);
    }
    return merged;
}

bool IsDateLetter(QChar Ch)
{
    const QChar lower = Ch.toLower();
    return lower == 'd' || lower == 'm' || lower == 'y';
}

}  // namespace

void InitDefaultTitles(QStringList& Lines)
{
    Lines.clear();
    AppendSection(Lines, QueryPanelSection, PanelTitles);
    Lines.append(" ");
    AppendSection(Lines, RFESection, RFETitles);
}

QString DefaultTitle(const QString& Key)
{
    for (const auto& titles :
        {std::span<const TitleLine>(PanelTitles), std::span<const TitleLine>(RFETitles)})
        for (const TitleLine& line : titles)
            if (rtl::SameText(Key, QString::fromUtf8(line.Key)))
                return QString::fromUtf8(line.Text);
    return QString();
}

const QStringList& LegacyTitleKeys()
{
    static const QStringList keys {"ttlFilter", "ttlBracket", "ttlAll", "ttlAny", "ttlNone", "ttlNotAll",
        "ttlAddBracket", "ttlAddCond", "ttlDelRow", "ttlFields", "ttlResFields", "ttlMakeFldHint",
        "ttlDelFldHint", "ttlSortTypeHint", "ttlNotSorted", "ttlAscending", "ttlDescending", "ttlSortCaption",
        "ttlRename", "ttlDelete", "ttlWithoutGroup", "ttlAllResFieds"};
    return keys;
}

void RenameTitleSections(QStringList& Lines)
{
    for (QString& line : Lines) {
        line.replace("[PanelTitles]", "[" + QueryPanelSection + "]");
        line.replace("[RFETitles]", "[" + RFESection + "]");
    }
}

void MergeTitles(const QStringList& Defaults, QStringList& Target, QStringList Stored)
{
    RenameTitleSections(Stored);
    Target.clear();
    QStringList sections;
    ListIniSections(Defaults, sections);
    if (sections.isEmpty()) {
        Target = MergeLines(Defaults, Stored);
        return;
    }
    for (const QString& section : sections) {
        QStringList defaults;
        QStringList stored;
        ReadIniSection(0, Defaults, section, defaults);
        ReadIniSection(0, Stored, section, stored);
        Target.append("[" + section + "]");
        Target.append(MergeLines(defaults, stored));
        Target.append(QString());
    }
}

rtl::TDateTime StrToDateTimeFmt(const QString& Format, const QString& Text)
{
    if (Format.isEmpty())
        throw rtl::EConvertError(rtl::ConvertErrorMessage(rtl::ConvertError::DateTime, Text));
    // The settings go back on every way out, a failed conversion included.
    rtl::FormatSettingsScope restore;
    rtl::FormatSettings& settings = rtl::formatSettings();
    settings.ShortDateFormat = Format;
    int start = 0;
    while (start < Format.size() && IsDateLetter(Format[start]))
        ++start;
    int end = start;
    while (end < Format.size() && !IsDateLetter(Format[end]))
        ++end;
    const QString separator = Format.mid(start, end - start);
    if (separator.startsWith('"')) {
        const QString unquoted = UnquoteStr(separator, '"');
        if (!unquoted.isEmpty())
            settings.DateSeparator = unquoted[0];
    } else if (!separator.isEmpty() && separator != "/") {
        settings.DateSeparator = separator[0];
    }
    return rtl::StrToDateTime(Text);
}
