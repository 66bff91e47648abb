#pragma once

#include "gates/fendal/fendalgate.h"

#include <QString>
#include <QStringList>

class QTableView;
class QWidget;

// Shows Rows in a read-only table view filling Parent, or, when Error is not empty, that error in
// the view instead. View is reused when it already sits in Parent; the view shown is answered.
QTableView* ShowRows(QWidget* Parent, QTableView* View, const FendalRows& Rows, const QStringList& Captions,
    const QString& Error);
// Gives Widget the width of its parent again (and, for the result view, the height).
void FitToParent(QWidget* Widget, bool FillHeight);
// The connection page inside Parent: the database file, Browse and Test. Edits go into Gate's
// details at once.
QWidget* NewConnectionPage(QWidget* Parent, FendalGate& Gate);
