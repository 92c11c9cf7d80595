// The settings panel: the dialog's picture settings with its ranges and texts (Japanese where the
// browser speaks it, English otherwise), shown on any pointer, touch or key and hidden after a few
// idle seconds.
'use strict';

const GlimraPanel = (() => {
  const texts = {
    ja: {
      title: 'グリムラの設定', cir: '合成する円の数', many: '多い', few: '少ない',
      speeds: 'RGB値の変化', small: '小さい', large: '大きい', layout: '表示方法',
      enlarge: '拡大して表示', tile: 'タイル状にならべる', palette: 'パレット',
      cycle: '合成する基底円の周期', long: '長い', short: '短い', fullscreen: '全画面表示',
      palettes: ['アニメーション', 'シフト', '固定', '紅葉', '若葉', '水面', '桜'],
      progress: (done, total) => `フレームを計算しています（${done} / ${total}）`,
    },
    en: {
      title: 'Glimra settings', cir: 'Number of circles', many: 'Many', few: 'Few',
      speeds: 'Change of the RGB values', small: 'Small', large: 'Large',
      layout: 'Display', enlarge: 'Enlarged', tile: 'Tiled',
      palette: 'Palette', cycle: 'Period of the base circles', long: 'Long', short: 'Short',
      fullscreen: 'Full screen',
      palettes: ['Animation', 'Shift', 'Fixed', 'Autumn leaves', 'Young leaves',
        'Water surface', 'Cherry blossom'],
      progress: (done, total) => `Computing frame ${done} of ${total}`,
    },
  };
  // The palette box's order, as in the dialog, and the `pal` value of each entry.
  const paletteValues = [1, 2, 0, 3, 4, 5, 6];
  const idleMs = 4000;

  function element(tag, attributes, children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes || {})) node.setAttribute(name, value);
    for (const child of children || []) {
      node.append(child);
    }
    return node;
  }

  // A slider with the dialog's words at its two ends.
  function slider(name, min, max, left, right, label) {
    const input = element('input', { type: 'range', name, min, max, step: 1 });
    if (label) input.setAttribute('aria-label', label);
    return element('div', { class: 'slider' }, [
      element('span', { class: 'label' }, [label || '']),
      element('span', { class: 'end' }, [left]),
      input,
      element('span', { class: 'end' }, [right]),
    ]);
  }

  function group(legend, children) {
    return element('fieldset', {}, [element('legend', {}, [legend]), ...children]);
  }

  function build(t) {
    const palette = element('select', { name: 'pal', 'aria-label': t.palette },
      t.palettes.map((name, i) => element('option', { value: paletteValues[i] }, [name])));
    const radio = (value, text) => element('label', {}, [
      element('input', { type: 'radio', name: 'one', value }), text]);
    return element('form', { id: 'panel', class: 'panel', autocomplete: 'off' }, [
      element('h1', {}, [t.title]),
      group(t.cir, [slider('cir', 0, 3, t.many, t.few)]),
      group(t.speeds, [
        slider('dx_r', 0, 100, t.small, t.large, 'R'),
        slider('dx_g', 0, 100, t.small, t.large, 'G'),
        slider('dx_b', 0, 100, t.small, t.large, 'B'),
      ]),
      group(t.layout, [radio(1, t.enlarge), radio(0, t.tile)]),
      group(t.palette, [palette]),
      group(t.cycle, [slider('cycle', 1, 20, t.long, t.short)]),
      element('button', { type: 'button', id: 'fullscreen' }, [t.fullscreen]),
    ]);
  }

  // Every setting is one named control (`one` the pair of radio buttons, whose value is the
  // checked one's), holding the setting's value as it is.
  function show(form, settings) {
    for (const key of GlimraSettings.keys) form.elements[key].value = settings[key];
  }

  function read(form) {
    const settings = {};
    for (const key of GlimraSettings.keys) settings[key] = Number(form.elements[key].value);
    return settings;
  }

  // Japanese where the browser speaks it, English otherwise; the page's own language follows.
  function language() {
    const code = (navigator.language || '').toLowerCase().startsWith('ja') ? 'ja' : 'en';
    document.documentElement.lang = code;
    return code;
  }

  // The still's progress line: "done of total" in the page's language.
  function progressText(done, total) {
    return texts[language()].progress(done, total);
  }

  // Builds the panel into `parent` showing `settings`; `onChange(settings)` on every change,
  // `onIdle(idle)` when the visitor goes idle or comes back.
  function create(parent, settings, onChange, onIdle) {
    const form = build(texts[language()]);
    parent.append(form);
    show(form, settings);
    form.addEventListener('input', () => onChange(read(form)));
    form.addEventListener('submit', (event) => event.preventDefault());

    let timer = 0;
    const wake = () => {
      form.classList.add('shown');
      onIdle(false);
      clearTimeout(timer);
      timer = setTimeout(() => {
        form.classList.remove('shown');
        onIdle(true);
      }, idleMs);
    };
    for (const type of ['pointermove', 'pointerdown', 'touchstart', 'keydown', 'wheel']) {
      window.addEventListener(type, wake, { passive: true });
    }
  }

  return { create, progressText };
})();
