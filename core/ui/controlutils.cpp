#include "core/ui/controlutils.h"

#include "core/base/zstrings.h"
#include "platform/messagebox.h"
#include "platform/registry.h"
#include "rtl/format.h"
#include "rtl/numbers.h"

#include <QFontMetrics>
#include <QTableWidget>
#include <QWidget>

namespace {

// Metrics of the font as it is drawn on the window's device; without a window, on the screen.
QFontMetrics WindowFontMetrics(QWidget* Window, const QFont& Font)
{
    return Window ? QFontMetrics(Font, Window) : QFontMetrics(Font);
}

// Left, Top, Width and Height as the registry holds them.
QString PlacementText(const QWidget* Control)
{
    return rtl::Format("%d,%d,%d,%d", Control->x(), Control->y(), Control->width(), Control->height());
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
    registry.WriteString(QString(), ValueName, PlacementText(Control));
}

void LoadControlPlacement(QWidget* Control, const QString& KeyPath, const QString& ValueName)
{
    const platform::Registry registry(KeyPath);
    QString text = registry.ReadString(QString(), ValueName, PlacementText(Control));
    // Each member is set as soon as its item is read, so a bad item leaves the earlier ones applied.
    QString item;
    ExtractCommaItem(text, item);
    Control->move(rtl::StrToInt(item), Control->y());
    ExtractCommaItem(text, item);
    Control->move(Control->x(), rtl::StrToInt(item));
    ExtractCommaItem(text, item);
    Control->resize(rtl::StrToInt(item), Control->height());
    ExtractCommaItem(text, item);
    Control->resize(Control->width(), rtl::StrToInt(item));
}
