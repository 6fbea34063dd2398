// A list box of the game's window: single selection, one text line high, driven by the
// keyboard. The arrows and Home and End move the highlight, a click only moves it, and every
// character typed in the list goes to the game, Enter (13) included, which pawns or redeems
// the highlighted entry. Screen readers get the list box, its entries and the highlighted one.
'use strict';

var CasinoPage = window.CasinoPage || {};
window.CasinoPage = CasinoPage;

CasinoPage.GameList = class {
  // onKey(code) hands a typed character to the game; false when the game did not take it.
  constructor(name, accessibleName, hint, onKey, signal) {
    this.name = name;
    this.onKey = onKey;
    this.entries = [];
    this.highlighted = -1;
    this.element = document.createElement('div');
    this.element.id = name;
    this.element.className = 'list';
    this.element.setAttribute('role', 'listbox');
    this.element.setAttribute('aria-label', accessibleName);
    this.element.setAttribute('aria-description', hint);
    this.element.tabIndex = 0;
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event), {signal: signal});
    this.element.addEventListener('mousedown', (event) => {
      const at = this.entries.indexOf(event.target.closest('[role=option]'));
      if (at >= 0) this.setHighlight(at);
    }, {signal: signal});
  }

  setState(visible, enabled) {
    this.element.hidden = !visible;
    this.element.tabIndex = enabled ? 0 : -1;
    if (enabled) {
      this.element.removeAttribute('aria-disabled');
    } else {
      this.element.setAttribute('aria-disabled', 'true');
    }
  }

  append(text) {
    const option = document.createElement('div');
    option.className = 'entry';
    option.id = this.name + '-' + this.entries.length;
    option.setAttribute('role', 'option');
    option.setAttribute('aria-selected', 'false');
    option.textContent = text;
    this.element.append(option);
    this.entries.push(option);
    this.renumber();
  }

  remove(index) {
    if (index < 0 || index >= this.entries.length) return;
    this.entries.splice(index, 1)[0].remove();
    this.renumber();
    this.setHighlight(-1);
  }

  clear() {
    for (const option of this.entries) option.remove();
    this.entries = [];
    this.setHighlight(-1);
  }

  // Each entry's id follows its place, which the list's active descendant names.
  renumber() {
    this.entries.forEach((option, at) => {
      option.id = this.name + '-' + at;
      option.setAttribute('aria-posinset', String(at + 1));
      option.setAttribute('aria-setsize', String(this.entries.length));
    });
  }

  setHighlight(index) {
    if (index < 0 || index >= this.entries.length) index = -1;
    if (this.highlighted >= 0 && this.highlighted < this.entries.length) {
      this.entries[this.highlighted].setAttribute('aria-selected', 'false');
    }
    this.highlighted = index;
    if (index < 0) {
      this.element.removeAttribute('aria-activedescendant');
      this.element.scrollTop = 0;
      return;
    }
    const option = this.entries[index];
    option.setAttribute('aria-selected', 'true');
    this.element.setAttribute('aria-activedescendant', option.id);
    // The one line shows the highlighted entry.
    this.element.scrollTop = option.offsetTop;
  }

  highlight() {
    return this.highlighted;
  }

  // Moves the highlight by `step` entries; from none, any move lands on the first entry.
  move(step) {
    if (this.entries.length === 0) return;
    const from = this.highlighted < 0 ? 0 : this.highlighted + step;
    this.setHighlight(Math.max(0, Math.min(this.entries.length - 1, from)));
  }

  onKeyDown(event) {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    switch (event.key) {
      case 'ArrowDown':
      case 'ArrowRight':
      case 'PageDown':
        event.preventDefault();
        this.move(1);
        return;
      case 'ArrowUp':
      case 'ArrowLeft':
      case 'PageUp':
        event.preventDefault();
        this.move(-1);
        return;
      case 'Home':
        event.preventDefault();
        if (this.entries.length > 0) this.setHighlight(0);
        return;
      case 'End':
        event.preventDefault();
        if (this.entries.length > 0) this.setHighlight(this.entries.length - 1);
        return;
      case 'Enter':
        // Taken here, so that no click reaches whatever holds the keyboard once the game
        // has answered.
        event.preventDefault();
        this.onKey(13);
        return;
      case 'Escape':
        event.preventDefault();
        this.onKey(27);
        return;
      case 'Backspace':
        event.preventDefault();
        this.onKey(8);
        return;
      default:
        break;
    }
    // A character: the game hears it, and the highlight moves to the next entry that
    // begins with it, as in any list box.
    if ([...event.key].length !== 1) return;
    event.preventDefault();
    if (this.onKey(event.key.codePointAt(0))) this.seek(event.key);
  }

  seek(character) {
    const wanted = character.toLocaleLowerCase();
    const count = this.entries.length;
    for (let step = 1; step <= count; ++step) {
      const at = (Math.max(this.highlighted, -1) + step + count) % count;
      if (this.entries[at].textContent.toLocaleLowerCase().startsWith(wanted)) {
        this.setHighlight(at);
        return;
      }
    }
  }
};
