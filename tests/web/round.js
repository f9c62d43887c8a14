'use strict';
// make web's round without a display: the served page in headless Chromium,
// the hand moved over the figure, a few slaps, a screenshot.
// Usage: node round.js <url> <screenshot.png> [devicePixelRatio]
const { ERRORS, READY, noErrors, launch } = require('./engines');

const [url, shot, dpr = '1'] = process.argv.slice(2);
(async () => {
  const e = await launch('chromium', { dpr: Number(dpr) });
  try {
    await e.open(url, { init: ERRORS });
    await e.until(READY, 'the page to start');
    const [left, top] = await e.box('#view');
    for (const [x, y] of [[150, 150], [200, 170], [320, 160], [330, 200], [250, 180]]) {
      for (let step = 0; step < 5; ++step) await e.move(left + x - 20 + 4 * step, top + y);
      await e.click(left + x, top + y);
      await e.until(READY, 'the slap to end');
    }
    await e.shot(shot);
    await noErrors(e, 'round');
    console.log(`web: played five slaps; screenshot in ${shot}`);
  } finally {
    await e.close();
  }
})().catch((error) => { console.error(`round: ${error.message}`); process.exit(1); });
