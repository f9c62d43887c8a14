// Pictures in and out: a file dropped on the window, and Save image.
const files = (() => {
  // A dropped file is read in pieces of this size, straight into the module.
  const kDropChunk = 1 << 20;
  const win = byId('window');

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
      const M = page.M;
      try {
        const head = new Uint8Array(await file.slice(0, page.facts.dropHead).arrayBuffer());
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
    event.run = () => page.M._hoppelDropped(event.filled);
    timeline.post(event);
  });

  let saveName = null;
  async function write(bytes, handle) {
    if (handle) {
      try {
        const out = await handle.createWritable();
        await out.write(bytes);
        await out.close();
        return true;
      } catch (error) {
        return false;
      }
    }
    const url = URL.createObjectURL(new Blob([bytes], { type: 'image/bmp' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = saveName;
    link.click();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
    return true;
  }
  async function save() {
    saveName = saveName || page.facts.saveName;
    let handle = null;
    if (window.showSaveFilePicker) {
      try {
        handle = await window.showSaveFilePicker({
          suggestedName: saveName,
          types: [{ description: texts.SAVE_FILTER, accept: { 'image/bmp': ['.bmp'] } }],
        });
        saveName = handle.name;
      } catch (error) {
        if (error.name === 'AbortError') return;  // cancelled: nothing changes
        handle = null;  // no picker here (a file page, say): a download instead
      }
    }
    const event = { kind: 'save', bytes: null };
    event.run = () => {
      const M = page.M, at = M._hoppelSave();
      if (at) event.bytes = M.HEAPU8.slice(at, at + M._hoppelSavedSize());
    };
    event.finish = async () => {
      if (!event.bytes || !(await write(event.bytes, handle))) {
        menus.message(texts.WRITE_ERROR_CAPTION, texts.WRITE_ERROR);
      }
    };
    timeline.post(event);
  }
  return { save };
})();
