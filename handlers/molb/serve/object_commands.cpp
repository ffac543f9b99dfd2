// command=fetch and command=put.

#include "serve/commands.h"

#include "import/importer.h"
#include "model/shared_names.h"
#include "protocol/molb_pages.h"

#include <strings.h>

namespace Dbscout::Molb {
namespace {

std::string fetchUrl(const RequestUrl& url, Kind kind, const std::string& id)
{
    return "molb://" + url.host + "/" + url.database + "/" + kindKeyword(kind) + "/" + id +
           "?command=fetch";
}

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

// What became of descendants that could not be recalculated, one line each.
std::vector<std::string> descendantRemarks(const SaveOutcome& outcome)
{
    std::vector<std::string> remarks;
    for (const DescendantNote& note : outcome.notes)
        remarks.push_back("The descendant " + note.label + " could not be recalculated (" +
                          note.reason + ") and was " +
                          (note.disconnected ? "disconnected." : "left unprocessed."));
    return remarks;
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

Status serveSave(Store& store, const Session& session, const RequestUrl& url, std::string bytes,
                 std::string& page)
{
    if (!url.kind)
        return Status::fail(ErrorCode::BadRequest,
                            "A save needs the object kind in the address, as in "
                            "molb://local/DATABASE/dnarna/NAME.");
    Status status = checkName(url.last);
    if (!status.ok())
        return status;
    SaveRequest request;
    request.force = url.force;
    request.descendants = url.pdmode;
    request.disconnectUnrecalculable = url.pderrorDisconnect;
    request.checkIn = url.checkInAfter;
    request.checkInDescendants = url.descendantsIn;
    const std::string query = url.query.value_or(std::string());
    if (!query.empty() && strcasecmp(query.c_str(), "MAIN") != 0)
        request.subset = query;
    NewObject& object = request.object;
    object.kind = *url.kind;
    object.arcname = url.arcname;
    object.comment = url.comment;
    object.meta[Field::Name] = url.last;
    object.metaKnown = describeObject(bytes, object.kind, object.meta);
    object.bytes = std::move(bytes);

    SaveOutcome outcome;
    if (status = store.saveObject(session, request, outcome); !status.ok())
        return status;
    page = statusPage(outcome.exists ? "EXIST" : "OK", outcome.name,
                      fetchUrl(url, object.kind, outcome.id), descendantRemarks(outcome));
    return Status::pass();
}

} // namespace Dbscout::Molb
