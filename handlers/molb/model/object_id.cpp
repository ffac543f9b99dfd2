#include "model/object_id.h"

#include <charconv>

namespace Dbscout::Molb {

bool parseObjectId(const std::string& text, std::int64_t& id, int& revision)
{
    revision = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, id);
    if (error != std::errc() || stop == text.data() || id <= 0)
        return false;
    if (stop == end)
        return true;
    if (*stop != ':')
        return false;
    const char* begin = stop + 1;
    auto [revisionStop, revisionError] = std::from_chars(begin, end, revision);
    return revisionError == std::errc() && revisionStop == end && begin != end && revision > 0;
}

Status pickRevision(const ObjectRef& ref, int inPath, std::int64_t id, int& revision)
{
    if (inPath != 0 && ref.revision != 0 && inPath != ref.revision)
        return Status::fail(ErrorCode::BadRequest,
                            "The address names revision " + std::to_string(inPath) +
                                " and revision= names " + std::to_string(ref.revision) + ".");
    const int wanted = inPath != 0 ? inPath : ref.revision;
    if (wanted > revision)
        return Status::fail(ErrorCode::NotFound, "Object " + std::to_string(id) +
                                                     " has no revision " + std::to_string(wanted) +
                                                     ".");
    if (wanted > 0)
        revision = wanted;
    return Status::pass();
}

std::string refusedReadMessage(const std::string& requested, std::int64_t id)
{
    const bool byId = std::to_string(id) == requested.substr(0, requested.find(':'));
    return "You may not read " + (byId ? "object " + std::to_string(id) : "\"" + requested + "\"") +
           ".";
}

namespace {

std::string ofKind(std::optional<Kind> kind)
{
    return kind ? std::string(" of ") + kindKeyword(*kind) + " objects" : std::string();
}

} // namespace

std::string noObjectMessage(std::int64_t id, std::optional<Kind> kind)
{
    return "There is no object " + std::to_string(id) + ofKind(kind) + ".";
}

std::string noObjectMessage(std::optional<Kind> kind, const std::string& name)
{
    return "There is no object \"" + name + "\"" + ofKind(kind) + ".";
}

} // namespace Dbscout::Molb
