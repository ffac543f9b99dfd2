#pragma once
// Schema 2 of the server store: a role's groups are looked up once per statement, not once per
// row, where many rows are weighed at a time (pages of the catalog, reads of objects and subsets,
// searches). The rights stay those of schema 1.

namespace Dbscout::Molb {

inline constexpr const char* kPgSchemaV2 = R"SQL(
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
         CASE WHEN a.readable THEN o.name END AS name,
         CASE WHEN a.readable THEN o.accession END AS accession,
         CASE WHEN a.readable THEN o.owner END AS owner,
         CASE WHEN a.readable THEN o.grp END AS grp,
         CASE WHEN a.readable THEN o.checkout_by END AS checkout_by,
         CASE WHEN a.readable THEN o.revision END AS revision,
         CASE WHEN a.readable THEN o.length END AS length,
         CASE WHEN a.readable THEN o.topology END AS topology,
         CASE WHEN a.readable THEN o.organism END AS organism,
         CASE WHEN a.readable THEN o.description END AS description,
         CASE WHEN a.readable THEN o.authors END AS authors,
         CASE WHEN a.readable THEN o.journal END AS journal,
         CASE WHEN a.readable THEN o.year END AS year,
         CASE WHEN a.readable THEN o.program END AS program,
         CASE WHEN a.readable THEN o.dbname END AS dbname,
         CASE WHEN a.readable THEN o.hits END AS hits,
         CASE WHEN a.readable THEN o.run_date END AS run_date,
         CASE WHEN a.readable THEN o.analysis_type END AS analysis_type,
         CASE WHEN a.readable THEN o.source END AS source,
         CASE WHEN a.readable THEN o.modified END AS modified,
         CASE WHEN a.readable THEN o.created END AS created
  FROM objects o,
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
