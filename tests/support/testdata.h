#pragma once

#include <QString>

// A file under tests/data.
inline QString TestDataPath(const QString& relative)
{
    return QStringLiteral(NUV_TEST_DATA_DIR "/") + relative;
}
