// The page's editor, the WebAssembly module, against the native corvtool on the demo game: the
// title check and the copier header, the block list, the kana text and the preview pixels of
// every string of a block, with and without a script, and the live checks of a script as it is
// typed, as the command line gives them.
//
//   node page_editor_test.mjs MODULE_DIR CORVTOOL WORK_DIR

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import test from 'node:test';

import { assertSameScreen, pngPixels565 } from './screen_pixels.mjs';

import { assertChecksAsCorvtool, corvtool, corvtoolOutput, demoFile, editorOn, kBlock, kWrongTitle, openModule,
         recordingDialogs, workDir } from './demo_fixture.mjs';

// corvtool preview --all for block kBlock: the screen of string i is pictures[i].
function corvtoolPictures(romName, folderName, scriptFile) {
  const folder = path.join(workDir, folderName);
  const args = ['preview', demoFile(romName), demoFile('corvane.txt'), kBlock, '--all', folder];
  if (scriptFile) args.push('--script', scriptFile);
  const written = corvtoolOutput(...args).trim().split('\n');
  return written.map(pngPixels565);
}

// Every string of the block chosen in turn, its screen against corvtool's.
function assertEveryStringDrawnAs(editor, count, pictures, what) {
  assert.equal(pictures.length, count, `${what}: corvtool drew every string`);
  for (let i = 0; i < count; ++i) {
    assert.ok(editor.chooseString(i), `${what}: string ${i} is drawn`);
    assertSameScreen(editor.screen(), pictures[i], `${what}, string ${i}`);
  }
}

test('the title check and the copier header: both ROMs open, another game is refused as by corvtool', async () => {
  const module = await openModule();
  const dialogs = recordingDialogs();
  const editor = new module.Editor('/game', dialogs);
  assert.equal(editor.openRom('/game/corvane.smc'), module.RomOpenStep.Opened);
  assert.equal(editor.romHeaderSize(), 0);
  assert.equal(editor.openRom('/game/corvane_headered.smc'), module.RomOpenStep.Opened);
  assert.equal(editor.romHeaderSize(), 512);
  assert.equal(editor.openRom('/game/missing.smc'), module.RomOpenStep.CannotOpen);

  const other = fs.readFileSync(demoFile('corvane.smc'));
  other[0xFFC0] = 'c'.charCodeAt(0);
  const otherFile = path.join(workDir, 'other.smc');
  fs.writeFileSync(otherFile, other);
  module.FS.writeFile('/game/other.smc', other);
  dialogs.calls.length = 0;
  assert.equal(editor.openRom('/game/other.smc'), module.RomOpenStep.WrongTitle);
  assert.deepEqual(dialogs.calls, [['message', kWrongTitle]]);
  assert.equal(editor.chooseString(0), null, 'nothing is drawn without a ROM');
  const refused = spawnSync(corvtool, ['kana', otherFile, demoFile('corvane.txt'), kBlock]);
  assert.equal(refused.status, 2, 'corvtool refuses the same file');
});

test('the block list is the data file\'s, as corvtool room lists it', async () => {
  const { shown } = await editorOn('corvane.smc');
  const rows = corvtoolOutput('room', demoFile('corvane.smc'), demoFile('corvane.txt')).split('\n');
  const listed = rows.filter((row) => /^[0-9A-F]{6} /.test(row)).map((row) => `Block ${row.split(' ')[0]}`);
  assert.ok(listed.length > 1);
  assert.deepEqual(shown.blockLines, listed);
  assert.equal(shown.caption, 'Script Editor: Corvane - [corvane.txt ]');
});

test('every string of the block: its kana text as corvtool kana decodes it', async () => {
  const { editor, choice } = await editorOn('corvane.smc');
  const dump = corvtoolOutput('kana', demoFile('corvane.smc'), demoFile('corvane.txt'), kBlock);
  const entries = dump.split('.ENDS\n\n').filter((entry) => entry.length > 0);
  assert.equal(entries.length, choice.stringCount);
  let windowText = null;  // what the Kana Text window holds: kept while a choice brings nothing new
  for (let i = 0; i < choice.stringCount; ++i) {
    const [opening, ...lines] = entries[i].split('\n');
    assert.equal(opening, `.STRING ${i}`);
    const shown = editor.chooseString(i);
    assert.equal(shown.kanaCaption, `Kana Text: String #${i}`);
    windowText = shown.kanaText ?? windowText;
    const dumped = lines.slice(0, -1);
    // A record that holds no text: the dump says so, the window stays empty.
    const expected = dumped.length === 1 && dumped[0] === 'NON-TEXT DATA' ? [''] : dumped;
    assert.deepEqual(windowText.split('\r\n'), expected, `string ${i}`);
  }
});

test('every string without a script: the pixels of corvtool preview, also behind the copier header', async () => {
  for (const romName of ['corvane.smc', 'corvane_headered.smc']) {
    const { module, editor, choice } = await editorOn(romName);
    // Without a script file the editor writes the block's skeleton beside the ROM, as on the desktop.
    assert.equal(choice.scriptLoad, module.ScriptLoad.Skeleton);
    assert.ok(module.FS.readdir('/game/Dumps').includes(`00${kBlock}.txt`));
    assertEveryStringDrawnAs(editor, choice.stringCount, corvtoolPictures(romName, `pictures-${romName}`), romName);
  }
});

test('every string with its script file: the translations drawn as by corvtool preview --script', async () => {
  // CR LF line ends and Latin-1 bytes, as the desktop editor saves scripts; some entries empty,
  // one with codes, one wider than the box.
  const count = corvtoolOutput('kana', demoFile('corvane.smc'), demoFile('corvane.txt'), kBlock)
    .split('\n').filter((line) => line.startsWith('.STRING ')).length;
  const translations = [[], ['Hello there, traveller![KEY]', 'The castle is [PAUSE$1E]to the north.'],
                        ['Caf\u00e9 au lait, tr\u00e8s bien.'],
                        ['[PLAYER]! A line far too long to fit into the lower box of the preview at all.']];
  const entries = [];
  for (let i = 0; i < count; ++i) entries.push(`.STRING ${i}`, ...translations[i % translations.length], '.ENDS');
  const script = Buffer.from(entries.join('\r\n') + '\r\n', 'latin1');
  const scriptFile = path.join(workDir, `00${kBlock}.txt`);
  fs.writeFileSync(scriptFile, script);

  const { module, editor, choice } = await editorOn('corvane.smc', (fileSystem) => {
    fileSystem.mkdir('/game/Dumps');
    fileSystem.writeFile(`/game/Dumps/00${kBlock}.txt`, script);
  });
  assert.equal(choice.scriptLoad, module.ScriptLoad.Existing);
  assert.equal(choice.stringCount, count);
  assert.ok(editor.chooseString(1).entryFound);
  assertEveryStringDrawnAs(editor, count, corvtoolPictures('corvane.smc', 'pictures-script', scriptFile),
                           'with the script');
  assert.deepEqual(module.FS.readFile(`/game/Dumps/00${kBlock}.txt`), new Uint8Array(script),
                   'choosing the block leaves its script file as it was');
});

test('typing into the script: the room, progress and findings of corvtool check, after every change', async () => {
  const { editor, shown, choice } = await editorOn('corvane.smc');
  assert.ok(editor.loadTable('/game/corvane.tbl'));
  assert.ok(editor.chooseBlock(shown.blockLines.indexOf(`Block ${kBlock}`)), 'the block chosen again with the table');
  const skeleton = editor.scriptText();
  assert.ok(skeleton.includes('\n.STRING 0\n'), 'the skeleton is the script');
  assertChecksAsCorvtool(editor, skeleton, 'the skeleton');

  // Translations typed one after the other, the last too wide for the box, one with an accent
  // and a code the game string does not hold.
  const entries = skeleton.split(/(?=\.STRING \d+)/);
  const typed = [[1, 'Hello there, traveller![KEY]'], [2, 'Caf\u00e9 au lait, tr\u00e8s bien.'],
                 [3, 'A line far too long to fit into the lower box of the preview at all, surely.'],
                 [5, '[PAUSE$1E]Wait.']];
  let text = skeleton;
  for (const [number, translation] of typed) {
    const at = entries.findIndex((entry) => entry.startsWith(`.STRING ${number}\r\n`) || entry.startsWith(`.STRING ${number}\n`));
    assert.ok(at >= 0, `the skeleton holds string ${number}`);
    const newline = entries[at].includes('\r\n') ? '\r\n' : '\n';
    entries[at] = entries[at].replace(newline, newline + translation);
    text = entries.join('');
    assert.deepEqual(editor.setScriptText(text), { accepted: true });
    assert.equal(editor.scriptText(), text);
    assertChecksAsCorvtool(editor, text, `after string ${number}`);
  }
  const checks = editor.checks();
  assert.ok(checks.problems.some((problem) => problem.string === 3 && problem.severity === 'warning' &&
                                 /wider than the box/.test(problem.message)), 'the wide line is a problem');
  assert.equal(checks.strings.find((string) => string.number === 1).state !== 'not translated yet', true);

  // A character no script byte holds: refused where it stands, the script and checks unchanged.
  const curly = text.replace('Hello there', 'Hello\u2019there');
  const refused = editor.setScriptText(curly);
  assert.deepEqual(refused, { accepted: false, offset: curly.indexOf('\u2019'), character: 0x2019 });
  assert.equal(editor.scriptText(), text);
  assertChecksAsCorvtool(editor, text, 'after the refused text');
});

test('a typed change crosses alone: the script and checks of the whole text, refusals named in the whole script', async () => {
  const { editor } = await editorOn('corvane.smc');
  const units = (text) => Uint16Array.from(text, (character) => character.charCodeAt(0));
  let text = editor.scriptText();
  // Characters typed one by one, a line end, and a stretch typed over: each change alone.
  const opening = text.indexOf('.STRING 2\n') + '.STRING 2\n'.length;
  const changes = [...'Caf\u00e9'].map((character, i) => [opening + i, 0, character]);
  changes.push([opening + 4, 0, '\nsecond line'], [opening, 3, 'Th\u00e9'], [text.indexOf('.STRING 7\n') + 10, 0, 'Later.']);
  for (const [at, removed, inserted] of changes) {
    assert.deepEqual(editor.replaceScriptUnits(at, at + removed, units(inserted)), { accepted: true });
    text = text.slice(0, at) + inserted + text.slice(at + removed);
    assert.equal(editor.scriptText(), text);
  }
  assertChecksAsCorvtool(editor, text, 'after the typed changes');

  const curlyAt = text.indexOf('second') + 3;
  assert.deepEqual(editor.replaceScriptUnits(curlyAt, curlyAt, units('a\u2019b')),
                   { accepted: false, offset: curlyAt + 1, character: 0x2019 });
  assert.deepEqual(editor.replaceScriptUnits(text.length, text.length + 1, units('x')), { accepted: false, offset: -1 });
  assert.deepEqual(editor.replaceScriptUnits(5, 4, units('x')), { accepted: false, offset: -1 });
  assert.equal(editor.scriptText(), text, 'a refused change leaves the script as it was');
  assertChecksAsCorvtool(editor, text, 'after the refused changes');

  // Remove Empty Line: the cut of the empty line string 2's entry now ends with, where the row says so.
  const endsAt = text.indexOf('\n.ENDS', text.indexOf('.STRING 2\n'));
  const withEmpty = text.slice(0, endsAt) + '\n' + text.slice(endsAt);
  assert.deepEqual(editor.setScriptText(withEmpty), { accepted: true });
  assert.ok(editor.problemRows().some((row) => row.string === 2 && row.removesEmptyLine), 'the row offers the cut');
  const cut = editor.emptyLineCut(2);
  assert.equal(withEmpty.slice(0, cut.start) + withEmpty.slice(cut.start + cut.length), text, 'the cut takes that line');
  assert.equal(editor.emptyLineCut(7), null, 'an entry without an empty last line has none');
});
