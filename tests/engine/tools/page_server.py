#!/usr/bin/env python3
"""Loopback HTTP server for the page fetch and intake tests.

Listens on 127.0.0.1 (port chosen by the system, printed as the first line of standard output) and
answers:
  /echo               the request's User-Agent and Referer headers, one "Name: value" line each
  /requests           every request so far except its own, one per line: path, User-Agent and
                      Referer, separated by tabs
  /trickle            a status line and headers at once, then one body byte every half second
  /big/BYTES          BYTES zero bytes with their Content-Length, generated as they are sent
  /redirect?to=URL    302 to URL
  /status/CODE        that status with a short body
  anything else       the file of that path below the folder given as the first argument, or 404
Every wait is bounded, so a client that goes away never keeps a thread for long.
"""
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, unquote, urlsplit

ROOT = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else ".")
SEEN = []
SEEN_LOCK = threading.Lock()
ZEROS = bytes(64 * 1024)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def plain(self, code, body, extra=()):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        parts = urlsplit(self.path)
        path = unquote(parts.path)
        if path != "/requests":
            with SEEN_LOCK:
                SEEN.append("%s\t%s\t%s" % (self.path, self.headers.get("User-Agent", ""), self.headers.get("Referer", "")))
        try:
            self.route(path, parse_qs(parts.query))
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self, path, query):
        if path == "/echo":
            body = "User-Agent: %s\nReferer: %s\n" % (self.headers.get("User-Agent", ""), self.headers.get("Referer", ""))
            self.plain(200, body.encode("latin-1"))
        elif path == "/requests":
            with SEEN_LOCK:
                body = "".join(line + "\n" for line in SEEN)
            self.plain(200, body.encode("latin-1"))
        elif path == "/trickle":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.flush()
            for _ in range(60):
                self.wfile.write(b"x")
                self.wfile.flush()
                time.sleep(0.5)
        elif path.startswith("/big/"):
            size = int(path[len("/big/"):])
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(size))
            self.end_headers()
            sent = 0
            while sent < size:
                chunk = ZEROS[: min(len(ZEROS), size - sent)]
                self.wfile.write(chunk)
                sent += len(chunk)
        elif path == "/redirect":
            self.plain(302, b"moved", [("Location", query.get("to", ["/"])[0])])
        elif path.startswith("/status/"):
            self.plain(int(path[len("/status/"):]), b"status")
        else:
            full = os.path.realpath(os.path.join(ROOT, path.lstrip("/")))
            if not full.startswith(ROOT + os.sep) or not os.path.isfile(full):
                self.plain(404, b"Not Found")
                return
            with open(full, "rb") as source:
                body = source.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
