// select-N.sql read back into the rows of a query panel over the model that bench/selectpanel.h
// makes for it: parsed, every comparison matched against the operator templates and built as a row.
// Run it offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/sqlreading_bench

#include "bench/selectpanel.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The model of select-N and a second panel over it that reads the statement.
struct Reading {
    explicit Reading(int N) : Query(N), Lines(selecttree::Parse(N)->SQL())
    {
        Panel.SetDbStruct(Query.Model());
    }
    PanelQuery Query;
    QStringList Lines;
    TZQueryPanel Panel;
};

// Each read starts from an empty panel; emptying it is not timed.
void Read(benchmark::State& state, bool Active)
{
    Reading reading(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        reading.Panel.Clear();
        if (Active)
            reading.Panel.Activate();
        state.ResumeTiming();
        reading.Panel.LoadFromSQL(reading.Lines);
    }
    state.counters["conditions"] = reading.Query.Conditions;
    state.SetComplexityN(state.range(0));
}

void SQLToRowsInactive(benchmark::State& state)
{
    Read(state, false);
}

void SQLToRowsActive(benchmark::State& state)
{
    Read(state, true);
}

// The same statement read again over the query it gave: the old query is saved (to be put back on
// failure) and its rows freed within the read.
void SQLToRowsOverPrevious(benchmark::State& state)
{
    Reading reading(int(state.range(0)));
    reading.Panel.LoadFromSQL(reading.Lines);
    for (auto _ : state)
        reading.Panel.LoadFromSQL(reading.Lines);
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(SQLToRowsInactive)->Apply(selecttree::Sizes);
BENCHMARK(SQLToRowsActive)->Apply(selecttree::Sizes);
BENCHMARK(SQLToRowsOverPrevious)->Apply(selecttree::Sizes);
