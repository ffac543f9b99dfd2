// The bitmaps and the animation are found by their ids and have the shapes the panel and the
// dialogs cut them into.

#include "resources/ids.h"
#include "resources/images.h"

#include <QImage>
#include <QMovie>
#include <QTest>

using namespace Dbscout;

namespace {

int opaquePixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0;
    return count;
}

} // namespace

class ImagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initResources();
        initResources(); // a second call by another caller must not hurt
    }

    void stripsHaveTheirImagesInSizeAndUnknownIdsGiveNothing()
    {
        // Each strip holds the images its users index, cut into equal squares or bars.
        const std::pair<int, int> strips[] = {
            {IDB_IMAGES, ImageIndex::Count},
            {IDB_TOOLBAR, 1},
            {IDB_GO, 1},
            {IDB_SORT_ARROWS, SortDescendingImage + 1},
            {IDB_ACCESS_LEVELS, AccessFullImage + 1},
        };
        for (const auto& [id, count] : strips) {
            const QList<QPixmap> images = loadImageStrip(id);
            QCOMPARE(images.size(), count);
            const QPixmap whole = loadBitmap(id);
            QCOMPARE(whole.width() % count, 0);
            const QSize size(whole.width() / count, whole.height());
            for (int i = 0; i < count; ++i) {
                QCOMPARE(images[i].size(), size);
                QVERIFY(images[i].hasAlphaChannel());
                QVERIFY(opaquePixels(images[i].toImage(), images[i].rect()) > 10);
                for (int j = i + 1; j < count; ++j)
                    QVERIFY2(images[i].toImage() != images[j].toImage(),
                             qPrintable(QString("%1: %2 and %3 are equal").arg(id).arg(i).arg(j)));
            }
        }
        for (int id : {0, -1, 6910, IDR_SAVING_ANIMATION, 100000}) {
            QVERIFY(loadImageStrip(id).isEmpty());
            QVERIFY(loadBitmap(id).isNull());
        }
        for (int id : {0, IDB_IMAGES, IDR_CONTEXT_MENU})
            QVERIFY(animationPath(id).isEmpty());
    }

    void sortArrowsPointUpThenDown()
    {
        // An arrow pointing up is narrow at the top: fewer opaque pixels in its upper half.
        const QList<QPixmap> arrows = loadImageStrip(IDB_SORT_ARROWS);
        for (int i = 0; i < arrows.size(); ++i) {
            const QImage arrow = arrows[i].toImage();
            const int half = arrow.height() / 2;
            const bool pointsUp = opaquePixels(arrow, QRect(0, 0, arrow.width(), half)) <
                                  opaquePixels(arrow, QRect(0, half, arrow.width(), half));
            QCOMPARE(pointsUp, i == SortAscendingImage);
        }
    }

    void savingAnimationPlaysInQMovie()
    {
        QMovie movie(animationPath(IDR_SAVING_ANIMATION));
        QVERIFY2(movie.isValid(), qPrintable(movie.lastErrorString()));
        QVERIFY(movie.frameCount() > 1);
        QCOMPARE(movie.loopCount(), -1); // plays until the dialog closes

        QVERIFY(movie.jumpToFrame(0));
        const QImage first = movie.currentImage();
        QVERIFY(!first.isNull());
        bool changes = false;
        for (int frame = 1; !changes && frame < movie.frameCount(); ++frame)
            changes = movie.jumpToNextFrame() && movie.currentImage() != first;
        QVERIFY(changes);
    }
};

QTEST_MAIN(ImagesTest)
#include "images_test.moc"
