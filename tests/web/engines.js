'use strict';
// The page driven in the three browser engines through maintained clients,
// behind one small interface: Chromium and Firefox through puppeteer-core
// (Firefox over WebDriver BiDi), WebKit through WebKitGTK's WebDriver and
// selenium-webdriver. Shared by the page test, make bench and make web.
const fs = require('fs');
const http = require('http');
const path = require('path');
const { spawn } = require('child_process');
const { PNG } = require('pngjs');

// The page has laid itself out and is done with what it was doing.
const READY = "document.documentElement.dataset.scale && !document.documentElement.dataset.busy";

// Before the page's own scripts: its errors and console errors kept in
// window.__errors, the same way in every engine.
const ERRORS = `window.__errors = [];
  addEventListener('error', (e) => __errors.push(e.message || 'no ' + (e.target.src || e.target.href)), true);
  addEventListener('unhandledrejection', (e) => __errors.push('rejected: ' + e.reason));
  const realError = console.error;
  console.error = (...a) => { __errors.push(a.join(' ')); realError.apply(console, a); };`;
// Ends with the page's errors, if any.
async function noErrors(e, who) {
  const errors = await e.js('window.__errors');
  if (errors.length) throw new Error(`${who}: page errors: ${errors.join('; ')}`);
}

const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json', '.png': 'image/png' };

// The folder on 127.0.0.1; `head` runs first in every page, before the page's
// own scripts (WebDriver has no other way to get there first).
async function serve(folder, head = '') {
  const server = http.createServer((request, response) => {
    let name = path.join(folder, decodeURIComponent(new URL(request.url, 'http://h').pathname));
    if (name.endsWith('/')) name += 'index.html';
    fs.readFile(name, (error, data) => {
      if (error) return response.writeHead(404).end();
      if (name.endsWith('.html')) data = withHead(data.toString(), head);
      response.writeHead(200, { 'content-type': types[path.extname(name)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  await new Promise((done) => server.listen(0, '127.0.0.1', done));
  server.url = `http://127.0.0.1:${server.address().port}/`;
  server.stop = () => new Promise((done) => { server.close(done); server.closeAllConnections(); });
  return server;
}
const withHead = (html, head) => html.replace('<head>', () => `<head><script>${head}</script>`);

const png = (data) => PNG.sync.read(Buffer.from(data));
// 0xRRGGBB of a decoded PNG at (x, y) from its top left.
const pixel = (p, x, y) => { const i = (y * p.width + x) * 4; return p.data[i] << 16 | p.data[i + 1] << 8 | p.data[i + 2]; };

async function puppeteerEngine(name, dpr, downloads) {
  const puppeteer = require('puppeteer-core');
  const browser = await puppeteer.launch(name === 'chromium' ? {
    executablePath: '/usr/bin/chromium', protocolTimeout: 60000,
    args: ['--no-sandbox', '--disable-gpu', '--mute-audio', '--autoplay-policy=no-user-gesture-required'],
  } : {
    browser: 'firefox', executablePath: '/usr/bin/firefox-esr', protocolTimeout: 60000,
    extraPrefsFirefox: {
      'media.cubeb.force_mock_context': true,  // sound without a sound card
      'media.autoplay.default': 0,
      'browser.download.dir': downloads, 'browser.download.folderList': 2,
      'browser.download.useDownloadDir': true, 'browser.download.always_ask_before_handling_new_types': false,
    },
  });
  const page = (await browser.pages())[0] || await browser.newPage();
  const cdp = name === 'chromium' ? await page.createCDPSession() : null;
  if (cdp) await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  return {
    name, dpr, page, cdp, full: true,
    async open(url, { width = 700, height = 560, mobile = false, init } = {}) {
      await page.setViewport({ width, height, deviceScaleFactor: dpr, isMobile: mobile, hasTouch: mobile });
      if (init) await page.evaluateOnNewDocument(init);
      await page.goto(url);
    },
    js: (expression) => page.evaluate(expression),
    move: (x, y) => page.mouse.move(x, y),
    click: (x, y) => page.mouse.click(x, y),
    tap: (x, y) => page.touchscreen.tap(x, y),
    key: (key) => page.keyboard.press(key),
    shot: async (file) => png(await page.screenshot({ path: file })),
    async drop(paths, x, y) {
      if (!cdp) return dropThroughInput(this, paths, (input) => input.uploadFile(...paths));
      // Real drag events carrying the files, as from the desktop.
      const data = { items: [], files: paths, dragOperationsMask: 1 };
      for (const type of ['dragEnter', 'dragOver', 'drop']) await cdp.send('Input.dispatchDragEvent', { type, x, y, data });
    },
    close: () => browser.close(),
  };
}

// WebDriver has no drag of files: they go into a file input of the test's
// own, and from there into a drop event on the window.
async function dropThroughInput(e, paths, choose) {
  await e.js("document.body.insertAdjacentHTML('beforeend', '<input type=file multiple id=drop-files hidden>')");
  await choose(await e.element('#drop-files'));
  await e.js(`(() => { const input = document.getElementById('drop-files'), d = new DataTransfer();
    for (const f of input.files) d.items.add(f);
    input.remove();
    const r = document.getElementById('view').getBoundingClientRect();
    for (const type of ['dragenter', 'dragover', 'drop'])
      document.getElementById('window').dispatchEvent(new DragEvent(type, { dataTransfer: d, bubbles: true,
        cancelable: true, clientX: r.left + 240, clientY: r.top + 160 })); })()`);
}

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
const kMiniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// WebKitGTK takes its devicePixelRatio from GDK_SCALE: one driver per ratio.
// It needs an X display.
async function webkitEngine(dpr) {
  const { Builder, Key, Origin } = require('selenium-webdriver');
  // Now and then the browser never comes up and the driver waits for it for
  // ever: such a start is given up and made again with a driver of its own.
  let driver = null, d = null;
  for (let starts = 1; !d; ++starts) {
    const port = await new Promise((done) => {
      const probe = require('net').createServer().listen(0, '127.0.0.1', () => { const { port } = probe.address(); probe.close(() => done(port)); });
    });
    driver = spawn('/usr/bin/WebKitWebDriver', [`--port=${port}`],
                   { stdio: 'ignore', env: { ...process.env, GDK_SCALE: String(dpr) } });
    const session = (async () => {
      for (let tries = 0; ; ++tries) {
        try {
          return await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
            browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary: kMiniBrowser, args: ['--automation'] } }).build();
        } catch (error) {
          if (tries > 100) throw error;
          await sleep(100);
        }
      }
    })();
    d = await Promise.race([session, sleep(30000).then(() => null)]).catch((error) => {
      if (starts >= 3) { driver.kill(); throw error; }
      return null;
    });
    if (!d) {
      driver.kill();
      session.then((late) => late.quit(), () => {});
      if (starts >= 3) throw new Error('webkit: the browser did not start in three tries');
    }
  }
  const pointer = (x, y) => d.actions({ async: true }).move({ x: Math.floor(x), y: Math.floor(y), origin: Origin.VIEWPORT });
  const keys = { Tab: Key.TAB, Space: ' ', Enter: Key.ENTER };
  return {
    name: 'webkit', dpr, full: false,
    async open(url, { width = 700, height = 560 } = {}) {
      // The window's own bars come on top of the viewport asked for.
      await d.manage().window().setRect({ width, height });
      const [w, h] = await d.executeScript('return [innerWidth, innerHeight]');
      await d.manage().window().setRect({ width: 2 * width - w, height: 2 * height - h });
      await d.get(url);
    },
    js: (expression) => d.executeScript(`return (${expression})`),
    element: (selector) => d.findElement({ css: selector }),
    move: (x, y) => pointer(x, y).perform(),
    click: (x, y) => pointer(x, y).press().release().perform(),
    key: (key) => d.actions({ async: true }).sendKeys(keys[key]).perform(),
    async shot(file) {
      const data = Buffer.from(await d.takeScreenshot(), 'base64');
      if (file) fs.writeFileSync(file, data);
      return png(data);
    },
    drop(paths) { return dropThroughInput(this, paths, (input) => input.sendKeys(paths.join('\n'))); },
    async close() { await Promise.race([d.quit().catch(() => {}), sleep(10000)]); driver.kill(); },
  };
}

// An engine by name: chromium, firefox or webkit, at a devicePixelRatio.
async function launch(name, { dpr = 1, downloads = '/nonexistent' } = {}) {
  const e = name === 'webkit' ? await webkitEngine(dpr) : await puppeteerEngine(name, dpr, downloads);
  e.element = e.element || ((selector) => e.page.$(selector));
  // Polls a page expression until it is truthy; bounded.
  e.until = async (expression, what = expression, seconds = 20) => {
    for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(20)) {
      const value = await e.js(expression);
      if (value) return value;
    }
    throw new Error(`${e.name}: timed out waiting for ${what}`);
  };
  // Space (Enter) on the focused control. Firefox's key actions arrive at a
  // focused button (trusted keydown, keypress, keyup) but never activate it
  // in its headless window, which has no focus: there a click stands in.
  e.keyed = name === 'firefox' ? 'a click standing in for Space' : 'Space';
  e.press = async (selector, key = ' ') => {
    if (name !== 'firefox') return e.key(key);
    const [l, t, w, h] = await e.box(selector);
    await e.click(l + w / 2, t + h / 2);
  };
  e.box = (selector) => e.js(`(() => { const r = document.querySelector('${selector}').getBoundingClientRect();
    return [r.left, r.top, r.width, r.height]; })()`);
  return e;
}

module.exports = { ERRORS, READY, noErrors, launch, serve, withHead, pixel, png };
