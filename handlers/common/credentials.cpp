#include "credentials.h"

#include <algorithm>
#include <cstring>

namespace Dbscout::Handlers {

std::vector<std::pair<size_t, size_t>> passwordSpans(std::string_view url)
{
    std::vector<std::pair<size_t, size_t>> spans;
    const size_t question = url.find('?');
    const size_t scheme = url.find("://");
    if (scheme != std::string_view::npos && scheme < question) {
        const size_t hostStart = scheme + 3;
        const std::string_view address = url.substr(hostStart, question - hostStart);
        const std::string_view authority = address.substr(0, address.find('/'));
        const size_t at = authority.rfind('@');
        const size_t colon = authority.substr(0, at).find(':');
        if (at != std::string_view::npos && colon != std::string_view::npos)
            spans.emplace_back(hostStart + colon + 1, at - colon - 1);
    }
    for (size_t start = question; start != std::string_view::npos && start < url.size();) {
        const size_t begin = start + 1;
        const size_t end = std::min(url.find('&', begin), url.size());
        const std::string_view pair = url.substr(begin, end - begin);
        if (pair.starts_with("pass="))
            spans.emplace_back(begin + 5, pair.size() - 5);
        start = end;
    }
    return spans;
}

std::string takeRequestUrl(int count, char** arguments)
{
    if (count < 1)
        return std::string();
    std::string url = arguments[0];
    for (const auto& [offset, length] : passwordSpans(url))
        std::memset(arguments[0] + offset, '*', length);
    return url;
}

} // namespace Dbscout::Handlers
