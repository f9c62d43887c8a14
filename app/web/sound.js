// Sounds: the very WAV bytes, decoded by Web Audio; silent where there is none.
const sound = (() => {
  // How long a slap's sound waits for the context its input woke.
  const kWakeWait = 500;
  const buffers = [null, null, null];
  // Made once the first frame is up or at the first input, whichever comes
  // first: making it takes the page about 100 ms.
  let audio;
  function context() {
    if (audio !== undefined) return audio;
    try {
      audio = new (window.AudioContext || window.webkitAudioContext)();
    } catch (e) {
      audio = null;
    }
    return audio;
  }
  // The input that wakes the context plays its own slap's sound: the sound
  // waits for the resume, bounded, since where no output can be had (a
  // machine without sound) it never comes; once it has not come, no later
  // sound waits for it.
  let waking = null, wakeFailed = false;
  function wake() {
    if (!context() || audio.state !== 'suspended') return;
    const resumed = audio.resume().then(() => true, () => false);
    if (waking || wakeFailed) return;
    waking = Promise.race([resumed, sleep(kWakeWait).then(() => false)]).then((woke) => {
      wakeFailed = !woke;
      waking = null;
    });
  }
  addEventListener('pointerdown', wake, true);
  addEventListener('keydown', wake, true);

  function decode(files) {
    if (!context()) return;
    files.forEach((bytes, i) => {
      audio.decodeAudioData(bytes.slice().buffer).then((b) => { buffers[i] = b; }, () => {});
    });
  }
  // Resolves when the sound has played; at once where sound is not allowed.
  async function play(index) {
    if (waking) await waking;
    const buffer = buffers[index];
    if (!audio || audio.state !== 'running' || !buffer) return;
    const source = audio.createBufferSource();
    source.buffer = buffer;
    source.connect(audio.destination);
    source.start();
    await sleep(buffer.duration * 1000);
  }
  return { decode, play };
})();
