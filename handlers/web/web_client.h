#pragma once
// Asking a web service as a good citizen: answers come from the cache while they are young
// enough; every request waits for its turn in the user's rate limit of that service, shared by
// all the user's handler processes; 429 and 5xx answers, cut connections and answers that are not
// the data asked for (a web page under load, a cut or malformed document) are tried again after
// a pause (Retry-After when the service names one) a bounded number of times, and never cached;
// every failure ends in one message that names the service, says what happened and what to do.

#include "answer_cache.h"
#include "http_client.h"
#include "rate_limit.h"
#include "status.h"
#include "web_settings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout::Web {

using Handlers::Status;

inline constexpr int kMaxAttempts = 4;
// An answer larger than this is refused rather than held.
inline constexpr size_t kMaxAnswerBytes = 64u << 20;
// A record larger than this streams through without being cached.
inline constexpr size_t kMaxCachedRecordBytes = 32u << 20;

// Where the cache files and the rate-limit files live: $XDG_CACHE_HOME/dbscout (or
// ~/.cache/dbscout), created when missing; empty when there is no such folder to be had.
std::string cacheFolder();

// One service as its handler reaches it, and what the user reads about it when it fails.
struct Service
{
    std::string name;         // starts every failure text: "NCBI PubMed", "UniProtKB"
    std::string address;      // the base address: its host is named in failures; it keys the cache
    std::string addressName;  // "the E-utilities address"
    std::string addressValue; // the setting that holds it: "BaseAddress"
    std::string limitAdvice;  // after a 429: what raises the limit or keeps within it
    // The cache is FILES-answers.sqlite and the rate limit FILES-requests, in cacheFolder().
    std::string files;
    int requestsPerSecond = 1;
    ServiceSettings settings;
    std::string userAgent;
    // The request of a query (the part after the address): the address, its parameters, a GET
    // or a POST. A query is also how the cache knows an answer again.
    std::function<HttpRequest(std::string_view query)> request;
    // The service's own words in an error answer's body; empty when it says nothing readable.
    // Without it, the body's first line.
    std::function<std::string(std::string_view body)> words;
    // Headers kept with an answer in the cache, for answers whose meaning is partly in them
    // (a total, the next page's address).
    std::vector<std::string> keptHeaders;
    // HTTP 404 and 410 say that what was asked for does not exist (a record's address), a
    // NotFound for the caller to word; otherwise they are failures like any other.
    bool missingIsNotFound = false;
};

// An answer's body with the headers the service keeps (Service::keptHeaders).
struct WebAnswer
{
    std::string body;
    Headers headers;

    std::string_view header(std::string_view name) const { return headerValue(headers, name); }
};

// What an answer's bytes are to the one who asked for them.
enum class AnswerUse {
    Keep,    // the data asked for: used, and kept in the cache
    UseOnce, // a definite answer not to be reused, such as the service's own error element
    NotData, // not the data asked for: asked again, never kept
};
struct AnswerJudgement
{
    AnswerUse use = AnswerUse::Keep;
    std::string what; // for NotData: what came instead, as "a web page titled ..."
};
using AnswerJudge = std::function<AnswerJudgement(const WebAnswer& answer)>;

// An answer whose reader passed it (read) is used as use says; one it refused is no data, named
// by the reader's words.
inline AnswerJudgement judgementOf(const Status& read, AnswerUse use = AnswerUse::Keep)
{
    return read.ok() ? AnswerJudgement{use, {}}
                     : AnswerJudgement{AnswerUse::NotData, read.message()};
}

// How a streamed answer is told from something else before any of it is passed on.
struct StreamJudge
{
    // Given the answer's start (up to the end of its first line that is not blank, or all of a
    // shorter answer): empty when it starts the data asked for, else what came instead.
    std::function<std::string(std::string_view start)> notData;
    // Whether the whole answer is complete, so that it may be kept.
    std::function<bool(std::string_view whole)> whole;
};

class WebClient
{
public:
    // cacheDirectory may be empty: then nothing is cached and the rate limit is this process's.
    WebClient(Service service, const std::string& cacheDirectory);

    // The whole answer to query, judged by judge, which also decides whether it is cached. fresh
    // passes the cache by (and replaces what it held), for an answer known to be stale.
    Status answer(std::string_view query, int maxAgeSeconds, const AnswerJudge& judge,
                  WebAnswer& answer, bool fresh = false);
    Status answer(std::string_view query, int maxAgeSeconds, const AnswerJudge& judge,
                  std::string& body, bool fresh = false);
    // The answer to query, streamed into sink as it arrives once judge has seen its start.
    // started tells whether bytes reached the sink, after which no error page can follow them.
    Status stream(std::string_view query, int maxAgeSeconds, const StreamJudge& judge,
                  const BodySink& sink, bool& started);

    // The cache alone: bytes stored for query, and storing some (a part of a larger answer that
    // stands on its own, such as one record of several, or a page's position in a search).
    std::optional<std::string> cached(std::string_view query, int maxAgeSeconds);
    void keep(std::string_view query, std::string_view bytes);

    const ServiceSettings& settings() const { return m_service.settings; }
    const std::string& serviceName() const { return m_service.name; }

private:
    // One request, tried again while that helps. restart forgets what the sink took and says
    // whether the request may be made again; notData, asked after an answer ended, says what
    // came instead of data, or nothing.
    struct Attempt
    {
        std::function<bool()> restart;
        std::function<std::string()> notData;
    };
    Status request(std::string_view query, const BodySink& sink, const Attempt& attempt,
                   Headers& headers);
    std::optional<WebAnswer> stored(std::string_view query, int maxAgeSeconds);
    void store(std::string_view query, const WebAnswer& answer);
    // What the user reads when a request fails: what happened and what to do.
    std::string failureText(const HttpResult& result, int attempts) const;
    std::string key(std::string_view query) const;

    Service m_service;
    AnswerCache m_cache;
    RateLimit m_rateLimit;
};

} // namespace Dbscout::Web
