#pragma once

// The C boundary between the program and a database gate library. A gate exports these 19
// functions under exactly these names, with the platform's C calling convention:
// - texts are null-terminated UTF-8 with CR LF after every line; database names are UTF-16;
// - an "out" text is filled by the gate with a text of its own, or left null for none; the
//   program copies it and hands it back through disposetext;
// - texts the program passes in are valid during the call only;
// - a window is a QWidget* passed as void*; program and gate share the same Qt libraries;
// - no exception leaves an entry: a failure answers 0, null or -1.
// Gates are built with hidden visibility, so GATE_ENTRY is what they export. A gate may also
// export getconnecterror; the program binds it when present.

#include <cstdint>

#define GATE_ENTRY __attribute__((visibility("default")))

extern "C" {

// 1 while the gate holds an open connection.
GATE_ENTRY uint8_t getconnected();
// The connection details to store with the data model, as lines; handed back through disposetext.
GATE_ENTRY char* saveinfo();
// Takes the stored connection details.
GATE_ENTRY void loadinfo(const char* Info);
// Opens the connection; whether it succeeded is asked through getconnected.
GATE_ENTRY void connectbase();
// Optional: why the last connectbase did not connect, or null when it did; stays the gate's, valid
// until the next call into the gate.
GATE_ENTRY const char* getconnecterror();
GATE_ENTRY void disconnectbase();
// A modal connection dialog over ParentWindow; 1 when confirmed.
GATE_ENTRY uint8_t dbconnectdlg(void* ParentWindow);
// Database names, one per line.
GATE_ENTRY void getdatabasenames(char** Names);
// Table and view names of the current database, one per line.
GATE_ENTRY void tablesbydatabase(char** Tables);
// Runs SQL: Values gets the first column of every row, Items the second (the first when the
// answer has one column).
GATE_ENTRY void getsqlvalues(const char* SQL, char** Values, char** Items);
// The field list text of a table: Count=<n>, then F<i>Name=, F<i>Size=, F<i>Type= for i from 1.
GATE_ENTRY void fieldsbytable(const char* TableName, char** Fields);
// One line per column pair of every foreign key: Table.Column=ReferencedTable.ReferencedColumn.
GATE_ENTRY void linksbydatabase(char** Links);
// The current database name; stays the gate's, valid until the next call into the gate.
GATE_ENTRY const char16_t* getcurrentdbname();
GATE_ENTRY void setcurrentdbname(const char16_t* Name);
// A one-line description of the gate; stays the gate's.
GATE_ENTRY const char* getdllinfo();
// Runs SQL and shows its rows inside ParentWindow, one column caption per line of Captions;
// answers the number of rows shown, or -1 when the SQL failed (the view then shows the error).
GATE_ENTRY int32_t showresult(void* ParentWindow, const char* SQL, const char* Captions);
// Fits the result view to its window again.
GATE_ENTRY void repaintresult();
GATE_ENTRY void disposetext(char* Text);
// Creates the connection page inside ParentWindow and answers it (a QWidget*).
GATE_ENTRY void* dbconnectdlgparented(void* ParentWindow);
// Fits the connection page to its window again.
GATE_ENTRY void repaintdbconnectdlg();

}  // extern "C"
