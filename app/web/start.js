// Start-up: the module and the built-in resources (inline in the one-file
// page, beside it on a server), then the first call.
(() => {
  async function resource(name) {
    const inline = window.HOPPEL_RESOURCES && window.HOPPEL_RESOURCES[name];
    if (inline) {
      // The browser's own base64 decoder, off the page's thread.
      const packed = await fetch('data:application/gzip;base64,' + inline);
      const stream = packed.body.pipeThrough(new DecompressionStream('gzip'));
      return new Uint8Array(await new Response(stream).arrayBuffer());
    }
    const response = await fetch('resources/' + name);
    if (!response.ok) throw new Error('resources/' + name + ': ' + response.status);
    return new Uint8Array(await response.arrayBuffer());
  }
  async function start() {
    const [M, ...loaded] = await Promise.all([createHoppelModule({ hoppel: timeline.handlers }),
                                              ...resourceNames.map(resource)]);
    page.M = M;
    M._hoppelDescribe();
    // The module keeps every resource for the whole run.
    const places = loaded.map((bytes) => {
      const at = M._malloc(bytes.length);
      M.HEAPU8.set(bytes, at);
      return [at, bytes.length];
    });
    layout.layOut();
    const seed = Math.floor(Date.now() / 1000) >>> 0;
    timeline.start({ kind: 'start', run: () => M._hoppelStart(seed, ...places.flat()) });
    // The first frame is drawn by now; the sounds can wait for it.
    setTimeout(() => sound.decode(loaded.slice(2)));
  }
  // Served, the page is an app that plays offline once visited; from a file
  // (where no worker may run) it plays as it is.
  function keepOffline() {
    if (!/^https?:$/.test(location.protocol) || !('serviceWorker' in navigator)) return;
    if (!document.querySelector('link[rel="manifest"]')) return;
    // Asked at once whether the site changed, rather than whenever the
    // browser gets round to it: a changed site's files are then taken now.
    navigator.serviceWorker.register('sw.js').then((r) => r.update()).catch(() => {});
  }
  start().then(keepOffline);
})();
