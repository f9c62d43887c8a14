'use strict';
// The page end to end in one browser engine, with real input and real
// screenshots: the scripted round at devicePixelRatio 1 and 2 (in WebKit its
// core: no menus, keys or refused drops), Auto then Clear during a slap's
// sound, the window whole on phone and desktop sizes, and in Chromium the
// installable site offline and the one file from disk. Expected pictures come
// from the native logic on the same steps.
// Usage: node page_test.js <chromium|firefox|webkit> <site> <hoppelmaru.html>
//        <resources> <hoppel_scripted_run> <script> <out dir>
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const { ERRORS, READY, launch, serve, withHead, pixel } = require('./engines');

const [engine, site, single, resources, runner, scriptPath, outRoot] = process.argv.slice(2).map((a, i) => i ? path.resolve(a) : a);
const out = path.join(outRoot, engine);
fs.mkdirSync(out, { recursive: true });
const failures = [];
function check(ok, what) {
  if (typeof ok === 'number') [what, ok] = [`${what} (${ok} wrong)`, ok === 0];
  console.log(`${ok ? 'ok  ' : 'FAIL'}  ${engine} ${what}`);
  if (!ok) failures.push(what);
}

// 0xRRGGBB rows, top first, of a bottom-up 24- or 32-bit BMP.
function bmpRows(data) {
  const offset = data.readUInt32LE(10), width = data.readInt32LE(18), height = data.readInt32LE(22);
  const step = data.readUInt16LE(28) / 8, stride = (width * step + 3) & ~3;
  return Array.from({ length: height }, (_, y) => Array.from({ length: width }, (_, x) => {
    const at = offset + (height - 1 - y) * stride + x * step;
    return data[at + 2] << 16 | data[at + 1] << 8 | data[at];
  }));
}
function makeBmp(width, height, colourAt) {
  const stride = (width * 3 + 3) & ~3, data = Buffer.alloc(54 + stride * height);
  data.write('BM');
  [[2, data.length], [10, 54], [14, 40], [18, width], [22, height], [34, stride * height]].forEach(([at, v]) => data.writeInt32LE(v, at));
  data.writeUInt16LE(1, 26);
  data.writeUInt16LE(24, 28);
  for (let y = 0; y < height; ++y) for (let x = 0; x < width; ++x) data.writeUIntLE(colourAt(x, y), 54 + y * stride + x * 3, 3);
  return data;
}
// CRC-32 as zlib has it; Node's zlib.crc32 is younger than Debian 12's Node.
const crc32 = (bytes) => {
  let c = ~0;
  for (const b of bytes) { c ^= b; for (let k = 0; k < 8; ++k) c = c >>> 1 ^ (0xEDB88320 & -(c & 1)); }
  return ~c >>> 0;
};
const fnv = (bytes) => bytes.reduce((h, b) => Math.imul(h ^ b, 0x01000193) >>> 0, 0x811c9dc5);

const lines = fs.readFileSync(scriptPath, 'utf8').split('\n').map((l) => l.split(/\s+/).filter(Boolean));
const seed = Number(lines.find((w) => w[0] === 'seed')[1]);
const expect = lines.find((w) => w[0] === 'expect');
const steps = lines.filter((w) => w.length && !w[0].startsWith('#') && !['seed', 'expect'].includes(w[0]));
// The native logic's saved picture after these steps and a move away, and its count.
const natives = new Map();
function native(done) {
  const key = done.join(';');
  if (!natives.has(key)) {
    const file = path.join(out, `native-${natives.size}`);
    fs.writeFileSync(file + '.txt', [`seed ${seed}`, ...done.map((w) => w.join(' ')), 'move 5 5', ''].join('\n'));
    const said = execFileSync(runner, [resources, file + '.txt', file + '.bmp'], { encoding: 'utf8' });
    natives.set(key, [fs.readFileSync(file + '.bmp'), Number(said.split(/\s+/)[3])]);
  }
  return natives.get(key);
}
const rows = (done) => bmpRows(native(done)[0]);

// Before the page's own scripts: the seed's time, the auto timer driven tick
// by tick, which WAV bytes each played sound was decoded from, drops and errors.
const init = (extra = '') => `(() => {
  Date.now = () => ${seed} * 1000;
  const realInterval = window.setInterval.bind(window), realClear = window.clearInterval.bind(window);
  window.setInterval = (fn, ms, ...rest) => ms !== 200 ? realInterval(fn, ms, ...rest) : (window.__tick = fn, 424242);
  window.clearInterval = (id) => { if (id === 424242) window.__tick = null; else realClear(id); };
  // A sound and a pause end on the page's timeouts: held, what is checked
  // during a slap's sound stays there however slow the check.
  const realTimeout = window.setTimeout.bind(window);
  let held = null;
  window.setTimeout = (fn, ms, ...rest) => held && ms > 0 ? (held.push(() => realTimeout(fn, ms, ...rest)), 0) : realTimeout(fn, ms, ...rest);
  window.__hold = () => { held = held || []; };
  window.__release = () => { const run = held || []; held = null; run.forEach((f) => f()); };
  window.__played = [];
  window.__decoded = 0;
  ${ERRORS}
  window.__drops = 0;
  addEventListener('drop', () => { window.__drops += 1; }, true);
  const hash = (bytes) => bytes.reduce((h, b) => Math.imul(h ^ b, 0x01000193) >>> 0, 0x811c9dc5);
  if (window.BaseAudioContext) {
    const decode = BaseAudioContext.prototype.decodeAudioData;
    BaseAudioContext.prototype.decodeAudioData = function (data, ...rest) {
      const h = hash(new Uint8Array(data));
      return decode.call(this, data, ...rest).then((b) => { b.__wav = h; window.__decoded += 1; return b; });
    };
    const start = AudioBufferSourceNode.prototype.start;
    AudioBufferSourceNode.prototype.start = function (...a) { __played.push(this.buffer.__wav); return start.apply(this, a); };
  }
  ${extra}
})();`;
const noPicker = 'delete window.showSaveFilePicker;';
const fakePicker = `window.__saved = null; window.__asked = 0;
  window.showSaveFilePicker = async (options) => {
    window.__asked += 1;
    if (window.__cancel) throw new DOMException('cancelled', 'AbortError');
    return { name: options.suggestedName, createWritable: async () => ({
      write: async (b) => { window.__saved = Array.from(b); }, close: async () => {} }) }; };`;
const wavs = [1, 2, 3].map((i) => fnv(fs.readFileSync(path.join(resources, `slap${i}.wav`))));
const startPicture = bmpRows(fs.readFileSync(path.join(resources, 'radav.bmp')));
const counterColour = (n) => Math.min(n + 64, 255) << 16 | Math.max(144 - n, 0) << 8 | Math.max(128 - (n >> 1), 0);
const version = fs.readFileSync(path.join(path.dirname(scriptPath), '../../CMakeLists.txt'), 'utf8')
  .match(/project\(Hoppelmaru VERSION (\S+)/)[1];

// The view as laid out: picture pixels to page points and screenshot pixels.
async function viewOf(e) {
  await e.until(READY, 'the page to lay out and be idle');
  // A slap before the sounds are decoded plays none.
  await e.until('!window.AudioContext || window.__decoded === 3', 'the sounds to be decoded');
  const [left, top] = await e.box('#view');
  const scale = Number(await e.js('document.documentElement.dataset.scale'));
  const v = {
    left, top, scale,
    idle: (what = 'the page to be idle') => e.until('!document.documentElement.dataset.busy', what),
    // The page point over view client point (x, y) of the 96-DPI layout.
    at: (x, y) => [left + (scale * x + 0.25) / e.dpr, top + (scale * y + 0.25) / e.dpr],
    shot: (name) => e.shot(name && path.join(out, name)),
    at00: (png, x, y) => pixel(png, Math.round(left * e.dpr) + scale * x, Math.round(top * e.dpr) + scale * y),
    differences(png, expected) {
      let wrong = 0;
      for (let y = 0; y < 320; ++y) for (let x = 0; x < 480; ++x) wrong += v.at00(png, 1 + x, 1 + y) !== expected[y][x];
      return wrong;
    },
    counterHas(png, n) {
      for (let y = 322 * scale; y < 358 * scale; ++y) {
        for (let x = 32 * scale; x < 128 * scale; ++x) if (v.at00(png, x / scale, y / scale) === counterColour(n)) return true;
      }
      return false;
    },
    count: () => e.js('window.__played.length'),
    liveCount: () => e.js(`(() => { const c = document.getElementById('count');
      return c && c.getAttribute('aria-live') + ' ' + c.textContent.match(/\\d*$/)[0]; })()`),
    async button(id) { const [l, t, w, h] = await e.box('#' + id); await e.click(l + w / 2, t + h / 2); },
    async menu(title, item) {
      for (const [selector, text] of [['.menu-title', title], ['.popup button', item]]) {
        const [x, y] = await e.js(`(() => { const r = [...document.querySelectorAll('${selector}')]
          .find((b) => b.textContent === '${text}').getBoundingClientRect(); return [r.left + 5, r.top + 5]; })()`);
        await e.click(x, y);
      }
    },
    async drop(paths) {
      const drops = await e.js('window.__drops');
      await e.drop(paths, ...v.at(240, 160));
      await e.until(`window.__drops > ${drops}`, 'the drop to arrive');
      await v.idle();
    },
    async away() { await e.move(...v.at(5, 5)); await v.idle(); },
  };
  return v;
}

const downloads = (dpr) => path.join(out, `downloads-${dpr}`);
async function scriptedRound(e, server) {
  const dpr = e.dpr, tag = `dpr ${dpr}:`;
  fs.rmSync(downloads(dpr), { recursive: true, force: true });
  fs.mkdirSync(downloads(dpr));
  await e.open(server.url);
  const v = await viewOf(e);
  if (e.full) {
    const texts = await e.js("[...document.querySelectorAll('.menu-title, .popup button, .push')].map((e) => e.textContent)");
    check(texts.slice(0, 8).join() === 'ファイル（F）,画像を保存（S）,終了（X）,ヘルプ（H）,バージョン情報（A）,作者サイト「Quillmarsh」へ(G),自動,クリア',
          `${tag} menu and button texts ${texts}`);
    const places = await e.js(`[...document.querySelectorAll('#auto, #clear, #view')].map((e) => {
      const r = e.getBoundingClientRect(), c = document.getElementById('client').getBoundingClientRect();
      return [r.left - c.left, r.top - c.top, r.width, r.height].map(Math.round).join(); }).join(' ')`);
    check(places === '8,8,80,32 96,8,80,32 8,48,482,360', `${tag} buttons and view at the desktop's places ${places}`);
    check(!!(await e.js("document.getElementById('view').getAttribute('aria-label')")), `${tag} the view has a name`);
    check(await e.js("getComputedStyle(document.getElementById('view')).cursor") === 'none', `${tag} no pointer over the view`);
  }
  let png = await v.shot();
  check(v.differences(png, startPicture), `${tag} the start picture, pixel for pixel`);
  check(v.counterHas(png, 0), `${tag} the counter at 0 in its colour`);

  for (let done = 0; done < steps.length;) {
    const [verb, x, y] = steps[done];
    let played = await v.count();
    if (verb === 'move') await e.move(...v.at(x, y));
    else if (verb === 'click' || (verb === 'tap' && !e.tap)) await e.click(...v.at(x, y));
    else if (verb === 'tap') await e.tap(...v.at(x, y));
    else if (verb === 'auto' || verb === 'clear') await v.button(verb);
    else if (verb === 'tick') {
      await e.js('window.__hold()');
      await e.js('window.__tick()');
      if (await v.count() > played) {
        // This tick slapped: during its sound and pause the view shows the
        // picture as it was with the hand at the point, and the old count.
        // Its frame may reach the screen a moment after the sound is asked for.
        const [before, count] = native(steps.slice(0, done));
        const shows = (hand) => v.differences(hand, bmpRows(before)) > 1000 && v.counterHas(hand, count);
        let hand = await v.shot();
        for (const end = Date.now() + 5000; !shows(hand) && Date.now() < end;) hand = await v.shot();
        await v.shot(`auto-hand-${dpr}.png`);
        check(shows(hand), `${tag} an auto slap shows the hand at its point first, old count`);
      }
      await e.js('window.__release()');
    }
    done += 1;
    await v.idle(`step ${done} (${steps[done - 1].join(' ')}) to finish`);
    if (done === 2) {
      check(await v.count() === 1 && wavs.includes(await e.js('window.__played[0]')), `${tag} the slap played one of the three WAV files`);
      await v.away();
      png = await v.shot();
      check(v.differences(png, rows(steps.slice(0, done))), `${tag} a click slaps exactly as the native logic does`);
      check(v.counterHas(png, 1), `${tag} the counter at 1 in its colour`);
      check(await v.liveCount() === 'polite 1', `${tag} the live region says 1`);
    }
    if (verb === 'auto') {
      const on = await e.js("[document.getElementById('auto').textContent, document.getElementById('clear').disabled].join()");
      check(['停止,true', '自動,false'].includes(on), `${tag} Auto's text and Clear's state ${on}`);
    }
    if (verb === 'clear') {
      check(v.differences(await v.shot(), rows(steps.slice(0, done))) === 0, `${tag} Clear restores the picture`);
      check(await v.liveCount() === 'polite 0', `${tag} the live region says 0 after Clear`);
    }
    if (verb === 'tap') {
      check(await v.count() === played + 1, `${tag} a ${e.tap ? 'tap' : 'click standing in for a tap'} slaps`);
      png = await v.shot();
      const expected = rows(steps.slice(0, done));
      let near = 0;
      for (let j = Math.max(0, y - 60); j < Math.min(320, +y + 60); ++j) {
        for (let i = Math.max(0, x - 90); i < Math.min(480, +x + 110); ++i) near += v.at00(png, 1 + i, 1 + j) !== expected[j][i];
      }
      check(near > 1000, `${tag} the hand shows where the tap landed`);
      if (dpr === 2) await v.shot('page-dpr2.png');
    }
  }
  const [final] = native(steps);
  png = await v.shot();
  check(v.differences(png, bmpRows(final)), `${tag} the scripted round ends on the native picture`);
  check(crc32(final) === parseInt(expect[1], 16), `${tag} the native picture has the script's checksum`);
  check(v.counterHas(png, Number(expect[2])), `${tag} the counter in its colour`);
  const good = makeBmp(480, 320, (x, y) => 0x00c08060 + ((x * 7 + y * 3) & 0x3f) * 0x10000);
  if (e.full) await fileRound(e, v, tag, final, good, downloads(dpr));
  else {
    await v.drop([writeFile('good.bmp', good)]);
    png = await v.shot(`dropped-${dpr}.png`);
    check(v.differences(png, bmpRows(good)), `${tag} a dropped 480 x 320 BMP replaces the picture`);
    check(v.counterHas(png, 0), `${tag} the counter at 0 after the drop`);
  }
  const errors = await e.js('window.__errors');
  check(!errors.length, `${tag} no page or console error ${errors}`);
}
const writeFile = (name, data) => { const file = path.join(out, name); fs.writeFileSync(file, data); return file; };

// Save, drops, keys, About and Exit (Chromium and Firefox).
async function fileRound(e, v, tag, final, good, downloads) {
  if (e.dpr === 2) {
    await e.js('window.__cancel = true');
    await v.menu('ファイル（F）', '画像を保存（S）');
    await e.until('window.__asked === 1', 'the picker to be asked');
    await v.idle();
    check(await e.js("window.__saved === null && !document.getElementById('message').open"), `${tag} a cancelled save changes nothing`);
    await e.js('window.__cancel = false');
  }
  // Save: a download where there is no picker, else the picker's file.
  await v.menu('ファイル（F）', '画像を保存（S）');
  let saved;
  if (e.dpr === 1) {
    const file = path.join(downloads, 'hoppelmaru.bmp');
    for (const end = Date.now() + 20000; Date.now() < end && !(fs.existsSync(file) && fs.statSync(file).size === final.length);) {
      await new Promise((done) => setTimeout(done, 50));
    }
    saved = fs.existsSync(file) ? fs.readFileSync(file) : Buffer.alloc(0);
  } else {
    saved = Buffer.from(await e.until('window.__saved', "the picker's file"));
  }
  check(saved.equals(final), `${tag} the saved file equals the native encoder's, byte for byte`);

  // Drops: refused ones change nothing; a good one replaces the picture.
  const wide = writeFile('wide.bmp', makeBmp(481, 320, () => 0x808080));
  const goodFile = writeFile('good.bmp', good);
  const huge = writeFile('huge.bmp', good);
  fs.truncateSync(huge, 300 * 1024 * 1024);  // sparse: no disk for the rest
  const folder = path.join(out, 'folder.bmp');
  fs.mkdirSync(folder, { recursive: true });
  const refused = [['a 481 x 320 BMP', [wide]], ['a file a byte short', [writeFile('short.bmp', good.subarray(0, 460853))]],
    ['a 300 MB file', [huge]], ['several, the first bad', [wide, goodFile]]];
  // A folder comes only with a real drag from the desktop, which only Chromium's protocol makes.
  if (e.cdp) refused.splice(2, 0, ['a folder', [folder]]);
  for (const [name, files] of refused) {
    await v.drop(files);
    check(v.differences(await v.shot(), bmpRows(final)) === 0, `${tag} a dropped ${name} is refused`);
  }
  await v.drop([goodFile]);
  let png = await v.shot(`dropped-${e.dpr}.png`);
  check(v.differences(png, bmpRows(good)), `${tag} a dropped 480 x 320 BMP replaces the picture`);
  check(v.counterHas(png, 0), `${tag} the counter at 0 after the drop`);

  // Tab and Space drive the buttons.
  await e.click(...v.at(240, 160));
  await v.away();
  check(v.differences(await v.shot(), bmpRows(good)) > 1000, `${tag} the dropped picture slaps`);
  await e.js('document.activeElement && document.activeElement.blur()');
  const focused = [];
  for (const _ of [0, 1]) {
    await e.key('Tab');
    focused.push(await e.js('document.activeElement.id'));
    await e.press('#' + focused[focused.length - 1]);
    await v.idle();
    if (focused.length === 1) {
      check(focused[0] === 'auto' && await e.js("document.getElementById('auto').textContent") === '停止',
            `${tag} Tab reaches Auto and ${e.keyed} starts it`);
      await e.press('#auto');
      await v.idle();
    }
  }
  check(focused[1] === 'clear', `${tag} Tab reaches Clear (${focused[1]})`);
  check(v.differences(await v.shot(), bmpRows(good)), `${tag} ${e.keyed} clears`);

  await v.menu('ヘルプ（H）', 'バージョン情報（A）');
  const about = await e.until("document.getElementById('message').open && document.querySelector('#message p').textContent", 'the About box');
  check(about === `Hoppelmaru バージョン ${version}`, `${tag} About says ${about}`);
  await e.press('#message button', 'Enter');
  await e.until("!document.getElementById('message').open", 'the About box to close');
  if (e.dpr === 1) {
    await v.button('auto');
    await v.idle();
    check(await e.js("typeof window.__tick === 'function'"), `${tag} Auto runs its timer`);
    await v.menu('ファイル（F）', '終了（X）');
    await e.until("document.getElementById('window').classList.contains('gone')", 'the window to go');
    check(await e.js('window.__tick === null'), `${tag} Exit stops the timer and the window goes`);
  }
}

// A click on the figure, and while its sound plays Auto then Clear: Auto
// starts, and Clear, waiting behind it, does nothing while auto mode runs.
// The hand stays where auto mode found it: the saved picture is what is judged.
async function queuedAutoThenClear(e, server) {
  await e.open(server.url);
  const v = await viewOf(e);
  await e.js('window.__hold()');
  await e.click(...v.at(200, 150));
  await v.button('auto');
  await v.button('clear');
  const queued = await e.js('!!document.documentElement.dataset.busy');
  await e.js('window.__release()');
  await v.idle();
  const said = [queued, await v.count(), v.counterHas(await v.shot(), 1), await v.liveCount(), await e.js('typeof window.__tick')].join();
  await v.menu('ファイル（F）', '画像を保存（S）');
  const saved = Buffer.from(await e.until('window.__saved', "the picker's file"));
  check(saved.equals(native([['move', 200, 150], ['click', 200, 150]])[0]) && said === 'true,1,true,polite 1,function',
        "Auto then Clear during a slap's sound: the picture stays slapped, the count stands, Auto runs" +
        ` (queued, sounds, counter, live region, timer: ${said})`);
}

// The whole window on phones and a desktop, and a tap (a click on the
// desktop) slaps exactly the picture pixel under it: the saved picture is the
// native one for that point. All at whole scales: at a fraction the averaged
// picture has no exact pixel under a point.
// MiniBrowser's window is never narrower than 447 CSS pixels: WebKit gets the desktop only.
const screens = [[390, 844, 3, true], [844, 390, 3, true], [360, 640, 3, true], [360, 640, 2, true], [1024, 768, 1, false]]
  .filter(([width]) => engine !== 'webkit' || width > 1000);
async function fit(e, server, [width, height, dpr, mobile]) {
  const tag = `${width} x ${height} at devicePixelRatio ${dpr}${mobile && e.tap ? ' with touch' : ''}:`;
  await e.open(server.url, { width, height, mobile });
  const v = await viewOf(e);
  const [fits, sizes] = await e.js(`(() => { const r = document.getElementById('window').getBoundingClientRect(),
      s = visualViewport, d = document.documentElement;
    return [r.left >= 0 && r.top >= 0 && r.right <= s.width && r.bottom <= s.height &&
            d.scrollWidth <= Math.ceil(s.width) && d.scrollHeight <= Math.ceil(s.height),
            [r.left, r.top, r.right, r.bottom, s.width, s.height, d.scrollWidth, d.scrollHeight].map(Math.round).join()]; })()`);
  check(fits, `${tag} the whole window inside the viewport, no scrolling (window ltrb, viewport, scroll sizes: ${sizes})`);
  // A whole CSS point, as a finger gives, well inside one picture pixel.
  const device = (c, start) => Math.floor((c - start) * dpr) + 0.5;
  const inside = (c, start) => { while (Math.abs((device(c, start) / v.scale) % 1 - 0.5) > 0.3) ++c; return c; };
  const [x, y] = v.at(150, 200).map(Math.round);
  const [px, py] = [inside(x, v.left), inside(y, v.top)];
  const point = [Math.floor(device(px, v.left) / v.scale), Math.floor(device(py, v.top) / v.scale)];
  await (mobile && e.tap ? e.tap(px, py) : e.click(px, py));
  await v.idle();
  if (mobile) await v.shot(`phone-${width}x${height}-dpr${dpr}.png`);
  await v.menu('ファイル（F）', '画像を保存（S）');
  const saved = Buffer.from(await e.until('window.__saved', "the picker's file"));
  const played = await v.count();
  check(played === 1 && saved.equals(native([['tap', ...point]])[0]), `${tag} a ${mobile && e.tap ? 'tap' : 'click'} ` +
        `slaps exactly the picture pixel under it (view point ${point} at scale ${v.scale}: ${played} sounds)`);
}

// Served on 127.0.0.1 it is installable, and after one visit it opens and
// plays with the network gone.
async function installedOffline(e, server) {
  await e.open(server.url);
  await e.until('navigator.serviceWorker.getRegistration().then((r) => !!(r && r.active))', 'the service worker');
  await viewOf(e);
  const { installabilityErrors } = await e.cdp.send('Page.getInstallabilityErrors');
  check(!installabilityErrors.length, `served: no installability errors ${JSON.stringify(installabilityErrors)}`);
  await e.cdp.send('Network.clearBrowserCache');
  await server.stop();
  await e.page.setOfflineMode(true);
  await e.page.reload();
  await offlinePlay(e, 'served, then offline');
}
async function offlinePlay(e, tag) {
  const v = await viewOf(e);
  check(v.differences(await v.shot(), startPicture) === 0, `${tag}: the start picture`);
  await e.click(...v.at(240, 200));
  await v.idle();
  check(v.counterHas(await v.shot(), 1), `${tag}: a click slaps`);
  const errors = await e.js('window.__errors');
  check(!errors.length, `${tag}: no page or console error ${errors}`);
}

// The one file, from disk, with no network and no Web Audio: it plays
// silently, never waiting for a sound.
async function oneFileOffline(e) {
  await e.page.setOfflineMode(true);
  const file = writeFile('one-file.html', withHead(fs.readFileSync(single, 'utf8'), init('window.AudioContext = undefined;')));
  await e.open('file://' + file);
  await offlinePlay(e, 'one file, offline');
}

(async () => {
  const started = Date.now();
  // Each part in a browser of its own: its options, what served pages run first, the part.
  const parts = [...[1, 2].map((dpr) => [{ dpr, downloads: downloads(dpr) }, init(dpr === 1 ? noPicker : fakePicker), scriptedRound]),
    [{}, init(fakePicker), queuedAutoThenClear], ...screens.map((s) => [{ dpr: s[2] }, init(fakePicker), (e, server) => fit(e, server, s)])];
  if (engine === 'chromium') parts.push([{}, init(), installedOffline], [{}, '', oneFileOffline]);
  for (const [options, head, part] of parts) {
    const [e, server] = [await launch(engine, options), await serve(site, head)];
    try {
      await part(e, server);
    } catch (error) {
      check(false, `stopped: ${error.stack || error}`);
    } finally {
      await server.stop();
      await e.close();
    }
  }
  console.log(`page test in ${engine}: ${failures.length ? failures.length + ' failed' : 'all passed'} (${((Date.now() - started) / 1000).toFixed(0)} s)`);
  process.exit(failures.length ? 1 : 0);
})();
