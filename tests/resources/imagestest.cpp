// The bitmaps and the animation are found by their ids, have the shapes the panel and the
// dialogs cut them into, and are transparent where they must be.

#include "resources/images.h"
#include "resources/ids.h"

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

// Leftmost to rightmost opaque pixel of one row; 0 when the row is clear.
int opaqueSpan(const QImage& image, int y)
{
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x)
        if (qAlpha(image.pixel(x, y)) > 0) {
            left = std::min(left, x);
            right = x;
        }
    return right < 0 ? 0 : right - left + 1;
}

} // namespace

class ImagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitResources();
        InitResources(); // a second call by another caller must not hurt
    }

    void stripHasItsImagesInSize_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSize>("size");
        QTest::newRow("6909 row images") << IDB_IMAGES << 18 << QSize(16, 16);
        QTest::newRow("6913 toolbar") << IDB_TOOLBAR << 1 << QSize(16, 15);
        QTest::newRow("6921 Go!") << IDB_GO << 1 << QSize(29, 16);
        QTest::newRow("6926 sort arrows") << IDB_SORT_ARROWS << 2 << QSize(16, 16);
        QTest::newRow("6930 access levels") << IDB_ACCESS_LEVELS << 3 << QSize(16, 16);
    }

    void stripHasItsImagesInSize()
    {
        QFETCH(int, id);
        QFETCH(int, count);
        QFETCH(QSize, size);
        const QList<QPixmap> images = LoadImageStrip(id);
        QCOMPARE(images.size(), count);
        for (const QPixmap& image : images) {
            QCOMPARE(image.size(), size);
            QVERIFY(image.hasAlphaChannel());
            QVERIFY(opaquePixels(image.toImage(), image.rect()) > 10);
        }
        QCOMPARE(LoadBitmap(id).size(), QSize(size.width() * count, size.height()));
        for (int i = 0; i < count; ++i)
            for (int j = i + 1; j < count; ++j)
                QVERIFY2(images[i].toImage() != images[j].toImage(),
                         qPrintable(QString("images %1 and %2 are equal").arg(i).arg(j)));
    }

    void overlaysLeaveTheRowImageVisible()
    {
        const QList<QPixmap> images = LoadImageStrip(IDB_IMAGES);
        QCOMPARE(images.size(), ImageIndex::Count);
        for (int index : {ImageIndex::OverlayReadOnly, ImageIndex::OverlayCheckedOutByMe,
                          ImageIndex::OverlayCheckedOutByOther}) {
            const QImage overlay = images[index].toImage();
            for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
                QCOMPARE(qAlpha(overlay.pixel(corner)), 0);
            // A mark in one corner: the upper half and the right half stay clear.
            QCOMPARE(opaquePixels(overlay, QRect(0, 0, 16, 6)), 0);
            QCOMPARE(opaquePixels(overlay, QRect(10, 0, 6, 16)), 0);
        }
    }

    void sortArrowsPointUpThenDown()
    {
        const QList<QPixmap> arrows = LoadImageStrip(IDB_SORT_ARROWS);
        QCOMPARE(arrows.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QImage arrow = arrows[i].toImage();
            int top = 0, bottom = arrow.height() - 1;
            while (top < bottom && opaqueSpan(arrow, top) == 0)
                ++top;
            while (bottom > top && opaqueSpan(arrow, bottom) == 0)
                --bottom;
            const bool pointsUp = opaqueSpan(arrow, top) < opaqueSpan(arrow, bottom);
            QCOMPARE(pointsUp, i == SortAscendingImage);
        }
    }

    void unknownIdsGiveNothing()
    {
        for (int id : {0, -1, 6910, IDR_SAVING_ANIMATION, 100000}) {
            QVERIFY(LoadImageStrip(id).isEmpty());
            QVERIFY(LoadBitmap(id).isNull());
        }
        for (int id : {0, IDB_IMAGES, IDR_CONTEXT_MENU})
            QVERIFY(AnimationPath(id).isEmpty());
    }

    void savingAnimationPlaysInQMovie()
    {
        QMovie movie(AnimationPath(IDR_SAVING_ANIMATION));
        QVERIFY2(movie.isValid(), qPrintable(movie.lastErrorString()));
        QVERIFY(movie.frameCount() > 1);
        QCOMPARE(movie.loopCount(), -1); // plays until the dialog closes

        QImage first;
        for (int frame = 0; frame < movie.frameCount(); ++frame) {
            QVERIFY(movie.jumpToFrame(frame));
            const QImage image = movie.currentImage();
            QVERIFY(!image.isNull());
            QCOMPARE(image.size(), movie.frameRect().size());
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // the dialog shows through
            if (frame == 0)
                first = image;
            else if (frame == movie.frameCount() / 2)
                QVERIFY(image != first);
        }
    }
};

QTEST_MAIN(ImagesTest)
#include "imagestest.moc"
