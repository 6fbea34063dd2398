// Photographs the web build in headless Chromium for the README: the street, the casino
// floor with the input box open, and the pawnshop with the wardrobe open.
//   node screenshots.mjs SITE_FOLDER OUTPUT_FOLDER TABLES_PROGRAM
// The page's clock is fixed, so the same build always draws the same fortune on the way.
import { launch, openContext, serve } from './browser.mjs';
import { GamePage, coreTables } from './game_page.mjs';

const [site, output, tablesProgram] = process.argv.slice(2);
if (!tablesProgram) {
  console.error('usage: node screenshots.mjs SITE_FOLDER OUTPUT_FOLDER TABLES_PROGRAM');
  process.exit(2);
}
const tables = coreTables(tablesProgram);

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

const server = await serve(site);
const browser = await launch();
try {
  const {context} = await openContext(browser);
  await GamePage.prepare(context);
  // The floor is photographed with a number typed into the first input box, which is then
  // cancelled.
  let asked = false;
  const game = new GamePage(context, tables, {onBox: async (box, page) => {
    if (box.kind !== 'ask' || asked) return;
    asked = true;
    await page.keyboard.type('7');
    await photograph(page, 'floor');
    await page.keyboard.press('Backspace');
  }});
  await game.setClock(21 * 3600 + 30 * 60);
  const page = await game.start(server.origin + '/');
  await page.setViewportSize({width: 640, height: 480});
  await photograph(page, 'street');
  for (const line of ['click cmdexit', 'click cmdnum', 'click cmdlom', 'click cmdpay']) {
    await game.play(line);
  }
  await photograph(page, 'pawnshop');
  await context.close();
} finally {
  await browser.close();
  await server.close();
}
