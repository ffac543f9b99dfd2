#!/usr/bin/python3
"""A stand-in for UniProt's REST service and ENA's portal and browser services on one loopback
port, serving the records of tests/fixtures/ebi (see standin_data.py) as the services' public
documents describe them (tests/fixtures/ebi/behaviours.txt names the source of each header,
format and error).

usage: ebi_standin.py FIXTURES CONTROL

  /uniprotkb/search?query=&format=tsv&fields=&size=&cursor=   UniProt's search
  /uniprotkb/ID.txt                                          a UniProt entry as flat text
  /ena/portal/api/count?result=sequence&query=               ENA's count of a search
  /ena/portal/api/search?result=sequence&query=&fields=&format=tsv&limit=&offset=
  /ena/browser/api/embl/ACCESSION                            an EMBL record
  /oracle/SOURCE?query=&start=&count=    the tests' own question: the accessions of rows
                                         [start, start + count) of a search, one a line; never
                                         noted in arrivals

CONTROL is the folder the tests share with the stand-in (standin_base.py says what it holds);
requests arrive as "SECONDS GET PATH?PARAMETERS". Besides every stand-in's misbehaviours, a plan
line may say:
  nototal                     leave out X-Total-Results
"""

import sys

sys.dont_write_bytecode = True  # nothing of the stand-in's is written into the source tree

import base64  # noqa: E402
import json  # noqa: E402
import os  # noqa: E402
import time  # noqa: E402
import urllib.parse  # noqa: E402
import zlib  # noqa: E402

sys.path.insert(1, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))

import standin_data as data  # noqa: E402
from standin_base import StandInHandler, serve  # noqa: E402

UNIPROT_MAX_SIZE = 500
UNIPROT_COLUMNS = {"accession": "Entry", "id": "Entry Name", "protein_name": "Protein names",
                   "organism_name": "Organism", "length": "Length",
                   "date_modified": "Date of last modification",
                   "organism_id": "Organism (ID)", "reviewed": "Reviewed"}
ENA_COLUMNS = {"accession", "sequence_version", "description", "scientific_name", "base_count",
               "last_updated", "mol_type", "dataclass", "tax_id"}
BUSY_PAGE = (b"<!DOCTYPE html>\n<html><head><title>503 Service Temporarily Unavailable</title>"
             b"</head><body><h1>Service Temporarily Unavailable</h1></body></html>\n")


class Refusal(Exception):
    def __init__(self, status, body, content_type="application/json"):
        super().__init__(body)
        self.status, self.body, self.content_type = status, body, content_type


def json_refusal(url, message):
    # UniProt's refusal body: {"url": ..., "messages": [...]} (UniProt's REST help, "Errors").
    return Refusal(400, json.dumps({"url": url, "messages": [message]}).encode())


def cursor_for(query, position):
    raw = ("%d:%08x" % (position, zlib.crc32(query.encode()))).encode()
    return base64.urlsafe_b64encode(raw).decode().rstrip("=")


def position_of(query, cursor):
    try:
        text = base64.urlsafe_b64decode(cursor + "=" * (-len(cursor) % 4)).decode()
        position, check = text.split(":")
        if check == "%08x" % zlib.crc32(query.encode()):
            return int(position)
    except (ValueError, UnicodeDecodeError):
        pass
    return None


class Services:
    def __init__(self, fixtures):
        self.uniprot = data.Collection(os.path.join(fixtures, "uniprot"), data.uniprot_entry,
                                       data.synthetic_uniprot, "synthetic")
        self.ena = data.Collection(os.path.join(fixtures, "embl"), data.embl_entry,
                                   data.synthetic_embl, "synthetic")

    def uniprot_search(self, base, params):
        url = base + "/uniprotkb/search"
        query = params.get("query", "")
        try:
            total, nth = self.uniprot.search(data.compile_query(query, data.uniprot_term))
        except data.QueryError as e:
            raise json_refusal(url, str(e))
        fields = params.get("fields", "accession").split(",")
        for field in fields:
            if field not in UNIPROT_COLUMNS:
                raise json_refusal(url, "Invalid fields parameter value '%s'" % field)
        size = int(params.get("size", "25"))
        if size > UNIPROT_MAX_SIZE or size < 0:
            raise json_refusal(url, "'size' must be less than or equal to %d" % UNIPROT_MAX_SIZE)
        start = 0
        if "cursor" in params:
            start = position_of(query, params["cursor"])
            if start is None:
                raise json_refusal(url, "The 'cursor' parameter is invalid")
        rows = ["\t".join(UNIPROT_COLUMNS[f] for f in fields)]
        for i in range(start, min(total, start + size)):
            entry = nth(i)
            rows.append("\t".join(entry.fields[f]
                                  for f in fields))
        headers = [("X-Total-Results", str(total))]
        if start + size < total:
            following = dict(params, cursor=cursor_for(query, start + size))
            headers.append(("Link", '<%s?%s>; rel="next"' % (url, urllib.parse.urlencode(
                following, quote_via=urllib.parse.quote))))
        return "".join(r + "\n" for r in rows).encode(), headers

    def ena_search(self, params, count_only):
        if params.get("result") != "sequence":
            raise Refusal(400, json.dumps({"message": "Invalid result: %s"
                                           % params.get("result")}).encode())
        try:
            total, nth = self.ena.search(data.compile_query(params.get("query", ""),
                                                            data.ena_term))
        except data.QueryError as e:
            raise Refusal(400, json.dumps({"message": str(e)}).encode())
        if count_only:
            return b"%d\n" % total, []
        fields = params.get("fields", "accession").split(",")
        for field in fields:
            if field not in ENA_COLUMNS:
                raise Refusal(400, json.dumps({"message": "Invalid field %s" % field}).encode())
        offset, limit = int(params.get("offset", "0")), int(params.get("limit", "100000"))
        rows = [nth(i) for i in range(offset, min(total, offset + limit))]
        if not rows:
            return b"", []  # ENA answers a search without rows with no body
        lines = ["\t".join(fields)] + ["\t".join(e.fields[f] for f in fields) for e in rows]
        return "".join(r + "\n" for r in lines).encode(), []

    def record(self, collection, name):
        entry = collection.by_accession(name)
        if entry is None:
            raise Refusal(404, b"Error messages\nResource not found\n", "text/plain")
        return entry.text.encode("latin-1"), []

    def oracle(self, source, params):
        collection, term = ((self.uniprot, data.uniprot_term) if source == "uniprot"
                            else (self.ena, data.ena_term))
        total, nth = collection.search(data.compile_query(params["query"], term))
        start, count = int(params.get("start", "0")), int(params.get("count", "0"))
        lines = [str(total)] + [nth(i).fields["accession"] +
                                ("." + nth(i).fields["sequence_version"]
                                 if nth(i).fields.get("sequence_version") else "")
                                for i in range(start, min(total, start + count))]
        return "".join(line + "\n" for line in lines).encode(), []


class Handler(StandInHandler):
    def do_GET(self):
        began = time.monotonic()
        control = self.server.control
        path, _, query = self.path.partition("?")
        oracle = path.startswith("/oracle/")
        if not oracle:
            control.note("arrivals", began, "GET " + self.path)
        params = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
        step = [] if oracle else control.next_step()
        if step and step[0] == "slow":
            time.sleep(float(step[1]))
        try:
            body, headers = self.route(path, params)
            status, content_type = 200, ("text/plain;format=flatfile"
                                         if path.endswith(".txt") or "/embl/" in path
                                         else "text/plain;format=tsv")
        except Refusal as refusal:
            body, headers, status, content_type = (refusal.body, [], refusal.status,
                                                   refusal.content_type)
        except (ValueError, KeyError) as e:
            body, headers, status, content_type = (str(e).encode(), [], 400, "text/plain")
        self.answer(step, status, content_type, body, headers)
        if not oracle:
            control.note("served", time.monotonic() - began, self.path)

    def route(self, path, params):
        services = self.server.services
        base = "http://%s:%d" % self.server.server_address[:2]
        if path == "/uniprotkb/search":
            return services.uniprot_search(base, params)
        if path.startswith("/uniprotkb/") and path.endswith(".txt"):
            return services.record(services.uniprot,
                                   urllib.parse.unquote(path[len("/uniprotkb/"):-4]))
        if path in ("/ena/portal/api/count", "/ena/portal/api/search"):
            return services.ena_search(params, path.endswith("count"))
        if path.startswith("/ena/browser/api/embl/"):
            return services.record(services.ena,
                                   urllib.parse.unquote(path[len("/ena/browser/api/embl/"):]))
        if path.startswith("/oracle/"):
            return services.oracle(path[len("/oracle/"):], params)
        raise Refusal(404, b"Not Found\n", "text/plain")

    def answer(self, step, status, content_type, body, headers):
        kind = step[0] if step else ""
        if kind == "status":
            status, body = int(step[1]), b"Service busy\n"
            content_type = "text/plain"
            if len(step) > 2:
                headers = headers + [("Retry-After", step[2])]
        elif kind == "html":
            status, body, content_type = 200, BUSY_PAGE, "text/html"
        elif kind == "malformed":
            body = body[:len(body) // 2]
        elif kind == "nototal":
            headers = [h for h in headers if h[0] != "X-Total-Results"]
        self.write_answer(status, body, content_type, headers, cut=kind == "cut")


def main():
    fixtures, folder = sys.argv[1], sys.argv[2]
    serve(Handler, folder, services=Services(fixtures))


if __name__ == "__main__":
    main()
