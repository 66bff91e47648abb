#pragma once

#include "querypanel/controls/imagelist.h"

#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Where a menu item starts a new column: not at all, in a new column, or in a new column behind a
// vertical bar.
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
// How a long item list is spread over columns: evenly, or filling each column before the next.
enum TZPopupSplitType { pstBalanced, pstFillFirst };

// One entry of a popup menu: a command, a separator line (caption "-") or, with children, a submenu.
class TZMenuItem {
public:
    using TClickEvent = std::function<void(TZMenuItem* Sender)>;

    explicit TZMenuItem(const QString& Caption = QString()) : FCaption(Caption) {}
    TZMenuItem(const TZMenuItem&) = delete;
    TZMenuItem& operator=(const TZMenuItem&) = delete;

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value) { FCaption = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak Value) { FBreak = Value; }
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return int(FItems.size()); }
    TZMenuItem* Items(int Index) const { return FItems.at(Index).get(); }
    // Appends a new child item, owned by this one.
    TZMenuItem* Add(const QString& Caption);
    void Clear() { FItems.clear(); }

    TClickEvent OnClick;

private:
    QString FCaption;
    int FImageIndex = -1;
    int FTag = 0;
    TMenuBreak FBreak = mbNone;
    std::vector<std::unique_ptr<TZMenuItem>> FItems;
};

// The system values that popup menus measure with.
class TZSystemMetrics {
public:
    TZSystemMetrics() { UpdateMenuFont(); }
    const QFont& MenuFont() const { return FMenuFont; }
    void UpdateMenuFont();

private:
    QFont FMenuFont;
};

// The program's one instance; made on first use and freed with the application object.
TZSystemMetrics& SystemMetrics();

namespace controls {
class MenuTracker;
}

// A popup menu whose item lists show in several columns: where the items' breaks say, or, with
// FitToScreen, split so that no column is longer than the screen.
class TZPopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TZPopupMenu(QObject* Owner = nullptr);
    ~TZPopupMenu() override;

    TZMenuItem& Items() { return FItems; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    Qt::LayoutDirection BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(Qt::LayoutDirection Value) { FBiDiMode = Value; }
    TMenuBreak BreakType() const { return FBreakType; }
    void SetBreakType(TMenuBreak Value) { FBreakType = Value; }
    TZPopupSplitType PopupSplitType() const { return FPopupSplitType; }
    void SetPopupSplitType(TZPopupSplitType Value) { FPopupSplitType = Value; }
    bool FitToScreen() const { return FFitToScreen; }
    void SetFitToScreen(bool Value) { FFitToScreen = Value; }

    // Shows the menu at the screen point (its top left corner, or top right when right to left) and
    // waits until it closes; then runs the OnClick of the item chosen, if any. The menu may be freed
    // by that handler.
    void Popup(int X, int Y);
    // Closes the open menu without choosing.
    void Close();
    bool IsOpen() const { return FTracker != nullptr; }

    // Clears every break of the item tree, then breaks each item list into columns of at most Rows.
    void SplitIntoColumns(int Rows);
    // How many rows of the menu font fit on the screen at the point.
    static int ScreenRows(const QPoint& At);

private:
    void SplitList(TZMenuItem& Parent, int Rows);

    TZMenuItem FItems;
    QPointer<TImageList> FImages;
    Qt::LayoutDirection FBiDiMode = Qt::LeftToRight;
    TMenuBreak FBreakType = mbBarBreak;
    TZPopupSplitType FPopupSplitType = pstBalanced;
    bool FFitToScreen = true;
    controls::MenuTracker* FTracker = nullptr;
};
