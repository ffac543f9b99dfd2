#include "sqlite/store_open.h"

#include "model/names.h"
#include "sqlite/sqlite_store.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace Dbscout::Molb {
namespace {

// Creates folder and its missing parents, private to the user.
bool makeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string localStoreFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/molb";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "") + "/.local/share/molb";
}

std::string localStorePath(const std::string& database)
{
    return localStoreFolder() + "/" + database + ".sqlite";
}

Status openStore(const std::string& host, const std::string& database, OpenMode mode,
                 std::unique_ptr<Store>& store, const ServerStoreOpener* server)
{
    if (host != "local") {
        if (!server)
            return Status::fail(ErrorCode::Failure,
                                "This program serves only the stores on this computer.");
        return (*server)(host, database, store);
    }
    std::unique_ptr<StoreBackEnd> local;
    Status status = openLocalStore(database, mode, local);
    if (status.ok())
        store = std::move(local);
    return status;
}

Status openLocalStore(const std::string& database, OpenMode mode,
                      std::unique_ptr<StoreBackEnd>& store)
{
    // Checked again here, so that no caller can name a file outside the store folder.
    if (!isValidDatabaseName(database))
        return Status::fail(ErrorCode::BadRequest,
                            "The database name \"" + database + "\" is not valid.");
    if (mode == OpenMode::Create && !makeFolders(localStoreFolder()))
        return Status::fail(ErrorCode::Failure, "Cannot create the folder " + localStoreFolder() +
                                                    ": " + std::strerror(errno));
    auto sqlite = std::make_unique<SqliteStore>();
    Status status = sqlite->open(localStorePath(database), mode == OpenMode::Create);
    if (status.code() == ErrorCode::NotFound)
        return Status::fail(ErrorCode::NotFound, "There is no database \"" + database +
                                                     "\" on this computer (create it with "
                                                     "molb-admin init " +
                                                     database + ").");
    if (!status.ok())
        return status;
    store = std::move(sqlite);
    return Status::pass();
}

} // namespace Dbscout::Molb
