#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "querypanel/query/querytextlines.h"
#include "querypanel/query/resultfields.h"
#include "rtl/numbers.h"
#include "rtl/stringlist.h"

#include <algorithm>
#include <vector>

namespace {

const QString RFieldsSection = QStringLiteral("RFields");
const QString WrittenVersion = QStringLiteral("3.5");

bool FieldNeedsEscape(const TResultField* Field)
{
    return querytext::ValueNeedsEscape(Field->Formula()) || querytext::ValueNeedsEscape(Field->Alias())
        || querytext::ValueNeedsEscape(Field->Caption());
}

QString FieldIDs(const TResultField* Field)
{
    QStringList ids;
    for (const TDSField* bound : Field->Fields())
        ids.append(QString::number(bound->ID()));
    return ids.join(u',');
}

TDSField* ResolveField(const TZCustomDBStructure* Model, const QString& Item, int Version)
{
    TDSField* field = nullptr;
    if (Version < 1400)
        field = Model->FindField(flFullName, Item);
    else if (Version >= 2000)
        field = Model->FieldByID(rtl::StrToInt(Item));
    else
        field = Model->FindField(flSQLExpr, Item.toLower());
    return field ? field : Model->PlaceholderField();
}

// A field section numbered above the count; the ones up to it are looked up as they are read.
void CheckFieldSections(const QStringList& Lines, const rtl::StringList& Head, int Count)
{
    ForEachIniSection(Lines, [&](QStringView Name) {
        const QStringView number = querytext::FieldSectionNumber(Name);
        // Ten digits and more lie beyond any count.
        if (!number.isEmpty() && (number.size() > 9 || number.toInt() > Count))
            throw querytext::StraySection(
                Name.toString(), "beyond " + querytext::CountBeyond(Lines, RFieldsSection, Head, "Count"));
    });
}

}  // namespace

void TRFieldList::SaveToStrings(QStringList& Lines) const
{
    const querytext::TextCodec codec {std::any_of(begin(), end(), FieldNeedsEscape)};
    Lines.append('[' + RFieldsSection + ']');
    Lines.append("Count=" + QString::number(Count()));
    Lines.append("Version=" + WrittenVersion);
    Lines.append(QStringLiteral("JustSorting=") + (JustSorting() ? "1" : "0"));
    if (codec.Escaped)
        Lines.append(querytext::EscapedKey + "=1");
    Lines.append(QString());
    for (int n = 0; n < Count(); ++n) {
        const TResultField* field = GetItem(n);
        Lines.append("[RField" + QString::number(n + 1) + ']');
        Lines.append("Formula=" + codec.Put(field->Formula()));
        Lines.append("Fields=" + FieldIDs(field));
        Lines.append("Alias=" + codec.Put(field->Alias()));
        Lines.append("Caption=" + codec.Put(field->Caption()));
        Lines.append("Sorting=" + QString::number(field->Sorting()));
        Lines.append("SortOrder=" + QString::number(field->SortOrder()));
        Lines.append(QString());
    }
}

void TRFieldList::LoadFromStrings(const QStringList& Lines, int TextVersion)
{
    Clear();
    rtl::StringList head;
    int position = ReadIniSection(0, Lines, RFieldsSection, head);
    const int count = StrToIntSafe(head.Values("Count"));
    SetJustSorting(StrToBoolDef(head.Values("JustSorting")));
    const int version
        = TextVersion > 0 ? TextVersion : qRound(StrToFloatDot(head.Values("Version"), 1.7) * 1000);
    SetVersion(version);
    const querytext::TextCodec codec {StrToBoolDef(head.Values(querytext::EscapedKey))};
    CheckFieldSections(Lines, head, count);
    // Every counted section before the first field: a text that lacks one leaves the list empty.
    std::vector<rtl::StringList> sections;
    for (int n = 1; n <= count; ++n) {
        const QString name = "RField" + QString::number(n);
        rtl::StringList& section = sections.emplace_back();
        position = ReadIniSection(position, Lines, name, section);
        if (section.isEmpty())
            throw querytext::MissingSection(Lines, name);
    }
    const TZCustomDBStructure* model = DBStruct();
    if (!model)
        return;
    for (const rtl::StringList& section : sections) {
        TResultField* field = InsertNew(Count());
        field->SetFormula(codec.Get(section.Values("Formula")));
        field->SetCaption(codec.Get(section.Values("Caption")));
        field->SetAlias(codec.Get(section.Values(version < 1400 ? "Name" : "Alias")));
        if (const QString sorting = section.Values("Sorting"); !sorting.isEmpty())
            field->SetSorting(uint8_t(std::clamp(rtl::StrToInt(sorting), 0, 2)));
        if (const QString order = section.Values("SortOrder"); !order.isEmpty())
            field->SetSortOrder(rtl::StrToInt(order));
        QStringList items;
        SplitCommaText(section.Values("Fields"), items);
        for (const QString& item : items)
            field->Fields().Add(ResolveField(model, item, version));
    }
}
