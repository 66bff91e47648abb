#include "querypanel/query/queryresult.h"

#include "core/base/zstrings.h"
#include "core/model/dbstructure.h"
#include "querypanel/query/queryerrors.h"
#include "rtl/numbers.h"
#include "rtl/strutils.h"

#include <QSet>

#include <algorithm>

TQueryResult::TQueryResult(TQueryOwner* Panel) : FPanel(Panel), FResultFields(Panel->DbStruct())
{
    FResultFields.SetPanel(Panel);
    SetSQLOptions(FSQLOptions);
}

void TQueryResult::SetSQLOptions(TSQLOptions Value)
{
    FSQLOptions = Value;
    FResultFields.SetASCIIAliases(Value.Contains(soASCIIRFields));
}

void TQueryResult::UpdateDBStruct()
{
    FResultFields.SetDBStruct(DbStruct());
}

TSQLParam* TQueryResult::AddParam(TConditionNode* Condition, int ValueIndex)
{
    auto* param = new TSQLParam(Condition, ValueIndex, &FParams);
    // The lowest number no parameter carries: after a deletion a new name never repeats another.
    // The names are gathered once: asking every parameter about every number made loading a query
    // cubic in its parameters.
    QSet<QString> taken;
    for (const TSQLParam* other : FParams)
        taken.insert(rtl::LowerCase(other->Name()));
    for (int n = FParamNumberBase + 1;; ++n) {
        const QString name = QStringLiteral("Param") + QString::number(n);
        if (!taken.contains(rtl::LowerCase(name))) {
            param->SetName(name);
            break;
        }
    }
    const QString caption
        = FPanel->GetTitle(QStringLiteral("ttlParameter")) + u' ' + Condition->GetFieldName();
    TSQLParam* first = ValueIndex == 2 ? FParams.FindParam(Condition, 1) : nullptr;
    TSQLParam* second = ValueIndex == 1 ? FParams.FindParam(Condition, 2) : nullptr;
    if (first) {
        first->SetCaption(caption + QStringLiteral(" 1"));
        param->SetCaption(caption + QStringLiteral(" 2"));
    } else if (second) {
        second->SetCaption(caption + QStringLiteral(" 2"));
        param->SetCaption(caption + QStringLiteral(" 1"));
    } else {
        param->SetCaption(caption);
    }
    FParams.Add(param);
    FPanel->ParamListChanged();
    return param;
}

void TQueryResult::DeleteCondParams(const TConditionNode* Condition)
{
    FParams.DeleteParamsOf(Condition);
    FPanel->ParamListChanged();
}

void TQueryResult::ClearParams()
{
    FParams.Clear();
    FPanel->ParamListChanged();
}

void TQueryResult::RemoveParam(TSQLParam* Param)
{
    FParams.Remove(Param);
    FPanel->ParamListChanged();
}

QString TQueryResult::BracketCondition(const QString& Text) const
{
    return FPanel->SQLOptions().Contains(soBracketConditions) ? u'(' + Text + u')' : Text;
}

void TQueryResult::AddWhereCondition(const QString& Text)
{
    FWhere.append(BracketCondition(Text));
}

void TQueryResult::AddHavingCondition(const QString& Text)
{
    FHaving += u' ' + BracketCondition(Text);
}

void TQueryResult::MakeAliasesASCII()
{
    if (FSQLOptions.Contains(soASCIIRFields))
        for (int i = 0; i < FResultFields.Count(); ++i)
            if (HasNonASCII(FResultFields[i]->Alias()))
                FResultFields[i]->SetAlias(u'C' + QString::number(i + 1));
}

QString TQueryResult::GetSelectClause()
{
    MakeAliasesASCII();
    QString text = FSQLOptions.Contains(soSelectDistinct) ? QStringLiteral("SELECT DISTINCT ")
                                                          : QStringLiteral("SELECT ");
    if (FResultFields.JustSorting() || FResultFields.Count() == 0)
        return text + u'*';
    for (int i = 0; i < FResultFields.Count(); ++i) {
        if (i > 0)
            text += QStringLiteral(", ");
        text += FResultFields[i]->GetSQLText();
    }
    return text;
}

void TQueryResult::CheckJoinsWritable() const
{
    // Old-style joins mark outer joins with (+) in Oracle only, and never a full one.
    for (int i = 1; i < FResultTables.Count(); ++i) {
        const TResultTable& entry = FResultTables.GetItem(i);
        const TLinkType type = entry.Link->LinkType();
        if ((FSQLSyntax == ssSQL1 && type != ltInner) || (FSQLSyntax == ssOracle && type == ltFull)) {
            const TDSTable* other
                = entry.Link->Table1() == entry.Table ? entry.Link->Table2() : entry.Link->Table1();
            throw EZQueryPanelError::Create(qpeJoinNotWritable, entry.Table->Name(), other->Name());
        }
    }
}

const QStringList& TQueryResult::GetFromClause()
{
    if (FResultTables.Count() == 0)
        throw EZQueryPanelError::Create(qpeNotBuilt);
    CheckJoinsWritable();
    FOldStyleJoins = false;
    FFromLines.clear();
    FFromLines.append(QStringLiteral("FROM %B%") + FResultTables.GetItem(0).Table->GetSQLName());
    const bool bracketJoins = FPanel->SQLOptions().Contains(soBracketJoins);
    int brackets = 0;
    for (int i = 1; i < FResultTables.Count(); ++i) {
        const TResultTable& entry = FResultTables.GetItem(i);
        if (FSQLSyntax != ssSQL2) {
            FFromLines.last() += QStringLiteral(", ");
            FFromLines.append(QStringLiteral("     ") + entry.Table->GetSQLName());
            FOldStyleJoins = true;
            continue;
        }
        const bool side2 = entry.Link->Table2() == entry.Table;
        QString word;
        switch (entry.Link->LinkType()) {
        case ltInner:
            word = QStringLiteral("INNER");
            break;
        case ltLeft:
            word = side2 ? QStringLiteral("LEFT OUTER") : QStringLiteral("RIGHT OUTER");
            break;
        case ltRight:
            word = side2 ? QStringLiteral("RIGHT OUTER") : QStringLiteral("LEFT OUTER");
            break;
        case ltFull:
            word = QStringLiteral("FULL");
            break;
        }
        QString line = QStringLiteral("     ") + word + QStringLiteral(" JOIN ") + entry.Table->GetSQLName()
            + QStringLiteral(" ON ") + entry.Link->GetJoinCondition(1);
        if (bracketJoins && i < FResultTables.Count() - 1) {
            line += u')';
            ++brackets;
        }
        FFromLines.append(line);
    }
    FFromLines[0].replace(QStringLiteral("%B%"), QString(brackets, u'('));
    return FFromLines;
}

bool TQueryResult::GetJoinConditions(QStringList& Lines) const
{
    const int mode = FSQLSyntax == ssOracle ? 2 : 1;
    for (int i = 1; i < FResultTables.Count(); ++i) {
        if (i > 1)
            Lines.last() += QStringLiteral(" AND");
        Lines.append(
            QStringLiteral("   ") + BracketCondition(FResultTables.GetItem(i).Link->GetJoinCondition(mode)));
    }
    return FResultTables.Count() > 1;
}

const QStringList& TQueryResult::GetSQL()
{
    FSQLLines.clear();
    FSQLLines.append(GetSelectClause());
    FSQLLines.append(GetFromClause());
    if (FOldStyleJoins || !FWhere.isEmpty()) {
        FSQLLines.append(QStringLiteral("WHERE"));
        if (FOldStyleJoins && GetJoinConditions(FSQLLines) && !FWhere.isEmpty())
            FSQLLines.last() += QStringLiteral(" AND");
        FSQLLines.append(FWhere);
    }
    if (!FGroupBy.isEmpty())
        FSQLLines.append(QStringLiteral("GROUP BY ") + FGroupBy);
    if (!FHaving.isEmpty())
        FSQLLines.append(QStringLiteral("HAVING ") + FHaving);
    if (!FOrderBy.isEmpty())
        FSQLLines.append(QStringLiteral("ORDER BY ") + FOrderBy);
    return FSQLLines;
}

double StrToFloatOrZero(const QString& Text)
{
    return Text.isEmpty() ? 0 : rtl::StrToFloat(Text);
}

bool HasNonASCII(const QString& Text)
{
    return std::any_of(Text.begin(), Text.end(), [](QChar ch) { return ch.unicode() >= 128; });
}
