#pragma once

#include "core/model/field.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class TZCustomDBStructure;

// The kinds of value editor, as a field's EditType and the model text number them.
enum TDSEditType : uint8_t { etNone, etText, etList, etCustom, etSQL };

// How the query panel lets a user enter a value for a field; the base offers nothing.
class TDSValueEditor {
public:
    virtual ~TDSValueEditor() = default;
    virtual void Refresh() {}
    // The field's model changes: an editor that asks the model follows it.
    virtual void MoveTo(TZCustomDBStructure*) {}
};

// Free text, a mask, a date or a time.
class TDSTextEditor : public TDSValueEditor {
public:
    static constexpr uint8_t EditType = etText;
    // Option bits: input turned to upper or to lower case, never both.
    static constexpr uint32_t eoUpperCase = 1;
    static constexpr uint32_t eoLowerCase = 2;

    uint32_t Options() const { return FOptions; }
    void SetOptions(uint32_t Value) { FOptions = Value; }
    const QString& DefValue() const { return FDefValue; }
    void SetDefValue(const QString& Value) { FDefValue = Value; }
    const QString& EditMask() const { return FEditMask; }
    void SetEditMask(const QString& Value) { FEditMask = Value; }
    // 0 Simple, 1 Mask, 2 Date, 3 Time.
    uint8_t EditKind() const { return FEditKind; }
    void SetEditKind(uint8_t Value) { FEditKind = Value; }
    // 0 String, 1 Integer, 2 Float.
    uint8_t ValType() const { return FValType; }
    void SetValType(uint8_t Value) { FValType = Value; }
    // With a mask, the value taken is the formatted text.
    bool FmtVal() const { return FFmtVal; }
    void SetFmtVal(bool Value) { FFmtVal = Value; }

    bool HasOption(uint32_t Bits) const { return (FOptions & Bits) == Bits; }
    void SetOption(uint32_t Bits, bool On);

private:
    uint32_t FOptions = 0;
    QString FDefValue;
    QString FEditMask;
    uint8_t FEditKind = 0;
    uint8_t FValType = 0;
    bool FFmtVal = false;
};

// A fixed list: the texts shown and the SQL value behind each.
class TDSListEditor : public TDSValueEditor {
public:
    static constexpr uint8_t EditType = etList;
    QStringList& Items() { return FItems; }
    const QStringList& Items() const { return FItems; }
    QStringList& Values() { return FValues; }
    const QStringList& Values() const { return FValues; }

private:
    QStringList FItems;
    QStringList FValues;
};

// A list fetched by an SQL text whose parameters (":Name") come from the query panel.
class TDSSQLEditor : public TDSListEditor {
public:
    static constexpr uint8_t EditType = etSQL;

    explicit TDSSQLEditor(TZCustomDBStructure* Structure) : FStructure(Structure) {}

    TZCustomDBStructure* Structure() const { return FStructure; }
    // Runs its query through the new model from now on.
    void MoveTo(TZCustomDBStructure* Structure) override { FStructure = Structure; }
    QStringList& SQL() { return FSQL; }
    const QStringList& SQL() const { return FSQL; }
    // Name=Value lines.
    const QStringList& Params() const { return FParams; }
    // Other parameters make the lists stale: the editor turns inactive.
    void SetParams(const QStringList& List);
    bool Active() const { return FActive; }
    // On runs the query through the model's database information.
    void SetActive(bool On);

    // Whether the SQL text holds the parameter Name as a whole name outside literals and comments.
    bool HasParam(const QString& Name) const;
    // The SQL text with each parameter of Params replaced by its value, which must be one SQL
    // literal or a number (no value at all gives NULL); others raise EZDBStructError.
    QString GetSQLText() const;
    // Runs the query again with the current parameters.
    void Refresh() override;

private:
    TZCustomDBStructure* FStructure;
    QStringList FSQL;
    QStringList FParams;
    bool FActive = false;
};

// Free data for the host program.
class TDSCustomEditor : public TDSValueEditor {
public:
    static constexpr uint8_t EditType = etCustom;
    QStringList& CustomData() { return FCustomData; }
    const QStringList& CustomData() const { return FCustomData; }

private:
    QStringList FCustomData;
};

// The field's editor as T when the field's edit type is the one that makes a T; nil otherwise.
template <typename T>
T* EditorOf(const TDSField& Field)
{
    return Field.EditType() == T::EditType ? static_cast<T*>(Field.Editor()) : nullptr;
}
