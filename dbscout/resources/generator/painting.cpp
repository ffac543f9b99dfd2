#include "painting.h"

#include <QPainterPath>

namespace Artwork {

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

Pen::Pen(QImage& image) : QPainter(&image)
{
    setRenderHint(QPainter::Antialiasing);
}

QImage joinStrip(const QList<QImage>& images, int width, int height)
{
    QImage strip = blankImage(width * int(images.size()), height);
    QPainter p(&strip);
    for (int i = 0; i < images.size(); ++i)
        p.drawImage(i * width, 0, images[i]);
    return strip;
}

QPainterPath closedPath(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    for (const QPointF& corner : corners)
        path.elementCount() == 0 ? path.moveTo(corner) : path.lineTo(corner);
    path.closeSubpath();
    return path;
}

void drawPage(QPainter& p, const QRectF& rect)
{
    const qreal fold = 4;
    const QPainterPath sheet =
        closedPath({rect.topLeft(), {rect.right() - fold, rect.top()},
                    {rect.right(), rect.top() + fold}, rect.bottomRight(), rect.bottomLeft()});
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(0xfb, 0xfb, 0xf7));
    p.drawPath(sheet);

    QPainterPath corner;
    corner.moveTo(rect.right() - fold, rect.top());
    corner.lineTo(rect.right() - fold, rect.top() + fold);
    corner.lineTo(rect.right(), rect.top() + fold);
    p.setBrush(QColor(0xd5, 0xd9, 0xe0));
    p.drawPath(corner);
}

void drawFolder(QPainter& p, const QColor& tint, bool open)
{
    const QColor back = tint.darker(125);
    const QPainterPath rear =
        closedPath({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}});
    p.setPen(QPen(outline, 1));
    p.setBrush(back);
    p.drawPath(rear);

    const QPainterPath front =
        open ? closedPath({{3.5, 7.5}, {15.5, 7.5}, {13, 13.5}, {1.5, 13.5}})
             : closedPath({{1.5, 6.5}, {14.5, 6.5}, {14.5, 13.5}, {1.5, 13.5}});
    QLinearGradient shade(0, 6, 0, 14);
    shade.setColorAt(0, tint.lighter(115));
    shade.setColorAt(1, tint);
    p.setBrush(shade);
    p.drawPath(front);
}

void drawNoEntry(QPainter& p, const QPointF& centre, qreal radius)
{
    p.setPen(QPen(QColor(0x8a, 0x14, 0x14), 1));
    p.setBrush(QColor(0xd9, 0x2b, 0x2b));
    p.drawEllipse(centre, radius, radius);
    const qreal half = radius * 0.6;
    const qreal bar = std::max<qreal>(1.5, radius * 0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(centre.x() - half, centre.y() - bar / 2, 2 * half, bar));
}

void drawPadlock(QPainter& p, const QRectF& body, const QColor& fill)
{
    const qreal shackleWidth = body.width() * 0.6;
    const QRectF shackle(body.center().x() - shackleWidth / 2, body.top() - shackleWidth * 0.75,
                         shackleWidth, shackleWidth * 1.4);
    // The shackle is steel grey rather than the outline colour, so that it shows on dark rows.
    p.setPen(QPen(QColor(0x80, 0x88, 0x94), 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(shackle, 0, 180 * 16);
    p.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
    p.drawLine(QPointF(shackle.right(), shackle.center().y()),
               QPointF(shackle.right(), body.top()));
    p.setPen(QPen(outline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(body, 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawRect(QRectF(body.center().x() - 0.5, body.center().y() - 0.5, 1, 1.5));
}

void drawSequenceBlocks(QPainter& p, qreal x, qreal y, int count, int firstBase)
{
    // The customary base colours: A green, C blue, G amber, T red.
    static const QColor bases[] = {QColor(0x2e, 0xa0, 0x43), QColor(0x2f, 0x6f, 0xd6),
                                   QColor(0xe8, 0xa3, 0x17), QColor(0xd6, 0x33, 0x33)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        p.setBrush(bases[(firstBase + i * 3) % 4]);
        p.drawRect(QRectF(x + 2 * i, y, 2, 2));
    }
}

} // namespace Artwork
