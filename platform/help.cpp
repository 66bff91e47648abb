#include "platform/help.h"

#include "platform/messagebox.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform {

void OpenHelpFile(const QString& path, int helpContext)
{
    Q_UNUSED(helpContext);
    if (!QFileInfo(path).isFile())
        ShowError(QStringLiteral("Cannot find the help file \"%1\".").arg(path));
    else if (!OpenDocument(path))
        ShowError(QStringLiteral("Cannot open the help file \"%1\".").arg(path));
}

bool OpenDocument(const QString& pathOrUrl)
{
    const QFileInfo file(pathOrUrl);
    const QUrl url
        = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl::fromUserInput(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace platform
