#pragma once

#include "core/base/fieldtypes.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// One column of a database table as database information reports it.
struct TDBFieldInfo {
    QString Name;
    int Size = 0;
    TFieldType FieldType = ftUnknown;
};

// A table's columns, owning its items. Its text form (Count=, then F<i>Name=, F<i>Size=, F<i>Type=
// for i from 1) is also the reply format of gate libraries and of the wizard's callbacks.
class TDBFieldList {
public:
    TDBFieldList() = default;
    TDBFieldList(const TDBFieldList&) = delete;
    TDBFieldList& operator=(const TDBFieldList&) = delete;
    virtual ~TDBFieldList() = default;

    int Count() const { return int(FItems.size()); }
    // Raises rtl::EListError for an index outside the list.
    TDBFieldInfo* GetItem(int Index) const;
    // Takes ownership of Item.
    int Add(TDBFieldInfo* Item);
    virtual void Clear();

    // The first field whose name equals Name ignoring ASCII case; null when none.
    TDBFieldInfo* FindField(const QString& Name) const;
    // Lines := the field list text.
    void SaveToStrings(QStringList& Lines) const;
    // The field list text as a new UTF-8 text, CR LF after every line; free it with DisposeText.
    char* GetAsText() const;
    // Destination := a copy of this list, through the text form.
    void CopyTo(TDBFieldList& Destination) const;

private:
    std::vector<std::unique_ptr<TDBFieldInfo>> FItems;
};

// FieldList := the fields of a field list text. A missing, empty or non-positive Count reads no
// field; a missing name or size reads as empty or 0; an unknown type name reads as ftUnknown.
void LoadFieldListFromStrings(TDBFieldList& FieldList, const QStringList& Lines);
// The same from one null-terminated UTF-8 text split at CR, LF or CR LF; null reads as empty.
void LoadFieldListFromText(TDBFieldList& FieldList, const char* Text);

// The lines of a null-terminated UTF-8 text that crossed a plug-in boundary, split at CR, LF or
// CR LF; null reads as no line.
QStringList LinesFromText(const char* Text);
// The lines as UTF-8 with CR LF after every line, for a text passed into a plug-in call.
QByteArray LinesUtf8(const QStringList& Lines);
// Texts handed to a plug-in: the lines as a new null-terminated UTF-8 text with CR LF after every
// line. The plug-in gives it back and DisposeText frees it, so allocation and release stay in
// this module.
char* NewLinesText(const QStringList& Lines);
void DisposeText(char* Text);
