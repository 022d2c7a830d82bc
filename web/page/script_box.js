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

function codeUnits(text) {
  const units = new Uint16Array(text.length);
  for (let i = 0; i < text.length; ++i) units[i] = text.charCodeAt(i);
  return units;
}

// The script to the editor: only the stretch a change replaced where the module takes one, else
// the whole text, as UTF-16 code units where the module takes them so (far quicker for a long
// script than a string, which crosses one character at a time).
function sendChanged(editor, whole, at, removedLength, inserted) {
  if (typeof editor.replaceScriptUnits === 'function') {
    const answer = editor.replaceScriptUnits(at, at + removedLength, codeUnits(boxToScript(inserted)));
    if (answer.accepted || answer.offset >= 0) return answer;
  }
  const text = boxToScript(whole());
  return typeof editor.setScriptUnits === 'function' ? editor.setScriptUnits(codeUnits(text)) : editor.setScriptText(text);
}

// Hands one change of the box's text (at `change.at` of the whole script, `change.removed` became
// `change.inserted`) to the editor; `after` is the whole text with the change made. The editor
// refuses a text with a character no script byte holds, naming the first; such characters
// (pasted curly quotes, say) are left out one by one. Returns the change the script took.
export function sendChange(editor, change, after) {
  let inserted = change.inserted;
  const whole = () => after.slice(0, change.at) + inserted + after.slice(change.at + change.inserted.length);
  for (;;) {
    const answer = sendChanged(editor, whole, change.at, change.removed.length, inserted);
    if (answer.accepted) return { ...change, inserted };
    const at = answer.offset - change.at;
    // The rest of the script was taken before: only what this change brought can be refused.
    if (at < 0 || at >= inserted.length) throw new Error(`the editor refused a character at ${answer.offset}, outside the change`);
    const width = answer.character >= 0xD800 && answer.character <= 0xDBFF ? 2 : 1;
    inserted = inserted.slice(0, at) + inserted.slice(at + width);
  }
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
