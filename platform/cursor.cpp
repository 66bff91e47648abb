#include "platform/cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

HourglassCursor::HourglassCursor()
    : FActive(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
{
    if (FActive)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

HourglassCursor::~HourglassCursor()
{
    if (FActive)
        QGuiApplication::restoreOverrideCursor();
}

}  // namespace platform
