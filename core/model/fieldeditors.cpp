#include "core/model/fieldeditors.h"

#include "core/base/zstrings.h"
#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"
#include "rtl/stringlist.h"

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
    return rtl::StringList(FSQL).Text().contains(u':' + Name);
}

QString TDSSQLEditor::GetSQLText() const
{
    QString text = rtl::StringList(FSQL).Text();
    for (const QString& line : FParams) {
        // A line without a name would replace every colon of the text.
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            text = ReplaceAll(text, u':' + line.left(eq), line.mid(eq + 1));
    }
    return text;
}

void TDSSQLEditor::Refresh()
{
    SetActive(false);
    SetActive(true);
}
