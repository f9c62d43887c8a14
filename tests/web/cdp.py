"""A headless Chromium of our own, driven through its DevTools protocol: real
pointer and key input, real screenshots. Shared by the page's end-to-end test,
make web's headless round and make bench."""
import base64
import contextlib
import functools
import http.server
import json
import os
import shutil
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket  # python3-websocket (Debian)

# The page has laid out its view and is done with what it was doing.
PAGE_READY = "document.getElementById('view').style.width && !document.documentElement.dataset.busy"


@contextlib.contextmanager
def served(folder):
    """The folder served on 127.0.0.1 while the block runs: the page's address."""
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
    http.server.SimpleHTTPRequestHandler.log_message = lambda *a: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f"http://127.0.0.1:{server.server_port}/index.html"
    finally:
        server.shutdown()


class Browser:
    def __init__(self, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="hoppel-chromium-")
        # As root it needs --no-sandbox; the background-networking flags keep
        # it from calling out, which a closed network refuses many times over.
        flags = ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--disable-extensions", "--mute-audio",
                 "--autoplay-policy=no-user-gesture-required", "--remote-debugging-port=0",
                 "--user-data-dir=" + self.profile, *extra_flags, "about:blank"]
        self.process = subprocess.Popen(["/usr/bin/chromium", *flags], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 60
        while not (os.path.exists(port_file) and open(port_file).read().count("\n") >= 1):
            if time.time() > deadline or self.process.poll() is not None:
                self.close()
                raise RuntimeError("chromium did not start")
            time.sleep(0.05)
        port = open(port_file).read().split("\n")[0]
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=10))
        page = next(p for p in pages if p["type"] == "page")
        self.ws = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60,
                                              suppress_origin=True)
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.process.terminate()
            self.process.wait(10)
        except Exception:
            self.process.kill()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def send(self, method, **params):
        self.next_id += 1
        mine = self.next_id
        self.ws.send(json.dumps({"id": mine, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("id") == mine:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=20, what=None):
        """Polls a page expression until it is truthy; bounded."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.02)
        raise AssertionError(f"timed out waiting for {what or expression}")

    def open(self, url, dpr=1, init_script=None):
        self.send("Page.enable")
        self.send("Runtime.enable")
        self.send("Log.enable")
        self.send("Emulation.setDeviceMetricsOverride", width=700, height=560,
                  deviceScaleFactor=dpr, mobile=False)
        if init_script:
            self.send("Page.addScriptToEvaluateOnNewDocument", source=init_script)
        self.send("Page.navigate", url=url)
        self.wait_for("document.readyState === 'complete'", what="the page to load")

    def box(self, element_id):
        """The element's left, top, width and height."""
        return self.evaluate(f"(() => {{ const r = document.getElementById('{element_id}')"
                             ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()")

    def mouse(self, kind, x, y, button="left", clicks=1):
        self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                  buttons=1 if kind == "mousePressed" else 0, clickCount=clicks)

    def click(self, x, y):
        self.mouse("mouseMoved", x, y, button="none")
        self.mouse("mousePressed", x, y)
        self.mouse("mouseReleased", x, y)

    def tap(self, x, y):
        self.send("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.send("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def key(self, key, code, key_code, text=None):
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": key_code}
        if text:
            down["text"] = text
        self.send("Input.dispatchKeyEvent", **down)
        self.send("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                  windowsVirtualKeyCode=key_code)

    def screenshot(self, path=None, **clip):
        data = base64.b64decode(self.send("Page.captureScreenshot", format="png", **clip)["data"])
        if path:
            with open(path, "wb") as f:
                f.write(data)
        return data

    def errors(self):
        """Page errors and console errors seen so far."""
        found = []
        for e in self.events:
            m, p = e["method"], e.get("params", {})
            if m == "Runtime.exceptionThrown":
                found.append("exception: " + json.dumps(p["exceptionDetails"].get("exception", {}).get("description") or p["exceptionDetails"])[:400])
            elif m == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
                found.append("console: " + json.dumps(p.get("args"))[:300])
            elif m == "Log.entryAdded" and p["entry"].get("level") == "error":
                found.append("log: " + p["entry"].get("text", "")[:300])
        return found


class Png:
    """The pixels of an 8-bit RGB or RGBA PNG, as Chromium writes them."""

    def __init__(self, data):
        import struct
        import zlib
        assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
        at, idat = 8, b""
        while at < len(data):
            length, kind = struct.unpack(">I4s", data[at:at + 8])
            body = data[at + 8:at + 8 + length]
            if kind == b"IHDR":
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
                assert depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG kind"
                self.channels = 3 if colour == 2 else 4
            elif kind == b"IDAT":
                idat += body
            at += 12 + length
        raw, n = zlib.decompress(idat), self.channels
        stride = self.width * n
        rows, previous = [], bytearray(stride)
        for y in range(self.height):
            f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
            for i in range(stride):
                a = line[i - n] if i >= n else 0
                b, c = previous[i], previous[i - n] if i >= n else 0
                if f == 1:
                    line[i] = (line[i] + a) & 255
                elif f == 2:
                    line[i] = (line[i] + b) & 255
                elif f == 3:
                    line[i] = (line[i] + (a + b) // 2) & 255
                elif f == 4:
                    p = a + b - c
                    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                    line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
            rows.append(bytes(line))
            previous = line
        self.rows = rows

    def pixel(self, x, y):
        """0xRRGGBB at (x, y), from the top left."""
        at = x * self.channels
        r, g, b = self.rows[y][at:at + 3]
        return (r << 16) | (g << 8) | b
