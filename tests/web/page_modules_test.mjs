// The page's own modules under Node, where they do not need a browser: the text box's carriage
// return symbol, the characters a script cannot hold left out at the right place, the pieces the
// text box holds, Undo's steps, the changes kept in the browser's storage, the bytes of a saved
// script and what a dropped file is taken for.
//
//   node page_modules_test.mjs PAGE_DIR

import assert from 'node:assert/strict';
import path from 'node:path';
import test from 'node:test';
import { pathToFileURL } from 'node:url';

const pageDir = process.argv[2];
assert.ok(pageDir, 'usage: page_modules_test.mjs PAGE_DIR');
const load = (name) => import(pathToFileURL(path.join(pageDir, name)).href);
const { boxToScript, lineStart, scriptToBox, sendChange } = await load('script_box.js');
const { applyChange, changeBetween, pieceStarts, windowOver } = await load('script_pieces.js');
const { UndoSteps } = await load('undo_steps.js');
const { sameBytes, scriptFileBytes, translatedName } = await load('downloads.js');
const { kindOfFile, putProjectFile } = await load('files.js');

// An editor that refuses, as the module does, the first character past U+00FF, taking changes
// as stretches (`stretches`) or only whole texts.
function refusingEditor(script, stretches) {
  const taken = [];
  const refusal = (units, base) => {
    const offset = units.findIndex((unit) => unit > 0xFF);
    return offset < 0 ? null : { accepted: false, offset: base + offset, character: units[offset] };
  };
  const editor = {
    taken,
    script,
    setScriptUnits(units) {
      const refused = refusal([...units], 0);
      if (refused) return refused;
      editor.script = String.fromCharCode(...units);
      taken.push(['whole', editor.script]);
      return { accepted: true };
    },
  };
  if (stretches) {
    editor.replaceScriptUnits = (start, end, units) => {
      if (end > editor.script.length) return { accepted: false, offset: -1 };
      const refused = refusal([...units], start);
      if (refused) return refused;
      const inserted = String.fromCharCode(...units);
      editor.script = editor.script.slice(0, start) + inserted + editor.script.slice(end);
      taken.push(['stretch', start, end, inserted]);
      return { accepted: true };
    };
  }
  return editor;
}

test('a lone carriage return is shown as its symbol and goes back as the byte', () => {
  const script = 'a\rb\n.STRING 1\n\u00e9\r';
  assert.equal(scriptToBox(script), 'a\u240Db\n.STRING 1\n\u00e9\u240D');
  assert.equal(boxToScript(scriptToBox(script)), script);
});

test('characters no script byte holds are left out of a change one by one, the rest taken', () => {
  for (const stretches of [true, false]) {
    const before = 'ab\ncd';
    const editor = refusingEditor(before, stretches);
    // A curly apostrophe and an emoji (two UTF-16 units) typed over 'b', with a CR symbol.
    const change = { at: 1, removed: 'b', inserted: 'It\u2019s \uD83D\uDE00 ok\u240D' };
    const taken = sendChange(editor, change, applyChange(before, change));
    assert.deepEqual(taken, { at: 1, removed: 'b', inserted: 'Its  ok\u240D' }, `stretches: ${stretches}`);
    assert.equal(editor.script, 'aIts  ok\r\ncd', 'the editor holds the script with a CR byte');
    assert.equal(editor.taken.length, 1, 'the editor took the change once, without them');
    assert.equal(editor.taken[0][0], stretches ? 'stretch' : 'whole');
  }
  // A stretch the editor does not hold (the page and the module out of step): the whole text.
  const editor = refusingEditor('abc', true);
  const change = { at: 5, removed: '', inserted: 'x' };
  sendChange(editor, change, 'abcdex');
  assert.deepEqual(editor.taken, [['whole', 'abcdex']]);
});

test('the text box\'s pieces: from each line opening an entry to the line end before the next', () => {
  const text = 'head\n.STRING 0\nab\n.ENDS\n\n  .string 1\ncd\n.ENDS\n';
  const starts = pieceStarts(text);
  assert.deepEqual(starts, [0, 5, 25]);
  assert.deepEqual(pieceStarts('.STRING 0\nx'), [0], 'a script opening with an entry has no head');
  const over = (from, to) => { const { start, end } = windowOver(text, starts, from, to); return text.slice(start, end); };
  assert.equal(over(7), '.STRING 0\nab\n.ENDS\n');
  assert.equal(over(5), '.STRING 0\nab\n.ENDS\n', 'an offset at a piece\'s start is in that piece');
  assert.equal(over(24), '.STRING 0\nab\n.ENDS\n', 'the line end before a piece closes the one before');
  assert.equal(over(2), 'head');
  assert.equal(over(30), '  .string 1\ncd\n.ENDS\n', 'the last piece runs to the end');
  assert.equal(over(2, 30), text, 'a selection over pieces holds them all');
  assert.equal(over(-3, 999), text, 'offsets past the text are its ends');
  // The pieces and the line ends between them give back the script.
  let joined = '';
  for (let i = 0; i < starts.length; ++i) joined += (i > 0 ? '\n' : '') + over(starts[i]);
  assert.equal(joined, text);
});

test('a change found between two texts, and made again', () => {
  assert.equal(changeBetween('abc', 'abc'), null);
  assert.deepEqual(changeBetween('abc', 'abxc'), { at: 2, removed: '', inserted: 'x' });
  assert.deepEqual(changeBetween('aaa', 'aa'), { at: 2, removed: 'a', inserted: '' }, 'a run loses its end');
  assert.deepEqual(changeBetween('abcd', 'aXYd'), { at: 1, removed: 'bc', inserted: 'XY' });
  for (const [before, after] of [['', 'new'], ['old', ''], ['a\nb', 'a\n\nb'], ['same start', 'same']]) {
    assert.equal(applyChange(before, changeBetween(before, after)), after);
  }
});

test('Undo\'s steps: a typed run is one step, a deleted run another, a move ends a step', () => {
  const steps = new UndoSteps();
  const at = (n) => ({ start: n, end: n });
  let text = '';
  const make = (change) => {
    steps.record(change, at(change.at + change.removed.length), at(change.at + change.inserted.length));
    text = applyChange(text, change);
  };
  for (const [i, character] of [...'Hello'].entries()) make({ at: i, removed: '', inserted: character });
  make({ at: 5, removed: '', inserted: '\n' });  // a line end is a step of its own
  make({ at: 6, removed: '', inserted: 'W' });
  make({ at: 6, removed: 'W', inserted: '' });    // Backspace
  make({ at: 4, removed: 'o', inserted: '' });    // the caret moved back: Delete, not after the last step
  steps.close();
  make({ at: 3, removed: 'l', inserted: '' });
  make({ at: 2, removed: 'l', inserted: '' });    // Backspace after it: the same step
  assert.equal(text, 'He\n');
  const undone = [];
  for (let step = steps.undo(); step; step = steps.undo()) {
    text = applyChange(text, step.change);
    undone.push(text);
  }
  assert.deepEqual(undone, ['Hell\n', 'Hello\n', 'Hello\nW', 'Hello\n', 'Hello', '']);
  assert.deepEqual(steps.redo().selection, at(5), 'Redo puts the caret after the step');
  const redone = steps.redo();
  text = applyChange(applyChange(text, { at: 0, removed: '', inserted: 'Hello' }), redone.change);
  assert.equal(text, 'Hello\n');
  make({ at: 6, removed: '', inserted: '!' });
  assert.equal(steps.redo(), null, 'a new change forgets what was undone');
});

test('the typed text kept in the browser: changes on their text, whole again when they grow, none on another text', async () => {
  const items = new Map();
  globalThis.localStorage = {
    getItem: (key) => (items.has(key) ? items.get(key) : null),
    setItem: (key, value) => items.set(key, String(value)),
    removeItem: (key) => items.delete(key),
    key: (i) => [...items.keys()][i] ?? null,
    get length() { return items.size; },
  };
  const storage = await load('storage.js');
  let text = '.STRING 0\n\n.ENDS\n';
  const type = (change) => {
    text = applyChange(text, change);
    assert.ok(storage.keepChange('CRC', 'Block D40000', change, () => text));
  };
  storage.startBlock('CRC', 'Block D40000');
  type({ at: 10, removed: '', inserted: 'H' });  // the first change keeps the text whole
  const wholeWrites = () => JSON.parse(items.get('corvane.script.CRC.Block D40000')).generation;
  const first = wholeWrites();
  type({ at: 11, removed: '', inserted: 'i' });
  type({ at: 10, removed: 'Hi', inserted: 'Caf\u00e9' });
  assert.equal(wholeWrites(), first, 'a key keeps only its change');
  assert.equal(storage.keptText('CRC', 'Block D40000'), text);
  assert.deepEqual(storage.keptBlocks('CRC').map((block) => block.savedAsFile), [false]);

  for (let i = 0; i < 250; ++i) type({ at: 10, removed: '', inserted: 'x' });
  assert.notEqual(wholeWrites(), first, 'many changes: the text is kept whole again');
  assert.equal(storage.keptText('CRC', 'Block D40000'), text);
  storage.markSaved('CRC', 'Block D40000', text);
  assert.deepEqual(storage.keptBlocks('CRC').map((block) => block.savedAsFile), [true]);

  // Changes of another generation (a crash after the text was kept whole again) are left out, and
  // a change that does not fit its text ends the replay.
  const changesKey = 'corvane.changes.CRC.Block D40000';
  items.set(changesKey, JSON.stringify({ generation: 'older', changes: [[0, 0, 'lost']], at: 0 }));
  assert.equal(storage.keptText('CRC', 'Block D40000'), text);
  const generation = wholeWrites();
  items.set(changesKey, JSON.stringify({ generation, changes: [[0, 0, 'A'], [999, 1, 'B'], [0, 0, 'C']], at: 0 }));
  assert.equal(storage.keptText('CRC', 'Block D40000'), 'A' + text);
  items.set(changesKey, '{not json');
  assert.equal(storage.keptText('CRC', 'Block D40000'), text);
  storage.forgetText('CRC', 'Block D40000');
  assert.equal(storage.keptText('CRC', 'Block D40000'), null);
  assert.equal(items.has(changesKey), false);
});

test('a saved script is its Latin-1 bytes with CR LF line ends, as the desktop writes it', () => {
  assert.deepEqual([...scriptFileBytes('.STRING 0\nCaf\u00e9\r\n')],
                   [0x2E, 0x53, 0x54, 0x52, 0x49, 0x4E, 0x47, 0x20, 0x30, 13, 10, 0x43, 0x61, 0x66, 0xE9, 13, 13, 10]);
  assert.ok(sameBytes(new Uint8Array([1, 2]), new Uint8Array([1, 2])));
  assert.ok(!sameBytes(new Uint8Array([1, 2]), new Uint8Array([1, 3])));
  assert.ok(!sameBytes(new Uint8Array([1, 2]), new Uint8Array([1, 2, 0])));
  assert.equal(translatedName('corvane.smc'), 'corvane (translated).smc');
  assert.equal(translatedName('corvane.smc', '.ips'), 'corvane (translated).ips');
});

test('a dropped file is taken for what its name says', () => {
  assert.equal(kindOfFile('Corvane.SMC'), 'rom');
  assert.equal(kindOfFile('corvane_headered.fig'), 'rom');
  assert.equal(kindOfFile('corvane.tbl'), 'table');
  assert.equal(kindOfFile('00D40000.txt'), 'script');
  assert.equal(kindOfFile('corvane.txt'), 'data');
  assert.equal(kindOfFile('notes.md'), null);
});

test('a project folder\'s files go under /project by their path, none climbing out of it', async () => {
  const written = new Map();
  const folders = [];
  const fileSystem = { mkdirTree: (folder) => folders.push(folder), writeFile: (file, bytes) => written.set(file, bytes) };
  const file = (relativePath, text) => ({ webkitRelativePath: relativePath, name: relativePath.split('/').pop(),
                                          arrayBuffer: async () => new TextEncoder().encode(text).buffer });
  const put = await putProjectFile(fileSystem, file('game/Dumps/00D40000.txt', '.STRING 0'));
  assert.deepEqual(put.path, '/project/game/Dumps/00D40000.txt');
  assert.equal(put.root, '/project/game');
  assert.deepEqual(folders, ['/project/game/Dumps']);
  assert.equal(new TextDecoder().decode(written.get(put.path)), '.STRING 0');
  for (const climbing of ['game/../../etc/passwd', 'game//x', './x']) {
    assert.equal(await putProjectFile(fileSystem, file(climbing, 'x')), null, climbing);
  }
  assert.equal(written.size, 1, 'nothing else was written');
});

test('the start of a script line, for the caret at an entry', () => {
  assert.equal(lineStart('a\nbc\n\nd', 0), 0);
  assert.equal(lineStart('a\nbc\n\nd', 2), 5);
  assert.equal(lineStart('a\nbc\n\nd', 3), 6);
  assert.equal(lineStart('a\nbc\n\nd', 4), null);
});

test('the text around the box is the script\'s: after a new text, a change and a move to another entry', async () => {
  globalThis.getComputedStyle = () => ({ lineHeight: '16px' });
  const { ScriptWindow } = await load('script_window.js');
  const box = { value: '', style: {}, rows: 0, selectionStart: 0, selectionEnd: 0, selectionDirection: 'none',
                setSelectionRange(start, end, direction = 'none') { Object.assign(this, { selectionStart: start, selectionEnd: end, selectionDirection: direction }); } };
  const before = { textContent: '' };
  const after = { textContent: '' };
  const view = new ScriptWindow({ scroller: { clientHeight: 160, scrollTop: 0 }, before, box, after });
  const drawn = () => before.textContent + box.value + (after.textContent ? `\n${after.textContent}` : '');
  const text = '.STRING 0\na\n.ENDS\n.STRING 1\nb\n.ENDS\n.STRING 2\nc\n.ENDS\n';
  view.setText(text, 12);
  assert.equal(box.value, '.STRING 0\na\n.ENDS');
  assert.equal(drawn(), text);
  // Replace All changed the last entry only: the text below the box follows.
  const replaced = text.replace('c', 'C');
  view.setText(replaced, 12);
  assert.equal(drawn(), replaced);
  // A new text that is the box's entry alone: nothing is left drawn below it.
  view.setText('.STRING 0\na\n.ENDS', 12);
  assert.equal(after.textContent, '');
  view.setText(replaced, 12);
  // Typed into the box, then the arrow key past its last line: the box holds both entries until
  // the next key, which narrows it to the entry the caret went to.
  box.value = '.STRING 0\nax\n.ENDS';
  box.setSelectionRange(12, 12);
  assert.deepEqual(view.takeInput(), { at: 11, removed: '', inserted: 'x' });
  box.setSelectionRange(18, 18);  // the end of the box's last line
  view.beforeKey({ key: 'ArrowDown' });
  assert.equal(box.value, '.STRING 0\nax\n.ENDS\n.STRING 1\nb\n.ENDS');
  box.setSelectionRange(29, 29);  // where the browser's arrow key put the caret: line 2 of entry 1
  view.beforeKey({ key: 'b' });
  assert.equal(box.value, '.STRING 1\nb\n.ENDS');
  assert.deepEqual(view.selection(), { start: 29, end: 29 });
  assert.equal(drawn(), replaced.replace('a', 'ax'));
  assert.equal(view.whole(), replaced.replace('a', 'ax'));
});
