// Files the page hands the translator: a download of bytes under a name. Nothing is written
// anywhere else, and the ROM the translator opened is never offered back.

export function download(bytes, name, container) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  link.textContent = name;
  if (container) {
    container.append(link, ' ');
  } else {
    link.click();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }
  return link;
}

// The script's bytes as the desktop editor writes them: each character one Latin-1 byte, every
// line end CR LF. Used when the module has no saveScript() of its own.
export function scriptFileBytes(text) {
  const bytes = [];
  for (let i = 0; i < text.length; ++i) {
    const code = text.charCodeAt(i);
    if (code === 10) bytes.push(13);
    bytes.push(code);
  }
  return new Uint8Array(bytes);
}

export function sameBytes(a, b) {
  if (a.length !== b.length) return false;
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
  return true;
}

// "corvane.smc" to "corvane (translated).smc": a name the original cannot be confused with.
export function translatedName(romName, extension) {
  const dot = romName.lastIndexOf('.');
  const stem = dot > 0 ? romName.slice(0, dot) : romName;
  return `${stem} (translated)${extension ?? (dot > 0 ? romName.slice(dot) : '.smc')}`;
}
