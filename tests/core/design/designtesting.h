#pragma once

#include "tests/core/model/modeltesting.h"

#include <QHash>
#include <QListWidget>
#include <QStringList>
#include <QTest>

// Databases with their tables and fixed columns; notes "database/table" for every field lookup,
// and a table named in Failing raises.
class PickerDBInfo : public FakeDBInfo {
public:
    QHash<QString, QStringList> Tables;
    QStringList Failing;
    QStringList FieldsAsked;

    void GetDatabaseNames(QStringList& Lines) override { Lines = Tables.keys(); }
    void GetTables(QStringList& Lines) override { Lines = Tables.value(GetCurrentDBName()); }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        FieldsAsked.append(GetCurrentDBName() + u'/' + TableName);
        if (Failing.contains(TableName))
            throw rtl::Exception("no such table " + TableName);
        FakeDBInfo::GetFieldList(TableName, FieldList);
    }
};

inline QStringList Rows(const QListWidget* List)
{
    QStringList rows;
    for (int i = 0; i < List->count(); ++i)
        rows.append(List->item(i)->text());
    return rows;
}

inline void ClickRow(QListWidget* List, int Row, Qt::KeyboardModifiers Keys = {})
{
    QTest::mouseClick(List->viewport(), Qt::LeftButton, Keys, List->visualItemRect(List->item(Row)).center());
}
