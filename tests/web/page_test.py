#!/usr/bin/python3
"""The page end to end in headless Chromium, with real input and real
screenshots, at devicePixelRatio 1 and 2, and the one-file page from disk
with the network cut. Expected pictures come from the native logic
(hoppel_scripted_run) on the same seeded steps.
Usage: page_test.py <site> <hoppelmaru.html> <resources> <scripted_run> <script> <out dir>"""
import functools
import os
import struct
import subprocess
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import PAGE_READY, Browser, Png, served  # noqa: E402

site, single, resources, runner, script_path, out = map(os.path.abspath, sys.argv[1:7])
os.makedirs(out, exist_ok=True)
failures = []


def check(ok, what):
    if isinstance(ok, int) and not isinstance(ok, bool):
        what, ok = f"{what} ({ok} wrong)", ok == 0
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def bmp_rows(data):
    """0xRRGGBB rows, top first, of a bottom-up 24- or 32-bit BMP."""
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    step, stride = bits // 8, (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        at = offset + y * stride
        rows.append([data[at + x * step + 2] << 16 | data[at + x * step + 1] << 8 | data[at + x * step]
                     for x in range(width)])
    return rows


def make_bmp(width, height, colour_at):
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            c = colour_at(x, y)
            row += bytes((c & 255, c >> 8 & 255, c >> 16))
        body += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + bytes(body)


def fnv(data):
    h = 0x811C9DC5
    for b in data:
        h = ((h ^ b) * 0x01000193) & 0xFFFFFFFF
    return h


steps, seed = [], 0
for line in open(script_path, encoding="utf-8"):
    words = line.split()
    if not words or words[0].startswith("#"):
        continue
    if words[0] == "seed":
        seed = int(words[1])
    elif words[0] != "expect":
        steps.append(words)


@functools.lru_cache(maxsize=None)
def native(done):
    """The native logic's saved picture after the first `done` steps, and a move away."""
    path = os.path.join(out, f"native-{done}.txt")
    with open(path, "w") as f:
        f.write(f"seed {seed}\n" + "".join(" ".join(s) + "\n" for s in steps[:done]) + "move 5 5\n")
    bmp = os.path.join(out, f"native-{done}.bmp")
    said = subprocess.run([runner, resources, path, bmp], check=True, capture_output=True, text=True)
    return open(bmp, "rb").read(), int(said.stdout.split()[3])


# Before the page's own scripts: the seed's time, the auto timer driven tick
# by tick, and which WAV bytes each played sound was decoded from.
INIT = """
(() => {
  const seconds = %d;
  Date.now = () => seconds * 1000;
  const realInterval = window.setInterval.bind(window);
  window.setInterval = (fn, ms, ...rest) => {
    if (ms !== 200) return realInterval(fn, ms, ...rest);
    window.__tick = fn;
    return 424242;
  };
  const realClear = window.clearInterval.bind(window);
  window.clearInterval = (id) => { if (id === 424242) window.__tick = null; else realClear(id); };
  window.__played = [];
  // Drops arrive after the protocol call returns: counted, so a test can wait
  // for one to have been taken (the page marks itself busy in the same task).
  window.__drops = 0;
  addEventListener('drop', () => { window.__drops += 1; }, true);
  const hash = (bytes) => { let h = 0x811c9dc5;
    for (const b of bytes) h = Math.imul(h ^ b, 0x01000193) >>> 0; return h; };
  const decode = BaseAudioContext.prototype.decodeAudioData;
  BaseAudioContext.prototype.decodeAudioData = function (data, ...rest) {
    const h = hash(new Uint8Array(data));
    return decode.call(this, data, ...rest).then((b) => { b.__wav = h; return b; });
  };
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...a) {
    window.__played.push(this.buffer.__wav); return start.apply(this, a); };
  %s
})();
"""
NO_PICKER = "delete window.showSaveFilePicker;"
FAKE_PICKER = """
  window.__saved = null;
  window.__asked = 0;
  window.showSaveFilePicker = async (options) => {
    window.__asked += 1;
    if (window.__cancel) throw new DOMException('cancelled', 'AbortError');
    return { name: options.suggestedName,
    createWritable: async () => ({ write: async (b) => { window.__saved = Array.from(b); },
                                   close: async () => {} }) }; };
"""
wav_hashes = {fnv(open(os.path.join(resources, f"slap{i}.wav"), "rb").read()) for i in (1, 2, 3)}
start_picture = bmp_rows(open(os.path.join(resources, "radav.bmp"), "rb").read())


class Page:
    def __init__(self, browser, dpr):
        self.b, self.dpr = browser, dpr
        self.left, self.top, self.width, self.height = browser.box("view")

    def idle(self, what="the page to be idle"):
        self.b.wait_for("!document.documentElement.dataset.busy", what=what)

    def at(self, x, y):
        """Page coordinates of view client point (x, y) at 96 DPI."""
        return self.left + x + 0.5 / self.dpr, self.top + y + 0.5 / self.dpr

    def shot(self, name=None):
        clip = {"x": self.left, "y": self.top, "width": self.width, "height": self.height, "scale": 1}
        return Png(self.b.screenshot(name and os.path.join(out, name), clip=clip))

    def picture_differences(self, png, rows):
        d, wrong = self.dpr, 0
        for y in range(320):
            for x in range(480):
                if png.pixel(d * (1 + x), d * (1 + y)) != rows[y][x]:
                    wrong += 1
        return wrong

    def counter_has(self, png, colour):
        d = self.dpr
        return any(png.pixel(x, y) == colour for y in range(d * 322, d * 358) for x in range(d * 32, d * 128))

    def counter_colour(self, count):
        return min(count + 64, 255) << 16 | max(144 - count, 0) << 8 | max(128 - count // 2, 0)

    def count(self):
        return self.b.evaluate("window.__played.length")

    def button(self, element_id):
        left, top, width, height = self.b.box(element_id)
        self.b.click(left + width / 2, top + height / 2)

    def menu(self, title, item):
        x, y = self.b.evaluate(f"(() => {{ const e = [...document.querySelectorAll('.menu-title')]"
                               f".find(e => e.textContent === '{title}').getBoundingClientRect();"
                               " return [e.left + 5, e.top + 5]; })()")
        self.b.click(x, y)
        x, y = self.b.evaluate(f"(() => {{ const e = [...document.querySelectorAll('.popup button')]"
                               f".find(e => e.textContent === '{item}').getBoundingClientRect();"
                               " return [e.left + 5, e.top + 5]; })()")
        self.b.click(x, y)

    def drop(self, paths):
        x, y = self.at(240, 160)
        data = {"items": [], "files": paths, "dragOperationsMask": 1}
        drops = self.b.evaluate("window.__drops")
        for kind in ("dragEnter", "dragOver", "drop"):
            self.b.send("Input.dispatchDragEvent", type=kind, x=x, y=y, data=data)
        self.b.wait_for(f"window.__drops > {drops}", what="the drop to arrive")


def play_round(browser, url, dpr):
    tag = f"dpr {dpr}"
    downloads = os.path.join(out, f"downloads-{dpr}")
    os.makedirs(downloads, exist_ok=True)
    browser.send("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads)
    browser.open(url, dpr=dpr, init_script=INIT % (seed, NO_PICKER if dpr == 1 else FAKE_PICKER))
    browser.wait_for(PAGE_READY, what="the view")
    p = Page(browser, dpr)
    p.idle()

    # The window as the desktop lays it out, with the desktop's texts.
    texts = browser.evaluate("[...document.querySelectorAll('.menu-title, .popup button, .push')]"
                             ".map(e => e.textContent)")
    check(texts[:7] == ["ファイル（F）", "画像を保存（S）", "終了（X）", "ヘルプ（H）", "バージョン情報（A）",
                        "作者サイト「Quillmarsh」へ(G)", "自動"] and texts[7] == "クリア", f"{tag}: menu and button texts {texts}")
    check(browser.evaluate("[...document.querySelectorAll('#auto, #clear, #view')].map(e => { const r = "
                           "e.getBoundingClientRect(), c = document.getElementById('client').getBoundingClientRect();"
                           " return [Math.round(r.left - c.left), Math.round(r.top - c.top), Math.round(r.width),"
                           " Math.round(r.height)].join(); }).join(' ')") == "8,8,80,32 96,8,80,32 8,48,482,360",
          f"{tag}: buttons and view at the desktop's places")
    check(bool(browser.evaluate("document.getElementById('view').getAttribute('aria-label')")), f"{tag}: the view has a name")
    check(browser.evaluate("getComputedStyle(document.getElementById('view')).cursor") == "none", f"{tag}: no pointer over the view")
    png = p.shot()
    check(p.picture_differences(png, start_picture), f"{tag}: the start picture, pixel for pixel")
    check(p.counter_has(png, p.counter_colour(0)), f"{tag}: the counter at 0 in its colour")

    done = 0
    for words in steps:
        verb = words[0]
        if verb in ("move", "click", "tap"):
            x, y = p.at(int(words[1]), int(words[2]))
            if verb == "move":
                browser.mouse("mouseMoved", x, y, button="none")
            elif verb == "click":
                browser.mouse("mousePressed", x, y)
                browser.mouse("mouseReleased", x, y)
            else:
                played = p.count()
                browser.tap(x, y)
        elif verb == "auto":
            p.button("auto")
        elif verb == "clear":
            p.button("clear")
        elif verb == "tick":
            played = p.count()
            browser.evaluate("window.__tick()")
            if p.count() > played:
                # This tick slapped: during its sound and pause the view shows
                # the picture as it was with the hand at the point, and the
                # old count.
                hand = p.shot(f"auto-hand-{dpr}.png")
                before, count = native(done)
                check(p.picture_differences(hand, bmp_rows(before)) > 1000
                      and p.counter_has(hand, p.counter_colour(count)),
                      f"{tag}: an auto slap shows the hand at its point first, old count")
        done += 1
        p.idle(f"step {done} ({' '.join(words)}) to finish")
        if done == 2:
            check(p.count() == 1 and browser.evaluate("window.__played[0]") in wav_hashes,
                  f"{tag}: the slap played one of the three WAV files")
            x, y = p.at(5, 5)
            browser.mouse("mouseMoved", x, y, button="none")
            p.idle()
            png = p.shot()
            check(p.picture_differences(png, bmp_rows(native(done)[0])),
                  f"{tag}: a click slaps exactly as the native logic does")
            check(p.counter_has(png, p.counter_colour(1)), f"{tag}: the counter at 1 in its colour")
        if verb == "auto":
            on = browser.evaluate("[document.getElementById('auto').textContent, document.getElementById('clear').disabled]")
            check(on in (["停止", True], ["自動", False]), f"{tag}: Auto's text and Clear's state {on}")
        if verb == "clear":
            check(p.picture_differences(p.shot(), bmp_rows(native(done)[0])) == 0, f"{tag}: Clear restores the picture")
        if verb == "tap":
            check(p.count() == played + 1, f"{tag}: a tap slaps")
            png = p.shot()
            x, y = int(words[1]), int(words[2])
            expected = bmp_rows(native(done)[0])
            near = sum(png.pixel(dpr * (1 + i), dpr * (1 + j)) != expected[j][i]
                       for j in range(max(0, y - 60), min(320, y + 60)) for i in range(max(0, x - 90), min(480, x + 110)))
            check(near > 1000, f"{tag}: the hand shows where the tap landed")
            if dpr == 2:
                browser.screenshot(os.path.join(out, "page-dpr2.png"))

    final = native(len(steps))[0]
    png = p.shot()
    check(p.picture_differences(png, bmp_rows(final)), f"{tag}: the scripted round ends on the native picture")
    expect = next(l.split() for l in open(script_path) if l.startswith("expect"))
    check(zlib.crc32(final) == int(expect[1], 16), f"{tag}: the native picture has the script's checksum")
    check(p.counter_has(png, p.counter_colour(int(expect[2]))), f"{tag}: the counter in its colour")

    if dpr == 2:
        browser.evaluate("window.__cancel = true")
        p.menu("ファイル（F）", "画像を保存（S）")
        browser.wait_for("window.__asked === 1", what="the picker to be asked")
        p.idle()
        check(browser.evaluate("window.__saved === null && !document.getElementById('message').open"),
              f"{tag}: a cancelled save changes nothing")
        browser.evaluate("window.__cancel = false")
    # Save: a download where there is no picker, else the picker's file.
    p.menu("ファイル（F）", "画像を保存（S）")
    if dpr == 1:
        saved_path = os.path.join(downloads, "hoppelmaru.bmp")
        browser.wait_for("true", timeout=1)
        deadline = time.time() + 20
        while not (os.path.exists(saved_path) and os.path.getsize(saved_path) == len(final)) and time.time() < deadline:
            time.sleep(0.05)
        saved = open(saved_path, "rb").read() if os.path.exists(saved_path) else b""
    else:
        saved = bytes(browser.wait_for("window.__saved", what="the picker's file"))
    check(saved == final, f"{tag}: the saved file equals the native encoder's, byte for byte")

    # Drops: refused ones change nothing; a good one replaces the picture.
    good = make_bmp(480, 320, lambda x, y: 0x00C08060 + ((x * 7 + y * 3) & 0x3F) * 0x10000)
    paths = {}
    for name, data in (("good.bmp", good), ("wide.bmp", make_bmp(481, 320, lambda x, y: 0x808080)),
                       ("short.bmp", good[:460853])):
        paths[name] = os.path.join(out, name)
        open(paths[name], "wb").write(data)
    paths["huge.bmp"] = os.path.join(out, "huge.bmp")
    with open(paths["huge.bmp"], "wb") as f:
        f.write(good)
        f.truncate(300 * 1024 * 1024)  # sparse: no disk for the rest
    folder = os.path.join(out, "folder.bmp")
    os.makedirs(folder, exist_ok=True)
    for name, files in (("a 481 x 320 BMP", [paths["wide.bmp"]]), ("a file a byte short", [paths["short.bmp"]]),
                        ("a folder", [folder]), ("a 300 MB file", [paths["huge.bmp"]]), ("several, the first bad", [paths["wide.bmp"], paths["good.bmp"]])):
        p.drop(files)
        p.idle()
        check(p.picture_differences(p.shot(), bmp_rows(final)) == 0, f"{tag}: a dropped {name} is refused")
    p.drop([paths["good.bmp"]])
    p.idle()
    png = p.shot(f"dropped-{dpr}.png")
    check(p.picture_differences(png, bmp_rows(good)), f"{tag}: a dropped 480 x 320 BMP replaces the picture")
    check(p.counter_has(png, p.counter_colour(0)), f"{tag}: the counter at 0 after the drop")

    # Tab and Space drive the buttons.
    x, y = p.at(240, 160)
    browser.click(x, y)
    x, y = p.at(5, 5)
    browser.mouse("mouseMoved", x, y, button="none")
    p.idle()
    check(p.picture_differences(p.shot(), bmp_rows(good)) > 1000, f"{tag}: the dropped picture slaps")
    browser.evaluate("document.activeElement && document.activeElement.blur()")
    browser.key("Tab", "Tab", 9)
    focused = browser.evaluate("document.activeElement.id")
    browser.key(" ", "Space", 32, " ")
    p.idle()
    check(focused == "auto" and browser.evaluate("document.getElementById('auto').textContent") == "停止",
          f"{tag}: Tab reaches Auto and Space starts it")
    browser.key(" ", "Space", 32, " ")
    p.idle()
    browser.key("Tab", "Tab", 9)
    focused = browser.evaluate("document.activeElement.id")
    browser.key(" ", "Space", 32, " ")
    p.idle()
    check(focused == "clear", f"{tag}: Tab reaches Clear ({focused})")
    check(p.picture_differences(p.shot(), bmp_rows(good)), f"{tag}: Space clears")

    p.menu("ヘルプ（H）", "バージョン情報（A）")
    about = browser.wait_for("document.getElementById('message').open && "
                             "document.querySelector('#message p').textContent", what="the About box")
    version = open(os.path.join(os.path.dirname(script_path), "..", "..", "CMakeLists.txt")).read()
    version = version.split("project(Hoppelmaru VERSION ", 1)[1].split()[0]
    check(about == "Hoppelmaru バージョン " + version, f"{tag}: About says {about}")
    browser.key("Enter", "Enter", 13, "\r")
    browser.wait_for("!document.getElementById('message').open", what="the About box to close")
    if dpr == 1:
        p.button("auto")
        p.idle()
        check(browser.evaluate("typeof window.__tick === 'function'"), f"{tag}: Auto runs its timer")
        p.menu("ファイル（F）", "終了（X）")
        browser.wait_for("document.getElementById('window').classList.contains('gone')", what="the window to go")
        check(browser.evaluate("window.__tick === null"), f"{tag}: Exit stops the timer and the window goes")
    errors = browser.errors()
    check(not errors, f"{tag}: no page or console error {errors}")


for dpr in (1, 2):
    with served(site) as url, Browser() as browser:
        play_round(browser, url, dpr)

# The one file, from disk, with no network at all.
with Browser() as browser:
    browser.send("Network.enable")
    browser.send("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
    # And no Web Audio: it plays silently, never waiting for a sound.
    browser.open("file://" + os.path.abspath(single), init_script="window.AudioContext = undefined;")
    browser.wait_for(PAGE_READY, what="the one-file page")
    p = Page(browser, 1)
    p.idle()
    check(p.picture_differences(p.shot(), start_picture) == 0, "one file, offline: the start picture")
    x, y = p.at(240, 200)
    browser.click(x, y)
    p.idle()
    check(p.counter_has(p.shot(), p.counter_colour(1)), "one file, offline: a click slaps")
    errors = browser.errors()
    check(not errors, f"one file, offline: no page or console error {errors}")

print(f"page test: {len(failures)} failed" if failures else "page test: all passed")
sys.exit(1 if failures else 0)
