"""What every web service's stand-in (tests/ncbi, tests/ebi) shares: the folder it shares with the
tests (CONTROL), the answers it writes, and its life on a loopback port until the test that
started it ends. Each stand-in keeps its service's own behaviour, and its usage says what CONTROL
holds:
  port      written once the stand-in listens: its port number
  arrivals  one line per request as it arrives: "SECONDS METHOD PATH?PARAMETERS" (monotonic clock)
  served    one line per request once answered: "SECONDS PATH?QUERY", the seconds spent on it
  plan      read at every request: its first line, when there is one, is taken out and says how
            to misbehave for this request; every stand-in knows these, and an empty line
            answers as usual:
              status CODE [RETRY_AFTER]   answer CODE (with Retry-After when given)
              slow SECONDS                wait, then answer as usual
              cut                         promise the whole answer, send half, close
              malformed                   send the first half of the answer as a whole one
              html                        answer HTTP 200 with a web page, as under load
The stand-in ends when its standard input closes (the test that started it ended).
"""

import http.server
import os
import sys
import threading
import time


class Control:
    """CONTROL, written and read under one lock, as the server answers on many threads."""

    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()

    def note(self, name, seconds, text):
        with self.lock, open(os.path.join(self.folder, name), "a") as f:
            f.write("%.6f %s\n" % (seconds, text))

    def next_step(self):
        """The words of the plan's first line, taken out of it; none when the plan is empty."""
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


class StandInHandler(http.server.BaseHTTPRequestHandler):
    """A request to a stand-in: quiet, HTTP/1.1, timed from the moment its connection was taken."""

    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def setup(self):
        self.taken = time.monotonic()  # the connection, as the server thread took it
        super().setup()

    def write_answer(self, status, body, content_type=None, headers=(), cut=False):
        """An answer of body; cut promises the whole body, sends half and closes."""
        self.send_response(status)
        if content_type is not None:
            self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if cut:
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)


def serve(handler_class, folder, **attributes):
    """Answers with handler_class on a loopback port, its server holding control (CONTROL's
    Control) and attributes, and names the port in CONTROL; returns once standard input closes
    (the test that started the stand-in ended)."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_class)
    server.daemon_threads = True
    server.control = Control(folder)
    for name, value in attributes.items():
        setattr(server, name, value)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    # Written aside and renamed, so that the tests never read half a number.
    with open(os.path.join(folder, "port.new"), "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(folder, "port.new"), os.path.join(folder, "port"))
    sys.stdin.read()
    server.shutdown()
