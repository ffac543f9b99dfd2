#pragma once
// Schema 4 of the server store: a role's groups are looked up by a function that keeps its plan
// for the session. As a plain SQL function it was planned anew at every call, and a page read by
// a user calls it up to five times, at 0.1 to 0.2 ms a call: more than all the page's other
// rights checks together. What it returns is that of schema 2.

namespace Dbscout::Molb {

inline constexpr const char* kPgSchemaV4 = R"SQL(
CREATE OR REPLACE FUNCTION molb_groups_of(who name) RETURNS text[] LANGUAGE plpgsql STABLE
  PARALLEL SAFE AS $groups$
BEGIN
  RETURN ARRAY(SELECT r.rolname::text FROM pg_catalog.pg_roles r
               WHERE pg_catalog.pg_has_role(who, r.oid, 'MEMBER'));
END
$groups$;
)SQL";

} // namespace Dbscout::Molb
