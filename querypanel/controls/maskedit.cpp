#include "querypanel/controls/maskedit.h"

#include "rtl/formatsettings.h"

namespace {

// Characters that Qt's input masks read as commands, so a literal of the mask must be escaped.
const QString QtMaskCommands = QStringLiteral("AaNnXx90Dd#HhBb<>!\\[]{};");

// The input positions of a stored mask and the Qt codes for them, pair by pair.
const QString StoredCodes = QStringLiteral("LlAaCc09#");
const QString QtCodes = QStringLiteral("AaNnXx90#");

// The fields of "mask;save;blank"; a quoted ";" belongs to the mask.
QStringList SplitMaskFields(const QString& Mask)
{
    QStringList fields {QString()};
    for (qsizetype i = 0; i < Mask.size(); ++i) {
        if (Mask[i] == '\\' && i + 1 < Mask.size()) {
            fields.last() += Mask.mid(i, 2);
            ++i;
        } else if (Mask[i] == ';' && fields.size() < 3) {
            fields.append(QString());
        } else {
            fields.last() += Mask[i];
        }
    }
    return fields;
}

}  // namespace

TMaskEdit::TMaskEdit(QWidget* Parent) : QLineEdit(Parent)
{
}

void TMaskEdit::SetEditMask(const QString& Value)
{
    if (Value == FEditMask)
        return;
    FEditMask = Value;
    const QStringList fields = SplitMaskFields(Value);
    FSaveLiterals = fields.size() < 2 || fields[1] != "0";
    FBlank = fields.size() > 2 && !fields[2].isEmpty() ? fields[2][0] : QChar('_');
    FLiteral.clear();

    const QString& mask = fields[0];
    QString qtMask;
    auto addLiteral = [&](QChar Ch) {
        if (QtMaskCommands.contains(Ch))
            qtMask += '\\';
        qtMask += Ch;
        FLiteral.append(true);
    };
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar ch = mask[i];
        if (ch == '\\' && i + 1 < mask.size()) {
            addLiteral(mask[++i]);
        } else if (ch == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
            qtMask += '!';
            ++i;
        } else if (ch == '<' || ch == '>') {
            qtMask += ch;
        } else if (ch == '!') {
            continue;
        } else if (StoredCodes.contains(ch)) {
            qtMask += QtCodes[StoredCodes.indexOf(ch)];
            FLiteral.append(false);
        } else if (ch == ':') {
            addLiteral(rtl::formatSettings().TimeSeparator);
        } else if (ch == '/') {
            addLiteral(rtl::formatSettings().DateSeparator);
        } else if (ch == '_') {
            addLiteral(' ');
        } else {
            addLiteral(ch);
        }
    }
    setInputMask(FLiteral.isEmpty() ? QString() : qtMask + ';' + FBlank);
}

QString TMaskEdit::EditText() const
{
    return displayText();
}

void TMaskEdit::SetEditText(const QString& Value)
{
    setText(Value);
}

QString TMaskEdit::Text() const
{
    if (FSaveLiterals || FLiteral.isEmpty())
        return text();
    const QString shown = displayText();
    QString result;
    for (qsizetype i = 0; i < shown.size() && i < FLiteral.size(); ++i) {
        if (!FLiteral[i] && shown[i] != FBlank)
            result += shown[i];
    }
    return result;
}

void TMaskEdit::ValidateEdit()
{
    if (!FLiteral.isEmpty() && isModified() && !hasAcceptableInput())
        throw EDBEditError("Invalid input value.  Use escape key to abandon changes");
}
