#pragma once
// The strips of the component's bitmaps, drawn from scratch. Each function returns one strip: its
// images side by side, in index order, on a transparent background.

#include <QImage>

namespace Artwork {

QImage rowImages();    // bitmap 6909: 18 images of 16 x 16
QImage sortArrows();   // bitmap 6926: ascending, descending, 16 x 16
QImage goIcon();       // bitmap 6921: one image of 29 x 16
QImage toolbarImage(); // bitmap 6913: one image of 16 x 15
QImage accessLevels(); // bitmap 6930: no access, read only, full; 16 x 16

// All strips magnified four times on a light and a dark background, with the animation's
// frames read from animationFile, for looking at them side by side.
QImage contactSheet(const QString& animationFile);

} // namespace Artwork
