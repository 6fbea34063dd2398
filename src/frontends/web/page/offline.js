// The page's offline copy: a service worker keeps the page's own files, so that once loaded
// the game plays without a network, and can be installed as an app.
export function keepOffline() {
  if (!('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('service-worker.js').catch((error) => {
    console.warn('casino: no offline copy: ' + error);
  });
}
