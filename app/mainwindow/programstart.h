#pragma once

// The application's title and help file, as the program sets them at start.
void SetApplicationTitle();

// The program start of nuv: the application, its title and help file, the main window (which opens
// the remembered data model) and the message loop until the main window closes.
int RunProgram(int& argc, char** argv);
