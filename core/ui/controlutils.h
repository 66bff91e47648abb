#pragma once

#include <QFont>
#include <QString>

class QRect;
class QTableWidget;
class QWidget;

// Widget-side helpers of the core: text measuring, grid rows, the Yes/No question, a control's
// rectangle kept in the registry and a window's rectangle kept on a screen.

int GetTextWidth(QWidget* Window, const QFont& Font, const QString& Text);
int GetTextHeight(QWidget* Window, const QFont& Font, const QString& Text);
void ClearGridRow(QTableWidget* Grid, int Row);

// Yes/No box with the question icon and an empty caption; 6 for Yes, 7 for No.
int ConfirmMessage(const QString& Text);

// The rectangle as "Left,Top,Width,Height" in the value ValueName of the registry key KeyPath.
void SaveControlPlacement(QWidget* Control, const QString& KeyPath, const QString& ValueName);
void LoadControlPlacement(QWidget* Control, const QString& KeyPath, const QString& ValueName);

// Puts the window at Rect (frame position, client size) so that its whole frame lies within the work
// area of the screen that shows most of it: moved in, and cut to the area where it is larger; a Rect
// off every screen leaves the window as it is. Before the first show the frame is estimated.
void PlaceWindowOnScreen(QWidget* Window, const QRect& Rect);
// Restores a window's rectangle from the value LoadControlPlacement reads, through
// PlaceWindowOnScreen; a missing or damaged value leaves the window as it is. Called before the
// window is first shown: until the window manager has framed a shown window, Qt can place only its
// contents there, and the title bar would sit above the stored position.
void LoadWindowPlacement(QWidget* Window, const QString& KeyPath, const QString& ValueName);
