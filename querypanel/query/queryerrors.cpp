#include "querypanel/query/queryerrors.h"

#include <array>

namespace {

// Indexed by code - 1.
constexpr std::array<const char*, qpeLastCode> Messages {
    "No enough information for building query",
    "Can't add result table: wrong link",
    "DBStruct is not specified",
    "Invalid filter title",
    "Invalid string format",
    "Value '%s' is not valid for %s",
    "A value is required for %s",
    "Query was not built properly",
    "Condition %s has no field, operator or condition of the data model (%s)",
    "Conditions on totals and conditions on single records cannot be combined with \"any\" or \"not "
    "all\"",
    "Condition %s does not fit its group: conditions on totals and on single records need groups of "
    "their own",
    "The outer join of %s to %s cannot be written in this SQL dialect",
    "Conditions on totals need result fields",
    "The data model has no field whose expression is %s",
    "The statement does not read the main table %s: its FROM clause names %s",
    "The parameter of %s can stand for \"%s\" or for \"%s\", which write it differently",
    "A sub-query cannot hold parameters: %s",
    "Sorting by totals needs result fields",
    "Table aliases of the statement are not read: \"%s\" stands for \"%s\", whose alias in the data "
    "model is \"%s\"",
    "The statement joins %s, which the query read from it would not join",
    "The query read from the statement would join %s, which its FROM clause does not name",
    "The join of \"%s\" and \"%s\" would change: the statement writes %s, the data model's link %s",
    "The join of \"%s\" ON %s would change: the query read from the statement joins \"%s\" and \"%s\" by "
    "the data model's link, ON %s",
    "The join condition %s in WHERE would be dropped: the query read from the statement joins its tables "
    "otherwise",
    "The statement groups its joins otherwise than the query read from it would: it writes %s, the query %s",
    "GROUP BY would change: the statement writes %s, the query read from it would write %s",
    "Sub-queries cannot nest more than %d deep",
    "The sub-query of condition %s nests sub-queries more than %d deep",
    "Result field %s has no field of the data model (%s)",
};

}  // namespace

QString EZQueryPanelError::CodeMessage(TQueryPanelErrorCode Code)
{
    return QString::fromUtf8(Messages.at(Code - 1));
}
