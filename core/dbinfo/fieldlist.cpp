#include "core/dbinfo/fieldlist.h"

#include "core/base/zstrings.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"
#include "rtl/strutils.h"

#include <cstring>

TDBFieldInfo* TDBFieldList::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw rtl::EListError::IndexError(Index);
    return FItems[Index].get();
}

int TDBFieldList::Add(TDBFieldInfo* Item)
{
    FItems.emplace_back(Item);
    return Count() - 1;
}

void TDBFieldList::Clear()
{
    FItems.clear();
}

TDBFieldInfo* TDBFieldList::FindField(const QString& Name) const
{
    for (const auto& item : FItems)
        if (rtl::SameText(item->Name, Name))
            return item.get();
    return nullptr;
}

void TDBFieldList::SaveToStrings(QStringList& Lines) const
{
    Lines.clear();
    Lines.append(QLatin1String("Count=") + QString::number(Count()));
    for (int i = 1; i <= Count(); ++i) {
        const TDBFieldInfo& field = *FItems[i - 1];
        const QString prefix = QLatin1Char('F') + QString::number(i);
        Lines.append(prefix + QLatin1String("Name=") + field.Name);
        Lines.append(prefix + QLatin1String("Size=") + QString::number(field.Size));
        Lines.append(prefix + QLatin1String("Type=") + FieldTypeToStr(field.FieldType));
    }
}

char* TDBFieldList::GetAsText() const
{
    QStringList lines;
    SaveToStrings(lines);
    return NewLinesText(lines);
}

void TDBFieldList::CopyTo(TDBFieldList& Destination) const
{
    QStringList lines;
    SaveToStrings(lines);
    LoadFieldListFromStrings(Destination, lines);
}

void LoadFieldListFromStrings(TDBFieldList& FieldList, const QStringList& Lines)
{
    FieldList.Clear();
    const rtl::StringList values(Lines);
    const int count = StrToIntSafe(values.Values(QStringLiteral("Count")));
    for (int i = 1; i <= count; ++i) {
        auto field = std::make_unique<TDBFieldInfo>();
        const QString prefix = QLatin1Char('F') + QString::number(i);
        field->Name = values.Values(prefix + QLatin1String("Name"));
        field->Size = StrToIntSafe(values.Values(prefix + QLatin1String("Size")));
        field->FieldType = StrToFieldTypeDef(values.Values(prefix + QLatin1String("Type")));
        FieldList.Add(field.release());
    }
}

void LoadFieldListFromText(TDBFieldList& FieldList, const char* Text)
{
    LoadFieldListFromStrings(FieldList, LinesFromText(Text));
}

QStringList LinesFromText(const char* Text)
{
    rtl::StringList lines;
    if (Text)
        lines.SetText(QString::fromUtf8(Text));
    return lines;
}

QByteArray LinesUtf8(const QStringList& Lines)
{
    return rtl::StringList(Lines).Text().toUtf8();
}

char* NewLinesText(const QStringList& Lines)
{
    const QByteArray utf8 = LinesUtf8(Lines);
    auto* text = new char[utf8.size() + 1];
    std::memcpy(text, utf8.constData(), utf8.size() + 1);
    return text;
}

void DisposeText(char* Text)
{
    delete[] Text;
}
