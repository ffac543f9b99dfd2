#pragma once
// Schema 2 of the server store: a role's groups are looked up once per statement, not once per
// row, where many rows are weighed at a time (pages of the catalog, reads of objects and subsets,
// searches). The rights stay those of schema 1.

#include "pg/pg_schema_v1.sql.h"

namespace Dbscout::Molb {

inline const std::string kPgSchemaV2 = std::string(R"SQL(
-- Every role who is a member of, itself included: the groups a row's group is looked up in.
CREATE FUNCTION molb_groups_of(who name) RETURNS text[] LANGUAGE sql STABLE PARALLEL SAFE
  RETURN ARRAY(SELECT r.rolname::text FROM pg_catalog.pg_roles r
               WHERE pg_catalog.pg_has_role(who, r.oid, 'MEMBER'));
-- molb_right_of with who's groups given: the caller passes them as an uncorrelated sub-select,
-- which the server works out once per statement, and the body is inlined into the statement.
CREATE FUNCTION molb_right_among(owner text, grp text, mode text, who name, groups text[])
  RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE
  RETURN pg_catalog.substr(mode, CASE WHEN owner = who THEN 1
                                      WHEN grp = ANY (groups) THEN 2
                                      ELSE 3 END, 1);

CREATE OR REPLACE VIEW object_catalog AS
  SELECT o.id, o.kind, o.pos, o.mode, a.access,
)SQL") + kCatalogColumns + R"SQL(  FROM objects o,
       LATERAL (SELECT r.access, r.access IN ('r', 'w') AS readable
                FROM (SELECT molb_right_among(o.owner, o.grp, o.mode, current_user,
                                              (SELECT molb_groups_of(current_user)))
                             COLLATE "default" AS access
                      -- Kept apart, so that the right and the groups' look-up are worked out
                      -- once per row and once per statement, not once for every column.
                      OFFSET 0) r) a;

ALTER POLICY objects_read ON objects
  USING (molb_right_among(owner, grp, mode, current_user,
                          (SELECT molb_groups_of(current_user))) IN ('r', 'w'));
ALTER POLICY subsets_read ON subsets
  USING (molb_right_among(owner, grp, mode, current_user,
                          (SELECT molb_groups_of(current_user))) IN ('r', 'w'));

CREATE OR REPLACE FUNCTION molb_matches(kind integer, query tsquery) RETURNS SETOF bigint
  LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  -- The kind written out, so that the server picks the kind's own index.
  RETURN QUERY EXECUTE format('SELECT o.id FROM objects o WHERE o.kind = %s AND o.words @@ $1 '
                              'AND molb_right_among(o.owner, o.grp, o.mode, session_user, '
                              '(SELECT molb_groups_of(session_user))) IN (''r'', ''w'')', kind)
    USING query;
END $$;
)SQL";

} // namespace Dbscout::Molb
