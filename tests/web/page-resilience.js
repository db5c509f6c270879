// The page when the device gets in its way, in Chromium on an X display:
//  - its WebGL context lost during play and restored (WEBGL_lose_context): on the fixed
//    clock no frame is drawn while it is lost, play goes on from the demo time it held, and
//    the frames after it equal a run without the loss pixel for pixel; in real time the
//    music holds with the picture and goes on with it; the decoded pictures are not kept
//    by the page's script once the program has them;
//  - an emulated phone (390 x 844 CSS px at 3x, touch) with its CPU slowed 4x: over eight
//    seconds of wall time the demo's time and the music's position advance by the wall
//    time (frames are dropped, not time).
//   node page-resilience.js URL OUT_DIR
// Prints one line a check (with its figures); exit status 1 when one fails.
'use strict';
const fs = require('fs');
const path = require('path');
const { launchChromium } = require('./chromium');
const { comparePictures } = require('./pictures');

const [url, outDir] = process.argv.slice(2);
const FrameMs = 1000 / 60;
// The fixed-clock run: started in the sliced ball, the context lost a second in, frames
// compared in the sliced ball and the twisting ball.
const Start = 26000, LoseAfter = 27000, Compared = [28000, 31000];
const LostMs = 1000;            // how long the context stays lost
const PaceWindowMs = 8000;      // wall time over which the slowed phone's pace is judged
const PaceBoundMs = 80;         // demo time and music against wall time over that window
const HeldBoundMs = 40;         // real time: the music against the picture across a loss

let failed = false;
function check(ok, text) {
  console.log(`${text} ${ok ? 'ok' : 'FAILED'}`);
  if (!ok) failed = true;
}
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function openPage(browser, query) {
  const tab = await browser.newPage();
  await tab.setViewport({ width: 800, height: 600 });
  tab.on('pageerror', (e) => console.log('page error:', e.message));
  await tab.goto(url + query);
  await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 120000 });
  return tab;
}

// The last frame drawn: [performance.now(), demo time], and how many have been drawn.
async function lastFrame(tab) {
  return tab.evaluate(() => ({ count: window.zirconFrameTimes.length, frame: window.zirconFrameTimes.at(-1) }));
}

// Loses the program's WebGL context (the canvas's own), or restores it (through the
// extension taken before: a lost context hands out none).
async function setContextLost(tab, lost) {
  await tab.evaluate((lost) => {
    if (lost) window.loseContext = Module.canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
    if (lost) window.loseContext.loseContext(); else window.loseContext.restoreContext();
  }, lost);
}

async function capturedFrames(tab) {
  await tab.waitForFunction((n) => Object.keys(window.zirconFrames).length >= n || window.zirconState === 'ended',
                            { timeout: 300000, polling: 500 }, Compared.length);
  return tab.evaluate(() => window.zirconFrames);
}

// Fixed clock: the context lost and restored against a run without the loss.
async function lostOnFixedClock(browser) {
  const query = `?fps=60&start=${Start}&at=${Compared.join(',')}&until=${Compared.at(-1) + 100}`;
  const plain = await openPage(browser, query);
  await plain.click('#play');
  const reference = await capturedFrames(plain);
  await plain.close();

  const tab = await openPage(browser, query);
  await tab.click('#play');
  await tab.waitForFunction((t) => (window.zirconFrameTimes.at(-1) || [0, 0])[1] >= t, { timeout: 60000 }, LoseAfter);
  const kept = await tab.evaluate(() => ({ decoded: Module.page.pictures.size, files: Module.page.pngs.size }));
  check(kept.decoded === 0 && kept.files > 0,
        `the script keeps no decoded picture once the program has them (${kept.decoded} decoded, ${kept.files} files)`);
  await setContextLost(tab, true);
  await tab.waitForFunction(() => window.zirconGraphics === 'lost', { timeout: 5000 }).catch(() => {});
  const held = await lastFrame(tab);
  await sleep(LostMs);
  const during = await lastFrame(tab);
  check(during.count === held.count, `no frame is drawn while the context is lost (${during.count - held.count} drawn)`);
  await setContextLost(tab, false);
  await tab.waitForFunction((n) => window.zirconFrameTimes.length > n + 10, { timeout: 30000 }, held.count).catch(() => {});
  const after = await tab.evaluate((n) => ({ state: window.zirconGraphics, frame: window.zirconFrameTimes[n] }), held.count);
  const step = after.frame ? after.frame[1] - held.frame[1] : NaN;
  check(after.state === 'restored' && step > 0 && step <= Math.ceil(FrameMs),
        `after the restore play goes on from ${held.frame[1]} ms: the next frame at ${after.frame ? after.frame[1] : 'none'} ms`);
  // Without a restore no frame comes: each comparison fails at once.
  const frames = after.state === 'restored' ? await capturedFrames(tab) : {};
  for (const t of Compared) {
    const same = frames[t] && reference[t] ? (await comparePictures(tab, frames[t], reference[t])).identical : false;
    if (frames[t]) fs.writeFileSync(path.join(outDir, `restored-t${t}.png`), Buffer.from(frames[t].split(',')[1], 'base64'));
    check(same, `the frame at ${t} ms after the restore equals the run without a loss`);
  }
  await tab.close();
}

// Real time: the music holds with the picture while the context is lost.
async function lostInRealTime(browser) {
  const tab = await openPage(browser, '');
  await tab.click('#play');
  await tab.waitForFunction(() => window.zirconFrameTimes.length > 60, { timeout: 60000 });
  // The demo time of the last frame less the music's position at the same moment.
  const lead = () => tab.evaluate(() => {
    const [, demo] = window.zirconFrameTimes.at(-1);
    return { demo, music: Module.page.audio.positionMs(), lead: demo - Module.page.audio.positionMs(),
             state: Module.page.audio.context.state };
  });
  await setContextLost(tab, true);
  await sleep(100);
  const lost = await lead();
  await sleep(LostMs);
  const still = await lead();
  check(still.state === 'suspended' && still.music === lost.music && still.demo === lost.demo,
        `real time: while lost the music holds (${still.music - lost.music} ms) with the picture (${still.demo - lost.demo} ms)`);
  await setContextLost(tab, false);
  await tab.waitForFunction(() => window.zirconGraphics === 'restored', { timeout: 30000 }).catch(() => {});
  await sleep(1500);
  const back = await lead();
  const moved = back.music - still.music;
  check(back.state === 'running' && moved > 1000 && Math.abs(back.lead - lost.lead) <= HeldBoundMs,
        `real time: after the restore the music goes on from ${still.music} ms (${moved} ms on) and the picture ` +
        `keeps to it (${lost.lead} ms ahead before, ${back.lead} ms after)`);
  await tab.close();
}

// The slowed phone: demo time and music against wall time.
async function slowPhone(browser) {
  const tab = await browser.newPage();
  await tab.emulate({
    viewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: false },
    userAgent: await browser.userAgent(),
  });
  tab.on('pageerror', (e) => console.log('page error:', e.message));
  await tab.goto(url);
  await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 120000 });
  const session = await tab.target().createCDPSession();
  await session.send('Emulation.setCPUThrottlingRate', { rate: 4 });
  await tab.tap('#play');
  await tab.waitForFunction(() => window.zirconFrameTimes.length > 5, { timeout: 60000 });
  await sleep(2000);
  // The music's position at each animation frame, beside the frames' own log.
  await tab.evaluate(() => {
    window.musicTimes = [];
    const note = () => { window.musicTimes.push([performance.now(), Module.page.audio.positionMs()]); requestAnimationFrame(note); };
    requestAnimationFrame(note);
  });
  const from = await tab.evaluate(() => performance.now());
  await sleep(PaceWindowMs);
  const log = await tab.evaluate((from) => ({
    frames: window.zirconFrameTimes.filter(([at]) => at >= from),
    music: window.musicTimes.filter(([at]) => at >= from) }), from);
  await session.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  await tab.close();
  const span = (entries) => {
    const [first, last] = [entries[0], entries.at(-1)];
    return { wall: last[0] - first[0], moved: last[1] - first[1] };
  };
  if (log.frames.length < 2 || log.music.length < 2) return check(false, 'the slowed phone draws frames');
  const frames = span(log.frames), music = span(log.music);
  const rate = (log.frames.length - 1) / (frames.wall / 1000);
  check(Math.abs(frames.moved - frames.wall) <= PaceBoundMs,
        `4x slower phone: ${log.frames.length} frames (${rate.toFixed(1)} a second) in ${frames.wall.toFixed(0)} ms ` +
        `of wall time, demo time moved ${frames.moved} ms`);
  check(Math.abs(music.moved - music.wall) <= PaceBoundMs,
        `4x slower phone: the music moved ${music.moved} ms in ${music.wall.toFixed(0)} ms of wall time`);
}

(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launchChromium('800,900', { protocolTimeout: 600000 });
  try {
    await lostOnFixedClock(browser);
    await lostInRealTime(browser);
    await slowPhone(browser);
  } finally {
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(1); });
