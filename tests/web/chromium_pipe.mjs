// Headless Chromium driven through the DevTools protocol over its pipe (--remote-debugging-pipe:
// commands written to its file descriptor 3, answers and events read from 4, each message JSON
// ended by a NUL byte), with nothing from npm.

import { spawn } from 'node:child_process';
import fs from 'node:fs';

export class Chromium {
  // `userDataDir`: a profile folder of its own, emptied first.
  static async launch(executable, userDataDir) {
    fs.rmSync(userDataDir, { recursive: true, force: true });
    fs.mkdirSync(userDataDir, { recursive: true });
    const args = ['--headless', '--remote-debugging-pipe', `--user-data-dir=${userDataDir}`, '--no-first-run',
                  '--no-default-browser-check', '--disable-gpu', '--disable-background-networking',
                  '--disable-component-update', '--disable-sync', '--disable-extensions', '--mute-audio',
                  '--window-size=1400,960'];
    // Chromium's sandbox needs user namespaces, which a root shell in a container lacks.
    if (process.getuid?.() === 0) args.push('--no-sandbox');
    const child = spawn(executable, args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    const browser = new Chromium(child);
    const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
    browser.sessionId = sessionId;
    return browser;
  }

  constructor(child) {
    this.child = child;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.stderr = '';
    let buffered = '';
    child.stderr.on('data', (data) => { this.stderr = (this.stderr + data).slice(-4000); });
    child.stdio[4].on('data', (data) => {
      buffered += data.toString('utf8');
      for (let end = buffered.indexOf('\0'); end >= 0; end = buffered.indexOf('\0')) {
        this.receive(JSON.parse(buffered.slice(0, end)));
        buffered = buffered.slice(end + 1);
      }
    });
    child.on('exit', (code) => {
      for (const { reject } of this.pending.values()) reject(new Error(`Chromium ended (${code}): ${this.stderr}`));
      this.pending.clear();
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const waiting = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (!waiting) return;
      if (message.error) waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
      else waiting.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message.method, message.params ?? {});
  }

  // A command to the browser itself; page() sends to the page.
  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params, ...(sessionId ? { sessionId } : {}) };
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  page(method, params = {}) {
    return this.send(method, params, this.sessionId);
  }

  onEvent(listener) {
    this.listeners.push(listener);
  }

  // The value of a JavaScript expression in the page (awaited when it is a promise).
  async evaluate(expression) {
    const { result, exceptionDetails } = await this.page('Runtime.evaluate',
      { expression, returnByValue: true, awaitPromise: true });
    if (exceptionDetails) {
      throw new Error(`in the page: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
    }
    return result.value;
  }

  // Waits until `expression` is true in the page, at most `timeoutMs`.
  async waitFor(expression, what, timeoutMs = 20000) {
    const until = Date.now() + timeoutMs;
    while (!(await this.evaluate(`Boolean(${expression})`))) {
      if (Date.now() > until) throw new Error(`the page did not get there: ${what}`);
      await new Promise((resolve) => setTimeout(resolve, 20));
    }
  }

  // A key pressed and released, with the text it types (if any).
  async press(key, { code = key, text, modifiers = 0, keyCode } = {}) {
    // A letter's or digit's key code is its upper-case character; other characters carry none
    // (their codes would name other keys: '!' is Page Up's).
    const virtual = keyCode ?? (/^[a-z0-9 ]$/i.test(key) ? key.toUpperCase().charCodeAt(0) : 0);
    const common = { key, code, modifiers, windowsVirtualKeyCode: virtual };
    await this.page('Input.dispatchKeyEvent', { type: text ? 'keyDown' : 'rawKeyDown', text, ...common });
    await this.page('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
  }

  // Types `text` key by key, as a keyboard would.
  async type(text) {
    for (const character of text) await this.press(character, { code: '', text: character });
  }

  async close() {
    try {
      await this.send('Browser.close');
    } catch {
      // it ended on its own
    }
    if (this.child.exitCode === null) this.child.kill();
  }
}
