// The page as phones and tablets show it, in Chromium's device emulation (touch, the
// device's pixel ratio) on an X display: the picture is the largest 4:3 box the stage
// holds, inside the viewport, in portrait and landscape and after a turn during play (no
// restart); a tap plays it; by touch the picture pauses and goes on and the controls change
// scene; a double tap on the picture does not zoom; where a page element
// cannot go fullscreen, the fullscreen button has the stage fill the window. On the phone
// by touch: the time bar seeks as a finger drags it, to the frame a straight play shows;
// the end's "Play again"; the screen's wake lock held while playing and let go on a pause
// and at the end; a hidden page holds music and picture and goes on in step (a desktop
// plays its music on); a suspended audio context shows "Tap to resume" and a tap goes on
// from the held time in step; the media session's actions, title and chapters.
//   node page-devices.js URL OUT_DIR
// Prints one line a check; exit status 1 when one fails.
'use strict';
const fs = require('fs');
const path = require('path');
const { launchChromium } = require('./chromium');
const { comparePictures } = require('./pictures');

const Devices = [
  { name: 'phone, portrait', width: 390, height: 844, deviceScaleFactor: 3, isLandscape: false },
  { name: 'phone, landscape', width: 844, height: 390, deviceScaleFactor: 3, isLandscape: true },
  { name: 'tablet, portrait', width: 820, height: 1180, deviceScaleFactor: 2, isLandscape: false },
];
const AspectTolerance = 0.005;   // the picture's box is 4:3 within half a percent

// NATIVE_DIR (scripts/web-check's native frames) holds the native program's frame at 36200 ms.
const [url, outDir, nativeDir] = process.argv.slice(2);
// As in page-check.js: two software rasterisers' edge and filtering detail.
const MaxMeanDifference = 4.0;
let failed = false;
function check(ok, text) {
  console.log(`${text} ${ok ? 'ok' : 'FAILED'}`);
  if (!ok) failed = true;
}

// The canvas's box against the stage's and the viewport: 4:3, inside the viewport, and as
// wide or as tall as the stage (letterboxed, not shrunk).
async function pictureBox(tab) {
  return tab.evaluate(() => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    const stage = document.getElementById('stage').getBoundingClientRect();
    return { x: box.x, y: box.y, width: box.width, height: box.height, stageWidth: stage.width,
             stageHeight: stage.height, viewWidth: window.innerWidth, viewHeight: window.innerHeight };
  });
}

function describeBox(b) {
  const aspect = b.width / b.height;
  const inside = b.x >= -0.5 && b.y >= -0.5 && b.x + b.width <= b.viewWidth + 0.5 && b.y + b.height <= b.viewHeight + 0.5;
  const fills = Math.abs(b.width - b.stageWidth) < 1 || Math.abs(b.height - b.stageHeight) < 1;
  const ok = Math.abs(aspect / (4 / 3) - 1) <= AspectTolerance && inside && fills;
  return { ok, text: `${b.width.toFixed(1)} x ${b.height.toFixed(1)} CSS px (aspect ${aspect.toFixed(4)}) in a ` +
                     `${b.viewWidth} x ${b.viewHeight} viewport` };
}

// A tap as a finger makes it: touch start and end at (x, y), through the DevTools protocol.
async function tap(session, x, y) {
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

async function centreOf(tab, id) {
  return tab.evaluate((id) => {
    const r = document.getElementById(id).getBoundingClientRect();
    return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
  }, id);
}

// The canvas as shown, twice half a second apart: whether the picture moved.
async function pictureMoves(tab) {
  const canvas = await tab.$('#canvas');
  const first = await canvas.screenshot({ encoding: 'base64' });
  await new Promise((resolve) => setTimeout(resolve, 500));
  return first !== await canvas.screenshot({ encoding: 'base64' });
}

// The drawing buffer against the canvas's CSS box times the pixel ratio (rows at most
// 2160), and the mean level of the shown canvas's outer tenth on each side: a frame drawn
// in a corner of a larger buffer leaves the far sides black.
async function drawingBuffer(tab) {
  const size = await tab.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const box = canvas.getBoundingClientRect();
    return { width: canvas.width, height: canvas.height, cssWidth: box.width, cssHeight: box.height,
             ratio: window.devicePixelRatio };
  });
  const shot = await (await tab.$('#canvas')).screenshot({ encoding: 'base64' });
  const sides = await tab.evaluate(async (png) => {
    const bitmap = await createImageBitmap(await (await fetch('data:image/png;base64,' + png)).blob());
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const mean = (x, y, w, h) => {
      const p = context.getImageData(x, y, w, h).data;
      let sum = 0;
      for (let i = 0; i < p.length; i += 4) sum += p[i] + p[i + 1] + p[i + 2];
      return sum / (p.length / 4 * 3);
    };
    const w = bitmap.width, h = bitmap.height, bw = Math.round(w / 10), bh = Math.round(h / 10);
    return { left: mean(0, 0, bw, h), right: mean(w - bw, 0, bw, h), top: mean(0, 0, w, bh), bottom: mean(0, h - bh, w, bh) };
  }, shot);
  const rows = Math.min(Math.round(size.cssHeight * size.ratio), 2160);
  const ok = Math.abs(size.height - rows) <= 1 && Math.abs(size.width - rows * 4 / 3) <= 2 &&
             Object.values(sides).every((v) => v > 1);
  return { ok, text: `drawn at ${size.width} x ${size.height} for ${size.cssWidth.toFixed(1)} x ${size.cssHeight.toFixed(1)} ` +
                     `CSS px at ${size.ratio}x (outer tenths: ${Object.entries(sides).map(([k, v]) => `${k} ${v.toFixed(1)}`).join(', ')})` };
}

const lastDemoTime = (tab) => tab.evaluate(() => window.zirconFrameTimes[window.zirconFrameTimes.length - 1][1]);

// By touch alone: a tap on the picture holds it and shows the controls, the controls' play
// button goes on, their next-scene button lands on the next scene; every target is at
// least 44 CSS px; the footer's hints are the touch ones.
async function checkTouchControls(tab, session) {
  const picture = await centreOf(tab, 'canvas');
  await tap(session, picture.x, picture.y);
  await new Promise((resolve) => setTimeout(resolve, 300));
  const held = !(await pictureMoves(tab));
  const shown = await tab.evaluate(() => !document.getElementById('controls').hidden);
  check(held && shown, `touch: a tap on the picture ${held ? 'holds it' : 'does not hold it'}, ` +
                       `the controls ${shown ? 'shown' : 'not shown'}`);
  const sizes = await tab.evaluate(() => ['previous', 'pause', 'next', 'fullscreen'].map((id) => {
    const r = document.getElementById(id).getBoundingClientRect();
    return Math.min(r.width, r.height);
  }));
  check(sizes.every((size) => size >= 44), `touch: the controls' targets are ${sizes.map((v) => v.toFixed(0)).join(', ')} CSS px`);
  // The footer's button keeps its label on one line within its edges, however narrow.
  const label = await tab.evaluate(() => {
    const button = document.getElementById('fullscreen');
    const range = document.createRange();
    range.selectNodeContents(button);
    const lines = new Set([...range.getClientRects()].map((r) => Math.round(r.top))).size;
    const [text, box] = [range.getBoundingClientRect(), button.getBoundingClientRect()];
    return { text: button.innerText.trim(), lines, inside: text.left >= box.left + 4 && text.right <= box.right - 4 };
  });
  check(label.lines === 1 && label.inside, `touch: the fullscreen button's label "${label.text}" on ${label.lines} ` +
        `line${label.lines === 1 ? '' : 's'}, ${label.inside ? 'within' : 'running over'} its edges`);
  const pause = await centreOf(tab, 'pause');
  const heldAt = await lastDemoTime(tab);
  await tap(session, pause.x, pause.y);
  await new Promise((resolve) => setTimeout(resolve, 1500));
  const goneOn = await lastDemoTime(tab);
  check(goneOn > heldAt + 100, `touch: the play button goes on (drawn from ${heldAt} ms to ${goneOn} ms in 1.5 s)`);
  const before = await lastDemoTime(tab);
  await tab.evaluate(() => { document.getElementById('controls').hidden = false; });
  const next = await centreOf(tab, 'next');
  await tap(session, next.x, next.y);
  await new Promise((resolve) => setTimeout(resolve, 500));
  const after = await lastDemoTime(tab);
  check(before < 17950 && after >= 17950 && after < 30000,
        `touch: the next-scene button moves play from ${before} ms to ${after} ms (the second scene starts at 17950)`);
  const hints = await tab.evaluate(() => ['hint-touch', 'hint-keys'].map((c) =>
    getComputedStyle(document.querySelector('.' + c)).display !== 'none'));
  check(hints[0] && !hints[1], 'touch: the footer shows the touch hints, not the keys');
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const PhoneViewport = { ...Devices[0], isMobile: true, hasTouch: true };

// A page on the emulated phone (or, with another viewport, as a desktop shows it), played
// by a tap (a click) on "Click to play" until thirty frames are drawn. The page notes
// when it was last hidden and seen (window.zirconShownAt).
async function playPage(browser, url, query, viewport = PhoneViewport) {
  const tab = await browser.newPage();
  await tab.evaluateOnNewDocument(() => {
    window.zirconShownAt = {};
    document.addEventListener('visibilitychange', () => { window.zirconShownAt[document.visibilityState] = performance.now(); });
  });
  if (viewport === PhoneViewport) await tab.emulate({ userAgent: await browser.userAgent(), viewport });
  else await tab.setViewport(viewport);
  tab.on('pageerror', (e) => console.log('page error:', e.message));
  const session = await tab.target().createCDPSession();
  await tab.goto(`${url}?${query}`);
  await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
  await tab.bringToFront();
  const play = await centreOf(tab, 'play');
  if (viewport === PhoneViewport) await tap(session, play.x, play.y);
  else await tab.mouse.click(play.x, play.y);
  await tab.waitForFunction(() => window.zirconFrameTimes.length > 30, { timeout: 60000 });
  return { tab, session };
}

// A finger put down at the first point, moved along a row through the others (20 CSS px a
// frame, onTheWay(i) called at the i-th) and lifted after resting at the last. (A finger
// that leaps and lifts at once makes a fling, and Chromium drops the next tap to stop it.)
async function drag(session, points, onTheWay = async () => {}) {
  await session.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [points[0]] });
  let at = points[0];
  for (const [i, point] of points.slice(1).entries()) {
    const steps = Math.max(1, Math.ceil(Math.abs(point.x - at.x) / 20));
    for (let s = 1; s <= steps; ++s) {
      const x = s === steps ? point.x : at.x + (point.x - at.x) * s / steps;
      await session.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x, y: point.y }] });
      await sleep(16);
    }
    at = point;
    await onTheWay(i + 1);
  }
  await sleep(150);
  await session.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

// The time bar's track (left, width, the row of its middle) and the demo's end.
async function scrubTrack(tab) {
  return tab.evaluate(() => {
    const r = document.getElementById('track').getBoundingClientRect();
    return { left: r.left, width: r.width, y: r.top + r.height / 2, endMs: Number(document.getElementById('scrubber').getAttribute('aria-valuemax')),
             height: document.getElementById('scrubber').getBoundingClientRect().height };
  });
}
// The whole CSS px column for a demo time on the track, and the time the bar seeks to
// there (whole tenths of a second, short of the end).
const columnFor = (track, ms) => Math.round(track.left + track.width * ms / track.endMs);
const timeAtColumn = (track, x) => Math.min(Math.round(Math.min(Math.max((x - track.left) / track.width, 0), 1) *
                                                       track.endMs / 100) * 100, track.endMs - 100);

// On the phone, by touch: the wake lock is held while playing and let go on a pause; a
// drag on the time bar seeks as the finger moves and where it is lifted; played on from
// there, the frame at 36200 ms is the one a straight play from the twisting ball's start
// draws (its beats are carried state);
// dragged to the end, play ends with "Play again", which a tap plays from the start.
async function checkTimeBar(browser, url) {
  const { tab, session } = await playPage(browser, url, 'fps=60&start=12000&at=36200');
  await sleep(300);
  const playingLock = await tab.evaluate(() => window.zirconWakeLock);
  const picture = await centreOf(tab, 'canvas');
  await tap(session, picture.x, picture.y);
  await tab.waitForFunction(() => window.zirconWakeLock !== 'held', { timeout: 3000 }).catch(() => {});
  const pausedLock = await tab.evaluate(() => window.zirconWakeLock);
  await tab.waitForFunction(() => !document.getElementById('controls').hidden, { timeout: 3000 }).catch(() => {});
  check(playingLock === 'held' && pausedLock === 'released',
        `wake lock: ${playingLock} while playing, ${pausedLock} when paused by a tap`);

  const track = await scrubTrack(tab);
  const from = await lastDemoTime(tab);
  const [midX, endX] = [columnFor(track, 20000), columnFor(track, 35000)];
  let midway = -1;
  await drag(session, [{ x: columnFor(track, from), y: track.y }, { x: midX, y: track.y }, { x: endX, y: track.y }],
             async (step) => {
               if (step !== 1) return;
               await sleep(400);
               midway = await lastDemoTime(tab);
             });
  await sleep(400);
  const landed = await lastDemoTime(tab);
  await tab.screenshot({ path: path.join(outDir, 'phone-time-bar.png') });
  const [midWanted, endWanted] = [timeAtColumn(track, midX), timeAtColumn(track, endX)];
  check(track.height >= 44 && midway === midWanted && landed === endWanted,
        `time bar (${track.height} CSS px tall): a drag from ${from} ms showed ${midway} ms on the way ` +
        `(${midWanted} under the finger) and ${landed} ms where lifted (${endWanted})`);

  const pause = await centreOf(tab, 'pause');
  await tap(session, pause.x, pause.y);
  await tab.waitForFunction(() => window.zirconFrames[36200], { timeout: 120000 }).catch(() => {});
  const sought = await tab.evaluate(() => window.zirconFrames[36200]);
  const { tab: straight } = await playPage(browser, url, 'fps=60&start=30000&at=36200&until=36300');
  await straight.waitForFunction(() => window.zirconFrames[36200], { timeout: 120000 }).catch(() => {});
  const played = await straight.evaluate(() => window.zirconFrames[36200]);
  const same = sought && played ? (await comparePictures(straight, sought, played)) : null;
  check(same !== null && same.identical, `time bar: played on from ${landed} ms, the frame at 36200 ms is ` +
        (same === null ? 'missing' : same.identical ? "the twisting ball's straight play's" :
                         `not the straight play's (mean difference ${same.mean.toFixed(3)})`));
  // And the native program's, from a run started a second before it.
  const nativeFile = nativeDir ? path.join(nativeDir, 't0036200.png') : '';
  const native = nativeFile && fs.existsSync(nativeFile)
    ? 'data:image/png;base64,' + fs.readFileSync(nativeFile).toString('base64') : null;
  const againstNative = sought && native ? (await comparePictures(straight, sought, native)) : null;
  check(againstNative !== null && againstNative.mean >= 0 && againstNative.mean <= MaxMeanDifference,
        'time bar: the frame at 36200 ms after the touch seek against the native program\'s: ' +
        (againstNative === null ? `missing (${native ? 'no frame from the page' : 'no native frame in ' + nativeDir})`
                                : `mean absolute difference ${againstNative.mean.toFixed(3)} per channel`));
  await straight.close();
  await tab.bringToFront();

  // To the end: the picture tapped (held, the controls shown), the bar dragged to its far
  // right (the last tenth of a second), played on.
  await tap(session, picture.x, picture.y);
  await tab.waitForFunction(() => document.getElementById('pause').getAttribute('aria-label') === 'Play' &&
                                  !document.getElementById('controls').hidden, { timeout: 3000 }).catch(() => {});
  await drag(session, [{ x: columnFor(track, 36000), y: track.y }, { x: Math.ceil(track.left + track.width) + 5, y: track.y }]);
  await sleep(300);
  await tap(session, pause.x, pause.y);
  await tab.waitForFunction(() => window.zirconState === 'ended', { timeout: 10000 }).catch(() => {});
  const end = await tab.evaluate(() => {
    const again = document.getElementById('again').getBoundingClientRect();
    return { state: window.zirconState, lock: window.zirconWakeLock, size: Math.min(again.width, again.height),
             shown: !document.getElementById('ended').hidden };
  });
  const again = await centreOf(tab, 'again');
  const framesBefore = await tab.evaluate(() => window.zirconFrameTimes.length);
  await tap(session, again.x, again.y);
  await tab.waitForFunction((n) => window.zirconFrameTimes.length > n + 30, { timeout: 30000 }, framesBefore).catch(() => {});
  const replay = await tab.evaluate(() => ({ state: window.zirconState, time: window.zirconFrameTimes.at(-1)[1],
                                             lock: window.zirconWakeLock }));
  check(end.state === 'ended' && end.shown && end.lock === 'released' && end.size >= 44 && replay.state === 'playing' &&
        replay.time < 5000 && replay.lock === 'held',
        `the end: ${end.state}, "Play again" ${end.shown ? 'shown' : 'not shown'} (${end.size.toFixed(0)} CSS px), wake lock ` +
        `${end.lock}; tapped, play is ${replay.state} at ${replay.time} ms, wake lock ${replay.lock}`);
  await tab.close();
}

// The music and the clock of play at one moment: where the music is heard, and its offset
// from the clock (constant while they are in step); the last frame's demo time.
async function musicAndPicture(tab) {
  return tab.evaluate(() => {
    const heard = Module.page.audio.heardPosition();
    const frames = window.zirconFrameTimes;
    return { at: performance.now(), music: heard ? heard.positionMs : -1, offset: heard ? heard.atMs - heard.positionMs : NaN,
             demo: frames[frames.length - 1][1], context: Module.page.audio.context.state, lock: window.zirconWakeLock };
  });
}

// The page hidden for two seconds behind another tab, then seen again: how far music and
// picture went in the time play was seen, the hidden page's context, and the offset's change.
async function hideAndShow(browser, tab) {
  const before = await musicAndPicture(tab);
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(2000);
  const hidden = await tab.evaluate(() => ({ visibility: document.visibilityState, context: Module.page.audio.context.state,
                                             lock: window.zirconWakeLock, hiddenAt: window.zirconShownAt.hidden }));
  await tab.bringToFront();
  await other.close();
  await tab.waitForFunction(() => document.visibilityState === 'visible', { timeout: 5000 });
  await sleep(1000);
  const after = await musicAndPicture(tab);
  const shownAt = await tab.evaluate(() => window.zirconShownAt.visible);
  const seenMs = (hidden.hiddenAt - before.at) + (after.at - shownAt);
  const around = await framesAround(tab, hidden.hiddenAt, shownAt);
  return { before, after, hidden, seenMs, hiddenMs: shownAt - hidden.hiddenAt, ...around };
}

// The demo time of the last frame drawn before the moment `from` and of the first drawn
// after `to`. A frame's time is taken as the frame before it ends, so a machine's long
// frame leaves the next one's time behind: the picture's pace is not judged, only where
// it went on from.
async function framesAround(tab, from, to) {
  return tab.evaluate((from, to) => {
    const frames = window.zirconFrameTimes;
    const last = frames.filter((f) => f[0] < from).pop();
    const first = frames.find((f) => f[0] > to);
    return { lastBefore: last ? last[1] : -1, firstAfter: first ? first[1] : -1 };
  }, from, to);
}

// On the phone, playing in real time: the media session (its handlers, title, the scenes
// as chapters; 'nexttrack' goes to the next scene); the page hidden holds music and
// picture and they go on in step where they stood; a context the browser suspends shows
// "Tap to resume", holds the picture, and a tap goes on at the held time in step.
async function checkStayingInStep(browser, url) {
  const { tab, session } = await playPage(browser, url, 'start=20000');
  await sleep(500);
  const described = await tab.evaluate(() => {
    const m = navigator.mediaSession.metadata;
    return { actions: Object.keys(window.zirconMediaActions), title: m.title, artist: m.artist,
             chapters: (m.chapterInfo || []).map((c) => c.startTime) };
  });
  const wantedActions = ['play', 'pause', 'seekto', 'previoustrack', 'nexttrack'];
  await tab.evaluate(() => window.zirconMediaActions.nexttrack({ action: 'nexttrack' }));
  await sleep(500);
  const next = await tab.evaluate(() => ({ demo: window.zirconFrameTimes.at(-1)[1], position: window.zirconMediaPosition.position,
                                           artist: navigator.mediaSession.metadata.artist }));
  check(wantedActions.every((a) => described.actions.includes(a)) && described.title === 'Zircon megademo' &&
        described.artist === 'sliced ball' && described.chapters.join() === '0,17.95,30,42,54,78' &&
        next.demo >= 30000 && next.demo < 31000 && next.position >= 29.5 && next.position < 31 && next.artist === 'twisting ball',
        `media session: actions ${described.actions.join(', ')}; "${described.title}", ${described.artist}, chapters at ` +
        `${described.chapters.join(', ')} s; 'nexttrack' went to ${next.demo} ms (${next.artist}), position ${next.position} s`);

  const away = await hideAndShow(browser, tab);
  const musicWent = away.after.music - away.before.music, drift = away.after.offset - away.before.offset;
  const pictureJump = away.firstAfter - away.lastBefore;
  check(away.hidden.visibility === 'hidden' && away.hidden.context === 'suspended' && away.hidden.lock === 'released' &&
        Math.abs(musicWent - away.seenMs) < 150 && pictureJump >= 0 && pictureJump < 500 && away.after.demo > away.firstAfter &&
        Math.abs(drift) <= 20 && away.after.context === 'running' && away.after.lock === 'held',
        `phone, hidden for ${away.hiddenMs.toFixed(0)} ms: context ${away.hidden.context}, wake lock ${away.hidden.lock}; ` +
        `the music went ${musicWent.toFixed(0)} ms in the ${away.seenMs.toFixed(0)} ms seen, the picture from ` +
        `${away.lastBefore} ms to ${away.firstAfter} ms across the hiding, then on to ${away.after.demo} ms, ` +
        `in step within ${drift.toFixed(1)} ms; seen again, wake lock ${away.after.lock}`);

  // The browser suspends the context (as for a call).
  const before = await musicAndPicture(tab);
  await tab.evaluate(() => Module.page.audio.context.suspend());
  const heldFrom = await tab.evaluate(() => window.zirconFrameTimes.length);
  await sleep(1000);
  const held = await tab.evaluate((from) => ({
    shown: !document.getElementById('resume').hidden, lock: window.zirconWakeLock,
    times: window.zirconFrameTimes.slice(from).map((f) => f[1]) }), heldFrom);
  await tab.screenshot({ path: path.join(outDir, 'phone-tap-to-resume.png') });
  const resume = await centreOf(tab, 'resume');
  const tappedAt = await tab.evaluate(() => performance.now());
  await tap(session, resume.x, resume.y);
  await sleep(1000);
  const after = await musicAndPicture(tab);
  const resumed = await tab.evaluate(() => ({ shown: !document.getElementById('resume').hidden, lock: window.zirconWakeLock }));
  // The first frame's time may have been taken before the context stood (a frame's time is
  // taken as the frame before it ends); every later one stands.
  const standing = held.times.slice(1);
  const heldMin = Math.min(...standing), heldMax = Math.max(...standing);
  const seenMs = after.at - tappedAt;
  const { firstAfter } = await framesAround(tab, tappedAt, tappedAt);
  const musicMoved = after.music - before.music, offsetMoved = after.offset - before.offset;
  check(held.shown && held.lock === 'released' && standing.length > 5 && heldMax === heldMin && !resumed.shown &&
        after.context === 'running' && resumed.lock === 'held' && firstAfter >= heldMax && firstAfter < heldMax + 500 &&
        after.demo > heldMax + 300 && musicMoved < seenMs + 200 && Math.abs(offsetMoved) <= 20,
        `suspended context: "Tap to resume" ${held.shown ? 'shown' : 'not shown'}, wake lock ${held.lock}, ` +
        `${standing.length} frames drawn at ${heldMin === heldMax ? heldMin : `${heldMin} to ${heldMax}`} ms; tapped: the ` +
        `picture went on from ${firstAfter} ms to ${after.demo} ms, the music ${musicMoved.toFixed(0)} ms in the ` +
        `${seenMs.toFixed(0)} ms since the tap, in step within ${offsetMoved.toFixed(1)} ms, context ${after.context}, ` +
        `wake lock ${resumed.lock}`);
  await tab.close();

  // A desktop page (no touch) hidden plays its music on, as it always has.
  const desk = await playPage(browser, url, 'start=20000', { width: 800, height: 600 });
  await sleep(500);
  const deskAway = await hideAndShow(browser, desk.tab);
  const deskWent = deskAway.after.music - deskAway.before.music;
  check(deskAway.hidden.context === 'running' && deskWent > deskAway.seenMs + deskAway.hiddenMs - 300,
        `desktop, hidden for ${deskAway.hiddenMs.toFixed(0)} ms: context ${deskAway.hidden.context}, the music went on ` +
        `${deskWent.toFixed(0)} ms in ${(deskAway.seenMs + deskAway.hiddenMs).toFixed(0)} ms`);
  await desk.tab.close();
}

(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  const browser = await launchChromium('900,1250');
  try {
    for (const device of Devices) {
      const tab = await browser.newPage();
      await tab.emulate({ userAgent: await browser.userAgent(),
                          viewport: { ...device, isMobile: true, hasTouch: true } });
      const session = await tab.target().createCDPSession();
      await tab.goto(`${url}?fps=60&start=12000&until=70000`);
      await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
      const ready = describeBox(await pictureBox(tab));
      check(ready.ok, `${device.name}: the picture ${ready.text}`);

      const play = await centreOf(tab, 'play');
      await tap(session, play.x, play.y);
      await tab.waitForFunction(() => window.zirconFrameTimes.length > 30, { timeout: 60000 }).catch(() => {});
      const playing = await tab.evaluate(() => window.zirconState === 'playing' && window.zirconFrameTimes.length > 30);
      check(playing, `${device.name}: a tap on "Click to play" plays`);
      const sharp = await drawingBuffer(tab);
      check(sharp.ok, `${device.name}: ${sharp.text}`);

      // Two taps 120 ms apart on the picture: a browser that zooms on a double tap would.
      const picture = await centreOf(tab, 'canvas');
      await tap(session, picture.x, picture.y);
      await new Promise((resolve) => setTimeout(resolve, 120));
      await tap(session, picture.x, picture.y);
      await new Promise((resolve) => setTimeout(resolve, 600));
      const scale = await tab.evaluate(() => window.visualViewport.scale);
      check(scale === 1, `${device.name}: after a double tap on the picture the page's zoom is ${scale}`);
      await tab.screenshot({ path: path.join(outDir, `device-${device.width}x${device.height}.png`) });

      if (device === Devices[0]) {
        await checkTouchControls(tab, session);
        const preserved = await tab.evaluate(() =>
          document.getElementById('canvas').getContext('webgl2').getContextAttributes().preserveDrawingBuffer);
        check(preserved === false, `a page that captures no frame keeps no drawn buffer (preserveDrawingBuffer ${preserved})`);
      }
      if (!device.isLandscape) {
        // Turned during play: the picture fits the new shape, and play goes on (demo time
        // only grows: no restart).
        const before = await tab.evaluate(() => window.zirconFrameTimes[window.zirconFrameTimes.length - 1][1]);
        await tab.emulate({ userAgent: await browser.userAgent(),
                            viewport: { ...device, width: device.height, height: device.width, isLandscape: true,
                                        isMobile: true, hasTouch: true } });
        // Thirty frames after the turn, however slowly a busy machine draws them.
        await tab.waitForFunction((held) => {
          const times = window.zirconFrameTimes;
          return times.length - times.findIndex((f) => f[1] === held) > 30;
        }, { timeout: 15000 }, before).catch(() => {});
        const turned = describeBox(await pictureBox(tab));
        const times = await tab.evaluate(() => window.zirconFrameTimes.map((f) => f[1]));
        const after = times.slice(times.findIndex((t) => t === before));
        const drop = after.findIndex((t, i) => i > 0 && t < after[i - 1]);
        const onward = after.length > 30 && drop < 0 && after[after.length - 1] > before;
        const story = drop >= 0 ? `went back from ${after[drop - 1]} to ${after[drop]} ms`
                                : `went from ${before} to ${after[after.length - 1]} ms in ${after.length} frames`;
        check(turned.ok && onward, `${device.name}, turned to landscape during play: the picture ${turned.text}, ` +
                                   `play ${story}`);
        const turnedSharp = await drawingBuffer(tab);
        check(turnedSharp.ok, `${device.name}, turned: ${turnedSharp.text}`);
        await tab.screenshot({ path: path.join(outDir, `device-${device.width}x${device.height}-turned.png`) });
      }
      await tab.close();
    }

    await checkTimeBar(browser, url);
    await checkStayingInStep(browser, url);

    // No element fullscreen (as on iPhone): the button has the stage fill the window, the
    // footer hidden, the picture letterboxed in it; pressed again, the page is back.
    const phone = Devices[0];
    const tab = await browser.newPage();
    await tab.evaluateOnNewDocument(() => { delete Element.prototype.requestFullscreen; });
    await tab.emulate({ userAgent: await browser.userAgent(), viewport: { ...phone, isMobile: true, hasTouch: true } });
    const session = await tab.target().createCDPSession();
    await tab.goto(`${url}?fps=60&until=60000`);
    await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    const button = await centreOf(tab, 'fullscreen');
    await tap(session, button.x, button.y);
    const filled = await pictureBox(tab);
    const filledBox = describeBox(filled);
    const footerHidden = await tab.evaluate(() => getComputedStyle(document.querySelector('footer')).display === 'none');
    check(filledBox.ok && filled.stageWidth === filled.viewWidth && filled.stageHeight === filled.viewHeight && footerHidden,
          `no element fullscreen: the stage fills the window (${filled.stageWidth} x ${filled.stageHeight}), ` +
          `the picture ${filledBox.text}`);
    await tab.keyboard.press('KeyF');
    const back = await tab.evaluate(() => !document.body.classList.contains('filled'));
    check(back, 'no element fullscreen: F leaves the filled window');
    await tab.close();

    const manifest = await (await fetch(new URL('manifest.webmanifest', url))).json();
    check(manifest.display === 'fullscreen', `the web-app manifest asks for display "${manifest.display}"`);
  } finally {
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(1); });
