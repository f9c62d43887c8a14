// The view's pixels: the frames the module composes, the frame around the
// picture and the counter, at the layout's scale.
const painting = (() => {
  // The view's ground is the window's face, as page.css has it.
  const kWhite = '#ffffff';
  let grey = '';
  const view = byId('view'), count = byId('count');
  const picture = document.createElement('canvas');
  let last = null;

  // The module's frame is the canvas's own bytes, left in its memory where
  // the module keeps it until long after the call's timeline has played.
  const frame = (rgba, text, red, green, blue) => ({ rgba, text, red, green, blue });
  function imageOf(shown) {
    const [width, height] = page.facts.picture;
    const bytes = new Uint8ClampedArray(page.M.HEAPU8.buffer, shown.rgba, width * height * 4);
    return new ImageData(bytes, width, height);
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
  // The frame around the picture and the counter only when they change (or
  // the layout did): a slap's frame is the picture's pixels alone.
  let drawn = { scale: null, counter: '' };
  function show(shown) {
    last = shown;
    announce(false);
    const scale = layout.current();
    const g = view.getContext('2d');
    const { frame: border, picture: pr, counter } = scale;
    const counterKey = `${shown.text} ${shown.red},${shown.green},${shown.blue}`;
    if (drawn.scale !== scale) {
      grey = getComputedStyle(document.documentElement).getPropertyValue('--face').trim();
      fill(g, { left: 0, top: 0, right: view.width, bottom: view.height }, grey);
      fill(g, border, kWhite);
      drawn = { scale, counter: '' };
    }
    const image = imageOf(shown);
    const width = pr.right - pr.left, height = pr.bottom - pr.top;
    if (picture.width !== image.width || picture.height !== image.height) {
      picture.width = image.width;
      picture.height = image.height;
    }
    picture.getContext('2d').putImageData(image, 0, 0);
    // Whole multiples stay crisp; other scales are averaged.
    g.imageSmoothingEnabled = width % image.width !== 0 || height % image.height !== 0;
    g.imageSmoothingQuality = 'high';
    g.drawImage(picture, pr.left, pr.top, width, height);
    if (drawn.counter !== counterKey) {
      fill(g, counter, grey);
      g.fillStyle = `rgb(${shown.red},${shown.green},${shown.blue})`;
      g.font = `600 ${page.M._hoppelScaled(scale.dpi, 20)}px monospace`;
      g.textAlign = 'right';
      g.textBaseline = 'middle';
      g.fillText(shown.text, counter.right, (counter.top + counter.bottom) / 2);
      drawn.counter = counterKey;
    }
  }
  return { frame, show, announce, repaint: () => { if (last) show(last); } };
})();
