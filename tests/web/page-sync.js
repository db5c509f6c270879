// Plays a stretch of the page in Chromium with a window on the X display (DISPLAY) and its
// sound through PulseAudio (PULSE_SERVER), for scripts/measure-sync to film and hear from
// outside. The window is a kiosk one covering the screen and the page's stage is taken
// fullscreen (its F key), so the canvas covers the screen from (0, 0).
//   node page-sync.js URL START UNTIL [--pause PAUSE_MS,RESUME_MS | --away HIDE_MS,SHOW_MS [--freeze]]
//                     [--clock FILE]
// Plays demo time START to UNTIL. --pause presses Space PAUSE_MS after the first frame and
// again at RESUME_MS, as a viewer pauses and resumes. --away hides the page behind another tab HIDE_MS after
// its first frame and brings it back at SHOW_MS; with --freeze the browser also freezes
// it meanwhile, as it may a page in the background. The music plays on while the page is
// away unless the browser holds it; back, the stage is taken fullscreen again. Where the
// music stopped and went on is left to the recording (scripts/measure-sync --plan sound);
// what the page believes is only printed. --clock writes the page's own
// account of the music for tests/sync/page_account.py: {heard: [[wall-clock ms,
// music ms it takes as heard then], ...]} every 20 ms while the music plays.
// Exit status 1 when the page does not play to the end.
'use strict';
const fs = require('fs');
const puppeteer = require('puppeteer-core');

const args = process.argv.slice(2);
const [url, start, until] = args;
const pauseAt = args.includes('--pause') ? args[args.indexOf('--pause') + 1].split(',').map(Number) : null;
const awayAt = args.includes('--away') ? args[args.indexOf('--away') + 1].split(',').map(Number) : null;
const freeze = args.includes('--freeze');
const clockFile = args.includes('--clock') ? args[args.indexOf('--clock') + 1] : null;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

(async () => {
  const userDataDir = fs.mkdtempSync('/tmp/zircon-page-sync-');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: false,
    userDataDir,
    protocolTimeout: 300000,
    defaultViewport: null,
    ignoreDefaultArgs: ['--enable-automation'],   // no bar above the page
    args: ['--no-sandbox', '--test-type', '--kiosk', '--window-position=0,0', '--window-size=640,480',
           // WebGL through ANGLE on the X server's OpenGL (Mesa), as the native program
           // draws: the page keeps the display's 60 Hz, where SwiftShader drew a frame
           // every 25 to 40 ms.
           '--use-gl=angle', '--use-angle=gl', '--ignore-gpu-blocklist', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--noerrdialogs',
           '--autoplay-policy=no-user-gesture-required',
           // A deeper output buffer rides out a busy machine (its delay is in the output's
           // timestamps, which the page's clock follows).
           '--audio-buffer-size=4096'],
  });
  let ok = false;
  try {
    const [tab] = await browser.pages();
    tab.on('console', (m) => { if (m.type() === 'error') console.log('page:', m.text()); });
    tab.on('pageerror', (e) => console.log('page error:', e.message));
    await tab.goto(`${url}?start=${start}&until=${until}`);
    await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    await tab.keyboard.press('KeyF');
    await tab.waitForFunction(() => document.fullscreenElement !== null, { timeout: 10000 });
    await sleep(500);
    const box = await tab.evaluate(() => {
      const r = document.getElementById('canvas').getBoundingClientRect();
      return [r.x, r.y, r.width, r.height].map((v) => Math.round(v * 10) / 10);
    });
    console.log(`canvas at (${box[0]}, ${box[1]}), ${box[2]} x ${box[3]}`);
    await tab.evaluate(() => {
      window.zirconHeard = [];
      setInterval(() => {
        const heard = Module.page.audio.heardPosition();
        if (heard) window.zirconHeard.push([performance.timeOrigin + performance.now(), heard.positionMs]);
      }, 20);
    });
    await tab.click('#play');
    await tab.waitForFunction(() => window.zirconFrameTimes.length > 0, { timeout: 30000, polling: 10 });
    const first = await tab.evaluate(() => window.zirconFrameTimes[0][0]);
    const now = () => tab.evaluate(() => performance.now());
    await sleep(500);
    const output = await tab.evaluate(() => {
      const c = Module.page.audio.context;
      return `base latency ${(c.baseLatency * 1000).toFixed(1)} ms, output latency ${(c.outputLatency * 1000).toFixed(1)} ms, ` +
             `heard ${(c.currentTime * 1000 - Module.page.audio.heardMs()).toFixed(1)} ms after it is rendered`;
    });
    console.log(`audio: ${output}`);
    if (pauseAt) {
      const lastFrame = () => tab.evaluate(() => window.zirconFrameTimes[window.zirconFrameTimes.length - 1]);
      await sleep(Math.max(0, first + pauseAt[0] - (await now())));
      await tab.keyboard.press('Space');
      const pausedAt = await now();
      const [, pausedDemo] = await lastFrame();
      await sleep(Math.max(0, first + pauseAt[1] - (await now())));
      await tab.keyboard.press('Space');
      const pausedFor = Math.round((await now()) - pausedAt);
      console.log(`paused at demo ${pausedDemo} ms for ${pausedFor} ms`);
    }
    if (awayAt) {
      const lastFrame = () => tab.evaluate(() => window.zirconFrameTimes[window.zirconFrameTimes.length - 1]);
      await sleep(Math.max(0, first + awayAt[0] - (await now())));
      const other = await browser.newPage();
      await other.bringToFront();
      const [hidden, hiddenDemo] = await lastFrame();
      const state = await tab.evaluate(() => document.visibilityState);
      const session = freeze ? await tab.target().createCDPSession() : null;
      if (session) await session.send('Page.setWebLifecycleState', { state: 'frozen' });
      await sleep(Math.max(0, first + awayAt[1] - (await now())));
      if (session) await session.send('Page.setWebLifecycleState', { state: 'active' });
      await tab.bringToFront();
      const shown = await now();
      await other.close();
      // Another tab in front ends the stage's fullscreen: the viewer takes it again.
      await tab.keyboard.press('KeyF');
      await tab.waitForFunction(() => document.fullscreenElement !== null, { timeout: 10000, polling: 10 });
      await tab.waitForFunction((t) => window.zirconFrameTimes[window.zirconFrameTimes.length - 1][0] > t + 200,
                                { timeout: 10000, polling: 10 }, shown);
      const [backAt, backDemo] = await lastFrame();
      // What the page's frames say the music did not play while it was away (a browser
      // holds a frozen page's sound); the recording says what it did.
      const held = Math.max(0, Math.round(backAt - hidden - (backDemo - hiddenDemo)));
      const context = await tab.evaluate(() => Module.page.audio.context.state);
      console.log(`away (${state}${freeze ? ', frozen' : ''}) from ${Math.round(hidden - first)} to ` +
                  `${Math.round(shown - first)} ms after the first frame, the music held ${held} ms; ` +
                  `audio context ${context} after`);
    }
    await tab.waitForFunction(() => window.zirconState === 'ended', { timeout: 120000, polling: 200 });
    const frames = await tab.evaluate(() => window.zirconFrameTimes);
    if (clockFile) fs.writeFileSync(clockFile, JSON.stringify({ heard: await tab.evaluate(() => window.zirconHeard) }));
    const gaps = frames.slice(1).map((f, i) => f[0] - frames[i][0]).sort((a, b) => a - b);
    console.log(`frames ${frames.length}, apart: median ${gaps[gaps.length >> 1].toFixed(1)} ms, ` +
                `90 % under ${gaps[Math.floor(gaps.length * 0.9)].toFixed(1)} ms`);
    ok = true;
  } finally {
    await browser.close();
    fs.rmSync(userDataDir, { recursive: true, force: true });
  }
  process.exit(ok ? 0 : 1);
})().catch((e) => { console.error(e); process.exit(1); });
