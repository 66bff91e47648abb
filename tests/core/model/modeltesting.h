#pragma once

#include "core/dbinfo/dbinfo.h"
#include "core/model/dbstructure.h"

#include <QHash>
#include <QList>

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

inline void PrintTo(const QString& Text, std::ostream* Stream)
{
    *Stream << '"' << Text.toStdString() << '"';
}

// Database information answering from fixed columns and SQL values, recording what it was asked.
class FakeDBInfo : public TZDBInfo {
public:
    bool Connected = true;
    QHash<QString, QList<TDBFieldInfo>> Columns;
    QStringList ReceivedInfo;
    QStringList SQLAsked;
    QStringList SQLValues;
    QStringList SQLItems;

    bool IsConnected() override { return Connected; }
    void GetFieldList(const QString& TableName, TDBFieldList& FieldList) override
    {
        for (const TDBFieldInfo& column : Columns.value(TableName))
            FieldList.Add(new TDBFieldInfo(column));
    }
    void LoadInfo(QStringList& Lines) override
    {
        ReceivedInfo = Lines;
        Lines.clear();
    }
    void GetSQLValues(const QString& SQL, QStringList& Values, QStringList& Items) override
    {
        SQLAsked.append(SQL);
        Values = SQLValues;
        Items = SQLItems;
    }
};

// Links a and b over one pair of equally named columns.
inline TDSLink* AddTestLink(
    TZCustomDBStructure& Model, TDSTable* A, TDSTable* B, const QString& Column = "ID")
{
    auto* link = new TDSLink;
    link->SetTable1(A);
    link->SetTable2(B);
    link->SetFields1({Column});
    link->SetFields2({Column});
    Model.AddLink(link);
    return link;
}

inline TDSTable* AddTestTable(TZCustomDBStructure& Model, const QString& Name)
{
    return Model.Tables()[Model.AddTable(Name, Name)];
}

inline QStringList Aliases(const TDSTableList& Tables)
{
    QStringList aliases;
    for (const TDSTable* table : Tables)
        aliases.append(table->Alias());
    return aliases;
}

using TStructError = std::pair<int, QString>;

// The code and message of the EZDBStructError that Action raises; code 0 when it raises none.
template <typename F>
TStructError StructError(F&& Action)
{
    try {
        Action();
    } catch (const EZDBStructError& e) {
        return {e.ErrorCode(), e.Message()};
    }
    return {0, QString()};
}

// A model over database information that is not connected, so data fields are added without columns.
class ModelTest : public testing::Test {
protected:
    FakeDBInfo info;
    TZCustomDBStructure model;

    ModelTest()
    {
        info.Connected = false;
        model.SetDatabaseInfo(&info);
    }
    TDSTable* T(const QString& Name) { return AddTestTable(model, Name); }
    TDSField* Add(TZFieldKind Kind, const QString& Expr, TDSTable* Table = nullptr)
    {
        return model.Fields()[model.AddField(Kind, Expr, Table, Expr)];
    }
};
