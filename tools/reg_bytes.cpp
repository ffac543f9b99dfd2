#include "reg_bytes.h"

#include "platform/hex_digit.h"

namespace Dbscout {

bool parseHex(std::string_view text, size_t maxDigits, uint32_t& number)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    number = 0;
    for (char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            return false;
        number = number * 16 + uint32_t(digit);
    }
    return true;
}

std::string dwordBytes(uint32_t number)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += char((number >> (8 * i)) & 0xff);
    return bytes;
}

uint32_t dwordFromBytes(std::string_view bytes)
{
    uint32_t number = 0;
    for (size_t i = bytes.size(); i-- > 0;)
        number = (number << 8) | static_cast<unsigned char>(bytes[i]);
    return number;
}

} // namespace Dbscout
