#pragma once
// Applies the text of a .reg file to the settings store: all of it, or nothing when the file is
// malformed or the store refuses any of its changes (a name too long, a hive this process may
// not write, a full disk).

#include "reg_file_reader.h"

#include <string>

namespace Dbscout {

// False with error set (the line of the change at fault; 0 when the store failed as a whole) and
// the store as it was.
bool importRegText(const std::string& text, RegFileError& error);

} // namespace Dbscout
