#include "app/mainwindow/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int Size = 16;

// A sheet of paper with a folded corner.
void DrawSheet(QPainter& Painter)
{
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(9.5, 1.5);
    sheet.lineTo(12.5, 4.5);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    Painter.setBrush(Qt::white);
    Painter.drawPath(sheet);
    Painter.drawPolyline(QPolygonF {{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}});
}

void DrawLines(QPainter& Painter, qreal Left, qreal Right, std::initializer_list<qreal> Ys)
{
    for (const qreal y : Ys)
        Painter.drawLine(QPointF(Left, y), QPointF(Right, y));
}

}  // namespace

QIcon SpeedGlyph(TGlyph Glyph)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    switch (Glyph) {
    case glNewQuery:
        DrawSheet(painter);
        break;
    case glQueryParams:
        DrawSheet(painter);
        DrawLines(painter, 5.5, 10.5, {7.5, 9.5, 11.5});
        break;
    case glSaveQuery:
        painter.setBrush(QColor(60, 90, 160));
        painter.drawRect(QRectF(2.5, 2.5, 11, 11));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4.5, 2.5, 7, 4));
        painter.drawRect(QRectF(5.5, 9.5, 5, 4));
        break;
    case glDeleteQuery:
        painter.setPen(QPen(QColor(190, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    case glBuildQuery:
        painter.setBrush(QColor(30, 150, 50));
        painter.drawPolygon(QPolygonF {{4.5, 2.5}, {13.5, 8}, {4.5, 13.5}});
        break;
    case glQueryPanel:
        painter.setBrush(QColor(250, 240, 190));
        painter.drawRect(QRectF(1.5, 2.5, 13, 11));
        DrawLines(painter, 3.5, 12.5, {5.5, 8.5, 11.5});
        break;
    case glShowSQL:
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(1.5, 2.5, 13, 11));
        painter.drawLine(QPointF(1.5, 5.5), QPointF(14.5, 5.5));
        painter.drawLine(QPointF(6.5, 5.5), QPointF(6.5, 13.5));
        break;
    case glHelp:
        painter.setBrush(QColor(60, 90, 160));
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(5.5, 4, 5, 4.5), 180 * 16, -270 * 16);
        painter.drawLine(QPointF(8, 8.5), QPointF(8, 9.5));
        painter.drawPoint(QPointF(8, 12));
        break;
    }
    painter.end();
    return QIcon(pixmap);
}
