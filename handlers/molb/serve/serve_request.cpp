#include "serve/commands.h"

#include "protocol/molb_pages.h"
#include "serve/agent_client.h"
#include "sqlite/store_open.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <future>
#include <new>
#include <unistd.h>

namespace Dbscout::Molb {
namespace {

constexpr int kExitServed = 0;
constexpr int kExitRefused = 1;
constexpr int kExitStoreFailed = 2;

int answerError(int out, const Status& status)
{
    static_cast<void>(writeAll(out, errorPage(status.message())));
    return status.code() == ErrorCode::Failure ? kExitStoreFailed : kExitRefused;
}

Status readAll(int in, std::string& bytes)
{
    char buffer[1 << 16];
    while (true) {
        const ssize_t count = ::read(in, buffer, sizeof buffer);
        if (count == 0)
            return Status::pass();
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return Status::fail(ErrorCode::Failure,
                                std::string("Cannot read the object: ") + std::strerror(errno));
        bytes.append(buffer, static_cast<size_t>(count));
    }
}

// Runs serve, which answers on out and returns the exit status. An exception that escapes it (a
// fault of this program, or memory running out) is answered as a store failure, with an error
// page unless a fetch's bytes went out already (started): so no request ends its process, or
// the connection agent with everybody else's requests, without an answer.
template <typename Serve> int answerGuarded(int out, const bool& started, Serve serve)
{
    std::string message;
    try {
        return serve();
    } catch (const std::bad_alloc&) {
        message = "The request needs more memory than there is.";
    } catch (const std::exception& error) {
        message = std::string("The request failed inside the handler: ") + error.what() + ".";
    } catch (...) {
        message = "The request failed inside the handler.";
    }
    if (started)
        return kExitStoreFailed;
    return answerError(out, Status::fail(ErrorCode::Failure, message));
}

int serveParsedRequest(RequestUrl& url, std::string input, int out, const ServerStoreOpener* server,
                       bool& started)
{
    Status status = Status::pass();
    if (!url.operation.empty())
        return answerError(
            out, Status::fail(ErrorCode::BadRequest, "The command \"" + url.operation +
                                                         "\" is not served by this handler."));
    // A batch's objects are read (their records' columns too) while the store is opened and
    // checks the password: both take tens of milliseconds.
    std::future<PreparedBatch> batch;
    if (url.command == Command::Put && url.batch)
        batch = std::async(std::launch::async, [&url, &input] { return prepareBatch(url, input); });
    std::unique_ptr<Store> store;
    if (status = openStore(url.host, url.database, OpenMode::Existing, store, server); !status.ok())
        return answerError(out, status);
    // A batch's saves go on while the password is compared; they commit only once it matched.
    Session session;
    std::future<bool> password;
    status = batch.valid()
                 ? store->authenticateDeferred(url.credentialsGiven, url.user, url.password,
                                               session, password)
                 : store->authenticate(url.credentialsGiven, url.user, url.password, session);
    if (!status.ok())
        return answerError(out, status);

    std::string page;
    switch (url.command) {
    case Command::Dir:
        status = serveListing(*store, session, url, page);
        break;
    case Command::CheckOut:
    case Command::CheckIn:
    case Command::UndoCheckOut:
    case Command::CreateSubset:
    case Command::ObjectMode:
    case Command::SubsetMode:
        status = serveOperation(*store, session, url, page);
        break;
    case Command::Put:
        if (!url.batch) {
            status = serveSave(*store, session, url, std::move(input), page);
            break;
        }
        [[fallthrough]];
    case Command::Fetch: {
        status = url.command == Command::Fetch
                     ? serveFetch(*store, session, url, out, started)
                     : serveBatchSave(*store, session, url, batch.get(), password, out, started);
        if (status.ok())
            return kExitServed;
        // Once bytes went out no page can follow; the exit status tells the failure.
        return started ? kExitStoreFailed : answerError(out, status);
    }
    }
    if (!status.ok())
        return answerError(out, status);
    return writeAll(out, page) ? kExitServed : kExitStoreFailed;
}

// Parses urlText and answers it with serve(url, started), guarded.
template <typename Serve> int serveUrl(const std::string& urlText, int out, Serve serve)
{
    bool started = false;
    return answerGuarded(out, started, [&] {
        RequestUrl url;
        if (Status status = parseRequestUrl(urlText, url); !status.ok())
            return answerError(out, status);
        return serve(url, started);
    });
}

// A host stops a batch save with SIGTERM: the object under way is finished, and the answer
// tells what was stored. Only the handler's own batch: the agent keeps its default.
void stopBatchOnTerm()
{
    struct sigaction action = {};
    action.sa_handler = [](int) { askBatchStop(); };
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

int serveRequest(const std::string& urlText, int in, int out)
{
    return serveUrl(urlText, out, [&](RequestUrl& url, bool& started) {
        // A save reads its whole object before it touches the store.
        std::string input;
        if (url.command == Command::Put) {
            if (Status status = readAll(in, input); !status.ok())
                return answerError(out, status);
        }
        if (url.host != "local")
            return relayToAgent(urlText, std::move(input), out);
        if (url.command == Command::Put && url.batch)
            stopBatchOnTerm();
        return serveParsedRequest(url, std::move(input), out, nullptr, started);
    });
}

int serveServerRequest(const std::string& urlText, std::string input, int out,
                       const ServerStoreOpener& server)
{
    return serveUrl(urlText, out, [&](RequestUrl& url, bool& started) {
        if (url.host == "local")
            return answerError(out, Status::fail(ErrorCode::BadRequest,
                                                 "The molb connection agent serves only servers."));
        return serveParsedRequest(url, std::move(input), out, &server, started);
    });
}

} // namespace Dbscout::Molb
