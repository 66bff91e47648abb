#pragma once

// How many brackets deep below the root a query's rows may nest: far above any query a person
// composes, and every road over the rows (reading, writing, SQL, layout) recurses once a bracket.
// The SQL parser takes every statement of a query that deep.
constexpr int MaxBracketDepth = 500;

// How many sub-queries deep a query may nest, each within a condition of the one above. Each level
// keeps the query text of the one below as one quoted value, which doubles its quotes (and, in an
// escaped text, its backslashes): the text, and the time to read or write it, doubles with every
// level. People nest two or three; ten keeps the largest statement quick to read and its file small.
constexpr int MaxSubQueryDepth = 10;
