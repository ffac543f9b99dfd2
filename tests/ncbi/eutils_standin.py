#!/usr/bin/python3
"""A stand-in for NCBI's E-utilities on a loopback port: NCBI's recorded answers and records, a
synthetic PubMed of a million citations, synthetic sequence records, and NCBI's documented
behaviour at that scale (tests/fixtures/ncbi/behaviours.txt names the source of each).

usage: eutils_standin.py FIXTURES CONTROL

FIXTURES holds answers.txt (which recorded answer answers which request) and the answers.
CONTROL is a folder the tests share with the stand-in:
  port      written once the stand-in listens: its port number
  arrivals  one line per request as it arrives: "SECONDS METHOD PATH?PARAMETERS" (a monotonic
            clock; for a POST the parameters are its body's)
  served    one line per request once answered: "SECONDS PATH?QUERY", the seconds the stand-in
            spent on it from taking the connection to the answer's last byte (the benchmark's
            "the stand-in's own answer time")
  plan      read at every request: its first line, when there is one, is taken out and says how
            to misbehave for this request:
              status CODE [RETRY_AFTER]   answer CODE (with Retry-After when given)
              slow SECONDS                wait, then answer as usual
              cut                         promise the whole answer, send half, close
              malformed                   send the first half of the answer as a whole one
              error                       answer NCBI's ERROR element (for esearch its refusal
                                          past record 9,999, for esummary the recorded
                                          esummary8.xml, for efetch an expired History set's)
              html                        answer HTTP 200 with a web page, as under load
              forget-history              the History server forgets every set, then answers
              withhold ID                 answer as if ID had not been asked (an efetch answer
                                          that silently leaves a record out)
            An empty line answers as usual.
The stand-in ends when its standard input closes (the test that started it ended).
"""

import sys

sys.dont_write_bytecode = True  # nothing of the stand-in's is written into the source tree

import http.server  # noqa: E402
import os  # noqa: E402
import threading  # noqa: E402
import time  # noqa: E402
import urllib.parse  # noqa: E402

from standin_answers import Answers  # noqa: E402
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


class Control:
    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()

    def note(self, name, seconds, text):
        with self.lock, open(os.path.join(self.folder, name), "a") as f:
            f.write("%.6f %s\n" % (seconds, text))

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

    def send(self, status, body, headers=(), content_type=None):
        self.send_response(status)
        if content_type is None:
            content_type = "text/xml" if body.startswith(b"<") else "text/plain"
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

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
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
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
    fixtures, control = sys.argv[1], sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.data = Databases(fixtures)
    server.answers = Answers(server.data)
    server.control = Control(control)
    with open(os.path.join(control, "port.new"), "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(control, "port.new"), os.path.join(control, "port"))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()  # until the starter goes away
    server.shutdown()


if __name__ == "__main__":
    main()
