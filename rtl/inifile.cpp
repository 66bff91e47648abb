#include "rtl/inifile.h"

#include "rtl/numbers.h"
#include "rtl/strutils.h"
#include "rtl/textfile.h"

#include <QFileInfo>

namespace rtl {

namespace {

QString KeyOf(const QString& line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QString() : Trim(line.left(eq));
}

QString ValueOf(const QString& line)
{
    return line.mid(line.indexOf('=') + 1);
}

bool IsHeader(const QString& line)
{
    return TrimLeft(line).startsWith('[');
}

}  // namespace

IniFile::IniFile(const QString& path) : FFileName(path)
{
    // A link that leads nowhere is read too, so that it is named instead of taken for no file.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        FLines.SetText(ReadTextFile(path));
}

int IniFile::FindSection(const QString& section) const
{
    const QString header = '[' + section + ']';
    for (int i = 0; i < FLines.size(); ++i) {
        if (SameText(Trim(FLines[i]), header))
            return i;
    }
    return -1;
}

int IniFile::SectionEnd(int header) const
{
    int i = header + 1;
    while (i < FLines.size() && !IsHeader(FLines[i]))
        ++i;
    return i;
}

int IniFile::FindKey(int header, const QString& key) const
{
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (FLines[i].contains('=') && SameText(KeyOf(FLines[i]), key))
            return i;
    }
    return -1;
}

bool IniFile::SectionExists(const QString& section) const
{
    return FindSection(section) >= 0;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    const int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const int header = FindSection(section);
    const int line = header < 0 ? -1 : FindKey(header, key);
    return line < 0 ? defaultValue : ValueOf(FLines[line]);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    return StrToIntDef(Trim(ReadString(section, key, QString())), defaultValue);
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return TextToBool(Trim(ReadString(section, key, QString())), defaultValue);
}

void IniFile::ReadSection(const QString& section, StringList& keys) const
{
    keys.clear();
    const int header = FindSection(section);
    if (header < 0)
        return;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (FLines[i].contains('='))
            keys.append(KeyOf(FLines[i]));
    }
}

void IniFile::ReadSectionValues(const QString& section, StringList& lines) const
{
    lines.clear();
    const int header = FindSection(section);
    if (header < 0)
        return;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (FLines[i].contains('='))
            lines.append(FLines[i]);
    }
}

void IniFile::ReadSections(StringList& sections) const
{
    sections.clear();
    for (const QString& line : FLines) {
        const QString trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed.startsWith('[') && trimmed.endsWith(']'))
            sections.append(trimmed.mid(1, trimmed.size() - 2));
    }
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const int header = FindSection(section);
    if (header < 0) {
        FLines.append('[' + section + ']');
        FLines.append(key + '=' + value);
        return;
    }
    const int line = FindKey(header, key);
    if (line >= 0) {
        // The key keeps its spelling and everything before the "=".
        FLines[line] = FLines[line].left(FLines[line].indexOf('=') + 1) + value;
        return;
    }
    // After the section's last line, before the blank lines that part it from the next one.
    int at = SectionEnd(header);
    while (at - 1 > header && Trim(FLines[at - 1]).isEmpty())
        --at;
    FLines.insert(at, key + '=' + value);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::DeleteKey(const QString& section, const QString& key)
{
    const int header = FindSection(section);
    const int line = header < 0 ? -1 : FindKey(header, key);
    if (line >= 0)
        FLines.removeAt(line);
}

void IniFile::EraseSection(const QString& section)
{
    // Every copy of the section goes, or a later one would take its place on the next read.
    for (int header = FindSection(section); header >= 0; header = FindSection(section))
        FLines.remove(header, SectionEnd(header) - header);
}

void IniFile::UpdateFile() const
{
    WriteTextFile(FFileName, FLines.Text());
}

}  // namespace rtl
