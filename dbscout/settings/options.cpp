#include "settings/options.h"

#include "settings/reg_containers.h"

namespace Dbscout {

namespace {

constexpr char kOptionsKey[] = "SCOUTPANE_OPTIONS_KEY";

struct StoredOption
{
    const char* name;
    uint32_t PanelOptions::*field;
};

// The order in which the values are read and written.
constexpr StoredOption kStoredOptions[] = {
    {"CHECKOUT_ON_OPEN", &PanelOptions::CHECKOUT_ON_OPEN},
    {"CHECKIN_ON_SAVE_DESC", &PanelOptions::CHECKIN_ON_SAVE_DESC},
    {"CHECKIN_ON_SAVE", &PanelOptions::CHECKIN_ON_SAVE},
    {"CHECKOUT_ON_OPEN_DESC", &PanelOptions::CHECKOUT_ON_OPEN_DESC},
    {"ON_SAVE_RECALC_DESC", &PanelOptions::ON_SAVE_RECALC_DESC},
    {"ON_SAVE_LEAVE_ON_ERROR", &PanelOptions::ON_SAVE_LEAVE_ON_ERROR},
};

bool openOptionsKey(HKEY settingsKey, RegKey& key)
{
    return settingsKey &&
           key.create(settingsKey, kOptionsKey, KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
}

} // namespace

bool LoadOptions(HKEY settingsKey, PanelOptions& options)
{
    RegKey key;
    if (!openOptionsKey(settingsKey, key))
        return false;
    for (const StoredOption& option : kStoredOptions) {
        DWORD value = 0;
        if (readDword(key.get(), option.name, value))
            options.*option.field = value;
    }
    return true;
}

bool SaveOptions(HKEY settingsKey, const PanelOptions& options)
{
    RegKey key;
    if (!openOptionsKey(settingsKey, key))
        return false;
    bool written = true;
    for (const StoredOption& option : kStoredOptions)
        written = writeDword(key.get(), option.name, options.*option.field) && written;
    return written;
}

} // namespace Dbscout
