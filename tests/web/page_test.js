// The browser page's tests, one per command: node page_test.js TEST WEB_BUILD NATIVE_BUILD.
// engine_exact: the engine in WebAssembly (under node) against the native build over long runs;
// frames_exact: ?frames=N in Chromium against glimra-render, pixel for pixel; still_slices: a
// large N made without blocking the page, exactly; panel, address,
// query, file_url: the page's behaviour in headless Chromium, opened from file://.
'use strict';

const assert = require('assert');
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { launch, sleep } = require('../../tools/web/cdp');
const { decodePng } = require('./png');

const [testName, webDir, nativeDir] = process.argv.slice(2);
const pageUrl = `file://${path.resolve(webDir, 'index.html')}`;
const keys = ['cycle', 'cir', 'pal', 'one', 'dx_r', 'dx_g', 'dx_b'];
const defaults = { cycle: 1, cir: 1, pal: 1, one: 1, dx_r: 5, dx_g: 10, dx_b: 3 };
const query = (s) => keys.map((k) => `${k}=${s[k]}`).join('&');

// Both layouts, one and four rings, the fixed palette, cycle 7, shift and the holding modes.
const looks = [
  { ...defaults, frames: 40 },
  { cycle: 7, cir: 0, pal: 0, one: 0, dx_r: 5, dx_g: 10, dx_b: 3, frames: 123 },
  { cycle: 20, cir: 3, pal: 5, one: 1, dx_r: 100, dx_g: 0, dx_b: 37, frames: 1000 },
  { cycle: 7, cir: 0, pal: 2, one: 1, dx_r: 5, dx_g: 10, dx_b: 3, frames: 300 },
  { cycle: 3, cir: 2, pal: 6, one: 0, dx_r: 1, dx_g: 99, dx_b: 50, frames: 2500 },
];
// Addresses with values the dialog cannot store, and the settings file with which glimra-render
// draws the same: cycle, cir and the speeds as the dialog shows them, `pal` and `one` as they are.
const outsideLooks = [
  { address: 'cycle=99&cir=-4&pal=12&one=5&dx_r=-1&dx_g=250&dx_b=3',
    cycle: 20, cir: 0, pal: 12, one: 5, dx_r: 100, dx_g: 100, dx_b: 3, frames: 200 },
  { address: 'cycle=0&cir=7&pal=-1&one=0&dx_r=101&dx_g=0&dx_b=-50',
    cycle: 1, cir: 3, pal: -1, one: 0, dx_r: 100, dx_g: 0, dx_b: 100, frames: 77 },
];

async function withBrowser(work) {
  const browser = await launch({ width: 640, height: 480 });
  try {
    await work(browser);
  } finally {
    await browser.close();
  }
}

// The digests of long runs must agree line for line; the math library differs between builds.
function engineExact() {
  const runs = [...looks.map((l) => ({ ...l, frames: 30000 })),
    { cycle: 13, cir: 1, pal: 4, one: 1, dx_r: 77, dx_g: 3, dx_b: 100, frames: 30000 }];
  // Every cycle's base table (and the wave table), with one frame each.
  for (let cycle = 0; cycle <= 20; ++cycle) runs.push({ ...defaults, cycle, frames: 1 });
  for (const run of runs) {
    const args = Object.entries(run).flatMap(([k, v]) => [`--${k}`, String(v)]);
    args.push('--every', '5000');
    const native = execFileSync(path.join(nativeDir, 'tools/digest/glimra-digest'), args);
    const web = execFileSync(process.execPath,
      [path.join(webDir, 'tools/digest/glimra-digest.js'), ...args]);
    assert.strictEqual(web.toString(), native.toString(), `digests differ for ${query(run)}`);
  }
}

function renderReference(look, dir) {
  const ini = path.join(dir, 'Tovalesk.ini');
  fs.writeFileSync(ini, `[Glimra ScreenSaver]\n${keys.map((k) => `${k}=${look[k]}`).join('\n')}\n`);
  const out = path.join(dir, 'reference.png');
  execFileSync(path.join(nativeDir, 'render/glimra-render'),
    ['--ini', ini, '--frames', String(look.frames), '--out', out]);
  return decodePng(fs.readFileSync(out)).rgb;
}

async function framesExact() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'glimra-web-'));
  await withBrowser(async (browser) => {
    for (const look of [...looks, ...outsideLooks]) {
      await browser.navigate(`${pageUrl}?${look.address || query(look)}&frames=${look.frames}`);
      const shot = decodePng(await browser.screenshot());
      assert.strictEqual(`${shot.width}x${shot.height}`, '640x480');
      const expected = renderReference(look, dir);
      const differing = shot.rgb.findIndex((byte, i) => byte !== expected[i]);
      assert.strictEqual(differing, -1,
        `${look.address || query(look)}&frames=${look.frames}: byte ${differing}`);
    }
  });
  fs.rmSync(dir, { recursive: true, force: true });
}

// Set up before the page's own script: each progress text that the page draws.
const progressProbe = `window.glimraProgress = [];
  const frame = () => {
    const line = document.getElementById('progress');
    if (line && line.textContent !== glimraProgress.at(-1)) glimraProgress.push(line.textContent);
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);`;

// The longest task of the page's main thread that overlaps the still's work, from the browser's
// trace: its processor time (which a busy machine does not stretch) and its span, in ms.
function longestTask(events, url, still) {
  // The page's clock (performance.now()) counts from its navigation's start, on its thread.
  const start = events.find((e) => e.name === 'navigationStart' &&
    e.args && e.args.data && e.args.data.documentLoaderURL === url);
  assert.ok(start, `no start of the navigation to ${url} in the trace`);
  assert.ok(Number.isFinite(still.startMs) && Number.isFinite(still.endMs),
    `the page did not record when the still was made: ${JSON.stringify(still)}`);
  const thread = events.filter((e) => e.pid === start.pid && e.tid === start.tid &&
    e.ph === 'X');
  const spanless = thread.filter((e) => !Number.isFinite(e.ts) || !Number.isFinite(e.dur));
  assert.strictEqual(spanless.length, 0, `${spanless.length} of the page's ${thread.length} ` +
    'tasks in the trace have no start or duration (ts, dur): the longest cannot be measured');
  const [from, to] = [start.ts + still.startMs * 1000, start.ts + still.endMs * 1000];
  const tasks = thread.filter((e) => e.ts < to && e.ts + e.dur > from);
  assert.ok(tasks.length > 0, 'the trace holds no task of the page\'s thread while the still ' +
    'was made, so its longest task cannot be measured');
  const timed = thread.filter(isTimed);
  const ms = (values) => Math.max(...values) / 1000;
  return {
    cpuMs: ms(tasks.map((e) => processorTime(e, timed))),
    wallMs: ms(tasks.map((e) => e.dur)),
    untimed: tasks.filter((e) => !isTimed(e)).length,
    count: tasks.length,
  };
}

const isTimed = (e) => Number.isFinite(e.tts) && Number.isFinite(e.tdur);

// A task's processor time in µs. Newer browsers leave the thread time (tts, tdur) out of some
// events; such a task is bounded by the thread's clock between the timed events on either side
// of it (`timed`), or else by its span, so that a missing field never hides a task that blocked
// the page.
function processorTime(task, timed) {
  if (isTimed(task)) return task.tdur;
  const end = task.ts + task.dur;
  let before = null;
  let after = null;
  for (const e of timed) {
    if (e.ts + e.dur <= task.ts && (!before || e.ts + e.dur > before.ts + before.dur)) before = e;
    if (e.ts >= end && (!after || e.ts < after.ts)) after = e;
  }
  if (!before || !after) return task.dur;
  return Math.min(task.dur, after.tts - (before.tts + before.tdur));
}

// A still that one call made in about a second (the page frozen meanwhile): no task of the page
// takes over 50 ms of processor time while it is made, the page draws the progress line, and
// the frame is still exactly glimra-render's.
async function stillSlices() {
  const look = { ...defaults, frames: 30000 };
  const url = `${pageUrl}?${query(look)}&frames=${look.frames}`;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'glimra-web-'));
  await withBrowser(async (browser) => {
    await browser.call('Page.addScriptToEvaluateOnNewDocument', { source: progressProbe });
    const events = await browser.trace(['toplevel', 'blink.user_timing', '__metadata'],
      () => browser.navigate(url));
    const { still, progress } = await browser.evaluate(
      '({ still: window.glimraStill, progress: window.glimraProgress })');
    assert.ok(still && Array.isArray(progress),
      'the page did not report its still (window.glimraStill) or the progress probe its lines');
    const longest = longestTask(events, url, still);
    const report = `${look.frames} frames in ${(still.endMs - still.startMs).toFixed(0)} ms; ` +
      `longest task ${longest.cpuMs.toFixed(1)} ms of processor time ` +
      `(${longest.wallMs.toFixed(1)} ms from start to end; ${longest.untimed} of ` +
      `${longest.count} tasks without a thread time, bounded by the thread's clock); ` +
      `${progress.length} progress ` +
      `lines drawn, the last "${progress.at(-1)}"`;
    console.log(report);
    assert.ok(longest.cpuMs < 50, report);
    assert.ok(progress.some((text) => /[1-9][0-9,]* of 30,000$/.test(text)), report);
    const shot = decodePng(await browser.screenshot());
    const expected = renderReference(look, dir);
    assert.strictEqual(shot.rgb.findIndex((byte, i) => byte !== expected[i]), -1, report);
  });
  fs.rmSync(dir, { recursive: true, force: true });
}

// True when the screenshot repeats every 160 columns and 120 rows: the tiled layout. Only the
// columns right of the panel count, which may be showing.
function isTiled(rgb) {
  for (let y = 0; y < 480; y += 3) {
    for (let x = 380; x < 480; x += 3) {
      const a = (y * 640 + x) * 3;
      const right = a + 160 * 3;
      const below = a + 120 * 640 * 3;
      for (let c = 0; c < 3; ++c) {
        if (rgb[a + c] !== rgb[right + c]) return false;
        if (y < 360 && rgb[a + c] !== rgb[below + c]) return false;
      }
    }
  }
  return true;
}

async function panel() {
  await withBrowser(async (browser) => {
    await browser.navigate(pageUrl);
    assert.strictEqual(await browser.evaluate('location.search'), `?${query(defaults)}`);
    assert.ok(!isTiled(decodePng(await browser.screenshot()).rgb));
    assert.ok(!(await browser.evaluate("document.getElementById('panel').matches('.shown')")));
    // A touch shows the panel (as a pointer or a key does); a click on "Tiled" tiles
    // the picture at once.
    await browser.call('Emulation.setTouchEmulationEnabled', { enabled: true });
    for (const type of ['touchStart', 'touchEnd']) {
      await browser.call('Input.dispatchTouchEvent',
        { type, touchPoints: type === 'touchEnd' ? [] : [{ x: 500, y: 300 }] });
    }
    await sleep(100);
    assert.ok(await browser.evaluate("document.getElementById('panel').matches('.shown')"));
    await browser.call('Input.dispatchMouseEvent', { type: 'mouseMoved', x: 300, y: 300 });
    const box = await browser.evaluate(`(() => {
      const r = document.querySelector('input[name=one][value="0"]').getBoundingClientRect();
      return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
    })()`);
    for (const type of ['mousePressed', 'mouseReleased']) {
      await browser.call('Input.dispatchMouseEvent',
        { type, ...box, button: 'left', clickCount: 1 });
    }
    await browser.evaluate(`(() => {
      const box = document.querySelector('select[name=pal]');
      box.value = '0';
      box.dispatchEvent(new Event('input', { bubbles: true }));
    })()`);
    const changed = { ...defaults, one: 0, pal: 0 };
    await sleep(400); // the address follows a change within a quarter of a second
    assert.ok(isTiled(decodePng(await browser.screenshot()).rgb), 'not tiled after the click');
    assert.strictEqual(await browser.evaluate('location.search'), `?${query(changed)}`);
    // The look survives a reload, and an address without settings takes the stored ones.
    await browser.reload();
    assert.deepStrictEqual(await browser.evaluate('window.glimraSettings'), changed);
    await browser.navigate(pageUrl);
    assert.deepStrictEqual(await browser.evaluate('window.glimraSettings'), changed);
    assert.strictEqual(await browser.evaluate('location.search'), `?${query(changed)}`);
    await sleep(200);
    assert.ok(isTiled(decodePng(await browser.screenshot()).rgb), 'not tiled after the reload');
  });
}

// A slider dragged for a few seconds (hundreds of input events) ending at 42: the address and
// the storage end at 42 and a reload shows it, also when the reload follows the last change at
// once. The browser ignores an address rewrite on every event (it throttles them).
async function address() {
  const drag = (values) => `(async () => {
    const slider = document.querySelector('input[name=dx_r]');
    for (const value of ${JSON.stringify(values)}) {
      slider.value = String(value);
      slider.dispatchEvent(new Event('input', { bubbles: true }));
      await new Promise((resolve) => setTimeout(resolve, 8));
    }
  })()`;
  const look = (dxR) => `?${query({ ...defaults, dx_r: dxR })}`;
  await withBrowser(async (browser) => {
    await browser.navigate(pageUrl);
    await browser.evaluate(drag(Array.from({ length: 260 }, (_, i) => (i * 7) % 101).concat(42)));
    await sleep(1000);
    assert.strictEqual(await browser.evaluate('location.search'), look(42));
    assert.strictEqual(await browser.evaluate("localStorage.getItem('glimra.settings')"),
      look(42).slice(1));
    for (const [value, pause] of [[42, 0], [17, 0], [63, 1000]]) {
      if (value !== 42) await browser.evaluate(drag([value - 1, value]));
      await sleep(pause);
      await browser.reload();
      const shown = await browser.evaluate('window.glimraSettings.dx_r');
      assert.strictEqual(shown, value, `reload ${pause} ms after the change to ${value}`);
      assert.strictEqual(await browser.evaluate('location.search'), look(value));
    }
  });
}

async function queryValues() {
  const cases = [
    ['cycle=99&cir=-4&pal=12&one=5&dx_r=-1&dx_g=250&dx_b=abc',
      { cycle: 20, cir: 0, pal: 1, one: 1, dx_r: 100, dx_g: 100, dx_b: 3 }],
    ['cycle=1.5&cir=&pal=0x3&one=true&dx_r=%20&dx_g=1e2&dx_b=99999999999999999999',
      { ...defaults, dx_b: 100 }],
    ['cycle=0&cir=3&one=0&dx_g=%2B7&frames=abc',
      { ...defaults, cycle: 1, cir: 3, one: 0, dx_g: 7 }],
    ['pal=6&cir=2&frames=-3', { ...defaults, pal: 6, cir: 2 }],
  ];
  await withBrowser(async (browser) => {
    for (const [search, expected] of cases) {
      await browser.navigate(`${pageUrl}?${search}`);
      assert.deepStrictEqual(await browser.evaluate('window.glimraSettings'), expected, search);
      const still = search.includes('frames=-3');
      const address = await browser.evaluate('location.search');
      assert.strictEqual(address, still ? `?${search}` : `?${query(expected)}`, search);
      const rgb = decodePng(await browser.screenshot()).rgb;
      assert.ok(rgb.some((byte) => byte !== 0), `blank page for ${search}`);
    }
  });
}

async function fileUrl() {
  await withBrowser(async (browser) => {
    await browser.navigate(pageUrl);
    const first = await browser.screenshot();
    await sleep(300);
    assert.ok(!first.equals(await browser.screenshot()), 'the picture does not move');
    assert.deepStrictEqual(await browser.evaluate('window.glimraSettings'), defaults);
  });
}

const tests = {
  engine_exact: engineExact,
  frames_exact: framesExact,
  still_slices: stillSlices,
  panel,
  address,
  query: queryValues,
  file_url: fileUrl,
};
Promise.resolve(tests[testName]()).then(() => {
  console.log(`PASS ${testName}`);
}, (error) => {
  console.error(`FAIL ${testName}: ${error.stack || error}`);
  process.exit(1);
});
