// Chromium for the page checks: on the X display (DISPLAY), WebGL 2 through ANGLE on its
// OpenGL (Mesa's llvmpipe under Xvfb), sound only after a user gesture as for a visitor,
// in a profile of its own that is removed when the browser is closed.
'use strict';
const fs = require('fs');
const puppeteer = require('puppeteer-core');

async function launchChromium(windowSize, options = {}) {
  const userDataDir = fs.mkdtempSync('/tmp/zircon-chromium-');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: false,
    userDataDir,
    ...options,
    args: ['--no-sandbox', '--use-gl=angle', '--use-angle=gl', '--ignore-gpu-blocklist', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run', '--autoplay-policy=user-gesture-required',
           `--window-size=${windowSize}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => { await close(); fs.rmSync(userDataDir, { recursive: true, force: true }); };
  return browser;
}

module.exports = { launchChromium };
