#!/usr/bin/env python3
"""A small HTTP server for the link-checker demo and benchmark.

Serves the files of --root on 127.0.0.1 (an ephemeral port unless --port is given),
prints the port on the first line of standard output and runs until its standard
input closes. Besides the files: /moved answers 301 to /ok.html, /gone 302 to a page
that does not exist, /status/N answers status N.
"""
import argparse
import http.server
import os
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    unthrottled = False

    def log_message(self, *args):
        pass

    def end_headers(self):
        if self.unthrottled:
            # linkchecker limits itself to 10 requests a second per host unless
            # the host sends this header; the benchmark wants it at full speed.
            self.send_header("LinkChecker", "unthrottled")
        super().end_headers()

    def _answer(self, status, location=None):
        body = b"<html><body>%d</body></html>\n" % status
        self.send_response(status)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _route(self):
        path = self.path.split("?", 1)[0]
        if path == "/moved":
            self._answer(301, "/ok.html")
        elif path == "/gone":
            self._answer(302, "/no-such-page.html")
        elif path.startswith("/status/") and path[8:].isdigit():
            self._answer(int(path[8:]))
        else:
            return False
        return True

    def do_GET(self):
        if not self._route():
            super().do_GET()

    def do_HEAD(self):
        if not self._route():
            super().do_HEAD()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--unthrottled", action="store_true",
                        help="send the header that lets linkchecker run at full speed")
    args = parser.parse_args()
    root = os.path.abspath(args.root)

    class RootHandler(Handler):
        unthrottled = args.unthrottled

        def __init__(self, *a, **kw):
            super().__init__(*a, directory=root, **kw)

    class Server(http.server.ThreadingHTTPServer):
        def handle_error(self, request, client_address):
            pass  # clients that hang up early are no news

    server = Server(("127.0.0.1", args.port), RootHandler)
    server.daemon_threads = True
    server.request_queue_size = 128
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()  # until the parent closes our input
    server.shutdown()


if __name__ == "__main__":
    main()
