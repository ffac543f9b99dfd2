#pragma once
// The component's bitmaps and its animation, found by their resource ids. The images live in the
// Qt resource data of the component; initResources must have run before any of them is loaded.
// Pixmaps need the application object: load them on the user-interface thread.

#include "resources/image_index.h"

#include <QList>
#include <QPixmap>
#include <QString>

namespace Dbscout {

// Registers the component's resource data with Qt. InitScoutpaneDLL calls it; programs that
// link the static layers (tests) call it themselves. Calling it again does no harm.
void initResources();

// The images of a bitmap strip in index order, each with a transparent background: bitmap 6909
// (16 x 16), 6913 (16 x 15), 6921 (29 x 16), 6926 and 6930 (16 x 16). Empty for any other id.
QList<QPixmap> loadImageStrip(int bitmapId);

// A bitmap as one pixmap (the whole strip); a null pixmap for an unknown id.
QPixmap loadBitmap(int bitmapId);

// The resource path of an animation that QMovie opens (6941, the "Saving..." animation); an
// empty string for an unknown id.
QString animationPath(int animationId);

} // namespace Dbscout
