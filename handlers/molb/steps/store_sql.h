#pragma once
// The statements whose text is the same in both back ends (their schemas name tables and columns
// alike), written once with SQLite's numbered placeholders ?1, ?2, ...; the server back end reads
// them through pgSql (pg/pg_connection.h), which gives $1, $2, ...

namespace Dbscout::Molb::StoreSql {

// Users and groups.
inline constexpr const char* kAnyUser = "SELECT EXISTS(SELECT 1 FROM users)";
inline constexpr const char* kUserExists = "SELECT EXISTS(SELECT 1 FROM users WHERE name = ?1)";
inline constexpr const char* kGroupExists = "SELECT EXISTS(SELECT 1 FROM groups WHERE name = ?1)";

// Listings and subsets.
inline constexpr const char* kKindCount = "SELECT object_count FROM kinds WHERE kind = ?1";
inline constexpr const char* kSubsetByName =
    "SELECT id, owner, grp, mode FROM subsets WHERE kind = ?1 AND name = ?2";
inline constexpr const char* kSubsetsNamed =
    "SELECT id, owner, grp, mode FROM subsets WHERE name = ?1 ORDER BY id LIMIT 2";
inline constexpr const char* kInsertSubset =
    "INSERT INTO subsets(kind, name, owner, grp, mode) VALUES (?1, ?2, ?3, ?4, ?5) RETURNING id";

// Objects, their revisions and holders.
inline constexpr const char* kInsertRevision =
    "INSERT INTO revisions(object_id, revision, data, arcname, author, created, comment)"
    " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
inline constexpr const char* kRevisions =
    "SELECT revision, author, created, comment, arcname, length(data) FROM revisions"
    " WHERE object_id = ?1 ORDER BY revision";
inline constexpr const char* kSetHolder =
    "UPDATE objects SET checkout_by = ?2, checkout_comment = ?3 WHERE id = ?1";

// Links from parents to descendants.
inline constexpr const char* kInsertLink =
    "INSERT INTO links(parent_id, child_id, derivation) VALUES (?1, ?2, ?3)";
inline constexpr const char* kLinksOf =
    "SELECT child_id, derivation FROM links WHERE parent_id = ?1 ORDER BY child_id";
inline constexpr const char* kCutLink = "DELETE FROM links WHERE parent_id = ?1 AND child_id = ?2";
inline constexpr const char* kCutLinks = "DELETE FROM links WHERE parent_id = ?1";

// Owners, groups and modes, by Owned, then OwnedPart.
inline constexpr const char* kSetOwned[2][3] = {
    {"UPDATE objects SET owner = ?2 WHERE id = ?1", "UPDATE objects SET grp = ?2 WHERE id = ?1",
     "UPDATE objects SET mode = ?2 WHERE id = ?1"},
    {"UPDATE subsets SET owner = ?2 WHERE id = ?1", "UPDATE subsets SET grp = ?2 WHERE id = ?1",
     "UPDATE subsets SET mode = ?2 WHERE id = ?1"}};

} // namespace Dbscout::Molb::StoreSql
