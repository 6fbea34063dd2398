// The monkey's web transport: speaks the monkey's line protocol on stdin and stdout and plays
// each line on the game's page in headless Chromium, with the page's clock set as the monkey
// says, real clicks and keys, and every box answered with the answers queued by `type`.
// With --touch the page is a phone's, played by touch alone. For `show` it answers what a
// screen reader finds on the page. Besides the transcript lines it reports as findings what
// it sees wrong by itself: a page error, anything on the console, a tab that crashed, a
// dialog of the browser's own, a cue cut short, a request beyond the page's own files, a
// page that stops answering and one that keeps busy while it waits.
//   node transport.mjs SITE_FOLDER TABLES_PROGRAM [--touch]
import { createInterface } from 'node:readline';
import { launch, misdeeds, openContext, phone, serve } from './browser.mjs';
import { GamePage, coreTables } from './game_page.mjs';

const [site, tablesProgram, mode] = process.argv.slice(2);
if (!tablesProgram || (mode !== undefined && mode !== '--touch')) {
  console.error('usage: node transport.mjs SITE_FOLDER TABLES_PROGRAM [--touch]');
  process.exit(2);
}
const touch = mode === '--touch';
const tables = coreTables(tablesProgram);

const say = (line) => process.stdout.write(line + '\n');

const server = await serve(site);
const browser = await launch();
const {context, record} = await openContext(browser, ...(touch ? [phone] : []));
await GamePage.prepare(context);
const game = new GamePage(context, tables, {touch});
// A tab that crashed, and any dialog of the browser's own (an alert, or a page asking to
// stay as its tab closes), which the game never opens.
const crashed = [];
context.on('page', (page) => {
  page.on('crash', () => crashed.push('the tab crashed'));
  page.on('dialog', (dialog) => crashed.push(`the page opened a ${dialog.type()} dialog`) && dialog.accept());
});
let told = 0;

// Each complaint once, as it comes; a misdeed ends the run anyway.
async function findings() {
  const found = [...record.complaints, ...crashed].slice(told);
  told += found.length;
  if (game.page !== null && !game.page.isClosed()) found.push(...await misdeeds(game.page, record, server.origin));
  for (const why of found) say(`finding ${why}`);
}

// Whatever the page was doing, it must answer a question within two seconds once idle.
async function answers() {
  if (game.page === null || game.page.isClosed()) return true;
  const ping = game.page.evaluate(() => true).catch(() => false);
  return Promise.race([ping, new Promise((resolve) => setTimeout(() => resolve(false), 2000))]);
}

// Now and then, between two lines, the page must not keep its main thread busy while it
// waits for the player: at most half of a fifth of a second.
let lines = 0;
async function spins() {
  if (++lines % 25 !== 0 || game.page === null || game.page.isClosed()) return false;
  const cdp = await context.newCDPSession(game.page);
  await cdp.send('Performance.enable');
  const busy = async () => (await cdp.send('Performance.getMetrics')).metrics
      .find((metric) => metric.name === 'TaskDuration').value;
  const before = await busy();
  await new Promise((resolve) => setTimeout(resolve, 200));
  const spent = await busy() - before;
  await cdp.detach();
  return spent > 0.1;
}

async function perform(line) {
  const [word] = line.split(' ');
  if (word === 'clock') {
    await game.setClock(Number(line.slice('clock '.length)));
    return [];
  }
  if (word === 'start') {
    await game.start(server.origin + '/');
    return [];
  }
  if (word === 'close') {
    return game.page === null || game.page.isClosed() ? ['quit'] : game.close();
  }
  return game.play(line);
}

say('observes message ask cue focus caption quit visible enabled List1 List2 only-shown');
say('ready');
for await (const line of createInterface({input: process.stdin, crlfDelay: Infinity})) {
  if (line === 'stop') break;
  try {
    for (const seen of await perform(line)) say(seen);
  } catch (error) {
    say(`finding the page did not play "${line.slice(0, 80)}": ${error.message.split('\n')[0]}`);
  }
  if (!await answers()) {
    say('finding the page stopped answering within 2 s');
  } else if (await spins()) {
    say('finding the page keeps busy while it waits for the player');
  }
  await findings();
  say('ready');
}
await browser.close();
await server.close();
