// A small DevTools-protocol client for Debian's headless Chromium over --remote-debugging-pipe
// (no WebSocket, no npm package), with the few page operations the page tests need.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Starts a fresh browser (its own profile, so its own storage) with one page of width x height.
async function launch({ width = 640, height = 480 } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'glimra-chromium-'));
  const child = spawn(process.env.CHROMIUM || 'chromium', [
    '--headless=new', '--no-sandbox', '--disable-gpu', '--hide-scrollbars', '--mute-audio',
    '--force-device-scale-factor=1', `--window-size=${width},${height}`, '--no-first-run',
    '--remote-debugging-pipe', `--user-data-dir=${profile}`, '--lang=en-US', 'about:blank',
  ], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });

  let nextId = 1;
  const pending = new Map();
  const waiters = [];
  const listeners = new Map();
  let buffer = Buffer.alloc(0);
  child.stdio[4].on('data', (chunk) => {
    buffer = Buffer.concat([buffer, chunk]);
    let end;
    while ((end = buffer.indexOf(0)) >= 0) {
      const message = JSON.parse(buffer.subarray(0, end).toString('utf8'));
      buffer = buffer.subarray(end + 1);
      if (message.id && pending.has(message.id)) {
        const { resolve, reject } = pending.get(message.id);
        pending.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else {
        for (const listen of listeners.get(message.method) || []) listen(message.params);
        for (const w of waiters.splice(0)) {
          if (w.method === message.method) w.resolve(message.params);
          else waiters.push(w);
        }
      }
    }
  });
  const send = (method, params = {}, sessionId = undefined) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    child.stdio[3].write(`${JSON.stringify({ id, method, params, sessionId })}\0`);
  });
  const next = (method) => new Promise((resolve) => waiters.push({ method, resolve }));
  const listen = (method, handler) => {
    if (!listeners.has(method)) listeners.set(method, []);
    listeners.get(method).push(handler);
  };

  const { targetInfos } = await send('Target.getTargets');
  const target = targetInfos.find((t) => t.type === 'page');
  const { sessionId } = await send('Target.attachToTarget',
    { targetId: target.targetId, flatten: true });
  const call = (method, params) => send(method, params, sessionId);
  await call('Page.enable');
  await call('Emulation.setDeviceMetricsOverride',
    { width, height, deviceScaleFactor: 1, mobile: false });

  const evaluate = async (expression) => {
    const { result, exceptionDetails } = await call('Runtime.evaluate',
      { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) throw new Error(`${expression}: ${JSON.stringify(exceptionDetails)}`);
    return result.value;
  };
  // Waits until the page's script has started (or throws after `ms`).
  const waitRunning = async (ms = 15000) => {
    for (const start = Date.now(); Date.now() - start < ms; await sleep(50)) {
      if (await evaluate('document.body && document.body.dataset.state')) return;
    }
    throw new Error('the page did not start');
  };
  return {
    pid: child.pid,
    call,
    evaluate,
    waitRunning,
    async navigate(url) {
      const loaded = next('Page.loadEventFired');
      await call('Page.navigate', { url });
      await loaded;
      await waitRunning();
    },
    async reload() {
      const loaded = next('Page.loadEventFired');
      await call('Page.reload');
      await loaded;
      await waitRunning();
    },
    // The browser's trace events (categories as Chromium names them) recorded while `work()`
    // runs.
    async trace(categories, work) {
      const events = [];
      listen('Tracing.dataCollected', ({ value }) => events.push(...value));
      const complete = next('Tracing.tracingComplete');
      await send('Tracing.start', {
        traceConfig: { includedCategories: categories }, transferMode: 'ReportEvents',
      });
      await work();
      await send('Tracing.end');
      await complete;
      listeners.delete('Tracing.dataCollected');
      return events;
    },
    async screenshot() {
      const { data } = await call('Page.captureScreenshot', { format: 'png' });
      return Buffer.from(data, 'base64');
    },
    async close() {
      try {
        await send('Browser.close');
      } catch (e) {
        // already gone
      }
      if (child.exitCode === null) await new Promise((resolve) => child.on('exit', resolve));
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

module.exports = { launch, sleep };
