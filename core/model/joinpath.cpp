// The join-path search and the scan of SQL expressions for the tables they name.
#include "core/model/dbstructure.h"

#include "core/tokenizer/scanner.h"
#include "rtl/stringlist.h"

#include <QHash>

const TDSPath& TZCustomDBStructure::FindPath(const QString& Alias1, const QString& Alias2)
{
    TDSTable* start = FindTable(tlAlias, Alias1);
    if (!start)
        throw EZDBStructError::Create(dseNoSuchTable, Alias1);
    TDSTable* goal = FindTable(tlAlias, Alias2);
    if (!goal)
        throw EZDBStructError::Create(dseNoSuchTable, Alias2);

    // Breadth-first, each table taken the first time it is reached: the first of the shortest
    // chains in the order of the tables' links, in time proportional to tables plus links.
    QHash<TDSTable*, TDSTable*> cameFrom {{start, nullptr}};
    QList<TDSTable*> queue {start};
    for (qsizetype head = 0; head < queue.size(); ++head) {
        TDSTable* table = queue[head];
        for (TDSLink* link : table->Links()) {
            TDSTable* other = link->Table1() == table ? link->Table2() : link->Table1();
            if (other == goal) {
                TDSPath path(this);
                for (TDSTable* t = table; t; t = cameFrom.value(t))
                    path.FTables.prepend(t);
                path.Add(goal);
                FPath.Assign(path);
                return FPath;
            }
            if (!cameFrom.contains(other)) {
                cameFrom.insert(other, table);
                queue.append(other);
            }
        }
    }
    throw EZDBStructError::Create(dseNoPath);
}

void ParseExprTables(
    const TZCustomDBStructure* Model, const QString& Expr, TDSTableList& Tables, QStringList* References)
{
    rtl::StringList lines;
    lines.SetText(Expr);
    TZScanner scanner;
    scanner.SetSQLText();
    scanner.SetLines(lines);
    scanner.Start();
    for (; !scanner.Eof(); scanner.Next()) {
        if (scanner.GetTokenKind() != tkDelimiter || scanner.GetTokenText() != QLatin1String("."))
            continue;
        const TZToken before = scanner.GetToken(-1);
        if (before.Kind == tkNumber)
            continue;
        TDSTable* table = Model->FindTable(tlAlias, before.Text);
        if (!table)
            table = Model->FindTable(tlName, before.Text);
        if (!table)
            continue;
        Tables.append(table);
        if (References)
            References->append(before.Text + u'.' + scanner.GetToken(1).Text);
    }
}
