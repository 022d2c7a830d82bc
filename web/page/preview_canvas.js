// The preview screen on its canvas: the library's 5-6-5 pixels, each channel widened by
// repeating its top bits (so the top bits give the pixel back), shown at a whole-number scale
// with nearest-neighbour stretching, so that every game pixel stays a sharp square.

export function paintScreen(canvas, screen) {
  // Measuring the frame makes the browser lay the page out at once, a long script's text box
  // with it: only a new screen size asks for it, a resize of the frame tells keepFitted.
  if (canvas.width !== screen.width || canvas.height !== screen.height) {
    canvas.width = screen.width;
    canvas.height = screen.height;
    fitToFrame(canvas);
  }
  const context = canvas.getContext('2d');
  if (!painted.has(canvas) || painted.get(canvas).width !== screen.width || painted.get(canvas).height !== screen.height) {
    painted.set(canvas, context.createImageData(screen.width, screen.height));
  }
  const image = painted.get(canvas);
  // Four bytes at a time, red first in memory: every browser's machine is little-endian.
  const rgba = new Uint32Array(image.data.buffer);
  const colours = colourTable();
  const pixels = screen.pixels;
  for (let i = 0; i < pixels.length; ++i) rgba[i] = colours[pixels[i]];
  context.putImageData(image, 0, 0);
}

// Each canvas's image, painted again at every key rather than made anew.
const painted = new WeakMap();

// The RGBA word of every 5-6-5 pixel, worked out once.
let colours = null;
function colourTable() {
  if (colours) return colours;
  colours = new Uint32Array(65536);
  for (let pixel = 0; pixel < 65536; ++pixel) {
    const red = pixel >> 11;
    const green = (pixel >> 5) & 0x3F;
    const blue = pixel & 0x1F;
    colours[pixel] = (0xFF << 24 | ((blue << 3) | (blue >> 2)) << 16 | ((green << 2) | (green >> 4)) << 8 |
                      ((red << 3) | (red >> 2))) >>> 0;
  }
  return colours;
}

// The largest whole-number scale at which the canvas fits its frame's width (at least 1).
export function fitToFrame(canvas) {
  const frame = canvas.parentElement;
  const scale = Math.max(1, Math.floor(frame.clientWidth / canvas.width));
  canvas.style.width = `${canvas.width * scale}px`;
  canvas.style.height = `${canvas.height * scale}px`;
}

export function keepFitted(canvas) {
  new ResizeObserver(() => fitToFrame(canvas)).observe(canvas.parentElement);
}
