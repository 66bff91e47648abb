#pragma once

#include <QByteArray>
#include <QString>

namespace rtl {

// Texts of the system's files: written as UTF-8 with CR LF line ends; read with any line end, a
// byte-order mark skipped, and each line that is not valid UTF-8 read as Windows-1252.
QString DecodeFileText(const QByteArray& bytes);
// Raises EFileError naming the file when it cannot be read or is no regular file (a FIFO or a
// device would block or never end), or is a link to a missing file or a loop of links; a link to a
// regular file is read.
QString ReadTextFile(const QString& path);
// Writes through a temporary file beside the target that is renamed over it, so a failure never
// leaves a half-written file; every line break becomes CR LF. A link is written through to its
// file; a link to a missing file or a loop is refused. Raises EFileError naming the file.
void WriteTextFile(const QString& path, const QString& text);

}  // namespace rtl
