// The view's pixels: the frames the module composes, the frame around the
// picture and the counter, at the layout's scale.
const painting = (() => {
  const kGrey = '#c0c0c0', kWhite = '#ffffff';
  const view = byId('view');
  const picture = document.createElement('canvas');
  let last = null;

  // The display image's pixel words (bottom-up BGRX) as a top-down RGBA copy.
  function frame(bits, text, red, green, blue) {
    const [width, height] = page.facts.picture;
    const image = new ImageData(width, height);
    const out = new Uint32Array(image.data.buffer);
    // Bytes, not words: the pixels follow a 54-byte header, unaligned.
    const bytes = page.M.HEAPU8;
    for (let y = 0; y < height; ++y) {
      let from = bits + (height - 1 - y) * width * 4, to = y * width;
      for (let x = 0; x < width; ++x, from += 4) {
        out[to + x] = 0xff000000 | (bytes[from] << 16) | (bytes[from + 1] << 8) | bytes[from + 2];
      }
    }
    return { image, text, red, green, blue };
  }
  function fill(g, r, colour) {
    g.fillStyle = colour;
    g.fillRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  function show(shown) {
    last = shown;
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
  return { frame, show, repaint: () => { if (last) show(last); } };
})();
