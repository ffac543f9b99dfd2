#pragma once
// A key as the tool's users write it: a hive name ("HKEY_CURRENT_USER" or "HKCU", ...), then
// the path below it.

#include <dbscout/registry.h>

#include <string>

namespace Dbscout {

struct RegKeyName
{
    HKEY root = nullptr;
    std::string rootName; // the long form, as export writes it
    std::string path;     // below the root, without a leading backslash; empty for the hive
    std::string full() const { return path.empty() ? rootName : rootName + "\\" + path; }
};

// False when text names no known hive.
bool parseKeyName(const std::string& text, RegKeyName& name);

// A one-line description of a store result, for messages.
std::string regErrorText(LONG result);

} // namespace Dbscout
