// The script's text box. The script is bytes, shown one character per byte (Latin-1); a text box
// takes a carriage return for a line break, so a lone CR byte is shown as the symbol U+240D, as
// the desktop editor shows it, and turned back on the way to the editor.

const kCarriageReturn = '\r';
const kCarriageReturnSymbol = '\u240D';

export function scriptToBox(text) {
  return text.replaceAll(kCarriageReturn, kCarriageReturnSymbol);
}

export function boxToScript(text) {
  return text.replaceAll(kCarriageReturnSymbol, kCarriageReturn);
}

// The text to the editor as its UTF-16 code units where the module takes them so (far quicker
// for a long script than a string, which crosses one character at a time).
function sendText(editor, text) {
  if (typeof editor.setScriptUnits !== 'function') return editor.setScriptText(text);
  const units = new Uint16Array(text.length);
  for (let i = 0; i < text.length; ++i) units[i] = text.charCodeAt(i);
  return editor.setScriptUnits(units);
}

// Hands the box's text to the editor. The editor refuses a text with a character no script byte
// holds, naming the first; such characters (pasted curly quotes, say) are left out one by one
// and the box shows what the script holds. Returns the text the editor took.
export function applyBoxText(editor, box) {
  let text = boxToScript(box.value);
  let caret = box.selectionStart;
  let removed = false;
  for (;;) {
    const answer = sendText(editor, text);
    if (answer.accepted) break;
    const width = answer.character >= 0xD800 && answer.character <= 0xDBFF ? 2 : 1;
    text = text.slice(0, answer.offset) + text.slice(answer.offset + width);
    if (answer.offset < caret) caret -= Math.min(width, caret - answer.offset);
    removed = true;
  }
  if (removed) {
    box.value = scriptToBox(text);
    box.setSelectionRange(caret, caret);
  }
  return { text, removed };
}

// The character offset where line `line` starts in `text` (lines joined by '\n'); null past the
// last line.
export function lineStart(text, line) {
  let at = 0;
  for (let n = 0; n < line; ++n) {
    at = text.indexOf('\n', at);
    if (at < 0) return null;
    ++at;
  }
  return at;
}

// Puts the caret at the start of line `line` and scrolls that line to the top of the box.
export function showLine(box, line) {
  const start = lineStart(box.value, line);
  if (start === null) return;
  box.setSelectionRange(start, start);
  const lineHeight = parseFloat(getComputedStyle(box).lineHeight) || 16;
  box.scrollTop = line * lineHeight;
}
