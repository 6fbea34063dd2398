// The window's menu bar: its drop-down menus, their items with the function key that
// chooses each, and the keys that walk them, as a desktop's menu bar has them. The function
// keys are the game's on every screen, before the browser's own (help, find, reload).

export class MenuBar {
  // choose(item) hands a chosen item to the game; restoreFocus() gives the keyboard back to
  // the control that had it before a menu took it.
  constructor(element, {choose, restoreFocus}, signal) {
    this.element = element;
    this.element.setAttribute('role', 'menubar');
    this.choose = choose;
    this.restoreFocus = restoreFocus;
    this.signal = signal;
    this.menus = [];
    this.items = new Map();
    this.shortcuts = new Map();
    this.open = null;
    // With modifiers the function keys stay the browser's.
    document.addEventListener('keydown', (event) => {
      if (event.ctrlKey || event.altKey || event.shiftKey || event.metaKey) return;
      const item = this.shortcuts.get(event.key);
      if (item === undefined) return;
      event.preventDefault();
      event.stopPropagation();
      this.chooseItem(item);
    }, {capture: true, signal: signal});
    document.addEventListener('pointerdown', (event) => {
      if (this.open !== null && !this.element.contains(event.target)) this.close(false);
    }, {signal: signal});
  }

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
    this.element.append(holder);
    const menu = {index: index, title: title, items: items, entries: []};
    this.menus[index] = menu;

    const options = {signal: this.signal};
    title.addEventListener('click', () => {
      if (this.open === menu) {
        this.close(true);
      } else {
        this.show(menu, 0);
      }
    }, options);
    // Once one menu is open, pointing at another title opens that one instead.
    title.addEventListener('pointerenter', () => {
      if (this.open !== null && this.open !== menu) this.show(menu, -1);
    }, options);
    title.addEventListener('keydown', (event) => this.onTitleKey(event, menu), options);
    items.addEventListener('keydown', (event) => this.onMenuKey(event, menu), options);
  }

  addItem(menuIndex, item, label) {
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
    this.items.set(item, {entry: entry, caption: caption, key: key});
    this.setLabel(item, label);

    const options = {signal: this.signal};
    entry.addEventListener('click', () => this.chooseItem(item), options);
    entry.addEventListener('pointerenter', () => entry.focus(), options);
  }

  // The label is the caption and, after a tab, the key that chooses the item: shown at the
  // right, announced as the item's shortcut, and taken from the browser.
  setLabel(item, label) {
    const parts = this.items.get(item);
    const [caption, key = ''] = label.split('\t');
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

  chooseItem(item) {
    this.close(true);
    this.choose(item);
  }

  // Opens a menu, with the keyboard on its entry at `focusAt` (none for -1).
  show(menu, focusAt) {
    if (this.open !== null && this.open !== menu) this.close(false);
    this.open = menu;
    menu.items.hidden = false;
    menu.title.setAttribute('aria-expanded', 'true');
    if (focusAt >= 0 && menu.entries.length > 0) {
      menu.entries[Math.min(focusAt, menu.entries.length - 1)].focus();
    } else {
      menu.title.focus();
    }
  }

  // Closes the open menu; with `restoreFocus` the keyboard goes back to the window.
  close(restoreFocus) {
    const menu = this.open;
    if (menu === null) return;
    this.open = null;
    menu.items.hidden = true;
    menu.title.setAttribute('aria-expanded', 'false');
    if (restoreFocus) this.restoreFocus();
  }

  onTitleKey(event, menu) {
    const count = this.menus.length;
    switch (event.key) {
      case 'ArrowDown':
      case 'Enter':
      case ' ':
        event.preventDefault();
        this.show(menu, 0);
        return;
      case 'ArrowUp':
        event.preventDefault();
        this.show(menu, menu.entries.length - 1);
        return;
      case 'ArrowRight':
      case 'ArrowLeft': {
        event.preventDefault();
        const next = this.menus[(menu.index + (event.key === 'ArrowRight' ? 1 : count - 1)) % count];
        menu.title.tabIndex = -1;
        next.title.tabIndex = 0;
        if (this.open !== null) {
          this.show(next, 0);
        } else {
          next.title.focus();
        }
        return;
      }
      case 'Escape':
        event.preventDefault();
        this.close(true);
        return;
      default:
        return;
    }
  }

  onMenuKey(event, menu) {
    const entries = menu.entries;
    const at = entries.indexOf(document.activeElement);
    const focus = (index) => {
      event.preventDefault();
      entries[(index + entries.length) % entries.length].focus();
    };
    switch (event.key) {
      case 'ArrowDown':
        return focus(at + 1);
      case 'ArrowUp':
        return focus(at - 1);
      case 'Home':
        return focus(0);
      case 'End':
        return focus(-1);
      case 'ArrowRight':
      case 'ArrowLeft':
        return this.onTitleKey(event, menu);
      case 'Enter':
      case ' ':
        event.preventDefault();
        if (at >= 0) entries[at].click();
        return undefined;
      case 'Escape':
        event.preventDefault();
        this.close(false);
        menu.title.focus();
        return undefined;
      case 'Tab':
        this.close(false);
        return undefined;
      default:
        return undefined;
    }
  }
}
