// A short game of the web build in headless Chromium, played with real clicks and keys: the
// street as the page opens, "вход" with its cue and its greeting, the balance by F3, the
// page reloaded offline from the service worker's copy, and "выход". What the page shows is
// checked against the replay tool's transcript of the same input, and the page must say
// nothing on its console, ask for nothing but its own files, and have every cue played.
//   node smoke_test.mjs SITE_FOLDER REPLAY_PROGRAM
import { execFileSync } from 'node:child_process';
import { launch, openPage, serve, sounds } from './browser.mjs';

const [site, replayProgram] = process.argv.slice(2);
if (!site || !replayProgram) {
  console.error('usage: node smoke_test.mjs SITE_FOLDER REPLAY_PROGRAM');
  process.exit(2);
}

let checks = 0;
function check(ok, what) {
  if (!ok) throw new Error(`failed: ${what}`);
  ++checks;
}
function same(actual, expected, what) {
  check(JSON.stringify(actual) === JSON.stringify(expected),
        `${what}: ${JSON.stringify(actual)}, expected ${JSON.stringify(expected)}`);
}

// The replay tool's transcript of a script, split at each "show" into what happened before it
// and the state it printed.
function replay(lines) {
  const transcript = execFileSync(replayProgram, {input: lines.join('\n') + '\n', encoding: 'utf8'});
  const steps = [{said: [], visible: null}];
  for (const line of transcript.split('\n')) {
    const step = steps[steps.length - 1];
    if (line.startsWith('visible')) {
      step.visible = line.split(' ').slice(1).sort();
      steps.push({said: [], visible: null});
    } else if (/^(message|ask|cue|focus|caption|quit)\b/.test(line)) {
      step.said.push(line);
    }
  }
  return steps;
}
const said = (step, kind) => step.said.filter((line) => line.startsWith(kind + ' '))
                                      .map((line) => line.slice(kind.length + 1));

// The game's controls the page shows, by the game's own names.
async function shownControls(page) {
  return (await page.locator('.client > [id]:visible').evaluateAll(
      (controls) => controls.map((control) => control.id))).sort();
}

async function focusedControl(page) {
  return page.evaluate(() => document.activeElement && document.activeElement.id);
}

// The open box: its title and its text, as the accessibility tree names and describes it.
async function openBox(page) {
  const box = page.getByRole('dialog');
  await box.waitFor();
  const title = await box.getAttribute('aria-labelledby');
  const text = await box.getAttribute('aria-describedby');
  return {
    box: box,
    modal: await box.getAttribute('aria-modal'),
    title: await page.locator(`[id="${title}"]`).innerText(),
    text: await page.locator(`[id="${text}"]`).innerText(),
  };
}

// The box has gone and the handler that opened it has finished: the window is no longer busy.
async function closedBox(page) {
  await page.getByRole('dialog').waitFor({state: 'detached'});
  await page.locator('.window:not([aria-busy])').waitFor();
}

// Every cue started since `from` was let play, and played to its end: the game has gone on
// past them.
async function cuesPlayed(page, from, count, what) {
  const started = (await sounds(page)).slice(from);
  same(started.length, count, `${what}: cues started`);
  for (const sound of started) {
    same(sound.outcome, 'played', `${what}: the browser let the cue play`);
    check(sound.ended && sound.played > 0, `${what}: the cue played to its end`);
  }
}

const expected = replay(['show', 'click cmdexit', 'show', 'menu деньги', 'menu выход']);
const street = expected[0];
const greeting = expected[1];
const balance = expected[2];

const server = await serve(site);
const browser = await launch();
try {
  const {context, page, record} = await openPage(browser);
  await page.goto(server.origin + '/');

  // The street.
  const entrance = page.getByRole('button', {name: 'вход', exact: true});
  await entrance.waitFor();
  same(await page.title(), 'казино "Пельтораг"', 'the page title');
  same(await page.locator('.title-bar').innerText(), 'казино "Пельтораг"', 'the title bar');
  same(await page.getByRole('menubar').getByRole('menuitem').allInnerTexts(),
       ['игра', 'справка'], 'the menu bar');
  same(await shownControls(page), street.visible, 'the street');
  same(await focusedControl(page), 'cmdexit', 'the keyboard at the start');

  // "вход" by a click: the door cue, played to its end, then the greeting.
  await entrance.click();
  let box = await openBox(page);
  same(box.title, 'казино', 'the greeting box title');
  same(box.modal, 'true', 'the greeting box is modal');
  same([box.text], said(greeting, 'message'), 'the greeting');
  await cuesPlayed(page, 0, said(greeting, 'cue').length, 'the door');
  same(record.requests.filter((request) => !request.fromWorker && request.url.includes('/sound/'))
           .map((request) => new URL(request.url).pathname),
       said(greeting, 'cue').map((path) => '/' + path.replace('\\', '/')), 'the cues fetched');
  // Nothing behind the box takes a key meanwhile.
  await page.keyboard.press('F3');
  same(await page.getByRole('dialog').count(), 1, 'one box at a time');
  await page.keyboard.press('Enter');
  await closedBox(page);
  same(await shownControls(page), greeting.visible, 'the casino floor');
  same(await focusedControl(page), said(greeting, 'focus').at(-1), 'the keyboard on the floor');

  // F3 is the game's, not the browser's.
  await page.keyboard.press('F3');
  box = await openBox(page);
  same([box.text], said(balance, 'message'), 'the balance');
  await box.box.getByRole('button', {name: 'OK'}).click();
  await closedBox(page);

  // Offline, a reload is a fresh game from the service worker's copy, cues and all.
  // The service worker has kept its copy once it controls the page.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null,
                             {timeout: 10000})
      .catch(() => check(false, 'a service worker controls the page'));
  await context.setOffline(true);
  await page.reload();
  await entrance.waitFor();
  same(await shownControls(page), street.visible, 'the street, offline');
  await entrance.click();
  box = await openBox(page);
  same([box.text], said(greeting, 'message'), 'the greeting, offline');
  await cuesPlayed(page, 0, said(greeting, 'cue').length, 'the door, offline');
  await page.keyboard.press('Enter');
  await closedBox(page);

  // "выход" from the menu: the window leaves the page.
  await page.getByRole('menuitem', {name: 'игра'}).click();
  await page.getByRole('menuitem', {name: 'выход alt+f4'}).click();
  check(balance.said.includes('quit'), 'the game ends at "выход"');
  await page.locator('.window').waitFor({state: 'detached'});
  await context.setOffline(false);

  same(record.complaints, [], 'the console');
  // A cue plays from a blob of the page's own, which the browser lists as a request too.
  const own = (url) => url.startsWith(server.origin + '/') || url.startsWith(`blob:${server.origin}/`);
  const foreign = record.requests.map((request) => request.url).filter((url) => !own(url));
  same(foreign, [], 'requests beyond the page\'s own files');
  await context.close();
} finally {
  await browser.close();
  await server.close();
}
console.log(`web: ${checks} checks passed`);
