#include "querypanel/parser/sqlparser.h"

#include <benchmark/benchmark.h>

#include <QFile>

namespace {

// One SELECT statement whose WHERE clause holds N conditions in nested NOT/AND/OR groups.
QStringList Statement(int N)
{
    QFile file(QStringLiteral(NUV_BENCH_DATA "/select-%1.sql").arg(N));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Cannot read %s", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void ParseStatement(benchmark::State& state)
{
    const QStringList sql = Statement(int(state.range(0)));
    for (auto _ : state) {
        TZSQLParser parser;
        parser.SetSQL(sql);
        parser.Parse();
        benchmark::DoNotOptimize(parser.Result().Root());
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(ParseStatement)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();
