#pragma once

#include "core/base/latticeerror.h"

// Failures of the query panel and its query; the codes and their messages are in one table.
enum TQueryPanelErrorCode {
    qpeNotEnoughInfo = 1,
    qpeWrongLink,
    qpeNoDbStruct,
    qpeInvalidFilterTitle,
    qpeInvalidStringFormat,
    qpeBadValue,
    qpeValueRequired,
    qpeNotBuilt,
    qpeIncompleteCondition,
    qpeMixedAggregates,
    qpeNestedAggregate,
    qpeJoinNotWritable,
    qpeTotalsNeedResultFields,
    // SQL read back into the panel
    qpeNoFieldIsExpression,
    qpeMainTableNotRead,
    qpeParamWrittenTwoWays,
    qpeParamInSubQuery,
    // Building the statement
    qpeSortingByTotalsNeedsResultFields,
    // SQL read back into the panel: tables and joins the query would not read as the statement does
    qpeTableAliasNotRead,
    qpeTablesNotJoined,
    qpeTablesNotNamed,
    qpeJoinWouldChange,
    qpeJoinConditionNotRead,
    qpeJoinConditionInWhere,
    qpeJoinsGroupedOtherwise,
    // SQL read back into the panel: a grouping the query would not write
    qpeGroupingWouldChange,
    // Sub-queries nested deeper than a query takes
    qpeSubQueriesTooDeep,
    qpeStoredSubQueriesTooDeep,
    // Building the statement: a result field over a field the data model no longer has
    qpeResultFieldNotInModel,
    qpeLastCode = qpeResultFieldNotInModel
};

class EZQueryPanelError : public EZLatticeError {
public:
    using EZLatticeError::EZLatticeError;

    // The error of that code with its message formatted with Args.
    template <typename... Args>
    static EZQueryPanelError Create(TQueryPanelErrorCode Code, const Args&... args)
    {
        return EZQueryPanelError(Code, rtl::Format(CodeMessage(Code), args...));
    }
    static QString CodeMessage(TQueryPanelErrorCode Code);
};
