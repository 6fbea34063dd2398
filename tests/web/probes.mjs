// The web page's own checks, which no transcript states: what a screen reader finds of the
// window, its menus and its boxes; axe-core's WCAG 2.2 AA rules on the street, a message box,
// the casino floor, an input box and the pawnshop with each list open, on a desktop and on
// a phone; the keys a touch screen lacks, there on the phone alone; a tab opened offline
// still plays; and on every page a silent console, every cue played to its end and no
// request beyond the page's own files. Reports "FAIL: ..." lines and "N checks passed".
// Given a folder, it also photographs the street, the floor with the input box and the
// pawnshop with the wardrobe there for the README, on the desktop and on the phone.
//   node probes.mjs SITE_FOLDER TABLES_PROGRAM [PICTURES_FOLDER]
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { axTree, findAll, role } from './accessibility.mjs';
import { report, same } from './checks.mjs';
import { launch, misdeeds, openContext, phone, serve } from './browser.mjs';
import { GamePage, coreTables } from './game_page.mjs';

const [site, tablesProgram, pictures] = process.argv.slice(2);
const tables = coreTables(tablesProgram);
const axe = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

async function noViolations(page, screen) {
  await page.evaluate(axe);
  const {violations} = await page.evaluate(() => window.axe.run(document, {runOnly: {type: 'tag',
      values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa']}}));
  same(violations.map((v) => `${v.id}: ${v.nodes.map((node) => node.target).join(' ')}`), [], `axe on ${screen}`);
}

// The window as a desktop shows it, or the whole view of a phone.
async function photograph(page, name, device) {
  const path = `${pictures}/web-${device === phone ? 'phone-' : ''}${name}.png`;
  if (pictures !== undefined) await (device === phone ? page.screenshot({path}) : page.locator('.window').screenshot({path}));
}

// The window's caption, and its menus, each opened by a click: every item by its caption,
// with the key that chooses it.
async function probeWindow(page) {
  const tree = await axTree(page);
  same([tree.name, findAll(tree, role('heading')).map((node) => node.name), findAll(tree, role('main')).length],
       [tables.title, [tables.title], 1], 'the page\'s and the window\'s caption, in the one main landmark');
  same(findAll(tree, role('menubar')).map((bar) => bar.children().map((node) => node.name)), [tables.menus.map((menu) => menu.caption)], 'the menu bar');
  for (const menu of tables.menus) {
    await page.getByRole('menuitem', {name: menu.caption, exact: true}).click();
    const opened = findAll(await axTree(page), role('menu'));
    same(opened.map((node) => [node.name, findAll(node, role('menuitem')).map((item) => [item.name, item.property('keyshortcuts') ?? ''])]),
         [[menu.caption, menu.items.map((item) => item.label.split('\t').concat('').slice(0, 2))]], `the menu "${menu.caption}" opened`);
    await page.keyboard.press('Escape');
    same(findAll(await axTree(page), role('menu')).length, 0, `"${menu.caption}" closed by Esc`);
  }
}

// A box as a screen reader finds it, with the window behind it out of reach.
async function probeBox(box, page) {
  const tree = await axTree(page);
  const dialogs = findAll(tree, role('dialog'));
  same(dialogs.map((node) => [node.name, node.property('modal')]), [[tables.boxTitle, true]], `the ${box.kind} box`);
  const buttons = findAll(dialogs[0], role('button')).map((node) => node.name);
  same(findAll(tree, role('button', 'listbox', 'menuitem')).length, buttons.length, `the window behind the ${box.kind} box`);
  same(box.kind === 'message' ? [dialogs[0].description, buttons]
                              : findAll(dialogs[0], role('textbox')).map((node) => [node.name, node.property('focused'), buttons.length]),
       box.kind === 'message' ? [box.text, ['OK']] : [[box.text, true, 2]], `what the ${box.kind} box says`);
  // A menu's key pressed under the box opens no box of its own.
  await page.keyboard.press(tables.menus.flatMap((menu) => menu.items).map((item) => item.label.split('\t')[1]).find(Boolean));
  await page.waitForTimeout(200);
  same(await page.locator('dialog[open]').count(), 1, `a menu key under the ${box.kind} box`);
}

// The twelve screens, half of them on a phone; the boxes are the first of each kind.
async function walk(browser, origin, device, name) {
  const {context, record} = await openContext(browser, device);
  await GamePage.prepare(context);
  const probed = new Set();
  const game = new GamePage(context, tables, {touch: device === phone, onBox: async (box, page) => {
    if (probed.has(box.kind)) return;
    probed.add(box.kind);
    await noViolations(page, `the ${box.kind} box (${name})`);
    if (device !== phone) await probeBox(box, page);
    if (box.kind === 'ask' && device !== phone) {
      await page.keyboard.type('7');
      await photograph(page, 'floor', device);
      await page.keyboard.press('Backspace');
    }
  }});
  await game.setClock(43200);
  const page = await game.start(origin + '/');
  const seen = {street: await game.play('show')};
  await noViolations(page, `the street (${name})`);
  // Upright the window fills 90% of the view's width at least, lying 85% of its height; the
  // view never scrolls sideways.
  same(await page.evaluate(({width, height} = document.querySelector('.window').getBoundingClientRect()) => [
    innerWidth < innerHeight ? width >= 0.9 * innerWidth : height >= 0.85 * innerHeight,
    document.documentElement.scrollWidth <= innerWidth]), [true, true], `the window fills the view (${name})`);
  await photograph(page, 'street', device);
  if (device !== phone) await probeWindow(page);
  for (const [line, screen] of [['menu деньги'], ['click cmdexit', 'the casino floor'], ['click cmdred'],
                                ['click cmdlom'], ['click cmdpay', 'the pawnshop with the wardrobe'],
                                ['key List1 13'], ['click cmdre', 'the pawnshop with the pawned things']]) {
    seen[line] = await game.play(line);
    if (screen !== undefined) await noViolations(page, `${screen} (${name})`);
    if (line === 'click cmdpay') await photograph(page, 'pawnshop', device);
  }
  same(await page.getByRole('button', {name: /^(Up|Down|Enter)$/}).count(), device === phone ? 3 : 0, `the touch keys (${name})`);
  same([...record.complaints, ...await misdeeds(page, record, origin)], [], `what the page did (${name})`);
  return {context, record, game, seen};
}

const server = await serve(site);
const browser = await launch();
try {
  await walk(browser, server.origin, phone, 'phone');
  // Offline, a new tab is a fresh game from the service worker's copy, cues and all.
  const {context, record, game, seen} = await walk(browser, server.origin, undefined, 'desktop');
  await game.page.evaluate(() => navigator.serviceWorker.ready);
  await context.setOffline(true);
  await game.start(server.origin + '/');
  same([await game.play('show'), await game.play('click cmdexit')], [seen.street, seen['click cmdexit']], 'the street and вход, offline as online');
  same([...record.complaints, ...await misdeeds(game.page, record, server.origin)], [], 'what the page did offline');
} finally {
  await browser.close();
  await server.close();
}
report();
