// A call into the module runs to its end at once and leaves a timeline of
// what the desktop program does while it blocks: frames, sounds, pauses. The
// page plays that timeline out and only then takes the next input from its
// queue, so input is handled in the order it came and the module is never
// entered while a slap is under way.
const timeline = (() => {
  let items = [];
  let autoInterval = 0;
  const queue = [];
  let busy = false;

  const handlers = {
    frame(bits, text, red, green, blue) { items.push({ frame: painting.frame(bits, text, red, green, blue) }); },
    sound(index) { items.push({ sound: index }); },
    pause(ms) { items.push({ wait: ms }); },
    autoTimer(running) { items.push({ apply: () => setAutoTimer(running) }); },
    clearEnabled(enabled) { items.push({ apply: () => { byId('clear').disabled = !enabled; } }); },
    autoText(text) { items.push({ apply: () => { byId('auto').textContent = text; } }); },
    facts(facts) { page.facts = facts; },
  };
  function setAutoTimer(running) {
    clearInterval(autoInterval);
    autoInterval = 0;
    // A stopped timer's pending tick goes with it.
    for (let i = queue.length - 1; i >= 0; --i) if (queue[i].kind === 'tick') queue.splice(i, 1);
    if (running) autoInterval = setInterval(() => post({ kind: 'tick', run: () => page.M._hoppelAutoTick() }), 200);
  }
  async function play(played) {
    for (const item of played) {
      if (item.frame) painting.show(item.frame);
      else if (item.apply) item.apply();
      else if (item.wait) await sleep(item.wait);
      else if (item.sound !== undefined) await sound.play(item.sound);
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
    if (busy || !page.M) return;
    busy = true;
    document.documentElement.dataset.busy = '1';
    try {
      while (queue.length) {
        const event = queue.shift();
        if (event.prepare) await event.prepare();
        items = [];
        event.run();
        const played = items;
        items = [];
        await play(played);
        if (event.finish) await event.finish();
      }
    } finally {
      busy = false;
      delete document.documentElement.dataset.busy;
    }
  }
  // The first call of all goes before any input that came while loading.
  function start(event) {
    queue.unshift(event);
    pump();
  }
  const drop = () => { queue.length = 0; };
  return { handlers, post, start, drop };
})();
