// Moves a slider of the Explore panel on the pages bench/explore-speed made
// and prints the median time of the panel's handler (data-explore-ms) and the
// size of the panel's data.
//   node explore_speed.mjs WORK CHROMIUM
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const puppeteer = require(require.resolve('puppeteer-core', { paths: process.env.NODE_PATH.split(':') }));
const [work, executablePath] = process.argv.slice(2);
const browser = await puppeteer.launch({ executablePath, pipe: true,
  userDataDir: fs.mkdtempSync(path.join(work, 'profile-')),
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run'] });
for (const years of ['1', '10']) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 1000 });
  await page.goto(`file://${path.join(work, years, 'result.html')}`);
  await page.waitForFunction(() => document.body.dataset.exploreReady === 'true');
  const times = [];
  for (let i = 0; i < 36; i++) {
    times.push(await page.evaluate(i => {
      const slider = document.querySelector('[data-name="MAX_EvapoRatio"] input[type=range]');
      slider.value = String(Number(slider.max) * (0.3 + 0.01 * (i % 10)));
      slider.dispatchEvent(new Event('input'));
      return Number(document.body.dataset.exploreMs);
    }, i));
  }
  const measured = times.slice(5).sort((a, b) => a - b);
  const data = await page.$eval('#explore-data', s => s.textContent.length);
  console.log(`${years} year(s): panel data ${data} bytes; slider to redrawn page ` +
    `${measured[15].toFixed(1)} ms (median of 31; ${measured[0].toFixed(1)} to ` +
    `${measured[30].toFixed(1)})`);
  await page.close();
}
await browser.close();
