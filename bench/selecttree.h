#pragma once

#include "core/base/zstrings.h"
#include "core/model/condition.h"
#include "querypanel/parser/sqlparser.h"
#include "querypanel/query/sqloptions.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

// The condition trees of the benchmark data select-N.sql, read by the project's SQL parser, as the
// query benchmarks rebuild them: brackets with their link types and conditions with a template.
namespace selecttree {

inline std::unique_ptr<TZSQLParser> Parse(int N)
{
    QFile file(QStringLiteral(NUV_BENCH_DATA "/select-%1.sql").arg(N));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("Cannot read %s", qPrintable(file.fileName()));
    auto parser = std::make_unique<TZSQLParser>();
    parser->SetSQL(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
    parser->Parse();
    return parser;
}

inline TFilterLinkType LinkTypeOf(const TSQLBracket* Bracket)
{
    const bool any = Bracket->LinkType() == QStringLiteral("or");
    return Bracket->Not() ? (any ? fltNone : fltNotAll) : (any ? fltAny : fltAll);
}

// A condition of the tree: its column, the template of its operator and its values.
struct TCondition {
    QString Field;
    QString Template;
    TValueKind Kind = vkScalar;
    QString Value;
    QString Value2;
};

inline TCondition ConditionOf(const TSQLCondition* Condition)
{
    TCondition result {Condition->LeftExpr(),
        QStringLiteral("@f ") + Condition->Operator() + QStringLiteral(" '@1'"), vkScalar,
        Condition->RightExpr(), QString()};
    QString& value = result.Value;
    if (Condition->Operator() == QStringLiteral("like")) {
        result.Template = value.startsWith(QStringLiteral("'%")) ? QStringLiteral("@f like '%@1%'")
                                                                 : QStringLiteral("@f like '@1%'");
        value.remove(u'%');
    } else if (Condition->Operator() == QStringLiteral("in")) {
        result.Template = QStringLiteral("@f in (@1)");
        result.Kind = vkList;
        QStringList items = value.mid(1, value.size() - 2).split(QStringLiteral(", "));
        for (QString& item : items)
            item = u'"' + UnquoteStr(item, u'\'') + u'"';
        value = items.join(u',');
    } else if (Condition->Operator() == QStringLiteral("between")) {
        result.Template = QStringLiteral("@f between '@1' and '@2'");
        result.Value2 = UnquoteStr(value.section(QStringLiteral(" and "), 1), u'\'');
        value = value.section(QStringLiteral(" and "), 0, 0);
    } else if (Condition->Operator() == QStringLiteral("is")) {
        result.Template = QStringLiteral("@f is null");
    }
    if (result.Kind == vkScalar)
        value = UnquoteStr(value, u'\'');
    return result;
}

// The sizes of the data, timed in microseconds, with the growth fitted.
inline void Sizes(benchmark::internal::Benchmark* B)
{
    B->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
}

}  // namespace selecttree
