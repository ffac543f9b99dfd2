#pragma once
// The administration interface of the molb back ends, beside the serving one (store.h): what
// molb-admin does as the store's owner. No session and no mode checks; every method is one
// transaction, with the codes of store.h.

#include "model/password.h"
#include "model/store.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace Dbscout::Molb {

struct RevisionInfo
{
    int revision = 0;
    std::string author;
    std::time_t created = 0;
    std::string comment;
    std::string arcname;
    std::int64_t size = 0;
};

// An object made from a parent by a derivation (derivation.h), stored linked to it.
struct DerivedObject
{
    NewObject object;
    std::string derivation;
};

// An administrator's change; each absent part stays as it is. mode may hold "*" positions.
struct Ownership
{
    std::optional<std::string> owner;
    std::optional<std::string> group;
    std::optional<std::string> mode;
};

class StoreAdmin
{
public:
    virtual ~StoreAdmin() = default;

    // importObjects stores each object that does not clash with an existing name (its entry in
    // results is Conflict otherwise) in one transaction, owned by owner, and appends it to subset
    // (created per kind when missing) unless subset is empty.
    virtual Status importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                                 const std::string& owner, std::vector<Status>& results) = 0;
    // What addUser keeps of a new user's password: a salted hash, or the record that the back
    // end's own login check needs.
    virtual Status passwordRecord(const std::string& user, const std::string& password,
                                  std::string& record)
    {
        return hashPassword(password, record);
    }
    virtual Status addUser(const std::string& name, const std::string& passwordHash,
                           const std::vector<std::string>& groups) = 0;
    // ids must name objects of kind.
    virtual Status addSubset(Kind kind, const SubsetInfo& subset,
                             const std::vector<std::int64_t>& ids) = 0;
    // The kind of an object, for tools that add objects by id.
    virtual Status objectKind(std::int64_t id, Kind& kind) = 0;
    // The name of an object (NotFound for a missing one), for tools that name derived objects.
    virtual Status objectName(std::int64_t id, std::string& name) = 0;
    // chown/chmod. NotFound for a missing object, or for an owner that is not a user or a group
    // that is not a group of a store that has users; BadRequest for a malformed mode.
    virtual Status setObjectOwnership(std::int64_t id, const Ownership& change) = 0;
    // The same for a subset; without kind the name must belong to one kind only (BadRequest).
    virtual Status setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                                      const Ownership& change) = 0;
    // Links child as a descendant of parent, with a derivation (empty: none). NotFound for a
    // missing object, BadRequest when the link would close a circle (parent == child included),
    // Conflict when it exists already.
    virtual Status addLink(std::int64_t parent, std::int64_t child,
                           const std::string& derivation) = 0;
    // Stores the objects, owned as the parent is (owner, group, mode), each linked to the
    // parent with its derivation; all or none (Conflict for a name that is taken).
    virtual Status addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                              std::vector<std::int64_t>& ids) = 0;
    // Every revision of the object, oldest first. NotFound for a missing object.
    virtual Status revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions) = 0;
};

// A back end: served by the handler and the connection agent, administered by molb-admin.
class StoreBackEnd : public Store, public StoreAdmin
{
};

} // namespace Dbscout::Molb
