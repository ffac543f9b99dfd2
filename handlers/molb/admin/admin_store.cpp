#include "admin/admin_store.h"

#include "pg/pg_store.h"

namespace Dbscout::Molb {

bool isServerTarget(const std::string& target)
{
    return target.starts_with("postgresql://") || target.starts_with("postgres://") ||
           target.find('=') != std::string::npos;
}

Status openAdminStore(const std::string& target, OpenMode mode,
                      std::unique_ptr<StoreBackEnd>& store, std::string* where)
{
    if (!isServerTarget(target)) {
        if (where)
            *where = localStorePath(target);
        return openLocalStore(target, mode, store);
    }
    auto server = std::make_unique<PgStore>();
    Status status = server->openAdmin(target, mode == OpenMode::Create);
    if (where)
        *where = server->where();
    if (status.ok())
        store = std::move(server);
    return status;
}

} // namespace Dbscout::Molb
