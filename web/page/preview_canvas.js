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
  const image = context.createImageData(screen.width, screen.height);
  const rgba = image.data;
  const pixels = screen.pixels;
  for (let i = 0, at = 0; i < pixels.length; ++i, at += 4) {
    const pixel = pixels[i];
    const red = pixel >> 11;
    const green = (pixel >> 5) & 0x3F;
    const blue = pixel & 0x1F;
    rgba[at] = (red << 3) | (red >> 2);
    rgba[at + 1] = (green << 2) | (green >> 4);
    rgba[at + 2] = (blue << 3) | (blue >> 2);
    rgba[at + 3] = 255;
  }
  context.putImageData(image, 0, 0);
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
