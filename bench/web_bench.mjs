// The web game's page against a bare Emscripten page with one button, both loaded RUNS times,
// alternating, each time in a fresh headless Chromium from an empty cache: the bytes the
// page fetched until it stood, and with its offline copy, as a web server that compresses
// with gzip would send them, the time from the navigation to the browser's first paint and
// first contentful paint, and the peak memory of the browser's renderer processes. Prints
// the medians and their ratios game / bare. Then Lighthouse (tests/web pins it) audits the
// game's page with its mobile and its desktop settings, three times each: the four
// categories' scores, and the first and the largest contentful paint as it simulates them,
// of the run with the median LCP. Figures, not a test.
//   node web_bench.mjs GAME_FOLDER BARE_FOLDER [RUNS]
import { execFile } from 'node:child_process';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch, serve } from '../tests/web/browser.mjs';

const [gameFolder, bareFolder, runsText] = process.argv.slice(2);
const runs = Number(runsText || 10);

// The peak resident memory (VmHWM) of the browser's renderer processes, in KiB.
async function rendererPeak(browser) {
  const session = await browser.newBrowserCDPSession();
  const {processInfo} = await session.send('SystemInfo.getProcessInfo');
  await session.detach();
  let total = 0;
  for (const process of processInfo.filter((info) => info.type === 'renderer')) {
    const status = await readFile(`/proc/${process.id}/status`, 'utf8').catch(() => '');
    const found = /VmHWM:\s+(\d+) kB/.exec(status);
    if (found) total += Number(found[1]);
  }
  return total;
}

// One load of the page in `folder`: the page is standing once `shown` is on it and painted,
// and for a page with a service worker once that has kept its copy.
async function measure(folder, shown) {
  const server = await serve(folder);
  const browser = await launch();
  try {
    const page = await browser.newPage();
    const fetched = [];
    page.context().on('requestfinished', (request) => {
      if (!request.url().startsWith(server.origin + '/')) return;
      fetched.push({file: new URL(request.url()).pathname, byWorker: request.serviceWorker() !== null});
    });
    // The first frame drawn after the element is on the page, from the navigation's start.
    await page.addInitScript((selector) => {
      window.__painted = new Promise((resolve) => {
        const seen = () => {
          if (!document.querySelector(selector)) return false;
          requestAnimationFrame(() => requestAnimationFrame(() => resolve(performance.now())));
          return true;
        };
        const watch = new MutationObserver(() => { if (seen()) watch.disconnect(); });
        watch.observe(document, {childList: true, subtree: true});
      });
    }, shown);
    await page.goto(server.origin + '/');
    await page.evaluate(() => window.__painted);
    await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0);
    const [paint, contentful] = await page.evaluate(() => ['first-paint', 'first-contentful-paint']
        .map((name) => performance.getEntriesByName(name)[0].startTime));
    await page.evaluate(async () => {
      if (await navigator.serviceWorker.getRegistration()) await navigator.serviceWorker.ready;
    });
    await page.waitForLoadState('networkidle');
    let bytes = 0;
    let offline = 0;
    for (const {file, byWorker} of fetched) {
      const local = path.join(folder, file === '/' ? 'index.html' : file);
      const size = gzipSync(await readFile(local), {level: 9}).length;
      offline += size;
      if (!byWorker) bytes += size;
    }
    const memory = await rendererPeak(browser);
    return {bytes, offline, paint, contentful, memory, files: fetched.filter((f) => !f.byWorker).length};
  } finally {
    await browser.close();
    await server.close();
  }
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const game = [];
const bare = [];
// A first load of each warms the file cache and is not counted.
await measure(gameFolder, '.window');
await measure(bareFolder, 'button');
for (let run = 0; run < runs; ++run) {
  game.push(await measure(gameFolder, '.window'));
  bare.push(await measure(bareFolder, 'button'));
}

const row = (label, unit, key, digits) => {
  const g = median(game.map((m) => m[key]));
  const b = median(bare.map((m) => m[key]));
  console.log(`${label.padEnd(28)} ${g.toFixed(digits).padStart(9)} ${unit} vs ${b.toFixed(digits).padStart(9)} ${unit} = ${(g / b).toFixed(2)}x`);
};
console.log(`medians over ${runs} loads each, the game's page vs a bare Emscripten page with one button:`);
row('bytes transferred (gzip)', 'B  ', 'bytes', 0);
row('  with the offline copy', 'B  ', 'offline', 0);
row('navigation to first paint', 'ms ', 'paint', 1);
row('  to first contentful paint', 'ms ', 'contentful', 1);
row('renderer peak memory', 'KiB', 'memory', 0);
console.log(`files fetched: ${game[0].files} vs ${bare[0].files}`);

// Lighthouse's audit of the page with its mobile settings (a mid-range phone on a slow 4G
// network, both simulated) or its desktop ones, in Debian's chromium.
async function lighthouse(url, preset) {
  const folder = await mkdtemp(path.join(tmpdir(), 'lighthouse-'));
  const program = new URL('../tests/web/node_modules/.bin/lighthouse', import.meta.url).pathname;
  const report = path.join(folder, 'report.json');
  try {
    await new Promise((resolve, reject) => execFile(program, [
      url, '--quiet', '--output=json', `--output-path=${report}`,
      '--only-categories=performance,accessibility,best-practices,seo',
      '--chrome-flags=--headless=new --no-sandbox', ...(preset === 'desktop' ? ['--preset=desktop'] : []),
    ], {env: {...process.env, CHROME_PATH: '/usr/bin/chromium'}}, (error) => (error ? reject(error) : resolve())));
    return JSON.parse(await readFile(report, 'utf8'));
  } finally {
    await rm(folder, {recursive: true, force: true});
  }
}

// Lighthouse's simulation starts from one real load, which a busy machine makes wander, so
// each preset is audited three times and the run with the median LCP is told.
const server = await serve(gameFolder);
try {
  for (const preset of ['mobile', 'desktop']) {
    const reports = [];
    for (let run = 0; run < 3; ++run) reports.push(await lighthouse(server.origin + '/', preset));
    const lcp = (report) => report.audits['largest-contentful-paint'].numericValue;
    const {categories, audits} = reports.sort((a, b) => lcp(a) - lcp(b))[1];
    const scores = Object.values(categories).map((category) => `${category.title} ${Math.round(category.score * 100)}`);
    const ms = (audit) => `${Math.round(audits[audit].numericValue)} ms`;
    console.log(`Lighthouse ${preset}, the median of 3: ${scores.join(', ')}; first contentful paint ` +
                `${ms('first-contentful-paint')}, largest contentful paint ${ms('largest-contentful-paint')} ` +
                `(${reports.map((report) => Math.round(lcp(report))).join(', ')} ms)`);
  }
} finally {
  await server.close();
}
