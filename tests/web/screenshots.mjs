// Photographs the web build in headless Chromium for the README: the street, the casino
// floor with the input box open, and the pawnshop with the wardrobe open.
//   node screenshots.mjs SITE_FOLDER OUTPUT_FOLDER
// The page's clock is fixed, so the same build always draws the same fortune on the way.
import { launch, openContext, serve } from './browser.mjs';

const [site, output] = process.argv.slice(2);
if (!site || !output) {
  console.error('usage: node screenshots.mjs SITE_FOLDER OUTPUT_FOLDER');
  process.exit(2);
}

// The window and the box over it, if one is open, with a little of the page around them.
async function photograph(page, name) {
  const boxes = [await page.locator('.window').boundingBox()];
  if (await page.getByRole('dialog').count() > 0) boxes.push(await page.getByRole('dialog').boundingBox());
  const margin = 12;
  const left = Math.min(...boxes.map((b) => b.x)) - margin;
  const top = Math.min(...boxes.map((b) => b.y)) - margin;
  const right = Math.max(...boxes.map((b) => b.x + b.width)) + margin;
  const bottom = Math.max(...boxes.map((b) => b.y + b.height)) + margin;
  await page.screenshot({path: `${output}/web-${name}.png`,
                         clip: {x: left, y: top, width: right - left, height: bottom - top}});
  console.log(`screenshots: ${output}/web-${name}.png`);
}

// Closes message boxes until an input box is open.
async function untilAsked(page) {
  for (;;) {
    await page.getByRole('dialog').waitFor();
    if (await page.getByRole('dialog').getByRole('textbox').count() > 0) return;
    // The next box may open as soon as this one has gone.
    const box = await page.getByRole('dialog').elementHandle();
    await page.keyboard.press('Enter');
    await page.waitForFunction((element) => !element.isConnected, box);
  }
}

async function idle(page) {
  await page.getByRole('dialog').waitFor({state: 'detached'});
  await page.locator('.window:not([aria-busy])').waitFor();
}

const server = await serve(site);
const browser = await launch();
try {
  const {context} = await openContext(browser);
  const page = await context.newPage();
  await page.setViewportSize({width: 640, height: 480});
  await page.clock.setFixedTime(new Date(2024, 0, 15, 21, 30, 0));
  await page.goto(server.origin + '/');
  await page.getByRole('button', {name: 'вход', exact: true}).waitFor();
  await photograph(page, 'street');

  await page.getByRole('button', {name: 'вход', exact: true}).click();
  await page.getByRole('dialog').waitFor();
  await page.keyboard.press('Enter');
  await idle(page);
  await page.getByRole('button', {name: 'число', exact: true}).click();
  await untilAsked(page);
  await page.keyboard.type('7');
  await photograph(page, 'floor');
  await page.keyboard.press('Escape');
  await idle(page);

  await page.getByRole('button', {name: 'ломбард', exact: true}).click();
  await page.getByRole('button', {name: 'заложить', exact: true}).click();
  await page.getByRole('listbox', {name: 'твои вещи'}).waitFor();
  await photograph(page, 'pawnshop');
  await context.close();
} finally {
  await browser.close();
  await server.close();
}
