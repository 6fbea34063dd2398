// The game's window on the page: the title bar with the caption as served, the menu bar, and
// the client area with the buttons and the two lists, all laid out as the game's tables say
// (main_window.cpp builds it), in the window's own pixels, which the page scales to the
// browser's view. The page's events go to the game one at a time: while a handler runs,
// waiting in a box or for a cue, the page refuses every other, as the game itself does.
import { GameList } from './game_list.js';
import { MenuBar } from './menu_bar.js';
import { TouchKeys } from './touch_keys.js';

export class Window {
  // enter(name, args) calls the game's entry point of that name and gives a promise for
  // the end of its handler.
  constructor(caption, width, height, background, enter) {
    this.enter = enter;
    this.busy = false;
    this.closed = false;
    this.controls = new Map();
    this.lists = new Map();
    this.lastFocused = -1;
    this.listening = new AbortController();
    const signal = this.listening.signal;

    // The window as the page was served (street_page.cpp wrote it) keeps its frame and title
    // bar, painted before any script ran; the game builds the menu bar and the client area
    // anew and puts them in place of the served ones in the task that builds them, so that
    // nothing in between is ever drawn.
    document.title = caption;
    this.root = document.querySelector('main > .window');

    const menuBar = document.createElement('div');
    menuBar.className = 'menu-bar';
    this.menuBar = new MenuBar(menuBar, {
      choose: (item) => this.send('casino_on_menu', item),
      restoreFocus: () => this.restoreFocus(),
    }, signal);

    this.client = document.createElement('div');
    this.client.className = 'client';
    this.client.style.width = `calc(${width} * var(--px))`;
    this.client.style.height = `calc(${height} * var(--px))`;
    this.client.style.backgroundColor = background;
    this.touchKeys = new TouchKeys(this.client, signal);

    this.root.querySelector(':scope > .menu-bar').replaceWith(menuBar);
    this.root.querySelector(':scope > .client').replaceWith(this.client);
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
    this.client.addEventListener('focusin', (event) => {
      const id = this.controlOf(event.target);
      if (id !== undefined) this.lastFocused = id;
    }, options);
    // A press on the window's own surface leaves the keyboard where it is, as on the desktop.
    this.client.addEventListener('mousedown', (event) => {
      if (event.target === this.client) event.preventDefault();
    }, options);
  }

  controlOf(element) {
    for (const [id, control] of this.controls) {
      if (control.element === element || control.element.contains(element)) return id;
    }
    return undefined;
  }

  restoreFocus() {
    if (this.lastFocused >= 0 && this.usable(this.lastFocused)) {
      this.controls.get(this.lastFocused).element.focus();
    }
  }

  // ---- The menus ----

  addMenu(index, caption) {
    this.menuBar.addMenu(index, caption);
  }

  addMenuItem(menuIndex, item, label) {
    this.menuBar.addItem(menuIndex, item, label);
  }

  setMenuLabel(item, label) {
    this.menuBar.setLabel(item, label);
  }

  // ---- The controls ----

  static place(element, box) {
    for (const side of ['left', 'top', 'width', 'height']) {
      element.style[side] = `calc(${box[side]} * var(--px))`;
    }
  }

  addButton(id, name, caption, box) {
    const button = document.createElement('button');
    button.type = 'button';
    button.id = name;
    button.textContent = caption;
    Window.place(button, box);
    button.addEventListener('click', () => this.send('casino_on_click', id),
                            {signal: this.listening.signal});
    this.client.append(button);
    this.controls.set(id, {element: button, setState: (visible, enabled) => {
      button.hidden = !visible;
      button.disabled = !enabled;
    }});
  }

  // An open list has the touch keys beside it, where they are shown at all.
  addList(id, name, accessibleName, hint, box) {
    const list = new GameList(name, accessibleName, hint, (code) => {
      return this.send('casino_on_list_key', id, code);
    }, this.listening.signal);
    Window.place(list.element, box);
    this.client.append(list.element);
    this.lists.set(id, list);
    this.controls.set(id, {element: list.element, setState: (visible, enabled) => {
      list.setState(visible, enabled);
      if (visible) {
        this.touchKeys.show(list, box);
      } else if (this.touchKeys.list === list) {
        this.touchKeys.show(null);
      }
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

  // The captions' size is in the window's pixels, as every size in it is.
  buttonFont() {
    const probe = document.createElement('button');
    probe.hidden = true;
    this.client.append(probe);
    const style = getComputedStyle(probe);
    const font = {size: parseFloat(style.getPropertyValue('--caption-size')),
                  family: style.fontFamily, weight: style.fontWeight};
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
    const {context, font} = this.measuring;
    context.font = `${font.weight} ${size}px ${font.family}`;
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
    this.client.style.setProperty('--caption-size', String(size));
  }

  // ---- The end ----

  close() {
    this.closed = true;
    this.menuBar.close(false);
    this.listening.abort();
    this.root.remove();
  }
}
