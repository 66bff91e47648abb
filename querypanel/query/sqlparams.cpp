#include "querypanel/query/sqlparams.h"

#include "querypanel/query/querynodes.h"
#include "rtl/strutils.h"

TSQLParam::TSQLParam(TConditionNode* Condition, int ValueIndex, const TSQLParamList* List)
    : FDataType(Condition->GetValueType(ValueIndex)), FCondition(Condition), FValueIndex(ValueIndex),
      FList(List)
{
}

void TSQLParam::SetName(const QString& Value)
{
    FName = Value;
    if (!FList)
        return;
    if (const QList<TSQLParam*> others = FList->Namesakes(this); !others.isEmpty())
        FValue = others.first()->FValue;
}

void TSQLParam::SetValue(const QString& Text)
{
    FValue = Text;
    // A parameter taken out of the list is no longer one with those left in it.
    if (!FList || !FList->Contains(this))
        return;
    for (TSQLParam* other : FList->Namesakes(this))
        other->FValue = Text;
}

void TSQLParam::SetCaption(const QString& Text)
{
    if (Text == FCaption)
        return;
    FCaption = Text;
    FCondition->SetValueCaption(FValueIndex, Text);
}

void TSQLParamList::DeleteParamsOf(const TConditionNode* Condition)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (GetItem(i)->Condition() == Condition)
            DeleteAndFree(i);
}

TSQLParam* TSQLParamList::FindParam(const TConditionNode* Condition, int ValueIndex) const
{
    const TKey key {Condition, ValueIndex};
    const auto standsAt = [&](int Position) {
        TSQLParam* param = Position < Count() ? GetItem(Position) : nullptr;
        return param && param->Condition() == Condition && param->ValueIndex() == ValueIndex ? param
                                                                                             : nullptr;
    };
    if (!FIndexed)
        Reindex();
    const auto found = FPositions.constFind(key);
    if (found == FPositions.cend())
        return nullptr;
    if (TSQLParam* param = standsAt(*found))
        return param;
    // The list changed without an event since the index was made.
    Reindex();
    const auto again = FPositions.constFind(key);
    return again == FPositions.cend() ? nullptr : standsAt(*again);
}

QList<TSQLParam*> TSQLParamList::Namesakes(const TSQLParam* Param) const
{
    QList<TSQLParam*> others;
    for (TSQLParam* other : *this)
        if (other && other != Param && rtl::SameText(other->Name(), Param->Name()))
            others.append(other);
    return others;
}

void TSQLParamList::SetItem(int Index, TSQLParam* Item)
{
    TZObjectList::SetItem(Index, Item);
    FIndexed = false;
}

void TSQLParamList::Changed()
{
    FIndexed = false;
    TZObjectList::Changed();
}

void TSQLParamList::Reindex() const
{
    FPositions.clear();
    for (int i = Count() - 1; i >= 0; --i)
        if (const TSQLParam* param = GetItem(i))
            FPositions.insert({param->Condition(), param->ValueIndex()}, i);
    FIndexed = true;
}
