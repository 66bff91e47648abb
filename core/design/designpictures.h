#pragma once

#include "core/base/objectlist.h"

#include <QListWidget>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

class TDSLink;
class TDSTable;
class TTableRep;
class TZStructDesignPanel;

// The design panel a picture lies on (table window or link picture on its design area), or nil.
TZStructDesignPanel* PanelOf(const QWidget* Picture);

// One end of a link picture at one field of one table window, in design coordinates.
struct TLinkNode {
    int X = 0;
    int Y = 0;
    // The side of the window the link leaves from: +1 right, -1 left.
    int Dir = -1;
    // The link operand this node stands for.
    QString FieldName;
};

class TLinkNodes : public TZObjectList<TLinkNode> {
public:
    // The first node of that operand ignoring ASCII case, else -1.
    int IndexOfField(const QString& Name) const;
};

// The picture of one link: a stub from each field of a side, a bus joining the stubs of a side
// and one line between the two buses. It never takes mouse input, so clicks and moves reach the
// design area under it. It covers only its own lines, so moving a window repaints no more.
class TLinkRep : public QWidget {
public:
    // Hidden and without a parent.
    TLinkRep();

    TDSLink* Link() const { return FLink; }
    TTableRep* TableRep1() const { return FTableRep1; }
    TTableRep* TableRep2() const { return FTableRep2; }
    void SetTableRep2(TTableRep* Value) { FTableRep2 = Value; }
    const TLinkNodes& Nodes1() const { return FNodes1; }
    const TLinkNodes& Nodes2() const { return FNodes2; }
    bool Selected() const { return FSelected; }

    // Places the picture on the content of a design area, under the table windows.
    void SetParent(QWidget* Area);
    void SetLink(TDSLink* Link, TTableRep* TableRep1, TTableRep* TableRep2);
    // Rebuilds both node lists from the link's operands and the windows' places.
    void UpdateNodes();
    // Selecting makes the picture the panel's selected link.
    void SetSelected(bool Value);
    // The first node of side 2 takes the mouse cursor's place: the rubber band of a link being added.
    void FollowCursor();
    // Within 4 pixels of the line between the bus points of a pair (design coordinates).
    bool IsPointOnLink(int X, int Y) const;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    // The rectangle the lines cover, in design coordinates.
    QRect LinesBounds() const;
    void Relocate();

    TDSLink* FLink = nullptr;
    QPointer<TTableRep> FTableRep1;
    QPointer<TTableRep> FTableRep2;
    TLinkNodes FNodes1;
    TLinkNodes FNodes2;
    bool FSelected = false;
};

class TLinkRepList : public TZObjectList<TLinkRep> {
public:
    int IndexOfLink(const TDSLink* Link) const;
    // The first picture in list order whose line passes through (X, Y).
    bool FindLinkAt(int X, int Y, TLinkRep*& Rep) const;
};

// The field list of a table window. Add-link mode hangs its hover and exit handlers on it.
class TTableRepListBox : public QListWidget {
public:
    using TListEvent = std::function<void(TTableRepListBox* Sender, const QPoint& Pos)>;

    // The mouse moved over the list (list client coordinates); set by add-link mode.
    TListEvent OnMouseMove;
    // The list lost the focus; set by add-link mode.
    TListEvent OnExit;

    explicit TTableRepListBox(TTableRep* Window);

    TTableRep* Window() const { return FWindow; }
    // The text of the selected row, or a null text when no row is selected.
    QString SelectedText() const;
    // Selects the row at Pos, or none when Pos is on no row.
    void SelectRowAt(const QPoint& Pos);
    void SelectNone();

protected:
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;

private:
    TTableRep* FWindow;
};

// The window of one table on the design area: a caption bar with the table's caption over the list
// of its fields, moved by its caption and sized by its border. Its place is the table's stored
// design position, written back after every move and size.
class TTableRep : public QWidget {
public:
    using TTableClickEvent = std::function<void(TTableRep* Sender)>;

    // A mouse press on the field list; set by add-link mode.
    TTableClickEvent OnTableClick;

    // 110 by 160, without a table or a parent.
    TTableRep();
    ~TTableRep() override;

    TTableRepListBox* FieldList() const { return FFieldList; }
    TDSTable* Table() const { return FTable; }
    bool Selected() const { return FSelected; }
    QString Caption() const { return FCaption; }

    // Caption, place and fields from Table; a stored size of 0 keeps the window's own.
    void SetTable(TDSTable* Table);
    // Places the window on the content of a design area and fills its fields.
    void SetParent(QWidget* Area);
    void RefreshFields();
    void FillFields();
    // Selecting highlights the field list, focuses the window and makes it the panel's selected
    // table.
    void SetSelected(bool Value);
    virtual void DoTableClick();
    void DoEnter();
    // Forwards a mouse move of the window or of its list to the panel.
    void ForwardMouseMove(QWidget* Sender, Qt::KeyboardModifiers Modifiers, const QPoint& Pos);

    // Where a link to Other leaves this window: X and the side (+1 right, -1 left).
    void GetLinkNodeX(const TTableRep* Other, int& X, int& Dir) const;
    // The height at which the link end of a field meets the window, in design coordinates.
    int GetFieldNodeY(const QString& FieldName) const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    // Which borders a press at Pos drags (Qt::Edges), or none for the caption or the inside.
    Qt::Edges EdgesAt(const QPoint& Pos) const;
    QRect CaptionRect() const;
    void LayoutFieldList();
    // Stores the window's place and size in the table and re-routes its links.
    void PlaceChanged();

    TTableRepListBox* FFieldList;
    TDSTable* FTable = nullptr;
    bool FSelected = false;
    QString FCaption;
    int FCaptionHeight;
    // The drag under way: started at FDragFrom (global) on FDragStart, moving or sizing FDragEdges.
    bool FDragging = false;
    Qt::Edges FDragEdges;
    QPoint FDragFrom;
    QRect FDragStart;
};

class TTableRepList : public TZObjectList<TTableRep> {
public:
    int IndexOfTable(const TDSTable* Table) const;
    TTableRep* FindByTable(const TDSTable* Table) const;
    // Some window covers (X, Y), edges included (design coordinates).
    bool IsPointInTable(int X, int Y) const;
};
