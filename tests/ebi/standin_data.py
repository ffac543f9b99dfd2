"""The records the EBI stand-in serves and the searches it runs over them.

UniProtKB: the UniProt flat-text entries of tests/fixtures/ebi/uniprot (Biopython's test entries,
as Debian's python-biopython-doc ships them), and a synthetic protein family of SYNTHETIC_ENTRIES
entries that a search for "synthetic" finds, large enough to page far into.
ENA: the EMBL flat files of tests/fixtures/ebi/embl (the same package's nucleotide records) and
SYNTHETIC_ENTRIES synthetic mRNA records that description="*synthetic*" finds.

The query languages are the services' own, as far as the stand-in needs them (UniProt's help,
"Query fields for UniProtKB"; ENA's portal API documentation, "Building a Query"). A query the
stand-in cannot read is refused as the services refuse a bad query: QueryError.
"""

import gzip
import os
import re

SYNTHETIC_ENTRIES = 60000
MONTHS = {m: i + 1 for i, m in enumerate(
    "JAN FEB MAR APR MAY JUN JUL AUG SEP OCT NOV DEC".split())}


class QueryError(Exception):
    pass


def read_text(path):
    with (gzip.open if path.endswith(".gz") else open)(path, "rb") as f:
        return f.read().decode("latin-1")


def records_of(text):
    """The records of a flat file, each ending with its "//" line."""
    out, lines = [], []
    for line in text.splitlines(keepends=True):
        lines.append(line)
        if line.startswith("//"):
            out.append("".join(lines))
            lines = []
    return out


def iso_date(text):
    m = re.match(r"(\d\d)-([A-Z]{3})-(\d{4})", text)
    return "%s-%02d-%s" % (m.group(3), MONTHS[m.group(2)], m.group(1)) if m else ""


def lines_of(record, code):
    return [line[5:].rstrip() for line in record.splitlines() if line.startswith(code + "   ")]


class Entry:
    """One record and the fields a search reads and a listing shows."""

    def __init__(self, text, fields):
        self.text = text
        self.fields = fields

    def words(self):
        return " ".join(str(v) for v in self.fields.values()).lower()


def uniprot_entry(text):
    ident = lines_of(text, "ID")[0].split()
    accession = lines_of(text, "AC")[0].split(";")[0].strip()
    description = " ".join(lines_of(text, "DE"))
    name = re.search(r"(?:RecName|SubName): Full=([^;{]+)", description)
    taxa = re.search(r"NCBI_TaxID=(\d+)", " ".join(lines_of(text, "OX")))
    dates = [iso_date(d) for d in lines_of(text, "DT")]
    genes = re.findall(r"Name=([^;{ ]+)", " ".join(lines_of(text, "GN")))
    return Entry(text, {
        "accession": accession,
        "id": ident[0],
        "protein_name": (name.group(1) if name else description[:60]).strip(),
        "organism_name": " ".join(lines_of(text, "OS")).rstrip("."),
        "organism_id": taxa.group(1) if taxa else "",
        "length": re.search(r"(\d+) AA", lines_of(text, "ID")[0]).group(1),
        "date_modified": dates[-1] if dates else "",
        "reviewed": "true" if "Reviewed;" in ident or "STANDARD;" in ident else "false",
        "structure_3d": "true" if any(d.startswith("PDB;") for d in lines_of(text, "DR"))
        else "false",
        "gene": " ".join(genes),
    })


def synthetic_uniprot(n):
    accession = "S%05d" % n
    name = "SYN%d_HUMAN" % n
    length = 100 + n % 400
    sequence = ("MSYNTHETIC" * (length // 10 + 1))[:length]
    text = ("ID   %-24sReviewed;%14d AA.\nAC   %s;\nDT   05-MAR-2024, entry version %d.\n"
            "DE   RecName: Full=Synthetic protein %d;\nGN   Name=SYN%d;\n"
            "OS   Homo sapiens (Human).\nOX   NCBI_TaxID=9606;\n"
            "SQ   SEQUENCE %5d AA;  0 MW;  0000000000000000 CRC64;\n     %s\n//\n"
            % (name, length, accession, 1 + n % 9, n, n, length, sequence))
    return uniprot_entry(text)


def embl_entry(text):
    ident = lines_of(text, "ID")[0]
    parts = [p.strip() for p in ident.split(";")]
    accession = lines_of(text, "AC")[0].split(";")[0].strip()
    version = re.search(r"SV (\d+)", ident)
    mol = parts[3] if len(parts) > 5 else ""
    quals = re.search(r'/mol_type="([^"]+)"', text)
    updated = [iso_date(d) for d in lines_of(text, "DT") if "updated" in d.lower()]
    taxa = re.search(r'/db_xref="taxon:(\d+)"', text)
    return Entry(text, {
        "accession": accession,
        "sequence_version": version.group(1) if version else "",
        "description": " ".join(lines_of(text, "DE")),
        "scientific_name": " ".join(lines_of(text, "OS")),
        "base_count": re.search(r"(\d+) BP", ident).group(1),
        "last_updated": updated[-1] if updated else "",
        "mol_type": quals.group(1) if quals else mol,
        "dataclass": parts[4] if len(parts) > 5 else "STD",
        "tax_id": taxa.group(1) if taxa else "",
    })


def synthetic_embl(n):
    accession = "SY%06d" % n
    length = 200 + n % 800
    text = ("ID   %s; SV 1; linear; mRNA; STD; HUM; %d BP.\nXX\nAC   %s;\nXX\n"
            "DT   05-MAR-2024 (Rel. 1, Last updated, Version 1)\nXX\n"
            "DE   Homo sapiens synthetic transcript %d\nXX\nOS   Homo sapiens (human)\nXX\n"
            "FT   source          1..%d\nFT                   /mol_type=\"mRNA\"\n"
            "FT                   /db_xref=\"taxon:9606\"\nXX\nSQ   Sequence %d BP;\n"
            "     %s\n//\n" % (accession, length, accession, n, length, length,
                               ("acgt" * (length // 4 + 1))[:length]))
    return embl_entry(text)


class Collection:
    """The fixtures' records and a synthetic family made on demand, in the service's order."""

    def __init__(self, folder, reader, synthetic, word):
        self.real = []
        for name in sorted(os.listdir(folder)):
            for text in records_of(read_text(os.path.join(folder, name))):
                try:
                    self.real.append(reader(text))
                except (AttributeError, IndexError):
                    pass  # not a record the service would hold (a protein in an EMBL file)
        self.synthetic = synthetic
        self.word = word
        self.cache = {}

    def made(self, n):
        if n not in self.cache:
            self.cache[n] = self.synthetic(n)
        return self.cache[n]

    def by_accession(self, name):
        base = name.split(".")[0].upper()
        for entry in self.real:
            if base in (entry.fields["accession"].upper(), entry.fields.get("id", "").upper()):
                return entry
        m = re.fullmatch(r"S(\d{5})|SYN(\d+)_HUMAN|SY(\d{6})", base)
        if m:
            n = int(next(g for g in m.groups() if g))
            if n < SYNTHETIC_ENTRIES:
                return self.made(n)
        return None

    def search(self, matches):
        """The entries a query finds: (count, getter of the i-th)."""
        found = [e for e in self.real if matches(e)]
        family = matches(self.made(0)) and matches(self.made(1))
        total = len(found) + (SYNTHETIC_ENTRIES if family else 0)

        def nth(i):
            return found[i] if i < len(found) else self.made(i - len(found))
        return total, nth


# A small reader of both query languages: words, FIELD:VALUE (UniProt), FIELD="VALUE" and
# tax_eq(N) (ENA), AND, OR, NOT and parentheses.
TOKEN = re.compile(r'\s*(\(|\)|tax_eq\(\d+\)|[A-Za-z_0-9]+\s*=\s*"[^"]*"|[A-Za-z_0-9]+:"[^"]*"'
                   r'|"[^"]*"|[^\s()]+)')


def tokens(query):
    out, at = [], 0
    while query[at:].strip():
        m = TOKEN.match(query, at)
        if not m:
            raise QueryError("query parse error at '%s'" % query[at:at + 20])
        out.append(m.group(1))
        at = m.end()
    return out


def compile_query(query, term):
    items = tokens(query)
    pos = [0]

    def peek():
        return items[pos[0]] if pos[0] < len(items) else None

    def take():
        pos[0] += 1
        return items[pos[0] - 1]

    def unary():
        t = peek()
        if t is None:
            raise QueryError("query ends where a term was expected")
        if t == "NOT":
            take()
            inner = unary()
            return lambda e: not inner(e)
        if t == "(":
            take()
            inner = disjunction()
            if take_if(")") is None:
                raise QueryError("missing closing parenthesis")
            return inner
        if t == ")":
            raise QueryError("unexpected ')'")
        return term(take())

    def take_if(value):
        if peek() == value:
            return take()
        return None

    def conjunction():
        left = unary()
        while peek() not in (None, ")", "OR"):
            take_if("AND")
            right, previous = unary(), left
            left = (lambda a, b: lambda e: a(e) and b(e))(previous, right)
        return left

    def disjunction():
        left = conjunction()
        while take_if("OR"):
            right, previous = conjunction(), left
            left = (lambda a, b: lambda e: a(e) or b(e))(previous, right)
        return left

    matches = disjunction()
    if peek() is not None:
        raise QueryError("unexpected '%s'" % peek())
    return matches


UNIPROT_FIELDS = {"accession": "accession", "id": "id", "gene": "gene",
                  "organism_id": "organism_id", "reviewed": "reviewed",
                  "structure_3d": "structure_3d", "protein_name": "protein_name"}


def uniprot_term(token):
    if ":" in token and not token.startswith('"'):
        field, value = token.split(":", 1)
        if field not in UNIPROT_FIELDS:
            raise QueryError("'%s' is not a valid search field" % field)
        value = value.strip('"').lower()
        key = UNIPROT_FIELDS[field]
        return lambda e: value in e.fields[key].lower().split() or value == e.fields[key].lower()
    word = token.strip('"').lower()
    return lambda e: word in e.words()


ENA_FIELDS = {"accession", "description", "mol_type", "dataclass", "scientific_name", "tax_id"}


def ena_term(token):
    m = re.fullmatch(r"tax_eq\((\d+)\)", token)
    if m:
        return lambda e: e.fields["tax_id"] == m.group(1)
    m = re.fullmatch(r'([A-Za-z_0-9]+)\s*=\s*"([^"]*)"', token)
    if not m:
        raise QueryError("Invalid query: '%s' is not of the form field=\"value\"" % token)
    if m.group(1) not in ENA_FIELDS:
        raise QueryError("Invalid field %s in query" % m.group(1))
    pattern = re.compile("^" + ".*".join(map(re.escape, m.group(2).lower().split("*"))) + "$")
    field = m.group(1)
    return lambda e: bool(pattern.match(e.fields[field].lower()))
