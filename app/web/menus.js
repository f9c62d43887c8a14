// The menu bar (made from the resource script when the page is built), its
// commands and the message box.
const menus = (() => {
  const win = byId('window'), messageBox = byId('message');
  const all = [...document.querySelectorAll('.menu')];
  const closeAll = () => all.forEach((m) => m.classList.remove('open'));
  all.forEach((menu) => {
    menu.querySelector('.menu-title').addEventListener('click', (e) => {
      const open = menu.classList.contains('open');
      closeAll();
      if (!open) menu.classList.add('open');
      e.stopPropagation();
    });
  });
  document.addEventListener('click', closeAll);

  // Modal, like the desktop's message box; ticks go on meanwhile.
  function message(caption, text) {
    messageBox.querySelector('.caption').textContent = caption;
    messageBox.querySelector('p').textContent = text;
    if (!messageBox.open) messageBox.showModal();
  }
  const commands = {
    IDM_SAVE_IMAGE: () => files.save(),
    IDM_EXIT: () => timeline.post({ kind: 'exit', run: () => page.M._hoppelExit(), finish: async () => {
      timeline.drop();
      win.classList.add('gone');
      window.close();  // closes only a tab a script opened; else the window is gone
    } }),
    IDM_ABOUT: () => message(texts.ABOUT_CAPTION, texts.ABOUT + win.dataset.version),
    IDM_HOME_PAGE: () => window.open(texts.HOME_PAGE, '_blank', 'noopener'),
  };
  document.querySelectorAll('[data-command]').forEach((item) => {
    item.addEventListener('click', () => {
      closeAll();
      commands[item.dataset.command]();
    });
  });
  // Alt with a menu's letter opens it, as on the desktop.
  addEventListener('keydown', (e) => {
    if (!e.altKey) return;
    const menu = all.find((m) => m.querySelector('.menu-title').dataset.key === e.key.toLowerCase());
    if (!menu) return;
    e.preventDefault();
    closeAll();
    menu.classList.add('open');
    menu.querySelector('.popup button').focus();
  });
  return { message };
})();
