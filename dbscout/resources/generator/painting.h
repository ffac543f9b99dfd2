#pragma once
// Small drawing helpers shared by the artwork of every strip. Coordinates are in pixels of the
// final image; a 1-pixel line is placed on a half pixel so that it stays sharp.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <initializer_list>

namespace Artwork {

// A transparent image of the given size.
QImage blankImage(int width, int height);

// A painter with antialiasing on, ready to draw into image.
class Pen final : public QPainter
{
public:
    explicit Pen(QImage& image);
};

// Images of one strip side by side, each width wide, in index order.
QImage joinStrip(const QList<QImage>& images, int width, int height);

// A closed outline through the corners, in order.
QPainterPath closedPath(std::initializer_list<QPointF> corners);

// Shapes used by more than one image.
void drawPage(QPainter& p, const QRectF& rect);              // white sheet with a folded corner
void drawFolder(QPainter& p, const QColor& tint, bool open); // a subset folder, 16 x 16
void drawNoEntry(QPainter& p, const QPointF& centre, qreal radius);
void drawPadlock(QPainter& p, const QRectF& body, const QColor& fill);
void drawSequenceBlocks(QPainter& p, qreal x, qreal y, int count, int firstBase);

// Outline colour of every image: dark, but lighter than black so that it reads on dark themes.
inline const QColor outline{0x2a, 0x33, 0x45};

} // namespace Artwork
