#pragma once
// A web service's answers kept for a while in one SQLite file, so that paging back, sorting a page
// again and opening a record twice cost no request. The cache is only ever a shortcut: a file
// that is missing, damaged or locked by another process is passed by, and the request goes to
// the service.

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace Dbscout::Web {

class AnswerCache
{
public:
    // Opens (or creates) the cache file at path; an empty path or an unusable file leaves the
    // cache closed.
    explicit AnswerCache(const std::string& path);
    ~AnswerCache();
    AnswerCache(const AnswerCache&) = delete;
    AnswerCache& operator=(const AnswerCache&) = delete;

    // The answer stored for key no more than maxAgeSeconds ago.
    std::optional<std::string> find(std::string_view key, int maxAgeSeconds);
    void store(std::string_view key, std::string_view answer);

private:
    void close();

    sqlite3* m_db = nullptr;
};

} // namespace Dbscout::Web
