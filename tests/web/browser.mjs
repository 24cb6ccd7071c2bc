// Debian's chromium, headless, for the page's test and benchmark.
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'korvane-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 800, height: 590 },
    deviceScaleFactor: 1,
    args: ['--no-sandbox', '--use-gl=swiftshader', '--enable-unsafe-swiftshader',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--no-first-run', '--disable-default-apps', '--mute-audio'],
  });
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, close };
}

// Waits until the page has shown n more frames than it had.
export async function frames(page, n) {
  const start = await page.evaluate(() => window.korvane.frames);
  await page.waitForFunction((target) => window.korvane.frames >= target, start + n,
                             { timeout: 30000 });
}

export async function dump(page) {
  return JSON.parse(await page.evaluate(() => window.korvane.dump()));
}
