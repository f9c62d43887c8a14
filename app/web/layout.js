// The window laid out through the module's own rounding, at the DPI the
// screen gives: 96 x devicePixelRatio.
const layout = (() => {
  const win = byId('window'), client = byId('client'), view = byId('view');
  let scale = null;

  const named = (name) => {
    const [left, top, right, bottom] = page.facts.rects[name];
    return { left, top, right, bottom };
  };
  function scaled(r) {
    const s = (f) => page.M._hoppelScaled(scale.dpi, f);
    return { left: s(r.left), top: s(r.top), right: s(r.right), bottom: s(r.bottom) };
  }
  function place(element, r) {
    element.style.left = r.left + 'px';
    element.style.top = r.top + 'px';
    element.style.width = (r.right - r.left) + 'px';
    element.style.height = (r.bottom - r.top) + 'px';
  }
  function layOut() {
    const M = page.M;
    const ratio = window.devicePixelRatio || 1;
    const dpi = M._hoppelUsableDpi(Math.round(96 * ratio));
    const viewRect = named('view');
    scale = { dpi, ratio, viewRect };
    Object.assign(scale, { frame: scaled(named('frame')), picture: scaled(named('picture')),
                           counter: scaled(named('counter')) });
    place(byId('auto'), named('autoButton'));
    place(byId('clear'), named('clearButton'));
    const [width, height] = page.facts.client;
    client.style.width = width + 'px';
    client.style.height = height + 'px';
    win.style.width = client.style.width;
    // The view's backing pixels are the scaled edges' span; its CSS size is
    // that span in CSS pixels, so each canvas pixel is one screen pixel.
    const placed = scaled(viewRect);
    view.width = placed.right - placed.left;
    view.height = placed.bottom - placed.top;
    view.style.left = viewRect.left + 'px';
    view.style.top = viewRect.top + 'px';
    view.style.width = view.width / ratio + 'px';
    view.style.height = view.height / ratio + 'px';
    painting.repaint();
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', layOut, { once: true });
  }
  // The view's 96-DPI figure under a point of the page.
  function figureAt(clientX, clientY) {
    const box = view.getBoundingClientRect();
    const device = (v) => Math.max(0, Math.floor(v * scale.ratio));
    const figure = (v) => Math.min(65535, page.M._hoppelUnscaled(scale.dpi, device(v)));
    return { x: figure(clientX - box.left), y: figure(clientY - box.top) };
  }
  return { layOut, figureAt, current: () => scale };
})();
