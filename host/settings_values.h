#pragma once
// Values of the settings store as the demo reads and writes its own (and the host suite's data
// sources): a missing value, or one of another type, reads as nothing.

#include <dbscout/registry.h>

#include <optional>
#include <string>

std::optional<std::string> readText(HKEY key, const char* name);
std::optional<DWORD> readNumber(HKEY key, const char* name);
// False when the store refused the value (the demo then goes on without keeping it).
bool writeText(HKEY key, const char* name, const std::string& text);
bool writeNumber(HKEY key, const char* name, DWORD value);
