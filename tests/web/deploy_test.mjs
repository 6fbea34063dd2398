// A new version put on the server while the game is played, simulated: the next version is
// this build with a line added to casino.js and a section to casino.wasm, and its service
// worker written by the build's own script (test-web.sh makes it). An upload half done (the
// new worker and casino.js, the old casino.wasm) must leave the old version playing, online
// and offline; once it is done, a game already running keeps its version, and the next load
// plays the new one. Reports "FAIL: ..." lines and "N checks passed".
//   node deploy_test.mjs LIVE_FOLDER NEXT_FOLDER TABLES_PROGRAM
import { copyFileSync } from 'node:fs';
import { report, same } from './checks.mjs';
import { launch, openContext, serve } from './browser.mjs';
import { GamePage, coreTables } from './game_page.mjs';

const [live, next, tablesProgram] = process.argv.slice(2);
const tables = coreTables(tablesProgram);
const upload = (...files) => files.forEach((file) => copyFileSync(`${next}/${file}`, `${live}/${file}`));

// Which version the page runs: the casino.js its copy gives it.
const version = (game) => game.page.evaluate(() => fetch('casino.js').then((response) => response.text()))
    .then((text) => (text.endsWith('// next\n') ? 'next' : 'old'));

// Asks the browser to look for a new service worker now, and waits until it is either in
// charge or thrown away.
const update = (game) => game.page.evaluate(async () => {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update().catch(() => undefined);
  const worker = registration.installing ?? registration.waiting;
  if (worker === null) return;
  await new Promise((resolve) => {
    const settled = () => ['activated', 'redundant'].includes(worker.state) && resolve();
    worker.addEventListener('statechange', settled);
    settled();
  });
});

const server = await serve(live);
const browser = await launch();
try {
  const {context, record} = await openContext(browser);
  await GamePage.prepare(context);
  const game = () => new GamePage(context, tables);
  const running = game();
  await running.setClock(43200);
  await running.start(server.origin + '/');
  await running.page.evaluate(() => navigator.serviceWorker.ready);
  const entrance = await running.play('click cmdexit');

  upload('service-worker.js', 'casino.js');
  await update(running);
  for (const offline of [false, true]) {
    await context.setOffline(offline);
    const fresh = game();
    await fresh.start(server.origin + '/');
    same([await version(fresh), await fresh.play('click cmdexit')], ['old', entrance],
         `a load during a half-done upload${offline ? ', offline' : ''}`);
    await fresh.page.close();
  }
  await context.setOffline(false);

  upload('casino.wasm');
  await update(running);
  same(await version(running), 'old', 'the game running as the upload ends');
  const fresh = game();
  await fresh.start(server.origin + '/');
  same([await version(fresh), await fresh.play('click cmdexit')], ['next', entrance], 'the next load');
  same(record.complaints, [], 'the console');
} finally {
  await browser.close();
  await server.close();
}
report();
