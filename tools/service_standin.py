#!/usr/bin/env python3
"""Stand-in for the tracking service, on 127.0.0.1 only.

Answers the two scripts Rovelog calls:

  POST /upkmlwpt_api.php   an upload: a multipart body (read leniently: the
                           final "--" may be missing) with username, passwd,
                           pvt, track_name, prog, send_info and a file part
                           holding a ZIP archive in Base64. The answer's code
                           sits three characters after its first ">":
                               1000 accepted      1001 password refused
                               1002 no .kml       1003 archive unreadable
                               1004 no coordinates in the .kml
                               1005 archive too large
                               0    coordinates element without a valid one
  POST /checkv_vtkwin.php  the current version text.

Each accepted upload is kept in --store as a folder NNN/ holding the archive
under its file name, fields/<name> with each form field's bytes, and
request.bin with the request as it came.

Fault modes (--mode) for tests:
  normal     as above
  refuse     nothing listens on the port
  backlog    listen with a queue of one and never accept: once the queue
             is full, connecting waits until the client gives up
  hang       accept and never read nor answer
  silent     read the request, then never answer
  close      read the request, then close without answering
  trickle    answer one byte at a time, --trickle-pause seconds apart
  slow-read  read the request in small pieces with pauses, then answer

--link-rate N reads requests at N bytes a second, as a slow mobile link passes them.

--upload-status answers uploads with another HTTP status and an error page
as its body, as a web server in trouble does.

The port is chosen by the system unless --port is given; it is printed and
written to --port-file once the server listens. SIGTERM ends it cleanly.
"""

import argparse
import base64
import binascii
import io
import os
import re
import signal
import socket
import socketserver
import sys
import threading
import time
import zipfile

HEAD_LIMIT = 64 * 1024
SLOW_READ_PIECE = 64 * 1024
SLOW_READ_PAUSE = 0.02
TRICKLE_PAUSE = 0.002
SMALL_RECEIVE_BUFFER = 64 * 1024
LINK_RECEIVE_BUFFER = 4096

stop = threading.Event()


def parse_args():
    parser = argparse.ArgumentParser(description="Tracking service stand-in on 127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--login", default="")
    parser.add_argument("--password", default="")
    parser.add_argument("--store")
    parser.add_argument("--version-text", default="win1_2")
    parser.add_argument("--version-file", help="file whose bytes are the version answer")
    parser.add_argument("--version-status", type=int, default=200)
    parser.add_argument("--mode", default="normal",
                        choices=["normal", "refuse", "backlog", "hang", "silent", "close", "trickle", "slow-read"])
    parser.add_argument("--link-rate", type=int, help="bytes a second the request is read at")
    parser.add_argument("--code", type=int, help="answer every upload with this code")
    parser.add_argument("--upload-status", type=int, default=200,
                        help="HTTP status of every upload answer; other than 200 the body is an error page")
    parser.add_argument("--trickle-pause", type=float, default=TRICKLE_PAUSE,
                        help="seconds between the bytes of an answer in trickle mode")
    parser.add_argument("--max-size", type=int, default=20 * 1024 * 1024,
                        help="largest archive accepted, in bytes")
    return parser.parse_args()


def log(text):
    print("service_standin: " + text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------- requests

class Request:
    def __init__(self, method, path, headers, body, raw):
        self.method = method
        self.path = path
        self.headers = headers
        self.body = body
        self.raw = raw


def read_piece(conn, size, options):
    """Up to size bytes, as fast as --link-rate (in twentieths of a second) or --mode slow-read let them come."""
    rate = options.link_rate
    piece = conn.recv(min(size, rate // 20 + 1 if rate else SLOW_READ_PIECE if options.mode == "slow-read" else size))
    if rate or options.mode == "slow-read":
        time.sleep(len(piece) / rate if rate else SLOW_READ_PAUSE)
    return piece


def receive_request(conn, options):
    """Reads one request: head, then Content-Length bytes. None on failure."""
    data = b""
    while b"\r\n\r\n" not in data:
        if len(data) > HEAD_LIMIT:
            return None
        piece = read_piece(conn, 65536, options)
        if not piece:
            return None
        data += piece
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    parts = lines[0].split(b" ")
    if len(parts) < 2:
        return None
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        headers[name.strip().lower().decode("latin-1")] = value.strip()
    length = int(headers.get("content-length", b"0") or 0)
    chunks = [body]
    received = len(body)
    while received < length:
        piece = read_piece(conn, min(1 << 20, length - received), options)
        if not piece:
            return None
        chunks.append(piece)
        received += len(piece)
    body = b"".join(chunks)
    raw = head + b"\r\n\r\n" + body
    return Request(parts[0].decode("latin-1"), parts[1].decode("latin-1"), headers, body[:length], raw)


def drain(conn):
    """Takes what the client still sends (its CR LF after the body) so that
    closing sends FIN, not RST."""
    conn.settimeout(0.2)
    try:
        while conn.recv(65536):
            pass
    except OSError:
        pass


REASONS = {200: "OK", 302: "Found", 404: "Not Found", 500: "Internal Server Error", 502: "Bad Gateway",
           503: "Service Unavailable"}


def send_answer(conn, status, body, trickle_pause):
    """The whole answer at once, or one byte at a time when a pause is given."""
    reason = REASONS.get(status, "Status")
    head = ("HTTP/1.1 %d %s\r\nContent-Type: text/html; charset=windows-1251\r\n"
            "Content-Length: %d\r\nConnection: close\r\n\r\n" % (status, reason, len(body)))
    answer = head.encode("latin-1") + body
    if trickle_pause is None:
        conn.sendall(answer)
        return
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    for i in range(len(answer)):
        if stop.is_set():
            return
        conn.sendall(answer[i:i + 1])
        time.sleep(trickle_pause)


# ------------------------------------------------------------------ upload

def parse_multipart(body, boundary):
    """Form fields and the file part of a multipart body; a body that ends in
    the delimiter without the closing "--" is read the same."""
    fields = {}
    file_name = None
    file_value = None
    delimiter = b"--" + boundary
    for part in body.split(delimiter)[1:]:
        if part.startswith(b"--"):
            break
        if part.startswith(b"\r\n"):
            part = part[2:]
        head, found, value = part.partition(b"\r\n\r\n")
        if not found:
            continue
        if value.endswith(b"\r\n"):
            value = value[:-2]
        name = re.search(rb'\bname="([^"]*)"', head)
        filename = re.search(rb'\bfilename="([^"]*)"', head)
        if filename:
            file_name = filename.group(1)
            file_value = value
        elif name:
            fields[name.group(1).decode("latin-1")] = value
    return fields, file_name, file_value


def count_coordinates(kml):
    """Valid lon,lat[,alt] tuples inside coordinates elements, or None when
    the text has no coordinates element."""
    blocks = re.findall(rb"<coordinates>(.*?)</coordinates>", kml, re.S)
    if not blocks:
        return None
    valid = 0
    for block in blocks:
        for item in block.split():
            numbers = item.split(b",")
            try:
                lon, lat = float(numbers[0]), float(numbers[1])
            except (ValueError, IndexError):
                continue
            if -180 <= lon <= 180 and -90 <= lat <= 90:
                valid += 1
    return valid


def kml_texts(file_name, data):
    """The .kml texts of the upload: inside the ZIP archive, or the file itself."""
    if file_name.lower().endswith(b".kml"):
        return [data]
    with zipfile.ZipFile(io.BytesIO(data)) as archive:
        return [archive.read(name) for name in archive.namelist() if name.lower().endswith(".kml")]


def judge_upload(options, request):
    """The answer code of an upload, and what to keep when it is accepted."""
    content_type = request.headers.get("content-type", b"")
    match = re.search(rb"boundary=([^;\s]+)", content_type)
    boundary = match.group(1) if match else b"BoUnDaRy"
    fields, file_name, file_value = parse_multipart(request.body, boundary)
    if (fields.get("username") != options.login.encode("cp1251") or
            fields.get("passwd") != options.password.encode("cp1251")):
        return 1001, None
    if file_name is None or not file_name.lower().endswith((b".zip", b".kml")):
        return 1002, None
    try:
        data = base64.b64decode(file_value, validate=True)
    except (binascii.Error, ValueError):
        return 1003, None
    if len(data) > options.max_size:
        return 1005, None
    try:
        texts = kml_texts(file_name, data)
    except (zipfile.BadZipFile, zipfile.LargeZipFile, OSError, EOFError, NotImplementedError):
        return 1003, None
    if not texts:
        return 1002, None
    counts = [count_coordinates(text) for text in texts]
    if all(count is None for count in counts):
        return 1004, None
    if sum(count or 0 for count in counts) == 0:
        return 0, None
    return 1000, (fields, file_name, data)


store_lock = threading.Lock()


def keep_upload(options, request, fields, file_name, data):
    if not options.store:
        return
    with store_lock:
        number = len([n for n in os.listdir(options.store) if n.isdigit()]) + 1
        folder = os.path.join(options.store, "%03d" % number)
        os.makedirs(os.path.join(folder, "fields"))
    safe_name = os.path.basename(file_name.decode("latin-1").replace("\\", "/")) or "archive"
    with open(os.path.join(folder, safe_name), "wb") as out:
        out.write(data)
    for name, value in fields.items():
        with open(os.path.join(folder, "fields", re.sub(r"[^\w.-]", "_", name)), "wb") as out:
            out.write(value)
    with open(os.path.join(folder, "request.bin"), "wb") as out:
        out.write(request.raw)


def upload_answer(code):
    # The client takes the four characters three places after the first ">".
    return b"<answer>\r\n%d\r\n</answer>\r\n" % code


def error_page(status):
    reason = REASONS.get(status, "Status").encode("latin-1")
    return (b"<html><head><title>%d %s</title></head><body><h1>%s</h1></body></html>\r\n"
            % (status, reason, reason))


# ------------------------------------------------------------------ server

class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        try:
            self.exchange(self.server.options, self.request)
        except (BrokenPipeError, ConnectionResetError):
            # The client stops reading once it has the code.
            log("client closed the connection early")

    def exchange(self, options, conn):
        if options.mode == "hang":
            stop.wait()
            return
        request = receive_request(conn, options)
        if request is None:
            return
        if options.mode == "silent":
            stop.wait()
            return
        if options.mode == "close":
            drain(conn)
            return
        status, body = self.respond(options, request)
        send_answer(conn, status, body, options.trickle_pause if options.mode == "trickle" else None)
        conn.shutdown(socket.SHUT_WR)
        drain(conn)

    def respond(self, options, request):
        path = request.path.lstrip("/")
        if request.method == "POST" and path == "upkmlwpt_api.php":
            code, kept = judge_upload(options, request)
            if options.code is not None:
                code = options.code
            elif kept:
                keep_upload(options, request, *kept)
            log("upload of %d bytes: code %d" % (len(request.body), code))
            if options.upload_status != 200:
                return options.upload_status, error_page(options.upload_status)
            return 200, upload_answer(code)
        if request.method == "POST" and path == "checkv_vtkwin.php":
            log("version check: status %d" % options.version_status)
            return options.version_status, self.server.version if options.version_status == 200 else b""
        log("unknown request %s %s" % (request.method, request.path))
        return 404, b"not found"


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, options, version):
        self.options = options
        self.version = version
        super().__init__(("127.0.0.1", options.port), Handler, bind_and_activate=False)
        if options.mode in ("hang", "slow-read"):
            # A small window makes a client that sends much wait for the reader.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, SMALL_RECEIVE_BUFFER)
        if options.link_rate:
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, LINK_RECEIVE_BUFFER)
        self.server_bind()
        self.server_activate()


def announce(options, port):
    print(port, flush=True)
    if options.port_file:
        temporary = options.port_file + ".tmp"
        with open(temporary, "w") as out:
            out.write("%d\n" % port)
        os.replace(temporary, options.port_file)


def closed_port(options):
    """A port nothing listens on: bound once, then let go."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", options.port))
    port = probe.getsockname()[1]
    probe.close()
    return port


def unaccepted_listener(options):
    """A socket that listens but never accepts."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", options.port))
    listener.listen(0)
    return listener


def main():
    options = parse_args()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    if options.store:
        os.makedirs(options.store, exist_ok=True)
    version = options.version_text.encode("utf-8")
    if options.version_file:
        with open(options.version_file, "rb") as source:
            version = source.read()
    server = None
    listener = None
    if options.mode == "refuse":
        announce(options, closed_port(options))
    elif options.mode == "backlog":
        listener = unaccepted_listener(options)
        announce(options, listener.getsockname()[1])
    else:
        server = Server(options, version)
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True).start()
        announce(options, server.server_address[1])
    while not stop.wait(0.2):
        pass
    if server:
        server.shutdown()
        server.server_close()
    if listener:
        listener.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
