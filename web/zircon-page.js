// The page around the demo: fetches the data set and has the browser decode it (pictures
// through WebGL so no colour is premultiplied away, the music through Web Audio), waits for
// a click, then runs the program. It also gives the program its clock, sound and messages
// (Module.page), and offers fullscreen and playing again.
//
// Address options: fps=N (fixed-rate clock, silent), start=MS, until=MS, and at=T1,T2,...
// which keeps the canvas of the first frame at or after each demo time in
// window.zirconFrames (PNG data addresses) for tests.
'use strict';

const $ = (id) => document.getElementById(id);
const query = new URLSearchParams(location.search);
const captureTimes = (query.get('at') || '').split(',').filter((t) => t !== '').map(Number);
window.zirconFrames = {};
window.zirconFrameTimes = [];   // performance.now() of every frame drawn, with its demo time
window.zirconState = 'loading';

function programArguments() {
  const args = [];
  for (const [name, option] of [['fps', '--fps'], ['start', '--start'], ['until', '--until']]) {
    if (query.has(name)) args.push(option, query.get(name));
  }
  return args;
}

// ---- Sound: one piece of music on the AudioContext --------------------------------------

const audio = {
  context: null,
  gain: null,
  buffer: null,
  source: null,
  offsetMs: 0,        // where the music starts (or stands while paused)
  startedAt: 0,       // context time of the music's start
  beganMs: 0,         // context ms at which the playing source began (at offsetMs)
  paused: false,
  silent: false,

  init(silent) {
    if (!this.context) return false;
    this.silent = silent;
    if (!this.gain) {
      this.gain = this.context.createGain();
      this.gain.connect(this.context.destination);
    }
    this.gain.gain.value = silent ? 0 : 1;
    return true;
  },
  select(path) {
    if (!page.music.has(path)) return 0;
    this.buffer = page.music.get(path);
    return this.buffer ? 1 : -1;
  },
  startSource() {
    const source = this.context.createBufferSource();
    source.buffer = this.buffer;
    source.connect(this.gain);
    source.start(0, this.offsetMs / 1000);
    this.source = source;
    this.beganMs = this.context.currentTime * 1000;
    this.startedAt = this.beganMs / 1000 - this.offsetMs / 1000;
    this.paused = false;
  },
  stopSource() {
    if (!this.source) return;
    try { this.source.stop(); } catch (e) { /* never started */ }
    this.source.disconnect();
    this.source = null;
  },
  play(restart) {
    if (!this.buffer) return false;
    this.stopSource();
    if (restart) this.offsetMs = 0;
    this.startSource();
    return true;
  },
  seek(ms) {
    this.offsetMs = ms;
    if (this.source) { this.stopSource(); this.startSource(); }
  },
  pause(paused) {
    if (paused && this.source) {
      this.offsetMs = this.positionMs();
      this.stopSource();
      this.paused = true;
    } else if (!paused && this.paused) {
      this.startSource();
    }
  },
  positionMs() {
    if (this.paused) return this.offsetMs;
    if (!this.source) return -1;
    return Math.round((this.context.currentTime - this.startedAt) * 1000);
  },
  stop() { this.stopSource(); this.paused = false; },
  volume(v) { if (this.gain) this.gain.gain.value = this.silent ? 0 : v; },
  lengthMs(path) {
    const buffer = page.music.get(path);
    return buffer ? Math.round(buffer.duration * 1000) : -1;
  },
  sampleRate() { return this.context ? this.context.sampleRate : 0; },
  // The context time being heard now, in ms: the output's last timestamp carried on by the
  // page's clock, never past the time being rendered, and standing still while the
  // context does not run (suspended by the page or by the browser).
  heardMs() {
    const c = this.context;
    const stated = (c.currentTime - (c.baseLatency || 0) - (c.outputLatency || 0)) * 1000;
    const stamp = c.getOutputTimestamp ? c.getOutputTimestamp() : null;
    if (!stamp || !(stamp.performanceTime > 0)) return stated;
    const carried = c.state === 'running' ? Math.max(0, performance.now() - stamp.performanceTime) : 0;
    const stamped = stamp.contextTime * 1000 + carried;
    // Carried past the time being rendered, the stamp is stale (the output has not
    // stamped since the context last ran): the output's stated latency stands instead.
    return stamped <= c.currentTime * 1000 ? stamped : Math.min(stated, c.currentTime * 1000);
  },
  // The music as it is heard: its position heard now, and when that is on the clock of
  // play (which runs ahead of what is heard by the time a frame takes to be seen); null
  // while no music plays or the context does not run.
  heardPosition() {
    if (!this.source || this.paused || this.context.state !== 'running') return null;
    return { positionMs: this.heardMs() - this.startedAt * 1000, atMs: clock.nowMs() - clock.leadMs() };
  },
  // How long the music's present source takes to be heard from its start, in ms (asked
  // just after it starts: its first sample is due at the context time it began at, which
  // currentTime no longer names once the output has taken its next buffer); with no
  // source, how long a source started now would take.
  latencyMs() {
    if (!this.context) return 0;
    const begins = this.source ? this.beganMs : this.context.currentTime * 1000;
    return Math.max(0, begins - this.heardMs());
  },
};

// ---- The clock of play --------------------------------------------------------------------

// Milliseconds that never go back: while the music plays they pass as the music is heard
// (so the picture keeps to the sound whatever the output's pace, underruns and a context
// the browser suspends included), ahead of it by the time a frame drawn now takes to be
// seen; otherwise as the page's clock. Each change of source goes on from where the clock
// stands.
const clock = {
  following: null,   // 'music' or 'page': what the clock passes with
  base: 0,           // the clock less its source's time
  last: 0,
  // The player takes a frame's time at the end of the animation frame before the one that
  // draws it (it moves its clock on after each present); drawn, the frame is composited in
  // the next animation frame and shown from the one after. So it is halfway through its
  // time on screen 3.5 frame intervals after its time is taken.
  shownAfterFrames: 3.5,
  intervalMs: 0,     // the frames' interval, smoothed; 0 until two frames came in a row
  lastFrameAt: 0,
  frameDrawn(at) {
    const interval = at - this.lastFrameAt;
    this.lastFrameAt = at;
    if (interval > 250) return;   // a pause of the animation frames (a hidden page), not a frame
    this.intervalMs = this.intervalMs === 0 ? interval : this.intervalMs + 0.1 * (interval - this.intervalMs);
  },
  leadMs() { return this.shownAfterFrames * this.intervalMs; },
  nowMs() {
    const music = audio.context !== null && audio.source !== null;
    if (music && this.following === 'music' && audio.context.state !== 'running') return this.last;
    const source = music ? audio.heardMs() + this.leadMs() : performance.now();
    const following = music ? 'music' : 'page';
    if (following !== this.following) {
      this.base = this.following === null ? performance.now() - source : this.last - source;
      this.following = following;
    }
    this.last = Math.max(this.last, this.base + source);
    return this.last;
  },
};

// ---- What the program asks of the page ----------------------------------------------------

const page = {
  // "megadata/x.png" -> {width, height, pixels}, while the program takes them (loading, and
  // again for a restored WebGL context); between, only the files' bytes are kept (pngs).
  pictures: new Map(),
  pngs: new Map(),       // "megadata/x.png" -> Blob of the file as served
  music: new Map(),      // "megadata/x.mp3" -> AudioBuffer, or null when undecodable
  audio,
  // The clock of play (steady seconds for the program; the tick count in ms).
  tickMs() { return clock.nowMs(); },
  // How much later music started now is heard than the frame drawn now is seen, on the
  // clock of play (which already runs ahead of the music by the time to be seen).
  audioLatencyMs() { return Math.round(audio.latencyMs() - clock.leadMs()); },
  showMessage(text, caption) {
    $('caption').textContent = caption;
    $('text').textContent = text;
    $('message').hidden = false;
    $('loading').hidden = true;
    $('play').hidden = true;
    if (window.zirconState === 'playing') followPlay();
  },
  capturesFrames() { return captureTimes.length > 0; },
  frameDrawn(demoTime, paused) {
    clock.frameDrawn(performance.now());
    window.zirconFrameTimes.push([performance.now(), demoTime]);
    while (captureTimes.length && demoTime >= captureTimes[0]) {
      window.zirconFrames[captureTimes.shift()] = Module.canvas.toDataURL('image/png');
    }
    play.frame(demoTime, paused);
  },
  // The scene table, told once before play: the scrubber's marks, the media session's chapters.
  sceneStarts(index, startMs, name) { play.scenes[index] = { name, startMs }; },
  demoEnds(endMs) {
    play.endMs = endMs;
    scrubber.mark();
    media.describe();
  },
  playEnded() {
    window.zirconState = 'ended';
    controls.hide();
    if (document.fullscreenElement) document.exitFullscreen();
    $('ended').hidden = false;
    followPlay();
  },
};

// ---- Loading ----------------------------------------------------------------------------
// The pictures are decoded (to page.pictures) for the program to take, and dropped once it
// has: the files' bytes stay (page.pngs), a fifth of the pixels' size, to decode them again
// for a restored WebGL context. Fetched bytes are not kept beyond their decoding.

let decoderGl = null;

// RGBA exactly as stored in the file, rows top first, alpha inverted as the program keeps it.
function picturePixels(bitmap) {
  const width = bitmap.width, height = bitmap.height;
  if (!decoderGl) decoderGl = new OffscreenCanvas(1, 1).getContext('webgl2');
  const gl = decoderGl;
  const texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA8, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
  const framebuffer = gl.createFramebuffer();
  gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
  gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
  const pixels = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  gl.deleteFramebuffer(framebuffer);
  gl.deleteTexture(texture);
  for (let i = 3; i < pixels.length; i += 4) pixels[i] = 255 - pixels[i];
  return { width, height, pixels };
}

// The decoder's context is given back once the data set is in: browsers hold only a few.
function freePictureDecoder() {
  const lose = decoderGl && decoderGl.getExtension('WEBGL_lose_context');
  if (lose) lose.loseContext();
  decoderGl = null;
}

const otherFiles = [];   // [path, bytes] for the program's file system (the models)

async function loadFile(name) {
  const path = 'megadata/' + name;
  const response = await fetch(path);
  if (!response.ok) return;   // missing: the program says so when it needs the file
  if (name.endsWith('.png')) {
    page.pngs.set(path, await response.blob());
    await decodePicture(path);
    return;
  }
  const bytes = await response.arrayBuffer();
  if (name.endsWith('.mp3')) {
    try { page.music.set(path, audio.context ? await audio.context.decodeAudioData(bytes) : null); } catch (e) { page.music.set(path, null); }
  } else {
    otherFiles.push([path, new Uint8Array(bytes)]);
  }
}

async function decodePicture(path) {
  try {
    const bitmap = await createImageBitmap(page.pngs.get(path), {
      premultiplyAlpha: 'none', colorSpaceConversion: 'none', imageOrientation: 'none' });
    page.pictures.set(path, picturePixels(bitmap));
    bitmap.close();
  } catch (e) { /* undecodable: the program reports "Can't load image" */ }
}

async function decodePictures() {
  await Promise.all([...page.pngs.keys()].map(decodePicture));
  freePictureDecoder();
}

function dropDecodedPictures() { page.pictures.clear(); }

async function loadDataSet() {
  const response = await fetch('megadata/files.json');
  const names = response.ok ? await response.json() : [];
  let done = 0;
  await Promise.all(names.map((name) => loadFile(name).then(() => { $('progress').value = ++done / names.length; })));
}

// ---- The canvas's WebGL context ---------------------------------------------------------
// The browser may take the program's WebGL context back (a phone switching tabs, memory
// pressure). The program then draws no frame and the page holds the music, so the clock
// of play stands (it passes only while the sound runs); once the context is restored, the
// pictures are decoded again, the program makes its graphics again and play goes on from
// the moment it held. window.zirconGraphics: 'lost', 'restoring', 'restored' or 'failed'.
const graphics = {
  heldSound: false,   // the music was held here, so it goes on here
  lost() {
    window.zirconGraphics = 'lost';
    if (audio.context && audio.context.state === 'running') {
      this.heldSound = true;
      audio.context.suspend();
    }
  },
  async restored() {
    window.zirconGraphics = 'restoring';
    await decodePictures();
    const made = Module._ZirconRestoreGraphics();
    dropDecodedPictures();
    if (!made) {
      window.zirconGraphics = 'failed';
      page.showMessage('The pictures could not be made again after the browser restored WebGL.', 'FATAL ERROR');
      return;
    }
    window.zirconGraphics = 'restored';
    if (this.heldSound) this.resumeSound();
  },
  // The held music goes on now, or for a hidden page once it is shown again.
  resumeSound() {
    if (document.hidden) {
      document.addEventListener('visibilitychange', () => this.resumeSound(), { once: true });
      return;
    }
    this.heldSound = false;
    audio.context.resume();
  },
};
page.graphicsLost = () => graphics.lost();
page.graphicsRestored = () => graphics.restored();

let runtimeReady;
const runtimeReadyPromise = new Promise((resolve) => { runtimeReady = resolve; });

var Module = {
  page,
  canvas: $('canvas'),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onRuntimeInitialized: () => runtimeReady(),
  onAbort: (what) => page.showMessage(String(what), 'FATAL ERROR'),
};

// ---- Playing ----------------------------------------------------------------------------

// The canvas's drawing buffer follows its CSS size times the device's pixel ratio, so the
// 3D is drawn at the device's pixels, at most 2160 rows (twice 1080p). A page that
// captures frames keeps the program's own 640x480, the size the native frames have.
const MaxBufferRows = 2160;
function fitDrawingBuffer() {
  const canvas = $('canvas');
  if (captureTimes.length || window.zirconState !== 'playing' || !canvas.width) return;
  const box = canvas.getBoundingClientRect();
  if (box.width <= 0 || box.height <= 0) return;
  const rows = Math.min(Math.round(box.height * window.devicePixelRatio), MaxBufferRows);
  const columns = Math.round(rows * box.width / box.height);
  if (canvas.width !== columns || canvas.height !== rows) {
    canvas.width = columns;
    canvas.height = rows;
  }
}
new ResizeObserver(fitDrawingBuffer).observe($('stage'));
window.addEventListener('resize', fitDrawingBuffer);

function start() {
  $('play').hidden = true;
  window.zirconState = 'playing';
  audio.context.addEventListener('statechange', () => audioHold.follow());
  media.offer();
  audio.context.resume().finally(() => {
    try { Module.callMain(programArguments()); } catch (e) { /* the program's message is shown */ }
    dropDecodedPictures();   // main has loaded them all into textures
    fitDrawingBuffer();
    followPlay();
  });
}

function playAgain() {
  $('ended').hidden = true;
  window.zirconState = 'playing';
  audio.context.resume().finally(() => {
    Module._ZirconPlayAgain();
    followPlay();
  });
}

// Fullscreen where the browser lets a page element have it, landscape locked where it
// allows that too; elsewhere (iPhone) the stage fills the window, the same key or button
// leaving it.
function toggleFullscreen() {
  const stage = $('stage');
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (document.body.classList.contains('filled')) {
    document.body.classList.remove('filled');
  } else if (stage.requestFullscreen && document.fullscreenEnabled !== false) {
    stage.requestFullscreen().then(() => screen.orientation && screen.orientation.lock &&
                                         screen.orientation.lock('landscape').catch(() => {}))
      .catch(() => document.body.classList.add('filled'));
  } else {
    document.body.classList.add('filled');
  }
}

document.addEventListener('keydown', (e) => {
  document.body.classList.remove('touch');
  if (e.code === 'KeyF' && !e.ctrlKey && !e.altKey && !e.metaKey) toggleFullscreen();
});

// ---- Touch (and mouse and pen: pointer events) ------------------------------------------

// The program's keys pressed from the page; false when the program is not running.
function pressKey(code) {
  return window.zirconState === 'playing' && Module.ccall('ZirconPressKey', 'boolean', ['string'], [code]);
}

// Play from a demo time in ms, as the keys seek (the frame a start there shows, the music
// there too); false when the program is not running.
function seekTo(ms) {
  return window.zirconState === 'playing' && Module._ZirconSeekTo(Math.max(0, Math.round(ms))) !== 0;
}

const ControlsShownMs = 3000;   // the controls hide this long after the last touch while playing
const controls = {
  hideTimer: 0,
  show() {
    if (window.zirconState !== 'playing') return;
    $('controls').hidden = false;
    this.icon();
    scrubber.place(play.demoTime);
    clearTimeout(this.hideTimer);
    this.hideTimer = setTimeout(() => {
      if (!play.paused && !scrubber.dragging) $('controls').hidden = true;
    }, ControlsShownMs);
  },
  hide() { clearTimeout(this.hideTimer); $('controls').hidden = true; },
  icon() {
    $('pause-icon').setAttribute('d', play.paused ? 'M7 5v14l12-7z' : 'M6 5h4v14H6zM14 5h4v14h-4z');
    $('pause').setAttribute('aria-label', play.paused ? 'Play' : 'Pause');
  },
};

// ---- Where play stands, as the program tells it with each frame ---------------------------

const play = {
  scenes: [],      // {name, startMs} in play order
  endMs: 0,        // the demo time play ends at
  demoTime: 0,     // the last frame's
  paused: false,   // the viewer's pause (Space, the controls, the media session)
  scene: -1,       // the last frame's scene, from 0
  sceneAt(ms) {
    let i = 0;
    while (i + 1 < this.scenes.length && ms >= this.scenes[i + 1].startMs) ++i;
    return i;
  },
  frame(demoTime, paused) {
    const changed = paused !== this.paused;
    this.demoTime = demoTime;
    this.paused = paused;
    const scene = this.sceneAt(demoTime);
    if (scene !== this.scene) {
      this.scene = scene;
      media.describe();
    }
    if (changed) followPlay();
    else audioHold.follow();
    media.position(false);
    if (!$('controls').hidden && !scrubber.dragging) scrubber.place(demoTime);
  },
  // Play goes on: the program plays (no message stopped it), the viewer has not paused,
  // the page is seen and its sound is not held.
  on() {
    return window.zirconState === 'playing' && $('message').hidden && !this.paused &&
           document.visibilityState === 'visible' && !audioHold.shown && !audioHold.hidden;
  },
};

// Whatever follows whether play goes on: the controls' icon, the held sound's notice, the
// wake lock and the media session's state.
function followPlay() {
  controls.icon();
  audioHold.follow();
  wakeLock.follow();
  media.position(true);
}

// ---- The time bar: the scenes marked at their starts; a finger (mouse, pen) seeks ---------

const ScrubStepMs = 100;   // a scrub lands on whole tenths of a second
const scrubber = {
  dragging: false,
  sought: -1,   // the time of the drag's last seek
  mark() {
    const marks = $('marks');
    marks.textContent = '';
    for (const scene of play.scenes) {
      const mark = document.createElement('span');
      mark.style.left = `${(100 * scene.startMs / play.endMs).toFixed(3)}%`;
      mark.title = scene.name;
      marks.appendChild(mark);
    }
    $('scrubber').setAttribute('aria-valuemax', String(play.endMs));
  },
  // The demo time under clientX: the track's left end is 0, its right end the demo's end;
  // rounded to ScrubStepMs and kept short of the end, which would end play.
  timeAt(clientX) {
    const track = $('track').getBoundingClientRect();
    const fraction = Math.min(Math.max((clientX - track.left) / track.width, 0), 1);
    return Math.min(Math.round(fraction * play.endMs / ScrubStepMs) * ScrubStepMs, play.endMs - ScrubStepMs);
  },
  place(ms) {
    if (!play.endMs) return;
    const percent = `${(100 * Math.min(Math.max(ms, 0), play.endMs) / play.endMs).toFixed(3)}%`;
    $('played').style.width = percent;
    $('knob').style.left = percent;
    $('scrubber').setAttribute('aria-valuenow', String(ms));
    const scene = play.scenes[play.sceneAt(ms)];
    $('scene-name').textContent = scene ? scene.name : '';
    $('time').textContent = `${minutes(ms)} / ${minutes(play.endMs)}`;
  },
  seek(clientX) {
    const ms = this.timeAt(clientX);
    this.place(ms);
    if (ms !== this.sought && seekTo(ms)) this.sought = ms;
  },
};
function minutes(ms) {
  const s = Math.floor(ms / 1000);
  return `${Math.floor(s / 60)}:${String(s % 60).padStart(2, '0')}`;
}
$('scrubber').addEventListener('pointerdown', (e) => {
  if (window.zirconState !== 'playing' || !play.endMs) return;
  e.preventDefault();
  document.body.classList.toggle('touch', e.pointerType === 'touch');
  $('scrubber').setPointerCapture(e.pointerId);
  scrubber.dragging = true;
  scrubber.sought = -1;
  scrubber.seek(e.clientX);
  controls.show();
});
$('scrubber').addEventListener('pointermove', (e) => { if (scrubber.dragging) scrubber.seek(e.clientX); });
for (const type of ['pointerup', 'pointercancel']) {
  $('scrubber').addEventListener(type, (e) => {
    if (!scrubber.dragging) return;
    if (type === 'pointerup') scrubber.seek(e.clientX);
    scrubber.dragging = false;
    controls.show();
  });
}

// ---- The screen stays awake while play goes on ---------------------------------------------

// window.zirconWakeLock: 'held', 'released', 'refused' (the browser said no: the reason in
// window.zirconWakeLockRefusal) or 'unsupported'. A lock the browser lets go (the page
// hidden) is asked for again when the page is seen and play goes on.
const wakeLock = {
  sentinel: null,
  asking: false,
  async follow() {
    if (!navigator.wakeLock) {
      window.zirconWakeLock = 'unsupported';
      return;
    }
    const wanted = play.on();
    if (!wanted && this.sentinel) {
      const sentinel = this.sentinel;
      this.sentinel = null;
      window.zirconWakeLock = 'released';
      sentinel.release().catch(() => {});
    } else if (wanted && !this.sentinel && !this.asking) {
      this.asking = true;
      window.zirconWakeLockAsked = (window.zirconWakeLockAsked || 0) + 1;
      try {
        const sentinel = await navigator.wakeLock.request('screen');
        this.sentinel = sentinel;
        window.zirconWakeLock = 'held';
        sentinel.addEventListener('release', () => {
          if (this.sentinel !== sentinel) return;
          this.sentinel = null;
          window.zirconWakeLock = 'released';
        });
        this.asking = false;
        if (!play.on()) this.follow();   // play stopped while the browser was asked
      } catch (e) {
        this.asking = false;
        window.zirconWakeLock = 'refused';
        window.zirconWakeLockRefusal = `${e.name}: ${e.message}`;
      }
    }
  },
};
window.zirconWakeLock = navigator.wakeLock ? 'released' : 'unsupported';

// ---- Sound held: a hidden page on a touch device, or the browser's own hold ---------------

// On a phone or tablet a hidden page holds picture and music: the page suspends the audio
// context, whose time the clock of play follows, so both stand where they were and go on
// together when the page is seen again. On a desktop the music plays on while the page is
// hidden, and the picture catches up with it when the page is seen.
function touchDevice() {
  return (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) || navigator.maxTouchPoints > 0;
}

// While the browser has taken the WebGL context back, the page holds the music itself
// until the picture is back (window.zirconGraphics).
function graphicsHeld() {
  return window.zirconGraphics === 'lost' || window.zirconGraphics === 'restoring';
}

// A context the browser suspended or interrupted while play goes on (a call, another
// app's sound, a resume the browser would not allow without a tap) holds play at its time;
// held for HeldNoticeAfterMs (longer than a resume under way takes), "Tap to resume" is
// shown over the picture, which resumes it, and play goes on from there with the music.
const HeldNoticeAfterMs = 300;
const audioHold = {
  hidden: false,     // the page suspended the context itself while hidden
  resuming: false,   // a resume is under way
  heldSince: 0,      // performance.now() when the sound was first seen held during play
  shown: false,      // "Tap to resume" is shown
  follow() {
    const context = audio.context;
    const held = context !== null && (context.state === 'suspended' || context.state === 'interrupted') &&
                 window.zirconState === 'playing' && $('message').hidden && !play.paused &&
                 document.visibilityState === 'visible' && !this.hidden && !this.resuming && !graphicsHeld();
    if (!held) {
      this.heldSince = 0;
    } else if (!this.heldSince) {
      this.heldSince = performance.now();
      setTimeout(() => this.follow(), HeldNoticeAfterMs);
    }
    const show = held && performance.now() - this.heldSince >= HeldNoticeAfterMs;
    if (show === this.shown) return;
    this.shown = show;
    $('resume').hidden = !show;
    if (show) controls.hide();
    wakeLock.follow();
    media.position(true);
  },
  resume() {
    if (!audio.context) return;
    if (document.visibilityState === 'hidden') {   // it goes on when the page is seen again
      this.hidden = true;
      return;
    }
    if (graphicsHeld()) {   // the picture first: the sound goes on with it
      setTimeout(() => this.resume(), 100);
      return;
    }
    this.resuming = true;
    audio.context.resume().catch(() => {}).finally(() => {
      this.resuming = false;
      this.follow();
    });
    this.follow();
  },
};
$('resume').addEventListener('click', (e) => {
  e.currentTarget.blur();
  audioHold.resume();
});

document.addEventListener('visibilitychange', () => {
  const context = audio.context;
  if (document.visibilityState === 'hidden') {
    if (context && touchDevice() && window.zirconState === 'playing' && context.state === 'running') {
      audioHold.hidden = true;
      context.suspend();
    }
  } else if (audioHold.hidden) {
    audioHold.hidden = false;
    audioHold.resume();
  }
  followPlay();
});

// ---- Media session: the system's media controls, lock screen and headset buttons ----------

// window.zirconMediaActions holds the handlers given to the browser, by action;
// window.zirconMediaPosition the position state last given.
const media = {
  session: navigator.mediaSession || null,
  actions: {},
  last: null,   // {position (s), playing, at (performance.now())}
  offer() {
    if (!this.session || Object.keys(this.actions).length) return;
    const handlers = {
      play: () => {
        if (window.zirconState === 'ended') playAgain();
        else if (play.paused) pressKey('Space');
        else if (audioHold.shown) audioHold.resume();
      },
      pause: () => { if (!play.paused) pressKey('Space'); },
      seekto: (details) => seekTo(details.seekTime * 1000),
      seekbackward: () => pressKey('ArrowLeft'),
      seekforward: () => pressKey('ArrowRight'),
      previoustrack: () => pressKey('PageUp'),
      nexttrack: () => pressKey('PageDown'),
    };
    for (const [action, handler] of Object.entries(handlers)) {
      try {
        this.session.setActionHandler(action, handler);
        this.actions[action] = handler;
      } catch (e) { /* an action this browser does not offer */ }
    }
  },
  // The title, the scene under way as the artist, the scenes as chapters where offered.
  describe() {
    if (!this.session || typeof MediaMetadata === 'undefined' || !play.endMs) return;
    const scene = play.scenes[Math.max(play.scene, 0)];
    const artwork = [{ src: 'megadata/icon.png', sizes: '64x64', type: 'image/png' }];
    this.session.metadata = new MediaMetadata({
      title: 'Zircon megademo',
      artist: scene ? scene.name : '',
      album: 'Zircon megademo',
      artwork,
      chapterInfo: play.scenes.map((s) => ({ title: s.name, startTime: s.startMs / 1000, artwork })),
    });
  },
  // The playback state and the position, given again when play starts or stops, after a
  // seek (the position a second or more from where the browser reckons it) and every 10 s.
  position(force) {
    if (!this.session || !play.endMs) return;
    const playing = play.on();
    const now = performance.now();
    const last = this.last;
    if (!force && last && last.playing === playing && now - last.at < 10000 &&
        Math.abs(last.position * 1000 + (playing ? now - last.at : 0) - play.demoTime) < 1000) return;
    this.session.playbackState = window.zirconState === 'playing' ? (playing ? 'playing' : 'paused') : 'none';
    const position = Math.min(Math.max(play.demoTime, 0), play.endMs) / 1000;
    if (this.session.setPositionState) {
      try { this.session.setPositionState({ duration: play.endMs / 1000, playbackRate: 1, position }); } catch (e) { /* refused */ }
    }
    this.last = { position, playing, at: now };
  },
};
window.zirconMediaActions = media.actions;
Object.defineProperty(window, 'zirconMediaPosition', { get: () => media.last });

// A tap on the picture (a press and release close together, soon after) pauses or goes
// on, and shows the controls; a drag is not a tap.
const TapMaxMs = 400, TapMaxMovePx = 12;
let pressed = null;
$('canvas').addEventListener('pointerdown', (e) => {
  document.body.classList.toggle('touch', e.pointerType === 'touch');
  pressed = { x: e.clientX, y: e.clientY, at: performance.now() };
});
$('canvas').addEventListener('pointerup', (e) => {
  const tap = pressed && performance.now() - pressed.at <= TapMaxMs &&
              Math.hypot(e.clientX - pressed.x, e.clientY - pressed.y) <= TapMaxMovePx;
  pressed = null;
  if (tap && audioHold.shown) audioHold.resume();
  else if (tap && pressKey('Space')) setTimeout(() => controls.show(), 50);
});
for (const [id, code] of [['previous', 'PageUp'], ['pause', 'Space'], ['next', 'PageDown']]) {
  $(id).addEventListener('click', (e) => {
    e.currentTarget.blur();
    if (pressKey(code)) setTimeout(() => controls.show(), 50);
  });
}
if (window.matchMedia && window.matchMedia('(pointer: coarse)').matches) document.body.classList.add('touch');
$('fullscreen').addEventListener('click', (e) => { e.currentTarget.blur(); toggleFullscreen(); });
$('play').addEventListener('click', start);
$('again').addEventListener('click', playAgain);

(async () => {
  try {
    audio.context = new AudioContext();
  } catch (e) {
    audio.context = null;   // no sound: the program says "Can't initialize digital sound system"
  }
  await Promise.all([loadDataSet(), runtimeReadyPromise]);
  freePictureDecoder();
  Module.FS.mkdir('/megadata');
  for (const [path, bytes] of otherFiles) Module.FS.writeFile('/' + path, bytes);
  otherFiles.length = 0;
  $('loading').hidden = true;
  if (!$('message').hidden) return;
  window.zirconState = 'ready';
  window.zirconReadyMs = performance.now();   // from opening the page to "Click to play"
  $('play').hidden = false;
})();
