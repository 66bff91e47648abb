#include "bench/generatedmodel.h"
#include "core/model/dbstructure.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

QString TableName(int Index)
{
    return QStringLiteral("Table%1").arg(Index);
}

// A chain of links through every table, so the first and the last are far apart, and random
// links over the rest of the budget: 2,000 tables, 30,000 fields, 4,000 links.
struct TGeneratedModel {
    OfflineDBInfo Info;
    TZCustomDBStructure Model;

    TGeneratedModel()
    {
        Model.SetDatabaseInfo(&Info);
        for (int t = 0; t < TableCount; ++t) {
            TDSTable* table = Model.Tables()[Model.AddTable(TableName(t), TableName(t))];
            for (int f = 0; f < FieldsPerTable; ++f) {
                const QString name = QStringLiteral("T%1Field%2").arg(t).arg(f);
                Model.AddField(zfkData, name, table, name);
            }
        }
        std::mt19937 random(2024);
        std::uniform_int_distribution<int> pick(0, TableCount - 1);
        for (int l = 0; l < LinkCount; ++l) {
            const int a = l < TableCount - 1 ? l : pick(random);
            const int b = l < TableCount - 1 ? l + 1 : pick(random);
            auto* link = new TDSLink;
            link->SetTable1(Model.Tables()[a]);
            link->SetTable2(Model.Tables()[b]);
            link->SetFields1({QStringLiteral("ID")});
            link->SetFields2({QStringLiteral("ID")});
            Model.AddLink(link);
        }
    }
};

TGeneratedModel& Generated()
{
    static TGeneratedModel generated;
    return generated;
}

void BM_BuildModel(benchmark::State& State)
{
    for (auto _ : State) {
        TGeneratedModel generated;
        benchmark::DoNotOptimize(generated.Model.GetTableCount());
    }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindPathFarTables(benchmark::State& State)
{
    TZCustomDBStructure& model = Generated().Model;
    const QString from = TableName(0);
    const QString to = TableName(TableCount - 1);
    for (auto _ : State)
        benchmark::DoNotOptimize(model.FindPath(from, to).GetCount());
    State.counters["tables in path"] = model.Path().GetCount();
}
BENCHMARK(BM_FindPathFarTables)->Unit(benchmark::kMicrosecond);

void BM_FindTableByName(benchmark::State& State)
{
    TZCustomDBStructure& model = Generated().Model;
    const QString name = TableName(TableCount - 7).toUpper();
    for (auto _ : State)
        benchmark::DoNotOptimize(model.FindTable(0, name));
}
BENCHMARK(BM_FindTableByName);

void BM_FindFieldByName(benchmark::State& State)
{
    TZCustomDBStructure& model = Generated().Model;
    const QString name = QStringLiteral("t1990field14");
    for (auto _ : State)
        benchmark::DoNotOptimize(model.FindField(0, name));
}
BENCHMARK(BM_FindFieldByName);

void BM_FieldByID(benchmark::State& State)
{
    TZCustomDBStructure& model = Generated().Model;
    for (auto _ : State)
        benchmark::DoNotOptimize(model.FieldByID(TableCount * FieldsPerTable - 3));
}
BENCHMARK(BM_FieldByID);

}  // namespace
