#pragma once
// The back-end interface of the molb handler. The protocol code talks only to Store, so that a
// server back end can sit beside the embedded one. A back end reports the interface version it
// was written for; openStore refuses one that does not match kStoreInterfaceVersion.

#include "access.h"
#include "object_kind.h"
#include "password.h"
#include "search_query.h"
#include "status.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Dbscout::Molb {

inline constexpr int kStoreInterfaceVersion = 1;

struct SubsetInfo
{
    std::string name;
    std::string owner;
    std::string group;
    std::string mode;
};

// One object as a listing shows it; ids are decimal and never contain ",".
struct ObjectRow
{
    std::string id;
    std::string owner;
    std::string group;
    std::string mode;
    std::string checkoutBy; // empty while nobody holds it
    ObjectMeta meta;
};

struct ListingRequest
{
    enum class Scope { Main, Subset, Search };
    Kind kind = Kind::DnaRna;
    Scope scope = Scope::Main;
    std::string subset; // Scope::Subset
    SearchQuery search; // Scope::Search
    std::int64_t start = 0;
    int pageSize = 0;
};

struct Listing
{
    std::int64_t found = 0;
    std::vector<ObjectRow> rows;
};

// An object addressed by the last path segment: "ID", "ID:REVISION", or a name.
struct ObjectRef
{
    std::optional<Kind> kind;
    std::string text;
};

// Receives the bytes of a fetched object in order; returns false to stop (the reader is gone).
using ByteSink = std::function<bool(const char* data, size_t length)>;

struct NewObject
{
    Kind kind = Kind::DnaRna;
    std::string arcname;
    std::string bytes;
    ObjectMeta meta;        // Name must be set
    bool metaKnown = false; // meta was read from a recognised record, not just named
};

struct SaveRequest
{
    NewObject object;
    std::string subset; // empty: add to no subset
    bool force = false; // store a new revision when the name is taken
};

struct SaveOutcome
{
    bool exists = false; // the name is taken and force was not given; nothing was stored
    std::string id;
    std::string name;
    int revision = 0;
};

class Store
{
public:
    virtual ~Store() = default;

    virtual int interfaceVersion() const = 0;

    // Checks the credentials. A store without users accepts every request as its owner; a store
    // with users needs a known user and the right password, and fails with Denied otherwise.
    virtual Status authenticate(bool given, const std::string& user, const std::string& password,
                                Session& session) = 0;

    // Every subset of the kind, by name.
    virtual Status listSubsets(Kind kind, std::vector<SubsetInfo>& subsets) = 0;
    // One page; a start beyond the end gives no rows and the full count.
    virtual Status listObjects(const ListingRequest& request, Listing& listing) = 0;
    // Streams the stored bytes of the object (its latest revision unless one is named) after
    // checking that the session may read it.
    virtual Status fetchObject(const Session& session, const ObjectRef& ref,
                               const ByteSink& sink) = 0;
    // One transaction: everything or nothing is stored.
    virtual Status saveObject(const Session& session, const SaveRequest& request,
                              SaveOutcome& outcome) = 0;

    // Administration. importObjects stores each object that does not clash with an existing
    // name (its entry in results is Conflict otherwise) in one transaction, owned by owner, and
    // appends it to subset (created per kind when missing) unless subset is empty.
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
};

} // namespace Dbscout::Molb
