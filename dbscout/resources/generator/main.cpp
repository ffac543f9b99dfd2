// Draws the component's bitmaps and writes them as PNG files with real alpha. Run by hand when
// the artwork changes, and commit what it writes:
//
//   cmake -S dbscout/resources/generator -B /tmp/artwork -G Ninja && ninja -C /tmp/artwork
//   python3 dbscout/resources/generator/saving_animation.py
//   dbscout/resources/images/6941_saving.gif
//   QT_QPA_PLATFORM=offscreen /tmp/artwork/dbscout-artwork dbscout/resources/images \
//       --contact-sheet /tmp/artwork/contact-sheet.png
//
// The contact sheet shows every image magnified on a light and a dark background; look at it
// after every change.

#include "artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "dbscout-artwork: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == "--contact-sheet")) {
        std::fprintf(stderr, "usage: dbscout-artwork <images folder> [--contact-sheet <png>]\n");
        return 2;
    }
    const QDir folder(args[1]);
    bool ok = save(Artwork::rowImages(), folder.filePath("6909_images.png")) &&
              save(Artwork::toolbarImage(), folder.filePath("6913_toolbar.png")) &&
              save(Artwork::goIcon(), folder.filePath("6921_go.png")) &&
              save(Artwork::sortArrows(), folder.filePath("6926_sort_arrows.png")) &&
              save(Artwork::accessLevels(), folder.filePath("6930_access_levels.png"));
    if (ok && args.size() == 4)
        ok = save(Artwork::contactSheet(folder.filePath("6941_saving.gif")), args[3]);
    return ok ? 0 : 1;
}
