// The translator's files, chosen with the file pickers or dropped on the page, read here and
// put into the module's file system: the game's files in /game, scripts in /game/Dumps, where
// the editor keeps the scripts beside the ROM. Nothing is uploaded.

export const kGameFolder = '/game';
export const kDumpsFolder = '/game/Dumps';
export const kProjectsFolder = '/project';

// What a dropped file is taken for, by its name: a script file is named by eight hexadecimal
// digits, another .txt is the block data file.
export function kindOfFile(name) {
  const lower = name.toLowerCase();
  if (/\.(smc|sfc|fig|swc|bin)$/.test(lower)) return 'rom';
  if (lower.endsWith('.tbl')) return 'table';
  if (/^[0-9a-f]{8}\.txt$/.test(lower)) return 'script';
  if (lower.endsWith('.txt')) return 'data';
  return null;
}

function ensureFolder(fs, folder) {
  if (!fs.analyzePath(folder).exists) fs.mkdir(folder);
}

// Reads `file` and writes it into `folder`: its path in the module's file system, and its bytes.
export async function putFile(fs, file, folder) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  ensureFolder(fs, kGameFolder);
  ensureFolder(fs, folder);
  // A name is one path component here, whatever the browser hands over.
  const name = file.name.replaceAll('/', '_');
  const path = `${folder}/${name}`;
  fs.writeFile(path, bytes);
  return { path, name, bytes };
}

// A file of a project folder the browser opened, at its path under /project (the folder's own
// name first): its path in the module's file system and its bytes. Paths that climb out of the
// folder are refused (null).
export async function putProjectFile(fs, file) {
  const parts = (file.webkitRelativePath || file.name).split('/');
  if (parts.some((part) => part === '' || part === '.' || part === '..')) return null;
  const bytes = new Uint8Array(await file.arrayBuffer());
  const path = `${kProjectsFolder}/${parts.join('/')}`;
  fs.mkdirTree(path.slice(0, path.lastIndexOf('/')));
  fs.writeFile(path, bytes);
  return { path, root: `${kProjectsFolder}/${parts[0]}`, bytes };
}
