#include "platform/exceptionguard.h"

#include "platform/messagebox.h"
#include "rtl/exception.h"

namespace platform {

void ShowException(const std::exception& e)
{
    // The system's own exceptions keep their message as text; what() is only its UTF-8 copy.
    if (const auto* own = dynamic_cast<const rtl::Exception*>(&e))
        ShowError(own->Message());
    else
        ShowError(QString::fromUtf8(e.what()));
}

void ShowUnknownException()
{
    ShowError(QStringLiteral("An unexpected error occurred."));
}

}  // namespace platform
