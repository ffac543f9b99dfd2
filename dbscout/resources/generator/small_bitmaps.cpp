// The smaller bitmaps: sort arrows (6926), the Go! icon (6921), the toolbar button (6913) and the
// access levels (6930).

#include "artwork.h"
#include "painting.h"

#include <QPainterPath>

namespace Artwork {

namespace {

QImage arrow(bool up)
{
    QImage image = blankImage(16, 16);
    Pen p(image);
    const qreal tip = up ? 5.5 : 10.5;
    const qreal base = up ? 10.5 : 5.5;
    const QPainterPath triangle = closedPath({{8, tip}, {12.5, base}, {3.5, base}});
    p.setPen(QPen(QColor(0x4a, 0x50, 0x5a), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x6a, 0x72, 0x7e));
    p.drawPath(triangle);
    return image;
}

QImage eye()
{
    QImage image = blankImage(16, 16);
    Pen p(image);
    QPainterPath lids;
    lids.moveTo(1, 8);
    lids.quadTo(8, 0.5, 15, 8);
    lids.quadTo(8, 15.5, 1, 8);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::white);
    p.drawPath(lids);
    p.setBrush(QColor(0x2f, 0x6f, 0xd6));
    p.drawEllipse(QPointF(8, 8), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawEllipse(QPointF(8, 8), 1.3, 1.3);
    return image;
}

QImage pencil()
{
    QImage image = blankImage(16, 16);
    Pen p(image);
    p.translate(8, 8);
    p.rotate(-45);
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(0xf2, 0xbf, 0x2c));
    p.drawRect(QRectF(-4.5, -2, 9, 4)); // the body
    p.setBrush(QColor(0xe8, 0x8a, 0x8a));
    p.drawRect(QRectF(4.5, -2, 2, 4)); // the eraser
    const QPainterPath point = closedPath({{-4.5, -2}, {-8, 0}, {-4.5, 2}});
    p.setBrush(QColor(0xf1, 0xd9, 0xb0));
    p.drawPath(point);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawEllipse(QPointF(-7.2, 0), 0.9, 0.9);
    return image;
}

} // namespace

QImage sortArrows()
{
    return joinStrip({arrow(true), arrow(false)}, 16, 16);
}

QImage goIcon()
{
    QImage image = blankImage(29, 16);
    Pen p(image);
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, QColor(0x5c, 0xc4, 0x6a));
    fill.setColorAt(1, QColor(0x23, 0x8a, 0x36));
    p.setPen(QPen(QColor(0x17, 0x5e, 0x25), 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 28, 15), 4, 4);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 29, 16), Qt::AlignCenter, QStringLiteral("Go!"));
    return image;
}

QImage toolbarImage()
{
    // The button opens the Go-to dialog (first object and page size): a page with an arrow.
    QImage image = blankImage(16, 15);
    Pen p(image);
    drawPage(p, QRectF(4.5, 0.5, 10, 13));
    p.setPen(QPen(QColor(0x9a, 0xa3, 0xb2), 1));
    for (qreal y : {4.5, 6.5, 8.5, 10.5})
        p.drawLine(QPointF(9, y), QPointF(12.5, y));
    const QPainterPath arrowHead =
        closedPath({{1, 5.5}, {5, 5.5}, {5, 3}, {9, 7.5}, {5, 12}, {5, 9.5}, {1, 9.5}});
    p.setPen(QPen(QColor(0x17, 0x45, 0x8f), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(0x3d, 0x7b, 0xd9));
    p.drawPath(arrowHead);
    return image;
}

QImage accessLevels()
{
    QImage none = blankImage(16, 16);
    {
        Pen p(none);
        drawNoEntry(p, QPointF(8, 8), 6.5);
    }
    return joinStrip({none, eye(), pencil()}, 16, 16);
}

} // namespace Artwork
