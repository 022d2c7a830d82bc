// The desktop editor's keys, where the browser lets a page have them (Ctrl+T, Ctrl+N and Ctrl+W
// stay the browser's). Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+A edit the text, as in a translation
// project; the page takes no clipboard key.

const kKeys = [
  { key: 'o', ctrl: true, command: 'openRom' },
  { key: 'f', ctrl: true, command: 'openDataFile' },
  { key: 's', ctrl: true, command: 'saveText' },
  { key: 'i', ctrl: true, command: 'insertBlock' },
  { key: 'r', ctrl: true, command: 'buildProject' },
  { key: 'g', ctrl: true, command: 'goToString' },
  { key: 'e', ctrl: true, command: 'showProblems' },
  { key: 'k', ctrl: true, command: 'showKanaText' },
  { key: 'f', ctrl: true, shift: true, command: 'find' },
  { key: 'h', ctrl: true, shift: true, command: 'replace' },
  { key: 'F3', command: 'nextUntranslated' },
  { key: 'F3', shift: true, command: 'previousUntranslated' },
  { key: 'F4', command: 'nextProblem' },
  { key: 'F6', command: 'findNext' },
  { key: 'F7', command: 'replaceNext' },
  { key: 'F7', shift: true, command: 'replaceAll' },
];

function matches(binding, event) {
  const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
  return key === binding.key && event.ctrlKey === Boolean(binding.ctrl) && event.shiftKey === Boolean(binding.shift) &&
         !event.altKey && !event.metaKey;
}

// Runs the command of `event`'s key when `available` says the page offers it now; a key the
// page does not take goes on to the browser.
export function handleKey(event, commands, available) {
  // Shift+Delete in the script does nothing, as in the desktop's Text Editor.
  if (event.key === 'Delete' && event.shiftKey && event.target instanceof HTMLTextAreaElement) {
    event.preventDefault();
    return;
  }
  const binding = kKeys.find((candidate) => matches(candidate, event));
  if (!binding || !available(binding.command)) return;
  event.preventDefault();
  commands[binding.command]();
}
