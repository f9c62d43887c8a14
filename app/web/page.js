'use strict';
// The page's front-end on the module's logic. A call into the module runs to
// its end at once and leaves a timeline of what the desktop program does
// while it blocks: frames, sounds, pauses. The page plays that timeline out
// and only then takes the next input from its queue, so input is handled in
// the order it came and the module is never entered while a slap is under way.
(function () {
  // A dropped file is read in pieces of this size, straight into the module.
  const kDropChunk = 1 << 20;
  // How long a slap's sound waits for the context its input woke.
  const kWakeWait = 500;
  const kHomePage = 'https://quillmarsh.example/hoppelmaru/';
  const kWidth = 480, kHeight = 320;
  const kGrey = '#c0c0c0', kWhite = '#ffffff';

  const win = document.getElementById('window');
  const client = document.getElementById('client');
  const view = document.getElementById('view');
  const autoButton = document.getElementById('auto');
  const clearButton = document.getElementById('clear');
  const messageBox = document.getElementById('message');
  const picture = document.createElement('canvas');
  picture.width = kWidth;
  picture.height = kHeight;

  let M = null;
  let timeline = [];
  let lastFrame = null;
  let scale = null;
  let autoInterval = 0;
  const queue = [];
  let busy = false;

  // ---- sounds: the very WAV bytes, decoded by Web Audio ----
  let audio = null;
  const buffers = [null, null, null];
  try {
    audio = new (window.AudioContext || window.webkitAudioContext)();
  } catch (e) {
    audio = null;  // no Web Audio: the game plays silently
  }
  const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
  // The input that wakes the context plays its own slap's sound: the sound
  // waits for the resume, bounded, since where no output can be had (a
  // machine without sound) it never comes; once it has not come, no later
  // sound waits for it.
  let waking = null, wakeFailed = false;
  function wake() {
    if (!audio || audio.state !== 'suspended') return;
    const resumed = audio.resume().then(() => true, () => false);
    if (waking || wakeFailed) return;
    waking = Promise.race([resumed, sleep(kWakeWait).then(() => false)]).then((woke) => {
      wakeFailed = !woke;
      waking = null;
    });
  }
  addEventListener('pointerdown', wake, true);
  addEventListener('keydown', wake, true);
  // Resolves when the sound has played; at once where sound is not allowed.
  async function playSound(index) {
    if (waking) await waking;
    const buffer = buffers[index];
    if (!audio || audio.state !== 'running' || !buffer) return;
    const source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.start();
    await sleep(buffer.duration * 1000);
  }

  // ---- layout through the module's own rounding ----
  function rect(i) {
    return { left: M._hoppelLayout(i, 0), top: M._hoppelLayout(i, 1),
             right: M._hoppelLayout(i, 2), bottom: M._hoppelLayout(i, 3) };
  }
  function scaled(r) {
    const s = (f) => M._hoppelScaled(scale.dpi, f);
    return { left: s(r.left), top: s(r.top), right: s(r.right), bottom: s(r.bottom) };
  }
  function layOut() {
    const ratio = window.devicePixelRatio || 1;
    const dpi = M._hoppelUsableDpi(Math.round(96 * ratio));
    scale = { dpi, ratio, viewRect: rect(2) };
    Object.assign(scale, { frame: scaled(rect(3)), picture: scaled(rect(4)), counter: scaled(rect(5)) });
    const place = (element, r) => {
      element.style.left = r.left + 'px';
      element.style.top = r.top + 'px';
      element.style.width = (r.right - r.left) + 'px';
      element.style.height = (r.bottom - r.top) + 'px';
    };
    place(autoButton, rect(0));
    place(clearButton, rect(1));
    client.style.width = M._hoppelLayout(-1, 0) + 'px';
    client.style.height = M._hoppelLayout(-1, 1) + 'px';
    win.style.width = client.style.width;
    // The view's backing pixels are the scaled edges' span; its CSS size is
    // that span in CSS pixels, so each canvas pixel is one screen pixel.
    const placed = scaled(scale.viewRect);
    view.width = placed.right - placed.left;
    view.height = placed.bottom - placed.top;
    view.style.left = scale.viewRect.left + 'px';
    view.style.top = scale.viewRect.top + 'px';
    view.style.width = view.width / ratio + 'px';
    view.style.height = view.height / ratio + 'px';
    if (lastFrame) show(lastFrame);
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', layOut, { once: true });
  }

  // ---- painting ----
  // The display image's pixel words (bottom-up BGRX) as a top-down RGBA copy.
  function snapshot(bits) {
    const image = new ImageData(kWidth, kHeight);
    const out = new Uint32Array(image.data.buffer);
    // Bytes, not words: the pixels follow a 54-byte header, unaligned.
    const bytes = M.HEAPU8;
    for (let y = 0; y < kHeight; ++y) {
      let from = bits + (kHeight - 1 - y) * kWidth * 4, to = y * kWidth;
      for (let x = 0; x < kWidth; ++x, from += 4) {
        out[to + x] = 0xff000000 | (bytes[from] << 16) | (bytes[from + 1] << 8) | bytes[from + 2];
      }
    }
    return image;
  }
  function fill(g, r, colour) {
    g.fillStyle = colour;
    g.fillRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  function show(frame) {
    lastFrame = frame;
    const g = view.getContext('2d');
    const { frame: border, picture: pr, counter } = scale;
    fill(g, { left: 0, top: 0, right: view.width, bottom: view.height }, kGrey);
    fill(g, border, kWhite);
    picture.getContext('2d').putImageData(frame.image, 0, 0);
    const width = pr.right - pr.left, height = pr.bottom - pr.top;
    // Whole multiples stay crisp; other scales are averaged.
    g.imageSmoothingEnabled = width % kWidth !== 0 || height % kHeight !== 0;
    g.imageSmoothingQuality = 'high';
    g.drawImage(picture, pr.left, pr.top, width, height);
    fill(g, counter, kGrey);
    g.fillStyle = `rgb(${frame.red},${frame.green},${frame.blue})`;
    g.font = `600 ${M._hoppelScaled(scale.dpi, 20)}px monospace`;
    g.textAlign = 'right';
    g.textBaseline = 'middle';
    g.fillText(frame.text, counter.right, (counter.top + counter.bottom) / 2);
  }

  // ---- the timeline of one call, and the queue of input ----
  const handlers = {
    frame(bits, text, red, green, blue) {
      timeline.push({ frame: { image: snapshot(bits), text, red, green, blue } });
    },
    sound(index) { timeline.push({ sound: index }); },
    pause(ms) { timeline.push({ wait: ms }); },
    autoTimer(running) { timeline.push({ apply: () => setAutoTimer(running) }); },
    clearEnabled(enabled) { timeline.push({ apply: () => { clearButton.disabled = !enabled; } }); },
    autoText(text) { timeline.push({ apply: () => { autoButton.textContent = text; } }); },
  };
  function setAutoTimer(running) {
    clearInterval(autoInterval);
    autoInterval = 0;
    // A stopped timer's pending tick goes with it.
    for (let i = queue.length - 1; i >= 0; --i) if (queue[i].kind === 'tick') queue.splice(i, 1);
    if (running) autoInterval = setInterval(() => post({ kind: 'tick', run: () => M._hoppelAutoTick() }), 200);
  }
  async function play(items) {
    for (const item of items) {
      if (item.frame) show(item.frame);
      else if (item.apply) item.apply();
      else if (item.wait) await sleep(item.wait);
      else if (item.sound !== undefined) await playSound(item.sound);
    }
  }
  // Moves and ticks wait as the desktop's do: one pending tick at most, and
  // a move replaces a move still waiting right before it.
  function post(event) {
    const last = queue[queue.length - 1];
    if (event.kind === 'tick' && queue.some((e) => e.kind === 'tick')) return;
    if (event.kind === 'move' && last && last.kind === 'move') queue[queue.length - 1] = event;
    else queue.push(event);
    pump();
  }
  async function pump() {
    if (busy || !M) return;
    busy = true;
    document.documentElement.dataset.busy = '1';
    try {
      while (queue.length) {
        const event = queue.shift();
        if (event.prepare) await event.prepare();
        timeline = [];
        event.run();
        const items = timeline;
        timeline = [];
        await play(items);
        if (event.finish) await event.finish();
      }
    } finally {
      busy = false;
      delete document.documentElement.dataset.busy;
    }
  }

  // ---- input ----
  function viewPoint(e) {
    const box = view.getBoundingClientRect();
    const device = (v) => Math.max(0, Math.floor(v * scale.ratio));
    const figure = (v) => Math.min(65535, M._hoppelUnscaled(scale.dpi, device(v)));
    return { x: figure(e.clientX - box.left), y: figure(e.clientY - box.top) };
  }
  view.addEventListener('pointermove', (e) => {
    const p = viewPoint(e);
    post({ kind: 'move', run: () => M._hoppelPointerMoved(p.x, p.y) });
  });
  view.addEventListener('pointerdown', (e) => {
    if (e.button !== 0) return;
    e.preventDefault();
    const p = viewPoint(e);
    // A finger or pen has no hover: the hand first goes where it lands.
    if (e.pointerType !== 'mouse') post({ kind: 'move', run: () => M._hoppelPointerMoved(p.x, p.y) });
    post({ kind: 'down', run: () => M._hoppelLeftButtonDown(p.x, p.y) });
  });
  autoButton.addEventListener('click', () => post({ kind: 'auto', run: () => M._hoppelAutoButton() }));
  clearButton.addEventListener('click', () => post({ kind: 'clear', run: () => M._hoppelClearButton() }));

  // Drops anywhere on the window, as on the desktop; only the first file counts.
  win.addEventListener('dragover', (e) => {
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
  });
  win.addEventListener('drop', (e) => {
    e.preventDefault();
    const item = e.dataTransfer.items && e.dataTransfer.items[0];
    const entry = item && item.webkitGetAsEntry ? item.webkitGetAsEntry() : null;
    const file = e.dataTransfer.files[0];
    if (!file && !entry) return;
    // The module judges the head first; only the prefix a picture needs is
    // read, piece by piece, into the block the module made for it.
    const event = { kind: 'drop', filled: 0 };
    event.prepare = async () => {
      if (!file || (entry && !entry.isFile)) return;
      try {
        const head = new Uint8Array(await file.slice(0, M._hoppelDropHeadSize()).arrayBuffer());
        M.HEAPU8.set(head, M._hoppelDropHead());
        const size = M._hoppelDropPrefix(file.size);
        const at = size ? M._hoppelDropBlock(size) : 0;
        if (!at) return;
        let filled = 0;
        while (filled < size) {
          const end = Math.min(size, filled + kDropChunk);
          const piece = new Uint8Array(await file.slice(filled, end).arrayBuffer());
          if (piece.length !== end - filled) return;
          M.HEAPU8.set(piece, at + filled);
          filled = end;
        }
        event.filled = filled;
      } catch (error) {
        event.filled = 0;  // unreadable: refused like a file that cannot be opened
      }
    };
    event.run = () => M._hoppelDropped(event.filled);
    post(event);
  });

  // ---- menu ----
  const menus = [...document.querySelectorAll('.menu')];
  const closeMenus = () => menus.forEach((m) => m.classList.remove('open'));
  menus.forEach((menu) => {
    menu.querySelector('.menu-title').addEventListener('click', (e) => {
      const open = menu.classList.contains('open');
      closeMenus();
      if (!open) menu.classList.add('open');
      e.stopPropagation();
    });
  });
  document.addEventListener('click', closeMenus);
  const commands = {
    save: saveImage,
    exit: () => post({ kind: 'exit', run: () => M._hoppelExit(), finish: async () => {
      queue.length = 0;
      win.classList.add('gone');
      window.close();  // closes only a tab a script opened; else the window is gone
    } }),
    about: () => showMessage('バージョン情報', 'Hoppelmaru バージョン ' + win.dataset.version),
    home: () => window.open(kHomePage, '_blank', 'noopener'),
  };
  document.querySelectorAll('[data-command]').forEach((item) => {
    item.addEventListener('click', () => {
      closeMenus();
      commands[item.dataset.command]();
    });
  });
  // Alt with a menu's letter opens it, as on the desktop.
  addEventListener('keydown', (e) => {
    if (!e.altKey) return;
    const index = { f: 0, h: 1 }[e.key.toLowerCase()];
    if (index === undefined) return;
    e.preventDefault();
    closeMenus();
    menus[index].classList.add('open');
    menus[index].querySelector('.popup button').focus();
  });

  // Modal, like the desktop's message box; ticks go on meanwhile.
  function showMessage(caption, text) {
    messageBox.querySelector('.caption').textContent = caption;
    messageBox.querySelector('p').textContent = text;
    if (!messageBox.open) messageBox.showModal();
  }

  let saveName = 'hoppelmaru.bmp';
  async function saveImage() {
    let handle = null;
    if (window.showSaveFilePicker) {
      try {
        handle = await window.showSaveFilePicker({
          suggestedName: saveName,
          types: [{ description: 'ビットマップ(*.bmp)', accept: { 'image/bmp': ['.bmp'] } }],
        });
        saveName = handle.name;
      } catch (error) {
        if (error.name === 'AbortError') return;  // cancelled: nothing changes
        handle = null;  // no picker here (a file page, say): a download instead
      }
    }
    const event = { kind: 'save', bytes: null };
    event.run = () => {
      const at = M._hoppelSave();
      if (at) event.bytes = M.HEAPU8.slice(at, at + M._hoppelSavedSize());
    };
    event.finish = async () => {
      let written = event.bytes !== null;
      if (written && handle) {
        try {
          const out = await handle.createWritable();
          await out.write(event.bytes);
          await out.close();
        } catch (error) {
          written = false;
        }
      } else if (written) {
        const url = URL.createObjectURL(new Blob([event.bytes], { type: 'image/bmp' }));
        const link = document.createElement('a');
        link.href = url;
        link.download = saveName;
        link.click();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
      }
      if (!written) showMessage('書き込みエラー', 'ファイル作成に失敗しました。空き容量を確認してください');
    };
    post(event);
  }

  // ---- start-up ----
  async function resource(name) {
    const inline = window.HOPPEL_RESOURCES && window.HOPPEL_RESOURCES[name];
    if (inline) {
      const packed = Uint8Array.from(atob(inline), (c) => c.charCodeAt(0));
      const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
      return new Uint8Array(await new Response(stream).arrayBuffer());
    }
    const response = await fetch('resources/' + name);
    if (!response.ok) throw new Error('resources/' + name + ': ' + response.status);
    return new Uint8Array(await response.arrayBuffer());
  }
  async function start() {
    const names = ['radav.bmp', 'hand.bmp', 'slap1.wav', 'slap2.wav', 'slap3.wav'];
    const [module, ...files] = await Promise.all([createHoppelModule({ hoppel: handlers }),
                                                  ...names.map(resource)]);
    M = module;
    // The module keeps every resource for the whole run.
    const places = files.map((bytes) => {
      const at = M._malloc(bytes.length);
      M.HEAPU8.set(bytes, at);
      return [at, bytes.length];
    });
    files.slice(2).forEach((bytes, i) => {
      if (audio) audio.decodeAudioData(bytes.slice().buffer).then((b) => { buffers[i] = b; }, () => {});
    });
    layOut();
    const seed = Math.floor(Date.now() / 1000) >>> 0;
    queue.unshift({ kind: 'start', run: () => M._hoppelStart(seed, ...places.flat()) });
    pump();
  }
  start();
})();
