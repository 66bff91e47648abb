// The parts of model texts older than their current sections: operators from [Operations], tables
// from [Tables], fields from [Fields]. Writing such a model again converts it to the current form.
#include "core/model/modeltext.h"

#include "core/base/zstrings.h"
#include "core/model/fieldeditors.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

void TModelTextReader::ReadOperationLines()
{
    // Name=Caption,Template: such operators apply to no type until a field names them.
    for (const QString& line : SectionFromTop(QStringLiteral("Operations"))) {
        const QString value = StrAfter(QStringLiteral("="), line);
        FModel.AddOperator(OperatorNameOf(StrBefore(QStringLiteral("="), line)),
            StrBefore(QStringLiteral(","), value), TFieldTypes(), QString(),
            StrAfter(QStringLiteral(","), value));
    }
}

void TModelTextReader::ReadOperationSections()
{
    const rtl::StringList operations = SectionFromTop(QStringLiteral("Operations"));
    for (int i = 0; i < operations.size(); ++i) {
        const QString name = operations.Names(i);
        if (name.isEmpty())
            continue;
        const rtl::StringList section = Section(QStringLiteral("Operation:") + name, snPromised);
        // The caption is that of the line as written, also for a name that is renamed.
        FModel.AddOperator(OperatorNameOf(name), operations.ValueFromIndex(i),
            ReadAppliedTypes(section.Values(QStringLiteral("AppliedTypes")), FVersion < mtvFieldSections),
            section.Values(QStringLiteral("ValFormat")), section.Values(QStringLiteral("SQLName")));
    }
}

void TModelTextReader::ReadTableLines()
{
    // Trimmed, as the values of the current sections are: a name read back must be the name written.
    for (const QString& line : SectionFromTop(QStringLiteral("Tables"))) {
        FModel.AddTable(
            rtl::Trim(StrBefore(QStringLiteral("="), line)), rtl::Trim(StrAfter(QStringLiteral("="), line)));
    }
    // A table's section completes the table of its line: a second table of the same name and alias
    // would only stand in the first one's shadow.
    for (TDSTable* table : FModel.Tables())
        ReadTableSection(table, SectionFromTop(QStringLiteral("Table:") + table->Name()));
}

void TModelTextReader::ReadFieldLines()
{
    // Up to 1.21 a line is Key=Caption; later texts give the key alone and the caption in its section.
    const bool captioned = FVersion <= mtvFieldNameKey;
    for (const QString& line : SectionFromTop(QStringLiteral("Fields"))) {
        const QString key = captioned ? StrBefore(QStringLiteral("="), line) : line;
        const rtl::StringList section = SectionFromTop(QStringLiteral("Field:") + key, snPromised);
        const QString name = FVersion < mtvFieldNameKey ? key : section.Values(QStringLiteral("FieldName"));
        TDSField* field = FModel.Fields()[FModel.AddField(zfkData, rtl::Trim(name), nullptr,
            captioned ? rtl::Trim(StrAfter(QStringLiteral("="), line)) : QString())];
        TDSTable* table = FVersion < mtvTableSections
            ? FModel.FindTable(tlName, section.Values(QStringLiteral("TableName")))
            : FModel.FindTable(tlAlias, section.Values(QStringLiteral("TableAlias")));
        if (table)
            field->Tables().append(table);
        if (!captioned)
            field->SetDisplayName(rtl::Trim(section.Values(QStringLiteral("DisplayName"))));
        field->SetQuoted(StrToIntSafe(section.Values(QStringLiteral("Quoted"))) != 0);
        field->SetUIR(true);
        field->SetEditType(EditTypeOf(rtl::StrToInt(section.Values(QStringLiteral("EditType")))));
        field->SetFieldType(FieldTypeFromOrdinal(rtl::StrToInt(section.Values(QStringLiteral("FieldType")))));
        field->SetFieldSize(rtl::StrToInt(section.Values(QStringLiteral("FieldSize"))));
        if (auto* list = EditorOf<TDSListEditor>(*field)) {
            list->Items() = CommaList(section.Values(QStringLiteral("Items")));
            list->Values() = CommaList(section.Values(QStringLiteral("Values")));
        } else if (auto* sql = EditorOf<TDSSQLEditor>(*field); sql && FVersion >= mtvFieldSQL) {
            sql->SQL() = RawSection(QStringLiteral("Field:") + key + QStringLiteral(".SQL"), true);
        } else if (auto* editor = EditorOf<TDSTextEditor>(*field); editor && FVersion >= mtvFieldSQL) {
            editor->SetDefValue(rtl::Trim(section.Values(QStringLiteral("DefaultValue"))));
            editor->SetEditMask(rtl::Trim(section.Values(QStringLiteral("EditMask"))));
        }
        AddFieldOperators(field, section.Values(QStringLiteral("Operats")));
        if (field->Operators().isEmpty())
            field->SetUseInConditions(false);
    }
}
