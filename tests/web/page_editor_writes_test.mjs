// The page's editor changing and writing things, against the native corvtool on the demo game:
// Find and Replace over the script (against the search rules read independently here), the Hex
// Data of every string (against the block corvtool decompresses), the script file saved, the
// block inserted into the ROM in memory, the patches from the ROM opened to it and a project
// built, each as the command line writes them.
//
//   node page_editor_writes_test.mjs MODULE_DIR CORVTOOL WORK_DIR

import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import test from 'node:test';

import { corvtool, corvtoolChecks, demoFile, editorOn, kBlock, openModule, recordingDialogs,
         workDir } from './demo_fixture.mjs';

const kScriptName = `00${kBlock}.txt`;
const latin1 = (text) => Buffer.from(text, 'latin1');

// The skeleton with `translations` ({string number: text}) in the first line of their entries.
function withTranslations(skeleton, translations) {
  let text = skeleton;
  for (const [number, translation] of Object.entries(translations)) {
    const opening = `.STRING ${number}\n`;
    assert.ok(text.includes(opening + '\n'), `the skeleton has an empty entry ${number}`);
    text = text.replace(opening + '\n', opening + translation + '\n');
  }
  return text;
}

// Translations of the first entries that no compressor fits into the block's room: letters
// drawn at random (the same each run) compress badly.
function overTheRoom() {
  let seed = 12345;
  const letter = () => {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return 'abcdefghijklmnopqrstuvwxyz ,.'[seed % 29];
  };
  const entry = () => Array.from({ length: 8000 }, letter).join('');
  return Object.fromEntries([0, 1, 2, 3, 4, 5].map((number) => [number, entry()]));
}

// The editor with the table loaded and block kBlock chosen again, so that the checks count with it.
async function checkedEditorOn(romName) {
  const opened = await editorOn(romName);
  assert.ok(opened.editor.loadTable('/game/corvane.tbl'));
  assert.ok(opened.editor.chooseBlock(opened.shown.blockLines.indexOf(`Block ${kBlock}`)));
  return opened;
}

// --- Find and Replace ------------------------------------------------------------------------

// The search rules as the desktop's Text Editor words them, read here on their own: a match
// ignores the case of Latin-1 letters unless asked, a whole word has no letter, digit or
// underscore either side; forwards the first match from a position, else the first of all;
// backwards the last one starting before it, else the last of all.
const wordCharacter = (character) => character !== undefined && /[\p{L}0-9_]/u.test(character);
function matchStarts(text, needle, { matchCase = false, wholeWord = false } = {}) {
  const fold = (s) => (matchCase ? s : s.toLowerCase());
  const haystack = fold(text);
  const wanted = fold(needle);
  const starts = [];
  for (let at = haystack.indexOf(wanted); at >= 0; at = haystack.indexOf(wanted, at + 1)) {
    if (!wholeWord || (!wordCharacter(text[at - 1]) && !wordCharacter(text[at + needle.length]))) starts.push(at);
  }
  return starts;
}
function nextStart(starts, from, backwards) {
  if (backwards) return [...starts].reverse().find((at) => at < from) ?? starts.at(-1);
  return starts.find((at) => at >= from) ?? starts[0];
}

test('Find: the wrap past the end, the case, whole words and backwards, as the search rules say', async () => {
  const { editor } = await checkedEditorOn('corvane.smc');
  const text = withTranslations(editor.scriptText(), {
    1: 'The cat sat. the Cat, the catalogue; CAT',
    2: 'Caf\u00e9 CAF\u00c9 caf\u00e9s, caf\u00e9 or caf\u00e9',
    3: 'the_cat cat[KEY] Cat',
  });
  assert.deepEqual(editor.setScriptText(text), { accepted: true });

  const cases = [['cat', {}], ['Cat', { matchCase: true }], ['cat', { wholeWord: true }],
                 ['CAF\u00c9', {}], ['caf\u00e9', { wholeWord: true, matchCase: true }], ['cat', { backwards: true }],
                 ['the', { backwards: true, wholeWord: true }]];
  for (const [needle, options] of cases) {
    const what = `"${needle}" ${JSON.stringify(options)}`;
    const starts = matchStarts(text, needle, options);
    assert.ok(starts.length >= 2, `${what}: the script holds several matches`);
    // Once round the script and on past where it began: each Find Next goes on from the last match.
    let from = options.backwards ? text.length : 0;
    for (let k = 0; k <= starts.length; ++k) {
      const found = editor.find(needle, { ...options, fromStart: k === 0 });
      const expected = nextStart(starts, from, options.backwards);
      assert.deepEqual(found, { found: true, start: expected, length: needle.length }, `${what}, find ${k}`);
      from = options.backwards ? expected : expected + needle.length;
    }
    // From the page's own caret.
    const caret = starts[1] + 1;
    assert.equal(editor.find(needle, { ...options, selectionStart: caret, selectionEnd: caret }).start,
                 nextStart(starts, caret, options.backwards), `${what}, from the caret`);
  }
  assert.deepEqual(editor.find('catalogues', {}), { found: false,
                                                    message: '"catalogues" was not found in the script.' });
  assert.equal(editor.find('Caf\u00e9\u2019', {}).found, false, 'a character no script byte holds matches nothing');
  assert.equal(editor.find('CAT', { matchCase: true, wholeWord: true }).start, text.indexOf('CAT'));
  assert.equal(editor.scriptText(), text, 'finding changes nothing');
});

test('Replace and Replace All: the text as the rules replace it, and the checks of the new text', async () => {
  const { editor } = await checkedEditorOn('corvane.smc');
  let text = withTranslations(editor.scriptText(), { 1: 'the cat and the Cat', 2: 'then the end', 4: 'cat' });
  editor.setScriptText(text);

  // Replace takes the match the selection holds, then shows the next one.
  const first = editor.find('cat', { fromStart: true, wholeWord: true });
  let replaced = editor.replace('cat', 'dog', { wholeWord: true });
  text = text.slice(0, first.start) + 'dog' + text.slice(first.start + 3);
  assert.equal(editor.scriptText(), text);
  assert.deepEqual(replaced, { found: true, start: nextStart(matchStarts(text, 'cat', { wholeWord: true }),
                                                              first.start + 3, false), length: 3, replaced: 1 });
  // A selection that holds no match is not replaced: the next match is shown first.
  const caret = text.indexOf('the end');
  replaced = editor.replace('cat', 'dog', { selectionStart: caret, selectionEnd: caret + 3 });
  assert.equal(replaced.replaced, 0);
  assert.equal(editor.scriptText(), text);

  const starts = matchStarts(text, 'the', { wholeWord: true });
  const all = editor.replaceAll('the', 'a', { wholeWord: true });
  assert.deepEqual(all, { replaced: starts.length, message: `Replaced ${starts.length} occurrence(s) of "the".` });
  for (const at of [...starts].reverse()) text = text.slice(0, at) + 'a' + text.slice(at + 3);
  assert.equal(editor.scriptText(), text);
  assert.ok(text.includes('then a end'), '"then" is no whole "the"');
  assert.deepEqual(editor.replaceAll('zebra', 'a', {}), { replaced: 0,
                                                          message: '"zebra" was not found in the script.' });

  // The checks follow as when the text is typed: corvtool check of the same text.
  const file = path.join(workDir, 'replaced.txt');
  fs.writeFileSync(file, latin1(text));
  const expected = corvtoolChecks(file);
  assert.equal(editor.checks().progress, expected.progress);
  assert.match(editor.checks().room, new RegExp(`^${kBlock}: ${expected.room[0].toLocaleString('en-US')} of `));
});

// --- Hex Data --------------------------------------------------------------------------------

test('Hex Data: every text string\'s words as corvtool decompress gives the block, to the end mark', async () => {
  const { editor, choice } = await editorOn('corvane.smc');
  const decompressed = path.join(workDir, 'block.bin');
  execFileSync(corvtool, ['decompress', demoFile('corvane.smc'), kBlock, decompressed]);
  const block = fs.readFileSync(decompressed);
  let checked = 0;
  for (let i = 0; i < choice.stringCount; ++i) {
    if (block.readUInt16LE(i * 64 + 2) !== 2) continue;  // a text record: type word 2
    const pointer = block.readUInt16LE(i * 64 + 14);
    assert.ok(editor.chooseString(i));
    const hex = editor.hexData();
    assert.equal(hex.caption, `Hex Data - $${(0x7E0000 + pointer).toString(16).toUpperCase().padStart(8, '0')}`);
    assert.equal(hex.byteMode, false, 'a game string is shown in words');
    // The string's bytes up to its first 0xFF, with the end mark FF FF when it ends there.
    let end = block.indexOf(0xFF, pointer);
    if (block[end + 1] === 0xFF) end += 2;
    const cells = hex.rows.flat();
    const bytes = cells.flatMap((cell) => [parseInt(cell.text, 16) & 0xFF, parseInt(cell.text, 16) >> 8]);
    assert.deepEqual(bytes.slice(0, end - pointer), [...block.subarray(pointer, end)], `string ${i}`);
    assert.ok(bytes.slice(end - pointer).every((byte) => byte === 0), `string ${i}: zeros past the copy`);
    assert.equal(hex.text, hex.rows.map((row) => row.map((cell) => cell.text).join(' ')).join('\n'));
    assert.equal(cells[0].background, '#ffffff', 'the first cell is selected');
    ++checked;
  }
  assert.ok(checked > 3);
});

// --- Save Text File --------------------------------------------------------------------------

test('Save Text File: the Latin-1 bytes with CR LF that corvtool check reads with the figures of the checks', async () => {
  const { module, editor } = await checkedEditorOn('corvane.smc');
  assert.equal(editor.scriptFileName(), kScriptName);
  const text = withTranslations(editor.scriptText(), { 1: 'Caf\u00e9 au lait, tr\u00e8s bien![KEY]',
                                                      2: 'A line far too long to fit into the lower box at all, surely.' });
  editor.setScriptText(text);
  const saved = editor.saveScript();
  assert.equal(saved.ok, true);
  // The desktop's words, with their one quotation mark.
  assert.equal(saved.message, `"${kScriptName} was saved successfully!`);
  assert.deepEqual(Buffer.from(saved.bytes), latin1(text.replaceAll('\n', '\r\n')));
  assert.deepEqual(module.FS.readFile(`/game/Dumps/${kScriptName}`), saved.bytes, 'the file holds the bytes');

  const file = path.join(workDir, kScriptName);
  fs.writeFileSync(file, saved.bytes);
  const expected = corvtoolChecks(file);
  const checks = editor.checks();
  assert.equal(checks.progress, expected.progress);
  const figures = /^[0-9A-F]+: ([\d,]+) of ([\d,]+) bytes, ([\d,]+) left/.exec(checks.room).slice(1)
    .map((figure) => Number(figure.replaceAll(',', '')));
  assert.deepEqual(figures, expected.room);

  const unopened = new module.Editor('/game', recordingDialogs());
  assert.deepEqual(unopened.saveScript(), { ok: false, message: '' }, 'no block, no script file');
});

// --- Insert, the ROM image and the patches --------------------------------------------------

// corvtool `args` on a copy of ROM `romName`: the copy's bytes after it.
function corvtoolOnCopy(romName, copyName, args) {
  const copy = path.join(workDir, copyName);
  fs.copyFileSync(demoFile(romName), copy);
  const run = spawnSync(corvtool, [args[0], copy, ...args.slice(1)], { encoding: 'utf8' });
  assert.equal(run.status, 0, `corvtool ${args[0]}: ${run.stderr}`);
  return fs.readFileSync(copy);
}

test('Insert: the ROM image of corvtool insert, and IPS and BPS patches that corvtool patch applies to it', async () => {
  for (const romName of ['corvane.smc', 'corvane_headered.smc']) {
    const { module, editor } = await checkedEditorOn(romName);
    const text = withTranslations(editor.scriptText(), { 0: 'Hello there, traveller![KEY]', 1: 'Caf\u00e9 au lait.',
                                                        3: '[PAUSE$1E]Wait.' });
    editor.setScriptText(text);
    assert.equal(editor.romImage(), null, 'the ROM as opened is never handed out');
    const inserted = editor.insertBlock();
    assert.equal(inserted.ok, true, `${romName}: ${inserted.messages}`);
    const rule = inserted.log.at(-1);
    const roomRow = inserted.log.indexOf(rule);
    assert.ok(roomRow > 0 && roomRow < inserted.log.length - 1, 'the outcome between two rules');
    assert.match(inserted.log[roomRow - 1], /^; Room: /, 'the room line before the outcome');
    assert.match(inserted.room, new RegExp(`^${kBlock}: `));

    const script = path.join(workDir, kScriptName);
    fs.writeFileSync(script, latin1(text.replaceAll('\n', '\r\n')));
    const expected = corvtoolOnCopy(romName, `inserted-${romName}`,
                                    ['insert', demoFile('corvane.txt'), demoFile('corvane.tbl'), kBlock, script]);
    const image = Buffer.from(editor.romImage());
    assert.ok(!image.equals(fs.readFileSync(demoFile(romName))), `${romName}: the block went in`);
    assert.ok(image.equals(expected), `${romName}: the image is corvtool insert's`);
    assert.ok(Buffer.from(module.FS.readFile(`/game/${romName}`)).equals(fs.readFileSync(demoFile(romName))),
              `${romName}: the ROM file is not written`);

    for (const [kind, patch] of [['ips', editor.makeIps()], ['bps', editor.makeBps()]]) {
      assert.ok(patch instanceof Uint8Array && patch.length > 0, `${romName}: the ${kind} patch`);
      const file = path.join(workDir, `page.${kind}`);
      fs.writeFileSync(file, patch);
      const patched = corvtoolOnCopy(romName, `patched-${kind}-${romName}`, ['patch', file]);
      assert.ok(patched.equals(image), `${romName}: corvtool patch with the ${kind} gives the image`);
    }
  }
});

test('Insert: a script over its room leaves the ROM image as it was and says why', async () => {
  const { editor } = await checkedEditorOn('corvane.smc');
  editor.setScriptText(withTranslations(editor.scriptText(), overTheRoom()));
  assert.equal(editor.romImage(), null, 'the ROM as opened is never handed out');
  const refused = editor.insertBlock();
  assert.equal(refused.ok, false);
  assert.ok(refused.log.some((line) => / did not compress successfully! \[ [\d]+ BYTE\(S\) OVER \]$/.test(line)),
            refused.log.join('\n'));
  assert.match(refused.log[0], /^; Room: .* bytes over;/);
  assert.match(refused.room, / bytes over$/);
  assert.equal(editor.romImage(), null, 'the image is still the ROM as opened');
});

// --- Build Project ---------------------------------------------------------------------------

// Copies the native folder `from` into the module's file system at `to`.
function copyIntoFs(fileSystem, from, to) {
  fileSystem.mkdir(to);
  for (const entry of fs.readdirSync(from, { withFileTypes: true })) {
    const source = path.join(from, entry.name);
    if (entry.isDirectory()) copyIntoFs(fileSystem, source, `${to}/${entry.name}`);
    else fileSystem.writeFile(`${to}/${entry.name}`, fs.readFileSync(source));
  }
}

test('Build Project: the outputs byte for byte as corvtool build writes them from the same folder', async () => {
  const folder = path.join(workDir, 'project');
  fs.mkdirSync(folder);
  for (const name of ['corvane.smc', 'corvane.txt', 'corvane.tbl']) fs.copyFileSync(demoFile(name), path.join(folder, name));
  execFileSync(corvtool, ['init-project', folder, '--rom', path.join(folder, 'corvane.smc'), '--data-file',
                          path.join(folder, 'corvane.txt'), '--table', path.join(folder, 'corvane.tbl')]);
  const script = path.join(folder, 'Dumps', kScriptName);
  const skeleton = fs.readFileSync(script).toString('latin1').replaceAll('\r\n', '\n');
  fs.writeFileSync(script, latin1(withTranslations(skeleton, { 0: 'Hello there![KEY]', 2: 'Caf\u00e9 au lait.' })
    .replaceAll('\n', '\r\n')));

  const module = await openModule();
  copyIntoFs(module.FS, folder, '/project');
  const editor = new module.Editor('/project', recordingDialogs());
  const built = editor.buildProject('/project');
  assert.equal(built.ok, true, built.lines.join('\n'));
  assert.ok(built.lines.some((line) => line.includes(kBlock)), 'a line for the translated block');

  const run = spawnSync(corvtool, ['build', folder], { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  const names = built.outputs.map((output) => output.name).sort();
  assert.deepEqual(names, ['corvane-translated.bps', 'corvane-translated.ips', 'corvane-translated.smc']);
  for (const output of built.outputs) {
    const native = path.join(folder, path.relative('/project', output.path));
    assert.ok(Buffer.from(module.FS.readFile(output.path)).equals(fs.readFileSync(native)), output.name);
  }

  // The project opened for editing: Insert builds it, saving the script typed first, and the
  // outputs are again those of corvtool build once the same script is in the folder.
  const editing = new module.Editor('/project', recordingDialogs());
  const opened = editing.openProject('/project');
  assert.ok(opened, 'the project opens');
  assert.ok(editing.chooseBlock(opened.blockLines.indexOf(`Block ${kBlock}`)));
  const typed = editing.scriptText().replace('Caf\u00e9 au lait.', 'Bonjour, tout le monde.');
  assert.notEqual(typed, editing.scriptText(), 'the project\'s script is the one in its folder');
  editing.setScriptText(typed);
  const insertedBuild = editing.insertBlock();
  assert.equal(insertedBuild.ok, true, insertedBuild.lines.join('\n'));
  assert.ok(insertedBuild.lines.includes(`Script saved: /project/Dumps/${kScriptName}`), insertedBuild.lines[0]);
  assert.deepEqual(Buffer.from(module.FS.readFile(`/project/Dumps/${kScriptName}`)), latin1(typed.replaceAll('\n', '\r\n')));
  fs.writeFileSync(script, latin1(typed.replaceAll('\n', '\r\n')));
  assert.equal(spawnSync(corvtool, ['build', folder]).status, 0);
  for (const output of insertedBuild.outputs) {
    const native = path.join(folder, path.relative('/project', output.path));
    assert.ok(Buffer.from(module.FS.readFile(output.path)).equals(fs.readFileSync(native)), `edited: ${output.name}`);
  }
  assert.equal(insertedBuild.outputs.length, 3);

  // A script over its room stops the build: nothing is written.
  module.FS.writeFile(`/project/Dumps/${kScriptName}`,
                      latin1(withTranslations(skeleton, overTheRoom()).replaceAll('\n', '\r\n')));
  const rom = module.FS.readFile(built.outputs.find((output) => output.name.endsWith('.smc')).path);
  const stopped = editor.buildProject('/project');
  assert.equal(stopped.ok, false);
  assert.deepEqual(stopped.outputs, []);
  assert.ok(stopped.messages.length > 0);
  assert.deepEqual(module.FS.readFile(built.outputs.find((output) => output.name.endsWith('.smc')).path), rom);
  assert.equal(editor.buildProject('/nowhere').ok, false, 'no project there');
});
