// A small DevTools-protocol client for Debian's headless Chromium: starts the
// browser with a profile of its own, opens one page and talks to it.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export async function openBrowser(chromium = '/usr/bin/chromium') {
  const profile = mkdtempSync(join(tmpdir(), 'ludora-chromium-'));
  const browser = spawn(chromium, ['--headless', '--no-sandbox', '--disable-gpu',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--no-first-run', '--autoplay-policy=no-user-gesture-required',
    '--remote-debugging-port=0', `--user-data-dir=${profile}`, 'about:blank'],
    { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
  // The browser and its helpers in a process group of their own: all end
  // together, and none is left behind by a failing test.
  const end = (signal) => { try { process.kill(-browser.pid, signal); } catch { /* gone */ } };
  process.on('exit', () => end('SIGKILL'));
  for (const stop of ['SIGINT', 'SIGTERM']) process.on(stop, () => process.exit(1));
  const address = await new Promise((resolve, reject) => {
    let text = '';
    browser.stderr.on('data', (chunk) => {
      text += chunk;
      const found = text.match(/DevTools listening on (ws:\S+)/);
      if (found) resolve(found[1]);
    });
    browser.on('exit', () => reject(new Error('chromium ended: ' + text)));
  });
  const socket = new WebSocket(address);
  await new Promise((resolve) => socket.addEventListener('open', resolve));
  let next = 1;
  const waiting = new Map();
  const listeners = [];
  socket.addEventListener('message', (event) => {
    const message = JSON.parse(event.data);
    if (message.id && waiting.has(message.id)) {
      const { resolve, reject } = waiting.get(message.id);
      waiting.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else if (message.method) {
      for (const listen of listeners) listen(message);
    }
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = next++;
    waiting.set(id, { resolve, reject });
    socket.send(JSON.stringify({ id, method, params, sessionId }));
  });
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  const page = {
    send: (method, params) => send(method, params, sessionId),
    on: (listen) => listeners.push((m) => { if (m.sessionId === sessionId) listen(m); }),
    // The value of a page expression (awaited when it is a promise).
    async evaluate(expression) {
      const result = await send('Runtime.evaluate',
        { expression, awaitPromise: true, returnByValue: true }, sessionId);
      if (result.exceptionDetails) throw new Error(JSON.stringify(result.exceptionDetails));
      return result.result.value;
    },
    close() {
      socket.close();
      const exited = browser.exitCode !== null || browser.signalCode !== null ? Promise.resolve()
        : new Promise((resolve) => browser.on('exit', resolve));
      end('SIGTERM');
      return exited.then(() => {
        end('SIGKILL'); // helpers still writing to the profile
        try { rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 50 }); } catch { /* left in the temporary folder */ }
      });
    },
    pid: browser.pid,
  };
  await page.send('Page.enable');
  await page.send('Runtime.enable');
  return page;
}
