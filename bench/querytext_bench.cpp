// The query text of a panel holding the condition tree of select-N.sql: saved, and read into a panel
// that is inactive (rows only) and into one that is active (rows with their widgets). Run it
// offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/querytext_bench

#include "bench/selectpanel.h"
#include "rtl/stringlist.h"

#include <benchmark/benchmark.h>

namespace {

void QueryTextSave(benchmark::State& state)
{
    PanelQuery query(int(state.range(0)));
    for (auto _ : state) {
        rtl::StringList lines;
        query.Panel.SaveToStrings(lines);
        benchmark::DoNotOptimize(lines);
    }
    state.counters["conditions"] = query.Conditions;
    state.SetComplexityN(state.range(0));
}

void Load(benchmark::State& state, bool Active)
{
    PanelQuery query(int(state.range(0)));
    rtl::StringList lines;
    query.Panel.SaveToStrings(lines);
    TZQueryPanel panel;
    panel.SetDbStruct(query.Model());
    panel.SetActive(Active);
    for (auto _ : state)
        panel.LoadFromStrings(lines);
    state.counters["conditions"] = query.Conditions;
    state.counters["lines"] = double(lines.size());
    state.SetComplexityN(state.range(0));
    panel.SetDbStruct(nullptr);
}

void QueryTextLoadInactive(benchmark::State& state)
{
    Load(state, false);
}

void QueryTextLoadActive(benchmark::State& state)
{
    Load(state, true);
}

}  // namespace

BENCHMARK(QueryTextSave)->Apply(selecttree::Sizes);
BENCHMARK(QueryTextLoadInactive)->Apply(selecttree::Sizes);
BENCHMARK(QueryTextLoadActive)->Apply(selecttree::Sizes);
