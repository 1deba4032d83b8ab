#!/usr/bin/python3
"""Serves the browser edition's folder as a static web host does: each file with its type,
compressed with gzip where the browser takes it, and the page and its service worker never
kept stale by a cache. For trying the page, and for its tests.

    /usr/bin/python3 tools/serve_web.py FOLDER [PORT]
"""
import functools
import gzip
import http.server
import os
import sys
import threading

# What compresses well; pictures are compressed already.
COMPRESSED = {".html", ".js", ".css", ".wasm", ".webmanifest", ".json", ".svg", ".txt"}


class StaticHost(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json"}
    # Each file compressed once, as long as it is unchanged.
    packed = {}
    lock = threading.Lock()

    def log_message(self, *args):
        pass

    def end_headers(self):
        # The page and the worker are asked for anew at every visit; the rest the worker keeps.
        if self.path.split("?")[0].endswith(("/", ".html", "sw.js")):
            self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        if (os.path.splitext(path)[1] not in COMPRESSED or not os.path.isfile(path)
                or "gzip" not in self.headers.get("Accept-Encoding", "")):
            return super().send_head()
        stamp = os.stat(path).st_mtime_ns
        with self.lock:
            kept = self.packed.get(path)
            if not kept or kept[0] != stamp:
                with open(path, "rb") as f:
                    kept = (stamp, gzip.compress(f.read(), 9, mtime=0))
                self.packed[path] = kept
        body = kept[1]
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Vary", "Accept-Encoding")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return _Body(body)


class _Body:
    """What send_head hands back: the compressed bytes, read once."""

    def __init__(self, data):
        self.data = data

    def read(self, *args):
        data, self.data = self.data, b""
        return data

    def close(self):
        pass


def server(folder, port=0):
    """A threading server for the folder on 127.0.0.1; port 0 takes a free one."""
    return http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                           functools.partial(StaticHost, directory=folder))


if __name__ == "__main__":
    host = server(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8080)
    print(f"RMO Mazeblast in a browser: http://127.0.0.1:{host.server_address[1]}/ (Ctrl+C stops)",
          flush=True)
    try:
        host.serve_forever()
    except KeyboardInterrupt:
        pass
