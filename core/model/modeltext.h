#pragma once

#include "core/model/dbstructure.h"
#include "rtl/stringlist.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Versions of the model text in thousandths: from each of these on, the text holds a part in its
// newer form; below it the reader takes the older one.
enum TModelTextVersion : int {
    mtvOldest = 1100,  // a text without a version
    mtvOperationSections = 1200,  // [Operation:<Name>] sections beside the [Operations] lines
    mtvFieldNameKey = 1210,  // the field name from FieldName, no longer the [Fields] line
    mtvTableSections = 1400,  // [Table:<i>] sections; tables referred to by alias
    mtvFieldSQL = 1600,  // field SQL sections, DefaultValue and EditMask
    mtvFieldSections = 2000,  // [Field:<i>] sections; applied types by name
    mtvOperatorSections = 2010,  // [Operator:<i>] sections
    mtvRootGroup = 2610,
    mtvRootFieldsFirst = 2620,
    mtvValueType = 2900,  // operator value kind from ValueType, no longer ValueIsList
    mtvGroupIDs = 2920,  // group members by field ID, no longer by SQL expression
    mtvEditTypes = 3000,  // edit types no longer stored one lower
    mtvUIR = 3200,  // UIR no longer stored inverted
    mtvValueKind = 3500,  // operator value kind from ValueKind
    mtvNewest = mtvValueKind,  // the version the writer writes; a newer text is not read
};

// The sections of a list of lines, found and read by the rules of FindIniSection and
// ReadIniSection, but looking at header lines only, found once: a model text has tens of thousands
// of sections in hundreds of thousands of lines.
class TIniSectionIndex {
public:
    explicit TIniSectionIndex(const QStringList& Lines);

    int Find(int Start, const QString& Name);
    // The non-blank lines of the section whose header Find gave; answers the section's last line.
    int Read(int Header, QStringList& Dest) const;
    // Every line whose trimmed text begins with "[", in ascending order.
    const QList<int>& Brackets() const { return FBrackets; }

private:
    const QStringList& FLines;
    // Every line whose trimmed text begins with "[", in ascending order.
    QList<int> FBrackets;
    // Headers looked at so far; past a few passes over all of them, a table answers instead.
    qsizetype FLookedAt = 0;
    // Each header, trimmed and folded, with its lines in ascending order; made when needed.
    QHash<QString, QList<int>> FHeaders;
};

// Reads a model text of any version into a new model. Raises EZDBStructError naming the section
// at fault; the model is then only fit to be thrown away.
class TModelTextReader {
public:
    TModelTextReader(TZCustomDBStructure& Model, const QStringList& Lines);

    void Read();

    // Lines whose text starts with "[" are kept behind this mark in the sections written as lines
    // (field SQL, database-specific lines), so that they do not end their section.
    static const QString RawLineMark;

private:
    // A section that a count of [Main], or a list of an older text, promises: the writer of that
    // text always wrote it, so a text without it is damaged, not a model with an empty item.
    enum TSectionNeed { snOptional, snPromised };
    // The families of numbered sections that a key of [Main] counts: each from a version on, older
    // texts give those items in sections named after them, or in lists.
    enum TCounted { ctOperators, ctTables, ctFields, ctGroups, ctConditions, ctCount };
    struct TCountedFamily {
        const char* Prefix;
        const char* Key;
        int From;
    };
    static const TCountedFamily CountedFamilies[ctCount];

    void ReadAll();
    // Sections a count of [Main] promises, and no others of their family: one beyond its count, or
    // of a family whose count is missing, would be dropped by the next save.
    void CheckCountedSections(const rtl::StringList& Main, const int (&Counts)[ctCount]) const;
    bool IsCounted(TCounted Family) const;
    // The section of a family with the number Index, which its count promises.
    rtl::StringList CountedSection(TCounted Family, int Index);
    // The non-blank lines of a section, looked for from where the previous lookup ended.
    rtl::StringList Section(const QString& Name, TSectionNeed Need = snOptional);
    rtl::StringList SectionFromTop(const QString& Name, TSectionNeed Need = snOptional);
    // A section written as lines, without the marks of RawLineMark.
    QStringList RawSection(const QString& Name, bool FromTop);
    int Count(const rtl::StringList& Main, const QString& Key) const;

    void ReadOperatorSection(int Index);
    TValueKind ReadValueKind(const rtl::StringList& Section) const;
    TFieldTypes ReadAppliedTypes(const QString& Text, bool ByOrdinal) const;
    void ReadTableSection(TDSTable* Table, const rtl::StringList& Section);
    void ReadLinks(bool ByName);
    void ReadFieldSection(int Index);
    // Field IDs are unique in a model: a field whose ID an earlier field has gets a free one.
    void MakeFieldIDsUnique();
    // The operators a comma text names; code 6 for a name the model lacks.
    void AddFieldOperators(TDSField* Field, const QString& Text);
    void AddFieldOperator(TDSField* Field, const QString& Name);
    void ReadGroups(int Count);
    void AddGroupMembers(TDSFieldGroup* Group, const QString& Text);
    std::unique_ptr<TDSCondition> ReadConditionSection(int Index);

    // Texts older than the sections of the current version.
    void ReadOperationLines();
    void ReadOperationSections();
    void ReadTableLines();
    void ReadFieldLines();

    TDSTable* NewTable();
    // The edit type a text stores, as the model numbers it; one it does not know is none.
    static uint8_t EditTypeOf(int Stored);

    TZCustomDBStructure& FModel;
    const QStringList& FLines;
    TIniSectionIndex FSections;
    int FVersion = mtvOldest;
    int FPosition = 0;
    QString FSectionName;
    QHash<QString, TDSOperator*> FOperatorsByName;
};

// Items of a comma text.
QStringList CommaList(const QString& Text);
