#!/usr/bin/python3
"""Scripted HTTP server for the download tests; listens on 127.0.0.1 only.

It records every request head exactly as received and answers with whatever
the script says, byte for byte, including answers no real server would give
(stalls, cut-off bodies, resets), so the client's handling of each can be
checked.

Usage:
  http_test_server.py [--port N] [--script FILE|-] [--log FILE]
                      [--port-file FILE] [--mode serve|full-backlog]

--port 0 (the default) picks a free port. Once listening, the server prints
"LISTENING <port>" on stdout and, with --port-file, writes the port to that
file. It runs until it is killed.

Script (JSON object; every key optional):
  {"answers": [ANSWER, ...],        played in order, one per request
   "routes": {"/target": ANSWER},   a request for this exact target gets this
                                    answer every time, out of order
   "default": ANSWER}               when neither applies (else a 404)

ANSWER is either raw: {"send": [PIECE, ...], "after": AFTER}
  PIECE: a string sent as its code points 0-255 (latin-1),
         {"hex": "0d0a"} for bytes, {"fill": "x", "count": n} for n times
         that text, {"sleep": seconds}, or {"repeat": "text"}: the text
         over and over until the client closes (an endless body)
or built: {"status": 200, "reason": "OK", "headers": [["Name", "value"], ...],
           "body": "text", "chunks": ["part", ...], "no_length": true,
           "sleep_before": s, "sleep_after_head": s, "after": AFTER}
  A body or a chunk may also be a fill piece.
  A built answer gets "Content-Length" from its body unless it is chunked,
  names one itself, or says "no_length".
AFTER: "keep" (the default: read the next request on the connection),
       "close" (orderly close), "reset" (abortive close: the peer sees RST),
       "hang" (send nothing more, ignore what comes, until the client
       closes).

Log (--log): for every request, in arrival order, the line
  "REQUEST <connection number> <byte count>\\n", the raw head bytes, "\\n".
Connections are numbered from 1 in the order they were accepted. The entry is
written and flushed before the answer goes out.

--mode full-backlog: a listener that never accepts, with its queue already
filled by the server's own connections; a connect to it waits until the
client gives up, which is how connect time-outs are tested.
"""

import argparse
import json
import os
import socket
import struct
import sys
import threading
import time

MAX_HEAD = 1 << 20


def piece_bytes(piece):
    if isinstance(piece, str):
        return piece.encode("latin-1")
    if "hex" in piece:
        return bytes.fromhex(piece["hex"])
    if "fill" in piece:
        return piece["fill"].encode("latin-1") * piece["count"]
    raise ValueError("bad piece: %r" % (piece,))


def text_of(value):
    """A body or chunk: a string or a fill piece, as latin-1 text."""
    return value if isinstance(value, str) else piece_bytes(value).decode("latin-1")


def build_answer(answer):
    """Turns a built answer into the raw form."""
    if "send" in answer:
        return answer
    status = answer.get("status", 200)
    reason = answer.get("reason", "OK")
    headers = [list(h) for h in answer.get("headers", [])]
    names = {h[0].lower() for h in headers}
    chunks = answer.get("chunks")
    if chunks is not None:
        chunks = [text_of(c) for c in chunks]
    body = text_of(answer.get("body", ""))
    if chunks is not None:
        if "transfer-encoding" not in names:
            headers.append(["Transfer-Encoding", "chunked"])
        body = "".join("%x\r\n%s\r\n" % (len(c.encode("latin-1")), c)
                       for c in chunks) + "0\r\n\r\n"
    elif "content-length" not in names and not answer.get("no_length"):
        headers.append(["Content-Length", str(len(body.encode("latin-1")))])
    head = "HTTP/1.1 %d %s\r\n" % (status, reason)
    head += "".join("%s: %s\r\n" % (n, v) for n, v in headers) + "\r\n"
    send = []
    if answer.get("sleep_before"):
        send.append({"sleep": answer["sleep_before"]})
    send.append(head)
    if answer.get("sleep_after_head"):
        send.append({"sleep": answer["sleep_after_head"]})
    if body:
        send.append(body)
    return {"send": send, "after": answer.get("after", "keep")}


NOT_FOUND = build_answer({"status": 404, "reason": "Not Found"})


class Server:
    def __init__(self, script, log_path):
        self.answers = [build_answer(a) for a in script.get("answers", [])]
        self.routes = {k: build_answer(v)
                       for k, v in script.get("routes", {}).items()}
        self.default = (build_answer(script["default"])
                        if "default" in script else NOT_FOUND)
        self.lock = threading.Lock()
        self.log = open(log_path, "ab") if log_path else None
        self.connections = 0

    def pick_answer(self, target):
        with self.lock:
            if target in self.routes:
                return self.routes[target]
            if self.answers:
                return self.answers.pop(0)
            return self.default

    def record(self, conn_no, raw):
        if self.log is None:
            return
        with self.lock:
            self.log.write(b"REQUEST %d %d\n" % (conn_no, len(raw)))
            self.log.write(raw + b"\n")
            self.log.flush()

    def serve(self, listener):
        while True:
            sock, _ = listener.accept()
            with self.lock:
                self.connections += 1
                conn_no = self.connections
            threading.Thread(target=self.handle, args=(sock, conn_no),
                             daemon=True).start()

    def handle(self, sock, conn_no):
        buffered = b""
        try:
            while True:
                while b"\r\n\r\n" not in buffered:
                    data = sock.recv(65536)
                    if not data:
                        return
                    buffered += data
                    if len(buffered) > MAX_HEAD:
                        return
                end = buffered.index(b"\r\n\r\n") + 4
                raw, buffered = buffered[:end], buffered[end:]
                self.record(conn_no, raw)
                parts = raw.split(b"\r\n", 1)[0].split(b" ")
                target = parts[1].decode("latin-1") if len(parts) > 1 else ""
                answer = self.pick_answer(target)
                for piece in answer["send"]:
                    if isinstance(piece, dict) and "sleep" in piece:
                        time.sleep(piece["sleep"])
                    elif isinstance(piece, dict) and "repeat" in piece:
                        block = piece_bytes(piece["repeat"]) * 4096
                        while True:
                            sock.sendall(block)
                    else:
                        sock.sendall(piece_bytes(piece))
                after = answer.get("after", "keep")
                if after == "close":
                    sock.shutdown(socket.SHUT_WR)
                    return
                if after == "reset":
                    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                    struct.pack("ii", 1, 0))
                    return
                if after == "hang":
                    while sock.recv(65536):
                        pass
                    return
        except OSError:
            # The client gave up first (time-out, abort): nothing to do.
            pass
        finally:
            sock.close()


def fill_backlog(listener, port):
    """Connects to the listener until its accept queue is full."""
    held = []
    for _ in range(64):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        s.connect_ex(("127.0.0.1", port))
        held.append(s)
        try:
            s.getpeername()
            continue
        except OSError:
            pass
        # Not connected at once: wait briefly, a queued SYN can still land.
        deadline = time.monotonic() + 0.3
        while time.monotonic() < deadline:
            try:
                s.getpeername()
                break
            except OSError:
                time.sleep(0.01)
        else:
            return held
    raise RuntimeError("accept queue never filled")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--script", default=None)
    parser.add_argument("--log", default=None)
    parser.add_argument("--port-file", default=None)
    parser.add_argument("--mode", choices=["serve", "full-backlog"],
                        default="serve")
    args = parser.parse_args()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    if args.mode == "full-backlog":
        listener.listen(0)
    else:
        listener.listen(64)
    port = listener.getsockname()[1]

    server = None
    held = None
    if args.mode == "full-backlog":
        held = fill_backlog(listener, port)
    else:
        script = {}
        if args.script == "-":
            script = json.load(sys.stdin)
        elif args.script:
            with open(args.script, encoding="utf-8") as f:
                script = json.load(f)
        server = Server(script, args.log)

    if args.port_file:
        # Written whole under another name first, so a reader never sees
        # half of it.
        with open(args.port_file + ".tmp", "w") as f:
            f.write("%d\n" % port)
        os.replace(args.port_file + ".tmp", args.port_file)
    sys.stdout.write("LISTENING %d\n" % port)
    sys.stdout.flush()

    if server is not None:
        server.serve(listener)
    else:
        while True:
            time.sleep(3600)
    del held


if __name__ == "__main__":
    main()
