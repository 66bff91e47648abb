#include "gates/fendal/sqldates.h"

#include <gtest/gtest.h>

// Month/day/year literals become the stored form; a null expectation: the text stays as written.
TEST(DateLiterals, MonthDayYearLiteralsBecomeTheStoredFormAndNothingElseChanges)
{
    const std::pair<const char*, const char*> cases[] = {
        {"WHERE Orders.OrderDate > '12/31/1997'", "WHERE Orders.OrderDate > '1997-12-31'"},
        {"d BETWEEN '1/2/1997' AND '02/03/1998'", "d BETWEEN '1997-01-02' AND '1998-02-03'"},
        {"d >= '12/31/1997 08:30:05'", "d >= '1997-12-31 08:30:05'"},
        {"d >= '12/31/1997 8:30'", "d >= '1997-12-31 08:30:00'"},
        // Midnight compares equal to the stored date alone.
        {"d = '12/31/1997 00:00:00'", "d = '1997-12-31'"},
        {"d IN ('2/29/1996', '3/1/1996')", "d IN ('1996-02-29', '1996-03-01')"},
        {"'it''s' = '1/1/2000'", "'it''s' = '2000-01-01'"},
        {"d = '2/30/1998'", nullptr},  // no such day
        {"d = '2/29/1997'", nullptr},  // not a leap year
        {"d = '13/01/1998'", nullptr},  // month/day/year only
        {"d = '12/31/97'", nullptr},  // two-digit year
        {"d = '12/31/1997 24:00'", nullptr},  // no such time
        {"d = '12/31/1997x'", nullptr},
        {"d LIKE '12/31/1997%'", nullptr},
        {"n = 'O''Hara 12/31/1997'", nullptr},
        {"\"12/31/1997\" = [12/31/1997]", nullptr},
        {"-- '12/31/1997'\nSELECT 1", nullptr},
        {"/* '12/31/1997' */ SELECT 1", nullptr},
        {"c = 'São Paulo' AND d = '1997-12-31'", nullptr},
        {"d = '12/31/1997", nullptr},  // unclosed literal
        {"", nullptr},
    };
    for (const auto& [sql, expected] : cases)
        EXPECT_EQ(RewriteDateLiterals(QString::fromUtf8(sql)), QString::fromUtf8(expected ? expected : sql))
            << sql;
}
