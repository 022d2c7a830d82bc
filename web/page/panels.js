// The lists and panels around the preview, filled from what the editor gives: the block and
// string lists with the strings' marks, the room and progress panels, the Problems list, the
// Kana Text and Hex Data windows and the messages.

const kMarks = { 'not translated yet': '\u25CB', translated: '\u25CF', warning: '\u25B2', error: '\u2716' };

export function fillList(select, lines) {
  const options = lines.map((line, i) => {
    const option = document.createElement('option');
    option.value = String(i);
    option.textContent = line;
    return option;
  });
  select.replaceChildren(...options);
}

export function selectInList(select, index) {
  if (select.selectedIndex !== index) select.selectedIndex = index;
}

// The string list's marks: each line keeps its text, gets its state's mark in front and its
// findings as its tooltip. `strings` holds every marked line (`all`) or only those that changed.
export function markStrings(select, lines, strings, all) {
  const marked = new Map(strings.map((string) => [string.number, string]));
  // Only what differs is written: a list box measures all its lines again after any change.
  const mark = (i, string) => {
    const option = select.options[i];
    if (!option) return;
    const text = (string ? `${kMarks[string.state] ?? ' '} ` : '  ') + lines[i];
    const tooltip = string ? string.tooltip : '';
    const state = string ? string.state.replaceAll(' ', '-') : '';
    write(option, 'textContent', text);
    write(option, 'title', tooltip);
    if (option.dataset.state !== state) option.dataset.state = state;
  };
  if (all) {
    for (let i = 0; i < select.options.length; ++i) mark(i, marked.get(i));
  } else {
    for (const [number, string] of marked) mark(number, string);
  }
}

// Only what differs is written: a write lays the panel out again even when its text is the same.
function write(element, property, value) {
  if (element[property] !== value) element[property] = value;
}

export function showPanels(checks, { room, progress }) {
  write(room, 'textContent', checks ? checks.room : '');
  write(room, 'title', checks ? checks.roomNote : '');
  write(progress, 'textContent', checks ? checks.progress : '');
}

export function showProblems(rows, problems) {
  problems.replaceChildren(...rows.map((row) => {
    const option = document.createElement('option');
    option.value = row.string === null ? '' : String(row.string);
    option.dataset.severity = row.severity;
    if (row.removesEmptyLine) option.dataset.removesEmptyLine = 'true';
    const where = row.string === null ? 'Block' : `String ${row.string}`;
    option.textContent = `${where} \u2014 ${row.severity}: ${row.message}`;
    return option;
  }));
}

export function showKana(shown, { caption, text }) {
  caption.textContent = shown.kanaCaption;
  if (shown.kanaText !== undefined) text.textContent = shown.kanaText.replaceAll('\r\n', '\n');
}

// The Hex Data window from the module's hexData(): its caption and its grid, row after row; a
// cell is its text or {text, selected}.
export function showHex(hex, { caption, grid }) {
  if (!hex) {
    grid.replaceChildren();
    return;
  }
  if (hex.caption) caption.textContent = hex.caption;
  const rows = hex.rows ?? [];
  const table = document.createElement('table');
  table.setAttribute('role', 'grid');
  for (const row of rows) {
    const line = table.insertRow();
    for (const cell of (Array.isArray(row) ? row : row.cells ?? [])) {
      const td = line.insertCell();
      td.textContent = typeof cell === 'string' ? cell : cell.text;
      if (cell.selected) td.setAttribute('aria-selected', 'true');
    }
  }
  grid.replaceChildren(table);
}

export function showMessage(area, text) {
  const item = document.createElement('p');
  item.textContent = text;
  const close = document.createElement('button');
  close.type = 'button';
  close.textContent = 'OK';
  close.addEventListener('click', () => item.remove());
  item.append(' ', close);
  area.append(item);
}

export function showKeptBlocks(list, blocks) {
  list.replaceChildren(...blocks.map(({ block, savedAsFile, at }) => {
    const item = document.createElement('li');
    const when = new Date(at).toLocaleString();
    item.textContent = `${block}: typed ${when}, ${savedAsFile ? 'saved as a file' : 'not saved as a file yet'}`;
    return item;
  }));
}
