// The browser build end to end, in Debian's chromium: the title with its
// logo, a key to the menu with its white gap columns, a password typed on
// another keyboard layout, Enter and Enter into play, a ship flown by the
// arrow keys, TEAMWORK, a game over, sound decoded and playing after the
// first gesture, and no error on the console.
// With a korvane-headless, the page must read every setting as the desktop does.
// node page_test.mjs BUILD_WEB_DIR [SCREENSHOT_DIR [KORVANE_HEADLESS]]
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { serve } from './serve.mjs';
import { launch, frames, dump } from './browser.mjs';

const dir = process.argv[2] || '../../build-web';
const shots = process.argv[3] || path.join(dir, 'screenshots');
const headless = process.argv[4];
fs.mkdirSync(shots, { recursive: true });

// The page's picture as RGBA bytes, decoded by the browser from a screenshot.
async function picture(page, name) {
  const png = await page.screenshot({ path: path.join(shots, `${name}.png`) });
  const rgba = await page.evaluate(async (b64) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + b64;
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.width;
    c.height = img.height;
    const g = c.getContext('2d');
    g.drawImage(img, 0, 0);
    const data = g.getImageData(0, 0, c.width, c.height).data;
    let s = '';
    for (let i = 0; i < data.length; i += 8192)
      s += String.fromCharCode.apply(null, data.subarray(i, i + 8192));
    return { w: c.width, h: c.height, b64: btoa(s) };
  }, png.toString('base64'));
  const px = Buffer.from(rgba.b64, 'base64');
  const at = (x, y) => (y * rgba.w + x) * 4;
  const p = {
    w: rgba.w, h: rgba.h,
    dark: (x, y) => px[at(x, y)] < 24 && px[at(x, y) + 1] < 24 && px[at(x, y) + 2] < 24,
    white: (x, y) => px[at(x, y)] === 255 && px[at(x, y) + 1] === 255 && px[at(x, y) + 2] === 255,
  };
  p.litIn = (x1, y1, x2, y2) => {
    let n = 0;
    for (let y = y1; y < y2; ++y) for (let x = x1; x < x2; ++x) n += p.dark(x, y) ? 0 : 1;
    return n;
  };
  return p;
}

// A key as a keyboard of another layout sends it: its position and its letter differ.
async function typeOnLayout(page, code, key) {
  await page.evaluate(([c, k]) => {
    const canvas = document.getElementById('canvas');
    canvas.dispatchEvent(new KeyboardEvent('keydown', { code: c, key: k, bubbles: true }));
    canvas.dispatchEvent(new KeyboardEvent('keyup', { code: c, key: k, bubbles: true }));
  }, [code, key]);
  await frames(page, 2);
}

const server = await serve(dir);
const url = `http://127.0.0.1:${server.address().port}/`;
const { context, close } = await launch();
const problems = [];
try {
  const page = await context.newPage();
  page.on('console', (m) => {
    if (m.type() === 'error') problems.push(`console: ${m.text()} ${m.location().url || ''}`);
  });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  await page.goto(url);
  await page.waitForFunction(() => window.korvane && window.korvane.frames > 0, null,
                             { timeout: 60000 });
  // The page's own controls are no part of the game's picture.
  await page.addStyleTag({ content: '#fullscreen, #note { display: none !important; }' });
  await frames(page, 10);

  let d = await dump(page);
  assert.equal(d.game_state, 0, 'the page opens on the title');
  if (headless) {
    const desktop = JSON.parse(execFileSync(headless, ['--script', '-'], { input: 'frames 1\ndump\n' })
      .toString().trim().split('\n').pop());
    assert.ok(Object.keys(desktop.settings).length > 50, 'the desktop dumps its settings');
    assert.deepEqual(d.settings, desktop.settings, 'the settings read as on the desktop');
  }
  let p = await picture(page, 'title');
  assert.equal(p.w, 800);
  // The picture fills the 800 x 590 canvas; everything lit lies on the logo.
  assert.equal(p.litIn(0, 0, 800, 95), 0, 'nothing lit above the logo');
  assert.equal(p.litIn(0, 495, 800, 590), 0, 'nothing lit below the logo');
  assert.ok(p.litIn(80, 95, 720, 495) > 640 * 400 / 4, 'the logo is lit');

  // The intro waits, silent, for the first gesture; a click is not a key to the title.
  const before = await page.evaluate(() => ({
    state: Module.korvaneAudio.ctx.state,
    playing: Object.keys(Module.korvaneAudio.channels).length,
  }));
  assert.equal(before.playing, 1, 'the intro is waiting to play');
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => Module.korvaneAudio.ctx.state === 'running', null,
                             { timeout: 10000 });
  await page.waitForFunction(() => Object.keys(Module.korvaneAudio.buffers).length === 10, null,
                             { timeout: 30000 });
  const audio = await page.evaluate(() => ({
    failed: Object.keys(Module.korvaneAudio.failed).length,
    sounding: Object.values(Module.korvaneAudio.channels).filter((c) => c.src).length,
  }));
  assert.equal(audio.failed, 0, 'every effect decodes');
  assert.equal(audio.sounding, 1, 'the intro sounds after the click');
  await frames(page, 2);
  assert.equal((await dump(page)).game_state, 0, 'a click alone leaves the title');

  await page.keyboard.press('Space');
  await frames(page, 40);
  d = await dump(page);
  assert.equal(d.game_state, 1, 'a key leads to the menu');
  p = await picture(page, 'menu');
  for (let y = 0; y < p.h; ++y) {
    assert.ok(p.white(399, y) && p.white(400, y), `the gap columns are white at y=${y}`);
  }
  // The screen was cleared white: a view not drawn would leave it so. The
  // demo's ships, enemies and stars move and die, so no one pixel is certain.
  for (const x of [0, 401]) {
    assert.ok(p.litIn(x, 0, x + 399, p.h) < 399 * p.h / 5, `the view at x=${x} is drawn`);
  }

  // Alt+Enter switches full screen and is not the menu's Enter.
  await page.keyboard.press('Alt+Enter');
  await frames(page, 3);
  assert.equal((await dump(page)).game_state, 1, 'Alt+Enter stays in the menu');
  assert.ok(await page.evaluate(() => document.fullscreenElement !== null), 'full screen');
  await page.keyboard.press('Alt+Enter');
  await page.waitForFunction(() => document.fullscreenElement === null, null, { timeout: 5000 });
  await frames(page, 3);

  // A pass-1 password typed on a layout whose letters lie elsewhere: the
  // letters count, not their positions.
  const word = 'LMTTTTVUT';
  for (const letter of word) {
    const elsewhere = String.fromCharCode(65 + ((letter.charCodeAt(0) - 65 + 13) % 26));
    await typeOnLayout(page, `Key${elsewhere}`, letter.toLowerCase());
  }
  d = await dump(page);
  assert.equal(d.password, word, 'the password is the letters typed');
  assert.equal(d.iteration, 1, 'the password took effect');
  assert.equal(d.game_state, 1);

  await page.keyboard.press('Enter');
  await frames(page, 3);
  assert.equal((await dump(page)).game_state, 3, 'Enter leads to the shop');
  await page.keyboard.press('Enter');
  await frames(page, 3);
  d = await dump(page);
  assert.equal(d.game_state, 2, 'Enter and Enter reach play');
  assert.equal(d.game_mode, 0);

  // Player 0 thrusts with the arrow by its position.
  await page.keyboard.down('ArrowUp');
  await frames(page, 30);
  await page.keyboard.up('ArrowUp');
  d = await dump(page);
  assert.ok(d.ships[0].speed > 0, `the ship flies forward (speed ${d.ships[0].speed})`);
  // Past the untouchable blinking: the ship sits at its anchor in its own view.
  await frames(page, 110);
  p = await picture(page, 'play');
  assert.ok(p.litIn(388, 392, 413, 412) > 60, 'the ship is drawn at its anchor');

  // A hidden tab pauses the game and its sound; it goes on when shown again.
  const setHidden = (hidden) => page.evaluate((h) => {
    Object.defineProperty(document, 'hidden', { configurable: true, get: () => h });
    Object.defineProperty(document, 'visibilityState', { configurable: true,
                                                         get: () => (h ? 'hidden' : 'visible') });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await setHidden(true);
  await page.waitForFunction(() => Module.korvaneAudio.ctx.state === 'suspended', null,
                             { timeout: 5000 });
  const pausedAt = await page.evaluate(() => window.korvane.frames);
  await page.waitForTimeout(500);
  assert.equal(await page.evaluate(() => window.korvane.frames), pausedAt, 'no frames while hidden');
  await setHidden(false);
  await frames(page, 5);
  assert.equal((await dump(page)).game_state, 2, 'play goes on');
  assert.equal(await page.evaluate(() => Module.korvaneAudio.ctx.state), 'running');

  // Back to the menu, TEAMWORK, and into play with two views.
  for (const [key, state] of [['Escape', 1], ['Space', 1], ['Enter', 3], ['Enter', 2]]) {
    await page.keyboard.press(key);
    await frames(page, 3);
    assert.equal((await dump(page)).game_state, state, `${key} leads to state ${state}`);
  }
  d = await dump(page);
  assert.equal(d.game_mode, 1, 'TEAMWORK');
  await frames(page, 30);
  p = await picture(page, 'teamwork');
  for (let y = 0; y < p.h; y += 7) {
    assert.ok(p.white(399, y) && p.white(400, y), `the views are split at y=${y}`);
  }

  // The last level of the last pass with one ship: the game is soon over,
  // and the menu comes back.
  await page.keyboard.press('Escape');
  await frames(page, 3);
  // A letter a frame, as a player types: letters that land in one frame
  // count once, in the alphabet's order.
  for (const letter of 'FTMTVBTTT') {
    await page.keyboard.press(letter);
    await frames(page, 2);
  }
  await frames(page, 1);
  d = await dump(page);
  assert.deepEqual([d.game_state, d.level_index, d.iteration], [1, 49, 8], 'the last level');
  await page.keyboard.press('Enter');
  await frames(page, 3);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => JSON.parse(window.korvane.dump()).game_state === 4, null,
                             { timeout: 90000, polling: 100 });
  await picture(page, 'game_over');
  await page.waitForFunction(() => JSON.parse(window.korvane.dump()).game_state === 1, null,
                             { timeout: 30000, polling: 100 });

  assert.deepEqual(problems, [], 'no error reaches the console');
  console.log(`page test passed (${await page.evaluate(() => window.korvane.frames)} frames)`);
} finally {
  await close();
  server.close();
}
