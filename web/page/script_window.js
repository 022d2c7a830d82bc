// The script as the translator sees it: the text box holds the pieces of the script the
// selection is in (script_pieces.js), the text before and after them is drawn above and below
// it in the same font and line height, so the three read as one text. A key that would move or
// delete past the box's first or last line first widens the box by the next piece; the next
// other key narrows it again. Offsets are those of the whole script as the box shows it.

import { lineStart } from './script_box.js';
import { applyChange, changeBetween, pieceStarts, windowOver } from './script_pieces.js';

// The start of the line `count` lines after (before, when negative) the line holding `offset`.
function offsetLinesAway(text, offset, count) {
  let at = offset > 0 ? text.lastIndexOf('\n', offset - 1) + 1 : 0;
  for (; count > 0 && at < text.length; --count) {
    const next = text.indexOf('\n', at);
    at = next < 0 ? text.length : next + 1;
  }
  for (; count < 0 && at > 0; ++count) at = at >= 2 ? text.lastIndexOf('\n', at - 2) + 1 : 0;
  return at;
}

function countLines(text, end = text.length) {
  let lines = 0;
  for (let at = text.indexOf('\n'); at >= 0 && at < end; at = text.indexOf('\n', at + 1)) ++lines;
  return lines;
}

export class ScriptWindow {
  // `scroller`: the scrolled view holding `before`, `box` (a textarea) and `after`.
  constructor({ scroller, before, box, after }) {
    Object.assign(this, { scroller, before, box, after });
    // The script is this.head + this.shown + this.tail, kept in three parts so that a key does
    // not copy the whole script: this.shown is the box's text when the page last set or read it.
    this.head = '';
    this.shown = '';
    this.tail = '';
    this.start = 0;       // the box holds the script from this.start to this.end
    this.end = 0;
    this.firstLine = 0;   // the line of the script the box starts with
    this.starts = null;   // pieceStarts(this.whole()), worked out when needed
    this.wide = false;    // the box may hold more than the pieces of its selection
    this.widest = 0;      // the box's longest line, in characters
  }

  whole() {
    return this.head + this.shown + this.tail;
  }

  length() {
    return this.head.length + this.shown.length + this.tail.length;
  }

  selection() {
    return { start: this.start + this.box.selectionStart, end: this.start + this.box.selectionEnd };
  }

  // Read once a text is set (asking the style at every key would lay the page out again).
  lineHeight() {
    this.lineHeightPx ??= parseFloat(getComputedStyle(this.box).lineHeight) || 16;
    return this.lineHeightPx;
  }

  // A new text (a block chosen, a script replaced) with the caret at `caret`.
  setText(text, caret = 0) {
    this.lineHeightPx = null;
    this.head = '';
    this.shown = text;
    this.tail = '';
    this.starts = null;
    this.start = -1;  // the box and the text around it are set again
    const at = Math.min(caret, text.length);
    this.place(at, at);
  }

  // The box over the pieces that hold [from, to], with that selection (`direction` 'backward'
  // when its moving end is `from`).
  place(from, to, direction = 'none', over = { from, to }) {
    const text = this.whole();
    this.starts ??= pieceStarts(text);
    const { start, end } = windowOver(text, this.starts, Math.min(from, over.from), Math.max(to, over.to));
    if (start !== this.start || end !== this.end || this.box.value !== this.shown) {
      this.start = start;
      this.end = end;
      this.head = text.slice(0, start);
      this.shown = text.slice(start, end);
      this.tail = text.slice(end);
      // The line break before the box and the one after it are the blocks' edges.
      this.before.textContent = this.head;
      this.after.textContent = this.tail.slice(1);
      this.firstLine = countLines(this.head);
      this.box.value = this.shown;
      this.fit();
    }
    this.box.setSelectionRange(from - start, to - start, direction);
    const windowStarts = this.starts.filter((piece) => piece > start && piece <= end);
    this.wide = windowStarts.length > 0;
  }

  // The box as tall as its lines and as wide as its longest, so that it never scrolls itself.
  fit() {
    const lines = this.shown.split('\n');
    this.box.rows = lines.length;
    this.box.style.height = `${lines.length * this.lineHeight()}px`;
    this.widest = lines.reduce((widest, line) => Math.max(widest, line.length), 0);
    this.box.style.width = `${this.widest + 2}ch`;
  }

  // After the box's input event: the box's change in the whole script, null when none.
  takeInput() {
    const value = this.box.value;
    const change = changeBetween(this.shown, value);
    this.shown = value;
    if (!change) return null;
    change.at += this.start;
    this.end = this.start + value.length;
    this.starts = null;
    // A line typed or pasted may open an entry: the next key finds the pieces again.
    if (/[\n.]/.test(change.inserted)) this.wide = true;
    const caret = this.box.selectionEnd;
    const lineLength = caret - (value.lastIndexOf('\n', caret - 1) + 1);
    if (change.inserted.includes('\n') || change.removed.includes('\n') || lineLength > this.widest) this.fit();
    return change;
  }

  // A change the page makes (Undo, Redo, a character left out), then the selection shown.
  change(change, selection) {
    const text = applyChange(this.whole(), change);
    this.head = '';
    this.shown = text;
    this.tail = '';
    this.starts = null;
    this.start = -1;  // the box and the text around it are set again
    this.place(selection.start, selection.end);
    this.reveal();
  }

  // Before a key's own action: the box widened over the text the key moves or deletes into, or
  // narrowed again to the pieces of its selection.
  beforeKey(event) {
    if (event.isComposing) return;
    const box = this.box;
    const value = box.value;
    const backward = box.selectionDirection === 'backward';
    const moving = backward ? box.selectionStart : box.selectionEnd;
    const collapsed = box.selectionStart === box.selectionEnd;
    const firstLine = value.lastIndexOf('\n', moving - 1) < 0;
    const lastLine = value.indexOf('\n', moving) < 0;
    const pageLines = Math.max(1, Math.floor(this.scroller.clientHeight / this.lineHeight()));
    const at = this.start + moving;
    let reach = null;  // the offset the key may reach outside the box
    switch (event.key) {
      case 'ArrowUp': if (firstLine) reach = this.start - 1; break;
      case 'ArrowDown': if (lastLine) reach = this.end + 1; break;
      case 'ArrowLeft': if (moving === 0) reach = this.start - 1; break;
      case 'ArrowRight': if (moving === value.length) reach = this.end + 1; break;
      case 'Backspace': if (collapsed && moving === 0) reach = this.start - 1; break;
      case 'Delete': if (collapsed && moving === value.length) reach = this.end + 1; break;
      case 'PageUp': reach = offsetLinesAway(this.whole(), at, -pageLines); break;
      case 'PageDown': reach = offsetLinesAway(this.whole(), at, pageLines); break;
      case 'Home': if (event.ctrlKey) reach = 0; break;
      case 'End': if (event.ctrlKey) reach = this.length(); break;
      case 'a': case 'A': if (event.ctrlKey && !event.shiftKey && !event.altKey) reach = this.length(); break;
      default: break;
    }
    if (reach !== null && (reach < 0 || reach > this.length())) reach = null;
    if (reach !== null && (reach < this.start || reach > this.end)) {
      const { start, end } = this.selection();
      const over = event.key.toLowerCase() === 'a' ? { from: 0, to: this.length() } : { from: reach, to: reach };
      this.place(start, end, box.selectionDirection, over);
      this.wide = true;
    } else if (reach === null && this.wide) {
      const { start, end } = this.selection();
      this.place(start, end, box.selectionDirection);
    }
  }

  // A click in the text above or below the box: the box moves there, caret and all. A selection
  // made there is left alone, for copying.
  clicked(pre) {
    const selection = document.getSelection();
    if (!selection || !selection.isCollapsed || !pre.contains(selection.anchorNode)) return;
    const at = (pre === this.before ? 0 : this.end + 1) + selection.anchorOffset;
    this.box.focus({ preventScroll: true });
    this.place(at, at);
  }

  // The box over `start` to `end`, selected and scrolled into view (a match found).
  select(start, end) {
    this.box.focus({ preventScroll: true });
    this.place(start, end);
    this.reveal();
  }

  // The caret at the start of line `line`, that line at the top of the view.
  showLine(line) {
    const text = this.whole();
    const at = lineStart(text, line);
    if (at === null) return;
    this.place(at, at);
    this.scroller.scrollTop = countLines(text, at) * this.lineHeight();
  }

  // The view scrolled, if it must, so that the selection's moving end is in it.
  reveal() {
    const box = this.box;
    const moving = box.selectionDirection === 'backward' ? box.selectionStart : box.selectionEnd;
    const top = (this.firstLine + countLines(this.shown, moving)) * this.lineHeight();
    const view = this.scroller;
    if (top < view.scrollTop) view.scrollTop = top;
    else if (top + this.lineHeight() > view.scrollTop + view.clientHeight) view.scrollTop = top + this.lineHeight() - view.clientHeight;
  }
}
