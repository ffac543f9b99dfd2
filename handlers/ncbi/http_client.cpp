#include "http_client.h"

#include "ascii_text.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

namespace Dbscout::Ncbi {
namespace {

constexpr size_t kMaxErrorBody = 16 * 1024;

// The few libcurl functions the client calls, taken from the library when first needed.
struct CurlLibrary
{
    decltype(&curl_global_init) globalInit = nullptr;
    decltype(&curl_easy_init) init = nullptr;
    decltype(&curl_easy_setopt) setopt = nullptr;
    decltype(&curl_easy_perform) perform = nullptr;
    decltype(&curl_easy_getinfo) getinfo = nullptr;
    decltype(&curl_easy_cleanup) cleanup = nullptr;
    decltype(&curl_easy_strerror) strerror = nullptr;

    bool load()
    {
        void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        const auto take = [library](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        return take(globalInit, "curl_global_init") && take(init, "curl_easy_init") &&
               take(setopt, "curl_easy_setopt") && take(perform, "curl_easy_perform") &&
               take(getinfo, "curl_easy_getinfo") && take(cleanup, "curl_easy_cleanup") &&
               take(strerror, "curl_easy_strerror") && globalInit(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }
};

const CurlLibrary* curlLibrary()
{
    static CurlLibrary library;
    static const bool loaded = library.load();
    return loaded ? &library : nullptr;
}

struct Transfer
{
    const CurlLibrary& curl;
    CURL* handle;
    const BodySink& sink;
    HttpResult& result;
};

long statusOf(const Transfer& transfer)
{
    long status = 0;
    transfer.curl.getinfo(transfer.handle, CURLINFO_RESPONSE_CODE, &status);
    return status;
}

size_t onBody(char* data, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    const size_t length = size * count;
    if (statusOf(transfer) != 200) {
        std::string& body = transfer.result.errorBody;
        body.append(data, std::min(length, kMaxErrorBody - std::min(body.size(), kMaxErrorBody)));
        return length;
    }
    transfer.result.bodyStarted = true;
    return transfer.sink(data, length) ? length : 0;
}

size_t onHeader(char* data, size_t size, size_t count, void* context)
{
    auto& transfer = *static_cast<Transfer*>(context);
    const size_t length = size * count;
    constexpr std::string_view kRetryAfter = "retry-after:";
    const std::string_view line(data, length);
    if (line.size() > kRetryAfter.size() && Handlers::startsWithIgnoringCase(line, kRetryAfter)) {
        // Seconds only: NCBI sends no dates here, and a date would be no reason to wait longer.
        const std::string value(line.substr(kRetryAfter.size()));
        char* end = nullptr;
        const long seconds = std::strtol(value.c_str(), &end, 10);
        if (end != value.c_str() && seconds >= 0)
            transfer.result.retryAfterSeconds = static_cast<int>(std::min(seconds, 3600L));
    }
    return length;
}

HttpResult::Outcome outcomeOf(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return HttpResult::Outcome::Answered;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return HttpResult::Outcome::UnknownHost;
    case CURLE_COULDNT_CONNECT:
        return HttpResult::Outcome::NoConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return HttpResult::Outcome::TimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_BAD_CONTENT_ENCODING:
        return HttpResult::Outcome::Cut;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
        return HttpResult::Outcome::InsecureLink;
    case CURLE_WRITE_ERROR:
        return HttpResult::Outcome::Stopped;
    default:
        return HttpResult::Outcome::Failed;
    }
}

} // namespace

HttpResult httpRequest(const HttpRequest& request, const BodySink& sink)
{
    HttpResult result;
    const CurlLibrary* curl = curlLibrary();
    if (!curl) {
        result.outcome = HttpResult::Outcome::NoLibrary;
        result.detail = "libcurl.so.4 cannot be loaded";
        return result;
    }
    CURL* handle = curl->init();
    if (!handle) {
        result.detail = "libcurl cannot start a transfer";
        return result;
    }
    Transfer transfer{*curl, handle, sink, result};
    char error[CURL_ERROR_SIZE] = {};
    curl->setopt(handle, CURLOPT_URL, request.address.c_str());
    if (!request.form.empty()) {
        curl->setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.form.size()));
        curl->setopt(handle, CURLOPT_POSTFIELDS, request.form.c_str());
    }
    curl->setopt(handle, CURLOPT_ERRORBUFFER, error);
    curl->setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl->setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl->setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl->setopt(handle, CURLOPT_MAXREDIRS, 3L);
    curl->setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl->setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.connectTimeoutSeconds));
    curl->setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(request.totalTimeoutSeconds));
    curl->setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
    curl->setopt(handle, CURLOPT_USERAGENT, "dbscout-ncbi-handler/1");
    curl->setopt(handle, CURLOPT_WRITEFUNCTION, onBody);
    curl->setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl->setopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
    curl->setopt(handle, CURLOPT_HEADERDATA, &transfer);
    const CURLcode code = curl->perform(handle);
    result.outcome = outcomeOf(code);
    result.status = statusOf(transfer);
    result.detail = error[0] ? error : curl->strerror(code);
    curl->cleanup(handle);
    return result;
}

} // namespace Dbscout::Ncbi
