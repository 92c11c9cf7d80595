// The seven picture settings by their INI keys: read from the address's query or the browser's
// storage (whole numbers only, brought into the dialog's ranges by the module), and written back
// to both, so that a link reproduces a look.
'use strict';

const GlimraSettings = (() => {
  // The address's order, which the module's GlimraStart and GlimraClampSetting also use.
  const keys = ['cycle', 'cir', 'pal', 'one', 'dx_r', 'dx_g', 'dx_b'];
  const defaults = { cycle: 1, cir: 1, pal: 1, one: 1, dx_r: 5, dx_g: 10, dx_b: 3 };
  const storageKey = 'glimra.settings';
  // A few writes a second: well below the rate at which the browser starts ignoring them.
  const keepIntervalMs = 250;
  // A still of more frames than this would keep the page busy for minutes.
  const maxStillFrames = 1000000;

  // The value of a whole number, held in 32 bits as the settings file's reader holds it
  // (saturated); null for anything else.
  function wholeNumber(text) {
    if (text === null || text === undefined) return null;
    const trimmed = String(text).trim();
    if (!/^[+-]?[0-9]+$/.test(trimmed)) return null;
    const n = BigInt(trimmed);
    const limit = 2147483647n;
    return Number(n > limit ? limit : n < -limit - 1n ? -limit - 1n : n);
  }

  // The settings that `params` (URLSearchParams) gives; missing or malformed values take the
  // defaults, whole numbers go through `clamp(index in keys, value)`.
  function fromParams(params, clamp) {
    const settings = {};
    keys.forEach((key, index) => {
      const n = wholeNumber(params.get(key));
      settings[key] = n === null ? defaults[key] : clamp(index, n);
    });
    return settings;
  }

  function toQuery(settings) {
    return keys.map((key) => `${key}=${settings[key]}`).join('&');
  }

  function hasSettings(params) {
    return keys.some((key) => params.has(key));
  }

  function readStored() {
    try {
      return new URLSearchParams(window.localStorage.getItem(storageKey) || '');
    } catch (e) {
      return new URLSearchParams(''); // storage refused (private mode, file policy)
    }
  }

  // Writes a look to the browser's storage, the tab's own storage and the address.
  function write(query) {
    try {
      window.localStorage.setItem(storageKey, query);
      window.sessionStorage.setItem(storageKey, query);
    } catch (e) {
      // Without storage the address still carries the look.
    }
    try {
      window.history.replaceState(null, '', `?${query}`);
    } catch (e) {
      // A browser may refuse to rewrite a file:// address; the storage still keeps the look.
    }
  }

  // A function that keeps the settings it is given in the storage and the address. The browser
  // silently ignores address rewrites beyond a couple of hundred in ten seconds (a slider
  // dragged for a few seconds gets there), so writes come at most every keepIntervalMs, the last
  // change always follows, and a change still waiting is written when the page is hidden or left.
  function makeKeeper() {
    let waiting = null;
    let timer = 0;
    let lastWrite = -Infinity;
    const flush = () => {
      clearTimeout(timer);
      timer = 0;
      if (waiting === null) return;
      write(waiting);
      waiting = null;
      lastWrite = performance.now();
    };
    window.addEventListener('pagehide', flush);
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') flush();
    });
    return (settings) => {
      waiting = toQuery(settings);
      const wait = lastWrite + keepIntervalMs - performance.now();
      if (wait <= 0) flush();
      else if (!timer) timer = setTimeout(flush, wait);
    };
  }

  // The look this tab showed last when the page is being reloaded: a reload starts from the
  // address as it was when the reload began, which may lag the last change by one write.
  function reloadedLook() {
    const [navigation] = performance.getEntriesByType('navigation');
    if (!navigation || navigation.type !== 'reload') return null;
    try {
      const stored = window.sessionStorage.getItem(storageKey);
      return stored === null ? null : new URLSearchParams(stored);
    } catch (e) {
      return null;
    }
  }

  // What the page was asked for: the settings (on a reload of the running page the tab's last
  // look; else the address's when it names any, else the stored ones), a still frame count or
  // null, and whether to benchmark.
  function parseRequest(search, clamp) {
    const params = new URLSearchParams(search);
    let frames = wholeNumber(params.get('frames'));
    if (frames !== null) frames = Math.min(Math.max(frames, 1), maxStillFrames);
    const bench = params.get('bench') === '1';
    const reloaded = frames === null && !bench ? reloadedLook() : null;
    const source = reloaded || (hasSettings(params) ? params : readStored());
    return { settings: fromParams(source, clamp), frames, bench };
  }

  return { keys, parseRequest, makeKeeper };
})();
