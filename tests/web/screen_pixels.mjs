// The preview screens the tests compare: corvtool's PNG files read back into 5-6-5 pixels, and
// two screens compared pixel by pixel.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import zlib from 'node:zlib';

// The 5-6-5 pixels of a PNG file that corvtool wrote: 8-bit RGB rows without filters, each
// channel the 5-6-5 value widened by repeating its top bits, so the top bits give it back.
export function pngPixels565(file) {
  const bytes = fs.readFileSync(file);
  assert.equal(bytes.subarray(1, 4).toString('latin1'), 'PNG');
  let width = 0;
  let height = 0;
  const idat = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.subarray(at + 4, at + 8).toString('latin1');
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      assert.deepEqual([...data.subarray(8, 13)], [8, 2, 0, 0, 0], '8-bit RGB, not interlaced');
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const rowBytes = 1 + width * 3;
  assert.equal(raw.length, rowBytes * height);
  const pixels = new Uint16Array(width * height);
  for (let y = 0; y < height; ++y) {
    assert.equal(raw[y * rowBytes], 0, 'corvtool writes rows without a filter');
    for (let x = 0; x < width; ++x) {
      const at = y * rowBytes + 1 + x * 3;
      pixels[y * width + x] = ((raw[at] >> 3) << 11) | ((raw[at + 1] >> 2) << 5) | (raw[at + 2] >> 3);
    }
  }
  return { width, height, pixels };
}

// Fails naming the first pixel that differs, rather than printing two screens.
export function assertSameScreen(actual, expected, what) {
  assert.equal(actual.width, expected.width, `${what}: width`);
  assert.equal(actual.height, expected.height, `${what}: height`);
  const differs = actual.pixels.findIndex((pixel, i) => pixel !== expected.pixels[i]);
  if (differs >= 0) {
    const x = differs % actual.width;
    const y = Math.floor(differs / actual.width);
    assert.fail(`${what}: pixel (${x}, ${y}) is ${actual.pixels[differs].toString(16)}, ` +
                `corvtool drew ${expected.pixels[differs].toString(16)}`);
  }
}
