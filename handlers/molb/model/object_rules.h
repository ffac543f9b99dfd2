#pragma once
// The checks of the object operations, apart from any back end: a back end loads the state of
// each object an operation touches, asks these functions in order and stops at the first refusal,
// so every back end refuses the same things with the same codes and texts.

#include "model/access.h"
#include "model/object_kind.h"
#include "model/shared_names.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Dbscout::Molb {

// What the checks need to know of one object.
struct ObjectState
{
    std::int64_t id = 0;
    std::string name;
    std::string owner;
    std::string group;
    std::string mode;
    std::string checkoutBy;
    Kind kind = Kind::DnaRna;
};

// How a refusal names the object: its name in quotes when the session may read it, else
// "object ID", so that no refusal tells a hidden name.
std::string objectLabel(const Session& session, const ObjectState& object);

// Check-out needs a user name, read and write access, and no other holder (Conflict).
Status mayCheckOut(const Session& session, const ObjectState& object);
// Check-in needs read and write access and the session's user as the holder (Conflict otherwise).
Status mayCheckIn(const Session& session, const ObjectState& object);
// Undo check-out: as check-in, without the need to write.
Status mayUndoCheckOut(const Session& session, const ObjectState& object);
// A mode change needs the owner (or a store without users) and nobody holding the object.
Status mayChangeMode(const Session& session, const ObjectState& object);
// The same for a subset (whose state needs no holder).
Status mayChangeSubsetMode(const Session& session, const std::string& name,
                           const std::string& owner);
// BadRequest unless change is three of "-", "r", "w" and "*".
Status checkModeChange(const std::string& change);

// All or nothing: check runs over every state first and the first refusal is returned; only when
// none refuses does change run over every state (stopping at a failure, which the caller's
// transaction then undoes).
template <typename Check, typename Change>
Status checkAllThenChange(const std::vector<ObjectState>& states, Check check, Change change)
{
    for (const ObjectState& state : states)
        if (Status status = check(state); !status.ok())
            return status;
    for (const ObjectState& state : states)
        if (Status status = change(state); !status.ok())
            return status;
    return Status::pass();
}

// The refusals of a name that an object or a subset of the kind has already.
Status objectNameTaken(Kind kind, const std::string& name);
Status subsetNameTaken(Kind kind, const std::string& name);

// A subset name: not "MAIN" in any letter case, not empty, valid UTF-8 without control characters
// and without a blank at either end (a listing query is trimmed), at most kMaxSubsetNameBytes.
inline constexpr size_t kMaxSubsetNameBytes = 256;
Status checkSubsetName(const std::string& name);

// Every object reached from roots through the parent-to-descendant links, roots excluded, each
// once, breadth first in the order children gives; circles end where they close. children
// appends the direct descendants of an object and may fail.
using ChildrenOf = std::function<Status(std::int64_t id, std::vector<std::int64_t>& children)>;
Status descendantClosure(const std::vector<std::int64_t>& roots, const ChildrenOf& children,
                         std::vector<std::int64_t>& descendants);

// The ids of an operation's path: decimal ids joined by ",", each once. An empty path gives none.
Status parseObjectIds(const std::string& path, std::vector<std::int64_t>& ids);

} // namespace Dbscout::Molb
