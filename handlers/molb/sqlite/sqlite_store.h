#pragma once
// The embedded back end: one SQLite file per database. Writes run in BEGIN IMMEDIATE
// transactions, so that concurrent writers queue on the file's lock before any check.

#include "sqlite/sqlite_db.h"
#include "steps/stepped_store.h"

namespace Dbscout::Molb {

class SqliteStore final : public SteppedStore
{
public:
    // Opens an existing store, or creates a new one (failing when the file exists).
    Status open(const std::string& path, bool create);

    // Store and StoreAdmin: what is not the same in every back end.
    Status authenticate(bool given, const std::string& user, const std::string& password,
                        Session& session) override;
    Status authenticateDeferred(bool given, const std::string& user, const std::string& password,
                                Session& session, std::future<bool>& verdict) override;
    Status listSubsets(const Session& session, Kind kind,
                       std::vector<SubsetInfo>& subsets) override;
    Status listObjects(const Session& session, const ListingRequest& request,
                       Listing& listing) override;
    Status importObjects(const std::vector<NewObject>& objects, const std::string& subset,
                         const std::string& owner, std::vector<Status>& results) override;
    Status addUser(const std::string& name, const std::string& passwordHash,
                   const std::vector<std::string>& groups) override;
    // One write transaction, each save a savepoint in it: a commit writes the pages that the
    // saves share (indexes, counts) once, and syncs once.
    Status inOneCommit(const std::function<Status()>& work) override;

private:
    // ObjectSteps: transactions and users (sqlite_store.cpp)
    Status writing(const std::function<Status()>& work) override;
    Status reading(const std::function<Status()>& work) override;
    Status hasUsers(bool& any) override;
    Status isUser(const std::string& name, bool& known) override;
    Status isGroup(const std::string& name, bool& known) override;
    Status primaryGroup(const std::string& user, std::string& group) override;

    // ObjectSteps: objects (sqlite_objects.cpp)
    Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) override;
    Status locate(const ObjectRef& ref, LocatedObject& found) override;
    Status locateByName(std::optional<Kind> kind, const std::string& name, LocatedObject& found,
                        bool& exists) override;
    Status sendRevision(std::int64_t id, int revision, const ByteSink& sink) override;
    Status insertObject(const NewObject& object, const std::string& owner, const std::string& group,
                        const std::string& mode, std::int64_t& id) override;
    Status addRevisionOf(std::int64_t id, const NewObject& remade, const std::string& author,
                         int& revision) override;

    // A write transaction (BEGIN IMMEDIATE) already keeps every other writer out, so nothing
    // needs a lock of its own.
    Status lockObjects(const std::vector<std::int64_t>&) override { return Status::pass(); }
    Status lockSubset(std::int64_t) override { return Status::pass(); }
    Status lockName(Kind, const std::string&) override { return Status::pass(); }

    // ObjectSteps: holds (sqlite_checkout.cpp)
    Status setHolder(std::int64_t id, const std::string& user, const std::string& comment) override;
    Status checkInObject(std::int64_t id, const std::string& author,
                         const std::string& comment) override;

    // ObjectSteps: links and revisions (sqlite_links.cpp)
    Status linksOf(std::int64_t id,
                   std::vector<std::pair<std::int64_t, std::string>>& links) override;
    Status insertLink(std::int64_t parent, std::int64_t child,
                      const std::string& derivation) override;
    Status cutLinks(std::int64_t parent, std::int64_t child) override;
    Status revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions) override;

    // ObjectSteps: subsets and ownership (sqlite_modes.cpp). The file shows every subset to
    // every session.
    Status setOwnedPart(Owned what, std::int64_t id, OwnedPart part,
                        const std::string& value) override;
    Status subsetState(Kind kind, const std::string& name, std::int64_t& id,
                       SubsetInfo* info) override;
    Status subsetHidden(Kind, const std::string&, bool& hidden) override;
    Status subsetsNamed(const std::string& name,
                        std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets) override;
    Status insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id) override;
    Status appendMember(std::int64_t subset, std::int64_t object) override;

    // sqlite_listing.cpp
    Status countAndList(const Session& session, const ListingRequest& request, Listing& listing);
    Status listSearch(const Session& session, const ListingRequest& request, Listing& listing);
    Status readRows(const Session& session, SqliteStatement& statement, Listing& listing);

    // sqlite_objects.cpp: exists is false where there is no such object of the kind.
    Status locateId(std::int64_t id, std::optional<Kind> kind, LocatedObject& found, bool& exists);
    Status storeRevision(std::int64_t id, int revision, const NewObject& update,
                         const std::string& author);

    SqliteDb m_db;
    // The session of the listing being read, for the SQL function molb_may_read.
    const Session* m_listingSession = nullptr;
};

} // namespace Dbscout::Molb
