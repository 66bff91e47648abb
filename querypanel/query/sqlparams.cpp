#include "querypanel/query/sqlparams.h"

#include "querypanel/query/querynodes.h"

TSQLParam::TSQLParam(TConditionNode* Condition, int ValueIndex)
    : FDataType(Condition->GetValueType(ValueIndex)), FCondition(Condition), FValueIndex(ValueIndex)
{
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
    for (TSQLParam* param : *this)
        if (param->Condition() == Condition && param->ValueIndex() == ValueIndex)
            return param;
    return nullptr;
}
