#pragma once

#include "rtl/datetime.h"

#include <QString>
#include <QStringList>

// The titles text: every caption, hint and question of the query panel and the result fields
// editor, as "key=text" lines in the sections [Query Panel] and [Result Fields Editor].

inline const QString QueryPanelSection = QStringLiteral("Query Panel");
inline const QString RFESection = QStringLiteral("Result Fields Editor");

// Fills Lines with the 52 built-in lines: the [Query Panel] head and its 18 keys, a line holding one
// blank, the [Result Fields Editor] head and its 31 keys.
void InitDefaultTitles(QStringList& Lines);
// The default text of Key; empty when there is no such key.
QString DefaultTitle(const QString& Key);
// The 22 keys that the oldest titles form (one title a line, no keys) gives in order.
const QStringList& LegacyTitleKeys();

// Stored texts may use the older section names [PanelTitles] and [RFETitles].
void RenameTitleSections(QStringList& Lines);
// Target := Defaults with each key's text taken from Stored where Stored has a non-empty one; keys
// and sections that Defaults lacks are dropped, and the order is that of Defaults.
void MergeTitles(const QStringList& Defaults, QStringList& Target, QStringList Stored);

// Text read as a date-time under the date Format (a model's SQL date format such as "yyyy-mm-dd");
// raises rtl::EConvertError when it does not match or Format is empty. The program-wide date
// settings are unchanged afterwards.
rtl::TDateTime StrToDateTimeFmt(const QString& Format, const QString& Text);
