#pragma once

#include <QString>

// The program writes dates as month/day/year literals ('12/31/1997', '12/31/1997 08:30:00'),
// while the database keeps them as text that sorts in time order: 'yyyy-mm-dd', with
// ' hh:nn:ss' only when there is a time of day. Every string literal of SQL that is exactly such
// a valid date becomes the stored form, so comparisons in SQLite compare dates.
QString RewriteDateLiterals(const QString& SQL);
