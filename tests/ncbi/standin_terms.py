"""Entrez queries as the stand-in reads them, and the sets of records they find.

The grammar is the part of Entrez's that the handler and its tests use: terms with or without a
[field] tag, quoted phrases, ranges (a:b[uid], 2001/01/01:2002/12/31[edat]), AND, OR, NOT and
parentheses, adjacent terms joined by AND. A query the stand-in cannot read is answered as NCBI
answers a backend failure: an ERROR element.
"""

import datetime
import re

TOKEN = re.compile(r'\s*(\(|\)|"[^"]*"?|\[[^\]]*\]?|[^\s()\[\]"]+)')
OPERATORS = ("AND", "OR", "NOT")
PMID_FIELDS = ("uid", "pmid")
DATE_FIELDS = ("edat", "dp", "pdat", "crdt")
TOP = 10 ** 9


class Unsupported(Exception):
    """A query beyond the stand-in's grammar."""


class Listed:
    """An explicit set: ids in the database's default order."""

    def __init__(self, ids):
        self.ids = ids

    def count(self):
        return len(self.ids)

    def page(self, start, count):
        return self.ids[start:start + count]


class Synthetic:
    """The synthetic PubMed records i in [low, high) with i % modulus == residue, newest first."""

    def __init__(self, pubmed, modulus, residue, low=0, high=None):
        self.pubmed = pubmed
        self.modulus = modulus
        self.residue = residue
        self.low = low
        self.high = pubmed.SIZE if high is None else high

    def last(self):
        """The highest member index, or -1."""
        top = self.high - 1
        top -= (top - self.residue) % self.modulus
        return top if top >= self.low else -1

    def count(self):
        last = self.last()
        return 0 if last < 0 else (last - self.low) // self.modulus + 1

    def page(self, start, count):
        last = self.last()
        indexes = range(last - start * self.modulus, self.low - 1, -self.modulus)
        return [str(self.pubmed.pmid(i)) for i in indexes[:max(0, min(count, self.count() - start))]]

    def contains(self, pmid):
        i = self.pubmed.index_of(int(pmid))
        return i is not None and self.low <= i < self.high and i % self.modulus == self.residue

    def within(self, low, high):
        return Synthetic(self.pubmed, self.modulus, self.residue, max(self.low, low),
                         min(self.high, high))

    def both(self, other):
        for residue in range(self.residue, self.modulus * other.modulus, self.modulus):
            if residue % other.modulus == other.residue:
                modulus = self.modulus * other.modulus
                return Synthetic(self.pubmed, modulus, residue, max(self.low, other.low),
                                 min(self.high, other.high))
        return Synthetic(self.pubmed, 1, 0, 0, 0)


class Range:
    """A [uid] or date range: it narrows the set it is joined to by AND."""

    def __init__(self, field, low, high):
        self.field = field
        self.low = low
        self.high = high


def date_number(text, last):
    """YYYY, YYYY/MM or YYYY/MM/DD as a comparable number; a partial date's first or last day."""
    parts = [int(p) for p in text.split("/")]
    while len(parts) < 3:
        parts.append(31 if last else 1)
    return parts[0] * 10000 + parts[1] * 100 + parts[2]


class Query:
    """One query of one database, read and evaluated."""

    def __init__(self, data, database, text):
        self.data = data
        self.database = database
        self.tokens = [t for t in TOKEN.findall(text) if t]
        self.position = 0
        self.not_found = []
        self.translation = ""

    def run(self):
        found, self.translation = self.expression()
        if isinstance(found, Range):
            found = self.narrowed(self.everything(), found)
        return found

    def peek(self):
        return self.tokens[self.position] if self.position < len(self.tokens) else None

    def expression(self):
        found, words = self.term()
        while self.peek() not in (None, ")"):
            operator = "AND"
            if self.peek() in OPERATORS:
                operator = self.tokens[self.position]
                self.position += 1
            right, right_words = self.term()
            found = self.join(found, operator, right)
            words = "%s %s %s" % (words, operator, right_words)
        return found, words

    def term(self):
        token = self.peek()
        if token is None:
            raise Unsupported("the query ends where a term was expected")
        if token == "(":
            self.position += 1
            found, words = self.expression()
            if self.peek() == ")":
                self.position += 1
            return found, "(%s)" % words
        phrase = []
        while self.peek() not in (None, "(", ")") and self.peek() not in OPERATORS and \
                not self.peek().startswith("["):
            phrase.append(self.tokens[self.position].strip('"'))
            self.position += 1
        field = ""
        if self.peek() and self.peek().startswith("["):
            field = self.tokens[self.position].strip("[]").lower()
            self.position += 1
        if not phrase:
            raise Unsupported("a field tag follows no term")
        if field:  # a tag makes the words before it one phrase: "Arabidopsis thaliana[orgn]"
            return self.leaf(" ".join(phrase), field)
        # Words without a tag are terms of their own, joined by AND.
        found, words = self.leaf(phrase[0], field)
        for word in phrase[1:]:
            right, right_words = self.leaf(word, field)
            found = self.join(found, "AND", right)
            words = "%s AND %s" % (words, right_words)
        return found, words

    def leaf(self, phrase, field):
        if ":" in phrase and field in PMID_FIELDS + DATE_FIELDS:
            low, high = [p.strip() for p in phrase.split(":", 1)]
            if field in PMID_FIELDS:
                return Range("pmid", int(low), int(high)), "%s[UID] : %s[UID]" % (low, high)
            return (Range("date", date_number(low, False), date_number(high, True)),
                    "%s[%s] : %s[%s]" % (low, field.upper(), high, field.upper()))
        found = self.word(phrase, field)
        if found.count() == 0:
            self.not_found.append(phrase)
        return found, "%s[%s]" % (phrase, field or "All Fields")

    def word(self, phrase, field):
        recorded = self.data.searches.get((self.database, phrase))
        if recorded is not None and not field:
            return Listed(re.findall(r"<Id>(\d+)</Id>", recorded))
        if self.database == "pubmed":
            if phrase.lower() in self.data.synthetic.WORDS and field in ("", "all fields", "tw"):
                return Synthetic(self.data.synthetic, *self.data.synthetic.WORDS[phrase.lower()])
            return Listed([])
        sequences = self.data.sequences[self.database]
        if field in ("accn", ""):
            record = sequences.summarised(phrase) or sequences.by_accession.get(phrase.upper())
            if record:
                return Listed([record.accession_version] if record.gi else [])
            if field == "accn":
                return Listed([])
        lowered = phrase.lower()
        if field in ("orgn", "organism"):
            return Listed([r.accession_version for r in sequences.indexed()
                           if r.organism.lower() == lowered])
        if field:
            return Listed([])
        return Listed([r.accession_version for r in sequences.indexed()
                       if lowered in r.title.lower() or lowered in r.organism.lower()])

    def everything(self):
        if self.database == "pubmed":
            return Synthetic(self.data.synthetic, 1, 0)
        return Listed([r.accession_version for r in self.data.sequences[self.database].indexed()])

    def narrowed(self, found, limit):
        synthetic = self.data.synthetic
        if isinstance(found, Synthetic):
            if limit.field == "pmid":
                return found.within(synthetic.first_at_or_above(synthetic.pmid, limit.low),
                                    synthetic.first_at_or_above(synthetic.pmid, limit.high + 1))
            low = (datetime_day(limit.low) - synthetic.EPOCH).days
            high = (datetime_day(limit.high) - synthetic.EPOCH).days
            return found.within(synthetic.first_at_or_above(synthetic.day, low),
                                synthetic.first_at_or_above(synthetic.day, high + 1))
        if limit.field == "pmid" and self.database == "pubmed":
            return Listed([i for i in found.ids if limit.low <= int(i) <= limit.high])
        raise Unsupported("the stand-in narrows only PubMed sets by PMID or date")

    def join(self, left, operator, right):
        if isinstance(left, Range) and isinstance(right, Range):
            raise Unsupported("two ranges and no term")
        if operator == "AND" and isinstance(right, Range):
            return self.narrowed(left, right)
        if operator == "AND" and isinstance(left, Range):
            return self.narrowed(right, left)
        if isinstance(left, Synthetic) and isinstance(right, Synthetic) and operator == "AND":
            return left.both(right)
        if isinstance(left, Listed) and isinstance(right, Listed):
            return Listed(self.combined(left.ids, operator, right.ids))
        if operator == "AND":
            synthetic, listed = (left, right) if isinstance(left, Synthetic) else (right, left)
            return Listed([i for i in listed.ids if synthetic.contains(i)])
        raise Unsupported("the stand-in joins synthetic PubMed sets by AND only")

    def combined(self, left, operator, right):
        if operator == "AND":
            keep = set(right)
            return [i for i in left if i in keep]
        if operator == "NOT":
            drop = set(right)
            return [i for i in left if i not in drop]
        union = list(dict.fromkeys(left + right))
        if self.database == "pubmed":
            return sorted(union, key=int, reverse=True)
        return sorted(union, key=self.data.sequences[self.database].order)


def datetime_day(number):
    year, rest = divmod(number, 10000)
    month, day = divmod(rest, 100)
    month = min(max(month, 1), 12)
    last = (datetime.date(year + month // 12, month % 12 + 1, 1) - datetime.timedelta(days=1)).day
    return datetime.date(year, month, min(max(day, 1), last))
