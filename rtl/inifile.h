#pragma once

#include "rtl/stringlist.h"

#include <QString>

namespace rtl {

// An INI file held as a list of lines ([Section] headers, Key=Value lines), with the section and
// key rules of the system's own files: names compared ignoring ASCII case (headers and keys
// without the blanks around them), values taken as they stand after the first "=", order and
// foreign lines kept, nothing escaped or quoted.
class IniFile {
public:
    IniFile() = default;
    // Reads the file when it exists (EFileError when it exists but cannot be read, or is a link to
    // a missing file or a loop).
    explicit IniFile(const QString& path);

    const QString& FileName() const { return FFileName; }
    StringList& Lines() { return FLines; }
    const StringList& Lines() const { return FLines; }

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // The default also when the value is not an integer.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // "0" and "false" (any case) read as false, other non-empty values as true; missing or empty
    // values give the default.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void ReadSection(const QString& section, StringList& keys) const;  // key names
    void ReadSectionValues(const QString& section, StringList& lines) const;  // Key=Value lines
    void ReadSections(StringList& sections) const;

    // Replaces the value in place, or appends the key to its section, or appends the section.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);  // "1" or "0"
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

    // Writes the lines to FileName (UTF-8, CR LF, through a temporary file).
    void UpdateFile() const;

private:
    int FindSection(const QString& section) const;  // index of the header line or -1
    int SectionEnd(int header) const;  // index past the section's last line
    int FindKey(int header, const QString& key) const;

    QString FFileName;
    StringList FLines;
};

}  // namespace rtl
