// The typed text of every script, kept in this browser's storage at every change, under the
// ROM's checksum and the block, so that a closed tab, a reload or a crash loses nothing. This is
// not a file: the page says so, and the translator saves scripts as files.

const kPrefix = 'corvane.script.';
const kLastBlockPrefix = 'corvane.block.';

function keyOf(romKey, block) {
  return `${kPrefix}${romKey}.${block}`;
}

function read(key) {
  try {
    const entry = JSON.parse(localStorage.getItem(key));
    return entry && typeof entry.text === 'string' ? entry : null;
  } catch {
    return null;  // an entry that does not read back holds nothing to restore
  }
}

// Keeps `text` at once; false when the browser refuses (storage full or switched off).
export function keepText(romKey, block, text) {
  try {
    localStorage.setItem(keyOf(romKey, block), JSON.stringify({ text, savedAsFile: false, at: Date.now() }));
    return true;
  } catch {
    return false;
  }
}

export function keptText(romKey, block) {
  return read(keyOf(romKey, block))?.text ?? null;
}

// After the text was saved as a file: still kept, now marked as saved.
export function markSaved(romKey, block) {
  const entry = read(keyOf(romKey, block));
  if (!entry) return;
  entry.savedAsFile = true;
  try {
    localStorage.setItem(keyOf(romKey, block), JSON.stringify(entry));
  } catch {
    // the mark is only a note to the translator
  }
}

export function forgetText(romKey, block) {
  localStorage.removeItem(keyOf(romKey, block));
}

// Every block of this ROM with text kept here: [{block, savedAsFile, at}], by block.
export function keptBlocks(romKey) {
  const start = `${kPrefix}${romKey}.`;
  const blocks = [];
  for (let i = 0; i < localStorage.length; ++i) {
    const key = localStorage.key(i);
    if (!key.startsWith(start)) continue;
    const entry = read(key);
    if (entry) blocks.push({ block: key.slice(start.length), savedAsFile: entry.savedAsFile, at: entry.at });
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
