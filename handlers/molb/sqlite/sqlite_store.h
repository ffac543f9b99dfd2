#pragma once
// The embedded back end: one SQLite file per database.

#include "object_steps.h"
#include "sqlite/sqlite_db.h"
#include "store.h"

namespace Dbscout::Molb {

class SqliteStore final : public Store, private ObjectSteps
{
public:
    // Opens an existing store, or creates a new one (failing when the file exists).
    Status open(const std::string& path, bool create);

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
        std::string name;
        std::string owner;
        std::string group;
        std::string mode;
        std::string checkoutBy;
    };

    // The statements that change an object's or a subset's owner, group and mode.
    struct OwnershipUpdates
    {
        const char* owner;
        const char* group;
        const char* mode;
    };

private:
    // sqlite_listing.cpp
    Status countAndList(const Session& session, const ListingRequest& request, Listing& listing);
    Status listSearch(const Session& session, const ListingRequest& request, Listing& listing);
    Status readRows(const Session& session, SqliteStatement& statement, Listing& listing);

    // sqlite_objects.cpp
    Status locate(const ObjectRef& ref, Located& found);
    Status locateByName(std::optional<Kind> kind, const std::string& name, Located& found,
                        bool& exists);
    Status streamRevision(std::int64_t id, int revision, const ByteSink& sink);
    Status insertObject(const NewObject& object, const std::string& owner, const std::string& group,
                        const std::string& mode, std::int64_t& id);
    Status addRevision(const Located& object, const NewObject& update, const std::string& author);
    Status appendMember(std::int64_t subsetId, std::int64_t objectId) override;

    // ObjectSteps (sqlite_checkout.cpp): the primitive steps of the shared operations.
    Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) override;
    Status linksOf(std::int64_t id,
                   std::vector<std::pair<std::int64_t, std::string>>& links) override;
    // A write transaction (BEGIN IMMEDIATE) already keeps every other writer out.
    Status lockObjects(const std::vector<std::int64_t>&) override { return Status::pass(); }
    Status setHolder(std::int64_t id, const std::string& user, const std::string& comment) override;
    Status checkInObject(std::int64_t id, const std::string& author,
                         const std::string& comment) override;
    Status setObjectMode(std::int64_t id, const std::string& mode) override;
    Status addRevisionOf(std::int64_t id, const NewObject& remade, const std::string& author,
                         int& revision) override;
    Status cutLinks(std::int64_t parent, std::int64_t child) override;

    // sqlite_modes.cpp
    Status checkOwnership(const Ownership& change);
    Status applyOwnership(const OwnershipUpdates& updates, std::int64_t id, const std::string& mode,
                          const Ownership& change);

    // sqlite_store.cpp
    Status subsetId(Kind kind, const std::string& name, std::int64_t& id, SubsetInfo* info);
    Status insertSubset(Kind kind, const SubsetInfo& subset, std::int64_t& id);
    Status primaryGroup(const std::string& user, std::string& group);

    SqliteDb m_db;
    // The session of the listing being read, for the SQL function molb_may_read.
    const Session* m_listingSession = nullptr;
};

} // namespace Dbscout::Molb
