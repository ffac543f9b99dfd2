#include "web_page.h"

#include "ascii_text.h"

namespace Dbscout::Ncbi {
namespace {

using Handlers::kAsciiBlanks;
using Handlers::startsWithIgnoringCase;

// A page's title is in its head, near its start.
constexpr size_t kHeadBytes = 64 * 1024;
constexpr size_t kLongestTitle = 120;

size_t findIgnoringCase(std::string_view text, std::string_view what, size_t from = 0)
{
    for (size_t at = from; at + what.size() <= text.size(); ++at) {
        if (startsWithIgnoringCase(text.substr(at), what))
            return at;
    }
    return std::string_view::npos;
}

// The text after what leads a document: blanks, a byte order mark, an XML declaration.
std::string_view documentStart(std::string_view bytes)
{
    if (bytes.starts_with("\xef\xbb\xbf"))
        bytes.remove_prefix(3);
    bytes.remove_prefix(std::min(bytes.size(), bytes.find_first_not_of(kAsciiBlanks)));
    if (bytes.starts_with("<?xml")) {
        const size_t end = bytes.find("?>");
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
        bytes.remove_prefix(std::min(bytes.size(), bytes.find_first_not_of(kAsciiBlanks)));
    }
    return bytes;
}

std::string titleOf(std::string_view page)
{
    const size_t open = findIgnoringCase(page, "<title");
    const size_t start = open == std::string_view::npos ? open : page.find('>', open);
    const size_t end =
        start == std::string_view::npos ? start : findIgnoringCase(page, "</title", start);
    if (end == std::string_view::npos)
        return {};
    std::string title;
    for (char c : page.substr(start + 1, end - start - 1)) {
        const bool blank = kAsciiBlanks.find(c) != std::string_view::npos;
        if (blank && (title.empty() || title.back() == ' '))
            continue;
        title += blank ? ' ' : c;
    }
    while (!title.empty() && title.back() == ' ')
        title.pop_back();
    return title.size() > kLongestTitle ? title.substr(0, kLongestTitle) + "..." : title;
}

} // namespace

std::optional<std::string> webPage(std::string_view bytes)
{
    const std::string_view start = documentStart(bytes.substr(0, kHeadBytes));
    if (!startsWithIgnoringCase(start, "<!doctype html") && !startsWithIgnoringCase(start, "<html"))
        return std::nullopt;
    const std::string title = titleOf(start);
    return title.empty() ? "a web page" : "a web page titled \"" + title + "\"";
}

} // namespace Dbscout::Ncbi
