#include "reg_key_name.h"

#include <strings.h>

namespace Dbscout {

namespace {

struct Hive
{
    const char* longName;
    const char* shortName;
    HKEY root;
};

const Hive kHives[] = {
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
};

} // namespace

bool parseKeyName(const std::string& text, RegKeyName& name)
{
    const size_t slash = text.find('\\');
    const std::string head = text.substr(0, slash);
    for (const Hive& hive : kHives) {
        if (strcasecmp(head.c_str(), hive.longName) == 0 ||
            strcasecmp(head.c_str(), hive.shortName) == 0) {
            name.root = hive.root;
            name.rootName = hive.longName;
            name.path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
            return true;
        }
    }
    return false;
}

std::string regErrorText(LONG result)
{
    switch (result) {
    case ERROR_SUCCESS:
        return "done";
    case ERROR_FILE_NOT_FOUND:
        return "not found";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_INVALID_PARAMETER:
        return "invalid key or value name";
    case ERROR_OUTOFMEMORY:
        return "out of memory";
    case ERROR_BADDB:
        return "the store file is damaged or not a settings store";
    case ERROR_CANTREAD:
        return "the store file cannot be read";
    case ERROR_CANTWRITE:
        return "the store file cannot be written";
    case ERROR_KEY_DELETED:
        return "the key was deleted meanwhile";
    default:
        return "error " + std::to_string(result);
    }
}

} // namespace Dbscout
