#!/usr/bin/env python3
"""Local HTTP server for the update client's tests.

  http_fixture.py start DIR   start the server in the background; DIR/port holds its port
  http_fixture.py stop DIR    stop the server started for DIR
  http_fixture.py serve DIR   run the server in the foreground

Routes (n, d, s are byte counts; the body bytes follow a fixed pattern, see pattern()):
  /files/PATH        the file DIR/root/PATH, without Last-Modified
  /lm/PATH           the same with a Last-Modified header
  /status/CODE       that status with a short body
  /redirect/CODE/P   that redirect status pointing at /P
  /bytes/n           n bytes with Content-Length
  /nolength/n        n bytes without Content-Length
  /short/d/s         Content-Length d, then only s bytes and the connection closes
  /slow/n            n bytes with Content-Length, 16 KiB every 20 ms
  /gated/n/TAG       n bytes with Content-Length; after the first 128 KiB the rest waits
                     until /release/TAG (or half a minute)
  /release/TAG       lets the rest of /gated/n/TAG go: the body is "held" when a transfer
                     was still waiting for it, else "done"
  /count/TAG         how many requests /gated/n/TAG has had
  /empty             200 with no body
  /header/NAME       the request's header NAME as the body
The server ends by itself after five idle minutes, so a run that never reaches its
cleanup leaves nothing behind for long.
"""
import email.utils
import http.server
import os
import signal
import socket
import subprocess
import sys
import threading
import time

IDLE_LIMIT_S = 300


def pattern(n):
    base = bytes(((i * 31 + 7) & 0xFF) for i in range(256))
    return (base * (n // 256 + 1))[:n]


GATE_HEAD = 131072
GATE_LIMIT_S = 30


class Gates:
    lock = threading.Lock()
    events = {}
    waiting = {}
    counts = {}

    @classmethod
    def event(cls, tag):
        with cls.lock:
            return cls.events.setdefault(tag, threading.Event())


class Handler(http.server.BaseHTTPRequestHandler):
    root = '.'
    log_file = None
    last_request = [time.monotonic()]

    def log_message(self, fmt, *args):
        if self.log_file:
            self.log_file.write('%s %s\n' % (self.address_string(), fmt % args))
            self.log_file.flush()

    def send_body(self, status, body, length=None, headers=()):
        self.send_response(status)
        if length is not None:
            self.send_header('Content-Length', str(length))
        for k, v in headers:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        Handler.last_request[0] = time.monotonic()
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client went away (a cancelled download)

    def route(self):
        parts = self.path.split('?', 1)[0].strip('/').split('/')
        kind, args = parts[0], parts[1:]
        if kind in ('files', 'lm'):
            rel = os.path.normpath('/'.join(args)).lstrip('/')
            path = os.path.join(self.root, rel)
            if rel.startswith('..') or not os.path.isfile(path):
                self.send_body(404, b'missing', 7)
                return
            with open(path, 'rb') as f:
                data = f.read()
            headers = []
            if kind == 'lm':
                headers.append(('Last-Modified',
                                email.utils.formatdate(os.path.getmtime(path), usegmt=True)))
            self.send_body(200, data, len(data), headers)
        elif kind == 'status':
            self.send_body(int(args[0]), b'status', 6)
        elif kind == 'redirect':
            self.send_body(int(args[0]), b'', 0, [('Location', '/' + '/'.join(args[1:]))])
        elif kind == 'bytes':
            n = int(args[0])
            self.send_body(200, pattern(n), n)
        elif kind == 'nolength':
            self.send_body(200, pattern(int(args[0])))
        elif kind == 'short':
            self.send_body(200, pattern(int(args[1])), int(args[0]))
        elif kind == 'slow':
            n = int(args[0])
            self.send_body(200, b'', n)
            data = pattern(n)
            for i in range(0, n, 16384):
                self.wfile.write(data[i:i + 16384])
                self.wfile.flush()
                time.sleep(0.02)
        elif kind == 'gated':
            n, tag = int(args[0]), args[1]
            gate = Gates.event(tag)
            with Gates.lock:
                Gates.counts[tag] = Gates.counts.get(tag, 0) + 1
            data = pattern(n)
            self.send_body(200, data[:GATE_HEAD], n)
            self.wfile.flush()
            with Gates.lock:
                Gates.waiting[tag] = Gates.waiting.get(tag, 0) + 1
            gate.wait(GATE_LIMIT_S)
            with Gates.lock:
                Gates.waiting[tag] -= 1
            self.wfile.write(data[GATE_HEAD:])
        elif kind == 'release':
            tag = args[0]
            with Gates.lock:
                held = Gates.waiting.get(tag, 0) > 0
            Gates.event(tag).set()
            body = b'held' if held else b'done'
            self.send_body(200, body, len(body))
        elif kind == 'count':
            with Gates.lock:
                body = str(Gates.counts.get(args[0], 0)).encode()
            self.send_body(200, body, len(body))
        elif kind == 'header':
            value = (self.headers.get(args[0]) or '').encode('utf-8')
            self.send_body(200, value, len(value))
        elif kind == 'empty':
            self.send_body(200, b'', 0)
        else:
            self.send_body(404, b'missing', 7)


def serve(folder):
    os.makedirs(os.path.join(folder, 'root'), exist_ok=True)
    Handler.root = os.path.join(folder, 'root')
    Handler.log_file = open(os.path.join(folder, 'server.log'), 'a')
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    server.daemon_threads = True

    def watchdog():
        while time.monotonic() - Handler.last_request[0] < IDLE_LIMIT_S:
            time.sleep(5)
        server.shutdown()

    threading.Thread(target=watchdog, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    tmp = os.path.join(folder, 'port.tmp')
    with open(tmp, 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, os.path.join(folder, 'port'))
    server.serve_forever()
    server.server_close()


def stop(folder):
    pid_file = os.path.join(folder, 'pid')
    try:
        with open(pid_file) as f:
            pid = int(f.read().strip())
        with open('/proc/%d/cmdline' % pid, 'rb') as f:
            mine = os.path.basename(__file__).encode() in f.read()
        if mine:
            os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ('pid', 'port'):
        try:
            os.remove(os.path.join(folder, name))
        except OSError:
            pass


def start(folder):
    os.makedirs(folder, exist_ok=True)
    stop(folder)
    proc = subprocess.Popen([sys.executable, os.path.abspath(__file__), 'serve', folder],
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    with open(os.path.join(folder, 'pid'), 'w') as f:
        f.write(str(proc.pid))
    port_file = os.path.join(folder, 'port')
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline and proc.poll() is None:
        try:
            with open(port_file) as f:
                port = int(f.read())
            socket.create_connection(('127.0.0.1', port), timeout=2).close()
            print('update test server on 127.0.0.1:%d' % port)
            return 0
        except (OSError, ValueError):
            time.sleep(0.05)
    stop(folder)
    print('update test server did not start', file=sys.stderr)
    return 1


if __name__ == '__main__':
    if len(sys.argv) != 3 or sys.argv[1] not in ('start', 'stop', 'serve'):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    cmd, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    if cmd == 'serve':
        serve(folder)
    elif cmd == 'stop':
        stop(folder)
    else:
        sys.exit(start(folder))
