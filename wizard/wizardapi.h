#pragma once

// The C boundary between the program and the wizard library. The library exports exactly
// initwizard, runwizard and donewizard, with the platform's C calling convention; the program
// hands it ten callbacks, in the order of initwizard's parameters:
// - lists of lines are null-terminated UTF-8 with CR LF after every line; a text a callback
//   answers belongs to the program and goes back through its dispose callback, and null means an
//   empty list (not handed back);
// - the current database name is null-terminated UTF-16; the program keeps the text it answers at
//   least until the next call of that callback, and the library copies it at once;
// - a text the library passes into a callback stays the library's: the program reads it during
//   the call only;
// - no exception crosses the boundary in either direction: a failure answers 0 or null.

#include <cstdint>

#define WIZARD_ENTRY __attribute__((visibility("default")))

extern "C" {

// 1: the data model as model text lines, as a new text of the program.
typedef char* (*TWizGetModelText)();
// 2: replaces the data model by the model text given.
typedef void (*TWizSetModelText)(const char* ModelText);
// 3: the database names, one per line.
typedef char* (*TWizGetDatabaseNames)();
// 4: the current database name.
typedef const char16_t* (*TWizGetCurrentDBName)();
// 5: sets the current database name.
typedef void (*TWizSetCurrentDBName)(const char16_t* Name);
// 6: the table names of the current database, one per line.
typedef char* (*TWizGetTableNames)();
// 7: the field list text of a table (Count=, then F<i>Name=, F<i>Size=, F<i>Type= for i from 1).
typedef char* (*TWizGetTableFields)(const char* TableName);
// 8: the links of the current database, one Table.Column=Table.Column line per column pair.
typedef char* (*TWizGetLinks)();
// 9: 1 while the database information is connected.
typedef uint8_t (*TWizIsConnected)();
// 10: frees a text answered by callbacks 1, 3, 6, 7 or 8.
typedef void (*TWizDisposeText)(char* Text);

// Takes the program's callbacks; answers 1.
WIZARD_ENTRY uint8_t initwizard(TWizGetModelText GetModelText, TWizSetModelText SetModelText,
    TWizGetDatabaseNames GetDatabaseNames, TWizGetCurrentDBName GetCurrentDBName,
    TWizSetCurrentDBName SetCurrentDBName, TWizGetTableNames GetTableNames, TWizGetTableFields GetTableFields,
    TWizGetLinks GetLinks, TWizIsConnected IsConnected, TWizDisposeText DisposeText);
// Shows the wizard over the program's model; 1 when the user finished it and the new model text
// went back through SetModelText; 0 on Cancel, on any failure and before initwizard.
WIZARD_ENTRY uint8_t runwizard();
// Lets go of what initwizard made; answers 1.
WIZARD_ENTRY uint8_t donewizard();
}
