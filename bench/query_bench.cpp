#include "core/base/zstrings.h"
#include "querypanel/parser/sqlparser.h"
#include "tests/querypanel/query/querytesting.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QHash>

using namespace querytesting;

namespace {

// The condition tree of select-N.sql, rebuilt as panel rows over Orders and Customers fields, so the
// query's WHERE text is made from the same tree other query builders were measured on.
class BenchQuery {
public:
    explicit BenchQuery(int N)
    {
        QFile file(QStringLiteral(NUV_BENCH_DATA "/select-%1.sql").arg(N));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("Cannot read %s", qPrintable(file.fileName()));
        TZSQLParser parser;
        parser.SetSQL(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts));
        parser.Parse();
        Copy(parser.Result().Root(), &Panel.Root);
    }

    int Conditions = 0;
    SampleModel S;
    FakePanel Panel {&S.Model};

private:
    static TFilterLinkType LinkTypeOf(const TSQLBracket* Bracket)
    {
        const bool any = Bracket->LinkType() == QStringLiteral("or");
        return Bracket->Not() ? (any ? fltNone : fltNotAll) : (any ? fltAny : fltAll);
    }

    void Copy(TSQLBracket* From, FakeNode* To)
    {
        for (TSQLConditionNode* node : From->Nodes()) {
            if (TSQLBracket* bracket = node->AsBracket()) {
                Copy(bracket, To->Bracket(LinkTypeOf(bracket)));
                continue;
            }
            auto* condition = static_cast<TSQLCondition*>(node);
            QString value = condition->RightExpr();
            QString value2;
            QString sqlTemplate = QStringLiteral("@f ") + condition->Operator() + QStringLiteral(" '@1'");
            TValueKind kind = vkScalar;
            if (condition->Operator() == QStringLiteral("like")) {
                sqlTemplate = value.startsWith(QStringLiteral("'%")) ? QStringLiteral("@f like '%@1%'")
                                                                     : QStringLiteral("@f like '@1%'");
                value.remove(u'%');
            } else if (condition->Operator() == QStringLiteral("in")) {
                sqlTemplate = QStringLiteral("@f in (@1)");
                kind = vkList;
                QStringList items = value.mid(1, value.size() - 2).split(QStringLiteral(", "));
                for (QString& item : items)
                    item = u'"' + UnquoteStr(item, u'\'') + u'"';
                value = items.join(u',');
            } else if (condition->Operator() == QStringLiteral("between")) {
                sqlTemplate = QStringLiteral("@f between '@1' and '@2'");
                value2 = UnquoteStr(value.section(QStringLiteral(" and "), 1), u'\'');
                value = value.section(QStringLiteral(" and "), 0, 0);
            } else if (condition->Operator() == QStringLiteral("is")) {
                sqlTemplate = QStringLiteral("@f is null");
            }
            if (kind == vkScalar)
                value = UnquoteStr(value, u'\'');
            To->Cond(FieldOf(condition->LeftExpr()), OperatorOf(sqlTemplate, kind), value, value2);
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

void BuildAndGetSQL(benchmark::State& state)
{
    BenchQuery query(int(state.range(0)));
    for (auto _ : state) {
        query.Panel.Result.BuildQuery();
        benchmark::DoNotOptimize(query.Panel.Result.GetSQL());
    }
    state.counters["conditions"] = query.Conditions;
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BuildAndGetSQL)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity();
