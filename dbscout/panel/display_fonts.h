#pragma once
// Display fonts that follow the host suite's settings: a face name per role, read from the host's
// "directories" key (per-user over machine-wide), on top of the system's GUI font.

#include <string>

class QFont;

namespace Dbscout {

enum FontRole { FontTable = 0, FontText = 1, FontHeader = 2, FontMono = 3 };

// The role's face name. False only when the stored value is exactly "<none>" (then the default
// face is given); false, leaving face alone, for a role outside 0 to 3.
bool GetFontFaceName(int role, std::string& face);

// The role's font, built once per process on first use and shared by every panel; the system's
// GUI font itself when the host asked for "<none>". Null for a role outside 0 to 3. Needs a
// QGuiApplication; GUI thread only.
const QFont* GetDisplayFont(int role);

} // namespace Dbscout
