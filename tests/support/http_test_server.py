#!/usr/bin/env python3
"""Local HTTP server for the tests: binds 127.0.0.1 on an ephemeral port, prints the
port on the first line of standard output and serves until its standard input is
closed (the parent went away) or it gets SIGTERM/SIGINT.

Routes (GET unless said otherwise):
  /ok                      200, a small HTML page
  /anchors                 200, a page with anchors: "Top" once, "dup" twice on one
                           line, "twice" once on each of two lines
  /site/<path>             a file of the --root folder (404 when missing)
  /status/<code>           that status (404, 500, ...) with a short body
  /redirect/<code>?to=<p>  a redirect with that status to <p> (default /ok);
  /301                     301 to /ok
  /302                     302 to /status/404
  /loop                    a redirect loop (/loop -> /loop/b -> /loop)
  /slow?seconds=<s>        answers after <s> seconds (default 5)
  /slowbody?seconds=<s>    headers at once, the body after <s> seconds
  /hang                    reads the request and never answers
  /reset                   reads the request and resets the connection
  /big?bytes=<n>           <n> bytes (default 2 GiB) of text made on the fly; every
                           line is 64 bytes with its line feed
  /headers                 200, the request headers as the body
  POST /echo               200, the request body as the body
  POST /status/<code>      that status
"""

import argparse
import os
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ANCHOR_PAGE = (
    "<html><head><title>Anchors</title></head><body>\n"
    '<a name="Top">top</a>\n'
    '<p><a id="dup">one</a> and <a name="dup">two</a></p>\n'
    '<a name="twice">first</a>\n'
    '<a name="twice">second</a>\n'
    "</body></html>\n"
)


# One 64-byte line repeated: the large body costs the server no work per byte.
BIG_LINE = b"%-63s\n" % b"0123456789 large body line"
BIG_BLOCK = BIG_LINE * 4096


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = None
    stop_event = None

    def log_message(self, *args):
        pass

    def send_body(self, code, body, content_type="text/html", extra=()):
        if isinstance(body, str):
            body = body.encode("latin-1")
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def redirect(self, code, to):
        self.send_body(code, "moved\n", "text/plain", [("Location", to)])

    def query(self):
        parsed = urllib.parse.urlsplit(self.path)
        return parsed.path, dict(urllib.parse.parse_qsl(parsed.query))

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        path, q = self.query()
        parts = [p for p in path.split("/") if p]
        head = parts[0] if parts else ""
        if head == "ok":
            self.send_body(200, "<html><body><p>ok</p></body></html>\n")
        elif head == "anchors":
            self.send_body(200, ANCHOR_PAGE)
        elif head == "site":
            self.serve_file("/".join(parts[1:]))
        elif head == "status" and len(parts) == 2 and parts[1].isdigit():
            self.send_body(int(parts[1]), "status %s\n" % parts[1], "text/plain")
        elif head == "redirect" and len(parts) == 2 and parts[1].isdigit():
            self.redirect(int(parts[1]), q.get("to", "/ok"))
        elif head == "301":
            self.redirect(301, "/ok")
        elif head == "302":
            self.redirect(302, "/status/404")
        elif head == "loop":
            self.redirect(302, "/loop/b" if len(parts) == 1 else "/loop")
        elif head == "slow":
            self.stop_event.wait(float(q.get("seconds", "5")))
            self.send_body(200, "<html><body>late</body></html>\n")
        elif head == "slowbody":
            body = b"late body\n"
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.flush()
            self.stop_event.wait(float(q.get("seconds", "5")))
            self.wfile.write(body)
        elif head == "hang":
            self.stop_event.wait()
            self.close_connection = True
        elif head == "reset":
            self.reset()
        elif head == "big":
            self.serve_big(int(q.get("bytes", str(2 << 30))))
        elif head == "headers":
            self.send_body(200, str(self.headers), "text/plain")
        else:
            self.send_body(404, "not found\n", "text/plain")

    def do_POST(self):
        path, _ = self.query()
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length > 0 else b""
        parts = [p for p in path.split("/") if p]
        if parts == ["echo"]:
            self.send_body(200, body, "text/plain",
                           [("X-Content-Type", self.headers.get("Content-Type", ""))])
        elif len(parts) == 2 and parts[0] == "status" and parts[1].isdigit():
            self.send_body(int(parts[1]), "status %s\n" % parts[1], "text/plain")
        else:
            self.send_body(404, "not found\n", "text/plain")

    def serve_file(self, relative):
        if not self.root:
            return self.send_body(404, "no root\n", "text/plain")
        full = os.path.realpath(os.path.join(self.root, urllib.parse.unquote(relative)))
        if not full.startswith(os.path.realpath(self.root)) or not os.path.isfile(full):
            return self.send_body(404, "not found\n", "text/plain")
        with open(full, "rb") as f:
            data = f.read()
        kind = "text/html" if full.lower().endswith((".htm", ".html")) else "application/octet-stream"
        self.send_body(200, data, kind)

    def reset(self):
        # SO_LINGER with a zero time makes close() send RST instead of FIN.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
        self.connection.close()

    def serve_big(self, total):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(total))
        self.end_headers()
        sent = 0
        block = memoryview(BIG_BLOCK)
        try:
            while sent < total and not self.stop_event.is_set():
                chunk = block[: min(len(block), total - sent)]
                self.wfile.write(chunk)
                sent += len(chunk)
        except (BrokenPipeError, ConnectionResetError):
            pass
        self.close_connection = True


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that gave up (time-out tests) is expected, not worth a trace.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", help="folder served under /site/")
    args = parser.parse_args()

    stop = threading.Event()
    Handler.root = args.root
    Handler.stop_event = stop
    server = Server(("127.0.0.1", 0), Handler)

    def shut(*_):
        stop.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, shut)
    signal.signal(signal.SIGINT, shut)

    def watch_stdin():
        try:
            # The raw descriptor: a buffered stdin would hold a lock at shutdown.
            while os.read(0, 4096):
                pass
        except (OSError, ValueError):
            pass
        shut()

    threading.Thread(target=watch_stdin, daemon=True).start()
    print(server.server_address[1], flush=True)
    server.serve_forever(poll_interval=0.2)
    server.server_close()
    # Handler threads may still sit in a stalled route; leave without joining them.
    os._exit(0)


if __name__ == "__main__":
    main()
