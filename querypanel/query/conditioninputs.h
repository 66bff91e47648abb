#pragma once

#include "core/base/fieldtypes.h"
#include "core/model/condition.h"
#include "querypanel/query/sqloptions.h"

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

class TConditionNode;
class TDSField;
class TDSTable;
class TSQLParam;

// One step of a WHERE or HAVING clause, in text order; a condition piece names its entry in the
// conditions read.
struct TClausePiece {
    enum TKind : uint8_t { Open, Link, Condition, Close } Kind;
    TFilterLinkType LinkType = fltAll;
    int Input = -1;
};

struct TValueInput {
    QString Text;
    TSQLParam* Param = nullptr;
    TFieldType Type = ftUnknown;
    TValueKind Kind = vkScalar;
};

// What a condition's text is made of, as its row answered.
struct TConditionInput {
    TConditionNode* Node = nullptr;
    // A simple condition's field; none for a predefined one.
    const TDSField* Field = nullptr;
    QList<TDSTable*> Tables;
    QString Template;
    // The condition's values are the values read from FirstValue on.
    int FirstValue = 0;
    int ValueCount = 0;
};

// The condition tree of one build, read from its rows once and in order: the rows of a large tree
// lie far apart in memory, so the tables and the texts are then made from these lists. The query
// result keeps them from build to build, and a build reuses their memory.
struct TConditionInputs {
    std::vector<TClausePiece> Where;
    std::vector<TClausePiece> Having;
    std::vector<TConditionInput> Conditions;
    std::vector<TValueInput> Values;
    // The name each field goes into the texts with.
    QHash<const TDSField*, QString> FieldNames;

    void Clear()
    {
        Where.clear();
        Having.clear();
        Conditions.clear();
        Values.clear();
        FieldNames.clear();
    }
};
