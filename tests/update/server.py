#!/usr/bin/env python3
"""A test update location: serves the files of one folder over HTTP on the
loopback address only, for a bounded time.

    server.py --dir DIR --port-file FILE [--port N] [--seconds S]
              [--rate BYTES_PER_S [--pause-at FRACTION --pause S]]

Binds 127.0.0.1 (port N, or a free one), writes the port to FILE once it
listens, answers GET for plain files directly inside DIR (nothing else:
no listings, no sub-folders, no "..") and exits after S seconds (default
300). --rate slows every answer down to about that many bytes a second, so
that a download lasts long enough to be watched; --pause-at stops a
rate-limited answer for --pause seconds once that share of it is sent. Each request is logged on
standard error as "GET /name status".
"""
import argparse
import http.server
import os
import sys
import threading
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--dir", required=True)
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--seconds", type=float, default=300)
    ap.add_argument("--rate", type=int, default=0)
    ap.add_argument("--pause-at", type=float, default=0)
    ap.add_argument("--pause", type=float, default=0)
    args = ap.parse_args()
    folder = os.path.realpath(args.dir)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            name = self.path.split("?", 1)[0].lstrip("/")
            path = os.path.join(folder, name)
            if (not name or "/" in name or "\\" in name or name.startswith(".")
                    or not os.path.isfile(path)):
                self.send_error(404)
                return
            with open(path, "rb") as f:
                data = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            step = max(1, args.rate // 10) if args.rate else len(data) or 1
            paused = not (args.rate and args.pause_at and args.pause)
            for at in range(0, len(data), step):
                if not paused and at >= len(data) * args.pause_at:
                    paused = True
                    time.sleep(args.pause)
                try:
                    self.wfile.write(data[at:at + step])
                    self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError):
                    return
                if args.rate:
                    time.sleep(0.1)

        def log_message(self, fmt, *a):
            sys.stderr.write("%s\n" % (fmt % a))
            sys.stderr.flush()

        def log_request(self, code="-", size="-"):
            sys.stderr.write("GET %s %s\n" % (self.path, code))
            sys.stderr.flush()

    http.server.ThreadingHTTPServer.allow_reuse_address = True
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    threading.Timer(args.seconds, server.shutdown).start()
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
