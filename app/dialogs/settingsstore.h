#pragma once

#include <QString>

class QWidget;

// The program's folders, alive for the whole run: AppDir is the current directory at start with a
// trailing separator (base of "dmodels" and "DBGates"); QueryDir is the folder of the open model.
extern QString AppDir;
extern QString QueryDir;

// Restores the window's rectangle from the value "Position" ("Left,Top,Width,Height") of the
// section named after the window's object name under the registry key: Left and Top place the
// frame, Width and Height are the client size. The window is kept within the work area of the
// screen that shows most of it; a value that is damaged or lies off every screen is ignored and
// the window keeps its bounds. Called before the window is first shown: until the window manager
// has framed a shown window, Qt can place only its contents there, and the title bar would sit
// above the stored position.
void LoadFormPosition(QWidget* Form, const QString& Key);
// Writes the window's current "Left,Top,Width,Height" there: its frame's position and client size.
void SaveFormPosition(QWidget* Form, const QString& Key);

// QueryDir := the registry value "QueryDir" of "Software\Tarvel\NUV\Common", by default AppDir
// joined with "dmodels/nwind".
void LoadGlobalSettings();
void SaveGlobalSettings();

// A Yes/No question with the question icon and an empty caption; the answer (platform::IDYES is 6).
int ConfirmYesNo(const QString& Question);
// The text with a trailing path separator, unless it is empty or already ends with one.
QString AddBackslash(const QString& Text);
