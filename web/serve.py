#!/usr/bin/env python3
"""Serves a folder as a static web host serves the show's site.

    serve.py [--bind ADDRESS] [--port PORT] [--quiet] [FOLDER]

Each file goes with its type (.wasm as application/wasm, .webmanifest as
application/manifest+json, .js as text/javascript), gzip-compressed when the
request accepts it for the types that gain from it, and with Cache-Control:
no-cache and an ETag, so that the browser asks again every time and a new
build is seen at once. A folder's address gives its index.html. Port 0 picks
a free port; the first line printed names the address served.
Standard library only.
"""
import argparse
import email.utils
import gzip
import http.server
import os
import socket
import sys
import threading
import urllib.parse

TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json; charset=utf-8',
    '.json': 'application/json; charset=utf-8',
    '.png': 'image/png',
    '.ico': 'image/x-icon',
    '.txt': 'text/plain; charset=utf-8',
}
COMPRESSED = {'.html', '.js', '.css', '.wasm', '.webmanifest', '.json', '.txt'}


def accepts_gzip(header):
    """Whether an Accept-Encoding header allows gzip (named or by *, q above 0)."""
    allowed = {}
    for item in (header or '').split(','):
        name, _, params = item.strip().partition(';')
        name = name.strip().lower()
        if not name:
            continue
        quality = 1.0
        for param in params.split(';'):
            key, _, value = param.strip().partition('=')
            if key.strip().lower() == 'q':
                try:
                    quality = float(value)
                except ValueError:
                    quality = 0.0
        allowed[name] = quality
    if 'gzip' in allowed:
        return allowed['gzip'] > 0
    return allowed.get('*', 0) > 0


class Packed:
    """Compressed files kept while their size and time stay the same."""

    def __init__(self):
        self.lock = threading.Lock()
        self.kept = {}

    def get(self, path, stat, data):
        key = (path, stat.st_mtime_ns, stat.st_size)
        with self.lock:
            body = self.kept.get(key)
        if body is None:
            body = gzip.compress(data, compresslevel=9, mtime=0)
            with self.lock:
                self.kept = {k: v for k, v in self.kept.items() if k[0] != path}
                self.kept[key] = body
        return body


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = 'velm-serve'
    protocol_version = 'HTTP/1.1'
    root = '.'
    quiet = False
    packed = Packed()

    def do_GET(self):
        self.answer(body=True)

    def do_HEAD(self):
        self.answer(body=False)

    def log_message(self, format, *args):
        if not self.quiet:
            super().log_message(format, *args)

    def fail(self, code, body):
        data = f'{code} {body}\n'.encode()
        self.send_response(code)
        self.send_header('Content-Type', 'text/plain; charset=utf-8')
        self.send_header('Content-Length', str(len(data)))
        self.send_header('Cache-Control', 'no-cache')
        self.end_headers()
        if self.command != 'HEAD':
            self.wfile.write(data)

    def local_path(self):
        """The file a request's path names inside the root, or None."""
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        parts = [p for p in path.split('/') if p not in ('', '.')]
        if '..' in parts or any('\\' in p or '\0' in p for p in parts):
            return None
        return os.path.join(self.root, *parts)

    def answer(self, body):
        path = self.local_path()
        if path is None:
            return self.fail(400, 'Bad Request')
        if os.path.isdir(path):
            if not urllib.parse.urlsplit(self.path).path.endswith('/'):
                # As a host does: the folder's address ends with a slash, so
                # that the page's relative addresses resolve inside it.
                split = urllib.parse.urlsplit(self.path)
                self.send_response(301)
                self.send_header('Location', urllib.parse.urlunsplit(split._replace(path=split.path + '/')))
                self.send_header('Content-Length', '0')
                self.end_headers()
                return None
            path = os.path.join(path, 'index.html')
        try:
            with open(path, 'rb') as file:
                stat = os.fstat(file.fileno())
                data = file.read()
        except OSError:
            return self.fail(404, 'Not Found')
        extension = os.path.splitext(path)[1].lower()
        compressible = extension in COMPRESSED
        packed = compressible and accepts_gzip(self.headers.get('Accept-Encoding'))
        tag = f'"{stat.st_mtime_ns:x}-{stat.st_size:x}{"-gz" if packed else ""}"'
        unchanged = tag in [t.strip() for t in self.headers.get('If-None-Match', '').split(',')]
        self.send_response(304 if unchanged else 200)
        self.send_header('Content-Type', TYPES.get(extension, 'application/octet-stream'))
        self.send_header('Cache-Control', 'no-cache')
        self.send_header('ETag', tag)
        self.send_header('Last-Modified', email.utils.formatdate(stat.st_mtime, usegmt=True))
        if compressible:
            self.send_header('Vary', 'Accept-Encoding')
        if unchanged:
            self.end_headers()
            return None
        if packed:
            data = self.packed.get(path, stat, data)
            self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        if body:
            self.wfile.write(data)
        return None


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A browser that goes away mid-answer is no error of the server's.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description='Serves a folder as a static web host does.')
    parser.add_argument('folder', nargs='?', default='.', help='the folder to serve (default: this one)')
    parser.add_argument('--bind', default='127.0.0.1', help='address to listen on (default: 127.0.0.1)')
    parser.add_argument('--port', type=int, default=8023, help='port; 0 picks a free one (default: 8023)')
    parser.add_argument('--quiet', action='store_true', help='no line per request')
    args = parser.parse_args()
    if not os.path.isdir(args.folder):
        parser.error(f'{args.folder} is not a folder')
    Handler.root = os.path.abspath(args.folder)
    Handler.quiet = args.quiet
    if ':' in args.bind:
        Server.address_family = socket.AF_INET6
    with Server((args.bind, args.port), Handler) as server:
        host, port = server.server_address[:2]
        shown = f'[{host}]' if ':' in host else host
        print(f'Serving {args.folder} at http://{shown}:{port}/', flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass
    return 0


if __name__ == '__main__':
    sys.exit(main())
