#include "core/design/designpanel.h"

#include "core/design/linkdialog.h"
#include "core/design/tablepicker.h"
#include "core/model/dbstructure.h"
#include "platform/exceptionguard.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QToolButton>

#include <algorithm>

namespace {

const QString NoStructureText = QStringLiteral("Structure is not specified");
const QString NoDatabaseInfoText = QStringLiteral("Database info component is not specified");
const QString FullScreenHint = QStringLiteral("Full screen mode");
const QString RestoreHint = QStringLiteral("Restore");

// The content of the design area: the design coordinates, and the clicks and moves on it.
class TZDesignContent : public QWidget {
public:
    explicit TZDesignContent(TZDesignArea* Area) : QWidget(Area), FArea(Area)
    {
        setMouseTracking(true);
        setAutoFillBackground(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent* Event) override
    {
        QWidget::mouseMoveEvent(Event);
        platform::Guarded([&] { FArea->MouseMove(Event->modifiers(), Event->position().toPoint()); });
    }
    void mouseReleaseEvent(QMouseEvent* Event) override
    {
        QWidget::mouseReleaseEvent(Event);
        if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
            platform::Guarded([&] { FArea->Click(); });
    }
    void mouseDoubleClickEvent(QMouseEvent* Event) override
    {
        QWidget::mouseDoubleClickEvent(Event);
        if (Event->button() == Qt::LeftButton)
            platform::Guarded([&] { FArea->DblClick(); });
    }

private:
    TZDesignArea* FArea;
};

// The borderless window of full-screen mode: closing it only leaves full-screen mode.
class TFullScreenForm : public QWidget {
public:
    std::function<void()> OnClose;

    TFullScreenForm() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

protected:
    void closeEvent(QCloseEvent* Event) override
    {
        Event->ignore();
        platform::Guarded([&] { OnClose(); });
    }
};

// The 16 by 16 glyph of the full-screen button: four corners pointing out, or two windows.
QIcon FullScreenGlyph(bool Restore)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 1));
    if (Restore) {
        painter.drawRect(5, 2, 9, 7);
        painter.fillRect(2, 6, 10, 8, Qt::white);
        painter.drawRect(2, 6, 9, 7);
        painter.drawLine(2, 7, 11, 7);
    } else {
        for (const QPoint corner : {QPoint(1, 1), QPoint(14, 1), QPoint(1, 14), QPoint(14, 14)}) {
            const int dx = corner.x() == 1 ? 1 : -1;
            const int dy = corner.y() == 1 ? 1 : -1;
            painter.drawLine(corner, corner + QPoint(4 * dx, 0));
            painter.drawLine(corner, corner + QPoint(0, 4 * dy));
        }
        painter.drawRect(5, 5, 5, 5);
    }
    return QIcon(pixmap);
}

}  // namespace

TZDesignArea::TZDesignArea(TZStructDesignPanel* Panel) : QScrollArea(Panel), FPanel(Panel)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(new TZDesignContent(this));
}

void TZDesignArea::Click()
{
    if (TLinkRep* link = FPanel->HoveredLink())
        FPanel->SelectLink(link);
}

void TZDesignArea::DblClick()
{
    if (TLinkRep* link = FPanel->HoveredLink())
        FPanel->EditLink(link);
}

void TZDesignArea::MouseMove(Qt::KeyboardModifiers Modifiers, const QPoint& Pos)
{
    FPanel->MouseMove(Content(), Modifiers, Pos);
}

void TZDesignArea::UpdateExtent()
{
    int right = 0;
    int bottom = 0;
    for (const TTableRep* window : FPanel->TableReps()) {
        right = std::max(right, window->x() + window->width());
        bottom = std::max(bottom, window->y() + window->height());
    }
    const QSize extent(std::max(right + TZStructDesignPanel::LeftMargin, viewport()->width()),
        std::max(bottom + TZStructDesignPanel::TopMargin, viewport()->height()));
    if (Content()->size() != extent)
        Content()->resize(extent);
}

void TZDesignArea::resizeEvent(QResizeEvent* Event)
{
    QScrollArea::resizeEvent(Event);
    UpdateExtent();
}

TZStructDesignPanel::TZStructDesignPanel(QWidget* Parent) : QFrame(Parent), FLayout(new QVBoxLayout(this))
{
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(0);
    FActionHints = QStringList {
        QStringLiteral("SelectTableHint=Click inside table to select it"),
        QStringLiteral("SelectLinkHint=Click on link line to select it"),
        QStringLiteral("IdleHint=To add/delete tables and links - make right click and select necessary "
                       "operation"),
        QStringLiteral("AddLinkStage1Hint=Select a field in the first linking table"),
        QStringLiteral("AddLinkStage2Hint=Select a field in the second linking table"),
    };
}

TZStructDesignPanel::~TZStructDesignPanel()
{
    FDestroying = true;
    SetShowFullScreenButton(false);
    SetFullScreen(false);
    SetShowActionHints(false);
    ClearDesign();
    // Pictures left by a build that failed go before the members: they ask the panel as they go.
    ClearPictures();
}

void TZStructDesignPanel::SetDBStruct(TZCustomDBStructure* Value)
{
    if (Value == FDBStruct)
        return;
    if (FDBStruct)
        disconnect(FDBStruct, nullptr, this, nullptr);
    // The windows and pictures point into the model they were made for: they never outlive it.
    ClearDesign();
    FDBStruct = Value;
    if (Value)
        connect(Value, &QObject::destroyed, this, [this] { ClearDesign(); });
}

TZDBInfo* TZStructDesignPanel::GetDatabaseInfo() const
{
    if (!FDBStruct)
        throw EStructureDesignError(NoStructureText);
    if (!FDBStruct->DatabaseInfo())
        throw EStructureDesignError(NoDatabaseInfoText);
    return FDBStruct->DatabaseInfo();
}

TTableRep* TZStructDesignPanel::MakeTableRep(TDSTable* Table)
{
    auto* window = new TTableRep;
    window->SetTable(Table);
    window->SetParent(FDesignArea->Content());
    return window;
}

void TZStructDesignPanel::BuildDesign()
{
    if (FBuilt)
        return;
    CancelAddLink();
    if (!FDesignArea) {
        FDesignArea = new TZDesignArea(this);
        FLayout->insertWidget(0, FDesignArea, 1);
        // At once, not from the event loop: the windows placed on it store their places as they move.
        FDesignArea->show();
    }
    if (!FButtonPanel) {
        FButtonPanel = new QFrame(this);
        static_cast<QFrame*>(FButtonPanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
        const int border = frameWidth();
        FButtonPanel->setGeometry(border > 0 ? border + 1 : 1, border > 0 ? border : 1, 24, 24);
        auto* layout = new QHBoxLayout(FButtonPanel);
        layout->setContentsMargins(1, 1, 1, 1);
        FFullScreenButton = new QToolButton(FButtonPanel);
        FFullScreenButton->setAutoRaise(true);
        FFullScreenButton->setIconSize(QSize(16, 16));
        layout->addWidget(FFullScreenButton);
        SetFullScreenGlyph();
        connect(FFullScreenButton, &QToolButton::clicked, this,
            [this] { platform::Guarded([&] { SetFullScreen(!FFullScreen); }); });
        FButtonPanel->hide();
    }
    ClearPictures();
    if (!FDBStruct)
        throw EStructureDesignError(NoStructureText);

    FPlacingAll = true;
    auto placed = qScopeGuard([this] { FPlacingAll = false; });
    FAllSized = true;
    for (TDSTable* table : FDBStruct->Tables()) {
        TTableRep* window = MakeTableRep(table);
        FAllSized = FAllSized && table->DsgnPos().width() > 0 && table->DsgnPos().height() > 0;
        window->show();
        FTableReps.Add(window);
    }
    if (!FAllSized)
        AutoArrange();
    if (FDBStruct->DatabaseInfo())
        for (TDSLink* link : FDBStruct->Links()) {
            TTableRep* window1 = FTableReps.FindByTable(link->Table1());
            TTableRep* window2 = FTableReps.FindByTable(link->Table2());
            if (!window1 || !window2)
                continue;
            auto* rep = new TLinkRep;
            rep->SetParent(FDesignArea->Content());
            rep->SetLink(link, window1, window2);
            rep->show();
            FLinkReps.Add(rep);
        }
    placed.dismiss();
    FPlacingAll = false;
    FDesignArea->UpdateExtent();

    if (FTableReps.Count() > 0)
        SelectTable(FTableReps.First());
    if (FLinkReps.Count() > 0)
        SelectLink(FLinkReps.First());
    FButtonPanel->setVisible(FShowFullScreenButton);
    FButtonPanel->raise();
    FBuilt = true;
}

void TZStructDesignPanel::ClearDesign()
{
    CancelAddLink();
    if (!FBuilt)
        return;
    FBuilt = false;
    ClearPictures();
    delete FButtonPanel;
    FButtonPanel = nullptr;
    FFullScreenButton = nullptr;
    delete FDesignArea;
    FDesignArea = nullptr;
}

void TZStructDesignPanel::ClearPictures()
{
    CancelAddLink();
    SelectTable(nullptr);
    SelectLink(nullptr);
    FLinkReps.Clear();
    FTableReps.Clear();
}

void TZStructDesignPanel::AutoArrange()
{
    {
        const bool wasPlacing = FPlacingAll;
        FPlacingAll = true;
        auto placed = qScopeGuard([&] { FPlacingAll = wasPlacing; });
        int x = LeftMargin;
        int y = TopMargin;
        int rowHeight = 0;
        const int clientWidth = contentsRect().width();
        for (int i = 0; i < FTableReps.Count(); ++i) {
            TTableRep* window = FTableReps[i];
            // The first window is never moved to a new row.
            if (i > 0 && x + window->width() + HorzGap > clientWidth) {
                y += rowHeight + VertGap;
                x = LeftMargin;
            }
            window->move(x, y);
            rowHeight = std::max(rowHeight, window->height());
            x += window->width() + HorzGap;
        }
    }
    if (FPlacingAll)
        return;
    for (TLinkRep* rep : FLinkReps)
        rep->UpdateNodes();
    if (FDesignArea)
        FDesignArea->UpdateExtent();
}

void TZStructDesignPanel::PlaceNewTable(TTableRep* Window)
{
    int right = 0;
    int top = 0;
    int bottom = 0;
    for (const TTableRep* window : FTableReps) {
        right = std::max(right, window->x() + window->width());
        top = std::max(top, window->y());
        bottom = std::max(bottom, window->y() + window->height());
    }
    if (right + Window->width() + HorzGap > contentsRect().width())
        Window->move(LeftMargin, bottom + VertGap);
    else
        Window->move(right + HorzGap, top);
}

void TZStructDesignPanel::RerouteLinks(const TTableRep* Window)
{
    if (FPlacingAll)
        return;
    for (TLinkRep* rep : FLinkReps)
        if (rep->TableRep1() == Window || rep->TableRep2() == Window)
            rep->UpdateNodes();
}

void TZStructDesignPanel::TableMoved(const TTableRep* Window)
{
    if (!FBuilt || FPlacingAll)
        return;
    RerouteLinks(Window);
    FDesignArea->UpdateExtent();
}

namespace {

// Makes Next the selected picture of its kind; true when a picture became selected.
template <typename P>
bool Reselect(QPointer<P>& Selected, P* Next)
{
    if (Next == Selected)
        return false;
    if (Selected)
        Selected->SetSelected(false);
    Selected = Next;
    if (!Next)
        return false;
    Next->SetSelected(true);
    return true;
}

}  // namespace

void TZStructDesignPanel::SelectTable(TTableRep* Window)
{
    if (Reselect(FSelectedTable, Window) && OnSelectTable)
        OnSelectTable(this);
}

void TZStructDesignPanel::SelectLink(TLinkRep* Rep)
{
    if (Reselect(FSelectedLink, Rep) && OnSelectLink)
        OnSelectLink(this);
}

TLinkRep* TZStructDesignPanel::FindLinkRep(const TDSLink* Link) const
{
    const int index = FLinkReps.IndexOfLink(Link);
    return index >= 0 ? FLinkReps[index] : nullptr;
}

bool TZStructDesignPanel::AddTables(QList<TDSTable*>* List, bool& AutoAddFields)
{
    if (!FDBStruct)
        throw EStructureDesignError(NoStructureText);
    uint8_t flags
        = lpfShowAutoAddFields | lpfMultiSelect | (FDBStruct->AutoAddFields() ? lpfAutoAddFields : 0);
    QStringList names;
    QString databaseName;
    const bool result = SelectDBTables(FDBStruct->DatabaseInfo(), names, databaseName, flags);
    if (!result || !FDBStruct)
        return false;
    AutoAddFields = flags & lpfAutoAddFields;
    for (const QString& name : names) {
        TDSTable* table = FDBStruct->Tables()[FDBStruct->AddTable(name, name)];
        table->SetDBName(databaseName);
        if (FDesignArea) {
            TTableRep* window = MakeTableRep(table);
            PlaceNewTable(window);
            window->show();
            FTableReps.Add(window);
            SelectTable(window);
        }
        if (List)
            List->append(table);
    }
    return result;
}

void TZStructDesignPanel::DeleteSelectedTable()
{
    if (FSelectedTable)
        DeleteTable(FTableReps.IndexOf(FSelectedTable));
}

void TZStructDesignPanel::DeleteTable(int N)
{
    CancelAddLink();
    QPointer<TTableRep> window = FTableReps[N];
    if (window == FSelectedTable)
        SelectTable(N < FTableReps.Count() - 1 ? FTableReps[N + 1] : N > 0 ? FTableReps[N - 1] : nullptr);
    for (int i = FLinkReps.Count() - 1; i >= 0 && window; --i)
        if (i < FLinkReps.Count()
            && (FLinkReps[i]->TableRep1() == window || FLinkReps[i]->TableRep2() == window))
            DeleteLink(i);
    // The selection's event may have let the host change the design: delete what was asked for.
    if (!window)
        return;
    if (FDBStruct) {
        const int index = int(FDBStruct->Tables().indexOf(window->Table()));
        if (index >= 0)
            FDBStruct->DeleteTable(index);
    }
    FTableReps.DeleteAndFree(FTableReps.IndexOf(window));
}

void TZStructDesignPanel::DeleteSelectedLink()
{
    if (FSelectedLink)
        DeleteLink(FLinkReps.IndexOf(FSelectedLink));
}

void TZStructDesignPanel::DeleteLink(int N)
{
    QPointer<TLinkRep> rep = FLinkReps[N];
    TDSLink* link = rep->Link();
    if (rep == FSelectedLink)
        SelectLink(N < FLinkReps.Count() - 1 ? FLinkReps[N + 1] : N > 0 ? FLinkReps[N - 1] : nullptr);
    if (!rep)
        return;
    // Only a link the model holds is freed: the picture does not own it.
    if (FDBStruct) {
        const int index = int(FDBStruct->Links().indexOf(link));
        if (index >= 0)
            FDBStruct->DeleteLink(index);
    }
    FLinkReps.DeleteAndFree(FLinkReps.IndexOf(rep));
}

void TZStructDesignPanel::EditSelectedLink()
{
    if (FSelectedLink)
        EditLink(FSelectedLink);
}

void TZStructDesignPanel::EditLink(TLinkRep* Rep)
{
    if (!FDBStruct)
        throw EStructureDesignError(NoStructureText);
    QPointer<TLinkRep> rep = Rep;
    EditDSLink(FDBStruct, Rep->Link());
    if (rep)
        rep->UpdateNodes();
}

void TZStructDesignPanel::StartAddLink()
{
    if (FAddLinkState != alsIdle)
        return;
    FAddLinkState = alsFirstField;
    FRubberBand = new TLinkRep;
    for (TTableRep* window : FTableReps) {
        window->FieldList()->viewport()->setCursor(Qt::PointingHandCursor);
        window->OnTableClick = [this](TTableRep* Sender) { FirstClick(Sender); };
        window->FieldList()->OnMouseMove
            = [this](TTableRepListBox* Sender, const QPoint& Pos) { ListHover(Sender, Pos); };
        window->FieldList()->OnExit = [](TTableRepListBox* Sender, const QPoint&) { Sender->SelectNone(); };
    }
    if (OnAddLinkStart)
        OnAddLinkStart(this);
}

void TZStructDesignPanel::ListHover(TTableRepListBox* List, const QPoint& Pos)
{
    if (!List->hasFocus())
        List->setFocus();
    List->SelectRowAt(Pos);
    if (FAddLinkState == alsSecondField && FRubberBand)
        FRubberBand->FollowCursor();
}

void TZStructDesignPanel::FirstClick(TTableRep* Window)
{
    TZDBInfo* info = GetDatabaseInfo();
    if (!FDesignArea || !FRubberBand)
        return;
    auto link = std::make_unique<TDSLink>();
    link->SetTable1(Window->Table());
    link->SetTable2(Window->Table());
    const QString row = Window->FieldList()->SelectedText();
    if (info->IsConnected() && !row.isNull()) {
        link->SetFields1({row});
        link->SetFields2({row});
    } else {
        link->SetFields1({QStringLiteral("Field1")});
        link->SetFields2({QStringLiteral("Field2")});
    }
    FPendingLink = std::move(link);
    FRubberBand->SetParent(FDesignArea->Content());
    FRubberBand->SetLink(FPendingLink.get(), Window, Window);
    FRubberBand->show();
    FRubberBand->FollowCursor();
    FAddLinkState = alsSecondField;
    for (TTableRep* window : FTableReps)
        window->OnTableClick = [this](TTableRep* Sender) { SecondClick(Sender); };
}

void TZStructDesignPanel::SecondClick(TTableRep* Window)
{
    TZDBInfo* info = GetDatabaseInfo();
    TDSLink* link = FPendingLink.get();
    if (!link || !FRubberBand)
        return;
    link->SetTable2(Window->Table());
    const bool connected = info->IsConnected();
    const QString row = Window->FieldList()->SelectedText();
    if (connected && !row.isNull() && !link->FldName2().isEmpty()) {
        QStringList fields = link->FldName2();
        fields[0] = row;
        link->SetFields2(fields);
    }
    FRubberBand->SetTableRep2(Window);
    FRubberBand->UpdateNodes();
    // Without a database the dialog starts without pairs: the sides are typed there.
    if (!connected) {
        link->SetFields1({});
        link->SetFields2({});
    }
    QPointer<TZStructDesignPanel> self = this;
    const bool accepted = EditDSLink(FDBStruct, link);
    // Add-link mode may have ended while the dialog was open.
    if (!self || FPendingLink.get() != link || !FDBStruct)
        return;
    if (!accepted) {
        CancelAddLink();
        return;
    }
    TLinkRep* rep = FRubberBand;
    FRubberBand = nullptr;
    FLinkReps.Add(rep);
    FDBStruct->AddLink(FPendingLink.release());
    rep->UpdateNodes();
    SelectLink(rep);
    EndAddLink(rep);
}

void TZStructDesignPanel::CancelAddLink()
{
    if (FAddLinkState == alsIdle)
        return;
    delete FRubberBand;
    FRubberBand = nullptr;
    if (FPendingLink) {
        // A table the model no longer holds is gone: the link must not try to leave it.
        const auto gone = [this](TDSTable* Table) {
            return Table && (!FDBStruct || !FDBStruct->Tables().contains(Table));
        };
        if (gone(FPendingLink->Table1()))
            FPendingLink->SetTable1(nullptr);
        if (gone(FPendingLink->Table2()))
            FPendingLink->SetTable2(nullptr);
        FPendingLink.reset();
    }
    EndAddLink(nullptr);
}

void TZStructDesignPanel::EndAddLink(TLinkRep* NewLink)
{
    for (TTableRep* window : FTableReps) {
        window->FieldList()->viewport()->unsetCursor();
        window->OnTableClick = nullptr;
        window->FieldList()->OnMouseMove = nullptr;
        window->FieldList()->OnExit = nullptr;
    }
    // Idle before the event, so a host asking the state in its handler sees the mode ended.
    FAddLinkState = alsIdle;
    if (OnAddLinkFinish)
        OnAddLinkFinish(this, NewLink);
}

void TZStructDesignPanel::mouseMoveEvent(QMouseEvent* Event)
{
    QFrame::mouseMoveEvent(Event);
    platform::Guarded([&] { MouseMove(this, Event->modifiers(), Event->position().toPoint()); });
}

void TZStructDesignPanel::MouseMove(QWidget* Sender, Qt::KeyboardModifiers, const QPoint& Pos)
{
    if (FDestroying)
        return;
    if (FAddLinkState == alsFirstField) {
        ShowHint(QStringLiteral("AddLinkStage1Hint"));
        return;
    }
    if (FAddLinkState == alsSecondField) {
        if (FRubberBand)
            FRubberBand->FollowCursor();
        ShowHint(QStringLiteral("AddLinkStage2Hint"));
        return;
    }
    if (!FDesignArea)
        return;
    QWidget* content = FDesignArea->Content();
    // Every sender's point in design coordinates; a link passing under a window is not hovered.
    const QPoint point = content->mapFromGlobal(Sender->mapToGlobal(Pos));
    const bool inTable = FTableReps.IsPointInTable(point.x(), point.y());
    TLinkRep* hovered = nullptr;
    if (!inTable)
        FLinkReps.FindLinkAt(point.x(), point.y(), hovered);
    FHoveredLink = hovered;
    if (hovered) {
        content->setCursor(Qt::PointingHandCursor);
        ShowHint(QStringLiteral("SelectLinkHint"));
    } else {
        content->unsetCursor();
        ShowHint(inTable ? QStringLiteral("SelectTableHint") : QStringLiteral("IdleHint"));
    }
}

void TZStructDesignPanel::ShowHint(const QString& Key)
{
    if (FHintLine)
        FHintLine->setText(FActionHints.Values(Key));
}

void TZStructDesignPanel::SetShowFullScreenButton(bool Value)
{
    if (Value == FShowFullScreenButton)
        return;
    FShowFullScreenButton = Value;
    if (!Value)
        SetFullScreen(false);
    if (FBuilt && FButtonPanel) {
        FButtonPanel->setVisible(Value);
        FButtonPanel->raise();
    }
}

void TZStructDesignPanel::SetShowActionHints(bool Value)
{
    if (Value == FShowActionHints)
        return;
    if (Value) {
        FHintLine = new QLabel(this);
        FHintLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        FHintLine->setText(FActionHints.Values(QStringLiteral("IdleHint")));
        FLayout->addWidget(FHintLine);
    } else {
        delete FHintLine;
        FHintLine = nullptr;
    }
    FShowActionHints = Value;
}

void TZStructDesignPanel::SetFullScreenGlyph()
{
    if (!FFullScreenButton)
        return;
    FFullScreenButton->setToolTip(FFullScreen ? RestoreHint : FullScreenHint);
    FFullScreenButton->setIcon(FullScreenGlyph(FFullScreen));
}

void TZStructDesignPanel::SetFullScreen(bool Value)
{
    if (Value == FFullScreen)
        return;
    if (Value) {
        auto* form = new TFullScreenForm;
        QScreen* display = screen();
        form->setWindowTitle(
            QStringLiteral("Design panel full screen mode ") + QString::number(display->geometry().height()));
        form->setGeometry(display->availableGeometry());
        form->OnClose = [this] { SetFullScreen(false); };
        form->show();
        form->repaint();
        FSavedParent = parentWidget();
        auto* box = FSavedParent ? qobject_cast<QBoxLayout*>(FSavedParent->layout()) : nullptr;
        FSavedLayoutIndex = box ? box->indexOf(this) : -1;
        FSavedStretch = FSavedLayoutIndex >= 0 ? box->stretch(FSavedLayoutIndex) : 0;
        FSavedGeometry = geometry();
        form->layout()->addWidget(this);
        show();
        FFullScreenForm = form;
        FFullScreen = true;
    } else {
        QWidget* form = FFullScreenForm;
        FFullScreenForm = nullptr;
        FFullScreen = false;
        form->layout()->removeWidget(this);
        // A panel on its way out stays where it is; one whose place is gone is left hidden, without
        // a parent, to whoever owns it.
        if (!FDestroying) {
            setParent(FSavedParent);
            auto* box = FSavedParent ? qobject_cast<QBoxLayout*>(FSavedParent->layout()) : nullptr;
            if (box && FSavedLayoutIndex >= 0)
                box->insertWidget(std::min(FSavedLayoutIndex, int(box->count())), this, FSavedStretch);
            else
                setGeometry(FSavedGeometry);
            if (FSavedParent)
                show();
        }
        // The form may be the one whose close event got here.
        form->hide();
        form->deleteLater();
    }
    SetFullScreenGlyph();
}
