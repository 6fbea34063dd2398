// The keys a touch screen lacks, for the open list box: Up, Down and Enter beside it, shown
// only while a list is open on a device without a keyboard (a coarse pointer, or once a
// touch has been seen). Each does exactly what its key does in the list, Enter included,
// which pawns or redeems; the list keeps the keyboard meanwhile.

// Each key's name, which a screen reader says, the key it stands for and what it shows.
const keys = [
  {name: 'Up', key: 'ArrowUp', face: '▲'},
  {name: 'Down', key: 'ArrowDown', face: '▼'},
  {name: 'Enter', key: 'Enter', face: '↵'},
];

export class TouchKeys {
  constructor(client, signal) {
    this.list = null;
    this.touch = matchMedia('(pointer: coarse)').matches;
    this.element = document.createElement('div');
    this.element.className = 'touch-keys';
    this.element.hidden = true;
    for (const {name, key, face} of keys) {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = face;
      // The names are English words on a Russian page: a screen reader says them as such.
      button.setAttribute('aria-label', name);
      button.lang = 'en';
      // The keyboard stays in the list, as it would with a real key.
      button.addEventListener('mousedown', (event) => event.preventDefault(), {signal: signal});
      button.addEventListener('click', () => {
        if (this.list === null) return;
        this.list.element.focus();
        this.list.press(key);
      }, {signal: signal});
      this.element.append(button);
    }
    client.append(this.element);
    document.addEventListener('pointerdown', (event) => {
      if (event.pointerType !== 'touch' || this.touch) return;
      this.touch = true;
      this.show(this.list);
    }, {capture: true, signal: signal});
  }

  // The keys stand at the right of `list` (a GameList at `box`, in the window's pixels), or
  // go for null.
  show(list, box = this.box) {
    this.list = list;
    this.box = box;
    this.element.hidden = list === null || !this.touch;
    if (list === null) return;
    this.element.style.left = `calc(${box.left + box.width} * var(--px))`;
    this.element.style.top = `calc(${box.top + box.height / 2} * var(--px))`;
  }
}
