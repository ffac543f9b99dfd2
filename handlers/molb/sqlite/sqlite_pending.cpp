// Operations of store interface 2 that this back end does not serve yet.

#include "sqlite/sqlite_store.h"

namespace Dbscout::Molb {
namespace {

Status notBuiltYet(const char* what)
{
    return Status::fail(ErrorCode::Failure,
                        std::string(what) + " is not built yet in the local store.");
}

} // namespace

Status SqliteStore::checkOut(const Session&, const CheckRequest&)
{
    return notBuiltYet("Check-out");
}
Status SqliteStore::checkIn(const Session&, const CheckRequest&)
{
    return notBuiltYet("Check-in");
}
Status SqliteStore::undoCheckOut(const Session&, const ObjectSet&)
{
    return notBuiltYet("Undo check-out");
}
Status SqliteStore::createSubset(const Session&, Kind, const std::string&,
                                 const std::vector<std::int64_t>&)
{
    return notBuiltYet("Creating a subset");
}
Status SqliteStore::changeObjectModes(const Session&, const ObjectSet&, const std::string&)
{
    return notBuiltYet("Changing object modes");
}
Status SqliteStore::changeSubsetMode(const Session&, Kind, const std::string&, const std::string&)
{
    return notBuiltYet("Changing a subset mode");
}
Status SqliteStore::setObjectOwnership(std::int64_t, const Ownership&)
{
    return notBuiltYet("chown/chmod");
}
Status SqliteStore::setSubsetOwnership(std::optional<Kind>, const std::string&, const Ownership&)
{
    return notBuiltYet("chown/chmod");
}
Status SqliteStore::addLink(std::int64_t, std::int64_t, const std::string&)
{
    return notBuiltYet("Linking");
}
Status SqliteStore::addDerived(std::int64_t, const std::vector<DerivedObject>&,
                               std::vector<std::int64_t>&)
{
    return notBuiltYet("Deriving");
}
Status SqliteStore::revisionLog(std::int64_t, std::vector<RevisionInfo>&)
{
    return notBuiltYet("The revision log");
}

} // namespace Dbscout::Molb
