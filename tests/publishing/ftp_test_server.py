#!/usr/bin/env python3
"""A loopback FTP server for the publishing tests, with optional extras:
an HTTP CONNECT proxy in front of it, a stand-in FTP gateway (log in as the
gateway user, SITE host, then USER/PASS of the server's user), and a server
that never confirms a finished upload with 226.

Prints "FTP <port>" (and "PROXY <port>") on stdout once listening; every
command line received goes to --commands (passwords masked), every
Proxy-Authorization the proxy got to --proxy-log."""

import argparse
import base64
import select
import socket
import socketserver
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def make_handler(args):
    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            record = line if cmd != "PASS" else "PASS ***"
            if args.commands:
                with open(args.commands, "a", encoding="utf-8") as log:
                    log.write(record + "\n")
            if args.stall_after is not None and cmd == "EPSV":
                if self.server_stores[0] >= args.stall_after:
                    # The whole server stops answering, as a hung one does.
                    import time
                    time.sleep(3600)
                self.server_stores[0] += 1
            if args.gateway and cmd == "SITE" and arg.split(" ")[0].upper() not in ("CHMOD", "HELP"):
                if not self.authenticated:
                    self.respond("530 Log in with USER and PASS first.")
                else:
                    self.respond("200 Gateway connected to %s." % arg)
                return
            return super().pre_process_command(line, cmd, arg)

        def respond(self, resp, logfun=None):
            if args.no_226 and resp.startswith("226"):
                resp = "451 Upload not confirmed (test server)."
            if logfun is None:
                return super().respond(resp)
            return super().respond(resp, logfun=logfun)

    Handler.server_stores = [0]
    # A wrong password is answered at once, not after the usual pause.
    Handler.auth_failed_timeout = 0.1
    return Handler


class ConnectProxy(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def make_proxy_handler(args):
    class ProxyHandler(socketserver.BaseRequestHandler):
        def handle(self):
            data = b""
            while b"\r\n\r\n" not in data:
                chunk = self.request.recv(4096)
                if not chunk:
                    return
                data += chunk
            head, _, rest = data.partition(b"\r\n\r\n")
            lines = head.decode("latin-1").split("\r\n")
            method, target, _ = lines[0].split(" ", 2)
            auth = ""
            for line in lines[1:]:
                name, _, value = line.partition(":")
                if name.strip().lower() == "proxy-authorization":
                    kind, _, token = value.strip().partition(" ")
                    auth = base64.b64decode(token).decode("utf-8") if kind.lower() == "basic" else value.strip()
            if args.proxy_log:
                with open(args.proxy_log, "a", encoding="utf-8") as log:
                    log.write("%s %s %s\n" % (method, target, auth))
            if method != "CONNECT":
                self.request.sendall(b"HTTP/1.1 405 Only CONNECT\r\n\r\n")
                return
            if args.proxy_user and auth != args.proxy_user:
                self.request.sendall(b"HTTP/1.1 407 Proxy Authentication Required\r\n"
                                     b"Proxy-Authenticate: Basic realm=\"test\"\r\n"
                                     b"Content-Length: 0\r\n\r\n")
                return
            host, _, port = target.rpartition(":")
            upstream = socket.create_connection((host.strip("[]"), int(port)))
            self.request.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            if rest:
                upstream.sendall(rest)
            pair = [self.request, upstream]
            try:
                while True:
                    ready, _, _ = select.select(pair, [], [], 30)
                    if not ready:
                        return
                    for sock in ready:
                        chunk = sock.recv(65536)
                        if not chunk:
                            return
                        (upstream if sock is self.request else self.request).sendall(chunk)
            finally:
                upstream.close()

    return ProxyHandler


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", required=True)
    p.add_argument("--password", required=True)
    p.add_argument("--gateway", action="store_true")
    p.add_argument("--gateway-user")
    p.add_argument("--gateway-password")
    p.add_argument("--no-226", action="store_true")
    p.add_argument("--commands")
    p.add_argument("--stall-after", type=int, help="the server hangs at the data connection after this many")
    p.add_argument("--bytes-per-second", type=int, help="a slow line: uploads limited to this rate")
    p.add_argument("--proxy", action="store_true")
    p.add_argument("--proxy-user", help="user:password the proxy demands")
    p.add_argument("--proxy-log")
    args = p.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.gateway:
        authorizer.add_user(args.gateway_user, args.gateway_password, args.root, perm="el")
    handler = make_handler(args)
    handler.authorizer = authorizer
    if args.bytes_per_second:
        class Slow(ThrottledDTPHandler):
            read_limit = args.bytes_per_second
        handler.dtp_handler = Slow
    server = FTPServer(("127.0.0.1", 0), handler)
    print("FTP %d" % server.address[1], flush=True)
    if args.proxy:
        proxy = ConnectProxy(("127.0.0.1", 0), make_proxy_handler(args))
        threading.Thread(target=proxy.serve_forever, daemon=True).start()
        print("PROXY %d" % proxy.server_address[1], flush=True)
    print("READY", flush=True)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    main()
