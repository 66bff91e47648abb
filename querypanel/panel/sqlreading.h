#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The placeholders an operator template holds ("@f", "@1", "@2", ...) with the texts a match found
// for them. A bound name is not read from the text: the text must hold its value where the template
// holds the name.
class TNameList {
public:
    // "@f", "@1" and "@2" with empty values.
    TNameList();

    int Count() const { return int(FItems.size()); }
    const QString& Name(int I) const { return FItems.at(I).Name; }
    const QString& Value(int I) const { return FItems.at(I).Value; }
    // The value of Name (any letter case); empty for a name the list lacks.
    QString Value(QStringView Name) const;
    // Adds a name the list lacks. Literal: the value was read from inside a string literal of the
    // text, so it is a value whatever it holds.
    void SetValue(QStringView Name, const QString& Value, bool Literal = false);
    void Bind(QStringView Name, const QString& Value);
    bool IsBound(QStringView Name) const;
    bool IsLiteral(QStringView Name) const;
    // Empties the values that are not bound, so that no attempt sees what an earlier one found.
    void ClearValues();

private:
    struct Item {
        QString Name;
        QString Value;
        bool Bound = false;
        bool Literal = false;
    };
    int IndexOf(QStringView Name) const;

    QList<Item> FItems;
};

// Whether Text is Template with a value in place of each placeholder; the values go into NameList.
// Words of the template are compared ignoring letter case, and blanks between them may be missing
// or added. A value inside a quoted span of the template reads to the span's closing apostrophe,
// doubled apostrophes included (as they stand in the text); an apostrophe of the template that the
// text lacks (a number written without quotes) is passed over.
bool MatchTemplate(QStringView Template, QStringView Text, TNameList& NameList);
// Template with each placeholder of the list replaced by its value; a value is never read again.
QString ApplyValues(const QString& Template, const TNameList& NameList);
