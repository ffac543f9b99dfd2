#pragma once
// Hex numbers and 32-bit values as the tool reads and writes them.

#include <cstdint>
#include <string>
#include <string_view>

namespace Dbscout {

// At most maxDigits hex digits as one number; false for none, too many or a non-digit.
bool parseHex(std::string_view text, size_t maxDigits, uint32_t& number);

// REG_DWORD data: four bytes, least significant first.
std::string dwordBytes(uint32_t number);
uint32_t dwordFromBytes(std::string_view bytes);

} // namespace Dbscout
