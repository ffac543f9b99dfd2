#pragma once
// The string table: texts the component shows, under their resource ids.

#include "resources/ids.h"

#include <string>

namespace Dbscout {

// The table's text for id, or an empty string when the table has none.
std::string LoadString(int id);

} // namespace Dbscout
