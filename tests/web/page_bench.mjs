// The browser build's frame over the menu demonstration, in headless
// chromium with software WebGL: frames shown per second, the time between
// them, and the time each frame's work takes (the game's loop turn: update,
// drawing and WebGL calls). Then, for scale, a bare WebGL page that only
// clears its canvas every frame, under the same conditions. Prints one line
// of JSON.
// node page_bench.mjs BUILD_WEB_DIR [SECONDS]
import { serve } from './serve.mjs';
import { launch, frames, dump } from './browser.mjs';

const dir = process.argv[2] || '../../build-web';
const seconds = Number(process.argv[3] || 20);

function quantile(sorted, q) {
  if (sorted.length === 0) return NaN;
  const i = Math.min(sorted.length - 1, Math.max(0, Math.ceil(q * sorted.length) - 1));
  return sorted[i];
}

const server = await serve(dir);
const { context, close } = await launch();
try {
  const page = await context.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => window.korvane && window.korvane.frames > 0, null,
                             { timeout: 60000 });
  await page.mouse.click(400, 300);
  await page.keyboard.press('Space');
  await frames(page, 30);
  if ((await dump(page)).game_state !== 1) throw new Error('the page did not reach the menu');
  const result = await page.evaluate((ms) => new Promise((resolve) => {
    const shown = [], work = [];
    let begun = 0;
    // Emscripten calls these around each turn of the game's loop.
    Module.preMainLoop = () => { begun = performance.now(); };
    Module.postMainLoop = () => { work.push(performance.now() - begun); };
    const presented = Module.korvanePresented;
    Module.korvanePresented = () => { shown.push(performance.now()); presented(); };
    setTimeout(() => {
      Module.preMainLoop = Module.postMainLoop = undefined;
      Module.korvanePresented = presented;
      resolve({ shown, work });
    }, ms);
  }), seconds * 1000);
  const gaps = [];
  for (let i = 1; i < result.shown.length; ++i) gaps.push(result.shown[i] - result.shown[i - 1]);
  gaps.sort((a, b) => a - b);
  const work = result.work.slice().sort((a, b) => a - b);
  const span = (result.shown[result.shown.length - 1] - result.shown[0]) / 1000;
  // The bare page: what the browser and the machine give any WebGL page now.
  const bare = await context.newPage();
  await bare.setContent('<canvas id="c" width="800" height="590" ' +
                        'style="display:block;width:100vw;height:100vh"></canvas>');
  const bareShown = await bare.evaluate((ms) => new Promise((resolve) => {
    const gl = document.getElementById('c').getContext('webgl', { alpha: false });
    const shown = [];
    const end = performance.now() + ms;
    function frame(now) {
      gl.clearColor(shown.length % 2, 0, 0, 1);
      gl.clear(gl.COLOR_BUFFER_BIT);
      shown.push(now);
      if (now < end) requestAnimationFrame(frame); else resolve(shown);
    }
    requestAnimationFrame(frame);
  }), Math.min(seconds, 10) * 1000);
  const bareSpan = (bareShown[bareShown.length - 1] - bareShown[0]) / 1000;
  console.log(JSON.stringify({
    bare_fps: (bareShown.length - 1) / bareSpan,
    seconds: span,
    frames: result.shown.length,
    fps: (result.shown.length - 1) / span,
    interval_median_ms: quantile(gaps, 0.5),
    interval_p99_ms: quantile(gaps, 0.99),
    work_median_ms: quantile(work, 0.5),
    work_p99_ms: quantile(work, 0.99),
    game_state: (await dump(page)).game_state,
  }));
} finally {
  await close();
  server.close();
}
