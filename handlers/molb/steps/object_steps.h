#pragma once
// The order of work of the object operations, shared by the back ends: the checks of
// object_rules.h over every object first, then the changes, all inside the back end's own
// transaction. A back end supplies the primitive steps; these functions (and SteppedStore,
// stepped_store.h) decide what to check and change, so every back end refuses and changes the
// same things.

#include "model/object_rules.h"
#include "model/store_admin.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Dbscout::Molb {

// An object as a back end finds it by address or name: its state and current revision.
struct LocatedObject
{
    ObjectState state;
    int revision = 0;
};

// What an administrator may change of an object or a subset (StoreAdmin's chown and chmod).
enum class Owned { Object, Subset };
enum class OwnedPart { Owner, Group, Mode };

// The primitive steps of a back end: each reads or changes one thing with the back end's own
// SQL and decides nothing; the rules (this file's functions and SteppedStore) decide. Every step
// runs inside a transaction of writing or reading.
class ObjectSteps
{
public:
    virtual ~ObjectSteps() = default;

    // Runs work as one transaction, committed when it passes and undone otherwise. writing
    // queues concurrent writers (no two pass the same check); reading sees one snapshot.
    virtual Status writing(const std::function<Status()>& work) = 0;
    virtual Status reading(const std::function<Status()>& work) = 0;

    // NotFound for a missing object, or for one of another kind than asked.
    virtual Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) = 0;
    // The object a request addresses ("ID", "ID:REVISION" or a name), at the revision it names
    // (pickRevision); NotFound when there is none.
    virtual Status locate(const ObjectRef& ref, LocatedObject& found) = 0;
    // The object of the name (of the kind, or of any kind but one), if any; BadRequest when
    // several kinds have it.
    virtual Status locateByName(std::optional<Kind> kind, const std::string& name,
                                LocatedObject& found, bool& exists) = 0;
    // Sends the bytes of a revision to sink; Denied (without a message) where the back end
    // hides the revision from the session.
    virtual Status sendRevision(std::int64_t id, int revision, const ByteSink& sink) = 0;
    // Every revision of the object, oldest first.
    virtual Status revisionsOf(std::int64_t id, std::vector<RevisionInfo>& revisions) = 0;
    // The direct descendants, in id order, with the derivation of each link.
    virtual Status linksOf(std::int64_t id,
                           std::vector<std::pair<std::int64_t, std::string>>& links) = 0;

    // Keep the objects' states, or the subset's, from changing under the checks until the
    // transaction ends, where the back end's write transaction does not already.
    virtual Status lockObjects(const std::vector<std::int64_t>& ids) = 0;
    virtual Status lockSubset(std::int64_t id) = 0;
    // Makes two saves of one new name wait for each other.
    virtual Status lockName(Kind kind, const std::string& name) = 0;

    // A new object with its first revision; Conflict (objectNameTaken) for a taken name.
    virtual Status insertObject(const NewObject& object, const std::string& owner,
                                const std::string& group, const std::string& mode,
                                std::int64_t& id) = 0;
    // An empty user gives the object back.
    virtual Status setHolder(std::int64_t id, const std::string& user,
                             const std::string& comment) = 0;
    // Gives the object back with a revision of its current bytes.
    virtual Status checkInObject(std::int64_t id, const std::string& author,
                                 const std::string& comment) = 0;
    virtual Status setOwnedPart(Owned what, std::int64_t id, OwnedPart part,
                                const std::string& value) = 0;
    // Stores remade as the object's next revision, whose number comes back in revision.
    virtual Status addRevisionOf(std::int64_t id, const NewObject& remade,
                                 const std::string& author, int& revision) = 0;
    // Conflict when the link exists already.
    virtual Status insertLink(std::int64_t parent, std::int64_t child,
                              const std::string& derivation) = 0;
    // Cuts one link, or with child 0 every link from parent.
    virtual Status cutLinks(std::int64_t parent, std::int64_t child) = 0;

    // A subset the session can see; NotFound (naming it with its kind) otherwise.
    virtual Status subsetState(Kind kind, const std::string& name, std::int64_t& id,
                               SubsetInfo* info) = 0;
    // Whether a subset exists that the back end hides from the session.
    virtual Status subsetHidden(Kind kind, const std::string& name, bool& hidden) = 0;
    // The subsets of every kind with the name, in id order, at most two.
    virtual Status subsetsNamed(const std::string& name,
                                std::vector<std::pair<std::int64_t, SubsetInfo>>& subsets) = 0;
    // Conflict (subsetNameTaken) for a taken name.
    virtual Status insertSubsetRow(Kind kind, const SubsetInfo& subset, std::int64_t& id) = 0;
    // Appends the object at the end of the subset, unless it is a member already.
    virtual Status appendMember(std::int64_t subset, std::int64_t object) = 0;

    // Whether the store has users at all, a user of the name, a group of the name.
    virtual Status hasUsers(bool& any) = 0;
    virtual Status isUser(const std::string& name, bool& known) = 0;
    virtual Status isGroup(const std::string& name, bool& known) = 0;
    // The user's first group; empty for an unknown user.
    virtual Status primaryGroup(const std::string& user, std::string& group) = 0;

    Status childrenOf(std::int64_t id, std::vector<std::int64_t>& children);
};

// The states of the objects in order, then with descendants those of their descendants, all
// locked first.
Status collectStates(ObjectSteps& steps, const ObjectSet& objects, bool descendants,
                     std::vector<ObjectState>& states);
// Check-out: every check, then every hold.
Status takeObjects(ObjectSteps& steps, const Session& session, const CheckRequest& request);
// Check-in, with descendants the descendants the user holds.
Status checkInObjects(ObjectSteps& steps, const Session& session, const CheckRequest& request);
// After a save with check-in: the descendants of id that the user holds.
Status releaseHeldDescendants(ObjectSteps& steps, const Session& session, std::int64_t id,
                              const std::string& comment);
Status undoCheckOuts(ObjectSteps& steps, const Session& session, const ObjectSet& objects);
Status changeObjectModes(ObjectSteps& steps, const Session& session, const ObjectSet& objects,
                         const std::string& modeChange);
// A new subset row after the checks of its name and mode.
Status insertSubset(ObjectSteps& steps, Kind kind, const SubsetInfo& subset, std::int64_t& id);
// An import's subset of the kind, made when missing; id 0 means not looked up yet.
Status subsetForImport(ObjectSteps& steps, Kind kind, const std::string& name,
                       const std::string& owner, const std::string& group, std::int64_t& id);
// The members of a new subset, in order: each must be of the kind and readable.
Status addReadableMembers(ObjectSteps& steps, const Session& session, Kind kind,
                          std::int64_t subset, const std::vector<std::int64_t>& ids);
// BadRequest when child below parent would close a circle (parent == child included).
Status checkNewLink(ObjectSteps& steps, std::int64_t parent, std::int64_t child);
// A forced save over the existing object: its checks, the new revision by the session's user,
// the descendants and, when asked, the check-in.
Status saveOver(ObjectSteps& steps, const Session& session, const ObjectState& existing,
                const SaveRequest& request, SaveOutcome& outcome);
// What a save does to the descendants of saved (SaveRequest::descendants).
Status treatDescendants(ObjectSteps& steps, const Session& session, std::int64_t saved,
                        const SaveRequest& request, SaveOutcome& outcome);

} // namespace Dbscout::Molb
