// The seven picture settings by their INI keys: read from the address's query or the browser's
// storage (whole numbers only, brought into the dialog's ranges by the module), and written back
// to both, so that a link reproduces a look.
'use strict';

const GlimraSettings = (() => {
  // The address's order, which the module's GlimraStart and GlimraClampSetting also use.
  const keys = ['cycle', 'cir', 'pal', 'one', 'dx_r', 'dx_g', 'dx_b'];
  const defaults = { cycle: 1, cir: 1, pal: 1, one: 1, dx_r: 5, dx_g: 10, dx_b: 3 };
  const storageKey = 'glimra.settings';
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

  // Keeps the settings in the browser's storage and in the address.
  function keep(settings) {
    const query = toQuery(settings);
    try {
      window.localStorage.setItem(storageKey, query);
    } catch (e) {
      // Without storage the address still carries the look.
    }
    try {
      window.history.replaceState(null, '', `?${query}`);
    } catch (e) {
      // A browser may refuse to rewrite a file:// address; the storage still keeps the look.
    }
  }

  // What the page was asked for: the settings (the address's when it names any, else the stored
  // ones), a still frame count or null, and whether to benchmark.
  function parseRequest(search, clamp) {
    const params = new URLSearchParams(search);
    const source = hasSettings(params) ? params : readStored();
    let frames = wholeNumber(params.get('frames'));
    if (frames !== null) frames = Math.min(Math.max(frames, 1), maxStillFrames);
    return {
      settings: fromParams(source, clamp),
      frames,
      bench: params.get('bench') === '1',
    };
  }

  return { keys, parseRequest, keep };
})();
