#!/usr/bin/env python3
"""Serves the item service's site (made by build-site) on 127.0.0.1 with
Python's http.server. Pages and the update information file name this
server as @SERVER@ (percent-encoded inside links), which is replaced by its
own address when sent.
Usage: serve.py SITE_FOLDER [PORT_FILE]
Takes a free port, prints "http://127.0.0.1:PORT" (and writes it to
PORT_FILE) once it listens, and serves until stopped."""

import functools
import io
import http.server
import os
import sys
import urllib.parse

FILLED_IN = (".html", ".inf")


class Handler(http.server.SimpleHTTPRequestHandler):
    server_address_text = ""

    def send_head(self):
        path = self.translate_path(self.path)
        if not path.endswith(FILLED_IN) or not os.path.isfile(path):
            return super().send_head()
        with open(path, "rb") as page:
            body = page.read()
        # In a link's query the name is percent-encoded, and so is the address.
        encoded = urllib.parse.quote(self.server_address_text, safe="").encode()
        body = body.replace(b"%40SERVER%40", encoded)
        body = body.replace(b"@SERVER@", self.server_address_text.encode())
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def log_message(self, format, *args):
        pass  # quiet: the editor's terminal is not the server's log


def main():
    site = os.path.abspath(sys.argv[1])
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Handler, directory=site))
    address = f"http://127.0.0.1:{server.server_address[1]}"
    Handler.server_address_text = address
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
