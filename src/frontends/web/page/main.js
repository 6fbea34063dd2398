// The page's one script. The street is on the page as served, so the game (game.js, with the
// program and the widgets) is fetched only once the browser has drawn it: its bytes never
// stand in the way of the first picture. A browser that cannot tell when it has drawn the
// page starts the game at once.
const start = () => import('./game.js');

if (PerformanceObserver.supportedEntryTypes.includes('paint')) {
  new PerformanceObserver((entries, observer) => {
    observer.disconnect();
    start();
  }).observe({type: 'paint', buffered: true});
} else {
  start();
}
