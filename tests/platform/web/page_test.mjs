// Plays the browser build in headless Chromium, driven over the DevTools protocol (through
// --remote-debugging-pipe: no npm packages), and checks what a player would see and hear: the title in the
// palette's exact colours at a whole-number scale, pacing, keys, a gamepad, sound pan, a hidden page,
// the record kept across a reload, Esc, and a refused asset's plain line on the page; then replays: a short
// session saved with "Save replay" replays in the desktop runner to the page's own trace, a desktop
// recording picked in the page shows the runner's picture where it ends, and a file that is no recording,
// dropped on the page, is refused with the runner's words.
//
//   node page_test.mjs --build DIR --title PNG --record-title PNG --record N --broken DIR --broken-line TEXT
//       --runner SIM --runner-dir DIR --desktop-replay FILE --desktop-shot PNG --desktop-end N
//
// The pictures come from the desktop's headless runner on the same asset tree: the page must show exactly
// what it draws.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';

const argv = process.argv.slice(2);
const opt = (name) => {
  const i = argv.indexOf('--' + name);
  if (i < 0) throw new Error(`missing --${name}`);
  return argv[i + 1];
};
const build = opt('build'), brokenBuild = opt('broken'), brokenLine = opt('broken-line');
const recordValue = Number(opt('record'));
// The desktop runner, a folder holding the asset tree for it, and a desktop recording with the runner's
// picture of where it ends (paused) and the frame of its last line.
const runner = opt('runner'), runnerDir = opt('runner-dir'), desktopReplay = opt('desktop-replay');
const desktopShot = opt('desktop-shot'), desktopEnd = Number(opt('desktop-end'));
const shots = argv.includes('--shots') ? opt('shots') : null; // where to keep a screenshot of play
const chromium = process.env.CHROMIUM || 'chromium';
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const SCENE_TITLE = 0, SCENE_GAME = 1, GAME_PLAY = 1, SND_SEAL = 4;

let failures = 0;
const check = (ok, what, detail = '') => {
  console.log(`${ok ? 'PASS' : 'FAIL'}: ${what}${detail ? ' (' + detail + ')' : ''}`);
  if (!ok) failures++;
};

// ---- PNG files: the runner's indexed pictures and Chromium's RGB(A) screenshots ----
function decodePng(buf) {
  let at = 8, w, h, type, palette, idat = [];
  while (at < buf.length) {
    const len = buf.readUInt32BE(at), kind = buf.toString('latin1', at + 4, at + 8);
    const body = buf.subarray(at + 8, at + 8 + len);
    if (kind === 'IHDR') { w = body.readUInt32BE(0); h = body.readUInt32BE(4); type = body[9]; }
    if (kind === 'PLTE') palette = body;
    if (kind === 'IDAT') idat.push(body);
    at += 12 + len;
  }
  const bpp = type === 6 ? 4 : type === 2 ? 3 : 1, stride = w * bpp;
  const raw = zlib.inflateSync(Buffer.concat(idat)), px = Buffer.alloc(h * stride);
  for (let y = 0; y < h; y++) {
    const f = raw[y * (stride + 1)], src = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= bpp ? px[y * stride + x - bpp] : 0, b = y ? px[(y - 1) * stride + x] : 0;
      const c = x >= bpp && y ? px[(y - 1) * stride + x - bpp] : 0;
      let v = src[x];
      if (f === 1) v += a; else if (f === 2) v += b; else if (f === 3) v += (a + b) >> 1;
      else if (f === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      px[y * stride + x] = v & 255;
    }
  }
  const at3 = type === 3
    ? (x, y) => { const i = px[y * stride + x] * 3; return [palette[i], palette[i + 1], palette[i + 2]]; }
    : (x, y) => [...px.subarray(y * stride + x * bpp, y * stride + x * bpp + 3)];
  return { w, h, at: at3 };
}
const titlePicture = decodePng(fs.readFileSync(opt('title')));
const recordTitlePicture = decodePng(fs.readFileSync(opt('record-title')));

// ---- a static server and Chromium on the DevTools pipe (fds 3 and 4, messages end with \0) ----
// Resolves once the server answers (Python may take a while to start on a busy machine).
async function serve(dir) {
  const port = 20000 + Math.floor(Math.random() * 20000);
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '--directory', dir, String(port)],
    { stdio: ['ignore', 'ignore', 'ignore'] });
  servers.push(server);
  for (let i = 0; ; i++) {
    try { await fetch(`http://127.0.0.1:${port}/`); break; } catch { if (i > 300) throw new Error('server did not start'); await sleep(100); }
  }
  return port;
}
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmarsh-page-'));
const browser = spawn(chromium, [
  '--headless=new', '--no-sandbox', '--remote-debugging-pipe', `--user-data-dir=${profile}`,
  '--window-size=1000,800', '--force-color-profile=srgb', '--no-first-run', '--mute-audio',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic',
  'about:blank'], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
let browserLog = '';
browser.stderr.on('data', (d) => { browserLog += d; });

let nextId = 1, inbuf = '';
const pending = new Map(), listeners = [];
browser.stdio[4].on('data', (chunk) => {
  inbuf += chunk.toString('utf8');
  let end;
  while ((end = inbuf.indexOf('\0')) >= 0) {
    const msg = JSON.parse(inbuf.slice(0, end));
    inbuf = inbuf.slice(end + 1);
    if (msg.id && pending.has(msg.id)) {
      const { resolve, reject, method } = pending.get(msg.id);
      pending.delete(msg.id);
      msg.error ? reject(new Error(`${method}: ${msg.error.message}`)) : resolve(msg.result);
    } else for (const l of listeners) l(msg);
  }
});
const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
  const id = nextId++;
  pending.set(id, { resolve, reject, method });
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
});
let session;
const page = (method, params) => send(method, params, session);
async function js(expression) {
  const r = await page('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
  if (r.exceptionDetails) throw new Error(`page: ${r.exceptionDetails.exception?.description || r.exceptionDetails.text}`);
  return r.result.value;
}
const KEYS = {
  z: ['KeyZ', 90, 'z'], Escape: ['Escape', 27, 'Escape'], ArrowRight: ['ArrowRight', 39, 'ArrowRight'],
  ArrowLeft: ['ArrowLeft', 37, 'ArrowLeft'], ArrowDown: ['ArrowDown', 40, 'ArrowDown'],
  ArrowUp: ['ArrowUp', 38, 'ArrowUp'], a: ['KeyA', 65, 'a'], space: ['Space', 32, ' '], Tab: ['Tab', 9, 'Tab'],
};
// Held well over two frames, so a busy machine's slow frame cannot miss it.
async function key(name, holdMs = 150) {
  const [code, vk, keyName] = KEYS[name];
  await page('Input.dispatchKeyEvent', { type: 'rawKeyDown', code, key: keyName, windowsVirtualKeyCode: vk });
  await sleep(holdMs);
  await page('Input.dispatchKeyEvent', { type: 'keyUp', code, key: keyName, windowsVirtualKeyCode: vk });
  await sleep(holdMs);
}
const probe = async () => JSON.parse(await js('UTF8ToString(Module._QuillmarshProbe())'));
async function until(what, test, ms = 15000) {
  const t0 = Date.now();
  for (;;) {
    const v = await test().catch(() => false);
    if (v) return v;
    if (Date.now() - t0 > ms) throw new Error(`timed out waiting for ${what}`);
    await sleep(25);
  }
}
async function canvasPixels() {
  const r = await js(`(() => { const c = document.getElementById('canvas');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = ''; for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
    return { w: c.width, h: c.height, data: btoa(s) }; })()`);
  const d = Buffer.from(r.data, 'base64');
  return { w: r.w, h: r.h, at: (x, y) => [...d.subarray((y * r.w + x) * 4, (y * r.w + x) * 4 + 3)] };
}
// Pixels of a 320x240 game picture that differ between two pictures (get(x, y) -> [r, g, b]).
function differing(a, b) {
  let n = 0, first = '';
  for (let y = 0; y < 240; y++) for (let x = 0; x < 320; x++) {
    const p = a(x, y), q = b(x, y);
    if (p[0] !== q[0] || p[1] !== q[1] || p[2] !== q[2]) { if (!n) first = `${x},${y}: ${p} vs ${q}`; n++; }
  }
  return { n, first };
}
function colourCount(get) {
  const seen = new Set();
  for (let y = 0; y < 240; y++) for (let x = 0; x < 320; x++) seen.add(get(x, y).join(','));
  return seen.size;
}
// CPU ticks (1/100 s) of the Chromium process tree, from /proc.
function cpuTicks(rootPid) {
  const parent = new Map(), ticks = new Map();
  for (const p of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(p)) continue;
    try {
      const s = fs.readFileSync(`/proc/${p}/stat`, 'utf8'), f = s.slice(s.lastIndexOf(')') + 2).split(' ');
      parent.set(+p, +f[1]);
      ticks.set(+p, +f[11] + +f[12]);
    } catch { /* gone */ }
  }
  const out = new Map();
  for (const [pid, t] of ticks) {
    for (let q = pid; q > 1; q = parent.get(q)) if (q === rootPid) {
      let type = 'browser';
      try { type = (fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8').match(/--type=([a-z-]+)/) || [, 'browser'])[1]; } catch {}
      out.set(pid, { t, type });
      break;
    }
  }
  return out;
}

async function openPage(port, before = null) {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  ({ sessionId: session } = await send('Target.attachToTarget', { targetId, flatten: true }));
  await page('Runtime.enable'); await page('Log.enable'); await page('Page.enable');
  if (before) await page('Page.addScriptToEvaluateOnNewDocument', { source: before });
  const t0 = Date.now();
  await page('Page.navigate', { url: `http://127.0.0.1:${port}/quillmarsh.html` });
  return t0;
}
const firstFrame = () => js('Module.quillmarshPresentTimes && Module.quillmarshPresentTimes.length > 0');
const settledTitle = async () => { const p = await probe(); return p.trace.scene === SCENE_TITLE && p.presents >= 450 && p; };

const stats = {};
const servers = [];
try {
  const port = await serve(build);
  const problems = [];
  listeners.push((m) => {
    if (m.sessionId !== session) return;
    if (m.method === 'Runtime.exceptionThrown') problems.push(m.params.exceptionDetails.exception?.description);
    if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error') problems.push(m.params.entry.text);
  });
  const t0 = await openPage(port);
  await until('the first frame', firstFrame, 30000);
  stats.firstFrameMs = Date.now() - t0;

  // The settled title, in the palette's exact colours, on the canvas and on the screen at a whole scale.
  await until('the settled title', settledTitle);
  const canvas = await canvasPixels();
  const title = differing(canvas.at, titlePicture.at);
  check(canvas.w === 320 && canvas.h === 240 && title.n === 0, 'the canvas shows the title exactly as the runner draws it',
    `${canvas.w}x${canvas.h}, ${title.n} pixels differ ${title.first}`);
  const box = await js(`(() => { const r = document.getElementById('canvas').getBoundingClientRect();
    return { x: r.left, y: r.top, w: r.width, h: r.height, iw: innerWidth, ih: innerHeight }; })()`);
  const scale = Math.floor(Math.min(box.iw / 320, box.ih / 240));
  check(box.w === 320 * scale && box.h === 240 * scale && scale >= 2, 'shown at the largest whole scale that fits',
    `${box.w}x${box.h} in a ${box.iw}x${box.ih} window, scale ${scale}`);
  check(Math.abs(box.x - (box.iw - box.w) / 2) <= 1 && Math.abs(box.y - (box.ih - box.h) / 2) <= 1, 'centred',
    `at ${box.x},${box.y}`);
  const titleShot = Buffer.from((await page('Page.captureScreenshot', { format: 'png' })).data, 'base64');
  if (shots) fs.writeFileSync(path.join(shots, 'title.png'), titleShot);
  const shot = decodePng(titleShot);
  // Each game pixel fills a whole scale x scale block: both of its corners must carry its colour.
  const corner = (dx, dy) => (x, y) => shot.at(Math.round(box.x) + x * scale + dx, Math.round(box.y) + y * scale + dy);
  const near = differing(corner(0, 0), titlePicture.at), far = differing(corner(scale - 1, scale - 1), titlePicture.at);
  check(near.n === 0 && far.n === 0, 'the screen shows every title pixel as a hard-edged block',
    `${near.n} and ${far.n} blocks differ ${near.first || far.first}`);
  const outside = shot.at(Math.max(0, Math.round(box.x) - 2), Math.round(box.y) + 5);
  check(outside.every((v) => v === 0), 'black around the picture', String(outside));

  // Pacing over 2 s, and the CPU the browser used meanwhile.
  const cpu0 = cpuTicks(browser.pid), w0 = process.hrtime.bigint();
  const pace = await js(`new Promise((resolve) => {
    const times = Module.quillmarshPresentTimes, start = times[times.length - 1], t0 = performance.now();
    setTimeout(() => {
      const t = times.filter((x) => x > start && x <= t0 + 2000), d = [];
      for (let i = 1; i < t.length; i++) d.push(t[i] - t[i - 1]);
      d.sort((a, b) => a - b);
      const q = (x) => d.length ? +d[Math.min(d.length - 1, Math.floor(x * d.length))].toFixed(2) : 0;
      resolve({ frames: t.length, dtMedian: q(0.5), dtP95: q(0.95), dtMax: q(1) });
    }, 2000);
  })`);
  const cpu1 = cpuTicks(browser.pid), wallS = Number(process.hrtime.bigint() - w0) / 1e9;
  let total = 0;
  const byType = {};
  for (const [pid, { t, type }] of cpu1) {
    const d = t - (cpu0.get(pid)?.t || 0);
    total += d;
    byType[type] = Math.round((byType[type] || 0) + d / wallS);
  }
  Object.assign(stats, pace, { cpuAllPct: Math.round(total / wallS), cpuPctByProcess: byType });
  // A busy machine makes frames late, never early (a late frame is not caught up), so the bounds leave
  // room above 11 ms; a page paced by the display (16.7 ms, 120 frames) or not at all still fails.
  check(pace.frames >= 150 && pace.frames <= 200, '150..200 frames in 2 s', `${pace.frames}`);
  check(pace.dtMedian >= 10.5 && pace.dtMedian <= 12.5, 'the median frame interval is 11 ms',
    `median ${pace.dtMedian} ms, p95 ${pace.dtP95} ms, max ${pace.dtMax} ms`);

  // Sound: the first key wakes the page's audio (A: not one of the game's keys, and not a modifier, which
  // would not count as the player doing something); a sound's sides follow its pan (the far side only is
  // lowered, by the pan's decibels).
  await key('a');
  await until('running audio', () => js(`Module.quillmarshAudio.context.state === 'running'`), 5000);
  await js(`(() => {
    const audio = Module.quillmarshAudio, context = audio.context, split = context.createChannelSplitter(2);
    audio.master.connect(split);
    const meters = [context.createAnalyser(), context.createAnalyser()], block = new Float32Array(2048);
    meters.forEach((m, i) => { m.fftSize = 2048; split.connect(m, i); });
    window.levels = { L: 0, R: 0 };
    setInterval(() => meters.forEach((m, i) => {
      m.getFloatTimeDomainData(block);
      let peak = 0; for (const v of block) peak = Math.max(peak, Math.abs(v));
      const side = i ? 'R' : 'L'; window.levels[side] = Math.max(window.levels[side], peak);
    }), 10);
  })()`);
  for (const pan of [2000, -1000]) {
    await js('window.levels = { L: 0, R: 0 }');
    check(await js(`Module._QuillmarshPlaySound(${SND_SEAL}, ${pan})`) === 1, `a sound plays with pan ${pan}`);
    await sleep(900);
    const lv = await js('window.levels');
    const far = Math.pow(10, -Math.abs(pan) / 2000);
    const ratio = pan > 0 ? lv.L / lv.R : lv.R / lv.L;
    const loud = pan > 0 ? lv.R : lv.L;
    stats[`pan${pan}`] = { L: +lv.L.toFixed(4), R: +lv.R.toFixed(4) };
    check(loud > 0.05 && Math.abs(ratio - far) <= 0.1 * far, `pan ${pan}: the far side is ${Math.abs(pan) / 100} dB down`,
      `L ${lv.L.toFixed(4)} R ${lv.R.toFixed(4)}, ratio ${ratio.toFixed(4)} want ${far.toFixed(4)}`);
  }

  // Alt+Enter asks for full screen, where the picture takes the largest whole scale of the screen; again
  // leaves it.
  const altEnter = async () => {
    const enter = { code: 'Enter', key: 'Enter', windowsVirtualKeyCode: 13, modifiers: 1 };
    await page('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...enter });
    await sleep(150);
    await page('Input.dispatchKeyEvent', { type: 'keyUp', ...enter });
  };
  const layout = () => js(`(() => { const r = document.getElementById('canvas').getBoundingClientRect();
    return { full: !!document.fullscreenElement, w: r.width, iw: innerWidth, ih: innerHeight }; })()`);
  await altEnter();
  const full = await until('full screen', async () => { const l = await layout(); return l.full && l; }, 5000);
  const fullScale = Math.floor(Math.min(full.iw / 320, full.ih / 240));
  await altEnter();
  const windowed = await until('the window again', async () => { const l = await layout(); return !l.full && l; }, 5000);
  check(full.w === 320 * fullScale && windowed.w === box.w, 'Alt+Enter: full screen at a whole scale, and back',
    `${full.w} px wide in ${full.iw}x${full.ih}, then ${windowed.w} px`);

  // A hidden page is an inactive game: frames stop, and go on once it is shown again.
  const setHidden = (hidden) => js(`(() => { Object.defineProperty(document, 'hidden', { configurable: true, get: () => ${hidden} });
    Object.defineProperty(document, 'visibilityState', { configurable: true, get: () => '${hidden ? 'hidden' : 'visible'}' });
    document.dispatchEvent(new Event('visibilitychange')); })()`);
  await setHidden(true);
  await sleep(200);
  const hidden0 = await probe();
  await sleep(500);
  const hidden1 = await probe();
  check(hidden0.active === 0 && hidden1.presents === hidden0.presents, 'no frames while the page is hidden',
    `active ${hidden0.active}, ${hidden1.presents - hidden0.presents} frames in 0.5 s`);
  await setHidden(false);
  const shown = await until('frames after the page is shown', async () => {
    const p = await probe();
    return p.presents - hidden1.presents >= 30 && p;
  }, 15000).catch(() => probe());
  check(shown.active === 1 && shown.presents - hidden1.presents >= 30, 'frames resume once it is shown',
    `${shown.presents - hidden1.presents} frames`);

  // Z starts a game, and play is on the screen.
  await key('z');
  const playing = async () => { const p = await probe(); return p.trace.scene === SCENE_GAME && p.trace.game.state === GAME_PLAY && p; };
  await until('play', playing);
  await sleep(300);
  const play = await canvasPixels();
  const changed = differing(play.at, titlePicture.at).n, colours = colourCount(play.at);
  check(changed >= 320 * 240 / 5 && colours >= 32, 'Z starts a game: a stage in many colours is on the screen',
    `${changed} pixels differ from the title, ${colours} colours`);
  if (shots) {
    const png = (await page('Page.captureScreenshot', { format: 'png' })).data;
    fs.writeFileSync(path.join(shots, 'play.png'), Buffer.from(png, 'base64'));
  }

  // The arrow keys and a gamepad's stick move the player (the map wraps; walls may stop one direction).
  const moved = async (hold, release, ms = 500) => {
    await until('play', playing);
    const a = await probe();
    await hold();
    await sleep(ms);
    await release();
    await sleep(60);
    const b = await probe();
    return { dx: b.trace.player.x - a.trace.player.x, dy: b.trace.player.y - a.trace.player.y, sameStage: a.trace.game.stage === b.trace.game.stage && b.trace.game.state === GAME_PLAY };
  };
  const held = (name) => [
    () => page('Input.dispatchKeyEvent', { type: 'rawKeyDown', code: KEYS[name][0], key: KEYS[name][2], windowsVirtualKeyCode: KEYS[name][1] }),
    () => page('Input.dispatchKeyEvent', { type: 'keyUp', code: KEYS[name][0], key: KEYS[name][2], windowsVirtualKeyCode: KEYS[name][1] })];
  const sign = (v) => (Math.abs(v) > 1 << 30 ? -Math.sign(v) : Math.sign(v)); // a wrap shows as a huge jump
  const keyMoves = [];
  for (const [name, axis, want] of [['ArrowRight', 'dx', 1], ['ArrowDown', 'dy', 1], ['ArrowLeft', 'dx', -1], ['ArrowUp', 'dy', -1]]) {
    const m = await moved(...held(name));
    if (m.sameStage) keyMoves.push(`${name} ${sign(m[axis]) === want ? 'moved' : 'did not move'} (${m.dx},${m.dy})`);
  }
  check(keyMoves.filter((s) => s.includes(' moved')).length >= 2, 'the arrow keys move the player', keyMoves.join('; '));
  const pad = (x, y) => js(`(() => {
    const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
    const pad = { id: 'test pad', index: 0, connected: true, mapping: 'standard', timestamp: performance.now(),
                  axes: [${x}, ${y}, 0, 0], buttons };
    navigator.getGamepads = () => [pad];
    window.dispatchEvent(Object.assign(new Event('gamepadconnected'), { gamepad: pad }));
  })()`);
  const padMoves = [];
  for (const [x, y, axis, want] of [[1, 0, 'dx', 1], [0, 1, 'dy', 1], [-1, 0, 'dx', -1], [0, -1, 'dy', -1]]) {
    const m = await moved(() => pad(x, y), () => pad(0, 0));
    if (m.sameStage) padMoves.push(`stick ${x},${y} ${sign(m[axis]) === want ? 'moved' : 'did not move'} (${m.dx},${m.dy})`);
  }
  await js('navigator.getGamepads = () => []');
  check(padMoves.filter((s) => s.includes(' moved')).length >= 2, 'a gamepad\'s stick moves the player', padMoves.join('; '));

  // The record: the game ends at a later stage, the record is saved and kept in the browser's storage,
  // and the title shows it after a reload.
  await until('play', playing);
  check(await js(`Module._QuillmarshLoseLastLife(${recordValue + 1})`) === 1, 'the last life is lost in play');
  await until('the title after the game', async () => (await probe()).trace.scene === SCENE_TITLE, 20000);
  await until('the record kept in storage', () => js('(Module.quillmarshStorageWrites || 0) >= 1 && !Module.quillmarshStorageBusy'), 5000);
  // The old page answers until the new one replaces it: it carries a mark the new one has not.
  await js('window.quillmarshOldPage = true');
  await page('Page.reload');
  await until('the first frame after the reload',
    async () => !(await js('window.quillmarshOldPage === true')) && firstFrame(), 30000);
  const reloaded = await until('the settled title after the reload', settledTitle);
  const recordShown = differing((await canvasPixels()).at, recordTitlePicture.at);
  check(reloaded.trace.title.best === recordValue && recordShown.n === 0, `the record ${recordValue} is on the title after a reload`,
    `bestRecord ${reloaded.trace.title.best}, ${recordShown.n} pixels differ from the runner's title ${recordShown.first}`);

  // Esc ends the game; the page says so and offers to start again.
  await key('Escape');
  await until('the end', () => js(`Module.quillmarshExit === 'ended'`), 5000);
  const endedAt = (await probe()).presents;
  await sleep(300);
  const ended = await js(`({ text: document.getElementById('status').textContent,
    button: !!document.querySelector('#status button') })`);
  check((await probe()).presents === endedAt && ended.text.includes('Quillmarsh has ended.') && ended.button,
    'Esc ends the game and the page offers to play again', JSON.stringify(ended));
  check(problems.length === 0, 'no errors on the page', problems.join(' | '));

  // A browser that refuses storage: the game plays on, and the record lasts in memory until the page goes.
  await openPage(port, `indexedDB.open = () => { throw new DOMException('refused', 'SecurityError'); };`);
  await until('the settled title without storage', settledTitle, 30000);
  await key('z');
  await until('play without storage', playing);
  check(await js('Module._QuillmarshLoseLastLife(3)') === 1, 'the last life is lost in play without storage');
  const back = await until('the title without storage', async () => { const p = await probe(); return p.trace.scene === SCENE_TITLE && p; }, 20000);
  // The title reads the record as it loads, on its first frame.
  const memoryTitle = await until('the title loaded', async () => { const p = await probe(); return p.presents >= back.presents + 2 && p; });
  const storage = await js('({ kept: Module.quillmarshStorage, writes: Module.quillmarshStorageWrites || 0 })');
  check(memoryTitle.trace.title.best === 2 && storage.kept === false && storage.writes === 0,
    'without storage the record lasts in memory', `bestRecord ${memoryTitle.trace.title.best}, ${JSON.stringify(storage)}`);

  // A refused asset: its plain line on the page, the same line the desktop prints.
  await openPage(await serve(brokenBuild));
  await until('the failure', () => js(`Module.quillmarshExit === 'failed'`), 30000);
  const failed = await js(`({ text: document.getElementById('status').textContent,
    shown: getComputedStyle(document.getElementById('status')).display !== 'none' })`);
  check(failed.shown && failed.text.startsWith(brokenLine), 'a refused asset\'s plain line is on the page',
    `${JSON.stringify(failed.text)} want ${JSON.stringify(brokenLine)}`);

  // Replays, on a page of its own (another port: storage with no record in it, as the runner's folder).
  const replayStarted = Date.now();
  const replayPort = await serve(build);
  await openPage(replayPort);
  await until('the settled title for a replay', settledTitle, 30000);
  // A short session: a game started, a walk, a pause that holds the picture still.
  // The page's trace line of the frame on its screen, taken along the way.
  const seen = [await probe()];
  await key('z');
  await key('z');
  seen.push(await until('play to record', playing, 20000));
  await key('ArrowRight', 400);
  seen.push(await probe());
  await key('ArrowDown', 300);
  seen.push(await probe());
  await key('space');
  const paused = await until('the pause', async () => { const p = await probe(); return p.trace.paused === 1 && p; });
  await sleep(200);
  const atSave = await probe();
  seen.push(paused, atSave);
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'quillmarsh-downloads-'));
  await send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await js(`document.getElementById('save-replay').click()`);
  const saved = path.join(downloads, 'quillmarsh-replay.txt');
  await until('the saved replay', async () => fs.existsSync(saved) && fs.readFileSync(saved, 'utf8').length > 0, 10000);
  const savedText = fs.readFileSync(saved, 'utf8');
  fs.copyFileSync(saved, path.join(runnerDir, 'saved-replay.txt'));
  const savedLines = savedText.trim().split('\n');
  check(/^seed \d+$/.test(savedLines[0]) && savedLines.length < 40 && / space$/.test(savedLines[savedLines.length - 1]),
    '"Save replay" downloads the session, one line per change', `${savedLines.length} lines: ${savedLines.join(' | ')}`);
  // The runner plays it to the frame on the page's screen: the same records, picture and palette.
  const traced = path.join(runnerDir, 'saved-replay.jsonl');
  const ran = await new Promise((resolve) => {
    const p = spawn(runner, ['--dir', runnerDir, '--input', path.join(runnerDir, 'saved-replay.txt'),
      '--frames', String(atSave.presents), '--trace', traced], { stdio: 'ignore' });
    p.on('exit', resolve);
  });
  const runnerLines = ran === 0 ? fs.readFileSync(traced, 'utf8').trim().split('\n') : [];
  const comparable = (t) => { const c = { ...t }; delete c.frame; delete c.time; delete c.sounds; return JSON.stringify(c); };
  // Each seen line against the runner's line of the same frame: records, picture and palette (the clock and
  // the sounds of the frame are the page's own).
  const unlike = seen.filter((p) => !runnerLines[p.presents - 1] ||
    comparable(JSON.parse(runnerLines[p.presents - 1])) !== comparable(p.trace));
  check(ran === 0 && runnerLines.length === atSave.presents && unlike.length === 0,
    'the saved replay plays in the desktop runner to the page\'s trace',
    `runner exit ${ran}, ${runnerLines.length} frames for ${atSave.presents} on the page; frames ` +
    `${seen.map((p) => p.presents - 1).join(', ')} compared, ${unlike.length} differ` +
    (unlike.length ? `: frame ${unlike[0].presents - 1}: ${comparable(unlike[0].trace).slice(0, 200)}` : ''));

  // A desktop recording picked in the page plays from a fresh start and ends where it paused: the canvas
  // shows the runner's picture; the page says the replay ended.
  await js('window.quillmarshOldPage = true');
  const { root } = await page('DOM.getDocument');
  const { nodeId } = await page('DOM.querySelector', { nodeId: root.nodeId, selector: '#replay-file' });
  await page('DOM.setFileInputFiles', { nodeId, files: [desktopReplay] });
  await until('the page started again with the replay',
    async () => !(await js('window.quillmarshOldPage === true')) && firstFrame(), 30000);
  // Tab held runs it faster than the gate's 85 frames a second; what the frames show stays the same.
  await until('the replay under way', async () => (await probe()).presents >= 100);
  const [tabDown, tabUp] = held('Tab');
  const before = await probe(), tabStart = Date.now();
  await tabDown();
  await sleep(800);
  const during = await probe(), tabSeconds = (Date.now() - tabStart) / 1000;
  await tabUp();
  const fastRate = Math.round((during.presents - before.presents) / tabSeconds);
  // The gate never lets a frame follow the last sooner than 11 ms (a busy machine only makes frames later):
  // frames closer together ran without it.
  const quick = await js(`(() => { const t = Module.quillmarshPresentTimes.slice(-${during.presents - before.presents});
    let n = 0; for (let i = 1; i < t.length; i++) if (t[i] - t[i - 1] < 9) n++; return n; })()`);
  stats.replayFastForwardFps = fastRate;
  check(quick >= 20 && during.presents < desktopEnd, 'Tab runs the replay on without waiting for the gate',
    `${quick} frames less than 9 ms after the one before; ${fastRate} frames a second, at frame ` +
    `${during.presents} of ${desktopEnd}`);
  const watched = await until('the end of the desktop replay', async () => {
    const p = await probe();
    return p.presents > desktopEnd + 10 && p.trace.paused === 1 && p;
  }, 60000);
  const watchedPicture = differing((await canvasPixels()).at, decodePng(fs.readFileSync(desktopShot)).at);
  const endLine = await js(`document.getElementById('status').textContent`);
  check(watchedPicture.n === 0, 'a desktop recording watched in the page shows the runner\'s picture',
    `${watchedPicture.n} pixels differ ${watchedPicture.first}; frame ${watched.presents - 1}`);
  check(endLine.startsWith(`quillmarsh: the replay has ended after frame ${desktopEnd};`),
    'the page says the replay has ended', JSON.stringify(endLine));
  if (shots) {
    const png = (await page('Page.captureScreenshot', { format: 'png' })).data;
    fs.writeFileSync(path.join(shots, 'replay-watched.png'), Buffer.from(png, 'base64'));
  }

  // A file that is no recording, dropped on the page: refused before the game starts, in the runner's words.
  await js('window.quillmarshOldPage = true');
  await js(`(() => { const data = new DataTransfer();
    data.items.add(new File(['seed 7\\n0:\\n40: z jump\\n'], 'not-a-replay.txt', { type: 'text/plain' }));
    window.dispatchEvent(new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true })); })()`);
  await until('the page started again with the dropped file',
    async () => !(await js('window.quillmarshOldPage === true')) && js(`Module.quillmarshExit === 'failed'`), 30000);
  const refusal = await js(`document.getElementById('status').textContent`);
  check(refusal.startsWith("quillmarsh: not-a-replay.txt: line 3: unknown control 'jump'"),
    'a dropped file that is no recording is refused with the runner\'s words', JSON.stringify(refusal));
  fs.rmSync(downloads, { recursive: true, force: true });
  stats.replayChecksMs = Date.now() - replayStarted;
} catch (e) {
  check(false, 'the page test ran', e.stack || String(e));
  if (browserLog) console.log(browserLog.split('\n').slice(-10).join('\n'));
} finally {
  console.log('STATS ' + JSON.stringify(stats));
  const exited = new Promise((r) => browser.once('exit', r));
  browser.kill('SIGTERM');
  for (const s of servers) s.kill('SIGTERM');
  await Promise.race([exited, sleep(5000)]);
  try { fs.rmSync(profile, { recursive: true, force: true }); } catch { /* Chromium still writing */ }
}
console.log(failures ? `${failures} check(s) failed` : 'all page checks passed');
process.exit(failures ? 1 : 0);
