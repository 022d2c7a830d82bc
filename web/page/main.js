// The editor's page: the desktop editor's session (corvane.wasm) over the translator's files,
// which stay on their machine. The page shows what the session gives and asks what it asks;
// every rule is the session's.

import { download, sameBytes, scriptFileBytes, translatedName } from './downloads.js';
import { kDumpsFolder, kGameFolder, kindOfFile, putFile, putProjectFile } from './files.js';
import { handleKey } from './keys.js';
import { fillList, markStrings, selectInList, showHex, showKana, showKeptBlocks, showMessage, showPanels, showProblems } from './panels.js';
import { keepFitted, paintScreen } from './preview_canvas.js';
import { applyChange, changeBetween } from './script_pieces.js';
import { boxToScript, scriptToBox, sendChange } from './script_box.js';
import { ScriptWindow } from './script_window.js';
import { UndoSteps } from './undo_steps.js';
import * as storage from './storage.js';

const $ = (id) => document.getElementById(id);
const view = {
  blocks: $('block-list'), strings: $('string-list'), canvas: $('video'), script: $('script'),
  room: $('room'), progress: $('progress'), problems: $('problems'), kanaCaption: $('kana-caption'),
  kanaText: $('kana-text'), hexCaption: $('hex-caption'), hexGrid: $('hex-data'), messages: $('messages'),
  checksSpoken: $('checks-spoken'), scriptView: $('script-view'), scriptBefore: $('script-before'), scriptAfter: $('script-after'),
  statusOffset: $('status-offset'), keptList: $('storage-list'), storageStatus: $('storage-status'),
  insertWindow: $('insert-window'), insertCaption: $('insert-caption'), insertLog: $('insert-log'),
  downloads: $('downloads'),
};

// The session's questions, answered at once: files are chosen before a command runs, a yes/no
// question and a text are the browser's own modal boxes.
const dialogs = {
  openFile: () => null,
  openFiles: () => [],
  saveFile: () => null,
  message: (text) => showMessage(view.messages, text),
  askYesNo: (caption, text) => window.confirm(`${caption}\n\n${text}`),
  askText: (caption, label) => window.prompt(`${caption}\n\n${label}`, ''),
};

const state = {
  module: null, editor: null,
  rom: null,           // {name, bytes} of the ROM opened, never offered back as a download
  romKey: null,        // the ROM's checksum: the typed text is kept under it
  blockLines: [], block: -1, stringLines: [], string: -1,
  dataFile: false,
  table: null,         // the table's path once one is loaded
  keptListed: false,   // the storage list shows the current block's typed text
  window: null,        // the script's text box and the text around it (ScriptWindow)
  undo: new UndoSteps(),
  selectionBefore: null,  // the selection before the box's last change
  project: null,       // {folder, inputs: [bytes...]} of the project folder opened, for Build Project
};

const has = (name) => typeof state.editor?.[name] === 'function';
const blockName = () => state.blockLines[state.block] ?? '';

// --- Drawing what the session shows ---------------------------------------------------------

function showPreview() {
  paintScreen(view.canvas, state.editor.screen());
  view.canvas.dataset.string = String(state.string);
}

// The checks shown: every string's mark after a block choice (`all`), else only the marks the
// last change touched.
// The Problems list follows the typing once it pauses: in a long script it holds thousands of
// rows, too many to rebuild at every key.
let problemsTimer = 0;
function showChecksNow(all) {
  const checks = all ? state.editor.checks() : state.editor.changedChecks();
  showPanels(checks, view);
  markStrings(view.strings, state.stringLines, checks ? checks.strings : [], all);
  clearTimeout(problemsTimer);
  if (all) showProblemRows(checks ? checks.problems : []);
  else problemsTimer = setTimeout(() => showProblemRows(state.editor.problemRows()), 300);
}

function showProblemRows(rows) {
  showProblems(rows, view.problems);
  offerRemoveEmptyLine();
}

// Remove Empty Line only on a Problems row that offers it.
function offerRemoveEmptyLine() {
  $('remove-empty-line').disabled = !view.problems.selectedOptions[0]?.dataset.removesEmptyLine;
}

function showKept() {
  showKeptBlocks(view.keptList, state.romKey === null ? [] : storage.keptBlocks(state.romKey));
}

// Chooses string `i`. `follow`: the caret and the view go to its entry (a user's choice or the
// program's), not while typing.
function chooseString(i, follow) {
  const shown = state.editor.chooseString(i);
  if (!shown) return;
  state.string = i;
  selectInList(view.strings, i);
  view.statusOffset.textContent = shown.offsetStatus;
  showKana(shown, { caption: view.kanaCaption, text: view.kanaText });
  if (has('hexData')) showHex(state.editor.hexData(), { caption: view.hexCaption, grid: view.hexGrid });
  showPreview();
  if (follow && shown.entryFound) state.window.showLine(state.editor.entryLine());
}

function chooseBlock(n) {
  const choice = state.editor.chooseBlock(n);
  if (!choice) return;
  state.block = n;
  selectInList(view.blocks, n);
  const kept = storage.keptText(state.romKey, blockName());
  let restored = false;
  if (kept !== null && kept !== state.editor.scriptText()) {
    restored = state.editor.setScriptText(kept).accepted;
  }
  storage.rememberBlock(state.romKey, blockName());
  storage.startBlock(state.romKey, blockName());
  state.keptListed = false;
  state.stringLines = state.editor.stringLines();
  fillList(view.strings, state.stringLines);
  view.script.disabled = false;
  state.window.setText(scriptToBox(state.editor.scriptText()));
  state.undo.forget();
  showChecksNow(true);
  if (state.stringLines.length > 0) chooseString(0, !restored);
  if (restored) {
    view.storageStatus.textContent = `The text you typed for ${blockName()} was restored from this browser's storage.`;
  }
  showKept();
}

// After every change of the script: the current string drawn again from it, the checks shown,
// the change kept in the browser before the next key is handled (`change` null: the whole text),
// and the whole text once the typing pauses.
let keepWholeTimer = 0;
function afterScriptChange(change) {
  if (state.string >= 0) chooseString(state.string, false);
  showChecksNow(false);
  speakChecksSoon();
  const block = blockName();
  const romKey = state.romKey;
  const shown = state.window.whole();  // this block's text now, whatever is chosen later
  const wholeText = () => boxToScript(shown);
  const kept = change
    ? storage.keepChange(romKey, block, { ...change, inserted: boxToScript(change.inserted) }, wholeText)
    : storage.keepText(romKey, block, wholeText());
  clearTimeout(keepWholeTimer);
  keepWholeTimer = setTimeout(() => storage.keepText(romKey, block, wholeText()), 2000);
  if (!kept) {
    view.storageStatus.textContent = 'This browser does not keep the text now (its storage is full or switched off): ' +
      'save the script as a file.';
  } else if (!state.keptListed) {
    state.keptListed = true;  // the list says "not saved as a file yet" until the next save
    showKept();
  }
}

// Every change typed into the box: to the session at once, as one step to undo.
function onScriptInput() {
  if (state.block < 0) return;
  const typed = state.window.takeInput();
  if (!typed) return;
  const taken = sendChange(state.editor, typed, state.window.whole());
  let selection = state.window.selection();
  if (taken.inserted !== typed.inserted) {
    showMessage(view.messages, 'A character a script cannot hold was left out.');
    const end = taken.at + taken.inserted.length;
    const shift = typed.inserted.length - taken.inserted.length;
    const caret = selection.end >= typed.at + typed.inserted.length ? selection.end - shift : Math.min(selection.end, end);
    selection = { start: caret, end: caret };
    state.window.change({ at: taken.at, removed: typed.inserted, inserted: taken.inserted }, selection);
  }
  state.undo.record(taken, state.selectionBefore ?? selection, selection);
  afterScriptChange(taken);
}

// A change the page makes: to the session, the box over it with `selection`, kept.
function makeChange(change, selection) {
  const taken = sendChange(state.editor, change, applyChange(state.window.whole(), change));
  state.window.change(taken, selection);
  afterScriptChange(taken);
  return taken;
}

// Undo and Redo from the page's own steps.
function undoOrRedo(step) {
  if (step && state.block >= 0) makeChange(step.change, step.selection);
}

// Remove Empty Line on the Problems row chosen: the empty line its entry ends with, as one step.
function removeEmptyLine() {
  const option = view.problems.selectedOptions[0];
  if (state.block < 0 || !option?.dataset.removesEmptyLine || !has('emptyLineCut')) return;
  const cut = state.editor.emptyLineCut(Number(option.value));
  if (!cut) return;
  const before = state.window.selection();
  const change = { at: cut.start, removed: state.window.whole().slice(cut.start, cut.start + cut.length), inserted: '' };
  const after = { start: cut.start, end: cut.start };
  state.undo.recordAlone(makeChange(change, after), before, after);
  showChecksNow(true);
}

// The room and progress said once the typing pauses (a live region at every key would talk
// over it).
let speakTimer = 0;
function speakChecksSoon() {
  clearTimeout(speakTimer);
  speakTimer = setTimeout(() => {
    const spoken = `${view.room.textContent} ${view.progress.textContent}`.trim();
    if (view.checksSpoken.textContent !== spoken) view.checksSpoken.textContent = spoken;
  }, 1500);
}

// --- Commands -----------------------------------------------------------------------------

async function openRom(file) {
  const { path, name, bytes } = await putFile(state.module.FS, file, kGameFolder);
  if (state.editor.openRom(path) !== state.module.RomOpenStep.Opened) return;
  state.rom = { name, bytes };
  state.romKey = state.editor.romChecksum().toString(16).toUpperCase().padStart(8, '0');
  state.block = -1;
  showKept();
  if (state.dataFile) reloadDataFile();
}

let dataFilePath = null;
function reloadDataFile() {
  const shown = state.editor.loadDataFile(dataFilePath);
  if (!shown) return;
  state.blockLines = shown.blockLines;
  document.title = shown.caption;
  $('preview-caption').textContent = shown.caption;
  fillList(view.blocks, shown.blockLines);
  if (state.romKey === null) return;
  const last = shown.blockLines.indexOf(storage.lastBlock(state.romKey));
  if (shown.blockLines.length > 0) chooseBlock(last >= 0 ? last : 0);
}

async function openDataFile(file) {
  dataFilePath = (await putFile(state.module.FS, file, kGameFolder)).path;
  state.dataFile = true;
  reloadDataFile();
}

async function openTable(file) {
  const { path } = await putFile(state.module.FS, file, kGameFolder);
  // The checks count dictionary words from the next block choice on; the room panel says so.
  state.table = state.editor.loadTable(path) ? path : null;
}

async function openScripts(files) {
  for (const file of files) await putFile(state.module.FS, file, kDumpsFolder);
  if (state.block >= 0) chooseBlock(state.block);
}

async function openFiles(files) {
  const byKind = { rom: [], data: [], table: [], script: [] };
  for (const file of files) byKind[kindOfFile(file.name)]?.push(file);
  if (byKind.rom.length > 0) await openRom(byKind.rom[0]);
  // The table before the data file, so that the block the data file chooses counts its words.
  if (byKind.table.length > 0) await openTable(byKind.table[0]);
  if (byKind.data.length > 0) await openDataFile(byKind.data[0]);
  if (byKind.script.length > 0) await openScripts(byKind.script);
}

function scriptName() {
  if (has('scriptFileName')) return state.editor.scriptFileName();
  return `00${blockName().replace(/^Block /, '')}.txt`;
}

function saveText() {
  if (state.block < 0) return;
  let bytes;
  if (has('saveScript')) {
    const saved = state.editor.saveScript();
    if (!saved.ok) {
      showMessage(view.messages, saved.message);
      return;
    }
    bytes = saved.bytes;
  } else {
    bytes = scriptFileBytes(state.editor.scriptText());
  }
  download(bytes, scriptName());
  clearTimeout(keepWholeTimer);
  storage.markSaved(state.romKey, blockName(), boxToScript(state.window.whole()));
  state.keptListed = false;
  showKept();
}

function showInsertLog(caption, lines) {
  view.insertWindow.hidden = false;
  view.insertCaption.textContent = caption;
  view.insertLog.replaceChildren(...lines.map((line) => {
    const item = document.createElement('li');
    item.textContent = line;
    return item;
  }));
  view.downloads.replaceChildren();
}

// The downloads of a build: the translated ROM, its IPS and BPS patches; never the ROM as it
// was opened.
function offerBuild() {
  const image = state.editor.romImage();
  if (sameBytes(image, state.rom.bytes)) {
    view.downloads.textContent = 'The ROM is as it was opened: nothing to download.';
    return;
  }
  download(image, translatedName(state.rom.name), view.downloads);
  download(state.editor.makeIps(), translatedName(state.rom.name, '.ips'), view.downloads);
  download(state.editor.makeBps(), translatedName(state.rom.name, '.bps'), view.downloads);
}

function insertBlock() {
  if (!has('insertBlock') || state.block < 0) return;
  const result = state.editor.insertBlock();
  showInsertLog(`Insert ${blockName()}`, result.messages ?? []);
  if (result.ok) offerBuild();
  showChecksNow(true);
}

async function openProject(files) {
  const inputs = [];
  let folder = null;
  for (const file of files) {
    const put = await putProjectFile(state.module.FS, file);
    if (!put) continue;
    folder = put.root;
    inputs.push(put.bytes);
  }
  if (folder) state.project = { folder, inputs };
}

// Build Project on the opened project folder: the outputs it wrote as downloads, none that is a
// file of the folder as it was opened (the original ROM among them).
function buildProject() {
  if (!has('buildProject')) return;
  if (!state.project) {
    $('project-folder').click();
    return;
  }
  const result = state.editor.buildProject(state.project.folder);
  showInsertLog('Build Project', result.lines ?? []);
  if (!result.ok) return;
  for (const output of result.outputs ?? []) {
    const bytes = state.module.FS.readFile(output.path);
    if (state.project.inputs.some((input) => sameBytes(input, bytes))) continue;
    download(bytes, output.name, view.downloads);
  }
}

// Find and Replace, with the desktop's questions.
const search = { find: null, replacement: null, options: { matchCase: false, wholeWord: false, backwards: false } };

function askFind() {
  const answer = dialogs.askText('Find in Script', 'Find:');
  if (answer === null || answer === '') return false;
  search.find = answer;
  return true;
}

function askReplacement() {
  const answer = dialogs.askText('Replace in Script', `Replace "${search.find}" with:`);
  if (answer === null) return false;
  search.replacement = answer;
  return true;
}

function showFound(found) {
  if (!found?.found) return;
  state.window.select(found.start, found.start + found.length);
}

// After Replace and Replace All, which change the script in the session: the box shows it, and
// the change is one step to undo.
function syncAfterEdit() {
  const before = state.window.selection();
  const text = scriptToBox(state.editor.scriptText());
  const change = changeBetween(state.window.whole(), text);
  state.window.setText(text, before.start);
  if (change) state.undo.recordAlone(change, before, state.window.selection());
  afterScriptChange(null);
  showChecksNow(true);
}

const commands = {
  openRom: () => $('rom-file').click(),
  openDataFile: () => $('data-file').click(),
  openTable: () => $('table-file').click(),
  saveText,
  insertBlock,
  buildProject,
  nextUntranslated: () => goTo(state.editor.nextUntranslated(state.string)),
  previousUntranslated: () => goTo(state.editor.previousUntranslated(state.string)),
  nextProblem: () => goTo(state.editor.nextProblem(state.string)),
  goToString: () => {
    const answer = dialogs.askText('Go to String', 'String number:');
    if (answer !== null) goTo(state.editor.stringNumberOf(answer));
  },
  showProblems: () => view.problems.focus(),
  showKanaText: () => view.kanaText.focus(),
  find: () => { if (has('find') && askFind()) showFound(state.editor.find(search.find, { ...search.options, fromStart: false })); },
  findNext: () => {
    if (has('find') && (search.find || askFind())) showFound(state.editor.find(search.find, { ...search.options, fromStart: false }));
  },
  replace: () => {
    if (!has('replace') || !(askFind() && askReplacement())) return;
    showFound(state.editor.find(search.find, { ...search.options, fromStart: false }));
  },
  replaceNext: () => {
    if (!has('replace') || ((search.find === null || search.replacement === null) && !(askFind() && askReplacement()))) return;
    const found = state.editor.replace(search.find, search.replacement, search.options);
    syncAfterEdit();
    showFound(found);
  },
  replaceAll: () => {
    if (!has('replaceAll') || ((search.find === null || search.replacement === null) && !(askFind() && askReplacement()))) return;
    const done = state.editor.replaceAll(search.find, search.replacement, search.options);
    syncAfterEdit();
    showMessage(view.messages, `${done.replaced} replaced`);
  },
};

// Whether a command can run now: those that need a module function only when it has it.
function available(command) {
  const needs = { insertBlock: ['insertBlock', 'romImage', 'makeIps', 'makeBps'], buildProject: ['buildProject'],
                  find: ['find'], findNext: ['find'], replace: ['find', 'replace'], replaceNext: ['replace'],
                  replaceAll: ['replaceAll'] };
  return (needs[command] ?? []).every(has);
}

function goTo(number) {
  if (number === null || number === undefined || state.block < 0) return;
  chooseString(number, true);
  view.strings.focus();
}

// The box's keys before their own action: Undo and Redo are the page's, a key moving the caret
// ends the step being typed, and the box holds the text the key moves or deletes into.
function onScriptKey(event) {
  const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
  const control = event.ctrlKey && !event.altKey && !event.metaKey;
  if (control && (key === 'z' || key === 'y')) {
    event.preventDefault();
    undoOrRedo(key === 'y' || event.shiftKey ? state.undo.redo() : state.undo.undo());
    return;
  }
  if (event.key.length > 1 && event.key !== 'Backspace' && event.key !== 'Delete') state.undo.close();
  state.window.beforeKey(event);
}

// --- Wiring -------------------------------------------------------------------------------

function onFilesChosen(input, open) {
  input.addEventListener('change', async () => {
    if (input.files.length > 0) await open(input.files);
    input.value = '';
  });
}

function wire() {
  $('open-rom').addEventListener('click', commands.openRom);
  $('open-data').addEventListener('click', commands.openDataFile);
  $('open-table').addEventListener('click', commands.openTable);
  $('open-scripts').addEventListener('click', () => $('script-files').click());
  $('save-text').addEventListener('click', saveText);
  $('insert').addEventListener('click', insertBlock);
  $('build').addEventListener('click', buildProject);
  $('find').addEventListener('click', commands.find);
  $('replace').addEventListener('click', commands.replace);
  onFilesChosen($('rom-file'), (files) => openRom(files[0]));
  onFilesChosen($('data-file'), (files) => openDataFile(files[0]));
  onFilesChosen($('table-file'), (files) => openTable(files[0]));
  onFilesChosen($('script-files'), openScripts);
  onFilesChosen($('project-folder'), openProject);
  $('open-project').addEventListener('click', () => $('project-folder').click());

  view.blocks.addEventListener('change', () => chooseBlock(view.blocks.selectedIndex));
  view.strings.addEventListener('change', () => chooseString(view.strings.selectedIndex, true));
  view.problems.addEventListener('change', () => {
    const value = view.problems.value;
    offerRemoveEmptyLine();
    if (value !== '') chooseString(Number(value), true);
  });
  $('remove-empty-line').addEventListener('click', removeEmptyLine);
  view.script.addEventListener('input', onScriptInput);
  view.script.addEventListener('beforeinput', (event) => {
    if (event.inputType === 'historyUndo' || event.inputType === 'historyRedo') {
      event.preventDefault();
      undoOrRedo(event.inputType === 'historyUndo' ? state.undo.undo() : state.undo.redo());
      return;
    }
    state.selectionBefore = state.window.selection();
  });
  view.script.addEventListener('keydown', onScriptKey);
  view.scriptBefore.addEventListener('click', () => { state.undo.close(); state.window.clicked(view.scriptBefore); });
  view.scriptAfter.addEventListener('click', () => { state.undo.close(); state.window.clicked(view.scriptAfter); });
  view.script.addEventListener('mousedown', () => state.undo.close());

  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    if (event.dataTransfer?.files.length) openFiles([...event.dataTransfer.files]);
  });
  document.addEventListener('keydown', (event) => handleKey(event, commands, available));
  keepFitted(view.canvas);

  // What the module offers besides the editing itself.
  $('find').hidden = !has('find');
  $('replace').hidden = !has('replace');
  $('insert').hidden = !(has('insertBlock') && has('romImage') && has('makeIps') && has('makeBps'));
  $('build').hidden = !has('buildProject');
  $('open-project').hidden = !has('buildProject');
  $('hex-window').hidden = !has('hexData');
  $('remove-empty-line').hidden = !has('emptyLineCut');
}

async function start() {
  state.module = await window.CorvaneModule();
  state.module.FS.mkdir(kGameFolder);
  state.editor = new state.module.Editor(kGameFolder, dialogs);
  state.window = new ScriptWindow({ scroller: view.scriptView, before: view.scriptBefore, box: view.script,
                                    after: view.scriptAfter });
  wire();
  $('loading').textContent = 'Ready: open the ROM, the data file and the table.';
  // Milliseconds from the navigation on: the page's tests report it.
  document.body.dataset.ready = String(performance.now());
}

start().catch((error) => {
  $('loading').textContent = `The editor could not start: ${error}`;
});

// For the page's own tests: the state they check against the command line's figures.
window.corvanePage = { state, view };
