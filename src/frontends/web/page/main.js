// The page's one script: starts the game (casino.js, the C++ program) with the page's
// widgets, which its library (library.js) reaches through the module object it is given,
// and keeps the page's files for offline play. The street is on the page as served, so the
// program is fetched only once the browser has drawn it: its bytes never stand in the way
// of the first picture.
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

requestAnimationFrame(() => setTimeout(() => {
  import('./casino.js')
      .then(({default: createGame}) => createGame({page}))
      .catch((error) => console.error('casino: the game did not start: ' + error));
  keepOffline();
}));
