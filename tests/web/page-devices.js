// The page as phones and tablets show it, in Chromium's device emulation (touch, the
// device's pixel ratio) on an X display: the picture is the largest 4:3 box the stage
// holds, inside the viewport, in portrait and landscape and after a turn during play (no
// restart); a tap plays it; by touch the picture pauses and goes on and the controls change
// scene; a double tap on the picture does not zoom; where a page element
// cannot go fullscreen, the fullscreen button has the stage fill the window.
//   node page-devices.js URL OUT_DIR
// Prints one line a check; exit status 1 when one fails.
'use strict';
const fs = require('fs');
const path = require('path');
const { launchChromium } = require('./chromium');

const Devices = [
  { name: 'phone, portrait', width: 390, height: 844, deviceScaleFactor: 3, isLandscape: false },
  { name: 'phone, landscape', width: 844, height: 390, deviceScaleFactor: 3, isLandscape: true },
  { name: 'tablet, portrait', width: 820, height: 1180, deviceScaleFactor: 2, isLandscape: false },
];
const AspectTolerance = 0.005;   // the picture's box is 4:3 within half a percent

const [url, outDir] = process.argv.slice(2);
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
