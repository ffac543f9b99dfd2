#include "reg_data.h"

#include <cstdint>
#include <cstdio>

namespace Dbscout {

namespace {

struct TypeName
{
    DWORD type;
    const char* name;
};

constexpr TypeName kTypes[] = {
    {REG_NONE, "REG_NONE"},     {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"}, {REG_DWORD, "REG_DWORD"}, {REG_MULTI_SZ, "REG_MULTI_SZ"},
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseNumber(const std::string& text, uint32_t& number)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const size_t start = hex ? 2 : 0;
    if (text.size() <= start)
        return false;
    uint64_t value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const int digit = hex                                  ? hexDigit(text[i])
                          : (text[i] >= '0' && text[i] <= '9') ? text[i] - '0'
                                                               : -1;
        if (digit < 0)
            return false;
        value = value * (hex ? 16 : 10) + uint64_t(digit);
        if (value > UINT32_MAX)
            return false;
    }
    number = uint32_t(value);
    return true;
}

std::string hexBytes(const std::string& data)
{
    std::string text;
    char pair[3];
    for (unsigned char byte : data) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

} // namespace

bool parseTypeName(const std::string& text, DWORD& type)
{
    for (const TypeName& known : kTypes) {
        if (text == known.name && known.type != REG_NONE) {
            type = known.type;
            return true;
        }
    }
    return false;
}

std::string typeName(DWORD type)
{
    for (const TypeName& known : kTypes) {
        if (known.type == type)
            return known.name;
    }
    return "type " + std::to_string(type);
}

bool dataFromText(DWORD type, const std::string& text, std::string& data, std::string& error)
{
    data.clear();
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        data = text + '\0';
        return true;
    case REG_MULTI_SZ:
        for (size_t start = 0; start < text.size();) {
            const size_t separator = text.find("\\0", start);
            data += text.substr(start, separator - start) + '\0';
            start = separator == std::string::npos ? text.size() : separator + 2;
        }
        data += '\0';
        return true;
    case REG_DWORD: {
        uint32_t number = 0;
        if (!parseNumber(text, number)) {
            error =
                "REG_DWORD data must be a decimal or 0x hex number below 2^32: \"" + text + "\"";
            return false;
        }
        data.assign(4, '\0');
        for (int i = 0; i < 4; ++i)
            data[i] = char((number >> (8 * i)) & 0xff);
        return true;
    }
    case REG_BINARY:
        for (size_t i = 0; i + 1 < text.size(); i += 2) {
            const int high = hexDigit(text[i]);
            const int low = hexDigit(text[i + 1]);
            if (high < 0 || low < 0)
                break;
            data += char(high * 16 + low);
        }
        if (data.size() * 2 != text.size()) {
            error = "REG_BINARY data must be pairs of hex digits: \"" + text + "\"";
            return false;
        }
        return true;
    default:
        error = "unknown type";
        return false;
    }
}

std::string dataForDisplay(DWORD type, const std::string& data)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return data.substr(0, data.find('\0'));
    if (type == REG_MULTI_SZ) {
        std::string text = data;
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        std::string shown;
        for (char c : text)
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        return shown;
    }
    if (type == REG_DWORD && data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | uint8_t(data[i]);
        char text[16];
        std::snprintf(text, sizeof text, "0x%x", number);
        return text;
    }
    return hexBytes(data);
}

} // namespace Dbscout
