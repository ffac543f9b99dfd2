#include "settings/table_layouts.h"

#include "platform/registry_batch.h"

namespace Dbscout {

namespace {

bool openTableSettings(HKEY settingsKey, RegKey& tableSettings)
{
    if (!settingsKey)
        return false;
    RegKey ui;
    return ui.create(settingsKey, "SCOUTPANE_UI", KEY_READ | KEY_WRITE) == ERROR_SUCCESS &&
           tableSettings.create(ui.get(), "TableSettings", KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
}

} // namespace

void loadTableLayouts(HKEY settingsKey, TableLayouts& layouts)
{
    RegKey tableSettings;
    if (openTableSettings(settingsKey, tableSettings))
        layouts.Load(tableSettings.get());
}

bool saveTableLayouts(HKEY settingsKey, const TableLayouts& layouts)
{
    if (!settingsKey)
        return true;
    // The layouts are rewritten before every listing: one commit, and never half a tree.
    RegistryBatch batch;
    RegKey tableSettings;
    const bool written =
        openTableSettings(settingsKey, tableSettings) && layouts.Save(tableSettings.get(), -1);
    return batch.finish() == ERROR_SUCCESS && written;
}

} // namespace Dbscout
