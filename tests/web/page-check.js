// Plays the page in headless Chromium (software WebGL 2) with the fixed-rate clock and
// compares its canvas at the listed demo times with the native program's --capture frames.
//   node page-check.js URL NATIVE_DIR OUT_DIR [TIMES]
// URL: the served build-web/ ("http://127.0.0.1:8023/"); NATIVE_DIR: t0003000.png... from
// `zircon-megademo --fps 60 --capture NATIVE_DIR --at TIMES`. Writes the page's frames and a
// screenshot to OUT_DIR and prints the mean absolute difference per channel of each frame.
// Exit status 1 when a frame is missing or differs by more than MaxMeanDifference.
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

// Both draw the same triangles from the same vertices; what differs is rasterisation
// detail (edge rules, texture filtering and interpolation precision of two software
// renderers), which moves a few pixels along edges and a level or two elsewhere.
const MaxMeanDifference = 4.0;

const [url, nativeDir, outDir, timesText] = process.argv.slice(2);
const times = (timesText || '3000,12000,22000,36000,48000,60000,72000,85000,92000').split(',').map(Number);

function frameName(t) { return 't' + String(t).padStart(7, '0') + '.png'; }

(async () => {
  fs.mkdirSync(outDir, { recursive: true });
  const userDataDir = fs.mkdtempSync('/tmp/zircon-page-check-');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    protocolTimeout: 1800000,
    userDataDir,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--autoplay-policy=user-gesture-required',
           '--window-size=800,640'],
  });
  let failed = false;
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 800, height: 600 });
    tab.on('console', (m) => { if (m.type() === 'error') console.log('page:', m.text()); });
    tab.on('pageerror', (e) => console.log('page error:', e.message));
    const opened = Date.now();
    await tab.goto(`${url}?fps=60&at=${times.join(',')}&until=${times[times.length - 1] + 100}`);
    await tab.waitForSelector('#loading', { visible: true });
    console.log(`loading screen after ${Date.now() - opened} ms`);
    await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 60000 });
    console.log(`click to play after ${Date.now() - opened} ms`);
    await tab.screenshot({ path: path.join(outDir, 'page-ready.png') });
    await tab.click('#play');
    await tab.waitForFunction((n) => Object.keys(window.zirconFrames).length >= n || window.zirconState === 'ended',
                              { timeout: 1200000, polling: 1000 }, times.length);
    await tab.screenshot({ path: path.join(outDir, 'page-playing.png') });
    const frames = await tab.evaluate(() => window.zirconFrames);
    for (const t of times) {
      if (!frames[t]) { console.log(`${t} ms: no frame`); failed = true; continue; }
      fs.writeFileSync(path.join(outDir, frameName(t)), Buffer.from(frames[t].split(',')[1], 'base64'));
      const native = 'data:image/png;base64,' + fs.readFileSync(path.join(nativeDir, frameName(t))).toString('base64');
      // Both pictures decoded by the browser itself, compared over red, green and blue.
      const difference = await tab.evaluate(async (a, b) => {
        const pixels = async (src) => {
          const bitmap = await createImageBitmap(await (await fetch(src)).blob());
          const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
          const context = canvas.getContext('2d');
          context.drawImage(bitmap, 0, 0);
          return context.getImageData(0, 0, bitmap.width, bitmap.height).data;
        };
        const [p, q] = [await pixels(a), await pixels(b)];
        if (p.length !== q.length) return -1;
        let sum = 0;
        for (let i = 0; i < p.length; i += 4) sum += Math.abs(p[i] - q[i]) + Math.abs(p[i + 1] - q[i + 1]) + Math.abs(p[i + 2] - q[i + 2]);
        return sum / (p.length / 4 * 3);
      }, frames[t], native);
      const ok = difference >= 0 && difference <= MaxMeanDifference;
      if (!ok) failed = true;
      console.log(`${t} ms: mean absolute difference ${difference.toFixed(3)} per channel ${ok ? 'ok' : 'TOO LARGE'}`);
    }
    const log = await tab.evaluate(() => window.zirconFrameTimes);
    fs.writeFileSync(path.join(outDir, 'frame-times.json'), JSON.stringify(log));
  } finally {
    await browser.close();
    fs.rmSync(userDataDir, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
})().catch((e) => { console.error(e); process.exit(1); });
