#pragma once
// The order of work of the object operations, shared by the back ends: the checks of
// object_rules.h over every object first, then the changes, all inside the back end's own
// transaction. A back end supplies the primitive steps; these functions decide what to check and
// change, so every back end refuses and changes the same things.

#include "object_rules.h"
#include "store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Dbscout::Molb {

class ObjectSteps
{
public:
    virtual ~ObjectSteps() = default;

    // NotFound for a missing object, or for one of another kind than asked.
    virtual Status objectState(std::int64_t id, std::optional<Kind> kind, ObjectState& state) = 0;
    // The direct descendants, in id order, with the derivation of each link.
    virtual Status linksOf(std::int64_t id,
                           std::vector<std::pair<std::int64_t, std::string>>& links) = 0;
    // Keeps the objects' states from changing under the checks until the transaction ends, where
    // the store's transaction does not already.
    virtual Status lockObjects(const std::vector<std::int64_t>& ids) = 0;
    // An empty user gives the object back.
    virtual Status setHolder(std::int64_t id, const std::string& user,
                             const std::string& comment) = 0;
    // Gives the object back with a revision of its current bytes.
    virtual Status checkInObject(std::int64_t id, const std::string& author,
                                 const std::string& comment) = 0;
    virtual Status setObjectMode(std::int64_t id, const std::string& mode) = 0;
    // Stores remade as the object's next revision, whose number comes back in revision.
    virtual Status addRevisionOf(std::int64_t id, const NewObject& remade,
                                 const std::string& author, int& revision) = 0;
    // Cuts one link, or with child 0 every link from parent.
    virtual Status cutLinks(std::int64_t parent, std::int64_t child) = 0;
    // Appends the object at the end of the subset, unless it is a member already.
    virtual Status appendMember(std::int64_t subset, std::int64_t object) = 0;

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
