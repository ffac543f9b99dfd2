#pragma once
// Asking E-utilities as a good citizen of NCBI: answers come from the cache while they are young
// enough; every request to NCBI waits for its turn in the user's shared rate limit; 429 and 5xx
// answers and cut connections are tried again after a pause (Retry-After when NCBI names one) a
// bounded number of times; every failure ends in one message that says what happened and what
// to do.

#include "answer_cache.h"
#include "http_client.h"
#include "rate_limit.h"
#include "service_settings.h"
#include "status.h"

#include <functional>
#include <string>
#include <string_view>

namespace Dbscout::Ncbi {

using Handlers::Status;

inline constexpr int kMaxAttempts = 4;
// An XML answer larger than this is refused rather than held.
inline constexpr size_t kMaxAnswerBytes = 64u << 20;
// A record larger than this streams through without being cached.
inline constexpr size_t kMaxCachedRecordBytes = 32u << 20;

// Where the cache file and the rate-limit file live: $XDG_CACHE_HOME/dbscout (or
// ~/.cache/dbscout), created when missing; empty when there is no such folder to be had.
std::string cacheFolder();

class EutilsClient
{
public:
    // cacheDirectory may be empty: then nothing is cached and the rate limit is this process's.
    EutilsClient(ServiceSettings settings, const std::string& cacheDirectory);

    // The whole answer to query. An answer is cached only when keep(answer) says it is whole and
    // meaningful (a malformed or error answer is asked again next time).
    Status answer(std::string_view query, int maxAgeSeconds,
                  const std::function<bool(const std::string&)>& keep, std::string& body);
    // The answer to query, streamed into sink as it arrives. started tells whether bytes reached
    // the sink, after which no error page can follow them.
    Status stream(std::string_view query, int maxAgeSeconds, const BodySink& sink, bool& started);

    const ServiceSettings& settings() const { return m_settings; }

private:
    // restart, when given, forgets what the sink received, so that a cut answer can be asked
    // again; without it, an answer cut after its first bytes is a failure.
    Status request(std::string_view query, const BodySink& sink, bool& started,
                   const std::function<void()>* restart);
    // What the user reads when a request fails: what happened and what to do.
    std::string failureText(const HttpResult& result, int attempts) const;

    ServiceSettings m_settings;
    AnswerCache m_cache;
    RateLimit m_rateLimit;
};

} // namespace Dbscout::Ncbi
