// The suite in headless Chromium, served by the site: the game's title page
// and a search on a board dealt from a fixed seed, the launcher's splash and
// game pages (all the same pixels as the desktop programs'), sound reaching
// Web Audio, a player's name changed and still there after a reload, the hall
// of fame's upload landing on the site and its clearing stored, the game's
// page opened by Play and the launcher's again by the game's Menu.
//   node --experimental-websocket play_in_browser.mjs SITE_URL NATIVE_SHOTS_DIR
import { openBrowser } from './devtools.mjs';
import { readFileSync, writeFileSync } from 'node:fs';
import assert from 'node:assert/strict';

const [site, shots] = process.argv.slice(2);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const page = await openBrowser();
const problems = [];
page.on((m) => {
  if (m.method === 'Runtime.exceptionThrown') problems.push(JSON.stringify(m.params.exceptionDetails));
});
await page.send('Emulation.setDeviceMetricsOverride',
  { width: 800, height: 600, deviceScaleFactor: 1, mobile: false });

async function until(what, expression, ms = 20000) {
  for (const start = Date.now(); Date.now() - start < ms; await sleep(100)) {
    if (await page.evaluate(`(() => { try { return ${expression}; } catch (e) { return false; } })()`))
      return;
  }
  // What the page showed, for whoever reads the failure.
  const shot = await page.send('Page.captureScreenshot', {});
  writeFileSync(shots + '/failure.png', Buffer.from(shot.data, 'base64'));
  throw new Error(`timed out waiting for ${what} (${shots}/failure.png); ` +
                  `page problems: ${problems.join('\n')}`);
}
async function open(url) {
  await page.send('Page.navigate', { url });
  await until('the first frame of ' + url,
    `location.href === ${JSON.stringify(url)} && Module.ludoraStats.framesShown > 0`);
}
// The bytes IndexedDB holds for a file of the saves' mount, or null.
const stored = (path) => `new Promise((done) => {
  const db = indexedDB.open('/saves');
  db.onerror = () => done(null);
  db.onsuccess = () => {
    const got = db.result.transaction('FILE_DATA').objectStore('FILE_DATA').get('${path}');
    got.onerror = () => done(null);
    got.onsuccess = () => done(got.result ? Array.from(got.result.contents) : null);
  }; })`;
// A click at the program's own coordinates (the canvas is centred in the page).
async function click(cx, cy) {
  const [left, top] = await page.evaluate(
    `(() => { const r = document.getElementById('screen').getBoundingClientRect(); return [r.left, r.top]; })()`);
  const x = left + cx + 0.5, y = top + cy + 0.5;
  for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
    await page.send('Input.dispatchMouseEvent', { type, x, y, button: 'left', clickCount: 1 });
    await sleep(60);
  }
}
async function type(text) {
  for (const c of text) {
    const code = 'Key' + c.toUpperCase();
    await page.send('Input.dispatchKeyEvent', { type: 'keyDown', code, key: c });
    await sleep(60);
    await page.send('Input.dispatchKeyEvent', { type: 'keyUp', code, key: c });
    await sleep(60);
  }
}
// The canvas's pixels against the desktop program's shot (a 24-bit BMP):
// the share of pixels that differ by more than 8 in a channel.
async function differsFrom(bmpFile) {
  const bmp = readFileSync(bmpFile);
  const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
  const rgba = Buffer.from(await page.evaluate(`(() => {
    const c = document.getElementById('screen');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = ''; for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
    return btoa(s); })()`), 'base64');
  assert.equal(rgba.length, width * height * 4, 'canvas and shot differ in size');
  const row = Math.ceil(width * 3 / 4) * 4;
  let different = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const b = offset + (height - 1 - y) * row + x * 3, c = (y * width + x) * 4;
      if (Math.abs(bmp[b + 2] - rgba[c]) > 8 || Math.abs(bmp[b + 1] - rgba[c + 1]) > 8 ||
          Math.abs(bmp[b] - rgba[c + 2]) > 8) ++different;
    }
  }
  console.log(`${bmpFile.slice(shots.length + 1)}: ${(100 * different / (width * height)).toFixed(3)} % of pixels differ`);
  return different / (width * height);
}

try {
  // The game on its own page, dealt from the desktop run's seed: its title
  // page, then a new game and two searches (rows 18 and 8, columns 10 and 25).
  await open(site + '/play/pearlwreck/?seed=7');
  assert.ok(await page.evaluate('self.crossOriginIsolated'), 'the page is not cross-origin isolated');
  await click(400, 300); // past the splash; the click starts the sound
  await sleep(1500);
  assert.ok(await differsFrom(shots + '/game_title.bmp') < 0.01, "the game's title page differs from the desktop");
  await click(754, 506); // "New"
  await sleep(1500);
  await click(400, 300); // the round's picture closed
  await sleep(800);
  await click(199, 309);
  await sleep(1500);
  await click(409, 189);
  await sleep(1500);
  assert.ok(await differsFrom(shots + '/search.bmp') < 0.01, 'the chart after the searches differs from the desktop');

  await open(site + '/play/');
  const stats = await page.evaluate('Module.ludoraStats');
  console.log(`first frame ${Math.round(stats.firstFrame)} ms after navigation`);

  // Past the splash: the game pages, as the desktop program draws them.
  await click(400, 60);
  await sleep(1500);
  assert.ok(await differsFrom(shots + '/pages.bmp') < 0.01, 'game pages differ from the desktop');
  // Pearlwreck's slot: its title page in the launcher.
  await click(139, 190);
  await sleep(1500);
  assert.ok(await differsFrom(shots + '/title.bmp') < 0.01, 'title page differs from the desktop');
  // Sound reached Web Audio since the first click: the launcher's music.
  assert.ok(await page.evaluate('Module.ludoraStats.audioPeak') > 0.01, 'no sound reached Web Audio');

  // The players screen: "web" typed after the first player's name, stored by Enter
  // in the player's store (the IndexedDB mount), not in the program's folder.
  await click(400, 340);
  await sleep(800);
  await type('web');
  await click(53 + 474 + 50, 18 + 471 + 20);
  await until('the players written', `FS.readFile('/saves/options.ini', { encoding: 'utf8' }).includes('name=Player1web')`);
  // Stored in IndexedDB once the write is complete, not only when the page is left.
  await until('the players stored', `${stored('/saves/options.ini')}.then((b) =>
    !!b && String.fromCharCode(...b).includes('name=Player1web'))`);

  // A hall of fame with one score, and its upload: the site then lists it.
  await page.evaluate(`(() => {
    const bytes = new Uint8Array(4 + 20 * 260);
    const view = new DataView(bytes.buffer);
    view.setInt32(0, 20, true);
    bytes.set(new TextEncoder().encode('Webby'), 4);
    view.setInt32(4 + 256, 4321, true);
    try { FS.mkdir('/saves/Pearlwreck'); } catch (e) { /* there already */ }
    FS.writeFile('/saves/Pearlwreck/hiscore.dat', bytes);
    return true; })()`);
  await click(120, 392);
  await sleep(1000);
  await click(53 + 552 + 60, 18 + 88 + 20);
  await until('the upload on the site', `fetch('/api/scores').then((r) => r.text()).then((t) => t.includes('Webby') && t.includes('4321'))`);
  await page.send('Page.bringToFront'); // the upload opened its answer in a tab of its own
  await sleep(500);
  // "clear": the emptied table is written beside the file and moved over it,
  // which no fsync stores; the saves' listener stores it at once. Empty: a
  // count of 20 and twenty places of zeros.
  await click(53 + 552 + 60, 18 + 149 + 20);
  await until('the cleared hall of fame stored', `${stored('/saves/Pearlwreck/hiscore.dat')}.then((b) =>
    !!b && b.length === 4 + 20 * 260 && b[0] === 20 && b.slice(1).every((v) => v === 0))`);
  await click(53 + 595 + 40, 18 + 220 + 14);
  await sleep(500);

  // Play: the game's own page, its splash, then Menu back to the launcher's page.
  await click(705, 322);
  await until('the game page', `location.pathname === '/play/pearlwreck/' && Module.ludoraStats.framesShown > 0`);
  await click(400, 20);
  await sleep(1500);
  await click(683, 552);
  await until('the launcher page again', `location.pathname === '/play/' && new URLSearchParams(location.search).get('args') === 'Pearlwreck' && Module.ludoraStats.framesShown > 0`);

  // A reload keeps the name: it comes back from IndexedDB.
  await page.send('Page.reload');
  await until('the reloaded page', 'Module.ludoraStats.framesShown > 0');
  assert.ok(await page.evaluate(`FS.readFile('/saves/options.ini', { encoding: 'utf8' }).includes('name=Player1web')`),
    'the player name was lost on reload');
  assert.ok(!(await page.evaluate(`String.fromCharCode(...FS.readFile('/saves/Pearlwreck/hiscore.dat')).includes('Webby')`)),
    'the cleared hall of fame came back on reload');
  assert.deepEqual(problems, []);
  console.log('web: all steps passed');
} finally {
  await page.close();
}
