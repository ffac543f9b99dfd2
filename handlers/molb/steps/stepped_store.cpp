// The serving operations, the same in every back end: each is one transaction of the back end's
// steps, checks first (object_rules.h), changes after.

#include "steps/stepped_store.h"

#include "model/object_id.h"
#include "test_hooks/test_pause.h"

namespace Dbscout::Molb {
namespace {

std::string firstGroup(const Session& session)
{
    return session.groups.empty() ? std::string() : session.groups.front();
}

} // namespace

Status SteppedStore::fetchObject(const Session& session, const FetchRequest& request,
                                 const ByteSink& sink)
{
    const auto work = [&] {
        LocatedObject found;
        Status status = locate(request.ref, found);
        if (!status.ok())
            return status;
        const ObjectState& object = found.state;
        // Named as the request named it: the stored name of an unreadable object stays hidden.
        const Status denied =
            Status::fail(ErrorCode::Denied, refusedReadMessage(request.ref.text, object.id));
        if (rightOf(session, object.owner, object.group, object.mode) == Right::None)
            return denied;
        if (request.checkOut)
            status = takeObjects(
                *this, session,
                CheckRequest{ObjectSet{std::nullopt, {object.id}}, request.descendants, {}});
        if (status.ok())
            status = sendRevision(object.id, found.revision, sink);
        // A revision the back end hides from the session: refused as an unreadable object is.
        return status.code() == ErrorCode::Denied && status.message().empty() ? denied : status;
    };
    // A fetch that checks out holds nothing until the last byte went out.
    return request.checkOut ? writing(work) : reading(work);
}

Status SteppedStore::saveObject(const Session& session, const SaveRequest& request,
                                SaveOutcome& outcome)
{
    return writing([&] { return storeSaved(session, request, outcome); });
}

Status SteppedStore::writableSubset(const Session& session, Kind kind, const std::string& name,
                                    std::int64_t& id)
{
    SubsetInfo info;
    const Status status = subsetState(kind, name, id, &info);
    const Status denied =
        Status::fail(ErrorCode::Denied, "You may not add objects to the subset \"" + name + "\".");
    // A subset the back end hides from the user: refused as one it may see but not write.
    bool hidden = false;
    if (status.code() == ErrorCode::NotFound && subsetHidden(kind, name, hidden).ok() && hidden)
        return denied;
    if (!status.ok())
        return status;
    return rightOf(session, info.owner, info.group, info.mode) == Right::Write ? Status::pass()
                                                                               : denied;
}

Status SteppedStore::storeSaved(const Session& session, const SaveRequest& request,
                                SaveOutcome& outcome)
{
    outcome = SaveOutcome();
    const NewObject& object = request.object;
    const std::string& name = object.meta[Field::Name];
    std::int64_t subset = 0;
    Status status = request.subset.empty()
                        ? Status::pass()
                        : writableSubset(session, object.kind, request.subset, subset);
    // Two saves of one new name wait for each other, so the second finds the name taken.
    LocatedObject existing;
    bool exists = false;
    if (status.ok())
        status = lockName(object.kind, name);
    if (status.ok())
        status = locateByName(object.kind, name, existing, exists);
    if (!status.ok())
        return status;
    std::int64_t id = existing.state.id;
    outcome.name = name;
    outcome.id = std::to_string(id);
    if (exists && !request.force) {
        outcome.exists = true;
        return Status::pass(); // nothing written
    }
    if (exists) {
        ObjectState state;
        if (status = lockObjects({id}); status.ok())
            status = objectState(id, object.kind, state);
        if (status.ok())
            status = saveOver(*this, session, state, request, outcome);
    } else {
        status = insertObject(object, session.user, firstGroup(session), kDefaultMode, id);
        outcome.revision = 1;
    }
    if (status.ok() && subset != 0)
        status = appendMember(subset, id);
    outcome.id = std::to_string(id);
    return status;
}

Status SteppedStore::checkOut(const Session& session, const CheckRequest& request)
{
    return writing([&] { return takeObjects(*this, session, request); });
}

Status SteppedStore::checkIn(const Session& session, const CheckRequest& request)
{
    return writing([&] {
        Status status = checkInObjects(*this, session, request);
        if (status.ok())
            pauseForTest("checkin");
        return status;
    });
}

Status SteppedStore::undoCheckOut(const Session& session, const ObjectSet& objects)
{
    return writing([&] { return undoCheckOuts(*this, session, objects); });
}

Status SteppedStore::createSubset(const Session& session, Kind kind, const std::string& name,
                                  const std::vector<std::int64_t>& ids)
{
    if (Status status = checkSubsetName(name); !status.ok())
        return status;
    return writing([&] {
        std::int64_t id = 0;
        Status status = insertSubset(
            *this, kind, SubsetInfo{name, session.user, firstGroup(session), kDefaultMode}, id);
        return status.ok() ? addReadableMembers(*this, session, kind, id, ids) : status;
    });
}

Status SteppedStore::changeObjectModes(const Session& session, const ObjectSet& objects,
                                       const std::string& modeChange)
{
    return writing([&] { return Molb::changeObjectModes(*this, session, objects, modeChange); });
}

Status SteppedStore::changeSubsetMode(const Session& session, Kind kind, const std::string& name,
                                      const std::string& modeChange)
{
    if (Status status = checkModeChange(modeChange); !status.ok())
        return status;
    return writing([&] {
        std::int64_t id = 0;
        SubsetInfo info;
        // Read again once locked, so that two changes of different positions both count.
        Status status = subsetState(kind, name, id, nullptr);
        if (status.ok())
            status = lockSubset(id);
        if (status.ok())
            status = subsetState(kind, name, id, &info);
        // A subset the session may not read does not exist for it.
        if (status.ok() && rightOf(session, info.owner, info.group, info.mode) == Right::None)
            status = Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\" of " +
                                                           kindKeyword(kind) + " objects.");
        if (status.ok())
            status = mayChangeSubsetMode(session, name, info.owner);
        if (status.ok())
            status = setOwnedPart(Owned::Subset, id, OwnedPart::Mode,
                                  applyModeChange(info.mode, modeChange));
        return status;
    });
}

} // namespace Dbscout::Molb
