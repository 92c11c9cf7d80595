// Decodes the PNGs the tests meet (8-bit RGB, RGBA or indexed, not interlaced) into RGB bytes.
'use strict';

const zlib = require('zlib');

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a);
  const pb = Math.abs(p - b);
  const pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

function decodePng(file) {
  let width = 0;
  let height = 0;
  let type = 0;
  let palette = null;
  const data = [];
  for (let at = 8; at < file.length;) {
    const length = file.readUInt32BE(at);
    const kind = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      [width, height, type] = [body.readUInt32BE(0), body.readUInt32BE(4), body[9]];
      if (body[8] !== 8 || body[12] !== 0) throw new Error('unsupported PNG');
    } else if (kind === 'PLTE') palette = body;
    else if (kind === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const channels = { 2: 3, 3: 1, 6: 4 }[type];
  const stride = width * channels;
  const raw = zlib.inflateSync(Buffer.concat(data));
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? rows[y * stride + x - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      rows[y * stride + x] = (raw[y * (stride + 1) + 1 + x] + predictor) & 0xff;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i) {
    if (type === 3) palette.copy(rgb, i * 3, rows[i] * 3, rows[i] * 3 + 3);
    else rows.copy(rgb, i * 3, i * channels, i * channels + 3);
  }
  return { width, height, rgb };
}

module.exports = { decodePng };
