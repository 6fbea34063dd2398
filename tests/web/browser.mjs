// What every web test needs: the built page served on 127.0.0.1, Debian's chromium driven
// headless through the DevTools protocol, and a record of what the page did that a player
// would not see: its console, its requests, and what became of every sound it played.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { chromium } from 'playwright-core';

// The browser's own autoplay rule, as a desktop browser has it: a page may play sound once
// the player has clicked or typed in it.
const chromiumArgs = [
  '--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic',
  '--autoplay-policy=document-user-activation-required',
];

// Serves `folder` with Python's static server on a free port of 127.0.0.1.
export async function serve(folder) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0',
                                   '--directory', folder],
                       {stdio: ['ignore', 'pipe', 'ignore']});
  let seen = '';
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', (chunk) => {
      seen += chunk;
      const found = /port (\d+)/.exec(seen);
      if (found) resolve(Number(found[1]));
    });
    server.once('exit', (code) => reject(new Error(`the web server ended (${code}): ${seen}`)));
  });
  return {
    origin: `http://127.0.0.1:${port}`,
    close: async () => {
      if (server.exitCode !== null) return;
      server.kill();
      await once(server, 'exit');
    },
  };
}

// Runs in the page before its own scripts: notes every sound the page starts, whether the
// browser let it play, and whether it played to its end.
function watchSounds() {
  const sounds = [];
  window.__sounds = sounds;
  const play = HTMLMediaElement.prototype.play;
  HTMLMediaElement.prototype.play = function () {
    const sound = {outcome: 'pending', ended: false, played: 0};
    sounds.push(sound);
    this.addEventListener('ended', () => { sound.ended = true; });
    this.addEventListener('timeupdate', () => { sound.played = Math.max(sound.played, this.currentTime); });
    const started = play.call(this);
    started.then(() => { sound.outcome = 'played'; }, (error) => { sound.outcome = error.name; });
    return started;
  };
}

export async function launch() {
  return chromium.launch({executablePath: '/usr/bin/chromium', args: chromiumArgs});
}

// A phone held upright, as the DevTools protocol emulates one: its view in CSS pixels, touch
// and no mouse.
export const phone = {viewport: {width: 390, height: 844}, deviceScaleFactor: 3, isMobile: true,
                      hasTouch: true};

// A fresh context (its pages' zone is UTC, their language Russian; a desktop's view, or
// `device`'s) that records the console and the errors of every page in it, and every request.
export async function openContext(browser, device = {viewport: {width: 1280, height: 800}}) {
  const context = await browser.newContext({locale: 'ru-RU', timezoneId: 'UTC', ...device});
  const record = {complaints: [], requests: []};
  context.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') {
      record.complaints.push(`console ${message.type()}: ${message.text()}`);
    }
  });
  context.on('weberror', (error) => record.complaints.push(`page error: ${error.error().message}`));
  // The service worker's own requests (its copy of the files) are told apart from the page's.
  context.on('request', (request) => {
    record.requests.push({url: request.url(), fromWorker: request.serviceWorker() !== null});
  });
  await context.addInitScript(watchSounds);
  return {context, record};
}

// What the page did that it must not: a sound that the browser refused or that did not play
// to its end, and a request beyond the page's own files (a cue plays from a blob of the
// page's own, which the browser lists as a request too).
export async function misdeeds(page, record, origin) {
  const own = (url) => url.startsWith(origin + '/') || url.startsWith(`blob:${origin}/`);
  // Every cue the game fetched must have started a sound: a cue fetched and not played, or
  // given a beep, shows in the transcript all the same.
  const [sounds, cues] = await page.evaluate(() => [window.__sounds, window.__seen?.filter((line) => line.startsWith?.('cue ')).length]);
  const cut = sounds.filter((sound) => sound.outcome !== 'played' || !sound.ended || !(sound.played > 0));
  return [...cut.map((sound) => `a cue that did not play to its end (${sound.outcome})`),
          ...(cues !== undefined && cues !== sounds.length ? [`${cues} cues fetched, ${sounds.length} sounds started`] : []),
          ...record.requests.filter((request) => !own(request.url)).map((request) => `a request for ${request.url}`)];
}
