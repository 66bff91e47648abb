#include "core/tokenizer/scanner.h"

#include <benchmark/benchmark.h>

namespace {

// SQL lines of the kind the query panel writes and users keep in script files, with comments, quoted
// names, doubled apostrophes, non-ASCII letters and numbers, repeated up to Size characters.
QStringList SqlText(qsizetype Size)
{
    const QStringList pattern {
        "SELECT DISTINCT Customers.CompanyName, SUM(Orders.Freight) as FreightSum, \"Order Details\".Qty",
        "FROM Orders",
        "     INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID /* the main link */",
        "WHERE (Orders.ShipName = 'Bob''s Diner' AND Orders.Freight >= 432.85)",
        "   OR NOT (Customers.City LIKE '%S\u00e3o Paulo%' OR Orders.EmployeeID IN (4, 5, 9)) // kept",
        "   AND Orders.OrderDate BETWEEN '08/12/1996' AND '02/22/1997' AND Orders.ShipVia <> 3",
        "GROUP BY Customers.CompanyName",
        "ORDER BY 2 DESC;",
    };
    QStringList lines;
    qsizetype size = 0;
    while (size < Size) {
        for (const QString& line : pattern) {
            lines.append(line);
            size += line.size() + 2;
        }
    }
    return lines;
}

void ScanSqlText(benchmark::State& state)
{
    const QStringList lines = SqlText(state.range(0));
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    TZScanner scanner;
    scanner.SetSyntax(zsSQL);
    scanner.SetLines(lines);
    qsizetype tokens = 0;
    for (auto _ : state) {
        tokens = 0;
        for (scanner.Start(); !scanner.Eof(); scanner.Next())
            ++tokens;
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["tokens"] = double(tokens);
}

}  // namespace

BENCHMARK(ScanSqlText)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
