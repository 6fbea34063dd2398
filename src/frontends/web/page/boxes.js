// The game's modal boxes on the page: the message box (a text and OK) and the input box (a
// prompt, an empty field, OK and Cancel), each titled as the game says. While one is open
// nothing else on the page takes a click or a key; when it closes, the keyboard goes back to
// the control that had it.
'use strict';

var CasinoPage = window.CasinoPage || {};
window.CasinoPage = CasinoPage;

CasinoPage.boxes = {
  opened: 0,

  // The buttons speak the browser's language, as a desktop's boxes speak the system's.
  cancelCaption: function () {
    return (navigator.language || '').toLowerCase().startsWith('ru') ? 'Отмена' : 'Cancel';
  },

  element: function (tag, className, text) {
    const made = document.createElement(tag);
    made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  },

  // A dialog with its title bar; `fill` adds the rest. Gives the dialog and a promise for the
  // value of the button that closed it ('' for Esc).
  open: function (title, fill) {
    const number = ++this.opened;
    const dialog = this.element('dialog', 'box');
    dialog.setAttribute('aria-modal', 'true');
    const heading = this.element('h2', 'box-title', title);
    heading.id = 'box-title-' + number;
    dialog.setAttribute('aria-labelledby', heading.id);
    const body = this.element('form', 'box-body');
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
    if (CasinoPage.window && CasinoPage.window.root.isConnected) {
      CasinoPage.centreOver(dialog, CasinoPage.window.root);
    }
    return closed;
  },

  button: function (caption, value) {
    const button = this.element('button', 'box-button', caption);
    button.value = value;
    return button;
  },

  message: function (title, text) {
    return this.open(title, (body, number, dialog) => {
      const line = this.element('p', 'box-text', text);
      line.id = 'box-text-' + number;
      dialog.setAttribute('aria-describedby', line.id);
      const buttons = this.element('div', 'box-buttons');
      const ok = this.button('OK', 'ok');
      ok.autofocus = true;
      buttons.append(ok);
      body.append(line, buttons);
    }).then(() => undefined);
  },

  ask: function (title, prompt) {
    let field = null;
    return this.open(title, (body, number) => {
      const label = this.element('label', 'box-text', prompt);
      label.htmlFor = 'box-field-' + number;
      field = this.element('input', 'box-field');
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
      const buttons = this.element('div', 'box-buttons');
      buttons.append(this.button('OK', 'ok'), this.button(this.cancelCaption(), 'cancel'));
      body.append(label, field, buttons);
    }).then((value) => (value === 'ok' ? field.value : ''));
  },
};
