#include "core/ui/controlutils.h"

#include "core/base/zstrings.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/exception.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QTableWidget>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// Metrics of the font as it is drawn on the window's device; without a window, on the screen.
QFontMetrics WindowFontMetrics(QWidget* Window, const QFont& Font)
{
    return Window ? QFontMetrics(Font, Window) : QFontMetrics(Font);
}

QRect Placement(const QWidget* Control)
{
    return QRect(Control->pos(), Control->size());
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

QSize FrameExtent(const QMargins& Margins)
{
    return QSize(Margins.left() + Margins.right(), Margins.top() + Margins.bottom());
}

// Room for a title bar and thin borders, where no frame is known yet.
constexpr QSize FrameAllowance(10, 40);

// What the frame adds to the client size. The window manager tells it only once it has framed the
// window; until then a shown window's frame stands in, or the allowance.
QSize WindowFrameExtent(const QWidget* Window)
{
    if (Window->windowFlags().testFlag(Qt::FramelessWindowHint))
        return QSize();
    if (const QWindow* own = Window->windowHandle()) {
        const QSize extent = FrameExtent(own->frameMargins());
        if (!extent.isNull())
            return extent;
    }
    for (const QWindow* shown : QGuiApplication::topLevelWindows()) {
        const QSize extent = FrameExtent(shown->frameMargins());
        if (shown->isVisible() && !extent.isNull())
            return extent;
    }
    return FrameAllowance;
}

}  // namespace

int GetTextWidth(QWidget* Window, const QFont& Font, const QString& Text)
{
    return WindowFontMetrics(Window, Font).horizontalAdvance(Text);
}

int GetTextHeight(QWidget* Window, const QFont& Font, const QString&)
{
    // One line of text is as high as the font, whatever its characters.
    return WindowFontMetrics(Window, Font).height();
}

void ClearGridRow(QTableWidget* Grid, int Row)
{
    for (int col = 0; col < Grid->columnCount(); ++col)
        if (QTableWidgetItem* cell = Grid->item(Row, col))
            cell->setText(QString());
}

int ConfirmMessage(const QString& Text)
{
    return platform::MessageBox(Text, QString(), platform::MB_YESNO | platform::MB_ICONQUESTION);
}

void SaveControlPlacement(QWidget* Control, const QString& KeyPath, const QString& ValueName)
{
    platform::Registry registry(KeyPath);
    registry.WriteString(QString(), ValueName, PlacementText(Placement(Control)));
}

void LoadControlPlacement(QWidget* Control, const QString& KeyPath, const QString& ValueName)
{
    const platform::Registry registry(KeyPath);
    const QString text = registry.ReadString(QString(), ValueName, PlacementText(Placement(Control)));
    // Members read before a bad item keep their new values.
    QRect rect = Placement(Control);
    const auto apply = qScopeGuard([&] {
        Control->move(rect.topLeft());
        Control->resize(rect.size());
    });
    ReadPlacement(text, rect, TPlacementRule::Strict);
}

void PlaceWindowOnScreen(QWidget* Window, const QRect& Rect)
{
    const QSize extent = WindowFrameExtent(Window);
    // A window put back where no screen shows it could never be reached again.
    const QScreen* screen = ScreenShowing(QRect(Rect.topLeft(), Rect.size() + extent));
    if (!screen)
        return;
    // The whole frame stays within the work area: a size from a larger screen, or no screen at all,
    // is cut to it.
    const QRect area = screen->availableGeometry();
    Window->resize(std::min(Rect.width(), std::max(area.width() - extent.width(), 1)),
        std::min(Rect.height(), std::max(area.height() - extent.height(), 1)));
    const QSize frame = Window->size() + extent;
    Window->move(std::clamp(Rect.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
        std::clamp(Rect.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
}

void LoadWindowPlacement(QWidget* Window, const QString& KeyPath, const QString& ValueName)
{
    const platform::Registry registry(KeyPath);
    if (!registry.ValueExists(QString(), ValueName))
        return;
    QRect rect;
    try {
        ReadPlacement(registry.ReadString(QString(), ValueName, QString()), rect, TPlacementRule::Strict);
    } catch (const rtl::EConvertError&) {
        // A damaged stored rectangle is no rectangle: the window keeps its own.
        return;
    }
    PlaceWindowOnScreen(Window, rect);
}
