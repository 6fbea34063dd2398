// Where the game's boxes appear: centred over the window, and always wholly in the browser's
// view, as far as the view is large enough.
'use strict';

var CasinoPage = window.CasinoPage || {};
window.CasinoPage = CasinoPage;

CasinoPage.centreOver = function (box, owner) {
  const over = owner.getBoundingClientRect();
  const size = box.getBoundingClientRect();
  const place = (centre, length, room) => Math.max(0, Math.min(centre - length / 2, room - length));
  box.style.inset = 'auto';
  box.style.margin = '0';
  box.style.left = place(over.left + over.width / 2, size.width, innerWidth) + 'px';
  box.style.top = place(over.top + over.height / 2, size.height, innerHeight) + 'px';
};
