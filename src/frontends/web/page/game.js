// The game on the page: starts the program (casino.js, built from the C++) with the page's
// widgets, which its library (library.js) reaches through the module object it is given,
// and keeps the page's files for offline play.
import createGame from './casino.js';
import { Boxes } from './boxes.js';
import { CuePlayer } from './cue_player.js';
import { keepOffline } from './offline.js';
import { Window } from './window.js';

const page = {
  window: null,
  openWindow(...args) {
    this.window = new Window(...args);
  },
  boxes: new Boxes(() => page.window?.root ?? null),
  cues: new CuePlayer(),
};

createGame({page}).catch((error) => console.error('casino: the game did not start: ' + error));
keepOffline();
