#include "reg_data.h"

#include "reg_bytes.h"

#include "platform/hex_digit.h"

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

bool parseNumber(const std::string& text, uint32_t& number)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(std::string_view(text).substr(2), 8, number);
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const uint64_t value = std::stoull(text);
    number = uint32_t(value);
    return value <= UINT32_MAX;
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
        data = dwordBytes(number);
        return true;
    }
    case REG_BINARY:
        for (size_t i = 0; i + 1 < text.size(); i += 2) {
            const int high = hexDigitValue(text[i]);
            const int low = hexDigitValue(text[i + 1]);
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
        char text[16];
        std::snprintf(text, sizeof text, "0x%x", dwordFromBytes(data));
        return text;
    }
    return hexBytes(data);
}

} // namespace Dbscout
