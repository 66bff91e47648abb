#pragma once

#include <QString>
#include <QStringList>

namespace rtl {

// A list of lines with the string-list conventions the system's texts rely on: Text joined with
// CR LF after every line, name=value lines looked up ignoring ASCII case, and comma text.
class StringList : public QStringList {
public:
    StringList() = default;
    StringList(const QStringList& other) : QStringList(other) {}
    StringList(std::initializer_list<QString> lines) : QStringList(lines) {}

    // Every line followed by CR LF; the empty list gives the empty text.
    QString Text() const;
    // Splits at CR LF, LF or CR; a final line break does not add an empty line.
    void SetText(const QString& text);

    // Items separated by commas; an item holding a blank, comma, quote or control character is
    // written in double quotes with inner quotes doubled.
    QString CommaText() const;
    // Items separated by commas or blanks (runs of blanks count once); an item in double quotes
    // keeps its commas and blanks, and a doubled quote inside it stands for one quote.
    void SetCommaText(const QString& text);

    // The index of the first line whose name (the text before the first "=") equals name
    // ignoring ASCII case; -1 when there is none.
    int IndexOfName(const QString& name) const;
    // The index of the first line equal to s ignoring ASCII case; -1 when there is none.
    int IndexOfText(const QString& s) const;
    // The name and the value of line index (EListError for a bad index); both empty when the line
    // has no "=".
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    QString Values(const QString& name) const;  // empty when there is no such line
    // Replaces the value of the line called name, appends "name=value" when there is none, and
    // deletes the line when value is empty.
    void SetValues(const QString& name, const QString& value);
};

}  // namespace rtl
