#include "model/object_rules.h"

#include "model/shared_names.h"

#include <algorithm>
#include <charconv>
#include <strings.h>
#include <unordered_set>

namespace Dbscout::Molb {
namespace {

bool holdsIt(const Session& session, const ObjectState& object)
{
    return !session.user.empty() && object.checkoutBy == session.user;
}

Status needRead(const Session& session, const ObjectState& object)
{
    if (rightOf(session, object.owner, object.group, object.mode) != Right::None)
        return Status::pass();
    return Status::fail(ErrorCode::Denied,
                        "You may not read " + objectLabel(session, object) + ".");
}

Status needWrite(const Session& session, const ObjectState& object)
{
    Status status = needRead(session, object);
    if (status.ok() && rightOf(session, object.owner, object.group, object.mode) != Right::Write)
        return Status::fail(ErrorCode::Denied,
                            "You may not change " + objectLabel(session, object) + ".");
    return status;
}

Status needHolder(const Session& session, const ObjectState& object)
{
    if (holdsIt(session, object))
        return Status::pass();
    const std::string label = objectLabel(session, object);
    if (object.checkoutBy.empty())
        return Status::fail(ErrorCode::Conflict, label + " is not checked out.");
    return Status::fail(ErrorCode::Conflict,
                        label + " is checked out by " + object.checkoutBy + ", not by you.");
}

} // namespace

std::string objectLabel(const Session& session, const ObjectState& object)
{
    if (rightOf(session, object.owner, object.group, object.mode) == Right::None)
        return "object " + std::to_string(object.id);
    return "\"" + object.name + "\"";
}

Status mayCheckOut(const Session& session, const ObjectState& object)
{
    if (session.user.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "Checking out needs a user name (user= and pass=).");
    Status status = needWrite(session, object);
    if (status.ok() && !object.checkoutBy.empty() && !holdsIt(session, object))
        return Status::fail(ErrorCode::Conflict, objectLabel(session, object) +
                                                     " is checked out by " + object.checkoutBy +
                                                     ".");
    return status;
}

Status mayCheckIn(const Session& session, const ObjectState& object)
{
    Status status = needWrite(session, object);
    return status.ok() ? needHolder(session, object) : status;
}

Status mayUndoCheckOut(const Session& session, const ObjectState& object)
{
    Status status = needRead(session, object);
    return status.ok() ? needHolder(session, object) : status;
}

Status mayChangeMode(const Session& session, const ObjectState& object)
{
    Status status = needRead(session, object);
    if (!status.ok())
        return status;
    const std::string label = objectLabel(session, object);
    if (!session.everyoneOwns && (session.user.empty() || session.user != object.owner))
        return Status::fail(ErrorCode::Denied,
                            "Only the owner may change the access rights of " + label + ".");
    if (!object.checkoutBy.empty())
        return Status::fail(ErrorCode::Conflict, label + " is checked out by " + object.checkoutBy +
                                                     "; its access rights cannot change.");
    return Status::pass();
}

Status mayChangeSubsetMode(const Session& session, const std::string& name,
                           const std::string& owner)
{
    if (session.everyoneOwns || (!session.user.empty() && session.user == owner))
        return Status::pass();
    return Status::fail(ErrorCode::Denied,
                        "Only the owner may change the access rights of the subset \"" + name +
                            "\".");
}

Status checkModeChange(const std::string& change)
{
    if (isValidModeChange(change))
        return Status::pass();
    return Status::fail(ErrorCode::BadRequest,
                        "The mode \"" + change +
                            "\" is not three of \"-\", \"r\", \"w\" and \"*\" (owner, group, "
                            "other).");
}

Status objectNameTaken(Kind kind, const std::string& name)
{
    return Status::fail(ErrorCode::Conflict, "An object named \"" + name + "\" of " +
                                                 kindKeyword(kind) + " objects exists already.");
}

Status subsetNameTaken(Kind kind, const std::string& name)
{
    return Status::fail(ErrorCode::Conflict, "A subset \"" + name + "\" of " + kindKeyword(kind) +
                                                 " objects exists already.");
}

Status checkSubsetName(const std::string& name)
{
    auto bad = [](const std::string& message) {
        return Status::fail(ErrorCode::BadRequest, message);
    };
    if (strcasecmp(name.c_str(), "MAIN") == 0)
        return bad("\"MAIN\" is the reserved name of all objects.");
    if (name.empty())
        return bad("A subset needs a name.");
    if (name.size() > kMaxSubsetNameBytes)
        return bad("A subset name is at most " + std::to_string(kMaxSubsetNameBytes) + " bytes.");
    if (!isValidUtf8(name))
        return bad("The subset name is not valid UTF-8 text.");
    if (std::any_of(name.begin(), name.end(),
                    [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
        return bad("The subset name contains a control character.");
    if (name.front() == ' ' || name.back() == ' ')
        return bad("The subset name starts or ends with a blank, which a listing would lose.");
    return Status::pass();
}

Status descendantClosure(const std::vector<std::int64_t>& roots, const ChildrenOf& children,
                         std::vector<std::int64_t>& descendants)
{
    descendants.clear();
    std::unordered_set<std::int64_t> seen(roots.begin(), roots.end());
    std::vector<std::int64_t> found;
    std::vector<std::int64_t> level = roots;
    while (!level.empty()) {
        std::vector<std::int64_t> next;
        for (std::int64_t id : level) {
            found.clear();
            if (Status status = children(id, found); !status.ok())
                return status;
            for (std::int64_t child : found) {
                if (seen.insert(child).second) {
                    descendants.push_back(child);
                    next.push_back(child);
                }
            }
        }
        level = std::move(next);
    }
    return Status::pass();
}

Status parseObjectIds(const std::string& path, std::vector<std::int64_t>& ids)
{
    ids.clear();
    if (path.empty())
        return Status::pass();
    std::unordered_set<std::int64_t> seen;
    size_t begin = 0;
    while (true) {
        const size_t comma = path.find(',', begin);
        const size_t end = comma == std::string::npos ? path.size() : comma;
        std::int64_t id = 0;
        const auto [stop, error] = std::from_chars(path.data() + begin, path.data() + end, id);
        if (error != std::errc() || stop != path.data() + end || end == begin || id <= 0)
            return Status::fail(ErrorCode::BadRequest,
                                "\"" + path.substr(begin, end - begin) +
                                    "\" is not an object id; the path holds ids joined by \",\".");
        if (seen.insert(id).second)
            ids.push_back(id);
        if (comma == std::string::npos)
            return Status::pass();
        begin = comma + 1;
    }
}

} // namespace Dbscout::Molb
