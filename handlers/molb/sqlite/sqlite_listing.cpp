// Listing pages: every object of a kind, a subset, or a search.

#include "sqlite/sqlite_schema.h"
#include "sqlite/sqlite_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kSubsetCount =
    "SELECT id, member_count, owner, grp, mode FROM subsets WHERE kind = ?1 AND name = ?2";
// Search results leave out what the session may not read.
constexpr const char* kReadableOnly = " AND molb_may_read(o.owner, o.grp, o.mode)";

const std::string& mainPageSql()
{
    static const std::string sql = "SELECT " + objectRowColumns() +
                                   " FROM objects o WHERE o.kind = ?1 AND o.pos >= ?2"
                                   " ORDER BY o.pos LIMIT ?3";
    return sql;
}

const std::string& subsetPageSql()
{
    static const std::string sql = "SELECT " + objectRowColumns() +
                                   " FROM subset_members m JOIN objects o ON o.id = m.object_id"
                                   " WHERE m.subset_id = ?1 AND m.position >= ?2"
                                   " ORDER BY m.position LIMIT ?3";
    return sql;
}

// The WHERE part of a search, built from fixed fragments; every value is bound from ?4 on
// (?1 is the kind or match expression, ?2 and ?3 the paging, absent from the count).
std::string filterSql(const SearchQuery& query)
{
    std::string sql;
    int parameter = 4;
    for (const SearchFilter& filter : query.filters) {
        const std::string column = std::string("o.") + fieldColumn(filter.field);
        const std::string value = "?" + std::to_string(parameter++);
        switch (filter.op) {
        case SearchFilter::Op::Contains:
            if (isTimeField(filter.field))
                sql += " AND instr(strftime('%Y-%m-%d %H:%M', " + column + ", 'unixepoch'), " +
                       value + ") > 0";
            else
                sql += " AND instr(lower(" + column + "), lower(" + value + ")) > 0";
            break;
        case SearchFilter::Op::Greater:
            sql += " AND " + column + " > " + value;
            break;
        case SearchFilter::Op::Less:
            sql += " AND " + column + " < " + value;
            break;
        }
    }
    return sql;
}

void bindSearch(SqliteStatement& statement, const ListingRequest& request)
{
    const SearchQuery& query = request.search;
    if (query.words.empty())
        statement.bind(1, static_cast<std::int64_t>(request.kind));
    else
        statement.bind(1, fullTextExpression(query.words));
    int parameter = 4;
    for (const SearchFilter& filter : query.filters) {
        if (filter.op == SearchFilter::Op::Contains)
            statement.bind(parameter++, filter.text);
        else
            statement.bind(parameter++, filter.number);
    }
}

} // namespace

Status SqliteStore::listObjects(const Session& session, const ListingRequest& request,
                                Listing& listing)
{
    listing = Listing();
    m_listingSession = &session;
    const Status status = reading([&] {
        return request.scope == ListingRequest::Scope::Search
                   ? listSearch(session, request, listing)
                   : countAndList(session, request, listing);
    });
    m_listingSession = nullptr; // the session may not outlive the call
    return status;
}

Status SqliteStore::countAndList(const Session& session, const ListingRequest& request,
                                 Listing& listing)
{
    const bool main = request.scope == ListingRequest::Scope::Main;
    SqliteStatement* count = nullptr;
    if (Status status = m_db.cached(main ? StoreSql::kKindCount : kSubsetCount, count);
        !status.ok())
        return status;
    std::int64_t subsetId = 0;
    {
        StatementUse use(*count);
        use->bind(1, static_cast<std::int64_t>(request.kind));
        if (!main)
            use->bind(2, request.subset);
        const int code = use->step();
        if (code != SQLITE_ROW && code != SQLITE_DONE)
            return m_db.failure(code);
        // A subset the session may not read does not exist for it.
        if (code == SQLITE_DONE ||
            (!main && rightOf(session, use->text(2), use->text(3), use->text(4)) == Right::None))
            return Status::fail(ErrorCode::NotFound, "There is no subset \"" + request.subset +
                                                         "\" of " + kindKeyword(request.kind) +
                                                         " objects.");
        listing.found = use->integer(main ? 0 : 1);
        subsetId = main ? 0 : use->integer(0);
    }
    if (request.start >= listing.found)
        return Status::pass();
    const std::string& sql = main ? mainPageSql() : subsetPageSql();
    SqliteStatement* page = nullptr;
    if (Status status = m_db.cached(sql.c_str(), page); !status.ok())
        return status;
    StatementUse use(*page);
    use->bind(1, main ? static_cast<std::int64_t>(request.kind) : subsetId);
    use->bind(2, request.start);
    use->bind(3, static_cast<std::int64_t>(request.pageSize));
    return readRows(session, *use, listing);
}

Status SqliteStore::listSearch(const Session& session, const ListingRequest& request,
                               Listing& listing)
{
    const SearchQuery& query = request.search;
    if (query.matchesNothing)
        return Status::pass();
    const std::string table = fullTextTable(request.kind);
    const std::string from = query.words.empty()
                                 ? " FROM objects o WHERE o.kind = ?1"
                                 : " FROM " + table + " JOIN objects o ON o.id = " + table +
                                       ".rowid WHERE " + table + " MATCH ?1";
    const std::string where =
        from + filterSql(query) + (session.everyoneOwns ? std::string() : kReadableOnly);
    // Full-text matches come in rowid order, so ordering by it needs no sort.
    const std::string order =
        query.words.empty() ? " ORDER BY o.id" : " ORDER BY " + table + ".rowid";
    // Without filters the full-text index alone counts the matches; a join would read every
    // matching object's row.
    const std::string countFrom =
        query.words.empty() || !query.filters.empty() || !session.everyoneOwns
            ? where
            : " FROM " + table + " WHERE " + table + " MATCH ?1";
    std::unique_ptr<SqliteStatement> count;
    Status status = m_db.prepare("SELECT count(*)" + countFrom, count);
    if (!status.ok())
        return status;
    bindSearch(*count, request);
    if (const int code = count->step(); code != SQLITE_ROW)
        return m_db.failure(code);
    listing.found = count->integer(0);
    if (request.start >= listing.found)
        return Status::pass();

    std::unique_ptr<SqliteStatement> page;
    status =
        m_db.prepare("SELECT " + objectRowColumns() + where + order + " LIMIT ?3 OFFSET ?2", page);
    if (!status.ok())
        return status;
    bindSearch(*page, request);
    page->bind(2, request.start);
    page->bind(3, static_cast<std::int64_t>(request.pageSize));
    return readRows(session, *page, listing);
}

Status SqliteStore::readRows(const Session& session, SqliteStatement& statement, Listing& listing)
{
    int code = SQLITE_ROW;
    while ((code = statement.step()) == SQLITE_ROW) {
        listing.rows.emplace_back();
        readObjectRow(statement, listing.rows.back());
        redactUnreadable(session, listing.rows.back());
    }
    return code == SQLITE_DONE ? Status::pass() : m_db.failure(code);
}

} // namespace Dbscout::Molb
