// Start-up: the module and the built-in resources (inline in the one-file
// page, beside it on a server), then the first call.
(() => {
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
    sound.decode(loaded.slice(2));
    layout.layOut();
    const seed = Math.floor(Date.now() / 1000) >>> 0;
    timeline.start({ kind: 'start', run: () => M._hoppelStart(seed, ...places.flat()) });
  }
  start();
})();
