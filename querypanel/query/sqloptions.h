#pragma once

#include "core/model/enumset.h"

#include <cstdint>

// How the generated SELECT is written; the order of the members is the order of the stored bits.
enum TSQLOption : uint8_t {
    soASCIIRFields,
    soSelectDistinct,
    soQuoteAliases,
    soBracketJoins,
    soBracketConditions,
    soSortByNames,
    soFilter
};
using TSQLOptions = TEnumSet<TSQLOption>;

constexpr TSQLOptions DefaultSQLOptions {soASCIIRFields, soSelectDistinct};

// ssSQL1 lists the tables with commas and joins in WHERE; ssSQL2 writes JOIN ... ON; ssOracle is
// ssSQL1 with outer-join markers and TO_DATE literals.
enum TSQLSyntax : uint8_t { ssSQL1, ssSQL2, ssOracle };

// How the rows of a bracket combine: all, any, none or not all of them hold.
enum TFilterLinkType : uint8_t { fltAll, fltAny, fltNone, fltNotAll };
using TFilterLinkTypes = TEnumSet<TFilterLinkType>;

constexpr TFilterLinkTypes AllFilterLinkTypes {fltAll, fltAny, fltNone, fltNotAll};
