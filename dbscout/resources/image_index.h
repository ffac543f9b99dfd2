#pragma once
// The images of the component's bitmap strips, by index. Kept apart from the loading of the
// images, so that code without widgets (the object kinds' table) can name them.

namespace Dbscout {

// What the images of bitmap 6909 show, by index.
namespace ImageIndex {
constexpr int Address = 0; // a typed data-source address; an object of unknown kind
constexpr int DnaRna = 1;  // also the image of a configured data source
constexpr int Protein = 2;
constexpr int SequenceDocument = 3;
constexpr int Alignment = 4;
constexpr int Structure = 5;
constexpr int Citation = 6;
constexpr int Blast = 7;
constexpr int Analysis = 8;
constexpr int Subset = 9; // a subset reported by the server
constexpr int OpenSubset = 10;
constexpr int MainSubset = 11;
constexpr int Query = 12; // a typed query or one from the query history
constexpr int RecentQuery = 13;
constexpr int RemoteSource = 14;
constexpr int OverlayReadOnly = 15;          // overlay 1: nobody holds it, not writable
constexpr int OverlayCheckedOutByMe = 16;    // overlay 2: checked out and writable
constexpr int OverlayCheckedOutByOther = 17; // overlay 3: checked out, not writable
constexpr int Count = 18;
} // namespace ImageIndex

// The two images of bitmap 6926 and the three of bitmap 6930, by index.
constexpr int SortAscendingImage = 0;
constexpr int SortDescendingImage = 1;
constexpr int AccessNoneImage = 0;
constexpr int AccessReadImage = 1;
constexpr int AccessFullImage = 2;

} // namespace Dbscout
