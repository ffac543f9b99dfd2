"""The stand-in's answers to esearch, esummary and efetch, and its History server.

Recorded answers are served as NCBI sent them (paged by retstart and retmax); every other answer
is written here in NCBI's documented shapes and is synthetic. tests/fixtures/ncbi/behaviours.txt
names the document or public report behind each behaviour.
"""

import re
import secrets
import threading
import time

from standin_records import escape
from standin_terms import Listed, Query, Unsupported

XML_HEAD = '<?xml version="1.0" encoding="UTF-8" ?>\n'
SEARCH_DOCTYPE = ('<!DOCTYPE eSearchResult PUBLIC "-//NLM//DTD esearch 20060628//EN" '
                  '"http://127.0.0.1:9/eutils/dtd/20060628/esearch.dtd">\n')
SUMMARY_V1_DOCTYPE = ('<!DOCTYPE eSummaryResult PUBLIC "-//NLM//DTD eSummaryResult, 29 October '
                      '2004//EN" "http://127.0.0.1:9/entrez/query/DTD/eSummary_041029.dtd">\n')
SUMMARY_V2_DOCTYPE = ('<!DOCTYPE eSummaryResult PUBLIC "-//NLM//DTD eSummaryResult//EN" '
                      '"http://127.0.0.1:9/entrez/query/DTD/eSummaryDTD/eSummary_%s.dtd">\n')
# PubMed's ESearch lists at most the first 9,999 records of a search.
PUBMED_WINDOW = 9999
RETSTART_ERROR = (
    "Search Backend failed: Exception:\n'retstart' cannot be larger than 9998. For PubMed, "
    "ESearch can only retrieve the first 9,999 records matching the query. To obtain more than "
    "9,999 PubMed records, consider using EDirect that contains additional logic to batch PubMed "
    "search results automatically so that an arbitrary number can be retrieved.")
# NCBI's own failures where a test asks for one: an ESearch backend's, an expired History set's
# (public reports quoted in behaviours.txt).
FETCH_ERROR = "Unable to obtain query #1"
# How long the History server keeps a set: NCBI names no time; its support's rule of thumb.
HISTORY_SECONDS = 8 * 60 * 60


def number(params, name, default):
    try:
        return max(0, int(params.get(name, [str(default)])[0]))
    except ValueError:
        return default


def error_document(root, text):
    return (XML_HEAD + "<%s>\n\t<ERROR>%s</ERROR>\n</%s>\n" % (root, escape(text), root)).encode()


class History:
    """The Entrez History server: sets of records under a WebEnv and a query key."""

    def __init__(self):
        self.lock = threading.Lock()
        self.environments = {}  # WebEnv -> (created, [(database, set)])

    def post(self, database, found, webenv):
        with self.lock:
            entry = self.environments.get(webenv)
            if entry is None:
                webenv = "MCID_" + secrets.token_hex(12)
                entry = self.environments[webenv] = (time.monotonic(), [])
            entry[1].append((database, found))
            return webenv, len(entry[1])

    def find(self, webenv, key):
        with self.lock:
            entry = self.environments.get(webenv)
            if entry is None or time.monotonic() - entry[0] > HISTORY_SECONDS:
                self.environments.pop(webenv, None)
                return None
            return entry[1][key - 1] if 1 <= key <= len(entry[1]) else None

    def forget(self):
        with self.lock:
            self.environments.clear()


class Answers:
    def __init__(self, data):
        self.data = data
        self.history = History()

    def error(self, utility):
        """NCBI's ERROR answer of utility."""
        if utility == "esearch.fcgi":
            return error_document("eSearchResult", RETSTART_ERROR)
        if utility == "efetch.fcgi":
            return error_document("eFetchResult", FETCH_ERROR)
        return self.data.error

    # --- esearch ----------------------------------------------------------------------------
    def search(self, params):
        database = params.get("db", ["pubmed"])[0]
        term = params.get("term", [""])[0]
        start = number(params, "retstart", 0)
        count = number(params, "retmax", 20)
        recorded = self.data.searches.get((database, term))
        query = Query(self.data, database, term)
        try:
            found = Listed(re.findall(r"<Id>(\d+)</Id>", recorded)) if recorded else query.run()
        except Unsupported as reason:
            return error_document("eSearchResult", "Search Backend failed: %s" % reason)
        total = found.count()
        if params.get("rettype", [""])[0] == "count":
            return (XML_HEAD + SEARCH_DOCTYPE +
                    "<eSearchResult>\n\t<Count>%d</Count>\n</eSearchResult>\n" % total).encode()
        warnings = []
        if database == "pubmed":
            if start > PUBMED_WINDOW - 1 and total > PUBMED_WINDOW:
                return error_document("eSearchResult", RETSTART_ERROR)
            if start + count > PUBMED_WINDOW:
                count = max(0, PUBMED_WINDOW - start)
                warnings.append("Restrictions achieved. start and count adjusted to %d, %d"
                                % (start, count))
        ids = self.listed_ids(database, found.page(start, count),
                              params.get("idtype", [""])[0] == "acc")
        history = ""
        if params.get("usehistory", [""])[0] == "y":
            webenv, key = self.history.post(database, found, params.get("WebEnv", [""])[0])
            history = "\t<QueryKey>%d</QueryKey>\n\t<WebEnv>%s</WebEnv>\n" % (key, webenv)
        id_list = "\t<IdList>\n%s\t</IdList>\n" % "".join("\t\t<Id>%s</Id>\n" % i for i in ids)
        if recorded:
            return self.recorded_search(recorded, total, start, len(ids), history, id_list)
        if total == 0:
            warnings.append("No items found.")
        return (XML_HEAD + SEARCH_DOCTYPE + "<eSearchResult>\n\t<Count>%d</Count>\n"
                "\t<RetMax>%d</RetMax>\n\t<RetStart>%d</RetStart>\n%s%s\t<TranslationSet/>\n"
                "\t<QueryTranslation>%s</QueryTranslation>\n%s%s</eSearchResult>\n" % (
                    total, len(ids), start, history, id_list, escape(query.translation),
                    self.listed("ErrorList", "PhraseNotFound", query.not_found),
                    self.listed("WarningList", "OutputMessage", warnings))).encode()

    @staticmethod
    def listed(outer, inner, texts):
        if not texts:
            return ""
        return "\t<%s>\n%s\t</%s>\n" % (
            outer, "".join("\t\t<%s>%s</%s>\n" % (inner, escape(t), inner) for t in texts), outer)

    def listed_ids(self, database, ids, accessions):
        if database == "pubmed" or accessions:
            return ids
        records = self.data.sequences[database].by_version
        return [records[i.upper()].gi for i in ids]

    @staticmethod
    def recorded_search(text, total, start, count, history, id_list):
        text = re.sub(r"\t<IdList>.*?</IdList>\n", lambda _: id_list, text, flags=re.S)
        text = re.sub(r"<RetMax>\d+</RetMax>", "<RetMax>%d</RetMax>" % count, text)
        text = re.sub(r"<RetStart>\d+</RetStart>\n", lambda _: "<RetStart>%d</RetStart>\n%s" % (
            start, history), text)
        text = re.sub(r"<Count>\d+</Count>", "<Count>%d</Count>" % total, text, count=1)
        return text.encode("latin-1")

    # --- esummary ---------------------------------------------------------------------------
    def summaries(self, params):
        database = params.get("db", ["pubmed"])[0]
        version2 = params.get("version", [""])[0] == "2.0"
        uids = self.uids(params)
        if isinstance(uids, bytes):
            return uids
        if database == "pubmed":
            if version2:
                return error_document("eSummaryResult",
                                      "the stand-in serves PubMed summaries in version 1.0 only")
            docs = [self.pubmed_docsum(uid) for uid in uids]
            return (XML_HEAD + SUMMARY_V1_DOCTYPE + "<eSummaryResult>\n%s</eSummaryResult>\n" %
                    "".join(d for d in docs if d)).encode()
        sequences = self.data.sequences[database]
        if not version2:
            docs = [self.sequence_docsum(sequences.summarised(uid)) for uid in uids]
            return (XML_HEAD + SUMMARY_V1_DOCTYPE + "<eSummaryResult>\n%s</eSummaryResult>\n" %
                    "".join(d for d in docs if d)).encode()
        docs = []
        for uid in uids:
            record = sequences.summarised(uid)
            docs.append(record.v2 or self.document_summary(record) if record else
                        '<DocumentSummary uid="%s">\n\t<error>cannot get document summary</error>\n'
                        '</DocumentSummary>\n' % escape(uid))
        return (XML_HEAD + SUMMARY_V2_DOCTYPE % database +
                '<eSummaryResult>\n<DocumentSummarySet status="OK">\n%s</DocumentSummarySet>\n'
                '</eSummaryResult>\n' % "".join(docs)).encode()

    def uids(self, params):
        """The ids asked for, by list or from the History server; an error document when the
        History no longer holds the set."""
        if "WebEnv" not in params:
            return [u for u in params.get("id", [""])[0].split(",") if u]
        key = number(params, "query_key", 1)
        entry = self.history.find(params["WebEnv"][0], key)
        if entry is None:
            return error_document("eSummaryResult", "Unable to obtain query #%d" % key)
        database, found = entry
        start = number(params, "retstart", 0)
        count = number(params, "retmax", 20)
        if database == "pubmed":  # the History holds what ESearch can list of a PubMed search
            count = max(0, min(count, PUBMED_WINDOW - start))
        return found.page(start, count)

    def pubmed_docsum(self, uid):
        recorded = self.data.pubmed_docsums.get(uid)
        if recorded or not uid.isdigit():
            return recorded
        synthetic = self.data.synthetic
        i = synthetic.index_of(int(uid))
        if i is None:
            return None
        date = synthetic.date(i)
        return ("<DocSum>\n\t<Id>%s</Id>\n\t<Item Name=\"PubDate\" Type=\"Date\">%d %s %d</Item>\n"
                "\t<Item Name=\"Source\" Type=\"String\">J Synth %d</Item>\n"
                "\t<Item Name=\"AuthorList\" Type=\"List\">\n"
                "\t\t<Item Name=\"Author\" Type=\"String\">Author%d A</Item>\n\t</Item>\n"
                "\t<Item Name=\"Title\" Type=\"String\">Synthetic citation %s of the stand-in's "
                "PubMed.</Item>\n</DocSum>\n" % (uid, date.year, date.strftime("%b"), date.day,
                                                 i % 13, i % 97, uid))

    @staticmethod
    def summary_fields(record):
        """A record's summary fields as (version 1.0 name, version 2.0 name, type, value)."""
        return [("Caption", "Caption", "String", record.accession),
                ("Title", "Title", "String", escape(record.title)),
                ("Extra", "Extra", "String", "gi|%s|gb|%s|" % (record.gi, record.accession_version)),
                ("Gi", "Gi", "Integer", record.gi),
                ("CreateDate", "CreateDate", "String", record.update),
                ("UpdateDate", "UpdateDate", "String", record.update),
                ("TaxId", "TaxId", "Integer", record.taxid),
                ("Length", "Slen", "Integer", record.length),
                (None, "Organism", "String", escape(record.organism)),
                (None, "AccessionVersion", "String", record.accession_version)]

    def sequence_docsum(self, record):
        if record is None or record.v1:
            return record.v1 if record else None
        return "<DocSum>\n\t<Id>%s</Id>\n%s</DocSum>\n" % (record.gi, "".join(
            '\t<Item Name="%s" Type="%s">%s</Item>\n' % (name, kind, value)
            for name, _, kind, value in self.summary_fields(record) if name))

    def document_summary(self, record):
        return '<DocumentSummary uid="%s">\n%s</DocumentSummary>\n' % (record.gi, "".join(
            "\t<%s>%s</%s>\n" % (name, value, name)
            for _, name, _, value in self.summary_fields(record)))

    # --- efetch -----------------------------------------------------------------------------
    def records(self, params):
        """The records asked for, in the order asked, each once; those it does not know are
        left out without a word."""
        database = params.get("db", ["pubmed"])[0]
        if "WebEnv" in params:
            return None
        texts = []
        for uid in dict.fromkeys(u for u in params.get("id", [""])[0].split(",") if u):
            if database == "pubmed":
                text = self.data.medline.get(uid)
                i = None if text or not uid.isdigit() else self.data.synthetic.index_of(int(uid))
                texts.append(text or (self.data.synthetic.medline(i) if i is not None else None))
            else:
                record = self.data.sequences[database].fetched(uid)
                texts.append(record.text if record else None)
        return "\n".join(t for t in texts if t).encode("utf-8")
