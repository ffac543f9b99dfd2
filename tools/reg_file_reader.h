#pragma once
// Reads the .reg text format: a header line, [KEY] sections, [-KEY] deletions and value lines
// ("name"="text", @=..., "name"=-, dword:, hex:, hex(N): with continued lines, ; comments).
// The whole file is read before anything is changed, so a malformed file changes nothing.

#include "reg_key_name.h"

#include <string>
#include <vector>

namespace Dbscout {

struct RegFileChange
{
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    int line = 0; // where it was written, for messages
    RegKeyName key;
    std::string valueName; // empty: the default value
    DWORD type = REG_NONE;
    std::string data;
};

struct RegFileError
{
    int line = 0;
    std::string message;
};

// The changes text asks for, in order; false with error at the first malformed line.
bool parseRegFile(const std::string& text, std::vector<RegFileChange>& changes,
                  RegFileError& error);

} // namespace Dbscout
