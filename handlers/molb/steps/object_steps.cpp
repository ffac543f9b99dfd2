#include "steps/object_steps.h"

#include "derive/derivation.h"

#include <algorithm>
#include <unordered_set>

namespace Dbscout::Molb {
namespace {

// Why the session cannot recalculate a descendant it found; empty when it can.
std::string obstacle(const Session& session, const ObjectState& child)
{
    if (rightOf(session, child.owner, child.group, child.mode) != Right::Write)
        return "you may not change it";
    if (!child.checkoutBy.empty() && child.checkoutBy != session.user)
        return "it is checked out by " + child.checkoutBy;
    return {};
}

using Level = std::vector<std::pair<std::int64_t, std::string>>;

// Recalculates the direct descendants of parent from its bytes; those remade go to next.
Status recalculate(ObjectSteps& steps, const Session& session, std::int64_t parent,
                   const std::string& parentBytes, const SaveRequest& request, SaveOutcome& outcome,
                   Level& next)
{
    Level links;
    Status status = steps.linksOf(parent, links);
    for (size_t i = 0; status.ok() && i < links.size(); ++i) {
        const auto& [child, derivation] = links[i];
        ObjectState state;
        if (status = steps.lockObjects({child}); status.ok())
            status = steps.objectState(child, std::nullopt, state);
        if (!status.ok())
            break;
        std::string reason = obstacle(session, state);
        NewObject remade;
        if (reason.empty()) {
            if (Status derived = deriveObject(derivation, parentBytes, state.name, remade);
                !derived.ok())
                reason = derived.message();
        }
        if (reason.empty()) {
            int revision = 0;
            status = steps.addRevisionOf(child, remade, session.user, revision);
            ++outcome.recalculated;
            next.emplace_back(child, std::move(remade.bytes));
            continue;
        }
        DescendantNote note{objectLabel(session, state), reason, request.disconnectUnrecalculable};
        if (note.disconnected)
            status = steps.cutLinks(parent, child);
        outcome.notes.push_back(std::move(note));
    }
    return status;
}

} // namespace

Status ObjectSteps::childrenOf(std::int64_t id, std::vector<std::int64_t>& children)
{
    std::vector<std::pair<std::int64_t, std::string>> links;
    Status status = linksOf(id, links);
    for (const auto& link : links)
        children.push_back(link.first);
    return status;
}

Status collectStates(ObjectSteps& steps, const ObjectSet& objects, bool descendants,
                     std::vector<ObjectState>& states)
{
    states.clear();
    if (objects.ids.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "The address names no object: put the ids after the kind, joined by "
                            "\",\".");
    Status status = steps.lockObjects(objects.ids);
    std::vector<std::int64_t> more;
    if (status.ok() && descendants)
        status = descendantClosure(
            objects.ids,
            [&steps](std::int64_t id, std::vector<std::int64_t>& children) {
                return steps.childrenOf(id, children);
            },
            more);
    if (status.ok() && !more.empty())
        status = steps.lockObjects(more);
    for (size_t i = 0; status.ok() && i < objects.ids.size() + more.size(); ++i) {
        // Descendants may be of another kind (a protein made from a DNA record).
        const bool root = i < objects.ids.size();
        status = steps.objectState(root ? objects.ids[i] : more[i - objects.ids.size()],
                                   root ? objects.kind : std::nullopt, states.emplace_back());
    }
    return status;
}

Status takeObjects(ObjectSteps& steps, const Session& session, const CheckRequest& request)
{
    std::vector<ObjectState> states;
    Status status = collectStates(steps, request.objects, request.descendants, states);
    if (!status.ok())
        return status;
    return checkAllThenChange(
        states, [&](const ObjectState& state) { return mayCheckOut(session, state); },
        [&](const ObjectState& state) {
            return steps.setHolder(state.id, session.user, request.comment);
        });
}

Status checkInObjects(ObjectSteps& steps, const Session& session, const CheckRequest& request)
{
    std::vector<ObjectState> states;
    Status status = collectStates(steps, request.objects, false, states);
    if (!status.ok())
        return status;
    return checkAllThenChange(
        states, [&](const ObjectState& state) { return mayCheckIn(session, state); },
        [&](const ObjectState& state) {
            Status done = steps.checkInObject(state.id, session.user, request.comment);
            if (done.ok() && request.descendants)
                done = releaseHeldDescendants(steps, session, state.id, request.comment);
            return done;
        });
}

Status releaseHeldDescendants(ObjectSteps& steps, const Session& session, std::int64_t id,
                              const std::string& comment)
{
    std::vector<ObjectState> states;
    Status status = collectStates(steps, ObjectSet{std::nullopt, {id}}, true, states);
    for (size_t i = 1; status.ok() && i < states.size(); ++i) {
        if (mayCheckIn(session, states[i]).ok())
            status = steps.checkInObject(states[i].id, session.user, comment);
    }
    return status;
}

Status undoCheckOuts(ObjectSteps& steps, const Session& session, const ObjectSet& objects)
{
    std::vector<ObjectState> states;
    Status status = collectStates(steps, objects, false, states);
    if (!status.ok())
        return status;
    return checkAllThenChange(
        states, [&](const ObjectState& state) { return mayUndoCheckOut(session, state); },
        [&](const ObjectState& state) { return steps.setHolder(state.id, {}, {}); });
}

Status changeObjectModes(ObjectSteps& steps, const Session& session, const ObjectSet& objects,
                         const std::string& modeChange)
{
    Status status = checkModeChange(modeChange);
    std::vector<ObjectState> states;
    if (status.ok())
        status = collectStates(steps, objects, false, states);
    if (!status.ok())
        return status;
    return checkAllThenChange(
        states, [&](const ObjectState& state) { return mayChangeMode(session, state); },
        [&](const ObjectState& state) {
            return steps.setOwnedPart(Owned::Object, state.id, OwnedPart::Mode,
                                      applyModeChange(state.mode, modeChange));
        });
}

Status insertSubset(ObjectSteps& steps, Kind kind, const SubsetInfo& subset, std::int64_t& id)
{
    if (Status status = checkSubsetName(subset.name); !status.ok())
        return status;
    if (!isValidMode(subset.mode))
        return Status::fail(ErrorCode::BadRequest,
                            "The mode \"" + subset.mode +
                                "\" is not three of \"-\", \"r\" and \"w\" (owner, group, other).");
    return steps.insertSubsetRow(kind, subset, id);
}

Status subsetForImport(ObjectSteps& steps, Kind kind, const std::string& name,
                       const std::string& owner, const std::string& group, std::int64_t& id)
{
    if (id != 0)
        return Status::pass();
    Status status = steps.subsetState(kind, name, id, nullptr);
    if (status.code() == ErrorCode::NotFound)
        status = insertSubset(steps, kind, SubsetInfo{name, owner, group, kDefaultMode}, id);
    return status;
}

Status addReadableMembers(ObjectSteps& steps, const Session& session, Kind kind,
                          std::int64_t subset, const std::vector<std::int64_t>& ids)
{
    Status status = Status::pass();
    for (size_t i = 0; status.ok() && i < ids.size(); ++i) {
        ObjectState state;
        if (status = steps.objectState(ids[i], kind, state); !status.ok())
            break;
        if (rightOf(session, state.owner, state.group, state.mode) == Right::None)
            return Status::fail(ErrorCode::Denied,
                                "You may not read " + objectLabel(session, state) + ".");
        status = steps.appendMember(subset, ids[i]);
    }
    return status;
}

Status checkNewLink(ObjectSteps& steps, std::int64_t parent, std::int64_t child)
{
    ObjectState state;
    Status status = steps.objectState(parent, std::nullopt, state);
    if (status.ok())
        status = steps.objectState(child, std::nullopt, state);
    std::vector<std::int64_t> below;
    if (status.ok())
        status = descendantClosure(
            {child},
            [&steps](std::int64_t id, std::vector<std::int64_t>& children) {
                return steps.childrenOf(id, children);
            },
            below);
    if (status.ok() &&
        (parent == child || std::find(below.begin(), below.end(), parent) != below.end()))
        return Status::fail(ErrorCode::BadRequest,
                            "Object " + std::to_string(parent) + " descends from object " +
                                std::to_string(child) + "; the link would close a circle.");
    return status;
}

Status saveOver(ObjectSteps& steps, const Session& session, const ObjectState& existing,
                const SaveRequest& request, SaveOutcome& outcome)
{
    const std::string& name = request.object.meta[Field::Name];
    if (rightOf(session, existing.owner, existing.group, existing.mode) != Right::Write)
        return Status::fail(ErrorCode::Denied, "You may not change \"" + name + "\".");
    if (!existing.checkoutBy.empty() && existing.checkoutBy != session.user)
        return Status::fail(ErrorCode::Conflict,
                            "\"" + name + "\" is checked out by " + existing.checkoutBy + ".");
    Status status =
        steps.addRevisionOf(existing.id, request.object, session.user, outcome.revision);
    if (status.ok())
        status = treatDescendants(steps, session, existing.id, request, outcome);
    if (status.ok() && request.checkIn && existing.checkoutBy == session.user &&
        !session.user.empty())
        status = steps.setHolder(existing.id, {}, {});
    if (status.ok() && request.checkIn && request.checkInDescendants)
        status = releaseHeldDescendants(steps, session, existing.id, {});
    return status;
}

Status treatDescendants(ObjectSteps& steps, const Session& session, std::int64_t saved,
                        const SaveRequest& request, SaveOutcome& outcome)
{
    switch (request.descendants) {
    case DescendantMode::Leave:
        return Status::pass();
    case DescendantMode::Disconnect:
        return steps.cutLinks(saved, 0);
    case DescendantMode::Reconstruct:
        break;
    }
    // Breadth first from the saved object: a recalculated descendant passes its new bytes on.
    Level level{{saved, request.object.bytes}};
    std::unordered_set<std::int64_t> seen{saved};
    while (!level.empty()) {
        Level next;
        for (const auto& [parent, bytes] : level) {
            if (Status status = recalculate(steps, session, parent, bytes, request, outcome, next);
                !status.ok())
                return status;
        }
        std::erase_if(next,
                      [&seen](const auto& entry) { return !seen.insert(entry.first).second; });
        level = std::move(next);
    }
    return Status::pass();
}

} // namespace Dbscout::Molb
