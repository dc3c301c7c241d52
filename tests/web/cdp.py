"""Headless Chromium driven over the DevTools protocol, and the page's folder served on 127.0.0.1.

Everything waits for a condition on the page, never for a fixed time."""
import functools
import http.server
import itertools
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

# Generous: a busy machine running SwiftShader can take its time, and nothing waits this long when
# all is well.
PATIENCE = 120


class Server:
    """A static server for a folder, on a free port of 127.0.0.1; with cors, one that other
    origins may read. The paths asked for are kept in requests."""

    def __init__(self, folder, cors=False):
        self.requests = []
        handler = functools.partial(Quiet, directory=folder)
        self.httpd = QuietServer(("127.0.0.1", 0), handler)
        self.httpd.requests, self.httpd.cors = self.requests, cors
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a browser closed while a file was on its way


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def end_headers(self):
        self.server.requests.append(self.path)
        if self.server.cors:
            self.send_header("Access-Control-Allow-Origin", "*")
        super().end_headers()


class Browser:
    """One headless Chromium with one page; console messages and exceptions are collected."""

    def __init__(self, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="avada-kedabra-chromium.")
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required",
             "--remote-debugging-port=0", "--user-data-dir=" + self.profile,
             "--no-first-run", "--window-size=1024,576", *extra_flags, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        self.until(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1,
                   "chromium's DevTools port")
        port = open(port_file).read().split()[0]
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json" % port))
        page = next(t for t in targets if t["type"] == "page")
        self.ws = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=PATIENCE)
        self.ids = itertools.count(1)
        self.console = []     # (level, text)
        self.exceptions = []  # text
        for domain in ("Runtime", "Log", "Page"):
            self.call(domain + ".enable")
        # Every policy violation is a console error, whatever caused it.
        self.call("Page.addScriptToEvaluateOnNewDocument", source=(
            "document.addEventListener('securitypolicyviolation', (e) => console.error("
            "'policy violation: ' + e.violatedDirective + ' ' + e.blockedURI));"))

    def until(self, condition, what, patience=PATIENCE):
        deadline = time.monotonic() + patience
        while not condition():
            if time.monotonic() > deadline:
                raise AssertionError("gave up waiting for " + what)
            time.sleep(0.05)

    def _event(self, message):
        method, p = message.get("method"), message.get("params", {})
        if method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in p["args"])
            self.console.append((p["type"], text))
        elif method == "Log.entryAdded":
            self.console.append((p["entry"]["level"], p["entry"]["text"]))
        elif method == "Runtime.exceptionThrown":
            d = p["exceptionDetails"]
            self.exceptions.append(d.get("exception", {}).get("description", d.get("text")))

    def call(self, method, **params):
        mid = next(self.ids)
        self.ws.send(json.dumps({"id": mid, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == mid:
                if "error" in message:
                    raise AssertionError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._event(message)

    def js(self, expression, gesture=False):
        """The value of a JavaScript expression (promises awaited)."""
        r = self.call("Runtime.evaluate", expression=expression, awaitPromise=True,
                      returnByValue=True, userGesture=gesture)
        if "exceptionDetails" in r:
            raise AssertionError("%s: %s" % (expression, r["exceptionDetails"]))
        return r["result"].get("value")

    def wait(self, expression, what, patience=PATIENCE):
        """Waits until the expression is truthy on the page; returns its value."""
        deadline = time.monotonic() + patience
        while True:
            try:
                value = self.js(expression)
            except AssertionError:  # not defined yet
                value = None
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError("gave up waiting for %s (%s)" % (what, expression))
            time.sleep(0.05)

    def open(self, url, before_load=None):
        if before_load:
            self.call("Page.addScriptToEvaluateOnNewDocument", source=before_load)
        self.call("Page.navigate", url=url)
        # A link may be megabytes long: its length and end tell it.
        self.wait("location.href.length === %d && location.href.endsWith(%s) && "
                  "document.readyState === 'complete'" % (len(url), json.dumps(url[-200:])),
                  "the page at " + url[:200])

    def key(self, key, code, key_code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=code,
                      windowsVirtualKeyCode=key_code, text=key if len(key) == 1 else "")

    def grant_clipboard(self, origin):
        self.call("Browser.grantPermissions", origin=origin.rstrip("/"),
                  permissions=["clipboardReadWrite", "clipboardSanitizedWrite"])

    def errors(self):
        """Console errors, WebGL's complaints (warnings) and uncaught exceptions."""
        return ([t for level, t in self.console if level == "error" or "WebGL" in t] +
                self.exceptions)

    def close(self):
        try:
            self.ws.close()
        finally:
            self.process.terminate()
            self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)
