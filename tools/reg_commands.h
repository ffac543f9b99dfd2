#pragma once
// The commands of dbscout-reg. Each prints its result on standard output, its failure as one
// line on standard error, and returns the exit code: 0 done, 1 failed or cancelled.

#include "reg_key_name.h"

#include <cstdio>
#include <optional>
#include <string>

namespace Dbscout {

// The value a command names: /v NAME, /ve (the default value), or none (the key itself).
using ValueName = std::optional<std::string>;

int queryCommand(const RegKeyName& key, const ValueName& value);
// Creates the key, and sets the value when one is named. Without force, an existing value is
// overwritten only when the user answers yes on standard input.
int addCommand(const RegKeyName& key, const ValueName& value, DWORD type, const std::string& data,
               bool force);
// Deletes the value, or the key with everything below it; asks first unless force.
int deleteCommand(const RegKeyName& key, const ValueName& value, bool force);
int importCommand(const std::string& file);
int exportCommand(const RegKeyName& key, const std::string& file);

// One line on standard error, prefixed with the program name.
void printError(const std::string& message);

} // namespace Dbscout
