#pragma once
// Schema 1 of the server store: the data model of the local store, with access enforced by the
// server itself.
//
// Who may do what:
// - The store's owner (the role that ran molb-admin init, or a superuser) owns every table and is
//   not subject to row-level security; molb users never connect as that role.
// - Every molb user is a login role, a member of the database's role "molb.DB" (which alone may
//   connect) and of a NOLOGIN role per molb group. Policies compare owner with current_user and
//   the group with pg_has_role, through molb_right.
// - object_catalog and subset_catalog, views owned by the store's owner, show every object's and
//   subset's listing columns to every user, as a listing shows them (paging stays exact). The
//   tables behind them show a user only the rows the mode lets them read; an object's bytes
//   (revisions) and a subset's members likewise.
// - Columns: users may insert objects, revisions and subsets as themselves, and update only the
//   columns a check-out, check-in, save or change of mode touches (column privileges). Who may
//   make which change (a holder other than oneself, a mode change by anyone but the owner) is
//   checked by the trigger molb_check_object_change, which runs as the user. The listing places
//   (pos, position) and the counts behind paging are kept by triggers that run as the store's
//   owner, so no user can disturb them.

#include <string>

namespace Dbscout::Molb {

// What object_catalog shows of an object only where the role may read it (a.readable), in
// ObjectRow's column order after the name; every version of the view has them.
inline const std::string kCatalogColumns = R"SQL(         CASE WHEN a.readable THEN o.name END AS name,
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
)SQL";

inline const std::string kPgSchemaV1 = std::string(R"SQL(
CREATE TABLE molb_schema(version integer NOT NULL);
INSERT INTO molb_schema VALUES (0);

CREATE TABLE kinds(
  kind integer PRIMARY KEY,
  object_count bigint NOT NULL DEFAULT 0);
INSERT INTO kinds(kind) VALUES (1), (2), (14), (15), (17);
CREATE TABLE users(
  name text PRIMARY KEY,
  primary_group text NOT NULL DEFAULT '');
CREATE TABLE groups(name text PRIMARY KEY);
CREATE TABLE group_members(
  user_name text NOT NULL REFERENCES users(name) ON DELETE CASCADE,
  group_name text NOT NULL REFERENCES groups(name) ON DELETE CASCADE,
  PRIMARY KEY(user_name, group_name));

-- Whole words of the searched columns: every run of letters and digits (any non-ASCII byte
-- counts as a letter), in lower case, as the local store's full-text index splits them.
CREATE FUNCTION molb_words(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE
  RETURN lower(regexp_replace($1, '[^0-9A-Za-z\u0080-\U0010FFFF]+', ' ', 'g'));

CREATE TABLE objects(
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  kind integer NOT NULL REFERENCES kinds(kind),
  pos bigint NOT NULL,
  name text NOT NULL,
  accession text NOT NULL DEFAULT '',
  arcname text NOT NULL DEFAULT '',
  owner text NOT NULL DEFAULT '',
  grp text NOT NULL DEFAULT '',
  mode text NOT NULL DEFAULT 'wrr' CHECK (mode ~ '^[-rw]{3}$'),
  checkout_by text NOT NULL DEFAULT '',
  checkout_comment text NOT NULL DEFAULT '',
  revision integer NOT NULL DEFAULT 1,
  created bigint NOT NULL,
  modified bigint NOT NULL,
  length bigint, topology text, organism text, description text,
  authors text, journal text, year text,
  program text, dbname text, hits bigint, run_date text,
  analysis_type text, source text,
  words tsvector GENERATED ALWAYS AS (to_tsvector('simple'::regconfig, molb_words(
    name || ' ' || accession || ' ' || coalesce(description, '') || ' ' ||
    coalesce(organism, '')))) STORED,
  UNIQUE(kind, name),
  UNIQUE(kind, pos));
-- One full-text index per kind, so that a search never sorts out the other kinds' matches.
CREATE INDEX objects_words_1 ON objects USING gin(words) WHERE kind = 1;
CREATE INDEX objects_words_2 ON objects USING gin(words) WHERE kind = 2;
CREATE INDEX objects_words_14 ON objects USING gin(words) WHERE kind = 14;
CREATE INDEX objects_words_15 ON objects USING gin(words) WHERE kind = 15;
CREATE INDEX objects_words_17 ON objects USING gin(words) WHERE kind = 17;
CREATE TABLE revisions(
  object_id bigint NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  revision integer NOT NULL,
  data bytea NOT NULL,
  arcname text NOT NULL DEFAULT '',
  author text NOT NULL DEFAULT '',
  comment text NOT NULL DEFAULT '',
  created bigint NOT NULL,
  PRIMARY KEY(object_id, revision));
CREATE TABLE links(
  parent_id bigint NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  child_id bigint NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  derivation text NOT NULL DEFAULT '',
  PRIMARY KEY(parent_id, child_id));
CREATE INDEX links_child ON links(child_id, parent_id);
CREATE TABLE subsets(
  id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  kind integer NOT NULL REFERENCES kinds(kind),
  name text NOT NULL,
  owner text NOT NULL DEFAULT '',
  grp text NOT NULL DEFAULT '',
  mode text NOT NULL DEFAULT 'wrr' CHECK (mode ~ '^[-rw]{3}$'),
  member_count bigint NOT NULL DEFAULT 0,
  UNIQUE(kind, name));
CREATE TABLE subset_members(
  subset_id bigint NOT NULL REFERENCES subsets(id) ON DELETE CASCADE,
  position bigint NOT NULL,
  object_id bigint NOT NULL REFERENCES objects(id) ON DELETE CASCADE,
  PRIMARY KEY(subset_id, position),
  UNIQUE(subset_id, object_id));
CREATE INDEX subset_members_object ON subset_members(object_id);

-- Rights, as the handler works them out: the owner's, else the group's, else everybody's. The
-- bodies are fixed when they are made and inlined where they are used, so a search can afford
-- them on every matching row.
CREATE FUNCTION molb_in_group(g text) RETURNS boolean LANGUAGE sql STABLE PARALLEL SAFE
  RETURN g <> '' AND coalesce(pg_catalog.pg_has_role(current_user,
                                  pg_catalog.to_regrole(pg_catalog.quote_ident(g)), 'MEMBER'),
                              false);
CREATE FUNCTION molb_right_of(who name, owner text, grp text, mode text) RETURNS text
  LANGUAGE sql STABLE PARALLEL SAFE
  RETURN pg_catalog.substr(mode, CASE WHEN owner = who THEN 1
                                      WHEN grp <> '' AND coalesce(pg_catalog.pg_has_role(who,
                                           pg_catalog.to_regrole(pg_catalog.quote_ident(grp)),
                                           'MEMBER'), false) THEN 2
                                      ELSE 3 END, 1);
CREATE FUNCTION molb_right(owner text, grp text, mode text) RETURNS text LANGUAGE sql STABLE
  PARALLEL SAFE
  RETURN public.molb_right_of(current_user, owner, grp, mode);
-- The store's owner and roles above row-level security keep every right.
CREATE FUNCTION molb_is_admin() RETURNS boolean LANGUAGE sql STABLE
  RETURN EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = current_user
                 AND (r.rolsuper OR r.rolbypassrls
                      OR pg_catalog.pg_has_role(current_user,
                           (SELECT c.relowner FROM pg_catalog.pg_class c
                            WHERE c.oid = 'public.objects'::pg_catalog.regclass), 'MEMBER')));

-- What anyone may know of every object, as a listing shows it: its place, its mode and what the
-- asking role may do with it; the rest only where the role may read it. The hidden columns are
-- blanked in the view's own output, so no condition of a query on it can see them, and the view
-- needs no security barrier: a page is then one index range over the places, with the rights
-- worked out for its rows only.
CREATE VIEW object_catalog AS
  SELECT o.id, o.kind, o.pos, o.mode, a.access,
)SQL") + kCatalogColumns + R"SQL(  FROM objects o,
       LATERAL (SELECT r.access, r.access IN ('r', 'w') AS readable
                FROM (SELECT molb_right(o.owner, o.grp, o.mode) AS access) r) a;

-- Places a new object at the end of its kind's listing. Only the store's owner may name the
-- place itself (an import reserves places for many objects at once: updating the count once per
-- object would make a long import slower with every object).
CREATE FUNCTION molb_place_object() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
  SET search_path = pg_catalog, public AS $$
BEGIN
  IF NEW.pos IS NULL THEN
    UPDATE kinds SET object_count = object_count + 1 WHERE kind = NEW.kind
      RETURNING object_count - 1 INTO NEW.pos;
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER objects_place BEFORE INSERT ON objects
  FOR EACH ROW EXECUTE FUNCTION molb_place_object();

-- Which changes of an object a user may make, beyond the rows and columns they may touch at all.
CREATE FUNCTION molb_check_object_change() RETURNS trigger LANGUAGE plpgsql
  SET search_path = pg_catalog, public AS $$
DECLARE
  granted text := molb_right(OLD.owner, OLD.grp, OLD.mode);
  fixed text[] := ARRAY['mode', 'checkout_by', 'checkout_comment', 'words'];
BEGIN
  IF molb_is_admin() THEN
    RETURN NEW;
  END IF;
  IF OLD.checkout_by NOT IN ('', current_user) THEN
    RAISE EXCEPTION USING ERRCODE = 'MB409',
      MESSAGE = format('"%s" is checked out by %s.', OLD.name, OLD.checkout_by);
  END IF;
  IF NEW.checkout_by <> OLD.checkout_by AND NOT (NEW.checkout_by = '' OR
     (NEW.checkout_by = current_user AND granted = 'w')) THEN
    RAISE EXCEPTION USING ERRCODE = 'MB403',
      MESSAGE = format('You may not check out "%s".', OLD.name);
  END IF;
  IF NEW.checkout_comment <> '' AND NEW.checkout_by = '' THEN
    RAISE EXCEPTION USING ERRCODE = 'MB403',
      MESSAGE = format('"%s" is not checked out; it takes no comment.', OLD.name);
  END IF;
  IF NEW.mode <> OLD.mode AND (OLD.owner <> current_user OR OLD.checkout_by <> '') THEN
    RAISE EXCEPTION USING ERRCODE = 'MB403',
      MESSAGE = format('Only the owner may change the access rights of "%s", while nobody '
                       'holds it.', OLD.name);
  END IF;
  IF granted <> 'w' AND to_jsonb(NEW) - fixed <> to_jsonb(OLD) - fixed THEN
    RAISE EXCEPTION USING ERRCODE = 'MB403',
      MESSAGE = format('You may not change "%s".', OLD.name);
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER objects_check_change BEFORE UPDATE ON objects
  FOR EACH ROW EXECUTE FUNCTION molb_check_object_change();

-- A revision follows the object's current one, so the row the object names is always there. It
-- runs as the user, so an object it may not read tells nothing of its revisions.
CREATE FUNCTION molb_check_revision() RETURNS trigger LANGUAGE plpgsql
  SET search_path = pg_catalog, public AS $$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM objects WHERE id = NEW.object_id AND revision = NEW.revision) THEN
    RAISE EXCEPTION USING ERRCODE = 'MB409',
      MESSAGE = 'A new revision must be the object''s current revision.';
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER revisions_check BEFORE INSERT ON revisions
  FOR EACH ROW EXECUTE FUNCTION molb_check_revision();

-- Appends a member at the end of its subset, once; as for objects, only the store's owner may
-- name the place itself.
CREATE FUNCTION molb_place_member() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
  SET search_path = pg_catalog, public AS $$
BEGIN
  IF NEW.position IS NOT NULL THEN
    RETURN NEW;
  END IF;
  UPDATE subsets SET member_count = member_count + 1
    WHERE id = NEW.subset_id
      AND NOT EXISTS (SELECT 1 FROM subset_members m
                      WHERE m.subset_id = NEW.subset_id AND m.object_id = NEW.object_id)
    RETURNING member_count - 1 INTO NEW.position;
  IF NOT FOUND THEN
    RETURN NULL;
  END IF;
  RETURN NEW;
END $$;
CREATE TRIGGER subset_members_place BEFORE INSERT ON subset_members
  FOR EACH ROW EXECUTE FUNCTION molb_place_member();

-- Locks objects in id order before an operation reads and checks them, so that two clients
-- never both pass the same check; the lock tells nothing and changes nothing.
CREATE FUNCTION molb_lock_objects(ids bigint[]) RETURNS void LANGUAGE sql SECURITY DEFINER
  SET search_path = pg_catalog, public
  BEGIN ATOMIC
    SELECT count(*) FROM (SELECT 1 FROM objects WHERE id = ANY(ids) ORDER BY id FOR UPDATE) l;
  END;

CREATE FUNCTION molb_lock_subsets(ids bigint[]) RETURNS void LANGUAGE sql SECURITY DEFINER
  SET search_path = pg_catalog, public
  BEGIN ATOMIC
    SELECT count(*) FROM (SELECT 1 FROM subsets WHERE id = ANY(ids) ORDER BY id FOR UPDATE) l;
  END;

-- The objects of a kind whose words match query and that the login role may read: what a search
-- finds, found through the kind's full-text index, which row-level security would not let serve
-- @@ (not leakproof). It runs as the store's owner and answers for session_user.
CREATE FUNCTION molb_matches(kind integer, query tsquery) RETURNS SETOF bigint LANGUAGE plpgsql
  STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
BEGIN
  -- The kind written out, so that the server picks the kind's own index.
  RETURN QUERY EXECUTE format('SELECT o.id FROM objects o WHERE o.kind = %s AND o.words @@ $1 '
                              'AND molb_right_of(session_user, o.owner, o.grp, o.mode) '
                              'IN (''r'', ''w'')', kind)
    USING query;
END $$;

-- The objects of a kind (0: any kind, at most two) with the name: a request that names an object
-- learns whether it exists, as a save that finds the name taken does, and no more.
CREATE FUNCTION molb_objects_named(kind integer, name text) RETURNS SETOF bigint LANGUAGE sql
  STABLE SECURITY DEFINER SET search_path = pg_catalog, public
  BEGIN ATOMIC
    SELECT o.id FROM objects o
    WHERE o.kind = ANY (CASE WHEN molb_objects_named.kind = 0 THEN ARRAY[1, 2, 14, 15, 17]
                             ELSE ARRAY[molb_objects_named.kind] END)
      AND o.name = molb_objects_named.name
    ORDER BY o.id LIMIT 2;
  END;

-- Whether a subset of the kind has the name: a save into it learns that, and no more.
CREATE FUNCTION molb_subset_exists(kind integer, name text) RETURNS boolean LANGUAGE sql STABLE
  SECURITY DEFINER SET search_path = pg_catalog, public
  RETURN EXISTS (SELECT 1 FROM subsets s
                 WHERE s.kind = molb_subset_exists.kind AND s.name = molb_subset_exists.name);

ALTER TABLE objects ENABLE ROW LEVEL SECURITY;
CREATE POLICY objects_read ON objects FOR SELECT
  USING (molb_right(owner, grp, mode) IN ('r', 'w'));
CREATE POLICY objects_add ON objects FOR INSERT
  WITH CHECK (owner = current_user AND (grp = '' OR molb_in_group(grp)));
-- Writers change objects; an owner changes the mode, a holder gives the object back. Which
-- change is which is the trigger's business.
CREATE POLICY objects_change ON objects FOR UPDATE
  USING (molb_right(owner, grp, mode) = 'w'
         OR (molb_right(owner, grp, mode) = 'r'
             AND (owner = current_user OR checkout_by = current_user)))
  WITH CHECK (true);
ALTER TABLE revisions ENABLE ROW LEVEL SECURITY;
CREATE POLICY revisions_read ON revisions FOR SELECT
  USING (EXISTS (SELECT 1 FROM objects o WHERE o.id = object_id));
CREATE POLICY revisions_add ON revisions FOR INSERT
  WITH CHECK (author = current_user
              AND EXISTS (SELECT 1 FROM objects o WHERE o.id = object_id
                          AND molb_right(o.owner, o.grp, o.mode) = 'w'
                          AND o.checkout_by IN ('', current_user)));
ALTER TABLE links ENABLE ROW LEVEL SECURITY;
CREATE POLICY links_read ON links FOR SELECT
  USING (EXISTS (SELECT 1 FROM objects o WHERE o.id = parent_id));
CREATE POLICY links_cut ON links FOR DELETE
  USING (EXISTS (SELECT 1 FROM objects o WHERE o.id = parent_id
                 AND molb_right(o.owner, o.grp, o.mode) = 'w'));
ALTER TABLE subsets ENABLE ROW LEVEL SECURITY;
CREATE POLICY subsets_read ON subsets FOR SELECT
  USING (molb_right(owner, grp, mode) IN ('r', 'w'));
CREATE POLICY subsets_add ON subsets FOR INSERT
  WITH CHECK (owner = current_user AND (grp = '' OR molb_in_group(grp)));
CREATE POLICY subsets_change ON subsets FOR UPDATE
  USING (owner = current_user AND molb_right(owner, grp, mode) IN ('r', 'w'))
  WITH CHECK (true);
ALTER TABLE subset_members ENABLE ROW LEVEL SECURITY;
CREATE POLICY subset_members_read ON subset_members FOR SELECT
  USING (EXISTS (SELECT 1 FROM subsets s WHERE s.id = subset_id));
CREATE POLICY subset_members_add ON subset_members FOR INSERT
  WITH CHECK (EXISTS (SELECT 1 FROM subsets s WHERE s.id = subset_id
                      AND molb_right(s.owner, s.grp, s.mode) = 'w')
              AND EXISTS (SELECT 1 FROM objects o WHERE o.id = object_id));

-- Only the database's molb users may connect; they get exactly these privileges.
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
REVOKE ALL ON FUNCTION molb_lock_objects(bigint[]), molb_lock_subsets(bigint[]),
  molb_objects_named(integer, text), molb_subset_exists(integer, text),
  molb_matches(integer, tsquery) FROM PUBLIC;
DO $$
DECLARE
  users text := 'molb.' || current_database();
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = users) THEN
    EXECUTE format('CREATE ROLE %I NOLOGIN', users);
  END IF;
  EXECUTE format('REVOKE ALL ON DATABASE %I FROM PUBLIC', current_database());
  EXECUTE format('GRANT CONNECT ON DATABASE %I TO %I', current_database(), users);
  EXECUTE format('GRANT SELECT ON molb_schema, kinds, users, groups, group_members,
                  object_catalog, objects, revisions, links, subsets, subset_members TO %I',
                 users);
  EXECUTE format('GRANT INSERT (kind, name, accession, arcname, owner, grp, mode, created,
                  modified, length, topology, organism, description, authors, journal, year,
                  program, dbname, hits, run_date, analysis_type, source) ON objects TO %I',
                 users);
  EXECUTE format('GRANT UPDATE (checkout_by, checkout_comment, revision, modified, arcname,
                  accession, length, topology, organism, description, authors, journal, year,
                  program, dbname, hits, run_date, analysis_type, source, mode) ON objects TO %I',
                 users);
  EXECUTE format('GRANT INSERT (object_id, revision, data, arcname, author, comment, created)
                  ON revisions TO %I', users);
  EXECUTE format('GRANT DELETE ON links TO %I', users);
  EXECUTE format('GRANT INSERT (kind, name, owner, grp, mode), UPDATE (mode) ON subsets TO %I',
                 users);
  EXECUTE format('GRANT INSERT (subset_id, object_id) ON subset_members TO %I', users);
  EXECUTE format('GRANT EXECUTE ON FUNCTION molb_lock_objects(bigint[]),
                  molb_lock_subsets(bigint[]), molb_objects_named(integer, text),
                  molb_subset_exists(integer, text), molb_matches(integer, tsquery) TO %I',
                 users);
END $$;
)SQL";

} // namespace Dbscout::Molb
