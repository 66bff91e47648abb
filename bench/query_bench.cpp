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
    // The tree of select-N.sql, or Copies of it side by side under an "any" root.
    explicit BenchQuery(int N, int Copies = 0)
    {
        const auto parser = selecttree::Parse(N);
        if (Copies == 0)
            Copy(parser->Result().Root(), &Panel.Root);
        for (int i = 0; i < Copies; ++i)
            Copy(parser->Result().Root(), Panel.Root.Bracket(fltAny));
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

void Run(benchmark::State& state, BenchQuery& Query)
{
    for (auto _ : state) {
        Query.Panel.Result.BuildQuery();
        benchmark::DoNotOptimize(Query.Panel.Result.GetSQL());
    }
    state.counters["conditions"] = Query.Conditions;
    state.SetComplexityN(Query.Conditions);
}

void BuildAndGetSQL(benchmark::State& state)
{
    BenchQuery query(int(state.range(0)));
    Run(state, query);
}

// Trees beyond the largest benchmark file, made of copies of the 1,000-condition one: the time per
// condition once the tree no longer fits in the processor's caches.
void BuildAndGetSQLCopies(benchmark::State& state)
{
    BenchQuery query(1000, int(state.range(0)));
    Run(state, query);
}

}  // namespace

BENCHMARK(BuildAndGetSQL)->Apply(selecttree::Sizes);
BENCHMARK(BuildAndGetSQLCopies)
    ->Arg(1)
    ->Arg(10)
    ->Arg(30)
    ->Arg(100)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
