import { launch } from './browser.mjs';
const { context, close } = await launch();
const page = await context.newPage();
await page.setContent('<canvas id=c width=800 height=590 style="width:100vw;height:100vh;display:block"></canvas>');
const r = await page.evaluate(() => new Promise((resolve) => {
  const gl = document.getElementById('c').getContext('webgl', { alpha: false, antialias: false });
  const t = [];
  function f(now) { gl.clearColor(Math.random(), 0, 0, 1); gl.clear(gl.COLOR_BUFFER_BIT); t.push(now); if (t.length < 300) requestAnimationFrame(f); else resolve(t); }
  requestAnimationFrame(f);
}));
const gaps = r.slice(1).map((x, i) => x - r[i]).sort((a, b) => a - b);
console.log('fps', (r.length - 1) / ((r[r.length - 1] - r[0]) / 1000), 'median', gaps[gaps.length >> 1], 'p99', gaps[Math.floor(gaps.length * 0.99)]);
await close();
