#include "core/model/condition.h"

#include "core/model/dbstructure.h"

#include <cstdio>

int TDSOperator::GetParamCount() const
{
    // Counted for every condition of every build: the slot text is made without an allocation.
    int count = 0;
    char slot[16];
    while (FSQLName.contains(QLatin1String(slot, std::snprintf(slot, sizeof slot, "@%d", count + 1))))
        ++count;
    return count;
}

void TDSValue::Assign(const TDSValue& Value)
{
    FDataType = Value.FDataType;
    FValueKind = Value.FValueKind;
    FText = Value.FText;
}

TDSCondition::TDSCondition(TZCustomDBStructure* Structure) : FStructure(Structure)
{
}

void TDSCondition::SetSQLExpr(const QString& Text)
{
    if (Text == FSQLExpr)
        return;
    FSQLExpr = Text;
    // Tables of the old text would add joins the condition no longer needs.
    FTables.clear();
    ParseExprTables(FStructure, FSQLExpr, FTables, nullptr);
}

void TDSCondition::SetDisplayFormat(const QString& Text)
{
    if (Text == FDF)
        return;
    FDF = Text;
    FValues.Clear();
    qsizetype p = 0;
    for (qsizetype q = FDF.indexOf(u'@'); q >= 0; q = FDF.indexOf(u'@', p)) {
        auto* value = new TDSValue;
        value->SetDataType(ftString);
        value->SetText(FDF.mid(p, q - p));
        FValues.Add(value);
        p = q + 1;
    }
}

QString TDSCondition::GetCaption() const
{
    if (FValues.Count() == 0)
        return FDF;
    QStringList texts;
    for (const TDSValue* value : FValues)
        texts.append(value->Text());
    return texts.join(u' ');
}

int TDSConditionList::Add(TDSCondition* Condition)
{
    if (Condition->ID() == 0)
        Condition->SetID(FLastID + 1);
    SeeID(Condition->ID());
    return TZObjectList<TDSCondition>::Add(Condition);
}

int TDSConditionList::IndexOfID(int ID) const
{
    for (int i = 0; i < Count(); ++i) {
        if (GetItem(i)->ID() == ID)
            return i;
    }
    return -1;
}
