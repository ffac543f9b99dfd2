#pragma once
// The result list's layouts of every data source, kept under the host's settings key in
// SCOUTPANE_UI\TableSettings.

#include "settings/reg_str_map.h"
#include "settings/table_settings.h"

namespace Dbscout {

using TableLayouts = CRegStrMap<CTableSettings>;

// Adds the stored layouts; nothing without a settings key or when the keys cannot be made.
void loadTableLayouts(HKEY settingsKey, TableLayouts& layouts);
// Rewrites every layout with all its widths in one commit. True without a settings key; false
// when the layouts could not all be written.
bool saveTableLayouts(HKEY settingsKey, const TableLayouts& layouts);

} // namespace Dbscout
