#!/usr/bin/python3
"""A stand-in for NCBI's E-utilities on a loopback port, serving recorded answers.

usage: eutils_standin.py FIXTURES CONTROL

FIXTURES holds answers.txt (which recorded answer answers which request) and the answers.
CONTROL is a folder the tests share with the stand-in:
  port      written once the stand-in listens: its port number
  arrivals  one line per request as it arrives: "SECONDS PATH?QUERY" (a monotonic clock)
  served    one line per request once answered: "SECONDS PATH?QUERY", the seconds the stand-in
            spent on it from taking the connection to the answer's last byte (the benchmark's
            "the stand-in's own answer time")
  plan      read at every request: its first line, when there is one, is taken out and says how
            to misbehave for this request:
              status CODE [RETRY_AFTER]   answer CODE (with Retry-After when given)
              slow SECONDS                wait, then answer as usual
              cut                         promise the whole answer, send half, close
              malformed                   send the first half of the answer as a whole one
              error                       answer NCBI's ERROR element
The stand-in ends when its standard input closes (the test that started it ended).
"""

import gzip
import http.server
import os
import re
import sys
import threading
import time
import urllib.parse

ESUMMARY_HEAD = (
    '<?xml version="1.0"?>\n<!DOCTYPE eSummaryResult PUBLIC "-//NLM//DTD eSummaryResult, '
    '29 October 2004//EN" "http://127.0.0.1:9/entrez/query/DTD/eSummary_041029.dtd">\n'
    "<eSummaryResult>\n")


def read_fixture(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        data = f.read()
    return gzip.decompress(data) if name.endswith(".gz") else data


def medline_records(text):
    """MEDLINE records of a file, by PMID."""
    records = {}
    for block in re.split(r"\n\s*\n", text.strip()):
        found = re.search(r"^PMID- (\d+)", block, re.M)
        if found:
            records[found.group(1)] = block.strip() + "\n"
    return records


def medline_docsum(pmid, record):
    """A pubmed DocSum of the fields of a recorded MEDLINE record, for PMIDs with none recorded."""
    fields = {}
    tag = None
    for line in record.splitlines():
        if line[:4].strip() and line[4:6] == "- ":
            tag = line[:4].strip()
            fields.setdefault(tag, []).append(line[6:])
        elif tag and line.startswith("      "):
            fields[tag][-1] += " " + line.strip()

    def first(name):
        return fields.get(name, [""])[0]

    def esc(text):
        return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")

    authors = "".join('\t\t<Item Name="Author" Type="String">%s</Item>\n' % esc(a)
                      for a in fields.get("AU", []))
    return ("<DocSum>\n\t<Id>%s</Id>\n\t<Item Name=\"PubDate\" Type=\"Date\">%s</Item>\n"
            "\t<Item Name=\"Source\" Type=\"String\">%s</Item>\n"
            "\t<Item Name=\"AuthorList\" Type=\"List\">\n%s\t</Item>\n"
            "\t<Item Name=\"Title\" Type=\"String\">%s</Item>\n</DocSum>\n"
            % (pmid, esc(first("DP")), esc(first("TA")), authors, esc(first("TI"))))


class Answers:
    def __init__(self, folder):
        self.searches = {}    # (db, term) -> bytes
        self.docsums = {}     # (db, uid) -> DocSum text
        self.records = {}     # (db, id) -> bytes
        self.error = b""
        for line in open(os.path.join(folder, "answers.txt"), encoding="utf-8"):
            line = line.split("#", 1)[0].rstrip()
            if not line:
                continue
            request, name = line.rsplit("\t", 1)
            words = request.split(" ")
            data = read_fixture(folder, name)
            if words[0] == "search":
                self.searches[(words[1], " ".join(words[2:]))] = data
            elif words[0] == "summaries":
                for doc in re.findall(r"<DocSum>.*?</DocSum>", data.decode("latin-1"), re.S):
                    uid = re.search(r"<Id>(\d+)</Id>", doc).group(1)
                    self.docsums[(words[1], uid)] = doc + "\n"
            elif words[0] == "medline":
                for pmid, record in medline_records(data.decode("utf-8")).items():
                    self.records[("pubmed", pmid)] = record.encode("utf-8")
                    self.docsums.setdefault(("pubmed", pmid), medline_docsum(pmid, record))
            elif words[0] == "record":
                self.records[(words[1], words[2])] = data
            elif words[0] == "error":
                self.error = data

    def search(self, db, term, start, count):
        recorded = self.searches.get((db, term))
        if recorded is None:
            return None
        text = recorded.decode("latin-1")
        ids = re.findall(r"<Id>(\d+)</Id>", text)
        page = ids[start:start + count]
        id_list = "<IdList>\n" + "".join("\t\t<Id>%s</Id>\n" % i for i in page) + "\t</IdList>"
        text = re.sub(r"<IdList>.*?</IdList>", id_list, text, flags=re.S)
        text = re.sub(r"<RetMax>\d+</RetMax>", "<RetMax>%d</RetMax>" % len(page), text)
        text = re.sub(r"<RetStart>\d+</RetStart>", "<RetStart>%d</RetStart>" % start, text)
        return text.encode("latin-1")

    def summaries(self, db, uids):
        docs = [self.docsums[(db, uid)] for uid in uids if (db, uid) in self.docsums]
        return (ESUMMARY_HEAD + "".join(docs) + "</eSummaryResult>\n").encode("latin-1")


class Control:
    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()

    def arrived(self, path):
        self.note("arrivals", time.monotonic(), path)

    def served(self, path, seconds):
        self.note("served", seconds, path)

    def note(self, name, seconds, path):
        with self.lock, open(os.path.join(self.folder, name), "a") as f:
            f.write("%.6f %s\n" % (seconds, path))

    def next_step(self):
        with self.lock:
            plan = os.path.join(self.folder, "plan")
            try:
                with open(plan) as f:
                    lines = f.read().splitlines()
            except FileNotFoundError:
                return []
            if not lines:
                return []
            with open(plan + ".new", "w") as f:
                f.write("".join(line + "\n" for line in lines[1:]))
            os.replace(plan + ".new", plan)
            return lines[0].split()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def setup(self):
        self.taken = time.monotonic()  # the connection, as the server thread took it
        super().setup()

    def send(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "text/xml" if body.startswith(b"<") else "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def answer(self, utility, params):
        db = params.get("db", [""])[0]
        if utility == "esearch.fcgi":
            return self.server.answers.search(db, params.get("term", [""])[0],
                                              int(params.get("retstart", ["0"])[0]),
                                              int(params.get("retmax", ["20"])[0]))
        if utility == "esummary.fcgi":
            return self.server.answers.summaries(db, params.get("id", [""])[0].split(","))
        if utility == "efetch.fcgi":
            return self.server.answers.records.get((db, params.get("id", [""])[0]))
        return None

    def do_GET(self):
        try:
            self.answer_request()
        finally:
            self.server.control.served(self.path, time.monotonic() - self.taken)

    def answer_request(self):
        self.server.control.arrived(self.path)
        url = urllib.parse.urlsplit(self.path)
        params = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        step = self.server.control.next_step()
        if step and step[0] == "status":
            headers = [("Retry-After", step[2])] if len(step) > 2 else []
            return self.send(int(step[1]), b'{"error":"stand-in says %s"}' % step[1].encode(),
                             headers)
        if step and step[0] == "slow":
            time.sleep(float(step[1]))
        if step and step[0] == "error":
            return self.send(200, self.server.answers.error)
        body = self.answer(url.path.rsplit("/", 1)[-1], params)
        if body is None:
            return self.send(400, b"Error: no recorded answer for this request\n")
        if step and step[0] == "malformed":
            return self.send(200, body[:len(body) // 2])
        if step and step[0] == "cut":
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.send(200, body)


def main():
    fixtures, control = sys.argv[1], sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.answers = Answers(fixtures)
    server.control = Control(control)
    with open(os.path.join(control, "port.new"), "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(control, "port.new"), os.path.join(control, "port"))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()  # until the starter goes away
    server.shutdown()


if __name__ == "__main__":
    main()
