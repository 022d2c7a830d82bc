// The page's own modules under Node, where they do not need a browser: the text box's carriage
// return symbol, the characters a script cannot hold left out at the right place, the bytes of a
// saved script and what a dropped file is taken for.
//
//   node page_modules_test.mjs PAGE_DIR

import assert from 'node:assert/strict';
import path from 'node:path';
import test from 'node:test';
import { pathToFileURL } from 'node:url';

const pageDir = process.argv[2];
assert.ok(pageDir, 'usage: page_modules_test.mjs PAGE_DIR');
const load = (name) => import(pathToFileURL(path.join(pageDir, name)).href);
const { applyBoxText, boxToScript, lineStart, scriptToBox } = await load('script_box.js');
const { sameBytes, scriptFileBytes, translatedName } = await load('downloads.js');
const { kindOfFile, putProjectFile } = await load('files.js');

// An editor that refuses, as the module does, the first character past U+00FF.
function refusingEditor() {
  const taken = [];
  return {
    taken,
    setScriptText(text) {
      const offset = [...Array(text.length).keys()].find((i) => text.charCodeAt(i) > 0xFF);
      if (offset === undefined) {
        taken.push(text);
        return { accepted: true };
      }
      return { accepted: false, offset, character: text.charCodeAt(offset) };
    },
  };
}

function box(value, caret) {
  return {
    value,
    selectionStart: caret,
    setSelectionRange(start, end) {
      this.selectionStart = start;
      this.selectionEnd = end;
    },
  };
}

test('a lone carriage return is shown as its symbol and goes back as the byte', () => {
  const script = 'a\rb\n.STRING 1\n\u00e9\r';
  assert.equal(scriptToBox(script), 'a\u240Db\n.STRING 1\n\u00e9\u240D');
  assert.equal(boxToScript(scriptToBox(script)), script);
});

test('characters no script byte holds are left out where they stand, the caret kept after them', () => {
  const editor = refusingEditor();
  // A curly apostrophe and an emoji (two UTF-16 units) before the caret, one quote after it.
  const typed = box('It\u2019s \uD83D\uDE00 ok \u201D\u240D', 9);
  const { text, removed } = applyBoxText(editor, typed);
  assert.equal(text, 'Its  ok \r');
  assert.ok(removed);
  assert.deepEqual(editor.taken, ['Its  ok \r'], 'the editor took the text once, without them');
  assert.equal(typed.value, 'Its  ok \u240D');
  assert.equal(typed.selectionStart, 6, 'the caret stays after the same characters');

  const plain = box('Caf\u00e9', 4);
  assert.deepEqual(applyBoxText(editor, plain), { text: 'Caf\u00e9', removed: false });
  assert.equal(plain.value, 'Caf\u00e9');
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
