// Listing pages: every object of a kind, a subset, or a search. A user's pages of every object or
// of a subset come from object_catalog, where an object it may not read keeps its place and mode
// and nothing else; its searches come from the objects the server lets it read.

#include "model/object_columns.h"
#include "pg/pg_store.h"
#include "steps/store_sql.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kSubsetCount =
    "SELECT member_count FROM subsets WHERE kind = $1 AND name = $2";
constexpr const char* kGenericPlans = "SET LOCAL plan_cache_mode = force_generic_plan";

// The store's owner reads the table; a user the catalog, which says what it may do with each row.
std::string pageSql(bool admin, const std::string& from)
{
    return "SELECT " + objectRowColumns() + (admin ? ", 'w'" : ", o.access") + from;
}

const std::string& mainPageSql(bool admin)
{
    static const char* kFrom = " WHERE o.kind = $1 AND o.pos >= $2 ORDER BY o.pos LIMIT $3";
    static const std::string forAdmin = pageSql(true, std::string(" FROM objects o") + kFrom);
    static const std::string forUser =
        pageSql(false, std::string(" FROM object_catalog o") + kFrom);
    return admin ? forAdmin : forUser;
}

// The subset named, as kSubsetCount finds it, so that both go out together. Its id comes from a
// sub-select worked out first: the server then reads the subset's own index range, where a join
// by name would make it plan for the members of every subset.
const std::string& subsetPageSql(bool admin)
{
    static const char* kWhere =
        " ON o.id = m.object_id WHERE m.subset_id = (SELECT s.id FROM subsets s WHERE s.kind = $1"
        " AND s.name = $2) AND m.position >= $3 ORDER BY m.position LIMIT $4";
    static const std::string forAdmin =
        pageSql(true, std::string(" FROM subset_members m JOIN objects o") + kWhere);
    static const std::string forUser =
        pageSql(false, std::string(" FROM subset_members m JOIN object_catalog o") + kWhere);
    return admin ? forAdmin : forUser;
}

// ASCII letters only, as the local store compares.
std::string asciiLower(const std::string& expression)
{
    return "translate(" + expression +
           ", 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')";
}

// The words' query: every word a phrase of the words it splits into, all of them needed.
std::string wordsQuery(const SearchQuery& query, std::vector<PgValue>& values)
{
    std::string sql;
    for (const std::string& word : query.words) {
        values.emplace_back(word);
        sql += (sql.empty() ? "" : " && ") +
               std::string("phraseto_tsquery('simple', molb_words($") +
               std::to_string(values.size()) + "))";
    }
    return "(" + sql + ")";
}

std::string filtersSql(const SearchQuery& query, std::vector<PgValue>& values)
{
    std::string sql;
    const auto next = [&] { return "$" + std::to_string(values.size()); };
    for (const SearchFilter& filter : query.filters) {
        const std::string column = std::string("o.") + fieldColumn(filter.field);
        if (filter.op == SearchFilter::Op::Contains) {
            values.emplace_back(filter.text);
            const std::string shown = isTimeField(filter.field)
                                          ? "to_char(to_timestamp(" + column +
                                                ") AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI')"
                                          : asciiLower("CAST(" + column + " AS text)");
            sql += " AND strpos(" + shown + ", " +
                   (isTimeField(filter.field) ? next() : asciiLower(next())) + ") > 0";
        } else {
            values.emplace_back(filter.number);
            sql += " AND " + column + (filter.op == SearchFilter::Op::Greater ? " > " : " < ") +
                   next();
        }
    }
    return sql;
}

// A search with filters, built from fixed fragments; every word and value is a parameter, from
// $1 on: FROM objects o WHERE ... The kind is written out, so that the server picks the kind's
// own index. The server leaves out what the role may not read. A user's words go through
// molb_matches: under row-level security the server would not use the index for a condition that
// is not leakproof, and @@ is not.
std::string filteredSearchSql(bool admin, const ListingRequest& request,
                              std::vector<PgValue>& values)
{
    const SearchQuery& query = request.search;
    const std::string kind = std::to_string(static_cast<int>(request.kind));
    std::string where = " FROM objects o WHERE o.kind = " + kind;
    if (!query.words.empty()) {
        const std::string words = wordsQuery(query, values);
        where += admin ? " AND o.words @@ " + words
                       : " AND o.id IN (SELECT molb_matches(" + kind + ", " + words + "))";
    }
    return where + filtersSql(query, values);
}

// A search for words alone: molb_search counts and pages the matches from the store's word
// tables, for the role that logged in. Every word is a parameter of its own, then the kind, the
// start and the page size.
std::string wordSearchSql(const SearchQuery& query, std::vector<PgValue>& values)
{
    std::string words;
    for (const std::string& word : query.words) {
        values.emplace_back(word);
        words += (words.empty() ? "$" : ", $") + std::to_string(values.size());
    }
    const auto after = [&](size_t n) { return "$" + std::to_string(values.size() + n); };
    return "SELECT s.total, p.* FROM molb_search(" + after(1) + ", ARRAY[" + words + "]::text[], " +
           after(2) + ", " + after(3) + ") s LEFT JOIN LATERAL (" +
           pageSql(true, " FROM objects o WHERE o.id = s.object_id") +
           ") p ON true ORDER BY s.object_id";
}

// Rows of pageSql, from column first on: the listing columns, then what the role may do.
void readRows(const Session& session, const PgResult& rows, Listing& listing, int first = 0)
{
    for (int row = 0; row < rows.rows(); ++row) {
        const auto text = [&](int column) { return rows.text(row, first + column); };
        ObjectRow& object = listing.rows.emplace_back();
        object.mode = text(3);
        const std::string access = text(kRowLeadColumns + static_cast<int>(kFieldCount));
        if (access != "r" && access != "w")
            continue; // a place and a mode, nothing else
        object.id = text(0);
        object.owner = text(1);
        object.group = text(2);
        object.checkoutBy = text(4);
        for (size_t i = 0; i < kFieldCount; ++i)
            object.meta.values[i] = text(kRowLeadColumns + static_cast<int>(i));
        redactUnreadable(session, object);
    }
}

} // namespace

Status PgStore::listObjects(const Session& session, const ListingRequest& request, Listing& listing)
{
    listing = Listing();
    if (request.scope != ListingRequest::Scope::Search)
        return countAndList(session, request, listing);
    return listSearch(session, request, listing);
}

// The count and the page in one snapshot and one round trip: a page past the end is empty.
Status PgStore::countAndList(const Session& session, const ListingRequest& request,
                             Listing& listing)
{
    const bool main = request.scope == ListingRequest::Scope::Main;
    const int kind = static_cast<int>(request.kind);
    // The server shows a user only the subsets it may read: the others do not exist for it.
    // A page is one index range whatever its values: the plan the connection made first serves
    // every later page, instead of being made again for each.
    std::vector<PgStatement> statements{{kGenericPlans, {}}};
    if (main) {
        statements.push_back({pgSql(StoreSql::kKindCount), {kind}});
        statements.push_back({mainPageSql(m_admin), {kind, request.start, request.pageSize}});
    } else {
        statements.push_back({kSubsetCount, {kind, request.subset}});
        statements.push_back(
            {subsetPageSql(m_admin), {kind, request.subset, request.start, request.pageSize}});
    }
    std::vector<PgResult> answers;
    if (Status status = m_db.readSnapshot(statements, answers); !status.ok())
        return status;
    if (answers[1].rows() == 0)
        return Status::fail(ErrorCode::NotFound, "There is no subset \"" + request.subset +
                                                     "\" of " + kindKeyword(request.kind) +
                                                     " objects.");
    listing.found = answers[1].integer(0, 0);
    if (request.start < listing.found)
        readRows(session, answers[2], listing);
    return Status::pass();
}

// Words alone are counted and paged by the server from its word tables; with filters, the
// matches are found once, for their count and for the page: finding them is most of such a
// search's time. One statement, so one snapshot; a page past the end leaves one row, the count's.
Status PgStore::listSearch(const Session& session, const ListingRequest& request, Listing& listing)
{
    const SearchQuery& query = request.search;
    if (query.matchesNothing)
        return Status::pass();
    std::vector<PgValue> values;
    std::string sql;
    if (!query.words.empty() && query.filters.empty()) {
        sql = wordSearchSql(query, values);
        values.emplace_back(static_cast<int>(request.kind));
        values.emplace_back(request.start);
        values.emplace_back(request.pageSize);
    } else {
        const std::string where = filteredSearchSql(m_admin, request, values);
        values.emplace_back(request.pageSize);
        values.emplace_back(request.start);
        const std::string limit = " LIMIT $" + std::to_string(values.size() - 1) + " OFFSET $" +
                                  std::to_string(values.size());
        const std::string page = pageSql(
            true, " FROM objects o WHERE o.id IN (SELECT id FROM m ORDER BY id" + limit + ")");
        sql = "WITH m AS MATERIALIZED (SELECT o.id" + where +
              ") SELECT c.found, p.* FROM (SELECT count(*) AS found FROM m) c"
              " LEFT JOIN LATERAL (" +
              page + ") p ON true ORDER BY p.id";
    }
    PgResult rows;
    if (Status status = m_db.exec(sql, values, &rows); !status.ok())
        return status;
    listing.found = rows.integer(0, 0);
    if (request.start < listing.found)
        readRows(session, rows, listing, 1);
    return Status::pass();
}

} // namespace Dbscout::Molb
