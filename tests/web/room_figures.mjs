// The room figures as the two sides word them: the room panel's "D40000: 3,151 of 23,063 bytes,
// 19,912 left" and corvtool check's "BLOCK D40000: needs 3151 bytes, room 23063 bytes, 19912
// bytes left", each read as [needed, room, left].

export function roomPanelFigures(panel, block) {
  const figures = new RegExp(`^${block}: ([\\d,]+) of ([\\d,]+) bytes, ([\\d,]+) left`).exec(panel);
  return figures ? figures.slice(1).map((figure) => Number(figure.replaceAll(',', ''))) : null;
}

export function checkRoomFigures(line) {
  const figures = /^BLOCK [0-9A-F]+: needs (\d+) bytes, room (\d+) bytes, (-?\d+) bytes left$/.exec(line);
  return figures ? figures.slice(1).map(Number) : null;
}
