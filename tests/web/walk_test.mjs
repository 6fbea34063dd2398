// The whole game played on the web page with real clicks and keys (walk.script, in the replay
// tool's language), checked against the replay tool's transcript of the same script: after
// every line the boxes, cues, focus moves, menu captions and the end, line for line, and the
// controls and both lists as the browser's accessibility tree gives them to a screen reader
// against the state the tool printed. The accessibility tree is read through the DevTools
// protocol for the window, its menus and its boxes too. Then the page is reloaded offline
// and still plays. Nothing may appear on the console, every cue must play to its end, and
// the page may ask for nothing but its own files.
//   node walk_test.mjs SITE_FOLDER REPLAY_PROGRAM TABLES_PROGRAM
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { launch, openContext, serve } from './browser.mjs';
import { GamePage, coreTables } from './game_page.mjs';

const [site, replayProgram, tablesProgram] = process.argv.slice(2);
if (!tablesProgram) {
  console.error('usage: node walk_test.mjs SITE_FOLDER REPLAY_PROGRAM TABLES_PROGRAM');
  process.exit(2);
}
const tables = coreTables(tablesProgram);
const captionOf = new Map(tables.controls.map((control) => [control.name, control]));

let checks = 0;
function check(ok, what) {
  if (!ok) throw new Error(`failed: ${what}`);
  ++checks;
}
function same(actual, expected, what) {
  check(JSON.stringify(actual) === JSON.stringify(expected),
        `${what}:\n  page:   ${JSON.stringify(actual)}\n  replay: ${JSON.stringify(expected)}`);
}

// ---- The replay tool ----

// The tool's transcript of the script with a `show` after the start and after each line:
// for each, the lines it printed and the state it showed then.
function replay(lines) {
  const input = ['show', ...lines.flatMap((line) => [line, 'show'])].join('\n') + '\n';
  const printed = execFileSync(replayProgram, {input, encoding: 'utf8'}).split('\n');
  const steps = [];
  let said = [];
  for (let at = 0; at < printed.length; ++at) {
    if (printed[at].startsWith('state ')) {
      const [visible, enabled, List1, List2] = printed.slice(at + 1, at + 5)
          .map((line) => line.split(' ').slice(1).join(' '));
      steps.push({said, visible: visible.split(' ').filter(Boolean),
                  enabled: enabled.split(' ').filter(Boolean), lists: {List1, List2}});
      said = [];
      at += 6;
    } else if (printed[at] !== '') {
      said.push(printed[at]);
    }
  }
  if (said.length > 0) steps.push({said, visible: null});
  return steps;
}

// ---- The accessibility tree ----

async function axTree(page) {
  const cdp = await page.context().newCDPSession(page);
  const {nodes} = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const wrap = (node) => ({
    role: node.role?.value, name: node.name?.value ?? '', description: node.description?.value ?? '',
    property: (name) => node.properties?.find((p) => p.name === name)?.value.value,
    children: () => (node.childIds ?? []).map((id) => byId.get(id)).filter(Boolean).flatMap(
        (child) => (child.ignored ? wrap(child).children() : [wrap(child)])),
  });
  return wrap(nodes[0]);
}
function findAll(node, wanted) {
  return [...(wanted(node) ? [node] : []), ...node.children().flatMap((child) => findAll(child, wanted))];
}
const role = (...roles) => (node) => roles.includes(node.role);

// What the tool's state says a screen reader finds on the window: each shown control by its
// role and caption, enabled or not, and each shown list with its entries and highlight.
function expectedControls(step) {
  return step.visible.map((name) => {
    const control = captionOf.get(name);
    const shown = {role: control.role, name: control.caption, disabled: !step.enabled.includes(name)};
    if (control.role === 'listbox') {
      const list = step.lists[name];
      shown.options = [...list.matchAll(/\[([^\]]*)\]/g)].map((entry) => entry[1]);
      shown.highlight = Number(/highlight=(-?\d+)/.exec(list)[1]);
    }
    return shown;
  }).sort((a, b) => a.name.localeCompare(b.name));
}
async function shownControls(page) {
  const tree = await axTree(page);
  return findAll(tree, role('button', 'listbox')).map((node) => {
    const shown = {role: node.role, name: node.name, disabled: node.property('disabled') === true};
    if (node.role === 'listbox') {
      const options = findAll(node, role('option'));
      shown.options = options.map((option) => option.name);
      shown.highlight = options.findIndex((option) => option.property('selected') === true);
    }
    return shown;
  }).sort((a, b) => a.name.localeCompare(b.name));
}

// The window's caption, and its menus, each opened by a click: every item by its caption,
// with the key that chooses it.
async function checkWindow(page) {
  const tree = await axTree(page);
  same(tree.name, tables.title, 'the page\'s name');
  same(findAll(tree, role('heading')).map((node) => node.name), [tables.title], 'the window\'s caption');
  const bar = findAll(tree, role('menubar'));
  same(bar.length === 1 && bar[0].children().map((node) => node.name),
       tables.menus.map((menu) => menu.caption), 'the menu bar');
  for (const menu of tables.menus) {
    await page.getByRole('menuitem', {name: menu.caption, exact: true}).click();
    const tree = await axTree(page);
    const opened = findAll(tree, role('menu'));
    same(opened.map((node) => node.name), [menu.caption], `the menu "${menu.caption}" opened`);
    same(findAll(tree, (node) => node.property('expanded') === true).map((node) => node.name),
         [menu.caption], `"${menu.caption}" tells it is open`);
    same(findAll(opened[0], role('menuitem')).map((item) => [item.name, item.property('keyshortcuts') ?? '']),
         menu.items.map((item) => item.label.split('\t').concat('').slice(0, 2)),
         `the items of "${menu.caption}"`);
    await page.keyboard.press('Escape');
    check(findAll(await axTree(page), role('menu')).length === 0, `"${menu.caption}" closes on Esc`);
  }
}

// The first message box and the first input box, as a screen reader finds them; and the
// window behind a box takes no key meanwhile.
const boxesChecked = new Set();
async function checkBox(box, page) {
  if (boxesChecked.has(box.kind)) return;
  boxesChecked.add(box.kind);
  const tree = await axTree(page);
  const dialogs = findAll(tree, role('dialog', 'alertdialog'));
  same(dialogs.map((node) => [node.name, node.property('modal')]), [[tables.boxTitle, true]],
       `the ${box.kind} box`);
  const buttons = findAll(dialogs[0], role('button')).map((node) => node.name);
  same(findAll(tree, role('button', 'listbox', 'menuitem')).length, buttons.length,
       `behind the ${box.kind} box the window is out of reach`);
  if (box.kind === 'message') {
    same(dialogs[0].description, box.text, 'the message box\'s text');
    same(buttons, ['OK'], 'the message box\'s button');
  } else {
    same(findAll(dialogs[0], role('textbox')).map((node) => [node.name, node.property('focused')]),
         [[box.text, true]], 'the input box\'s field, named by the prompt, holds the keyboard');
    same(buttons.length, 2, 'the input box\'s buttons');
  }
  const shortcut = tables.menus.flatMap((menu) => menu.items).map((item) => item.label.split('\t')[1])
      .find(Boolean);
  await page.keyboard.press(shortcut);
  same(await page.locator('dialog[open]').count(), 1, 'one box at a time');
}

// ---- The walk ----

const numbered = readFileSync(new URL('walk.script', import.meta.url), 'utf8').split('\n')
    .map((line, at) => ({line, number: at + 1}))
    .filter(({line}) => line !== '' && !line.startsWith('#'));
const script = numbered.map(({line}) => line);
const expected = replay(script);

const server = await serve(site);
const browser = await launch();
try {
  const {context, record} = await openContext(browser);
  await GamePage.prepare(context);
  const game = new GamePage(context, tables, {onBox: checkBox});
  const page = await game.start(server.origin + '/');
  same(await shownControls(page), expectedControls(expected[0]), 'the street');
  same(findAll(await axTree(page), (node) => role('button', 'listbox')(node) && node.property('focused') === true)
           .map((node) => node.name),
       expected[0].visible.map((name) => captionOf.get(name).caption), 'the keyboard on the street');
  await checkWindow(page);

  let cues = 0;
  for (const [at, line] of script.entries()) {
    const step = expected[at + 1];
    if (line.startsWith('clock ')) {
      await game.setClock(Number(line.slice('clock '.length)));
      continue;
    }
    const said = await game.play(line);
    same(said, step.said, `after "${line}" (walk.script line ${numbered[at].number})`);
    cues += said.filter((seen) => seen.startsWith('cue ')).length;
    if (step.visible !== null) {
      same(await shownControls(page), expectedControls(step), `the window after "${line}"`);
    }
  }
  check(expected.at(-1).said.includes('quit'), 'the walk ends the game');
  check(await page.locator('.window').count() === 0, 'the window has left the page');
  const played = await game.cues();
  same(played.length, cues, 'the cues the page started');
  same(played.filter((sound) => sound.outcome !== 'played' || !sound.ended || !(sound.played > 0)),
       [], 'cues the browser refused, or that did not play to their end');

  // Offline, a new tab is a fresh game from the service worker's copy, cues and all.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null,
                             {timeout: 10000})
      .catch(() => check(false, 'a service worker controls the page'));
  await context.setOffline(true);
  const offline = await game.start(server.origin + '/');
  same(await shownControls(offline), expectedControls(expected[0]), 'the street, offline');
  const entrance = script.indexOf('click cmdexit');
  same(await game.play('click cmdexit'), expected[entrance + 1].said, 'вход, offline');
  same((await game.cues()).map((sound) => sound.outcome), ['played'], 'the door, offline');
  await context.setOffline(false);

  same(record.complaints, [], 'the console');
  // A cue plays from a blob of the page's own, which the browser lists as a request too.
  const own = (url) => url.startsWith(server.origin + '/') || url.startsWith(`blob:${server.origin}/`);
  same(record.requests.map((request) => request.url).filter((url) => !own(url)), [],
       'requests beyond the page\'s own files');
  await context.close();
} finally {
  await browser.close();
  await server.close();
}
console.log(`web: ${checks} checks passed`);
