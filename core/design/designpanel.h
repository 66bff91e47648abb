#pragma once

#include "core/design/designpictures.h"
#include "rtl/exception.h"
#include "rtl/stringlist.h"

#include <QFrame>
#include <QPointer>
#include <QScrollArea>

#include <functional>
#include <memory>

class QBoxLayout;
class QLabel;
class QToolButton;
class TDSLink;
class TZCustomDBStructure;
class TZDBInfo;

class EStructureDesignError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// The scrolling area that holds the table windows and link pictures. Its content widget's
// coordinates are the design coordinates: the scrolled content, whatever the scroll position.
class TZDesignArea : public QScrollArea {
public:
    explicit TZDesignArea(TZStructDesignPanel* Panel);

    TZStructDesignPanel* Panel() const { return FPanel; }
    // The widget the pictures lie on.
    QWidget* Content() const { return widget(); }

    // Selects the hovered link.
    void Click();
    // Edits the hovered link.
    void DblClick();
    void MouseMove(Qt::KeyboardModifiers Modifiers, const QPoint& Pos);
    // Grows or shrinks the content to hold every table window and at least fill the view.
    void UpdateExtent();

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    TZStructDesignPanel* FPanel;
};

// Shows a data model as table windows and link lines on a scrolling design area, and lets the
// user select, add, move and delete tables and links, edit a link and switch to full screen.
// Model items and pictures meet only here: FindTableRep/FindLinkRep go from an item to its picture,
// a picture's Table()/Link() back.
class TZStructDesignPanel : public QFrame {
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TAddLinkFinishEvent = std::function<void(QObject* Sender, TLinkRep* NewLink)>;

    // Fired when add-link mode ends: with the new link's picture, or nil when none was added.
    TAddLinkFinishEvent OnAddLinkFinish;
    TNotifyEvent OnAddLinkStart;
    TNotifyEvent OnSelectTable;
    TNotifyEvent OnSelectLink;

    // What add-link mode waits for.
    enum TAddLinkState { alsIdle, alsFirstField, alsSecondField };

    // The places auto-arranging and new tables keep from the area's edges and from each other.
    static constexpr int LeftMargin = 12;
    static constexpr int TopMargin = 10;
    static constexpr int HorzGap = 40;
    static constexpr int VertGap = 20;

    explicit TZStructDesignPanel(QWidget* Parent = nullptr);
    ~TZStructDesignPanel() override;

    TZCustomDBStructure* DBStruct() const { return FDBStruct; }
    // Clears the design; the new model is drawn by BuildDesign.
    void SetDBStruct(TZCustomDBStructure* Value);
    // The model's database information; EStructureDesignError without a model or without one.
    TZDBInfo* GetDatabaseInfo() const;

    bool Built() const { return FBuilt; }
    TZDesignArea* DesignArea() const { return FDesignArea; }
    const TTableRepList& TableReps() const { return FTableReps; }
    const TLinkRepList& LinkReps() const { return FLinkReps; }
    QWidget* ButtonPanel() const { return FButtonPanel; }
    QToolButton* FullScreenButton() const { return FFullScreenButton; }
    QLabel* HintLine() const { return FHintLine; }
    TLinkRep* HoveredLink() const { return FHoveredLink; }
    TLinkRep* RubberBand() const { return FRubberBand; }

    void BuildDesign();
    void ClearDesign();
    // Drops every picture and the selection; the area and the built state stay.
    void ClearPictures();
    // Places every table window anew, row by row.
    void AutoArrange();
    // Places a window that is about to join the table windows: right of the others, or under all.
    void PlaceNewTable(TTableRep* Window);
    // Re-routes every link picture ending at Window.
    void RerouteLinks(const TTableRep* Window);
    // A table window moved or changed its size.
    void TableMoved(const TTableRep* Window);

    TTableRep* SelectedTable() const { return FSelectedTable; }
    TLinkRep* SelectedLink() const { return FSelectedLink; }
    // Selecting a picture fires OnSelectTable or OnSelectLink; selecting none fires nothing.
    void SelectTable(TTableRep* Window);
    void SelectLink(TLinkRep* Rep);
    TTableRep* FindTableRep(const TDSTable* Table) const { return FTableReps.FindByTable(Table); }
    TLinkRep* FindLinkRep(const TDSLink* Link) const;

    // Picks database tables and adds them to the model and the design; List, when given, gets the
    // new tables. AutoAddFields tells whether the host should add their fields.
    bool AddTables(QList<TDSTable*>* List, bool& AutoAddFields);
    void DeleteSelectedTable();
    void DeleteTable(int N);
    void DeleteSelectedLink();
    void DeleteLink(int N);
    void EditSelectedLink();
    // Edits the link of Rep in the link dialog, then re-routes its lines.
    void EditLink(TLinkRep* Rep);

    TAddLinkState AddLinkState() const { return FAddLinkState; }
    void StartAddLink();
    // Drops the link being added; nothing when add-link mode is off.
    void CancelAddLink();

    // The panel's handling of a mouse move over the area, a table window or a field list, given in
    // Sender's own coordinates.
    void MouseMove(QWidget* Sender, Qt::KeyboardModifiers Modifiers, const QPoint& Pos);

    bool ShowFullScreenButton() const { return FShowFullScreenButton; }
    void SetShowFullScreenButton(bool Value);
    bool ShowActionHints() const { return FShowActionHints; }
    void SetShowActionHints(bool Value);
    const rtl::StringList& ActionHints() const { return FActionHints; }
    void SetActionHints(const QStringList& Lines) { FActionHints = Lines; }
    bool FullScreen() const { return FFullScreen; }
    void SetFullScreen(bool Value);
    // The borderless window of full-screen mode, or nil.
    QWidget* FullScreenForm() const { return FFullScreenForm; }

protected:
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    TTableRep* MakeTableRep(TDSTable* Table);
    // A table window's clicks in add-link mode.
    void FirstClick(TTableRep* Window);
    void SecondClick(TTableRep* Window);
    void ListHover(TTableRepListBox* List, const QPoint& Pos);
    void EndAddLink(TLinkRep* NewLink);
    void ShowHint(const QString& Key);
    void SetFullScreenGlyph();

    QPointer<TZCustomDBStructure> FDBStruct;
    bool FBuilt = false;
    bool FDestroying = false;
    // Re-routing waits while a whole design is placed; the links are routed once afterwards.
    bool FPlacingAll = false;
    TZDesignArea* FDesignArea = nullptr;
    QWidget* FButtonPanel = nullptr;
    QToolButton* FFullScreenButton = nullptr;
    QBoxLayout* FLayout;
    TTableRepList FTableReps;
    TLinkRepList FLinkReps;
    QPointer<TLinkRep> FHoveredLink;
    QPointer<TTableRep> FSelectedTable;
    QPointer<TLinkRep> FSelectedLink;
    bool FShowFullScreenButton = false;
    bool FFullScreen = false;
    rtl::StringList FActionHints;
    // The link being added and its picture; the model takes the link only when it is accepted.
    TLinkRep* FRubberBand = nullptr;
    std::unique_ptr<TDSLink> FPendingLink;
    TAddLinkState FAddLinkState = alsIdle;
    bool FAllSized = false;
    // Where the panel was before full-screen mode.
    QPointer<QWidget> FSavedParent;
    int FSavedLayoutIndex = -1;
    int FSavedStretch = 0;
    QRect FSavedGeometry;
    QWidget* FFullScreenForm = nullptr;
    QLabel* FHintLine = nullptr;
    bool FShowActionHints = false;
};
