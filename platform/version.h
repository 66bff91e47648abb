#pragma once

#include <QString>

namespace platform {

// The program's version as the build states it, e.g. "0.1.0".
QString ProgramVersion();

}  // namespace platform
