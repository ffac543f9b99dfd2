#pragma once
// The commands of molb-handler. Each answers one parsed request from an open store for an
// authenticated session.

#include "model/store.h"
#include "protocol/batch_frames.h"
#include "protocol/request_url.h"
#include "sqlite/store_open.h"

#include <future>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Molb {

// BadRequest unless the URL names the object kind.
Status needKind(const RequestUrl& url);

// command=dir (or none): a result page.
Status serveListing(Store& store, const Session& session, const RequestUrl& url, std::string& page);
// command=fetch: the object's bytes on out. Nothing is written when it fails before the first
// byte, so the caller can still answer with an error page; started tells whether bytes went out.
Status serveFetch(Store& store, const Session& session, const RequestUrl& url, int out,
                  bool& started);
// command=put with the object's bytes: a status page ("OK" or "EXIST").
Status serveSave(Store& store, const Session& session, const RequestUrl& url, std::string bytes,
                 std::string& page);

// One object a save stores: the URL's, or one of a batch's.
struct SavedObject
{
    Kind kind;
    std::string name; // as asked, not yet checked
    std::string arcname;
    std::string comment;
    bool force = false;
};
// The save of saved with bytes, under the rest of url's parameters (subset, descendants,
// check-in); BadRequest for a name that cannot be stored.
Status prepareSave(const RequestUrl& url, const SavedObject& saved, std::string bytes,
                   SaveRequest& request);
// The address that fetches a saved object; the remarks about its descendants, one line each.
std::string savedObjectUrl(const RequestUrl& url, Kind kind, const std::string& id);
std::vector<std::string> descendantRemarks(const SaveOutcome& outcome);

// The objects of a batch save (command=put&batch=yes, protocol/batch_frames.h), each made
// into its save as a single put makes it; they point into the input, which must outlive them.
struct PreparedBatch
{
    Status status = Status::pass(); // the frames' refusal: nothing is saved
    std::vector<BatchObject> objects;
    std::vector<Status> checks; // per object: BadRequest for a name that cannot be stored
    std::vector<SaveRequest> saves;
};
// Reads input; needs no store, so it can run while the store checks the password.
PreparedBatch prepareBatch(const RequestUrl& url, std::string_view input);
// Saves the prepared objects, in their own transactions (docs/protocol.md), and writes the
// answer page as the saves become durable, one line per object. Stops before the next object
// once askBatchStop() was called or the reader of out is gone; the objects not reached are
// answered as stopped. A refused batch fails before anything is stored or written; started
// tells whether the page began. password: the verdict authenticateDeferred left (invalid when
// the store checked it already); a wrong one stores and writes nothing and fails with Denied.
Status serveBatchSave(Store& store, const Session& session, const RequestUrl& url,
                      const PreparedBatch& batch, std::future<bool>& password, int out,
                      bool& started);
// Asks a batch save of this process to stop before its next object; safe in a signal handler.
void askBatchStop();

// co, ci, unco, cs, ochmod and schmod: the operation, then the listing after it (for cs, the
// listing of the new subset).
Status serveOperation(Store& store, const Session& session, RequestUrl& url, std::string& page);

// Serves one request URL, reading standard input from in and answering on out; a request for a
// server goes to the connection agent. Returns the exit status: 0 when the request was served, 1
// when it was refused (error page), 2 when the store failed (error page).
int serveRequest(const std::string& urlText, int in, int out);
// The agent's part: a request for a server, with the object's bytes already read.
int serveServerRequest(const std::string& urlText, std::string input, int out,
                       const ServerStoreOpener& server);

} // namespace Dbscout::Molb
