// The still (?frames=N): the run's first N frame steps, made in slices of a few milliseconds
// that hand the browser back between them (a million steps take many seconds), with a progress
// line meanwhile; the frame is shown when the last step is made.
'use strict';

const GlimraStill = (() => {
  // Work per slice: the page stays well under the 50 ms at which the browser counts a long task,
  // also when the machine is busy.
  const sliceMs = 10;
  // Steps per call into the module, grown while a call is still this short: the clock is too
  // coarse to time a single step.
  const callMs = 1;

  // Resolves once the browser has had a turn (events, drawing): a message task, which is not
  // held back the way a chain of timers is.
  function browserTurn() {
    return new Promise((resolve) => {
      const channel = new MessageChannel();
      channel.port1.onmessage = resolve;
      channel.port2.postMessage(null);
    });
  }

  // Runs `frames` steps of the module's current run; `onProgress(done)` after each slice but
  // the last.
  async function step(module, frames, onProgress) {
    let done = 0;
    let perCall = 1;
    for (;;) {
      const sliceStart = performance.now();
      while (done < frames && performance.now() - sliceStart < sliceMs) {
        const count = Math.min(perCall, frames - done);
        const callStart = performance.now();
        module._GlimraStep(count);
        done += count;
        if (performance.now() - callStart < callMs) perCall *= 2;
      }
      if (done === frames) return;
      onProgress(done);
      await browserTurn();
    }
  }

  // The progress line, shown while the still is being made; its text is `text(done, frames)`.
  function progressLine(text, frames) {
    const line = document.createElement('p');
    line.id = 'progress';
    line.setAttribute('role', 'status');
    document.body.append(line);
    return {
      show: (done) => {
        line.textContent = text(done.toLocaleString('en-US'), frames.toLocaleString('en-US'));
      },
      remove: () => line.remove(),
    };
  }

  // Makes and shows the still: `start()` begins the run, `present()` shows the module's frame,
  // `text(done, frames)` is the progress line. Resolves when the still is shown; the times of
  // the work are kept in window.glimraStill.
  async function show(module, frames, { start, present, text }) {
    const startMs = performance.now();
    start();
    const line = progressLine(text, frames);
    await step(module, frames, line.show);
    line.remove();
    present();
    window.glimraStill = { frames, startMs, endMs: performance.now() };
  }

  return { show };
})();
