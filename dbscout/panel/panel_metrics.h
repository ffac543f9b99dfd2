#pragma once
// The panel's fixed sizes, in pixels.

namespace Dbscout {

// The Go! button is never narrower than this, whatever its text or icon asks for.
constexpr int kGoButtonMinWidth = 40;
// The one column under the placeholder row of a new panel.
constexpr int kPlaceholderColumnWidth = 500;
// The one column under the "Downloading..." row.
constexpr int kDownloadingColumnWidth = 400;
// Every column of a listing before its data source's stored layout applies.
constexpr int kResultColumnWidth = 100;

} // namespace Dbscout
