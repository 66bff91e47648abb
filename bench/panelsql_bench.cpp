// BuildQuery + GetSQL of a query panel holding the condition tree of select-N.sql, the rows made
// through the panel's own operations (brackets, conditions, fields, operators and values). Run it
// offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/panelsql_bench

#include "bench/selectpanel.h"
#include "querypanel/query/queryresult.h"

#include <benchmark/benchmark.h>

namespace {

void PanelBuildAndGetSQL(benchmark::State& state)
{
    PanelQuery query(int(state.range(0)));
    for (auto _ : state) {
        query.Panel.BuildQuery();
        benchmark::DoNotOptimize(query.Panel.QResult()->GetSQL());
    }
    state.counters["conditions"] = query.Conditions;
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(PanelBuildAndGetSQL)->Apply(selecttree::Sizes);
