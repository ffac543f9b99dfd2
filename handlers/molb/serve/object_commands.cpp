// command=fetch and command=put.

#include "serve/commands.h"

#include "import/importer.h"
#include "model/shared_names.h"
#include "protocol/molb_pages.h"

#include <strings.h>

namespace Dbscout::Molb {
namespace {

Status checkName(const std::string& name)
{
    if (name.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "The address names no object: put its name after the kind, as in "
                            "molb://local/DATABASE/dnarna/NAME.");
    if (!isValidUtf8(name))
        return Status::fail(ErrorCode::BadRequest, "The object name is not valid UTF-8 text.");
    // The panel trims the names it shows and sends, so such a name could never be reached again.
    if (name.front() == ' ' || name.back() == ' ')
        return Status::fail(ErrorCode::BadRequest,
                            "The object name starts or ends with a blank, which the panel would "
                            "lose.");
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            return Status::fail(ErrorCode::BadRequest,
                                "The object name contains a control character.");
    }
    return Status::pass();
}

} // namespace

Status serveFetch(Store& store, const Session& session, const RequestUrl& url, int out,
                  bool& started)
{
    started = false;
    if (url.last.empty())
        return Status::fail(ErrorCode::BadRequest,
                            "The address names no object: put its id or name after the kind.");
    const ByteSink sink = [&](const char* data, size_t length) {
        started = true;
        return writeAll(out, data, length);
    };
    FetchRequest request;
    request.ref = ObjectRef{url.kind, url.last, url.revision};
    request.checkOut = url.checkOutAfter;
    request.descendants = url.descendantsOut;
    return store.fetchObject(session, request, sink);
}

Status prepareSave(const RequestUrl& url, const SavedObject& saved, std::string bytes,
                   SaveRequest& request)
{
    if (Status status = checkName(saved.name); !status.ok())
        return status;
    request.force = saved.force;
    request.descendants = url.pdmode;
    request.disconnectUnrecalculable = url.pderrorDisconnect;
    request.checkIn = url.checkInAfter;
    request.checkInDescendants = url.descendantsIn;
    const std::string query = url.query.value_or(std::string());
    if (!query.empty() && strcasecmp(query.c_str(), "MAIN") != 0)
        request.subset = query;
    NewObject& object = request.object;
    object.kind = saved.kind;
    object.arcname = saved.arcname;
    object.comment = saved.comment;
    object.meta[Field::Name] = saved.name;
    object.metaKnown = describeObject(bytes, object.kind, object.meta);
    object.bytes = std::move(bytes);
    return Status::pass();
}

std::string savedObjectUrl(const RequestUrl& url, Kind kind, const std::string& id)
{
    return "molb://" + url.host + "/" + url.database + "/" + kindKeyword(kind) + "/" + id +
           "?command=fetch";
}

std::vector<std::string> descendantRemarks(const SaveOutcome& outcome)
{
    std::vector<std::string> remarks;
    for (const DescendantNote& note : outcome.notes)
        remarks.push_back("The descendant " + note.label + " could not be recalculated (" +
                          note.reason + ") and was " +
                          (note.disconnected ? "disconnected." : "left unprocessed."));
    return remarks;
}

Status serveSave(Store& store, const Session& session, const RequestUrl& url, std::string bytes,
                 std::string& page)
{
    if (!url.kind)
        return Status::fail(ErrorCode::BadRequest,
                            "A save needs the object kind in the address, as in "
                            "molb://local/DATABASE/dnarna/NAME.");
    SaveRequest request;
    Status status =
        prepareSave(url, SavedObject{*url.kind, url.last, url.arcname, url.comment, url.force},
                    std::move(bytes), request);
    SaveOutcome outcome;
    if (status.ok())
        status = store.saveObject(session, request, outcome);
    if (!status.ok())
        return status;
    page = statusPage(outcome.exists ? "EXIST" : "OK", outcome.name,
                      savedObjectUrl(url, *url.kind, outcome.id), descendantRemarks(outcome));
    return Status::pass();
}

} // namespace Dbscout::Molb
