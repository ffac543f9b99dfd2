#!/usr/bin/python3
"""A stand-in for NCBI's E-utilities on a loopback port: NCBI's recorded answers and records, a
synthetic PubMed of a million citations, synthetic sequence records, and NCBI's documented
behaviour at that scale (tests/fixtures/ncbi/behaviours.txt names the source of each).

usage: eutils_standin.py FIXTURES CONTROL

FIXTURES holds answers.txt (which recorded answer answers which request) and the answers.
CONTROL is the folder the tests share with the stand-in (standin_base.py says what it holds); a
POST's parameters in arrivals are its body's, and the seconds in served run from taking the
connection to the answer's last byte (the benchmark's "the stand-in's own answer time"). Besides
every stand-in's misbehaviours, a plan line may say:
  error                       answer NCBI's ERROR element (for esearch its refusal past record
                              9,999, for esummary the recorded esummary8.xml, for efetch an
                              expired History set's)
  forget-history              the History server forgets every set, then answers
  withhold ID                 answer as if ID had not been asked (an efetch answer that
                              silently leaves a record out)
"""

import sys

sys.dont_write_bytecode = True  # nothing of the stand-in's is written into the source tree

import os  # noqa: E402
import time  # noqa: E402
import urllib.parse  # noqa: E402

sys.path.insert(1, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))

from standin_answers import Answers  # noqa: E402
from standin_base import StandInHandler, serve  # noqa: E402
from standin_records import Databases  # noqa: E402

# The longest GET request target the stand-in takes; a longer one is refused with 414, as web
# servers refuse request lines longer than they hold. NCBI states no number of its own.
MAX_TARGET_BYTES = 4096
# NCBI's web server's own error page, as a public report recorded it (rentrez issue 74); under
# load NCBI sends such pages with HTTP 200 where data was asked.
BUSY_PAGE = (
    b'<?xml version="1.0" encoding="iso-8859-1" standalone="yes"?>\n'
    b'<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.1//EN" '
    b'"http://127.0.0.1:9/TR/xhtml11/DTD/xhtml11.dtd">\n<html>\n<head>\n'
    b"<title>NCBI/eutils211 - WWW Error 500 Diagnostic</title>\n</head>\n<body>\n"
    b"<h1>Server Error</h1>\n<p>Your request could not be processed due to a problem on\n"
    b"our Web server.  This could be a transient problem, please\n"
    b"try the query again.</p>\n</body>\n</html>\n")


class Handler(StandInHandler):
    def send(self, status, body, headers=(), content_type=None):
        if content_type is None:
            content_type = "text/xml" if body.startswith(b"<") else "text/plain"
        self.write_answer(status, body, content_type, [("Connection", "close"), *headers])

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        self.serve("GET", url.path, url.query)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0"))).decode("latin-1")
        query = urllib.parse.urlsplit(self.path).query
        self.serve("POST", urllib.parse.urlsplit(self.path).path,
                   query + "&" + body if query else body)

    def serve(self, method, path, parameters):
        try:
            self.server.control.note("arrivals", time.monotonic(),
                                     "%s %s?%s" % (method, path, parameters))
            self.answer_request(method, path, parameters)
        finally:
            self.server.control.note("served", time.monotonic() - self.taken,
                                     "%s?%s" % (path, parameters))

    def answer_request(self, method, path, parameters):
        if method == "GET" and len(self.path) > MAX_TARGET_BYTES:
            return self.send(414, b"<html><head><title>414 Request-URI Too Long</title></head>"
                                  b"<body><h1>Request-URI Too Long</h1></body></html>\n")
        params = urllib.parse.parse_qs(parameters, keep_blank_values=True)
        step = self.server.control.next_step()
        if step and step[0] == "status":
            headers = [("Retry-After", step[2])] if len(step) > 2 else []
            return self.send(int(step[1]), b'{"error":"stand-in says %s"}' % step[1].encode(),
                             headers)
        if step and step[0] == "slow":
            time.sleep(float(step[1]))
        if step and step[0] == "error":
            return self.send(200, self.server.answers.error(path.rsplit("/", 1)[-1]))
        if step and step[0] == "html":
            return self.send(200, BUSY_PAGE, content_type="text/html")
        if step and step[0] == "forget-history":
            self.server.answers.history.forget()
        if step and step[0] == "withhold" and "id" in params:
            params["id"] = [",".join(u for u in params["id"][0].split(",")
                                     if u.upper() != step[1].upper())]
        body = self.answer(path.rsplit("/", 1)[-1], params)
        if body is None:
            return self.send(400, b"Error: the stand-in holds no answer for this request\n")
        if step and step[0] == "malformed":
            return self.send(200, body[:len(body) // 2])
        if step and step[0] == "cut":
            return self.write_answer(200, body, cut=True)
        self.send(200, body)

    def answer(self, utility, params):
        answers = self.server.answers
        if utility == "esearch.fcgi":
            return answers.search(params)
        if utility == "esummary.fcgi":
            return answers.summaries(params)
        if utility == "efetch.fcgi":
            return answers.records(params)
        return None


def main():
    fixtures, folder = sys.argv[1], sys.argv[2]
    data = Databases(fixtures)
    serve(Handler, folder, data=data, answers=Answers(data))


if __name__ == "__main__":
    main()
