// Undo and Redo of the script, kept by the page: the text box holds one piece of the script at a
// time, and a browser forgets a text box's own undo history whenever the page sets its text.
// A run of typed characters, or of characters deleted one after the other, is one step, as in
// the desktop's Text Editor.

const kMostSteps = 1000;

function typedAfter(last, change) {
  return last.removed === '' && change.removed === '' && change.inserted.length === 1 &&
         change.inserted !== '\n' && !last.inserted.endsWith('\n') && change.at === last.at + last.inserted.length;
}

function deletedBefore(last, change) {
  return last.inserted === '' && change.inserted === '' && change.removed.length === 1 &&
         (change.at + 1 === last.at || change.at === last.at);
}

export class UndoSteps {
  constructor() {
    this.done = [];
    this.undone = [];
    this.open = false;  // the last step may take the next typed or deleted character
  }

  // A change of the script (offsets of the whole script) with the selection before and after
  // it ({start, end}).
  record(change, selectionBefore, selectionAfter) {
    this.undone = [];
    const last = this.done.at(-1);
    if (this.open && last && typedAfter(last, change)) {
      last.inserted += change.inserted;
      last.after = selectionAfter;
      return;
    }
    if (this.open && last && deletedBefore(last, change)) {
      if (change.at < last.at) {
        last.at = change.at;  // Backspace
        last.removed = change.removed + last.removed;
      } else {
        last.removed += change.removed;  // Delete
      }
      last.after = selectionAfter;
      return;
    }
    this.done.push({ ...change, before: selectionBefore, after: selectionAfter });
    if (this.done.length > kMostSteps) this.done.shift();
    this.open = true;
  }

  // A change that is a step of its own whatever came before and after it (a command's).
  recordAlone(change, selectionBefore, selectionAfter) {
    this.close();
    this.record(change, selectionBefore, selectionAfter);
    this.close();
  }

  // The next change starts a step of its own (the caret moved, a command ran).
  close() {
    this.open = false;
  }

  forget() {
    this.done = [];
    this.undone = [];
    this.open = false;
  }

  // The change that undoes the last step and the selection to show after it, or null.
  undo() {
    const step = this.done.pop();
    if (!step) return null;
    this.undone.push(step);
    this.open = false;
    return { change: { at: step.at, removed: step.inserted, inserted: step.removed }, selection: step.before };
  }

  redo() {
    const step = this.undone.pop();
    if (!step) return null;
    this.done.push(step);
    this.open = false;
    return { change: { at: step.at, removed: step.removed, inserted: step.inserted }, selection: step.after };
  }
}
