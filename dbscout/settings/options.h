#pragma once
// The panel's six options around opening and saving objects, kept as REG_DWORD values under
// SCOUTPANE_OPTIONS_KEY below the host's settings key.

#include <dbscout/registry.h>

#include <cstdint>

namespace Dbscout {

// Field names are the registry value names. Values are stored and loaded without a range test;
// their users treat anything unexpected as the plain case.
struct PanelOptions
{
    uint32_t CHECKIN_ON_SAVE = 0;        // check the object in when it is saved
    uint32_t CHECKOUT_ON_OPEN = 0;       // check the object out when it is opened
    uint32_t CHECKIN_ON_SAVE_DESC = 0;   // descendants go with the check-in
    uint32_t CHECKOUT_ON_OPEN_DESC = 0;  // descendants go with the check-out
    uint32_t ON_SAVE_RECALC_DESC = 1;    // 0 recalculate descendants, 1 leave them, 2 disconnect
    uint32_t ON_SAVE_LEAVE_ON_ERROR = 0; // a descendant that cannot be recalculated: 0 leave it,
                                         // 1 disconnect it

    bool operator==(const PanelOptions&) const = default;
};

// Reads the stored values into options; a value that is missing or not a REG_DWORD leaves its
// field as it was. False, with options untouched, when settingsKey is null or the options key
// cannot be opened or created.
bool LoadOptions(HKEY settingsKey, PanelOptions& options);
// Writes all six values (creating the options key); false when settingsKey is null or the key
// cannot be opened. A single failed write is not reported.
bool SaveOptions(HKEY settingsKey, const PanelOptions& options);

} // namespace Dbscout
