#pragma once

// How many brackets deep below the root a query's rows may nest: far above any query a person
// composes, and every road over the rows (reading, writing, SQL, layout) recurses once a bracket.
// The SQL parser takes every statement of a query that deep.
constexpr int MaxBracketDepth = 500;
