// The demo game and the module as the binding's tests under Node share them: the demo written by
// the native corvtool into WORK_DIR, the module opened on it, and corvtool's figures to compare
// with.
//
//   node TEST.mjs MODULE_DIR CORVTOOL WORK_DIR

import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

import { checkRoomFigures, roomPanelFigures } from './room_figures.mjs';

export const [moduleDir, corvtool, workDir] = process.argv.slice(2);
assert.ok(moduleDir && corvtool && workDir, 'usage: node TEST.mjs MODULE_DIR CORVTOOL WORK_DIR');

export const demo = path.join(workDir, 'demo');
fs.rmSync(workDir, { recursive: true, force: true });
fs.mkdirSync(workDir, { recursive: true });
execFileSync(corvtool, ['make-demo', demo]);
export const demoFile = (name) => path.join(demo, name);
export const kBlock = 'D40000';
export const kWrongTitle = 'Error: This is not the ROM used.\nPlease load the correct ROM.';

export function corvtoolOutput(...args) {
  return execFileSync(corvtool, args, { encoding: 'utf8' });
}

// The module as the page loads it, with its own file system holding the demo game in /game. The
// WebAssembly is handed over as bytes: the loader of this Emscripten fetches it with Node's
// fetch, which cannot read files.
export async function openModule() {
  const factory = createRequire(import.meta.url)(path.join(moduleDir, 'corvane.js'));
  const module = await factory({ wasmBinary: fs.readFileSync(path.join(moduleDir, 'corvane.wasm')) });
  module.FS.mkdir('/game');
  for (const name of fs.readdirSync(demo)) module.FS.writeFile(`/game/${name}`, fs.readFileSync(demoFile(name)));
  return module;
}

// Dialogs that cancel every file dialog and answer No, recording what they were asked.
export function recordingDialogs() {
  const calls = [];
  return {
    calls,
    openFile: (request) => (calls.push(['openFile', request.title]), null),
    openFiles: (request) => (calls.push(['openFiles', request.title]), []),
    saveFile: (request) => (calls.push(['saveFile', request.title]), null),
    message: (text) => calls.push(['message', text]),
    askYesNo: (caption, text) => (calls.push(['askYesNo', caption, text]), false),
    askText: (caption) => (calls.push(['askText', caption]), null),
  };
}

// The editor on the ROM `romName` and the demo's data file, with block kBlock chosen;
// `prepare` may add files to the module's file system first.
export async function editorOn(romName, prepare = () => {}) {
  const module = await openModule();
  prepare(module.FS);
  const dialogs = recordingDialogs();
  const editor = new module.Editor('/game', dialogs);
  assert.equal(editor.openRom(`/game/${romName}`), module.RomOpenStep.Opened);
  const shown = editor.loadDataFile('/game/corvane.txt');
  assert.ok(shown, 'the data file loads');
  const block = shown.blockLines.indexOf(`Block ${kBlock}`);
  assert.ok(block >= 0, `the block list names ${kBlock}`);
  const choice = editor.chooseBlock(block);
  assert.ok(choice, `block ${kBlock} can be chosen`);
  return { module, editor, dialogs, choice, shown };
}

// corvtool check --verbose (empty translations too) of block kBlock against `scriptFile`: the
// findings of each string as the desktop's List Data tooltip words them, the progress line and
// the room figures.
export function corvtoolChecks(scriptFile) {
  const run = spawnSync(corvtool, ['check', demoFile('corvane.smc'), demoFile('corvane.txt'), demoFile('corvane.tbl'),
                                   kBlock, scriptFile, '--verbose'], { encoding: 'latin1' });
  assert.ok(run.status === 0 || run.status === 2, `corvtool check ran: ${run.stderr}`);
  const findings = new Map();
  let progress = null;
  let room = null;
  for (const line of run.stdout.split('\n')) {
    const finding = /^STRING (\d+): (.*)$/.exec(line);
    const figures = checkRoomFigures(line);
    if (finding) {
      const number = Number(finding[1]);
      findings.set(number, [...(findings.get(number) ?? []), finding[2]]);
    } else if (figures) {
      room = figures;
    } else if (/ strings translated$/.test(line)) {
      progress = line;
    }
  }
  return { findings, progress, room };
}

// The page's checks against corvtool check of the same script text written to a file.
export function assertChecksAsCorvtool(editor, text, what) {
  const scriptFile = path.join(workDir, 'typed.txt');
  fs.writeFileSync(scriptFile, Buffer.from(text, 'latin1'));
  const expected = corvtoolChecks(scriptFile);
  const checks = editor.checks();
  assert.ok(checks, `${what}: the block is checked`);
  assert.equal(checks.progress, expected.progress, `${what}: progress`);
  assert.deepEqual(roomPanelFigures(checks.room, kBlock), expected.room, `${what}: room panel "${checks.room}"`);
  for (const string of checks.strings) {
    const lines = expected.findings.get(string.number);
    if (lines) {
      assert.deepEqual(string.tooltip.split('\n'), lines, `${what}: findings of string ${string.number}`);
    } else {
      assert.ok(!/^(error|warning): /.test(string.tooltip), `${what}: string ${string.number} has no findings`);
    }
  }
  const numbers = new Set(checks.strings.map((string) => string.number));
  for (const number of expected.findings.keys()) assert.ok(numbers.has(number), `${what}: string ${number} listed`);
  return checks;
}

