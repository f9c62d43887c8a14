'use strict';
// make bench's click-to-pixels figure: real clicks on the served page in
// headless Chromium, each timed from the input event's time stamp to the
// view's new pixels drawn, and to the end of the next animation frame (the
// frame that shows them, which waits for the display's beat); medians of 41.
// Sound is off (no Web Audio), as on a machine without it: with sound the new
// pixels come when the slap's sound has played, as on the desktop.
// Usage: node click_bench.js <site>
const { ERRORS, READY, noErrors, launch, serve } = require('./engines');

const init = ERRORS + `window.AudioContext = undefined; window.webkitAudioContext = undefined;
window.__clicks = [];
addEventListener('pointerdown', (e) => { window.__down = e.timeStamp; }, true);
for (const name of ['drawImage', 'putImageData']) {
  const real = CanvasRenderingContext2D.prototype[name];
  CanvasRenderingContext2D.prototype[name] = function (...a) {
    const r = real.apply(this, a);
    if (window.__down !== undefined && this.canvas.id === 'view') {
      const down = window.__down, drawn = performance.now() - down;
      window.__down = undefined;
      requestAnimationFrame(() => setTimeout(() => window.__clicks.push([drawn, performance.now() - down])));
    }
    return r;
  };
}`;
(async () => {
  const [e, server] = [await launch('chromium'), await serve(process.argv[2])];
  try {
    await e.open(server.url, { init });
    await e.until(READY, 'the page');
    const [left, top] = await e.box('#view');
    for (let i = 0; i < 41; ++i) {
      await e.click(left + 200 + (i % 5) * 20, top + 150 + (i % 3) * 20);
      await e.until(`window.__clicks.length > ${i}`, "the click's frame");
    }
    await noErrors(e, 'click bench');
    const clicks = await e.js('window.__clicks');
    const median = (k) => clicks.map((c) => c[k]).sort((a, b) => a - b);
    const [drawn, shown] = [median(0), median(1)];
    console.log(`click to new pixels in the view: median ${drawn[20].toFixed(2)} ms (fastest ${drawn[0].toFixed(2)},` +
      ` slowest ${drawn[40].toFixed(2)}); to the end of the frame that shows them: median ${shown[20].toFixed(2)} ms (41 clicks)`);
  } finally {
    await server.stop();
    await e.close();
  }
})().catch((error) => { console.error(`click bench: ${error.message}`); process.exit(1); });
