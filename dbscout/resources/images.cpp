#include "resources/images.h"

#include "resources/ids.h"

// Q_INIT_RESOURCE declares the registration function, so it must be used outside any namespace.
static void initDbscoutResourceData()
{
    Q_INIT_RESOURCE(dbscout_resources);
}

namespace Dbscout {

namespace {

struct StripResource
{
    int id;
    const char* path;
    int imageWidth;
};

constexpr StripResource strips[] = {
    {IDB_IMAGES, ":/dbscout/images/6909_images.png", 16},
    {IDB_TOOLBAR, ":/dbscout/images/6913_toolbar.png", 16},
    {IDB_GO, ":/dbscout/images/6921_go.png", 29},
    {IDB_SORT_ARROWS, ":/dbscout/images/6926_sort_arrows.png", 16},
    {IDB_ACCESS_LEVELS, ":/dbscout/images/6930_access_levels.png", 16},
};

const StripResource* findStrip(int id)
{
    for (const StripResource& strip : strips) {
        if (strip.id == id)
            return &strip;
    }
    return nullptr;
}

} // namespace

void initResources()
{
    initDbscoutResourceData();
}

QPixmap loadBitmap(int bitmapId)
{
    const StripResource* strip = findStrip(bitmapId);
    return strip ? QPixmap(QString::fromLatin1(strip->path)) : QPixmap();
}

QList<QPixmap> loadImageStrip(int bitmapId)
{
    const StripResource* strip = findStrip(bitmapId);
    const QPixmap whole = loadBitmap(bitmapId);
    QList<QPixmap> images;
    if (!strip || whole.isNull())
        return images;
    for (int x = 0; x + strip->imageWidth <= whole.width(); x += strip->imageWidth)
        images.append(whole.copy(x, 0, strip->imageWidth, whole.height()));
    return images;
}

QString animationPath(int animationId)
{
    return animationId == IDR_SAVING_ANIMATION ? QStringLiteral(":/dbscout/images/6941_saving.gif")
                                               : QString();
}

} // namespace Dbscout
