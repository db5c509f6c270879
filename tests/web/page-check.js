// Plays the page in Chromium on an X display (DISPLAY; WebGL 2 through ANGLE on the
// display's OpenGL, Mesa's llvmpipe under Xvfb) with the fixed-rate clock and compares its
// canvas at the listed demo times with the native program's --capture frames.
//   node page-check.js URL NATIVE_DIR OUT_DIR [TIMES]
// URL: the served build-web/ ("http://127.0.0.1:8023/"); NATIVE_DIR: t0003000.png... from
// `zircon-megademo --fps 60 --capture NATIVE_DIR --at TIMES`. Writes the page's frames and a
// screenshot to OUT_DIR and prints the mean absolute difference per channel of each frame.
// Exit status 1 when a frame is missing or differs by more than MaxMeanDifference.
'use strict';
const fs = require('fs');
const path = require('path');
const { launchChromium } = require('./chromium');
const { comparePictures } = require('./pictures');

// Both draw the same triangles from the same vertices; what differs is rasterisation
// detail (edge rules, texture filtering and interpolation precision of two software
// renderers), which moves a few pixels along edges and a level or two elsewhere.
const MaxMeanDifference = 4.0;

const [url, nativeDir, outDir, timesText] = process.argv.slice(2);
const times = (timesText || '3000,12000,22000,36000,36200,48000,60000,72000,85000,86000,92000').split(',').map(Number);

// Starts inside a scene, each with a later moment of the play through to compare with.
const landings = [[35000, 36200], [84000, 86000]].filter(([, at]) => times.includes(at));

function frameName(t) { return 't' + String(t).padStart(7, '0') + '.png'; }

(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launchChromium('800,640', { protocolTimeout: 1800000 });
  let failed = false;
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 800, height: 600 });
    tab.on('console', (m) => { if (m.type() === 'error') console.log('page:', m.text()); });
    tab.on('pageerror', (e) => console.log('page error:', e.message));
    await tab.goto(`${url}?fps=60&at=${times.join(',')}&until=${times[times.length - 1] + 100}`);
    await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    const timing = await tab.evaluate(() => ({
      paint: (performance.getEntriesByName('first-contentful-paint')[0] || { startTime: -1 }).startTime,
      ready: window.zirconReadyMs }));
    console.log(`loading screen painted after ${timing.paint.toFixed(0)} ms, "Click to play" after ${timing.ready.toFixed(0)} ms`);
    await tab.screenshot({ path: path.join(outDir, 'page-ready.png') });
    const playedFrom = Date.now();
    await tab.click('#play');
    await tab.waitForFunction((n) => Object.keys(window.zirconFrames).length >= n || window.zirconState === 'ended',
                              { timeout: 1200000, polling: 1000 }, times.length);
    console.log(`the play through to ${times[times.length - 1]} ms took ${((Date.now() - playedFrom) / 1000).toFixed(1)} s ` +
                `(${await tab.evaluate(() => window.zirconFrameTimes.length)} frames)`);
    await tab.screenshot({ path: path.join(outDir, 'page-playing.png') });
    const frames = await tab.evaluate(() => window.zirconFrames);
    // The native frames are made beside the page's play through (scripts/web-check).
    for (let waited = 0; !fs.existsSync(path.join(nativeDir, 'done')); waited += 500) {
      if (fs.existsSync(path.join(nativeDir, 'failed')) || waited > 600000) throw new Error('no native frames');
      await new Promise((resolve) => setTimeout(resolve, 500));
    }
    for (const t of times) {
      if (!frames[t]) { console.log(`${t} ms: no frame`); failed = true; continue; }
      fs.writeFileSync(path.join(outDir, frameName(t)), Buffer.from(frames[t].split(',')[1], 'base64'));
      const native = 'data:image/png;base64,' + fs.readFileSync(path.join(nativeDir, frameName(t))).toString('base64');
      const difference = (await comparePictures(tab, frames[t], native)).mean;
      const ok = difference >= 0 && difference <= MaxMeanDifference;
      if (!ok) failed = true;
      console.log(`${t} ms: mean absolute difference ${difference.toFixed(3)} per channel ${ok ? 'ok' : 'TOO LARGE'}`);
    }
    const log = await tab.evaluate(() => window.zirconFrameTimes);
    fs.writeFileSync(path.join(outDir, 'frame-times.json'), JSON.stringify(log));
    await tab.close();

    // A start inside a scene shows, pixel for pixel, the frame the page's play through
    // drew at the same time (the twisting ball's beats and the closing lattice's phase
    // are carried to the start).
    for (const [start, at] of landings) {
      if (!frames[at]) continue;
      const late = await browser.newPage();
      await late.setViewport({ width: 800, height: 600 });
      await late.goto(`${url}?fps=60&start=${start}&at=${at}&until=${at + 100}`);
      await late.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
      await late.click('#play');
      await late.waitForFunction((t) => window.zirconFrames[t] || window.zirconState === 'ended',
                                 { timeout: 300000, polling: 500 }, at);
      const frame = await late.evaluate((t) => window.zirconFrames[t], at);
      const same = frame ? (await comparePictures(late, frame, frames[at])).identical : false;
      console.log(`start=${start}: the frame at ${at} ms is the play through's ${same ? 'ok' : 'NOT THE SAME'}`);
      if (!same) failed = true;
      await late.close();
    }

    // Real time: the click starts the music, and Escape ends play with the offer to play again.
    const live = await browser.newPage();
    await live.goto(url);
    await live.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    await live.click('#play');
    await live.waitForFunction(() => window.zirconFrameTimes.length > 10, { timeout: 60000 });
    const music = await live.evaluate(() => ({ state: Module.page.audio.context.state,
                                               playing: Module.page.audio.source !== null,
                                               position: Module.page.audio.positionMs() }));
    const musicOk = music.state === 'running' && music.playing && music.position >= 0;
    console.log(`click to play: context ${music.state}, music at ${music.position} ms ${musicOk ? 'ok' : 'NOT PLAYING'}`);
    // The clock of play passes as the music is heard: it stands still while the browser
    // holds the sound, and goes on from there when the sound comes back.
    const held = await live.evaluate(async () => {
      const context = Module.page.audio.context;
      const wait = () => new Promise((resolve) => setTimeout(resolve, 300));
      await context.suspend();
      const from = Module.page.tickMs();
      await wait();
      const still = Module.page.tickMs();
      await context.resume();
      await wait();
      return { held: still - from, after: Module.page.tickMs() - still };
    });
    const heldOk = held.held === 0 && held.after > 0;
    console.log(`the clock while the sound is held: moved ${held.held} ms, then ${held.after.toFixed(0)} ms ` +
                `${heldOk ? 'ok' : 'NOT WITH THE SOUND'}`);
    if (!heldOk) failed = true;
    await live.keyboard.press('Escape');
    await live.waitForFunction(() => window.zirconState === 'ended', { timeout: 10000 }).catch(() => {});
    const ended = await live.evaluate(() => window.zirconState === 'ended' && !document.getElementById('ended').hidden &&
                                            Module.page.audio.source === null);
    console.log(`Escape ends with "Play again" and the music stopped: ${ended ? 'ok' : 'NO'}`);
    await live.screenshot({ path: path.join(outDir, 'page-ended.png') });
    const framesBefore = await live.evaluate(() => window.zirconFrameTimes.length);
    await live.click('#again');
    await live.waitForFunction((n) => window.zirconFrameTimes.length > n + 10, { timeout: 60000 }, framesBefore).catch(() => {});
    const again = await live.evaluate((n) => window.zirconState === 'playing' && window.zirconFrameTimes.length > n + 10 &&
                                              Module.page.audio.source !== null, framesBefore);
    console.log(`"Play again" plays from the start with the music: ${again ? 'ok' : 'NO'}`);
    if (!musicOk || !ended || !again) failed = true;
    await live.close();

    // A missing picture: the program's own message in the page, no crash.
    const missing = await browser.newPage();
    await missing.setRequestInterception(true);
    missing.on('request', (r) => (r.url().endsWith('/envmap.png') ? r.respond({ status: 404, body: '' }) : r.continue()));
    await missing.goto(url);
    await missing.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    await missing.click('#play');
    await missing.waitForSelector('#message', { visible: true, timeout: 30000 }).catch(() => {});
    const message = await missing.evaluate(() => document.getElementById('message').hidden ? '' :
                                                 document.getElementById('message').innerText);
    // Play stopped by the message: the screen is not kept awake.
    const lock = await missing.evaluate(async () => { await new Promise((r) => setTimeout(r, 300)); return window.zirconWakeLock; });
    const messageOk = message.includes('FATAL ERROR') && message.includes("Can't load image megadata\\envmap.png") &&
                      lock !== 'held';
    console.log(`missing envmap.png: ${JSON.stringify(message)}, wake lock ${lock} ${messageOk ? 'ok' : 'FAILED'}`);
    await missing.screenshot({ path: path.join(outDir, 'page-missing.png') });
    if (!messageOk) failed = true;
  } finally {
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(1); });
