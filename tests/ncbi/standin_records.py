"""The stand-in's databases: NCBI's recorded records and answers, and synthetic records at scale.

tests/fixtures/ncbi/behaviours.txt says which NCBI document or public report each behaviour of the
stand-in follows; answers.txt says which recorded answer serves which request.
"""

import bisect
import datetime
import gzip
import os
import re

MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
# NCBI Taxonomy's names of the taxa the recorded summaries name only by number.
TAXON_NAMES = {"9606": "Homo sapiens", "3702": "Arabidopsis thaliana", "562": "Escherichia coli",
               "7955": "Danio rerio"}
SYNTHETIC_ORGANISMS = [("Arabidopsis thaliana", "3702"), ("Escherichia coli", "562"),
                       ("Homo sapiens", "9606"), ("Danio rerio", "7955")]


def read_fixture(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        data = f.read()
    return gzip.decompress(data) if name.endswith(".gz") else data


class SequenceRecord:
    """One nucleotide or protein record: what esummary and efetch tell of it."""

    def __init__(self, accession_version, gi, title, organism, taxid, length, update):
        self.accession_version = accession_version
        self.accession = accession_version.split(".")[0]
        self.gi = gi  # "" for a record without a GI: not indexed in Entrez
        self.title = title
        self.organism = organism
        self.taxid = taxid
        self.length = length
        self.update = update  # YYYY/MM/DD
        self.text = None      # the flat file efetch serves; None when none is recorded
        self.v1 = None        # a recorded version 1.0 DocSum
        self.v2 = None        # a recorded version 2.0 DocumentSummary


def genbank_date(text):
    """'19-JAN-2000' as NCBI's summaries write dates: 2000/01/19."""
    day, month, year = text.split("-")
    return "%s/%02d/%s" % (year, MONTHS.index(month.upper()) + 1, day)


def flat_file_records(text):
    """The records of a GenBank or GenPept file, as (fields, text) with text ending in '//'."""
    records = []
    for block in re.findall(r"LOCUS.*?\n//\n?", text, re.S):
        def field(name):
            found = re.search(r"^%s +(.*(?:\n {12}.*)*)" % name, block, re.M)
            return re.sub(r"\s+", " ", found.group(1)).strip() if found else ""
        locus = block.split("\n", 1)[0].split()
        version = field("VERSION").split()
        gi = re.search(r"GI:(\d+)", field("VERSION"))
        taxon = re.search(r'/db_xref="taxon:(\d+)"', block)
        organism = re.search(r"^  ORGANISM  (.*)$", block, re.M)
        title = field("DEFINITION")
        record = SequenceRecord(version[0] if version else locus[1], gi.group(1) if gi else "",
                                title[:-1] if title.endswith(".") else title,
                                organism.group(1).strip() if organism else "",
                                taxon.group(1) if taxon else "", locus[2], genbank_date(locus[-1]))
        record.text = block if block.endswith("\n") else block + "\n"
        records.append(record)
    return records


def docsum_records(text):
    """Sequence records of recorded version 1.0 DocSums (no flat file is recorded for them)."""
    records = []
    for doc in re.findall(r"<DocSum>.*?</DocSum>", text, re.S):
        items = dict(re.findall(r'<Item Name="(\w+)" Type="\w+">([^<]*)</Item>', doc))
        extra = items.get("Extra", "").split("|")
        record = SequenceRecord(extra[3] if len(extra) > 3 else items["Caption"],
                                items.get("Gi", ""), items["Title"],
                                TAXON_NAMES.get(items.get("TaxId", ""), ""), items.get("TaxId", ""),
                                items.get("Length", ""), items.get("UpdateDate", ""))
        record.v1 = doc + "\n"
        records.append(record)
    return records


def document_summary_records(text):
    """Sequence records of recorded version 2.0 DocumentSummaries."""
    records = []
    for doc in re.findall(r"<DocumentSummary uid.*?</DocumentSummary>", text, re.S):
        def item(name):
            found = re.search(r"<%s>([^<]*)</%s>" % (name, name), doc)
            return found.group(1) if found else ""
        record = SequenceRecord(item("AccessionVersion"), item("Gi"), item("Title"),
                                item("Organism"), item("TaxId"), item("Slen"), item("UpdateDate"))
        record.v2 = doc.strip() + "\n"
        records.append(record)
    return records


def synthetic_sequence(database, number):
    """Synthetic record number of database; every tenth has no GI, as a growing share of NCBI's
    new sequence records has none."""
    protein = database == "protein"
    prefix, gi_base = ("ZQ_", 980000000) if protein else ("ZZ_", 990000000)
    organism, taxid = SYNTHETIC_ORGANISMS[number % len(SYNTHETIC_ORGANISMS)]
    title = ("synthetic protein %d of the stand-in" if protein else
             "Synthetic sequence %d, a record of the stand-in's nucleotide database") % number
    update = "20%02d/%02d/%02d" % (10 + number % 14, 1 + number % 12, 1 + number % 28)
    record = SequenceRecord("%s%06d.1" % (prefix, number),
                            "" if number % 10 == 0 else str(gi_base + number), title, organism,
                            taxid, str(120 + number * 37 % 900), update)
    record.text = synthetic_flat_file(record, protein)
    return record


def synthetic_flat_file(record, protein):
    year, month, day = record.update.split("/")
    residues = ("mkvlaagtrs" if protein else "acgttgcaag") * (int(record.length) // 10 + 1)
    residues = residues[:int(record.length)]
    lines = [
        "LOCUS       %-16s %11s %s    %-6s  linear   SYN %s-%s-%s" % (
            record.accession, record.length, "aa" if protein else "bp",
            "" if protein else "DNA", day, MONTHS[int(month) - 1], year),
        "DEFINITION  %s." % record.title,
        "ACCESSION   %s" % record.accession,
        "VERSION     %s" % record.accession_version,
        "KEYWORDS    .",
        "SOURCE      %s" % record.organism,
        "  ORGANISM  %s" % record.organism,
        "            Synthetic lineage.",
        "FEATURES             Location/Qualifiers",
        "     source          1..%s" % record.length,
        '                     /organism="%s"' % record.organism,
        '                     /db_xref="taxon:%s"' % record.taxid,
        "ORIGIN      ",
    ]
    for start in range(0, len(residues), 60):
        chunk = residues[start:start + 60]
        lines.append("%9d %s" % (start + 1, " ".join(chunk[i:i + 10] for i in range(0, len(chunk), 10))))
    return "\n".join(lines) + "\n//\n"


class SequenceDatabase:
    """A nucleotide or protein database: its records in Entrez's order, and how ids reach them."""

    SYNTHETIC = 2000

    def __init__(self, name):
        self.name = name
        self.records = []
        self.by_version = {}
        self.by_accession = {}
        self.by_gi = {}
        self.position = {}

    def add(self, record):
        known = self.by_version.get(record.accession_version.upper())
        if known:  # a flat file and a recorded summary of the same record: one record
            known.text = known.text or record.text
            known.v1 = known.v1 or record.v1
            known.v2 = known.v2 or record.v2
            return known
        self.position[record.accession_version] = len(self.records)
        self.records.append(record)
        self.by_version[record.accession_version.upper()] = record
        self.by_accession[record.accession.upper()] = record
        if record.gi:
            self.by_gi[record.gi] = record
        return record

    def add_synthetic(self):
        for number in range(1, self.SYNTHETIC + 1):
            self.add(synthetic_sequence(self.name, number))

    def indexed(self):
        """The records Entrez indexes: those with a GI."""
        return [r for r in self.records if r.gi]

    def summarised(self, uid):
        """ESummary's record for a GI or an accession.version; records without a GI have none."""
        record = self.by_gi.get(uid) or self.by_version.get(uid.upper())
        return record if record and record.gi else None

    def fetched(self, uid):
        """EFetch's record for a GI, an accession.version or an accession (its latest version)."""
        return (self.by_gi.get(uid) or self.by_version.get(uid.upper()) or
                self.by_accession.get(uid.upper()))

    def order(self, accession_version):
        """A record's place in Entrez's order, which is the order of the stand-in's list."""
        return self.position[accession_version]


def medline_records(text):
    """MEDLINE records of a file, by PMID."""
    records = {}
    for block in re.split(r"\n\s*\n", text.strip()):
        found = re.search(r"^PMID- (\d+)", block, re.M)
        if found:
            records[found.group(1)] = block.strip() + "\n"
    return records


def medline_fields(record):
    fields = {}
    tag = None
    for line in record.splitlines():
        if line[:4].strip() and line[4:6] == "- ":
            tag = line[:4].strip()
            fields.setdefault(tag, []).append(line[6:])
        elif tag and line.startswith("      "):
            fields[tag][-1] += " " + line.strip()
    return fields


class SyntheticPubmed:
    """A synthetic PubMed of a million citations. Record i has PMID 1 + 37i + (i*i mod 31), which
    grows with i and stays below 2^26 as NCBI's PMIDs do today, and was added to PubMed (its Entrez
    date) on day i * DAYS // SIZE after 1950-01-01, so that the newest record has the highest PMID:
    the two orders agree. Words: 'cancer' finds every record; 'zebrafish' every hundredth."""

    SIZE = 1000000
    DAYS = 27394  # to 2024-12-31
    EPOCH = datetime.date(1950, 1, 1)
    WORDS = {"cancer": (1, 0), "zebrafish": (100, 37)}

    @staticmethod
    def pmid(i):
        return 1 + 37 * i + (i * i) % 31

    def day(self, i):
        return i * self.DAYS // self.SIZE

    def first_at_or_above(self, key, value):
        """The first index whose key (pmid or day) is at least value."""
        return bisect.bisect_left(range(self.SIZE), value, key=key)

    def index_of(self, pmid):
        i = self.first_at_or_above(self.pmid, pmid)
        return i if i < self.SIZE and self.pmid(i) == pmid else None

    def date(self, i):
        return self.EPOCH + datetime.timedelta(days=self.day(i))

    def medline(self, i):
        date = self.date(i)
        pmid = self.pmid(i)
        return ("PMID- %d\nDP  - %d %s %02d\nTI  - Synthetic citation %d of the stand-in's PubMed.\n"
                "AU  - Author%d A\nTA  - J Synth %d\nSO  - J Synth %d. %d;%d:1-%d.\n" % (
                    pmid, date.year, MONTHS[date.month - 1].title(), date.day, pmid, i % 97,
                    i % 13, i % 13, date.year, 1 + i % 40, 2 + i % 9))


def medline_docsum(pmid, record):
    """A version 1.0 PubMed DocSum of the fields of a MEDLINE record."""
    fields = medline_fields(record)

    def first(name):
        return fields.get(name, [""])[0]

    authors = "".join('\t\t<Item Name="Author" Type="String">%s</Item>\n' % escape(a)
                      for a in fields.get("AU", []))
    return ("<DocSum>\n\t<Id>%s</Id>\n\t<Item Name=\"PubDate\" Type=\"Date\">%s</Item>\n"
            "\t<Item Name=\"Source\" Type=\"String\">%s</Item>\n"
            "\t<Item Name=\"AuthorList\" Type=\"List\">\n%s\t</Item>\n"
            "\t<Item Name=\"Title\" Type=\"String\">%s</Item>\n</DocSum>\n"
            % (pmid, escape(first("DP")), escape(first("TA")), authors, escape(first("TI"))))


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class Databases:
    """Everything the stand-in knows, loaded from FIXTURES/answers.txt."""

    def __init__(self, folder):
        self.searches = {}   # (db, term) -> recorded esearch answer
        self.pubmed_docsums = {}
        self.medline = {}
        self.synthetic = SyntheticPubmed()
        self.sequences = {"nucleotide": SequenceDatabase("nucleotide"),
                          "protein": SequenceDatabase("protein")}
        self.error = b""
        for line in open(os.path.join(folder, "answers.txt"), encoding="utf-8"):
            line = line.split("#", 1)[0].rstrip()
            if not line:
                continue
            request, name = line.rsplit("\t", 1)
            self.load(request.split(" "), read_fixture(folder, name))
        for database in self.sequences.values():
            database.add_synthetic()

    def load(self, words, data):
        text = data.decode("latin-1")
        if words[0] == "search":
            self.searches[(words[1], " ".join(words[2:]))] = text
        elif words[0] == "summaries" and words[1] == "pubmed":
            for doc in re.findall(r"<DocSum>.*?</DocSum>", text, re.S):
                uid = re.search(r"<Id>(\d+)</Id>", doc).group(1)
                self.pubmed_docsums[uid] = doc + "\n"
        elif words[0] == "summaries":
            for record in docsum_records(text):
                self.sequences[words[1]].add(record)
        elif words[0] == "summaries2":
            for record in document_summary_records(text):
                self.sequences[words[1]].add(record)
        elif words[0] == "medline":
            for pmid, record in medline_records(data.decode("utf-8")).items():
                self.medline[pmid] = record
                self.pubmed_docsums.setdefault(pmid, medline_docsum(pmid, record))
        elif words[0] == "records":
            for record in flat_file_records(data.decode("utf-8")):
                self.sequences[words[1]].add(record)
        elif words[0] == "error":
            self.error = data
