#include "core/model/fieldeditors.h"

#include "core/base/zstrings.h"
#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "core/tokenizer/scanner.h"
#include "rtl/stringlist.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

// The parameters written in an SQL text: a colon and a whole name, outside literals and comments.
class TParamText {
public:
    struct Spot {
        qsizetype Pos;  // of the colon
        QString Name;
    };

    explicit TParamText(const QStringList& SQL);
    // The lines joined with CR LF.
    const QString& Text() const { return FText; }
    // Where one of Names is written, in text order; of names that begin alike the longest wins.
    QList<Spot> Find(const QStringList& Names) const;

private:
    QString FText;
    // Per character of FText: part of a token that is neither a literal nor a comment.
    QList<bool> FCode;
    QList<qsizetype> FColons;
};

// A value handed to a query text: one whole SQL literal or a number, so that it can neither end a
// literal of the text nor add SQL of its own. An empty value is NULL, which equals nothing.
QString SQLValue(const QString& Name, const QString& Value)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (Value.isEmpty())
        return QStringLiteral("NULL");
    if (Value.startsWith(u'\'') ? SQLStringLiteral(UnquoteStr(Value, u'\'')) == Value
                                : number.match(Value).hasMatch())
        return Value;
    throw EZDBStructError::Create(dseBadParamValue, Value, Name);
}

TParamText::TParamText(const QStringList& SQL)
{
    rtl::StringList lines;
    lines.SetText(rtl::StringList(SQL).Text());
    // Lines joined with CR LF, as the scanner counts its positions.
    FText = lines.Text();
    FCode = QList<bool>(FText.size(), false);
    TZScanner scanner;
    scanner.SetSQLText();
    scanner.SetLines(lines);
    for (scanner.Start(); !scanner.Eof(); scanner.Next()) {
        const TZToken& token = scanner.GetToken(0);
        // A string, closed or not, is no code; every other token stands in the text as written.
        if (token.Kind == tkString || token.Text.isEmpty() || FText[token.Pos] == u'\'')
            continue;
        std::fill_n(FCode.begin() + token.Pos, token.Text.size(), true);
        if (token.Kind == tkDelimiter && token.Text == QLatin1String(":"))
            FColons.append(token.Pos);
    }
}

QList<TParamText::Spot> TParamText::Find(const QStringList& Names) const
{
    // Comments and literals are never code; blanks between words of a name may be.
    const auto inCode = [this](qsizetype From, qsizetype To) {
        for (qsizetype i = From; i < To; ++i) {
            if (!FCode[i] && !IsWhiteSpace(FText[i]))
                return false;
        }
        return true;
    };
    QList<Spot> spots;
    for (const qsizetype colon : FColons) {
        const qsizetype start = colon + 1;
        const QString* best = nullptr;
        for (const QString& name : Names) {
            const qsizetype end = start + name.size();
            if (name.isEmpty() || (best && name.size() <= best->size())
                || !QStringView(FText).sliced(start).startsWith(name))
                continue;
            if ((end == FText.size() || !IsIdentChar(FText[end])) && inCode(start, end))
                best = &name;
        }
        if (best)
            spots.append({colon, *best});
    }
    return spots;
}

}  // namespace

void TDSTextEditor::SetOption(uint32_t Bits, bool On)
{
    if (!On) {
        FOptions &= ~Bits;
        return;
    }
    FOptions |= Bits;
    // Upper and lower case exclude each other.
    if (Bits & eoUpperCase)
        FOptions &= ~eoLowerCase;
    if (Bits & eoLowerCase)
        FOptions &= ~eoUpperCase;
}

void TDSSQLEditor::SetParams(const QStringList& List)
{
    if (List == FParams)
        return;
    FParams = List;
    SetActive(false);
}

void TDSSQLEditor::SetActive(bool On)
{
    if (On == FActive)
        return;
    FActive = On;
    Items().clear();
    Values().clear();
    if (On) {
        FStructure->CheckDatabaseInfo();
        FStructure->DatabaseInfo()->GetSQLValues(GetSQLText(), Values(), Items());
    }
}

bool TDSSQLEditor::HasParam(const QString& Name) const
{
    const TParamText text(FSQL);
    return !text.Find({Name}).isEmpty();
}

QString TDSSQLEditor::GetSQLText() const
{
    QHash<QString, QString> values;
    QStringList names;
    for (const QString& line : FParams) {
        // A line without a name names no parameter.
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !values.contains(line.left(eq))) {
            names.append(line.left(eq));
            values.insert(names.last(), line.mid(eq + 1));
        }
    }
    const TParamText text(FSQL);
    QString result;
    qsizetype done = 0;
    for (const TParamText::Spot& spot : text.Find(names)) {
        result += QStringView(text.Text()).sliced(done, spot.Pos - done);
        result += SQLValue(spot.Name, values.value(spot.Name));
        done = spot.Pos + 1 + spot.Name.size();
    }
    result += QStringView(text.Text()).sliced(done);
    return result;
}

void TDSSQLEditor::Refresh()
{
    SetActive(false);
    SetActive(true);
}
