// Bitmap 6909: the images of list rows, subset box entries and data-source entries, and the three
// overlays (15 to 17) that the list draws over a row image.

#include "artwork.h"
#include "painting.h"

#include <QPainterPath>

#include <cmath>
#include <functional>

namespace Artwork {

namespace {

// 0: a data-source address, and any object of a kind the panel does not know.
void database(QPainter& p)
{
    QLinearGradient body(2, 0, 14, 0);
    body.setColorAt(0, QColor(0x9c, 0xb8, 0xd8));
    body.setColorAt(0.45, QColor(0xd8, 0xe6, 0xf5));
    body.setColorAt(1, QColor(0x5f, 0x82, 0xad));
    QPainterPath drum;
    drum.moveTo(2.5, 4);
    drum.lineTo(2.5, 12.5);
    drum.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    drum.lineTo(13.5, 4);
    drum.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(body);
    p.drawPath(drum);
    for (qreal y : {5.5, 8.5}) {
        QPainterPath band;
        band.arcMoveTo(QRectF(2.5, y, 11, 4), 180);
        band.arcTo(QRectF(2.5, y, 11, 4), 180, 180);
        p.setBrush(Qt::NoBrush);
        p.drawPath(band);
    }
    p.setBrush(QColor(0xe9, 0xf1, 0xfa));
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
}

// 1: DNA/RNA, a double helix; also the image of a configured data source.
void helix(QPainter& p)
{
    auto strand = [](qreal phase) {
        QPainterPath path;
        for (int i = 0; i <= 28; ++i) {
            const qreal y = 1.5 + i * 0.5;
            const QPointF point(8 + 4.6 * std::sin((y - 1.5) * 0.45 + phase), y);
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        return path;
    };
    p.setPen(QPen(QColor(0x9a, 0xa3, 0xb2), 1));
    for (qreal y : {3.0, 6.5, 10.0, 13.5}) {
        const qreal dx = 4.6 * std::sin((y - 1.5) * 0.45);
        p.drawLine(QPointF(8 - std::abs(dx) + 0.8, y), QPointF(8 + std::abs(dx) - 0.8, y));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xc8, 0x37, 0x2d), 1.7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(strand(M_PI));
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 1.7, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(strand(0));
}

// 2: protein, a folded chain of amino acids.
void protein(QPainter& p)
{
    const QPointF beads[] = {{2.5, 13}, {3.5, 7.5}, {3.5, 2.5}, {8.5, 3},
                             {13, 3},   {12, 8.5},  {13.5, 13}, {8, 12.5}};
    QPainterPath chain;
    chain.moveTo(beads[0]);
    for (const QPointF& bead : beads)
        chain.lineTo(bead);
    p.setPen(QPen(outline, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chain);
    const int n = int(std::size(beads));
    for (int i = 0; i < n; ++i) {
        const QColor colour = QColor::fromHsvF(0.33 - 0.25 * i / (n - 1), 0.75, 0.85);
        p.setPen(QPen(colour.darker(160), 0.8));
        p.setBrush(colour);
        p.drawEllipse(beads[i], 1.8, 1.8);
    }
}

// 3: a nucleotide sequence document.
void sequenceDocument(QPainter& p)
{
    drawPage(p, QRectF(2.5, 0.5, 11, 15));
    for (int row = 0; row < 4; ++row)
        drawSequenceBlocks(p, 4, 5 + row * 2.5, row == 3 ? 3 : 4, row);
}

// 4: an alignment of sequences.
void alignment(QPainter& p)
{
    for (int row = 0; row < 4; ++row)
        drawSequenceBlocks(p, 1 + (row % 2) * 2, 2 + row * 3.5, 6, row * 2 + 1);
}

// 5: a structure, atoms and bonds.
void structure(QPainter& p)
{
    const QPointF atoms[] = {{4, 11}, {8, 8}, {12.5, 10.5}, {8, 3.5}, {3.5, 5}};
    const QColor colours[] = {QColor(0x60, 0x66, 0x70), QColor(0x60, 0x66, 0x70),
                              QColor(0xd8, 0x30, 0x30), QColor(0x30, 0x5c, 0xd8),
                              QColor(0xee, 0xee, 0xee)};
    p.setPen(QPen(outline, 1.4));
    for (int i : {0, 2, 3})
        p.drawLine(atoms[1], atoms[i]);
    p.drawLine(atoms[3], atoms[4]);
    for (int i = 0; i < 5; ++i) {
        const qreal radius = i == 4 ? 1.7 : 2.4;
        p.setPen(QPen(colours[i].darker(170), 0.8));
        p.setBrush(colours[i]);
        p.drawEllipse(atoms[i], radius, radius);
    }
}

// 6: a citation, a journal volume.
void citation(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(0xf4, 0xf1, 0xe6));
    p.drawRect(QRectF(4.5, 2.5, 9, 12));
    QLinearGradient cover(3, 0, 13, 0);
    cover.setColorAt(0, QColor(0x6e, 0x1d, 0x2a));
    cover.setColorAt(1, QColor(0xa8, 0x33, 0x45));
    p.setBrush(cover);
    p.drawRect(QRectF(2.5, 1.5, 10, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xc0, 0x4a));
    p.drawRect(QRectF(5, 4, 6, 1.5));
    p.drawRect(QRectF(5, 6.5, 4, 1));
    p.setBrush(QColor(0x4a, 0x12, 0x1b));
    p.drawRect(QRectF(3, 2, 1.2, 11));
}

// 7: a BLAST result, a query sequence aligned over the hit it found.
void blastHit(QPainter& p)
{
    drawSequenceBlocks(p, 1, 2, 7, 0);
    drawSequenceBlocks(p, 3, 11, 5, 2);
    p.setPen(QPen(QColor(0x6a, 0x72, 0x7e), 1));
    for (qreal x : {4.5, 6.5, 8.5, 12.5})
        p.drawLine(QPointF(x, 5.5), QPointF(x, 9.5));
    p.setPen(QPen(QColor(0xd8, 0x30, 0x30), 1));
    p.drawLine(QPointF(10.5, 6.5), QPointF(10.5, 8.5)); // a mismatch
}

// 8: an analysis, a chart.
void chart(QPainter& p)
{
    const QColor bars[] = {QColor(0x3d, 0x7b, 0xd9), QColor(0x3a, 0xa8, 0x55),
                           QColor(0xe8, 0xa3, 0x17)};
    const qreal heights[] = {5, 9, 7};
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(bars[i].darker(150), 1));
        p.setBrush(bars[i]);
        p.drawRect(QRectF(3.5 + 4 * i, 13.5 - heights[i], 3, heights[i]));
    }
    p.setPen(QPen(outline, 1));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

// 9 and 10: a subset reported by the server, closed and open.
void subset(QPainter& p)
{
    drawFolder(p, QColor(0xf2, 0xc2, 0x4a), false);
}
void openSubset(QPainter& p)
{
    drawFolder(p, QColor(0xf2, 0xc2, 0x4a), true);
}

// 11: the whole database ("MAIN"), a folder with a star.
void mainSubset(QPainter& p)
{
    drawFolder(p, QColor(0x8f, 0xb4, 0xe8), false);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? 1.4 : 3.2;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(8 + radius * std::cos(angle), 10.2 + radius * std::sin(angle));
        i == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x62, 0x00), 0.7));
    p.setBrush(QColor(0xff, 0xd7, 0x3a));
    p.drawPath(star);
}

// 12: a query typed by the user or taken from the history.
void query(QPainter& p)
{
    p.setPen(QPen(outline, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x2b), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(13.6, 13.6));
    p.setPen(QPen(outline, 1.2));
    p.setBrush(QColor(0xcf, 0xe6, 0xfa, 0xe0));
    p.drawEllipse(QPointF(6.5, 6.5), 4.8, 4.8);
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3.5, 3.5, 6, 6), 100 * 16, 70 * 16);
}

// 13: a recent query, a clock.
void recent(QPainter& p)
{
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(0xfb, 0xfb, 0xf7));
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4));
    p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

// 14: a remote data source, the globe.
void globe(QPainter& p)
{
    QRadialGradient sea(QPointF(6, 6), 8);
    sea.setColorAt(0, QColor(0x7d, 0xb9, 0xf0));
    sea.setColorAt(1, QColor(0x23, 0x62, 0xb8));
    p.setPen(QPen(outline, 1));
    p.setBrush(sea);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(QPen(QColor(0xe8, 0xf2, 0xfc), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 2.8, 6.5);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(2.6, 4.8), QPointF(13.4, 4.8));
    p.drawLine(QPointF(2.6, 11.2), QPointF(13.4, 11.2));
}

// Overlays sit in the bottom-left corner and leave the rest of the image clear, so that the row
// image stays recognisable under them.

// 15: the object may not be changed (read only).
void overlayReadOnly(QPainter& p)
{
    drawPadlock(p, QRectF(1.5, 10.5, 6, 4.5), QColor(0xe0, 0xb0, 0x30));
}

// 16: the object is checked out, and writable: held by the current user.
void overlayCheckedOutByMe(QPainter& p)
{
    p.setPen(QPen(QColor(0x1d, 0x6b, 0x2c), 1));
    p.setBrush(QColor(0x2f, 0xa8, 0x46));
    p.drawEllipse(QPointF(4.5, 11.5), 4, 4);
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2.5, 11.5);
    tick.lineTo(4, 13.2);
    tick.lineTo(6.8, 9.8);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

// 17: the object is checked out and not writable: held by somebody else.
void overlayCheckedOutByOther(QPainter& p)
{
    drawNoEntry(p, QPointF(4.5, 11.5), 4);
}

} // namespace

QImage rowImages()
{
    const std::function<void(QPainter&)> images[] = {database,
                                                     helix,
                                                     protein,
                                                     sequenceDocument,
                                                     alignment,
                                                     structure,
                                                     citation,
                                                     blastHit,
                                                     chart,
                                                     subset,
                                                     openSubset,
                                                     mainSubset,
                                                     query,
                                                     recent,
                                                     globe,
                                                     overlayReadOnly,
                                                     overlayCheckedOutByMe,
                                                     overlayCheckedOutByOther};
    QList<QImage> strip;
    for (const auto& draw : images) {
        QImage image = blankImage(16, 16);
        Pen p(image);
        draw(p);
        strip.append(image);
    }
    return joinStrip(strip, 16, 16);
}

} // namespace Artwork
