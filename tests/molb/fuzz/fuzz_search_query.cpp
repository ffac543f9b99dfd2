// The search language on any query text (the first byte picks the kind): the words reach the
// full-text engine only as quoted phrases, which SQLite's own full-text parser accepts as
// exactly those words, whatever they hold.

#include "fuzz_check.h"
#include "model/search_query.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

namespace {

// A full-text table as the local store makes one, in memory.
sqlite3_stmt* matchStatement()
{
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        FUZZ_CHECK(sqlite3_open(":memory:", &opened) == SQLITE_OK);
        FUZZ_CHECK(sqlite3_exec(opened,
                                "CREATE VIRTUAL TABLE words USING fts5(name, accession, "
                                "description, organism);"
                                "INSERT INTO words VALUES ('pUC19', 'L09137', 'cloning vector', "
                                "'synthetic construct');",
                                nullptr, nullptr, nullptr) == SQLITE_OK);
        return opened;
    }();
    static sqlite3_stmt* statement = [] {
        sqlite3_stmt* prepared = nullptr;
        FUZZ_CHECK(sqlite3_prepare_v2(db, "SELECT count(*) FROM words WHERE words MATCH ?1", -1,
                                      &prepared, nullptr) == SQLITE_OK);
        return prepared;
    }();
    return statement;
}

// The phrases of an expression "a" AND "b""c": each between quotes, inner quotes doubled.
bool readPhrases(std::string_view expression, std::vector<std::string>& phrases)
{
    while (!expression.empty()) {
        if (!phrases.empty()) {
            if (!expression.starts_with(" AND "))
                return false;
            expression.remove_prefix(5);
        }
        if (!expression.starts_with('"'))
            return false;
        std::string phrase;
        size_t i = 1;
        for (;; ++i) {
            if (i >= expression.size())
                return false;
            if (expression[i] != '"') {
                phrase += expression[i];
                continue;
            }
            if (i + 1 < expression.size() && expression[i + 1] == '"') {
                phrase += '"';
                ++i;
                continue;
            }
            break;
        }
        phrases.push_back(std::move(phrase));
        expression.remove_prefix(i + 1);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Kind kinds[] = {Kind::DnaRna, Kind::Protein, Kind::Citation, Kind::Blast, Kind::Analysis};
    const Kind kind = kinds[data[0] % 5];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (text.find('\0') != std::string_view::npos)
        return 0; // the request parser lets none through
    SearchQuery query;
    const Status status = parseSearchQuery(kind, text, query);
    if (!status.ok()) {
        FUZZ_CHECK(status.code() == ErrorCode::BadRequest);
        FUZZ_CHECK(!status.message().empty() && status.message().size() <= 512);
        return 0;
    }
    FUZZ_CHECK(query.words.size() + query.filters.size() <= kMaxSearchTerms);
    FUZZ_CHECK(!query.matchesNothing || (query.words.empty() && query.filters.empty()));
    if (query.words.empty())
        return 0;
    const std::string expression = fullTextExpression(query.words);
    std::vector<std::string> phrases;
    FUZZ_CHECK(readPhrases(expression, phrases) && phrases == query.words);
    // The engine reads it as phrases: no syntax error, whatever the words hold.
    sqlite3_stmt* match = matchStatement();
    sqlite3_bind_text(match, 1, expression.data(), static_cast<int>(expression.size()),
                      SQLITE_TRANSIENT);
    const int rc = sqlite3_step(match);
    sqlite3_reset(match);
    FUZZ_CHECK(rc == SQLITE_ROW);
    return 0;
}
