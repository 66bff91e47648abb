#pragma once

// What the gallery programs share: letting the event loop paint, and saving the screen as a PNG.

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace screenshots {

// The folder given after --screenshots, absolute; empty when the program runs to be looked at.
inline QString FolderArgument()
{
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshots")) + 1;
    return at > 0 ? QDir(arguments.value(at)).absolutePath() : QString();
}

inline void Wait(int Milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(Milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The whole screen as <Folder>/<Name>.png, after the windows had time to paint.
inline void Shoot(const QString& Folder, const QString& Name, int PaintMilliseconds = 300)
{
    Wait(PaintMilliseconds);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(Folder).filePath(Name + ".png"));
}

}  // namespace screenshots
