#!/usr/bin/env python3
"""Loopback HTTP server for the tool runner's tests.

Serves the files of one folder on 127.0.0.1 (port chosen by the system, printed as the first line
of standard output), answers Range requests, and sends bodies at a limited rate so that a
downloader prints progress lines. A path of the form /rate/BYTES/NAME serves NAME at BYTES per
second; anything that is not a file answers 404.
"""
import os
import re
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote, urlsplit

ROOT = os.path.realpath(sys.argv[1] if len(sys.argv) > 1 else ".")
DEFAULT_RATE = int(sys.argv[2]) if len(sys.argv) > 2 else 400_000
CHUNK = 8192
TYPES = {".mp4": "video/mp4", ".m4a": "audio/mp4", ".mp3": "audio/mpeg", ".mpd": "application/dash+xml", ".html": "text/html"}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def resolve(self):
        path = unquote(urlsplit(self.path).path)
        rate = DEFAULT_RATE
        match = re.match(r"^/rate/(\d+)(/.*)$", path)
        if match:
            rate, path = int(match.group(1)), match.group(2)
        full = os.path.realpath(os.path.join(ROOT, path.lstrip("/")))
        if not full.startswith(ROOT + os.sep) or not os.path.isfile(full):
            return None, rate
        return full, rate

    def do_HEAD(self):
        self.answer(send_body=False)

    def do_GET(self):
        self.answer(send_body=True)

    def answer(self, send_body):
        full, rate = self.resolve()
        if full is None:
            body = b"Not Found"
            self.send_response(404)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if send_body:
                self.wfile.write(body)
            return
        size = os.path.getsize(full)
        start, end = 0, size - 1
        ranged = re.match(r"^bytes=(\d*)-(\d*)$", self.headers.get("Range", ""))
        if ranged and (ranged.group(1) or ranged.group(2)):
            if ranged.group(1):
                start = int(ranged.group(1))
                if ranged.group(2):
                    end = min(int(ranged.group(2)), size - 1)
            else:
                start = max(0, size - int(ranged.group(2)))
            if start >= size or start > end:
                self.send_response(416)
                self.send_header("Content-Range", "bytes */%d" % size)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            self.send_response(206)
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, end, size))
        else:
            self.send_response(200)
        length = end - start + 1
        self.send_header("Content-Type", TYPES.get(os.path.splitext(full)[1], "application/octet-stream"))
        self.send_header("Accept-Ranges", "bytes")
        self.send_header("Content-Length", str(length))
        self.end_headers()
        if not send_body:
            return
        began = time.monotonic()
        sent = 0
        with open(full, "rb") as source:
            source.seek(start)
            while sent < length:
                data = source.read(min(CHUNK, length - sent))
                if not data:
                    break
                try:
                    self.wfile.write(data)
                except (BrokenPipeError, ConnectionResetError):
                    return
                sent += len(data)
                ahead = sent / rate - (time.monotonic() - began)
                if ahead > 0:
                    time.sleep(ahead)


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
