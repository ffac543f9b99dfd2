// The object operations: check-out, check-in, undo check-out, create subset and the two mode
// changes. Each changes the store and is then answered with the listing the URL asks for.

#include "serve/commands.h"

#include "model/object_rules.h"

namespace Dbscout::Molb {
namespace {

Status objectsOfPath(const RequestUrl& url, ObjectSet& objects)
{
    objects.kind = url.kind;
    Status status = parseObjectIds(url.last, objects.ids);
    if (status.ok() && objects.ids.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "The address names no object: put the ids after the kind, joined by "
                            "\",\".");
    return status;
}

Status runOperation(Store& store, const Session& session, const RequestUrl& url)
{
    if (url.command == Command::CreateSubset) {
        std::vector<std::int64_t> ids;
        Status status = parseObjectIds(url.last, ids);
        return status.ok() ? store.createSubset(session, *url.kind, url.query.value_or(""), ids)
                           : status;
    }
    if (url.command == Command::SubsetMode)
        return store.changeSubsetMode(session, *url.kind, url.subset, url.subsetmode);
    CheckRequest request;
    Status status = objectsOfPath(url, request.objects);
    if (!status.ok())
        return status;
    request.comment = url.comment;
    switch (url.command) {
    case Command::CheckOut:
        request.descendants = url.descendantsOut;
        return store.checkOut(session, request);
    case Command::CheckIn:
        request.descendants = url.descendantsIn;
        return store.checkIn(session, request);
    case Command::UndoCheckOut:
        return store.undoCheckOut(session, request.objects);
    case Command::ObjectMode:
        return store.changeObjectModes(session, request.objects, url.objmode);
    default:
        return Status::fail(ErrorCode::BadRequest, "This command is not an object operation.");
    }
}

} // namespace

Status serveOperation(Store& store, const Session& session, RequestUrl& url, std::string& page)
{
    Status status = needKind(url);
    if (status.ok())
        status = runOperation(store, session, url);
    if (!status.ok())
        return status;
    // The listing of the new subset answers its creation; the page it asks for stays.
    if (url.command == Command::CreateSubset)
        url.pagingGiven = true;
    return serveListing(store, session, url, page);
}

} // namespace Dbscout::Molb
