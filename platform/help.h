#pragma once

#include <QString>

namespace platform {

// Opens a help file or document with the desktop's viewer; a missing file is reported in an
// error box naming it. A help context is accepted for the callers' sake and not used.
void OpenHelpFile(const QString& path, int helpContext = 0);
// Opens a file or a web address with the desktop's handler; false when nothing could open it.
bool OpenDocument(const QString& pathOrUrl);

}  // namespace platform
