#pragma once
// The server back end: one PostgreSQL database per molb database. The handler connects as the
// requesting user's own role, so the server's row-level security enforces every mode as well
// as the handler does; molb-admin connects as the store's owner.

#include "pg/pg_connection.h"
#include "store.h"

namespace Dbscout::Molb {

class PgStore final : public Store
{
public:
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
    Status listSubsets(Kind kind, std::vector<SubsetInfo>& subsets) override;
    Status listObjects(const ListingRequest& request, Listing& listing) override;
    Status fetchObject(const Session& session, const ObjectRef& ref, const ByteSink& sink) override;
    Status saveObject(const Session& session, const SaveRequest& request,
                      SaveOutcome& outcome) override;
    Status importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                         const std::string& owner, std::vector<Status>& results) override;
    Status passwordRecord(const std::string& user, const std::string& password,
                          std::string& record) override;
    Status addUser(const std::string& name, const std::string& passwordHash,
                   const std::vector<std::string>& groups) override;
    Status addSubset(Kind kind, const SubsetInfo& subset,
                     const std::vector<std::int64_t>& ids) override;
    Status objectKind(std::int64_t id, Kind& kind) override;

private:
    struct Located
    {
        std::int64_t id = 0;
        int revision = 0;
        std::string name;
        std::string owner;
        std::string group;
        std::string mode;
        std::string checkoutBy;
    };

    // pg_store.cpp
    Status connectAs(const std::string* user, const std::string* password);
    Status readSession(bool named, const std::string& user, Session& session);
    Status subsetRow(Kind kind, const std::string& name, std::int64_t& id, SubsetInfo* info);
    Status createSubset(Kind kind, const SubsetInfo& subset, std::int64_t& id);
    Status primaryGroup(const std::string& user, std::string& group);

    // pg_listing.cpp
    Status countAndList(const ListingRequest& request, Listing& listing);
    Status listSearch(const ListingRequest& request, Listing& listing);

    // pg_objects.cpp
    Status locate(const ObjectRef& ref, Located& found);
    Status locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                        bool& exists);
    Status insertObject(const NewObject& object, const std::string& owner, const std::string& group,
                        std::int64_t& id);
    Status addRevision(const Located& object, const NewObject& update, const std::string& author,
                       int& revision);
    Status appendMember(std::int64_t subsetId, std::int64_t objectId);

    // pg_roles.cpp
    Status createDatabase(const std::string& connection, const std::string& database);

    PgConnection m_db;
    std::string m_host;
    std::string m_port;
    std::string m_database;
    std::string m_where;
};

} // namespace Dbscout::Molb
