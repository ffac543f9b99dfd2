#include "request/handler_command.h"

#include <dbscout/registry.h>

namespace Dbscout {

namespace {
constexpr DWORD kCommandBytes = 1024;

// A string value must end in its NUL, a multi-string in two; the text ends at the first NUL.
bool commandText(DWORD type, const char* data, DWORD size, std::string& text)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        if (size < 1 || data[size - 1] != '\0')
            return false;
    } else if (type == REG_MULTI_SZ) {
        if (size < 2 || data[size - 1] != '\0' || data[size - 2] != '\0')
            return false;
    } else {
        return false;
    }
    text = data;
    return true;
}
} // namespace

bool LookupHandlerCommand(const std::string& scheme, const std::string& verb, std::string& command)
{
    RegKey schemeKey, shellKey, verbKey, commandKey;
    if (schemeKey.open(HKEY_CLASSES_ROOT, scheme.c_str()) != ERROR_SUCCESS ||
        shellKey.open(schemeKey.get(), "shell") != ERROR_SUCCESS ||
        verbKey.open(shellKey.get(), verb.c_str()) != ERROR_SUCCESS ||
        commandKey.open(verbKey.get(), "command") != ERROR_SUCCESS)
        return false;
    char data[kCommandBytes];
    DWORD size = kCommandBytes;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(commandKey.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS)
        return false;
    return commandText(type, data, size, command);
}

} // namespace Dbscout
