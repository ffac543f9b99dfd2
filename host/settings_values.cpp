#include "settings_values.h"

#include <vector>

std::optional<std::string> readText(HKEY key, const char* name)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key || RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    // Up to the first NUL; a string stored without one is taken whole.
    return std::string(reinterpret_cast<const char*>(data.data()));
}

std::optional<DWORD> readNumber(HKEY key, const char* name)
{
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!key ||
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool writeText(HKEY key, const char* name, const std::string& text)
{
    return key && RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 DWORD(text.size() + 1)) == ERROR_SUCCESS;
}

bool writeNumber(HKEY key, const char* name, DWORD value)
{
    return key && RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof value) == ERROR_SUCCESS;
}
