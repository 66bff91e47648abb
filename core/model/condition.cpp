#include "core/model/condition.h"

#include "core/model/dbstructure.h"

void TDSOperator::SetSQLName(const QString& Value)
{
    FSQLName = Value;
    FParamCount = 0;
    while (FSQLName.contains(u'@' + QString::number(FParamCount + 1)))
        ++FParamCount;
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
