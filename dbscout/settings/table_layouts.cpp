#include "settings/table_layouts.h"

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

void LoadTableLayouts(HKEY settingsKey, TableLayouts& layouts)
{
    RegKey tableSettings;
    if (openTableSettings(settingsKey, tableSettings))
        layouts.Load(tableSettings.get());
}

void SaveTableLayouts(HKEY settingsKey, const TableLayouts& layouts)
{
    RegKey tableSettings;
    if (openTableSettings(settingsKey, tableSettings))
        layouts.Save(tableSettings.get(), -1);
}

} // namespace Dbscout
