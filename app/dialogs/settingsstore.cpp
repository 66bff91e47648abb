#include "app/dialogs/settingsstore.h"

#include "core/ui/controlutils.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/format.h"
#include "rtl/numbers.h"

#include <QRect>
#include <QWidget>

QString AppDir;
QString QueryDir;

namespace {

const QString PositionValue = QStringLiteral("Position");
const QString QueryDirValue = QStringLiteral("QueryDir");

// The frame's position (x() and y() count the frame) and the client size.
QString PositionText(const QWidget* Form)
{
    return rtl::Format(QStringLiteral("%d,%d,%d,%d"), Form->x(), Form->y(), Form->width(), Form->height());
}

// Four integers with a positive size; anything else is a damaged value.
bool ReadRect(const QString& Text, QRect& Rect)
{
    const QStringList parts = Text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        if (!rtl::TryStrToInt(parts[i], values[i]))
            return false;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return false;
    Rect = QRect(values[0], values[1], values[2], values[3]);
    return true;
}

}  // namespace

void LoadFormPosition(QWidget* Form, const QString& Key)
{
    const platform::Registry registry(Key);
    QRect rect;
    if (ReadRect(registry.ReadString(Form->objectName(), PositionValue, PositionText(Form)), rect))
        PlaceWindowOnScreen(Form, rect);
}

void SaveFormPosition(QWidget* Form, const QString& Key)
{
    platform::Registry registry(Key);
    registry.WriteString(Form->objectName(), PositionValue, PositionText(Form));
}

void LoadGlobalSettings()
{
    const platform::Registry registry(platform::NuvCommonKey);
    QueryDir = registry.ReadString(
        QString(), QueryDirValue, AddBackslash(AppDir) + QStringLiteral("dmodels/nwind"));
}

void SaveGlobalSettings()
{
    platform::Registry registry(platform::NuvCommonKey);
    registry.WriteString(QString(), QueryDirValue, QueryDir);
}

int ConfirmYesNo(const QString& Question)
{
    return platform::MessageBox(Question, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
}

QString AddBackslash(const QString& Text)
{
    if (Text.isEmpty() || Text.endsWith(QLatin1Char('/')))
        return Text;
    return Text + QLatin1Char('/');
}
