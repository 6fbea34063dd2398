// The game's window on the page: a title bar with the caption, the menu bar with its two
// menus and their function keys, and the client area with the buttons and the two lists,
// all laid out as the game's tables say (main_window.cpp builds it). The page's events go to
// the game one at a time: while a handler runs, waiting in a box or for a cue, the page
// refuses every other, as the game itself does.
'use strict';

var CasinoPage = window.CasinoPage || {};
window.CasinoPage = CasinoPage;

CasinoPage.Window = class {
  // enter(name, args) calls the game's entry point of that name and gives a promise for
  // the end of its handler.
  constructor(caption, width, height, background, enter) {
    this.enter = enter;
    this.busy = false;
    this.closed = false;
    this.controls = new Map();
    this.lists = new Map();
    this.menuItems = new Map();
    this.shortcuts = new Map();
    this.menus = [];
    this.openMenu = null;
    this.lastFocused = -1;
    this.listening = new AbortController();

    document.title = caption;
    this.root = document.createElement('section');
    this.root.className = 'window';
    this.root.setAttribute('aria-labelledby', 'window-caption');

    const titleBar = document.createElement('div');
    titleBar.className = 'title-bar';
    const icon = document.createElement('img');
    icon.src = 'icons/casino-32.png';
    icon.alt = '';
    const heading = document.createElement('h1');
    heading.id = 'window-caption';
    heading.textContent = caption;
    titleBar.append(icon, heading);

    this.menuBar = document.createElement('div');
    this.menuBar.className = 'menu-bar';
    this.menuBar.setAttribute('role', 'menubar');

    this.client = document.createElement('div');
    this.client.className = 'client';
    this.client.style.width = width + 'px';
    this.client.style.height = height + 'px';
    this.client.style.backgroundColor = background;

    this.root.append(titleBar, this.menuBar, this.client);
    document.body.append(this.root);
    this.listen();
  }

  // ---- The game's events ----

  // Hands one event to the game, unless a handler still runs or the game has ended. While
  // it runs the window is busy, for screen readers too, which wait for it to settle.
  send(name, ...args) {
    if (this.busy || this.closed) return false;
    this.setBusy(true);
    let running;
    try {
      running = Promise.resolve(this.enter(name, args));
    } catch (error) {
      this.setBusy(false);
      throw error;
    }
    running.then(() => this.setBusy(false), (error) => {
      this.setBusy(false);
      console.error('casino: the game stopped: ' + error);
    });
    return true;
  }

  setBusy(busy) {
    this.busy = busy;
    if (busy) {
      this.root.setAttribute('aria-busy', 'true');
    } else {
      this.root.removeAttribute('aria-busy');
    }
  }

  listen() {
    const options = {signal: this.listening.signal};
    // The function keys of the menu are the game's on every screen, before the browser's
    // own (help, find, reload); with modifiers they stay the browser's.
    document.addEventListener('keydown', (event) => {
      if (event.ctrlKey || event.altKey || event.shiftKey || event.metaKey) return;
      const item = this.shortcuts.get(event.key);
      if (item === undefined) return;
      event.preventDefault();
      event.stopPropagation();
      this.closeMenu(true);
      this.send('casino_on_menu', item);
    }, {capture: true, signal: this.listening.signal});
    this.client.addEventListener('focusin', (event) => {
      const id = this.controlOf(event.target);
      if (id !== undefined) this.lastFocused = id;
    }, options);
    // A press on the window's own surface leaves the keyboard where it is, as on the desktop.
    this.client.addEventListener('mousedown', (event) => {
      if (event.target === this.client) event.preventDefault();
    }, options);
    document.addEventListener('pointerdown', (event) => {
      if (this.openMenu !== null && !this.menuBar.contains(event.target)) this.closeMenu(false);
    }, options);
  }

  controlOf(element) {
    for (const [id, control] of this.controls) {
      if (control.element === element || control.element.contains(element)) return id;
    }
    return undefined;
  }

  // ---- The menus ----

  addMenu(index, caption) {
    const holder = document.createElement('div');
    holder.className = 'menu';
    holder.setAttribute('role', 'none');
    const title = document.createElement('button');
    title.type = 'button';
    title.className = 'menu-title';
    title.id = 'menu-' + index;
    title.textContent = caption;
    title.setAttribute('role', 'menuitem');
    title.setAttribute('aria-haspopup', 'menu');
    title.setAttribute('aria-expanded', 'false');
    title.tabIndex = index === 0 ? 0 : -1;
    const items = document.createElement('div');
    items.className = 'menu-items';
    items.setAttribute('role', 'menu');
    items.setAttribute('aria-labelledby', title.id);
    items.hidden = true;
    holder.append(title, items);
    this.menuBar.append(holder);
    const menu = {index: index, title: title, items: items, entries: []};
    this.menus[index] = menu;

    const options = {signal: this.listening.signal};
    title.addEventListener('click', () => {
      if (this.openMenu === menu) {
        this.closeMenu(true);
      } else {
        this.showMenu(menu, 0);
      }
    }, options);
    // Once one menu is open, pointing at another title opens that one instead.
    title.addEventListener('pointerenter', () => {
      if (this.openMenu !== null && this.openMenu !== menu) this.showMenu(menu, -1);
    }, options);
    title.addEventListener('keydown', (event) => this.onMenuBarKey(event, menu), options);
    items.addEventListener('keydown', (event) => this.onMenuKey(event, menu), options);
  }

  addMenuItem(menuIndex, item, label) {
    const menu = this.menus[menuIndex];
    const entry = document.createElement('div');
    entry.className = 'menu-item';
    entry.setAttribute('role', 'menuitem');
    entry.tabIndex = -1;
    const caption = document.createElement('span');
    caption.className = 'menu-caption';
    const key = document.createElement('span');
    key.className = 'menu-key';
    key.setAttribute('aria-hidden', 'true');
    entry.append(caption, key);
    menu.items.append(entry);
    menu.entries.push(entry);
    this.menuItems.set(item, {entry: entry, caption: caption, key: key});
    this.setMenuLabel(item, label);

    const options = {signal: this.listening.signal};
    entry.addEventListener('click', () => this.chooseMenuItem(item), options);
    entry.addEventListener('pointerenter', () => entry.focus(), options);
  }

  // The label is the caption and, after a tab, the key that chooses the item: shown at the
  // right, announced as the item's shortcut, and taken from the browser.
  setMenuLabel(item, label) {
    const parts = this.menuItems.get(item);
    const tab = label.indexOf('\t');
    const caption = tab < 0 ? label : label.slice(0, tab);
    const key = tab < 0 ? '' : label.slice(tab + 1);
    parts.caption.textContent = caption;
    parts.key.textContent = key;
    for (const [shortcut, bound] of this.shortcuts) {
      if (bound === item) this.shortcuts.delete(shortcut);
    }
    if (key === '') {
      parts.entry.removeAttribute('aria-keyshortcuts');
    } else {
      parts.entry.setAttribute('aria-keyshortcuts', key);
      this.shortcuts.set(key, item);
    }
  }

  // Opens a menu, with the keyboard on its entry at `focusAt` (none for -1).
  showMenu(menu, focusAt) {
    if (this.openMenu !== null && this.openMenu !== menu) this.closeMenu(false);
    this.openMenu = menu;
    menu.items.hidden = false;
    menu.title.setAttribute('aria-expanded', 'true');
    if (focusAt >= 0 && menu.entries.length > 0) {
      menu.entries[Math.min(focusAt, menu.entries.length - 1)].focus();
    } else {
      menu.title.focus();
    }
  }

  // Closes the open menu; the keyboard goes back to the control that had it.
  closeMenu(restoreFocus) {
    const menu = this.openMenu;
    if (menu === null) return;
    this.openMenu = null;
    menu.items.hidden = true;
    menu.title.setAttribute('aria-expanded', 'false');
    if (restoreFocus) this.restoreFocus();
  }

  restoreFocus() {
    if (this.lastFocused >= 0 && this.usable(this.lastFocused)) {
      this.controls.get(this.lastFocused).element.focus();
    }
  }

  chooseMenuItem(item) {
    this.closeMenu(true);
    this.send('casino_on_menu', item);
  }

  onMenuBarKey(event, menu) {
    const count = this.menus.length;
    switch (event.key) {
      case 'ArrowDown':
      case 'Enter':
      case ' ':
        event.preventDefault();
        this.showMenu(menu, 0);
        return;
      case 'ArrowUp':
        event.preventDefault();
        this.showMenu(menu, menu.entries.length - 1);
        return;
      case 'ArrowRight':
      case 'ArrowLeft': {
        event.preventDefault();
        const next = this.menus[(menu.index + (event.key === 'ArrowRight' ? 1 : count - 1)) % count];
        menu.title.tabIndex = -1;
        next.title.tabIndex = 0;
        if (this.openMenu !== null) {
          this.showMenu(next, 0);
        } else {
          next.title.focus();
        }
        return;
      }
      case 'Escape':
        event.preventDefault();
        this.closeMenu(true);
        return;
      default:
        return;
    }
  }

  onMenuKey(event, menu) {
    const entries = menu.entries;
    const at = entries.indexOf(document.activeElement);
    switch (event.key) {
      case 'ArrowDown':
        event.preventDefault();
        entries[(at + 1) % entries.length].focus();
        return;
      case 'ArrowUp':
        event.preventDefault();
        entries[(at - 1 + entries.length) % entries.length].focus();
        return;
      case 'Home':
        event.preventDefault();
        entries[0].focus();
        return;
      case 'End':
        event.preventDefault();
        entries[entries.length - 1].focus();
        return;
      case 'ArrowRight':
      case 'ArrowLeft':
        this.onMenuBarKey(event, menu);
        return;
      case 'Enter':
      case ' ':
        event.preventDefault();
        if (at >= 0) entries[at].click();
        return;
      case 'Escape':
        event.preventDefault();
        this.closeMenu(false);
        menu.title.focus();
        return;
      case 'Tab':
        this.closeMenu(false);
        return;
      default:
        return;
    }
  }

  // ---- The controls ----

  place(element, box) {
    element.style.left = box.left + 'px';
    element.style.top = box.top + 'px';
    element.style.width = box.width + 'px';
    element.style.height = box.height + 'px';
  }

  addButton(id, name, caption, box) {
    const button = document.createElement('button');
    button.type = 'button';
    button.id = name;
    button.textContent = caption;
    this.place(button, box);
    button.addEventListener('click', () => this.send('casino_on_click', id),
                            {signal: this.listening.signal});
    this.client.append(button);
    this.controls.set(id, {element: button, setState: (visible, enabled) => {
      button.hidden = !visible;
      button.disabled = !enabled;
    }});
  }

  addList(id, name, accessibleName, hint, box) {
    const list = new CasinoPage.GameList(name, accessibleName, hint, (code) => {
      return this.send('casino_on_list_key', id, code);
    }, this.listening.signal);
    this.place(list.element, box);
    this.client.append(list.element);
    this.lists.set(id, list);
    this.controls.set(id, {element: list.element, setState: (visible, enabled) => {
      list.setState(visible, enabled);
    }});
  }

  list(id) {
    return this.lists.get(id);
  }

  setControl(id, visible, enabled) {
    this.controls.get(id).setState(visible, enabled);
  }

  usable(id) {
    const element = this.controls.get(id).element;
    return !element.hidden && !element.disabled && element.getAttribute('aria-disabled') !== 'true';
  }

  focusedControl() {
    return this.lastFocused;
  }

  // The game moves the keyboard only between its boxes: a box has closed, and given the
  // keyboard back, before the handler that opened it goes on.
  focus(id) {
    this.lastFocused = id;
    this.controls.get(id).element.focus();
  }

  // ---- The buttons' font ----

  buttonFont() {
    const probe = document.createElement('button');
    probe.hidden = true;
    this.client.append(probe);
    const style = getComputedStyle(probe);
    const font = {size: parseFloat(style.fontSize), family: style.fontFamily,
                  weight: style.fontWeight};
    probe.remove();
    return font;
  }

  buttonFontSize() {
    return this.buttonFont().size;
  }

  measure(size) {
    if (!this.measuring) {
      this.measuring = {context: document.createElement('canvas').getContext('2d'),
                        font: this.buttonFont()};
    }
    const context = this.measuring.context;
    const font = this.measuring.font;
    context.font = font.weight + ' ' + size + 'px ' + font.family;
    return context;
  }

  textWidth(text, size) {
    return this.measure(size).measureText(text).width;
  }

  lineHeight(size) {
    const metrics = this.measure(size).measureText('Мy');
    return metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
  }

  setCaptionFont(size) {
    this.client.style.setProperty('--caption-size', size + 'px');
  }

  // ---- The end ----

  close() {
    this.closed = true;
    this.closeMenu(false);
    this.listening.abort();
    this.root.remove();
  }
};
