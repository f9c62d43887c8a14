#!/usr/bin/python3
"""make web's round without a display: the served page in headless Chromium,
the hand moved over the figure, a few slaps, a screenshot.
Usage: round.py <url> <screenshot.png> [devicePixelRatio]"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import PAGE_READY, Browser  # noqa: E402

url, shot = sys.argv[1:3]
dpr = float(sys.argv[3]) if len(sys.argv) > 3 else 1
with Browser() as browser:
    browser.open(url, dpr=dpr)
    browser.wait_for(PAGE_READY, what="the page to start")
    left, top, _, _ = browser.box("view")
    for x, y in ((150, 150), (200, 170), (320, 160), (330, 200), (250, 180)):
        for step in range(5):
            browser.mouse("mouseMoved", left + x - 20 + 4 * step, top + y, button="none")
        browser.click(left + x, top + y)
        browser.wait_for(PAGE_READY, what="the slap to end")
    browser.screenshot(shot)
    errors = browser.errors()
    if errors:
        sys.exit("round: page errors: " + "; ".join(errors))
    print(f"web: played five slaps; screenshot in {shot}")
