// Measures the browser page in Debian's headless Chromium:
//   node benchmarks/web/measure.js bench [WEB_BUILD]        ?bench=1 for three looks: the medians
//   node benchmarks/web/measure.js cpu [WEB_BUILD] [SECONDS] the browser's CPU while the page runs at
//     20 frames a second, against the same page showing a still (no frame steps), alternately.
'use strict';

const fs = require('fs');
const path = require('path');
const { launch, sleep } = require('../../tools/web/cdp');

const [command = 'bench', webDir = 'build/web', seconds = '20'] = process.argv.slice(2);
const pageUrl = `file://${path.resolve(webDir, 'index.html')}`;
const looks = {
  '4 rings, tiled': 'cir=0&one=0',
  '4 rings, enlarged': 'cir=0&one=1',
  'defaults (3 rings, enlarged)': 'cir=1&one=1',
};

async function bench() {
  const browser = await launch({ width: 640, height: 480 });
  for (const [name, query] of Object.entries(looks)) {
    await browser.navigate(`${pageUrl}?${query}&bench=1`);
    const r = await browser.evaluate('window.glimraBench');
    const us = (ms) => `${(ms * 1000).toFixed(1)} us (x ${(ms / r.baselineMs).toFixed(2)})`;
    console.log(`${name}: engine ${us(r.engineMs)}, presentation ${us(r.presentationMs)}, ` +
      `total ${us(r.engineMs + r.presentationMs)} per frame; baseline (one put of a 640 x 480 ` +
      `frame) ${(r.baselineMs * 1000).toFixed(1)} us; medians of ${r.frames / 100} batches of 100`);
  }
  await browser.close();
}

// User plus system CPU seconds of a process and all its descendants, from /proc.
function treeCpuSeconds(root) {
  const children = new Map();
  const cpu = new Map();
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(pid));
      cpu.set(Number(pid), (Number(fields[11]) + Number(fields[12])) / 100);
    } catch (e) {
      // the process ended meanwhile
    }
  }
  let total = 0;
  for (const stack = [root]; stack.length;) {
    const pid = stack.pop();
    total += cpu.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

async function cpuRun(query) {
  const browser = await launch({ width: 1280, height: 960 });
  await browser.navigate(`${pageUrl}?${query}`);
  await sleep(2000);
  const before = treeCpuSeconds(browser.pid);
  await sleep(Number(seconds) * 1000);
  const used = treeCpuSeconds(browser.pid) - before;
  await browser.close();
  return (used / Number(seconds)) * 100;
}

async function cpu() {
  const rounds = 2;
  const sums = { still: 0, running: 0 };
  for (let i = 0; i < rounds; ++i) {
    sums.still += await cpuRun('cir=0&one=0&frames=1');
    sums.running += await cpuRun('cir=0&one=0');
  }
  const still = sums.still / rounds;
  const running = sums.running / rounds;
  console.log(`1280 x 960 window, 4 rings tiled, mean of ${rounds} alternating rounds ` +
    `of ${seconds} s:`);
  console.log(`still: ${still.toFixed(2)}% of a core; running at 20 fps: ${running.toFixed(2)}% ` +
    `(x ${(running / still).toFixed(2)}); added by the frames: ${(running - still).toFixed(2)}%`);
}

({ bench, cpu })[command]().catch((error) => {
  console.error(error);
  process.exit(1);
});
