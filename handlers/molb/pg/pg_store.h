#pragma once
// The server back end: one PostgreSQL database per molb database. The handler connects as the
// requesting user's own role, so that the server's row-level security enforces every mode as
// the handler does; molb-admin connects as the store's owner. Writes run at READ COMMITTED with
// the touched objects locked before their checks (molb_lock_objects), and run again from the
// start after a deadlock, a serialization failure or a duplicate key.

#include "pg/pg_connection.h"
#include "steps/stepped_store.h"

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

// A change of an object that the server's policies let through to no row was refused by them
// (Denied); status when it failed.
Status changedOneObject(const Status& status, const PgResult& result, std::int64_t id);

class PgStore final : public SteppedStore
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

    // Store and StoreAdmin: what is not the same in every back end.
    Status authenticate(bool given, const std::string& user, const std::string& password,
                        Session& session) override;
    Status listSubsets(const Session& session, Kind kind,
                       std::vector<SubsetInfo>& subsets) override;
    Status listObjects(const Session& session, const ListingRequest& request,
                       Listing& listing) override;
    Status importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                         const std::string& owner, std::vector<Status>& results) override;
    Status passwordRecord(const std::string& user, const std::string& password,
                          std::string& record) override;
    Status addUser(const std::string& name, const std::string& passwordHash,
                   const std::vector<std::string>& groups) override;

private:
    // ObjectSteps: transactions and users (pg_store.cpp). A write drops the subsets read with
    // the session.
    Status writing(const std::function<Status()>& work) override;
    Status reading(const std::function<Status()>& work) override;
    Status hasUsers(bool& any) override;
    Status isUser(const std::string& name, bool& known) override;
    Status isGroup(const std::string& name, bool& known) override;
    Status primaryGroup(const std::string& user, std::string& group) override;

    // ObjectSteps: objects (pg_objects.cpp)
    Status locate(const ObjectRef& ref, LocatedObject& found) override;
    Status locateByName(std::optional<Kind> kind, const std::string& name, LocatedObject& found,
                        bool& exists) override;
    Status sendRevision(std::int64_t id, int revision, const ByteSink& sink) override;
    Status insertObject(const NewObject& object, const std::string& owner, const std::string& group,
                        const std::string& mode, std::int64_t& id) override;
    Status addRevisionOf(std::int64_t id, const NewObject& remade, const std::string& author,
                         int& revision) override;

    // ObjectSteps: states, the server's locks taken before the checks (molb_lock_objects and
    // its kin), holds (pg_checkout.cpp)
    Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) override;
    Status lockObjects(const std::vector<std::int64_t>& ids) override;
    Status lockSubset(std::int64_t id) override;
    Status lockName(Kind kind, const std::string& name) override;
    Status setHolder(std::int64_t id, const std::string& user, const std::string& comment) override;
    Status checkInObject(std::int64_t id, const std::string& author,
                         const std::string& comment) override;

    // ObjectSteps: links and revisions (pg_links.cpp)
    Status linksOf(std::int64_t id,
                   std::vector<std::pair<std::int64_t, std::string>>& links) override;
    Status insertLink(std::int64_t parent, std::int64_t child,
                      const std::string& derivation) override;
    Status cutLinks(std::int64_t parent, std::int64_t child) override;
    Status revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions) override;

    // ObjectSteps: subsets and ownership (pg_modes.cpp). The server shows a user only the
    // subsets it may read.
    Status setOwnedPart(Owned what, std::int64_t id, OwnedPart part,
                        const std::string& value) override;
    Status subsetState(Kind kind, const std::string& name, std::int64_t& id,
                       SubsetInfo* info) override;
    Status subsetHidden(Kind kind, const std::string& name, bool& hidden) override;
    Status subsetsNamed(const std::string& name,
                        std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets) override;
    Status insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id) override;
    Status appendMember(std::int64_t subset, std::int64_t object) override;

    // pg_store.cpp
    Status connectAs(const std::string* user, const std::string* password);
    Status readSession(bool named, const std::string& user, Session& session);

    // pg_listing.cpp
    Status countAndList(const Session& session, const ListingRequest& request, Listing& listing);
    Status listSearch(const Session& session, const ListingRequest& request, Listing& listing);

    // pg_objects.cpp
    const char* locateColumns() const;
    // readable: whether the server lets the role read the object found.
    Status findByName(std::optional<Kind> kind, const std::string& name, LocatedObject& found,
                      bool& exists, bool& readable);
    Status reservePlaces(const char* sql, std::int64_t owner, std::int64_t& count);
    Status takenNames(const std::vector<NewObject>& objects, size_t first, size_t end,
                      std::set<std::pair<Kind, std::string>>& taken);

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
