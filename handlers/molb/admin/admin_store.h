#pragma once
// molb-admin's stores: a local database name, or a connection string to a server database on
// which the administrator acts as the store's owner.

#include "sqlite/store_open.h"

namespace Dbscout::Molb {

// True when target is a PostgreSQL connection string (postgresql://... or key=value pairs)
// rather than the name of a local database.
bool isServerTarget(const std::string& target);
// where says where the store is, for messages.
Status openAdminStore(const std::string& target, OpenMode mode,
                      std::unique_ptr<StoreBackEnd>& store, std::string* where = nullptr);

} // namespace Dbscout::Molb
