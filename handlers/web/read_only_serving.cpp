#include "read_only_serving.h"

#include "read_only_answers.h"
#include "write_all.h"

#include <optional>

namespace Dbscout::Web {
namespace {

int answerError(int out, const ReadOnlyHandler& handler, const Status& status)
{
    static_cast<void>(Handlers::writeAll(out, handler.errorPage(status.message())));
    return exitStatusOf(status);
}

// The refusal of a command the read-only sources do not serve, or nothing.
std::optional<Status> refused(const ReadOnlyRequest& request, const ReadOnlyHandler& handler)
{
    if (request.command == Command::Write)
        return refusal(std::string(handler.sourceName) +
                       " is read-only: its records cannot be saved, checked in or out, put into "
                       "subsets or given access rights. Open the record and save a copy into a "
                       "molb database to work on it.");
    if (request.command == Command::Unknown)
        return refusal("The command \"" + request.commandWord + "\" is not served by the " +
                       std::string(handler.handler) + " handler.");
    return std::nullopt;
}

} // namespace

int serveReadOnly(const Status& parsed, const ReadOnlyRequest& request,
                  const ReadOnlyHandler& handler, int out)
{
    if (!parsed.ok())
        return answerError(out, handler, parsed);
    if (const std::optional<Status> refusal = refused(request, handler))
        return answerError(out, handler, *refusal);
    WebClient client(handler.service(), cacheFolder());
    if (request.command == Command::Fetch) {
        if (request.ids.empty())
            return answerError(out, handler,
                               refusal("The address names no record to open: " +
                                       std::string(handler.openExample) + "."));
        FetchOutcome outcome;
        const Status status = handler.fetch(client, out, outcome);
        if (!status.ok())
            // Once records went out no page can follow; the exit status tells the failure.
            return outcome.started ? kExitFailed : answerError(out, handler, status);
        return outcome.missing.empty() ? kExitServed : kExitPartly;
    }
    std::string page;
    if (Status status = handler.list(client, page); !status.ok())
        return answerError(out, handler, status);
    return Handlers::writeAll(out, page) ? kExitServed : kExitFailed;
}

} // namespace Dbscout::Web
