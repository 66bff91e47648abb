#include "core/base/fieldtypes.h"

#include "rtl/strutils.h"

#include <iterator>

namespace {

// In enumeration order: the names are what model files and field list texts hold.
constexpr const char* FieldTypeNames[] = {"ftUnknown", "ftString", "ftSmallint", "ftInteger", "ftWord",
    "ftBoolean", "ftFloat", "ftCurrency", "ftBCD", "ftDate", "ftTime", "ftDateTime", "ftBytes", "ftVarBytes",
    "ftAutoInc", "ftBlob", "ftMemo", "ftGraphic", "ftFmtMemo", "ftParadoxOle", "ftDBaseOle", "ftTypedBinary",
    "ftCursor", "ftFixedChar", "ftWideString", "ftLargeint", "ftADT", "ftArray", "ftReference", "ftDataSet",
    "ftOraBlob", "ftOraClob", "ftVariant", "ftInterface", "ftIDispatch", "ftGuid", "ftTimeStamp", "ftFMTBcd"};
static_assert(std::size(FieldTypeNames) == FieldTypeCount && FieldTypeCount == 38);

constexpr const char* FieldKindNames[] = {"zfkData", "zfkVirtual"};
static_assert(std::size(FieldKindNames) == FieldKindCount);

template <std::size_t N>
int IndexOfName(const char* const (&Names)[N], const QString& Name)
{
    for (std::size_t i = 0; i < N; ++i)
        if (rtl::SameText(QLatin1String(Names[i]), Name))
            return int(i);
    return -1;
}

}  // namespace

QString FieldTypeToStr(TFieldType Value)
{
    return QLatin1String(FieldTypeNames[FieldTypeFromOrdinal(Value)]);
}

int StrToFieldType(const QString& Name)
{
    return IndexOfName(FieldTypeNames, Name);
}

TFieldType StrToFieldTypeDef(const QString& Name)
{
    return FieldTypeFromOrdinal(StrToFieldType(Name));
}

TFieldType FieldTypeFromOrdinal(int Ordinal)
{
    return Ordinal >= 0 && Ordinal < FieldTypeCount ? TFieldType(Ordinal) : ftUnknown;
}

QString FieldKindToStr(TZFieldKind Value)
{
    return QLatin1String(FieldKindNames[Value == zfkVirtual ? zfkVirtual : zfkData]);
}

int StrToFieldKind(const QString& Name)
{
    return IndexOfName(FieldKindNames, Name);
}
