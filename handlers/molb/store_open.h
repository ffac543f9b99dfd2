#pragma once
// Chooses the back end that serves a host and database.

#include "store.h"

#include <memory>
#include <string>

namespace Dbscout::Molb {

// The folder of the user's local stores: $XDG_DATA_HOME/molb, or ~/.local/share/molb.
std::string localStoreFolder();
// The file of local database name (the name must pass isValidDatabaseName).
std::string localStorePath(const std::string& database);

enum class OpenMode { Existing, Create };

// Host "local" opens the user's own store file; any other host fails with a clear message until
// the server back end exists. Create makes a new store and fails when one exists already.
Status openStore(const std::string& host, const std::string& database, OpenMode mode,
                 std::unique_ptr<Store>& store);

} // namespace Dbscout::Molb
