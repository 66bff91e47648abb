#include "bench/selecttree.h"
#include "tests/querypanel/query/querytesting.h"

#include <benchmark/benchmark.h>

#include <QHash>

using namespace querytesting;

namespace {

// The condition tree of select-N.sql, rebuilt as panel rows over Orders and Customers fields, so the
// query's WHERE text is made from the same tree other query builders were measured on.
class BenchQuery {
public:
    explicit BenchQuery(int N)
    {
        const auto parser = selecttree::Parse(N);
        Copy(parser->Result().Root(), &Panel.Root);
    }

    int Conditions = 0;
    SampleModel S;
    FakePanel Panel {&S.Model};

private:
    void Copy(TSQLBracket* From, FakeNode* To)
    {
        for (TSQLConditionNode* node : From->Nodes()) {
            if (TSQLBracket* bracket = node->AsBracket()) {
                Copy(bracket, To->Bracket(selecttree::LinkTypeOf(bracket)));
                continue;
            }
            const selecttree::TCondition c = selecttree::ConditionOf(static_cast<TSQLCondition*>(node));
            To->Cond(FieldOf(c.Field), OperatorOf(c.Template, c.Kind), c.Value, c.Value2);
            ++Conditions;
        }
    }

    TDSField* FieldOf(const QString& Name)
    {
        TDSField*& field = FFields[Name];
        if (!field)
            field = S.Field(Name.startsWith(QStringLiteral("Orders.")) ? S.Orders : S.Customers,
                Name.section(u'.', 1), ftString, Name);
        return field;
    }

    TDSOperator* OperatorOf(const QString& Template, TValueKind Kind)
    {
        TDSOperator*& op = FOperators[Template];
        if (!op) {
            op = S.Operator(QStringLiteral("Bench%1").arg(FOperators.size()), Template);
            op->SetValueKind(Kind);
        }
        return op;
    }

    QHash<QString, TDSField*> FFields;
    QHash<QString, TDSOperator*> FOperators;
};

void BuildAndGetSQL(benchmark::State& state)
{
    BenchQuery query(int(state.range(0)));
    for (auto _ : state) {
        query.Panel.Result.BuildQuery();
        benchmark::DoNotOptimize(query.Panel.Result.GetSQL());
    }
    state.counters["conditions"] = query.Conditions;
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BuildAndGetSQL)->Apply(selecttree::Sizes);
