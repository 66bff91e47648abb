#pragma once

#include <QString>

#include <cstdint>

// The data access layer's field types; the value names are written into model files and field
// list texts, so both the order and the names are part of the file formats.
enum TFieldType : uint8_t {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};
constexpr int FieldTypeCount = ftFMTBcd + 1;

// Kind of a data model field: a column of a table, or an SQL expression.
enum TZFieldKind : uint8_t { zfkData, zfkVirtual };
constexpr int FieldKindCount = zfkVirtual + 1;

// A value outside the enumeration is written as ftUnknown.
QString FieldTypeToStr(TFieldType Value);
// The type whose name equals Name ignoring case; -1 when no name matches.
int StrToFieldType(const QString& Name);
// For readers that store the type: an unknown name gives ftUnknown, never an out-of-range value.
TFieldType StrToFieldTypeDef(const QString& Name);
// A stored ordinal outside the enumeration gives ftUnknown.
TFieldType FieldTypeFromOrdinal(int Ordinal);

QString FieldKindToStr(TZFieldKind Value);
int StrToFieldKind(const QString& Name);  // -1 when no name matches
