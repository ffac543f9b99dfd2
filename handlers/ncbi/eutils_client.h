#pragma once
// Asking E-utilities as a good citizen of NCBI: answers come from the cache while they are young
// enough; every request to NCBI waits for its turn in the user's shared rate limit; 429 and 5xx
// answers, cut connections and answers that are not the data asked for (a web page under load, a
// cut or malformed document) are tried again after a pause (Retry-After when NCBI names one) a
// bounded number of times, and never cached; every failure ends in one message that names the
// service, says what happened and what to do.

#include "answer_cache.h"
#include "http_client.h"
#include "rate_limit.h"
#include "service_settings.h"
#include "status.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Ncbi {

using Handlers::Status;

inline constexpr int kMaxAttempts = 4;
// An answer larger than this is refused rather than held.
inline constexpr size_t kMaxAnswerBytes = 64u << 20;
// A record larger than this streams through without being cached.
inline constexpr size_t kMaxCachedRecordBytes = 32u << 20;

// Where the cache file and the rate-limit file live: $XDG_CACHE_HOME/dbscout (or
// ~/.cache/dbscout), created when missing; empty when there is no such folder to be had.
std::string cacheFolder();

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
using AnswerJudge = std::function<AnswerJudgement(const std::string& body)>;

// How a streamed answer is told from something else before any of it is passed on.
struct StreamJudge
{
    // Given the answer's start (up to the end of its first line that is not blank, or all of a
    // shorter answer): empty when it starts the data asked for, else what came instead.
    std::function<std::string(std::string_view start)> notData;
    // Whether the whole answer is complete, so that it may be kept.
    std::function<bool(std::string_view whole)> whole;
};

class EutilsClient
{
public:
    // cacheDirectory may be empty: then nothing is cached and the rate limit is this process's.
    // serviceName starts every failure text ("NCBI PubMed").
    EutilsClient(ServiceSettings settings, const std::string& cacheDirectory,
                 std::string serviceName);

    // The whole answer to query, judged by judge, which also decides whether it is cached. fresh
    // passes the cache by (and replaces what it held), for an answer known to be stale.
    Status answer(std::string_view query, int maxAgeSeconds, const AnswerJudge& judge,
                  std::string& body, bool fresh = false);
    // The answer to query, streamed into sink as it arrives once judge has seen its start.
    // started tells whether bytes reached the sink, after which no error page can follow them.
    Status stream(std::string_view query, int maxAgeSeconds, const StreamJudge& judge,
                  const BodySink& sink, bool& started);

    // The cache alone: an answer stored for query, and storing one (a part of a larger answer
    // that stands on its own, such as one record of several).
    std::optional<std::string> cached(std::string_view query, int maxAgeSeconds);
    void keep(std::string_view query, std::string_view answer);

    const ServiceSettings& settings() const { return m_settings; }
    const std::string& serviceName() const { return m_serviceName; }

private:
    // One request, tried again while that helps. restart forgets what the sink took and says
    // whether the request may be made again; notData, asked after an answer ended, says what
    // came instead of data, or nothing.
    struct Attempt
    {
        std::function<bool()> restart;
        std::function<std::string()> notData;
    };
    Status request(std::string_view query, const BodySink& sink, const Attempt& attempt);
    // What the user reads when a request fails: what happened and what to do.
    std::string failureText(const HttpResult& result, int attempts) const;
    std::string key(std::string_view query) const;

    ServiceSettings m_settings;
    std::string m_serviceName;
    AnswerCache m_cache;
    RateLimit m_rateLimit;
};

} // namespace Dbscout::Ncbi
