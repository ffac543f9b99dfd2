#pragma once
// The steps every read-only web handler (ncbi, ebi) takes to serve a request URL: the refusals
// of what is malformed, writes or is not served, records as text, or a listing. Each handler
// gives its sources' words and its own ways to read an address, list and fetch; the steps and
// their exit statuses (read_only_answers.h) are the same for all.

#include "listing_page.h"
#include "read_only_request.h"
#include "web_client.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Web {

struct FetchOutcome
{
    bool started = false;             // bytes went out, after which no error page can follow
    std::vector<std::string> missing; // the ids the service has no record of, in the order asked
};

// One request as a handler serves it, its source's words and means already chosen.
struct ReadOnlyHandler
{
    std::string_view handler;     // "the ebi handler" serves no such command
    std::string_view sourceName;  // "UniProtKB is read-only"
    std::string_view openExample; // what a fetch without records lacks: "add its accession, ..."
    std::function<std::string(const std::string& message)> errorPage;
    std::function<Service()> service; // how the source is asked, read once a request needs it
    // Writes the records the request names (at least one) to out.
    std::function<Status(WebClient& client, int out, FetchOutcome& outcome)> fetch;
    // command=dir: a result page, or an error page's message in the Status.
    std::function<Status(WebClient& client, std::string& page)> list;
};

// Serves request, read with the status parsed, answering on out; returns the exit status: 0
// served, 1 refused or nothing of it found (error page), 2 the service or the network failed
// (error page, or records cut short), 3 records served but some of those asked for the service
// does not have.
int serveReadOnly(const Status& parsed, const ReadOnlyRequest& request,
                  const ReadOnlyHandler& handler, int out);

// The words of a handler whose addresses name one of its sources (Source, a WebSource). Its
// means are found beside Source, one of each name for each handler:
//   Service serviceOf(const Source&)                       how the source is asked
//   Status fetchRecords(WebClient&, const Source&, ids, out, FetchOutcome&)
//   Status serveListing(WebClient&, const SourceRequest<Source>&, std::string& page)
template <typename Source> struct SourceServing
{
    std::string_view handler; // the scheme: "ebi"
    const char* service;      // the error page's title when the address names no source: "EBI"
    std::string_view openExample;
    // Reads an address; a malformed one fails with BadRequest and a message naming the fault.
    Status (*parse)(std::string_view text, SourceRequest<Source>& request);
};

// Serves urlText as serveReadOnly does.
template <typename Source>
int serveSourceRequest(const std::string& urlText, const SourceServing<Source>& serving, int out)
{
    SourceRequest<Source> request;
    const Status parsed = serving.parse(urlText, request);
    const Source* source = request.source;
    return serveReadOnly(
        parsed, request,
        {serving.handler, source ? source->sourceName : std::string_view(), serving.openExample,
         [&](const std::string& message) { return errorPage(source, serving.service, message); },
         [&] { return serviceOf(*source); },
         [&](WebClient& client, int to, FetchOutcome& outcome) {
             return fetchRecords(client, *source, request.ids, to, outcome);
         },
         [&](WebClient& client, std::string& page) { return serveListing(client, request, page); }},
        out);
}

} // namespace Dbscout::Web
