#include "eutils_client.h"

#include "eutils_query.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

namespace Dbscout::Ncbi {
namespace {

using Handlers::ErrorCode;
using Outcome = HttpResult::Outcome;

// Without Retry-After: half a second, then one, then two.
constexpr double kFirstPauseSeconds = 0.5;
// The longest pause a Retry-After may ask for before the handler gives up instead.
constexpr int kMaxRetryAfterSeconds = 30;

bool makeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

void pause(double seconds)
{
    timespec time{};
    time.tv_sec = static_cast<time_t>(seconds);
    time.tv_nsec = static_cast<long>((seconds - static_cast<double>(time.tv_sec)) * 1e9);
    while (nanosleep(&time, &time) != 0 && errno == EINTR) {
    }
}

bool worthRetrying(const HttpResult& result)
{
    if (result.outcome == Outcome::Cut)
        return true;
    return result.outcome == Outcome::Answered &&
           (result.status == 429 || result.status == 500 || result.status == 502 ||
            result.status == 503 || result.status == 504);
}

std::string hostOf(const std::string& address)
{
    const size_t scheme = address.find("://");
    const size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    return address.substr(start, address.find('/', start) - start);
}

// The first line of an error answer's body, as NCBI's own words about the refusal.
std::string firstLine(const std::string& body)
{
    std::string line = body.substr(0, std::min(body.find('\n'), size_t{200}));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::string tries(int attempts)
{
    return attempts > 1 ? ", still after " + std::to_string(attempts) + " tries" : "";
}

} // namespace

std::string cacheFolder()
{
    std::string base;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        base = cache;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        base = std::string(home) + "/.cache";
    else
        return {};
    makeFolder(base);
    const std::string folder = base + "/dbscout";
    return makeFolder(folder) ? folder : std::string();
}

EutilsClient::EutilsClient(ServiceSettings settings, const std::string& cacheDirectory)
    : m_settings(std::move(settings)),
      m_cache(cacheDirectory.empty() ? std::string() : cacheDirectory + "/ncbi-answers.sqlite"),
      m_rateLimit(cacheDirectory.empty() ? std::string() : cacheDirectory + "/ncbi-requests",
                  m_settings.apiKey.empty() ? kRequestsPerSecond : kRequestsPerSecondWithKey)
{}

Status EutilsClient::answer(std::string_view query, int maxAgeSeconds,
                            const std::function<bool(const std::string&)>& keep, std::string& body)
{
    const std::string key = m_settings.baseAddress + std::string(query);
    if (std::optional<std::string> cached = m_cache.find(key, maxAgeSeconds)) {
        body = std::move(*cached);
        return Status::pass();
    }
    body.clear();
    bool tooLarge = false;
    bool started = false;
    const std::function<void()> restart = [&body] { body.clear(); };
    Status status = request(
        query,
        [&](const char* data, size_t length) {
            tooLarge = body.size() + length > kMaxAnswerBytes;
            if (!tooLarge)
                body.append(data, length);
            return !tooLarge;
        },
        started, &restart);
    if (tooLarge)
        return Status::fail(ErrorCode::Failure, "NCBI's answer is larger than " +
                                                    std::to_string(kMaxAnswerBytes >> 20) +
                                                    " MiB; ask for a smaller page.");
    // An answer that will never be reused (its cache time set to 0) is not written.
    if (status.ok() && maxAgeSeconds > 0 && keep(body))
        m_cache.store(key, body);
    return status;
}

Status EutilsClient::stream(std::string_view query, int maxAgeSeconds, const BodySink& sink,
                            bool& started)
{
    started = false;
    const std::string key = m_settings.baseAddress + std::string(query);
    if (std::optional<std::string> cached = m_cache.find(key, maxAgeSeconds)) {
        started = true;
        if (!sink(cached->data(), cached->size()))
            return Status::fail(ErrorCode::Failure, "The reader of the record went away.");
        return Status::pass();
    }
    // The record is held once, for the cache, and only while it is small enough to keep.
    std::string copy;
    bool caching = maxAgeSeconds > 0;
    Status status = request(
        query,
        [&](const char* data, size_t length) {
            if (caching && copy.size() + length <= kMaxCachedRecordBytes) {
                copy.append(data, length);
            } else if (caching) {
                caching = false;
                std::string().swap(copy);
            }
            return sink(data, length);
        },
        started, nullptr);
    if (status.ok() && caching && !copy.empty())
        m_cache.store(key, copy);
    return status;
}

Status EutilsClient::request(std::string_view query, const BodySink& sink, bool& started,
                             const std::function<void()>* restart)
{
    HttpRequest request;
    request.address = requestAddress(m_settings, query);
    request.connectTimeoutSeconds = std::min(10, m_settings.timeoutSeconds);
    request.totalTimeoutSeconds = m_settings.timeoutSeconds;
    double pauseSeconds = kFirstPauseSeconds;
    for (int attempt = 1;; ++attempt) {
        HttpResult result;
        {
            // The slot counts from the request's end, when NCBI has surely seen it.
            const RateLimit::Turn turn = m_rateLimit.acquire();
            result = httpGet(request, sink);
        }
        started = started || result.bodyStarted;
        if (result.outcome == Outcome::Answered && result.status == 200)
            return Status::pass();
        // Bytes already passed on cannot be taken back, unless the caller still holds them.
        if (attempt == kMaxAttempts || !worthRetrying(result) || (result.bodyStarted && !restart) ||
            result.retryAfterSeconds > kMaxRetryAfterSeconds)
            return Status::fail(ErrorCode::Failure, failureText(result, attempt));
        if (result.bodyStarted)
            (*restart)();
        pause(result.retryAfterSeconds >= 0 ? result.retryAfterSeconds : pauseSeconds);
        pauseSeconds *= 2;
    }
}

std::string EutilsClient::failureText(const HttpResult& result, int attempts) const
{
    switch (result.outcome) {
    case Outcome::Answered:
        if (result.status == 429)
            return "NCBI refused the request: too many requests (HTTP 429)" + tries(attempts) +
                   ". Wait a moment and try again; an NCBI API key in the settings (ApiKey) "
                   "raises the limit.";
        if (result.status >= 500)
            return "NCBI's E-utilities failed (HTTP " + std::to_string(result.status) + ")" +
                   tries(attempts) + ". NCBI may be busy or down: try again later.";
        return "NCBI refused the request (HTTP " + std::to_string(result.status) +
               (result.errorBody.empty() ? "" : ": " + firstLine(result.errorBody)) +
               "). Check the query and the E-utilities address in the settings.";
    case Outcome::NoLibrary:
        return "The ncbi handler cannot reach the network: " + result.detail +
               ". Install libcurl (Debian: libcurl4).";
    case Outcome::UnknownHost:
        return "Cannot find NCBI's server " + hostOf(m_settings.baseAddress) +
               ": check the network connection, or the E-utilities address (BaseAddress) in "
               "the settings.";
    case Outcome::NoConnection:
        return "Cannot connect to NCBI's E-utilities at " + hostOf(m_settings.baseAddress) +
               ": the network or NCBI may be down. Try again later.";
    case Outcome::TimedOut:
        return "NCBI did not answer within " + std::to_string(m_settings.timeoutSeconds) +
               " seconds. NCBI may be busy: try again later, or allow more time "
               "(TimeoutSeconds in the settings).";
    case Outcome::Cut:
        return "NCBI's answer was cut short (" + result.detail + ")" + tries(attempts) +
               ". Try again.";
    case Outcome::InsecureLink:
        return "The secure connection to NCBI failed (" + result.detail +
               "). Check the system's certificates and the proxy settings.";
    case Outcome::Stopped:
        return "The reader of NCBI's answer went away.";
    case Outcome::Failed:
        break;
    }
    return "The request to NCBI failed: " + result.detail + ".";
}

} // namespace Dbscout::Ncbi
