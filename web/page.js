// The page: starts the engine module with the visitor's settings, steps it 20 times a second and
// shows each frame on a canvas that the browser scales to the window (nearest neighbour, 4:3 with
// black bars); also the still (?frames=N, made in still.js), the benchmark (?bench=1) and the
// full-screen mode.
'use strict';

const frameMs = 50;
const tileWidth = 160;
const tileHeight = 120;

// Draws the module's current tile: enlarged, the canvas is the tile itself and the browser
// enlarges it; tiled, the canvas is the whole frame and takes the tile sixteen times (cheaper
// than copying within the canvas, which makes the browser take a snapshot of it each time).
function makePresenter(module, canvas) {
  const context = canvas.getContext('2d', { alpha: false });
  const pointer = module._GlimraTileRgba();
  const pixels = new ImageData(
    new Uint8ClampedArray(module.HEAPU8.buffer, pointer, tileWidth * tileHeight * 4),
    tileWidth, tileHeight);
  return (enlarged) => {
    const width = enlarged ? tileWidth : tileWidth * 4;
    if (canvas.width !== width) {
      canvas.width = width;
      canvas.height = enlarged ? tileHeight : tileHeight * 4;
    }
    module._GlimraTileRgba();
    for (let y = 0; y < canvas.height; y += tileHeight) {
      for (let x = 0; x < canvas.width; x += tileWidth) context.putImageData(pixels, x, y);
    }
  };
}

function startRun(module, s) {
  module._GlimraStart(s.cycle, s.cir, s.pal, s.one, s.dx_r, s.dx_g, s.dx_b);
}

// Median over batches of each batch's time per frame: the browser's clock is too coarse for one
// step (0.1 ms without cross-origin isolation). A one-pixel read after each presentation makes
// the canvas really draw it (the browser would otherwise draw only the last of a batch). The
// baseline, measured alongside, is the plainest way to show a frame: one put of 640 x 480 pixels.
function bench(module, present, settings, canvas) {
  const batches = 40;
  const perBatch = 100;
  const context = canvas.getContext('2d');
  const whole = new ImageData(tileWidth * 4, tileHeight * 4);
  const times = { engine: [], presentation: [], baseline: [] };
  const timeBatch = (list, work) => {
    const start = performance.now();
    for (let i = 0; i < perBatch; ++i) {
      work();
      context.getImageData(0, 0, 1, 1);
    }
    list.push((performance.now() - start) / perBatch);
  };
  startRun(module, settings);
  for (let b = 0; b < batches; ++b) {
    const start = performance.now();
    module._GlimraStep(perBatch);
    times.engine.push((performance.now() - start) / perBatch);
    timeBatch(times.presentation, () => present(settings.one !== 0));
  }
  canvas.width = tileWidth * 4;
  canvas.height = tileHeight * 4;
  for (let b = 0; b < batches; ++b) {
    timeBatch(times.baseline, () => context.putImageData(whole, 0, 0));
  }
  present(settings.one !== 0);
  const median = (list) => list.sort((a, b) => a - b)[list.length >> 1];
  const result = { frames: batches * perBatch };
  for (const [name, list] of Object.entries(times)) result[`${name}Ms`] = median(list);
  const ms = (value) => `${value.toFixed(4)} ms (x ${(value / result.baselineMs).toFixed(2)})`;
  const line = `glimra bench: ${result.frames} frames, median per frame: engine ` +
    `${ms(result.engineMs)}, presentation ${ms(result.presentationMs)}; baseline, one put ` +
    `of a 640 x 480 frame: ${result.baselineMs.toFixed(4)} ms`;
  console.log(line);
  const report = document.createElement('pre');
  report.id = 'bench';
  report.textContent = line;
  document.body.append(report);
  window.glimraBench = result;
}

// Full screen from the panel's button; the screen stays awake meanwhile where the browser can
// promise it, and the cursor hides while the visitor is idle.
function setUpFullScreen(button) {
  if (!document.fullscreenEnabled) {
    button.hidden = true;
    return;
  }
  button.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(() => {});
  });
  let lock = null;
  const keepAwake = () => {
    if (!document.fullscreenElement || !('wakeLock' in navigator) || lock) return;
    navigator.wakeLock.request('screen').then((l) => {
      lock = l;
      lock.addEventListener('release', () => { lock = null; });
    }).catch(() => {});
  };
  document.addEventListener('fullscreenchange', () => {
    document.body.classList.toggle('fullscreen', Boolean(document.fullscreenElement));
    if (document.fullscreenElement) keepAwake();
    else if (lock) lock.release().catch(() => {});
  });
  // The browser drops the lock when the page is hidden.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible') keepAwake();
  });
}

function run(module, present, initial, keep) {
  let settings = initial;
  let next = 0;
  let timer = 0;
  let request = 0;
  // Each step waits for its time on a timer, then for the display's next frame: the browser is
  // woken 20 times a second, not at every refresh, and a hidden page makes no steps at all.
  const frame = (now) => {
    // After a hidden or stalled stretch, go on from now instead of catching up.
    next = now - next >= frameMs ? now + frameMs : next + frameMs;
    module._GlimraStep(1);
    present(settings.one !== 0);
    timer = setTimeout(() => {
      request = requestAnimationFrame(frame);
    }, next - performance.now());
  };
  const restart = () => {
    clearTimeout(timer);
    cancelAnimationFrame(request);
    startRun(module, settings);
    next = 0;
    request = requestAnimationFrame(frame);
  };
  GlimraPanel.create(document.body, settings, (changed) => {
    settings = changed;
    window.glimraSettings = settings;
    keep(settings);
    restart();
  }, (idle) => document.body.classList.toggle('idle', idle));
  setUpFullScreen(document.getElementById('fullscreen'));
  restart();
}

GlimraModule().then(async (module) => {
  const canvas = document.getElementById('view');
  const clamp = (index, value) => module._GlimraClampSetting(index, value);
  const request = GlimraSettings.parseRequest(window.location.search, clamp);
  const present = makePresenter(module, canvas);
  if (request.bench) {
    bench(module, present, request.settings, canvas);
  } else if (request.frames !== null) {
    const settings = request.settings;
    await GlimraStill.show(module, request.frames, {
      start: () => startRun(module, settings),
      present: () => present(settings.one !== 0),
      text: GlimraPanel.progressText,
    });
  } else {
    const keep = GlimraSettings.makeKeeper();
    keep(request.settings);
    run(module, present, request.settings, keep);
  }
  window.glimraSettings = request.settings;
  document.body.dataset.state = 'running';
});
