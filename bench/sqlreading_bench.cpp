// select-N.sql read back into the rows of a query panel over the model that bench/selectpanel.h
// makes for it: parsed, every comparison matched against the operator templates and built as a row.
// Run it offscreen: QT_QPA_PLATFORM=offscreen build-bench/bench/sqlreading_bench

#include "bench/selectpanel.h"
#include "querypanel/query/queryerrors.h"

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

// A statement whose condition holds a sub-query whose condition holds a sub-query, and so on, N
// deep: each level keeps the query text of the one below quoted inside its own. Written on one line
// or with a line break before each FROM and WHERE, which each level's text keeps escaped.
QStringList NestedStatement(int N, bool LineBreaks)
{
    const QString lineBreak = LineBreaks ? QStringLiteral("\n") : QStringLiteral(" ");
    QString condition = QStringLiteral("Orders.ShipName = 'Bob''s Diner'");
    for (int level = 0; level < N; ++level)
        condition = QStringLiteral("Orders.OrderID in (SELECT Orders.OrderID%1FROM Orders%1WHERE %2)")
                        .arg(lineBreak, condition);
    return (QStringLiteral("SELECT *%1FROM Orders%1WHERE ").arg(lineBreak) + condition).split(u'\n');
}

// A panel over the model of select-10 with a sub-query operator.
struct NestedReading : Reading {
    NestedReading() : Reading(10)
    {
        TZCustomDBStructure* model = Query.Model();
        const QString name = QStringLiteral("BenchInSubQuery");
        model
            ->Operators()[model->AddOperator(
                name, name, TFieldTypes {ftString}, QString(), QStringLiteral("@f in (@1)"))]
            ->SetValueKind(vkSubQuery);
        for (TDSField* field : model->Fields())
            field->AddOperatorByName(name);
    }
};

// The statement N deep read into the panel; "text" is the size of the query text it gives.
void NestedSubQueriesToRows(benchmark::State& state)
{
    NestedReading reading;
    reading.Lines = NestedStatement(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        reading.Panel.Clear();
        state.ResumeTiming();
        reading.Panel.LoadFromSQL(reading.Lines);
    }
    rtl::StringList text;
    reading.Panel.SaveToStrings(text);
    state.counters["text"] = double(text.Text().size());
}

// A statement deeper than a query takes: refused before any level's text is written.
void NestedSubQueriesRefused(benchmark::State& state)
{
    NestedReading reading;
    reading.Lines = NestedStatement(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        try {
            reading.Panel.LoadFromSQL(reading.Lines);
            state.SkipWithError("read");
        } catch (const EZQueryPanelError&) {
        }
    }
}

}  // namespace

BENCHMARK(NestedSubQueriesToRows)
    ->ArgsProduct({{1, 5, MaxSubQueryDepth}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(NestedSubQueriesRefused)
    ->ArgsProduct({{MaxSubQueryDepth + 1, 30, 100}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SQLToRowsInactive)->Apply(selecttree::Sizes);
BENCHMARK(SQLToRowsActive)->Apply(selecttree::Sizes);
BENCHMARK(SQLToRowsOverPrevious)->Apply(selecttree::Sizes);
