#pragma once

#include "core/dbinfo/dbinfo.h"

// The size of the generated models the model benchmarks measure: 2,000 tables, 30,000 fields,
// 4,000 links.
constexpr int TableCount = 2000;
constexpr int FieldsPerTable = 15;
constexpr int LinkCount = 4000;

// Fields get their type without a database.
class OfflineDBInfo : public TZDBInfo {
public:
    bool IsConnected() override { return false; }
};
