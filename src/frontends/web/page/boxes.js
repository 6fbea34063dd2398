// The game's modal boxes on the page: the message box (a text and OK) and the input box (a
// prompt, an empty field, OK and Cancel), each titled as the game says and centred over the
// window. While one is open nothing else on the page takes a click or a key; when it closes,
// the keyboard goes back to the control that had it.

// Where a box appears: centred over its owner, and always wholly in the browser's view, as
// far as the view is large enough.
function centreOver(box, owner) {
  const over = owner.getBoundingClientRect();
  const size = box.getBoundingClientRect();
  const place = (centre, length, room) => Math.max(0, Math.min(centre - length / 2, room - length));
  box.style.inset = 'auto';
  box.style.margin = '0';
  box.style.left = place(over.left + over.width / 2, size.width, innerWidth) + 'px';
  box.style.top = place(over.top + over.height / 2, size.height, innerHeight) + 'px';
}

function element(tag, className, text) {
  const made = document.createElement(tag);
  made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

export class Boxes {
  // owner() gives the element the boxes are centred over, or null once it has gone.
  constructor(owner) {
    this.owner = owner;
    this.opened = 0;
  }

  // The buttons speak the browser's language, as a desktop's boxes speak the system's.
  static cancelCaption() {
    return (navigator.language || '').toLowerCase().startsWith('ru') ? 'Отмена' : 'Cancel';
  }

  static button(caption, value) {
    const button = element('button', 'box-button', caption);
    button.value = value;
    return button;
  }

  // A dialog with its title bar; `fill` adds the rest. Gives a promise for the value of the
  // button that closed it ('' for Esc).
  open(title, fill) {
    const number = ++this.opened;
    const dialog = element('dialog', 'box');
    dialog.setAttribute('aria-modal', 'true');
    const heading = element('h2', 'box-title', title);
    heading.id = 'box-title-' + number;
    dialog.setAttribute('aria-labelledby', heading.id);
    const body = element('form', 'box-body');
    body.method = 'dialog';
    dialog.append(heading, body);
    fill(body, number, dialog);
    document.body.append(dialog);
    const closed = new Promise((resolve) => {
      dialog.addEventListener('close', () => {
        dialog.remove();
        resolve(dialog.returnValue);
      }, {once: true});
    });
    dialog.returnValue = '';
    dialog.showModal();
    const owner = this.owner();
    if (owner !== null && owner.isConnected) centreOver(dialog, owner);
    return closed;
  }

  message(title, text) {
    return this.open(title, (body, number, dialog) => {
      const line = element('p', 'box-text', text);
      line.id = 'box-text-' + number;
      dialog.setAttribute('aria-describedby', line.id);
      const buttons = element('div', 'box-buttons');
      const ok = Boxes.button('OK', 'ok');
      ok.autofocus = true;
      buttons.append(ok);
      body.append(line, buttons);
    }).then(() => undefined);
  }

  ask(title, prompt) {
    let field = null;
    return this.open(title, (body, number) => {
      const label = element('label', 'box-text', prompt);
      label.htmlFor = 'box-field-' + number;
      field = element('input', 'box-field');
      field.type = 'text';
      field.id = 'box-field-' + number;
      field.autocomplete = 'off';
      field.spellcheck = false;
      field.autofocus = true;
      // Enter is taken on its way down, so that nothing of it reaches the control that gets
      // the keyboard back once the box has closed.
      field.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter') return;
        event.preventDefault();
        field.closest('dialog').close('ok');
      });
      const buttons = element('div', 'box-buttons');
      buttons.append(Boxes.button('OK', 'ok'), Boxes.button(Boxes.cancelCaption(), 'cancel'));
      body.append(label, field, buttons);
    }).then((value) => (value === 'ok' ? field.value : ''));
  }
}
