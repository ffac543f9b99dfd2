#pragma once
// Chooses the back end that serves a host and database.

#include "model/store_admin.h"

#include <functional>
#include <memory>
#include <string>

namespace Dbscout::Molb {

// The folder of the user's local stores: $XDG_DATA_HOME/molb, or ~/.local/share/molb.
std::string localStoreFolder();
// The file of local database name (the name must pass isValidDatabaseName).
std::string localStorePath(const std::string& database);

enum class OpenMode { Existing, Create };

// Opens the store of a database on a server host ("NAME[:PORT]"). The server back end is a
// library of its own, linked only into the programs that talk to servers (the connection agent
// and molb-admin), so that molb-handler does not load a server client at every start.
using ServerStoreOpener = std::function<Status(const std::string& host, const std::string& database,
                                               std::unique_ptr<Store>& store)>;

// Host "local" opens the user's own store file; any other host is a server, opened through
// server (a program without one refuses it). Create makes a new local store and fails when one
// exists already.
Status openStore(const std::string& host, const std::string& database, OpenMode mode,
                 std::unique_ptr<Store>& store, const ServerStoreOpener* server = nullptr);
// The user's own store file of the database, to serve or to administer.
Status openLocalStore(const std::string& database, OpenMode mode,
                      std::unique_ptr<StoreBackEnd>& store);

} // namespace Dbscout::Molb
