// The game's page played as a person plays it, one line of the replay tool's language at a
// time (click, key, highlight, menu; the typed answers queued by type), with real mouse and
// keyboard input, or on a phone with taps, swipes and the text an on-screen keyboard
// inserts, every box answered; and what the page showed for each line, in the replay tool's
// transcript format, and what a screen reader finds on it for `show`. The monkey's web
// transport plays through it, and so do the web-only probes.
import { execFileSync } from 'node:child_process';
import { showLines } from './accessibility.mjs';

// The core's names, captions and menus, as the tables program (tables_main.cpp) prints them.
export function coreTables(program) {
  return JSON.parse(execFileSync(program, {encoding: 'utf8'}));
}

// Runs in the page before its own scripts and notes, in order, what the game shows through
// it while a handler runs (the window is busy then): each box as it opens, each cue the page
// fetches, each menu caption it changes, and each move of the keyboard made from a shown
// control to one of the game's controls; the keyboard that falls from a control just hidden
// is the page's own doing, and so is the keyboard a closed box gives back.
function observeGame() {
  const seen = [];
  window.__seen = seen;
  const busy = () => document.querySelector('.window[aria-busy]') !== null;
  const isControl = (element) => element instanceof HTMLElement && element.id !== '' &&
                                 element.parentElement !== null &&
                                 element.parentElement.classList.contains('client');
  const note = (line) => {
    captions.takeRecords().forEach(caption);
    seen.push(line);
  };
  const caption = (record) => {
    const span = record.target;
    if (!busy() || !(span instanceof HTMLElement) || !span.classList.contains('menu-caption')) return;
    const at = [...document.querySelectorAll('.menu-item')].indexOf(span.closest('.menu-item'));
    seen.push({caption: at, text: span.textContent});
  };
  const captions = new MutationObserver((records) => records.forEach(caption));
  captions.observe(document, {subtree: true, childList: true, characterData: true});

  const showModal = HTMLDialogElement.prototype.showModal;
  HTMLDialogElement.prototype.showModal = function () {
    const title = document.getElementById(this.getAttribute('aria-labelledby'));
    const field = this.querySelector('input');
    const text = field !== null ? [...field.labels].map((label) => label.textContent).join('')
                                : document.getElementById(this.getAttribute('aria-describedby'))?.textContent;
    note({box: field !== null ? 'ask' : 'message', text: text ?? '', title: title?.textContent ?? ''});
    return showModal.call(this);
  };

  const fetchFile = window.fetch;
  window.fetch = function (resource, ...rest) {
    if (busy()) {
      const url = new URL(resource instanceof Request ? resource.url : resource, document.baseURI);
      const folder = new URL('.', document.baseURI).pathname;
      note(url.pathname.startsWith(folder) ? 'cue ' + url.pathname.slice(folder.length).replaceAll('/', '\\')
                                           : 'cue ' + url.href);
    }
    return fetchFile.call(this, resource, ...rest);
  };

  const focus = HTMLElement.prototype.focus;
  HTMLElement.prototype.focus = function (...options) {
    const from = document.activeElement;
    const result = focus.apply(this, options);
    if (busy() && isControl(this) && document.activeElement === this && isControl(from) &&
        from.checkVisibility()) {
      note('focus ' + this.id);
    }
    return result;
  };
}

export class GamePage {
  // tables: what web_tables printed. onBox(box, page), if given, sees each box before it is
  // answered: {kind: 'message'|'ask', text, title}. With `touch` the context is a phone's,
  // and the page is played by touch alone.
  constructor(context, tables, {onBox = null, touch = false} = {}) {
    this.context = context;
    this.tables = tables;
    this.onBox = onBox;
    this.touch = touch;
    this.menuItems = tables.menus.flatMap((menu) => menu.items.map((item) => item.name));
    this.answers = [];
    this.read = 0;
    this.turn = 0;  // alternates the ways of answering a box and of choosing a menu item
    this.page = null;
  }

  static async prepare(context) {
    await context.addInitScript(observeGame);
  }

  // The game's time of day from now on, in whole seconds since midnight (the page's zone is UTC).
  async setClock(seconds) {
    await this.context.clock.setFixedTime(Date.UTC(2026, 11, 7) + seconds * 1000);
  }

  // A fresh game in a new tab; the old one, if any, is closed first.
  async start(url) {
    if (this.page !== null) await this.page.close();
    this.page = await this.context.newPage();
    this.answers = [];
    this.read = 0;
    await this.page.goto(url);
    // The game has taken the window over once it has given a control the keyboard.
    await this.page.waitForFunction(() => document.activeElement?.parentElement?.classList.contains('client'));
    await this.idle();
    return this.page;
  }

  // Plays one line of the replay language and gives the transcript lines the page showed.
  async play(line) {
    const [word, ...rest] = line.split(' ');
    if (word === 'type') {
      this.answers.push(line.slice('type '.length));
      return [];
    }
    if (this.page.isClosed() || await this.ended()) return [];
    if (word === 'show') return showLines(this.page, this.tables);
    if (word === 'click') {
      await this.clickControl(rest[0]);
    } else if (word === 'key') {
      await this.keyIn(rest[0], Number(rest[1]));
    } else if (word === 'highlight') {
      await this.highlight(rest[0], Number(rest[1]));
    } else if (word === 'menu') {
      await this.chooseMenuItem(rest.join(' '));
    } else {
      throw new Error(`the page cannot play "${line}"`);
    }
    await this.idle();
    return this.transcript();
  }

  // Closes the tab as the browser's close button would; the game has nothing to say then.
  // The page may ask to stay (it never does), so the close is waited for, two seconds at most.
  async close() {
    const closed = new Promise((resolve) => this.page.once('close', () => resolve(true)));
    await this.page.close({runBeforeUnload: true});
    const gone = await Promise.race([closed, new Promise((resolve) => setTimeout(resolve, 2000, false))]);
    if (!gone) throw new Error('the tab did not close');
    return ['quit'];
  }

  // ---- Real input ----

  control(name) {
    return this.page.locator(`.client > [id="${name}"]`);
  }

  // A click, or a tap on a phone.
  async press(x, y) {
    await (this.touch ? this.page.touchscreen.tap(x, y) : this.page.mouse.click(x, y));
  }

  async pressOn(locator) {
    const box = await locator.boundingBox();
    await this.press(box.x + box.width / 2, box.y + box.height / 2);
  }

  // A click on a list lands on its frame, which gives it the keyboard and moves nothing. A
  // hidden control is clicked where the page would put it.
  async clickControl(name) {
    const box = await this.control(name).isVisible() ? await this.control(name).boundingBox()
                                       : await this.place(name);
    const isList = await this.control(name).getAttribute('role') === 'listbox';
    await this.press(box.x + (isList ? 0.5 : box.width / 2), box.y + (isList ? 0.5 : box.height / 2));
  }

  async place(name) {
    const client = await this.page.locator('.client').boundingBox();
    const [x, y, width, height] = await this.control(name).evaluate((element) => {
      const style = getComputedStyle(element);
      return ['left', 'top', 'width', 'height'].map((side) => parseFloat(style[side]));
    });
    return {x: client.x + x, y: client.y + y, width, height};
  }

  // A finger drawn over the list, up (dy < 0) or down, as the DevTools protocol sends touches.
  // It rests before it lifts, so that the browser sees no fling, whose end would swallow the
  // next tap.
  async swipe(list, dy) {
    const box = await this.control(list).boundingBox();
    const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
    const cdp = await this.context.newCDPSession(this.page);
    const touch = (type, at) => cdp.send('Input.dispatchTouchEvent', {type, touchPoints: at === null ? [] : [{x, y: at}]});
    for (const [type, at] of [['touchStart', y], ['touchMove', y + dy / 2], ['touchMove', y + dy]]) await touch(type, at);
    await new Promise((resolve) => setTimeout(resolve, 150));
    await touch('touchMove', y + dy);
    await touch('touchEnd', null);
    await cdp.detach();
  }

  // The keys beside the open list on a phone, by their names.
  touchKey(name) {
    return this.page.getByRole('button', {name, exact: true});
  }

  async keyIn(list, code) {
    if (!await this.control(list).isVisible()) return;
    if (this.touch) {
      if (code !== 13) throw new Error(`a touch screen has no key ${code}`);
      await this.pressOn(this.touchKey('Enter'));
      return;
    }
    if (!await this.control(list).evaluate((element) => element === document.activeElement)) {
      await this.clickControl(list);
    }
    const key = {13: 'Enter', 27: 'Escape', 8: 'Backspace'}[code];
    if (key !== undefined) {
      await this.page.keyboard.press(key);
    } else if (code >= 32 && code < 127) {
      await this.page.keyboard.press(String.fromCharCode(code));
    }
    // Other codes are no key a person types in a list box on a web page; the game would
    // have said nothing to them.
  }

  // Home, then the arrow down to the entry: the keys a person uses in a one-line list.
  async highlight(list, index) {
    if (!await this.control(list).isVisible()) return;
    const count = await this.control(list).getByRole('option').count();
    if (index < 0 || index >= count) return;
    if (this.touch) {
      // From no highlight, the first step lands on the first entry. Swipes and the keys
      // take turns.
      const from = await this.control(list).getByRole('option').evaluateAll(
          (options) => options.findIndex((option) => option.getAttribute('aria-selected') === 'true'));
      const down = index - Math.max(from, 0) + (from < 0 ? 1 : 0);
      const bySwipe = this.turn++ % 2 === 0;
      for (let step = 0; step < Math.abs(down); ++step) {
        await (bySwipe ? this.swipe(list, down > 0 ? -40 : 40)
                       : this.pressOn(this.touchKey(down > 0 ? 'Down' : 'Up')));
      }
      return;
    }
    if (!await this.control(list).evaluate((element) => element === document.activeElement)) {
      await this.clickControl(list);
    }
    await this.page.keyboard.press('Home');
    for (let i = 0; i < index; ++i) await this.page.keyboard.press('ArrowDown');
  }

  // By the mouse through its menu, or by its key when it shows one, turn about.
  async chooseMenuItem(name) {
    const at = this.menuItems.indexOf(name);
    if (at < 0) throw new Error(`no menu item "${name}"`);
    const entry = this.page.locator('.menu-item').nth(at);
    const key = await entry.getAttribute('aria-keyshortcuts');
    if (key !== null && !this.touch && this.turn++ % 2 === 1) {
      await this.page.keyboard.press(key);
      return;
    }
    const menu = entry.locator('xpath=ancestor::*[@role="menu"]');
    const title = this.page.locator(`[id="${await menu.getAttribute('aria-labelledby')}"]`);
    await this.pressOn(title);
    await this.pressOn(entry);
  }

  // ---- Boxes and the end of a handler ----

  async ended() {
    return await this.page.locator('.window').count() === 0;
  }

  // Answers every box the game opens until its handler has finished.
  async idle() {
    for (;;) {
      const state = await this.page.waitForFunction(() => {
        if (document.querySelector('dialog[open]') !== null) return 'box';
        if (document.querySelector('.window') === null) return 'gone';
        return document.querySelector('.window[aria-busy]') === null ? 'idle' : null;
      }, null, {timeout: 15000}).then((handle) => handle.jsonValue());
      if (state !== 'box') return;
      await this.answer();
    }
  }

  async answer() {
    const dialog = this.page.locator('dialog[open]');
    const box = await this.lastBox();
    if (this.onBox !== null) await this.onBox(box, this.page);
    const handle = await dialog.elementHandle();
    // By a key or by the mouse, turn about; on a phone by a tap, and the answer inserted as
    // an on-screen keyboard inserts it.
    const byKey = this.turn++ % 2 === 0 && !this.touch;
    const buttons = dialog.getByRole('button');
    if (box.kind === 'ask') {
      const answer = this.answers.length > 0 ? this.answers.shift() : '';
      if (answer === '') {
        await (byKey ? this.page.keyboard.press('Escape') : this.pressOn(buttons.last()));
      } else {
        // A long answer is pasted, as a person would; a short one typed key by key.
        await (answer.length > 40 || this.touch ? this.page.keyboard.insertText(answer)
                                                : this.page.keyboard.type(answer));
        await (byKey ? this.page.keyboard.press('Enter') : this.pressOn(buttons.first()));
      }
    } else {
      await (byKey ? this.page.keyboard.press('Enter') : this.pressOn(buttons.first()));
    }
    await this.page.waitForFunction((element) => !element.isConnected, handle);
  }

  async lastBox() {
    const boxes = await this.page.evaluate(() => window.__seen.filter((seen) => seen.box));
    const box = boxes.at(-1);
    return {kind: box.box, text: box.text, title: box.title};
  }

  // What the page showed since the last call, as transcript lines; box titles other than
  // the game's own are given as `title` lines, which no transcript has.
  async transcript() {
    const seen = await this.page.evaluate((from) => window.__seen.slice(from), this.read);
    this.read += seen.length;
    const lines = [];
    for (const item of seen) {
      if (typeof item === 'string') {
        lines.push(item);
      } else if (item.box) {
        if (item.title !== this.tables.boxTitle) lines.push(`title ${item.title}`);
        lines.push(`${item.box} ${item.text}`);
      } else {
        lines.push(`caption ${this.menuItems[item.caption]} ${item.text}`);
      }
    }
    if (await this.ended()) lines.push('quit');
    return lines;
  }
}
