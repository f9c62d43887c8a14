// The view's pixels: the frames the module composes, the frame around the
// picture and the counter, at the layout's scale.
const painting = (() => {
  const kGrey = '#c0c0c0', kWhite = '#ffffff';
  const view = byId('view'), count = byId('count');
  const picture = document.createElement('canvas');
  let last = null;

  // The module's frame is the canvas's own bytes: one copy, kept for the
  // timeline's turn, since the module writes the next frame in its place.
  function frame(rgba, text, red, green, blue) {
    const [width, height] = page.facts.picture;
    const bytes = new Uint8ClampedArray(page.M.HEAPU8.buffer.slice(rgba, rgba + width * height * 4));
    return { image: new ImageData(bytes, width, height), text, red, green, blue };
  }
  function fill(g, r, colour) {
    g.fillStyle = colour;
    g.fillRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  // The count as text for a screen reader, when it changed and after Clear.
  function announce(force) {
    const text = count.dataset.label + (last ? last.text.trim() : '');
    if (force || count.textContent !== text) count.textContent = text;
  }
  function show(shown) {
    last = shown;
    announce(false);
    const scale = layout.current();
    const g = view.getContext('2d');
    const { frame: border, picture: pr, counter } = scale;
    fill(g, { left: 0, top: 0, right: view.width, bottom: view.height }, kGrey);
    fill(g, border, kWhite);
    if (picture.width !== shown.image.width || picture.height !== shown.image.height) {
      picture.width = shown.image.width;
      picture.height = shown.image.height;
    }
    picture.getContext('2d').putImageData(shown.image, 0, 0);
    const width = pr.right - pr.left, height = pr.bottom - pr.top;
    // Whole multiples stay crisp; other scales are averaged.
    g.imageSmoothingEnabled = width % picture.width !== 0 || height % picture.height !== 0;
    g.imageSmoothingQuality = 'high';
    g.drawImage(picture, pr.left, pr.top, width, height);
    fill(g, counter, kGrey);
    g.fillStyle = `rgb(${shown.red},${shown.green},${shown.blue})`;
    g.font = `600 ${page.M._hoppelScaled(scale.dpi, 20)}px monospace`;
    g.textAlign = 'right';
    g.textBaseline = 'middle';
    g.fillText(shown.text, counter.right, (counter.top + counter.bottom) / 2);
  }
  return { frame, show, announce, repaint: () => { if (last) show(last); } };
})();
