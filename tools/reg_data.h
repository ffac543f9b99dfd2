#pragma once
// Value data as the tool's command line and its query output write it.

#include <dbscout/registry.h>

#include <string>

namespace Dbscout {

// "REG_SZ" and the other type names the tool knows; false for anything else.
bool parseTypeName(const std::string& text, DWORD& type);
std::string typeName(DWORD type);

// The stored bytes for the /d text of a type: strings get their NUL, "\0" separates the strings
// of REG_MULTI_SZ, REG_DWORD is decimal or 0x hex, REG_BINARY hex digits. False with error set
// when the text does not fit the type.
bool dataFromText(DWORD type, const std::string& text, std::string& data, std::string& error);

// The data as query shows it: text without its terminator, numbers in hex, bytes as hex digits.
std::string dataForDisplay(DWORD type, const std::string& data);

} // namespace Dbscout
