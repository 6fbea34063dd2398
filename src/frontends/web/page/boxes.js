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

  // A dialog with its title bar; `fill` adds the rest. Gives the dialog and a promise for the
  // value of the button that closed it ('' for Esc).
  open: function (title, fill) {
    const number = ++this.opened;
    const dialog = document.createElement('dialog');
    dialog.className = 'box';
    dialog.setAttribute('aria-modal', 'true');
    const heading = document.createElement('h2');
    heading.className = 'box-title';
    heading.id = 'box-title-' + number;
    heading.textContent = title;
    dialog.setAttribute('aria-labelledby', heading.id);
    const body = document.createElement('form');
    body.className = 'box-body';
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
    const button = document.createElement('button');
    button.className = 'box-button';
    button.value = value;
    button.textContent = caption;
    return button;
  },

  message: function (title, text) {
    return this.open(title, (body, number, dialog) => {
      const line = document.createElement('p');
      line.className = 'box-text';
      line.id = 'box-text-' + number;
      line.textContent = text;
      dialog.setAttribute('aria-describedby', line.id);
      const buttons = document.createElement('div');
      buttons.className = 'box-buttons';
      const ok = this.button('OK', 'ok');
      ok.autofocus = true;
      buttons.append(ok);
      body.append(line, buttons);
    }).then(() => undefined);
  },

  ask: function (title, prompt) {
    let field = null;
    return this.open(title, (body, number) => {
      const label = document.createElement('label');
      label.className = 'box-text';
      label.htmlFor = 'box-field-' + number;
      label.textContent = prompt;
      field = document.createElement('input');
      field.type = 'text';
      field.id = 'box-field-' + number;
      field.className = 'box-field';
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
      const buttons = document.createElement('div');
      buttons.className = 'box-buttons';
      buttons.append(this.button('OK', 'ok'), this.button(this.cancelCaption(), 'cancel'));
      body.append(label, field, buttons);
    }).then((value) => (value === 'ok' ? field.value : ''));
  },
};
