// The page's memory, measured in Chromium on an X display: from opening the page through
// loading, "Click to play" and twelve seconds of real-time play that visit every scene
// (Page Down every two seconds), sampled every 100 ms:
//   wasm heap    the program's linear memory (the memory buffer's byteLength)
//   script heap  the page's JavaScript heap (DevTools protocol Performance.getMetrics:
//                JSHeapUsedSize, JSHeapTotalSize)
// and the peak of their sum (wasm heap + script heap used), which is the figure the page
// is judged by. Beside them, as a report: the renderer's and the GPU process's peak
// resident memory (VmHWM), and what the page still holds in script outside its heap (the
// decoded pictures' pixels, the decoded music).
//   node page-memory.js URL [OUT_JSON]
'use strict';
const fs = require('fs');
const { launchChromium } = require('./chromium');

const [url, outJson] = process.argv.slice(2);
const SampleMs = 100;
const MiB = 1024 * 1024;

// Peak resident memory of the browser's child processes of one type ("renderer", "gpu-process").
function peakResident(browserPid, type) {
  let peak = 0;
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const cmdline = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      const status = fs.readFileSync(`/proc/${pid}/status`, 'utf8');
      const parent = Number(/PPid:\s+(\d+)/.exec(status)[1]);
      if (!cmdline.includes(`--type=${type}`) || (parent !== browserPid && !cmdline.includes('/chromium'))) continue;
      peak = Math.max(peak, Number(/VmHWM:\s+(\d+)/.exec(status)[1]) * 1024);
    } catch (e) { /* gone */ }
  }
  return peak;
}

(async () => {
  const browser = await launchChromium('800,640');
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 800, height: 600 });
    tab.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warn') console.log('page:', m.text()); });
    tab.on('pageerror', (e) => console.log('page error:', e.message));
    const session = await tab.target().createCDPSession();
    await session.send('Performance.enable');
    const peak = { wasm: 0, scriptUsed: 0, scriptTotal: 0, sum: 0 };
    let sampling = true, samples = 0;
    const sampler = (async () => {
      while (sampling) {
        try {
          const wasm = await tab.evaluate(() => (typeof Module !== 'undefined' && Module.HEAP8 ? Module.HEAP8.buffer.byteLength : 0));
          const { metrics } = await session.send('Performance.getMetrics');
          const metric = (name) => metrics.find((m) => m.name === name).value;
          const used = metric('JSHeapUsedSize'), total = metric('JSHeapTotalSize');
          peak.wasm = Math.max(peak.wasm, wasm);
          peak.scriptUsed = Math.max(peak.scriptUsed, used);
          peak.scriptTotal = Math.max(peak.scriptTotal, total);
          peak.sum = Math.max(peak.sum, wasm + used);
          ++samples;
        } catch (e) { /* the page is navigating */ }
        await new Promise((resolve) => setTimeout(resolve, SampleMs));
      }
    })();
    await tab.goto(url);
    await tab.waitForFunction(() => window.zirconState === 'ready', { timeout: 120000 });
    await tab.click('#play');
    await tab.waitForFunction(() => window.zirconFrameTimes.length > 10, { timeout: 60000 });
    for (let scene = 0; scene < 6; ++scene) {
      await new Promise((resolve) => setTimeout(resolve, 2000));
      await tab.keyboard.press('PageDown');
    }
    sampling = false;
    await sampler;
    const held = await tab.evaluate(() => {
      let pictures = 0;
      for (const p of Module.page.pictures.values()) pictures += p.pixels ? p.pixels.byteLength : 0;
      let music = 0;
      for (const b of Module.page.music.values()) music += b ? b.length * b.numberOfChannels * 4 : 0;
      let files = 0;
      for (const blob of (Module.page.pngs || new Map()).values()) files += blob.size;
      return { pictures, files, music, frames: window.zirconFrameTimes.length };
    });
    const pid = browser.process().pid;
    const figures = {
      samples, wasmHeap: peak.wasm, scriptHeapUsed: peak.scriptUsed, scriptHeapTotal: peak.scriptTotal,
      peakSum: peak.sum, rendererPeakResident: peakResident(pid, 'renderer'),
      gpuPeakResident: peakResident(pid, 'gpu-process'), scriptPictures: held.pictures, scriptPictureFiles: held.files,
      scriptMusic: held.music,
    };
    const mib = (n) => (n / MiB).toFixed(1) + ' MiB';
    console.log(`samples: ${samples} (every ${SampleMs} ms), frames drawn: ${held.frames}`);
    console.log(`peak wasm heap: ${mib(figures.wasmHeap)}`);
    console.log(`peak script heap: ${mib(figures.scriptHeapUsed)} used, ${mib(figures.scriptHeapTotal)} total`);
    console.log(`peak of wasm heap + script heap used: ${mib(figures.peakSum)}`);
    console.log(`held by script outside its heap at the end: decoded pictures ${mib(figures.scriptPictures)}, ` +
                `picture files ${mib(figures.scriptPictureFiles)}, music ${mib(figures.scriptMusic)} (Float32 AudioBuffer)`);
    console.log(`peak resident: renderer ${mib(figures.rendererPeakResident)}, GPU process ${mib(figures.gpuPeakResident)}`);
    if (outJson) fs.writeFileSync(outJson, JSON.stringify(figures, null, 1));
  } finally {
    await browser.close();
  }
})().catch((e) => { console.error(e); process.exit(1); });
