// The administration operations, the same in every back end: no session and no mode checks,
// each one transaction of the back end's steps.

#include "steps/stepped_store.h"

namespace Dbscout::Molb {

Status SteppedStore::addSubset(Kind kind, const SubsetInfo& subset,
                               const std::vector<std::int64_t>& ids)
{
    return writing([&] {
        SubsetInfo stored = subset;
        Status status =
            stored.owner.empty() ? Status::pass() : primaryGroup(stored.owner, stored.group);
        std::int64_t id = 0;
        if (status.ok())
            status = insertSubset(*this, kind, stored, id);
        for (size_t i = 0; status.ok() && i < ids.size(); ++i) {
            ObjectState member;
            status = objectState(ids[i], std::nullopt, member);
            if (status.ok() && member.kind != kind)
                status = Status::fail(ErrorCode::BadRequest,
                                      "Object " + std::to_string(ids[i]) + " is a " +
                                          kindKeyword(member.kind) + " object, not " +
                                          kindKeyword(kind) + ".");
            if (status.ok())
                status = appendMember(id, ids[i]);
        }
        return status;
    });
}

Status SteppedStore::objectKind(std::int64_t id, Kind& kind)
{
    ObjectState state;
    const Status status = objectState(id, std::nullopt, state);
    if (status.ok())
        kind = state.kind;
    return status;
}

Status SteppedStore::objectName(std::int64_t id, std::string& name)
{
    ObjectState state;
    const Status status = objectState(id, std::nullopt, state);
    name = state.name;
    return status;
}

Status SteppedStore::checkOwnership(const Ownership& change)
{
    if (change.mode)
        if (Status status = checkModeChange(*change.mode); !status.ok())
            return status;
    bool known = false;
    if (Status status = hasUsers(known); !status.ok() || !known)
        return status; // a store without users knows no names to check against
    if (change.owner) {
        if (Status status = isUser(*change.owner, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound, "There is no user \"" + *change.owner + "\".");
    }
    if (change.group && !change.group->empty()) {
        if (Status status = isGroup(*change.group, known); !status.ok())
            return status;
        if (!known)
            return Status::fail(ErrorCode::NotFound,
                                "There is no group \"" + *change.group + "\".");
    }
    return Status::pass();
}

Status SteppedStore::applyOwnership(Owned what, std::int64_t id, const std::string& mode,
                                    const Ownership& change)
{
    Status status = checkOwnership(change);
    if (status.ok() && change.owner)
        status = setOwnedPart(what, id, OwnedPart::Owner, *change.owner);
    if (status.ok() && change.group)
        status = setOwnedPart(what, id, OwnedPart::Group, *change.group);
    if (status.ok() && change.mode)
        status = setOwnedPart(what, id, OwnedPart::Mode, applyModeChange(mode, *change.mode));
    return status;
}

Status SteppedStore::setObjectOwnership(std::int64_t id, const Ownership& change)
{
    return writing([&] {
        ObjectState state;
        Status status = lockObjects({id});
        if (status.ok())
            status = objectState(id, std::nullopt, state);
        return status.ok() ? applyOwnership(Owned::Object, id, state.mode, change) : status;
    });
}

Status SteppedStore::setSubsetOwnership(std::optional<Kind> kind, const std::string& name,
                                        const Ownership& change)
{
    return writing([&] {
        std::int64_t id = 0;
        SubsetInfo info;
        if (kind) {
            if (Status status = subsetState(*kind, name, id, &info); !status.ok())
                return status;
            return applyOwnership(Owned::Subset, id, info.mode, change);
        }
        std::vector<std::pair<std::int64_t, SubsetInfo>> named;
        if (Status status = subsetsNamed(name, named); !status.ok())
            return status;
        if (named.empty())
            return Status::fail(ErrorCode::NotFound, "There is no subset \"" + name + "\".");
        if (named.size() > 1)
            return Status::fail(ErrorCode::BadRequest, "Subsets named \"" + name +
                                                           "\" exist for several kinds; give "
                                                           "--kind.");
        return applyOwnership(Owned::Subset, named[0].first, named[0].second.mode, change);
    });
}

Status SteppedStore::addLink(std::int64_t parent, std::int64_t child, const std::string& derivation)
{
    return writing([&] {
        Status status = checkNewLink(*this, parent, child);
        if (status.ok())
            status = insertLink(parent, child, derivation);
        if (status.code() == ErrorCode::Conflict)
            return Status::fail(ErrorCode::Conflict, "Object " + std::to_string(child) +
                                                         " is a descendant of object " +
                                                         std::to_string(parent) + " already.");
        return status;
    });
}

Status SteppedStore::addDerived(std::int64_t parent, const std::vector<DerivedObject>& objects,
                                std::vector<std::int64_t>& ids)
{
    const Status status = writing([&] {
        ids.clear();
        ObjectState from;
        Status status = objectState(parent, std::nullopt, from);
        for (size_t i = 0; status.ok() && i < objects.size(); ++i) {
            std::int64_t id = 0;
            status = insertObject(objects[i].object, from.owner, from.group, from.mode, id);
            if (status.ok())
                status = insertLink(parent, id, objects[i].derivation);
            ids.push_back(id);
        }
        return status;
    });
    if (!status.ok())
        ids.clear();
    return status;
}

Status SteppedStore::revisionLog(std::int64_t id, std::vector<RevisionInfo>& revisions)
{
    return reading([&] {
        revisions.clear();
        ObjectState state;
        Status status = objectState(id, std::nullopt, state);
        return status.ok() ? revisionsOf(id, revisions) : status;
    });
}

} // namespace Dbscout::Molb
