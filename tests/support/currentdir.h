#pragma once

#include <QDir>
#include <QString>

// Makes a folder the current directory for the scope and puts the previous one back on exit, also
// when a failed assertion or an exception leaves the scope, so later tests start where they expect.
class CurrentDirScope {
public:
    explicit CurrentDirScope(const QString& Dir)
        : FPrevious(QDir::currentPath()), FEntered(QDir::setCurrent(Dir))
    {
    }
    ~CurrentDirScope() { QDir::setCurrent(FPrevious); }
    CurrentDirScope(const CurrentDirScope&) = delete;
    CurrentDirScope& operator=(const CurrentDirScope&) = delete;

    bool Entered() const { return FEntered; }

private:
    QString FPrevious;
    bool FEntered;
};
