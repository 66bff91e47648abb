#include "bench/generatedmodel.h"
#include "core/model/dbstructure.h"
#include "core/model/fieldeditors.h"
#include "rtl/stringlist.h"
#include "rtl/textfile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

// 2,000 tables, 30,000 fields in a group per table, 4,000 links, written once to a temporary file.
// Every fifth field has a list editor and every fifteenth an SQL editor, so all section kinds occur.
struct TModelFile {
    QTemporaryDir Dir;
    QString Path = Dir.filePath(QStringLiteral("struct.dbs"));
    qint64 Lines = 0;

    TModelFile()
    {
        OfflineDBInfo info;
        TZCustomDBStructure model;
        model.SetDatabaseInfo(&info);
        for (int t = 0; t < TableCount; ++t) {
            const QString name = QStringLiteral("Table%1").arg(t);
            TDSTable* table = model.Tables()[model.AddTable(name, QStringLiteral("Table number %1").arg(t))];
            auto* group = new TDSFieldGroup(&model);
            group->SetGroupName(name);
            model.FieldGroups().Add(group);
            for (int f = 0; f < FieldsPerTable; ++f) {
                const QString field = QStringLiteral("T%1Field%2").arg(t).arg(f);
                TDSField* added = model.Fields()[model.AddField(zfkData, field, table, field)];
                added->ResetOperators();
                added->SetGroup(group);
                if (f % 5 == 1) {
                    added->SetEditType(2);
                    static_cast<TDSListEditor*>(added->Editor())->Items()
                        = {"first value", "second", "third"};
                    static_cast<TDSListEditor*>(added->Editor())->Values() = {"1", "2", "3"};
                } else if (f == 14) {
                    added->SetEditType(4);
                    static_cast<TDSSQLEditor*>(added->Editor())->SQL()
                        = {"SELECT DISTINCT " + field, "FROM " + name, "ORDER BY 1"};
                }
            }
        }
        std::mt19937 random(2024);
        std::uniform_int_distribution<int> pick(0, TableCount - 1);
        for (int l = 0; l < LinkCount; ++l) {
            auto* link = new TDSLink;
            link->SetTable1(model.Tables()[l < TableCount ? l : pick(random)]);
            link->SetTable2(model.Tables()[pick(random)]);
            link->SetFields1({QStringLiteral("ID")});
            link->SetFields2({QStringLiteral("ParentID")});
            model.AddLink(link);
        }
        model.SaveToFile(Path);
        QStringList lines;
        model.SaveToStrings(lines);
        Lines = lines.size();
    }
};

TModelFile& File()
{
    static TModelFile file;
    return file;
}

// The floor a reader cannot go below: the file read, decoded and split into lines.
void BM_ReadLinesOnly(benchmark::State& State)
{
    const QString path = File().Path;
    for (auto _ : State) {
        rtl::StringList lines;
        lines.SetText(rtl::ReadTextFile(path));
        benchmark::DoNotOptimize(lines.size());
    }
    State.counters["lines"] = double(File().Lines);
}
BENCHMARK(BM_ReadLinesOnly)->Unit(benchmark::kMillisecond);

// A read into a new model, as a model is opened; the model is freed outside the timing.
void BM_LoadFromFile(benchmark::State& State)
{
    OfflineDBInfo info;
    const QString path = File().Path;
    for (auto _ : State) {
        auto model = std::make_unique<TZCustomDBStructure>();
        model->SetDatabaseInfo(&info);
        model->LoadFromFile(path);
        State.PauseTiming();
        if (model->GetTableCount() != TableCount || model->Fields().Count() != TableCount * FieldsPerTable
            || model->GetLinkCount() != LinkCount)
            State.SkipWithError("the model read back is not the model written");
        model.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

// A read that replaces a model of the same size, which goes first.
void BM_ReloadFromFile(benchmark::State& State)
{
    OfflineDBInfo info;
    TZCustomDBStructure model;
    model.SetDatabaseInfo(&info);
    const QString path = File().Path;
    model.LoadFromFile(path);
    for (auto _ : State)
        model.LoadFromFile(path);
}
BENCHMARK(BM_ReloadFromFile)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& State)
{
    OfflineDBInfo info;
    TZCustomDBStructure model;
    model.SetDatabaseInfo(&info);
    model.LoadFromFile(File().Path);
    const QString path = File().Dir.filePath(QStringLiteral("written.dbs"));
    for (auto _ : State)
        model.SaveToFile(path);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

}  // namespace
