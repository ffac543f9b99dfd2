#include "request/url_params.h"

namespace Dbscout {

std::string ExtractUrlParam(std::string& url, const std::string& key)
{
    const size_t question = url.find('?');
    if (question == std::string::npos || question == 0)
        return {};
    const size_t at = url.find(key, question);
    if (at == std::string::npos)
        return {};
    const size_t valueStart = at + key.size();
    const size_t amp = url.find('&', valueStart);
    if (amp == std::string::npos) {
        std::string value = url.substr(valueStart);
        url.erase(at);
        return value;
    }
    std::string value = url.substr(valueStart, amp - valueStart);
    url.erase(at, amp + 1 - at);
    return value;
}

void SplitUrlCredentials(std::string& url, std::string& user, std::string& password)
{
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos || scheme == 0)
        return;
    const size_t authority = scheme + 3;
    const size_t slash = url.find('/', authority);
    if (slash == std::string::npos)
        return;
    // Only an '@' inside the authority separates credentials; one in the path is a name.
    const size_t at = url.find('@', authority);
    if (at != std::string::npos && at < slash) {
        const std::string credentials = url.substr(authority, at - authority);
        url.erase(authority, at + 1 - authority);
        const size_t colon = credentials.find(':');
        if (colon != std::string::npos && colon > 0) {
            user = credentials.substr(0, colon);
            password = credentials.substr(colon + 1);
        } else {
            user = credentials;
        }
        return;
    }
    user = ExtractUrlParam(url, "user=");
    password = ExtractUrlParam(url, "pass=");
}

ObjectUrlParts readObjectUrl(const std::string& url)
{
    ObjectUrlParts parts;
    const size_t slash = url.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    // A '?' that starts the URL ends no name: the whole URL is the name then.
    const size_t question = url.find('?', nameStart);
    const bool endsName = question != std::string::npos && question > 0;
    parts.escapedName = url.substr(nameStart, endsName ? question - nameStart : std::string::npos);
    const size_t query = url.find("query=");
    if (query != std::string::npos) {
        const size_t valueStart = query + 6;
        const size_t amp = url.find('&', valueStart);
        parts.query =
            url.substr(valueStart, amp == std::string::npos ? std::string::npos : amp - valueStart);
        parts.hasQuery = true;
    }
    return parts;
}

} // namespace Dbscout

bool ParseURLAndReplaceName(std::string& strURL, const char* pszName)
{
    const size_t slash = strURL.rfind('/');
    if (slash == std::string::npos)
        return false;
    const size_t question = strURL.find('?', slash);
    const std::string tail =
        question == std::string::npos ? std::string() : strURL.substr(question);
    strURL.erase(slash + 1);
    strURL += pszName ? pszName : "";
    strURL += tail;
    return true;
}
