#pragma once
// Schema 3 of the server store: a search counts and pages its matches from tables kept for it, so
// that its cost follows the page asked for, not the number of matches. The full-text index alone
// cannot count: every match it finds costs a visit to the objects' table.
//
// - object_words: every word (lexeme) of every object, with the object's rights class, in word
//   and id order: a page of a word's matches is one index range, read from the index alone.
// - word_counts: how many objects of each rights class have each word: a one-word search counts
//   its matches from a few rows, whatever their number, for the store's owner and for a user (the
//   classes the user may read are worked out once per search).
// - rights_classes: every (owner, group, mode) an object has had; never shrinks.
// The tables follow the objects through triggers that run as the store's owner; users may not
// read them. A change of an object writes its words at once, and their counts as changes that
// the transaction adds up when it commits: a count row is then changed once per transaction, not
// once per object (an import of many objects with a common word would otherwise pile up versions
// of that one row).

namespace Dbscout::Molb {

inline constexpr const char* kPgSchemaV3 = R"SQL(
-- No object may change while its words are taken over.
LOCK TABLE objects IN SHARE ROW EXCLUSIVE MODE;

CREATE TABLE rights_classes(
  id integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  owner text NOT NULL,
  grp text NOT NULL,
  mode text NOT NULL,
  UNIQUE(owner, grp, mode));
CREATE TABLE object_words(
  kind integer NOT NULL,
  word text NOT NULL,
  id bigint NOT NULL,
  class integer NOT NULL);
CREATE TABLE word_counts(
  kind integer NOT NULL,
  word text NOT NULL,
  class integer NOT NULL,
  n bigint NOT NULL);
-- Count changes not yet added up; empty outside a transaction that changes objects. Nothing in
-- it outlives a commit, so a crash loses nothing by its not being logged.
CREATE UNLOGGED TABLE word_count_changes(
  kind integer NOT NULL,
  word text NOT NULL,
  class integer NOT NULL,
  change integer NOT NULL);
-- A row while a transaction has count changes to add up: its insert queues the adding up for the
-- commit, once, however many objects the transaction changes.
CREATE UNLOGGED TABLE word_counts_due();

INSERT INTO rights_classes(owner, grp, mode) SELECT DISTINCT owner, grp, mode FROM objects;
INSERT INTO object_words
  SELECT o.kind, w.word, o.id, c.id
  FROM objects o JOIN rights_classes c USING (owner, grp, mode),
       unnest(tsvector_to_array(o.words)) w(word);
INSERT INTO word_counts SELECT kind, word, class, count(*) FROM object_words GROUP BY 1, 2, 3;
-- Keys made after the rows are in come out sorted and packed.
ALTER TABLE object_words ADD PRIMARY KEY (kind, word, id) INCLUDE (class);
ALTER TABLE word_counts ADD PRIMARY KEY (kind, word, class);

-- The class of these rights, made when new. Looked up first: an import of many objects of one
-- class then only reads the row.
CREATE FUNCTION molb_rights_class(owner text, grp text, mode text) RETURNS integer
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  class_id integer;
BEGIN
  FOR attempt IN 1 .. 2 LOOP
    SELECT c.id INTO class_id FROM rights_classes c
      WHERE c.owner = molb_rights_class.owner AND c.grp = molb_rights_class.grp
        AND c.mode = molb_rights_class.mode;
    IF class_id IS NOT NULL THEN
      RETURN class_id;
    END IF;
    -- Nothing comes back where a transaction that committed meanwhile made it: read it again.
    INSERT INTO rights_classes(owner, grp, mode) VALUES (owner, grp, mode)
      ON CONFLICT DO NOTHING RETURNING id INTO class_id;
    IF class_id IS NOT NULL THEN
      RETURN class_id;
    END IF;
  END LOOP;
  RAISE EXCEPTION 'The rights class of (%, %, %) cannot be found.', owner, grp, mode;
END $$;

-- Keeps an object's words and their count changes; the counts follow at commit. It runs for every
-- object an import adds: it sets no search_path, whose setting at every call took longer than the
-- rest of its work, and names everything with its schema instead (users may create nothing).
CREATE FUNCTION molb_keep_words() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$
DECLARE
  class_id integer;
BEGIN
  IF TG_OP IN ('UPDATE', 'DELETE') THEN
    WITH gone AS (DELETE FROM public.object_words w
                  WHERE w.kind = OLD.kind AND w.word = ANY (pg_catalog.tsvector_to_array(OLD.words))
                    AND w.id = OLD.id
                  RETURNING w.kind, w.word, w.class)
    INSERT INTO public.word_count_changes SELECT g.kind, g.word, g.class, -1 FROM gone g;
  END IF;
  IF TG_OP IN ('INSERT', 'UPDATE') THEN
    SELECT c.id INTO class_id FROM public.rights_classes c
      WHERE c.owner = NEW.owner AND c.grp = NEW.grp AND c.mode = NEW.mode;
    IF class_id IS NULL THEN
      class_id := public.molb_rights_class(NEW.owner, NEW.grp, NEW.mode);
    END IF;
    WITH added AS (INSERT INTO public.object_words AS w
                   SELECT NEW.kind, l.word, NEW.id, class_id
                   FROM pg_catalog.unnest(pg_catalog.tsvector_to_array(NEW.words)) l(word)
                   RETURNING w.kind, w.word)
    INSERT INTO public.word_count_changes SELECT a.kind, a.word, class_id, 1 FROM added a;
  END IF;
  -- The first change of a transaction queues the adding up for its commit.
  IF pg_catalog.current_setting('molb.word_counts_changed', true) IS DISTINCT FROM 'yes' THEN
    PERFORM pg_catalog.set_config('molb.word_counts_changed', 'yes', true);
    INSERT INTO public.word_counts_due DEFAULT VALUES;
  END IF;
  RETURN NULL;
END $$;
CREATE TRIGGER objects_keep_words AFTER INSERT OR DELETE ON objects
  FOR EACH ROW EXECUTE FUNCTION molb_keep_words();
CREATE TRIGGER objects_keep_changed_words AFTER UPDATE ON objects
  FOR EACH ROW WHEN (OLD.words IS DISTINCT FROM NEW.words OR OLD.kind <> NEW.kind
                     OR OLD.owner <> NEW.owner OR OLD.grp <> NEW.grp OR OLD.mode <> NEW.mode)
  EXECUTE FUNCTION molb_keep_words();

-- Adds up the transaction's count changes when it commits. The counts are changed in their key
-- order, so two transactions committing at once never wait for each other in a circle.
CREATE FUNCTION molb_add_up_word_counts() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
  SET search_path = pg_catalog, public AS $$
DECLARE
  emptied record;
BEGIN
  PERFORM set_config('molb.word_counts_changed', '', true);
  DELETE FROM word_counts_due;
  WITH changes AS (DELETE FROM word_count_changes RETURNING kind, word, class, change),
       summed AS (SELECT s.kind, s.word, s.class, sum(s.change) AS change FROM changes s
                  GROUP BY s.kind, s.word, s.class HAVING sum(s.change) <> 0),
       counted AS (INSERT INTO word_counts AS c
                   SELECT s.kind, s.word, s.class, s.change FROM summed s
                   ORDER BY s.kind, s.word, s.class
                   ON CONFLICT (kind, word, class) DO UPDATE SET n = c.n + excluded.n
                   RETURNING c.kind, c.word, c.class, c.n)
  SELECT array_agg(e.kind) AS kinds, array_agg(e.word) AS words, array_agg(e.class) AS classes
    INTO emptied FROM counted e WHERE e.n = 0;
  DELETE FROM word_counts c
    USING unnest(emptied.kinds, emptied.words, emptied.classes) AS e(kind, word, class)
    WHERE c.kind = e.kind AND c.word = e.word AND c.class = e.class AND c.n = 0;
  RETURN NULL;
END $$;
CREATE CONSTRAINT TRIGGER word_counts_add_up AFTER INSERT ON word_counts_due
  DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION molb_add_up_word_counts();

-- A search for words alone: how many objects of the kind the login role may read match every
-- word (total), and the ids of the page from start, at most size of them, in id order. A word
-- matches as molb_matches matches it: as the phrase of the whole words it splits into. One row
-- per id of the page, each with the total; one row with the total and no id for a page past the
-- end.
-- One word that is one whole word: its counts answer, and the page is one index range. Otherwise
-- the matches are the objects with the word the fewest have that have every other word too,
-- checked against the phrases where a word is one.
CREATE FUNCTION molb_search(kind integer, words text[], start bigint, size integer)
  RETURNS TABLE(total bigint, object_id bigint)
  LANGUAGE plpgsql STABLE SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
  -- The store's owner, a superuser or a role above row-level security reads every object.
  everything boolean := EXISTS (
    SELECT 1 FROM pg_roles r WHERE r.rolname = session_user
      AND (r.rolsuper OR r.rolbypassrls
           OR pg_has_role(session_user, (SELECT c.relowner FROM pg_class c
                                         WHERE c.oid = 'public.objects'::regclass), 'MEMBER')));
  classes integer[];
  query tsquery; -- every word's phrase, where some word is one
  needed text[];
  phrases boolean;
  rarest text;
  matches bigint[];
  found_count bigint;
BEGIN
  -- The classes the role may read, worked out once.
  classes := ARRAY(SELECT c.id FROM rights_classes c
                   WHERE everything
                      OR molb_right_among(c.owner, c.grp, c.mode, session_user,
                                          (SELECT molb_groups_of(session_user))) IN ('r', 'w'));
  phrases := EXISTS (SELECT 1 FROM unnest(words) q(text)
                     WHERE numnode(phraseto_tsquery('simple', molb_words(q.text))) > 1);
  IF phrases THEN
    FOR i IN 1 .. array_length(words, 1) LOOP
      query := coalesce(query && phraseto_tsquery('simple', molb_words(words[i])),
                        phraseto_tsquery('simple', molb_words(words[i])));
    END LOOP;
  END IF;
  needed := ARRAY(SELECT DISTINCT l.word
                  FROM unnest(words) q(text),
                       unnest(tsvector_to_array(to_tsvector('simple', molb_words(q.text)))) l(word));
  IF cardinality(needed) = 0 THEN
    RETURN QUERY SELECT 0::bigint, NULL::bigint;
    RETURN;
  END IF;
  IF cardinality(needed) = 1 AND NOT phrases THEN
    found_count := coalesce((SELECT sum(c.n) FROM word_counts c
                             WHERE c.kind = molb_search.kind AND c.word = needed[1]
                               AND c.class = ANY (classes)), 0);
    RETURN QUERY SELECT found_count, p.id FROM (
      SELECT w.id FROM object_words w
      WHERE w.kind = molb_search.kind AND w.word = needed[1] AND w.class = ANY (classes)
      ORDER BY w.id OFFSET start LIMIT size) p RIGHT JOIN (SELECT) AS one ON true;
    RETURN;
  END IF;
  rarest := (SELECT x.word FROM unnest(needed) x(word)
             ORDER BY (SELECT coalesce(sum(c.n), 0) FROM word_counts c
                       WHERE c.kind = molb_search.kind AND c.word = x.word), x.word
             LIMIT 1);
  matches := ARRAY(
    SELECT w.id FROM object_words w
    WHERE w.kind = molb_search.kind AND w.word = rarest AND w.class = ANY (classes)
      AND NOT EXISTS (SELECT 1 FROM unnest(needed) x(word)
                      WHERE NOT EXISTS (SELECT 1 FROM object_words v
                                        WHERE v.kind = molb_search.kind AND v.word = x.word
                                          AND v.id = w.id))
      AND (NOT phrases OR EXISTS (SELECT 1 FROM objects o
                                  WHERE o.id = w.id AND o.words @@ query))
    ORDER BY w.id);
  found_count := cardinality(matches);
  RETURN QUERY SELECT found_count, p.id
    FROM unnest(matches[least(start, found_count)::integer + 1
                        : least(start + size, found_count)::integer]) p(id)
    RIGHT JOIN (SELECT) AS one ON true;
END $$;

REVOKE ALL ON FUNCTION molb_search(integer, text[], bigint, integer),
  molb_rights_class(text, text, text) FROM PUBLIC;
DO $$
BEGIN
  EXECUTE format('GRANT EXECUTE ON FUNCTION molb_search(integer, text[], bigint, integer) TO %I',
                 'molb.' || current_database());
END $$;
)SQL";

} // namespace Dbscout::Molb
