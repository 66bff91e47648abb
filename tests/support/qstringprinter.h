#pragma once

#include <QString>

#include <ostream>

// Failed comparisons of texts show the text instead of its bytes.
inline void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}
