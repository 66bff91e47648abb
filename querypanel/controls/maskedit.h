#pragma once

#include "rtl/exception.h"

#include <QLineEdit>
#include <QList>

// The text of a masked edit does not satisfy its mask.
class EDBEditError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// A line edit driven by the masks that model files store: "mask;save literals;blank". In the mask
// L l are a letter, A a a letter or digit, C c any character, 0 9 a digit and # a digit or sign (the
// first of each pair required, the second optional); > < <> switch case; \ quotes the next character;
// : and / stand for the locale's time and date separators and _ for a blank; "!" is accepted and
// ignored. The save field "0" keeps the literals out of Text; the blank character defaults to "_".
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* Parent = nullptr);

    const QString& EditMask() const { return FEditMask; }
    void SetEditMask(const QString& Value);

    // The text as shown: literals, and the blank character in every empty position.
    QString EditText() const;
    void SetEditText(const QString& Value);
    // The text as a value: with saved literals the text without blanks, else only the typed characters.
    QString Text() const;

    // Raises EDBEditError when the user changed the text and a required position is empty.
    void ValidateEdit();

private:
    QString FEditMask;
    bool FSaveLiterals = true;
    QChar FBlank = '_';
    QList<bool> FLiteral;  // per position of the shown text: a literal, not an input position
};
