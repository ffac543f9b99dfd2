// A contact sheet of every strip and the animation's frames, magnified, each on a light and on a
// dark background, so that the artwork can be judged as a user would see it on either theme.

#include "artwork.h"
#include "painting.h"

#include <QImageReader>

namespace Artwork {

namespace {

struct Strip
{
    QString title;
    QImage image;
    int imageWidth;
};

constexpr int zoom = 4;
constexpr int gap = 8;
constexpr int labelHeight = 16;
constexpr int maxWidth = 1300; // wider strips wrap, so that the sheet can be viewed whole
const QColor light(0xf3, 0xf3, 0xf3);
const QColor dark(0x2b, 0x2b, 0x2e);

// Row images as the list shows them, under each overlay.
QImage overlaid(const QImage& rows)
{
    QList<QImage> images;
    for (int row : {1, 2, 6, 8})
        for (int overlay : {15, 16, 17}) {
            QImage image = rows.copy(row * 16, 0, 16, 16);
            QPainter(&image).drawImage(0, 0, rows.copy(overlay * 16, 0, 16, 16));
            images.append(image);
        }
    return joinStrip(images, 16, 16);
}

QList<Strip> strips(const QString& animationFile)
{
    QList<Strip> all = {{"6909 row, subset, data-source images; overlays 15-17", rowImages(), 16},
                        {"6909 rows 1, 2, 6, 8 under overlays 15-17", overlaid(rowImages()), 16},
                        {"6926 sort arrows", sortArrows(), 16},
                        {"6921 Go!", goIcon(), 29},
                        {"6913 toolbar", toolbarImage(), 16},
                        {"6930 access levels", accessLevels(), 16}};
    QImageReader reader(animationFile);
    QList<QImage> frames;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        frames.append(frame);
    if (!frames.isEmpty()) {
        const QSize size = frames.first().size();
        all.append({QString("6941 saving animation, %1 frames").arg(frames.size()),
                    joinStrip(frames, size.width(), size.height()), size.width()});
    }
    return all;
}

int imageCount(const Strip& strip)
{
    return strip.image.width() / strip.imageWidth;
}
int cellWidth(const Strip& strip)
{
    return strip.imageWidth * zoom + gap;
}
int perRow(const Strip& strip)
{
    return std::max(1, maxWidth / cellWidth(strip));
}
int rowCount(const Strip& strip)
{
    return (imageCount(strip) + perRow(strip) - 1) / perRow(strip);
}
int rowHeight(const Strip& strip)
{
    return strip.image.height() * zoom + gap;
}

// One strip on one background: each image magnified, numbered in a corner, wrapped into rows.
void drawStrip(QPainter& p, const Strip& strip, int x, int y, const QColor& background)
{
    const int height = strip.image.height() * zoom;
    for (int i = 0; i < imageCount(strip); ++i) {
        const int left = x + (i % perRow(strip)) * cellWidth(strip);
        const int top = y + (i / perRow(strip)) * rowHeight(strip);
        const QRect cell(left, top, strip.imageWidth * zoom, height);
        p.fillRect(cell, background);
        p.drawImage(cell, strip.image.copy(i * strip.imageWidth, 0, strip.imageWidth,
                                           strip.image.height()));
        p.setPen(background == light ? Qt::darkGray : Qt::lightGray);
        p.drawText(left + 2, top + height - 3, QString::number(i));
    }
}

} // namespace

QImage contactSheet(const QString& animationFile)
{
    const QList<Strip> all = strips(animationFile);
    int width = 0;
    int height = gap;
    for (const Strip& strip : all) {
        width = std::max(width, std::min(imageCount(strip), perRow(strip)) * cellWidth(strip));
        height += labelHeight + 2 * rowCount(strip) * rowHeight(strip);
    }
    QImage sheet(width + 2 * gap, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    p.setFont(font);
    int y = gap;
    for (const Strip& strip : all) {
        p.setPen(Qt::black);
        p.drawText(gap, y + 12, strip.title);
        y += labelHeight;
        for (const QColor& background : {light, dark}) {
            drawStrip(p, strip, gap, y, background);
            y += rowCount(strip) * rowHeight(strip);
        }
    }
    return sheet;
}

} // namespace Artwork
