#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rtl {

// Texts of the system's files: written as UTF-8 with CR LF line ends; read with any line end, a
// byte-order mark skipped, and read as Windows-1252 when the bytes are not valid UTF-8.
QString DecodeFileText(const QByteArray& bytes);
// Raises EFileError naming the file when it cannot be read.
QString ReadTextFile(const QString& path);
// Writes through a temporary file beside the target that is renamed over it, so a failure never
// leaves a half-written file; every line break becomes CR LF. Raises EFileError naming the file.
// A successful write removes the temporaries an interrupted save of the same file left behind.
void WriteTextFile(const QString& path, const QString& text);
// Removes, in folder, the temporaries that interrupted saves of the named files left: each file's
// name followed by "." and six letters. Files that cannot be removed stay.
void RemoveSaveLeftovers(const QString& folder, const QStringList& fileNames);

}  // namespace rtl
