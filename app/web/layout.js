// The window laid out whole in the visible viewport, at the scale the
// module chooses for it (the largest whole number of device pixels per
// picture pixel that fits, or the natural size, or a fraction; the page's
// margins give way first, and below the smallest size the page scrolls).
// Every figure goes through the module's rounding at 96 DPI x that scale.
const layout = (() => {
  const kMargin = 8;
  const win = byId('window'), client = byId('client'), view = byId('view');
  const root = document.documentElement;
  let scale = null;
  // The watch on the current devicePixelRatio: one at a time, however often
  // the page is laid out.
  let ratioWatch = null;

  const named = (name) => {
    const [left, top, right, bottom] = page.facts.rects[name];
    return { left, top, right, bottom };
  };
  const scaled = (r, s = (f) => page.M._hoppelScaled(scale.dpi, f)) =>
    ({ left: s(r.left), top: s(r.top), right: s(r.right), bottom: s(r.bottom) });
  function place(element, r) {
    const css = (v) => v * scale.cssPerDevice + 'px';
    element.style.left = css(r.left);
    element.style.top = css(r.top);
    element.style.width = css(r.right - r.left);
    element.style.height = css(r.bottom - r.top);
  }
  function visible() {
    const v = window.visualViewport;
    // At pinch zoom 1, so that pinching does not lay the window out again.
    return v ? [v.width * v.scale, v.height * v.scale] : [innerWidth, innerHeight];
  }
  // The window's size in figures: the client area with the caption, the
  // menu bar and the borders page.css gives it.
  function natural() {
    root.style.setProperty('--u', '1px');
    const [width, height] = page.facts.client;
    client.style.width = width + 'px';
    client.style.height = height + 'px';
    win.style.width = width + 'px';
    return [win.offsetWidth, win.offsetHeight];
  }
  function layOut() {
    const M = page.M, ratio = window.devicePixelRatio || 1;
    const [w, h] = natural();
    const [vw, vh] = visible();
    const s = M._hoppelFittingScale(vw, vh, ratio, w, h);
    const dpi = M._hoppelUsableDpi(Math.round(96 * s));
    // CSS pixels per device pixel of the layout: 1 / ratio, but for a shrunk
    // window (below 96 DPI) its layout shown smaller.
    scale = { dpi, ratio, s, cssPerDevice: (s * 96) / dpi / ratio, viewRect: named('view') };
    Object.assign(scale, { frame: scaled(named('frame')), picture: scaled(named('picture')),
                           counter: scaled(named('counter')) });
    const u = s / ratio;
    root.style.setProperty('--u', u + 'px');
    place(byId('auto'), scaled(named('autoButton')));
    place(byId('clear'), scaled(named('clearButton')));
    const [cw, ch] = page.facts.client;
    place(client, scaled({ left: 0, top: 0, right: cw, bottom: ch }));
    win.style.width = client.style.width;
    const room = (v, size) => Math.max(0, Math.min(kMargin * u, (v - size * u) / 2));
    win.style.margin = `${room(vh, h)}px ${room(vw, w)}px`;
    root.style.overflow = w * u <= vw + 0.5 && h * u <= vh + 0.5 ? 'hidden' : 'auto';
    // The view's backing pixels are the scaled edges' span, each one screen
    // pixel (or, shrunk, shown smaller by the browser).
    const placed = scaled(scale.viewRect);
    view.width = placed.right - placed.left;
    view.height = placed.bottom - placed.top;
    place(view, placed);
    root.dataset.scale = String(Math.round(s * 1000) / 1000);
    painting.repaint();
    if (ratioWatch) ratioWatch.removeEventListener('change', layOut);
    ratioWatch = matchMedia(`(resolution: ${ratio}dppx)`);
    ratioWatch.addEventListener('change', layOut, { once: true });
  }
  addEventListener('resize', () => { if (scale) layOut(); });
  if (window.visualViewport) visualViewport.addEventListener('resize', () => { if (scale) layOut(); });

  // The view's 96-DPI figure under a point of the page.
  function figureAt(clientX, clientY) {
    const box = view.getBoundingClientRect();
    const device = (v, span, pixels) => Math.max(0, Math.floor((v * pixels) / span));
    const figure = (v) => Math.min(65535, page.M._hoppelUnscaled(scale.dpi, v));
    return { x: figure(device(clientX - box.left, box.width, view.width)),
             y: figure(device(clientY - box.top, box.height, view.height)) };
  }
  return { layOut, figureAt, current: () => scale };
})();
