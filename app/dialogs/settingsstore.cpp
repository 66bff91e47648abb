#include "app/dialogs/settingsstore.h"

#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/format.h"
#include "rtl/numbers.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

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

// The screen that shows most of Rect; none when Rect lies off every screen.
const QScreen* ScreenShowing(const QRect& Rect)
{
    const QScreen* showing = nullptr;
    qint64 shownArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->geometry() & Rect;
        const qint64 area = qint64(shown.width()) * shown.height();
        if (area > shownArea) {
            showing = screen;
            shownArea = area;
        }
    }
    return showing;
}

// Rect's top left corner moved so that Rect lies within Area, or starts at Area's top left corner
// when it is larger: the title bar stays within reach.
QPoint KeptWithin(const QRect& Rect, const QRect& Area)
{
    return {std::clamp(Rect.x(), Area.left(), std::max(Area.left(), Area.right() + 1 - Rect.width())),
        std::clamp(Rect.y(), Area.top(), std::max(Area.top(), Area.bottom() + 1 - Rect.height()))};
}

}  // namespace

void LoadFormPosition(QWidget* Form, const QString& Key)
{
    const platform::Registry registry(Key);
    QRect rect;
    if (!ReadRect(registry.ReadString(Form->objectName(), PositionValue, PositionText(Form)), rect))
        return;
    // A window put back where no screen shows it could never be reached again.
    const QScreen* screen = ScreenShowing(rect);
    if (!screen)
        return;
    Form->move(KeptWithin(rect, screen->availableGeometry()));
    Form->resize(rect.size());
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
