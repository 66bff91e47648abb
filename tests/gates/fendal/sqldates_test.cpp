#include "gates/fendal/sqldates.h"

#include <gtest/gtest.h>

namespace {

struct Rewrite {
    const char* SQL;
    const char* Expected;
};

}  // namespace

TEST(DateLiterals, MonthDayYearLiteralsBecomeTheStoredForm)
{
    const Rewrite cases[] = {
        {"WHERE Orders.OrderDate > '12/31/1997'", "WHERE Orders.OrderDate > '1997-12-31'"},
        {"d BETWEEN '1/2/1997' AND '02/03/1998'", "d BETWEEN '1997-01-02' AND '1998-02-03'"},
        {"d >= '12/31/1997 08:30:05'", "d >= '1997-12-31 08:30:05'"},
        {"d >= '12/31/1997 8:30'", "d >= '1997-12-31 08:30:00'"},
        // Midnight compares equal to the stored date alone.
        {"d = '12/31/1997 00:00:00'", "d = '1997-12-31'"},
        {"d IN ('2/29/1996', '3/1/1996')", "d IN ('1996-02-29', '1996-03-01')"},
        {"'it''s' = '1/1/2000'", "'it''s' = '2000-01-01'"},
    };
    for (const Rewrite& c : cases)
        EXPECT_EQ(RewriteDateLiterals(c.SQL), c.Expected) << c.SQL;
}

TEST(DateLiterals, EverythingElseStaysAsWritten)
{
    const char* const unchanged[] = {
        "d = '2/30/1998'",  // no such day
        "d = '2/29/1997'",  // not a leap year
        "d = '13/01/1998'",  // month/day/year only
        "d = '12/31/97'",  // two-digit year
        "d = '12/31/1997 24:00'",  // no such time
        "d = '12/31/1997x'",
        "d LIKE '12/31/1997%'",
        "n = 'O''Hara 12/31/1997'",
        "\"12/31/1997\" = [12/31/1997]",
        "-- '12/31/1997'\nSELECT 1",
        "/* '12/31/1997' */ SELECT 1",
        "c = 'São Paulo' AND d = '1997-12-31'",
        "d = '12/31/1997",  // unclosed literal
        "",
    };
    for (const char* sql : unchanged)
        EXPECT_EQ(RewriteDateLiterals(QString::fromUtf8(sql)), QString::fromUtf8(sql)) << sql;
}
