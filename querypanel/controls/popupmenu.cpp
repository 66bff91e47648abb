#include "querypanel/controls/popupmenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

TZMenuItem* TZMenuItem::Add(const QString& Caption)
{
    FItems.push_back(std::make_unique<TZMenuItem>(Caption));
    return FItems.back().get();
}

void TZSystemMetrics::UpdateMenuFont()
{
    FMenuFont = QApplication::font("QMenu");
}

TZSystemMetrics& SystemMetrics()
{
    static TZSystemMetrics* instance = nullptr;
    if (!instance) {
        instance = new TZSystemMetrics;
        qAddPostRoutine([] {
            delete instance;
            instance = nullptr;
        });
    }
    return *instance;
}

namespace controls {

namespace {

constexpr int Frame = 2;  // border and margin around the items
constexpr int ColumnGap = 5;  // room for the bar between two columns
constexpr int ImageWidth = 20;  // image column, when the menu has images
constexpr int ArrowWidth = 14;  // submenu arrow
constexpr int TextMargin = 8;

int RowHeight()
{
    return QFontMetrics(SystemMetrics().MenuFont()).height() + 4;
}

bool Selectable(const TZMenuItem* Item)
{
    return !Item->IsLine();
}

QScreen* ScreenAt(const QPoint& At)
{
    QScreen* screen = QGuiApplication::screenAt(At);
    return screen ? screen : QGuiApplication::primaryScreen();
}

// The position nearest to Pos at which a window of Size lies inside Area.
QPoint KeepInside(const QPoint& Pos, const QSize& Size, const QRect& Area)
{
    return {std::max(Area.left(), std::min(Pos.x(), Area.right() + 1 - Size.width())),
        std::max(Area.top(), std::min(Pos.y(), Area.bottom() + 1 - Size.height()))};
}

}  // namespace

class MenuWindow;

// Runs one showing of a menu: the window of the top level and of every open submenu, the mouse and
// the keys, and the choice.
class MenuTracker {
public:
    explicit MenuTracker(const TZPopupMenu& Menu, TZMenuItem& Root) : FMenu(Menu), FRoot(Root) {}
    ~MenuTracker();

    // Shows the menu at the point and answers the chosen item, or nullptr.
    TZMenuItem* Run(const QPoint& At);
    void Cancel() { Finish(nullptr); }

    void MouseMoved(const QPoint& Global, bool Pressed);
    void MouseReleased(const QPoint& Global);
    void KeyPressed(QKeyEvent* Event);
    void WindowHidden();

    const TZPopupMenu& Menu() const { return FMenu; }

private:
    MenuWindow* WindowAt(const QPoint& Global, int& Level) const;
    void OpenSubmenu(int Level, int Index, bool SelectFirst);
    void CloseAbove(int Level);
    void Activate(int Level, int Index);
    void Finish(TZMenuItem* Chosen);

    const TZPopupMenu& FMenu;
    TZMenuItem& FRoot;
    std::vector<MenuWindow*> FWindows;
    QEventLoop FLoop;
    TZMenuItem* FChosen = nullptr;
    bool FDone = false;
    bool FClosing = false;
};

// The window of one item list, its columns where the items' breaks say.
class MenuWindow : public QWidget {
public:
    MenuWindow(MenuTracker& Tracker, TZMenuItem& List)
        : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), FTracker(Tracker), FList(List)
    {
        // A click outside the menu only closes it; it must not reach a control beneath while the
        // menu's own loop still runs.
        setAttribute(Qt::WA_NoMouseReplay);
        setMouseTracking(true);
        setFont(SystemMetrics().MenuFont());
        setLayoutDirection(Tracker.Menu().BiDiMode());
        Layout();
    }

    TZMenuItem& List() const { return FList; }
    int Current() const { return FCurrent; }
    void SetCurrent(int Index)
    {
        if (Index == FCurrent)
            return;
        FCurrent = Index;
        update();
    }
    int ItemAt(const QPoint& Local) const
    {
        for (int i = 0; i < int(FRects.size()); ++i) {
            if (FRects[i].contains(Local))
                return Selectable(FList.Items(i)) ? i : -1;
        }
        return -1;
    }
    QRect GlobalItemRect(int Index) const
    {
        return QRect(mapToGlobal(FRects[Index].topLeft()), FRects[Index].size());
    }
    // The next selectable item after From in the direction Step, wrapping; From itself when none.
    int NextSelectable(int From, int Step) const
    {
        const int count = FList.Count();
        for (int n = 1; n <= count; ++n) {
            const int i = ((From + Step * n) % count + count) % count;
            if (Selectable(FList.Items(i)))
                return i;
        }
        return From;
    }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* Event) override
    {
        FTracker.MouseMoved(Event->globalPosition().toPoint(), false);
    }
    void mousePressEvent(QMouseEvent* Event) override
    {
        FTracker.MouseMoved(Event->globalPosition().toPoint(), true);
    }
    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        FTracker.MouseReleased(Event->globalPosition().toPoint());
    }
    void keyPressEvent(QKeyEvent* Event) override { FTracker.KeyPressed(Event); }
    void hideEvent(QHideEvent*) override { FTracker.WindowHidden(); }

private:
    void Layout();

    MenuTracker& FTracker;
    TZMenuItem& FList;
    std::vector<QRect> FRects;
    int FCurrent = -1;
};

void MenuWindow::Layout()
{
    const QFontMetrics metrics(font());
    const int rowHeight = RowHeight();
    const int imageWidth = FTracker.Menu().Images() ? ImageWidth : 0;
    FRects.assign(FList.Count(), QRect());

    int x = Frame;
    int height = 0;
    int first = 0;
    while (first < FList.Count()) {
        int last = first + 1;
        while (last < FList.Count() && FList.Items(last)->Break() == mbNone)
            ++last;
        int width = 0;
        bool arrows = false;
        for (int i = first; i < last; ++i) {
            width = std::max(width, metrics.size(Qt::TextShowMnemonic, FList.Items(i)->Caption()).width());
            arrows = arrows || FList.Items(i)->Count() > 0;
        }
        width += imageWidth + 2 * TextMargin + (arrows ? ArrowWidth : 0);
        int y = Frame;
        for (int i = first; i < last; ++i) {
            const int itemHeight = FList.Items(i)->IsLine() ? rowHeight / 2 : rowHeight;
            FRects[i] = QRect(x, y, width, itemHeight);
            y += itemHeight;
        }
        height = std::max(height, y);
        x += width;
        if (last < FList.Count() && FList.Items(last)->Break() == mbBarBreak)
            x += ColumnGap;
        first = last;
    }
    resize(x + Frame, height + Frame);
    if (layoutDirection() == Qt::RightToLeft) {
        for (QRect& r : FRects)
            r.moveLeft(width() - r.right() - 1);
    }
}

void MenuWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette palette = QApplication::palette("QMenu");
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const int imageWidth = FTracker.Menu().Images() ? ImageWidth : 0;
    painter.fillRect(rect(), palette.color(QPalette::Window));
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    for (int i = 0; i < FList.Count(); ++i) {
        const TZMenuItem* item = FList.Items(i);
        const QRect r = FRects[i];
        if (item->Break() == mbBarBreak && i > 0) {
            const int barX = rightToLeft ? r.right() + ColumnGap / 2 + 1 : r.left() - ColumnGap / 2 - 1;
            painter.setPen(palette.color(QPalette::Mid));
            painter.drawLine(barX, Frame, barX, height() - Frame - 1);
        }
        if (item->IsLine()) {
            painter.setPen(palette.color(QPalette::Mid));
            painter.drawLine(r.left() + 2, r.center().y(), r.right() - 2, r.center().y());
            continue;
        }
        const bool current = i == FCurrent;
        if (current)
            painter.fillRect(r, palette.color(QPalette::Highlight));
        painter.setPen(palette.color(current ? QPalette::HighlightedText : QPalette::WindowText));
        QRect textRect = r.adjusted(TextMargin + imageWidth, 0, -TextMargin, 0);
        if (imageWidth > 0 && item->ImageIndex() >= 0) {
            const QRect imageRect(r.left() + TextMargin / 2, r.top() + (r.height() - 16) / 2, 16, 16);
            FTracker.Menu()
                .Images()
                ->Image(item->ImageIndex())
                .paint(&painter, QStyle::visualRect(layoutDirection(), r, imageRect));
        }
        painter.drawText(QStyle::visualRect(layoutDirection(), r, textRect),
            int(QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft)) | Qt::AlignVCenter
                | Qt::TextShowMnemonic,
            item->Caption());
        if (item->Count() > 0) {
            // A small triangle pointing to where the submenu opens.
            const int cx = rightToLeft ? r.left() + TextMargin : r.right() - TextMargin;
            const int cy = r.center().y();
            const int d = rightToLeft ? 1 : -1;
            const QPoint arrow[3] = {{cx, cy}, {cx + 4 * d, cy - 4}, {cx + 4 * d, cy + 4}};
            painter.setBrush(painter.pen().color());
            painter.drawPolygon(arrow, 3);
            painter.setBrush(Qt::NoBrush);
        }
    }
}

MenuTracker::~MenuTracker()
{
    FClosing = true;
    for (MenuWindow* window : FWindows)
        delete window;
}

TZMenuItem* MenuTracker::Run(const QPoint& At)
{
    if (FRoot.Count() == 0)
        return nullptr;
    auto* window = new MenuWindow(*this, FRoot);
    FWindows.push_back(window);
    const QPoint pos(FMenu.BiDiMode() == Qt::RightToLeft ? At.x() - window->width() : At.x(), At.y());
    window->move(KeepInside(pos, window->size(), ScreenAt(At)->availableGeometry()));
    window->show();
    if (!FDone)
        FLoop.exec();
    return FChosen;
}

MenuWindow* MenuTracker::WindowAt(const QPoint& Global, int& Level) const
{
    for (Level = int(FWindows.size()) - 1; Level >= 0; --Level) {
        if (FWindows[Level]->geometry().contains(Global))
            return FWindows[Level];
    }
    return nullptr;
}

void MenuTracker::MouseMoved(const QPoint& Global, bool Pressed)
{
    int level = 0;
    MenuWindow* window = WindowAt(Global, level);
    if (!window) {
        if (Pressed)
            Cancel();
        return;
    }
    const int index = window->ItemAt(window->mapFromGlobal(Global));
    if (index == window->Current())
        return;
    window->SetCurrent(index);
    CloseAbove(level);
    if (index >= 0 && window->List().Items(index)->Count() > 0)
        OpenSubmenu(level, index, false);
}

void MenuTracker::MouseReleased(const QPoint& Global)
{
    int level = 0;
    MenuWindow* window = WindowAt(Global, level);
    if (!window)
        return;
    const int index = window->ItemAt(window->mapFromGlobal(Global));
    if (index >= 0 && window->List().Items(index)->Count() == 0)
        Finish(window->List().Items(index));
}

void MenuTracker::KeyPressed(QKeyEvent* Event)
{
    const int level = int(FWindows.size()) - 1;
    MenuWindow* window = FWindows[level];
    const bool rightToLeft = FMenu.BiDiMode() == Qt::RightToLeft;
    const int forward = rightToLeft ? Qt::Key_Left : Qt::Key_Right;
    const int back = rightToLeft ? Qt::Key_Right : Qt::Key_Left;
    const int key = Event->key();
    if (key == Qt::Key_Down || key == Qt::Key_Up) {
        const bool down = key == Qt::Key_Down;
        const int from = window->Current() >= 0 ? window->Current() : down ? -1 : window->List().Count();
        window->SetCurrent(window->NextSelectable(from, down ? 1 : -1));
    } else if (key == forward) {
        if (window->Current() >= 0 && window->List().Items(window->Current())->Count() > 0)
            OpenSubmenu(level, window->Current(), true);
    } else if (key == back || key == Qt::Key_Escape) {
        if (level > 0)
            CloseAbove(level - 1);
        else if (key == Qt::Key_Escape)
            Cancel();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (window->Current() >= 0)
            Activate(level, window->Current());
    }
}

void MenuTracker::Activate(int Level, int Index)
{
    TZMenuItem* item = FWindows[Level]->List().Items(Index);
    if (item->Count() > 0)
        OpenSubmenu(Level, Index, true);
    else
        Finish(item);
}

void MenuTracker::WindowHidden()
{
    // Hidden by the system (another application came to the front): the menu closes unchosen.
    if (!FClosing)
        Cancel();
}

void MenuTracker::OpenSubmenu(int Level, int Index, bool SelectFirst)
{
    CloseAbove(Level);
    MenuWindow* parent = FWindows[Level];
    auto* window = new MenuWindow(*this, *parent->List().Items(Index));
    FWindows.push_back(window);
    const QRect item = parent->GlobalItemRect(Index);
    const QRect area = ScreenAt(item.center())->availableGeometry();
    const int after = item.right() + 1;
    const int before = item.left() - window->width();
    const int x = FMenu.BiDiMode() == Qt::RightToLeft
        ? (before >= area.left() ? before : after)
        : (after + window->width() <= area.right() + 1 ? after : before);
    window->move(KeepInside(QPoint(x, item.top() - Frame), window->size(), area));
    if (SelectFirst)
        window->SetCurrent(window->NextSelectable(-1, 1));
    window->show();
}

void MenuTracker::CloseAbove(int Level)
{
    FClosing = true;
    while (int(FWindows.size()) > Level + 1) {
        delete FWindows.back();
        FWindows.pop_back();
    }
    FClosing = false;
}

void MenuTracker::Finish(TZMenuItem* Chosen)
{
    if (FDone)
        return;
    FDone = true;
    FChosen = Chosen;
    FClosing = true;
    for (MenuWindow* window : FWindows)
        window->hide();
    FLoop.quit();
}

}  // namespace controls

TZPopupMenu::TZPopupMenu(QObject* Owner) : QObject(Owner)
{
}

TZPopupMenu::~TZPopupMenu()
{
    Close();
}

void TZPopupMenu::Popup(int X, int Y)
{
    if (FTracker)
        return;
    if (FFitToScreen)
        SplitIntoColumns(ScreenRows(QPoint(X, Y)));
    QPointer<TZPopupMenu> self(this);
    TZMenuItem* chosen = nullptr;
    {
        controls::MenuTracker tracker(*this, FItems);
        FTracker = &tracker;
        chosen = tracker.Run(QPoint(X, Y));
        if (!self)
            return;
        FTracker = nullptr;
    }
    if (chosen && chosen->OnClick) {
        // The handler may free the menu and with it the item.
        TZMenuItem::TClickEvent handler = chosen->OnClick;
        handler(chosen);
    }
}

void TZPopupMenu::Close()
{
    if (FTracker)
        FTracker->Cancel();
}

int TZPopupMenu::ScreenRows(const QPoint& At)
{
    const int screenHeight = controls::ScreenAt(At)->geometry().height();
    return std::max(1, screenHeight / controls::RowHeight());
}

void TZPopupMenu::SplitIntoColumns(int Rows)
{
    std::function<void(TZMenuItem&)> clear = [&](TZMenuItem& Parent) {
        for (int i = 0; i < Parent.Count(); ++i) {
            Parent.Items(i)->SetBreak(mbNone);
            clear(*Parent.Items(i));
        }
    };
    clear(FItems);
    SplitList(FItems, std::max(1, Rows));
}

void TZPopupMenu::SplitList(TZMenuItem& Parent, int Rows)
{
    const int n = Parent.Count();
    const int k = n / Rows;
    const int step = FPopupSplitType == pstFillFirst ? Rows : (n + k) / (k + 1);
    for (int i = 1; i <= k && i * step < n; ++i)
        Parent.Items(i * step)->SetBreak(FBreakType);
    for (int i = 0; i < n; ++i) {
        if (Parent.Items(i)->Count() > 0)
            SplitList(*Parent.Items(i), Rows);
    }
}
