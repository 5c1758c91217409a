// CPU of headless Chromium showing the launcher's title page of Pearlwreck
// (past the splash, sound started by that click, nothing moving; the music
// playing or switched off), from /proc: the share
// of one core used by the browser's processes over a span, per process type
// and for the busiest threads, with the page's own counters over the same span.
//   node --experimental-websocket measure_still_tab.mjs SITE_URL [SECONDS] [music-on|music-off]
import { openBrowser } from '../../tests/web/devtools.mjs';
import { readFileSync, readdirSync } from 'node:fs';

const [site, seconds = '10', music = 'music-on'] = process.argv.slice(2);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const tick = 100; // USER_HZ

// Every process under the browser's, with its type and its threads' times.
function sample(root) {
  const parent = new Map();
  for (const pid of readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      parent.set(+pid, +stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
    } catch { /* gone meanwhile */ }
  }
  const inTree = (pid) => { for (; pid > 1; pid = parent.get(pid)) if (pid === root) return true; return false; };
  const threads = new Map();
  for (const pid of parent.keys()) {
    if (!inTree(pid)) continue;
    let type = 'browser';
    try {
      const found = readFileSync(`/proc/${pid}/cmdline`, 'utf8').match(/--type=([a-z-]+)/);
      if (found) type = found[1];
      for (const tid of readdirSync(`/proc/${pid}/task`)) {
        const stat = readFileSync(`/proc/${pid}/task/${tid}/stat`, 'utf8');
        const name = stat.slice(stat.indexOf('(') + 1, stat.lastIndexOf(')'));
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        threads.set(`${pid}/${tid}`, { type, name, ticks: +fields[11] + +fields[12] });
      }
    } catch { /* gone meanwhile */ }
  }
  return threads;
}

const page = await openBrowser();
try {
  await page.send('Emulation.setDeviceMetricsOverride', { width: 800, height: 600, deviceScaleFactor: 1, mobile: false });
  await page.send('Page.navigate', { url: site + '/play/' });
  for (let i = 0; i < 200 && !(await page.evaluate('self.Module && Module.ludoraStats && Module.ludoraStats.framesShown > 0')); ++i) await sleep(100);
  await sleep(1000);
  const click = async (x, y) => {
    for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased'])
      await page.send('Input.dispatchMouseEvent', { type, x: x + 0.5, y: y + 0.5, button: 'left', clickCount: 1 });
    await sleep(1500);
  };
  // Past the splash (the click starts the sound) to Pearlwreck's title page.
  // "music-off": its Music switch clicked, which the launcher reads at start:
  // the page is loaded again and the way taken again.
  await click(400, 60);
  await click(139, 190);
  if (music === 'music-off') {
    await click(133, 540);
    await page.send('Page.reload');
    await sleep(3000);
    await click(400, 60);
    await click(139, 190);
  }
  await sleep(3000); // the sound graph suspended when silent, the program at rest
  const counters = 'JSON.stringify(Module.ludoraStats)';
  const before = sample(page.pid), statsBefore = JSON.parse(await page.evaluate(counters));
  const start = performance.now();
  await sleep(+seconds * 1000);
  const after = sample(page.pid), statsAfter = JSON.parse(await page.evaluate(counters));
  const span = (performance.now() - start) / 1000;
  const share = (ticks) => (100 * ticks / tick / span).toFixed(1);

  const byType = new Map(), byThread = [];
  let total = 0;
  for (const [key, now] of after) {
    const used = now.ticks - (before.get(key)?.ticks ?? 0);
    total += used;
    byType.set(now.type, (byType.get(now.type) ?? 0) + used);
    if (used > 0) byThread.push([`${now.type} ${now.name}`, used]);
  }
  console.log(`still tab (${music}) over ${span.toFixed(1)} s: ${share(total)} % of a core`);
  for (const [type, used] of byType) console.log(`  ${type.padEnd(12)} ${share(used)} %`);
  byThread.sort((a, b) => b[1] - a[1]);
  for (const [name, used] of byThread.slice(0, 6)) console.log(`  thread ${name.padEnd(32)} ${share(used)} %`);
  const rates = Object.keys(statsAfter).filter((k) => typeof statsAfter[k] === 'number' && !['started', 'firstFrame'].includes(k))
    .map((k) => `${k} ${((statsAfter[k] - (statsBefore[k] ?? 0)) / span).toFixed(1)}/s`);
  console.log(`  page: ${rates.join(', ')}`);
} finally {
  await page.close();
}
