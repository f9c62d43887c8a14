#!/usr/bin/python3
"""make bench's click-to-pixels figure: real clicks on the served page in
headless Chromium, each timed from the input event's time stamp to the
view's new pixels drawn, and to the end of the next animation frame (the
frame that shows them, which waits for the display's beat); medians of 41. Sound is off (no Web Audio), as on a machine without
it: with sound the new pixels come when the slap's sound has played, as on
the desktop. Usage: click_bench.py <site>"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import PAGE_READY, Browser, served  # noqa: E402

INIT = """
window.AudioContext = undefined; window.webkitAudioContext = undefined;
window.__clicks = [];
addEventListener('pointerdown', (e) => { window.__down = e.timeStamp; }, true);
const draw = CanvasRenderingContext2D.prototype.drawImage;
CanvasRenderingContext2D.prototype.drawImage = function (...a) {
  const r = draw.apply(this, a);
  if (window.__down !== undefined && this.canvas.id === 'view') {
    const down = window.__down, drawn = performance.now() - down;
    window.__down = undefined;
    requestAnimationFrame(() => setTimeout(() => window.__clicks.push([drawn, performance.now() - down])));
  }
  return r;
};
"""
with served(sys.argv[1]) as url, Browser() as browser:
    browser.open(url, init_script=INIT)
    browser.wait_for(PAGE_READY, what="the page")
    left, top, _, _ = browser.box("view")
    for i in range(41):
        browser.click(left + 200 + (i % 5) * 20, top + 150 + (i % 3) * 20)
        browser.wait_for(f"window.__clicks.length > {i}", what="the click's frame")
    clicks = browser.evaluate("window.__clicks")
    drawn = sorted(c[0] for c in clicks)
    shown = sorted(c[1] for c in clicks)
    errors = browser.errors()
if errors:
    sys.exit("click bench: page errors: " + "; ".join(errors))
print(f"click to new pixels in the view: median {drawn[len(drawn) // 2]:.2f} ms "
      f"(fastest {drawn[0]:.2f}, slowest {drawn[-1]:.2f}); to the end of the frame that shows "
      f"them: median {shown[len(shown) // 2]:.2f} ms (41 clicks)")
