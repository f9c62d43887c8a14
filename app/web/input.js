// The pointer over the view and the two buttons, each posted to the queue.
(() => {
  const view = byId('view'), M = () => page.M;
  const at = (e) => layout.figureAt(e.clientX, e.clientY);
  view.addEventListener('pointermove', (e) => {
    const p = at(e);
    timeline.post({ kind: 'move', run: () => M()._hoppelPointerMoved(p.x, p.y) });
  });
  view.addEventListener('pointerdown', (e) => {
    if (e.button !== 0) return;
    e.preventDefault();
    const p = at(e);
    // A finger or pen has no hover: the hand first goes where it lands.
    if (e.pointerType !== 'mouse') timeline.post({ kind: 'move', run: () => M()._hoppelPointerMoved(p.x, p.y) });
    timeline.post({ kind: 'down', run: () => M()._hoppelLeftButtonDown(p.x, p.y) });
  });
  byId('auto').addEventListener('click', () => timeline.post({ kind: 'auto', run: () => M()._hoppelAutoButton() }));
  byId('clear').addEventListener('click', () => timeline.post({ kind: 'clear', run: () => M()._hoppelClearButton(),
                                                                finish: () => painting.announce(true) }));
})();
