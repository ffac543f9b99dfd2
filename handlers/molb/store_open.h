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

// Host "local" opens the user's own store file; any other host ("NAME[:PORT]") is a PostgreSQL
// server, connected to when the store authenticates the request. Create makes a new local store
// and fails when one exists already.
Status openStore(const std::string& host, const std::string& database, OpenMode mode,
                 std::unique_ptr<Store>& store);

// True when target is a PostgreSQL connection string (postgresql://... or key=value pairs)
// rather than the name of a local database.
bool isServerTarget(const std::string& target);
// molb-admin's stores: a local database name, or a connection string to a server database, on
// which the administrator acts as the store's owner. where says where it is, for messages.
Status openAdminStore(const std::string& target, OpenMode mode, std::unique_ptr<Store>& store,
                      std::string* where = nullptr);

} // namespace Dbscout::Molb
