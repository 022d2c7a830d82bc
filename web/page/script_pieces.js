// The script cut into pieces for the text box, which holds only the piece being edited: a
// browser's text box lays out its whole text again at every key, and a 1,000-entry script takes
// longer than a key may. A piece runs from a line that opens an entry (or from the script's
// start) to the line break before the next such line; that break belongs to no piece, so the
// pieces and the breaks between them give back the script.
//
// Offsets are those of the whole script as the box shows it.

const kOpeningLine = /^[ \t]*\.string/gim;

// The offsets where pieces start, ascending: 0 and every line that opens an entry.
export function pieceStarts(text) {
  const starts = [0];
  kOpeningLine.lastIndex = 0;
  for (let match = kOpeningLine.exec(text); match; match = kOpeningLine.exec(text)) {
    if (match.index > 0) starts.push(match.index);
    // An empty match (never, as the pattern is written) would not move on.
    if (kOpeningLine.lastIndex === match.index) ++kOpeningLine.lastIndex;
  }
  return starts;
}

function pieceIndex(starts, offset) {
  let low = 0;
  let high = starts.length - 1;
  while (low < high) {
    const middle = (low + high + 1) >> 1;
    if (starts[middle] <= offset) low = middle;
    else high = middle - 1;
  }
  return low;
}

// The stretch [start, end) of every piece that holds an offset from `from` to `to`: the text
// box's window over the script. `end` is the script's end or the line break before a piece.
export function windowOver(text, starts, from, to = from) {
  const first = pieceIndex(starts, Math.max(0, from));
  const last = pieceIndex(starts, Math.min(text.length, to));
  return { start: starts[first], end: last + 1 < starts.length ? starts[last + 1] - 1 : text.length };
}

// What one edit of `before` gave `after`: at offset `at`, `removed` became `inserted`; null when
// nothing changed. The text box reports only that something changed, not what.
export function changeBetween(before, after) {
  if (before === after) return null;
  let head = 0;
  const shorter = Math.min(before.length, after.length);
  while (head < shorter && before.charCodeAt(head) === after.charCodeAt(head)) ++head;
  let tail = 0;
  while (tail < shorter - head &&
         before.charCodeAt(before.length - 1 - tail) === after.charCodeAt(after.length - 1 - tail)) {
    ++tail;
  }
  return { at: head, removed: before.slice(head, before.length - tail), inserted: after.slice(head, after.length - tail) };
}

export function applyChange(text, { at, removed, inserted }) {
  return text.slice(0, at) + inserted + text.slice(at + removed.length);
}
