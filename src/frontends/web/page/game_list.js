// A list box of the game's window: single selection, one text line high, driven by the
// keyboard. The arrows and Home and End move the highlight, a click only moves it, and every
// character typed in the list goes to the game, Enter (13) included, which pawns or redeems
// the highlighted entry. A swipe over the list moves the highlight as the arrows do, for a
// player with a touch screen, who has no arrows. Screen readers get the list box, its
// entries and the highlighted one.
import { keyCodes } from './keys.js';

// How far a finger must travel along the list, in CSS pixels, to be a swipe.
const swipeLength = 16;

export class GameList {
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
    // A finger drawn up the list shows the next entry, as a page drawn up shows what
    // follows; drawn down, the one before.
    let swipeFrom = null;
    this.element.addEventListener('pointerdown', (event) => {
      swipeFrom = event.pointerType === 'touch' ? event.clientY : null;
    }, {signal: signal});
    this.element.addEventListener('pointerup', (event) => {
      if (swipeFrom === null || Math.abs(event.clientY - swipeFrom) < swipeLength) return;
      this.press(event.clientY < swipeFrom ? 'ArrowDown' : 'ArrowUp');
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
    if (this.press(event.key)) event.preventDefault();
  }

  // Does what the key of that name (as KeyboardEvent.key names it) does in the list: false
  // for a key the list leaves to the browser. Enter is taken too, so that no click reaches
  // whatever holds the keyboard once the game has answered.
  press(key) {
    switch (key) {
      case 'ArrowDown':
      case 'ArrowRight':
      case 'PageDown':
        this.move(1);
        return true;
      case 'ArrowUp':
      case 'ArrowLeft':
      case 'PageUp':
        this.move(-1);
        return true;
      case 'Home':
        if (this.entries.length > 0) this.setHighlight(0);
        return true;
      case 'End':
        if (this.entries.length > 0) this.setHighlight(this.entries.length - 1);
        return true;
      default:
        break;
    }
    if (Object.hasOwn(keyCodes, key)) {
      this.onKey(keyCodes[key]);
      return true;
    }
    // A character: the game hears it, and the highlight moves to the next entry that
    // begins with it, as in any list box.
    if ([...key].length !== 1) return false;
    if (this.onKey(key.codePointAt(0))) this.seek(key);
    return true;
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
}
