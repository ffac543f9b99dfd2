#pragma once
// How a request names one object: "ID", "ID:REVISION" or a name. Shared by the stores, so that
// both read an address and refuse a missing object alike.

#include "model/object_kind.h"
#include "model/store.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Dbscout::Molb {

// True for "ID" or "ID:REVISION" (both positive); revision is 0 when none is named.
bool parseObjectId(const std::string& text, std::int64_t& id, int& revision);
// Narrows revision (the object's current one) to the revision that "ID:REVISION" (inPath) or
// revision= (ref.revision) names; both 0 leave it. BadRequest when the two disagree, NotFound when
// the object has no such revision.
Status pickRevision(const ObjectRef& ref, int inPath, std::int64_t id, int& revision);
// The refusal of a fetch of an object the session may not read, named as the request named it
// (requested: "ID", "ID:REVISION" or a name), so that its stored name stays hidden.
std::string refusedReadMessage(const std::string& requested, std::int64_t id);
// "There is no object ID [of KIND objects]."
std::string noObjectMessage(std::int64_t id, std::optional<Kind> kind);
// "There is no object "NAME" [of KIND objects]."
std::string noObjectMessage(std::optional<Kind> kind, const std::string& name);

} // namespace Dbscout::Molb
