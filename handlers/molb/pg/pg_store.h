#pragma once
// The server back end: one PostgreSQL database per molb database. The handler connects as the
// requesting user's own role, so that the server's row-level security enforces every mode as
// the handler does; molb-admin connects as the store's owner. Writes run at READ COMMITTED with
// the touched objects locked before their checks (molb_lock_objects), and run again from the
// start after a deadlock, a serialization failure or a duplicate key.

#include "object_steps.h"
#include "pg/pg_connection.h"
#include "store.h"

#include <optional>
#include <set>

namespace Dbscout::Molb {

class PgPool;

// What the connection agent gives a store that serves one of its requests.
struct PgStoreContext
{
    PgPool* pool = nullptr;           // idle connections to take and give back
    PgInterrupt* interrupt = nullptr; // cuts the connection when the requester goes away
    // libpq settings from the requesting handler's environment (PGUSER, PGSSLMODE, ...), for
    // what the request itself does not set.
    PgConnection::Parameters defaults;
};

class PgStore final : public Store, private ObjectSteps
{
public:
    PgStore() = default;
    explicit PgStore(PgStoreContext context);
    ~PgStore() override;

    // The handler's way in: host is "NAME" or "NAME:PORT" (an IPv6 address in brackets).
    // Nothing is connected until authenticate.
    Status setAddress(const std::string& host, const std::string& database);
    // molb-admin's way in: a libpq connection string or postgresql:// URI naming the database,
    // used as given. create makes the database when it is missing, then the schema; otherwise an
    // older schema is brought up to date.
    Status openAdmin(const std::string& connection, bool create);
    // Where the store is, for messages: "database \"DB\" on HOST", never credentials.
    const std::string& where() const { return m_where; }

    int interfaceVersion() const override { return kStoreInterfaceVersion; }
    Status authenticate(bool given, const std::string& user, const std::string& password,
                        Session& session) override;
    Status listSubsets(const Session& session, Kind kind,
                       std::vector<SubsetInfo>& subsets) override;
    Status listObjects(const Session& session, const ListingRequest& request,
                       Listing& listing) override;
    Status fetchObject(const Session& session, const FetchRequest& request,
                       const ByteSink& sink) override;
    Status saveObject(const Session& session, const SaveRequest& request,
                      SaveOutcome& outcome) override;
    Status checkOut(const Session& session, const CheckRequest& request) override;
    Status checkIn(const Session& session, const CheckRequest& request) override;
    Status undoCheckOut(const Session& session, const ObjectSet& objects) override;
    Status createSubset(const Session& session, Kind kind, const std::string& name,
                        const std::vector<std::int64_t>& ids) override;
    Status changeObjectModes(const Session& session, const ObjectSet& objects,
                             const std::string& modeChange) override;
    Status changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                            const std::string& modeChange) override;
    Status importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                         const std::string& owner, std::vector<Status>& results) override;
    Status passwordRecord(const std::string& user, const std::string& password,
                          std::string& record) override;
    Status addUser(const std::string& name, const std::string& passwordHash,
                   const std::vector<std::string>& groups) override;
    Status addSubset(Kind kind, const SubsetInfo& subset,
                     const std::vector<std::int64_t>& ids) override;
    Status objectKind(std::int64_t id, Kind& kind) override;
    Status objectName(std::int64_t id, std::string& name) override;
    Status setObjectOwnership(std::int64_t id, const Ownership& change) override;
    Status setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                              const Ownership& change) override;
    Status addLink(std::int64_t parent, std::int64_t child, const std::string& derivation) override;
    Status addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                      std::vector<std::int64_t>& ids) override;
    Status revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions) override;

    // An object as the statements of this store find it.
    struct Located
    {
        std::int64_t id = 0;
        int revision = 0;
        bool readable = false; // as the server says
        ObjectState state;
    };

private:
    // ObjectSteps (pg_checkout.cpp)
    Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) override;
    Status linksOf(std::int64_t id,
                   std::vector<std::pair<std::int64_t, std::string>>& links) override;
    Status lockObjects(const std::vector<std::int64_t>& ids) override;
    Status setHolder(std::int64_t id, const std::string& user, const std::string& comment) override;
    Status checkInObject(std::int64_t id, const std::string& author,
                         const std::string& comment) override;
    Status setObjectMode(std::int64_t id, const std::string& mode) override;
    Status addRevisionOf(std::int64_t id, const NewObject& remade, const std::string& author,
                         int& revision) override;
    Status cutLinks(std::int64_t parent, std::int64_t child) override;
    Status appendMember(std::int64_t subsetId, std::int64_t objectId) override;

    // Runs work as one write transaction; all writes go through here.
    Status writing(const std::function<Status()>& work);

    // pg_store.cpp
    Status connectAs(const std::string* user, const std::string* password);
    Status readSession(bool named, const std::string& user, Session& session);
    Status subsetRow(Kind kind, const std::string& name, std::int64_t& id, SubsetInfo* info);
    Status insertSubset(Kind kind, const SubsetInfo& subset, std::int64_t& id);
    Status primaryGroup(const std::string& user, std::string& group);

    // pg_listing.cpp
    Status countAndList(const Session& session, const ListingRequest& request, Listing& listing);
    Status listSearch(const Session& session, const ListingRequest& request, Listing& listing);

    // pg_objects.cpp
    const char* locateColumns() const;
    Status locate(const ObjectRef& ref, Located& found);
    Status locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                        bool& exists);
    Status insertObject(const NewObject& object, const std::string& owner, const std::string& group,
                        const std::string& mode, std::int64_t& id);
    Status reservePlaces(const char* sql, std::int64_t owner, std::int64_t& count);
    Status subsetForImport(Kind kind, const std::string& name, const std::string& owner,
                           const std::string& group, std::int64_t& id);
    Status takenNames(const std::vector<NewObject>& objects, size_t first, size_t end,
                      std::set<std::pair<Kind, std::string>>& taken);
    Status storeSaved(const Session& session, const SaveRequest& request, SaveOutcome& outcome);

    // pg_modes.cpp
    Status checkOwnership(const Ownership& change);
    // Of an object (else a subset) with id whose mode is mode.
    Status applyOwnership(bool object, std::int64_t id, const std::string& mode,
                          const Ownership& change);

    // pg_roles.cpp
    Status createDatabase(const std::string& connection, const std::string& database);

    PgStoreContext m_context;
    PgConnection m_db;
    PgConnection::Parameters m_connected; // what m_db was opened with
    bool m_admin = false; // connected as the store's owner: no row-level security applies
    std::string m_host;
    std::string m_port;
    std::string m_database;
    std::string m_where;
    // The store's subsets of every kind, read with the session when there are few: the subset
    // names then need no round trip of their own. A write drops them.
    std::optional<std::vector<std::pair<Kind, SubsetInfo>>> m_subsets;
};

} // namespace Dbscout::Molb
