#pragma once
// One HTTP request through libcurl, a GET or, with a form, a POST: TLS verified, proxies from the
// usual environment variables (http_proxy, https_proxy, no_proxy), connect and total time-outs,
// compressed answers accepted. libcurl is loaded on the first request, so that answers from the
// cache never pay for loading it and the two dozen libraries it brings.

#include <functional>
#include <string>

namespace Dbscout::Ncbi {

struct HttpRequest
{
    std::string address;
    // Not empty: sent as the body of a POST (application/x-www-form-urlencoded), for parameters
    // too long for an address.
    std::string form;
    int connectTimeoutSeconds = 10;
    int totalTimeoutSeconds = 30;
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
};

// Receives a 200 answer's body bytes in order; returns false to stop the transfer.
using BodySink = std::function<bool(const char* data, size_t length)>;

HttpResult httpRequest(const HttpRequest& request, const BodySink& sink);

} // namespace Dbscout::Ncbi
