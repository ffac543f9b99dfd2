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

// The first line of an error answer's body, as the service's own words about the refusal.
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

// The start of a streamed answer shows what it is once a line that is not blank has ended, or
// once it is long enough that no first line of data is longer.
bool startShown(std::string_view head)
{
    constexpr size_t kLongestStart = 4096;
    const size_t text = head.find_first_not_of(" \t\r\n");
    return head.size() >= kLongestStart ||
           (text != std::string_view::npos && head.find('\n', text) != std::string_view::npos);
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

EutilsClient::EutilsClient(ServiceSettings settings, const std::string& cacheDirectory,
                           std::string serviceName)
    : m_settings(std::move(settings)), m_serviceName(std::move(serviceName)),
      m_cache(cacheDirectory.empty() ? std::string() : cacheDirectory + "/ncbi-answers.sqlite"),
      m_rateLimit(cacheDirectory.empty() ? std::string() : cacheDirectory + "/ncbi-requests",
                  m_settings.apiKey.empty() ? kRequestsPerSecond : kRequestsPerSecondWithKey)
{}

std::string EutilsClient::key(std::string_view query) const
{
    return m_settings.baseAddress + std::string(query);
}

std::optional<std::string> EutilsClient::cached(std::string_view query, int maxAgeSeconds)
{
    return m_cache.find(key(query), maxAgeSeconds);
}

void EutilsClient::keep(std::string_view query, std::string_view answer)
{
    m_cache.store(key(query), answer);
}

Status EutilsClient::answer(std::string_view query, int maxAgeSeconds, const AnswerJudge& judge,
                            std::string& body, bool fresh)
{
    if (std::optional<std::string> stored = fresh ? std::nullopt : cached(query, maxAgeSeconds)) {
        body = std::move(*stored);
        return Status::pass();
    }
    body.clear();
    bool tooLarge = false;
    AnswerJudgement judgement;
    const Attempt attempt{[&body] {
                              body.clear();
                              return true;
                          },
                          [&] {
                              judgement = judge(body);
                              return judgement.use == AnswerUse::NotData ? judgement.what
                                                                         : std::string();
                          }};
    Status status = request(
        query,
        [&](const char* data, size_t length) {
            tooLarge = body.size() + length > kMaxAnswerBytes;
            if (!tooLarge)
                body.append(data, length);
            return !tooLarge;
        },
        attempt);
    if (tooLarge)
        return Status::fail(ErrorCode::Failure, m_serviceName + "'s answer is larger than " +
                                                    std::to_string(kMaxAnswerBytes >> 20) +
                                                    " MiB: ask for fewer records at once.");
    // An answer that will never be reused (its cache time set to 0) is not written.
    if (status.ok() && maxAgeSeconds > 0 && judgement.use == AnswerUse::Keep)
        keep(query, body);
    return status;
}

Status EutilsClient::stream(std::string_view query, int maxAgeSeconds, const StreamJudge& judge,
                            const BodySink& sink, bool& started)
{
    started = false;
    if (std::optional<std::string> stored = cached(query, maxAgeSeconds)) {
        started = true;
        if (!sink(stored->data(), stored->size()))
            return Status::fail(ErrorCode::Failure, "The reader of the record went away.");
        return Status::pass();
    }
    std::string head;    // the answer's start, held until it shows what the answer is
    std::string notData; // what came instead of data
    std::string copy;    // the answer, held for the cache while it is small enough to keep
    bool caching = maxAgeSeconds > 0;
    const auto passOn = [&](const char* data, size_t length) {
        started = true;
        if (caching && copy.size() + length <= kMaxCachedRecordBytes) {
            copy.append(data, length);
        } else if (caching) {
            caching = false;
            std::string().swap(copy);
        }
        return sink(data, length);
    };
    // Judges the held start and passes it on when it starts the data asked for.
    const auto release = [&] {
        notData = judge.notData(head);
        if (!notData.empty())
            return false;
        const std::string held = std::move(head);
        head.clear();
        return held.empty() || passOn(held.data(), held.size());
    };
    const Attempt attempt{[&] {
                              if (started)
                                  return false; // bytes passed on cannot be taken back
                              head.clear();
                              notData.clear();
                              return true;
                          },
                          [&] {
                              if (!started && notData.empty())
                                  release(); // an answer shorter than its first line
                              return notData;
                          }};
    Status status = request(
        query,
        [&](const char* data, size_t length) {
            if (started)
                return passOn(data, length);
            head.append(data, length);
            return !startShown(head) || release();
        },
        attempt);
    if (status.ok() && caching && started && judge.whole(copy))
        keep(query, copy);
    return status;
}

Status EutilsClient::request(std::string_view query, const BodySink& sink, const Attempt& attempt)
{
    HttpRequest request = httpRequestFor(m_settings, query);
    request.connectTimeoutSeconds = std::min(10, m_settings.timeoutSeconds);
    request.totalTimeoutSeconds = m_settings.timeoutSeconds;
    double pauseSeconds = kFirstPauseSeconds;
    for (int tried = 1;; ++tried) {
        HttpResult result;
        {
            // The slot counts from the request's end, when NCBI has surely seen it.
            const RateLimit::Turn turn = m_rateLimit.acquire();
            result = httpRequest(request, sink);
        }
        const bool answered = result.outcome == Outcome::Answered && result.status == 200;
        const std::string notData =
            answered || result.outcome == Outcome::Stopped ? attempt.notData() : std::string();
        if (answered && notData.empty())
            return Status::pass();
        if (tried == kMaxAttempts || (notData.empty() && !worthRetrying(result)) ||
            result.retryAfterSeconds > kMaxRetryAfterSeconds || !attempt.restart())
            return Status::fail(ErrorCode::Failure, notData.empty()
                                                        ? failureText(result, tried)
                                                        : m_serviceName + " sent " + notData +
                                                              " instead of the data asked for" +
                                                              tries(tried) + ". " + m_serviceName +
                                                              " may be busy: try again in a "
                                                              "minute.");
        pause(result.retryAfterSeconds >= 0 ? result.retryAfterSeconds : pauseSeconds);
        pauseSeconds *= 2;
    }
}

std::string EutilsClient::failureText(const HttpResult& result, int attempts) const
{
    const std::string& service = m_serviceName;
    switch (result.outcome) {
    case Outcome::Answered:
        if (result.status == 429)
            return service + " refused the request: too many requests (HTTP 429)" +
                   tries(attempts) +
                   ". Wait a moment and try again; an API key in the settings (ApiKey) raises "
                   "the limit.";
        if (result.status >= 500)
            return service + " failed (HTTP " + std::to_string(result.status) + ")" +
                   tries(attempts) + ". It may be busy or down: try again later.";
        return service + " refused the request (HTTP " + std::to_string(result.status) +
               (result.errorBody.empty() ? "" : ": " + firstLine(result.errorBody)) +
               "). Check the query and the E-utilities address in the settings.";
    case Outcome::NoLibrary:
        return "Cannot reach " + service + ": " + result.detail +
               ". Install libcurl (Debian: libcurl4).";
    case Outcome::UnknownHost:
        return "Cannot find the server of " + service + ", " + hostOf(m_settings.baseAddress) +
               ": check the network connection, or the E-utilities address (BaseAddress) in "
               "the settings.";
    case Outcome::NoConnection:
        return "Cannot connect to " + service + " at " + hostOf(m_settings.baseAddress) +
               ": the network or the service may be down. Try again later.";
    case Outcome::TimedOut:
        return service + " did not answer within " + std::to_string(m_settings.timeoutSeconds) +
               " seconds. It may be busy: try again later, or allow more time "
               "(TimeoutSeconds in the settings).";
    case Outcome::Cut:
        return service + "'s answer was cut short (" + result.detail + ")" + tries(attempts) +
               ". Try again.";
    case Outcome::InsecureLink:
        return "The secure connection to " + service + " failed (" + result.detail +
               "). Check the system's certificates and the proxy settings.";
    case Outcome::Stopped:
        return "The reader of " + service + "'s answer went away.";
    case Outcome::Failed:
        break;
    }
    return "The request to " + service + " failed: " + result.detail + ".";
}

} // namespace Dbscout::Ncbi
