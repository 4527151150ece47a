#!/usr/bin/env python3
"""Serves the item service's site (made by build-site) on 127.0.0.1 with
Python's http.server. Pages and the update information file name this
server as @SERVER@ (percent-encoded inside links), which is replaced by its
own address when sent. An information file FILE.inf, once its address is
filled in, is signed as a publisher signs it (minisign -S) with the secret
key build-site made beside the site (SITE_FOLDER/../keys/update.key); the
signature is served as FILE.inf.minisig. Without the key there is none.
Usage: serve.py SITE_FOLDER [PORT_FILE]
Takes a free port, prints "http://127.0.0.1:PORT" (and writes it to
PORT_FILE) once it listens, and serves until stopped."""

import functools
import io
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import urllib.parse

FILLED_IN = (".html", ".inf")
SIGNATURE = ".minisig"


class Handler(http.server.SimpleHTTPRequestHandler):
    server_address_text = ""
    secret_key = ""
    signatures = {}  # information file -> its signature, made at the first request
    signing = threading.Lock()

    def send_head(self):
        path = self.translate_path(self.path)
        if path.endswith(".inf" + SIGNATURE):
            signature = self.signature(path[:-len(SIGNATURE)])
            if signature is None:
                self.send_error(404, "File not found")
                return None
            return self.answer(signature, "text/plain")
        if not path.endswith(FILLED_IN) or not os.path.isfile(path):
            return super().send_head()
        return self.answer(self.filled_in(path), self.guess_type(path))

    def answer(self, body, content_type):
        self.send_response(200)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def filled_in(self, path):
        with open(path, "rb") as page:
            body = page.read()
        # In a link's query the name is percent-encoded, and so is the address.
        encoded = urllib.parse.quote(self.server_address_text, safe="").encode()
        body = body.replace(b"%40SERVER%40", encoded)
        return body.replace(b"@SERVER@", self.server_address_text.encode())

    def signature(self, path):
        if not os.path.isfile(path) or not os.path.isfile(self.secret_key):
            return None
        with self.signing:
            if path not in self.signatures:
                with tempfile.TemporaryDirectory() as scratch:
                    copy = os.path.join(scratch, os.path.basename(path))
                    with open(copy, "wb") as out:
                        out.write(self.filled_in(path))
                    subprocess.run(["minisign", "-S", "-s", self.secret_key, "-m", copy],
                                   check=True, stdout=subprocess.DEVNULL)
                    with open(copy + SIGNATURE, "rb") as signed:
                        self.signatures[path] = signed.read()
            return self.signatures[path]

    def log_message(self, format, *args):
        pass  # quiet: the editor's terminal is not the server's log


def main():
    site = os.path.abspath(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Handler, directory=site))
    address = f"http://127.0.0.1:{server.server_address[1]}"
    Handler.server_address_text = address
    Handler.secret_key = os.path.join(os.path.dirname(site), "keys", "update.key")
    if len(sys.argv) > 2:
        with open(sys.argv[2] + ".part", "w") as port_file:
            port_file.write(address + "\n")
        os.replace(sys.argv[2] + ".part", sys.argv[2])
    print(address, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
