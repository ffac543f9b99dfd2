#pragma once
// One HTTP request through libcurl, a GET or, with a form, a POST: TLS verified, proxies from the
// usual environment variables (http_proxy, https_proxy, no_proxy), connect and total time-outs,
// compressed answers accepted. libcurl is loaded on the first request, so that answers from the
// cache never pay for loading it and the two dozen libraries it brings.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Dbscout::Web {

// An answer's headers in the order sent: names as sent, values trimmed.
using Headers = std::vector<std::pair<std::string, std::string>>;

// The value of the first header of that name (letter case aside), or empty text.
std::string_view headerValue(const Headers& headers, std::string_view name);

struct HttpRequest
{
    std::string address;
    // Not empty: sent as the body of a POST (application/x-www-form-urlencoded), for parameters
    // too long for an address.
    std::string form;
    int connectTimeoutSeconds = 10;
    int totalTimeoutSeconds = 30;
    // Services ask to be told who calls them; UniProt asks for an e-mail address here.
    std::string userAgent = "dbscout-web-handler/1";
};

struct HttpResult
{
    enum class Outcome {
        Answered,    // an HTTP status arrived (see status)
        NoLibrary,   // libcurl could not be loaded
        UnknownHost, // the name did not resolve
        NoConnection,
        TimedOut,
        Cut,          // the connection ended before the answer was whole
        InsecureLink, // TLS failed (certificate, handshake)
        Stopped,      // the sink refused more bytes
        Failed,       // anything else libcurl reports
    };
    Outcome outcome = Outcome::Failed;
    long status = 0;
    int retryAfterSeconds = -1; // the Retry-After header in seconds, -1 when absent
    std::string errorBody;      // the start of a non-200 answer's body
    std::string detail;         // libcurl's own words
    bool bodyStarted = false;   // bytes of a 200 answer reached the sink
    // The last answer's headers (not those of redirects before it); at most a few dozen of
    // bounded length.
    Headers headers;
};

// Receives a 200 answer's body bytes in order; returns false to stop the transfer.
using BodySink = std::function<bool(const char* data, size_t length)>;

// A GET of address?parameters, or a POST of the parameters when that address would be longer
// than maxGetBytes: services refuse long addresses (HTTP 414) but take long forms.
HttpRequest getOrPost(std::string address, std::string parameters, size_t maxGetBytes);

HttpResult httpRequest(const HttpRequest& request, const BodySink& sink);

} // namespace Dbscout::Web
