// The typed text of every script, kept in this browser's storage at every change, under the
// ROM's checksum and the block, so that a closed tab, a reload or a crash loses nothing. This is
// not a file: the page says so, and the translator saves scripts as files.
//
// A key stores only its change: writing a long script whole at every key would cost more than
// the key may. The script is kept whole now and then ("the text"), with the changes typed since
// beside it; both carry the text's generation, so changes never apply to a text they were not
// made on (a crash between writing a new text and emptying the changes leaves changes the new
// text already holds, and they are left out).

const kPrefix = 'corvane.script.';
const kChangesPrefix = 'corvane.changes.';
const kLastBlockPrefix = 'corvane.block.';
// The changes kept before the text is stored whole again.
const kMostChanges = 200;
const kMostChangedCharacters = 8192;

function keyOf(romKey, block) {
  return `${kPrefix}${romKey}.${block}`;
}

function changesKeyOf(romKey, block) {
  return `${kChangesPrefix}${romKey}.${block}`;
}

function read(key) {
  try {
    const entry = JSON.parse(localStorage.getItem(key));
    return entry && typeof entry.text === 'string' ? entry : null;
  } catch {
    return null;  // an entry that does not read back holds nothing to restore
  }
}

function readChanges(romKey, block) {
  try {
    const entry = JSON.parse(localStorage.getItem(changesKeyOf(romKey, block)));
    return entry && Array.isArray(entry.changes) ? entry : null;
  } catch {
    return null;
  }
}

// The changes since the text was kept whole, as this page wrote them last: {generation, changes
// (as JSON, without the brackets), count, characters}, held here so that a key does not read the
// storage back.
const pending = new Map();

function writeWhole(romKey, block, text, savedAsFile) {
  const generation = `${Date.now()}-${Math.random().toString(36).slice(2)}`;
  localStorage.setItem(keyOf(romKey, block), JSON.stringify({ text, savedAsFile, at: Date.now(), generation }));
  // After the text: a crash in between leaves changes of another generation, left out.
  localStorage.removeItem(changesKeyOf(romKey, block));
  pending.set(changesKeyOf(romKey, block), { generation, changes: '', count: 0, characters: 0 });
}

// A block chosen anew: its next change is kept with the whole text, which the changes after it
// are then made on.
export function startBlock(romKey, block) {
  pending.delete(changesKeyOf(romKey, block));
}

// Keeps `text` whole at once; false when the browser refuses (storage full or switched off).
export function keepText(romKey, block, text) {
  try {
    writeWhole(romKey, block, text, false);
    return true;
  } catch {
    return false;
  }
}

// Keeps one change ({at, removed, inserted} of the script), or the whole text (`text()` gives it) when the changes kept have grown long or none were
// kept for this text yet; false when the browser refuses.
export function keepChange(romKey, block, change, text) {
  const key = changesKeyOf(romKey, block);
  const kept = pending.get(key);
  if (!kept || kept.count >= kMostChanges || kept.characters + change.inserted.length > kMostChangedCharacters) {
    return keepText(romKey, block, text());
  }
  try {
    // The changes as JSON, one more appended: a key does not write the earlier ones out again.
    const changes = `${kept.changes}${kept.changes ? ',' : ''}${JSON.stringify([change.at, change.removed.length, change.inserted])}`;
    const at = Date.now();
    localStorage.setItem(key, `{"generation":${JSON.stringify(kept.generation)},"changes":[${changes}],"at":${at}}`);
    pending.set(key, { generation: kept.generation, changes, count: kept.count + 1,
                       characters: kept.characters + change.inserted.length });
    return true;
  } catch {
    return false;
  }
}

// The kept text with the changes made on it; a change that does not fit the text ends them.
export function keptText(romKey, block) {
  const entry = read(keyOf(romKey, block));
  if (!entry) return null;
  const kept = readChanges(romKey, block);
  if (!kept || kept.generation !== entry.generation) return entry.text;
  let text = entry.text;
  for (const change of kept.changes) {
    const [at, removed, inserted] = Array.isArray(change) ? change : [];
    if (!Number.isInteger(at) || !Number.isInteger(removed) || typeof inserted !== 'string' || at < 0 || removed < 0 ||
        at + removed > text.length) {
      break;
    }
    text = text.slice(0, at) + inserted + text.slice(at + removed);
  }
  return text;
}

// After the text was saved as a file: still kept, whole, now marked as saved.
export function markSaved(romKey, block, text) {
  try {
    writeWhole(romKey, block, text, true);
  } catch {
    // the mark is only a note to the translator
  }
}

export function forgetText(romKey, block) {
  localStorage.removeItem(keyOf(romKey, block));
  localStorage.removeItem(changesKeyOf(romKey, block));
  pending.delete(changesKeyOf(romKey, block));
}

// Every block of this ROM with text kept here: [{block, savedAsFile, at}], by block.
export function keptBlocks(romKey) {
  const start = `${kPrefix}${romKey}.`;
  const blocks = [];
  for (let i = 0; i < localStorage.length; ++i) {
    const key = localStorage.key(i);
    if (!key.startsWith(start)) continue;
    const entry = read(key);
    if (!entry) continue;
    const block = key.slice(start.length);
    const kept = readChanges(romKey, block);
    const typed = kept && kept.generation === entry.generation && kept.changes.length > 0;
    blocks.push({ block, savedAsFile: entry.savedAsFile && !typed, at: typed ? kept.at : entry.at });
  }
  return blocks.sort((a, b) => a.block.localeCompare(b.block));
}

export function rememberBlock(romKey, block) {
  try {
    localStorage.setItem(kLastBlockPrefix + romKey, block);
  } catch {
    // only saves a click after a reload
  }
}

export function lastBlock(romKey) {
  return localStorage.getItem(kLastBlockPrefix + romKey);
}
